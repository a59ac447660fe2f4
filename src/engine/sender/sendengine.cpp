#include "sendengine.h"

#include "clock.h"
#include "comport.h"
#include "prompter.h"
#include "sendlog.h"
#include "sendlogwriter.h"
#include "serialline.h"
#include "settings.h"
#include "ucp.h"

#include <QPointer>
#include <limits>
#include <utility>

namespace {

const QString statusWarten = QStringLiteral("Status: Warten...");
const QString statusVerbinden = QStringLiteral("Status: Verbindung wird hergestellt...");
const QString statusVersand = QStringLiteral("Status: SMS wird versandt...");
const QString statusNoProvider =
    QStringLiteral("Status: Keine Rufnummer des Service-Providers konfiguriert");
const QString captionStoppen = QStringLiteral("Versand stoppen");
const QString captionStarten = QStringLiteral("Versand starten");
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

SendEngine::SendEngine(OutgoingQueue *queue, SendLog *log, const Settings *settings,
                       SerialLine *line, Prompter *prompter, const Clock *clock, QString programDir,
                       QObject *parent)
    : QObject(parent), m_queue(queue), m_settings(settings), m_line(line), m_prompter(prompter),
      m_clock(clock), m_programDir(std::move(programDir)), m_statusText(statusWarten),
      m_startStopCaption(captionStoppen)
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
    if (m_callState == CallState::Logging && m_logWriteFailed) {
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
    // Writing the log row is not sending: it is retried while paused too.
    if (m_callState == CallState::Logging) {
        if (m_logWriteFailed)
            writeLogRow();
        return;
    }
    // A failed call is being wound up (its failure message may be open):
    // it must neither be counted twice nor be followed by a new dial yet.
    if (m_windingUp || !m_running)
        return;
    switch (m_callState) {
    case CallState::Idle:
        if (m_queue->isEmpty()) {
            // Nothing to send: no countdown, no missing number to complain of.
            if (m_retryAtMs || m_statusText == statusNoProvider)
                setStatusText(statusWarten);
            return;
        }
        // A call to no number is no attempt: nothing is opened or counted
        // until the settings name the centre.
        if (m_settings->providerNummer().isEmpty()) {
            setStatusText(statusNoProvider);
            return;
        }
        if (m_retryAtMs && now < *m_retryAtMs) {
            showFailureStatus();
            return;
        }
        verbinden();
        return;
    case CallState::Dialling:
        if (now - m_callStartMs > callTimeoutMs)
            failAttempt(failedDialTimeout);
        return;
    case CallState::Submitting:
        // The answer timer ends this state; a tick changes nothing.
        return;
    case CallState::Logging:
        return;
    }
}

QString SendEngine::versandStatus() const
{
    return m_running ? textStart : textStop;
}

void SendEngine::setVersandStatus(const QString &status)
{
    const bool running = status == textStart;
    if (running == m_running)
        return;
    m_running = running;
    // A countdown does not run while paused, and runs again on resuming.
    if (m_callState == CallState::Idle && m_retryAtMs && !m_queue->isEmpty())
        showFailureStatus();
    Q_EMIT stateChanged();
}

QString SendEngine::verbindungAktiv() const
{
    return m_callState == CallState::Idle ? QStringLiteral("Nein") : QStringLiteral("Ja");
}

void SendEngine::toggleSending()
{
    // The caption, not the state, decides: the quit question may have
    // paused sending for a moment without touching the button.
    if (m_startStopCaption == captionStarten) {
        m_prompter->message(u"Information! Der Nachrichtenversand wurde wieder aktiviert."_qs,
                            Prompter::Buttons::Ok, Prompter::Icon::Information);
        setVersandStatus(textStart);
        setStartStopCaption(captionStoppen);
        return;
    }
    const Prompter::Answer answer =
        m_prompter->message(u"Achtung! Sie sind dabei den Versand aller Nachrichten anzuhalten. "
                            u"Wollen Sie das wirklich?"_qs,
                            Prompter::Buttons::YesNo, Prompter::Icon::None);
    if (answer != Prompter::Answer::Yes)
        return;
    setVersandStatus(textStop);
    setStartStopCaption(captionStarten);
}

void SendEngine::closePort()
{
    m_line->close();
    // The call is over already; its message went out and is still logged.
    if (m_callState == CallState::Logging)
        return;
    m_answerTimer.stop();
    setCallState(CallState::Idle);
}

QString SendEngine::failureMessageText()
{
    return u"Die SMS konnte trotz mehrerer Versuche nicht versandt werden. Bitte überprüfen Sie "
           u"die Einstellungen über die Schaltfläche \"SMS-Versand konfigurieren\"."_qs;
}

void SendEngine::verbinden()
{
    setStatusText(statusVerbinden);
    m_callStartMs = m_clock->monotonicMs();
    m_retryAtMs.reset();
    m_failure.clear();
    m_modemLines.clear();
    m_answerBuffer.clear();
    setCallState(CallState::Dialling);
    m_line->close();

    // A port that cannot be used is a failed attempt like a dial that the
    // modem gives up, retried at the same pace.
    const int port = m_settings->comPort();
    const QString device = serialDeviceForComPort(port, m_programDir);
    if (device.isEmpty()) {
        // The value as the user stored it: 40000 or "COM1" read as port 0,
        // and naming COM0 would point at the wrong thing.
        const QString stored = m_settings->comPortText();
        const bool storedFits = !stored.isEmpty() && Settings::toComPort(stored) == port;
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
        m_settings->initialisierungsBefehl() + u' ' + m_settings->providerNummer() + u'\r';
    m_line->write(dialLine.toLatin1());
}

void SendEngine::onReadyRead()
{
    const QByteArray bytes = m_line->readAll();
    // The call is decided already; what still comes in does not change that.
    if (m_windingUp)
        return;
    switch (m_callState) {
    case CallState::Idle:
    case CallState::Logging: // hung up already
        return;
    case CallState::Dialling:
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
    case CallState::Submitting:
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
    if (m_windingUp)
        return;
    if (on && m_callState == CallState::Dialling)
        connectionStands();
    else if (!on && m_callState == CallState::Submitting)
        failAttempt(failedCarrierLost);
}

void SendEngine::onLineBroken()
{
    if (m_windingUp)
        return;
    switch (m_callState) {
    case CallState::Idle:
    case CallState::Logging:
        return;
    case CallState::Dialling:
    case CallState::Submitting:
        failAttempt(failedLineBroken);
        return;
    }
}

void SendEngine::connectionStands()
{
    resetFehlversuche();
    if (!m_running) {
        // Paused: nothing is submitted, so the call is hung up and counts as
        // a failed attempt.
        failAttempt(failedHungUpPaused);
        return;
    }
    if (m_queue->isEmpty()) {
        // The user deleted the entry while the modem dialled: nothing to send.
        endCall();
        setStatusText(statusWarten);
        return;
    }
    submit(*m_queue->head());
}

void SendEngine::submit(const QueueEntry &entry)
{
    setStatusText(statusVersand);
    // The modem's CONNECT line and anything else from before the frame.
    m_line->clearInput();
    m_modemLines.clear();
    m_answerBuffer.clear();
    m_submitted = entry;
    setCallState(CallState::Submitting);
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
            finishSubmission(u"OK"_qs, statusWarten);
            return;
        }
        if (reply.errorCode == checksumError) {
            failAttempt(failedChecksum);
            return;
        }
        // Refused for good: keeping the entry would block every message
        // behind it, so it is logged with the refusal and removed.
        finishSubmission(u"NACK "_qs + reply.errorCode, u"Status: SMS abgelehnt ("_qs +
                                                            reply.errorCode + u": "_qs +
                                                            ucpNackText(reply.errorCode) + u')');
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

void SendEngine::finishSubmission(const QString &versandt, const QString &status)
{
    // The centre has answered: hang up now. The entry leaves the queue only
    // once its log row is stored, and no new dial starts before that.
    m_answerTimer.stop();
    m_line->close();
    m_retryAtMs.reset();
    const QDateTime now = m_clock->now();
    m_logRow = LoggedCall{now.date(), now.time(), versandt, status};
    m_logFailureTold = false;
    setCallState(CallState::Logging);
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
    if (m_callState != CallState::Logging || ticket != m_logTicket)
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
        setStatusText(u"Status: Eintrag ins Versand-Archiv fehlgeschlagen ("_qs + error +
                      u") – neuer Versuch in "_qs +
                      QString::number((m_timer1.interval() + 999) / 1000) + u" s"_qs);
        return;
    }
    // By identity: an entry the user deleted meanwhile is logged all the
    // same, and no other entry is removed in its place.
    m_queue->removeById(m_submitted.id);
    setStatusText(m_logRow.status);
    Q_EMIT messageLogged();
    setCallState(CallState::Idle);
}

void SendEngine::onAnswerTimeout()
{
    if (m_callState == CallState::Submitting && !m_windingUp)
        failAttempt(failedNoAnswer);
}

void SendEngine::failAttempt(const QString &reason)
{
    if (m_windingUp)
        return;
    m_windingUp = true;
    m_answerTimer.stop();
    // While sending is paused no one waits for this call: it is counted and
    // shown on the status line only.
    if (m_running && m_fehlversuche >= reportAfterFailures) {
        // The box runs a nested event loop: ticks and line events can arrive
        // while it is open. m_windingUp makes them leave this call alone.
        const QPointer<SendEngine> alive(this);
        m_prompter->message(failureMessageText(), Prompter::Buttons::Ok, Prompter::Icon::None);
        if (!alive)
            return;
    }
    m_windingUp = false;
    // closePort() while the box was open has dropped the call already.
    if (m_callState == CallState::Idle)
        return;
    if (m_fehlversuche < std::numeric_limits<qint16>::max())
        ++m_fehlversuche;
    endCall();
    // A modem that gives up at once must not be dialled every five seconds:
    // the next attempt waits as long as one that ran into the time-out.
    m_retryAtMs = m_callStartMs + retryPaceMs;
    m_failure = reason;
    showFailureStatus();
    Q_EMIT stateChanged();
}

void SendEngine::showFailureStatus()
{
    setStatusText(
        u"Status: "_qs + m_failure + u" – "_qs +
        (m_running ? u"nächster Versuch in "_qs + QString::number(secondsToNextAttempt()) + u" s"_qs
                   : u"Versand angehalten"_qs));
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
    setCallState(CallState::Idle);
    m_line->close();
}

void SendEngine::setCallState(CallState state)
{
    if (state == m_callState)
        return;
    m_callState = state;
    Q_EMIT stateChanged();
}

void SendEngine::setStatusText(const QString &text)
{
    if (text == m_statusText)
        return;
    m_statusText = text;
    Q_EMIT statusTextChanged(text);
}

void SendEngine::setStartStopCaption(const QString &caption)
{
    if (caption == m_startStopCaption)
        return;
    m_startStopCaption = caption;
    Q_EMIT startStopCaptionChanged(caption);
}

void SendEngine::resetFehlversuche()
{
    if (m_fehlversuche == 0)
        return;
    m_fehlversuche = 0;
    Q_EMIT stateChanged();
}
