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

CentreDesk::CentreDesk(CentreRun &run, QObject *parent) : QObject(parent), m_run(run) {}

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
}

void CentreDesk::frameReceived(const QByteArray &frame)
{
    emit report(u"FRAME "_s + escapedForLine(latin1(frame)));
    const QList<QByteArray> fields = frame.split('/');
    if (fields.value(2) == "R")
        answerReceived(frame);
    else if (fields.value(2) == "O" && fields.value(3) == "60")
        loginReceived(frame);
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

void CentreDesk::answerLater(const QByteArray &reply, bool cut)
{
    const quint64 connection = m_connection;
    QTimer::singleShot(m_run.replyDelayMs, this, [this, connection, reply, cut] {
        if (connection != m_connection)
            return;
        if (!cut) {
            send(reply);
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
