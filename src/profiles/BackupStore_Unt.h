#pragma once

#include "config/ConfigImage_Unt.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One backup: the device's image as it was before a write.
struct TBackupEntry
{
    QString imei;
    QDateTime time;      // local time of the backup, to the second
    QString imagePath;   // the raw 3646-byte image
    QString profilePath; // the same content as a profile file
};

// The backups of what devices held before each write, in one folder: per
// backup the raw image "<IMEI>_<yyyyMMdd-HHmmss>.bin" and a profile
// "<IMEI>_<yyyyMMdd-HHmmss>.ini" that Load Profile opens. The newest
// KeepPerDevice backups of a device are kept; older ones are removed.
class TBackupStore
{
public:
    static constexpr int KeepPerDevice = 20;

    // folder empty: the user's application-data folder + "/backups".
    explicit TBackupStore(const QString &folder = QString());

    const QString &Folder() const { return m_folder; }

    // Keeps image (the device's, decoded for modelIndex; the profile's list
    // captions in language) as a backup of device imei at time. Returns an
    // empty text when kept, else why not (the write must not go on).
    QString Keep(const QString &imei, const QByteArray &image, int modelIndex, int language,
                 const QDateTime &time = QDateTime::currentDateTime(), TBackupEntry *kept = nullptr) const;
    // The backups of device imei, newest first.
    QList<TBackupEntry> List(const QString &imei) const;
    // The raw image of a backup; empty when the file is missing or not an image.
    static QByteArray LoadImage(const TBackupEntry &entry);

private:
    void Prune(const QString &imei) const;

    QString m_folder;
};
