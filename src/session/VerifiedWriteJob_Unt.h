#pragma once

#include "session/DeviceJob_Unt.h"

#include <QDateTime>
#include <QList>
#include <QPointer>

#include <functional>

// A configuration write that keeps what the device held and checks what it
// holds afterwards. The steps, each a job of its own on the same session:
//  1. the device's image is read, unless the caller already has it from this
//     connection's last read and nothing was written since;
//  2. that image is handed to the caller to keep as a backup; a backup that
//     cannot be kept ends the job before anything is written;
//  3. the 16 pages are written exactly as a plain write sends them;
//  4. the 15 configuration pages are read back and compared with what was
//     written.
// Done only when the read-back equals the written image. The failure record
// names the step that ran (TStep): with Stopped or LineLost it tells what the
// device may hold (Backup: unchanged; Write: a mix of old and new pages;
// ReadBack: written, not verified); BackupRead, BackupKept (detail: why),
// Unconfirmed (pages), StoppedAnswering (page: the device went silent during
// the write; later pages were not sent), ReadBack and Differs (fields) say
// why it failed.
class TVerifiedWriteJob : public TDeviceJob
{
    Q_OBJECT
public:
    enum class TStep { Backup, Write, ReadBack };
    Q_ENUM(TStep)

    // Stores the device's image before the write; an empty result means kept
    // (the file it went to in *keptFile when known), anything else is the
    // reason it was not (shown to the user).
    using TKeepBackup = std::function<QString(const QByteArray &deviceImage, QString *keptFile)>;

    // image: the encoded image to write (3646 bytes). deviceImage: the image
    // of this connection's last read when nothing was written since, else
    // empty (the device is read first).
    TVerifiedWriteJob(TDeviceSession *session, int modelIndex, const QByteArray &image,
                      const QByteArray &deviceImage, TKeepBackup keepBackup, QObject *parent = nullptr);

    // The image written.
    const QByteArray &Image() const { return m_image; }
    // The device's image before the write (empty when it could not be read).
    const QByteArray &BackupImage() const { return m_backup; }
    // When the backup was kept (invalid until then): the time the user finds
    // it under in Restore Backup.
    const QDateTime &BackupTime() const { return m_backupTime; }
    // The device's image after the write, as read back (empty before then).
    const QByteArray &ReadBackImage() const { return m_readBack; }
    // The backup file kept before the write; empty before then or when unknown.
    const QString &BackupFile() const { return m_backupFile; }
    int ModelIndex() const { return m_modelIndex; }

protected:
    void Begin() override;
    void Cancelling() override;

private:
    void RunStep(TDeviceJob *step, std::function<void()> then);
    // The backup read and the read-back: the image alone, no current values;
    // then() gets the image, a failed read ends the job with failure.
    void ReadImage(TStep step, TFailure failure, std::function<void(const QByteArray &)> then);
    void KeepBackup();
    void Write();
    void Verify(const QByteArray &readBack);

    int m_modelIndex;
    QByteArray m_image;
    QByteArray m_backup;
    QByteArray m_readBack;
    QString m_backupFile;
    QDateTime m_backupTime;
    TKeepBackup m_keepBackup;
    QPointer<TDeviceJob> m_stepJob;
};
