#pragma once

#include "script.h"
#include "simoptions.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QTimer>

#include <functional>

namespace UcpCentre {
struct Submission;
struct Submit51;
} // namespace UcpCentre

// What the message centre keeps over the whole run, across calls and
// connections: the answer script, the login it requires and the count of
// submissions for --drop-after.
struct CentreRun
{
    explicit CentreRun(const SimOptions &options)
        : script(options.centreScript), loginScript(options.loginScript), account(options.account),
          password(options.password), replyDelayMs(options.replyDelayMs),
          dropAfter(options.dropAfter), outcomes(options.outcomes), incoming(options.incoming),
          incomingAfterMs(options.incomingAfterMs), keepAliveLimitMs(options.keepAliveLimitMs)
    {}

    // Counts of the run, printed as the STATS line when the simulator ends.
    struct Stats
    {
        int submissions = 0; // operations 51 taken
        int notifications = 0;
        int notificationAnswers = 0;
        int incoming = 0; // operation 52 frames sent
        int incomingAnswers = 0;
        int refusals = 0; // negative answers of the program to 52 or 53
        int alerts = 0;
        int keepAliveDrops = 0;
    };
    QString statsLine() const;
    // The centre time stamp of the next accepted operation 51: now, but at
    // least a second after the one before, so that "AdC:SCTS" names one
    // message.
    QDateTime nextStamp();

    Script<CentreAnswer> script;      // one answer per submission
    Script<CentreAnswer> loginScript; // one answer per login that fits
    QByteArray account;               // a login is required when not empty
    QByteArray password;
    int replyDelayMs;
    int dropAfter; // 0: never
    int submissions = 0;
    QMap<QString, ReportOutcome> outcomes;
    QList<IncomingScript> incoming;
    int incomingAfterMs = 0;
    bool incomingSent = false;
    int keepAliveLimitMs = 0;
    QDateTime lastStamp;
    // The texts of concatenated parts of operations 51 by recipient,
    // reference and total, until all have come.
    QMap<QString, QMap<int, QString>> parts;
    Stats stats;
};

// The message centre on one connection, a modem call or a TCP connection.
// It takes the frames out of the byte stream and answers each one after the
// reply delay:
// - operation 60 opens the session when account and password fit and the
//   login script answers ack (60 A), else 60 N/07 or the script's answer;
// - any other operation is a submission and takes its turn in the script:
//   ack, nack, silence or garbage, 02 for a broken frame, 04 before a
//   required login; a script item with 31+ or 53+ first sends an operation of
//   the centre's own with the submission's TRN plus 50;
// - a result from the program must answer such an operation, positively.
// Over TCP/IP, two-way: an operation 51 takes its turn in the script like
// a submission and is answered with "AdC:SCTS"; with NRq a delivery
// notification (53) follows its result as --outcome says; an alert (31)
// is answered at once; the --incoming messages go out as operations 52
// after the first session opens; a session without an operation of the
// program for the keep-alive limit is dropped.
// Every event is reported as one text line (FRAME, LOGIN, SMS, SMS51,
// MESSAGE, ALERT, INVALID, REPLY, ASK, ANSWER, REFUSED, UNANSWERED, DROP).
class CentreDesk : public QObject
{
    Q_OBJECT

public:
    explicit CentreDesk(CentreRun &run, QObject *parent = nullptr);

    // Bytes the program sent on the connection.
    void receive(QByteArrayView bytes);
    // The connection has ended: answers not yet sent are dropped, operations
    // of the centre's own still unanswered are reported, and the next
    // connection needs a login of its own.
    void reset();

signals:
    // Bytes for the program.
    void transmit(const QByteArray &bytes);
    void report(const QString &line);
    // The connection is to be dropped now, after the bytes transmitted so far.
    void dropRequested();

private:
    void frameReceived(const QByteArray &frame);
    void loginReceived(const QByteArray &frame);
    void submissionReceived(const QByteArray &frame);
    void answerReceived(const QByteArray &frame);
    void submit51Received(const QByteArray &frame);
    void alertReceived(const QByteArray &frame);
    void sessionOpened();
    void sendIncoming();
    void notify(const UcpCentre::Submit51 &sms, const QDateTime &stamp);
    // A TRN of the centre's own sequence that no unanswered operation has.
    QByteArray nextOwnTrn();
    void askOwn(const QByteArray &trn, const QByteArray &ot, const QByteArray &frame);
    // The result a script answer makes for the frame trn/ot, after a late
    // result for the TRN before when the answer asks for one; empty for
    // silence.
    QList<QByteArray> resultsFor(const CentreAnswer &answer, const QByteArray &trn,
                                 const QByteArray &ot) const;
    void ask(const QByteArray &ot, const QByteArray &submissionTrn,
             const UcpCentre::Submission &sms);
    // Sends reply after the reply delay unless the connection ends first;
    // with cut, only its first half goes out and the connection is dropped.
    void answerLater(const QByteArray &reply, bool cut, std::function<void()> then = {});
    void send(const QByteArray &frame);

    CentreRun &m_run;
    QByteArray m_frame;
    bool m_inFrame = false;
    bool m_loggedIn = false;
    // Answers scheduled on a connection must not reach the next one.
    quint64 m_connection = 0;
    // TRN -> operation type of the centre's own operations not yet answered.
    QMap<QByteArray, QByteArray> m_asked;
    int m_ownTrn = 49;
    QTimer m_keepAlive;
};
