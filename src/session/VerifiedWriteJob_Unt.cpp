#include "session/VerifiedWriteJob_Unt.h"

#include "config/ConfigPages_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/ConfigWriteJob_Unt.h"

#include <QDateTime>

TVerifiedWriteJob::TVerifiedWriteJob(TDeviceSession *session, int modelIndex, const QByteArray &image,
                                     const QByteArray &deviceImage, TKeepBackup keepBackup, QObject *parent)
    : TDeviceJob(session, parent),
      m_modelIndex(modelIndex),
      m_image(image),
      m_backup(deviceImage.left(ConfigMap::ImageSize)),
      m_keepBackup(std::move(keepBackup))
{
}

void TVerifiedWriteJob::Begin()
{
    SetStep(int(TStep::Backup));
    // Read, write and read back: each page counts once on the gauge.
    SetProgress(0, 2 * ConfigPages::ReadPageCount + ConfigPages::WritePageCount);
    if (m_backup.size() == ConfigMap::ImageSize) {
        KeepBackup();
        return;
    }
    ReadImage(TStep::Backup, TFailure::BackupRead, [this](const QByteArray &image) {
        m_backup = image;
        KeepBackup();
    });
}

void TVerifiedWriteJob::Cancelling()
{
    if (m_stepJob)
        m_stepJob->cancel();
}

void TVerifiedWriteJob::RunStep(TDeviceJob *step, std::function<void()> then)
{
    m_stepJob = step;
    const int before = progressValue();
    connect(step, &TDeviceJob::progressChanged, this,
            [this, before](int value, int) { SetProgress(before + value, progressMaximum()); });
    connect(step, &TDeviceJob::finished, this, [this, step, then = std::move(then)](TOutcome outcome) {
        step->deleteLater();
        if (!isRunning())
            return;
        if (outcome == TOutcome::Stopped || outcome == TOutcome::LineLost) {
            Finish(outcome);
            return;
        }
        then();
    });
    if (!step->startWithin(this)) {
        step->deleteLater();
        Finish(Session()->isOpen() ? TOutcome::Failed : TOutcome::LineLost);
    }
}

void TVerifiedWriteJob::ReadImage(TStep step, TFailure failure, std::function<void(const QByteArray &)> then)
{
    SetStep(int(step));
    auto *read = new TConfigReadJob(Session(), m_modelIndex, this);
    read->SetAskValues(false);
    RunStep(read, [this, read, failure, then = std::move(then)] {
        if (read->outcome() != TOutcome::Done) {
            TJobFailure record = read->Failure();
            record.what = failure;
            record.step = -1;
            Fail(record);
            return;
        }
        then(read->Image().left(ConfigMap::ImageSize));
    });
}

void TVerifiedWriteJob::KeepBackup()
{
    SetStep(int(TStep::Backup));
    SetProgress(ConfigPages::ReadPageCount, progressMaximum());
    const QDateTime now = QDateTime::currentDateTime();
    const QString error = m_keepBackup ? m_keepBackup(m_backup, &m_backupFile) : QString();
    if (!error.isEmpty()) {
        TJobFailure failure;
        failure.what = TFailure::BackupKept;
        failure.detail = error;
        Fail(failure);
        return;
    }
    m_backupTime = now;
    Write();
}

void TVerifiedWriteJob::Write()
{
    SetStep(int(TStep::Write));
    auto *write = new TConfigWriteJob(Session(), m_image, this);
    RunStep(write, [this, write] {
        if (write->outcome() != TOutcome::Done) {
            TJobFailure failure = write->Failure();
            if (failure.what != TFailure::StoppedAnswering)
                failure.what = TFailure::Unconfirmed;
            failure.step = -1;
            Fail(failure);
            return;
        }
        ReadImage(TStep::ReadBack, TFailure::ReadBack, [this](const QByteArray &image) { Verify(image); });
    });
}

void TVerifiedWriteJob::Verify(const QByteArray &readBack)
{
    m_readBack = readBack;
    if (m_readBack != m_image.left(ConfigMap::ImageSize)) {
        TJobFailure failure;
        failure.what = TFailure::Differs;
        failure.fields = DiffConfigImages(m_readBack, m_image, m_modelIndex);
        Fail(failure);
        return;
    }
    Finish(TOutcome::Done);
}
