#pragma once

#include "calldialogue.h"
#include "partcollector.h"
#include "smpppdu.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSslCertificate>
#include <QSslError>
#include <QSslSocket>
#include <QString>
#include <QTimer>

#include <functional>

// Where the SMPP centre is reached and how the session binds.
struct SmppAccount
{
    QString host;
    quint16 port = 0;
    QString systemId;
    QString password;
    QString systemType = {};
    QString sender = {};
    bool useTls = false;
    bool deliveryReports = true;
    // Keep the session bound between calls to receive messages and receipts.
    bool keepOpen = true;
    // submit_sm that may be unanswered at once (1 to 100).
    int window = 10;
};

// A session with an SMPP 3.4 centre over TCP/IP, plain or with TLS: connect,
// bind_transceiver, then submit each entry whole as submit_sm, one per SMS
// part (a long or Unicode text as one concatenated SMS). Up to window()
// submit_sm may be unanswered at once, each with its own time-out; a
// response is matched to its request by the sequence number, and one that
// matches none is dropped. An entry is answered once all its parts are.
//
// The centre's answers are sorted: a status that names the message refuses
// the entry; one that names the bind or the account halts; throttling and a
// full queue at the centre shrink the window, pause and send the part again
// (never a refusal); anything else, a dropped connection or a missing
// response is a failed attempt for everything unanswered.
//
// What the centre sends on its own is answered in any phase: deliver_sm
// with a receipt becomes a DeliveryReport, any other deliver_sm a
// ReceivedMessage (parts joined), each answered Ok only once the sink has
// committed it; enquire_link is answered, unbind ends the session.
// enquire_link goes every 30 s while bound. While listening the session is
// kept between the engine's calls and bound again after a drop, paced from
// 30 s doubling to 5 min; otherwise it is unbound when the engine ends it.
//
// With TLS the centre's certificate is checked against the system's
// certificate store; one that does not verify ends the attempt with the
// reason and is never accepted.
class SmppDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    static constexpr int defaultAnswerTimeoutMs = 10'000;
    static constexpr qint64 sessionHoldMs = 30'000;
    static constexpr int defaultEnquireLinkMs = 30'000;
    static constexpr int defaultReconnectPaceMs = 30'000;
    // After throttling: the first pause before the part is sent again; it
    // doubles with each further throttling up to maxSlowDownMs.
    static constexpr int firstSlowDownMs = 1'000;
    static constexpr int maxSlowDownMs = 30'000;
    // Throttled this many times in a row without one message taken: the
    // attempt fails and is tried again later, paced by the engine.
    static constexpr int mostSlowDownsInRow = 12;
    // How long an unbind waits for its response before the line is closed.
    static constexpr int unbindWaitMs = 2'000;

    explicit SmppDialogue(std::function<SmppAccount()> account, QObject *parent = nullptr);
    ~SmppDialogue() override;

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

    void setAnswerTimeoutMs(int ms) { m_answerTimeoutMs = ms; }
    void setEnquireLinkMs(int ms) { m_enquireLink.setInterval(ms); }
    void setReconnectPaceMs(int firstMs);
    void setFirstSlowDownMs(int ms) { m_firstSlowDownMs = ms; }
    // Certificates trusted besides the system's (a test's own authority).
    void addCaCertificates(const QList<QSslCertificate> &certificates);
    // The window in use now: smaller than window() after throttling, until
    // the centre takes messages again.
    int allowedWindow() const { return m_allowed; }

private:
    enum class Phase { Closed, Connecting, Binding, Bound, Unbinding };
    struct Entry
    {
        quint64 id = 0;
        QString recipient;
        int accepted = 0;
        quint32 refusal = 0; // the status of the first part refused
        QList<ExpectedReport> reports = {};
    };
    struct Part
    {
        quint64 entryId = 0;
        int index = 0;
        Smpp::Pdu pdu;
    };
    struct Request
    {
        enum class Kind { Bind, Submission, EnquireLink, Unbind };
        Kind kind = Kind::Submission;
        Part part = {};
        qint64 deadlineMs = 0;
    };

    void openSession();
    void closeSession();
    void sessionBound();
    void onConnected();
    void onEncrypted();
    void onSslErrors(const QList<QSslError> &errors);
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onAnswerTimeout();
    void onEnquireLink();
    void sendBind();
    void handle(const Smpp::Pdu &pdu);
    void handleRequest(const Smpp::Pdu &pdu);
    void handleDeliverSm(const Smpp::Pdu &pdu);
    quint32 storeReceipt(const Smpp::Pdu &pdu);
    quint32 storeIncoming(const Smpp::Pdu &pdu);
    void bindAnswered(const Smpp::Pdu &pdu);
    void submissionAnswered(const Request &request, const Smpp::Pdu &pdu);
    void slowDown(const Part &part, quint32 status);
    void finishIfAnswered(quint64 entryId);
    void sendWaitingParts();
    int unansweredSubmissions() const;
    quint32 nextSequence();
    void sendRequest(Request request, Smpp::Pdu pdu);
    void sendPdu(const Smpp::Pdu &pdu);
    void armAnswerTimer();
    void fail(const QString &reason);
    void halt(const QString &reason);
    void reconnectLater();
    void noteListening();
    QString where() const;

    std::function<SmppAccount()> m_account;
    SmppAccount m_current;
    QSslSocket m_socket;
    QList<QSslCertificate> m_extraCas;
    QString m_certificateProblem; // why the centre's certificate was refused
    QTimer m_answerTimer;
    QTimer m_enquireLink;
    QTimer m_reconnect;
    QTimer m_slowDown; // running: no submit_sm goes out
    QElapsedTimer m_since;
    int m_answerTimeoutMs = defaultAnswerTimeoutMs;
    int m_firstPaceMs = defaultReconnectPaceMs;
    int m_paceMs = defaultReconnectPaceMs;
    int m_firstSlowDownMs = firstSlowDownMs;
    int m_slowDownMs = firstSlowDownMs;
    int m_slowDownsInRow = 0;
    int m_window = 10;  // read at begin()
    int m_allowed = 10; // the window in use
    Phase m_phase = Phase::Closed;
    bool m_inCall = false;
    bool m_listening = false;
    bool m_toldListening = false;
    QByteArray m_buffer;
    quint32 m_sequence = 0;
    quint8 m_reference = 0;
    QList<Entry> m_entries;
    QList<Part> m_waiting;
    QHash<quint32, Request> m_pending; // by sequence number
    Gsm::PartCollector m_parts;
    // Joined messages the sink refused, by their parts' key, stored again
    // when the centre offers the last part once more.
    QMap<QString, Gsm::PartCollector::Message> m_unstored;
};
