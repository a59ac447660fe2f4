#pragma once

#include "calldialogue.h"
#include "ucp.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

// Where the message centre is reached over TCP/IP and how the session logs
// in. Without an account no login is made.
struct UcpTcpAccount
{
    QString host;
    quint16 port = 0;
    QString account;
    QString password;
    // An alphanumeric sender of up to 11 characters or a number, sent
    // instead of the account when the centre allows it; empty: the account.
    QString sender = {};
    // Ask for delivery notifications (NRq) of each part.
    bool deliveryReports = true;
    // Keep the session open between calls (keep-alive) to receive messages
    // and notifications.
    bool keepOpen = true;
    // Operations that may be unanswered at once (1 to 10).
    int window = 1;
};

// A UCP session with the message centre over TCP/IP: connect, log in with
// operation 60 when an account is set, then submit the entries one at a
// time as operations 01, each once the one before is answered. The
// connection's operations are numbered in one sequence: the login 00, the
// submissions 01, 02, ..., 99, 00, 01, ...; a new connection starts again.
// Operations the centre sends on its own (an alert, a delivery
// notification) are answered with a positive result at once, in any phase,
// so that the centre does not hold the session up waiting for it.
//
// A refused connection, an unknown host, a dropped connection, an answer
// that does not come within the answer time-out, or a refusal that names
// neither the message nor the account (ucpRefusalOf) is a failure. A refusal
// of the account or the session, for the login or a submission, halts.
// Only a result that carries the TRN of the operation under way answers it.
class UcpTcpDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    static constexpr int defaultAnswerTimeoutMs = 10'000;
    // A session without entries is held this long before it is closed.
    static constexpr qint64 sessionHoldMs = 30'000;

    // The account is read when a connection begins, so that changed
    // settings apply from the next connection on.
    explicit UcpTcpDialogue(std::function<UcpTcpAccount()> account, QObject *parent = nullptr);
    ~UcpTcpDialogue() override;

    QString missingSetting() const override;
    void begin() override;
    void submit(const QueueEntry &entry) override;
    void end() override;
    bool severalPerCall() const override { return true; }
    qint64 idleHoldMs() const override { return sessionHoldMs; }

    // How long the centre's answer to the login or a frame is awaited.
    void setAnswerTimeoutMs(int ms) { m_answerTimer.setInterval(ms); }
    int answerTimeoutMs() const { return m_answerTimer.interval(); }

private:
    enum class Phase { Closed, Connecting, LoggingIn, Connected, Submitting };

    void onConnected();
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onAnswerTimeout();
    void handleFrame(const QByteArray &frame);
    void send(const QString &frame);
    void fail(const QString &reason);
    void halt(const QString &reason);

    std::function<UcpTcpAccount()> m_account;
    UcpTcpAccount m_current; // of the connection under way
    QTcpSocket m_socket;
    QTimer m_answerTimer;
    Phase m_phase = Phase::Closed;
    QByteArray m_buffer;
    // The TRN of the operation awaiting its result; the next takes the
    // following one.
    UcpTrn m_trn;
};
