#include "config/ConfigImage_Unt.h"

#include "base/Funs_Unt.h"
#include "config/TimerCodes_Unt.h"

#include <QtEndian>

#include <array>
#include <limits>

namespace {

using namespace ConfigMap;
namespace Names = ConfigControls;
namespace Cells = ConfigCells;

constexpr quint8 ErasedByte = 0xFF;

// Mask bit of each phone event flag, sub-items 1 to 9 in order.
constexpr std::array<quint16, 9> PhoneFlagMasks = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010,
                                                   0x0020, 0x0040, 0x0080, 0x0200};

// Sensor flag cells and their bits, in the order a read writes them.
struct TSensorFlag
{
    int SubItem;
    quint8 Bit;
};
constexpr std::array<TSensorFlag, 4> SensorFlagCells = {{
    {Cells::ThEnabled, SensorEnabledBit},
    {Cells::ThRecoveryAlert, SensorRecoveryBit},
    {Cells::ThLinkDo1, SensorLinkDo1Bit},
    {Cells::ThLinkDo2, SensorLinkDo2Bit},
}};

// ---- bytes ----------------------------------------------------------------

quint8 ByteAt(const TDataPack &image, int offset)
{
    return quint8(image.at(offset));
}

quint16 U16At(const TDataPack &image, int offset)
{
    return qFromLittleEndian<quint16>(image.constData() + offset);
}

void PutByte(TDataPack &image, int offset, quint8 value)
{
    image[offset] = char(value);
}

void PutU16(TDataPack &image, int offset, quint16 value)
{
    qToLittleEndian(value, image.data() + offset);
}

// ---- texts ----------------------------------------------------------------
// Device texts are GBK (code page 936); the conversions are the shared ones.

// A stored text field: empty when its first byte is 0x00, otherwise every
// byte except the erased ones (0xFF). Zero bytes after the first stay in.
QString StoredText(const TDataPack &image, int offset, int size)
{
    return BytesToTextCount(image.mid(offset, size), size);
}

// What an edit or cell shows of a stored text: the text up to its first zero.
QString ShownText(const QString &stored)
{
    const qsizetype end = stored.indexOf(QChar(0));
    return end < 0 ? stored : stored.left(end);
}

QString FieldText(const TDataPack &image, int offset, int size)
{
    return ShownText(StoredText(image, offset, size));
}

// A counted text: the first n bytes of the area, n from the length byte but
// never more than the area holds.
QString CountedText(const TDataPack &image, int offset, int areaSize, int lengthOffset)
{
    const int count = qMin<int>(ByteAt(image, lengthOffset), areaSize);
    return FieldText(image, offset, count);
}

// Writes a text into an n-byte field (zeros, then the text's GBK bytes as
// far as whole characters fit) and returns how many bytes of the text were
// stored. An edit's text holds no zero character, so the stored bytes end at
// the field's last non-zero byte.
int PutText(TDataPack &image, int offset, int size, const QString &text)
{
    const QByteArray field = TextToBytes(text, size);
    int stored = 0;
    for (int index = 0; index < size; ++index) {
        image[offset + index] = field.at(index);
        if (field.at(index) != 0)
            stored = index + 1;
    }
    return stored;
}

// ---- timers and combo boxes ---------------------------------------------

// The hour or minute byte of a timer cell: the cell holds the byte's decimal
// as the list ("0" .. "23", "0" .. "59") or a read (any other byte the
// device held) writes it; anything else, a leading zero included ("08"), is
// no time (0xFF).
quint8 TimerTimeByte(const QString &text)
{
    const TNumber number = ParseDecimal(text);
    if (!number.Ok() || number.Value < 0 || number.Value >= TimerNone
        || QString::number(number.Value) != text)
        return TimerNone;
    return quint8(number.Value);
}

quint8 ReverseNibble(quint8 value)
{
    return quint8(((value & 1) << 3) | ((value & 2) << 1) | ((value & 4) >> 1) | ((value & 8) >> 3));
}

QString CellOf(const QVector<QStringList> &rows, int row, int subItem)
{
    if (row < 0 || row >= rows.size())
        return {};
    return rows.at(row).value(subItem);
}

QStringList EmptyRow(int subItems)
{
    QStringList row;
    for (int index = 0; index < subItems; ++index)
        row.append(QString());
    return row;
}

QString TickText(bool ticked)
{
    return ticked ? Cells::TickMark : QString();
}

// ---- decoding --------------------------------------------------------------

class TImageDecoder
{
public:
    TImageDecoder(const TDataPack &image, int modelIndex) : m_image(image), m_model(modelIndex) {}

    QVector<TConfigAssignment> Run()
    {
        DecodeBasics();
        SetText(Names::MainPassword, FieldText(m_image, Password, PasswordSize));
        DecodeReportSettings();
        DecodePhones();
        DecodeRelays();
        DecodeTimers();
        DecodeGprs();
        DecodeSensors();
        DecodeCommunication();
        return m_assignments;
    }

private:
    void Add(TAssignKind kind, const QString &control, const QVariant &value, int row = -1,
             int subItem = -1)
    {
        TConfigAssignment assignment;
        assignment.Kind = kind;
        assignment.Control = control;
        assignment.Row = row;
        assignment.SubItem = subItem;
        assignment.Value = value;
        m_assignments.append(assignment);
    }
    void SetText(const QString &control, const QString &text) { Add(TAssignKind::Text, control, text); }
    void SetCheck(const QString &control, bool ticked) { Add(TAssignKind::Check, control, ticked); }
    void SetEnabled(const QString &control, bool enabled) { Add(TAssignKind::Enabled, control, enabled); }
    void SetCell(const QString &list, int row, int subItem, const QString &text)
    {
        Add(TAssignKind::Cell, list, text, row, subItem);
    }
    QString Number(int offset) const { return QString::number(U16At(m_image, offset)); }

    // A box with its edit: zero means unticked, edit "0" and disabled.
    void DecodeZeroMeansOff(const QString &box, const QString &edit, int offset)
    {
        const quint16 value = U16At(m_image, offset);
        SetCheck(box, value != 0);
        SetText(edit, QString::number(value));
        SetEnabled(edit, value != 0);
    }

    void DecodeBasics()
    {
        SetText(Names::DeviceId, Number(DeviceId));
        SetText(Names::DeviceDescription, FieldText(m_image, DeviceDescription, DeviceDescriptionSize));
        const quint8 flags = ByteAt(m_image, ArmFlags);
        SetCheck(Names::AutoArmed, (flags & 0x01) != 0);
        SetCheck(Names::AddTimeToAlarmSms, (flags & 0x02) != 0);
        SetCheck(Names::StopDialling, ByteAt(m_image, StopDialling) == 1);
        const bool autoArm = ByteAt(m_image, AutoArmSwitch) != 0;
        SetCheck(Names::AutoArmCheck, autoArm);
        SetText(Names::AutoArmMinutes, autoArm ? Number(AutoArmDelay) : QStringLiteral("0"));
        SetEnabled(Names::AutoArmMinutes, autoArm);
    }

    void DecodeReportSettings()
    {
        const quint8 hour = ByteAt(m_image, ReportHour);
        const quint8 minute = ByteAt(m_image, ReportMinute);
        if (hour == ErasedByte && minute == ErasedByte) {
            SetCheck(Names::ReportTimeCheck, false);
            SetEnabled(Names::ReportTime, false);
        } else {
            SetCheck(Names::ReportTimeCheck, true);
            SetEnabled(Names::ReportTime, true);
            // An impossible time shows the PC's current time (an invalid QTime).
            Add(TAssignKind::Time, Names::ReportTime, QTime(hour, minute, 0));
        }
        DecodeZeroMeansOff(Names::SmsReportCheck, Names::SmsReportInterval, SmsReportInterval);
    }

    void DecodePhones()
    {
        for (int entry = 0; entry < PhoneCount; ++entry) {
            const int offset = PhoneNumbers + entry * PhoneNumberSize;
            QString number;
            // Filtered over the whole field: digits after a stray zero byte count.
            for (const QChar character : StoredText(m_image, offset, PhoneNumberSize)) {
                if (character == QLatin1Char('+')
                    || (character >= QLatin1Char('0') && character <= QLatin1Char('9')))
                    number += character;
            }
            SetCell(Names::TelList, entry, Cells::TelNumber, number);
            const quint16 mask = U16At(m_image, PhoneMasks + 2 * entry);
            const bool all = mask == PhoneMaskErased || mask == PhoneMaskAll;
            for (int flag = 0; flag < int(PhoneFlagMasks.size()); ++flag)
                SetCell(Names::TelList, entry, flag + 1,
                        TickText(all || (mask & PhoneFlagMasks[flag]) != 0));
        }
    }

    void DecodeRelays()
    {
        for (int relay = 0; relay < RelayCount; ++relay) {
            const int block = RelayBlocks + relay * RelayBlockSize;
            SetCell(Names::DoList, relay, Cells::DoName,
                    FieldText(m_image, block + RelayName, RelayNameSize));
            SetCell(Names::DoList, relay, Cells::DoCloseTime, Number(block + RelayCloseTime));
            SetCell(Names::DoList, relay, Cells::DoRecovery,
                    TickText(ByteAt(m_image, block + RelayRecoveryAlert) == RelayRecoveryOn));
            SetCell(Names::DoList, relay, Cells::DoCloseText,
                    FieldText(m_image, block + RelayCloseText, RelayTextSize));
            SetCell(Names::DoList, relay, Cells::DoOpenText,
                    FieldText(m_image, block + RelayOpenText, RelayTextSize));
        }
    }

    void DecodeTimers()
    {
        for (int timer = 0; timer < TimerCount; ++timer) {
            const int record = Timers + timer * TimerRecordSize;
            const quint8 mode = ByteAt(m_image, record);
            if (mode & TimerDisabledBit)
                continue;
            SetCell(Names::TimerList, timer, Cells::TimerEnabled, Cells::TickMark);
            // The day code as stored: 7 shows as every day like 15, and both
            // are written back as they came.
            const int day = mode & TimerDayMask;
            Add(TAssignKind::TimerDay, Names::TimerList, day, timer, Cells::TimerDay);
            const quint8 hour = ByteAt(m_image, record + 1);
            if (hour != TimerNone)
                SetCell(Names::TimerList, timer, Cells::TimerHour, QString::number(hour));
            const quint8 minute = ByteAt(m_image, record + 2);
            if (minute != TimerNone)
                SetCell(Names::TimerList, timer, Cells::TimerMinute, QString::number(minute));
            Add(TAssignKind::TimerAction, Names::TimerList, int(ByteAt(m_image, record + 3)), timer,
                Cells::TimerAction);
        }
    }

    void DecodeGprs()
    {
        const quint8 flags = ByteAt(m_image, GprsFlags);
        Add(TAssignKind::ComboIndex, Names::Transport, (flags & 0x80) ? 1 : 0);
        const int protocol = flags & 0x0F;
        Add(TAssignKind::ComboIndex, Names::Protocol, protocol <= 2 ? protocol : -1);
        SetText(Names::ServerAddress, FieldText(m_image, ServerAddress, ServerAddressSize));
        SetText(Names::ServerPort, Number(ServerPort));
        SetText(Names::UploadInterval, Number(UploadInterval));
        const quint16 delay = U16At(m_image, PowerLossDelay);
        const bool alert = delay != PowerLossNoAlert;
        SetCheck(Names::PowerLossCheck, alert);
        SetText(Names::PowerLossDelay, alert ? QString::number(delay) : QString());
        SetEnabled(Names::PowerLossDelay, alert);
    }

    void DecodeSensors()
    {
        const int rows = SensorRowCount(m_model);
        for (int row = 0; row < rows; ++row) {
            const int slot = SensorSlotOfRow(m_model, row);
            const int textOffset = slot * SensorTextSize;
            SetCell(Names::ThList, row, Cells::ThName, FieldText(m_image, SensorNames + textOffset, SensorTextSize));
            SetCell(Names::ThList, row, Cells::ThHighSms,
                    FieldText(m_image, SensorHighSms + textOffset, SensorTextSize));
            SetCell(Names::ThList, row, Cells::ThLowSms,
                    FieldText(m_image, SensorLowSms + textOffset, SensorTextSize));
            SetCell(Names::ThList, row, Cells::ThRecoverySms,
                    FieldText(m_image, SensorRecoverySms + textOffset, SensorTextSize));
            SetCell(Names::ThList, row, Cells::ThVerifyTime, Number(SensorVerifyTimes + 2 * slot));
            const quint8 flags = ByteAt(m_image, SensorFlags + slot);
            for (const TSensorFlag &flag : SensorFlagCells)
                SetCell(Names::ThList, row, flag.SubItem, TickText((flags & flag.Bit) != 0));
            SetCell(Names::ThList, row, Cells::ThHigh,
                    TenthsToText(qint16(U16At(m_image, SensorHighThresholds + 2 * slot))));
            SetCell(Names::ThList, row, Cells::ThLow,
                    TenthsToText(qint16(U16At(m_image, SensorLowThresholds + 2 * slot))));
        }
    }

    void DecodeCommunication()
    {
        DecodeZeroMeansOff(Names::RecordCheck, Names::RecordInterval, RecordInterval);
        SetText(Names::AccessPointName, FieldText(m_image, AccessPointName, GprsTextSize));
        SetText(Names::GprsUserName, FieldText(m_image, GprsUserName, GprsTextSize));
        SetText(Names::GprsPassword, FieldText(m_image, GprsPassword, GprsTextSize));
        // The box's click handler empties the message, so the box goes first.
        const bool hex = ByteAt(m_image, LoginMode) == LoginModeHex;
        SetCheck(Names::LoginHexMode, hex);
        const int count = qMin<int>(ByteAt(m_image, LoginLength), LoginDataSize);
        SetText(Names::LoginMessage, hex ? BytesToHexText(m_image.mid(LoginData, count), count)
                                         : FieldText(m_image, LoginData, count));
        SetText(Names::HeartbeatContent,
                CountedText(m_image, HeartbeatData, HeartbeatDataSize, HeartbeatLength));
        SetText(Names::HeartbeatInterval, Number(HeartbeatInterval));
    }

    const TDataPack &m_image;
    const int m_model;
    QVector<TConfigAssignment> m_assignments;
};

// ---- encoding --------------------------------------------------------------

class TImageEncoder
{
public:
    TImageEncoder(const TConfigValues &values, int modelIndex)
        : m_values(values), m_model(modelIndex), m_image(ImageSize, char(ErasedByte))
    {
    }

    TEncodeResult Run()
    {
        // Without a row for each of the model's channels the sensor area would
        // be written blank: the device's channel settings would be erased.
        const int needed = SensorRowCount(m_model);
        if (needed == 0 || m_values.lvTh.size() < needed) {
            Fail(TConfigErrorCode::MissingChannels, Names::ThList, -1, -1,
                 QString::number(m_values.lvTh.size()), QString::number(needed));
            return {m_error, {}};
        }
        EncodeBasics();
        EncodePhones();
        EncodeRelays();
        EncodeTimers();
        EncodeGprs();
        EncodeSensors();
        EncodeCommunication();
        TEncodeResult result;
        result.Error = m_error;
        if (m_error.Code == TConfigErrorCode::None)
            result.Image = m_image;
        return result;
    }

private:
    void Fail(TConfigErrorCode code, const QString &control, int row, int subItem, const QString &text,
              const QString &minimum = QString(), const QString &maximum = QString())
    {
        if (m_error.Code != TConfigErrorCode::None)
            return;
        m_error.Code = code;
        m_error.Control = control;
        m_error.Row = row;
        m_error.SubItem = subItem;
        m_error.Text = text;
        m_error.Minimum = minimum;
        m_error.Maximum = maximum;
    }

    // Stores a parsed number field: empty gives the default; text that is
    // not a number, or a number outside minimum..maximum, fails with the
    // field named instead of being written as a default or wrapped.
    // shownMinimum/shownMaximum are the range as the message gives it.
    void PutParsed(int offset, const TNumber &number, const QString &text, qint64 minimum,
                   qint64 maximum, quint16 defaultValue, const QString &control, int row,
                   int subItem, const QString &shownMinimum, const QString &shownMaximum)
    {
        switch (number.Kind) {
        case TNumberKind::Empty:
            PutU16(m_image, offset, defaultValue);
            return;
        case TNumberKind::NotNumber:
            Fail(TConfigErrorCode::NotANumber, control, row, subItem, text, shownMinimum,
                 shownMaximum);
            return;
        case TNumberKind::Number:
            if (number.Value >= minimum && number.Value <= maximum) {
                PutU16(m_image, offset, quint16(number.Value));
                return;
            }
            break;
        case TNumberKind::OutOfRange:
            break;
        }
        Fail(TConfigErrorCode::NumberOutOfRange, control, row, subItem, text, shownMinimum,
             shownMaximum);
    }

    // A u16 from decimal text.
    void PutNumber(int offset, const QString &text, quint16 defaultValue, const QString &control,
                   int row = -1, int subItem = -1)
    {
        constexpr quint16 maximum = std::numeric_limits<quint16>::max();
        PutParsed(offset, ParseDecimal(text), text, 0, maximum, defaultValue, control, row, subItem,
                  QStringLiteral("0"), QString::number(maximum));
    }

    // A threshold from decimal text with tenths, stored as s16 tenths; empty gives 0.
    void PutThreshold(int offset, const QString &text, int row, int subItem)
    {
        constexpr qint16 minimum = std::numeric_limits<qint16>::min();
        constexpr qint16 maximum = std::numeric_limits<qint16>::max();
        PutParsed(offset, ParseTenths(text), text, minimum, maximum, 0, Names::ThList, row, subItem,
                  TenthsToText(minimum), TenthsToText(maximum));
    }

    QString Text(const QString &control) const { return m_values.Text(control); }
    bool Checked(const QString &control) const { return m_values.Checked(control); }

    void EncodeBasics()
    {
        PutText(m_image, Password, PasswordSize, Text(Names::MainPassword));
        PutNumber(DeviceId, Text(Names::DeviceId), 0, Names::DeviceId);
        if (Checked(Names::ReportTimeCheck)) {
            QTime time = m_values.Time(Names::ReportTime);
            if (!time.isValid())
                time = QTime::currentTime();
            PutByte(m_image, ReportHour, quint8(time.hour()));
            PutByte(m_image, ReportMinute, quint8(time.minute()));
        } else {
            PutByte(m_image, ReportHour, ErasedByte);
            PutByte(m_image, ReportMinute, ErasedByte);
        }
        if (Checked(Names::SmsReportCheck))
            PutNumber(SmsReportInterval, Text(Names::SmsReportInterval), 0, Names::SmsReportInterval);
        else
            PutU16(m_image, SmsReportInterval, 0);
        PutText(m_image, DeviceDescription, DeviceDescriptionSize, Text(Names::DeviceDescription));
        PutByte(m_image, ArmFlags,
                quint8((Checked(Names::AutoArmed) ? 0x01 : 0) | (Checked(Names::AddTimeToAlarmSms) ? 0x02 : 0)));
        if (Checked(Names::AutoArmCheck)) {
            PutByte(m_image, AutoArmSwitch, 0xFF);
            PutNumber(AutoArmDelay, Text(Names::AutoArmMinutes), 0, Names::AutoArmMinutes);
        } else {
            PutByte(m_image, AutoArmSwitch, 0);
            PutU16(m_image, AutoArmDelay, 0);
        }
        for (int index = 0; index < ReservedZerosSize; ++index)
            PutByte(m_image, ReservedZeros + index, 0);
    }

    void EncodePhones()
    {
        for (int entry = 0; entry < PhoneCount; ++entry) {
            PutText(m_image, PhoneNumbers + entry * PhoneNumberSize, PhoneNumberSize,
                    CellOf(m_values.lvTel, entry, Cells::TelNumber));
            quint16 mask = 0;
            for (int flag = 0; flag < int(PhoneFlagMasks.size()); ++flag) {
                if (CellOf(m_values.lvTel, entry, flag + 1).trimmed() == Cells::TickMark)
                    mask |= PhoneFlagMasks[flag];
            }
            PutU16(m_image, PhoneMasks + 2 * entry, mask);
        }
    }

    void EncodeRelays()
    {
        const QVector<QStringList> &rows = m_values.lvDo;
        for (int relay = 0; relay < RelayCount; ++relay) {
            const int block = RelayBlocks + relay * RelayBlockSize;
            PutText(m_image, block + RelayName, RelayNameSize, CellOf(rows, relay, Cells::DoName));
            PutNumber(block + RelayCloseTime, CellOf(rows, relay, Cells::DoCloseTime), 0, Names::DoList,
                      relay, Cells::DoCloseTime);
            PutByte(m_image, block + RelayRecoveryAlert,
                    CellOf(rows, relay, Cells::DoRecovery) == Cells::TickMark ? RelayRecoveryOn : 0);
            PutByte(m_image, block + RelayReservedZero, 0);
            PutText(m_image, block + RelayCloseText, RelayTextSize, CellOf(rows, relay, Cells::DoCloseText));
            PutText(m_image, block + RelayOpenText, RelayTextSize, CellOf(rows, relay, Cells::DoOpenText));
        }
    }

    void EncodeTimers()
    {
        for (int timer = 0; timer < TimerCount; ++timer) {
            const TTimerRow row = m_values.lvTimer.value(timer);
            const int record = Timers + timer * TimerRecordSize;
            // Codes are written as they are, also those no list entry names.
            int day = row.DayCode < 0 ? 0 : row.DayCode;
            if (row.DayCode < -1 || day > TimerDayMask) {
                Fail(TConfigErrorCode::NumberOutOfRange, Names::TimerList, timer, Cells::TimerDay,
                     QString::number(row.DayCode), QStringLiteral("0"), QString::number(TimerDayMask));
                day = 0;
            }
            PutByte(m_image, record, quint8((row.Enabled ? 0 : TimerDisabledBit) | day));
            PutByte(m_image, record + 1, TimerTimeByte(row.Hour));
            PutByte(m_image, record + 2, TimerTimeByte(row.Minute));
            const int action = row.ActionCode < 0 ? 0 : row.ActionCode;
            if (row.ActionCode < -1 || action > TimerCodes::MaxActionCode) {
                Fail(TConfigErrorCode::NumberOutOfRange, Names::TimerList, timer, Cells::TimerAction,
                     QString::number(row.ActionCode), QStringLiteral("0"),
                     QString::number(TimerCodes::MaxActionCode));
            }
            PutByte(m_image, record + 3, quint8(action & 0xFF));
        }
    }

    // A combo box's half of the GPRS byte: no item (-1) is 1111.
    quint8 ComboNibble(const QString &control)
    {
        const int index = m_values.ComboIndex(control);
        if (index == -1)
            return 0x0F;
        if (index < -1 || index > 0x0F) {
            Fail(TConfigErrorCode::NumberOutOfRange, control, -1, -1, QString::number(index),
                 QStringLiteral("-1"), QStringLiteral("15"));
            return 0x0F;
        }
        return quint8(index);
    }

    void EncodeGprs()
    {
        const quint8 transport = ReverseNibble(ComboNibble(Names::Transport));
        const quint8 protocol = ComboNibble(Names::Protocol);
        PutByte(m_image, GprsFlags, quint8((transport << 4) | protocol));
        PutText(m_image, ServerAddress, ServerAddressSize, Text(Names::ServerAddress));
        PutNumber(ServerPort, Text(Names::ServerPort), 0, Names::ServerPort);
        PutNumber(UploadInterval, Text(Names::UploadInterval), 2, Names::UploadInterval);
        if (Checked(Names::PowerLossCheck))
            PutNumber(PowerLossDelay, Text(Names::PowerLossDelay), 0, Names::PowerLossDelay);
        else
            PutU16(m_image, PowerLossDelay, PowerLossNoAlert);
    }

    void EncodeSensors()
    {
        const QVector<QStringList> &rows = m_values.lvTh;
        const int rowCount = qMin<int>(rows.size(), SensorRowCount(m_model));
        for (int row = 0; row < rowCount; ++row) {
            const int slot = SensorSlotOfRow(m_model, row);
            const int textOffset = slot * SensorTextSize;
            PutText(m_image, SensorNames + textOffset, SensorTextSize, CellOf(rows, row, Cells::ThName));
            PutText(m_image, SensorHighSms + textOffset, SensorTextSize, CellOf(rows, row, Cells::ThHighSms));
            PutText(m_image, SensorLowSms + textOffset, SensorTextSize, CellOf(rows, row, Cells::ThLowSms));
            PutText(m_image, SensorRecoverySms + textOffset, SensorTextSize, CellOf(rows, row, Cells::ThRecoverySms));
            PutNumber(SensorVerifyTimes + 2 * slot, CellOf(rows, row, Cells::ThVerifyTime), 2, Names::ThList,
                      row, Cells::ThVerifyTime);
            quint8 flags = 0;
            for (const TSensorFlag &flag : SensorFlagCells) {
                if (CellOf(rows, row, flag.SubItem) == Cells::TickMark)
                    flags |= flag.Bit;
            }
            PutByte(m_image, SensorFlags + slot, flags);
            PutThreshold(SensorHighThresholds + 2 * slot, CellOf(rows, row, Cells::ThHigh), row, Cells::ThHigh);
            PutThreshold(SensorLowThresholds + 2 * slot, CellOf(rows, row, Cells::ThLow), row, Cells::ThLow);
        }
    }

    void EncodeLoginMessage()
    {
        const QString text = Text(Names::LoginMessage);
        if (!Checked(Names::LoginHexMode)) {
            // The length byte counts the bytes stored, never more than the area holds.
            const int stored = PutText(m_image, LoginData, LoginDataSize, text);
            PutByte(m_image, LoginLength, quint8(stored));
            PutByte(m_image, LoginMode, 0);
            return;
        }
        // Every pair is checked, also those past the 50 bytes that are stored.
        const QString digits = RemoveSpaces(text).trimmed();
        const int pairs = int(digits.size() / 2);
        for (int pair = 0; pair < pairs; ++pair) {
            if (HexDigitValue(digits.at(2 * pair)) < 0 || HexDigitValue(digits.at(2 * pair + 1)) < 0) {
                Fail(TConfigErrorCode::BadHexPair, Names::LoginMessage, -1, -1, digits.mid(2 * pair, 2));
                return;
            }
        }
        QByteArray field(LoginDataSize, '\0');
        if (!HexTextToBytes(text, field, LoginDataSize - 1)) {
            Fail(TConfigErrorCode::BadHexPair, Names::LoginMessage, -1, -1, digits);
            return;
        }
        for (int index = 0; index < LoginDataSize; ++index)
            PutByte(m_image, LoginData + index, quint8(field.at(index)));
        PutByte(m_image, LoginLength, quint8(qMin(pairs, LoginDataSize)));
        PutByte(m_image, LoginMode, LoginModeHex);
    }

    void EncodeCommunication()
    {
        if (Checked(Names::RecordCheck))
            PutNumber(RecordInterval, Text(Names::RecordInterval), 0, Names::RecordInterval);
        else
            PutU16(m_image, RecordInterval, 0);
        PutText(m_image, AccessPointName, GprsTextSize, Text(Names::AccessPointName));
        PutText(m_image, GprsUserName, GprsTextSize, Text(Names::GprsUserName));
        PutText(m_image, GprsPassword, GprsTextSize, Text(Names::GprsPassword));
        EncodeLoginMessage();
        const int stored = PutText(m_image, HeartbeatData, HeartbeatDataSize, Text(Names::HeartbeatContent));
        PutByte(m_image, HeartbeatLength, quint8(stored));
        PutByte(m_image, HeartbeatReservedZero, 0);
        PutNumber(HeartbeatInterval, Text(Names::HeartbeatInterval), 2, Names::HeartbeatInterval);
        PutByte(m_image, StopDialling, Checked(Names::StopDialling) ? 1 : 0);
    }

    const TConfigValues &m_values;
    const int m_model;
    TDataPack m_image;
    TConfigError m_error;
};

const QStringList &EditNames()
{
    static const QStringList names = {
        Names::MainPassword,    Names::DeviceId,          Names::DeviceDescription,
        Names::SmsReportInterval, Names::AutoArmMinutes,  Names::PowerLossDelay,
        Names::RecordInterval,  Names::ServerAddress,     Names::ServerPort,
        Names::UploadInterval,  Names::HeartbeatInterval, Names::HeartbeatContent,
        Names::AccessPointName, Names::GprsUserName,      Names::GprsPassword,
        Names::LoginMessage,
    };
    return names;
}

const QStringList &CheckNames()
{
    static const QStringList names = {
        Names::ReportTimeCheck, Names::SmsReportCheck, Names::AutoArmed,    Names::AddTimeToAlarmSms,
        Names::AutoArmCheck,    Names::StopDialling,   Names::PowerLossCheck, Names::RecordCheck,
        Names::LoginHexMode,
    };
    return names;
}

} // namespace

bool TTimerRow::operator==(const TTimerRow &other) const
{
    return Enabled == other.Enabled && DayCode == other.DayCode && Hour == other.Hour
           && Minute == other.Minute && ActionCode == other.ActionCode;
}

int SensorRowCount(int modelIndex)
{
    switch (modelIndex) {
    case 0:
        return 8;
    case 1:
        return 16;
    case 2:
        return 8;
    default:
        return 0;
    }
}

int SensorSlotOfRow(int modelIndex, int row)
{
    return modelIndex == 2 ? 2 * row : row;
}

TConfigValues BlankConfigValues(int modelIndex)
{
    TConfigValues values;
    for (const QString &name : EditNames())
        values.Texts.insert(name, QString());
    for (const QString &name : CheckNames())
        values.Checks.insert(name, false);
    values.Checks.insert(ConfigControls::ShowPassword, false);
    values.Combos.insert(ConfigControls::Transport, -1);
    values.Combos.insert(ConfigControls::Protocol, -1);
    values.Times.insert(ConfigControls::ReportTime, QTime());
    values.lvDo = QVector<QStringList>(RelayCount, EmptyRow(Cells::DoSubItems));
    values.lvTh = QVector<QStringList>(SensorRowCount(modelIndex), EmptyRow(Cells::ThSubItems));
    values.lvTel = QVector<QStringList>(PhoneCount, EmptyRow(Cells::TelSubItems));
    values.lvTimer = QVector<TTimerRow>(TimerCount);
    return values;
}

void ApplyAssignment(TConfigValues &values, const TConfigAssignment &assignment)
{
    const QString &control = assignment.Control;
    switch (assignment.Kind) {
    case TAssignKind::Text:
        values.Texts[control] = assignment.Value.toString();
        return;
    case TAssignKind::Check:
        values.Checks[control] = assignment.Value.toBool();
        return;
    case TAssignKind::ComboIndex:
        values.Combos[control] = assignment.Value.toInt();
        return;
    case TAssignKind::Time:
        values.Times[control] = assignment.Value.toTime();
        return;
    case TAssignKind::Enabled:
        values.Enabled[control] = assignment.Value.toBool();
        return;
    case TAssignKind::Cell:
    case TAssignKind::TimerDay:
    case TAssignKind::TimerAction:
        break;
    }
    if (assignment.Row < 0 || assignment.SubItem < 0)
        return;
    if (control == ConfigControls::TimerList) {
        if (values.lvTimer.size() <= assignment.Row)
            values.lvTimer.resize(assignment.Row + 1);
        TTimerRow &row = values.lvTimer[assignment.Row];
        if (assignment.Kind == TAssignKind::TimerDay) {
            row.DayCode = assignment.Value.toInt();
        } else if (assignment.Kind == TAssignKind::TimerAction) {
            row.ActionCode = assignment.Value.toInt();
        } else if (assignment.SubItem == Cells::TimerEnabled) {
            row.Enabled = assignment.Value.toString() == Cells::TickMark;
        } else if (assignment.SubItem == Cells::TimerHour) {
            row.Hour = assignment.Value.toString();
        } else if (assignment.SubItem == Cells::TimerMinute) {
            row.Minute = assignment.Value.toString();
        }
        return;
    }
    QVector<QStringList> *rows = nullptr;
    if (control == ConfigControls::DoList)
        rows = &values.lvDo;
    else if (control == ConfigControls::ThList)
        rows = &values.lvTh;
    else if (control == ConfigControls::TelList)
        rows = &values.lvTel;
    if (!rows)
        return;
    if (rows->size() <= assignment.Row)
        rows->resize(assignment.Row + 1);
    QStringList &cells = (*rows)[assignment.Row];
    while (cells.size() <= assignment.SubItem)
        cells.append(QString());
    cells[assignment.SubItem] = assignment.Value.toString();
}

TDecodeResult DecodeImage(const TDataPack &image, int modelIndex)
{
    TDecodeResult result;
    if (image.size() < ImageSize) {
        result.Error.Code = TConfigErrorCode::ImageTooShort;
        result.Error.Text = QString::number(image.size());
        result.Error.Minimum = QString::number(ImageSize);
        return result;
    }
    result.Assignments = TImageDecoder(image, modelIndex).Run();
    result.Values = BlankConfigValues(modelIndex);
    for (const TConfigAssignment &assignment : std::as_const(result.Assignments))
        ApplyAssignment(result.Values, assignment);
    return result;
}

TEncodeResult EncodeImage(const TConfigValues &values, int modelIndex)
{
    return TImageEncoder(values, modelIndex).Run();
}

QStringList TimerRowCells(const TTimerRow &row, const QStringList &weekList, const QStringList &actionList)
{
    return {TickText(row.Enabled), TimerCodes::DayText(row.DayCode, weekList), row.Hour, row.Minute,
            TimerCodes::ActionText(row.ActionCode, actionList)};
}

TTimerRow TimerRowFromCells(const QStringList &cells, const QStringList &weekList,
                            const QStringList &actionList)
{
    TTimerRow row;
    row.Enabled = cells.value(Cells::TimerEnabled) == Cells::TickMark;
    const QString day = cells.value(Cells::TimerDay);
    if (!day.isEmpty())
        row.DayCode = qMax(0, TimerCodes::DayCodeOfText(day, weekList));
    row.Hour = cells.value(Cells::TimerHour);
    row.Minute = cells.value(Cells::TimerMinute);
    const QString action = cells.value(Cells::TimerAction);
    if (!action.isEmpty())
        row.ActionCode = qMax(0, TimerCodes::ActionCodeOfText(action, actionList));
    return row;
}

QString TenthsToText(int tenths)
{
    if (tenths % 10 == 0)
        return QString::number(tenths / 10);
    const int magnitude = tenths < 0 ? -tenths : tenths;
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

bool TConfigValues::operator==(const TConfigValues &other) const
{
    return Texts == other.Texts && Checks == other.Checks && Combos == other.Combos && Times == other.Times
        && Enabled == other.Enabled && lvDo == other.lvDo && lvTh == other.lvTh && lvTel == other.lvTel
        && lvTimer == other.lvTimer;
}
