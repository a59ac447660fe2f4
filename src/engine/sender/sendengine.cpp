#include "sendengine.h"

#include "clock.h"
#include "messagetext.h"
#include "sendlog.h"
#include "sendlogwriter.h"

#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString textStart = QStringLiteral("Start");
const QString textStop = QStringLiteral("Stop");

} // namespace

SendEngine::SendEngine(OutgoingQueue *queue, SendLog *log, CallDialogue *dialogue,
                       const Clock *clock, QObject *parent)
    : QObject(parent), m_queue(queue), m_dialogue(dialogue), m_clock(clock)
{
    m_timer1.setObjectName(u"Timer1"_s);
    m_timer1.setInterval(tickIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &SendEngine::tick);

    connect(m_dialogue, &CallDialogue::loggingIn, this, &SendEngine::onLoggingIn);
    connect(m_dialogue, &CallDialogue::ready, this, &SendEngine::onReady);
    connect(m_dialogue, &CallDialogue::submitted, this, &SendEngine::onSubmitted);
    connect(m_dialogue, &CallDialogue::failed, this, &SendEngine::onFailed);
    connect(m_dialogue, &CallDialogue::halted, this, &SendEngine::onHalted);
    connect(m_dialogue, &CallDialogue::listeningChanged, this, &SendEngine::publishStatus);

    if (!log)
        return;
    m_logWriter = new SendLogWriter(log->databasePath(), this);
    connect(m_logWriter, &SendLogWriter::written, this, &SendEngine::onLogWritten);
    connect(m_logWriter, &SendLogWriter::marked, this, &SendEngine::onMarked);
}

SendEngine::~SendEngine()
{
    // A row still being written is finished by the writer as it goes; one
    // whose writing failed would vanish without a word.
    if (m_state == State::Logging && m_logWriteFailed) {
        qWarning("SendEngine: send log row lost: %s %s %s", qPrintable(m_submitted.recipient),
                 qPrintable(m_submitted.nachricht), qPrintable(m_logRow.versandt));
    }
}

void SendEngine::start()
{
    m_timer1.start();
}

void SendEngine::tick()
{
    const qint64 now = m_clock->monotonicMs();
    m_lastTickMs = now;
    switch (m_state) {
    case State::Logging:
        // Writing the log row is not sending: it is retried while paused too.
        if (m_logWriteFailed)
            writeLogRow();
        return;
    case State::Dialling:
    case State::LoggingIn:
        // While paused the time-out waits: the call is ended by the first
        // tick after resuming that finds it too old. A step the dialogue
        // must finish is left to its own time-out.
        if (m_running && now - m_callStartMs > callTimeoutMs &&
            !m_dialogue->inUninterruptibleStep())
            failAttempt(tr("Keine Verbindung innerhalb von 40 s"));
        return;
    case State::Testing:
        // The same limit as for a call, whether or not sending is on. The
        // entries wait without a word, as if this tick had not come.
        if (now - m_callStartMs > callTimeoutMs && !m_dialogue->inUninterruptibleStep()) {
            m_dialogue->end();
            finishTest(false, tr("Keine Verbindung innerhalb von 40 s"));
            return;
        }
        m_missingSetting = m_queue->isEmpty() ? QString() : m_dialogue->missingSetting();
        publishStatus();
        return;
    case State::Holding:
        useOpenConnection(now);
        return;
    case State::Submitting: // the dialogue ends this state
    case State::Paused:
        return;
    case State::Idle:
    case State::Waiting:
        break;
    }
    // A call that cannot be made is no attempt: nothing is opened or counted
    // until the settings allow it. With nothing to send nothing is missing.
    m_missingSetting = m_queue->isEmpty() ? QString() : m_dialogue->missingSetting();
    if (m_logWriter && !m_queue->isEmpty() && m_missingSetting.isEmpty() &&
        (!m_retryAtMs || now >= *m_retryAtMs)) {
        verbinden();
        return;
    }
    // The countdown goes on, or the queue has become empty meanwhile.
    settle();
}

QString SendEngine::versandStatus() const
{
    return m_running ? textStart : textStop;
}

bool SendEngine::isCallUnderWay() const
{
    switch (m_state) {
    case State::Dialling:
    case State::LoggingIn:
    case State::Submitting:
    case State::Logging:
    case State::Holding:
        return true;
    case State::Idle:
    case State::Waiting:
    case State::Paused:
    case State::Testing:
        break;
    }
    return false;
}

SendEngine::State SendEngine::state() const
{
    switch (m_state) {
    case State::LoggingIn:
        return State::Dialling;
    case State::Holding:
        return State::Idle;
    case State::Testing:
        return restingState();
    case State::Idle:
    case State::Dialling:
    case State::Submitting:
    case State::Logging:
    case State::Waiting:
    case State::Paused:
        break;
    }
    return m_state;
}

QString SendEngine::testRefusal() const
{
    if (isCallUnderWay())
        return tr("Während eines Anrufs kann die Verbindung nicht getestet werden.");
    return m_dialogue->missingSetting();
}

void SendEngine::startTest()
{
    if (m_state == State::Testing)
        return;
    if (const QString refused = testRefusal(); !refused.isEmpty()) {
        Q_EMIT testFinished(false, refused);
        return;
    }
    m_callStartMs = m_clock->monotonicMs();
    setState(State::Testing);
    // May answer before it returns (a port that cannot be opened).
    m_dialogue->begin();
}

void SendEngine::cancelTest()
{
    if (m_state != State::Testing)
        return;
    m_dialogue->end();
    finishTest(false, tr("Test abgebrochen"));
}

void SendEngine::finishTest(bool ok, const QString &summary)
{
    settle();
    Q_EMIT testFinished(ok, summary);
}

void SendEngine::pause()
{
    setRunning(false);
}

void SendEngine::resume()
{
    if (!m_shutDown)
        setRunning(true);
}

void SendEngine::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    if (m_running)
        m_haltReason.clear();
    // A connection held open for more entries is ended at once.
    if (!m_running && m_state == State::Holding)
        endCall();
    // A call under way goes on; at rest the engine is paused or not at once.
    if (m_state == State::Idle || m_state == State::Waiting || m_state == State::Paused ||
        m_state == State::Holding)
        settle();
    // A test goes on; the status line tells the state it rests in.
    else if (m_state == State::Testing)
        publishStatus();
    Q_EMIT pausedChanged(!m_running);
}

QString SendEngine::verbindungAktiv() const
{
    switch (m_state) {
    case State::Dialling:
    case State::LoggingIn:
    case State::Submitting:
    case State::Logging:
        return QStringLiteral("Ja");
    case State::Idle:
    case State::Holding:
    case State::Waiting:
    case State::Paused:
    case State::Testing:
        break;
    }
    return QStringLiteral("Nein");
}

void SendEngine::shutDown()
{
    m_shutDown = true;
    m_timer1.stop();
    pause();
    endCall();
    if (m_state == State::Testing) {
        finishTest(false, tr("Test abgebrochen"));
        return;
    }
    // The call is over already; its message went out and is still logged.
    if (m_state == State::Logging)
        return;
    settle();
}

void SendEngine::verbinden()
{
    m_callStartMs = m_clock->monotonicMs();
    m_retryAtMs.reset();
    m_failure.clear();
    m_refusalCode.clear();
    m_refusalMeaning.clear();
    m_connectionAfterLog = false;
    m_entriesThisCall = 0;
    setState(State::Dialling);
    // May answer at once (a port that cannot be used): nothing follows here.
    m_dialogue->begin();
}

void SendEngine::onLoggingIn()
{
    if (m_state == State::Testing)
        Q_EMIT testStep(tr("Anmeldung bei der Zentrale..."));
    else if (m_state == State::Dialling)
        setState(State::LoggingIn);
}

void SendEngine::onReady()
{
    if (m_state == State::Testing) {
        m_dialogue->end();
        finishTest(true, tr("Verbindung steht: bereit zum Senden. Verbindung beendet, keine SMS "
                            "gesendet."));
        return;
    }
    if (!isSettingUp())
        return;
    // Fehlversuche goes on counting: a centre that takes the login and then
    // drops or refuses every submission must not be tried for ever unnoticed.
    if (!m_running) {
        // Paused: nothing is submitted, so the call is ended and counts as a
        // failed attempt.
        failAttempt(tr("Verbindung getrennt"));
        return;
    }
    submitNext();
}

void SendEngine::submitNext()
{
    if (m_running && m_queue->isEmpty() && m_dialogue->idleHoldMs() > 0) {
        // More entries may come soon; a new connection and login for each
        // would cost far more than holding this one.
        m_idleSinceMs = m_clock->monotonicMs();
        setState(State::Holding);
        return;
    }
    if (!m_running || m_queue->isEmpty()) {
        // The user deleted the entry while the call was set up, or paused
        // between two entries of one connection, or the queue is done:
        // nothing to send.
        endCall();
        settle();
        return;
    }
    ++m_entriesThisCall;
    m_submitted = *m_queue->head();
    m_submittedRest.clear();
    if (!m_dialogue->takesLongMessages()) {
        // Queued whole for a GSM modem, going to a message centre: one
        // frame must never carry more than one SMS.
        FirstPart first = splitFirstPart(m_submitted.nachricht);
        m_submitted.nachricht = std::move(first.part);
        m_submittedRest = std::move(first.rest);
    }
    m_markTicket = 0;
    setState(State::Submitting);
    if (!m_submitted.stored) {
        m_dialogue->submit(m_submitted);
        return;
    }
    m_markTicket = m_logWriter->markSubmitted(
        qint64(m_submitted.id), m_submittedRest.isNull() ? PendingMessage::Submitted::Whole
                                                         : PendingMessage::Submitted::FirstPart);
}

void SendEngine::onMarked(quint64 ticket, bool ok, const QString &error)
{
    // A call that failed or was ended meanwhile has not sent it.
    if (m_state != State::Submitting || ticket != m_markTicket)
        return;
    m_markTicket = 0;
    // Sent all the same: a journal that cannot be written costs only the
    // question after a crash, and holding the message back would cost more.
    if (!ok)
        qWarning("SendEngine: entry not marked as submitted: %s", qPrintable(error));
    m_dialogue->submit(m_submitted);
}

void SendEngine::onSubmitted(const CallDialogue::Result &result)
{
    if (m_state != State::Submitting || m_markTicket != 0)
        return;
    // The centre has answered. The entry leaves the queue only once its log
    // row is stored, and nothing else is submitted before that.
    if (!m_dialogue->severalPerCall())
        endCall();
    else
        m_connectionAfterLog = true;
    m_retryAtMs.reset();
    // The head entry is answered: its run of failed attempts is over.
    m_fehlversuche = 0;
    m_refusalCode = result.accepted ? QString() : result.errorCode;
    m_refusalMeaning = result.accepted ? QString() : result.meaning;
    QString versandt = u"OK"_s;
    if (!result.accepted)
        versandt = result.logText.isEmpty() ? u"NACK "_s + result.errorCode : result.logText;
    const QDateTime now = m_clock->now();
    m_logRow = LoggedCall{now.date(), now.time(), versandt};
    m_logFailureTold = false;
    setState(State::Logging);
    writeLogRow();
}

void SendEngine::onFailed(const QString &reason)
{
    // While the row is written or the connection is held open it is not in
    // use: its loss costs nothing, the next entry opens a new one.
    switch (m_state) {
    case State::Dialling:
    case State::LoggingIn:
    case State::Submitting:
        failAttempt(reason);
        return;
    case State::Testing:
        finishTest(false, reason);
        return;
    case State::Logging:
        m_connectionAfterLog = false;
        return;
    case State::Holding:
        settle();
        return;
    case State::Idle:
    case State::Waiting:
    case State::Paused:
        return;
    }
}

void SendEngine::onHalted(const QString &reason)
{
    unmarkRefusedSubmission();
    // A test learns why; sending halts all the same.
    if (m_state == State::Testing)
        finishTest(false, reason);
    m_haltReason = reason;
    // The next attempt is the one the user asks for by resuming, and it
    // comes at the next tick then.
    m_retryAtMs.reset();
    const bool wasRunning = std::exchange(m_running, false);
    endCall();
    // A row being written is stored first; the engine rests after that.
    if (m_state == State::Logging)
        publishStatus();
    else
        settle();
    // Last: whatever the receivers do (a box with a nested event loop) finds
    // the engine at rest.
    if (wasRunning)
        Q_EMIT pausedChanged(true);
    Q_EMIT halted(reason);
}

void SendEngine::useOpenConnection(qint64 now)
{
    if (!m_queue->isEmpty()) {
        submitNext();
        return;
    }
    if (now - m_idleSinceMs >= m_dialogue->idleHoldMs()) {
        endCall();
        settle();
    }
}

void SendEngine::writeLogRow()
{
    m_logWriteFailed = false;
    // The entry's stored copy goes in the same transaction as its log row.
    m_logTicket = m_logWriter->append(
        m_logRow.date, m_logRow.time, m_submitted.recipient, m_submitted.nachricht,
        m_logRow.versandt, m_submitted.stored ? qint64(m_submitted.id) : 0, m_submittedRest);
}

void SendEngine::onLogWritten(quint64 ticket, bool ok, const QString &error)
{
    if (m_state != State::Logging || ticket != m_logTicket)
        return;
    if (!ok) {
        // The message went out: it is never sent again, but it stays in the
        // queue and no other message is sent until its row is stored at a
        // later tick. A log that cannot be written for a while (locked by
        // another program, disk full) must lose neither this row nor those
        // of the messages behind it; the status line says what is wrong.
        if (!std::exchange(m_logFailureTold, true))
            qWarning("SendEngine: send log not written: %s", qPrintable(error));
        m_logWriteFailed = true;
        m_logError = error;
        publishStatus();
        return;
    }
    // By identity: an entry the user deleted meanwhile is logged all the
    // same, and no other entry is removed in its place.
    if (m_submittedRest.isNull())
        m_queue->removeLogged(m_submitted.id);
    else
        m_queue->keepRestLogged(m_submitted.id, m_submittedRest);
    m_logWriteFailed = false;
    Q_EMIT messageLogged();
    if (std::exchange(m_connectionAfterLog, false))
        submitNext();
    else
        settle();
}

void SendEngine::unmarkRefusedSubmission()
{
    // The entry stays queued after a refusal; marked, the next start would
    // ask whether it went out, though the centre said it did not.
    if (m_state == State::Submitting && m_markTicket == 0 && m_submitted.stored &&
        m_dialogue->submissionRefused())
        m_logWriter->markSubmitted(qint64(m_submitted.id), PendingMessage::Submitted::No);
}

void SendEngine::failAttempt(const QString &reason)
{
    unmarkRefusedSubmission();
    // Counted for the head entry until it is answered; another head entry
    // (the user deleted the one before) starts its own count.
    const std::optional<QueueEntry> head = m_queue->head();
    const quint64 headId = head ? head->id : 0;
    if (std::exchange(m_failingEntryId, headId) != headId)
        m_fehlversuche = 0;
    if (m_fehlversuche < std::numeric_limits<qint16>::max())
        ++m_fehlversuche;
    endCall();
    // A call that fails at once must not be repeated every five seconds:
    // the next attempt waits as long as one that ran into the time-out.
    m_retryAtMs = m_callStartMs + retryPaceMs;
    m_failure = reason;
    settle();
    // Last: the call is wound up, whatever the receiver does now (a box
    // with a nested event loop) finds the engine at rest. While sending is
    // paused no one waits for this call.
    if (m_running && m_fehlversuche > reportAfterFailures)
        Q_EMIT attemptsFailing(m_fehlversuche);
}

int SendEngine::secondsToNextAttempt() const
{
    // The attempt comes at the first tick at which the pace has run out;
    // ticks come every interval from the last one.
    const qint64 now = m_clock->monotonicMs();
    const qint64 interval = std::max(1, m_timer1.interval());
    const qint64 lastTick = m_lastTickMs.value_or(now);
    const qint64 due = std::max(m_retryAtMs.value_or(now), now + 1);
    const qint64 next = lastTick + (due - lastTick + interval - 1) / interval * interval;
    return int((next - now + 999) / 1000);
}

void SendEngine::endCall()
{
    m_connectionAfterLog = false;
    m_dialogue->end();
}

void SendEngine::setState(State state)
{
    if (state != m_state) {
        m_state = state;
        Q_EMIT stateChanged(state);
    }
    publishStatus();
}

void SendEngine::settle()
{
    setState(restingState());
}

SendEngine::State SendEngine::restingState() const
{
    if (!m_running)
        return State::Paused;
    if (m_retryAtMs && !m_queue->isEmpty())
        return State::Waiting;
    return State::Idle;
}

EngineStatus SendEngine::status() const
{
    EngineStatus status;
    const State told = state();
    status.state = told;
    status.missingSetting = m_missingSetting;
    status.refusalCode = m_refusalCode;
    status.refusalMeaning = m_refusalMeaning;
    const bool retryPending = m_retryAtMs && !m_queue->isEmpty();
    if (retryPending && (told == State::Waiting || told == State::Paused))
        status.failure = m_failure;
    if (told == State::Paused && !m_haltReason.isEmpty())
        status.failure = m_haltReason;
    if (told == State::Waiting)
        status.secondsToNextAttempt = secondsToNextAttempt();
    status.loggingIn = m_state == State::LoggingIn;
    status.connectionOpen = m_state == State::Holding;
    if (m_dialogue->isListening())
        status.listeningVia = m_dialogue->listeningVia();
    if ((m_state == State::Submitting || m_state == State::Logging) &&
        m_dialogue->severalPerCall()) {
        status.entryNumber = m_entriesThisCall;
        // The entry under way is still at the head of the queue.
        status.entryCount = m_entriesThisCall - 1 + std::max(1, int(m_queue->count()));
    }
    if (m_state == State::Logging && m_logWriteFailed) {
        status.logError = m_logError;
        status.secondsToLogRetry = (m_timer1.interval() + 999) / 1000;
    }
    return status;
}

void SendEngine::publishStatus()
{
    EngineStatus now = status();
    if (now == m_published)
        return;
    m_published = std::move(now);
    Q_EMIT statusChanged(m_published);
}
