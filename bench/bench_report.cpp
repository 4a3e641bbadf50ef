// Wall times of the audit report: the statistics of 200000 records of a
// K802 (16 channels) with alarm limits, and the PDF of 20000 records with
// the chart, without and with the data rows as an appendix. The records are
// the synthetic log of the other benchmarks (one every ten minutes).

#include "BenchTools.h"
#include "SyntheticRecord.h"
#include "history/HistoryArchive_Unt.h"
#include "report/ReportPdf_Unt.h"

#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

TReportDocument Document(int records)
{
    QVector<TArchivedRecord> archived;
    archived.reserve(records);
    for (int n = 1; n <= records; ++n)
        archived.append({n, SyntheticRecord(n, true)});
    QVector<TReportChannel> channels = TReportSeries::ModelChannels(1, 1);
    for (TReportChannel &channel : channels) {
        channel.high = channel.humidity ? 70.0 : 8.0;
        channel.low = channel.humidity ? 30.0 : 2.0;
    }
    TReportDocument document;
    document.model = QStringLiteral("K802");
    document.modelIndex = 1;
    document.imei = QStringLiteral("861234567890123");
    document.series = TReportSeries::FromRecords(archived, channels);
    document.limitsKnown = true;
    document.limitsReadTime = QDateTime::currentDateTime();
    document.generatedBy = QStringLiteral("bench");
    document.generatedAt = QDateTime::currentDateTime();
    document.program = QStringLiteral("bench_report");
    document.options.intervalSeconds = 600;
    return document;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Out() << "Report statistics, 200000 records x 16 channels (K802), limits on every channel" << Qt::endl;
    QVector<TArchivedRecord> archived;
    for (int n = 1; n <= 200000; ++n)
        archived.append({n, SyntheticRecord(n, true)});
    TReportDocument big = Document(1);
    Report(QStringLiteral("series from archived records"),
           Measure(3, [] {}, [&] { big.series = TReportSeries::FromRecords(archived, big.series.channels); }));
    const std::vector<double> statistics = Measure(5, [] {}, [&] { big.Compute(); });
    Report(QStringLiteral("statistics (MKT, excursions, gaps)"), statistics,
           QStringLiteral("%1 excursions above Temp1's limit").arg(big.stats.channels.at(0).high.Count()));
    Report(QStringLiteral("SHA-256 of the data rows"), Measure(3, [] {}, [&] { (void)big.Hash(); }));

    Out() << "Report PDF, 20000 records x 16 channels, with the chart" << Qt::endl;
    QTemporaryDir folder;
    TReportDocument document = Document(20000);
    document.Compute();
    int pages = 0;
    const std::vector<double> plain = Measure(3, [] {}, [&] {
        pages = TReportPdf::Write(document, folder.filePath(QStringLiteral("plain.pdf"))).pages;
    });
    Report(QStringLiteral("PDF without appendix"), plain, QStringLiteral("%1 pages").arg(pages));
    document.appendix = true;
    const std::vector<double> withAppendix = Measure(3, [] {}, [&] {
        pages = TReportPdf::Write(document, folder.filePath(QStringLiteral("appendix.pdf"))).pages;
    });
    Report(QStringLiteral("PDF with appendix"), withAppendix, QStringLiteral("%1 pages").arg(pages));
    return 0;
}
