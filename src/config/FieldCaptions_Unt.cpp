#include "config/FieldCaptions_Unt.h"

#include "config/ConfigErrorText_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <optional>

namespace {

using ConstLang::TargetKind;

std::optional<QString> TargetText(const QString &control, TargetKind kind, int index, int language)
{
    const ConstLang::TLangTarget *target = ConstLang::FindTarget(control, kind, index);
    if (!target)
        return std::nullopt;
    const std::optional<QString> text = target->Text(language);
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    return text->trimmed();
}

// The field a byte belongs to when it is one of the single fields of the
// first page (its caption names it), else empty.
QString ScalarFieldAt(int offset)
{
    using namespace ConfigMap;
    struct TSpan {
        int from;
        int size;
        const QString &control;
    };
    static const TSpan spans[] = {
        {Password, PasswordSize, ConfigControls::MainPassword},
        {DeviceId, 2, ConfigControls::DeviceId},
        {ReportHour, 2, ConfigControls::ReportTimeCheck},
        {SmsReportInterval, 2, ConfigControls::SmsReportInterval},
        {DeviceDescription, DeviceDescriptionSize, ConfigControls::DeviceDescription},
        {ArmFlags, 1, ConfigControls::AutoArmed},
        {AutoArmSwitch, 3, ConfigControls::AutoArmCheck},
        {GprsFlags, 1, ConfigControls::Transport},
        {ServerAddress, ServerAddressSize, ConfigControls::ServerAddress},
        {ServerPort, 2, ConfigControls::ServerPort},
        {UploadInterval, 2, ConfigControls::UploadInterval},
        {PowerLossDelay, 2, ConfigControls::PowerLossDelay},
        {RecordInterval, 2, ConfigControls::RecordInterval},
        {AccessPointName, GprsTextSize, ConfigControls::AccessPointName},
        {GprsUserName, GprsTextSize, ConfigControls::GprsUserName},
        {GprsPassword, GprsTextSize, ConfigControls::GprsPassword},
        {LoginData, LoginMode - LoginData + 1, ConfigControls::LoginMessage},
        {HeartbeatData, HeartbeatReservedZero - HeartbeatData + 1, ConfigControls::HeartbeatContent},
        {HeartbeatInterval, 2, ConfigControls::HeartbeatInterval},
        {StopDialling, 1, ConfigControls::StopDialling},
    };
    for (const TSpan &span : spans) {
        if (offset >= span.from && offset < span.from + span.size)
            return span.control;
    }
    return QString();
}

} // namespace

namespace FieldCaptions {

QString AreaCaption(int offset, int modelIndex, int language)
{
    using namespace ConfigMap;
    if (offset < 0 || offset >= ImageSize)
        return ConstLang::Text("TxtAreaWholeImage", language);
    const QString field = ScalarFieldAt(offset);
    if (!field.isEmpty())
        return Caption(field, -1, -1, modelIndex, language);
    const auto rowOf = [](int at, int from, int size) { return (at - from) / size + 1; };
    if (offset >= PhoneNumbers && offset < PhoneMasks)
        return ConstLang::Text("TxtAreaPhone", language).arg(rowOf(offset, PhoneNumbers, PhoneNumberSize));
    if (offset >= PhoneMasks && offset < RelayBlocks)
        return ConstLang::Text("TxtAreaPhone", language).arg(rowOf(offset, PhoneMasks, 2));
    if (offset >= RelayBlocks && offset < Timers)
        return ConstLang::Text("TxtAreaRelay", language).arg(rowOf(offset, RelayBlocks, RelayBlockSize));
    if (offset >= Timers && offset < GprsFlags)
        return ConstLang::Text("TxtAreaTimer", language).arg(rowOf(offset, Timers, TimerRecordSize));
    const struct {
        int from;
        int size;
    } slotAreas[] = {{SensorNames, SensorTextSize},  {SensorHighSms, SensorTextSize},
                     {SensorLowSms, SensorTextSize}, {SensorRecoverySms, SensorTextSize},
                     {SensorVerifyTimes, 2},         {SensorFlags, 1},
                     {SensorHighThresholds, 2},      {SensorLowThresholds, 2}};
    for (const auto &area : slotAreas) {
        if (offset >= area.from && offset < area.from + SensorSlots * area.size)
            return ConstLang::Text("TxtAreaSensorSlot", language).arg(rowOf(offset, area.from, area.size));
    }
    return ConstLang::Text("TxtAreaReserved", language).arg(offset / 256 + 1);
}


QStringList RowCaptions(const QString &view, int modelIndex, int language)
{
    QStringList captions;
    if (view == ConfigControls::ThList)
        return ConstLang::ThRowCaptions(modelIndex, language);
    if (view == ConfigControls::DoList) {
        for (int row = 0; row < ConfigMap::RelayCount; ++row) {
            const ConstLang::TLangTarget *target = ConstLang::FindTarget(view, TargetKind::Row, row);
            captions << (target ? target->Text(language).value_or(QString()) : QString());
        }
        return captions;
    }
    if (view != ConfigControls::TelList && view != ConfigControls::TimerList)
        return captions;
    const int rows = view == ConfigControls::TelList ? ConfigMap::PhoneCount : ConfigMap::TimerCount;
    for (int row = 1; row <= rows; ++row)
        captions << QStringLiteral("  ") + QString::number(row);
    return captions;
}

QString Caption(const QString &control, int row, int subItem, int modelIndex, int language)
{
    if (control.isEmpty())
        return AreaCaption(row, modelIndex, language);
    if (row >= 0) {
        const QStringList rows = RowCaptions(control, modelIndex, language);
        const QString rowCaption = row < rows.size() ? rows.at(row).trimmed() : QString::number(row + 1);
        const QString column =
            TargetText(control, TargetKind::Column, subItem + 1, language).value_or(QString::number(subItem + 1));
        return rowCaption + QStringLiteral(" / ") + column;
    }
    const QString named = ConstLang::CaptionControl(control);
    for (const TargetKind kind : {TargetKind::Label, TargetKind::Caption}) {
        if (const std::optional<QString> text = TargetText(named, kind, -1, language))
            return *text;
    }
    return control;
}

QString EncodeErrorText(const TConfigError &error, int modelIndex, int language)
{
    return ConfigErrorText(error, Caption(error.Control, error.Row, error.SubItem, modelIndex, language), language);
}

} // namespace FieldCaptions
