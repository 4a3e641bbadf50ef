#pragma once

#include "app/Const_Unt.h"

#include <QByteArray>
#include <QObject>

// The request-reply bookkeeping of the main window. Before a request the
// caller sets the reply it expects; a chunk that arrives is routed by that
// state, which then returns to idle; a one-second tick that finds the state
// unchanged three times ends the wait (so a time-out comes 2 to 3 seconds
// after the request, the ticks running freely).
//
// The history erase state is left only by the next request: its progress
// chunks neither end it nor does the tick count it.
class TReplyMachine : public QObject
{
    Q_OBJECT
public:
    static constexpr int TimeOutTicks = 3;

    explicit TReplyMachine(QObject *parent = nullptr) : QObject(parent) {}

    Const::TExpectedReply Expected() const { return m_expected; }
    Const::TExpectedReply LastReplyState() const { return m_lastReplyState; }
    const QByteArray &LastChunk() const { return m_lastChunk; }

    // Idle makes the window wait for nothing.
    void SetExpectedReply(Const::TExpectedReply state);

    // A chunk arrived: returns the state it answers (Idle when nothing was
    // awaited). For the erase state the chunk is progress and the state stays.
    Const::TExpectedReply TakeChunk(const QByteArray &chunk);

    // One tick of the free-running timer. Emits TimedOut(state) when the wait
    // for state has lasted three ticks; the state is then idle.
    void Tick();

    // Set by a flow before its request and cleared by the reply or the
    // time-out; the flow waits while it is set.
    bool ReplyPending() const { return m_replyPending; }
    void SetReplyPending(bool pending) { m_replyPending = pending; }

signals:
    void TimedOut(Const::TExpectedReply state);

private:
    Const::TExpectedReply m_expected = Const::ReplyIdle;
    Const::TExpectedReply m_lastReplyState = Const::ReplyIdle;
    int m_ticks = 0;
    bool m_replyPending = false;
    QByteArray m_lastChunk;
};
