#pragma once

#include "session/DeviceSession_Unt.h"

#include <QDateTime>

// The requests the program sends, built by the command classes, each with
// what makes a chunk its answer and how often it is asked before giving up.
namespace DeviceRequests {

// Sends of one request before it gives up.
constexpr int Attempts = 3;
// Silence allowed between two progress reports of a log erase.
constexpr int EraseChunkTimeoutMs = 30000;

// Password check: a frame with at least the verdict byte.
TDeviceRequest Password(const QString &password);
// Version: model, version, IMEI and signal in 33 bytes.
TDeviceRequest Version();
TDeviceRequest ReadClock();
// Year, month, day, hour and minute of when; the device gets 0 seconds.
TDeviceRequest SetClock(const QDateTime &when);
// Current values (16 sensors and the relay byte, 33 bytes); kind says which
// view asked (relay status or sensor values).
TDeviceRequest CurrentValues(Const::TExpectedReply kind);
TDeviceRequest ReadConfigPage(int page);
TDeviceRequest WriteConfigPage(int page, const QByteArray &pageData);
TDeviceRequest ReadHistoryPage(int page);
TDeviceRequest ReadHistoryRecord(int record);
// The log erase: progress digits until the device reports 100.
TDeviceRequest ClearHistory();
// A text line "<prefix><keyword>\r\n"; RESET is answered, the others are not.
TDeviceRequest TextLine(const QString &prefix, const char *keyword);

} // namespace DeviceRequests
