#include "link/NetLink_Unt.h"

#include "lang/ConstLang_Unt.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace {

QString Tr(const char *key, int language)
{
    return ConstLang::Text(QString::fromLatin1(key), language);
}

bool HostNameChars(const QString &host)
{
    for (const QChar c : host) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
            || c == QLatin1Char('.') || c == QLatin1Char('_');
        if (!plain)
            return false;
    }
    return !host.isEmpty() && !host.startsWith(QLatin1Char('.')) && !host.startsWith(QLatin1Char('-'));
}

bool AllDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QByteArray BigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    bytes[0] = char(value >> 24);
    bytes[1] = char(value >> 16);
    bytes[2] = char(value >> 8);
    bytes[3] = char(value);
    return bytes;
}

bool WeOffer(quint8 option)
{
    return option == Telnet::OptComPort || option == Telnet::OptBinary;
}

bool WeAccept(quint8 option)
{
    return option == Telnet::OptBinary || option == Telnet::OptSuppressGoAhead;
}

} // namespace

QString TNetAddress::Name() const
{
    const QString prefix = QString::fromLatin1(kind == TKind::Rfc2217 ? NetPorts::Rfc2217Prefix
                                                                       : NetPorts::TcpPrefix);
    const QString hostText = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return prefix + hostText + QLatin1Char(':') + QString::number(port);
}

namespace NetPorts {

bool IsNetworkName(const QString &portName)
{
    const QString name = portName.trimmed();
    return name.startsWith(QLatin1String(TcpPrefix), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String(Rfc2217Prefix), Qt::CaseInsensitive);
}

std::optional<TNetAddress> Parse(const QString &portName, int language, QString *error)
{
    const QString name = portName.trimmed();
    const auto bad = [&](const char *key) -> std::optional<TNetAddress> {
        if (error)
            *error = Tr(key, language).arg(name);
        return std::nullopt;
    };

    TNetAddress address;
    QString rest;
    if (name.startsWith(QLatin1String(TcpPrefix), Qt::CaseInsensitive)) {
        address.kind = TNetAddress::TKind::RawTcp;
        rest = name.mid(int(qstrlen(TcpPrefix)));
    } else if (name.startsWith(QLatin1String(Rfc2217Prefix), Qt::CaseInsensitive)) {
        address.kind = TNetAddress::TKind::Rfc2217;
        rest = name.mid(int(qstrlen(Rfc2217Prefix)));
    } else {
        return bad("NetBadAddress");
    }

    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close < 0 || rest.mid(close + 1, 1) != QLatin1String(":"))
            return bad("NetBadAddress");
        address.host = rest.mid(1, close - 1);
        portText = rest.mid(close + 2);
        const QHostAddress literal(address.host);
        if (literal.isNull() || literal.protocol() != QAbstractSocket::IPv6Protocol)
            return bad("NetBadAddress");
    } else {
        const int colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            return bad("NetBadAddress");
        address.host = rest.left(colon);
        portText = rest.mid(colon + 1);
        if (!HostNameChars(address.host))
            return bad("NetBadAddress");
    }
    if (!AllDigits(portText))
        return bad("NetBadAddress");
    bool ok = false;
    const qulonglong number = portText.right(12).toULongLong(&ok);
    if (!ok || portText.size() > 12 || number < 1 || number > 65535)
        return bad("NetBadPortNumber");
    address.port = quint16(number);
    return address;
}

} // namespace NetPorts

TNetLink::TNetLink(const TNetAddress &address, int language, QObject *parent)
    : TLinkEnd(parent), m_address(address), m_language(language)
{
    m_socket = new QTcpSocket(this);
    m_setupTimer = new QTimer(this);
    m_setupTimer->setSingleShot(true);
    connect(m_setupTimer, &QTimer::timeout, this, &TNetLink::SetupTimedOut);
    connect(m_socket, &QTcpSocket::connected, this, &TNetLink::SocketConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &TNetLink::SocketRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TNetLink::SocketError);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { SocketError(QAbstractSocket::RemoteHostClosedError); });
}

TNetLink::~TNetLink()
{
    disconnect(m_socket, nullptr, this, nullptr);
    m_socket->abort();
}

QString TNetLink::Text(const char *key) const
{
    return Tr(key, m_language);
}

void TNetLink::Start()
{
    m_setupTimer->start(SetupTimeoutMs);
    m_socket->connectToHost(m_address.host, m_address.port);
}

void TNetLink::SocketConnected()
{
    if (m_failed)
        return;
    // Requests are small and each waits for its answer: nothing to batch.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (m_address.kind == TNetAddress::TKind::RawTcp) {
        LineUp();
        return;
    }
    m_askedWill = {Telnet::OptComPort, Telnet::OptBinary};
    m_askedDo = {Telnet::OptBinary, Telnet::OptSuppressGoAhead};
    m_socket->write(Telnet::Negotiation(Telnet::WILL, Telnet::OptComPort)
                    + Telnet::Negotiation(Telnet::WILL, Telnet::OptBinary)
                    + Telnet::Negotiation(Telnet::DO, Telnet::OptBinary)
                    + Telnet::Negotiation(Telnet::DO, Telnet::OptSuppressGoAhead));
}

void TNetLink::SocketRead()
{
    if (m_failed)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    if (m_address.kind == TNetAddress::TKind::RawTcp) {
        // A logger never begins with IAC and a negotiation verb; a Telnet
        // server greeting does.
        if (!m_sawData && bytes.size() >= 2 && quint8(bytes.at(0)) == Telnet::IAC
            && quint8(bytes.at(1)) >= Telnet::WILL && quint8(bytes.at(1)) <= Telnet::DONT) {
            Fail(Text("NetTelnetOnRaw").arg(m_address.Name(), m_address.host + QLatin1Char(':')
                                                                   + QString::number(m_address.port)));
            return;
        }
        m_sawData = true;
        emit BytesToHost(bytes);
        return;
    }

    QList<Telnet::TEvent> events;
    const QByteArray data = m_reader.Take(bytes, &events);
    for (const Telnet::TEvent &event : events) {
        TakeEvent(event);
        if (m_failed)
            return;
    }
    if (data.isEmpty())
        return;
    if (!m_ready) {
        // Nothing was sent to the device yet, so these bytes are the server's own.
        Fail(Text("NetNoRfc2217").arg(m_address.Name()));
        return;
    }
    emit BytesToHost(data);
}

void TNetLink::TakeEvent(const Telnet::TEvent &event)
{
    using Telnet::TEvent;
    if (event.kind == TEvent::TKind::Subnegotiation) {
        if (event.option != Telnet::OptComPort || event.payload.isEmpty())
            return;
        const quint8 command = quint8(event.payload.at(0));
        if (command == Telnet::ComServerOffset + Telnet::ComFlowSuspend) {
            m_suspended = true;
        } else if (command == Telnet::ComServerOffset + Telnet::ComFlowResume) {
            m_suspended = false;
            Flush();
        }
        // Acknowledgements and line or modem state notices change nothing here.
        return;
    }
    if (event.kind != TEvent::TKind::Negotiation)
        return;

    const quint8 option = event.option;
    switch (event.verb) {
    case Telnet::DO:
        if (WeOffer(option)) {
            // A request for what is already agreed gets no answer (no loops).
            if (!m_weWill.contains(option) && !m_askedWill.remove(option))
                Answer(Telnet::WILL, option);
            m_weWill.insert(option);
            if (option == Telnet::OptComPort && !m_ready)
                LineUp();
        } else {
            Answer(Telnet::WONT, option);
        }
        break;
    case Telnet::DONT:
        if (option == Telnet::OptComPort && !m_ready) {
            Fail(Text("NetNoRfc2217").arg(m_address.Name()));
            return;
        }
        m_askedWill.remove(option);
        if (m_weWill.remove(option))
            m_socket->write(Telnet::Negotiation(Telnet::WONT, option));
        break;
    case Telnet::WILL:
        if (WeAccept(option)) {
            if (!m_theyWill.contains(option) && !m_askedDo.remove(option))
                Answer(Telnet::DO, option);
            m_theyWill.insert(option);
        } else {
            Answer(Telnet::DONT, option);
        }
        break;
    case Telnet::WONT:
        m_askedDo.remove(option);
        if (m_theyWill.remove(option))
            m_socket->write(Telnet::Negotiation(Telnet::DONT, option));
        break;
    default:
        break;
    }
}

void TNetLink::Answer(quint8 verb, quint8 option)
{
    if (verb == Telnet::WONT || verb == Telnet::DONT) {
        // A refusal is said once per option; the server may ask again and again.
        const int key = option | (verb == Telnet::WONT ? 0x100 : 0);
        if (m_refused.contains(key))
            return;
        m_refused.insert(key);
    }
    m_socket->write(Telnet::Negotiation(verb, option));
}

void TNetLink::LineUp()
{
    m_setupTimer->stop();
    if (m_address.kind == TNetAddress::TKind::Rfc2217) {
        using namespace Telnet;
        m_socket->write(ComPortCommand(ComSetBaudRate, BigEndian32(m_baud))
                        + ComPortCommand(ComSetDataSize, QByteArray(1, char(8)))
                        + ComPortCommand(ComSetParity, QByteArray(1, char(1)))
                        + ComPortCommand(ComSetStopSize, QByteArray(1, char(1)))
                        + ComPortCommand(ComSetControl, QByteArray(1, char(ControlNoFlow)))
                        + ComPortCommand(ComSetControl, QByteArray(1, char(ControlDtrOff)))
                        + ComPortCommand(ComSetControl, QByteArray(1, char(ControlRtsOff)))
                        + ComPortCommand(ComPurgeData, QByteArray(1, char(PurgeBoth))));
    }
    m_ready = true;
    Flush();
}

void TNetLink::Flush()
{
    if (!m_ready || m_suspended || m_failed || m_pending.isEmpty())
        return;
    const QByteArray bytes = std::exchange(m_pending, {});
    m_socket->write(m_address.kind == TNetAddress::TKind::Rfc2217 ? Telnet::Escape(bytes) : bytes);
}

void TNetLink::ReceiveFromHost(const QByteArray &bytes)
{
    if (m_failed || bytes.isEmpty())
        return;
    m_pending += bytes;
    Flush();
}

void TNetLink::setBaudRate(quint32 baud)
{
    if (baud == m_baud)
        return;
    m_baud = baud;
    if (m_ready && !m_failed && m_address.kind == TNetAddress::TKind::Rfc2217)
        m_socket->write(Telnet::ComPortCommand(Telnet::ComSetBaudRate, BigEndian32(baud)));
}

void TNetLink::SocketError(QAbstractSocket::SocketError error)
{
    if (m_failed)
        return;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        Fail(Text("NetRefused").arg(m_address.Name()));
        break;
    case QAbstractSocket::HostNotFoundError:
        Fail(Text("NetHostNotFound").arg(m_address.Name(), m_address.host));
        break;
    case QAbstractSocket::SocketTimeoutError:
        Fail(Text("NetNoAnswer").arg(m_address.Name()).arg(SetupTimeoutMs / 1000));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        if (!m_ready && m_address.kind == TNetAddress::TKind::Rfc2217)
            Fail(Text("NetNoRfc2217").arg(m_address.Name()));
        else
            Fail(Text("NetClosed").arg(m_address.Name()));
        break;
    default:
        Fail(Text("NetFailed").arg(m_address.Name(), m_socket->errorString()));
        break;
    }
}

void TNetLink::SetupTimedOut()
{
    if (m_failed || m_ready)
        return;
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        Fail(Text("NetNoRfc2217").arg(m_address.Name()));
    else
        Fail(Text("NetNoAnswer").arg(m_address.Name()).arg(SetupTimeoutMs / 1000));
}

void TNetLink::Fail(const QString &reason)
{
    if (m_failed)
        return;
    m_failed = true;
    m_failure = reason;
    m_pending.clear();
    m_setupTimer->stop();
    // The socket may be inside its own signal: silence it and let it go.
    disconnect(m_socket, nullptr, this, nullptr);
    m_socket->abort();
    emit LineFailed();
}
