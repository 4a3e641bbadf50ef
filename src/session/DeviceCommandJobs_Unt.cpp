#include "session/DeviceCommandJobs_Unt.h"

#include "link/SyncTimeProtocol_Unt.h"
#include "session/DeviceRequests_Unt.h"

TClockReadJob::TClockReadJob(TDeviceSession *session, QObject *parent) : TDeviceJob(session, parent)
{
}

void TClockReadJob::Begin()
{
    Send(DeviceRequests::ReadClock(), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        const TSyncTimeProtocol clock;
        if (reply->error() == TReplyError::None) {
            m_date = clock.ReplyDate(reply->reply());
            m_time = clock.ReplyTime(reply->reply());
        }
        // No answer and an answer that is no date and time alike leave the
        // clock unread.
        if (!m_date.isValid() || !m_time.isValid()) {
            Fail(TFailure::ClockUnreadable);
            return;
        }
        Finish(TOutcome::Done);
    });
}

TClockWriteJob::TClockWriteJob(TDeviceSession *session, const QDateTime &when, QObject *parent)
    : TDeviceJob(session, parent), m_when(when)
{
}

void TClockWriteJob::Begin()
{
    Send(DeviceRequests::SetClock(m_when), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            Fail(TFailure::NoAnswer);
            return;
        }
        Finish(TOutcome::Done);
    });
}

TCurrentValuesJob::TCurrentValuesJob(TDeviceSession *session, Const::TExpectedReply kind, QObject *parent)
    : TDeviceJob(session, parent), m_kind(kind)
{
}

void TCurrentValuesJob::Begin()
{
    Send(DeviceRequests::CurrentValues(m_kind), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            Fail(TFailure::NoAnswer);
            return;
        }
        m_frame = reply->reply();
        Finish(TOutcome::Done);
    });
}

TTextLineJob::TTextLineJob(TDeviceSession *session, const QString &password, const char *keyword, QObject *parent)
    : TDeviceJob(session, parent), m_password(password), m_keyword(keyword)
{
}

void TTextLineJob::Begin()
{
    Send(DeviceRequests::TextLine(m_password, m_keyword.constData()), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            Fail(TFailure::NoAnswer);
            return;
        }
        Finish(TOutcome::Done);
    });
}

THistoryRecordJob::THistoryRecordJob(TDeviceSession *session, int number, QObject *parent)
    : TDeviceJob(session, parent), m_number(number)
{
}

void THistoryRecordJob::Begin()
{
    Send(DeviceRequests::ReadHistoryRecord(m_number), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            TJobFailure failure;
            failure.what = TFailure::RecordMissing;
            failure.record = m_number;
            Fail(failure);
            return;
        }
        m_frame = reply->reply();
        m_payload = reply->payload();
        Finish(TOutcome::Done);
    });
}
