#pragma once

#include "link/TelnetCodec_Unt.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QTcpServer;
class QTcpSocket;
class TDemoDevice;

// Puts a simulated logger behind a network serial server on the loopback
// address only: raw TCP (bytes pass as they are) or RFC 2217 (Telnet with COM
// port control: the server agrees to the option, answers every line setting
// with its own code and takes 0xFF doubled both ways). One client at a time,
// as one serial port takes one program; a second connection is closed at
// once. The device keeps its state from one client to the next.
class TSimTcpServer : public QObject
{
    Q_OBJECT
public:
    enum class TMode { RawTcp, Rfc2217 };

    // What the client set through COM port control on the current or last
    // connection (0 where nothing was set).
    struct TLineSettings
    {
        quint32 baud = 0;
        int dataSize = 0;
        int parity = 0;
        int stopSize = 0;
        QList<int> controls;
        int purges = 0;
    };

    // The device must outlive the server.
    TSimTcpServer(TDemoDevice *device, TMode mode, QObject *parent = nullptr);
    ~TSimTcpServer() override;

    // Listens on 127.0.0.1:port (0: a free port the system picks). False,
    // with errorString() saying why, when it cannot.
    [[nodiscard]] bool listen(quint16 port);
    quint16 port() const;
    // The port name a program opens: "tcp://127.0.0.1:PORT" or "rfc2217://…".
    QString portName() const;
    QString errorString() const { return m_error; }

    TMode mode() const { return m_mode; }
    bool hasClient() const { return !m_client.isNull(); }
    const TLineSettings &lineSettings() const { return m_settings; }
    // Connections taken so far (turned-away ones not counted).
    int clientCount() const { return m_clients; }

    // A server that refuses COM port control (answers DONT); RFC 2217 only.
    void setRefuseComPort(bool refuse) { m_refuseComPort = refuse; }
    // Ends the current connection as a server going away would.
    void dropClient();

signals:
    void clientConnected();
    void clientGone();

private:
    void TakeConnection();
    void ReadClient();
    void ClientGone();
    void TakeEvent(const Telnet::TEvent &event);
    void TakeComPortCommand(const QByteArray &payload);
    void DeviceBytes(const QByteArray &bytes);

    TDemoDevice *m_device;
    TMode m_mode;
    QTcpServer *m_server = nullptr;
    QPointer<QTcpSocket> m_client;
    Telnet::TReader m_reader;
    TLineSettings m_settings;
    QSet<quint8> m_weWill;
    QSet<quint8> m_theyWill;
    QString m_error;
    int m_clients = 0;
    bool m_refuseComPort = false;
};
