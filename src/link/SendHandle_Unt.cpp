#include "link/SendHandle_Unt.h"

#include "link/DiDoThProtocol_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "link/MasterProtocol_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "link/SyncTimeProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"

namespace {

void LogAndWrite(TComm &port, const TBasicProtocol &protocol, const TDataPack &frame)
{
    protocol.LogFrame(frame, 0);
    port.WriteData(frame);
}

} // namespace

const TSendHandle &SendHandle()
{
    static const TSendHandle handle;
    return handle;
}

void TSendHandle::SendPassword(TComm &port, const QString &password) const
{
    TPasswordProtocol protocol;
    protocol.SetPasswordText(password);
    if (!port.Connected())
        return;
    const TDataPack frame = protocol.PasswordRequest();
    port.WriteData(frame);
    protocol.LogFrame(frame, 0);
}

void TSendHandle::SendReadVersion(TComm &port) const
{
    if (!port.Connected())
        return;
    TVersionProtocol protocol;
    LogAndWrite(port, protocol, protocol.VersionRequest());
}

void TSendHandle::SendReadClock(TComm &port) const
{
    TSyncTimeProtocol protocol;
    LogAndWrite(port, protocol, protocol.ReadClockRequest());
}

void TSendHandle::SendSetClock(TComm &port, quint8 yearSince2000, quint8 month, quint8 day,
                               quint8 hour, quint8 minute) const
{
    TSyncTimeProtocol protocol;
    protocol.SetClock(yearSince2000, month, day, hour, minute);
    LogAndWrite(port, protocol, protocol.SetClockRequest());
}

void TSendHandle::SendReadHistoryPage(TComm &port, int page) const
{
    THistoryProtocol protocol;
    LogAndWrite(port, protocol, protocol.HistoryPageRequest(page));
}

void TSendHandle::SendReadHistoryRecord(TComm &port, int record) const
{
    THistoryProtocol protocol;
    LogAndWrite(port, protocol, protocol.HistoryRecordRequest(record));
}

void TSendHandle::SendClearHistory(TComm &port) const
{
    THistoryProtocol protocol;
    LogAndWrite(port, protocol, protocol.ClearHistoryRequest());
}

void TSendHandle::SendReadConfigPage(TComm &port, quint8 page) const
{
    TMasterProtocol protocol;
    LogAndWrite(port, protocol, protocol.ConfigReadRequest(page));
}

void TSendHandle::SendWriteConfigPage(TComm &port, quint8 page, const QByteArray &pageData) const
{
    TMasterProtocol protocol;
    LogAndWrite(port, protocol, protocol.ConfigWriteRequest(page, pageData));
}

void TSendHandle::SendReadDOState(TComm &port) const
{
    TDiDoThProtocol protocol;
    LogAndWrite(port, protocol, protocol.DOStateRequest());
}

void TSendHandle::SendReadTHValues(TComm &port) const
{
    TDiDoThProtocol protocol;
    LogAndWrite(port, protocol, protocol.THValuesRequest());
}

QByteArray TSendHandle::TextCommand(const QString &prefix, const char *keyword)
{
    return prefix.toLatin1() + QByteArray(keyword) + QByteArray("\r\n");
}

void TSendHandle::SendTextCommand(TComm &port, const QString &prefix, const char *keyword) const
{
    port.WriteData(TextCommand(prefix, keyword));
}

void TSendHandle::SendDO1Open(TComm &port, const QString &prefix) const
{
    SendTextCommand(port, prefix, "DOO1");
}

void TSendHandle::SendDO1Close(TComm &port, const QString &prefix) const
{
    SendTextCommand(port, prefix, "DOC1");
}

void TSendHandle::SendDO2Open(TComm &port, const QString &prefix) const
{
    SendTextCommand(port, prefix, "DOO2");
}

void TSendHandle::SendDO2Close(TComm &port, const QString &prefix) const
{
    SendTextCommand(port, prefix, "DOC2");
}
