#include "sim/SimLogger_Unt.h"

#include "link/BasicProtocol_Unt.h"

#include <QTimer>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Where the device keeps its settings in the 3646-byte configuration image.
// 16-bit numbers are little-endian; texts are 0x00-padded single bytes.
namespace ImageMap {
constexpr int Password = 0;                 // 4-byte text
constexpr int DeviceId = 4;                 // u16
constexpr int ReportHour = 6;               // 0xFF = no daily report
constexpr int ReportMinute = 7;
constexpr int SmsReportMinutes = 8;         // u16, 0 = off
constexpr int Description = 34;             // 60-byte text
constexpr int DescriptionSize = 60;
constexpr int ArmFlags = 94;                // bit 0 arm at power-on, bit 1 time in alarm SMS
constexpr int AutoArmOn = 95;               // 0 = off
constexpr int AutoArmMinutes = 96;          // u16
constexpr int Reserved98 = 98;              // 4 bytes 0x00
constexpr int Phones = 102;                 // 10 x 22-byte text
constexpr int PhoneSize = 22;
constexpr int PhoneCount = 10;
constexpr int PhoneMasks = 322;             // 10 x u16 event mask
constexpr int Relays = 342;                 // 2 x 164-byte relay block
constexpr int RelayBlockSize = 164;
constexpr int RelayName = 0;                // 40-byte text
constexpr int RelayCloseSeconds = 40;       // u16, 0 = stays closed
constexpr int RelayRecoverySms = 42;        // 64 = on
constexpr int RelayReserved = 43;           // 0x00
constexpr int RelayCloseText = 44;          // 60-byte text
constexpr int RelayOpenText = 104;          // 60-byte text
constexpr int Timers = 670;                 // 10 x 4 bytes: mode, hour, minute, action
constexpr int TimerCount = 10;
constexpr int GprsMode = 710;               // bit 7 UDP, bits 3-0 communication type
constexpr int Server = 712;                 // 32-byte text
constexpr int ServerPort = 744;             // u16
constexpr int UploadMinutes = 746;          // u16
constexpr int PowerLossMinutes = 770;       // u16, 999 = no alert
constexpr int ChannelNames = 772;           // 16 x 40-byte text
constexpr int HighAlarmTexts = 1412;        // 16 x 40-byte text
constexpr int LowAlarmTexts = 2052;         // 16 x 40-byte text
constexpr int RecoveryTexts = 2692;         // 16 x 40-byte text
constexpr int ChannelTextSize = 40;
constexpr int VerifySeconds = 3332;         // 16 x u16
constexpr int ChannelFlags = 3364;          // 16 x flags
constexpr int HighThresholds = 3380;        // 16 x s16 tenths
constexpr int LowThresholds = 3412;         // 16 x s16 tenths
constexpr int RecordSeconds = 3446;         // u16, 0 = no history
constexpr int AccessPoint = 3448;           // 40-byte text
constexpr int GprsUser = 3488;              // 40-byte text
constexpr int GprsPassword = 3528;          // 40-byte text
constexpr int GprsTextSize = 40;
constexpr int LoginData = 3568;             // 50 bytes
constexpr int LoginDataSize = 50;
constexpr int LoginLength = 3618;
constexpr int LoginMode = 3619;             // 1 = hex, else ASCII
constexpr int HeartbeatData = 3620;         // 20 bytes
constexpr int HeartbeatDataSize = 20;
constexpr int HeartbeatLength = 3640;
constexpr int HeartbeatReserved = 3641;     // 0x00
constexpr int HeartbeatSeconds = 3642;      // u16
constexpr int StopDialling = 3644;          // 1 = stop on * or #
} // namespace ImageMap

constexpr int ChannelSlots = 16;
constexpr quint8 ChannelEnabled = 0x01;
constexpr quint8 ChannelRecoverySms = 0x40;

// Where a history record keeps its fields (64 bytes, little-endian).
namespace RecordMap {
constexpr int Sequence = 0;                 // u32, never FF FF FF FF in a written record
constexpr int Year = 4;                     // year - 2000; then month, day, hour, minute, second
constexpr int Signal = 10;
constexpr int Flags = 11;                   // bit 7 armed, bit 0 DO1 closed, bit 1 DO2 closed
constexpr int Values = 12;                  // 16 x s16 tenths
constexpr int Type = 44;                    // bits 0-2
constexpr int Unused = 45;
} // namespace RecordMap

constexpr quint8 RecordArmed = 0x80;
enum RecordType : quint8 { RecordInterval = 0, RecordAlarm = 1, RecordUpload = 2,
                           RecordRelay = 3, RecordArming = 4 };

constexpr quint32 ConfigAreaEnd = 0x1000;   // pages 0..15
constexpr quint32 HistoryBase = 0x4000;
// The largest request the device takes: one 256-byte configuration page.
constexpr int MaxRequestData = 256;
// Longer than any text line the device knows ("1234REBOOT" and the like).
constexpr int MaxLineLength = 64;

void PutText(QByteArray &image, int offset, int size, const QByteArray &text)
{
    for (int index = 0; index < size; ++index)
        image[offset + index] = index < text.size() ? text.at(index) : '\0';
}

void PutU16(QByteArray &image, int offset, quint16 value)
{
    qToLittleEndian(value, image.data() + offset);
}

quint16 GetU16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// Which of the 16 channel slots the model measures: a K801 has four
// temperature/humidity pairs, a K802 eight, a K803 eight temperatures.
bool ModelHasSlot(TSimLogger::Model model, int slot)
{
    switch (model) {
    case TSimLogger::Model::K801:
        return slot >= 0 && slot < 8;
    case TSimLogger::Model::K802:
        return slot >= 0 && slot < ChannelSlots;
    case TSimLogger::Model::K803:
        return slot >= 0 && slot < ChannelSlots && slot % 2 == 0;
    }
    return false;
}

// Slot 2j is temperature j + 1, slot 2j + 1 humidity j + 1.
QByteArray ChannelName(int slot)
{
    const QByteArray kind = slot % 2 == 1 ? QByteArray("Humidity") : QByteArray("Temperature");
    return kind + QByteArray::number(slot / 2 + 1);
}

// A small stable hash for the noise of the simulated sensors.
quint32 Mix(quint32 value)
{
    value ^= value >> 16;
    value *= 0x7feb352dU;
    value ^= value >> 15;
    value *= 0x846ca68bU;
    value ^= value >> 16;
    return value;
}

// Luhn check digit of the 14 digits before it.
QChar LuhnDigit(const QString &digits)
{
    int sum = 0;
    for (int index = 0; index < digits.size(); ++index) {
        int digit = digits.at(digits.size() - 1 - index).digitValue();
        if (index % 2 == 0) {
            digit *= 2;
            if (digit > 9)
                digit -= 9;
        }
        sum += digit;
    }
    return QChar('0' + (10 - sum % 10) % 10);
}

} // namespace

TSimLogger::TSimLogger(Model model, QObject *parent)
    : QObject(parent),
      m_model(model),
      m_image(FactoryImage(model)),
      m_random(0x4B383032u + quint32(model)),
      m_inputIdle(new QTimer(this))
{
    m_inputIdle->setSingleShot(true);
    m_inputIdle->setInterval(InputIdleTimeoutMs);
    connect(m_inputIdle, &QTimer::timeout, this, &TSimLogger::DropUnfinishedInput);
    setHistoryRecordCount(DefaultHistoryRecords, DefaultHistoryIntervalSeconds);
}

TSimLogger::~TSimLogger() = default;

bool TSimLogger::ModelFromText(const QString &text, Model *model)
{
    const QString name = text.trimmed().toUpper();
    Model found;
    if (name == QLatin1String("K801"))
        found = Model::K801;
    else if (name == QLatin1String("K802"))
        found = Model::K802;
    else if (name == QLatin1String("K803"))
        found = Model::K803;
    else
        return false;
    if (model)
        *model = found;
    return true;
}

QString TSimLogger::ModelText(Model model)
{
    switch (model) {
    case Model::K801:
        return QStringLiteral("K801");
    case Model::K802:
        return QStringLiteral("K802");
    case Model::K803:
        return QStringLiteral("K803");
    }
    return QStringLiteral("K801");
}

QString TSimLogger::firmwareVersion() const
{
    return QStringLiteral("V1.08");
}

QString TSimLogger::imei() const
{
    const QString body = QStringLiteral("8637120304%1").arg(4801 + int(m_model));
    return body + LuhnDigit(body);
}

QString TSimLogger::password() const
{
    QByteArray text;
    for (int index = 0; index < 4; ++index) {
        const char byte = m_image.at(ImageMap::Password + index);
        if (byte == '\0')
            break;
        if (quint8(byte) != 0xFF)
            text.append(byte);
    }
    return QString::fromLatin1(text);
}

void TSimLogger::setPassword(const QString &password)
{
    PutText(m_image, ImageMap::Password, 4, password.toLatin1().left(4));
}

void TSimLogger::setConfigImage(const QByteArray &image)
{
    m_image = image.left(ImageSize);
    if (m_image.size() < ImageSize)
        m_image.append(QByteArray(ImageSize - m_image.size(), char(0xFF)));
}

// The factory defaults: what a new logger holds before anyone configures it,
// and what RESET brings back.
QByteArray TSimLogger::FactoryImage(Model model)
{
    using namespace ImageMap;
    // Reserved bytes and unused channel slots stay erased (0xFF).
    QByteArray image(ImageSize, char(0xFF));
    const QByteArray modelName = ModelText(model).toLatin1();

    // Basic settings: password 5937, ID 1, daily report at 08:00, no periodic
    // SMS report, armed at power-on with the alarm time in alarm SMS, no
    // automatic re-arming.
    PutText(image, Password, 4, "5937");
    PutU16(image, DeviceId, 1);
    image[ReportHour] = char(8);
    image[ReportMinute] = char(0);
    PutU16(image, SmsReportMinutes, 0);
    PutText(image, Description, DescriptionSize,
            modelName + " GSM Temperature Humidity Data Logger");
    image[ArmFlags] = char(0x03);
    image[AutoArmOn] = char(0);
    PutU16(image, AutoArmMinutes, 0);
    PutText(image, Reserved98, 4, QByteArray());

    // Alarm phone numbers: the installer's number gets every event, the
    // second number alarms, recoveries and relay changes; the rest are empty.
    PutText(image, Phones + 0 * PhoneSize, PhoneSize, "+8613800138000");
    PutU16(image, PhoneMasks + 0 * 2, 0x02FF);
    PutText(image, Phones + 1 * PhoneSize, PhoneSize, "13912345678");
    PutU16(image, PhoneMasks + 1 * 2, 0x0218);
    for (int entry = 2; entry < PhoneCount; ++entry) {
        PutText(image, Phones + entry * PhoneSize, PhoneSize, QByteArray());
        PutU16(image, PhoneMasks + entry * 2, 0x0000);
    }

    // Relay outputs DOUT1 and DOUT2: stay closed when switched (close time 0),
    // SMS on recovery.
    for (int relay = 0; relay < 2; ++relay) {
        const int block = Relays + relay * RelayBlockSize;
        PutText(image, block + RelayName, 40, "DOUT" + QByteArray::number(relay + 1));
        PutU16(image, block + RelayCloseSeconds, 0);
        image[block + RelayRecoverySms] = char(64);
        image[block + RelayReserved] = char(0);
        PutText(image, block + RelayCloseText, 60, "Close");
        PutText(image, block + RelayOpenText, 60, "Open");
    }

    // Timers: a daily SMS report at 08:00, a weekly reboot on Sunday 03:00;
    // the other eight are off and unset.
    const quint8 timers[TimerCount][4] = {
        {0x0F, 8, 0, 2},            // every day, 08:00, "2.Auto Report By SMS"
        {0x00, 3, 0, 0},            // Sunday, 03:00, "0.Reboot"
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
        {0x80, 0xFF, 0xFF, 0},
    };
    for (int timer = 0; timer < TimerCount; ++timer)
        for (int byte = 0; byte < 4; ++byte)
            image[Timers + 4 * timer + byte] = char(timers[timer][byte]);

    // GPRS: TCP, communication off until the installer enables it; server,
    // port, a 10-minute upload, heartbeat "ACK" every 60 s, APN CMNET.
    image[GprsMode] = char(0x00);
    PutText(image, Server, 32, "iot.example.com");
    PutU16(image, ServerPort, 5000);
    PutU16(image, UploadMinutes, 10);
    PutText(image, AccessPoint, GprsTextSize, "CMNET");
    PutText(image, GprsUser, GprsTextSize, QByteArray());
    PutText(image, GprsPassword, GprsTextSize, QByteArray());
    const QByteArray login = modelName + "-0001";
    PutText(image, LoginData, LoginDataSize, login);
    image[LoginLength] = char(login.size());
    image[LoginMode] = char(0);
    PutText(image, HeartbeatData, HeartbeatDataSize, "ACK");
    image[HeartbeatLength] = char(3);
    image[HeartbeatReserved] = char(0);
    PutU16(image, HeartbeatSeconds, 60);

    // Power loss is reported at once; a history record every 10 minutes;
    // dialling goes on through the list even when someone presses * or #.
    PutU16(image, PowerLossMinutes, 0);
    PutU16(image, RecordSeconds, 600);
    image[StopDialling] = char(0);

    // Sensor channels the model has: enabled with recovery SMS, 30 s alarm
    // verification, temperatures 5.0..30.0 °C (a K803 probe -20.0..30.0 °C),
    // humidities 30.0..65.0 %.
    for (int slot = 0; slot < ChannelSlots; ++slot) {
        if (!ModelHasSlot(model, slot))
            continue;
        const bool humidity = slot % 2 == 1;
        const QByteArray name = ChannelName(slot);
        PutText(image, ChannelNames + slot * ChannelTextSize, ChannelTextSize, name);
        PutText(image, HighAlarmTexts + slot * ChannelTextSize, ChannelTextSize, name + " High Alarm");
        PutText(image, LowAlarmTexts + slot * ChannelTextSize, ChannelTextSize, name + " Low Alarm");
        PutText(image, RecoveryTexts + slot * ChannelTextSize, ChannelTextSize, name + " Recover");
        PutU16(image, VerifySeconds + 2 * slot, 30);
        image[ChannelFlags + slot] = char(ChannelEnabled | ChannelRecoverySms);
        const qint16 high = humidity ? 650 : 300;
        const qint16 low = humidity ? 300 : (model == Model::K803 ? -200 : 50);
        PutU16(image, HighThresholds + 2 * slot, quint16(high));
        PutU16(image, LowThresholds + 2 * slot, quint16(low));
    }
    return image;
}

QDateTime TSimLogger::deviceClock() const
{
    return QDateTime::currentDateTime().addMSecs(m_clockOffsetMs);
}

bool TSimLogger::SlotUsed(int slot) const
{
    return ModelHasSlot(m_model, slot);
}

// Temperatures wander between about 20 and 25 °C and humidities between
// about 40 and 70 % over the day, with a slower ripple per channel and a
// little noise; the same moment always gives the same value.
qint16 TSimLogger::SensorValue(int slot, qint64 epochSeconds, int secondOfDay) const
{
    if (!SlotUsed(slot))
        return 0;
    const int channel = slot / 2;
    const double dayPhase = 2.0 * M_PI * double(secondOfDay) / 86400.0;
    const double noise = double(int(Mix(quint32(epochSeconds / 10) * 31u + quint32(slot)) % 3u) - 1);
    if (slot % 2 == 0) {
        const double base = 225.0 + 3.0 * ((channel % 3) - 1);
        const double daily = -18.0 * std::cos(dayPhase - M_PI / 6.0);
        const double ripple = 4.0 * std::sin(2.0 * M_PI * double(epochSeconds) / (900.0 + 97.0 * channel));
        return qint16(qRound(base + daily + ripple + noise));
    }
    const double base = 550.0 + 20.0 * ((channel % 3) - 1);
    const double daily = 100.0 * std::cos(dayPhase - M_PI / 6.0);
    const double ripple = 25.0 * std::sin(2.0 * M_PI * double(epochSeconds) / (1300.0 + 71.0 * channel));
    return qint16(qRound(base + daily + ripple + 3.0 * noise));
}

QByteArray TSimLogger::currentValues() const
{
    const QDateTime now = deviceClock();
    const qint64 epochSeconds = now.toSecsSinceEpoch();
    const int secondOfDay = now.time().msecsSinceStartOfDay() / 1000;
    QByteArray data(2 * ChannelSlots + 1, '\0');
    for (int slot = 0; slot < ChannelSlots; ++slot)
        PutU16(data, 2 * slot, quint16(SensorValue(slot, epochSeconds, secondOfDay)));
    data[2 * ChannelSlots] = char(m_relayBits);
    return data;
}

QByteArray TSimLogger::MakeHistoryRecord(int number, const QDateTime &when,
                                               quint8 previousFlags, quint8 *flags) const
{
    using namespace RecordMap;
    QByteArray record(RecordSize, '\0');
    const quint32 sequence = quint32(number);
    for (int byte = 0; byte < 4; ++byte)
        record[Sequence + byte] = char((sequence >> (8 * byte)) & 0xFF);
    const QDate date = when.date();
    const QTime time = when.time();
    record[Year] = char(date.year() - 2000);
    record[Year + 1] = char(date.month());
    record[Year + 2] = char(date.day());
    record[Year + 3] = char(time.hour());
    record[Year + 4] = char(time.minute());
    record[Year + 5] = char(time.second());
    record[Signal] = char(18 + Mix(quint32(number)) % 14u);

    // Disarmed now and then for maintenance; the relays follow their own slow cycles.
    quint8 state = (number / 50) % 6 == 5 ? 0 : RecordArmed;
    if ((number / 37) % 4 == 1)
        state |= 0x01;
    if ((number / 53) % 5 == 2)
        state |= 0x02;
    record[Flags] = char(state);
    *flags = state;

    bool alarm = false;
    const qint64 epochSeconds = when.toSecsSinceEpoch();
    const int secondOfDay = time.msecsSinceStartOfDay() / 1000;
    for (int slot = 0; slot < ChannelSlots; ++slot) {
        const qint16 value = SensorValue(slot, epochSeconds, secondOfDay);
        PutU16(record, Values + 2 * slot, quint16(value));
        if (!SlotUsed(slot) || !(quint8(m_image.at(ImageMap::ChannelFlags + slot)) & ChannelEnabled))
            continue;
        const qint16 high = qint16(GetU16(m_image, ImageMap::HighThresholds + 2 * slot));
        const qint16 low = qint16(GetU16(m_image, ImageMap::LowThresholds + 2 * slot));
        if (value > high || value < low)
            alarm = true;
    }

    RecordType type = RecordInterval;
    if (number > 1 && (state & RecordArmed) != (previousFlags & RecordArmed))
        type = RecordArming;
    else if (number > 1 && (state & 0x03) != (previousFlags & 0x03))
        type = RecordRelay;
    else if (alarm)
        type = RecordAlarm;
    else if (number % 12 == 0)
        type = RecordUpload;
    record[Type] = char(type);
    std::fill(record.begin() + Unused, record.end(), char(0xFF));
    return record;
}

void TSimLogger::setHistoryRecordCount(int count, int intervalSeconds)
{
    count = qBound(0, count, MaxHistoryRecords);
    intervalSeconds = qMax(1, intervalSeconds);
    QDateTime last = deviceClock();
    last.setTime(QTime(last.time().hour(), last.time().minute(), last.time().second()));
    m_historyRecords.clear();
    m_historyRecords.reserve(count);
    quint8 previousFlags = 0;
    for (int index = 0; index < count; ++index) {
        const QDateTime when = last.addSecs(-qint64(count - 1 - index) * intervalSeconds);
        quint8 flags = 0;
        m_historyRecords.append(MakeHistoryRecord(index + 1, when, previousFlags, &flags));
        previousFlags = flags;
    }
}

void TSimLogger::appendHistoryRecords(int count, int intervalSeconds)
{
    count = qBound(0, count, MaxHistoryRecords - int(m_historyRecords.size()));
    intervalSeconds = qMax(1, intervalSeconds);
    if (m_historyRecords.isEmpty()) {
        setHistoryRecordCount(count, intervalSeconds);
        return;
    }
    const QByteArray last = m_historyRecords.last();
    using namespace RecordMap;
    const QDateTime lastTime(QDate(2000 + quint8(last.at(Year)), quint8(last.at(Year + 1)), quint8(last.at(Year + 2))),
                             QTime(quint8(last.at(Year + 3)), quint8(last.at(Year + 4)), quint8(last.at(Year + 5))));
    quint8 previousFlags = quint8(last.at(Flags));
    for (int step = 1; step <= count; ++step) {
        quint8 flags = 0;
        const int number = int(m_historyRecords.size()) + 1;
        m_historyRecords.append(
            MakeHistoryRecord(number, lastTime.addSecs(qint64(step) * intervalSeconds), previousFlags, &flags));
        previousFlags = flags;
    }
}

void TSimLogger::setHistoryLog(const QVector<QByteArray> &records)
{
    m_historyRecords.clear();
    for (const QByteArray &record : records) {
        if (m_historyRecords.size() >= MaxHistoryRecords)
            break;
        m_historyRecords.append(record.left(RecordSize).leftJustified(RecordSize, char(0xFF)));
    }
}

int TSimLogger::framesWithCommand(quint8 command) const
{
    int count = 0;
    for (const QByteArray &request : requestLog()) {
        if (request.size() > 1 && request.at(0) == '#' && quint8(request.at(1)) == command)
            ++count;
    }
    return count;
}

void TSimLogger::setHistoryRecord(int index, const QByteArray &record)
{
    if (index >= 0 && index < m_historyRecords.size())
        m_historyRecords[index] = record.leftJustified(RecordSize, char(0xFF), true);
}

QByteArray TSimLogger::historyRecord(int index) const
{
    if (index < 0 || index >= m_historyRecords.size())
        return QByteArray(RecordSize, char(0xFF));
    return m_historyRecords.at(index);
}

QByteArray TSimLogger::readMemory(quint32 address) const
{
    const int size = address % 256 == 0 ? 256 : RecordSize;
    QByteArray bytes(size, char(0xFF));
    for (int index = 0; index < size; ++index) {
        const quint64 at = quint64(address) + quint64(index);
        if (at < quint64(ImageSize)) {
            bytes[index] = m_image.at(int(at));
        } else if (at >= HistoryBase) {
            const quint64 record = (at - HistoryBase) / RecordSize;
            if (record < quint64(m_historyRecords.size()))
                bytes[index] = m_historyRecords.at(int(record)).at(int((at - HistoryBase) % RecordSize));
        }
    }
    return bytes;
}

// Only the configuration area takes writes, and only its first 3646 bytes
// are kept: the last page the PC writes is all 0xFF filler.
bool TSimLogger::WriteMemory(quint32 address, const QByteArray &data)
{
    if (address >= ConfigAreaEnd)
        return false;
    if (m_ignoredPage >= 0 && int(address / 256) == m_ignoredPage)
        return true;
    for (int index = 0; index < data.size(); ++index) {
        const quint64 at = quint64(address) + quint64(index);
        if (at >= quint64(ImageSize))
            break;
        m_image[int(at)] = data.at(index);
    }
    return true;
}

bool TSimLogger::PasswordMatches(const QByteArray &requestData) const
{
    QByteArray given = requestData.left(4);
    const int end = given.indexOf('\0');
    if (end >= 0)
        given.truncate(end);
    return QString::fromLatin1(given) == password();
}

// Sets the clock from year - 2000, month, day, hour, minute[, second];
// false (clock unchanged) when they are no valid date and time.
bool TSimLogger::SetClockFrom(const QByteArray &requestData)
{
    if (requestData.size() < 5)
        return false;
    const QDate date(2000 + quint8(requestData.at(0)), quint8(requestData.at(1)), quint8(requestData.at(2)));
    const int second = requestData.size() > 5 ? quint8(requestData.at(5)) : 0;
    const QTime time(quint8(requestData.at(3)), quint8(requestData.at(4)), second);
    if (!date.isValid() || !time.isValid())
        return false;
    m_clockOffsetMs = QDateTime(date, time).toMSecsSinceEpoch() - QDateTime::currentMSecsSinceEpoch();
    return true;
}

QByteArray TSimLogger::VersionData()
{
    QByteArray data(33, '\0');
    const QByteArray model = ModelText(m_model).toLatin1();
    const QByteArray version = firmwareVersion().toLatin1();
    const QByteArray serial = imei().toLatin1();
    std::copy(model.begin(), model.end(), data.begin());
    std::copy(version.begin(), version.end(), data.begin() + 8);
    std::copy(serial.begin(), serial.end(), data.begin() + 16);
    data[32] = char(18 + m_random.bounded(14));
    return data;
}

void TSimLogger::Receive(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_input.append(bytes);
    ParseInput();
}

void TSimLogger::ParseInput()
{
    const TBasicProtocol codec;
    while (!m_input.isEmpty()) {
        if (quint8(m_input.at(0)) == TBasicProtocol::StartByte) {
            if (m_input.size() < TBasicProtocol::HeadSize)
                break;
            const int dataLength = quint8(m_input.at(6)) * 256 + quint8(m_input.at(7));
            if (dataLength > MaxRequestData) {
                // No request of this device is that long: a stray '#'.
                m_input.remove(0, 1);
                continue;
            }
            const int frameLength = TBasicProtocol::HeadSize + dataLength + 1;
            if (m_input.size() < frameLength)
                break;
            const QByteArray frame = m_input.left(frameLength);
            m_input.remove(0, frameLength);
            m_requests.append(frame);
            emit requestReceived(frame);
            if (codec.CheckFrame(frame))
                HandleFrame(frame);
            continue;
        }

        const int lineEnd = m_input.indexOf("\r\n");
        const int frameStart = m_input.indexOf(char(TBasicProtocol::StartByte));
        if (lineEnd >= 0 && (frameStart < 0 || lineEnd < frameStart)) {
            QByteArray line = m_input.left(lineEnd);
            m_input.remove(0, lineEnd + 2);
            // The line's text is the printable run before CR LF; whatever
            // came before it is noise.
            int textStart = line.size();
            while (textStart > 0 && line.at(textStart - 1) > ' ' && line.at(textStart - 1) < 0x7F)
                --textStart;
            line.remove(0, textStart);
            if (line.isEmpty())
                continue;
            m_requests.append(line + "\r\n");
            emit requestReceived(line + "\r\n");
            HandleLine(line);
            continue;
        }
        if (frameStart > 0) {
            m_input.remove(0, frameStart);
            continue;
        }
        // The start of a text line, or noise: wait for its CR LF, but never
        // keep more than a line's worth.
        if (m_input.size() > MaxLineLength)
            m_input.remove(0, m_input.size() - MaxLineLength);
        break;
    }
    if (m_input.isEmpty())
        m_inputIdle->stop();
    else
        m_inputIdle->start();
}

void TSimLogger::DropUnfinishedInput()
{
    m_input.clear();
}

// The relay lines must carry the device password like REBOOT and RESET do.
// The tool sends its relay lines with the default 5937 whatever the device
// password is, so on a device whose password was changed they switch nothing
// here, as a device that checks its password would behave.
void TSimLogger::HandleLine(const QByteArray &line)
{
    static const char *const keywords[] = {"DOO1", "DOC1", "DOO2", "DOC2", "REBOOT", "RESET"};
    for (const char *keyword : keywords) {
        if (!line.endsWith(keyword))
            continue;
        const QByteArray prefix = line.left(line.size() - int(std::strlen(keyword)));
        if (QString::fromLatin1(prefix) != password())
            return;
        const QByteArray word(keyword);
        if (word == "DOO1")
            m_relayBits &= quint8(~0x01);
        else if (word == "DOC1")
            m_relayBits |= 0x01;
        else if (word == "DOO2")
            m_relayBits &= quint8(~0x02);
        else if (word == "DOC2")
            m_relayBits |= 0x02;
        else if (word == "REBOOT") {
            // A restart drops the outputs and whatever was half received;
            // the clock runs on its battery and the settings and log stay.
            ++m_rebootCount;
            m_relayBits = 0;
            m_input.clear();
        } else {
            setConfigImage(FactoryImage(m_model));
            TSimBurst burst;
            burst.bytes = QByteArrayLiteral("OK\r\n");
            Reply({burst}, false);
        }
        return;
    }
}

void TSimLogger::HandleFrame(const QByteArray &frame)
{
    const TBasicProtocol codec;
    const quint8 command = quint8(frame.at(1));
    const quint32 address = (quint32(quint8(frame.at(2))) << 24) | (quint32(quint8(frame.at(3))) << 16)
                            | (quint32(quint8(frame.at(4))) << 8) | quint32(quint8(frame.at(5)));
    const QByteArray data = codec.GetData(frame);

    switch (command) {
    case TBasicProtocol::CmdPassword:
        ReplyFrame(command, address, QByteArray(1, PasswordMatches(data) ? '\1' : '\0'));
        break;
    case TBasicProtocol::CmdSetClock:
        ReplyFrame(command, address, QByteArray(1, SetClockFrom(data) ? '\1' : '\0'));
        break;
    case TBasicProtocol::CmdVersion:
        ReplyFrame(command, address, VersionData());
        break;
    case TBasicProtocol::CmdValues:
        ReplyFrame(command, address, currentValues());
        break;
    case TBasicProtocol::CmdReadClock: {
        const QDateTime now = deviceClock();
        QByteArray clock(6, '\0');
        clock[0] = char(now.date().year() - 2000);
        clock[1] = char(now.date().month());
        clock[2] = char(now.date().day());
        clock[3] = char(now.time().hour());
        clock[4] = char(now.time().minute());
        clock[5] = char(now.time().second());
        ReplyFrame(command, address, clock);
        break;
    }
    case TBasicProtocol::CmdWriteMemory:
        ReplyFrame(command, address, QByteArray(1, WriteMemory(address, data) ? '\1' : '\0'));
        break;
    case TBasicProtocol::CmdReadMemory:
        ReplyFrame(command, address, readMemory(address));
        break;
    case TBasicProtocol::CmdClearHistory: {
        // The log is gone at once; the progress report takes its time.
        m_historyRecords.clear();
        QList<TSimBurst> progress;
        for (const char *step : {"10", "35", "70", "100"}) {
            TSimBurst burst;
            burst.bytes = QByteArray(step);
            burst.quietMs = progress.isEmpty() ? 0 : ErasePauseMs;
            progress.append(burst);
        }
        Reply(progress, false);
        break;
    }
    default:
        // Unknown commands go unanswered.
        break;
    }
}

void TSimLogger::ReplyFrame(quint8 command, quint32 address, const QByteArray &data)
{
    const TBasicProtocol codec;
    TSimBurst burst;
    burst.bytes = m_echoesHead ? codec.BuildFrame(command, codec.IntToAddress(address), data)
                               : codec.BuildFrame(0, codec.IntToAddress(0), data);
    Reply({burst}, true);
}

void TSimLogger::Reply(const QList<TSimBurst> &bursts, bool isFrame)
{
    if (Send)
        Send(bursts, isFrame);
}
