#include "modem.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char cr = 0x0D;
constexpr char lf = 0x0A;

// Longer command lines are cut, as a modem's command buffer is small.
constexpr qsizetype maxLineLength = 256;

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
    : QObject(parent), m_dialScript(options.dialScript), m_centre(options), m_desk(m_centre)
{
    m_dialTimer.setSingleShot(true);
    m_dialTimer.setInterval(options.connectDelayMs);
    connect(&m_dialTimer, &QTimer::timeout, this, &Modem::answerDial);
    connect(&m_desk, &CentreDesk::transmit, this, &Modem::transmit);
    connect(&m_desk, &CentreDesk::report, this, &Modem::report);
    connect(&m_desk, &CentreDesk::dropRequested, this, &Modem::carrierLost);
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
            m_desk.receive(QByteArrayView(&byte, 1));
            break;
        }
    }
    if (!echo.isEmpty())
        emit transmit(echo);
}

void Modem::hangUp()
{
    m_dialTimer.stop();
    m_state = State::Command;
    m_line.clear();
    m_desk.reset();
    emit report(u"HANGUP"_s);
}

void Modem::carrierLost()
{
    m_state = State::Command;
    m_line.clear();
    m_desk.reset();
    sendResult("NO CARRIER");
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
        // Several frames may follow, each answered, until the hang-up.
        m_state = State::Data;
        m_desk.reset();
    } else {
        m_state = State::Command;
    }
    sendResult(resultText(m_dialOutcome));
}

void Modem::sendResult(const QByteArray &text)
{
    emit transmit("\r\n" + text + "\r\n");
    emit report(u"RESULT "_s + QString::fromLatin1(text));
}
