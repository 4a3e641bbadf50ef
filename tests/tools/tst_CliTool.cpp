// The k80x-cli program end to end: each run is the built program talking
// to simulated loggers on pseudo-terminals served by this test's event
// loop, so the simulators' request logs show what reached a device.
#include "base/Funs_Unt.h"
#include "fixtures/CliRun.h"
#include "base/GbkText_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "session/DeviceRequests_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"
#include "fixtures/MainWindowFixture.h"
#include "fixtures/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <pty.h>
#include <unistd.h>

using namespace TestFiles;

namespace {

constexpr int kRunTimeoutMs = 60000;
const char *const kModels[] = {"K801", "K802", "K803"};

// A simulated logger on a pseudo-terminal.
struct TLogger
{
    TDeviceSimulator Device;
    TPtyBridge Bridge{&Device};

    explicit TLogger(int model) : Device(TDeviceSimulator::Model(model))
    {
        Device.setLatencyMs(1);
    }
    QString Port() const { return Bridge.slavePath(); }
    // Requests of another kind than those whose command byte is listed.
    int RequestsOtherThan(std::initializer_list<quint8> commands) const
    {
        int others = 0;
        for (const QByteArray &request : Device.requestLog()) {
            const bool listed = request.size() > 1 && request.at(0) == char(TBasicProtocol::StartByte)
                                && std::find(commands.begin(), commands.end(), quint8(request.at(1))) != commands.end();
            others += listed ? 0 : 1;
        }
        return others;
    }
};

std::unique_ptr<TLogger> OpenLogger(int model)
{
    auto logger = std::make_unique<TLogger>(model);
    return logger->Bridge.open() ? std::move(logger) : nullptr;
}

void Put(QByteArray &image, int offset, const QByteArray &bytes)
{
    image.replace(offset, bytes.size(), bytes);
}

// A configuration no factory ships: texts in Chinese, another device ID,
// a phone number with its flags, a threshold with tenths, a timer, a login
// message in hex, a daily report time.
QByteArray CustomImage(int model)
{
    QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model(model));
    Put(image, ConfigMap::DeviceDescription, TextToBytes(QStringLiteral("冷库二号 Cold room"), 60));
    qToLittleEndian(quint16(4321), image.data() + ConfigMap::DeviceId);
    Put(image, ConfigMap::ReportHour, QByteArray("\x08\x05", 2));
    Put(image, ConfigMap::PhoneNumbers, TextToBytes(QStringLiteral("+8613800138000"), 22));
    qToLittleEndian(quint16(0x0209), image.data() + ConfigMap::PhoneMasks);
    qToLittleEndian(quint16(255), image.data() + ConfigMap::SensorHighThresholds);
    Put(image, ConfigMap::Timers, QByteArray("\x03\x08\x1E\x02", 4));
    Put(image, ConfigMap::LoginData, QByteArray("\x01\xAB\x3F", 3));
    image[ConfigMap::LoginLength] = 3;
    image[ConfigMap::LoginMode] = 1;
    Put(image, ConfigMap::RelayBlocks, TextToBytes(QStringLiteral("水泵"), 40));
    return image;
}

// What the window writes after showing an image: the image as its fields hold it.
QByteArray WindowImage(const QByteArray &image, int model)
{
    return EncodeImage(DecodeImage(image, model).Values, model).Image;
}

QStringList CsvLines(const QString &fileName)
{
    QStringList lines = TGbkText::Decode(FileBytes(fileName)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int FilledLines(const QStringList &lines)
{
    int filled = 0;
    for (const QString &line : lines)
        filled += QString(line).remove(QLatin1Char(',')).isEmpty() ? 0 : 1;
    return filled;
}

} // namespace

class TestCliTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;
    QString m_passwordVariable; // K80X_PASSWORD of the runs; null: not set

    QString NewFile(const QString &suffix)
    {
        return m_dir.filePath(QStringLiteral("f%1%2").arg(++m_file).arg(suffix));
    }
    QString BackupFolder() const { return m_dir.filePath(QStringLiteral("data/k80x/backups")); }

    // Runs k80x-cli while this test's event loop serves the loggers;
    // errorTerminal >= 0: its standard error is that terminal.
    CliRun::TRun Run(const QStringList &arguments, int errorTerminal = -1)
    {
        QProcessEnvironment environment = CliRun::UserEnvironment(m_dir.path());
        environment.remove(QStringLiteral("K80X_PASSWORD"));
        if (!m_passwordVariable.isNull())
            environment.insert(QStringLiteral("K80X_PASSWORD"), m_passwordVariable);
        std::function<void()> errorToTerminal;
        if (errorTerminal >= 0)
            errorToTerminal = [errorTerminal] { ::dup2(errorTerminal, STDERR_FILENO); };
        return CliRun::Run(arguments, environment, kRunTimeoutMs, errorToTerminal);
    }

    QString SaveProfile(const QByteArray &image, int model, int language)
    {
        const QString file = NewFile(QStringLiteral(".ini"));
        return TProfileImage::Save(DecodeImage(image, model).Values, model, language, file).ok() ? file : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::exists(QStringLiteral(K80X_CLI_PATH)));
    }

    void readWriteDiffRoundTrip_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("equalText");
        QTest::addColumn<QString>("deviceIdCaption");
        QTest::newRow("K801 profile in English") << 0 << ".ini" << "en" << "no differences" << "Device ID(0~65535)";
        QTest::newRow("K802 raw image") << 1 << ".bin" << "en" << "no differences" << "Device ID(0~65535)";
        QTest::newRow("K803 profile in Chinese") << 2 << ".ini" << "zh" << "没有差异" << "设备ID(0~65535)";
    }

    void readWriteDiffRoundTrip()
    {
        QFETCH(int, model);
        QFETCH(QString, suffix);
        QFETCH(QString, lang);
        QFETCH(QString, equalText);
        QFETCH(QString, deviceIdCaption);
        auto logger = OpenLogger(model);
        QVERIFY(logger);
        const QByteArray custom = CustomImage(model);
        logger->Device.setConfigImage(custom);
        const QString file = NewFile(suffix);

        const CliRun::TRun read = Run({"read", "--port", logger->Port(), "--out", file, "--lang", lang});
        QVERIFY2(read.ExitCode == 0, qPrintable(read.Err));
        QVERIFY(QFile::exists(file));

        // Another configuration on the device; the file brings the first back.
        logger->Device.setConfigImage(TDeviceSimulator::FactoryImage(TDeviceSimulator::Model(model)));
        const CliRun::TRun write = Run({"write", "--port", logger->Port(), "--in", file, "--lang", lang});
        QVERIFY2(write.ExitCode == 0, qPrintable(write.Err));
        QCOMPARE(logger->Device.configImage(), suffix == QLatin1String(".bin") ? custom : WindowImage(custom, model));

        const CliRun::TRun same = Run({"diff", "--port", logger->Port(), "--in", file, "--lang", lang});
        QCOMPARE(same.ExitCode, 0);
        QVERIFY2(same.Out.contains(equalText), qPrintable(same.Out));

        QByteArray changed = logger->Device.configImage();
        qToLittleEndian(quint16(99), changed.data() + ConfigMap::DeviceId);
        logger->Device.setConfigImage(changed);
        const CliRun::TRun different = Run({"diff", "--port", logger->Port(), "--in", file, "--lang", lang});
        QCOMPARE(different.ExitCode, 1);
        QVERIFY2(different.Out.contains(deviceIdCaption + QStringLiteral(": 99 -> 4321")), qPrintable(different.Out));
    }

    void windowProfileWritesByteExact_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("language");
        QTest::newRow("K801 English") << 0 << int(ConstLang::English);
        QTest::newRow("K802 Chinese") << 1 << int(ConstLang::Chinese);
        QTest::newRow("K803 English") << 2 << int(ConstLang::English);
    }

    void windowProfileWritesByteExact()
    {
        QFETCH(int, model);
        QFETCH(int, language);
        auto window = MainWindowFixture::ConnectedWindow(QString::fromLatin1(kModels[model]));
        QVERIFY(window);
        window->Master()->ImageToControls(DecodeImage(CustomImage(model), model));
        window->ApplyLanguage(language);
        const QString saved = NewFile(QStringLiteral(".ini"));
        QVERIFY(window->Profiles()->SaveProfile(saved).ok());
        const TEncodeResult expected = window->Master()->ControlsToImage();
        QVERIFY(expected.Ok());

        auto logger = OpenLogger(model);
        QVERIFY(logger);
        const CliRun::TRun write = Run({"write", "--port", logger->Port(), "--in", saved, "--lang", "en"});
        QVERIFY2(write.ExitCode == 0, qPrintable(write.Err));
        QCOMPARE(logger->Device.configImage(), expected.Image);

        // And the other way: a profile the tool reads opens in the window
        // and writes the same image.
        const QString byTool = NewFile(QStringLiteral(".ini"));
        const CliRun::TRun read = Run({"read", "--port", logger->Port(), "--out", byTool,
                               "--lang", language == ConstLang::Chinese ? "zh" : "en"});
        QVERIFY2(read.ExitCode == 0, qPrintable(read.Err));
        window->Master()->ImageToControls(DecodeImage(TDeviceSimulator::FactoryImage(TDeviceSimulator::Model(model)), model));
        const TProfileResult loaded = window->Profiles()->LoadProfile(byTool);
        QVERIFY(loaded.ok());
        QVERIFY(loaded.unmatchedRows.isEmpty());
        QCOMPARE(window->Master()->ControlsToImage().Image, expected.Image);
    }

    void batchReportsEachDevice()
    {
        std::unique_ptr<TLogger> loggers[3];
        for (auto &logger : loggers) {
            logger = OpenLogger(1);
            QVERIFY(logger);
        }
        loggers[1]->Device.setPassword(QStringLiteral("1234"));
        const QByteArray before = loggers[1]->Device.configImage();
        const QByteArray custom = CustomImage(1);
        const QString profile = SaveProfile(custom, 1, ConstLang::English);
        QVERIFY(!profile.isEmpty());
        const QString list = NewFile(QStringLiteral(".txt"));
        QVERIFY(WriteFile(list, ("# the other two\n" + loggers[1]->Port() + "\n\n" + loggers[2]->Port() + "\n").toUtf8()));
        const QString report = NewFile(QStringLiteral(".csv"));

        const CliRun::TRun run = Run({"write", "--port", loggers[0]->Port(), "--ports-from", list, "--in", profile,
                              "--report", report, "--lang", "en"});
        QCOMPARE(run.ExitCode, 3);
        QCOMPARE(loggers[0]->Device.configImage(), WindowImage(custom, 1));
        QCOMPARE(loggers[2]->Device.configImage(), WindowImage(custom, 1));
        QCOMPARE(loggers[1]->Device.configImage(), before);
        QCOMPARE(loggers[1]->RequestsOtherThan({TBasicProtocol::CmdPassword}), 0);

        const QStringList lines = CsvLines(report);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QStringLiteral("Port,Model,IMEI,Result,Seconds"));
        for (int device = 0; device < 3; ++device) {
            const QStringList fields = THistoryCsv::SplitLine(lines.at(device + 1));
            QCOMPARE(fields.size(), 5);
            QCOMPARE(fields.at(0), loggers[device]->Port());
            QCOMPARE(fields.at(3), device == 1 ? QStringLiteral("the device refused the password")
                                               : QStringLiteral("written and verified"));
            QCOMPARE(fields.at(1), device == 1 ? QString() : QStringLiteral("K802"));
            QCOMPARE(fields.at(2), device == 1 ? QString() : loggers[device]->Device.imei());
        }
        // The table on standard output, the refusal on standard error.
        for (const auto &logger : loggers)
            QVERIFY2(run.Out.contains(logger->Port()), qPrintable(run.Out));
        QVERIFY(run.Out.contains(QStringLiteral("Result")));
        QCOMPARE(run.Err, QStringLiteral("k80x-cli: %1: the device refused the password\n").arg(loggers[1]->Port()));
    }

    // The wrong port in a list is the commonest field fault: a device that
    // never answers costs its login attempts, then the next one runs.
    void silentDeviceDoesNotStopTheBatch()
    {
        auto silent = OpenLogger(1);
        auto answering = OpenLogger(1);
        QVERIFY(silent && answering);
        silent->Device.dropReplies(1000);
        const CliRun::TRun run = Run({"info", "--port", silent->Port(), "--port", answering->Port(), "--lang", "en"});
        QCOMPARE(run.ExitCode, 4);
        QVERIFY(!silent->Device.requestLog().isEmpty());
        QCOMPARE(silent->RequestsOtherThan({TBasicProtocol::CmdPassword}), 0);
        QCOMPARE(run.Err, QStringLiteral("k80x-cli: %1: the device did not answer\n").arg(silent->Port()));
        QVERIFY2(run.Out.contains(answering->Device.imei()), qPrintable(run.Out));
    }

    void badInputSendsNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        // What may reach the device: nothing, or the login (password and
        // version) and no configuration request.
        QTest::addColumn<bool>("loginOnly");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, QStringList arguments, int exitCode, bool loginOnly, const char *error) {
            QTest::newRow(name) << arguments << exitCode << loginOnly << QString::fromUtf8(error);
        };
        row("unknown command", {"frobnicate", "--port", "$PORT"}, 2, false, "unknown command \"frobnicate\"");
        row("unknown option", {"info", "--port", "$PORT", "--colour", "red"}, 2, false, "unknown option \"colour\"");
        row("option of another command", {"info", "--port", "$PORT", "--count", "5"}, 2, false,
            "option --count does not apply to info");
        row("relay out of range", {"relay", "--port", "$PORT", "3", "open"}, 2, false, "1|2 open|close");
        row("password not 4 digits", {"info", "--port", "$PORT", "--password", "12"}, 2, false, "4-digit");
        row("erase without --yes", {"erase-history", "--port", "$PORT"}, 2, false, "--yes");
        row("several devices into one file", {"read", "--port", "$PORT", "--port", "$PORT", "--out", "$DIR/x.ini"}, 2,
            false, "{imei}");
        row("missing file", {"write", "--port", "$PORT", "--in", "$DIR/none.ini"}, 2, false, "no such file");
        row("output in a missing folder", {"read", "--port", "$PORT", "--out", "$DIR/none/x.bin"}, 2, false,
            "no such folder");
        row("report in a missing folder", {"info", "--port", "$PORT", "--report", "$DIR/none/r.csv"}, 2, false,
            "no such folder");
        row("unreadable file", {"write", "--port", "$PORT", "--in", "$DIR/folder.ini"}, 2, false, "cannot read");
        row("not a profile", {"write", "--port", "$PORT", "--in", "$DIR/other.ini"}, 2, false, "is no profile");
        row("raw image of another size", {"write", "--port", "$PORT", "--in", "$DIR/short.bin"}, 2, false, "3646 bytes");
        row("value out of range", {"write", "--port", "$PORT", "--in", "$DIR/range.ini"}, 2, false,
            "\"70000\" of \"Device ID(0~65535)\" is out of range");
        row("profile for another model", {"write", "--port", "$PORT", "--in", "$DIR/k801.ini"}, 2, true,
            "for K801 (sensor rows 8: Temperature1 \u2026 Humidity4); the device is a K802 (sensor rows 16: "
            "Temperature1 \u2026 Humidity8)");
        row("diff with a profile for another model", {"diff", "--port", "$PORT", "--in", "$DIR/k801.ini"}, 2, true,
            "for K801");
        row("port that does not exist", {"info", "--port", "$DIR/no-such-port"}, 4, false, "cannot open port");
        row("wrong password", {"write", "--port", "$PORT", "--in", "$DIR/k802.ini", "--password", "1111"}, 3, false,
            "refused the password");
        // Files that would hang the tool, eat its memory or send its output elsewhere.
        row("port list that never ends", {"info", "--ports-from", "/dev/zero"}, 2, false, "not a regular file");
        row("port list from a FIFO", {"info", "--ports-from", "$DIR/fifo"}, 2, false, "not a regular file");
        row("profile from a FIFO", {"write", "--port", "$PORT", "--in", "$DIR/fifo.ini"}, 2, false, "cannot read");
        row("image from a FIFO", {"write", "--port", "$PORT", "--in", "$DIR/fifo.bin"}, 2, false, "not a regular file");
        row("history into a device", {"history", "--port", "$PORT", "--out", "/dev/null"}, 2, false,
            "not a regular file");
        row("image through a link", {"read", "--port", "$PORT", "--out", "$DIR/link.bin"}, 2, false,
            "not a regular file");
        row("profile through a link", {"read", "--port", "$PORT", "--out", "$DIR/link.ini"}, 2, false,
            "not a regular file");
        row("report through a link", {"info", "--port", "$PORT", "--report", "$DIR/link.csv"}, 2, false,
            "not a regular file");
    }

    void badInputSendsNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, loginOnly);
        QFETCH(QString, error);
        QTemporaryDir files;
        QVERIFY(QDir(files.path()).mkdir(QStringLiteral("folder.ini")));
        QVERIFY(WriteFile(files.filePath(QStringLiteral("other.ini")), "[Other]\r\nkey=1\r\n"));
        QVERIFY(WriteFile(files.filePath(QStringLiteral("short.bin")), QByteArray(100, '\0')));
        const QString k802 = SaveProfile(CustomImage(1), 1, ConstLang::English);
        QVERIFY(QFile::copy(k802, files.filePath(QStringLiteral("k802.ini"))));
        QByteArray range = FileBytes(k802);
        range.replace("lbledt_DeviseID=4321", "lbledt_DeviseID=70000");
        QVERIFY(range.contains("70000"));
        QVERIFY(WriteFile(files.filePath(QStringLiteral("range.ini")), range));
        QVERIFY(QFile::copy(SaveProfile(CustomImage(0), 0, ConstLang::English), files.filePath(QStringLiteral("k801.ini"))));
        for (const char *fifo : {"fifo", "fifo.ini", "fifo.bin"})
            QCOMPARE(::mkfifo(QFile::encodeName(files.filePath(QLatin1String(fifo))).constData(), 0600), 0);
        const QString linkTarget = files.filePath(QStringLiteral("elsewhere"));
        for (const char *link : {"link.bin", "link.ini", "link.csv"})
            QVERIFY(QFile::link(linkTarget, files.filePath(QLatin1String(link))));

        auto logger = OpenLogger(1);
        QVERIFY(logger);
        const QByteArray before = logger->Device.configImage();
        for (QString &argument : arguments) {
            argument.replace(QLatin1String("$PORT"), logger->Port());
            argument.replace(QLatin1String("$DIR"), files.path());
        }
        const CliRun::TRun run = Run(arguments << QStringLiteral("--lang") << QStringLiteral("en"));
        QCOMPARE(run.ExitCode, exitCode);
        QVERIFY2(run.Err.contains(error), qPrintable(run.Err));
        QCOMPARE(run.Err.count(QLatin1Char('\n')), 1);
        QVERIFY(run.Out.isEmpty());
        QCOMPARE(logger->Device.configImage(), before);
        if (exitCode == 3)
            QCOMPARE(logger->RequestsOtherThan({TBasicProtocol::CmdPassword}), 0);
        else if (loginOnly)
            QCOMPARE(logger->RequestsOtherThan({TBasicProtocol::CmdPassword, TBasicProtocol::CmdVersion}), 0);
        else
            QCOMPARE(logger->Device.requestLog().size(), 0);
        if (exitCode == 3 || loginOnly)
            QVERIFY(!logger->Device.requestLog().isEmpty());
        QVERIFY(!QFile::exists(linkTarget));
    }

    void busyPortSendsNothing()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        QSerialPort holder(logger->Port());
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        const CliRun::TRun run = Run({"info", "--port", logger->Port(), "--lang", "en"});
        QCOMPARE(run.ExitCode, 4);
        QVERIFY2(run.Err.contains(QStringLiteral("it does not exist or is in use")), qPrintable(run.Err));
        QCOMPARE(logger->Device.requestLog().size(), 0);
    }

    // A device that goes silent in the middle of a write: the tool gives up
    // after that page and one further request, says what the device may now
    // hold and where the old settings are, and never claims a read-back.
    void writeToADeviceThatStopsAnswering()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        const QString profile = SaveProfile(CustomImage(1), 1, ConstLang::English);
        TDeviceSimulator *device = &logger->Device;
        QObject::connect(device, &TDeviceSimulator::requestReceived, device, [device](const QByteArray &request) {
            if (request.size() > 5 && quint8(request.at(1)) == TBasicProtocol::CmdWriteMemory
                && quint8(request.at(4)) == 6)
                device->stopAnsweringAfterReplies(0);
        });
        QElapsedTimer elapsed;
        elapsed.start();
        const CliRun::TRun run = Run({"write", "--port", logger->Port(), "--in", profile, "--lang", "en"});
        QCOMPARE(run.ExitCode, 4);
        QVERIFY2(elapsed.elapsed() < 30000, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY2(run.Err.contains(QStringLiteral("stopped answering at 37 % of the write")), qPrintable(run.Err));
        QVERIFY2(run.Err.contains(QStringLiteral("mix of old and new settings")), qPrintable(run.Err));
        QVERIFY2(run.Err.contains(QStringLiteral("kept as the backup of ")), qPrintable(run.Err));
        QVERIFY2(!run.Err.contains(QStringLiteral("read-back")), qPrintable(run.Err));
        // Pages after the silent one were never sent.
        int laterPages = 0;
        for (const QByteArray &request : device->requestLog()) {
            if (request.size() > 5 && quint8(request.at(1)) == TBasicProtocol::CmdWriteMemory && quint8(request.at(4)) > 6)
                ++laterPages;
        }
        QCOMPARE(laterPages, 0);
    }

    // The clock is set, then the device stops: the tool says what was done.
    void clockSyncThatCannotBeReadBack()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        TDeviceSimulator *device = &logger->Device;
        QObject::connect(device, &TDeviceSimulator::requestReceived, device, [device](const QByteArray &request) {
            if (request.size() > 1 && quint8(request.at(0)) == TBasicProtocol::StartByte
                && quint8(request.at(1)) == TBasicProtocol::CmdSetClock)
                device->stopAnsweringAfterReplies(1);
        });
        const CliRun::TRun run = Run({"clock", "--port", logger->Port(), "--sync", "--lang", "en"});
        QCOMPARE(run.ExitCode, 4);
        QVERIFY2(run.Err.contains(QStringLiteral("the clock was set; reading it back failed")), qPrintable(run.Err));
    }

    // The tool and the window compare alike: a byte the panes show as a
    // ticked box (auto-arm switch 0x01) is no difference after a read.
    void diffIgnoresWhatThePanesCannotShow()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        QByteArray image = logger->Device.configImage();
        image[ConfigMap::AutoArmSwitch] = char(0x01);
        logger->Device.setConfigImage(image);
        const QString file = NewFile(QStringLiteral(".ini"));
        QCOMPARE(Run({"read", "--port", logger->Port(), "--out", file, "--lang", "en"}).ExitCode, 0);
        const CliRun::TRun same = Run({"diff", "--port", logger->Port(), "--in", file, "--lang", "en"});
        QCOMPARE(same.ExitCode, 0);
        QVERIFY2(same.Out.contains(QStringLiteral("no differences")), qPrintable(same.Out));
    }

    void unconfirmedWriteIsNotVerified()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        const QString profile = SaveProfile(CustomImage(1), 1, ConstLang::English);
        // Page 0 holds the device ID; the device acknowledges it but keeps its own.
        logger->Device.ignoreConfigPageWrites(0);
        const CliRun::TRun run = Run({"write", "--port", logger->Port(), "--in", profile, "--lang", "en"});
        QCOMPARE(run.ExitCode, 5);
        QVERIFY2(run.Err.contains(QStringLiteral("other values than were written: Device ID(0~65535)")),
                 qPrintable(run.Err));
        // The device's settings before the write were kept.
        QCOMPARE(QDir(BackupFolder()).entryList({logger->Device.imei() + QStringLiteral("_*.bin")}).isEmpty(), false);
    }

    void backupAndRestore()
    {
        auto logger = OpenLogger(0);
        QVERIFY(logger);
        QByteArray custom = CustomImage(0);
        // A reserved byte the window never writes: a restore brings it back.
        custom[ConfigMap::ReservedZeros] = char(0x5A);
        logger->Device.setConfigImage(custom);
        const QStringList filter{logger->Device.imei() + QStringLiteral("_*.bin")};
        const QStringList earlier = QDir(BackupFolder()).entryList(filter);
        const CliRun::TRun backup = Run({"backup", "--port", logger->Port(), "--lang", "en"});
        QVERIFY2(backup.ExitCode == 0, qPrintable(backup.Err));
        QStringList kept = QDir(BackupFolder()).entryList(filter);
        for (const QString &name : earlier)
            kept.removeOne(name);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(FileBytes(QDir(BackupFolder()).filePath(kept.first())), custom);
        QVERIFY(backup.Out.contains(kept.first()));

        logger->Device.setConfigImage(TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K801));
        const int writesBefore = logger->Device.framesWithCommand(TBasicProtocol::CmdWriteMemory);
        const CliRun::TRun tooEarly = Run({"restore", "--port", logger->Port(), "--at", "2001-01-01", "--lang", "en"});
        QCOMPARE(tooEarly.ExitCode, 2);
        QVERIFY2(tooEarly.Err.contains(QStringLiteral("no backup of device")), qPrintable(tooEarly.Err));
        QCOMPARE(logger->Device.framesWithCommand(TBasicProtocol::CmdWriteMemory), writesBefore);

        const CliRun::TRun restore = Run({"restore", "--port", logger->Port(), "--lang", "en"});
        QVERIFY2(restore.ExitCode == 0, qPrintable(restore.Err));
        QCOMPARE(logger->Device.configImage(), custom);
    }

    // A device text with a line break and a control byte blocks nothing:
    // it is read into a profile (over the old file, replaced only once the
    // new one is complete), backed up before a write and written back.
    void deviceTextsWithControlBytesPassEveryStep()
    {
        auto logger = OpenLogger(0);
        QVERIFY(logger);
        QByteArray image = CustomImage(0);
        Put(image, ConfigMap::DeviceDescription, QByteArray("Line 1\r\nLine 2\x01\x1B\0", 17));
        logger->Device.setConfigImage(image);
        const QString file = NewFile(QStringLiteral(".ini"));
        QVERIFY(WriteFile(file, "old"));
        const CliRun::TRun read = Run({"read", "--port", logger->Port(), "--out", file, "--lang", "en"});
        QVERIFY2(read.ExitCode == 0, qPrintable(read.Err));
        const QByteArray profile = FileBytes(file);
        QVERIFY2(profile.contains("lbledt_Master_DevDes=Line 1\\x0D\\x0ALine 2\\x01\\x1B"), profile.constData());

        logger->Device.setConfigImage(TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K801));
        const CliRun::TRun write = Run({"write", "--port", logger->Port(), "--in", file, "--lang", "en"});
        QVERIFY2(write.ExitCode == 0, qPrintable(write.Err));
        const QByteArray description = logger->Device.configImage().mid(ConfigMap::DeviceDescription,
                                                                         ConfigMap::DeviceDescriptionSize);
        QVERIFY(description.startsWith("Line 1\r\nLine 2\x01\x1B"));
        QCOMPARE(description, WindowImage(image, 0).mid(ConfigMap::DeviceDescription, ConfigMap::DeviceDescriptionSize));
        // And the device's text is backed up before the next write.
        const CliRun::TRun again = Run({"write", "--port", logger->Port(), "--in", file, "--lang", "en"});
        QVERIFY2(again.ExitCode == 0, qPrintable(again.Err));
    }

    // The newest backup is a file of random bytes: it is refused, the
    // device's password stays.
    void restoreRefusesAFileThatIsNoBackup()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        QVERIFY(QDir().mkpath(BackupFolder()));
        QByteArray noise(ConfigMap::ImageSize, '\0');
        quint32 seed = 3646;
        for (char &byte : noise) {
            seed = seed * 1103515245u + 12345u;
            byte = char(seed >> 24);
        }
        const QString name = logger->Device.imei() + QStringLiteral("_20991231-235959_999999.bin");
        QVERIFY(WriteFile(QDir(BackupFolder()).filePath(name), noise));
        const QByteArray before = logger->Device.configImage();
        const CliRun::TRun restore = Run({"restore", "--port", logger->Port(), "--lang", "en"});
        QCOMPARE(restore.ExitCode, 2);
        QVERIFY2(restore.Err.contains(QStringLiteral("cannot be restored")), qPrintable(restore.Err));
        QVERIFY2(restore.Err.contains(name), qPrintable(restore.Err));
        QCOMPARE(logger->Device.framesWithCommand(TBasicProtocol::CmdWriteMemory), 0);
        QCOMPARE(logger->Device.configImage(), before);
    }

    // The password from a file or the environment; --password before both.
    void passwordSources_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("file") << QStringList{"--password-file", "$DIR/right"} << QString() << 0;
        QTest::newRow("file with the wrong one") << QStringList{"--password-file", "$DIR/wrong"} << QString() << 3;
        QTest::newRow("environment") << QStringList{} << "4321" << 0;
        QTest::newRow("file before the environment") << QStringList{"--password-file", "$DIR/right"} << "1111" << 0;
        QTest::newRow("--password before the environment") << QStringList{"--password", "4321"} << "1111" << 0;
        QTest::newRow("default without any") << QStringList{} << QString() << 3;
        QTest::newRow("file that is a FIFO") << QStringList{"--password-file", "$DIR/fifo"} << QString() << 2;
    }

    void passwordSources()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, variable);
        QFETCH(int, exitCode);
        QTemporaryDir files;
        QVERIFY(WriteFile(files.filePath(QStringLiteral("right")), "4321\n"));
        QVERIFY(WriteFile(files.filePath(QStringLiteral("wrong")), "1111\r\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(files.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        logger->Device.setPassword(QStringLiteral("4321"));
        for (QString &argument : arguments)
            argument.replace(QLatin1String("$DIR"), files.path());
        m_passwordVariable = variable;
        const CliRun::TRun run = Run(QStringList{"info", "--port", logger->Port(), "--lang", "en"} + arguments);
        m_passwordVariable = QString();
        QVERIFY2(run.ExitCode == exitCode, qPrintable(run.Err));
    }

    // Passwords are shown only when asked for, in text and JSON alike.
    void diffHidesPasswords_data()
    {
        QTest::addColumn<bool>("json");
        QTest::addColumn<bool>("show");
        QTest::newRow("text") << false << false;
        QTest::newRow("JSON") << true << false;
        QTest::newRow("text, --show-secrets") << false << true;
        QTest::newRow("JSON, --show-secrets") << true << true;
    }

    void diffHidesPasswords()
    {
        QFETCH(bool, json);
        QFETCH(bool, show);
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        QByteArray image = CustomImage(1);
        Put(image, ConfigMap::GprsPassword, QByteArray("gprs-secret"));
        const QString file = SaveProfile(image, 1, ConstLang::English);
        QVERIFY(!file.isEmpty());
        QStringList arguments{"diff", "--port", logger->Port(), "--in", file, "--lang", "en"};
        if (json)
            arguments << QStringLiteral("--json");
        if (show)
            arguments << QStringLiteral("--show-secrets");
        QVERIFY(!logger->Device.configImage().contains("gprs-secret"));
        const CliRun::TRun run = Run(arguments);
        QCOMPARE(run.ExitCode, 1);
        const QString all = run.Out + run.Err;
        QCOMPARE(all.contains(QStringLiteral("gprs-secret")), show);
        QCOMPARE(all.contains(QStringLiteral("\u2022\u2022\u2022\u2022")), !show);
    }

    void historyToCsv()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        logger->Device.setHistoryRecordCount(30);
        const QString some = NewFile(QString());
        const CliRun::TRun run = Run({"history", "--port", logger->Port(), "--out", some, "--count", "10", "--lang", "en"});
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
        // The window's export: every row of the grid, the records first.
        const QStringList lines = CsvLines(some + QStringLiteral(".csv"));
        QCOMPARE(lines.size(), THistoryGridModel::RecordRowCount);
        QCOMPARE(FilledLines(lines), 10);
        const THistoryTexts texts = THistoryTexts::ForLanguage(ConstLang::English);
        for (const int record : {0, 9})
            QCOMPARE(lines.at(record),
                     THistoryCsv::JoinLine(HistoryRecord::RowCells(logger->Device.historyRecord(record), 1, texts)));

        const QString all = NewFile(QStringLiteral(".csv"));
        const CliRun::TRun whole = Run({"history", "--port", logger->Port(), "--out", all, "--lang", "en"});
        QVERIFY2(whole.ExitCode == 0, qPrintable(whole.Err));
        QVERIFY(whole.Out.contains(QStringLiteral("30 records saved")));
        QCOMPARE(FilledLines(CsvLines(all)), 30);
    }

    void deviceCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addRow("erase-history") << QStringList{"erase-history", "--yes"};
        QTest::addRow("clock --sync") << QStringList{"clock", "--sync"};
        QTest::addRow("relay 2 close") << QStringList{"relay", "2", "close"};
        QTest::addRow("relay 1 open") << QStringList{"relay", "1", "open"};
    }

    void deviceCommands()
    {
        QFETCH(QStringList, arguments);
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        TDeviceSimulator &device = logger->Device;
        // A device with a log, a clock a year behind and DO1 closed.
        device.setHistoryRecordCount(12);
        device.ReceiveFromHost(DeviceRequests::SetClock(QDateTime::currentDateTime().addYears(-1)).bytes);
        device.ReceiveFromHost(DeviceRequests::TextLine(device.password(), "DOC1").bytes);
        QTRY_VERIFY(!device.replyPending());
        QCOMPARE(device.relayBits(), quint8(0x01));

        const CliRun::TRun run = Run(QStringList{arguments.first(), "--port", logger->Port(), "--lang", "en"} + arguments.mid(1));
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
        const QString command = arguments.join(QLatin1Char(' '));
        QCOMPARE(device.historyRecordCount(), command == QLatin1String("erase-history --yes") ? 0 : 12);
        const qint64 clockBehind = device.deviceClock().secsTo(QDateTime::currentDateTime());
        if (command == QLatin1String("clock --sync"))
            QVERIFY2(qAbs(clockBehind) < 120, qPrintable(QString::number(clockBehind)));
        else
            QVERIFY(clockBehind > 300 * 86400);
        const quint8 relays = command == QLatin1String("relay 2 close")  ? 0x03
                              : command == QLatin1String("relay 1 open") ? 0x00
                                                                          : 0x01;
        QCOMPARE(device.relayBits(), relays);
    }

    void jsonQuietAndNoBarOffATerminal()
    {
        auto logger = OpenLogger(2);
        QVERIFY(logger);
        const CliRun::TRun json = Run({"info", "--port", logger->Port(), "--json"});
        QCOMPARE(json.ExitCode, 0);
        QCOMPARE(json.Err, QString());
        const QJsonObject document = QJsonDocument::fromJson(json.Out.toUtf8()).object();
        QCOMPARE(document.value(QStringLiteral("command")).toString(), QStringLiteral("info"));
        QCOMPARE(document.value(QStringLiteral("exitCode")).toInt(-1), 0);
        const QJsonObject device = document.value(QStringLiteral("devices")).toArray().at(0).toObject();
        QCOMPARE(device.value(QStringLiteral("model")).toString(), QStringLiteral("K803"));
        QCOMPARE(device.value(QStringLiteral("imei")).toString(), logger->Device.imei());
        QCOMPARE(device.value(QStringLiteral("firmware")).toString(), logger->Device.firmwareVersion());
        QCOMPARE(device.value(QStringLiteral("port")).toString(), logger->Port());

        const QString file = NewFile(QStringLiteral(".bin"));
        const CliRun::TRun quiet = Run({"read", "--port", logger->Port(), "--out", file, "--quiet"});
        QCOMPARE(quiet.ExitCode, 0);
        QCOMPARE(quiet.Out, QString());
        QCOMPARE(quiet.Err, QString());
        QCOMPARE(FileBytes(file), logger->Device.configImage());
    }

    void progressBarOnlyOnATerminal()
    {
        auto logger = OpenLogger(1);
        QVERIFY(logger);
        int master = -1;
        int slave = -1;
        QVERIFY(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
        const CliRun::TRun run = Run({"read", "--port", logger->Port(), "--out", NewFile(QStringLiteral(".bin"))}, slave);
        ::close(slave);
        QCOMPARE(run.ExitCode, 0);
        QByteArray shown;
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        char buffer[4096];
        for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, int(got));
        ::close(master);
        QVERIFY2(shown.contains(logger->Port().toLocal8Bit() + " [####"), shown.constData());
        QVERIFY2(shown.contains("] 100%"), shown.constData());
        // The bar is wiped before the result is printed.
        QVERIFY(shown.endsWith("\r\033[K"));
        QVERIFY(!run.Out.contains(QLatin1Char('[')));
    }

    void helpNamesEveryExitCode_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"", "ports", "info", "read", "write", "diff", "backup", "restore", "history",
                                    "erase-history", "clock", "relay"})
            QTest::newRow(*command ? command : "overview") << QString::fromLatin1(command);
    }

    void helpNamesEveryExitCode()
    {
        QFETCH(QString, command);
        QStringList arguments{"--help", "--lang", "en"};
        if (!command.isEmpty())
            arguments.prepend(command);
        const CliRun::TRun run = Run(arguments);
        QCOMPARE(run.ExitCode, 0);
        for (const char *code : {"0  done", "1  differences", "2  bad arguments", "3  the device refused",
                                 "4  the port cannot be opened", "5  verification failed"})
            QVERIFY2(run.Out.contains(QLatin1String(code)), qPrintable(run.Out));
        if (!command.isEmpty())
            QVERIFY2(run.Out.contains(QStringLiteral("k80x-cli ") + command), qPrintable(run.Out));
    }
};

QTEST_MAIN(TestCliTool)
#include "tst_CliTool.moc"
