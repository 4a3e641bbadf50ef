#include "config/ConfigImage_Unt.h"

#include <QStringEncoder>
#include <QTest>

namespace Names = ConfigControls;
namespace Cells = ConfigCells;

using TPatch = QPair<int, QByteArray>;
using TPatches = QList<TPatch>;
Q_DECLARE_METATYPE(TPatches)
Q_DECLARE_METATYPE(TAssignKind)
Q_DECLARE_METATYPE(TConfigErrorCode)

namespace {

const QString Tick = Cells::TickMark;

const QStringList EnglishWeek = {"Sunday",   "Monday", "Tuesday",  "Wednesday",
                                 "Thursday", "Friday", "Saturday", "Everyday"};
const QStringList ChineseWeek = {"日", "一", "二", "三", "四", "五", "六", "每天"};
const QStringList EnglishActions = {"0.Reboot",       "1.Upload Data By GPRS", "2.Auto Report By SMS",
                                    "3.Save Historical Data", "4.GPRS Online", "5.Arm", "6.Disarm",
                                    "7.DO1 Close(ON)", "8.DO1 Open(OFF)", "9.DO2 Close(ON)",
                                    "10.DO2 Open(OFF)"};
const QStringList ChineseActions = {"0.重启",   "1.上传GPRS数据", "2.短信上报",    "3.保存历史记录",
                                    "4.GPRS上线", "5.布防",       "6.撤防",        "7.继电器1闭合",
                                    "8.继电器1断开", "9.继电器2闭合", "10.继电器2断开"};

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(char(value));
    return bytes;
}

QByteArray Le16(int value)
{
    return Bytes({value & 0xFF, (value >> 8) & 0xFF});
}

QByteArray Gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

// The text's GBK bytes in a field of the given size, the rest zeros.
QByteArray Field(const QString &text, int size)
{
    QByteArray bytes = Gbk(text);
    bytes.append(QByteArray(size - bytes.size(), '\0'));
    return bytes;
}

TDataPack ErasedImage()
{
    return TDataPack(ConfigMap::ImageSize, char(0xFF));
}

void Patch(TDataPack &image, int offset, const QByteArray &bytes)
{
    image.replace(offset, bytes.size(), bytes);
}

TDataPack Patched(const TPatches &patches)
{
    TDataPack image = ErasedImage();
    for (const TPatch &patch : patches)
        Patch(image, patch.first, patch.second);
    return image;
}

QVector<QStringList> *RowsOf(TConfigValues &values, const QString &list)
{
    if (list == Names::DoList)
        return &values.lvDo;
    if (list == Names::ThList)
        return &values.lvTh;
    if (list == Names::TelList)
        return &values.lvTel;
    return nullptr;
}

// Settings keyed "control" or "list/row/subItem"; a bool sets a check box, an
// int a combo box, a QTime a picker, a text an edit or a cell.
void Apply(TConfigValues &values, const QVariantMap &settings)
{
    for (auto setting = settings.cbegin(); setting != settings.cend(); ++setting) {
        const QStringList parts = setting.key().split('/');
        if (parts.size() == 3) {
            QVector<QStringList> &rows = *RowsOf(values, parts.at(0));
            rows[parts.at(1).toInt()][parts.at(2).toInt()] = setting.value().toString();
            continue;
        }
        switch (setting.value().typeId()) {
        case QMetaType::Bool:
            values.Checks[setting.key()] = setting.value().toBool();
            break;
        case QMetaType::Int:
            values.Combos[setting.key()] = setting.value().toInt();
            break;
        case QMetaType::QTime:
            values.Times[setting.key()] = setting.value().toTime();
            break;
        default:
            values.Texts[setting.key()] = setting.value().toString();
            break;
        }
    }
}

// The decoded value of a control or cell, as the window would show it (timer
// day and action cells in English).
QVariant Shown(const TConfigValues &values, TAssignKind kind, const QString &control, int row,
               int subItem)
{
    switch (kind) {
    case TAssignKind::Text:
        return values.Texts.value(control);
    case TAssignKind::Check:
        return values.Checks.value(control);
    case TAssignKind::ComboIndex:
        return values.Combos.value(control);
    case TAssignKind::Time:
        return values.Times.value(control);
    case TAssignKind::Enabled:
        return values.Enabled.value(control);
    case TAssignKind::TimerDay:
        return values.lvTimer.value(row).DayCode;
    case TAssignKind::TimerAction:
        return values.lvTimer.value(row).ActionCode;
    case TAssignKind::Cell:
        break;
    }
    if (control == Names::TimerList)
        return TimerRowCells(values.lvTimer.value(row), EnglishWeek, EnglishActions).value(subItem);
    TConfigValues copy = values;
    return RowsOf(copy, control)->value(row).value(subItem);
}

int FirstAssignment(const QVector<TConfigAssignment> &assignments, const QString &control, int row = -1)
{
    for (int index = 0; index < assignments.size(); ++index) {
        if (assignments.at(index).Control == control && (row < 0 || assignments.at(index).Row == row))
            return index;
    }
    return -1;
}

int LastAssignment(const QVector<TConfigAssignment> &assignments, const QString &control)
{
    for (int index = assignments.size() - 1; index >= 0; --index) {
        if (assignments.at(index).Control == control)
            return index;
    }
    return -1;
}

// A configuration as a user would fill it in, every field in use.
TConfigValues RealisticValues(int model, bool hexLogin)
{
    TConfigValues values = BlankConfigValues(model);
    Apply(values, {
                      {Names::MainPassword, "5937"},
                      {Names::DeviceId, "12"},
                      {Names::DeviceDescription, "冷库 Cold room 2"},
                      {Names::ReportTimeCheck, true},
                      {Names::ReportTime, QTime(9, 5)},
                      {Names::SmsReportCheck, true},
                      {Names::SmsReportInterval, "120"},
                      {Names::AutoArmed, true},
                      {Names::AddTimeToAlarmSms, false},
                      {Names::AutoArmCheck, true},
                      {Names::AutoArmMinutes, "15"},
                      {Names::StopDialling, true},
                      {Names::PowerLossCheck, true},
                      {Names::PowerLossDelay, "5"},
                      {Names::RecordCheck, true},
                      {Names::RecordInterval, "300"},
                      {Names::Transport, 1},
                      {Names::Protocol, 2},
                      {Names::ServerAddress, "logger.example.net"},
                      {Names::ServerPort, "9000"},
                      {Names::UploadInterval, "10"},
                      {Names::HeartbeatInterval, "60"},
                      {Names::HeartbeatContent, "ACK"},
                      {Names::AccessPointName, "cmnet"},
                      {Names::GprsUserName, "user"},
                      {Names::GprsPassword, "pass"},
                      {Names::LoginHexMode, hexLogin},
                      {Names::LoginMessage, hexLogin ? "01AB3F" : "K80X-0012"},
                  });
    values.lvTel[0] = QStringList{"+8613800000000", Tick, Tick, "", Tick, Tick, "", "", "", Tick};
    values.lvTel[3] = QStringList{"+4420000000", "", "", "", "", "", "", "", "", Tick};
    values.lvDo[0] = QStringList{"Fan", "30", "", "Fan off", "Fan on", Tick};
    values.lvDo[1] = QStringList{"继电器2", "0", "", "断开", "闭合", ""};
    for (int row = 0; row < values.lvTh.size(); ++row) {
        const QString number = QString::number(row + 1);
        values.lvTh[row] = QStringList{"Probe " + number, "", row % 3 ? Tick : "", "2",
                                       QString::number(25 + row) + ".5", "-" + number,
                                       "High " + number, "低限 " + number, "Recover", Tick,
                                       row % 2 ? Tick : "", ""};
    }
    values.lvTimer[0] = TTimerRow{true, 3, "8", "30", 7};
    values.lvTimer[1] = TTimerRow{true, 15, "23", "59", 10};
    return values;
}

} // namespace

class TestConfigImage : public QObject
{
    Q_OBJECT

private slots:
    // ---- decoding -------------------------------------------------------

    void decodeNeedsWholeImage_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("decoded");
        QTest::newRow("nothing gathered") << 0 << false;
        QTest::newRow("one page") << 256 << false;
        QTest::newRow("one byte short") << ConfigMap::ImageSize - 1 << false;
        QTest::newRow("exactly the image") << ConfigMap::ImageSize << true;
        QTest::newRow("fifteen pages") << 15 * 256 << true;
    }
    void decodeNeedsWholeImage()
    {
        QFETCH(int, size);
        QFETCH(bool, decoded);
        const TDecodeResult result = DecodeImage(TDataPack(size, char(0xFF)), 1);
        QCOMPARE(result.Ok(), decoded);
        QCOMPARE(result.Assignments.isEmpty(), !decoded);
        if (!decoded) {
            QCOMPARE(result.Error.Code, TConfigErrorCode::ImageTooShort);
            QCOMPARE(result.Error.Text, QString::number(size));
        }
    }

    void decodeErasedMemory_data()
    {
        QTest::addColumn<TAssignKind>("kind");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("subItem");
        QTest::addColumn<QVariant>("expected");
        const auto text = [](const char *name, const QString &control, const QString &value) {
            QTest::newRow(name) << TAssignKind::Text << control << -1 << -1 << QVariant(value);
        };
        const auto check = [](const char *name, const QString &control, bool value) {
            QTest::newRow(name) << TAssignKind::Check << control << -1 << -1 << QVariant(value);
        };
        const auto cell = [](const char *name, const QString &list, int row, int subItem,
                             const QString &value) {
            QTest::newRow(name) << TAssignKind::Cell << list << row << subItem << QVariant(value);
        };
        text("password empty", Names::MainPassword, "");
        text("description empty", Names::DeviceDescription, "");
        text("device ID 65535", Names::DeviceId, "65535");
        check("report box unticked", Names::ReportTimeCheck, false);
        QTest::newRow("report picker disabled")
            << TAssignKind::Enabled << Names::ReportTime << -1 << -1 << QVariant(false);
        check("SMS report box ticked", Names::SmsReportCheck, true);
        text("SMS report 65535", Names::SmsReportInterval, "65535");
        check("auto-arm ticked", Names::AutoArmCheck, true);
        text("auto-arm delay 65535", Names::AutoArmMinutes, "65535");
        check("arm at power-on", Names::AutoArmed, true);
        check("stop dialling unticked", Names::StopDialling, false);
        cell("phone number empty", Names::TelList, 4, 0, "");
        cell("phone flag 1 ticked", Names::TelList, 4, 1, Tick);
        cell("phone flag 9 ticked", Names::TelList, 9, 9, Tick);
        cell("relay close time 65535", Names::DoList, 1, Cells::DoCloseTime, "65535");
        cell("relay recovery empty", Names::DoList, 0, Cells::DoRecovery, "");
        cell("relay name empty", Names::DoList, 0, Cells::DoName, "");
        cell("timer not enabled", Names::TimerList, 0, Cells::TimerEnabled, "");
        cell("timer day empty", Names::TimerList, 9, Cells::TimerDay, "");
        QTest::newRow("transport UDP")
            << TAssignKind::ComboIndex << Names::Transport << -1 << -1 << QVariant(1);
        QTest::newRow("no communication type")
            << TAssignKind::ComboIndex << Names::Protocol << -1 << -1 << QVariant(-1);
        text("port 65535", Names::ServerPort, "65535");
        check("power-loss box ticked", Names::PowerLossCheck, true);
        text("power-loss 65535", Names::PowerLossDelay, "65535");
        cell("channel enabled", Names::ThList, 15, Cells::ThEnabled, Tick);
        cell("channel recovery alert", Names::ThList, 15, Cells::ThRecoveryAlert, Tick);
        cell("channel link DO1", Names::ThList, 15, Cells::ThLinkDo1, Tick);
        cell("channel link DO2", Names::ThList, 15, Cells::ThLinkDo2, Tick);
        cell("verify time 65535", Names::ThList, 3, Cells::ThVerifyTime, "65535");
        // 0xFFFF is -1 tenths, shown with its decimal.
        cell("high threshold -0.1", Names::ThList, 0, Cells::ThHigh, "-0.1");
        cell("channel name empty", Names::ThList, 0, Cells::ThName, "");
        check("record box ticked", Names::RecordCheck, true);
        text("record interval 65535", Names::RecordInterval, "65535");
        check("login message ASCII", Names::LoginHexMode, false);
        text("login message empty", Names::LoginMessage, "");
        text("heartbeat empty", Names::HeartbeatContent, "");
        text("heartbeat interval 65535", Names::HeartbeatInterval, "65535");
    }
    void decodeErasedMemory()
    {
        QFETCH(TAssignKind, kind);
        QFETCH(QString, control);
        QFETCH(int, row);
        QFETCH(int, subItem);
        QFETCH(QVariant, expected);
        const TDecodeResult result = DecodeImage(ErasedImage(), 1);
        QVERIFY(result.Ok());
        QCOMPARE(Shown(result.Values, kind, control, row, subItem), expected);
    }

    void decodeField_data()
    {
        QTest::addColumn<TPatches>("patches");
        QTest::addColumn<int>("model");
        QTest::addColumn<TAssignKind>("kind");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("subItem");
        QTest::addColumn<QVariant>("expected");
        using K = TAssignKind;

        QTest::newRow("phone keeps + and digits")
            << TPatches{{102 + 22, Field("+86 (0) 1", 22)}} << 0 << K::Cell << Names::TelList << 1 << 0
            << QVariant("+8601");
        QTest::newRow("phone with first byte zero")
            << TPatches{{102, Bytes({0, '1', '2'})}} << 0 << K::Cell << Names::TelList << 0 << 0
            << QVariant("");
        QTest::newRow("mask 0x0209 ticks Dial")
            << TPatches{{322, Le16(0x0209)}} << 0 << K::Cell << Names::TelList << 0 << 1 << QVariant(Tick);
        QTest::newRow("mask 0x0209 ticks Alarm")
            << TPatches{{322, Le16(0x0209)}} << 0 << K::Cell << Names::TelList << 0 << 4 << QVariant(Tick);
        QTest::newRow("mask 0x0209 ticks Relay")
            << TPatches{{322, Le16(0x0209)}} << 0 << K::Cell << Names::TelList << 0 << 9 << QVariant(Tick);
        QTest::newRow("mask 0x0209 leaves Timer-Report")
            << TPatches{{322, Le16(0x0209)}} << 0 << K::Cell << Names::TelList << 0 << 2 << QVariant("");
        QTest::newRow("mask bit 8 ticks nothing")
            << TPatches{{322 + 2, Le16(0x0100)}} << 0 << K::Cell << Names::TelList << 1 << 9 << QVariant("");
        QTest::newRow("mask 0x02FF ticks GSM signal")
            << TPatches{{322 + 18, Le16(0x02FF)}} << 0 << K::Cell << Names::TelList << 9 << 8 << QVariant(Tick);
        QTest::newRow("report time 8:05")
            << TPatches{{6, Bytes({8, 5})}} << 0 << K::Time << Names::ReportTime << -1 << -1
            << QVariant(QTime(8, 5));
        QTest::newRow("report hour erased, minute 30: box ticked")
            << TPatches{{6, Bytes({0xFF, 0x1E})}} << 0 << K::Check << Names::ReportTimeCheck << -1 << -1
            << QVariant(true);
        QTest::newRow("report hour erased, minute 30: PC time")
            << TPatches{{6, Bytes({0xFF, 0x1E})}} << 0 << K::Time << Names::ReportTime << -1 << -1
            << QVariant(QTime());
        QTest::newRow("report hour 24: PC time")
            << TPatches{{6, Bytes({24, 0})}} << 0 << K::Time << Names::ReportTime << -1 << -1
            << QVariant(QTime());
        QTest::newRow("SMS report 0 unticks")
            << TPatches{{8, Le16(0)}} << 0 << K::Check << Names::SmsReportCheck << -1 << -1 << QVariant(false);
        QTest::newRow("SMS report 0 shows 0")
            << TPatches{{8, Le16(0)}} << 0 << K::Text << Names::SmsReportInterval << -1 << -1 << QVariant("0");
        QTest::newRow("SMS report 0 disables")
            << TPatches{{8, Le16(0)}} << 0 << K::Enabled << Names::SmsReportInterval << -1 << -1
            << QVariant(false);
        QTest::newRow("auto-arm off shows 0 whatever the delay")
            << TPatches{{95, Bytes({0, 30, 0})}} << 0 << K::Text << Names::AutoArmMinutes << -1 << -1
            << QVariant("0");
        QTest::newRow("auto-arm on shows delay")
            << TPatches{{95, Bytes({1, 30, 0})}} << 0 << K::Text << Names::AutoArmMinutes << -1 << -1
            << QVariant("30");
        QTest::newRow("flags bit 1: time in alarm SMS")
            << TPatches{{94, Bytes({0x02})}} << 0 << K::Check << Names::AddTimeToAlarmSms << -1 << -1
            << QVariant(true);
        QTest::newRow("flags bit 1: not armed at power-on")
            << TPatches{{94, Bytes({0x02})}} << 0 << K::Check << Names::AutoArmed << -1 << -1 << QVariant(false);
        QTest::newRow("stop dialling 1")
            << TPatches{{3644, Bytes({1})}} << 0 << K::Check << Names::StopDialling << -1 << -1 << QVariant(true);
        QTest::newRow("stop dialling 2 is not 1")
            << TPatches{{3644, Bytes({2})}} << 0 << K::Check << Names::StopDialling << -1 << -1 << QVariant(false);
        QTest::newRow("power-loss 999 unticks")
            << TPatches{{770, Le16(999)}} << 0 << K::Check << Names::PowerLossCheck << -1 << -1 << QVariant(false);
        QTest::newRow("power-loss 999 empties")
            << TPatches{{770, Le16(999)}} << 0 << K::Text << Names::PowerLossDelay << -1 << -1 << QVariant("");
        QTest::newRow("power-loss 0 ticked")
            << TPatches{{770, Le16(0)}} << 0 << K::Text << Names::PowerLossDelay << -1 << -1 << QVariant("0");
        QTest::newRow("GPRS TCP")
            << TPatches{{710, Bytes({0x02})}} << 0 << K::ComboIndex << Names::Transport << -1 << -1 << QVariant(0);
        QTest::newRow("GPRS defined protocol")
            << TPatches{{710, Bytes({0x02})}} << 0 << K::ComboIndex << Names::Protocol << -1 << -1 << QVariant(2);
        QTest::newRow("GPRS UDP Modbus")
            << TPatches{{710, Bytes({0x81})}} << 0 << K::ComboIndex << Names::Transport << -1 << -1 << QVariant(1);
        QTest::newRow("GPRS type 3 selects nothing")
            << TPatches{{710, Bytes({0x03})}} << 0 << K::ComboIndex << Names::Protocol << -1 << -1 << QVariant(-1);
        QTest::newRow("text skips erased bytes")
            << TPatches{{34, Bytes({'A', 'B', 0xFF, 'C', 0})}} << 0 << K::Text << Names::DeviceDescription << -1
            << -1 << QVariant("ABC");
        QTest::newRow("text ends at its zero byte")
            << TPatches{{34, Bytes({'A', 0, 'B'})}} << 0 << K::Text << Names::DeviceDescription << -1 << -1
            << QVariant("A");
        QTest::newRow("GBK text")
            << TPatches{{712, Field("冷库服务器", 32)}} << 0 << K::Text << Names::ServerAddress << -1 << -1
            << QVariant("冷库服务器");
        QTest::newRow("password")
            << TPatches{{0, QByteArray("1234")}} << 0 << K::Text << Names::MainPassword << -1 << -1
            << QVariant("1234");
        QTest::newRow("login hex 01 FF 3F")
            << TPatches{{3568, Bytes({0x01, 0xFF, 0x3F})}, {3618, Bytes({3, 1})}} << 0 << K::Text
            << Names::LoginMessage << -1 << -1 << QVariant("013F");
        QTest::newRow("login hex mode ticks box")
            << TPatches{{3618, Bytes({0, 1})}} << 0 << K::Check << Names::LoginHexMode << -1 << -1 << QVariant(true);
        QTest::newRow("login ASCII counted")
            << TPatches{{3568, QByteArray("HELLO WORLD")}, {3618, Bytes({5, 0})}} << 0 << K::Text
            << Names::LoginMessage << -1 << -1 << QVariant("HELLO");
        QTest::newRow("login mode 2 is ASCII")
            << TPatches{{3568, QByteArray("AB")}, {3618, Bytes({2, 2})}} << 0 << K::Text << Names::LoginMessage
            << -1 << -1 << QVariant("AB");
        QTest::newRow("login length past the area")
            << TPatches{{3568, QByteArray(50, 'x')}, {3618, Bytes({200, 0})}} << 0 << K::Text
            << Names::LoginMessage << -1 << -1 << QVariant(QString(50, 'x'));
        QTest::newRow("heartbeat counted")
            << TPatches{{3620, QByteArray("ACKNOWLEDGE")}, {3640, Bytes({3})}} << 0 << K::Text
            << Names::HeartbeatContent << -1 << -1 << QVariant("ACK");
        QTest::newRow("heartbeat length 25 shows the 20 stored")
            << TPatches{{3620, QByteArray("ABCDEFGHIJKLMNOPQRST")}, {3640, Bytes({25, 0, 60, 0})}} << 0
            << K::Text << Names::HeartbeatContent << -1 << -1 << QVariant("ABCDEFGHIJKLMNOPQRST");
        QTest::newRow("heartbeat interval")
            << TPatches{{3642, Le16(60)}} << 0 << K::Text << Names::HeartbeatInterval << -1 << -1 << QVariant("60");
        QTest::newRow("upload interval")
            << TPatches{{746, Le16(10)}} << 0 << K::Text << Names::UploadInterval << -1 << -1 << QVariant("10");
        QTest::newRow("relay 2 recovery 64")
            << TPatches{{342 + 164 + 42, Bytes({64})}} << 0 << K::Cell << Names::DoList << 1
            << Cells::DoRecovery << QVariant(Tick);
        QTest::newRow("relay recovery 65 is not on")
            << TPatches{{342 + 42, Bytes({65})}} << 0 << K::Cell << Names::DoList << 0 << Cells::DoRecovery
            << QVariant("");
        QTest::newRow("relay 2 close text at 44")
            << TPatches{{342 + 164 + 44, Field("Pump on", 60)}} << 0 << K::Cell << Names::DoList << 1
            << Cells::DoCloseText << QVariant("Pump on");
        QTest::newRow("relay 1 open text at 104")
            << TPatches{{342 + 104, Field("Pump off", 60)}} << 0 << K::Cell << Names::DoList << 0
            << Cells::DoOpenText << QVariant("Pump off");
        QTest::newRow("threshold 255 keeps tenths")
            << TPatches{{3380, Le16(255)}} << 0 << K::Cell << Names::ThList << 0 << Cells::ThHigh
            << QVariant("25.5");
        QTest::newRow("threshold -55 keeps tenths")
            << TPatches{{3412, Le16(-55)}} << 0 << K::Cell << Names::ThList << 0 << Cells::ThLow
            << QVariant("-5.5");
        QTest::newRow("threshold -5")
            << TPatches{{3412, Le16(-5)}} << 0 << K::Cell << Names::ThList << 0 << Cells::ThLow << QVariant("-0.5");
        QTest::newRow("threshold 250 whole")
            << TPatches{{3380, Le16(250)}} << 0 << K::Cell << Names::ThList << 0 << Cells::ThHigh << QVariant("25");
        QTest::newRow("threshold -400 whole")
            << TPatches{{3412 + 2, Le16(-400)}} << 0 << K::Cell << Names::ThList << 1 << Cells::ThLow
            << QVariant("-40");
        QTest::newRow("threshold 0")
            << TPatches{{3380, Le16(0)}} << 0 << K::Cell << Names::ThList << 0 << Cells::ThHigh << QVariant("0");
        QTest::newRow("threshold -32768")
            << TPatches{{3380, Le16(-32768)}} << 0 << K::Cell << Names::ThList << 0 << Cells::ThHigh
            << QVariant("-3276.8");
        QTest::newRow("channel flags 0x51: enabled")
            << TPatches{{3364 + 3, Bytes({0x51})}} << 1 << K::Cell << Names::ThList << 3 << Cells::ThEnabled
            << QVariant(Tick);
        QTest::newRow("channel flags 0x51: DO1")
            << TPatches{{3364 + 3, Bytes({0x51})}} << 1 << K::Cell << Names::ThList << 3 << Cells::ThLinkDo1
            << QVariant(Tick);
        QTest::newRow("channel flags 0x51: recovery")
            << TPatches{{3364 + 3, Bytes({0x51})}} << 1 << K::Cell << Names::ThList << 3
            << Cells::ThRecoveryAlert << QVariant(Tick);
        QTest::newRow("channel flags 0x51: not DO2")
            << TPatches{{3364 + 3, Bytes({0x51})}} << 1 << K::Cell << Names::ThList << 3 << Cells::ThLinkDo2
            << QVariant("");
        QTest::newRow("channel SMS texts")
            << TPatches{{2052 + 40, Field("低温报警", 40)}} << 1 << K::Cell << Names::ThList << 1
            << Cells::ThLowSms << QVariant("低温报警");
        QTest::newRow("K803 Temperature2 name from slot 2")
            << TPatches{{852, Field("Freezer", 40)}} << 2 << K::Cell << Names::ThList << 1 << Cells::ThName
            << QVariant("Freezer");
        QTest::newRow("K803 Temperature2 flags from slot 2")
            << TPatches{{3364 + 1, Bytes({0x01})}, {3366, Bytes({0x00})}} << 2 << K::Cell << Names::ThList << 1
            << Cells::ThEnabled << QVariant("");
        QTest::newRow("K803 Temperature2 verify time from slot 2")
            << TPatches{{3332 + 4, Le16(7)}} << 2 << K::Cell << Names::ThList << 1 << Cells::ThVerifyTime
            << QVariant("7");
        QTest::newRow("K801 Humidity1 from slot 1")
            << TPatches{{772 + 40, Field("Room RH", 40)}} << 0 << K::Cell << Names::ThList << 1 << Cells::ThName
            << QVariant("Room RH");
        QTest::newRow("K802 Humidity8 from slot 15")
            << TPatches{{3412 + 30, Le16(100)}} << 1 << K::Cell << Names::ThList << 15 << Cells::ThLow
            << QVariant("10");
    }
    void decodeField()
    {
        QFETCH(TPatches, patches);
        QFETCH(int, model);
        QFETCH(TAssignKind, kind);
        QFETCH(QString, control);
        QFETCH(int, row);
        QFETCH(int, subItem);
        QFETCH(QVariant, expected);
        const TDecodeResult result = DecodeImage(Patched(patches), model);
        QVERIFY(result.Ok());
        QCOMPARE(Shown(result.Values, kind, control, row, subItem), expected);
    }

    void decodeSensorRows_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QList<int>>("expectedSlots");
        QTest::newRow("K801 slots 0-7") << 0 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("K802 slots 0-15")
            << 1 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        QTest::newRow("K803 even slots") << 2 << QList<int>{0, 2, 4, 6, 8, 10, 12, 14};
        QTest::newRow("no version reply yet") << -1 << QList<int>{};
    }
    void decodeSensorRows()
    {
        QFETCH(int, model);
        QFETCH(QList<int>, expectedSlots);
        TDataPack image = ErasedImage();
        for (int slot = 0; slot < ConfigMap::SensorSlots; ++slot)
            Patch(image, ConfigMap::SensorNames + 40 * slot, Field("slot" + QString::number(slot), 40));
        const TDecodeResult result = DecodeImage(image, model);
        QVERIFY(result.Ok());
        QCOMPARE(result.Values.lvTh.size(), expectedSlots.size());
        for (int row = 0; row < expectedSlots.size(); ++row)
            QCOMPARE(result.Values.lvTh.at(row).at(Cells::ThName), "slot" + QString::number(expectedSlots.at(row)));
        int sensorWrites = 0;
        for (const TConfigAssignment &assignment : result.Assignments)
            sensorWrites += assignment.Control == Names::ThList ? 1 : 0;
        QCOMPARE(sensorWrites, expectedSlots.size() * 11);
    }

    void decodeTimer_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("english");
        QTest::addColumn<QStringList>("chinese");
        QTest::newRow("Wednesday 8:30 DO1 close")
            << Bytes({0x03, 0x08, 0x1E, 0x07}) << QStringList{Tick, "Wednesday", "8", "30", "7.DO1 Close(ON)"}
            << QStringList{Tick, "三", "8", "30", "7.继电器1闭合"};
        QTest::newRow("disabled leaves the row blank")
            << Bytes({0x8F, 0x08, 0x1E, 0x07}) << QStringList{"", "", "", "", ""}
            << QStringList{"", "", "", "", ""};
        QTest::newRow("every day code 15")
            << Bytes({0x0F, 23, 59, 10}) << QStringList{Tick, "Everyday", "23", "59", "10.DO2 Open(OFF)"}
            << QStringList{Tick, "每天", "23", "59", "10.继电器2断开"};
        QTest::newRow("code 7 is every day")
            << Bytes({0x07, 0, 0, 0}) << QStringList{Tick, "Everyday", "0", "0", "0.Reboot"}
            << QStringList{Tick, "每天", "0", "0", "0.重启"};
        QTest::newRow("reserved mode bits ignored")
            << Bytes({0x71, 6, 0, 5}) << QStringList{Tick, "Monday", "6", "0", "5.Arm"}
            << QStringList{Tick, "一", "6", "0", "5.布防"};
        QTest::newRow("hour and minute not set")
            << Bytes({0x00, 0xFF, 0xFF, 0x00}) << QStringList{Tick, "Sunday", "", "", "0.Reboot"}
            << QStringList{Tick, "日", "", "", "0.重启"};
        QTest::newRow("unlisted day and action show their codes")
            << Bytes({0x09, 12, 0, 0xFF}) << QStringList{Tick, "9", "12", "0", "255"}
            << QStringList{Tick, "9", "12", "0", "255"};
    }
    void decodeTimer()
    {
        QFETCH(QByteArray, record);
        QFETCH(QStringList, english);
        QFETCH(QStringList, chinese);
        const int timer = 6;
        const TDecodeResult result =
            DecodeImage(Patched({{ConfigMap::Timers + 4 * timer, record}}), 0);
        QVERIFY(result.Ok());
        const TTimerRow row = result.Values.lvTimer.at(timer);
        QCOMPARE(TimerRowCells(row, EnglishWeek, EnglishActions), english);
        QCOMPARE(TimerRowCells(row, ChineseWeek, ChineseActions), chinese);
        // Shown in either language, the row still writes its record back.
        TConfigValues values = BlankConfigValues(0);
        values.lvTimer[timer] = row;
        const TEncodeResult encoded = EncodeImage(values, 0);
        QVERIFY(encoded.Ok());
        const QByteArray written = encoded.Image.mid(ConfigMap::Timers + 4 * timer, 4);
        if (record.at(0) & 0x80)
            QCOMPARE(written, Bytes({0x80, 0xFF, 0xFF, 0x00}));
        else
            QCOMPARE(written.mid(1), record.mid(1));
    }

    void decodeOrder_data()
    {
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("later");
        QTest::newRow("auto-arm box before its minutes") << Names::AutoArmCheck << Names::AutoArmMinutes;
        QTest::newRow("SMS report box before its edit") << Names::SmsReportCheck << Names::SmsReportInterval;
        QTest::newRow("report box before its picker") << Names::ReportTimeCheck << Names::ReportTime;
        QTest::newRow("power-loss box before its edit") << Names::PowerLossCheck << Names::PowerLossDelay;
        QTest::newRow("record box before its edit") << Names::RecordCheck << Names::RecordInterval;
        QTest::newRow("hex box before the login message") << Names::LoginHexMode << Names::LoginMessage;
        QTest::newRow("device ID first of the basics") << Names::DeviceId << Names::DeviceDescription;
        QTest::newRow("stop dialling before auto-arm") << Names::StopDialling << Names::AutoArmCheck;
        QTest::newRow("basics before password") << Names::AutoArmMinutes << Names::MainPassword;
        QTest::newRow("password before report time") << Names::MainPassword << Names::ReportTimeCheck;
        QTest::newRow("report settings before phones") << Names::SmsReportInterval << Names::TelList;
        QTest::newRow("phones before relays") << Names::TelList << Names::DoList;
        QTest::newRow("relays before timers") << Names::DoList << Names::TimerList;
        QTest::newRow("timers before GPRS") << Names::TimerList << Names::Transport;
        QTest::newRow("GPRS before power-loss") << Names::UploadInterval << Names::PowerLossCheck;
        QTest::newRow("power-loss before channels") << Names::PowerLossDelay << Names::ThList;
        QTest::newRow("channels before record interval") << Names::ThList << Names::RecordCheck;
        QTest::newRow("login message before heartbeat") << Names::LoginMessage << Names::HeartbeatContent;
    }
    void decodeOrder()
    {
        QFETCH(QString, earlier);
        QFETCH(QString, later);
        TDataPack image = ErasedImage();
        Patch(image, ConfigMap::Timers, Bytes({0x01, 8, 0, 5}));
        Patch(image, ConfigMap::ReportHour, Bytes({8, 0}));
        const TDecodeResult result = DecodeImage(image, 1);
        QVERIFY(result.Ok());
        const int last = LastAssignment(result.Assignments, earlier);
        const int first = FirstAssignment(result.Assignments, later);
        QVERIFY(last >= 0);
        QVERIFY(first >= 0);
        QVERIFY2(last < first, qPrintable(QStringLiteral("%1 at %2, %3 at %4").arg(earlier).arg(last)
                                              .arg(later).arg(first)));
    }

    void decodeWritesEachRowInFieldOrder()
    {
        const TDecodeResult result = DecodeImage(ErasedImage(), 1);
        QVector<int> doOrder;
        QVector<int> thOrder;
        for (const TConfigAssignment &assignment : result.Assignments) {
            if (assignment.Control == Names::DoList && assignment.Row == 1)
                doOrder.append(assignment.SubItem);
            if (assignment.Control == Names::ThList && assignment.Row == 5)
                thOrder.append(assignment.SubItem);
        }
        QCOMPARE(doOrder, (QVector<int>{0, 1, 5, 4, 3}));
        QCOMPARE(thOrder, (QVector<int>{0, 6, 7, 8, 3, 2, 9, 10, 11, 4, 5}));
        QCOMPARE(result.Assignments.last().Control, Names::HeartbeatInterval);
        QCOMPARE(result.Assignments.first().Control, Names::DeviceId);
    }

    void decodeRealisticImage()
    {
        TDataPack image = ErasedImage();
        Patch(image, 0, QByteArray("4321"));
        Patch(image, 4, Le16(7));
        Patch(image, 6, Bytes({18, 45}));
        Patch(image, 8, Le16(0));
        Patch(image, 34, Field("二号冷库", 60));
        Patch(image, 94, Bytes({0x03, 0x00, 0x00, 0x00, 0, 0, 0, 0}));
        Patch(image, 102 + 22 * 2, Field("+8613912345678", 22));
        Patch(image, 322 + 2 * 2, Le16(0x0019));
        Patch(image, 342, Field("Compressor", 40) + Le16(600) + Bytes({64, 0}) + Field("Running", 60)
                               + Field("Stopped", 60));
        Patch(image, 670 + 4 * 9, Bytes({0x05, 7, 15, 3}));
        Patch(image, 710, Bytes({0x01, 0xFF}) + Field("10.0.0.8", 32) + Le16(502) + Le16(5));
        Patch(image, 770, Le16(999));
        Patch(image, 772 + 40 * 6, Field("Temperature 4", 40));
        Patch(image, 1412 + 40 * 6, Field("Too warm", 40));
        Patch(image, 3332 + 2 * 6, Le16(30));
        Patch(image, 3364 + 6, Bytes({0x21}));
        Patch(image, 3380 + 2 * 6, Le16(-180));
        Patch(image, 3412 + 2 * 6, Le16(-255));
        Patch(image, 3446, Le16(600) + Field("internet", 40) + Field("", 40) + Field("", 40));
        Patch(image, 3568, QByteArray("REG:K803") + QByteArray(42, '\0') + Bytes({8, 0}));
        Patch(image, 3620, Field("PING", 20) + Bytes({4, 0}) + Le16(90) + Bytes({0}));

        const TDecodeResult result = DecodeImage(image, 2);
        QVERIFY(result.Ok());
        const TConfigValues &values = result.Values;
        QCOMPARE(values.Text(Names::MainPassword), "4321");
        QCOMPARE(values.Text(Names::DeviceId), "7");
        QCOMPARE(values.Time(Names::ReportTime), QTime(18, 45));
        QCOMPARE(values.Checked(Names::SmsReportCheck), false);
        QCOMPARE(values.Text(Names::DeviceDescription), "二号冷库");
        QCOMPARE(values.Checked(Names::AutoArmed), true);
        QCOMPARE(values.Checked(Names::AutoArmCheck), false);
        QCOMPARE(values.Text(Names::AutoArmMinutes), "0");
        QCOMPARE(values.lvTel.at(2),
                 (QStringList{"+8613912345678", Tick, "", "", Tick, Tick, "", "", "", ""}));
        QCOMPARE(values.lvDo.at(0), (QStringList{"Compressor", "600", "", "Stopped", "Running", Tick}));
        QCOMPARE(values.lvTimer.at(9), (TTimerRow{true, 5, "7", "15", 3}));
        QCOMPARE(values.ComboIndex(Names::Transport), 0);
        QCOMPARE(values.ComboIndex(Names::Protocol), 1);
        QCOMPARE(values.Text(Names::ServerAddress), "10.0.0.8");
        QCOMPARE(values.Text(Names::ServerPort), "502");
        QCOMPARE(values.Text(Names::UploadInterval), "5");
        QCOMPARE(values.Checked(Names::PowerLossCheck), false);
        QCOMPARE(values.lvTh.size(), 8);
        QCOMPARE(values.lvTh.at(3), (QStringList{"Temperature 4", "", Tick, "30", "-18", "-25.5", "Too warm",
                                                 "", "", "", "", Tick}));
        QCOMPARE(values.Text(Names::RecordInterval), "600");
        QCOMPARE(values.Text(Names::AccessPointName), "internet");
        QCOMPARE(values.Text(Names::GprsUserName), "");
        QCOMPARE(values.Checked(Names::LoginHexMode), false);
        QCOMPARE(values.Text(Names::LoginMessage), "REG:K803");
        QCOMPARE(values.Text(Names::HeartbeatContent), "PING");
        QCOMPARE(values.Text(Names::HeartbeatInterval), "90");
        QCOMPARE(values.Checked(Names::StopDialling), false);
    }

    // ---- encoding -------------------------------------------------------

    void encodeField_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("expected");

        const QString high = QStringLiteral("lvTh/0/4");
        QTest::newRow("empty controls: password zeros") << 0 << QVariantMap{} << 0 << Bytes({0, 0, 0, 0});
        QTest::newRow("empty controls: device ID 0") << 0 << QVariantMap{} << 4 << Bytes({0, 0});
        QTest::newRow("empty controls: no report time") << 0 << QVariantMap{} << 6 << Bytes({0xFF, 0xFF});
        QTest::newRow("empty controls: SMS report 0") << 0 << QVariantMap{} << 8 << Bytes({0, 0});
        QTest::newRow("empty controls: reserved 10 stays erased") << 0 << QVariantMap{} << 10 << Bytes({0xFF});
        QTest::newRow("empty controls: description zeros") << 0 << QVariantMap{} << 34 << QByteArray(60, '\0');
        QTest::newRow("empty controls: flags, auto-arm, reserved zeros")
            << 0 << QVariantMap{} << 94 << Bytes({0, 0, 0, 0, 0, 0, 0, 0});
        QTest::newRow("empty controls: phone number zeros") << 0 << QVariantMap{} << 102 + 22 * 9
                                                            << QByteArray(22, '\0');
        QTest::newRow("empty controls: phone masks 0") << 0 << QVariantMap{} << 340 << Bytes({0, 0});
        QTest::newRow("empty controls: relay close time and flags 0")
            << 0 << QVariantMap{} << 342 + 164 + 40 << Bytes({0, 0, 0, 0});
        QTest::newRow("empty controls: timers disabled") << 0 << QVariantMap{} << 670 + 36
                                                         << Bytes({0x80, 0xFF, 0xFF, 0x00});
        QTest::newRow("empty controls: GPRS byte, no items") << 0 << QVariantMap{} << 710 << Bytes({0xFF, 0xFF});
        QTest::newRow("empty controls: port 0, upload 2") << 0 << QVariantMap{} << 744 << Bytes({0, 0, 2, 0});
        QTest::newRow("empty controls: reserved 748 stays erased") << 0 << QVariantMap{} << 748 << Bytes({0xFF});
        QTest::newRow("empty controls: power-loss 999") << 0 << QVariantMap{} << 770 << Bytes({0xE7, 0x03});
        QTest::newRow("empty controls: verify time 2") << 0 << QVariantMap{} << 3332 << Bytes({2, 0});
        QTest::newRow("empty controls: channel flags 0") << 0 << QVariantMap{} << 3364 << Bytes({0});
        QTest::newRow("empty controls: K801 slot 8 erased") << 0 << QVariantMap{} << 3364 + 8 << Bytes({0xFF});
        QTest::newRow("empty controls: K801 name slot 8 erased")
            << 0 << QVariantMap{} << 772 + 40 * 8 << QByteArray(40, char(0xFF));
        QTest::newRow("empty controls: K803 odd slot erased") << 2 << QVariantMap{} << 3380 + 2 << Bytes({0xFF, 0xFF});
        QTest::newRow("empty controls: K803 slot 14 written") << 2 << QVariantMap{} << 3364 + 14 << Bytes({0});
        QTest::newRow("empty controls: K802 slot 15 verify 2") << 1 << QVariantMap{} << 3332 + 30 << Bytes({2, 0});
        QTest::newRow("empty controls: thresholds 0") << 0 << QVariantMap{} << 3380 << Bytes({0, 0});
        QTest::newRow("empty controls: reserved 3444 erased, record 0")
            << 0 << QVariantMap{} << 3444 << Bytes({0xFF, 0xFF, 0, 0});
        QTest::newRow("empty controls: login length 0 mode 0") << 0 << QVariantMap{} << 3618 << Bytes({0, 0});
        QTest::newRow("empty controls: heartbeat tail")
            << 0 << QVariantMap{} << 3640 << Bytes({0, 0, 2, 0, 0, 0xFF});

        QTest::newRow("device ID 12") << 0 << QVariantMap{{Names::DeviceId, "12"}} << 4 << Bytes({12, 0});
        QTest::newRow("device ID 65535") << 0 << QVariantMap{{Names::DeviceId, "65535"}} << 4 << Bytes({0xFF, 0xFF});
        QTest::newRow("device ID blanks around") << 0 << QVariantMap{{Names::DeviceId, " 7 "}} << 4 << Bytes({7, 0});
        QTest::newRow("upload interval blank: default 2") << 0 << QVariantMap{{Names::UploadInterval, "  "}} << 746
                                                          << Bytes({2, 0});
        QTest::newRow("heartbeat interval 9999") << 0 << QVariantMap{{Names::HeartbeatInterval, "9999"}} << 3642
                                                 << Le16(9999);
        QTest::newRow("report time 9:05")
            << 0 << QVariantMap{{Names::ReportTimeCheck, true}, {Names::ReportTime, QTime(9, 5, 40)}} << 6
            << Bytes({9, 5});
        QTest::newRow("SMS report ticked")
            << 0 << QVariantMap{{Names::SmsReportCheck, true}, {Names::SmsReportInterval, "1440"}} << 8 << Le16(1440);
        QTest::newRow("SMS report unticked ignores its edit")
            << 0 << QVariantMap{{Names::SmsReportInterval, "70000"}} << 8 << Bytes({0, 0});
        QTest::newRow("flags both ticked")
            << 0 << QVariantMap{{Names::AutoArmed, true}, {Names::AddTimeToAlarmSms, true}} << 94 << Bytes({3});
        QTest::newRow("auto-arm ticked")
            << 0 << QVariantMap{{Names::AutoArmCheck, true}, {Names::AutoArmMinutes, "30"}} << 95
            << Bytes({0xFF, 30, 0});
        QTest::newRow("auto-arm ticked, empty minutes")
            << 0 << QVariantMap{{Names::AutoArmCheck, true}} << 95 << Bytes({0xFF, 0, 0});
        QTest::newRow("power-loss ticked, empty") << 0 << QVariantMap{{Names::PowerLossCheck, true}} << 770
                                                  << Bytes({0, 0});
        QTest::newRow("record interval ticked")
            << 0 << QVariantMap{{Names::RecordCheck, true}, {Names::RecordInterval, "65535"}} << 3446
            << Bytes({0xFF, 0xFF});
        QTest::newRow("stop dialling ticked") << 0 << QVariantMap{{Names::StopDialling, true}} << 3644 << Bytes({1});
        QTest::newRow("GPRS TCP defined protocol")
            << 0 << QVariantMap{{Names::Transport, 0}, {Names::Protocol, 2}} << 710 << Bytes({0x02});
        QTest::newRow("GPRS UDP Modbus")
            << 0 << QVariantMap{{Names::Transport, 1}, {Names::Protocol, 1}} << 710 << Bytes({0x81});
        QTest::newRow("GPRS UDP, no type") << 0 << QVariantMap{{Names::Transport, 1}} << 710 << Bytes({0x8F});
        QTest::newRow("GPRS no transport, disabled") << 0 << QVariantMap{{Names::Protocol, 0}} << 710
                                                     << Bytes({0xF0});
        QTest::newRow("phone Dial and Relay")
            << 0 << QVariantMap{{"lvTel/2/1", Tick}, {"lvTel/2/9", Tick}} << 322 + 4 << Le16(0x0201);
        QTest::newRow("phone flag with blanks counts")
            << 0 << QVariantMap{{"lvTel/0/4", " " + Tick + " "}} << 322 << Le16(0x0008);
        QTest::newRow("phone flag other mark")
            << 0 << QVariantMap{{"lvTel/0/4", "v"}} << 322 << Le16(0);
        QTest::newRow("phone number as typed")
            << 0 << QVariantMap{{"lvTel/1/0", "+86 139"}} << 102 + 22 << Field("+86 139", 22);
        QTest::newRow("relay recovery ticked") << 0 << QVariantMap{{"lvDo/1/5", Tick}} << 342 + 164 + 42
                                               << Bytes({64, 0});
        QTest::newRow("relay recovery needs exact tick")
            << 0 << QVariantMap{{"lvDo/1/5", Tick + " "}} << 342 + 164 + 42 << Bytes({0, 0});
        QTest::newRow("relay close time")
            << 0 << QVariantMap{{"lvDo/0/1", "9999"}} << 342 + 40 << Le16(9999);
        QTest::newRow("relay close description at 44")
            << 0 << QVariantMap{{"lvDo/0/4", "On"}} << 342 + 44 << Field("On", 60);
        QTest::newRow("relay open description at 104")
            << 0 << QVariantMap{{"lvDo/0/3", "Off"}} << 342 + 104 << Field("Off", 60);
        QTest::newRow("threshold -40") << 0 << QVariantMap{{high, "-40"}} << 3380 << Bytes({0x70, 0xFE});
        QTest::newRow("threshold 25.5") << 0 << QVariantMap{{high, "25.5"}} << 3380 << Le16(255);
        QTest::newRow("threshold -5.5") << 0 << QVariantMap{{"lvTh/0/5", "-5.5"}} << 3412 << Le16(-55);
        QTest::newRow("threshold 25.55 rounds") << 0 << QVariantMap{{high, "25.55"}} << 3380 << Le16(256);
        QTest::newRow("threshold -0.04 rounds to 0") << 0 << QVariantMap{{high, "-0.04"}} << 3380 << Le16(0);
        QTest::newRow("threshold .5") << 0 << QVariantMap{{high, ".5"}} << 3380 << Le16(5);
        QTest::newRow("threshold 3276.7") << 0 << QVariantMap{{high, "3276.7"}} << 3380 << Le16(32767);
        QTest::newRow("threshold -3276.8") << 0 << QVariantMap{{high, "-3276.8"}} << 3380 << Le16(-32768);
        QTest::newRow("threshold blank") << 0 << QVariantMap{{high, " "}} << 3380 << Le16(0);
        QTest::newRow("K803 row 1 is slot 2")
            << 2 << QVariantMap{{"lvTh/1/4", "125"}, {"lvTh/1/2", Tick}} << 3380 + 4 << Le16(1250);
        QTest::newRow("K803 row 1 flags at 3366")
            << 2 << QVariantMap{{"lvTh/1/2", Tick}, {"lvTh/1/11", Tick}} << 3366 << Bytes({0x21});
        QTest::newRow("channel flags all")
            << 1 << QVariantMap{{"lvTh/4/2", Tick}, {"lvTh/4/9", Tick}, {"lvTh/4/10", Tick}, {"lvTh/4/11", Tick}}
            << 3364 + 4 << Bytes({0x71});
        QTest::newRow("channel verify time empty") << 0 << QVariantMap{{"lvTh/2/3", ""}} << 3332 + 4 << Le16(2);
        QTest::newRow("channel recovery SMS")
            << 0 << QVariantMap{{"lvTh/0/8", "恢复正常"}} << 2692 << Field("恢复正常", 40);
        QTest::newRow("text cut to its field")
            << 0 << QVariantMap{{Names::ServerAddress, QString(40, 'a')}} << 712 << QByteArray(32, 'a');
        QTest::newRow("text cut before a half character")
            << 0 << QVariantMap{{Names::DeviceDescription, "A" + QString(30, QChar(0x51B7))}} << 34
            << Gbk("A" + QString(29, QChar(0x51B7))) + Bytes({0});
        QTest::newRow("blank text writes nothing")
            << 0 << QVariantMap{{Names::AccessPointName, "   "}} << 3448 << QByteArray(40, '\0');
        QTest::newRow("leading blanks kept")
            << 0 << QVariantMap{{Names::GprsUserName, " u"}} << 3488 << Field(" u", 40);
        QTest::newRow("password cut to 4")
            << 0 << QVariantMap{{Names::MainPassword, "123456"}} << 0 << QByteArray("1234");
        QTest::newRow("login ASCII")
            << 0 << QVariantMap{{Names::LoginMessage, "HELLO"}} << 3568 << Field("HELLO", 50) + Bytes({5, 0});
        QTest::newRow("login ASCII 60 characters")
            << 0 << QVariantMap{{Names::LoginMessage, QString(60, 'z')}} << 3568
            << QByteArray(50, 'z') + Bytes({50, 0});
        QTest::newRow("login hex 01 AB 3F")
            << 0 << QVariantMap{{Names::LoginHexMode, true}, {Names::LoginMessage, "01 AB 3F"}} << 3568
            << Bytes({0x01, 0xAB, 0x3F}) + QByteArray(47, '\0') + Bytes({3, 1});
        QTest::newRow("login hex lower case, odd digit dropped")
            << 0 << QVariantMap{{Names::LoginHexMode, true}, {Names::LoginMessage, "1a 2b 3"}} << 3568
            << Bytes({0x1A, 0x2B}) + QByteArray(48, '\0') + Bytes({2, 1});
        QTest::newRow("login hex empty")
            << 0 << QVariantMap{{Names::LoginHexMode, true}} << 3568 << QByteArray(50, '\0') + Bytes({0, 1});
        QTest::newRow("heartbeat 25 characters")
            << 0 << QVariantMap{{Names::HeartbeatContent, "ABCDEFGHIJKLMNOPQRSTUVWXY"}} << 3620
            << QByteArray("ABCDEFGHIJKLMNOPQRST") + Bytes({20, 0});
        QTest::newRow("heartbeat GBK counts bytes")
            << 0 << QVariantMap{{Names::HeartbeatContent, "心跳"}} << 3620 << Field("心跳", 20) + Bytes({4, 0});
    }
    void encodeField()
    {
        QFETCH(int, model);
        QFETCH(QVariantMap, settings);
        QFETCH(int, offset);
        QFETCH(QByteArray, expected);
        TConfigValues values = BlankConfigValues(model);
        Apply(values, settings);
        const TEncodeResult result = EncodeImage(values, model);
        QVERIFY(result.Ok());
        QCOMPARE(result.Image.size(), ConfigMap::ImageSize);
        QCOMPARE(result.Image.mid(offset, expected.size()).toHex(' '), expected.toHex(' '));
    }

    void encodeRefusesBadInput_data()
    {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<TConfigErrorCode>("code");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("subItem");
        QTest::addColumn<QString>("text");
        using C = TConfigErrorCode;
        QTest::newRow("device ID -1") << QVariantMap{{Names::DeviceId, "-1"}} << C::NumberOutOfRange
                                      << Names::DeviceId << -1 << -1 << "-1";
        QTest::newRow("device ID 65536") << QVariantMap{{Names::DeviceId, "65536"}} << C::NumberOutOfRange
                                         << Names::DeviceId << -1 << -1 << "65536";
        QTest::newRow("port with 20 digits")
            << QVariantMap{{Names::ServerPort, "99999999999999999999"}} << C::NumberOutOfRange << Names::ServerPort
            << -1 << -1 << "99999999999999999999";
        QTest::newRow("upload interval 65537") << QVariantMap{{Names::UploadInterval, "65537"}}
                                               << C::NumberOutOfRange << Names::UploadInterval << -1 << -1 << "65537";
        QTest::newRow("ticked power-loss delay -5")
            << QVariantMap{{Names::PowerLossCheck, true}, {Names::PowerLossDelay, "-5"}} << C::NumberOutOfRange
            << Names::PowerLossDelay << -1 << -1 << "-5";
        QTest::newRow("ticked auto-arm 70000")
            << QVariantMap{{Names::AutoArmCheck, true}, {Names::AutoArmMinutes, "70000"}} << C::NumberOutOfRange
            << Names::AutoArmMinutes << -1 << -1 << "70000";
        QTest::newRow("relay 2 close time 65536")
            << QVariantMap{{"lvDo/1/1", "65536"}} << C::NumberOutOfRange << Names::DoList << 1 << 1 << "65536";
        QTest::newRow("verify time -2")
            << QVariantMap{{"lvTh/6/3", "-2"}} << C::NumberOutOfRange << Names::ThList << 6 << 3 << "-2";
        QTest::newRow("high threshold 3276.8")
            << QVariantMap{{"lvTh/0/4", "3276.8"}} << C::NumberOutOfRange << Names::ThList << 0 << 4 << "3276.8";
        QTest::newRow("low threshold -4000")
            << QVariantMap{{"lvTh/7/5", "-4000"}} << C::NumberOutOfRange << Names::ThList << 7 << 5 << "-4000";
        QTest::newRow("device ID 12a") << QVariantMap{{Names::DeviceId, "12a"}} << C::NotANumber
                                       << Names::DeviceId << -1 << -1 << "12a";
        QTest::newRow("heartbeat interval abc") << QVariantMap{{Names::HeartbeatInterval, "abc"}} << C::NotANumber
                                                << Names::HeartbeatInterval << -1 << -1 << "abc";
        QTest::newRow("upload interval x") << QVariantMap{{Names::UploadInterval, "x"}} << C::NotANumber
                                           << Names::UploadInterval << -1 << -1 << "x";
        QTest::newRow("port with a sign only") << QVariantMap{{Names::ServerPort, "+"}} << C::NotANumber
                                               << Names::ServerPort << -1 << -1 << "+";
        QTest::newRow("port with full-width digits") << QVariantMap{{Names::ServerPort, "８０"}} << C::NotANumber
                                                     << Names::ServerPort << -1 << -1 << "８０";
        QTest::newRow("relay close time 1.5") << QVariantMap{{"lvDo/0/1", "1.5"}} << C::NotANumber << Names::DoList
                                              << 0 << 1 << "1.5";
        QTest::newRow("verify time with a space inside")
            << QVariantMap{{"lvTh/3/3", "1 0"}} << C::NotANumber << Names::ThList << 3 << 3 << "1 0";
        QTest::newRow("threshold 25,5") << QVariantMap{{"lvTh/0/4", "25,5"}} << C::NotANumber << Names::ThList << 0
                                        << 4 << "25,5";
        QTest::newRow("threshold 1e2") << QVariantMap{{"lvTh/1/5", "1e2"}} << C::NotANumber << Names::ThList << 1
                                       << 5 << "1e2";
        QTest::newRow("threshold lone point") << QVariantMap{{"lvTh/1/5", "-."}} << C::NotANumber << Names::ThList
                                              << 1 << 5 << "-.";
        QTest::newRow("ticked SMS interval abc")
            << QVariantMap{{Names::SmsReportCheck, true}, {Names::SmsReportInterval, "abc"}} << C::NotANumber
            << Names::SmsReportInterval << -1 << -1 << "abc";
        QTest::newRow("hex pair G1")
            << QVariantMap{{Names::LoginHexMode, true}, {Names::LoginMessage, "01 G1"}} << C::BadHexPair
            << Names::LoginMessage << -1 << -1 << "G1";
        QTest::newRow("hex 0x prefix")
            << QVariantMap{{Names::LoginHexMode, true}, {Names::LoginMessage, "0x01"}} << C::BadHexPair
            << Names::LoginMessage << -1 << -1 << "0x";
        QTest::newRow("hex pair beyond 50 bytes")
            << QVariantMap{{Names::LoginHexMode, true}, {Names::LoginMessage, QString(100, '0') + "ZZ"}}
            << C::BadHexPair << Names::LoginMessage << -1 << -1 << "ZZ";
        QTest::newRow("first of two faults is named")
            << QVariantMap{{Names::DeviceId, "70000"}, {Names::ServerPort, "70000"}} << C::NumberOutOfRange
            << Names::DeviceId << -1 << -1 << "70000";
    }
    void encodeRefusesBadInput()
    {
        QFETCH(QVariantMap, settings);
        QFETCH(TConfigErrorCode, code);
        QFETCH(QString, control);
        QFETCH(int, row);
        QFETCH(int, subItem);
        QFETCH(QString, text);
        TConfigValues values = BlankConfigValues(0);
        Apply(values, settings);
        const TEncodeResult result = EncodeImage(values, 0);
        QVERIFY(!result.Ok());
        QVERIFY(result.Image.isEmpty());
        QCOMPARE(result.Error.Code, code);
        QCOMPARE(result.Error.Control, control);
        QCOMPARE(result.Error.Row, row);
        QCOMPARE(result.Error.SubItem, subItem);
        QCOMPARE(result.Error.Text, text);
    }

    // A sensor list built for another model, or none, must never be written:
    // the rows it lacks would go to the device as blank channels.
    void encodeRefusesMissingChannels_data()
    {
        QTest::addColumn<int>("rowsOfModel");
        QTest::addColumn<int>("model");
        QTest::addColumn<bool>("refused");
        QTest::newRow("K802 with K801's 8 rows") << 0 << 1 << true;
        QTest::newRow("K802 with no rows") << -1 << 1 << true;
        QTest::newRow("model not known") << 0 << -1 << true;
        QTest::newRow("K803 rows on a K803") << 2 << 2 << false;
        QTest::newRow("K802 rows on a K802") << 1 << 1 << false;
    }
    void encodeRefusesMissingChannels()
    {
        QFETCH(int, rowsOfModel);
        QFETCH(int, model);
        QFETCH(bool, refused);
        TConfigValues values = BlankConfigValues(model < 0 ? 0 : model);
        values.lvTh = BlankConfigValues(rowsOfModel < 0 ? 0 : rowsOfModel).lvTh;
        if (rowsOfModel < 0)
            values.lvTh.clear();
        const TEncodeResult result = EncodeImage(values, model);
        QCOMPARE(!result.Ok(), refused);
        if (!refused) {
            QCOMPARE(result.Image.size(), ConfigMap::ImageSize);
            return;
        }
        QVERIFY(result.Image.isEmpty());
        QCOMPARE(result.Error.Code, TConfigErrorCode::MissingChannels);
        QCOMPARE(result.Error.Control, QStringLiteral("lvTh"));
        QCOMPARE(result.Error.Text, QString::number(values.lvTh.size()));
        QCOMPARE(result.Error.Minimum, QString::number(SensorRowCount(model)));
    }

    void encodeThresholdRange()
    {
        TConfigValues values = BlankConfigValues(0);
        values.lvTh[0][Cells::ThHigh] = "5000";
        const TEncodeResult result = EncodeImage(values, 0);
        QCOMPARE(result.Error.Code, TConfigErrorCode::NumberOutOfRange);
        QCOMPARE(result.Error.Minimum, "-3276.8");
        QCOMPARE(result.Error.Maximum, "3276.7");
    }

    void encodeTimer_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<int>("action");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Wednesday 8:30 DO1 close") << true << 3 << "8" << "30" << 7 << Bytes({0x03, 0x08, 0x1E, 0x07});
        QTest::newRow("same row unticked") << false << 3 << "8" << "30" << 7 << Bytes({0x83, 0x08, 0x1E, 0x07});
        QTest::newRow("ticked, other cells empty") << true << -1 << "" << "" << -1 << Bytes({0x00, 0xFF, 0xFF, 0x00});
        QTest::newRow("every day is 15") << true << 15 << "0" << "0" << 0 << Bytes({0x0F, 0, 0, 0});
        QTest::newRow("day code 7 kept") << true << 7 << "0" << "0" << 0 << Bytes({0x07, 0, 0, 0});
        QTest::newRow("hour with leading zero") << true << 1 << "08" << "5" << 2 << Bytes({0x01, 0xFF, 5, 2});
        QTest::newRow("hour 24 read from a device kept") << true << 1 << "24" << "59" << 2 << Bytes({0x01, 24, 59, 2});
        QTest::newRow("minute 60 read from a device kept") << true << 6 << "23" << "60" << 10 << Bytes({0x06, 23, 60, 10});
        QTest::newRow("hour 254 kept, 255 is none") << true << 6 << "254" << "255" << 10 << Bytes({0x06, 254, 0xFF, 10});
        QTest::newRow("hour not a number") << true << 6 << "8h" << "-1" << 10 << Bytes({0x06, 0xFF, 0xFF, 10});
        QTest::newRow("device code kept") << true << 9 << "1" << "1" << 14 << Bytes({0x09, 1, 1, 14});
    }
    void encodeTimer()
    {
        QFETCH(bool, enabled);
        QFETCH(int, day);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(int, action);
        QFETCH(QByteArray, expected);
        TConfigValues values = BlankConfigValues(0);
        values.lvTimer[4] = TTimerRow{enabled, day, hour, minute, action};
        const TEncodeResult result = EncodeImage(values, 0);
        QVERIFY(result.Ok());
        QCOMPARE(result.Image.mid(ConfigMap::Timers + 16, 4).toHex(' '), expected.toHex(' '));
    }

    void timerCellsToCodes_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("action");
        QTest::newRow("English Wednesday DO1 close")
            << QStringList{Tick, "Wednesday", "8", "30", "7.DO1 Close(ON)"} << true << 3 << 7;
        QTest::newRow("Chinese every day DO2 open")
            << QStringList{Tick, "每天", "8", "30", "10.继电器2断开"} << false << 15 << 10;
        QTest::newRow("part of an entry") << QStringList{Tick, "Mon", "", "", "Arm"} << true << 1 << 5;
        QTest::newRow("other language found nowhere")
            << QStringList{Tick, "三", "", "", "5.布防"} << true << 0 << 0;
        QTest::newRow("empty cells stay empty") << QStringList{"", "", "", "", ""} << true << -1 << -1;
    }
    void timerCellsToCodes()
    {
        QFETCH(QStringList, cells);
        QFETCH(bool, english);
        QFETCH(int, day);
        QFETCH(int, action);
        const TTimerRow row = english ? TimerRowFromCells(cells, EnglishWeek, EnglishActions)
                                      : TimerRowFromCells(cells, ChineseWeek, ChineseActions);
        QCOMPARE(row.Enabled, cells.at(0) == Tick);
        QCOMPARE(row.DayCode, day);
        QCOMPARE(row.ActionCode, action);
        QCOMPARE(row.Hour, cells.at(2));
        QCOMPARE(row.Minute, cells.at(3));
    }

    // ---- round trips ----------------------------------------------------

    void roundTrip_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<bool>("hexLogin");
        QTest::newRow("K801 ASCII login") << 0 << false;
        QTest::newRow("K802 hex login") << 1 << true;
        QTest::newRow("K803 ASCII login") << 2 << false;
        QTest::newRow("K803 hex login") << 2 << true;
    }
    void roundTrip()
    {
        QFETCH(int, model);
        QFETCH(bool, hexLogin);
        const TConfigValues original = RealisticValues(model, hexLogin);
        const TEncodeResult first = EncodeImage(original, model);
        QVERIFY(first.Ok());

        const TDecodeResult decoded = DecodeImage(first.Image, model);
        QVERIFY(decoded.Ok());
        const TConfigValues &values = decoded.Values;
        for (auto text = original.Texts.cbegin(); text != original.Texts.cend(); ++text)
            QCOMPARE(values.Text(text.key()), text.value());
        QCOMPARE(values.Checks, original.Checks);
        QCOMPARE(values.Combos, original.Combos);
        QCOMPARE(values.Time(Names::ReportTime), QTime(9, 5));
        QCOMPARE(values.lvTel, original.lvTel);
        QCOMPARE(values.lvDo, original.lvDo);
        QCOMPARE(values.lvTh, original.lvTh);
        QCOMPARE(values.lvTimer, original.lvTimer);

        const TEncodeResult second = EncodeImage(values, model);
        QVERIFY(second.Ok());
        QCOMPARE(second.Image, first.Image);
    }

    void erasedImageSettlesAfterOneRoundTrip()
    {
        const TDecodeResult erased = DecodeImage(ErasedImage(), 1);
        const TEncodeResult first = EncodeImage(erased.Values, 1);
        QVERIFY(first.Ok());
        const TEncodeResult second = EncodeImage(DecodeImage(first.Image, 1).Values, 1);
        QVERIFY(second.Ok());
        QCOMPARE(second.Image, first.Image);
        // The erased phone masks were read as all nine flags.
        QCOMPARE(first.Image.mid(ConfigMap::PhoneMasks, 2), Le16(0x02FF));
    }
};

QTEST_GUILESS_MAIN(TestConfigImage)
#include "tst_ConfigImage.moc"
