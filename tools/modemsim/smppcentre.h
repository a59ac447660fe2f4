#pragma once

#include "simoptions.h"
#include "smpppdu.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

// A deliver_sm of the centre's own, a receipt or an incoming message,
// which it keeps until a session has answered it with deliver_sm_resp Ok.
struct SmppDelivery
{
    quint64 id = 0;
    Smpp::Pdu pdu;
    bool receipt = false;
    QString line; // the report line without its kind, e.g. "id=3E8 to=..."
    bool inFlight = false;
};

// What the SMPP centre keeps over the whole run, across connections: the
// answers per number, the message id counter, the deliveries not yet
// answered and the counts.
class SmppRun : public QObject
{
    Q_OBJECT

public:
    explicit SmppRun(const SimOptions &options, QObject *parent = nullptr);

    struct Stats
    {
        int binds = 0;
        int bindRefusals = 0;
        int submissions = 0; // submit_sm accepted
        int declined = 0;    // submit_sm answered with an error status
        int messages = 0;    // whole messages, their parts joined
        int receipts = 0;
        int receiptAnswers = 0;
        int incoming = 0;
        int incomingAnswers = 0;
        int refusals = 0; // deliver_sm answered with an error status
        int enquiries = 0;
        int drops = 0; // sessions dropped for enquire_link or the keep-alive limit
    };
    QString statsLine() const;

    // The command_status for a submit_sm to number (smppNumberKey), or
    // nothing for no answer at all; throttling counts down here.
    std::optional<quint32> answerFor(const QString &number);
    // The next message id as submit_sm_resp gives it, and as the receipt does.
    std::pair<QByteArray, QByteArray> nextMessageId();
    // A submit_sm taken with receipt: its receipt follows after the delay.
    void scheduleReceipt(const Smpp::Pdu &submit, const QByteArray &receiptId, const QString &text);
    // A session is bound: the --incoming messages follow, once per run.
    void sessionBound();
    // The text of a part of a concatenated message; the whole text once all
    // parts are there, else empty.
    QString joinPart(const QString &key, int total, int sequence, const QString &text);

    // Deliveries waiting for a session, in order.
    QList<SmppDelivery> &outbox() { return m_outbox; }
    SmppDelivery *delivery(quint64 id);
    void answered(quint64 id);
    // The deliver_sm was refused or its session ended: again after the
    // receipt delay, or on the next session.
    void again(quint64 id);

    const SimOptions options;
    Stats stats;

signals:
    // A delivery is waiting for a bound session.
    void deliveryWaiting();

private:
    void post(SmppDelivery delivery);

    QMap<QString, ReportOutcome> m_outcomes; // by smppNumberKey
    QMap<QString, int> m_submitted;          // submissions by number, for throttle:N
    QMap<QString, QMap<int, QString>> m_parts;
    quint32 m_nextId = 1000;
    quint64 m_nextDelivery = 0;
    bool m_incomingSent = false;
    QList<SmppDelivery> m_outbox;
};

// The SMPP 3.4 message centre: listens on 127.0.0.1, with TLS when a
// certificate is given, and serves every connection with an SmppSession.
// Reports OPEN and HANGUP (followed by the run's STATS) for each one.
class SmppCentre : public QObject
{
    Q_OBJECT

public:
    explicit SmppCentre(const SimOptions &options, QObject *parent = nullptr);
    ~SmppCentre() override;

    bool listen(int port, QString *error);
    QString address() const;
    QString statsLine() const { return m_run.statsLine(); }

signals:
    void report(const QString &line);

private:
    void accept();

    SmppRun m_run;
    std::unique_ptr<QTcpServer> m_server;
};

// One connection of the program; deletes itself when it has ended.
class SmppSession : public QObject
{
    Q_OBJECT

public:
    SmppSession(QTcpSocket *socket, SmppRun &run, QObject *parent = nullptr);

signals:
    void report(const QString &line);

private:
    // A PDU for the program and what follows once it has gone out.
    struct Outgoing
    {
        Smpp::Pdu pdu;
        std::function<void()> then = {};
        bool close = false;
    };

    void readBytes();
    void handle(const Smpp::Pdu &pdu, QList<Outgoing> *answers);
    void bind(const Smpp::Pdu &pdu, QList<Outgoing> *answers);
    void submit(const Smpp::Pdu &pdu, QList<Outgoing> *answers);
    void responseReceived(const Smpp::Pdu &pdu);
    // Sends the answers of one read after the reply delay.
    void answer(QList<Outgoing> answers);
    void send(const Smpp::Pdu &pdu);
    void sendWaiting();
    void enquire();
    void drop(const QString &reason);
    void ended();
    quint32 nextSequence();

    QTcpSocket *m_socket;
    SmppRun &m_run;
    QByteArray m_buffer;
    bool m_bound = false;
    bool m_closing = false;
    quint32 m_sequence = 0;
    // Sequence number -> delivery of the centre's deliver_sm not yet answered.
    QMap<quint32, quint64> m_inFlight;
    std::optional<quint32> m_enquiry; // the centre's enquire_link not yet answered
    QTimer m_keepAlive;
    QTimer m_enquire;
};
