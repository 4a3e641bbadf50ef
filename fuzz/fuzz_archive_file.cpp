// The history archive opened on a hostile file: any bytes as the database
// (damaged pages, foreign tables, records of any length). Whatever is
// there, every record read is 64 bytes, a read that finds damage stops the
// writes and leaves the file as it is, and records stored into a file that
// took them can be read back.
#include "FuzzCheck.h"

#include "history/HistoryArchive_Unt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kImei = QStringLiteral("863712030448024");

QByteArray FileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<TArchivedRecord> NewRecords()
{
    QVector<TArchivedRecord> records;
    for (int number = 1; number <= 4; ++number) {
        QByteArray raw(64, char(0xFF));
        const char time[6] = {26, 3, 1, 8, char(number), 0};
        raw.replace(4, 6, QByteArray(time, 6));
        records.append({100000 + number, raw});
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir root;
    if (!root.isValid())
        return 0;
    const QString path = root.filePath(QStringLiteral("archive.sqlite"));
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(FuzzBytes(data, size)) != qint64(size))
            return 0;
    }

    THistoryArchive archive(path);
    archive.Open();
    const QVector<TArchivedDevice> devices = archive.Devices();
    QStringList imeis{kImei};
    for (int index = 0; index < devices.size() && index < 4; ++index)
        imeis << devices.at(index).imei;
    for (const QString &imei : imeis) {
        archive.RecordCount(imei);
        for (const TArchivedRecord &record : archive.Records(imei, 200))
            FUZZ_CHECK(record.raw.size() == 64);
        const TArchivedRecord last = archive.LastRecord(imei);
        FUZZ_CHECK(last.number == 0 || last.raw.size() == 64);
    }

    if (archive.Status() == THistoryArchive::TStatus::Corrupt) {
        const QByteArray before = FileContent(path);
        FUZZ_CHECK(archive.Store(kImei, QStringLiteral("K802"), NewRecords()) == -1);
        FUZZ_CHECK(archive.Open() == THistoryArchive::TStatus::Corrupt);
        archive.Close();
        FUZZ_CHECK(FileContent(path) == before);
        return 0;
    }
    const int added = archive.Store(kImei, QStringLiteral("K802"), NewRecords());
    if (added > 0 && archive.IsReady()) {
        int found = 0;
        for (const TArchivedRecord &record : archive.Records(kImei)) {
            FUZZ_CHECK(record.raw.size() == 64);
            found += record.number > 100000 ? 1 : 0;
        }
        // A read that found damage only now gives nothing.
        FUZZ_CHECK(found >= added || !archive.IsReady());
    }
    return 0;
}
