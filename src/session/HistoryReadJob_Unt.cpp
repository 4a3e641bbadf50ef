#include "session/HistoryReadJob_Unt.h"

#include "session/DeviceRequests_Unt.h"

THistoryReadJob::THistoryReadJob(TDeviceSession *session, int pageCount, QObject *parent)
    : TDeviceJob(session, parent), m_pageCount(pageCount)
{
}

void THistoryReadJob::Begin()
{
    SetProgress(0, m_pageCount);
    if (m_pageCount <= 0) {
        Finish(TOutcome::Done);
        return;
    }
    ReadPage(0, false);
}

void THistoryReadJob::ReadPage(int page, bool askedAgain)
{
    Send(DeviceRequests::ReadHistoryPage(page), [this, page, askedAgain](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            m_failedPage = page;
            Finish(TOutcome::Failed);
            return;
        }
        const QByteArray payload = reply->payload();
        // Erased memory repeats itself legitimately; records never do.
        const bool erased = payload.count(char(0xFF)) == payload.size();
        if (page > 0 && !erased && payload == m_previousPayload) {
            if (!askedAgain) {
                ReadPage(page, true);
                return;
            }
            ++m_repeatedPages;
        }
        m_previousPayload = payload;
        ++m_pagesRead;
        emit pageRead(page, reply->reply());
        if (!isRunning())
            return;
        SetProgress(page + 1, m_pageCount);
        if (m_endOfLog || page + 1 >= m_pageCount)
            Finish(TOutcome::Done);
        else
            ReadPage(page + 1, false);
    });
}
