#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>

namespace Sending {
Q_NAMESPACE

// What the send engine is doing:
//  Idle        nothing to wait for: dials at the next tick when the queue
//              has an entry (and the centre's number is known);
//  Dialling    a call is being set up, waiting for the connection;
//  LoggingIn   the connection stands and the session login is under way;
//  Submitting  the frame is out, waiting for the centre's answer;
//  Logging     the centre has answered; the log row is being written, and
//              the entry leaves the queue once it is stored;
//  Holding     a connection that carries several entries is kept open with
//              the queue empty, waiting for more;
//  Waiting     a failed attempt: no dial before the pace has run out;
//  Paused      sending is switched off and no call is under way;
//  Testing     a connection test has the line: it is set up as for a call
//              and ended once it stands, nothing is submitted.
// A pause asked for during a call takes effect when the call has ended.
//
// Outside the engine LoggingIn is told as Dialling, Holding as Idle (see
// EngineStatus), and Testing as the state the engine rests in meanwhile.
enum class State {
    Idle,
    Dialling,
    LoggingIn,
    Submitting,
    Logging,
    Holding,
    Waiting,
    Paused,
    Testing
};
Q_ENUM_NS(State)

} // namespace Sending

// Everything the status line says about the engine. Made by the engine,
// put into words by statusText().
struct EngineStatus
{
    // One of Idle, Dialling, Submitting, Logging, Waiting, Paused.
    Sending::State state = Sending::State::Idle;
    // What the queue waits for to be configured ("Keine Rufnummer ..."), as
    // the call dialogue names it.
    QString missingSetting;
    // After a failed attempt: what failed, and (Waiting) when the next dial
    // comes. Kept while paused. Paused after a halt: why the dialogue halted.
    QString failure;
    int secondsToNextAttempt = 0;
    // The centre refused the last message for good: its error code. Kept
    // until the next dial.
    QString refusalCode;
    // The refusal's meaning when the dialogue names it itself (a GSM
    // modem's +CMS ERROR); empty for a UCP error code, whose meaning is
    // known here. Alone, without a code: why the message could not be sent
    // at all.
    QString refusalMeaning;
    // Logging: why the log row could not be stored, and when it is tried
    // again; empty while it is being written.
    QString logError;
    int secondsToLogRetry = 0;
    // Dialling: the connection stands and the session login is under way
    // (the engine's LoggingIn).
    bool loggingIn = false;
    // Submitting and Logging on a connection that carries several entries:
    // the entry's number in this connection and how many there are with
    // those still queued; 0 for one entry per call.
    int entryNumber = 0;
    int entryCount = 0;
    // Idle with the connection still open, waiting for more entries (the
    // engine's Holding).
    bool connectionOpen = false;
    // The dialogue keeps a connection to receive messages and reports, over
    // this ("GSM-Modem"); empty when it does not.
    QString listeningVia;

    friend bool operator==(const EngineStatus &, const EngineStatus &) = default;
};
Q_DECLARE_METATYPE(EngineStatus)

// The status line's text, "Status: ...".
QString statusText(const EngineStatus &status);
