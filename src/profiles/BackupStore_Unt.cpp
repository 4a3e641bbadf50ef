#include "profiles/BackupStore_Unt.h"

#include "base/FileSafety_Unt.h"
#include "config/ConfigDiff_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "profiles/ProfileImage_Unt.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString kImageSuffix = QStringLiteral(".bin");
const QString kProfileSuffix = QStringLiteral(".ini");

bool IsPasswordDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

// Every backup of one device by name, parsed or not yet checked for a date.
struct TNamedBackup
{
    QString file;
    QString time;
    qint64 sequence = 0;
};

QList<TNamedBackup> NamedBackups(const QString &folder, const QString &part)
{
    const QRegularExpression name(
        QStringLiteral("^%1_(\\d{8}-\\d{6})(?:_(\\d{1,15}))?\\.bin$").arg(QRegularExpression::escape(part)));
    QList<TNamedBackup> named;
    // Links named like backups may point anywhere; they are not ours.
    const QStringList files =
        QDir(folder).entryList({part + QStringLiteral("_*") + kImageSuffix}, QDir::Files | QDir::NoSymLinks);
    for (const QString &file : files) {
        const QRegularExpressionMatch match = name.match(file);
        if (match.hasMatch())
            named.append({file, match.captured(1), match.captured(2).toLongLong()});
    }
    return named;
}

} // namespace

TBackupStore::TBackupStore(const QString &folder)
    : m_folder(folder.isEmpty()
                   ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups")
                   : folder)
{
}

QString TBackupStore::Keep(const QString &imei, const QByteArray &image, int modelIndex, int language,
                           const QDateTime &time, TBackupEntry *kept) const
{
    if (image.size() != ConfigMap::ImageSize)
        return QStringLiteral("the device's image has %1 bytes, not %2").arg(image.size()).arg(ConfigMap::ImageSize);
    const TDecodeResult decoded = DecodeImage(image, modelIndex);
    if (!decoded.Ok())
        return QStringLiteral("the device's image does not decode");
    if (!FileSafety::MakeFolder(m_folder, true))
        return QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(m_folder));

    TBackupEntry entry;
    entry.imei = FileSafety::CleanNamePart(imei);
    entry.time = time;
    // Numbered after every backup of the device there is, whatever its time.
    for (const TNamedBackup &named : NamedBackups(m_folder, entry.imei))
        entry.sequence = std::max(entry.sequence, named.sequence);
    QString base;
    do {
        ++entry.sequence;
        base = m_folder + QLatin1Char('/') + entry.imei + QLatin1Char('_') + entry.time.toString(kTimeFormat)
               + QLatin1Char('_') + QString::number(entry.sequence);
    } while (FileSafety::KindOf(base + kImageSuffix) != FileSafety::TPathKind::Absent
             || FileSafety::KindOf(base + kProfileSuffix) != FileSafety::TPathKind::Absent);
    entry.imagePath = base + kImageSuffix;
    entry.profilePath = base + kProfileSuffix;

    const FileSafety::TSaveResult raw = FileSafety::SaveFile(entry.imagePath, image, true);
    if (!raw.ok())
        return QDir::toNativeSeparators(entry.imagePath) + QStringLiteral(": ") + raw.detail;
    const TIniResult profile = TProfileImage::Save(decoded.Values, modelIndex, language, entry.profilePath);
    if (!profile.ok()) {
        QFile::remove(entry.imagePath);
        return QDir::toNativeSeparators(entry.profilePath) + QStringLiteral(": ") + profile.detail;
    }
    Prune(entry.imei, entry.imagePath);
    if (kept)
        *kept = entry;
    return QString();
}

QList<TBackupEntry> TBackupStore::List(const QString &imei) const
{
    const QString part = FileSafety::CleanNamePart(imei);
    const QDir folder(m_folder);
    QList<TBackupEntry> entries;
    for (const TNamedBackup &named : NamedBackups(m_folder, part)) {
        TBackupEntry entry;
        entry.imei = part;
        entry.time = QDateTime::fromString(named.time, kTimeFormat);
        if (!entry.time.isValid())
            continue;
        entry.sequence = named.sequence;
        entry.imagePath = folder.filePath(named.file);
        entry.profilePath = folder.filePath(named.file.chopped(kImageSuffix.size()) + kProfileSuffix);
        entries << entry;
    }
    std::sort(entries.begin(), entries.end(), [](const TBackupEntry &a, const TBackupEntry &b) {
        return a.sequence != b.sequence ? a.sequence > b.sequence : a.time > b.time;
    });
    return entries;
}

QByteArray TBackupStore::LoadImage(const TBackupEntry &entry)
{
    if (FileSafety::KindOf(entry.imagePath) != FileSafety::TPathKind::Regular)
        return QByteArray();
    const FileSafety::TReadResult read = FileSafety::ReadRegularFile(entry.imagePath, ConfigMap::ImageSize);
    if (!read.ok() || read.bytes.size() != ConfigMap::ImageSize)
        return QByteArray();
    return read.bytes;
}

TBackupFault TBackupStore::Check(const TBackupEntry &entry, int modelIndex, QByteArray *image)
{
    if (FileSafety::KindOf(entry.imagePath) != FileSafety::TPathKind::Regular)
        return TBackupFault::Unreadable;
    const FileSafety::TReadResult read = FileSafety::ReadRegularFile(entry.imagePath, ConfigMap::ImageSize);
    if (read.error == FileSafety::TFileError::TooLarge)
        return TBackupFault::WrongSize;
    if (!read.ok())
        return TBackupFault::Unreadable;
    const QByteArray &bytes = read.bytes;
    if (bytes.size() != ConfigMap::ImageSize)
        return TBackupFault::WrongSize;
    if (!std::all_of(bytes.begin() + ConfigMap::Password,
                     bytes.begin() + ConfigMap::Password + ConfigMap::PasswordSize, IsPasswordDigit))
        return TBackupFault::BadPassword;
    const TDecodeResult decoded = DecodeImage(bytes, modelIndex);
    if (!decoded.Ok())
        return TBackupFault::NotAnImage;
    // Every field reads back as it is; bytes no field shows (reserved ones,
    // which a restore brings back as they were) do not count.
    const TEncodeResult encoded = EncodeImage(decoded.Values, modelIndex);
    if (!encoded.Ok())
        return TBackupFault::NotAnImage;
    for (const TFieldDiff &diff : DiffConfigImages(bytes, encoded.Image, modelIndex)) {
        if (!diff.Control.isEmpty() || diff.Row < 0)
            return TBackupFault::NotAnImage;
    }

    if (FileSafety::KindOf(entry.profilePath) != FileSafety::TPathKind::Regular)
        return TBackupFault::ProfileMissing;
    TIniFile ini(entry.profilePath);
    if (!ini.Load() || !TProfileImage::IsProfile(ini))
        return TBackupFault::ProfileMissing;
    // Compared with the image as a profile holds it: a profile keeps no
    // blanks around a text, so those do not count as a difference.
    TIniFile expected;
    if (!TProfileImage::Write(decoded.Values, modelIndex, ConstLang::English, expected))
        return TBackupFault::ProfileDiffers;
    const TEncodeResult held = EncodeImage(
        TProfileImage::Read(expected, modelIndex, ConstLang::English, BlankConfigValues(modelIndex)), modelIndex);
    const TEncodeResult profile = EncodeImage(
        TProfileImage::Read(ini, modelIndex, ConstLang::English, BlankConfigValues(modelIndex)), modelIndex);
    if (!held.Ok() || !profile.Ok() || !DiffConfigImages(held.Image, profile.Image, modelIndex).isEmpty())
        return TBackupFault::ProfileDiffers;
    if (image)
        *image = bytes;
    return TBackupFault::None;
}

QString TBackupStore::FaultText(TBackupFault fault, int language)
{
    const char *key = nullptr;
    switch (fault) {
    case TBackupFault::None: return QString();
    case TBackupFault::Unreadable: key = "TxtBackupUnreadable"; break;
    case TBackupFault::WrongSize: key = "TxtBackupWrongSize"; break;
    case TBackupFault::BadPassword: key = "TxtBackupBadPassword"; break;
    case TBackupFault::NotAnImage: key = "TxtBackupNotAnImage"; break;
    case TBackupFault::ProfileMissing: key = "TxtBackupProfileMissing"; break;
    case TBackupFault::ProfileDiffers: key = "TxtBackupProfileDiffers"; break;
    }
    return ConstLang::Text(QString::fromLatin1(key), language);
}

void TBackupStore::Prune(const QString &imei, const QString &keptImage) const
{
    const QList<TBackupEntry> entries = List(imei);
    for (int index = KeepPerDevice; index < entries.size(); ++index) {
        const TBackupEntry &entry = entries.at(index);
        if (entry.imagePath == keptImage)
            continue;
        QFile::remove(entry.imagePath);
        if (FileSafety::KindOf(entry.profilePath) == FileSafety::TPathKind::Regular)
            QFile::remove(entry.profilePath);
    }
}
