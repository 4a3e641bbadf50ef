#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

class QSerialPort;
class QTimer;
class TDemoDevice;
class TLinkEnd;

// Raised by TComm::OpenPort with a text in the unit's current language.
class ECommsError : public std::exception
{
public:
    explicit ECommsError(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8, _9 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// The serial port component. It opens a named port (or, for the names
// "demo:K801", "demo:K802" and "demo:K803", the installed demo device, and
// for "tcp://HOST:PORT" and "rfc2217://HOST:PORT" a network serial server),
// writes without blocking and raises OnReceiveData on the owner's thread for
// every chunk: the bytes that arrived without a pause of ReadIntervalTimeout
// (100 ms as used) or more, at most 4096 of them, in arrival order.
class TComm : public QObject
{
    Q_OBJECT
public:
    static constexpr int ChunkLimit = 4096;
    static constexpr const char *DemoPrefix = "demo:";

    explicit TComm(QObject *owner = nullptr);
    ~TComm() override;

    // Language of the error texts for every component: 0 Chinese, 1 English.
    // Creating a component sets it to 1.
    static void SetLanguage(int language);
    static int Language();

    // Opens CommName exclusively and applies time-outs and line settings, then
    // drives DTR/RTS as asked. Throws ECommsError; on failure the component stays closed.
    // A network name opens at once when it is well-formed and connects
    // afterwards; a server that cannot be reached ends as a lost line
    // (OnRequestHangup, LineError).
    void OpenPort();
    // Stops and closes; nothing happens when closed.
    void ClosePort();
    // Queues a copy of the bytes; false when closed or count is 0. Never blocks.
    bool WriteData(const char *bytes, quint16 count);
    bool WriteData(const QByteArray &bytes);

    // Optional test that ends a chunk before the pause: when the bytes gathered
    // so far pass it, they are raised at once. An owner that knows what a
    // whole reply looks like saves the quiet time after every reply with it;
    // bytes that do not pass still end at the pause. Empty: pause only.
    using TChunkComplete = std::function<bool(const QByteArray &gathered)>;
    void SetChunkComplete(TChunkComplete test) { m_chunkComplete = std::move(test); }

    bool Connected() const { return m_connected; }

    QString Password() const { return m_password; }
    void SetPassword(const QString &value) { m_password = value; }
    QString CommName() const { return m_commName; }
    void SetCommName(const QString &value) { m_commName = value; }

    quint32 BaudRate() const { return m_baudRate; }
    void SetBaudRate(quint32 value);
    bool ParityCheck() const { return m_parityCheck; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return m_outxCtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return m_outxDsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return m_dtrControl; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return m_dsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return m_txContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return m_outxXonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return m_inxXonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return m_replaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return m_ignoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return m_rtsControl; }
    void SetRtsControl(TRtsControl value);
    quint16 XonLimit() const { return m_xonLimit; }
    void SetXonLimit(quint16 value);
    quint16 XoffLimit() const { return m_xoffLimit; }
    void SetXoffLimit(quint16 value);
    TByteSize ByteSize() const { return m_byteSize; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return m_parity; }
    void SetParity(TParity value);
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return m_xonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return m_xoffChar; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return m_replacedChar; }
    void SetReplacedChar(char value);
    quint32 ReadIntervalTimeout() const { return m_readIntervalTimeout; }
    void SetReadIntervalTimeout(quint32 value);
    quint32 ReadTotalTimeoutMultiplier() const { return m_readTotalTimeoutMultiplier; }
    void SetReadTotalTimeoutMultiplier(quint32 value);
    quint32 ReadTotalTimeoutConstant() const { return m_readTotalTimeoutConstant; }
    void SetReadTotalTimeoutConstant(quint32 value);
    quint32 WriteTotalTimeoutMultiplier() const { return m_writeTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(quint32 value);
    quint32 WriteTotalTimeoutConstant() const { return m_writeTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(quint32 value);

    // How many times the line settings / time-outs were applied to an open
    // port; lets tests see that a setter re-applied them.
    int settingsApplyCount() const { return m_settingsApplied; }
    int timeoutsApplyCount() const { return m_timeoutsApplied; }

    // The in-process device behind a "demo:" name while open, else null.
    TDemoDevice *demoDevice() const;
    // Why the line was last lost, in the current language, when the far end
    // told (a network server that refused, did not answer or hung up); empty
    // for a serial port that failed or vanished. Cleared by OpenPort.
    QString LineError() const;

    // The reasons OpenPort can fail, and their texts in the current language.
    enum class TOpenFailure {
        AlreadyOpen,
        OpenDevice,
        SetupBuffer,
        CreateEvent,
        CreateReadThread,
        CreateWriteThread,
    };
    static QString ErrorText(TOpenFailure failure);

signals:
    void OnReceiveData(const QByteArray &chunk);
    void OnSendData(const QString &hexText);
    void OnReceiveError(quint32 eventMask);
    void OnModemStateChange(quint32 modemEvent);
    void OnRequestHangup();
    void OnSendDataEmpty();

private:
    // Writes the line settings (baud rate to ReplacedChar, DTR and RTS) to the open port.
    void ApplyPortSettings();
    // Sets the chunk pause and cap from the time-out properties.
    void ApplyTimeouts();
    void OpenDevice();
    void OpenSimulator(const QString &model);
    void OpenNetwork();
    void AttachLink(TLinkEnd *link);
    bool QueueBytes(const QByteArray &bytes);
    void TakeBytes(const QByteArray &bytes);
    void FinishChunk();
    void LineLost();
    void ReleaseBackends();

    // implementation in SerialPort_Unt.cpp
    struct Private;
    std::unique_ptr<Private> d;

    QString m_password;
    bool m_connected = false;
    TChunkComplete m_chunkComplete;
    QString m_commName = QStringLiteral("COM2");
    quint32 m_baudRate = 9600;
    bool m_parityCheck = false;
    bool m_outxCtsFlow = false;
    bool m_outxDsrFlow = false;
    TDtrControl m_dtrControl = TDtrControl::DtrEnable;
    bool m_dsrSensitivity = false;
    bool m_txContinueOnXoff = true;
    bool m_outxXonXoffFlow = true;
    bool m_inxXonXoffFlow = true;
    bool m_replaceWhenParityError = false;
    bool m_ignoreNullChar = false;
    TRtsControl m_rtsControl = TRtsControl::RtsEnable;
    quint16 m_xonLimit = 500;
    quint16 m_xoffLimit = 500;
    TByteSize m_byteSize = TByteSize::_8;
    TParity m_parity = TParity::None;
    TStopBits m_stopBits = TStopBits::_1;
    char m_xonChar = 17;
    char m_xoffChar = 19;
    char m_replacedChar = 0;
    quint32 m_readIntervalTimeout = 100;
    quint32 m_readTotalTimeoutMultiplier = 0;
    quint32 m_readTotalTimeoutConstant = 0;
    quint32 m_writeTotalTimeoutMultiplier = 0;
    quint32 m_writeTotalTimeoutConstant = 0;
    int m_settingsApplied = 0;
    int m_timeoutsApplied = 0;
};

// The line the loggers speak: 115200 baud, 8 data bits, no parity, one stop
// bit, no flow control (XON/XOFF would swallow data bytes), DTR and RTS low,
// a chunk ending after 100 ms of quiet. Set before opening.
void UseLoggerLine(TComm &port);

