#include "session/ConfigReadJob_Unt.h"

#include "session/DeviceRequests_Unt.h"
#include "session/DeviceSession_Unt.h"

TConfigReadJob::TConfigReadJob(TDeviceSession *session, int modelIndex, QObject *parent)
    : TDeviceJob(session, parent), m_modelIndex(modelIndex)
{
}

void TConfigReadJob::Begin()
{
    // Without the model the channel fields cannot be placed.
    if (m_modelIndex < 0) {
        Fail(TFailure::UnknownModel);
        return;
    }
    m_pages.Clear();
    m_unsolicitedAtStart = Session()->unsolicitedCount();
    SetProgress(0, ConfigPages::ReadPageCount);
    ReadPage(0);
}

void TConfigReadJob::ReadPage(int page)
{
    Send(DeviceRequests::ReadConfigPage(page), [this, page](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None || !m_pages.SetPage(page, reply->payload())) {
            TJobFailure failure;
            failure.what = TFailure::ConfigPageMissing;
            failure.page = page;
            Fail(failure);
            return;
        }
        SetProgress(page + 1, ConfigPages::ReadPageCount);
        if (page + 1 < ConfigPages::ReadPageCount)
            ReadPage(page + 1);
        else
            PagesDone();
    });
}

void TConfigReadJob::PagesDone()
{
    if (Session()->echo() == TDeviceSession::TEcho::Echoes)
        CheckUnasked();
    else
        Pause(SettleMs, [this] { CheckUnasked(); });
}

void TConfigReadJob::CheckUnasked()
{
    if (Session()->unsolicitedCount() != m_unsolicitedAtStart) {
        if (m_readAgain) {
            Fail(TFailure::Unsolicited);
            return;
        }
        m_readAgain = true;
        m_pages.Clear();
        m_unsolicitedAtStart = Session()->unsolicitedCount();
        SetProgress(0, ConfigPages::ReadPageCount);
        ReadPage(0);
        return;
    }
    m_image = m_pages.Image();
    m_decoded = DecodeImage(m_image, m_modelIndex);
    if (!m_decoded.Ok()) {
        TJobFailure failure;
        failure.what = TFailure::Decode;
        failure.configError = m_decoded.Error;
        Fail(failure);
        return;
    }
    if (!m_askValues) {
        emit imageRead();
        if (isRunning())
            Finish(TOutcome::Done);
        return;
    }
    // The device's pause runs while the window shows the image, not after.
    Pause(ValuesPauseMs, [this] { AskValues(Const::ReplyDoStatus); });
    emit imageRead();
}

void TConfigReadJob::AskValues(Const::TExpectedReply kind)
{
    Send(DeviceRequests::CurrentValues(kind), [this, kind](TDeviceReply *reply) {
        // The image is read; missing current values leave their cells as they are.
        if (kind == Const::ReplyDoStatus && reply->error() == TReplyError::None) {
            // As above: the pause first, then the drawing.
            Pause(ValuesPauseMs, [this] { AskValues(Const::ReplyThValues); });
            emit currentValuesRead(kind, reply->reply());
            return;
        }
        if (reply->error() == TReplyError::None)
            emit currentValuesRead(kind, reply->reply());
        if (isRunning())
            Finish(reply->error() == TReplyError::LineLost ? TOutcome::LineLost : TOutcome::Done);
    });
}
