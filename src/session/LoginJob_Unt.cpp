#include "session/LoginJob_Unt.h"

#include "base/Const_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"
#include "session/DeviceRequests_Unt.h"

TLoginJob::TLoginJob(TDeviceSession *session, const QString &password, QObject *parent)
    : TDeviceJob(session, parent), m_password(password)
{
}

int TLoginJob::ModelIndexOf(const QString &model)
{
    for (int index = 0; index < Const::ModelCount; ++index) {
        if (model == QLatin1String(Const::ModelNames[index]))
            return index;
    }
    return -1;
}

void TLoginJob::Begin()
{
    SetProgress(0, 2);
    if (!m_reopenPort.isEmpty()) {
        Session()->close();
        Pause(PortSettleMs, [this] { Reopen(); });
        return;
    }
    Pause(PortSettleMs, [this] { SendPassword(); });
}

void TLoginJob::Reopen()
{
    if (!Session()->open(m_reopenPort, &m_openError)) {
        Fail(TFailure::OpenFailed);
        return;
    }
    Pause(PortSettleMs, [this] { SendPassword(); });
}

void TLoginJob::SendPassword()
{
    Send(DeviceRequests::Password(m_password), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            Fail(TFailure::NoAnswer);
            return;
        }
        if (!TPasswordProtocol().PasswordAccepted(reply->reply())) {
            Fail(TFailure::Refused);
            return;
        }
        SetProgress(1, 2);
        AskVersion();
    });
}

void TLoginJob::AskVersion()
{
    ++m_versionAsks;
    Send(DeviceRequests::Version(), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        const TVersionProtocol version;
        const QByteArray &frame = reply->reply();
        const int modelIndex = ModelIndexOf(version.ReplyModel(frame));
        if (reply->error() != TReplyError::None || modelIndex < 0) {
            if (m_versionAsks < VersionAsks)
                AskVersion();
            else
                Fail(TFailure::Unidentified);
            return;
        }
        m_identity.modelIndex = modelIndex;
        m_identity.model = version.ReplyModel(frame);
        m_identity.version = version.ReplyVersion(frame);
        m_identity.imei = version.ReplyIMEI(frame);
        m_identity.signal = version.ReplySignal(frame);
        SetProgress(2, 2);
        Finish(TOutcome::Done);
    });
}

void TLoginJob::Fail(TFailure failure)
{
    m_failure = failure;
    Finish(TOutcome::Failed);
}
