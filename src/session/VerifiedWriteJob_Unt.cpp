#include "session/VerifiedWriteJob_Unt.h"

#include "config/ConfigPages_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/ConfigWriteJob_Unt.h"

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
    // Read, write and read back: each page counts once on the gauge.
    SetProgress(0, 2 * ConfigPages::ReadPageCount + ConfigPages::WritePageCount);
    if (m_backup.size() == ConfigMap::ImageSize)
        KeepBackup();
    else
        ReadBackup();
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

void TVerifiedWriteJob::ReadBackup()
{
    m_step = TStep::Backup;
    auto *read = new TConfigReadJob(Session(), m_modelIndex, this);
    read->SetAskValues(false);
    RunStep(read, [this, read] {
        if (read->outcome() != TOutcome::Done) {
            Fail(TFailure::BackupRead);
            return;
        }
        m_backup = read->Image().left(ConfigMap::ImageSize);
        KeepBackup();
    });
}

void TVerifiedWriteJob::KeepBackup()
{
    m_step = TStep::Backup;
    SetProgress(ConfigPages::ReadPageCount, progressMaximum());
    m_backupError = m_keepBackup ? m_keepBackup(m_backup) : QString();
    if (!m_backupError.isEmpty()) {
        Fail(TFailure::BackupKept);
        return;
    }
    Write();
}

void TVerifiedWriteJob::Write()
{
    m_step = TStep::Write;
    auto *write = new TConfigWriteJob(Session(), m_image, this);
    RunStep(write, [this, write] {
        m_unconfirmed = write->UnconfirmedPages();
        if (write->outcome() != TOutcome::Done) {
            Fail(TFailure::Unconfirmed);
            return;
        }
        ReadBack();
    });
}

void TVerifiedWriteJob::ReadBack()
{
    m_step = TStep::ReadBack;
    auto *read = new TConfigReadJob(Session(), m_modelIndex, this);
    read->SetAskValues(false);
    RunStep(read, [this, read] {
        if (read->outcome() != TOutcome::Done) {
            Fail(TFailure::ReadBack);
            return;
        }
        m_readBack = read->Image().left(ConfigMap::ImageSize);
        if (m_readBack != m_image.left(ConfigMap::ImageSize)) {
            Fail(TFailure::Differs);
            return;
        }
        Finish(TOutcome::Done);
    });
}

void TVerifiedWriteJob::Fail(TFailure failure)
{
    m_failure = failure;
    Finish(TOutcome::Failed);
}
