// Profiles without a window against the window itself: for images of every
// model in both languages, the file the core writes from plain values is the
// file the window's Export Profile writes when it shows them, byte for byte;
// and a profile read into plain values encodes to what the window encodes
// after Load Profile, for the window's own files and for files written
// elsewhere; and which files are profiles, for which model.
#include "base/Funs_Unt.h"
#include "app/K900_Frm.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "look/ComponentEx.h"
#include "profiles/IniFile_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "fixtures/MainWindowFixture.h"
#include "fixtures/TestFiles.h"

#include <QCheckBox>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtEndian>

#include <memory>

using namespace MainWindowFixture;

using namespace TestFiles;

namespace {

const char *const kModels[] = {"K801", "K802", "K803"};

void Put(QByteArray &image, int offset, const QByteArray &bytes)
{
    image.replace(offset, bytes.size(), bytes);
}

void PutU16(QByteArray &image, int offset, quint16 value)
{
    qToLittleEndian(value, image.data() + offset);
}

// Images a device may hold: as it leaves the factory, erased, with the odd
// values the window must keep (unnamed timer codes, times out of range, no
// GPRS item, thresholds with tenths, GBK texts, a hex login message), and
// random bytes (without line breaks, which no profile line can hold).
QByteArray Image(const QString &kind, int model)
{
    const QByteArray factory = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model(model));
    if (kind == QLatin1String("factory"))
        return factory;
    if (kind == QLatin1String("erased"))
        return QByteArray(ConfigMap::ImageSize, '\xFF');
    if (kind == QLatin1String("random")) {
        QRandomGenerator random(0x5EED + model);
        QByteArray image(ConfigMap::ImageSize, '\0');
        for (char &byte : image) {
            byte = char(random.bounded(256));
            if (byte == '\n' || byte == '\r')
                byte = ' ';
        }
        return image;
    }
    QByteArray image = factory;
    Put(image, ConfigMap::DeviceDescription, TextToBytes(QStringLiteral("冷库二号 Cold room"), 60));
    Put(image, ConfigMap::ReportHour, QByteArray("\x08\x05", 2));
    Put(image, ConfigMap::Timers, QByteArray("\x09\x30\x1E\x0E", 4));
    Put(image, ConfigMap::Timers + 4, QByteArray("\x07\x08\x00\x03", 4));
    Put(image, ConfigMap::Timers + 8, QByteArray("\x8F\x01\x02\x03", 4));
    Put(image, ConfigMap::Timers + 12, QByteArray("\x0F\xFF\x3B\x0A", 4));
    PutU16(image, ConfigMap::SensorHighThresholds, quint16(-55));
    PutU16(image, ConfigMap::SensorLowThresholds + 2, 255);
    Put(image, ConfigMap::LoginData, QByteArray("\x01\xFF\x3F", 3));
    image[ConfigMap::LoginLength] = 3;
    image[ConfigMap::LoginMode] = 1;
    image[ConfigMap::GprsFlags] = char(0x83);
    PutU16(image, ConfigMap::PhoneMasks + 2, 0x0209);
    Put(image, ConfigMap::PhoneNumbers + 22, QByteArray("+86 (0) 1\0\0", 11));
    PutU16(image, ConfigMap::PowerLossDelay, 999);
    Put(image, ConfigMap::RelayBlocks, TextToBytes(QStringLiteral("水泵"), 40));
    return image;
}

} // namespace

class TestProfileImage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFormK900> m_windows[3];
    QTemporaryDir m_dir;
    int m_file = 0;

    QString NewFile() { return m_dir.filePath(QStringLiteral("p%1.ini").arg(++m_file)); }

    // The window shows the image in the language, with current values in
    // the relay status and sensor value cells and the password shown.
    TFormK900 &Show(int model, int language, const QByteArray &image, bool showPassword)
    {
        TFormK900 &window = *m_windows[model];
        window.ApplyLanguage(language);
        window.Master()->ImageToControls(DecodeImage(image, model));
        window.Views().lvDo->topLevelItem(1)->setText(3, QStringLiteral("Close"));
        window.Views().lvTh->topLevelItem(0)->setText(2, QStringLiteral("23.5"));
        window.findChild<QCheckBox *>(TProfileImage::ShowPasswordBox)->setChecked(showPassword);
        return window;
    }

    static QTime PickerTime(const TFormK900 &window)
    {
        return window.findChild<QTimeEdit *>(ConfigControls::ReportTime)->time();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (int model = 0; model < 3; ++model) {
            m_windows[model] = ConnectedWindow(QString::fromLatin1(kModels[model]));
            QVERIFY(m_windows[model]);
            QCOMPARE(m_windows[model]->ModelIndex(), model);
        }
    }

    void cleanupTestCase()
    {
        for (auto &window : m_windows)
            window.reset();
    }

    void coreWritesTheWindowsFile_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("kind");
        for (int model = 0; model < 3; ++model) {
            for (const int language : {ConstLang::English, ConstLang::Chinese}) {
                for (const char *kind : {"factory", "erased", "odd values", "random"}) {
                    QTest::addRow("%s %s %s", kModels[model], language ? "English" : "Chinese", kind)
                        << model << language << QString::fromLatin1(kind);
                }
            }
        }
    }

    void coreWritesTheWindowsFile()
    {
        QFETCH(int, model);
        QFETCH(int, language);
        QFETCH(QString, kind);
        const QByteArray image = Image(kind, model);
        const bool showPassword = kind == QLatin1String("random");
        TFormK900 &window = Show(model, language, image, showPassword);
        const QString byWindow = NewFile();
        const TProfileResult saved = window.Profiles()->SaveProfile(byWindow);
        QVERIFY2(saved.ok(), qPrintable(saved.detail));

        TConfigValues values = DecodeImage(image, model).Values;
        values.lvDo[1][ConfigCells::DoStatus] = QStringLiteral("Close");
        values.lvTh[0][ConfigCells::ThValue] = QStringLiteral("23.5");
        values.Checks[TProfileImage::ShowPasswordBox] = showPassword;
        const QString byCore = NewFile();
        values.Times[ConfigControls::ReportTime] = PickerTime(window);
        const TIniResult written = TProfileImage::Save(values, model, language, byCore);
        QVERIFY2(written.ok(), qPrintable(written.detail));
        const QByteArray expected = FileBytes(byWindow);
        QVERIFY(expected.contains("[lvTimer]"));
        QCOMPARE(FileBytes(byCore), expected);
    }

    void coreReadsTheWindowsFile_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("savedIn");
        QTest::addColumn<int>("loadedIn");
        QTest::addColumn<QString>("kind");
        for (int model = 0; model < 3; ++model) {
            for (const char *kind : {"odd values", "random"}) {
                QTest::addRow("%s %s, English", kModels[model], kind) << model << 1 << 1 << QString::fromLatin1(kind);
                QTest::addRow("%s %s, Chinese", kModels[model], kind) << model << 0 << 0 << QString::fromLatin1(kind);
                QTest::addRow("%s %s, saved in Chinese, loaded in English", kModels[model], kind)
                    << model << 0 << 1 << QString::fromLatin1(kind);
            }
        }
    }

    void coreReadsTheWindowsFile()
    {
        QFETCH(int, model);
        QFETCH(int, savedIn);
        QFETCH(int, loadedIn);
        QFETCH(QString, kind);
        const QByteArray image = Image(kind, model);
        TFormK900 &window = Show(model, savedIn, image, false);
        const QString profile = NewFile();
        QVERIFY(window.Profiles()->SaveProfile(profile).ok());

        // The window shows another configuration when the profile comes in.
        Show(model, loadedIn, Image(QStringLiteral("factory"), model), true);
        const TConfigValues base = window.Master()->ControlsToValues();
        TIniFile ini(profile);
        if (!ini.Load().ok()) {
            // Random texts may hold control bytes no text file has: the
            // window refuses its own file then, and so does the core.
            QVERIFY(kind == QLatin1String("random"));
            QVERIFY(!window.Profiles()->LoadProfile(profile).ok());
            return;
        }
        QVERIFY(TProfileImage::IsProfile(ini));
        QCOMPARE(TProfileImage::SensorModel(ini), model);
        const TConfigValues read = TProfileImage::Read(ini, model, loadedIn, base);
        QVERIFY(window.Profiles()->LoadProfile(profile).ok());
        const TEncodeResult byWindow = window.Master()->ControlsToImage();
        const TEncodeResult byCore = EncodeImage(read, model);
        // Random values may not encode (numbers beyond their fields); then
        // both refuse, naming the same control.
        QCOMPARE(byCore.Ok(), byWindow.Ok());
        QCOMPARE(byCore.Error.Control, byWindow.Error.Control);
        QCOMPARE(byCore.Image, byWindow.Image);
        if (kind != QLatin1String("random"))
            QVERIFY(byWindow.Ok());
    }

    void coreReadsFilesFromElsewhere_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("unmatched");
        QTest::newRow("missing keys") << 1 << "[Value]\nlbledt_DeviseID=12\n" << QStringList{};
        QTest::newRow("combo indexes beyond the items and below")
            << 1 << "[Value]\ncbb_GPRS_TcpUdp=7\ncbb_GPRSCommunication_Proctocol=-3\nchk_Auto_Armed=TRUE\n"
                    "chk_AddTimeToAlarmSMS=2\n"
            << QStringList{};
        QTest::newRow("quoted values and a 12-hour time")
            << 0 << "[Value]\nlbledt_Master_DevDes=\"Cold room\"\nchk_ReportTime=1\ndtp_RePortTime=9:05:00 PM\n"
                    "lbledt_TcpPort=\" 502\"\n"
            << QStringList{};
        QTest::newRow("timer cells in Chinese, in an English window")
            << 2 << "[lvTimer]\n  1=√^三^8^30^7.继电器1闭合^\n  2=~^每天^23^59^10.继电器2断开^\n  3=√^9^^^14^\n"
            << QStringList{"4", "5", "6", "7", "8", "9", "10"};
        QTest::newRow("partial list values")
            << 1 << "[lvTel]\n  1=abc^^^\n  2=x^~^y^\n[lvDo]\nRelay A=Pump^5^\nRelay B=Fan^\n"
            << QStringList{"3", "4", "5", "6", "7", "8", "9", "10"};
        QTest::newRow("sensor rows of another model")
            << 1 << "[lvTh]\nTemperature1=a^^√^3^25^-5^\n湿度1=b^\nTemperature5=e^\n"
            << QStringList{"Temperature2", "Humidity2", "Temperature3", "Humidity3", "Temperature4",
                           "Humidity4", "Humidity5", "Temperature6", "Humidity6", "Temperature7",
                           "Humidity7", "Temperature8", "Humidity8"};
    }

    void coreReadsFilesFromElsewhere()
    {
        QFETCH(int, model);
        QFETCH(QString, text);
        QFETCH(QStringList, unmatched);
        const QString profile = NewFile();
        QVERIFY(WriteGbk(profile, text));
        TFormK900 &window = Show(model, ConstLang::English, Image(QStringLiteral("odd values"), model), false);
        const TConfigValues base = window.Master()->ControlsToValues();
        TIniFile ini(profile);
        QVERIFY(ini.Load().ok());
        QStringList unmatchedByCore;
        TConfigValues read = TProfileImage::Read(ini, model, ConstLang::English, base, &unmatchedByCore);
        const TProfileResult byWindow = window.Profiles()->LoadProfile(profile);
        QVERIFY(byWindow.ok());
        QCOMPARE(unmatchedByCore, byWindow.unmatchedRows);
        QCOMPARE(unmatchedByCore, unmatched);
        // A file without the report time reads as the window's picker shows it.
        if (!ini.KeyExists(QStringLiteral("Value"), ConfigControls::ReportTime))
            read.Times[ConfigControls::ReportTime] = PickerTime(window);
        const TEncodeResult windowImage = window.Master()->ControlsToImage();
        const TEncodeResult coreImage = EncodeImage(read, model);
        QCOMPARE(coreImage.Ok(), windowImage.Ok());
        QCOMPARE(coreImage.Image, windowImage.Image);
        QCOMPARE(read.ComboIndex(ConfigControls::Transport),
                 window.Master()->ControlsToValues().ComboIndex(ConfigControls::Transport));
        QCOMPARE(read.ComboIndex(ConfigControls::Protocol),
                 window.Master()->ControlsToValues().ComboIndex(ConfigControls::Protocol));
    }

    void profilesAndTheirModelsAreRecognised_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("profile");
        QTest::addColumn<int>("model");
        QTest::newRow("one value key") << "[Value]\nlbledt_DeviseID=12\n" << true << -1;
        QTest::newRow("a list only") << "[lvTel]\n  1=123^\n" << true << -1;
        QTest::newRow("no key of the window") << "[Value]\nsomething=1\n[Other]\na=b\n" << false << -1;
        QTest::newRow("K801 rows in English")
            << "[lvTh]\nTemperature1=a^\nHumidity1=^\nTemperature2=^\nHumidity2=^\nTemperature3=^\nHumidity3=^\n"
               "Temperature4=^\nHumidity4=^\n"
            << true << 0;
        QTest::newRow("K803 rows in Chinese")
            << "[lvTh]\n温度1=^\n温度2=^\n温度3=^\n温度4=^\n温度5=^\n温度6=^\n温度7=^\n温度8=^\n" << true << 2;
        QTest::newRow("rows of no model") << "[lvTh]\nTemperature1=^\nHumidity1=^\n" << true << -1;
    }

    void profilesAndTheirModelsAreRecognised()
    {
        QFETCH(QString, ini);
        QFETCH(bool, profile);
        QFETCH(int, model);
        const QString file = NewFile();
        QVERIFY(WriteGbk(file, ini));
        TIniFile loaded(file);
        QVERIFY(loaded.Load().ok());
        QCOMPARE(TProfileImage::IsProfile(loaded), profile);
        QCOMPARE(TProfileImage::SensorModel(loaded), model);
    }

    void theWindowsFileNamesItsModel()
    {
        for (int model = 0; model < 3; ++model) {
            for (const int language : {ConstLang::English, ConstLang::Chinese}) {
                TFormK900 &window = Show(model, language, Image(QStringLiteral("factory"), model), false);
                const QString file = NewFile();
                QVERIFY(window.Profiles()->SaveProfile(file).ok());
                TIniFile ini(file);
                QVERIFY(ini.Load().ok());
                QCOMPARE(TProfileImage::SensorModel(ini), model);
            }
        }
    }
};

QTEST_MAIN(TestProfileImage)
#include "tst_ProfileImage.moc"
