#include "session/HistoryEraseJob_Unt.h"

#include "history/SoftInterfaceHistory_Unt.h"
#include "session/DeviceRequests_Unt.h"

THistoryEraseJob::THistoryEraseJob(TDeviceSession *session, QObject *parent)
    : TDeviceJob(session, parent)
{
}

void THistoryEraseJob::Begin()
{
    constexpr int Finished = 100;
    SetProgress(0, Finished);
    TDeviceReply *reply = Send(DeviceRequests::ClearHistory(), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            Fail(TFailure::EraseUnconfirmed);
            return;
        }
        SetProgress(Finished, Finished);
        Finish(TOutcome::Done);
    });
    connect(reply, &TDeviceReply::progress, this, [this](const QByteArray &chunk) {
        const TSoftHistory::TEraseProgress progress = TSoftHistory::EraseProgressFromChunk(chunk);
        if (progress.position > 0)
            SetProgress(progress.position, Finished);
    });
}
