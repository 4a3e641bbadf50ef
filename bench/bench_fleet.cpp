// Wall times of the archive window's fleet list and overlay: an archive of
// five K802s with a full log each (20000 records, one every ten minutes) and
// two downloads each, the last with limits on every channel. The list reads
// each device's latest 20000 records to judge its last download; the
// overlay reads one channel of each.

#include "BenchTools.h"
#include "SyntheticRecord.h"
#include "config/ConfigImage_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "report/ArchiveFleet_Unt.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtEndian>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int Devices = 5;
    constexpr int Records = 20000;
    QTemporaryDir folder;
    THistoryArchive archive(folder.filePath(QStringLiteral("fleet.sqlite")));
    if (archive.Open() != THistoryArchive::TStatus::Ready)
        return 1;
    QByteArray image(ConfigMap::ImageSize, char(0xFF));
    image[ConfigMap::SensorNames] = 0;
    for (int slot = 0; slot < 16; ++slot) {
        qToLittleEndian<qint16>(slot % 2 ? 700 : 80, image.data() + ConfigMap::SensorHighThresholds + 2 * slot);
        qToLittleEndian<qint16>(slot % 2 ? 300 : 20, image.data() + ConfigMap::SensorLowThresholds + 2 * slot);
    }
    QVector<TArchivedRecord> records;
    for (int n = 1; n <= Records; ++n)
        records.append({n, SyntheticRecord(n, true)});
    // The log runs from 2017-01-01 for about 139 days; the first download
    // took its first half.
    const QDateTime middle = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(Records / 2) * 600);
    for (int device = 0; device < Devices; ++device) {
        const QString imei = QStringLiteral("86100000000%1").arg(device, 4, 10, QLatin1Char('0'));
        archive.Store(imei, QStringLiteral("K802"), records);
        archive.StoreDownload(imei, image, middle, middle);
        archive.StoreDownload(imei, image, QDateTime(QDate(2017, 6, 1), QTime(0, 0)),
                              QDateTime(QDate(2017, 6, 1), QTime(0, 0)));
    }

    Out() << "Archive fleet list, " << Devices << " K802s x " << Records << " records" << Qt::endl;
    QVector<TFleetRow> rows;
    const std::vector<double> list = Measure(3, [] {}, [&] { rows = ArchiveFleet::Rows(archive); });
    Report(QStringLiteral("fleet rows (all devices)"), list,
           rows.isEmpty() ? QString() : rows.first().LimitsText(1));
    int points = 0;
    const std::vector<double> overlay = Measure(3, [] {}, [&] {
        points = 0;
        for (const TFleetRow &row : rows)
            points += int(ArchiveFleet::ChannelLine(archive, row.imei, row.modelIndex, 0).points.size());
    });
    Report(QStringLiteral("overlay lines of Temperature1 (all devices)"), overlay,
           QStringLiteral("%1 points").arg(points));
    return 0;
}
