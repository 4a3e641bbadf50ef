#include "link/FrameLog_Unt.h"

TFrameLog &TFrameLog::instance()
{
    static TFrameLog log;
    return log;
}

void TFrameLog::log(const QByteArray &bytes, int direction)
{
    if (m_enabled)
        emit frameLogged(bytes, direction);
}
