#include "sendengine.h"

#include "clock.h"
#include "messagetext.h"
#include "sendlog.h"
#include "sendlogwriter.h"

#include <algorithm>
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
    for (const InFlight &flight : std::as_const(m_inFlight)) {
        if (flight.logWriteFailed)
            qWarning("SendEngine: send log row lost: %s %s %s", qPrintable(flight.entry.recipient),
                     qPrintable(flight.entry.nachricht), qPrintable(flight.versandt));
    }
}

void SendEngine::setNumberKey(std::function<QString(const QString &)> numberKey)
{
    m_numberKey = std::move(numberKey);
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
    case State::Submitting:
        // Writing the log row is not sending: it is retried while paused too.
        retryFailedLogRows();
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

bool SendEngine::isInFlight(quint64 entryId) const
{
    return std::any_of(m_inFlight.cbegin(), m_inFlight.cend(),
                       [entryId](const InFlight &flight) { return flight.entry.id == entryId; });
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
    // The entries not answered stay queued; those answered went out and are
    // still logged, the engine rests after that.
    dropUnanswered();
    afterChange();
}

void SendEngine::verbinden()
{
    m_callStartMs = m_clock->monotonicMs();
    m_retryAtMs.reset();
    m_failure.clear();
    m_refusalCode.clear();
    m_refusalMeaning.clear();
    m_entriesThisCall = 0;
    m_connectionOpen = false;
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
    m_connectionOpen = true;
    submitNext();
}

void SendEngine::submitNext()
{
    handOverMarked();
    while (const std::optional<QueueEntry> next = nextToSubmit())
        submitEntry(*next);
    afterChange();
}

std::optional<QueueEntry> SendEngine::nextToSubmit() const
{
    if (!m_running || !m_connectionOpen || isLogWriteFailing())
        return std::nullopt;
    const int window = std::max(1, m_dialogue->window());
    // Marks are stored ahead of the window, at most two windows' worth: a
    // mark asked for while a commit runs waits for it and then for its own,
    // and the window must not run dry meanwhile. After a crash those few
    // are asked about rather than lost.
    // A call that carries one entry takes no other until it ends.
    const int waiting = waitingForWindowCount();
    if (m_dialogue->severalPerCall() ? waiting >= 2 * window
                                     : waiting + unansweredCount() >= window)
        return std::nullopt;
    // The rest of an entry that goes in parts follows its first part, so
    // nothing else goes before that part is logged.
    if (std::any_of(m_inFlight.cbegin(), m_inFlight.cend(),
                    [](const InFlight &flight) { return !flight.rest.isNull(); }))
        return std::nullopt;
    for (int i = 0; i < m_queue->count(); ++i) {
        const QueueEntry &entry = m_queue->at(i);
        if (std::any_of(m_inFlight.cbegin(), m_inFlight.cend(),
                        [&](const InFlight &flight) { return flight.entry.id == entry.id; }))
            continue;
        // One that needs no mark goes straight out, behind the marked ones
        // and only into room in the window.
        if (!entry.stored && (waiting > 0 || unansweredCount() >= window))
            return std::nullopt;
        return entry;
    }
    return std::nullopt;
}

void SendEngine::submitEntry(const QueueEntry &entry)
{
    ++m_entriesThisCall;
    InFlight flight;
    flight.entry = entry;
    if (!m_dialogue->takesLongMessages()) {
        // Queued whole for a GSM modem, going to a message centre: one
        // frame must never carry more than one SMS.
        FirstPart first = splitFirstPart(flight.entry.nachricht);
        flight.entry.nachricht = std::move(first.part);
        flight.rest = std::move(first.rest);
    }
    if (flight.entry.stored) {
        flight.markTicket = m_logWriter->markSubmitted(
            qint64(flight.entry.id), flight.rest.isNull() ? PendingMessage::Submitted::Whole
                                                          : PendingMessage::Submitted::FirstPart);
        m_inFlight.append(std::move(flight));
        return;
    }
    flight.handedOver = true;
    m_inFlight.append(flight);
    setState(State::Submitting);
    // May answer before it returns.
    m_dialogue->submit(flight.entry);
}

int SendEngine::unansweredCount() const
{
    return int(std::count_if(m_inFlight.cbegin(), m_inFlight.cend(), [](const InFlight &flight) {
        return flight.handedOver && !flight.answered;
    }));
}

int SendEngine::waitingForWindowCount() const
{
    return int(std::count_if(m_inFlight.cbegin(), m_inFlight.cend(),
                             [](const InFlight &flight) { return !flight.handedOver; }));
}

void SendEngine::handOverMarked()
{
    // Nothing more goes out while a log row cannot be stored.
    if (!m_connectionOpen || isLogWriteFailing())
        return;
    // In queue order: the marks are stored in the order they were asked for.
    while (unansweredCount() < std::max(1, m_dialogue->window())) {
        const auto flight = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                                         [](const InFlight &f) { return !f.handedOver; });
        if (flight == m_inFlight.end() || !flight->marked)
            return;
        flight->handedOver = true;
        const QueueEntry entry = flight->entry;
        setState(State::Submitting);
        // May answer before it returns, which hands over the next.
        m_dialogue->submit(entry);
    }
}

bool SendEngine::isLogWriteFailing() const
{
    return std::any_of(m_inFlight.cbegin(), m_inFlight.cend(),
                       [](const InFlight &flight) { return flight.logHeld; });
}

void SendEngine::afterChange()
{
    if (m_state == State::Testing)
        return;
    if (unansweredCount() > 0 || (waitingForWindowCount() > 0 && !isLogWriteFailing())) {
        setState(State::Submitting);
        return;
    }
    if (!m_inFlight.isEmpty()) {
        // Only log rows are being written.
        setState(State::Logging);
        return;
    }
    if (!m_connectionOpen) {
        settle();
        return;
    }
    if (m_running && m_queue->isEmpty() && m_dialogue->idleHoldMs() > 0) {
        // More entries may come soon; a new connection and login for each
        // would cost far more than holding this one.
        m_idleSinceMs = m_clock->monotonicMs();
        setState(State::Holding);
        return;
    }
    // The user deleted the entry while the call was set up, or paused
    // between two entries of one connection, or the queue is done: nothing
    // to send.
    endCall();
    settle();
}

void SendEngine::onMarked(quint64 ticket, bool ok, const QString &error)
{
    // A call that failed or was ended meanwhile has not sent it.
    const auto flight = std::find_if(m_inFlight.begin(), m_inFlight.end(), [&](const auto &f) {
        return f.markTicket == ticket && !f.handedOver;
    });
    if (ticket == 0 || flight == m_inFlight.end())
        return;
    flight->markTicket = 0;
    flight->marked = true;
    // Sent all the same: a journal that cannot be written costs only the
    // question after a crash, and holding the message back would cost more.
    if (!ok)
        qWarning("SendEngine: entry not marked as submitted: %s", qPrintable(error));
    // Hands it over when the window has room and asks for the next mark.
    submitNext();
}

void SendEngine::onSubmitted(const CallDialogue::Result &result)
{
    // The entry it names, or the oldest one waiting for its answer.
    const auto flight = std::find_if(m_inFlight.begin(), m_inFlight.end(), [&](const auto &f) {
        return f.handedOver && !f.answered && (result.entryId == 0 || f.entry.id == result.entryId);
    });
    if (flight == m_inFlight.end())
        return;
    // The centre has answered. The entry leaves the queue only once its log
    // row is stored; meanwhile the next one goes out on a connection that
    // carries several.
    if (!m_dialogue->severalPerCall())
        endCall();
    m_retryAtMs.reset();
    // An entry is answered: the run of failed attempts is over.
    m_fehlversuche = 0;
    m_refusalCode = result.accepted ? QString() : result.errorCode;
    m_refusalMeaning = result.accepted ? QString() : result.meaning;
    QString versandt = u"OK"_s;
    if (!result.accepted)
        versandt = result.logText.isEmpty() ? u"NACK "_s + result.errorCode : result.logText;
    const QDateTime now = m_clock->now();
    flight->answered = true;
    flight->date = now.date();
    flight->time = now.time();
    flight->versandt = versandt;
    flight->reports = result.reports;
    if (m_numberKey) {
        for (ExpectedReport &report : flight->reports)
            report.recipientKey = m_numberKey(report.recipientKey);
    }
    writeLogRow(*flight);
    submitNext();
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
        m_connectionOpen = false;
        return;
    case State::Holding:
        m_connectionOpen = false;
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
    dropUnanswered();
    // A test learns why; sending halts all the same.
    if (m_state == State::Testing)
        finishTest(false, reason);
    m_haltReason = reason;
    // The next attempt is the one the user asks for by resuming, and it
    // comes at the next tick then.
    m_retryAtMs.reset();
    const bool wasRunning = std::exchange(m_running, false);
    endCall();
    // Rows being written are stored first; the engine rests after that.
    if (m_state != State::Testing)
        afterChange();
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

void SendEngine::writeLogRow(InFlight &flight)
{
    flight.logWriteFailed = false;
    // The entry's stored copy goes in the same transaction as its log row.
    flight.logTicket = m_logWriter->append(
        flight.date, flight.time, flight.entry.recipient, flight.entry.nachricht, flight.versandt,
        flight.entry.stored ? qint64(flight.entry.id) : 0, flight.rest, flight.reports);
}

void SendEngine::retryFailedLogRows()
{
    for (InFlight &flight : m_inFlight) {
        if (flight.logWriteFailed)
            writeLogRow(flight);
    }
}

void SendEngine::onLogWritten(quint64 ticket, bool ok, const QString &error)
{
    const auto flight = std::find_if(m_inFlight.begin(), m_inFlight.end(), [&](const auto &f) {
        return f.answered && !f.logWriteFailed && f.logTicket == ticket;
    });
    if (ticket == 0 || flight == m_inFlight.end())
        return;
    if (!ok) {
        // The message went out: it is never sent again, but it stays in the
        // queue and no other message is sent until its row is stored at a
        // later tick. A log that cannot be written for a while (locked by
        // another program, disk full) must lose neither this row nor those
        // of the messages behind it; the status line says what is wrong.
        if (!std::exchange(flight->logFailureTold, true))
            qWarning("SendEngine: send log not written: %s", qPrintable(error));
        flight->logWriteFailed = true;
        flight->logHeld = true;
        m_logError = error;
        publishStatus();
        return;
    }
    const InFlight logged = *flight;
    m_inFlight.erase(flight);
    // By identity: an entry the user deleted meanwhile is logged all the
    // same, and no other entry is removed in its place.
    if (logged.rest.isNull())
        m_queue->removeLogged(logged.entry.id);
    else
        m_queue->keepRestLogged(logged.entry.id, logged.rest);
    Q_EMIT messageLogged(logged.entry.id, logged.versandt, logged.rest.isNull());
    submitNext();
}

void SendEngine::dropUnanswered()
{
    // The entries stay queued. Marked, the next start would ask whether
    // they went out: true only of those handed over that the centre did not
    // refuse.
    const bool refused = m_dialogue->submissionRefused();
    for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
        if (it->answered) {
            ++it;
            continue;
        }
        if (it->entry.stored && (!it->handedOver || refused))
            m_logWriter->markSubmitted(qint64(it->entry.id), PendingMessage::Submitted::No);
        it = m_inFlight.erase(it);
    }
}

void SendEngine::failAttempt(const QString &reason)
{
    dropUnanswered();
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
    // Rows being written are stored first; the engine rests after that.
    afterChange();
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
    m_connectionOpen = false;
    m_dialogue->end();
    // Marked ahead and not sent: back to unmarked, for the next call.
    for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
        if (it->handedOver) {
            ++it;
            continue;
        }
        if (it->entry.stored)
            m_logWriter->markSubmitted(qint64(it->entry.id), PendingMessage::Submitted::No);
        it = m_inFlight.erase(it);
    }
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
        // The entries in flight are still in the queue, unless the user
        // deleted them meanwhile.
        const int inFlight = int(m_inFlight.size());
        status.entryCount =
            m_entriesThisCall - inFlight + std::max(inFlight, int(m_queue->count()));
    }
    if ((m_state == State::Logging || m_state == State::Submitting) && isLogWriteFailing()) {
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
