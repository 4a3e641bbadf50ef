#include "profiles/BackupStore_Unt.h"

#include "profiles/ProfileImage_Unt.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

// IMEIs are digits; anything else a damaged version reply gave is kept out of
// the file name.
QString FilePart(const QString &imei)
{
    QString part;
    for (const QChar c : imei) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            part += c;
    }
    return part.isEmpty() ? QStringLiteral("unknown") : part;
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
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(m_folder));

    TBackupEntry entry;
    entry.imei = FilePart(imei);
    entry.time = time;
    QString base;
    // Two backups within one second never share a name: the later one takes
    // the next free second, so the order stays.
    for (;;) {
        base = m_folder + QLatin1Char('/') + entry.imei + QLatin1Char('_') + entry.time.toString(kTimeFormat);
        if (!QFile::exists(base + QStringLiteral(".bin")))
            break;
        entry.time = entry.time.addSecs(1);
    }
    entry.imagePath = base + QStringLiteral(".bin");
    entry.profilePath = base + QStringLiteral(".ini");

    QSaveFile raw(entry.imagePath);
    if (!raw.open(QIODevice::WriteOnly) || raw.write(image) != image.size() || !raw.commit())
        return QDir::toNativeSeparators(entry.imagePath) + QStringLiteral(": ") + raw.errorString();
    const TIniResult profile = TProfileImage::Save(decoded.Values, modelIndex, language, entry.profilePath);
    if (!profile.ok()) {
        QFile::remove(entry.imagePath);
        return QDir::toNativeSeparators(entry.profilePath) + QStringLiteral(": ") + profile.detail;
    }
    Prune(entry.imei);
    if (kept)
        *kept = entry;
    return QString();
}

QList<TBackupEntry> TBackupStore::List(const QString &imei) const
{
    const QString part = FilePart(imei);
    const QRegularExpression name(QStringLiteral("^%1_(\\d{8}-\\d{6})\\.bin$").arg(QRegularExpression::escape(part)));
    QList<TBackupEntry> entries;
    const QDir folder(m_folder);
    for (const QString &file : folder.entryList({part + QStringLiteral("_*.bin")}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(file);
        if (!match.hasMatch())
            continue;
        TBackupEntry entry;
        entry.imei = part;
        entry.time = QDateTime::fromString(match.captured(1), kTimeFormat);
        entry.imagePath = folder.filePath(file);
        entry.profilePath = folder.filePath(file.chopped(4) + QStringLiteral(".ini"));
        entries << entry;
    }
    std::sort(entries.begin(), entries.end(),
              [](const TBackupEntry &a, const TBackupEntry &b) { return a.time > b.time; });
    return entries;
}

QByteArray TBackupStore::LoadImage(const TBackupEntry &entry)
{
    QFile file(entry.imagePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() != ConfigMap::ImageSize)
        return QByteArray();
    return file.readAll();
}

void TBackupStore::Prune(const QString &imei) const
{
    const QList<TBackupEntry> entries = List(imei);
    for (int index = KeepPerDevice; index < entries.size(); ++index) {
        QFile::remove(entries.at(index).imagePath);
        QFile::remove(entries.at(index).profilePath);
    }
}
