#pragma once

#include <QByteArray>
#include <QList>

// The byte level of Telnet as a serial server uses it: data with every 0xFF
// doubled, option negotiation (IAC WILL/WONT/DO/DONT option) and
// subnegotiation (IAC SB option ... IAC SE). Both the network port and the
// simulator's server read and write the line through it.
namespace Telnet {

constexpr quint8 IAC = 255;
constexpr quint8 DONT = 254;
constexpr quint8 DO = 253;
constexpr quint8 WONT = 252;
constexpr quint8 WILL = 251;
constexpr quint8 SB = 250;
constexpr quint8 SE = 240;

constexpr quint8 OptBinary = 0;
constexpr quint8 OptSuppressGoAhead = 3;
// COM port control: line settings carried as subnegotiations.
constexpr quint8 OptComPort = 44;

// Commands of the COM port option; a server answers each with its code + 100.
constexpr quint8 ComSetBaudRate = 1;  // 4 bytes, most significant first
constexpr quint8 ComSetDataSize = 2;  // 1 byte: 5..8
constexpr quint8 ComSetParity = 3;    // 1 byte: 1 none, 2 odd, 3 even, 4 mark, 5 space
constexpr quint8 ComSetStopSize = 4;  // 1 byte: 1 one, 2 two, 3 one and a half
constexpr quint8 ComSetControl = 5;   // 1 byte: 1 no flow control, 9 DTR off, 12 RTS off, ...
constexpr quint8 ComFlowSuspend = 8;  // no value: the other side cannot take more data
constexpr quint8 ComFlowResume = 9;   // no value
constexpr quint8 ComPurgeData = 12;   // 1 byte: 1 receive, 2 transmit, 3 both
constexpr quint8 ComServerOffset = 100;

constexpr quint8 ControlNoFlow = 1;
constexpr quint8 ControlDtrOff = 9;
constexpr quint8 ControlRtsOff = 12;
constexpr quint8 PurgeBoth = 3;

// What the line carried besides data.
struct TEvent
{
    enum class TKind { Negotiation, Subnegotiation, Command };
    TKind kind = TKind::Command;
    quint8 verb = 0;     // WILL/WONT/DO/DONT, or the bare command byte
    quint8 option = 0;   // negotiation and subnegotiation
    QByteArray payload;  // subnegotiation bytes after the option, unescaped
};

// Data as it goes on the line: every 0xFF doubled.
QByteArray Escape(const QByteArray &data);
// IAC verb option.
QByteArray Negotiation(quint8 verb, quint8 option);
// IAC SB option payload IAC SE, 0xFF in the payload doubled.
QByteArray Subnegotiation(quint8 option, const QByteArray &payload);
// A COM port command with its value bytes.
QByteArray ComPortCommand(quint8 command, const QByteArray &value);

// Splits a received byte stream into data and Telnet events; a sequence cut
// between two reads is completed by the next.
class TReader
{
public:
    // The data bytes of `bytes` (0xFF 0xFF taken as one 0xFF), in order; the
    // events found are appended to *events.
    QByteArray Take(const QByteArray &bytes, QList<TEvent> *events);
    // True while a sequence started by IAC is unfinished.
    bool InSequence() const { return m_state != TState::Data; }

private:
    enum class TState { Data, Iac, Option, Sub, SubIac };
    TState m_state = TState::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
};

} // namespace Telnet
