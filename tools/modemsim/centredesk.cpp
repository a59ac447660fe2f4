#include "centredesk.h"

#include "reporter.h"
#include "ucpcentre.h"

#include <QDateTime>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr char stx = 0x02;
constexpr char etx = 0x03;

// A frame that never ends is dropped rather than growing without limit.
constexpr qsizetype maxFrameLength = 4096;

// Not a frame the program could parse: no slashes, no checksum.
constexpr char garbage[] = "#?garbage?#";

QString latin1(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

QString CentreRun::statsLine() const
{
    return u"STATS submissions="_s + QString::number(stats.submissions) + u" notifications="_s +
           QString::number(stats.notifications) + u" notification-answers="_s +
           QString::number(stats.notificationAnswers) + u" incoming="_s +
           QString::number(stats.incoming) + u" incoming-answers="_s +
           QString::number(stats.incomingAnswers) + u" refusals="_s +
           QString::number(stats.refusals) + u" alerts="_s + QString::number(stats.alerts) +
           u" keepalive-drops="_s + QString::number(stats.keepAliveDrops);
}

QDateTime CentreRun::nextStamp()
{
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    if (lastStamp.isValid() && now <= lastStamp)
        now = lastStamp.addSecs(1);
    lastStamp = now;
    return now;
}

CentreDesk::CentreDesk(CentreRun &run, QObject *parent) : QObject(parent), m_run(run)
{
    m_keepAlive.setSingleShot(true);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] {
        ++m_run.stats.keepAliveDrops;
        emit report(u"DROP keepalive: no operation for "_s +
                    QString::number(m_run.keepAliveLimitMs) + u" ms"_s);
        emit dropRequested();
    });
    if (m_run.keepAliveLimitMs > 0)
        m_keepAlive.start(m_run.keepAliveLimitMs);
    // Without a login to wait for, the session is open at once.
    if (m_run.account.isEmpty())
        QTimer::singleShot(0, this, &CentreDesk::sessionOpened);
}

void CentreDesk::receive(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (byte == stx) {
            // A new start byte abandons a frame that never got its end.
            m_frame.clear();
            m_inFrame = true;
        } else if (!m_inFrame) {
            continue;
        } else if (byte == etx) {
            m_inFrame = false;
            frameReceived(std::exchange(m_frame, {}));
        } else if (m_frame.size() >= maxFrameLength) {
            m_frame.clear();
            m_inFrame = false;
        } else {
            m_frame.append(byte);
        }
    }
}

void CentreDesk::reset()
{
    ++m_connection;
    m_frame.clear();
    m_inFrame = false;
    m_loggedIn = false;
    for (auto it = m_asked.cbegin(); it != m_asked.cend(); ++it)
        emit report(u"UNANSWERED "_s + latin1(it.key()) + u' ' + latin1(it.value()));
    m_asked.clear();
    m_keepAlive.stop();
}

void CentreDesk::frameReceived(const QByteArray &frame)
{
    emit report(u"FRAME "_s + escapedForLine(latin1(frame)));
    const QList<QByteArray> fields = frame.split('/');
    if (fields.value(2) == "O" && m_keepAlive.isActive())
        m_keepAlive.start(m_run.keepAliveLimitMs);
    if (fields.value(2) == "R")
        answerReceived(frame);
    else if (fields.value(2) == "O" && fields.value(3) == "60")
        loginReceived(frame);
    else if (fields.value(2) == "O" && fields.value(3) == "51")
        submit51Received(frame);
    else if (fields.value(2) == "O" && fields.value(3) == "31")
        alertReceived(frame);
    else
        submissionReceived(frame);
}

void CentreDesk::loginReceived(const QByteArray &frame)
{
    const UcpCentre::LoginCheck check = UcpCentre::checkLogin(frame);
    if (!check.valid) {
        emit report(u"INVALID "_s + escapedForLine(check.reason));
        answerLater(UcpCentre::negativeResult(check.trn, "60", UcpCentre::syntaxError), false);
        return;
    }
    const bool fits = m_run.account.isEmpty() ||
                      (check.account == m_run.account && check.password == m_run.password);
    const CentreAnswer answer =
        fits ? m_run.loginScript.next()
             : CentreAnswer{CentreAnswer::Nack, UcpCentre::authenticationFailure, {}};
    m_loggedIn = answer.kind == CentreAnswer::Ack;
    emit report(u"LOGIN "_s + (m_loggedIn ? u"ok"_s : u"refused"_s) + u" account="_s +
                latin1(check.account));
    for (const QByteArray &reply : resultsFor(answer, check.trn, "60"))
        answerLater(reply, false);
    if (m_loggedIn)
        QTimer::singleShot(m_run.replyDelayMs, this, &CentreDesk::sessionOpened);
}

void CentreDesk::sessionOpened()
{
    if (m_run.incomingSent || m_run.incoming.isEmpty())
        return;
    m_run.incomingSent = true;
    const quint64 connection = m_connection;
    QTimer::singleShot(m_run.incomingAfterMs, this, [this, connection] {
        if (connection == m_connection)
            sendIncoming();
        else
            m_run.incomingSent = false;
    });
}

void CentreDesk::sendIncoming()
{
    int reference = 0;
    for (const IncomingScript &message : std::as_const(m_run.incoming)) {
        QList<QByteArray> trns;
        for (int i = UcpCentre::incomingParts(message.text); i > 0; --i) {
            trns.append(nextOwnTrn());
            m_asked.insert(trns.last(), "52");
        }
        const QList<QByteArray> frames =
            UcpCentre::incomingMessage(trns, message.sender, QString::fromLatin1(m_run.account),
                                       message.text, QDateTime::currentDateTime(), ++reference);
        for (qsizetype i = 0; i < frames.size(); ++i) {
            ++m_run.stats.incoming;
            askOwn(trns.at(i), "52", frames.at(i));
        }
    }
}

QByteArray CentreDesk::nextOwnTrn()
{
    QByteArray trn;
    do {
        m_ownTrn = (m_ownTrn + 1) % 100;
        trn = QByteArray::number(m_ownTrn).rightJustified(2, '0');
    } while (m_asked.contains(trn));
    return trn;
}

void CentreDesk::askOwn(const QByteArray &trn, const QByteArray &ot, const QByteArray &frame)
{
    m_asked.insert(trn, ot);
    emit transmit(stx + frame + etx);
    emit report(u"ASK "_s + latin1(frame));
}

void CentreDesk::submit51Received(const QByteArray &frame)
{
    const UcpCentre::Submit51Check check = UcpCentre::checkSubmit51(frame);
    const CentreAnswer answer = m_run.script.next();
    const bool cut = m_run.dropAfter > 0 && ++m_run.submissions == m_run.dropAfter;
    QList<QByteArray> replies;
    std::function<void()> then;
    if (!check.valid) {
        emit report(u"INVALID "_s + escapedForLine(check.reason));
        replies = {UcpCentre::negativeResult(check.trn, "51", UcpCentre::syntaxError)};
    } else if (!m_run.account.isEmpty() && !m_loggedIn) {
        emit report(u"INVALID submission before the login"_s);
        replies = {UcpCentre::negativeResult(check.trn, "51", UcpCentre::notAllowed)};
    } else {
        const UcpCentre::Submit51 &sms = check.sms;
        ++m_run.stats.submissions;
        const QString udh = sms.concat ? QString::number(sms.concat->reference) + u'/' +
                                             QString::number(sms.concat->total) + u'/' +
                                             QString::number(sms.concat->sequence)
                                       : u"-"_s;
        emit report(u"SMS51 to="_s + sms.recipient + u" from="_s + escapedForLine(sms.originator) +
                    u" nrq="_s + (sms.notify ? u"1"_s : u"0"_s) + u" mt="_s +
                    QString::number(sms.messageType) + u" dcs="_s +
                    QString::number(sms.dcs, 16).rightJustified(2, u'0') + u" udh="_s + udh +
                    u" text="_s + escapedForLine(sms.text));
        if (sms.concat && sms.concat->total > 1) {
            const QString key = sms.recipient + u'|' + QString::number(sms.concat->reference) +
                                u'|' + QString::number(sms.concat->total);
            QMap<int, QString> &texts = m_run.parts[key];
            texts.insert(sms.concat->sequence, sms.text);
            if (texts.size() == sms.concat->total) {
                emit report(u"MESSAGE to="_s + sms.recipient + u" parts="_s +
                            QString::number(sms.concat->total) + u" text="_s +
                            escapedForLine(texts.values().join(QString())));
                m_run.parts.remove(key);
            }
        }
        if (!answer.ownOperation.isEmpty())
            ask(answer.ownOperation, check.trn, {sms.recipient, sms.originator, sms.text});
        replies = resultsFor(answer, check.trn, "51");
        if (answer.kind == CentreAnswer::Ack) {
            const QDateTime stamp = m_run.nextStamp();
            replies.last() = UcpCentre::submitResult(check.trn, sms.recipient, stamp);
            if (sms.notify)
                then = [this, sms, stamp] { notify(sms, stamp); };
        }
    }
    if (cut) {
        answerLater(replies.value(replies.size() - 1), true);
        return;
    }
    for (qsizetype i = 0; i < replies.size(); ++i)
        answerLater(replies.at(i), false, i + 1 == replies.size() ? then : nullptr);
}

void CentreDesk::notify(const UcpCentre::Submit51 &sms, const QDateTime &stamp)
{
    const ReportOutcome outcome = m_run.outcomes.value(sms.recipient);
    ++m_run.stats.notifications;
    const QByteArray trn = nextOwnTrn();
    askOwn(trn, "53",
           UcpCentre::deliveryNotification(trn, sms, stamp, outcome.dst, outcome.reason,
                                           QDateTime::currentDateTime()));
}

void CentreDesk::alertReceived(const QByteArray &frame)
{
    const UcpCentre::AlertCheck check = UcpCentre::checkAlert(frame);
    if (!check.valid) {
        emit report(u"INVALID "_s + escapedForLine(check.reason));
        answerLater(UcpCentre::negativeResult(check.trn, "31", UcpCentre::syntaxError), false);
        return;
    }
    ++m_run.stats.alerts;
    emit report(u"ALERT adc="_s + latin1(check.adc));
    answerLater(UcpCentre::positiveResult(check.trn, "31"), false);
}

QList<QByteArray> CentreDesk::resultsFor(const CentreAnswer &answer, const QByteArray &trn,
                                         const QByteArray &ot) const
{
    const QByteArray before = QByteArray::number((trn.toInt() + 99) % 100).rightJustified(2, '0');
    QList<QByteArray> results;
    if (answer.lateFirst)
        results.append(UcpCentre::negativeResult(before, ot, UcpCentre::syntaxError));
    switch (answer.kind) {
    case CentreAnswer::Ack:
        results.append(UcpCentre::positiveResult(trn, ot));
        break;
    case CentreAnswer::Nack:
        results.append(UcpCentre::negativeResult(trn, ot, answer.errorCode));
        break;
    case CentreAnswer::Garbage:
        results.append(garbage);
        break;
    case CentreAnswer::OtherTrnAck:
        results.append(UcpCentre::positiveResult(before, ot));
        break;
    case CentreAnswer::Silent:
        break;
    }
    return results;
}

void CentreDesk::submissionReceived(const QByteArray &frame)
{
    const UcpCentre::CheckResult check = UcpCentre::checkSubmission(frame);
    // Every submission takes its turn in the script, also one that is
    // refused whatever the script says.
    const CentreAnswer answer = m_run.script.next();
    const bool cut = m_run.dropAfter > 0 && ++m_run.submissions == m_run.dropAfter;
    QList<QByteArray> replies;
    if (!check.valid) {
        emit report(u"INVALID "_s + escapedForLine(check.reason));
        replies = {UcpCentre::negativeResult(check.trn, check.ot, UcpCentre::syntaxError)};
    } else if (!m_run.account.isEmpty() && !m_loggedIn) {
        emit report(u"INVALID submission before the login"_s);
        replies = {UcpCentre::negativeResult(check.trn, check.ot, UcpCentre::notAllowed)};
    } else {
        const UcpCentre::Submission &sms = check.submission;
        emit report(u"SMS to="_s + escapedForLine(sms.recipient) + u" from="_s +
                    escapedForLine(sms.originator) + u" text="_s + escapedForLine(sms.text));
        if (!answer.ownOperation.isEmpty())
            ask(answer.ownOperation, check.trn, sms);
        replies = resultsFor(answer, check.trn, check.ot);
    }
    if (cut) {
        answerLater(replies.value(replies.size() - 1), true);
        return;
    }
    for (const QByteArray &reply : std::as_const(replies))
        answerLater(reply, false);
}

void CentreDesk::answerReceived(const QByteArray &frame)
{
    // A refusal of a message or notification the centre handed over: the
    // program could not keep it, so it stays with the centre. Any other
    // operation of the centre's must be answered positively.
    const QList<QByteArray> fields = frame.split('/');
    if (fields.value(4) == "N" && (fields.value(3) == "52" || fields.value(3) == "53") &&
        m_asked.value(fields.at(0)) == fields.at(3)) {
        ++m_run.stats.refusals;
        m_asked.remove(fields.at(0));
        emit report(u"REFUSED "_s + latin1(frame));
        return;
    }
    const UcpCentre::AnswerCheck check = UcpCentre::checkAnswer(frame);
    QString problem = check.reason;
    if (problem.isEmpty()) {
        const auto asked = m_asked.constFind(check.trn);
        if (asked == m_asked.cend()) {
            problem =
                u"result with TRN "_s + latin1(check.trn) + u", which the centre did not ask"_s;
        } else if (*asked != check.ot) {
            problem = u"result for operation "_s + latin1(check.ot) + u", but TRN "_s +
                      latin1(check.trn) + u" asked operation "_s + latin1(*asked);
        }
    }
    if (!problem.isEmpty()) {
        emit report(u"INVALID "_s + escapedForLine(problem));
        return;
    }
    if (check.ot == "53")
        ++m_run.stats.notificationAnswers;
    else if (check.ot == "52")
        ++m_run.stats.incomingAnswers;
    m_asked.remove(check.trn);
    emit report(u"ANSWER "_s + latin1(frame));
}

void CentreDesk::ask(const QByteArray &ot, const QByteArray &submissionTrn,
                     const UcpCentre::Submission &sms)
{
    // A TRN of the centre's own sequence that always differs from the one of
    // the submission waiting for its answer.
    const QByteArray trn =
        QByteArray::number((submissionTrn.toInt() + 50) % 100).rightJustified(2, '0');
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray frame = ot == "31" ? UcpCentre::alertOperation(trn, sms.recipient)
                                        : UcpCentre::notificationOperation(trn, sms, now, now);
    m_asked.insert(trn, ot);
    emit transmit(stx + frame + etx);
    emit report(u"ASK "_s + latin1(frame));
}

void CentreDesk::answerLater(const QByteArray &reply, bool cut, std::function<void()> then)
{
    const quint64 connection = m_connection;
    QTimer::singleShot(m_run.replyDelayMs, this, [this, connection, reply, cut, then] {
        if (connection != m_connection)
            return;
        if (!cut) {
            send(reply);
            if (then)
                then();
            return;
        }
        if (!reply.isEmpty())
            emit transmit(stx + reply.first(reply.size() / 2));
        emit report(u"DROP"_s);
        emit dropRequested();
    });
}

void CentreDesk::send(const QByteArray &frame)
{
    emit transmit(stx + frame + etx);
    emit report(u"REPLY "_s + latin1(frame));
}
