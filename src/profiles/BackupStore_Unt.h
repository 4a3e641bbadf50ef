#pragma once

#include "config/ConfigImage_Unt.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One backup: the device's image as it was before a write.
struct TBackupEntry
{
    QString imei;
    QDateTime time;      // local time of the backup by the PC's clock then, to the second
    qint64 sequence = 0; // order of making within the device's backups; 0 for backups named without one
    QString imagePath;   // the raw 3646-byte image
    QString profilePath; // the same content as a profile file
};

// Why a backup cannot be restored.
enum class TBackupFault {
    None,
    Unreadable,     // the image file is missing, no regular file or cannot be read
    WrongSize,      // the image is not 3646 bytes
    BadPassword,    // the image's password is not four digits
    NotAnImage,     // the image does not decode and encode back to the same fields
    ProfileMissing, // its profile is missing, no regular file or no profile
    ProfileDiffers, // its profile holds other settings than its image
};

// The backups of what devices held before each write, in one folder: per
// backup the raw image "<IMEI>_<yyyyMMdd-HHmmss>_<n>.bin" and a profile
// "<IMEI>_<yyyyMMdd-HHmmss>_<n>.ini" that Load Profile opens, n counting the
// device's backups up. The backups are ordered by n, never by their times:
// the PC's clock may have been ahead when older ones were made. Names
// without n (older backups) come before every numbered one, in time order.
// The newest KeepPerDevice backups of a device are kept; older ones are
// removed. Names that do not parse, impossible dates and symbolic links are
// no backups: never listed, loaded or removed. The folder and the files are
// its owner's only, as they hold the device's passwords.
class TBackupStore
{
public:
    static constexpr int KeepPerDevice = 20;

    // folder empty: the user's application-data folder + "/backups".
    explicit TBackupStore(const QString &folder = QString());

    const QString &Folder() const { return m_folder; }

    // Keeps image (the device's, decoded for modelIndex; the profile's list
    // captions in language) as a backup of device imei made at time. Returns
    // an empty text when kept, else why not (the write must not go on). The
    // backup kept is never among those pruned.
    QString Keep(const QString &imei, const QByteArray &image, int modelIndex, int language,
                 const QDateTime &time = QDateTime::currentDateTime(), TBackupEntry *kept = nullptr) const;
    // The backups of device imei, newest first.
    QList<TBackupEntry> List(const QString &imei) const;
    // The raw image of a backup; empty when the file is missing, no regular
    // file or not 3646 bytes.
    static QByteArray LoadImage(const TBackupEntry &entry);
    // Whether the backup can be written to a device of modelIndex: its image
    // has 3646 bytes, a password of four digits, decodes and encodes back
    // to the same fields, and its profile holds the same settings. The image
    // goes to *image when it passes.
    static TBackupFault Check(const TBackupEntry &entry, int modelIndex, QByteArray *image = nullptr);
    // The fault in words of the language (0 Chinese, 1 English).
    static QString FaultText(TBackupFault fault, int language);

private:
    void Prune(const QString &imei, const QString &keptImage) const;

    QString m_folder;
};
