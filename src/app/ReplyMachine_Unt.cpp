#include "app/ReplyMachine_Unt.h"

void TReplyMachine::SetExpectedReply(Const::TExpectedReply state)
{
    m_ticks = 0;
    m_expected = state;
}

Const::TExpectedReply TReplyMachine::TakeChunk(const QByteArray &chunk)
{
    m_lastChunk = chunk;
    if (m_expected == Const::ReplyHistoryErase)
        return Const::ReplyHistoryErase;
    m_lastReplyState = m_expected;
    SetExpectedReply(Const::ReplyIdle);
    return m_lastReplyState;
}

void TReplyMachine::Tick()
{
    if (m_expected == Const::ReplyIdle || m_expected == Const::ReplyHistoryErase)
        return;
    if (++m_ticks < TimeOutTicks)
        return;
    const Const::TExpectedReply state = m_expected;
    SetExpectedReply(Const::ReplyIdle);
    emit TimedOut(state);
}
