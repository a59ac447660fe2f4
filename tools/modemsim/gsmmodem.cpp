#include "gsmmodem.h"

#include "devicelink.h"
#include "pdudecoder.h"
#include "pduencoder.h"
#include "ptyline.h"
#include "reporter.h"
#include "simoptions.h"

#include <QCoreApplication>
#include <QRegularExpression>
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
constexpr int cmsInvalidIndex = 321;
constexpr int cmsNoCnmaExpected = 340;

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
      m_unsolicited(options.gsm.unsolicited), m_replyDelayMs(options.replyDelayMs),
      m_cnmi(options.gsm.cnmi), m_outcomes(options.gsm.outcomes),
      m_reportDelayMs(options.gsm.reportDelayMs), m_incoming(options.gsm.incoming),
      m_incomingDelayMs(options.gsm.incomingDelayMs)
{
    for (const QString &item : options.gsm.waiting)
        storeMessage(item, u"waiting"_s);
}

void GsmModem::opened()
{
    m_open = true;
}

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
    m_open = false;
    m_deferred.clear();
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
    } else if (command == "+CNMI=?") {
        respond(m_cnmi.isEmpty() ? QList<QByteArray>{"ERROR"}
                                 : QList<QByteArray>{"+CNMI: " + m_cnmi.toLatin1(), "OK"});
    } else if (command.startsWith("+CNMI=")) {
        setIndications(command.mid(6));
    } else if (command == "+CPMS=?") {
        respond({"+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\",\"ME\")", "OK"});
    } else if (command.startsWith("+CPMS=")) {
        // One storage stands for all that the program may name.
        const QByteArray used =
            QByteArray::number(m_storage.size()) + ',' + QByteArray::number(storageSize);
        emit report(u"STORAGE "_s + QString::fromLatin1(command.mid(6)));
        respond({"+CPMS: " + used + ',' + used + ',' + used, "OK"});
    } else if (command.startsWith("+CMGR=")) {
        const int index = command.mid(6).toInt();
        if (m_sim != Sim::Ready) {
            respond({cmsError(cmsPinRequired)});
        } else if (!m_storage.contains(index)) {
            respond({cmsError(cmsInvalidIndex)});
        } else {
            Stored &stored = m_storage[index];
            const QByteArray stat = stored.read ? "1" : "0";
            stored.read = true;
            emit report(u"READ "_s + QString::number(index));
            respond({"+CMGR: " + stat + ",," + QByteArray::number(stored.tpduLength), stored.hex,
                     "OK"});
        }
    } else if (command.startsWith("+CMGD=")) {
        const int index = command.mid(6).split(',').constFirst().toInt();
        emit report(u"DELETE "_s + QString::number(index) +
                    (m_storage.remove(index) ? QString() : u" (empty)"_s));
        respond({"OK"});
    } else if (command == "+CMGL=4") {
        QList<QByteArray> lines;
        for (auto it = m_storage.begin(); it != m_storage.end(); ++it) {
            lines.append("+CMGL: " + QByteArray::number(it.key()) + ',' + (it->read ? "1" : "0") +
                         ",," + QByteArray::number(it->tpduLength));
            lines.append(it->hex);
            it->read = true;
        }
        emit report(u"LIST "_s + QString::number(m_storage.size()));
        lines.append("OK");
        respond(lines);
    } else if (command == "+CNMA") {
        respond({cmsError(cmsNoCnmaExpected)});
    } else if (command == "+CSMS?") {
        respond({"+CSMS: 0,1,1,1", "OK"});
    } else {
        respond({"ERROR"});
    }
}

void GsmModem::setIndications(const QByteArray &values)
{
    // Each value must be one the modem offers.
    static const QRegularExpression list(u"\\(([^)]*)\\)"_s);
    QList<QList<int>> offered;
    for (const QRegularExpressionMatch &match : list.globalMatch(m_cnmi)) {
        QList<int> group;
        for (const QString &item : match.captured(1).split(u',')) {
            const int first = item.section(u'-', 0, 0).toInt();
            const int last = item.contains(u'-') ? item.section(u'-', 1, 1).toInt() : first;
            for (int value = first; value <= last; ++value)
                group.append(value);
        }
        offered.append(group);
    }
    const QList<QByteArray> asked = values.split(',');
    bool valid = !m_cnmi.isEmpty() && asked.size() <= offered.size();
    QList<int> chosen{0, 0, 0, 0, 0};
    for (qsizetype i = 0; valid && i < asked.size(); ++i) {
        bool ok = false;
        chosen[i] = asked.at(i).toInt(&ok);
        valid = ok && offered.at(i).contains(chosen.at(i));
    }
    if (!valid) {
        respond({"ERROR"});
        return;
    }
    const bool wasOn = m_mt == 1;
    m_mt = chosen.at(1);
    m_ds = chosen.at(3);
    emit report(u"INDICATIONS mt="_s + QString::number(m_mt) + u" ds="_s + QString::number(m_ds));
    respond({"OK"});
    if (wasOn || m_mt != 1 || m_incoming.isEmpty())
        return;
    const QStringList incoming = std::exchange(m_incoming, {});
    QTimer::singleShot(m_incomingDelayMs, this, [this, incoming] {
        for (const QString &item : incoming)
            storeMessage(item, u"incoming"_s);
    });
}

int GsmModem::store(const QString &kind, const QByteArray &hex, int tpduLength)
{
    for (int index = 1; index <= storageSize; ++index) {
        if (!m_storage.contains(index)) {
            m_storage.insert(index, Stored{kind, false, hex, tpduLength});
            return index;
        }
    }
    emit report(u"FULL"_s);
    return 0;
}

void GsmModem::storeMessage(const QString &item, const QString &why)
{
    const QString sender = item.section(u'=', 0, 0);
    const QString text = item.section(u'=', 1);
    const QList<SmsPdu::Encoded> parts = SmsPdu::encodeDeliver(
        m_centre, sender, text, ++m_incomingReference, QDateTime::currentDateTimeUtc());
    for (const SmsPdu::Encoded &part : parts) {
        const int index = store(u"deliver"_s, part.hex, part.tpduLength);
        if (index == 0)
            return;
        emit report(u"STORED "_s + QString::number(index) + u' ' + why + u" from="_s + sender +
                    u" parts="_s + QString::number(parts.size()));
        if (m_mt == 1)
            indicate("+CMTI: \"SM\"," + QByteArray::number(index));
    }
}

void GsmModem::scheduleReports(const SmsPdu::Submit &sms, int reference)
{
    const quint64 session = m_session;
    const QList<int> statuses = m_outcomes.value(sms.recipient, QList<int>{0x00});
    const QDateTime sentAt = QDateTime::currentDateTimeUtc();
    for (qsizetype i = 0; i < statuses.size(); ++i) {
        const int status = statuses.at(i);
        QTimer::singleShot(m_reportDelayMs * int(i + 1), this, [=, this] {
            const SmsPdu::Encoded pdu =
                SmsPdu::encodeStatusReport(m_centre, reference, sms.recipient, sms.recipientType,
                                           sentAt, QDateTime::currentDateTimeUtc(), status);
            const QString what = u"mr="_s + QString::number(reference) + u" to="_s + sms.recipient +
                                 u" st="_s + QString::number(status, 16).rightJustified(2, u'0');
            if (m_ds == 1 && session == m_session && m_open) {
                emit report(u"CDS "_s + what);
                indicate("+CDS: " + QByteArray::number(pdu.tpduLength) + "\r\n" + pdu.hex);
            } else if (m_ds == 2) {
                const int index = store(u"report"_s, pdu.hex, pdu.tpduLength);
                emit report(u"STORED "_s + QString::number(index) + u" report "_s + what);
                if (index > 0)
                    indicate("+CDSI: \"SM\"," + QByteArray::number(index));
            } else {
                emit report(u"NOREPORT "_s + what);
            }
        });
    }
}

void GsmModem::indicate(const QByteArray &line)
{
    emit report(u"URC "_s + escapedForLine(QString::fromLatin1(line)));
    if (!m_open)
        return;
    if (m_input == Input::Pdu)
        m_deferred += "\r\n" + line + "\r\n";
    else
        emit transmit("\r\n" + line + "\r\n");
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
            if (sms.statusReport)
                scheduleReports(sms, m_messageReference);
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
    QByteArray bytes = std::exchange(m_deferred, {});
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
    QObject::connect(&line, &PtyLine::opened, &modem, [&reporter, &modem] {
        reporter.line(u"OPEN"_s);
        modem.opened();
    });
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
