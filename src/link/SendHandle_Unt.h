#pragma once

#include <QByteArray>
#include <QString>

class TComm;

// One operation per request: build the frame with a fresh command object,
// log it, queue it on the port. Nothing here waits for a reply; callers set
// the expected reply first and wait (or not) themselves.
class TSendHandle
{
public:
    // Do nothing when the port is closed.
    void SendPassword(TComm &port, const QString &password) const;
    void SendReadVersion(TComm &port) const;

    void SendReadClock(TComm &port) const;
    void SendSetClock(TComm &port, quint8 yearSince2000, quint8 month, quint8 day, quint8 hour,
                      quint8 minute) const;
    void SendReadHistoryPage(TComm &port, int page) const;
    void SendReadHistoryRecord(TComm &port, int record) const;
    void SendClearHistory(TComm &port) const;
    void SendReadConfigPage(TComm &port, quint8 page) const;
    void SendWriteConfigPage(TComm &port, quint8 page, const QByteArray &pageData) const;
    void SendReadDOState(TComm &port) const;
    void SendReadTHValues(TComm &port) const;

    // Relay lines: prefix + keyword + CR LF, not framed and not logged.
    void SendDO1Open(TComm &port, const QString &prefix) const;
    void SendDO1Close(TComm &port, const QString &prefix) const;
    void SendDO2Open(TComm &port, const QString &prefix) const;
    void SendDO2Close(TComm &port, const QString &prefix) const;

    // The text lines the main window sends itself (REBOOT, RESET).
    static QByteArray TextCommand(const QString &prefix, const char *keyword);
    void SendTextCommand(TComm &port, const QString &prefix, const char *keyword) const;

    // The password the relay lines always carry.
    static constexpr const char *RelayPrefix = "5937";
};

// The process-wide send handler.
const TSendHandle &SendHandle();
