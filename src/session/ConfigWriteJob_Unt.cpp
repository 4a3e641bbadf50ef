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

void TConfigWriteJob::WritePage(int page)
{
    m_pagesSent = page + 1;
    const TDeviceRequest request =
        DeviceRequests::WriteConfigPage(page, ConfigPages::WritePage(m_image, page));
    Send(request, [this, page](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None)
            m_unconfirmed << page;
        SetProgress(page + 1, ConfigPages::WritePageCount);
        if (page + 1 < ConfigPages::WritePageCount)
            WritePage(page + 1);
        else if (m_unconfirmed.isEmpty())
            Finish(TOutcome::Done);
        else
            Fail(TJobFailure{TFailure::Unconfirmed, -1, -1, 0, m_unconfirmed, {}, {}, {}});
    });
}
