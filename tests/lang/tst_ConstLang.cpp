#include "lang/ConstLang_Unt.h"

#include <QSet>
#include <QtTest>

using namespace ConstLang;

Q_DECLARE_METATYPE(ConstLang::TargetKind)

namespace {

const QChar kIdeographicSpace(0x3000);

QString TargetName(const TLangTarget &target)
{
    return QStringLiteral("%1/%2/%3")
        .arg(QLatin1String(target.control))
        .arg(static_cast<int>(target.kind))
        .arg(target.index);
}

} // namespace

class TestConstLang : public QObject
{
    Q_OBJECT

private slots:
    void targetsAreUnique();
    void targetIndexesFitTheirKind();
    void indexedTargetsHaveNoGaps_data();
    void indexedTargetsHaveNoGaps();
    void onlyEnglishHintsAreLeftUnchanged();
    void onlyTheGprsGroupIsEmptied();
    void everyOtherTargetHasBothTexts();
    void targetTexts_data();
    void targetTexts();
    void unknownTargetIsNotFound();

    void keysAreUniqueAcrossTables();
    void everyKeyHasBothTexts();
    void keyTexts_data();
    void keyTexts();
    void unknownKeyOrLanguageGivesEmptyText();

    void thresholdTexts_data();
    void thresholdTexts();
    void thRowCaptions_data();
    void thRowCaptions();
    void historyValueHeaders_data();
    void historyValueHeaders();
    void timerLists();
    void windowCaptionAndGprsItems();
};

void TestConstLang::targetsAreUnique()
{
    QSet<QString> seen;
    for (const TLangTarget &target : Targets()) {
        const QString name = TargetName(target);
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen.insert(name);
    }
    // The window's targets plus the System menu's items for the debug window
    // and the audit trail.
    QCOMPARE(seen.size(), 169);
}

void TestConstLang::targetIndexesFitTheirKind()
{
    for (const TLangTarget &target : Targets()) {
        const bool indexed = target.kind == TargetKind::Column || target.kind == TargetKind::Row
                             || target.kind == TargetKind::Section || target.kind == TargetKind::GridHeader;
        QVERIFY2(indexed ? target.index >= 0 : target.index == -1, qPrintable(TargetName(target)));
    }
}

void TestConstLang::indexedTargetsHaveNoGaps_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<ConstLang::TargetKind>("kind");
    QTest::addColumn<int>("count");
    QTest::newRow("lvDo columns") << "lvDo" << TargetKind::Column << 7;
    QTest::newRow("lvDo rows") << "lvDo" << TargetKind::Row << 2;
    QTest::newRow("lvTh columns") << "lvTh" << TargetKind::Column << 13;
    QTest::newRow("lvTel columns") << "lvTel" << TargetKind::Column << 11;
    QTest::newRow("lvTimer columns") << "lvTimer" << TargetKind::Column << 6;
    QTest::newRow("SgHist headers") << "SgHist" << TargetKind::GridHeader << 8;
    QTest::newRow("FrameBar sections") << "FrameBar" << TargetKind::Section << 6;
}

void TestConstLang::indexedTargetsHaveNoGaps()
{
    QFETCH(QString, control);
    QFETCH(ConstLang::TargetKind, kind);
    QFETCH(int, count);
    int found = 0;
    for (const TLangTarget &target : Targets()) {
        if (control == QLatin1String(target.control) && target.kind == kind)
            ++found;
    }
    QCOMPARE(found, count);
    for (int index = 0; index < count; ++index)
        QVERIFY2(FindTarget(control, kind, index) != nullptr, qPrintable(QString::number(index)));
}

void TestConstLang::onlyEnglishHintsAreLeftUnchanged()
{
    QStringList unchangedInChinese;
    for (const TLangTarget &target : Targets()) {
        QVERIFY2(target.english != nullptr, qPrintable(TargetName(target)));
        QVERIFY(target.Text(English).has_value());
        if (target.chinese == nullptr) {
            QCOMPARE(target.kind, TargetKind::Hint);
            QVERIFY(!target.Text(Chinese).has_value());
            unchangedInChinese << QLatin1String(target.control);
        }
    }
    unchangedInChinese.sort();
    QCOMPARE(unchangedInChinese, QStringList({"lbledt_AccessPontName", "lbledt_PwrOffTime",
                                              "lbledt_SaveRecordInterSec", "lbledt_SmsReportInterMin"}));
}

void TestConstLang::onlyTheGprsGroupIsEmptied()
{
    QStringList emptied;
    for (const TLangTarget &target : Targets()) {
        const bool emptyEnglish = target.english && *target.english == '\0';
        const bool emptyChinese = target.chinese && *target.chinese == '\0';
        if (emptyEnglish || emptyChinese) {
            QVERIFY(emptyEnglish && emptyChinese);
            emptied << TargetName(target);
        }
    }
    QCOMPARE(emptied, QStringList({TargetName(*FindTarget("grp_GPRS_BasicSeting", TargetKind::Caption))}));
    QCOMPARE(FindTarget("grp_GPRS_BasicSeting", TargetKind::Caption)->Text(Chinese), std::optional<QString>(QString()));
}

void TestConstLang::everyOtherTargetHasBothTexts()
{
    for (const TLangTarget &target : Targets()) {
        if (QLatin1String(target.control) == QLatin1String("grp_GPRS_BasicSeting"))
            continue;
        QVERIFY2(!target.Text(English)->isEmpty(), qPrintable(TargetName(target)));
        if (target.chinese)
            QVERIFY2(!target.Text(Chinese)->isEmpty(), qPrintable(TargetName(target)));
        QVERIFY(!target.Text(7).has_value());
    }
}

void TestConstLang::targetTexts_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<ConstLang::TargetKind>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");

    const QString space2 = QString(2, kIdeographicSpace);
    const QString space1 = QString(1, kIdeographicSpace);
    QTest::newRow("file menu") << "N_File" << TargetKind::Caption << -1 << "File(&R)" << "文件";
    QTest::newRow("reboot with two ideographic spaces")
        << "Pop_ReBoot" << TargetKind::Caption << -1 << "Reboot(&Z)" << QString("重" + space2 + "启");
    QTest::newRow("DO setting, two ideographic spaces")
        << "Pop_Do_Setting" << TargetKind::Caption << -1 << "Setting" << QString("设" + space2 + "置");
    QTest::newRow("TH clear, one ideographic space")
        << "Pop_Th_Clear" << TargetKind::Caption << -1 << "Clear Display" << QString("清" + space1 + "屏");
    QTest::newRow("timer clear line") << "Pop_Timer_Delete" << TargetKind::Caption << -1 << "Clear Line"
                                      << QString("清" + space1 + "行");
    QTest::newRow("frame bar section 2 keeps its blanks")
        << "FrameBar" << TargetKind::Section << 2 << "  Number   Setting" << "电话管理";
    QTest::newRow("frame bar section 5 keeps its blanks")
        << "FrameBar" << TargetKind::Section << 5 << " Historical  Record" << "历史记录";
    QTest::newRow("skins keeps its accelerator") << "N_Skins" << TargetKind::Caption << -1 << "Skins(&V)" << "皮肤(&V)";
    QTest::newRow("misspelled write item") << "Pop_WirteMaster" << TargetKind::Caption << -1 << "Write Setting"
                                           << "写入配置";
    QTest::newRow("device ID label") << "lbledt_DeviseID" << TargetKind::Label << -1 << "Device ID(0~65535)"
                                     << "设备ID(0~65535)";
    QTest::newRow("auto minutes label, mixed commas")
        << "lbledt_AutoMintues" << TargetKind::Label << -1
        << "Minutes(Range 0~9999 min,default 0,means it will delay 30 seconds to auto Arm after Disarmed)"
        << QString::fromUtf8("分钟后自动布防(取值0~9999分,0表示30秒后自动布防\xEF\xBC\x8C默认0)");
    QTest::newRow("heartbeat label, full-width parentheses content")
        << "lbledt_GprsReconnSec" << TargetKind::Label << -1 << "Heartbeat Interval(Range:0~9999 sec)"
        << QString::fromUtf8("心跳间隔时间(范围\xEF\xBC\x9A" "0~9999秒)");
    QTest::newRow("timer notice, curly quotes")
        << "grp_Timer_Notice" << TargetKind::Caption << -1
        << "Notice:Tick it stands for Enabling the Timer,otherwise will be invalid."
        << QString::fromUtf8("注意\xEF\xBC\x9A\xE2\x80\x9C使能\xE2\x80\x9D要勾选才有效。");
    QTest::newRow("lvTh column 12") << "lvTh" << TargetKind::Column << 12 << "Alarm-link DO2" << "联动继电器2";
    QTest::newRow("lvTel column 10") << "lvTel" << TargetKind::Column << 10 << "Relay Close/Open"
                                     << "9.继电器变位通知";
    QTest::newRow("lvDo row 1") << "lvDo" << TargetKind::Row << 1 << "DOUT2" << "继电器2";
    QTest::newRow("lvTimer hint") << "lvTimer" << TargetKind::Hint << -1 << "Popup menu with right mouse button"
                                  << "鼠标右键弹出菜单";
    QTest::newRow("grid header 3") << "SgHist" << TargetKind::GridHeader << 3 << "Signal" << "信号值";
    QTest::newRow("auto start box") << kAutoStartBoxName << TargetKind::Caption << -1 << "Auto Start" << "自动启动";
    QTest::newRow("debug box") << kDebugBoxName << TargetKind::Caption << -1 << "Debug" << "调试";
}

void TestConstLang::targetTexts()
{
    QFETCH(QString, control);
    QFETCH(ConstLang::TargetKind, kind);
    QFETCH(int, index);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    const TLangTarget *target = FindTarget(control, kind, index);
    QVERIFY(target != nullptr);
    QCOMPARE(target->Text(English).value(), english);
    QCOMPARE(target->Text(Chinese).value(), chinese);
}

void TestConstLang::unknownTargetIsNotFound()
{
    QVERIFY(FindTarget("lvDo", TargetKind::Column, 7) == nullptr);
    QVERIFY(FindTarget("N_File", TargetKind::Label) == nullptr);
    QVERIFY(FindTarget("n_file", TargetKind::Caption) == nullptr);
    QCOMPARE(FindTarget("lbledt_PwrOffTime", TargetKind::Hint)->Text(English).value(),
             QString("default 0,means SMS alert immediately once power off; 999 means not alert"));
}

void TestConstLang::keysAreUniqueAcrossTables()
{
    QSet<QString> keys;
    for (const auto *table : {&Texts(), &PointOfUseTexts()}) {
        for (const TLangText &text : *table) {
            QVERIFY2(!keys.contains(text.key), text.key);
            keys.insert(text.key);
        }
    }
    QCOMPARE(Texts().size(), std::size_t(109));
}

void TestConstLang::everyKeyHasBothTexts()
{
    for (const auto *table : {&Texts(), &PointOfUseTexts()}) {
        for (const TLangText &text : *table) {
            QVERIFY2(text.english && *text.english, text.key);
            QVERIFY2(text.chinese && *text.chinese, text.key);
            QCOMPARE(Text(text.key, English), QString::fromUtf8(text.english));
            QCOMPARE(Text(text.key, Chinese), QString::fromUtf8(text.chinese));
        }
    }
}

void TestConstLang::keyTexts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    QTest::newRow("port changed") << "MsgPortChanged"
                                  << "Com port have been changed, do you want to restart the configuration?"
                                  << QString::fromUtf8("检测到电脑有硬件改动是否重新打开软件\xEF\xBC\x9F");
    QTest::newRow("password error") << "MsgPasswordError" << "Password Error!"
                                    << QString::fromUtf8("密码错误\xEF\xBC\x81");
    QTest::newRow("IMEI prefix") << "LblImei" << "IMEI:" << "IMEI码:";
    QTest::newRow("phone number label") << "TxtPhoneNumber" << "Alarm Tel Number(Max.21 digits)" << "号码";
    QTest::newRow("action 10") << "TxtAction10" << "10.DO2 Open(OFF)" << "10.继电器2断开";
    QTest::newRow("every day") << "TxtEveryday" << "Everyday" << "每天";
    QTest::newRow("record type 5 misspelled") << "TxtRecType5" << "Low Singal" << "信号低";
    QTest::newRow("history frame") << "TxtFrameHistory" << "History" << "历史记录";
    QTest::newRow("input error") << "TxtInputError" << "Input Error" << "输入错误";
    QTest::newRow("DO name") << "TxtDoName" << "DOUT" << "继电器";
    QTest::newRow("record error") << "TxtRecordError" << "Error" << "错误";
    QTest::newRow("close-time hint, one text") << "TxtDoCloseTimeHint"
                                              << "Range:0~65535s,stand for always close when action"
                                              << "Range:0~65535s,stand for always close when action";
}

void TestConstLang::keyTexts()
{
    QFETCH(QString, key);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    QCOMPARE(Text(key, English), english);
    QCOMPARE(Text(key, Chinese), chinese);
}

void TestConstLang::unknownKeyOrLanguageGivesEmptyText()
{
    QVERIFY(Text("NoSuchKey", English).isNull());
    QVERIFY(Text("msgsuccess", English).isNull());
    QVERIFY(Text("MsgSuccess", 2).isNull());
    QVERIFY(Text("MsgSuccess", -1).isNull());
    QVERIFY(Text("TxtThHigh", English).isNull());
}

void TestConstLang::thresholdTexts_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    const QString wideColon = QString::fromUtf8("\xEF\xBC\x9B");
    QTest::newRow("K801 English") << 0 << int(English)
                                  << "Threshold Low(Temp range:-40~80℃; Hum range:0~100RH%)"
                                  << "Threshold High(Temp range:-40~80℃; Hum range:0~100RH%)";
    QTest::newRow("K802 Chinese") << 1 << int(Chinese)
                                  << QString("低限值(温度范围:-40~80℃" + wideColon + "湿度范围0~100RH%)")
                                  << QString("高限值(温度范围:-40~80℃" + wideColon + "湿度范围0~100RH%)");
    QTest::newRow("K803 Chinese") << 2 << int(Chinese) << "低限值(温度范围:-55~125℃)"
                                  << "高限值(温度范围:-55~125℃)";
    QTest::newRow("K803 English") << 2 << int(English) << "Threshold Low(Temp range:-55~125℃)"
                                  << "Threshold High(Temp range:-55~125℃)";
}

void TestConstLang::thresholdTexts()
{
    QFETCH(int, model);
    QFETCH(int, language);
    QFETCH(QString, low);
    QFETCH(QString, high);
    QCOMPARE(ThresholdText(false, model, language).value(), low);
    QCOMPARE(ThresholdText(true, model, language).value(), high);
    QVERIFY(!ThresholdText(true, -1, language).has_value());
    QVERIFY(!ThresholdText(false, 3, language).has_value());
}

void TestConstLang::thRowCaptions_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("K801 English") << 0 << int(English)
                                  << QStringList{"Temperature1", "Humidity1", "Temperature2", "Humidity2",
                                                 "Temperature3", "Humidity3", "Temperature4", "Humidity4"};
    QTest::newRow("K803 Chinese") << 2 << int(Chinese)
                                  << QStringList{"温度1", "温度2", "温度3", "温度4",
                                                 "温度5", "温度6", "温度7", "温度8"};
    QTest::newRow("no model yet") << -1 << int(English) << QStringList();
    QTest::newRow("unknown language") << 0 << 5 << QStringList();
}

void TestConstLang::thRowCaptions()
{
    QFETCH(int, model);
    QFETCH(int, language);
    QFETCH(QStringList, captions);
    QCOMPARE(ThRowCaptions(model, language), captions);
}

void TestConstLang::historyValueHeaders_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("header");
    QTest::newRow("K801 English first") << 0 << int(English) << 8 << 0 << "Temp1";
    QTest::newRow("K801 Chinese last") << 0 << int(Chinese) << 8 << 7 << "湿度4";
    QTest::newRow("K802 English last") << 1 << int(English) << 16 << 15 << "Hum8";
    QTest::newRow("K802 Chinese third") << 1 << int(Chinese) << 16 << 2 << "温度2";
    QTest::newRow("K803 English last") << 2 << int(English) << 8 << 7 << "Temp8";
}

void TestConstLang::historyValueHeaders()
{
    QFETCH(int, model);
    QFETCH(int, language);
    QFETCH(int, count);
    QFETCH(int, position);
    QFETCH(QString, header);
    const QStringList headers = HistoryValueHeaders(model, language);
    QCOMPARE(headers.size(), count);
    QCOMPARE(headers.at(position), header);
    QVERIFY(HistoryValueHeaders(-1, language).isEmpty());
}

void TestConstLang::timerLists()
{
    const QStringList actionsEnglish = TimerActionTexts(English);
    QCOMPARE(actionsEnglish.size(), 11);
    QCOMPARE(actionsEnglish.first(), QString("0.Reboot"));
    QCOMPARE(actionsEnglish.at(5), QString("5.Arm"));
    QCOMPARE(TimerActionTexts(Chinese).at(7), QString("7.继电器1闭合"));
    for (int position = 0; position < 11; ++position) {
        QVERIFY(actionsEnglish.at(position).startsWith(QString::number(position) + '.'));
        QVERIFY(TimerActionTexts(Chinese).at(position).startsWith(QString::number(position) + '.'));
    }
    QCOMPARE(TimerWeekTexts(English),
             QStringList({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Everyday"}));
    QCOMPARE(TimerWeekTexts(Chinese), QStringList({"日", "一", "二", "三", "四", "五", "六", "每天"}));
    QVERIFY(TimerWeekTexts(3).isEmpty());
}

void TestConstLang::windowCaptionAndGprsItems()
{
    QCOMPARE(WindowCaption(English, "V2.39"),
             QString("K801/2/3 Temperature Humidity Data Logger Configurator  V2.39"));
    QCOMPARE(WindowCaption(Chinese, "V2.39"), QString("K801/2/3 温湿度配置软件  V2.39"));
    QCOMPARE(GprsProtocolItems(English),
             QStringList({"0.Disable", "1.Modbus RTU Protocol", "2.Definition Protocol"}));
    QCOMPARE(GprsProtocolItems(Chinese), QStringList({"0.禁用", "1.Modbus RTU协议", "2.自定义协议"}));
    QCOMPARE(ThRowCaption(true, 12, Chinese), QString("湿度12"));
}

QTEST_GUILESS_MAIN(TestConstLang)
#include "tst_ConstLang.moc"
