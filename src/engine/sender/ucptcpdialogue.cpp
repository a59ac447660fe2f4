#include "ucptcpdialogue.h"

#include "connectionkinds.h"
#include "recordingline.h"
#include "socketfailure.h"

#include "ucpmessaging.h"
#include "ucpsession.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The TRN before 01: the login's, so that the submissions of a connection
// are numbered from 01 on as over a modem call.
UcpTrn loginTrn()
{
    UcpTrn trn;
    for (int i = 0; i < 99; ++i)
        trn = trn.next();
    return trn;
}

// The frame (TRN through checksum) with another TRN, sealed anew.
QString withTrn(const QString &frame, UcpTrn trn)
{
    QString body = trn.text() + frame.sliced(2, frame.size() - 4);
    body.append(Chksum(body, u'3'));
    return body;
}

constexpr int maxPaceFactor = 10;

} // namespace

UcpTcpDialogue::UcpTcpDialogue(std::function<UcpTcpAccount()> account, QObject *parent)
    : CallDialogue(parent), m_account(std::move(account))
{
    m_since.start();
    m_answerTimer.setSingleShot(true);
    connect(&m_answerTimer, &QTimer::timeout, this, &UcpTcpDialogue::onAnswerTimeout);
    m_keepAlive.setInterval(defaultKeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, &UcpTcpDialogue::onKeepAlive);
    m_reconnect.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, [this] {
        if (m_listening && m_phase == Phase::Closed)
            openSession();
    });

    connect(&m_socket, &QTcpSocket::connected, this, &UcpTcpDialogue::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &UcpTcpDialogue::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &UcpTcpDialogue::onSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &UcpTcpDialogue::onDisconnected);
}

UcpTcpDialogue::~UcpTcpDialogue()
{
    // The socket goes last of the members and says "disconnected" as it
    // goes; by then the timer it would stop is gone. Nobody listens any more.
    m_socket.disconnect(this);
    m_socket.abort();
}

QString UcpTcpDialogue::missingSetting() const
{
    const UcpTcpAccount account = m_account();
    for (const auto &[field, value] :
         {std::pair{SettingField::Server, account.host},
          std::pair{SettingField::TcpPort, QString::number(account.port)}}) {
        if (QString missing = ConnectionKinds::rule(field).missing(value); !missing.isEmpty())
            return missing;
    }
    // Without an account there is no login, and the password is not sent.
    if (account.account.isEmpty())
        return {};
    return ConnectionKinds::rule(SettingField::Password).missing(account.password);
}

int UcpTcpDialogue::window() const
{
    return m_window;
}

void UcpTcpDialogue::setReconnectPaceMs(int firstMs)
{
    m_firstPaceMs = firstMs;
    m_paceMs = firstMs;
}

void UcpTcpDialogue::begin()
{
    m_inCall = true;
    m_window = std::clamp(m_account().window, 1, maxUcpWindow);
    switch (m_phase) {
    case Phase::Open:
        // Kept open for listening: the call can start at once.
        Q_EMIT ready();
        return;
    case Phase::LoggingIn:
        Q_EMIT loggingIn();
        return;
    case Phase::Connecting:
        return;
    case Phase::Closed:
        break;
    }
    m_reconnect.stop();
    openSession();
}

void UcpTcpDialogue::openSession()
{
    closeSession();
    m_current = m_account();
    m_trn = loginTrn();
    m_phase = Phase::Connecting;
    Q_EMIT traced(tr("Verbinde mit %1:%2").arg(m_current.host.trimmed()).arg(m_current.port));
    // Asynchronous: connected() or errorOccurred() follows.
    m_socket.connectToHost(m_current.host.trimmed(), m_current.port);
}

void UcpTcpDialogue::closeSession()
{
    m_phase = Phase::Closed;
    m_answerTimer.stop();
    m_keepAlive.stop();
    // What the centre still sends is of no use any more; abort() drops the
    // connection at once instead of waiting for the peer.
    m_socket.abort();
    m_buffer.clear();
    m_unanswered.clear();
    m_waiting.clear();
    m_entries.clear();
}

void UcpTcpDialogue::submit(const QueueEntry &entry)
{
    if (m_phase != Phase::Open || !m_inCall)
        return;
    setSubmissionRefused(false);
    UcpSubmission submission;
    submission.recipient = entry.recipient;
    submission.sender =
        m_current.sender.trimmed().isEmpty() ? m_current.account : m_current.sender.trimmed();
    submission.text = entry.nachricht;
    submission.deliveryReport = m_current.deliveryReports;
    submission.reference = ++m_reference;
    const UcpSubmitFrames frames = ucpSubmitFrames(submission, m_trn);
    switch (frames.problem) {
    case UcpSubmitProblem::None:
        break;
    case UcpSubmitProblem::NoRecipient:
    case UcpSubmitProblem::TooManyParts: {
        // The message itself cannot go; the next one may.
        const QString why = frames.problem == UcpSubmitProblem::NoRecipient
                                ? tr("ungültige Empfängernummer")
                                : tr("Nachricht zu lang");
        Q_EMIT submitted(Result{false, {}, why, why, entry.id});
        return;
    }
    case UcpSubmitProblem::SenderTooLong:
    case UcpSubmitProblem::SenderNotGsm:
        // Every message would carry it: sending stops until it is mended.
        setSubmissionRefused(true);
        halt(tr("Der Absender «%1» kann nicht gesendet werden: höchstens 11 Zeichen des "
                "GSM-Alphabets")
                 .arg(submission.sender));
        return;
    }
    m_entries.append(Entry{entry.id, entry.recipient});
    for (int i = 0; i < frames.frames.size(); ++i)
        m_waiting.append(Part{entry.id, i, frames.frames.at(i)});
    sendWaitingParts();
}

void UcpTcpDialogue::sendWaitingParts()
{
    while (m_phase == Phase::Open && !m_waiting.isEmpty() && unansweredSubmissions() < m_window) {
        const Part part = m_waiting.takeFirst();
        sendOperation(Operation{Operation::Kind::Submission, part.entryId, part.index, 0},
                      part.frame);
    }
}

int UcpTcpDialogue::unansweredSubmissions() const
{
    return int(std::count_if(m_unanswered.cbegin(), m_unanswered.cend(), [](const Operation &op) {
        return op.kind == Operation::Kind::Submission;
    }));
}

void UcpTcpDialogue::sendOperation(Operation operation, const QString &frame)
{
    // At most a dozen are unanswered, so a free TRN is never far.
    do
        m_trn = m_trn.next();
    while (m_unanswered.contains(m_trn.text()));
    operation.deadlineMs = m_since.elapsed() + m_answerTimeoutMs;
    m_unanswered.insert(m_trn.text(), operation);
    send(withTrn(frame, m_trn));
    armAnswerTimer();
}

void UcpTcpDialogue::armAnswerTimer()
{
    if (m_unanswered.isEmpty()) {
        m_answerTimer.stop();
        return;
    }
    qint64 first = m_unanswered.first().deadlineMs;
    for (const Operation &operation : std::as_const(m_unanswered))
        first = std::min(first, operation.deadlineMs);
    m_answerTimer.start(int(std::max<qint64>(0, first - m_since.elapsed())));
}

void UcpTcpDialogue::end()
{
    if (!m_inCall && m_phase == Phase::Closed)
        return;
    m_inCall = false;
    if (!m_listening) {
        closeSession();
        noteListening();
        return;
    }
    // Listening: the session stays, the call's entries go. Late results for
    // them are passed over as stale.
    m_entries.clear();
    m_waiting.clear();
    m_unanswered.removeIf(
        [](const auto &item) { return item.value().kind == Operation::Kind::Submission; });
    armAnswerTimer();
}

void UcpTcpDialogue::setListening(bool on)
{
    m_listening = on;
    if (on) {
        if (m_phase == Phase::Closed && !m_reconnect.isActive())
            openSession();
    } else {
        m_reconnect.stop();
        m_paceMs = m_firstPaceMs;
        if (!m_inCall)
            closeSession();
    }
    noteListening();
}

bool UcpTcpDialogue::isListening() const
{
    return m_listening && m_phase == Phase::Open;
}

QString UcpTcpDialogue::listeningVia() const
{
    // As the configuration window names the kind.
    return ConnectionKinds::of(ConnectionKind::Tcp).caption();
}

void UcpTcpDialogue::noteListening()
{
    if (isListening() == m_toldListening)
        return;
    m_toldListening = isListening();
    Q_EMIT listeningChanged();
}

void UcpTcpDialogue::onConnected()
{
    if (m_phase != Phase::Connecting)
        return;
    Q_EMIT traced(tr("Verbunden mit %1").arg(m_socket.peerAddress().toString()));
    if (m_current.account.isEmpty()) {
        sessionOpened();
        return;
    }
    m_phase = Phase::LoggingIn;
    // The login takes the TRN 00, the submissions follow from 01 on.
    m_trn = loginTrn();
    const QString login = ucpLoginFrame(m_current.account, m_current.password, m_trn);
    // The trace shows the login without the password.
    Q_EMIT traced(u"→ "_s + readableBytes(ucpFrameBytes(
                                m_current.password.isEmpty()
                                    ? login
                                    : QString(login).replace(ucpPasswordField(m_current.password),
                                                             tr("<Passwort>")))));
    m_unanswered.insert(m_trn.text(), Operation{Operation::Kind::Login, 0, 0,
                                                m_since.elapsed() + m_answerTimeoutMs});
    m_socket.write(ucpFrameBytes(login));
    armAnswerTimer();
    if (m_inCall)
        Q_EMIT loggingIn();
}

void UcpTcpDialogue::sessionOpened()
{
    m_phase = Phase::Open;
    m_paceMs = m_firstPaceMs;
    m_keepAlive.start();
    noteListening();
    if (m_inCall)
        Q_EMIT ready();
}

void UcpTcpDialogue::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    Q_EMIT traced(u"← "_s + readableBytes(bytes));
    m_buffer.append(bytes);
    if (m_phase == Phase::Closed) {
        m_buffer.clear();
        return;
    }
    while (const std::optional<QByteArray> frame = takeUcpFrame(m_buffer)) {
        handleFrame(*frame);
        if (m_phase == Phase::Closed)
            return;
    }
}

void UcpTcpDialogue::handleFrame(const QByteArray &frame)
{
    const UcpMessage message = parseUcpMessage(frame);
    switch (message.kind) {
    case UcpMessage::Kind::Invalid:
        // Noise: the answer timer decides.
        return;
    case UcpMessage::Kind::Operation:
        send(m_inbound.answer(frame, incomingSink(), QDateTime::currentDateTimeUtc()));
        return;
    case UcpMessage::Kind::Ack:
    case UcpMessage::Kind::Nack:
        break;
    }
    // A result for anything but an unanswered operation is stale.
    const auto found = m_unanswered.constFind(message.trn);
    if (found == m_unanswered.cend())
        return;
    const Operation operation = *found;
    const QLatin1StringView expected = operation.kind == Operation::Kind::Login   ? "60"_L1
                                       : operation.kind == Operation::Kind::Alert ? "31"_L1
                                                                                  : "51"_L1;
    if (message.ot != expected)
        return;
    m_unanswered.erase(found);
    armAnswerTimer();
    switch (operation.kind) {
    case Operation::Kind::Login:
        loginAnswered(message);
        return;
    case Operation::Kind::Alert:
        // Any answer shows that the session stands.
        return;
    case Operation::Kind::Submission:
        submissionAnswered(operation, frame);
        return;
    }
}

void UcpTcpDialogue::loginAnswered(const UcpMessage &message)
{
    if (message.kind == UcpMessage::Kind::Ack) {
        sessionOpened();
        return;
    }
    const QString reason =
        tr("Anmeldung abgelehnt (%1: %2)").arg(message.errorCode, ucpNackText(message.errorCode));
    // A refused account is not logged in again and again: that locks it.
    if (ucpRefusalOf(message.errorCode) == UcpRefusal::Account)
        halt(reason);
    else
        fail(reason);
}

void UcpTcpDialogue::submissionAnswered(const Operation &operation, const QByteArray &frame)
{
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &e) { return e.id == operation.entryId; });
    if (entry == m_entries.end())
        return;
    const UcpSubmitResult result = parseUcpSubmitResult(frame);
    if (result.kind == UcpSubmitResult::Kind::Accepted) {
        ++entry->accepted;
        if (m_current.deliveryReports && result.scts.isValid()) {
            entry->reports.append(ExpectedReport{operation.part, entry->recipient,
                                                 result.scts.toString(u"ddMMyyHHmmss"_s)});
        }
        finishIfAnswered(operation.entryId);
        return;
    }
    switch (result.refusal) {
    case UcpRefusal::Message:
        // The rest of this message is not sent: it would be refused too.
        if (entry->refusalCode.isEmpty())
            entry->refusalCode = result.errorCode;
        m_waiting.removeIf([&](const Part &part) { return part.entryId == operation.entryId; });
        finishIfAnswered(operation.entryId);
        return;
    case UcpRefusal::Account:
        // Nothing of it went out unless an earlier part did.
        setSubmissionRefused(entry->accepted == 0);
        halt(ucpAccountRefusal(result.errorCode));
        return;
    case UcpRefusal::Attempt:
        setSubmissionRefused(entry->accepted == 0);
        fail(ucpFailedAttempt(result.errorCode));
        return;
    }
}

void UcpTcpDialogue::finishIfAnswered(quint64 entryId)
{
    const bool open =
        std::any_of(m_waiting.cbegin(), m_waiting.cend(),
                    [&](const Part &part) { return part.entryId == entryId; }) ||
        std::any_of(m_unanswered.cbegin(), m_unanswered.cend(), [&](const Operation &op) {
            return op.kind == Operation::Kind::Submission && op.entryId == entryId;
        });
    if (!open) {
        const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                        [&](const Entry &e) { return e.id == entryId; });
        Result result{entry->refusalCode.isEmpty(), entry->refusalCode};
        result.entryId = entryId;
        result.reports = entry->reports;
        m_entries.erase(entry);
        // The engine may hand over the next entry or end the call from here.
        Q_EMIT submitted(result);
    }
    sendWaitingParts();
}

void UcpTcpDialogue::onKeepAlive()
{
    if (m_phase != Phase::Open)
        return;
    const bool alertUnanswered =
        std::any_of(m_unanswered.cbegin(), m_unanswered.cend(),
                    [](const Operation &op) { return op.kind == Operation::Kind::Alert; });
    if (!alertUnanswered)
        sendOperation(Operation{Operation::Kind::Alert, 0, 0, 0},
                      ucpAlertFrame(m_current.account, m_trn));
}

void UcpTcpDialogue::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_phase != Phase::Closed)
        fail(
            socketFailure(error, m_current.host.trimmed(), m_current.port, m_socket.errorString()));
}

void UcpTcpDialogue::onDisconnected()
{
    if (m_phase != Phase::Closed)
        fail(connectionLost());
}

void UcpTcpDialogue::onAnswerTimeout()
{
    const qint64 now = m_since.elapsed();
    const auto late = std::find_if(m_unanswered.cbegin(), m_unanswered.cend(),
                                   [now](const Operation &op) { return op.deadlineMs <= now; });
    if (late == m_unanswered.cend()) {
        armAnswerTimer();
        return;
    }
    fail(late->kind == Operation::Kind::Login ? tr("Keine Antwort der Zentrale auf die Anmeldung")
                                              : tr("Keine Antwort der Zentrale"));
}

void UcpTcpDialogue::send(const QString &frame)
{
    if (frame.isEmpty())
        return;
    const QByteArray bytes = ucpFrameBytes(frame);
    Q_EMIT traced(u"→ "_s + readableBytes(bytes));
    m_socket.write(bytes);
}

void UcpTcpDialogue::fail(const QString &reason)
{
    Q_EMIT traced(reason);
    const bool inCall = std::exchange(m_inCall, false);
    closeSession();
    if (m_listening)
        reconnectLater();
    noteListening();
    if (inCall)
        Q_EMIT failed(reason);
}

void UcpTcpDialogue::halt(const QString &reason)
{
    Q_EMIT traced(reason);
    m_inCall = false;
    closeSession();
    // Opened again when the user resumes sending (the engine's next call).
    m_reconnect.stop();
    noteListening();
    Q_EMIT halted(reason);
}

void UcpTcpDialogue::reconnectLater()
{
    Q_EMIT traced(tr("Empfang: neuer Verbindungsversuch in %1 s").arg((m_paceMs + 999) / 1000));
    m_reconnect.start(m_paceMs);
    m_paceMs = std::min(m_paceMs * 2, m_firstPaceMs * maxPaceFactor);
}
