// The PDF report, read back as text with pdftotext (poppler-utils): the
// device, every channel's extremes and MKT, the limits, excursions and the
// data rows' hash on every page, in both languages. Expected figures are
// worked out by hand from the six readings below.

#include "lang/ConstLang_Unt.h"
#include "report/ReportPdf_Unt.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Temperature1 (limits 2.0 .. 8.0 °C) and Humidity1 (30.0 .. 70.0 %RH) of a
// K801, a reading every ten minutes from 2024-03-01 08:00.
TReportDocument Fixture(int language, bool limits = true, double fourthTemperature = 6.0)
{
    TReportDocument document;
    document.language = language;
    document.model = QStringLiteral("K801");
    document.modelIndex = 0;
    document.imei = QStringLiteral("861234567890123");
    document.firmware = QStringLiteral("V1.08");
    document.description = language == ConstLang::Chinese ? QStringLiteral("一号冷库") : QStringLiteral("Cold room 1");
    QVector<TReportChannel> channels = TReportSeries::ModelChannels(0, language);
    channels.resize(2);
    if (limits) {
        channels[0].high = 8.0;
        channels[0].low = 2.0;
        channels[1].high = 70.0;
        channels[1].low = 30.0;
        document.limitsKnown = true;
        document.limitsFromDownload = true;
        document.limitsReadTime = QDateTime(QDate(2024, 3, 2), QTime(9, 30));
    }
    document.series.Reset(channels);
    const double temperatures[] = {5.0, 8.5, 9.0, fourthTemperature, 4.0, 1.5};
    const double humidities[] = {40.0, 45.0, 50.0, 55.0, 75.0, 60.0};
    for (int row = 0; row < 6; ++row) {
        const double values[] = {temperatures[row], humidities[row]};
        document.series.AddRow(QDateTime(QDate(2024, 3, 1), QTime(8, 10 * row)).toMSecsSinceEpoch(), values);
    }
    document.options.intervalSeconds = 600;
    document.generatedBy = QStringLiteral("auditor");
    document.generatedAt = QDateTime(QDate(2024, 3, 3), QTime(10, 0));
    document.program = QStringLiteral("K80x Configurator V2.39");
    document.Compute();
    return document;
}

// The text of a PDF, pages separated by form feeds; empty when it cannot be read.
QString PdfText(const QString &fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    // A CJK face draws 一 and the radical ⼀ with one glyph, which the reader
    // may name either way; compatibility forms fold them together.
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

const QString kHash = QStringLiteral("c87fcdc6a4116c7330b1aee0ec5f8b33b2f2d103e334f52597d83bfee7be4abc");

} // namespace

class tst_ReportPdf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportText_data();
    void reportText();
    void hashAndPageOnEveryPage();
    void sameDataSameHashChangedReadingAnother();
    void unknownLimitsGiveNoVerdict();
    void appendixHoldsTheRows();
    void fileThatCannotBeWrittenIsLeftWhole();

private:
    QString Write(const TReportDocument &document, const QString &name);
    QTemporaryDir m_folder;
};

void tst_ReportPdf::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is needed to read the reports back");
    QVERIFY(m_folder.isValid());
    // K80X_KEEP_TEST_FILES keeps the reports for a look at their pages.
    if (!qEnvironmentVariableIsEmpty("K80X_KEEP_TEST_FILES")) {
        m_folder.setAutoRemove(false);
        qInfo() << "reports in" << m_folder.path();
    }
}

QString tst_ReportPdf::Write(const TReportDocument &document, const QString &name)
{
    const QString fileName = m_folder.filePath(name);
    const TReportPdf::TResult result = TReportPdf::Write(document, fileName);
    if (!result.ok)
        qWarning() << result.error;
    return result.ok ? PdfText(fileName) : QString();
}

void tst_ReportPdf::reportText_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("expected");

    // MKT of 5.0, 8.5, 9.0, 6.0, 4.0, 1.5 °C weighted 5, 10, 10, 10, 10, 5
    // minutes: 6.50 °C. Temperature1 is above 8.0 from 08:10 to 08:30 and
    // below 2.0 at 08:50, to the end; Humidity1 above 70.0 from 08:40 to 08:50.
    QTest::newRow("English") << int(ConstLang::English)
                             << QStringList{"Temperature and Humidity Report", "861234567890123", "K801", "V1.08",
                                            "Cold room 1", "00:10:00", "Temp1", "Hum1",
                                            "1.5 °C", "2024-03-01 08:50:00", "9.0 °C", "2024-03-01 08:20:00",
                                            "6.50 °C", "40.0 %RH", "75.0 %RH", "2024-03-01 08:40:00",
                                            "2.0 °C", "8.0 °C", "30.0 %RH", "70.0 %RH", "High 8.0 °C",
                                            "00:20:00", "Low 2.0 °C", "(beyond",
                                            "Fail", "download of 2024-03-02 09:30:00", "Generated by auditor",
                                            "UTC", "Chart", "Temp1 (°C)"};
    QTest::newRow("Chinese") << int(ConstLang::Chinese)
                             << QStringList{"温湿度报告", "861234567890123", "一号冷库", "温度1", "湿度1",
                                            "1.5 °C", "9.0 °C", "6.50 °C", "75.0 %RH", "高 8.0 °C", "低 2.0 °C",
                                            "不合格", "(至时段结束", "2024-03-02 09:30:00下载",
                                            "数据行SHA-256", "曲线"};
}

void tst_ReportPdf::reportText()
{
    QFETCH(int, language);
    QFETCH(QStringList, expected);
    const QString text = Write(Fixture(language), QStringLiteral("report-%1.pdf").arg(language));
    QVERIFY(!text.isEmpty());
    for (const QString &piece : expected)
        QVERIFY2(text.contains(piece), qPrintable(piece));
    QVERIFY(text.contains(kHash));
}

void tst_ReportPdf::hashAndPageOnEveryPage()
{
    const QString text = Write(Fixture(ConstLang::English), QStringLiteral("pages.pdf"));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (pages.last().trimmed().isEmpty())
        pages.removeLast();
    QVERIFY(pages.size() >= 2);
    for (int page = 0; page < pages.size(); ++page) {
        QVERIFY2(pages.at(page).contains(QStringLiteral("SHA-256 of the data rows: ") + kHash), qPrintable(QString::number(page)));
        QVERIFY2(pages.at(page).contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size())),
                 qPrintable(pages.at(page)));
    }
}

void tst_ReportPdf::sameDataSameHashChangedReadingAnother()
{
    const QString first = Write(Fixture(ConstLang::English), QStringLiteral("first.pdf"));
    const QString again = Write(Fixture(ConstLang::Chinese), QStringLiteral("again.pdf"));
    const QString changed = Write(Fixture(ConstLang::English, true, 6.1), QStringLiteral("changed.pdf"));
    QVERIFY(first.contains(kHash));
    QVERIFY(again.contains(kHash));
    QVERIFY(!changed.contains(kHash));
    // sha256sum of the six rows with 6.1 at 08:30.
    QVERIFY(changed.contains(QStringLiteral("dc510afe16d0089193b50f42a694a1958ddb25890ecdf3bdd9c847df85c80b20")));
}

void tst_ReportPdf::unknownLimitsGiveNoVerdict()
{
    const QString text = Write(Fixture(ConstLang::English, false), QStringLiteral("unknown.pdf"));
    QVERIFY(text.contains(QStringLiteral("Limits unknown")));
    QVERIFY(!text.contains(QStringLiteral("Pass")));
    QVERIFY(!text.contains(QStringLiteral("Fail")));
    QVERIFY(!text.contains(QStringLiteral("High 8.0")));
    QVERIFY(text.contains(QStringLiteral("6.50 °C")));
}

void tst_ReportPdf::appendixHoldsTheRows()
{
    TReportDocument document = Fixture(ConstLang::English);
    const QString without = Write(document, QStringLiteral("without.pdf"));
    document.appendix = true;
    const QString with = Write(document, QStringLiteral("with.pdf"));
    QVERIFY(!without.contains(QStringLiteral("Appendix")));
    QVERIFY(with.contains(QStringLiteral("Appendix: the data rows")));
    QVERIFY(with.contains(QRegularExpression(QStringLiteral("2024-03-01 08:30:00\\s+6\\.0\\s+55\\.0"))));
    QVERIFY(with.contains(QRegularExpression(QStringLiteral("2024-03-01 08:50:00\\s+1\\.5\\s+60\\.0"))));
}

void tst_ReportPdf::fileThatCannotBeWrittenIsLeftWhole()
{
    // A name that is a folder stands for a file another program holds.
    const QString folder = m_folder.filePath(QStringLiteral("held.pdf"));
    QVERIFY(QDir().mkpath(folder));
    const TReportPdf::TResult result = TReportPdf::Write(Fixture(ConstLang::English), folder);
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains(QStringLiteral("cannot be written")));
    QVERIFY(result.error.contains(QStringLiteral("the file on disk is unchanged")));
    QVERIFY(QFileInfo(folder).isDir());
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    tst_ReportPdf test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ReportPdf.moc"
