#include "session/LoginJob_Unt.h"

#include "base/Const_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"
#include "session/DeviceRequests_Unt.h"

TLoginJob::TLoginJob(TDeviceSession *session, const QString &password, QObject *parent)
    : TDeviceJob(session, parent), m_password(password)
{
}

void TLoginJob::Begin()
{
    SetProgress(0, 2);
    if (!m_reopenPort.isEmpty()) {
        SetStep(StepOpen);
        if (Session()->isOpen()) {
            Session()->close();
            Pause(m_pacing.settleMs, [this] { Reopen(); });
        } else {
            Reopen();
        }
        return;
    }
    Pause(m_pacing.settleMs, [this] { SendPassword(); });
}

void TLoginJob::Reopen()
{
    QString error;
    if (!Session()->open(m_reopenPort, &error)) {
        TJobFailure failure;
        failure.what = TFailure::OpenFailed;
        failure.detail = error;
        Fail(failure);
        return;
    }
    Pause(m_pacing.settleMs, [this] { SendPassword(); });
}

void TLoginJob::SendPassword()
{
    SetStep(StepPassword);
    TDeviceRequest request = DeviceRequests::Password(m_password);
    if (m_pacing.passwordTimeoutMs > 0)
        request.timeoutMs = m_pacing.passwordTimeoutMs;
    if (m_pacing.passwordAttempts > 0)
        request.attempts = m_pacing.passwordAttempts;
    Send(request, [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        if (reply->error() != TReplyError::None) {
            Fail(reply->error() == TReplyError::BadReply ? TFailure::BadReply : TFailure::NoAnswer);
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
    SetStep(StepVersion);
    ++m_versionAsks;
    Send(DeviceRequests::Version(), [this](TDeviceReply *reply) {
        if (EndOnLinkError(reply))
            return;
        const TVersionProtocol version;
        const QByteArray &frame = reply->reply();
        const int modelIndex = Const::ModelIndexOf(version.ReplyModel(frame));
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
