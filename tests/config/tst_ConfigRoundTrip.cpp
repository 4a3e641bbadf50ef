// Image -> panes -> image through the main window's own controls: whatever a
// device holds is shown so that writing it back unchanged gives the same bytes.
#include "app/K900_Frm.h"
#include "config/ConfigImage_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QStringEncoder>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace MainWindowFixture;

namespace {

constexpr int K802 = 1;

QByteArray Le16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray Gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

// A configuration the encoder itself wrote, with every box that governs a
// field ticked, so each field below is written from what its control shows.
TDataPack BaseImage()
{
    namespace Names = ConfigControls;
    TConfigValues values = BlankConfigValues(K802);
    values.Checks[Names::ReportTimeCheck] = true;
    values.Times[Names::ReportTime] = QTime(8, 30);
    values.Checks[Names::SmsReportCheck] = true;
    values.Texts[Names::SmsReportInterval] = QStringLiteral("60");
    values.Checks[Names::AutoArmCheck] = true;
    values.Texts[Names::AutoArmMinutes] = QStringLiteral("5");
    values.Checks[Names::PowerLossCheck] = true;
    values.Texts[Names::PowerLossDelay] = QStringLiteral("10");
    values.Checks[Names::RecordCheck] = true;
    values.Texts[Names::RecordInterval] = QStringLiteral("30");
    values.Combos[Names::Transport] = 0;
    values.Combos[Names::Protocol] = 1;
    values.Texts[Names::MainPassword] = QStringLiteral("5937");
    const TEncodeResult encoded = EncodeImage(values, K802);
    return encoded.Image;
}

TDataPack Patched(const TDataPack &base, int offset, const QByteArray &bytes)
{
    TDataPack image = base;
    image.replace(offset, bytes.size(), bytes);
    return image;
}

// Empty when equal, else the first offset that differs.
QString FirstDifference(const QByteArray &actual, const QByteArray &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("sizes %1 and %2").arg(actual.size()).arg(expected.size());
    for (int offset = 0; offset < actual.size(); ++offset) {
        if (actual.at(offset) != expected.at(offset))
            return QStringLiteral("offset %1: wrote %2, device held %3")
                .arg(offset)
                .arg(quint8(actual.at(offset)), 2, 16, QLatin1Char('0'))
                .arg(quint8(expected.at(offset)), 2, 16, QLatin1Char('0'));
    }
    return QString();
}

} // namespace

class TestConfigRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(m_window);
        QCOMPARE(m_window->ModelIndex(), K802);
        m_base = BaseImage();
        QCOMPARE(m_base.size(), ConfigMap::ImageSize);
    }

    void cleanupTestCase() { m_window.reset(); }

    void imageToPanesToImage_data()
    {
        QTest::addColumn<QByteArray>("image");
        const TDataPack base = BaseImage();
        QTest::newRow("base") << base;

        // Every u16 field at both ends and around the four-digit boundary.
        const struct {
            const char *name;
            int offset;
        } numbers[] = {
            {"device ID", ConfigMap::DeviceId},
            {"SMS report interval", ConfigMap::SmsReportInterval},
            {"auto-arm delay", ConfigMap::AutoArmDelay},
            {"relay 1 close time", ConfigMap::RelayBlocks + ConfigMap::RelayCloseTime},
            {"relay 2 close time", ConfigMap::RelayBlocks + ConfigMap::RelayBlockSize + ConfigMap::RelayCloseTime},
            {"server port", ConfigMap::ServerPort},
            {"upload interval", ConfigMap::UploadInterval},
            {"power-loss delay", ConfigMap::PowerLossDelay},
            {"verify time slot 0", ConfigMap::SensorVerifyTimes},
            {"verify time slot 15", ConfigMap::SensorVerifyTimes + 30},
            {"record interval", ConfigMap::RecordInterval},
            {"heartbeat interval", ConfigMap::HeartbeatInterval},
        };
        for (const auto &field : numbers) {
            for (const quint16 value : {0, 999, 9999, 10000, 65535})
                QTest::addRow("%s %u", field.name, unsigned(value)) << Patched(base, field.offset, Le16(value));
        }

        // Timers: every day code the lists name (7 as well as 15), every
        // action, and codes no list names.
        const int timer = ConfigMap::Timers + 3 * ConfigMap::TimerRecordSize;
        for (const int day : {0, 1, 2, 3, 4, 5, 6, 7, 15}) {
            QTest::addRow("timer day code %d", day)
                << Patched(base, timer, QByteArray::fromHex("00081e07").replace(0, 1, QByteArray(1, char(day))));
        }
        for (int action = 0; action <= 10; ++action) {
            QTest::addRow("timer action %d", action)
                << Patched(base, timer, QByteArray::fromHex("0f1700").append(char(action)));
        }
        QTest::newRow("timer action 0xFF") << Patched(base, timer, QByteArray::fromHex("020c00ff"));
        QTest::newRow("timer action 14") << Patched(base, timer, QByteArray::fromHex("020c000e"));
        QTest::newRow("timer day 9") << Patched(base, timer, QByteArray::fromHex("09173b03"));
        QTest::newRow("timer day 14, action 11") << Patched(base, timer, QByteArray::fromHex("0e00000b"));
        QTest::newRow("timer hour and minute unset") << Patched(base, timer, QByteArray::fromHex("03ffff07"));
        QTest::newRow("timer hour 24, minute 60") << Patched(base, timer, QByteArray::fromHex("03183c07"));
        QTest::newRow("timer hour 254, minute 0") << Patched(base, timer, QByteArray::fromHex("03fe0007"));
        QTest::newRow("last timer every day, action 0xFF")
            << Patched(base, ConfigMap::Timers + 9 * ConfigMap::TimerRecordSize, QByteArray::fromHex("0f0000ff"));

        // Texts filling their whole field.
        const QByteArray ascii60 = QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwx");
        const QByteArray chinese40 = Gbk(QStringLiteral("一号冷库温度传感器位于东北角货架上层中间"));
        QCOMPARE(chinese40.size(), 40);
        QTest::newRow("password 4") << Patched(base, ConfigMap::Password, "9876");
        QTest::newRow("description 60 ASCII") << Patched(base, ConfigMap::DeviceDescription, ascii60);
        QTest::newRow("description 60 bytes Chinese")
            << Patched(base, ConfigMap::DeviceDescription, chinese40 + Gbk(QStringLiteral("冷库二号冷库二号冷库")));
        QTest::newRow("phone number 22 digits")
            << Patched(base, ConfigMap::PhoneNumbers + 9 * ConfigMap::PhoneNumberSize, "+861391234567801234567");
        QTest::newRow("relay name 40") << Patched(base, ConfigMap::RelayBlocks, chinese40);
        QTest::newRow("relay close text 60")
            << Patched(base, ConfigMap::RelayBlocks + ConfigMap::RelayCloseText, ascii60);
        QTest::newRow("relay 2 open text 60")
            << Patched(base, ConfigMap::RelayBlocks + ConfigMap::RelayBlockSize + ConfigMap::RelayOpenText, ascii60);
        QTest::newRow("server address 32") << Patched(base, ConfigMap::ServerAddress, ascii60.left(32));
        QTest::newRow("sensor name slot 15 40") << Patched(base, ConfigMap::SensorNames + 15 * 40, chinese40);
        QTest::newRow("high SMS slot 0 40") << Patched(base, ConfigMap::SensorHighSms, ascii60.left(40));
        QTest::newRow("low SMS slot 7 40") << Patched(base, ConfigMap::SensorLowSms + 7 * 40, chinese40);
        QTest::newRow("recovery SMS slot 8 40") << Patched(base, ConfigMap::SensorRecoverySms + 8 * 40, ascii60.left(40));
        QTest::newRow("APN 40") << Patched(base, ConfigMap::AccessPointName, ascii60.left(40));
        QTest::newRow("GPRS user 40") << Patched(base, ConfigMap::GprsUserName, ascii60.left(40));
        QTest::newRow("GPRS password 40") << Patched(base, ConfigMap::GprsPassword, ascii60.left(40));
        QTest::newRow("heartbeat content 20")
            << Patched(Patched(base, ConfigMap::HeartbeatData, ascii60.left(20)), ConfigMap::HeartbeatLength,
                       QByteArray(1, char(20)));
        QTest::newRow("login message 50 ASCII")
            << Patched(Patched(base, ConfigMap::LoginData, ascii60.left(50)), ConfigMap::LoginLength,
                       QByteArray::fromHex("3200"));
        QByteArray hexData;
        for (int index = 0; index < ConfigMap::LoginDataSize; ++index)
            hexData.append(char(index * 5));
        QTest::newRow("login message 50 hex bytes")
            << Patched(Patched(base, ConfigMap::LoginData, hexData), ConfigMap::LoginLength,
                       QByteArray::fromHex("3201"));

        // Thresholds in tenths, whole and not.
        for (const qint16 tenths : {0, 250, 255, -5, -55, -400, 1255, 32767, -32768}) {
            QTest::addRow("high threshold slot 0 %d tenths", tenths)
                << Patched(base, ConfigMap::SensorHighThresholds, Le16(quint16(tenths)));
            QTest::addRow("low threshold slot 15 %d tenths", tenths)
                << Patched(base, ConfigMap::SensorLowThresholds + 30, Le16(quint16(tenths)));
        }
    }

    void imageToPanesToImage()
    {
        QFETCH(QByteArray, image);
        TSoftMaster *master = m_window->Master();
        const TDecodeResult decoded = DecodeImage(image, m_window->ModelIndex());
        QVERIFY(decoded.Ok());
        master->ImageToControls(decoded);
        const TEncodeResult written = master->ControlsToImage();
        QVERIFY2(written.Ok(), qPrintable(master->ErrorMessage(written.Error)));
        const QString difference = FirstDifference(written.Image, image);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // The same images shown in English, written after a switch to Chinese.
    void languageSwitchBetweenReadAndWrite()
    {
        TSoftMaster *master = m_window->Master();
        const TDataPack image = Patched(Patched(m_base, ConfigMap::Timers, QByteArray::fromHex("0e0c00ff")),
                                        ConfigMap::Timers + 4, QByteArray::fromHex("0f171e09"));
        master->ImageToControls(DecodeImage(image, m_window->ModelIndex()));
        Switch(*m_window, ConstLang::Chinese);
        const TEncodeResult written = master->ControlsToImage();
        Switch(*m_window, ConstLang::English);
        QVERIFY(written.Ok());
        const QString difference = FirstDifference(written.Image, image);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

private:
    std::unique_ptr<TFormK900> m_window;
    TDataPack m_base;
};

QTEST_MAIN(TestConfigRoundTrip)
#include "tst_ConfigRoundTrip.moc"
