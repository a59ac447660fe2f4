#include "ucptcpdialogue.h"

#include "connectionkinds.h"
#include "recordingline.h"

#include "ucpsession.h"

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

} // namespace

UcpTcpDialogue::UcpTcpDialogue(std::function<UcpTcpAccount()> account, QObject *parent)
    : CallDialogue(parent), m_account(std::move(account))
{
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(defaultAnswerTimeoutMs);
    connect(&m_answerTimer, &QTimer::timeout, this, &UcpTcpDialogue::onAnswerTimeout);

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

void UcpTcpDialogue::begin()
{
    // A connection left over is dropped without a word.
    m_phase = Phase::Closed;
    m_socket.abort();
    m_answerTimer.stop();
    m_buffer.clear();
    m_current = m_account();
    m_trn = loginTrn();
    m_phase = Phase::Connecting;
    Q_EMIT traced(tr("Verbinde mit %1:%2").arg(m_current.host.trimmed()).arg(m_current.port));
    // Asynchronous: connected() or errorOccurred() follows.
    m_socket.connectToHost(m_current.host.trimmed(), m_current.port);
}

void UcpTcpDialogue::submit(const QueueEntry &entry)
{
    if (m_phase != Phase::Connected)
        return;
    setSubmissionRefused(false);
    m_trn = m_trn.next();
    m_phase = Phase::Submitting;
    m_answerTimer.start();
    send(SMSSendString(entry.recipient, entry.nachricht, entry.rueckrufNummer, m_trn));
}

void UcpTcpDialogue::end()
{
    if (m_phase == Phase::Closed)
        return;
    m_phase = Phase::Closed;
    m_answerTimer.stop();
    // What the centre still sends is of no use any more; abort() drops the
    // connection at once instead of waiting for the peer.
    m_socket.abort();
    m_buffer.clear();
}

void UcpTcpDialogue::onConnected()
{
    if (m_phase != Phase::Connecting)
        return;
    Q_EMIT traced(tr("Verbunden mit %1").arg(m_socket.peerAddress().toString()));
    if (m_current.account.isEmpty()) {
        m_phase = Phase::Connected;
        Q_EMIT ready();
        return;
    }
    m_phase = Phase::LoggingIn;
    m_answerTimer.start();
    // The trace shows the login without the password.
    const QString login = ucpLoginFrame(m_current.account, m_current.password, m_trn);
    Q_EMIT traced(u"→ "_s + readableBytes(ucpFrameBytes(
                                m_current.password.isEmpty()
                                    ? login
                                    : QString(login).replace(ucpPasswordField(m_current.password),
                                                             tr("<Passwort>")))));
    m_socket.write(ucpFrameBytes(login));
    Q_EMIT loggingIn();
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
        send(ucpPositiveResult(message));
        return;
    case UcpMessage::Kind::Ack:
    case UcpMessage::Kind::Nack:
        break;
    }
    // A result for anything but the operation under way is stale.
    if (message.trn != m_trn.text())
        return;
    const bool ack = message.kind == UcpMessage::Kind::Ack;
    if (m_phase == Phase::LoggingIn && message.ot == u"60") {
        m_answerTimer.stop();
        if (!ack) {
            const QString reason = tr("Anmeldung abgelehnt (%1: %2)")
                                       .arg(message.errorCode, ucpNackText(message.errorCode));
            // A refused account is not logged in again and again: that
            // locks it.
            if (ucpRefusalOf(message.errorCode) == UcpRefusal::Account)
                halt(reason);
            else
                fail(reason);
            return;
        }
        m_phase = Phase::Connected;
        Q_EMIT ready();
        return;
    }
    if (m_phase != Phase::Submitting || message.ot != u"01")
        return;
    m_answerTimer.stop();
    if (!ack) {
        switch (ucpRefusalOf(message.errorCode)) {
        case UcpRefusal::Message:
            break;
        case UcpRefusal::Account:
            setSubmissionRefused(true);
            halt(ucpAccountRefusal(message.errorCode));
            return;
        case UcpRefusal::Attempt:
            setSubmissionRefused(true);
            fail(ucpFailedAttempt(message.errorCode));
            return;
        }
    }
    m_phase = Phase::Connected;
    Q_EMIT submitted(Result{ack, message.errorCode});
}

void UcpTcpDialogue::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_phase == Phase::Closed)
        return;
    const QString where = m_current.host.trimmed() + u':' + QString::number(m_current.port);
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        fail(tr("Server %1 verweigert die Verbindung").arg(where));
        return;
    case QAbstractSocket::HostNotFoundError:
        fail(tr("Server %1 nicht gefunden").arg(m_current.host.trimmed()));
        return;
    case QAbstractSocket::RemoteHostClosedError:
        fail(tr("Verbindung zum Server unterbrochen"));
        return;
    case QAbstractSocket::SocketTimeoutError:
        fail(tr("Server %1 antwortet nicht").arg(where));
        return;
    default:
        fail(tr("Verbindungsfehler mit %1: %2").arg(where, m_socket.errorString()));
        return;
    }
}

void UcpTcpDialogue::onDisconnected()
{
    if (m_phase != Phase::Closed)
        fail(tr("Verbindung zum Server unterbrochen"));
}

void UcpTcpDialogue::onAnswerTimeout()
{
    if (m_phase == Phase::LoggingIn)
        fail(tr("Keine Antwort der Zentrale auf die Anmeldung"));
    else if (m_phase == Phase::Submitting)
        fail(tr("Keine Antwort der Zentrale"));
}

void UcpTcpDialogue::send(const QString &frame)
{
    const QByteArray bytes = ucpFrameBytes(frame);
    Q_EMIT traced(u"→ "_s + readableBytes(bytes));
    m_socket.write(bytes);
}

void UcpTcpDialogue::fail(const QString &reason)
{
    Q_EMIT traced(reason);
    end();
    Q_EMIT failed(reason);
}

void UcpTcpDialogue::halt(const QString &reason)
{
    Q_EMIT traced(reason);
    end();
    Q_EMIT halted(reason);
}
