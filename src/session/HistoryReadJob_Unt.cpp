#include "session/HistoryReadJob_Unt.h"

#include "history/SoftInterfaceHistory_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceRequests_Unt.h"

THistoryReadJob::THistoryReadJob(TDeviceSession *session, int pageCount, QObject *parent)
    : TDeviceJob(session, parent), m_pageCount(pageCount)
{
}

void THistoryReadJob::SetContinueAfter(int number, const QByteArray &record)
{
    m_continueAfter = qMax(0, number);
    m_continueRecord = record;
}

void THistoryReadJob::Begin()
{
    SetProgress(0, m_pageCount);
    if (m_makeConfigRead)
        ReadConfiguration();
    else
        BeginLog();
}

void THistoryReadJob::Cancelling()
{
    if (m_configRead)
        m_configRead->cancel();
}

void THistoryReadJob::ReadConfiguration()
{
    TConfigReadJob *read = m_makeConfigRead();
    if (!read) {
        BeginLog();
        return;
    }
    read->setParent(this);
    read->SetAskValues(false);
    m_configRead = read;
    connect(read, &TDeviceJob::finished, this, [this, read](TOutcome outcome) {
        read->deleteLater();
        if (!isRunning())
            return;
        if (outcome == TOutcome::Stopped || outcome == TOutcome::LineLost) {
            Finish(outcome);
            return;
        }
        if (outcome == TOutcome::Done)
            emit configurationRead(read->Image().left(ConfigMap::ImageSize));
        if (isRunning())
            BeginLog();
    });
    if (!read->startWithin(this)) {
        read->deleteLater();
        BeginLog();
    }
}

void THistoryReadJob::BeginLog()
{
    if (m_continueAfter > 0)
        CheckContinuation();
    else
        StartPages(m_startPage);
}

void THistoryReadJob::CheckContinuation()
{
    Send(DeviceRequests::ReadHistoryRecord(m_continueAfter), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            TJobFailure failure;
            failure.what = TFailure::ContinuationMissing;
            failure.record = m_continueAfter;
            Fail(failure);
            return;
        }
        // The device answers with the record's 64 bytes; a log that has only
        // grown still holds the very bytes read before.
        const QByteArray held = reply->payload().left(HistoryRecord::Size);
        m_logRestarted = HistoryRecord::IsEmpty(held) || held != m_continueRecord.left(HistoryRecord::Size);
        StartPages(m_logRestarted ? 0 : m_continueAfter / HistoryRecord::PerPage);
    });
}

void THistoryReadJob::StartPages(int page)
{
    m_startPage = page;
    emit readStarting(page, m_logRestarted);
    if (!isRunning())
        return;
    SetProgress(page, m_pageCount);
    if (page >= m_pageCount) {
        Finish(TOutcome::Done);
        return;
    }
    ReadPage(page, false);
}

void THistoryReadJob::ReadPage(int page, bool askedAgain)
{
    Send(DeviceRequests::ReadHistoryPage(page), [this, page, askedAgain](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            TJobFailure failure;
            failure.what = TFailure::HistoryPageMissing;
            failure.page = page;
            Fail(failure);
            return;
        }
        const QByteArray payload = reply->payload();
        // Erased memory repeats itself legitimately; records never do.
        const bool erased = payload.count(char(0xFF)) == payload.size();
        if (page > m_startPage && !erased && payload == m_previousPayload) {
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
        if ((m_stopWhen && m_stopWhen()) || page + 1 >= m_pageCount)
            Finish(TOutcome::Done);
        else
            ReadPage(page + 1, false);
    });
}
