#pragma once

#include "calldialogue.h"
#include "enginestatus.h"
#include "outgoingqueue.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

#include <functional>
#include <optional>

class Clock;
class SendLog;
class SendLogWriter;

// Sends the queued messages: takes the head entry, has a CallDialogue carry
// it to the message centre, logs the outcome, and paces the attempts. It
// knows nothing of modems or frames; the dialogue does.
//
// The engine shows no box and asks nothing: it tells by signals, and the
// main window asks the user and calls pause(), resume() or shutDown().
//
// Its state is one of Sending::State, changed in setState() only, where
// stateChanged and statusChanged come from. Sending switched off
// (VersandStatus "Stop") is the state Paused once no call is under way; a
// call under way goes on to its end first. VerbindungAktiv is "Ja" while a
// call is under way, until its row is logged.
//
// Everything is driven by the 5-second tick of Timer1 and the dialogue's
// signals; nothing blocks. A call that brings no connection within more
// than 40 seconds (by the monotonic clock) or that the dialogue reports as
// failed is a failed attempt: the entry stays at the head and is dialled
// again no sooner than 40 seconds after the failed call began (Waiting,
// with the status line counting down), and from the fifth failed attempt
// in a row on attemptsFailing is emitted, once for each. The attempts are
// counted for the head entry until the centre answers it, also those that
// fail after the connection stood. A call that ends
// while sending is paused is counted without it. An entry the centre
// refuses is logged with the refusal and removed: it would block every
// message behind it.
//
// A connection that carries several entries (a TCP/IP session, a modem
// call in batch mode) submits them one after another while the queue has
// any; once it is empty, the connection is held open for the dialogue's
// idleHoldMs() (0 for a modem call, which costs money while it stands),
// then ended at a tick. Pausing and shutDown() end it at once. The next
// entry goes out as soon as the one before is answered, while its log row
// is still being written; with a dialogue whose window() is more than one,
// up to that many go out before the first is answered. The entries in
// flight are told apart by their queue id, and each leaves the queue once
// its row is stored. A failed or halted call leaves those not answered in
// the queue; those answered are still logged. While a log row cannot be
// written nothing more is submitted.
//
// A connection test (startTest()) is a state of its own, Testing: the
// dialogue sets the connection up as for a call, under the same 40-s limit
// checked at the ticks (also while sending is paused), and the engine ends
// it as soon as it stands; nothing is submitted, logged
// or taken from the queue, and no entry is dialled meanwhile. It is refused
// while a call is under way. Meanwhile the status line reads as it did
// before the test, and sending can be paused and resumed as at rest.
//
// An entry longer than one SMS goes to a dialogue that does not take long
// messages one marked part at a time: the first part is submitted, and once
// it is logged the entry stays at the head with the rest of its text.
//
// Before a stored entry goes out it is marked as submitted in the queue's
// journal, by the log writer's thread, and submitted once the mark is
// stored: a crash after its bytes left and before its log row is known at
// the next start.
//
// A dialogue that halts (a SIM that refused its PIN would lock itself if it
// were tried again) pauses sending: nothing is tried until the user resumes,
// and then at once.
class SendEngine : public QObject
{
    Q_OBJECT

public:
    using State = Sending::State;

    static constexpr int tickIntervalMs = 5000;
    // A call that has waited longer than this for its connection has failed.
    static constexpr qint64 callTimeoutMs = 40'000;
    // After a failed attempt the next dial comes no sooner than this after
    // the failed one began: the pace of the call time-out, whatever failed.
    static constexpr qint64 retryPaceMs = 40'000;
    // Failed attempts in a row beyond this many are reported.
    static constexpr qint16 reportAfterFailures = 4;

    // The rows go to the table of log, through a connection of the engine's
    // own on a thread of its own, so that the commit never stalls the window.
    // Without a log the engine only tests connections: it dials no entry.
    SendEngine(OutgoingQueue *queue, SendLog *log, CallDialogue *dialogue, const Clock *clock,
               QObject *parent = nullptr);
    ~SendEngine() override;

    // Starts Timer1; from then on the engine ticks every 5 seconds.
    void start();
    // The handler of Timer1: begins a call when sending is on, no call is
    // under way, the pace has run out and the queue has a head entry; ends a
    // call that waited too long for its connection.
    void tick();

    // "Start" while sending is on, "Stop" while it is paused.
    QString versandStatus() const;
    bool isPaused() const { return !m_running; }
    QString verbindungAktiv() const;
    qint16 fehlversuche() const { return m_fehlversuche; }
    // The state as it is told apart outside the engine: LoggingIn as
    // Dialling, Holding as Idle, and Testing as the state the engine rests
    // in meanwhile (Idle, Waiting or Paused).
    State state() const;
    // The engine's own state, one of all of Sending::State.
    State detailedState() const { return m_state; }
    // What the status line shows, as of now.
    EngineStatus status() const;

    // Switch sending off and on. A call under way when pausing goes on to
    // its end: an entry that is out has its answer taken and logged, a call
    // that connects is ended.
    void pause();
    void resume();
    // A call is set up, under way, being logged, or a connection is held.
    bool isCallUnderWay() const;
    // The entry is going out: marked, submitted, or its answer being logged.
    bool isInFlight(quint64 entryId) const;

    // The connection test: why it cannot begin now (a call under way, a
    // setting missing), in German; empty when it can.
    QString testRefusal() const;
    bool isTesting() const { return m_state == State::Testing; }
    // Begins the test, or answers at once with testFinished(false,
    // testRefusal()); does nothing while a test runs.
    void startTest();
    // Ends a test under way with testFinished(false, "Test abgebrochen").
    void cancelTest();
    // Stops for good before the program ends: Timer1 stops, sending stays
    // off, the call is ended, and a call under way is dropped without being
    // counted (a message whose answer came is still logged).
    void shutDown();

    QTimer *timer1() { return &m_timer1; }

    // How a recipient number is compared with the number a delivery report
    // names; the expected reports are stored in this form. Unchanged unless
    // set.
    void setNumberKey(std::function<QString(const QString &)> numberKey);

Q_SIGNALS:
    // The engine's own state, as detailedState() tells it.
    void stateChanged(Sending::State state);
    // The status changed: another state, another reason, or a countdown
    // that went on.
    void statusChanged(const EngineStatus &status);
    void pausedChanged(bool paused);
    // A failed attempt while sending is on, the count-th in a row; emitted
    // from the fifth on, once for each, after the call has been wound up.
    void attemptsFailing(int count);
    // A row was added to the send log (it is stored) and the entry entryId
    // left the queue, or stays with the rest of its text (whole is false),
    // versandt being what the row says ("OK", or the refusal).
    void messageLogged(quint64 entryId, const QString &versandt, bool whole);
    // The dialogue stopped sending until the user acts, for this reason (in
    // German, as the status line shows it): the call is wound up and sending
    // is paused as by pause(), after pausedChanged. Once for each halt.
    void halted(const QString &reason);
    // A step of the connection test that the dialogue's trace does not tell
    // (the login begun).
    void testStep(const QString &text);
    // The test is over: the connection stood (ok), or why not.
    void testFinished(bool ok, const QString &summary);

private:
    // An entry from its mark until its log row is stored, as it was when it
    // went out: the log row and the removal concern exactly this entry,
    // whatever happened to the queue.
    struct InFlight
    {
        QueueEntry entry;
        // What stays in the entry once its first part is logged; null when
        // the whole entry went out.
        QString rest;
        quint64 markTicket = 0; // while its mark is being stored
        bool marked = false;    // stored, waiting for room in the window
        bool handedOver = false;
        bool answered = false;
        // Once answered: its log row, and the parts whose reports are awaited.
        QDate date;
        QTime time;
        QString versandt;
        QList<ExpectedReport> reports;
        quint64 logTicket = 0;
        bool logWriteFailed = false;
        // Failed once and not stored since: nothing more goes out, also while
        // the row is being written again.
        bool logHeld = false;
        bool logFailureTold = false; // warned once per row, not at every retry
    };

    void verbinden();
    void onLoggingIn();
    // Ends the test with this outcome; the dialogue is ended already.
    void finishTest(bool ok, const QString &summary);
    void onReady();
    // Idle with the connection open: the next entry, or the end of the
    // connection once the queue has been empty for the dialogue's hold time.
    void useOpenConnection(qint64 now);
    void onSubmitted(const CallDialogue::Result &result);
    void onFailed(const QString &reason);
    void onHalted(const QString &reason);
    // Submits the head entry on the standing connection, or ends the call
    // when there is nothing to submit.
    void submitNext();
    // The first queue entry not in flight, when one may be submitted now.
    std::optional<QueueEntry> nextToSubmit() const;
    void submitEntry(const QueueEntry &entry);
    // The state that follows from the entries in flight and the connection.
    void afterChange();
    // Operations the centre has and not answered yet.
    int unansweredCount() const;
    // Entries whose mark is being stored or that wait for room in the window.
    int waitingForWindowCount() const;
    // Hands marked entries to the dialogue while the window has room.
    void handOverMarked();
    bool isLogWriteFailing() const;
    void writeLogRow(InFlight &flight);
    void retryFailedLogRows();
    void onLogWritten(quint64 ticket, bool ok, const QString &error);
    void onMarked(quint64 ticket, bool ok, const QString &error);
    // Ends the call as a failed attempt; reason names it on the status line.
    void failAttempt(const QString &reason);
    // Drops the unanswered entries, which stay queued: the mark comes off
    // those never handed over and, when the centre refused, the others.
    void dropUnanswered();
    void endCall();
    int secondsToNextAttempt() const;

    // The one place where the state changes.
    void setState(State state);
    // No call under way: Paused, Waiting for the pace to run out, or Idle.
    void settle();
    State restingState() const;
    // Waiting for the connection: the call time-out runs.
    bool isSettingUp() const { return m_state == State::Dialling || m_state == State::LoggingIn; }
    void publishStatus();
    void setRunning(bool running);

    OutgoingQueue *m_queue;
    SendLogWriter *m_logWriter = nullptr;
    CallDialogue *m_dialogue;
    const Clock *m_clock;

    QTimer m_timer1;

    bool m_running = true;
    bool m_shutDown = false;
    State m_state = State::Idle;
    int m_entriesThisCall = 0;
    qint64 m_idleSinceMs = 0; // Holding since
    qint16 m_fehlversuche = 0;
    quint64 m_failingEntryId = 0; // the head entry m_fehlversuche counts for
    qint64 m_callStartMs = 0;     // VerbindungsStart, on the monotonic clock (or the test's)
    std::optional<qint64> m_lastTickMs;
    // After a failed attempt: no dial before this, and what failed.
    std::optional<qint64> m_retryAtMs;
    QString m_failure;
    QString m_missingSetting;
    QString m_refusalCode; // of the last message, until the next dial
    QString m_refusalMeaning;
    QString m_haltReason; // until sending is resumed
    EngineStatus m_published;

    // In the order they were submitted.
    QList<InFlight> m_inFlight;
    bool m_connectionOpen = false; // the call's connection stands and may carry more
    QString m_logError;
    std::function<QString(const QString &)> m_numberKey;
};
