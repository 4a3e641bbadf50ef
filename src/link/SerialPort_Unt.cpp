#include "link/SerialPort_Unt.h"

#include "link/DemoDevice_Unt.h"
#include "link/NetLink_Unt.h"

#include <QMetaObject>
#include <QSerialPort>
#include <QTimer>

#include <climits>
#include <iterator>
#include <utility>

namespace {

// Language of the error texts, shared by every component: 0 Chinese, 1 English.
int g_language = 1;

struct TErrorText
{
    const char *chinese;
    const char *english;
};

// Indexed by TComm::TOpenFailure.
constexpr TErrorText kErrorTexts[] = {
    {"此串口已经打开", "This serial port already opened"},
    {"打开串口出错\r\n此串口不存在或被占用", "Error opening serial port"},
    {"初始化缓冲区出错", "Cannot setup comm buffer"},
    {"无法创建事件", "Unable to create event"},
    {"无法创建读线程", "Unable to create read thread"},
    {"无法创建写线程", "Unable to create write thread"},
};

// A read interval of all ones means "return at once" on the original
// platform; like 0, it sets no pause rule.
constexpr quint32 kNoInterval = 0xFFFFFFFFu;

int ClampMs(quint64 ms)
{
    return ms > quint64(INT_MAX) ? INT_MAX : int(ms);
}

QSerialPort::DataBits DataBitsFor(TByteSize size)
{
    switch (size) {
    case TByteSize::_5: return QSerialPort::Data5;
    case TByteSize::_6: return QSerialPort::Data6;
    case TByteSize::_7: return QSerialPort::Data7;
    case TByteSize::_8:
    case TByteSize::_9: // no 9-bit characters here; 8 is the nearest
        break;
    }
    return QSerialPort::Data8;
}

QSerialPort::Parity ParityFor(TParity parity)
{
    switch (parity) {
    case TParity::Odd: return QSerialPort::OddParity;
    case TParity::Even: return QSerialPort::EvenParity;
    case TParity::Mark: return QSerialPort::MarkParity;
    case TParity::Space: return QSerialPort::SpaceParity;
    case TParity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits StopBitsFor(TStopBits stopBits)
{
    switch (stopBits) {
    case TStopBits::_1_5:
#ifdef Q_OS_WIN
        return QSerialPort::OneAndHalfStop;
#else
        // POSIX terminals know one or two stop bits only.
        return QSerialPort::TwoStop;
#endif
    case TStopBits::_2: return QSerialPort::TwoStop;
    case TStopBits::_1: break;
    }
    return QSerialPort::OneStop;
}

template <typename T>
bool StoreIfChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

ECommsError::ECommsError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

struct TComm::Private
{
    QSerialPort *port = nullptr;
    // A demo device or a network link, instead of the serial port.
    TLinkEnd *link = nullptr;
    // Why the line was lost, when the far end said.
    QString lineError;
    // Ends a chunk when the line has been quiet for the read interval.
    QTimer *pauseTimer = nullptr;
    // Ends a chunk when the read total time-out has passed since its first byte.
    QTimer *capTimer = nullptr;
    int pauseMs = 100;  // < 0: no pause rule
    int capMs = 0;      // 0: no cap
    QByteArray chunk;
    // Changes with every open and close, so that queued work and nested
    // emissions can tell that the port they belong to is gone.
    quint64 session = 0;
    int linkWritesPending = 0;
    bool lineLost = false;
    // > 0 while a signal of the port or the simulator is being handled; they
    // must not be deleted under their own emission then.
    int callbackDepth = 0;
};

namespace {

class TCallbackScope
{
public:
    explicit TCallbackScope(int &depth) : m_depth(depth) { ++m_depth; }
    ~TCallbackScope() { --m_depth; }
    TCallbackScope(const TCallbackScope &) = delete;
    TCallbackScope &operator=(const TCallbackScope &) = delete;

private:
    int &m_depth;
};

} // namespace

TComm::TComm(QObject *owner) : QObject(owner), d(std::make_unique<Private>())
{
    g_language = 1;
    d->pauseTimer = new QTimer(this);
    d->pauseTimer->setSingleShot(true);
    d->pauseTimer->setTimerType(Qt::PreciseTimer);
    d->capTimer = new QTimer(this);
    d->capTimer->setSingleShot(true);
    d->capTimer->setTimerType(Qt::PreciseTimer);
    connect(d->pauseTimer, &QTimer::timeout, this, &TComm::FinishChunk);
    connect(d->capTimer, &QTimer::timeout, this, &TComm::FinishChunk);
}

TComm::~TComm()
{
    ClosePort();
}

void TComm::SetLanguage(int language)
{
    g_language = language;
}

int TComm::Language()
{
    return g_language;
}

QString TComm::ErrorText(TOpenFailure failure)
{
    const auto index = std::size_t(failure);
    if (index >= std::size(kErrorTexts))
        return {};
    const TErrorText &text = kErrorTexts[index];
    return QString::fromUtf8(g_language == 0 ? text.chinese : text.english);
}

TDemoDevice *TComm::demoDevice() const
{
    return qobject_cast<TDemoDevice *>(d->link);
}

QString TComm::LineError() const
{
    return d->lineError;
}

void TComm::OpenPort()
{
    if (m_connected)
        throw ECommsError(ErrorText(TOpenFailure::AlreadyOpen));

    const QString prefix = QString::fromLatin1(DemoPrefix);
    if (NetPorts::IsNetworkName(m_commName))
        OpenNetwork();
    else if (m_commName.startsWith(prefix, Qt::CaseInsensitive))
        OpenSimulator(m_commName.mid(prefix.size()));
    else
        OpenDevice();
    m_connected = true;
}

void TComm::OpenDevice()
{
    auto *port = new QSerialPort(this);
    port->setPortName(m_commName);
    // QSerialPort opens exclusively: a lock file plus TIOCEXCL on POSIX, share
    // mode 0 on Windows. A port held by anyone else fails here.
    if (m_commName.trimmed().isEmpty() || !port->open(QIODevice::ReadWrite)) {
        delete port;
        throw ECommsError(ErrorText(TOpenFailure::OpenDevice));
    }
    port->clear(QSerialPort::AllDirections);

    ++d->session;
    d->port = port;
    d->lineLost = false;
    d->lineError.clear();
    connect(port, &QSerialPort::readyRead, this, [this, port] {
        TCallbackScope scope(d->callbackDepth);
        if (d->lineLost)
            return;
        TakeBytes(port->readAll());
    });
    connect(port, &QSerialPort::bytesWritten, this, [this, port] {
        TCallbackScope scope(d->callbackDepth);
        if (port->bytesToWrite() == 0)
            emit OnSendDataEmpty();
    });
    connect(port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // Errors of settings the device cannot take (DTR on a pseudo-terminal,
        // an odd baud rate) are no reason to give up the line.
        if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError
            || error == QSerialPort::WriteError)
            LineLost();
    });

    ApplyTimeouts();
    ApplyPortSettings();
}

void TComm::OpenSimulator(const QString &modelText)
{
    TDemoDevice *device = DemoDevices::Create(modelText, this);
    if (!device)
        throw ECommsError(ErrorText(TOpenFailure::OpenDevice));
    AttachLink(device);
}

void TComm::OpenNetwork()
{
    QString error;
    const std::optional<TNetAddress> address = NetPorts::Parse(m_commName, g_language, &error);
    if (!address)
        throw ECommsError(error);
    auto *link = new TNetLink(*address, g_language, this);
    AttachLink(link);
    // The connection comes up later; what is written meanwhile waits for it,
    // and a server that cannot be reached is a line lost, with its reason.
    link->Start();
}

void TComm::AttachLink(TLinkEnd *link)
{
    ++d->session;
    d->link = link;
    d->lineLost = false;
    d->lineError.clear();
    // The far end feeds the same chunking as a serial line.
    connect(link, &TLinkEnd::BytesToHost, this, [this](const QByteArray &bytes) {
        TCallbackScope scope(d->callbackDepth);
        TakeBytes(bytes);
    });
    connect(link, &TLinkEnd::LineFailed, this, [this, link] {
        d->lineError = link->FailureText();
        LineLost();
    });

    ApplyTimeouts();
    ApplyPortSettings();
}

void TComm::ClosePort()
{
    if (!m_connected)
        return;
    ReleaseBackends();
    m_connected = false;
}

void TComm::ReleaseBackends()
{
    ++d->session;
    d->pauseTimer->stop();
    d->capTimer->stop();
    d->chunk.clear();
    d->linkWritesPending = 0;
    d->lineLost = false;

    if (QSerialPort *port = std::exchange(d->port, nullptr)) {
        disconnect(port, nullptr, this, nullptr);
        if (port->isOpen())
            port->close(); // at once, so that the port can be opened again right away
        if (d->callbackDepth > 0)
            port->deleteLater();
        else
            delete port;
    }
    if (TLinkEnd *link = std::exchange(d->link, nullptr)) {
        disconnect(link, nullptr, this, nullptr);
        if (d->callbackDepth > 0)
            link->deleteLater();
        else
            delete link;
    }
}

bool TComm::WriteData(const char *bytes, quint16 count)
{
    if (bytes == nullptr || count == 0)
        return false;
    return QueueBytes(QByteArray(bytes, count));
}

bool TComm::WriteData(const QByteArray &bytes)
{
    return QueueBytes(bytes);
}

bool TComm::QueueBytes(const QByteArray &bytes)
{
    // After the line was lost nothing takes the bytes any more.
    if (!m_connected || bytes.isEmpty() || d->lineLost)
        return false;

    emit OnSendData(QString::fromLatin1(bytes.toHex(' ').toUpper()) + QLatin1Char(' '));
    // A slot of OnSendData may have closed the port.
    if (!m_connected)
        return false;

    if (d->link) {
        // The far end gets the bytes from the event loop, never inside this call.
        const quint64 session = d->session;
        ++d->linkWritesPending;
        QMetaObject::invokeMethod(
            d->link,
            [this, session, bytes] {
                if (session != d->session)
                    return;
                TCallbackScope scope(d->callbackDepth);
                d->link->ReceiveFromHost(bytes);
                if (session == d->session && --d->linkWritesPending == 0)
                    emit OnSendDataEmpty();
            },
            Qt::QueuedConnection);
        return true;
    }
    return d->port->write(bytes) == bytes.size();
}

void TComm::TakeBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const quint64 session = d->session;
    if (d->chunk.isEmpty() && d->capMs > 0)
        d->capTimer->start(d->capMs);
    d->chunk += bytes;

    while (d->chunk.size() >= ChunkLimit) {
        const QByteArray full = d->chunk.left(ChunkLimit);
        d->chunk.remove(0, ChunkLimit);
        // The bytes left over open the next chunk.
        if (d->chunk.isEmpty())
            d->capTimer->stop();
        else if (d->capMs > 0)
            d->capTimer->start(d->capMs);
        emit OnReceiveData(full);
        if (session != d->session)
            return;
    }

    if (!d->chunk.isEmpty() && m_chunkComplete && m_chunkComplete(d->chunk)) {
        FinishChunk();
        return;
    }
    if (d->chunk.isEmpty())
        d->pauseTimer->stop();
    else if (d->pauseMs >= 0)
        d->pauseTimer->start(d->pauseMs);
}

void TComm::FinishChunk()
{
    d->pauseTimer->stop();
    d->capTimer->stop();
    if (d->chunk.isEmpty())
        return;
    QByteArray chunk;
    chunk.swap(d->chunk);
    emit OnReceiveData(chunk);
}

void TComm::LineLost()
{
    // On a vanished port QSerialPort may report a read error on every pass of
    // the event loop; stop reading now and report the loss once.
    if (d->lineLost)
        return;
    d->lineLost = true;

    // Closing the port inside its own error signal is not safe; it closes on
    // the next pass of the event loop, and the owner hears of it from there.
    const quint64 session = d->session;
    QMetaObject::invokeMethod(
        this,
        [this, session] {
            if (session != d->session)
                return;
            if (d->port && d->port->isOpen())
                d->port->close();
            // Bytes that came before the loss still reach the owner first.
            FinishChunk();
            if (session == d->session)
                emit OnRequestHangup();
        },
        Qt::QueuedConnection);
}

void TComm::ApplyPortSettings()
{
    ++m_settingsApplied;
    if (d->link) {
        d->link->setBaudRate(m_baudRate);
        return;
    }
    QSerialPort *port = d->port;
    if (port == nullptr || !port->isOpen())
        return;

    port->setBaudRate(qint32(qMin<quint32>(m_baudRate, quint32(INT_MAX))));
    port->setDataBits(DataBitsFor(m_byteSize));
    port->setParity(ParityFor(m_parity));
    port->setStopBits(StopBitsFor(m_stopBits));

    // QSerialPort knows RTS/CTS and XON/XOFF flow control; RTS/CTS wins when
    // both are asked for.
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    if (m_outxCtsFlow || m_rtsControl == TRtsControl::RtsHandshake)
        flow = QSerialPort::HardwareControl;
    else if (m_outxXonXoffFlow || m_inxXonXoffFlow)
        flow = QSerialPort::SoftwareControl;
    port->setFlowControl(flow);

    // DTR handshake is not available; the line is raised as for DtrEnable.
    // A pseudo-terminal has no modem lines: its refusal is not an error.
    port->setDataTerminalReady(m_dtrControl != TDtrControl::DtrDisable);
    if (flow != QSerialPort::HardwareControl)
        port->setRequestToSend(m_rtsControl == TRtsControl::RtsEnable);
    port->clearError();
}

void TComm::ApplyTimeouts()
{
    ++m_timeoutsApplied;
    const quint64 cap = quint64(m_readTotalTimeoutConstant)
                        + quint64(m_readTotalTimeoutMultiplier) * quint64(ChunkLimit);
    d->capMs = ClampMs(cap);
    if (m_readIntervalTimeout != 0 && m_readIntervalTimeout != kNoInterval)
        d->pauseMs = ClampMs(m_readIntervalTimeout);
    else
        // Without any time-out, every read is handed on as it comes.
        d->pauseMs = d->capMs > 0 ? -1 : 0;
    // Write time-outs have no counterpart: writing never blocks here.
}

void TComm::SetBaudRate(quint32 value)
{
    if (StoreIfChanged(m_baudRate, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetParityCheck(bool value)
{
    if (StoreIfChanged(m_parityCheck, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetOutx_CtsFlow(bool value)
{
    if (StoreIfChanged(m_outxCtsFlow, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetOutx_DsrFlow(bool value)
{
    if (StoreIfChanged(m_outxDsrFlow, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetDtrControl(TDtrControl value)
{
    if (StoreIfChanged(m_dtrControl, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetDsrSensitivity(bool value)
{
    if (StoreIfChanged(m_dsrSensitivity, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetTxContinueOnXoff(bool value)
{
    if (StoreIfChanged(m_txContinueOnXoff, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetOutx_XonXoffFlow(bool value)
{
    if (StoreIfChanged(m_outxXonXoffFlow, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetInx_XonXoffFlow(bool value)
{
    if (StoreIfChanged(m_inxXonXoffFlow, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetReplaceWhenParityError(bool value)
{
    if (StoreIfChanged(m_replaceWhenParityError, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetIgnoreNullChar(bool value)
{
    if (StoreIfChanged(m_ignoreNullChar, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetRtsControl(TRtsControl value)
{
    if (StoreIfChanged(m_rtsControl, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetXonLimit(quint16 value)
{
    if (StoreIfChanged(m_xonLimit, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetXoffLimit(quint16 value)
{
    if (StoreIfChanged(m_xoffLimit, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetByteSize(TByteSize value)
{
    if (StoreIfChanged(m_byteSize, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetParity(TParity value)
{
    if (StoreIfChanged(m_parity, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetStopBits(TStopBits value)
{
    if (StoreIfChanged(m_stopBits, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetXonChar(char value)
{
    if (StoreIfChanged(m_xonChar, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetXoffChar(char value)
{
    if (StoreIfChanged(m_xoffChar, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetReplacedChar(char value)
{
    if (StoreIfChanged(m_replacedChar, value) && m_connected)
        ApplyPortSettings();
}

void TComm::SetReadIntervalTimeout(quint32 value)
{
    if (StoreIfChanged(m_readIntervalTimeout, value) && m_connected)
        ApplyTimeouts();
}

void TComm::SetReadTotalTimeoutMultiplier(quint32 value)
{
    if (StoreIfChanged(m_readTotalTimeoutMultiplier, value) && m_connected)
        ApplyTimeouts();
}

void TComm::SetReadTotalTimeoutConstant(quint32 value)
{
    if (StoreIfChanged(m_readTotalTimeoutConstant, value) && m_connected)
        ApplyTimeouts();
}

void TComm::SetWriteTotalTimeoutMultiplier(quint32 value)
{
    if (StoreIfChanged(m_writeTotalTimeoutMultiplier, value) && m_connected)
        ApplyTimeouts();
}

void TComm::SetWriteTotalTimeoutConstant(quint32 value)
{
    if (StoreIfChanged(m_writeTotalTimeoutConstant, value) && m_connected)
        ApplyTimeouts();
}

void UseLoggerLine(TComm &port)
{
    port.SetBaudRate(115200);
    port.SetByteSize(TByteSize::_8);
    port.SetParity(TParity::None);
    port.SetStopBits(TStopBits::_1);
    port.SetTxContinueOnXoff(false);
    port.SetOutx_XonXoffFlow(false);
    port.SetInx_XonXoffFlow(false);
    port.SetDtrControl(TDtrControl::DtrDisable);
    port.SetRtsControl(TRtsControl::RtsDisable);
    port.SetReadIntervalTimeout(100);
}
