#include "sendengine.h"

#include "clock.h"
#include "comport.h"
#include "sendlog.h"
#include "sendlogwriter.h"
#include "serialline.h"
#include "settingscache.h"
#include "ucp.h"

#include <limits>
#include <utility>

namespace {

const QString textStart = QStringLiteral("Start");
const QString textStop = QStringLiteral("Stop");

// Our frames always carry transaction number 01; an answer with another one
// is not the answer to our frame.
constexpr QStringView ownTrn = u"01";
// A checksum complaint: the frame was garbled on the line, sending it again
// may well work.
constexpr QStringView checksumError = u"01";

// How each kind of failed attempt is named on the status line.
QString modemFailureText(ModemResult result)
{
    switch (result) {
    case ModemResult::Busy:
        return u"Besetzt"_qs;
    case ModemResult::NoCarrier:
        return u"Keine Verbindung"_qs;
    case ModemResult::NoDialtone:
        return u"Kein Wählton"_qs;
    case ModemResult::NoAnswer:
        return u"Keine Antwort"_qs;
    case ModemResult::Error:
        return u"Modemfehler"_qs;
    case ModemResult::Other:
    case ModemResult::Connect:
        break;
    }
    return {};
}
const QString failedDialTimeout = QStringLiteral("Keine Verbindung innerhalb von 40 s");
const QString failedHungUpPaused = QStringLiteral("Verbindung getrennt");
const QString failedLineBroken = QStringLiteral("Leitung unterbrochen");
const QString failedCarrierLost = QStringLiteral("Verbindung abgebrochen");
const QString failedNoAnswer = QStringLiteral("Keine Antwort der Zentrale");
const QString failedChecksum = QStringLiteral("Prüfsummenfehler");

} // namespace

SendEngine::SendEngine(OutgoingQueue *queue, SendLog *log, const SettingsCache *settings,
                       SerialLine *line, const Clock *clock, QString programDir, QObject *parent)
    : QObject(parent), m_queue(queue), m_settings(settings), m_line(line), m_clock(clock),
      m_programDir(std::move(programDir))
{
    m_timer1.setObjectName(u"Timer1"_qs);
    m_timer1.setInterval(tickIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &SendEngine::tick);

    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(defaultAnswerTimeoutMs);
    connect(&m_answerTimer, &QTimer::timeout, this, &SendEngine::onAnswerTimeout);

    connect(m_line, &SerialLine::readyRead, this, &SendEngine::onReadyRead);
    connect(m_line, &SerialLine::carrierDetectChanged, this, &SendEngine::onCarrierDetect);
    connect(m_line, &SerialLine::closedByError, this, &SendEngine::onLineBroken);

    m_logWriter = new SendLogWriter(log->databasePath(), this);
    connect(m_logWriter, &SendLogWriter::written, this, &SendEngine::onLogWritten);
}

SendEngine::~SendEngine()
{
    // A row still being written is finished by the writer as it goes; one
    // whose writing failed would vanish without a word.
    if (m_state == State::Logging && m_logWriteFailed) {
        qWarning("SendEngine: send log row lost: %s %s %s", qPrintable(m_submitted.natelNummer),
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
        // While paused the time-out waits: the call is ended by the first
        // tick after resuming that finds it too old.
        if (m_running && now - m_callStartMs > callTimeoutMs)
            failAttempt(failedDialTimeout);
        return;
    case State::Submitting: // the answer timer ends this state
    case State::Paused:
        return;
    case State::Idle:
    case State::Waiting:
        break;
    }
    // A call to no number is no attempt: nothing is opened or counted until
    // the settings name the centre. With nothing to send nothing is missing.
    m_noProviderNumber = !m_queue->isEmpty() && m_settings->providerNummer.isEmpty();
    if (!m_queue->isEmpty() && !m_noProviderNumber && (!m_retryAtMs || now >= *m_retryAtMs)) {
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
    // A call under way goes on; at rest the engine is paused or not at once.
    if (m_state == State::Idle || m_state == State::Waiting || m_state == State::Paused)
        settle();
    Q_EMIT pausedChanged(!m_running);
}

QString SendEngine::verbindungAktiv() const
{
    switch (m_state) {
    case State::Dialling:
    case State::Submitting:
    case State::Logging:
        return QStringLiteral("Ja");
    case State::Idle:
    case State::Waiting:
    case State::Paused:
        break;
    }
    return QStringLiteral("Nein");
}

void SendEngine::shutDown()
{
    m_shutDown = true;
    m_timer1.stop();
    pause();
    m_line->close();
    // The call is over already; its message went out and is still logged.
    if (m_state == State::Logging)
        return;
    m_answerTimer.stop();
    settle();
}

void SendEngine::verbinden()
{
    m_callStartMs = m_clock->monotonicMs();
    m_retryAtMs.reset();
    m_failure.clear();
    m_refusalCode.clear();
    m_modemLines.clear();
    m_answerBuffer.clear();
    setState(State::Dialling);
    m_line->close();

    // A port that cannot be used is a failed attempt like a dial that the
    // modem gives up, retried at the same pace.
    const int port = m_settings->comPort;
    const QString device = serialDeviceForComPort(port, m_programDir);
    if (device.isEmpty()) {
        // The value as the user stored it: 40000 or "COM1" read as port 0,
        // and naming COM0 would point at the wrong thing.
        const QString &stored = m_settings->comPortText;
        const bool storedFits = !stored.isEmpty() && SettingsCache::toComPort(stored) == port;
        failAttempt(u"Com-Port "_qs + (storedFits ? stored : QString::number(port)) +
                    u" bezeichnet keine Schnittstelle (gültig sind die Nummern 1 bis 32767)"_qs);
        return;
    }
    QString error;
    if (!m_line->open(device, &error)) {
        QString name = comPortName(port);
        if (device != name)
            name += u" ("_qs + device + u')';
        failAttempt(name + u" lässt sich nicht öffnen: "_qs + error);
        return;
    }
    // Modem command, one blank, the provider's digits, CR. A modem aborts the
    // dial on any further byte, so nothing else is written until CONNECT.
    const QString dialLine =
        m_settings->initialisierungsBefehl + u' ' + m_settings->providerNummer + u'\r';
    m_line->write(dialLine.toLatin1());
}

void SendEngine::onReadyRead()
{
    const QByteArray bytes = m_line->readAll();
    switch (m_state) {
    case State::Idle:
    case State::Waiting:
    case State::Paused:
    case State::Logging: // hung up already
        return;
    case State::Dialling:
        for (const QByteArray &line : m_modemLines.feed(bytes)) {
            const ModemResult result = classifyModemLine(line);
            if (result != ModemResult::Other) {
                // Anything after the result is modem chatter that the
                // submission discards anyway.
                handleDiallingLine(result);
                return;
            }
        }
        return;
    case State::Submitting:
        handleAnswerBytes(bytes);
        return;
    }
}

void SendEngine::handleDiallingLine(ModemResult result)
{
    if (result == ModemResult::Connect)
        connectionStands();
    else
        failAttempt(modemFailureText(result));
}

void SendEngine::onCarrierDetect(bool on)
{
    if (on && m_state == State::Dialling)
        connectionStands();
    else if (!on && m_state == State::Submitting)
        failAttempt(failedCarrierLost);
}

void SendEngine::onLineBroken()
{
    switch (m_state) {
    case State::Idle:
    case State::Waiting:
    case State::Paused:
    case State::Logging:
        return;
    case State::Dialling:
    case State::Submitting:
        failAttempt(failedLineBroken);
        return;
    }
}

void SendEngine::connectionStands()
{
    m_fehlversuche = 0;
    if (!m_running) {
        // Paused: nothing is submitted, so the call is hung up and counts as
        // a failed attempt.
        failAttempt(failedHungUpPaused);
        return;
    }
    if (m_queue->isEmpty()) {
        // The user deleted the entry while the modem dialled: nothing to send.
        endCall();
        settle();
        return;
    }
    submit(*m_queue->head());
}

void SendEngine::submit(const QueueEntry &entry)
{
    // The modem's CONNECT line and anything else from before the frame.
    m_line->clearInput();
    m_modemLines.clear();
    m_answerBuffer.clear();
    m_submitted = entry;
    setState(State::Submitting);
    m_answerTimer.start();
    m_line->write(
        ucpFrameBytes(SMSSendString(entry.natelNummer, entry.nachricht, entry.rueckrufNummer)));
}

void SendEngine::handleAnswerBytes(const QByteArray &bytes)
{
    m_answerBuffer.append(bytes);
    while (const std::optional<QByteArray> frame = takeUcpFrame(m_answerBuffer)) {
        const UcpReply reply = parseUcpReply(*frame);
        // Line noise or a stray frame: keep waiting for a valid answer until
        // the answer timer runs out.
        if (reply.kind == UcpReply::Kind::Invalid || reply.trn != ownTrn)
            continue;
        if (reply.kind == UcpReply::Kind::Ack) {
            finishSubmission(u"OK"_qs);
            return;
        }
        if (reply.errorCode == checksumError) {
            failAttempt(failedChecksum);
            return;
        }
        // Refused for good: keeping the entry would block every message
        // behind it, so it is logged with the refusal and removed.
        finishSubmission(u"NACK "_qs + reply.errorCode, reply.errorCode);
        return;
    }
    // The modem reports the loss of the carrier once it is back in command
    // mode.
    for (const QByteArray &line : m_modemLines.feed(bytes)) {
        if (line.trimmed() == "NO CARRIER") {
            failAttempt(failedCarrierLost);
            return;
        }
    }
}

void SendEngine::finishSubmission(const QString &versandt, const QString &refusalCode)
{
    // The centre has answered: hang up now. The entry leaves the queue only
    // once its log row is stored, and no new dial starts before that.
    m_answerTimer.stop();
    m_line->close();
    m_retryAtMs.reset();
    const QDateTime now = m_clock->now();
    m_logRow = LoggedCall{now.date(), now.time(), versandt};
    m_refusalCode = refusalCode;
    m_logFailureTold = false;
    setState(State::Logging);
    writeLogRow();
}

void SendEngine::writeLogRow()
{
    m_logWriteFailed = false;
    m_logTicket = m_logWriter->append(m_logRow.datum, m_logRow.zeit, m_submitted.natelNummer,
                                      m_submitted.nachricht, m_logRow.versandt);
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
    m_queue->removeById(m_submitted.id);
    m_logWriteFailed = false;
    Q_EMIT messageLogged();
    settle();
}

void SendEngine::onAnswerTimeout()
{
    if (m_state == State::Submitting)
        failAttempt(failedNoAnswer);
}

void SendEngine::failAttempt(const QString &reason)
{
    if (m_fehlversuche < std::numeric_limits<qint16>::max())
        ++m_fehlversuche;
    endCall();
    // A modem that gives up at once must not be dialled every five seconds:
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
    m_answerTimer.stop();
    m_line->close();
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
    if (!m_running)
        setState(State::Paused);
    else if (m_retryAtMs && !m_queue->isEmpty())
        setState(State::Waiting);
    else
        setState(State::Idle);
}

EngineStatus SendEngine::status() const
{
    EngineStatus status;
    status.state = m_state;
    status.noProviderNumber = m_noProviderNumber;
    status.refusalCode = m_refusalCode;
    const bool retryPending = m_retryAtMs && !m_queue->isEmpty();
    if (retryPending && (m_state == State::Waiting || m_state == State::Paused))
        status.failure = m_failure;
    if (m_state == State::Waiting)
        status.secondsToNextAttempt = secondsToNextAttempt();
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
