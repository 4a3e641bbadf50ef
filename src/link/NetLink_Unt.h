#pragma once

#include "link/LinkEnd_Unt.h"
#include "link/TelnetCodec_Unt.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

class QTcpSocket;
class QTimer;

// A network serial server's address, from a port name "tcp://HOST:PORT"
// (raw TCP: the bytes go through as they are) or "rfc2217://HOST:PORT"
// (Telnet with COM port control: the line settings travel along). HOST is a
// name, an IPv4 address or an IPv6 address in brackets.
struct TNetAddress
{
    enum class TKind { RawTcp, Rfc2217 };
    TKind kind = TKind::RawTcp;
    QString host;
    quint16 port = 0;

    // The port name again, in its usual spelling ("tcp://10.0.0.5:4001").
    QString Name() const;
};

namespace NetPorts {

constexpr const char *TcpPrefix = "tcp://";
constexpr const char *Rfc2217Prefix = "rfc2217://";

// True for every name that asks for a network port (either prefix, any case),
// well-formed or not: such a name is never a serial port's.
bool IsNetworkName(const QString &portName);
// The address of a network port name; std::nullopt with the reason, in the
// language given (0 Chinese, 1 English), in *error when it is malformed or
// its port number is outside 1..65535.
std::optional<TNetAddress> Parse(const QString &portName, int language, QString *error);

} // namespace NetPorts

// The line to a logger behind a network serial server. Start() connects
// without waiting; what the PC writes meanwhile is kept and goes out, in
// order, once the line is up: at once for raw TCP, after the server agreed
// to COM port control and was sent 115200 baud, 8 data bits, no parity, one
// stop bit, no flow control, DTR and RTS off and a purge of both directions
// for RFC 2217. When the server refuses, does not answer within
// SetupTimeoutMs, speaks something else or closes the connection, the link
// raises LineFailed once with the reason in FailureText() and takes nothing
// more.
class TNetLink : public TLinkEnd
{
    Q_OBJECT
public:
    // Below the session's reply time-out, so that a dead address is reported
    // as such rather than as a device that did not answer.
    static constexpr int SetupTimeoutMs = 2000;

    TNetLink(const TNetAddress &address, int language, QObject *parent = nullptr);
    ~TNetLink() override;

    void Start();
    // The line is up: written bytes go straight to the server.
    bool IsReady() const { return m_ready; }
    const TNetAddress &Address() const { return m_address; }

    void ReceiveFromHost(const QByteArray &bytes) override;
    void setBaudRate(quint32 baud) override;
    QString FailureText() const override { return m_failure; }

private:
    QString Text(const char *key) const;
    void SocketConnected();
    void SocketRead();
    void SocketError(QAbstractSocket::SocketError error);
    void SetupTimedOut();
    void TakeEvent(const Telnet::TEvent &event);
    void Answer(quint8 verb, quint8 option);
    void LineUp();
    void Flush();
    void Fail(const QString &reason);

    TNetAddress m_address;
    int m_language;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_setupTimer = nullptr;
    Telnet::TReader m_reader;
    QByteArray m_pending;
    QString m_failure;
    quint32 m_baud = 115200;
    bool m_ready = false;
    bool m_failed = false;
    bool m_sawData = false;
    // The server asked us to hold our data (COM port flow control).
    bool m_suspended = false;
    // Telnet options: asked for by us and not yet answered, and agreed.
    QSet<quint8> m_askedWill;
    QSet<quint8> m_askedDo;
    QSet<quint8> m_weWill;
    QSet<quint8> m_theyWill;
    // Refusals said once (the option, plus 0x100 for WONT); a repeated
    // request is not answered again.
    QSet<int> m_refused;
};
