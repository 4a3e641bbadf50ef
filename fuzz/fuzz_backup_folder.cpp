// The backup folder filled with hostile files: backups of any size and
// content, profiles that do not match, impossible dates, names that do not
// parse, links to files outside and folders with backup names. Whatever is
// there, the store lists no link and no impossible date, a backup that
// passes the check before a restore is an image with a password of four
// digits, a new backup is kept, comes first and passes the check, and
// nothing outside the folder changes.
#include "FuzzCheck.h"

#include "base/FileSafety_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString kImei = QStringLiteral("861234567890123");
// A length that stands for the model's factory image (".bin") or the profile
// of it (".ini"), so that inputs can hold sound backups.
constexpr int kFactoryContent = 0xFFFF;
constexpr int kMaxContent = 8192;

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray FileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The name of a hostile file: kind selects the form, counter the number.
QString NameOf(int kind, int counter)
{
    const QString number = QString::number(counter);
    switch (kind % 8) {
    case 0: return kImei + QStringLiteral("_20261201-080000.bin");
    case 1: return kImei + QStringLiteral("_20261201-0800%1_%2.bin").arg(counter % 60, 2, 10, QLatin1Char('0')).arg(number);
    case 2: return kImei + QStringLiteral("_20261399-256161_%1.bin").arg(number);
    case 3: return kImei + QStringLiteral("_20261201-0800%1_%2.ini").arg(counter % 60, 2, 10, QLatin1Char('0')).arg(number);
    case 4: return kImei + QStringLiteral("_20261201-080000.ini");
    case 5: return kImei + QStringLiteral("_garbage_%1.bin").arg(number);
    case 6: return kImei + QStringLiteral("_20270101-000000_%1.bin").arg(number);
    default: return kImei + QStringLiteral("_20270101-000001_%1.bin").arg(number);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir root;
    if (size < 1 || !root.isValid())
        return 0;
    const QString folder = root.filePath(QStringLiteral("backups"));
    const QString outside = root.filePath(QStringLiteral("outside"));
    QDir(folder).removeRecursively();
    QDir(outside).removeRecursively();
    QDir().mkpath(folder);
    QDir().mkpath(outside);
    const QString target = outside + QStringLiteral("/target.bin");
    const QByteArray targetBytes = "outside the folder";
    WriteBytes(target, targetBytes);

    const int model = data[0] % 3;
    const QByteArray factory = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model(model));
    std::size_t at = 1;
    for (int file = 0; file < 24 && at + 4 <= size; ++file) {
        const int kind = data[at];
        const int counter = data[at + 1];
        const int length = data[at + 2] | (data[at + 3] << 8);
        at += 4;
        const QString path = folder + QLatin1Char('/') + NameOf(kind, counter);
        if (kind % 8 == 6) {
            QFile::remove(path);
            QFile::link(target, path);
            continue;
        }
        if (kind % 8 == 7) {
            QDir().mkpath(path);
            continue;
        }
        if (length == kFactoryContent) {
            if (path.endsWith(QLatin1String(".ini")))
                (void)TProfileImage::Save(DecodeImage(factory, model).Values, model, 1, path);
            else
                WriteBytes(path, factory);
            continue;
        }
        const std::size_t taken = std::min<std::size_t>(std::min(length, kMaxContent), size - at);
        WriteBytes(path, FuzzBytes(data + at, taken));
        at += taken;
    }

    const TBackupStore store(folder);
    const QList<TBackupEntry> entries = store.List(kImei);
    for (const TBackupEntry &entry : entries) {
        FUZZ_CHECK(entry.time.isValid());
        FUZZ_CHECK(!QFileInfo(entry.imagePath).isSymLink());
        QByteArray image;
        if (TBackupStore::Check(entry, model, &image) == TBackupFault::None) {
            FUZZ_CHECK(image.size() == ConfigMap::ImageSize);
            for (int index = 0; index < ConfigMap::PasswordSize; ++index)
                FUZZ_CHECK(image.at(index) >= '0' && image.at(index) <= '9');
        } else {
            FUZZ_CHECK(image.isEmpty());
        }
    }

    TBackupEntry kept;
    const QString error =
        store.Keep(kImei, factory, model, 1, QDateTime(QDate(2026, 6, 1), QTime(8, 0)), &kept);
    FUZZ_CHECK(error.isEmpty());
    const QList<TBackupEntry> after = store.List(kImei);
    FUZZ_CHECK(!after.isEmpty() && after.first().imagePath == kept.imagePath);
    FUZZ_CHECK(after.size() <= TBackupStore::KeepPerDevice);
    FUZZ_CHECK(TBackupStore::Check(kept, model) == TBackupFault::None);
    FUZZ_CHECK(FileSafety::KindOf(kept.imagePath) == FileSafety::TPathKind::Regular);
    FUZZ_CHECK(FileContent(target) == targetBytes);
    FUZZ_CHECK(QDir(outside).entryList(QDir::Files | QDir::Hidden).size() == 1);
    return 0;
}
