#include "session/ConfigWriteJob_Unt.h"

#include "config/ConfigPages_Unt.h"
#include "session/DeviceRequests_Unt.h"

TConfigWriteJob::TConfigWriteJob(TDeviceSession *session, const QByteArray &image, QObject *parent)
    : TDeviceJob(session, parent), m_image(image)
{
}

void TConfigWriteJob::Begin()
{
    SetProgress(0, ConfigPages::WritePageCount);
    WritePage(0);
}

void TConfigWriteJob::WritePage(int page, bool lastTry)
{
    m_pagesSent = page + 1;
    TDeviceRequest request = DeviceRequests::WriteConfigPage(page, ConfigPages::WritePage(m_image, page));
    // Two sends, then the probe, then (when the device still answers) a
    // last send: a silent device costs the time of three sends, not of
    // three sends for every page left.
    request.attempts = lastTry ? 1 : qMax(1, request.attempts - 1);
    Send(request, [this, page, lastTry](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            if (lastTry) {
                m_unconfirmed << page;
                SetProgress(page + 1, ConfigPages::WritePageCount);
                NextPage(page);
            } else {
                Probe(page);
            }
            return;
        }
        SetProgress(page + 1, ConfigPages::WritePageCount);
        NextPage(page);
    });
}

void TConfigWriteJob::NextPage(int page)
{
    if (page + 1 < ConfigPages::WritePageCount)
        WritePage(page + 1);
    else if (m_unconfirmed.isEmpty())
        Finish(TOutcome::Done);
    else
        Fail(TJobFailure{TFailure::Unconfirmed, -1, -1, 0, m_unconfirmed, {}, {}, {}});
}

void TConfigWriteJob::Probe(int page)
{
    // The version query: short, harmless, answered by every model.
    TDeviceRequest probe = DeviceRequests::Version();
    probe.attempts = 1;
    Send(probe, [this, page](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() == TReplyError::None) {
            WritePage(page, true);
            return;
        }
        TJobFailure failure;
        failure.what = TFailure::StoppedAnswering;
        failure.page = page;
        failure.pages = m_unconfirmed;
        Fail(failure);
    });
}
