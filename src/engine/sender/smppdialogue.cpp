#include "smppdialogue.h"

#include "connectionkinds.h"
#include "incoming.h"
#include "smppmessaging.h"
#include "socketfailure.h"

#include <QCoreApplication>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QtEndian>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int maxPaceFactor = 10;
// The largest sequence number SMPP allows; the next one starts at 1 again.
constexpr quint32 lastSequence = 0x7FFFFFFF;
// deliver_sm_resp statuses: the item could not be stored now (the centre
// offers it again later), or it cannot be read (the centre should not).
constexpr quint32 temporaryAppError = 0x64;
constexpr quint32 permanentAppError = 0x65;

// A key for the parts of one incoming message.
QString partsKey(const QString &sender, int reference, int total)
{
    return sender + u'/' + QString::number(reference) + u'/' + QString::number(total);
}

// The certificate problem in German; Qt's own text for the rare ones.
QString certificateProblem(const QSslError &error)
{
    switch (error.error()) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
        return QCoreApplication::translate("SmppDialogue",
                                           "das Zertifikat ist selbst signiert und nicht "
                                           "vertrauenswürdig");
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::CertificateUntrusted:
    case QSslError::UnableToVerifyFirstCertificate:
        return QCoreApplication::translate("SmppDialogue",
                                           "das Zertifikat stammt von keiner vertrauenswürdigen "
                                           "Zertifizierungsstelle");
    case QSslError::HostNameMismatch:
        return QCoreApplication::translate("SmppDialogue",
                                           "das Zertifikat gilt nicht für diesen Servernamen");
    case QSslError::CertificateExpired:
        return QCoreApplication::translate("SmppDialogue", "das Zertifikat ist abgelaufen");
    case QSslError::CertificateNotYetValid:
        return QCoreApplication::translate("SmppDialogue", "das Zertifikat ist noch nicht gültig");
    case QSslError::CertificateRevoked:
        return QCoreApplication::translate("SmppDialogue", "das Zertifikat wurde widerrufen");
    default:
        return error.errorString();
    }
}

} // namespace

SmppDialogue::SmppDialogue(std::function<SmppAccount()> account, QObject *parent)
    : CallDialogue(parent), m_account(std::move(account))
{
    m_since.start();
    m_answerTimer.setSingleShot(true);
    connect(&m_answerTimer, &QTimer::timeout, this, &SmppDialogue::onAnswerTimeout);
    m_enquireLink.setInterval(defaultEnquireLinkMs);
    connect(&m_enquireLink, &QTimer::timeout, this, &SmppDialogue::onEnquireLink);
    m_reconnect.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, [this] {
        if (m_listening && m_phase == Phase::Closed)
            openSession();
    });
    m_slowDown.setSingleShot(true);
    connect(&m_slowDown, &QTimer::timeout, this, &SmppDialogue::sendWaitingParts);

    connect(&m_socket, &QSslSocket::connected, this, &SmppDialogue::onConnected);
    connect(&m_socket, &QSslSocket::encrypted, this, &SmppDialogue::onEncrypted);
    connect(&m_socket, &QSslSocket::sslErrors, this, &SmppDialogue::onSslErrors);
    connect(&m_socket, &QSslSocket::readyRead, this, &SmppDialogue::onReadyRead);
    connect(&m_socket, &QSslSocket::errorOccurred, this, &SmppDialogue::onSocketError);
    connect(&m_socket, &QSslSocket::disconnected, this, &SmppDialogue::onDisconnected);
}

SmppDialogue::~SmppDialogue()
{
    // At quit a bound session is unbound as far as the socket takes the
    // bytes at once; the centre ends it either way when the line closes.
    if (m_phase == Phase::Bound) {
        m_socket.write(Smpp::pack(Smpp::unbind(nextSequence())));
        m_socket.flush();
    }
    m_socket.disconnect(this);
    m_socket.abort();
}

QString SmppDialogue::missingSetting() const
{
    const SmppAccount account = m_account();
    for (const auto &[field, value] :
         {std::pair{SettingField::Server, account.host},
          std::pair{SettingField::TcpPort, QString::number(account.port)},
          std::pair{SettingField::SystemId, account.systemId},
          std::pair{SettingField::SmppPassword, account.password}}) {
        if (QString missing = ConnectionKinds::rule(field).missing(value); !missing.isEmpty())
            return missing;
    }
    return {};
}

int SmppDialogue::window() const
{
    return m_window;
}

void SmppDialogue::setReconnectPaceMs(int firstMs)
{
    m_firstPaceMs = firstMs;
    m_paceMs = firstMs;
}

void SmppDialogue::addCaCertificates(const QList<QSslCertificate> &certificates)
{
    m_extraCas += certificates;
}

QString SmppDialogue::where() const
{
    return m_current.host.trimmed() + u':' + QString::number(m_current.port);
}

void SmppDialogue::begin()
{
    m_inCall = true;
    m_window = std::clamp(m_account().window, 1, maxSmppWindow);
    switch (m_phase) {
    case Phase::Bound:
        // Kept bound for listening: the call can start at once.
        Q_EMIT ready();
        return;
    case Phase::Binding:
        Q_EMIT loggingIn();
        return;
    case Phase::Connecting:
        return;
    case Phase::Unbinding:
    case Phase::Closed:
        break;
    }
    m_reconnect.stop();
    openSession();
}

void SmppDialogue::openSession()
{
    closeSession();
    m_current = m_account();
    m_allowed = std::clamp(m_current.window, 1, maxSmppWindow);
    m_slowDownMs = m_firstSlowDownMs;
    m_slowDownsInRow = 0;
    m_certificateProblem.clear();
    m_phase = Phase::Connecting;
    const QString host = m_current.host.trimmed();
    if (m_current.useTls) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        if (!m_extraCas.isEmpty())
            tls.setCaCertificates(tls.caCertificates() + m_extraCas);
        m_socket.setSslConfiguration(tls);
        Q_EMIT traced(tr("Verbinde mit %1:%2 (TLS)").arg(host).arg(m_current.port));
        m_socket.connectToHostEncrypted(host, m_current.port);
    } else {
        Q_EMIT traced(tr("Verbinde mit %1:%2").arg(host).arg(m_current.port));
        m_socket.connectToHost(host, m_current.port);
    }
}

void SmppDialogue::closeSession()
{
    m_phase = Phase::Closed;
    m_answerTimer.stop();
    m_enquireLink.stop();
    m_slowDown.stop();
    m_socket.abort();
    m_buffer.clear();
    m_pending.clear();
    m_waiting.clear();
    m_entries.clear();
    m_sequence = 0;
}

void SmppDialogue::onConnected()
{
    if (m_phase != Phase::Connecting)
        return;
    Q_EMIT traced(tr("Verbunden mit %1").arg(m_socket.peerAddress().toString()));
    // With TLS the bind waits for the handshake.
    if (!m_current.useTls)
        sendBind();
}

void SmppDialogue::onEncrypted()
{
    if (m_phase != Phase::Connecting)
        return;
    Q_EMIT traced(tr("TLS-Verbindung steht (%1)").arg(m_socket.sessionCipher().name()));
    sendBind();
}

void SmppDialogue::onSslErrors(const QList<QSslError> &errors)
{
    // Never ignored: the handshake fails and the attempt with it.
    if (!errors.isEmpty() && m_certificateProblem.isEmpty())
        m_certificateProblem = certificateProblem(errors.first());
}

void SmppDialogue::sendBind()
{
    m_phase = Phase::Binding;
    Smpp::Pdu bind;
    bind.command = Smpp::BindTransceiver;
    bind.systemId = m_current.systemId.trimmed().toLatin1();
    bind.password = m_current.password.toLatin1();
    bind.systemType = m_current.systemType.trimmed().toLatin1();
    sendRequest(Request{Request::Kind::Bind}, bind);
    if (m_inCall)
        Q_EMIT loggingIn();
}

void SmppDialogue::sessionBound()
{
    m_phase = Phase::Bound;
    m_paceMs = m_firstPaceMs;
    m_enquireLink.start();
    noteListening();
    if (m_inCall)
        Q_EMIT ready();
}

void SmppDialogue::submit(const QueueEntry &entry)
{
    if (m_phase != Phase::Bound || !m_inCall)
        return;
    setSubmissionRefused(false);
    Smpp::SubmitOptions options;
    options.sender = m_current.sender.trimmed();
    options.deliveryReceipt = m_current.deliveryReports;
    const QList<Smpp::Pdu> pdus =
        Smpp::submissions(entry.recipient, entry.nachricht, options, ++m_reference);
    if (pdus.isEmpty()) {
        // The message itself cannot go; the next one may.
        const QString why = tr("Nachricht zu lang oder ungültige Empfängernummer");
        Q_EMIT submitted(Result{false, {}, why, why, entry.id});
        return;
    }
    m_entries.append(Entry{entry.id, entry.recipient});
    for (int i = 0; i < pdus.size(); ++i)
        m_waiting.append(Part{entry.id, i, pdus.at(i)});
    sendWaitingParts();
}

void SmppDialogue::sendWaitingParts()
{
    while (m_phase == Phase::Bound && !m_slowDown.isActive() && !m_waiting.isEmpty() &&
           unansweredSubmissions() < m_allowed) {
        const Part part = m_waiting.takeFirst();
        sendRequest(Request{Request::Kind::Submission, part}, part.pdu);
    }
}

int SmppDialogue::unansweredSubmissions() const
{
    return int(std::count_if(m_pending.cbegin(), m_pending.cend(), [](const Request &request) {
        return request.kind == Request::Kind::Submission;
    }));
}

quint32 SmppDialogue::nextSequence()
{
    do
        m_sequence = m_sequence >= lastSequence ? 1 : m_sequence + 1;
    while (m_pending.contains(m_sequence));
    return m_sequence;
}

void SmppDialogue::sendRequest(Request request, Smpp::Pdu pdu)
{
    pdu.sequence = nextSequence();
    request.deadlineMs = m_since.elapsed() + m_answerTimeoutMs;
    m_pending.insert(pdu.sequence, request);
    sendPdu(pdu);
    armAnswerTimer();
}

void SmppDialogue::sendPdu(const Smpp::Pdu &pdu)
{
    const QByteArray bytes = Smpp::pack(pdu);
    if (bytes.isEmpty()) {
        fail(tr("SMPP-Befehl %1 kann nicht gepackt werden").arg(Smpp::commandName(pdu.command)));
        return;
    }
    Q_EMIT traced(u"→ "_s + Smpp::describe(pdu));
    m_socket.write(bytes);
}

void SmppDialogue::armAnswerTimer()
{
    if (m_pending.isEmpty()) {
        m_answerTimer.stop();
        return;
    }
    qint64 first = m_pending.cbegin()->deadlineMs;
    for (const Request &request : std::as_const(m_pending))
        first = std::min(first, request.deadlineMs);
    m_answerTimer.start(int(std::max<qint64>(0, first - m_since.elapsed())));
}

void SmppDialogue::end()
{
    if (!m_inCall && m_phase == Phase::Closed)
        return;
    m_inCall = false;
    if (m_listening) {
        // The session stays, the call's entries go. Late responses for them
        // are passed over as stale.
        m_entries.clear();
        m_waiting.clear();
        m_pending.removeIf(
            [](const auto &item) { return item.value().kind == Request::Kind::Submission; });
        armAnswerTimer();
        return;
    }
    if (m_phase == Phase::Bound) {
        // Unbound politely; the line closes with the response or after a
        // short wait for it.
        m_entries.clear();
        m_waiting.clear();
        m_pending.clear();
        m_enquireLink.stop();
        m_slowDown.stop();
        m_phase = Phase::Unbinding;
        sendRequest(Request{Request::Kind::Unbind}, Smpp::unbind(0));
        m_answerTimer.start(unbindWaitMs);
        noteListening();
        return;
    }
    closeSession();
    noteListening();
}

void SmppDialogue::setListening(bool on)
{
    m_listening = on;
    if (on) {
        if ((m_phase == Phase::Closed || m_phase == Phase::Unbinding) && !m_reconnect.isActive())
            openSession();
    } else {
        m_reconnect.stop();
        m_paceMs = m_firstPaceMs;
        if (!m_inCall)
            end();
    }
    noteListening();
}

bool SmppDialogue::isListening() const
{
    return m_listening && m_phase == Phase::Bound;
}

QString SmppDialogue::listeningVia() const
{
    return ConnectionKinds::of(ConnectionKind::Smpp).caption();
}

void SmppDialogue::noteListening()
{
    if (isListening() == m_toldListening)
        return;
    m_toldListening = isListening();
    Q_EMIT listeningChanged();
}

void SmppDialogue::onReadyRead()
{
    m_buffer.append(m_socket.readAll());
    if (m_phase == Phase::Closed) {
        m_buffer.clear();
        return;
    }
    qsizetype start = 0;
    while (m_phase != Phase::Closed) {
        const Smpp::Unpacked unpacked = Smpp::unpack(QByteArrayView(m_buffer).sliced(start));
        if (unpacked.outcome == Smpp::Unpacked::Outcome::Incomplete)
            break;
        if (unpacked.outcome == Smpp::Unpacked::Outcome::Broken) {
            Q_EMIT traced(tr("Unlesbare SMPP-Daten: %1").arg(unpacked.error));
            if (unpacked.used <= 0) {
                fail(tr("Unlesbare Daten von der Zentrale"));
                return;
            }
            // The header could be read: the centre learns which PDU was
            // refused and the stream goes on with the next one.
            const quint32 sequence = qFromBigEndian<quint32>(m_buffer.constData() + start + 12);
            sendPdu(Smpp::genericNack(sequence, Smpp::InvalidCommandLength));
            start += unpacked.used;
            continue;
        }
        start += unpacked.used;
        Q_EMIT traced(u"← "_s + Smpp::describe(unpacked.pdu));
        handle(unpacked.pdu);
    }
    if (m_phase == Phase::Closed)
        m_buffer.clear();
    else
        m_buffer.remove(0, start);
}

void SmppDialogue::handle(const Smpp::Pdu &pdu)
{
    if (!pdu.isResponse()) {
        handleRequest(pdu);
        return;
    }
    const auto found = m_pending.constFind(pdu.sequence);
    if (found == m_pending.cend())
        return; // a response to nothing unanswered: stale
    const Request request = *found;
    static const QHash<Request::Kind, quint32> expected = {
        {Request::Kind::Bind, Smpp::BindTransceiver},
        {Request::Kind::Submission, Smpp::SubmitSm},
        {Request::Kind::EnquireLink, Smpp::EnquireLink},
        {Request::Kind::Unbind, Smpp::Unbind},
    };
    if (pdu.command != Smpp::GenericNack &&
        pdu.command != (expected.value(request.kind) | Smpp::responseBit))
        return;
    m_pending.erase(found);
    armAnswerTimer();
    switch (request.kind) {
    case Request::Kind::Bind:
        bindAnswered(pdu);
        return;
    case Request::Kind::Submission:
        submissionAnswered(request, pdu);
        return;
    case Request::Kind::EnquireLink:
        return; // any answer shows that the session stands
    case Request::Kind::Unbind:
        closeSession();
        noteListening();
        return;
    }
}

void SmppDialogue::handleRequest(const Smpp::Pdu &pdu)
{
    switch (pdu.command) {
    case Smpp::EnquireLink:
        sendPdu(Smpp::response(pdu));
        return;
    case Smpp::Unbind:
        sendPdu(Smpp::response(pdu));
        m_socket.flush();
        fail(tr("Die Zentrale hat die Sitzung beendet"));
        return;
    case Smpp::DeliverSm:
        handleDeliverSm(pdu);
        return;
    case Smpp::GenericNack:
        return;
    default:
        sendPdu(Smpp::genericNack(pdu.sequence, Smpp::InvalidCommandId));
        return;
    }
}

void SmppDialogue::handleDeliverSm(const Smpp::Pdu &pdu)
{
    const quint32 status = Smpp::isReceipt(pdu) ? storeReceipt(pdu) : storeIncoming(pdu);
    sendPdu(Smpp::response(pdu, status));
}

quint32 SmppDialogue::storeReceipt(const Smpp::Pdu &pdu)
{
    const std::optional<Smpp::Receipt> receipt = Smpp::readReceipt(pdu);
    if (!receipt)
        return permanentAppError;
    IncomingSink *sink = incomingSink();
    if (!sink)
        return Smpp::Ok;
    DeliveryReport report;
    report.recipient = receipt->recipient;
    const QStringList forms = Smpp::idForms(receipt->messageId);
    report.reference = forms.value(0);
    report.otherReferences = forms.mid(1);
    switch (receipt->outcome) {
    case Smpp::Receipt::Outcome::Delivered:
        report.state = DeliveryState::Delivered;
        break;
    case Smpp::Receipt::Outcome::NotDelivered:
        report.state = DeliveryState::Failed;
        report.detail = Smpp::receiptMeaning(*receipt);
        break;
    case Smpp::Receipt::Outcome::Pending:
        report.state = DeliveryState::Pending;
        report.detail = Smpp::receiptMeaning(*receipt);
        break;
    }
    report.at = receipt->doneAt.isValid() ? receipt->doneAt : QDateTime::currentDateTime();
    return sink->storeReport(report) ? Smpp::Ok : temporaryAppError;
}

quint32 SmppDialogue::storeIncoming(const Smpp::Pdu &pdu)
{
    const std::optional<Smpp::IncomingPart> part = Smpp::readIncoming(pdu);
    if (!part)
        return permanentAppError;
    IncomingSink *sink = incomingSink();
    if (!sink)
        return Smpp::Ok;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::optional<Gsm::PartCollector::Message> whole;
    QString key;
    if (part->total > 1) {
        key = partsKey(part->sender, part->reference, part->total);
        if (m_unstored.contains(key))
            whole = m_unstored.take(key); // offered again after a refusal
        else
            whole = m_parts.add(part->sender,
                                Gsm::Concatenation{part->reference, part->total, part->sequence},
                                part->text, now, now);
        if (!whole)
            return Smpp::Ok; // held until the other parts come
    } else {
        whole = Gsm::PartCollector::Message{part->sender, now, part->text, 0};
    }
    if (sink->storeMessage(
            ReceivedMessage{whole->sender, whole->text, whole->sentAt, whole->missingParts > 0}))
        return Smpp::Ok;
    if (!key.isEmpty())
        m_unstored.insert(key, *whole);
    return temporaryAppError;
}

void SmppDialogue::bindAnswered(const Smpp::Pdu &pdu)
{
    if (pdu.command != Smpp::GenericNack && pdu.status == Smpp::Ok) {
        sessionBound();
        return;
    }
    const QString reason = tr("Anmeldung abgelehnt (%1: %2)")
                               .arg(Smpp::statusCode(pdu.status), Smpp::statusMeaning(pdu.status));
    // A refused account is not bound again and again: that may lock it.
    if (Smpp::classify(pdu.status) == Smpp::StatusClass::AccountRefused)
        halt(reason);
    else
        fail(reason);
}

void SmppDialogue::submissionAnswered(const Request &request, const Smpp::Pdu &pdu)
{
    const quint64 entryId = request.part.entryId;
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &e) { return e.id == entryId; });
    if (entry == m_entries.end())
        return;
    if (pdu.command != Smpp::GenericNack && pdu.status == Smpp::Ok) {
        ++entry->accepted;
        m_slowDownsInRow = 0;
        m_slowDownMs = m_firstSlowDownMs;
        // The window grows back by one with each message the centre takes.
        m_allowed = std::min(m_allowed + 1, m_window);
        if (m_current.deliveryReports && !pdu.messageId.isEmpty()) {
            entry->reports.append(
                ExpectedReport{request.part.index, entry->recipient,
                               Smpp::canonicalId(QString::fromLatin1(pdu.messageId))});
        }
        finishIfAnswered(entryId);
        return;
    }
    switch (Smpp::classify(pdu.status)) {
    case Smpp::StatusClass::MessageRefused:
        // The rest of this message is not sent: it would be refused too.
        if (entry->refusal == 0)
            entry->refusal = pdu.status;
        m_waiting.removeIf([&](const Part &part) { return part.entryId == entryId; });
        finishIfAnswered(entryId);
        return;
    case Smpp::StatusClass::AccountRefused:
        setSubmissionRefused(entry->accepted == 0);
        halt(tr("Die Zentrale verweigert das Senden (%1: %2)")
                 .arg(Smpp::statusCode(pdu.status), Smpp::statusMeaning(pdu.status)));
        return;
    case Smpp::StatusClass::SlowDown:
        slowDown(request.part, pdu.status);
        return;
    case Smpp::StatusClass::Failed:
        setSubmissionRefused(entry->accepted == 0);
        fail(tr("Die Zentrale meldet einen Fehler (%1: %2)")
                 .arg(Smpp::statusCode(pdu.status), Smpp::statusMeaning(pdu.status)));
        return;
    }
}

void SmppDialogue::slowDown(const Part &part, quint32 status)
{
    if (++m_slowDownsInRow > mostSlowDownsInRow) {
        setSubmissionRefused(true);
        fail(tr("Die Zentrale nimmt seit längerem keine Nachrichten an (%1: %2)")
                 .arg(Smpp::statusCode(status), Smpp::statusMeaning(status)));
        return;
    }
    // The part goes again first, into a window half as wide, after a pause
    // that grows while the centre keeps refusing.
    m_waiting.prepend(part);
    m_allowed = std::max(1, m_allowed / 2);
    Q_EMIT traced(tr("Zentrale bremst (%1): Fenster %2, nächster Versuch in %3 ms")
                      .arg(Smpp::statusCode(status))
                      .arg(m_allowed)
                      .arg(m_slowDownMs));
    m_slowDown.start(m_slowDownMs);
    m_slowDownMs = std::min(m_slowDownMs * 2, maxSlowDownMs);
}

void SmppDialogue::finishIfAnswered(quint64 entryId)
{
    const bool open =
        std::any_of(m_waiting.cbegin(), m_waiting.cend(),
                    [&](const Part &part) { return part.entryId == entryId; }) ||
        std::any_of(m_pending.cbegin(), m_pending.cend(), [&](const Request &request) {
            return request.kind == Request::Kind::Submission && request.part.entryId == entryId;
        });
    if (!open) {
        const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                        [&](const Entry &e) { return e.id == entryId; });
        Result result;
        result.accepted = entry->refusal == 0;
        result.entryId = entryId;
        result.reports = entry->reports;
        if (!result.accepted) {
            result.errorCode = Smpp::statusCode(entry->refusal);
            result.meaning = Smpp::statusMeaning(entry->refusal);
        }
        m_entries.erase(entry);
        // The engine may hand over the next entry or end the call from here.
        Q_EMIT submitted(result);
    }
    sendWaitingParts();
}

void SmppDialogue::onEnquireLink()
{
    if (m_phase != Phase::Bound)
        return;
    const bool unanswered =
        std::any_of(m_pending.cbegin(), m_pending.cend(), [](const Request &request) {
            return request.kind == Request::Kind::EnquireLink;
        });
    if (!unanswered)
        sendRequest(Request{Request::Kind::EnquireLink}, Smpp::enquireLink(0));
}

void SmppDialogue::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_phase == Phase::Closed)
        return;
    if (m_phase == Phase::Unbinding) {
        closeSession();
        return;
    }
    if (error == QAbstractSocket::SslHandshakeFailedError) {
        fail(m_certificateProblem.isEmpty()
                 ? tr("TLS-Verbindung mit %1 gescheitert: %2").arg(where(), m_socket.errorString())
                 : tr("TLS-Zertifikat von %1 abgelehnt: %2").arg(where(), m_certificateProblem));
        return;
    }
    fail(socketFailure(error, m_current.host.trimmed(), m_current.port, m_socket.errorString()));
}

void SmppDialogue::onDisconnected()
{
    if (m_phase == Phase::Unbinding) {
        closeSession();
        return;
    }
    if (m_phase != Phase::Closed)
        fail(connectionLost());
}

void SmppDialogue::onAnswerTimeout()
{
    if (m_phase == Phase::Unbinding) {
        // No unbind_resp: the line is closed all the same.
        closeSession();
        return;
    }
    const qint64 now = m_since.elapsed();
    const auto late =
        std::find_if(m_pending.cbegin(), m_pending.cend(),
                     [now](const Request &request) { return request.deadlineMs <= now; });
    if (late == m_pending.cend()) {
        armAnswerTimer();
        return;
    }
    fail(late->kind == Request::Kind::Bind ? tr("Keine Antwort der Zentrale auf die Anmeldung")
                                           : tr("Keine Antwort der Zentrale"));
}

void SmppDialogue::fail(const QString &reason)
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

void SmppDialogue::halt(const QString &reason)
{
    Q_EMIT traced(reason);
    m_inCall = false;
    closeSession();
    // Bound again when the user resumes sending (the engine's next call).
    m_reconnect.stop();
    noteListening();
    Q_EMIT halted(reason);
}

void SmppDialogue::reconnectLater()
{
    Q_EMIT traced(tr("Empfang: neuer Verbindungsversuch in %1 s").arg((m_paceMs + 999) / 1000));
    m_reconnect.start(m_paceMs);
    m_paceMs = std::min(m_paceMs * 2, m_firstPaceMs * maxPaceFactor);
}
