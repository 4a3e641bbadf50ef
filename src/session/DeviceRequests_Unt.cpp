#include "session/DeviceRequests_Unt.h"

#include "link/DiDoThProtocol_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "link/MasterProtocol_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SyncTimeProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"

namespace DeviceRequests {

namespace {

TDeviceRequest FrameRequest(Const::TExpectedReply kind, const QByteArray &frame, int payloadSize)
{
    TDeviceRequest request;
    request.kind = kind;
    request.bytes = frame;
    request.answer = TDeviceRequest::TAnswer::Frame;
    request.payloadSize = payloadSize;
    request.attempts = Attempts;
    return request;
}

} // namespace

TDeviceRequest Password(const QString &password)
{
    TPasswordProtocol protocol;
    protocol.SetPasswordText(password);
    TDeviceRequest request = FrameRequest(Const::ReplyPasswordCheck, protocol.PasswordRequest(), -1);
    request.minimumPayload = 1;
    return request;
}

TDeviceRequest Version()
{
    return FrameRequest(Const::ReplyVersionQuery, TVersionProtocol().VersionRequest(), 33);
}

TDeviceRequest ReadClock()
{
    TDeviceRequest request =
        FrameRequest(Const::ReplyClockRead, TSyncTimeProtocol().ReadClockRequest(), -1);
    request.minimumPayload = 6;
    return request;
}

TDeviceRequest SetClock(const QDateTime &when)
{
    TSyncTimeProtocol protocol;
    const QDate date = when.date();
    const QTime time = when.time();
    protocol.SetClock(quint8(date.year() - 2000), quint8(date.month()), quint8(date.day()),
                      quint8(time.hour()), quint8(time.minute()));
    TDeviceRequest request = FrameRequest(Const::ReplyClockWrite, protocol.SetClockRequest(), -1);
    request.answer = TDeviceRequest::TAnswer::AnyBytes;
    return request;
}

TDeviceRequest CurrentValues(Const::TExpectedReply kind)
{
    return FrameRequest(kind, TDiDoThProtocol().DOStateRequest(), 33);
}

TDeviceRequest ReadConfigPage(int page)
{
    return FrameRequest(Const::ReplyConfigRead, TMasterProtocol().ConfigReadRequest(quint8(page)),
                        TBasicProtocol::PageSize);
}

TDeviceRequest WriteConfigPage(int page, const QByteArray &pageData)
{
    TDeviceRequest request = FrameRequest(
        Const::ReplyConfigWrite, TMasterProtocol().ConfigWriteRequest(quint8(page), pageData), -1);
    request.answer = TDeviceRequest::TAnswer::AnyBytes;
    return request;
}

TDeviceRequest ReadHistoryPage(int page)
{
    return FrameRequest(Const::ReplyHistoryPage, THistoryProtocol().HistoryPageRequest(page),
                        TBasicProtocol::PageSize);
}

TDeviceRequest ReadHistoryRecord(int record)
{
    TDeviceRequest request = FrameRequest(
        Const::ReplyHistoryLine, THistoryProtocol().HistoryRecordRequest(record), TBasicProtocol::RecordSize);
    // A record on a page boundary is asked for with the same frame as that
    // page, so the device answers with the whole page; the record leads it.
    if (TBasicProtocol::HistoryRecordAddress(record) % TBasicProtocol::PageSize == 0)
        request.otherPayloadSize = TBasicProtocol::PageSize;
    return request;
}

TDeviceRequest ClearHistory()
{
    TDeviceRequest request;
    request.kind = Const::ReplyHistoryErase;
    request.bytes = THistoryProtocol().ClearHistoryRequest();
    request.answer = TDeviceRequest::TAnswer::Progress;
    request.timeoutMs = EraseChunkTimeoutMs;
    request.isLastChunk = [](const QByteArray &chunk) {
        return TSoftHistory::EraseProgressFromChunk(chunk).finished;
    };
    return request;
}

TDeviceRequest TextLine(const QString &prefix, const char *keyword)
{
    TDeviceRequest request;
    request.bytes = TSendHandle::TextCommand(prefix, keyword);
    request.framed = false;
    if (qstrcmp(keyword, "RESET") == 0) {
        request.kind = Const::ReplyFactoryReset;
        request.answer = TDeviceRequest::TAnswer::AnyBytes;
    } else {
        request.answer = TDeviceRequest::TAnswer::None;
    }
    return request;
}

} // namespace DeviceRequests
