// The welcome page's device card: what it shows for each reply, in both
// languages, and the signal bars.
#include "lang/ConstLang_Unt.h"
#include "views/DeviceCard_Frm.h"

#include <QLabel>
#include <QTest>

namespace {

QString Shown(const TFormDeviceCard &card, const char *name)
{
    const QLabel *label = card.findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QStringList ValueTexts(const TFormDeviceCard &card)
{
    QStringList texts;
    for (const QLabel *label : card.findChildren<QLabel *>(QStringLiteral("lbl_CurrentValue")))
        texts << label->text();
    return texts;
}

} // namespace

class TestDeviceCard : public QObject
{
    Q_OBJECT

private slots:
    void bars_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("bars");
        QTest::newRow("no signal") << 0 << 0;
        QTest::newRow("weakest") << 1 << 1;
        QTest::newRow("top of one bar") << 6 << 1;
        QTest::newRow("two bars") << 7 << 2;
        QTest::newRow("low-signal limit") << 14 << 3;
        QTest::newRow("one below full") << 30 << 5;
        QTest::newRow("full scale") << 31 << 5;
        QTest::newRow("modem's unknown") << 99 << 0;
        QTest::newRow("negative") << -1 << 0;
    }

    void bars()
    {
        QFETCH(int, value);
        QFETCH(int, bars);
        QCOMPARE(TSignalBars::BarsFor(value), bars);
    }

    void nothingKnownYet()
    {
        TFormDeviceCard card;
        card.Retranslate(ConstLang::English);
        QCOMPARE(Shown(card, "lbl_ModelNo"), QStringLiteral("Model:not read yet"));
        QCOMPARE(Shown(card, "lbl_Relay1"), QStringLiteral("DO1:not read yet"));
        QCOMPARE(Shown(card, "lbl_Link"), QStringLiteral("Link:Port closed"));
        QCOMPARE(Shown(card, "lbl_SettingsRead"), QStringLiteral("Settings not read yet"));
        QVERIFY(card.SignalBars()->isHidden());
        QVERIFY(ValueTexts(card).isEmpty());
    }

    // Temperatures in °C and humidities in %RH: a K802 alternates them, a
    // K803 has temperatures only; a text that is no number gets no unit.
    void currentValuesCarryTheirUnits_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("K802 pairs") << 1 << QStringList{"23.5", "56.0", "-4.0", "40.5"}
                                    << QStringList{"Temperature1: 23.5 °C", "Humidity1: 56.0 %RH",
                                                   "Temperature2: -4.0 °C", "Humidity2: 40.5 %RH"};
        QTest::newRow("K803 temperatures") << 2 << QStringList{"23.5", "56.0"}
                                           << QStringList{"Temperature1: 23.5 °C", "Temperature2: 56.0 °C"};
        QTest::newRow("no number, no unit") << 2 << QStringList{"--"} << QStringList{"Temperature1: --"};
    }
    void currentValuesCarryTheirUnits()
    {
        QFETCH(int, model);
        QFETCH(QStringList, values);
        QFETCH(QStringList, shown);
        TFormDeviceCard card;
        card.Retranslate(ConstLang::English);
        card.SetCurrentValues(model, values, QTime(8, 0, 2));
        QCOMPARE(ValueTexts(card), shown);
        QCOMPARE(Shown(card, "lbl_CurrentValues"), QStringLiteral("Current Values: as of 08:00:02"));
    }

    // The time of the last Read Setting; one of another day names the day.
    void settingsReadTime_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<QString>("shown");
        QTest::newRow("en today") << int(ConstLang::English) << 0 << "Settings read 14:02:11";
        QTest::newRow("zh today") << int(ConstLang::Chinese) << 0 << "配置于14:02:11读取";
        QTest::newRow("en yesterday") << int(ConstLang::English) << 1 << "Settings read %1 14:02:11";
        QTest::newRow("zh yesterday") << int(ConstLang::Chinese) << 1 << "配置于%1 14:02:11读取";
    }
    void settingsReadTime()
    {
        QFETCH(int, language);
        QFETCH(int, daysAgo);
        QFETCH(QString, shown);
        TFormDeviceCard card;
        card.Retranslate(language);
        const QDate day = QDate::currentDate().addDays(-daysAgo);
        card.SetSettingsRead(QDateTime(day, QTime(14, 2, 11)));
        if (daysAgo)
            shown = shown.arg(day.toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(Shown(card, "lbl_SettingsRead"), shown);
    }

    void repliesInBothLanguages()
    {
        TFormDeviceCard card;
        card.SetVersionReply(QStringLiteral("K803"), QStringLiteral("V1.08"), QStringLiteral("863712030448027"),
                             QStringLiteral("23"));
        card.SetPort(QStringLiteral("demo:K803"), TFormDeviceCard::TLink::LoggedIn);
        card.SetDeviceClock(QDateTime(QDate(2026, 12, 10), QTime(17, 5, 9)));
        card.SetRelayStates(0x02);
        card.SetCurrentValues(2, {QStringLiteral("23.5"), QStringLiteral("-4.0")}, QTime(17, 5, 11));

        card.Retranslate(ConstLang::English);
        QCOMPARE(Shown(card, "lbl_ModelNo"), QStringLiteral("Model:K803"));
        QCOMPARE(Shown(card, "lbl_Verstion"), QStringLiteral("Version:V1.08"));
        QCOMPARE(Shown(card, "lbl_IMEI"), QStringLiteral("IMEI:863712030448027"));
        QCOMPARE(Shown(card, "lbl_SignalValue"), QStringLiteral("Signal Value:23 / 31"));
        QCOMPARE(card.SignalBars()->Value(), 23);
        QCOMPARE(Shown(card, "lbl_DeviceClock"), QStringLiteral("Device Clock:2026-12-10 17:05:09"));
        QCOMPARE(Shown(card, "lbl_Port"), QStringLiteral("Port:demo:K803"));
        QCOMPARE(Shown(card, "lbl_Link"), QStringLiteral("Link:Logged in"));
        QCOMPARE(Shown(card, "lbl_Relay1"), QStringLiteral("DO1:Open"));
        QCOMPARE(Shown(card, "lbl_Relay2"), QStringLiteral("DO2:Close"));
        QCOMPARE(ValueTexts(card), (QStringList{"Temperature1: 23.5 °C", "Temperature2: -4.0 °C"}));
        QCOMPARE(Shown(card, "lbl_CurrentValues"), QStringLiteral("Current Values: as of 17:05:11"));

        card.Retranslate(ConstLang::Chinese);
        QCOMPARE(Shown(card, "lbl_ModelNo"), QStringLiteral("型号:K803"));
        QCOMPARE(Shown(card, "lbl_SignalValue"), QStringLiteral("信号值:23 / 31"));
        QCOMPARE(Shown(card, "lbl_Link"), QStringLiteral("连接状态:已登录"));
        QCOMPARE(Shown(card, "lbl_Relay1"), QStringLiteral("继电器1:断开"));
        QCOMPARE(Shown(card, "lbl_Relay2"), QStringLiteral("继电器2:闭合"));
        QCOMPARE(ValueTexts(card), (QStringList{"温度1: 23.5 °C", "温度2: -4.0 °C"}));
        QCOMPARE(Shown(card, "lbl_CurrentValues"), QStringLiteral("当前值: 17:05:11 读取"));

        // A later reply with fewer values leaves no stale line behind.
        card.SetCurrentValues(2, {QStringLiteral("20.0")}, QTime(17, 6, 0));
        QCOMPARE(ValueTexts(card), QStringList{"温度1: 20.0 °C"});
        card.SetPort(QStringLiteral("demo:K803"), TFormDeviceCard::TLink::Lost);
        QCOMPARE(Shown(card, "lbl_Link"), QStringLiteral("连接状态:连接已断开"));
    }
};

QTEST_MAIN(TestDeviceCard)
#include "tst_DeviceCard.moc"
