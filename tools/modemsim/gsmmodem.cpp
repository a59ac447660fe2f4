#include "gsmmodem.h"

#include "devicelink.h"
#include "pdudecoder.h"
#include "ptyline.h"
#include "reporter.h"
#include "simoptions.h"

#include <QCoreApplication>
#include <QTimer>

#include <cctype>

using namespace Qt::StringLiterals;

namespace {

constexpr char cr = 0x0D;
constexpr char lf = 0x0A;
constexpr char ctrlZ = 0x1A;
constexpr char esc = 0x1B;

// A modem's command buffer is small; a PDU is at most 12 + 164 octets, so
// anything much longer is cut and then fails the length check.
constexpr qsizetype maxLineLength = 256;
constexpr qsizetype maxPduDigits = 1024;

// The largest SMS-SUBMIT TPDU: first octet, TP-MR, a 20-digit address,
// TP-PID, TP-DCS, a 7-octet validity period, TP-UDL and 140 octets of data.
constexpr int maxTpduLength = 164;

// +CME ERROR codes of TS 27.007 that the SIM gives.
constexpr int cmeNotAllowed = 3;
constexpr int cmePukRequired = 12;
constexpr int cmeIncorrectPassword = 16;
// +CMS ERROR codes of TS 27.005 that the modem gives itself.
constexpr int cmsNotSupported = 303;
constexpr int cmsInvalidPdu = 304;
constexpr int cmsPinRequired = 311;

constexpr int wrongPinsUntilBlocked = 3;

QByteArray cmsError(int code)
{
    return "+CMS ERROR: " + QByteArray::number(code);
}

bool isHex(const QByteArray &text)
{
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// The value of a parameter as written, without the quotes around it.
QString unquoted(QByteArrayView value)
{
    QString text = QString::fromLatin1(value.trimmed());
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2);
    return text;
}

} // namespace

GsmModem::GsmModem(const SimOptions &options, QObject *parent)
    : QObject(parent), m_sim(options.gsm.pin.isEmpty() ? Sim::Ready : Sim::PinRequired),
      m_pin(options.gsm.pin), m_centre(options.gsm.centre), m_cmgsScript(options.gsm.cmgsScript),
      m_unsolicited(options.gsm.unsolicited), m_replyDelayMs(options.replyDelayMs)
{}

void GsmModem::receive(const QByteArray &bytes)
{
    QByteArray echo;
    for (const char byte : bytes) {
        if (m_input == Input::Command)
            commandByte(byte, &echo);
        else
            pduByte(byte, &echo);
    }
    if (!echo.isEmpty())
        emit transmit(echo);
}

void GsmModem::hangUp()
{
    ++m_session;
    m_input = Input::Command;
    m_line.clear();
    m_pdu.clear();
    emit report(u"HANGUP"_s);
}

void GsmModem::commandByte(char byte, QByteArray *echo)
{
    // ESC cancels a PDU; in command mode a modem passes over it, so that a
    // program may send one to be sure that no PDU input is left open.
    if (byte == esc)
        return;
    if (m_echo)
        echo->append(byte);
    if (byte == lf)
        return;
    if (byte != cr) {
        if (m_line.size() < maxLineLength)
            m_line.append(byte);
        return;
    }
    // The echo of the command goes out before the modem's answer to it.
    if (!echo->isEmpty())
        emit transmit(std::exchange(*echo, {}));
    commandLine(std::exchange(m_line, {}).trimmed());
}

void GsmModem::commandLine(const QByteArray &line)
{
    if (!line.toUpper().startsWith("AT"))
        return;
    emit report(u"COMMAND "_s + escapedForLine(QString::fromLatin1(line)));
    const QByteArray command = line.mid(2).toUpper();
    const QByteArrayView argument = QByteArrayView(line).sliced(command.indexOf('=') + 3);

    if (command.isEmpty()) {
        respond({"OK"});
    } else if (command == "Z" || command == "&F") {
        m_echo = true;
        m_errorMode = 0;
        respond({"OK"});
    } else if (command == "E0" || command == "E" || command == "E1") {
        m_echo = command == "E1";
        respond({"OK"});
    } else if (command.startsWith("+CMEE=")) {
        const QByteArray mode = command.mid(6);
        if (mode != "0" && mode != "1" && mode != "2") {
            respond({"ERROR"});
            return;
        }
        m_errorMode = mode.toInt();
        respond({"OK"});
    } else if (command == "+CMEE?") {
        respond({"+CMEE: " + QByteArray::number(m_errorMode), "OK"});
    } else if (command == "+CPIN?") {
        static const QByteArray states[] = {"SIM PIN", "READY", "SIM PUK"};
        respond({"+CPIN: " + states[int(m_sim)], "OK"});
    } else if (command.startsWith("+CPIN=")) {
        pinEntered(unquoted(argument));
    } else if (command == "+CMGF=0") {
        respond({"OK"});
    } else if (command == "+CMGF=1") {
        // Text mode is not simulated; the program uses PDU mode only.
        respond({cmsError(cmsNotSupported)});
    } else if (command == "+CMGF?") {
        respond({"+CMGF: 0", "OK"});
    } else if (command == "+CSCA?" || command.startsWith("+CSCA=")) {
        if (m_sim != Sim::Ready) {
            respond({cmsError(cmsPinRequired)});
        } else if (command == "+CSCA?") {
            const QByteArray type = m_centre.startsWith(u'+') ? "145" : "129";
            respond({"+CSCA: \"" + m_centre.toLatin1() + "\"," + type, "OK"});
        } else {
            // AT+CSCA="<number>"[,<type>]: the type follows from the number.
            m_centre = unquoted(argument.toByteArray().split(',').constFirst());
            respond({"OK"});
        }
    } else if (command.startsWith("+CMGS=")) {
        bool ok = false;
        const int length = command.mid(6).toInt(&ok);
        if (m_sim != Sim::Ready) {
            respond({cmsError(cmsPinRequired)});
        } else if (!ok || length < 1 || length > maxTpduLength) {
            respond({cmsError(cmsInvalidPdu)});
        } else {
            m_tpduLength = length;
            m_pdu.clear();
            m_input = Input::Pdu;
            sendUnsolicited();
            emit transmit("\r\n> ");
            emit report(u"PROMPT"_s);
        }
    } else {
        respond({"ERROR"});
    }
}

void GsmModem::pinEntered(const QString &pin)
{
    switch (m_sim) {
    case Sim::Ready:
        respond({cmeError(cmeNotAllowed)});
        return;
    case Sim::PukRequired:
        respond({cmeError(cmePukRequired)});
        return;
    case Sim::PinRequired:
        break;
    }
    if (pin == m_pin) {
        m_sim = Sim::Ready;
        m_wrongPins = 0;
        emit report(u"PIN ok"_s);
        respond({"OK"});
        return;
    }
    ++m_wrongPins;
    emit report(u"PIN wrong "_s + QString::number(m_wrongPins));
    if (m_wrongPins >= wrongPinsUntilBlocked) {
        m_sim = Sim::PukRequired;
        emit report(u"PIN blocked"_s);
    }
    respond({cmeError(cmeIncorrectPassword)});
}

void GsmModem::pduByte(char byte, QByteArray *echo)
{
    if (byte == ctrlZ || byte == esc) {
        m_input = Input::Command;
        if (!echo->isEmpty())
            emit transmit(std::exchange(*echo, {}));
        if (byte == ctrlZ) {
            pduComplete();
        } else {
            m_pdu.clear();
            emit report(u"CANCEL"_s);
            respond({"OK"});
        }
        return;
    }
    // Line ends and blanks between the digits carry nothing.
    if (byte == cr || byte == lf || byte == ' ')
        return;
    if (m_echo)
        echo->append(byte);
    if (m_pdu.size() < maxPduDigits)
        m_pdu.append(byte);
}

void GsmModem::pduComplete()
{
    const QByteArray hex = std::exchange(m_pdu, {});
    emit report(u"PDU "_s + escapedForLine(QString::fromLatin1(hex)));
    // Every PDU takes its turn in the script, also one that is refused for
    // its form whatever the script says.
    const CmgsAnswer answer = m_cmgsScript.next();

    QString error;
    std::optional<SmsPdu::Submit> sms;
    if (hex.size() % 2 != 0 || !isHex(hex))
        error = u"not an even number of hex digits"_s;
    else
        sms = SmsPdu::decodeSubmit(QByteArray::fromHex(hex), &error);
    if (sms && sms->tpduLength != m_tpduLength) {
        error = u"AT+CMGS="_s + QString::number(m_tpduLength) + u" but the TPDU has "_s +
                QString::number(sms->tpduLength) + u" octets"_s;
        sms.reset();
    }
    const quint64 session = m_session;
    if (!sms) {
        emit report(u"INVALID "_s + escapedForLine(error));
        QTimer::singleShot(m_replyDelayMs, this, [this, session] {
            if (session == m_session)
                respond({cmsError(cmsInvalidPdu)});
        });
        return;
    }

    const QString reference = sms->reference < 0 ? u"-"_s : QString::number(sms->reference);
    emit report(u"SMS to="_s + sms->recipient + u" centre="_s + sms->centre + u" enc="_s +
                sms->encoding + u" part="_s + QString::number(sms->partNumber) + u'/' +
                QString::number(sms->partCount) + u" ref="_s + reference + u" text="_s +
                escapedForLine(sms->text));
    if (answer.kind == CmgsAnswer::Silent)
        return;
    const QString key = sms->recipient + u'|' + reference + u'|' + QString::number(sms->partCount);
    QTimer::singleShot(m_replyDelayMs, this, [this, session, answer, key, sms = *sms] {
        if (session != m_session)
            return;
        switch (answer.kind) {
        case CmgsAnswer::Ok:
            respond({"+CMGS: " + QByteArray::number(++m_messageReference), "OK"});
            partAccepted(key, sms);
            break;
        case CmgsAnswer::CmsError:
            respond({cmsError(answer.code)});
            break;
        case CmgsAnswer::Error:
            respond({"ERROR"});
            break;
        case CmgsAnswer::Silent:
            break;
        }
    });
}

void GsmModem::partAccepted(const QString &key, const SmsPdu::Submit &sms)
{
    Parts &parts = m_pending[key];
    parts.encoding = sms.encoding;
    parts.texts.insert(sms.partNumber, sms.text);
    if (parts.texts.size() < sms.partCount)
        return;
    QString text;
    for (const QString &part : std::as_const(parts.texts))
        text += part;
    emit report(u"MESSAGE to="_s + sms.recipient + u" enc="_s + parts.encoding + u" parts="_s +
                QString::number(sms.partCount) + u" text="_s + escapedForLine(text));
    m_pending.remove(key);
}

void GsmModem::respond(const QList<QByteArray> &lines)
{
    sendUnsolicited();
    QByteArray bytes;
    for (const QByteArray &line : lines) {
        bytes += "\r\n" + line + "\r\n";
        emit report(u"RESULT "_s + QString::fromLatin1(line));
    }
    emit transmit(bytes);
}

void GsmModem::sendUnsolicited()
{
    for (const QString &line : std::as_const(m_unsolicited)) {
        emit transmit("\r\n" + line.toLatin1() + "\r\n");
        emit report(u"URC "_s + escapedForLine(line));
    }
}

QByteArray GsmModem::cmeError(int code) const
{
    switch (m_errorMode) {
    case 1:
        return "+CME ERROR: " + QByteArray::number(code);
    case 2:
        switch (code) {
        case cmeNotAllowed:
            return "+CME ERROR: operation not allowed";
        case cmePukRequired:
            return "+CME ERROR: SIM PUK required";
        case cmeIncorrectPassword:
            return "+CME ERROR: incorrect password";
        }
        return "+CME ERROR: unknown";
    default:
        return "ERROR";
    }
}

int runGsmModem(const SimOptions &options, PtyLine &line, DeviceLink &link, Reporter &reporter)
{
    GsmModem modem(options);
    QObject::connect(&modem, &GsmModem::transmit, &line, &PtyLine::send);
    QObject::connect(&modem, &GsmModem::report, &modem,
                     [&reporter](const QString &text) { reporter.line(text); });
    QObject::connect(&line, &PtyLine::opened, &modem, [&reporter] { reporter.line(u"OPEN"_s); });
    QObject::connect(&line, &PtyLine::received, &modem,
                     [&reporter, &modem](const QByteArray &bytes) {
                         reporter.line(u"RX "_s + QString::fromLatin1(bytes.toHex().toUpper()));
                         modem.receive(bytes);
                     });
    QObject::connect(&line, &PtyLine::hungUp, &modem, &GsmModem::hangUp);

    reporter.line(u"READY "_s + link.path() + u' ' + line.slavePath());
    const int status = QCoreApplication::exec();
    link.remove();
    return status;
}
