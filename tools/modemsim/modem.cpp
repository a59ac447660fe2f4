#include "modem.h"

#include "reporter.h"
#include "ucpcentre.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char stx = 0x02;
constexpr char etx = 0x03;
constexpr char cr = 0x0D;
constexpr char lf = 0x0A;

// Longer command lines are cut, as a modem's command buffer is small; a
// frame that never ends is dropped rather than growing without limit.
constexpr qsizetype maxLineLength = 256;
constexpr qsizetype maxFrameLength = 4096;

// Not a frame the program could parse: no slashes, no checksum.
constexpr char garbage[] = "#?garbage?#";

QByteArray resultText(DialOutcome outcome)
{
    switch (outcome) {
    case DialOutcome::Connect:
        return "CONNECT 9600";
    case DialOutcome::Busy:
        return "BUSY";
    case DialOutcome::NoCarrier:
        return "NO CARRIER";
    case DialOutcome::NoAnswer:
        return "NO ANSWER";
    case DialOutcome::NoDialtone:
        return "NO DIALTONE";
    case DialOutcome::Silent:
        break;
    }
    return {};
}

bool startsWithAt(const QByteArray &line, const char *prefix)
{
    return line.toUpper().startsWith(prefix);
}

} // namespace

Modem::Modem(const SimOptions &options, QObject *parent)
    : QObject(parent), m_dialScript(options.dialScript), m_centreScript(options.centreScript),
      m_replyDelayMs(options.replyDelayMs)
{
    m_dialTimer.setSingleShot(true);
    m_dialTimer.setInterval(options.connectDelayMs);
    connect(&m_dialTimer, &QTimer::timeout, this, &Modem::answerDial);
}

void Modem::receive(const QByteArray &bytes)
{
    QByteArray echo;
    for (const char byte : bytes) {
        switch (m_state) {
        case State::Command:
            commandByte(byte, &echo);
            break;
        case State::Dialling:
            // A key press ends a dial attempt; the byte itself is consumed.
            abortDial();
            break;
        case State::Data:
            dataByte(byte);
            break;
        }
    }
    if (!echo.isEmpty())
        emit transmit(echo);
}

void Modem::hangUp()
{
    ++m_callId;
    m_dialTimer.stop();
    m_state = State::Command;
    m_line.clear();
    m_frame.clear();
    m_inFrame = false;
    emit report(u"HANGUP"_s);
}

void Modem::commandByte(char byte, QByteArray *echo)
{
    echo->append(byte);
    if (byte == lf)
        return;
    if (byte != cr) {
        if (m_line.size() < maxLineLength)
            m_line.append(byte);
        return;
    }
    // The echo of the command goes out before the modem's answer to it.
    emit transmit(std::exchange(*echo, {}));
    commandLine(std::exchange(m_line, {}));
}

void Modem::commandLine(const QByteArray &line)
{
    if (line.isEmpty() || !startsWithAt(line, "AT"))
        return;
    if (!startsWithAt(line, "ATD")) {
        sendResult("OK");
        return;
    }
    emit report(u"DIAL "_s + QString::fromLatin1(QByteArray(line + cr).toHex().toUpper()));
    m_state = State::Dialling;
    m_dialOutcome = m_dialScript.next();
    // A silent line never answers; only a key press or a hang-up ends it.
    if (m_dialOutcome != DialOutcome::Silent)
        m_dialTimer.start();
}

void Modem::abortDial()
{
    m_dialTimer.stop();
    m_state = State::Command;
    m_line.clear();
    emit report(u"ABORT"_s);
    sendResult("NO CARRIER");
}

void Modem::answerDial()
{
    if (m_state != State::Dialling)
        return;
    if (m_dialOutcome == DialOutcome::Connect) {
        m_state = State::Data;
        m_frame.clear();
        m_inFrame = false;
    } else {
        m_state = State::Command;
    }
    sendResult(resultText(m_dialOutcome));
}

void Modem::dataByte(char byte)
{
    if (byte == stx) {
        // A new start byte abandons a frame that never got its end.
        m_frame.clear();
        m_inFrame = true;
        return;
    }
    if (!m_inFrame)
        return;
    if (byte == etx) {
        m_inFrame = false;
        frameReceived(std::exchange(m_frame, {}));
        return;
    }
    if (m_frame.size() >= maxFrameLength) {
        m_frame.clear();
        m_inFrame = false;
        return;
    }
    m_frame.append(byte);
}

void Modem::frameReceived(const QByteArray &frame)
{
    emit report(u"FRAME "_s + escapedForLine(QString::fromLatin1(frame)));
    const UcpCentre::CheckResult check = UcpCentre::checkSubmission(frame);
    // Every frame takes its turn in the script, also one that is refused
    // for its syntax whatever the script says.
    const CentreAnswer answer = m_centreScript.next();
    QByteArray reply;
    if (!check.valid) {
        emit report(u"INVALID "_s + escapedForLine(check.reason));
        reply = UcpCentre::negativeResult(check.trn, check.ot, UcpCentre::syntaxError);
    } else {
        const UcpCentre::Submission &sms = check.submission;
        emit report(u"SMS to="_s + escapedForLine(sms.recipient) + u" from="_s +
                    escapedForLine(sms.originator) + u" text="_s + escapedForLine(sms.text));
        switch (answer.kind) {
        case CentreAnswer::Ack:
            reply = UcpCentre::positiveResult(check.trn, check.ot);
            break;
        case CentreAnswer::Nack:
            reply = UcpCentre::negativeResult(check.trn, check.ot, answer.errorCode);
            break;
        case CentreAnswer::Garbage:
            reply = garbage;
            break;
        case CentreAnswer::Silent:
            return;
        }
    }
    const quint64 callId = m_callId;
    QTimer::singleShot(m_replyDelayMs, this, [this, callId, reply] {
        if (callId == m_callId)
            sendReply(reply);
    });
}

void Modem::sendResult(const QByteArray &text)
{
    emit transmit("\r\n" + text + "\r\n");
    emit report(u"RESULT "_s + QString::fromLatin1(text));
}

void Modem::sendReply(const QByteArray &frame)
{
    emit transmit(stx + frame + etx);
    emit report(u"REPLY "_s + QString::fromLatin1(frame));
}
