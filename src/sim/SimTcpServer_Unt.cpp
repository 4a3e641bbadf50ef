#include "sim/SimTcpServer_Unt.h"

#include "link/DemoDevice_Unt.h"
#include "link/NetLink_Unt.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

bool ServerOffers(quint8 option)
{
    return option == Telnet::OptBinary || option == Telnet::OptSuppressGoAhead;
}

bool ServerAccepts(quint8 option)
{
    return option == Telnet::OptBinary || option == Telnet::OptComPort;
}

} // namespace

TSimTcpServer::TSimTcpServer(TDemoDevice *device, TMode mode, QObject *parent)
    : QObject(parent), m_device(device), m_mode(mode)
{
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &TSimTcpServer::TakeConnection);
    connect(m_device, &TDemoDevice::BytesToHost, this, &TSimTcpServer::DeviceBytes);
    // The adapter behind the server was pulled: the client's line goes with it.
    connect(m_device, &TDemoDevice::LineFailed, this, &TSimTcpServer::dropClient);
}

TSimTcpServer::~TSimTcpServer()
{
    if (m_client) {
        disconnect(m_client, nullptr, this, nullptr);
        m_client->abort();
    }
}

bool TSimTcpServer::listen(quint16 port)
{
    if (!m_server->listen(QHostAddress::LocalHost, port)) {
        m_error = m_server->errorString();
        return false;
    }
    return true;
}

quint16 TSimTcpServer::port() const
{
    return m_server->serverPort();
}

QString TSimTcpServer::portName() const
{
    TNetAddress address;
    address.kind = m_mode == TMode::Rfc2217 ? TNetAddress::TKind::Rfc2217 : TNetAddress::TKind::RawTcp;
    address.host = QStringLiteral("127.0.0.1");
    address.port = port();
    return address.Name();
}

void TSimTcpServer::TakeConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_client) {
            // Busy, like a serial port another program holds.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        ++m_clients;
        m_reader = Telnet::TReader();
        m_settings = TLineSettings();
        m_weWill.clear();
        m_theyWill.clear();
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &TSimTcpServer::ReadClient);
        connect(socket, &QTcpSocket::disconnected, this, &TSimTcpServer::ClientGone);
        emit clientConnected();
    }
}

void TSimTcpServer::ClientGone()
{
    if (!m_client)
        return;
    QTcpSocket *socket = m_client;
    m_client = nullptr;
    disconnect(socket, nullptr, this, nullptr);
    socket->deleteLater();
    emit clientGone();
}

void TSimTcpServer::dropClient()
{
    if (!m_client)
        return;
    QTcpSocket *socket = m_client;
    m_client = nullptr;
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
    emit clientGone();
}

void TSimTcpServer::ReadClient()
{
    if (!m_client)
        return;
    const QByteArray bytes = m_client->readAll();
    if (m_mode == TMode::RawTcp) {
        m_device->ReceiveFromHost(bytes);
        return;
    }
    QList<Telnet::TEvent> events;
    const QByteArray data = m_reader.Take(bytes, &events);
    for (const Telnet::TEvent &event : events) {
        TakeEvent(event);
        if (!m_client)
            return;
    }
    if (!data.isEmpty())
        m_device->ReceiveFromHost(data);
}

void TSimTcpServer::TakeEvent(const Telnet::TEvent &event)
{
    using Telnet::TEvent;
    if (event.kind == TEvent::TKind::Subnegotiation) {
        if (event.option == Telnet::OptComPort && m_theyWill.contains(Telnet::OptComPort))
            TakeComPortCommand(event.payload);
        return;
    }
    if (event.kind != TEvent::TKind::Negotiation)
        return;
    const quint8 option = event.option;
    switch (event.verb) {
    case Telnet::WILL: {
        const bool accept = ServerAccepts(option) && !(option == Telnet::OptComPort && m_refuseComPort);
        if (accept && !m_theyWill.contains(option)) {
            m_theyWill.insert(option);
            m_client->write(Telnet::Negotiation(Telnet::DO, option));
        } else if (!accept) {
            m_client->write(Telnet::Negotiation(Telnet::DONT, option));
        }
        break;
    }
    case Telnet::WONT:
        if (m_theyWill.remove(option))
            m_client->write(Telnet::Negotiation(Telnet::DONT, option));
        break;
    case Telnet::DO:
        if (ServerOffers(option) && !m_weWill.contains(option)) {
            m_weWill.insert(option);
            m_client->write(Telnet::Negotiation(Telnet::WILL, option));
        } else if (!ServerOffers(option)) {
            m_client->write(Telnet::Negotiation(Telnet::WONT, option));
        }
        break;
    case Telnet::DONT:
        if (m_weWill.remove(option))
            m_client->write(Telnet::Negotiation(Telnet::WONT, option));
        break;
    default:
        break;
    }
}

void TSimTcpServer::TakeComPortCommand(const QByteArray &payload)
{
    if (payload.isEmpty())
        return;
    const quint8 command = quint8(payload.at(0));
    const QByteArray value = payload.mid(1);
    switch (command) {
    case Telnet::ComSetBaudRate:
        if (value.size() == 4) {
            const quint32 baud = quint32(quint8(value.at(0))) << 24 | quint32(quint8(value.at(1))) << 16
                | quint32(quint8(value.at(2))) << 8 | quint32(quint8(value.at(3)));
            if (baud != 0) {
                m_settings.baud = baud;
                // The simulated line is paced at what the client asked for.
                m_device->setBaudRate(baud);
            }
        }
        break;
    case Telnet::ComSetDataSize:
        if (!value.isEmpty() && value.at(0) != 0)
            m_settings.dataSize = quint8(value.at(0));
        break;
    case Telnet::ComSetParity:
        if (!value.isEmpty() && value.at(0) != 0)
            m_settings.parity = quint8(value.at(0));
        break;
    case Telnet::ComSetStopSize:
        if (!value.isEmpty() && value.at(0) != 0)
            m_settings.stopSize = quint8(value.at(0));
        break;
    case Telnet::ComSetControl:
        if (!value.isEmpty())
            m_settings.controls << quint8(value.at(0));
        break;
    case Telnet::ComPurgeData:
        ++m_settings.purges;
        break;
    default:
        break;
    }
    // Every command is answered with its code + 100 and the value in effect.
    m_client->write(Telnet::ComPortCommand(quint8(command + Telnet::ComServerOffset), value));
}

void TSimTcpServer::DeviceBytes(const QByteArray &bytes)
{
    // With no client the bytes fall off the end of the line.
    if (!m_client)
        return;
    m_client->write(m_mode == TMode::Rfc2217 ? Telnet::Escape(bytes) : bytes);
}
