// k80x-cli report end to end: the built program reads an archive this test
// fills (or a history CSV) and writes PDFs and JSON; no port is involved.
// Expected figures are worked out by hand from the six records below.

#include "config/ConfigImage_Unt.h"
#include "fixtures/CliRun.h"
#include "history/HistoryArchive_Unt.h"
#include "fixtures/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString kImei = QStringLiteral("861234567890123");
const QString kOtherImei = QStringLiteral("861234567890999");
const QString kLimitedImei = QStringLiteral("861234567890555");

// A K801's configuration: Temperature1 named, limits low .. high °C,
// Humidity1 30.0 .. 70.0 %RH, a record every 600 s.
QByteArray Configuration(qint16 lowTenths, qint16 highTenths)
{
    QByteArray image(ConfigMap::ImageSize, char(0xFF));
    const QByteArray name("Fridge A");
    image.replace(ConfigMap::SensorNames, name.size(), name);
    image[ConfigMap::SensorNames + name.size()] = 0;
    qToLittleEndian<qint16>(highTenths, image.data() + ConfigMap::SensorHighThresholds);
    qToLittleEndian<qint16>(lowTenths, image.data() + ConfigMap::SensorLowThresholds);
    qToLittleEndian<qint16>(700, image.data() + ConfigMap::SensorHighThresholds + 2);
    qToLittleEndian<qint16>(300, image.data() + ConfigMap::SensorLowThresholds + 2);
    qToLittleEndian<quint16>(600, image.data() + ConfigMap::RecordInterval);
    return image;
}

// A K801 record of 2024-03-01 08:mm with Temperature1 and Humidity1; the
// other six slots read 0.0.
QByteArray Record(int minute, double temperature, double humidity)
{
    QByteArray raw(64, char(0xFF));
    raw[0] = raw[1] = raw[2] = raw[3] = 0;
    const char stamp[] = {24, 3, 1, 8, char(minute), 0};
    for (int part = 0; part < 6; ++part)
        raw[4 + part] = stamp[part];
    for (int slot = 0; slot < 16; ++slot)
        qToLittleEndian<qint16>(0, raw.data() + 12 + 2 * slot);
    qToLittleEndian<qint16>(qint16(qRound(temperature * 10)), raw.data() + 12);
    qToLittleEndian<qint16>(qint16(qRound(humidity * 10)), raw.data() + 14);
    raw[44] = 0;
    return raw;
}

QString PdfText(const QString &fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), fileName, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class tst_CliReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportOfArchivedDevice();
    void jsonHasStableKeys();
    void periodKeepsItsRecords();
    void onePdfPerDevice();
    void limitsInForceFromTheDownload();
    void reportOfCsvFile();
    void refused_data();
    void refused();
    void helpNamesTheOptions();

private:
    CliRun::TRun Run(const QStringList &arguments);
    QString Path(const QString &name) const { return m_folder.filePath(name); }

    QTemporaryDir m_folder;
};

void tst_CliReport::initTestCase()
{
    QVERIFY(m_folder.isValid());
    // K80X_KEEP_TEST_FILES keeps the reports for a look at their pages.
    if (!qEnvironmentVariableIsEmpty("K80X_KEEP_TEST_FILES")) {
        m_folder.setAutoRemove(false);
        qInfo() << "reports in" << m_folder.path();
    }
    // The tool's archive: the application-data folder of "k80x".
    THistoryArchive archive(m_folder.filePath(QStringLiteral("data/k80x/history-archive.sqlite")));
    QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
    const double temperatures[] = {5.0, 8.5, 9.0, 6.0, 4.0, 1.5};
    const double humidities[] = {40.0, 45.0, 50.0, 55.0, 75.0, 60.0};
    QVector<TArchivedRecord> records;
    for (int row = 0; row < 6; ++row)
        records.append({row + 1, Record(10 * row, temperatures[row], humidities[row])});
    QCOMPARE(archive.Store(kImei, QStringLiteral("K801"), records), 6);
    QCOMPARE(archive.Store(kOtherImei, QStringLiteral("K801"), records.mid(0, 2)), 2);
    // Downloaded on 2 March with limits 2.0 .. 8.0, on 1 April with 0.0 .. 10.0.
    QCOMPARE(archive.Store(kLimitedImei, QStringLiteral("K801"), records), 6);
    QVERIFY(archive.StoreConfiguration(kLimitedImei, Configuration(0, 100), QDateTime(QDate(2024, 4, 1), QTime(9, 0)),
                                       QDateTime(QDate(2024, 4, 1), QTime(9, 1))) > 0);
    QVERIFY(archive.StoreConfiguration(kLimitedImei, Configuration(20, 80), QDateTime(QDate(2024, 3, 2), QTime(9, 29)),
                                       QDateTime(QDate(2024, 3, 2), QTime(9, 30))) > 0);
}

CliRun::TRun tst_CliReport::Run(const QStringList &arguments)
{
    QProcessEnvironment environment = CliRun::UserEnvironment(m_folder.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return CliRun::Run(arguments, environment);
}

void tst_CliReport::reportOfArchivedDevice()
{
    const QString pdf = Path(QStringLiteral("device.pdf"));
    const CliRun::TRun run = Run({"report", "--imei", kImei, "--out", pdf, "--lang", "en"});
    QCOMPARE(run.ExitCode, 0);
    QCOMPARE(run.Out.trimmed(), QStringLiteral("report of 6 records saved to %1").arg(pdf));
    const QString text = PdfText(pdf);
    for (const char *piece : {"861234567890123", "K801", "1.5 °C", "2024-03-01 08:50:00", "9.0 °C", "6.50 °C",
                              "75.0 %RH", "Limits unknown",
                              "b1c6a57a6a4b4fd04da8d683bd8d79cdfad79e1ffb28fcc2cd4419cacf74929d"})
        QVERIFY2(text.contains(QString::fromUtf8(piece)), piece);
    QVERIFY(!text.contains(QStringLiteral("Pass")));
}

void tst_CliReport::jsonHasStableKeys()
{
    const CliRun::TRun run = Run({"report", "--imei", kImei, "--json", "--delta-h", "60"});
    QCOMPARE(run.ExitCode, 0);
    const QJsonObject root = QJsonDocument::fromJson(run.Out.toUtf8()).object();
    QCOMPARE(root.value("command").toString(), QStringLiteral("report"));
    const QJsonObject report = root.value("reports").toArray().at(0).toObject();
    QCOMPARE(report.value("imei").toString(), kImei);
    QCOMPARE(report.value("model").toString(), QStringLiteral("K801"));
    QCOMPARE(report.value("records").toInt(), 6);
    QCOMPARE(report.value("deltaH").toDouble(), 60.0);
    QCOMPARE(report.value("intervalSeconds").toInt(), 600);
    QCOMPARE(report.value("intervalFromConfiguration").toBool(), false);
    QCOMPARE(report.value("limits").toObject().value("known").toBool(), false);
    QCOMPARE(report.value("sha256").toString(),
             QStringLiteral("b1c6a57a6a4b4fd04da8d683bd8d79cdfad79e1ffb28fcc2cd4419cacf74929d"));
    const QJsonArray channels = report.value("channels").toArray();
    QCOMPARE(channels.size(), 8);
    const QJsonObject temperature = channels.at(0).toObject();
    QCOMPARE(temperature.value("name").toString(), QStringLiteral("Temp1"));
    QCOMPARE(temperature.value("unit").toString(), QStringLiteral("°C"));
    QCOMPARE(temperature.value("readings").toInt(), 6);
    QCOMPARE(temperature.value("min").toDouble(), 1.5);
    QCOMPARE(temperature.value("minTime").toString().left(19), QStringLiteral("2024-03-01T08:50:00"));
    QCOMPARE(temperature.value("max").toDouble(), 9.0);
    QCOMPARE(temperature.value("mean").toDouble(), 5.67);
    // ΔH 60 kJ/mol: ΔH/R = 7216.39 K over the weights 5, 10, 10, 10, 10, 5.
    QCOMPARE(temperature.value("mkt").toDouble(), 6.40);
    QVERIFY(temperature.value("pass").isNull());
    QVERIFY(!channels.at(1).toObject().contains("mkt"));
    QCOMPARE(channels.at(1).toObject().value("max").toDouble(), 75.0);
}

void tst_CliReport::periodKeepsItsRecords()
{
    const CliRun::TRun run = Run({"report", "--imei", kImei, "--json", "--from", "2024-03-01 08:20", "--to",
                          "2024-03-01 08:40:00"});
    QCOMPARE(run.ExitCode, 0);
    const QJsonObject report =
        QJsonDocument::fromJson(run.Out.toUtf8()).object().value("reports").toArray().at(0).toObject();
    QCOMPARE(report.value("records").toInt(), 3);
    QCOMPARE(report.value("sha256").toString(),
             QStringLiteral("9789080c6b42c0be78117dca92ad0011df6b9ec9120647bdbe44a4e1dab59c72"));
    QCOMPARE(report.value("channels").toArray().at(0).toObject().value("min").toDouble(), 4.0);
}

void tst_CliReport::onePdfPerDevice()
{
    const CliRun::TRun run = Run({"report", "--imei", kImei, "--imei", kOtherImei, "--out", Path("batch-{imei}.pdf")});
    QCOMPARE(run.ExitCode, 0);
    QVERIFY(PdfText(Path("batch-861234567890123.pdf")).contains(kImei));
    QVERIFY(PdfText(Path("batch-861234567890999.pdf")).contains(kOtherImei));
}

void tst_CliReport::limitsInForceFromTheDownload()
{
    const QString pdf = Path(QStringLiteral("limited.pdf"));
    const CliRun::TRun run = Run({"report", "--imei", kLimitedImei, "--out", pdf, "--json"});
    QCOMPARE(run.ExitCode, 0);
    const QJsonObject report =
        QJsonDocument::fromJson(run.Out.toUtf8()).object().value("reports").toArray().at(0).toObject();
    const QJsonObject limits = report.value("limits").toObject();
    QCOMPARE(limits.value("known").toBool(), true);
    QCOMPARE(limits.value("source").toString(), QStringLiteral("download"));
    QCOMPARE(limits.value("readTime").toString().left(19), QStringLiteral("2024-03-02T09:30:00"));
    QCOMPARE(report.value("intervalFromConfiguration").toBool(), true);
    const QJsonObject temperature = report.value("channels").toArray().at(0).toObject();
    QCOMPARE(temperature.value("name").toString(), QStringLiteral("Fridge A"));
    // Above 8.0 from 08:10 to 08:30, below 2.0 at 08:50 to the end.
    const QJsonObject high = temperature.value("high").toObject();
    QCOMPARE(high.value("limit").toDouble(), 8.0);
    QCOMPARE(high.value("count").toInt(), 1);
    QCOMPARE(high.value("totalSeconds").toInt(), 1200);
    QCOMPARE(high.value("worst").toDouble(), 9.0);
    QCOMPARE(temperature.value("low").toObject().value("count").toInt(), 1);
    QCOMPARE(temperature.value("pass").toBool(true), false);
    const QJsonObject humidity = report.value("channels").toArray().at(1).toObject();
    QCOMPARE(humidity.value("high").toObject().value("totalSeconds").toInt(), 600);
    const QString text = PdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("the download of 2024-03-02 09:30:00")));
    QVERIFY(text.contains(QStringLiteral("Fridge A")));
    QVERIFY(text.contains(QStringLiteral("High 8.0")));
    QVERIFY(!text.contains(QStringLiteral("Limits unknown")));
}

void tst_CliReport::reportOfCsvFile()
{
    // Two lines as Export CSV writes them (Chinese texts), a K801.
    const QString csv = Path(QStringLiteral("log.csv"));
    QVERIFY(TestFiles::WriteGbk(csv, QStringLiteral(
        "24/3/1,8:0:0,20,布防,断开,断开,定时存贮,3.0,50.0,0.0,0.0,0.0,0.0,0.0,0.0\n"
        "24/3/1,8:10:0,20,布防,断开,断开,定时存贮,9.5,52.0,0.0,0.0,0.0,0.0,0.0,0.0\n")));
    const QString pdf = Path(QStringLiteral("csv.pdf"));
    const CliRun::TRun run = Run({"report", "--in", csv, "--out", pdf, "--lang", "zh"});
    QCOMPARE(run.ExitCode, 0);
    const QString text = PdfText(pdf).normalized(QString::NormalizationForm_KC);
    QVERIFY(text.contains(QStringLiteral("温湿度报告")));
    QVERIFY(text.contains(QStringLiteral("9.5 °C")));
    QVERIFY(text.contains(QStringLiteral("3.0 °C")));
    QVERIFY(text.contains(QStringLiteral("log.csv")));
}

void tst_CliReport::refused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no records in the period")
        << QStringList{"report", "--imei", kImei, "--from", "2025-01-01", "--out", "$OUT"}
        << "There are no records in the period 2025-01-01 00:00:00 to …";
    QTest::newRow("device with no archive") << QStringList{"report", "--imei", "860000000000000", "--out", "$OUT"}
                                            << "The archive holds no records of the device 860000000000000.";
    QTest::newRow("neither --imei nor --in") << QStringList{"report", "--out", "$OUT"}
                                             << "report takes --imei or --in, one of the two";
    QTest::newRow("both --imei and --in") << QStringList{"report", "--imei", kImei, "--in", "log.csv", "--out", "$OUT"}
                                          << "report takes --imei or --in, one of the two";
    QTest::newRow("bad activation energy") << QStringList{"report", "--imei", kImei, "--delta-h", "abc", "--out", "$OUT"}
                                           << "--delta-h takes a number of kJ/mol above 0, not \"abc\"";
    QTest::newRow("bad time") << QStringList{"report", "--imei", kImei, "--to", "yesterday", "--out", "$OUT"}
                              << "--to: \"yesterday\" is no time";
    QTest::newRow("period the wrong way round")
        << QStringList{"report", "--imei", kImei, "--from", "2024-03-02", "--to", "2024-03-01", "--out", "$OUT"}
        << "--from 2024-03-02 00:00:00 is later than --to 2024-03-01 23:59:59";
    QTest::newRow("no --out") << QStringList{"report", "--imei", kImei} << "--out is needed";
    QTest::newRow("several devices, one file") << QStringList{"report", "--imei", kImei, "--imei", kOtherImei, "--out", "$OUT"}
                                               << "--out must hold {imei}";
    QTest::newRow("a port option") << QStringList{"report", "--imei", kImei, "--port", "demo:K801", "--out", "$OUT"}
                                   << "option --port does not apply to report";
    QTest::newRow("CSV that is no history file") << QStringList{"report", "--in", "$NOTCSV", "--out", "$OUT"}
                                                 << "is not a history file";
    QTest::newRow("PDF that cannot be written") << QStringList{"report", "--imei", kImei, "--out", "$HELD"}
                                                << "cannot be written";
}

void tst_CliReport::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const QString out = Path(QStringLiteral("refused.pdf"));
    QFile::remove(out);
    const QString notCsv = Path(QStringLiteral("notes.csv"));
    QVERIFY(TestFiles::WriteFile(notCsv, QByteArray("Shopping list\r\nmilk\r\n")));
    const QString held = Path(QStringLiteral("held.pdf"));
    QDir().mkpath(held);
    arguments.replaceInStrings(QStringLiteral("$OUT"), out);
    arguments.replaceInStrings(QStringLiteral("$NOTCSV"), notCsv);
    arguments.replaceInStrings(QStringLiteral("$HELD"), held);
    arguments << QStringLiteral("--lang") << QStringLiteral("en");
    const CliRun::TRun run = Run(arguments);
    QCOMPARE(run.ExitCode, 2);
    QVERIFY2(run.Err.contains(reason), qPrintable(run.Err));
    QVERIFY(!QFileInfo::exists(out));
    QVERIFY(QFileInfo(held).isDir());
}

void tst_CliReport::helpNamesTheOptions()
{
    const CliRun::TRun run = Run({"--lang", "en", "report", "--help"});
    QCOMPARE(run.ExitCode, 0);
    for (const char *option : {"--imei IMEI", "--in F.csv", "--from TIME", "--to TIME", "--out F.pdf", "--appendix",
                               "--delta-h KJ/MOL", "--json", "2  bad arguments"})
        QVERIFY2(run.Out.contains(QLatin1String(option)), option);
    const CliRun::TRun overview = Run({"--help", "--lang", "en"});
    QVERIFY(overview.Out.contains(QStringLiteral("report (--imei IMEI | --in F.csv) --out F.pdf")));
}

QTEST_GUILESS_MAIN(tst_CliReport)
#include "tst_CliReport.moc"
