#include "session/RelayJob_Unt.h"

#include "base/Const_Unt.h"
#include "session/DeviceRequests_Unt.h"

TRelayJob::TRelayJob(TDeviceSession *session, const char *keyword, QObject *parent)
    : TDeviceJob(session, parent), m_keyword(keyword)
{
}

void TRelayJob::Begin()
{
    // The relay lines always carry the factory password, whatever the device's is.
    const QString prefix = QString::fromLatin1(Const::DefaultPassword);
    Send(DeviceRequests::TextLine(prefix, m_keyword.constData()), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        Pause(SwitchPauseMs, [this] {
            Send(DeviceRequests::CurrentValues(Const::ReplyDoStatus), [this](TDeviceReply *status) {
                if (EndOnLinkError(status))
                    return;
                if (status->error() != TReplyError::None) {
                    Fail(TFailure::RelayUnknown);
                    return;
                }
                m_status = status->reply();
                Finish(TOutcome::Done);
            });
        });
    });
}
