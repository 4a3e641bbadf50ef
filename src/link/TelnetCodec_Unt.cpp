#include "link/TelnetCodec_Unt.h"

namespace Telnet {

QByteArray Escape(const QByteArray &data)
{
    if (!data.contains(char(IAC)))
        return data;
    QByteArray escaped;
    escaped.reserve(data.size() + 8);
    for (const char byte : data) {
        escaped.append(byte);
        if (quint8(byte) == IAC)
            escaped.append(byte);
    }
    return escaped;
}

QByteArray Negotiation(quint8 verb, quint8 option)
{
    QByteArray bytes;
    bytes.append(char(IAC)).append(char(verb)).append(char(option));
    return bytes;
}

QByteArray Subnegotiation(quint8 option, const QByteArray &payload)
{
    QByteArray bytes;
    bytes.append(char(IAC)).append(char(SB)).append(char(option));
    bytes.append(Escape(payload));
    bytes.append(char(IAC)).append(char(SE));
    return bytes;
}

QByteArray ComPortCommand(quint8 command, const QByteArray &value)
{
    return Subnegotiation(OptComPort, QByteArray(1, char(command)) + value);
}

QByteArray TReader::Take(const QByteArray &bytes, QList<TEvent> *events)
{
    QByteArray data;
    data.reserve(bytes.size());
    for (const char raw : bytes) {
        const quint8 byte = quint8(raw);
        switch (m_state) {
        case TState::Data:
            if (byte == IAC)
                m_state = TState::Iac;
            else
                data.append(raw);
            break;
        case TState::Iac:
            if (byte == IAC) {
                data.append(raw);
                m_state = TState::Data;
            } else if (byte >= WILL && byte <= DONT) {
                m_verb = byte;
                m_state = TState::Option;
            } else if (byte == SB) {
                m_sub.clear();
                m_state = TState::Sub;
            } else {
                // NOP, go-ahead, break and the like carry nothing for a data line.
                events->append({TEvent::TKind::Command, byte, 0, {}});
                m_state = TState::Data;
            }
            break;
        case TState::Option:
            events->append({TEvent::TKind::Negotiation, m_verb, byte, {}});
            m_state = TState::Data;
            break;
        case TState::Sub:
            if (byte == IAC)
                m_state = TState::SubIac;
            else
                m_sub.append(raw);
            break;
        case TState::SubIac:
            if (byte == IAC) {
                m_sub.append(raw);
                m_state = TState::Sub;
            } else {
                // IAC SE ends it; any other command after IAC ends it as well.
                TEvent event{TEvent::TKind::Subnegotiation, SB, 0, {}};
                if (!m_sub.isEmpty()) {
                    event.option = quint8(m_sub.at(0));
                    event.payload = m_sub.mid(1);
                }
                events->append(event);
                m_sub.clear();
                m_state = TState::Data;
            }
            break;
        }
    }
    return data;
}

} // namespace Telnet
