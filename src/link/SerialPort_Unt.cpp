// Placeholder so the library links while the component is written.
#include "link/SerialPort_Unt.h"
struct TComm::Private {};
ECommsError::ECommsError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
TComm::TComm(QObject *owner) : QObject(owner) {}
TComm::~TComm() = default;
void TComm::OpenPort() {}
void TComm::ClosePort() {}
bool TComm::WriteData(const char *, quint16) { return false; }
bool TComm::WriteData(const QByteArray &) { return false; }
