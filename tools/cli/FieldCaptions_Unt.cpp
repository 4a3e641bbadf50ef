#include "cli/FieldCaptions_Unt.h"

#include "config/ConfigErrorText_Unt.h"

#include "lang/ConstLang_Unt.h"
#include "profiles/IniFile_Unt.h"
#include "profiles/ProfileImage_Unt.h"

namespace {

using ConstLang::TargetKind;

std::optional<QString> TargetText(const QString &control, TargetKind kind, int index, int language)
{
    const ConstLang::TLangTarget *target = ConstLang::FindTarget(control, kind, index);
    if (!target)
        return std::nullopt;
    const std::optional<QString> text = target->Text(language);
    if (!text || TrimBlanks(*text).isEmpty())
        return std::nullopt;
    return TrimBlanks(*text);
}

// Controls whose own caption does not say what they hold: a box captioned
// "Enable" is named by the edit it governs, a combo box or a picker by the
// label or box beside it.
const struct
{
    const char *Control;
    const char *NamedBy;
} kNamedBy[] = {
    {"chk_PwrOffTime", "lbledt_PwrOffTime"},
    {"chk_SaveRecordInterSec", "lbledt_SaveRecordInterSec"},
    {"chk_SmsReportInterMin", "lbledt_SmsReportInterMin"},
    {"dtp_RePortTime", "chk_ReportTime"},
    {"cbb_GPRSCommunication_Proctocol", "lbl_GPRSCommunication_Proctocol"},
    {"cbb_GPRS_TcpUdp", "lbl_GPRS_Proctocol"},
};

QString Text(const char *key, int language)
{
    return ConstLang::Text(QString::fromLatin1(key), language);
}

} // namespace

namespace FieldCaptions {

QString Caption(const QString &control, int row, int subItem, int modelIndex, int language)
{
    if (control.isEmpty())
        return Text("TxtImageByte", language).arg(row);
    if (row >= 0) {
        const QStringList rows = TProfileImage::RowCaptions(control, modelIndex, language);
        const QString rowCaption = row < rows.size() ? TrimBlanks(rows.at(row)) : QString::number(row + 1);
        const QString column =
            TargetText(control, TargetKind::Column, subItem + 1, language).value_or(QString::number(subItem + 1));
        return rowCaption + QStringLiteral(" / ") + column;
    }
    QString named = control;
    for (const auto &pair : kNamedBy) {
        if (control == QLatin1String(pair.Control))
            named = QString::fromLatin1(pair.NamedBy);
    }
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
