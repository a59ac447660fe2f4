#pragma once

#include "calldialogue.h"
#include "ucp.h"
#include "ucpinbound.h"
#include "ucpsession.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
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
// operation 60 when an account is set, then submit each entry whole as
// operations 51, one per SMS part (a long or Unicode text as one
// concatenated SMS). Up to window() operations may be unanswered at once;
// results are matched to their operation by the TRN, and an entry is
// answered once all its parts are, in whatever order. The connection's
// operations are numbered in one sequence: the login 00, then 01, 02, ...,
// 99, 00, 01, ...; a new connection starts again.
//
// Operations the centre sends on its own are answered in any phase: a
// delivery notification (53) and an incoming message (52) once the sink
// has stored them (UcpInbound), any other at once. While the session is
// open an alert (31) goes every keep-alive interval, its answer awaited like
// any other. While listening the session is kept between the engine's calls
// and opened again after a drop, paced from 30 s doubling to 5 min.
//
// A refused connection, an unknown host, a dropped connection, an answer
// that does not come within the answer time-out, or a refusal that names
// neither the message nor the account (ucpRefusalOf) is a failure. A refusal
// of the account or the session, for the login or a submission, halts.
// Only a result that carries the TRN of an unanswered operation answers it.
class UcpTcpDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    static constexpr int defaultAnswerTimeoutMs = 10'000;
    // A session without entries is held this long before it is closed
    // (unless it is kept for listening anyway).
    static constexpr qint64 sessionHoldMs = 30'000;
    static constexpr int defaultKeepAliveMs = 60'000;
    // The first pause before a dropped listening session is opened again;
    // it doubles with each failed attempt up to ten times as long.
    static constexpr int defaultReconnectPaceMs = 30'000;

    // The account is read when a connection begins, so that changed
    // settings apply from the next connection on.
    explicit UcpTcpDialogue(std::function<UcpTcpAccount()> account, QObject *parent = nullptr);
    ~UcpTcpDialogue() override;

    QString missingSetting() const override;
    void begin() override;
    void submit(const QueueEntry &entry) override;
    void end() override;
    bool severalPerCall() const override { return true; }
    qint64 idleHoldMs() const override { return m_listening ? 0 : sessionHoldMs; }
    bool takesLongMessages() const override { return true; }
    int window() const override;

    bool canReceive() const override { return true; }
    void setListening(bool on) override;
    bool isListening() const override;
    QString listeningVia() const override;

    // How long the centre's answer to the login or a frame is awaited.
    void setAnswerTimeoutMs(int ms) { m_answerTimeoutMs = ms; }
    int answerTimeoutMs() const { return m_answerTimeoutMs; }
    void setKeepAliveMs(int ms) { m_keepAlive.setInterval(ms); }
    void setReconnectPaceMs(int firstMs);

private:
    enum class Phase { Closed, Connecting, LoggingIn, Open };
    // An entry handed over and not yet answered as a whole.
    struct Entry
    {
        quint64 id = 0;
        QString recipient;
        int accepted = 0;
        QString refusalCode = {}; // of the first part the centre refused
        QList<ExpectedReport> reports = {};
    };
    // A part not sent yet, waiting for room in the window.
    struct Part
    {
        quint64 entryId = 0;
        int index = 0;
        QString frame;
    };
    struct Operation
    {
        enum class Kind { Login, Submission, Alert };
        Kind kind = Kind::Submission;
        quint64 entryId = 0;
        int part = 0;
        qint64 deadlineMs = 0; // set when it is sent
    };

    void openSession();
    void sessionOpened();
    void closeSession();
    void onConnected();
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onAnswerTimeout();
    void onKeepAlive();
    void handleFrame(const QByteArray &frame);
    void loginAnswered(const UcpMessage &message);
    void submissionAnswered(const Operation &operation, const QByteArray &frame);
    void finishIfAnswered(quint64 entryId);
    void sendWaitingParts();
    int unansweredSubmissions() const;
    // Sends the frame as the operation kind with the next free TRN.
    void sendOperation(Operation operation, const QString &frame);
    void armAnswerTimer();
    void send(const QString &frame);
    void fail(const QString &reason);
    void halt(const QString &reason);
    void reconnectLater();
    void noteListening();

    std::function<UcpTcpAccount()> m_account;
    UcpTcpAccount m_current; // of the connection under way
    QTcpSocket m_socket;
    QTimer m_answerTimer;
    QTimer m_keepAlive;
    QTimer m_reconnect;
    QElapsedTimer m_since;
    int m_answerTimeoutMs = defaultAnswerTimeoutMs;
    int m_window = 1; // read at begin()
    int m_firstPaceMs = defaultReconnectPaceMs;
    int m_paceMs = defaultReconnectPaceMs;
    Phase m_phase = Phase::Closed;
    // The engine's call is under way (begin() until end() or its failure).
    bool m_inCall = false;
    bool m_listening = false;
    bool m_toldListening = false;
    QByteArray m_buffer;
    // The TRN used last; the next operation takes the following free one.
    UcpTrn m_trn;
    // The concatenation reference of the last message of several parts.
    quint8 m_reference = 0;
    QList<Entry> m_entries;
    QList<Part> m_waiting;
    QMap<QString, Operation> m_unanswered; // by TRN
    UcpInbound m_inbound;
};
