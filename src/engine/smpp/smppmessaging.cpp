#include "smppmessaging.h"

#include "gsmpdu.h"
#include "gsmreceive.h"
#include "nurziffern.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace Smpp {
namespace {

constexpr quint8 tonUnknown = 0;
constexpr quint8 tonInternational = 1;
constexpr quint8 tonAlphanumeric = 5;
constexpr quint8 npiUnknown = 0;
constexpr quint8 npiIsdn = 1;

constexpr quint8 esmReceipt = 0x04;
constexpr quint8 esmUdhi = 0x40;

constexpr quint8 codingDefault = 0; // the GSM alphabet, one septet per octet
constexpr quint8 codingAscii = 1;
constexpr quint8 codingLatin1 = 3;
constexpr quint8 codingUcs2 = 8;

// Concatenation header: its length, IEI 00 (8-bit reference) and the
// element's length; reference, part count and part number follow.
constexpr char concatHeader[] = {0x05, 0x00, 0x03};

// Digits with "00" or "+" in front are international: TON 1 without the
// prefix; other digits TON 0. Blanks are dropped.
Address numberAddress(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    QString digits = NurZiffern(trimmed);
    if (trimmed.startsWith(u'+'))
        return {tonInternational, npiIsdn, digits.toLatin1()};
    if (digits.startsWith(u"00"_s))
        return {tonInternational, npiIsdn, digits.sliced(2).toLatin1()};
    return {tonUnknown, npiIsdn, digits.toLatin1()};
}

Address senderAddress(const QString &sender)
{
    static const QRegularExpression number(u"^\\s*\\+?[0-9 ]+$"_s);
    if (sender.trimmed().isEmpty())
        return {};
    if (number.match(sender).hasMatch())
        return numberAddress(sender);
    return {tonAlphanumeric, npiUnknown, sender.trimmed().toLatin1()};
}

enum Kind : quint8 { Message, Account, Slow, Other };

struct Entry
{
    quint32 status;
    const char *text; // UTF-8, translated when looked up
    Kind kind;
};

// The command_status codes of SMPP 3.4. A code counts as the message's own
// when the centre would refuse the same message again whatever happens
// (its length, its addresses, its content), as the account's when no
// message can go out until the user changes the settings. 0x04 (not bound
// for this command) and 0x05 (already bound) are failed attempts: the next
// attempt binds anew, and a session left over on the centre runs out.
constexpr Entry table[] = {
    {0x00, QT_TRANSLATE_NOOP("Smpp::Status", "kein Fehler"), Other},
    {0x01, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Nachrichtenlänge"), Message},
    {0x02, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Befehlslänge"), Other},
    {0x03, QT_TRANSLATE_NOOP("Smpp::Status", "Unbekannter Befehl"), Other},
    {0x04, QT_TRANSLATE_NOOP("Smpp::Status", "Befehl im Verbindungszustand nicht erlaubt"), Other},
    {0x05, QT_TRANSLATE_NOOP("Smpp::Status", "Bereits angemeldet"), Other},
    {0x06, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Priorität"), Other},
    {0x07, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Anforderung der Zustellbestätigung"),
     Other},
    {0x08, QT_TRANSLATE_NOOP("Smpp::Status", "Systemfehler des SMS-Centers"), Other},
    {0x0A, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Absenderadresse"), Message},
    {0x0B, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Empfängeradresse"), Message},
    {0x0C, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Nachrichten-ID"), Other},
    {0x0D, QT_TRANSLATE_NOOP("Smpp::Status", "Anmeldung fehlgeschlagen"), Account},
    {0x0E, QT_TRANSLATE_NOOP("Smpp::Status", "Falsches Passwort"), Account},
    {0x0F, QT_TRANSLATE_NOOP("Smpp::Status", "Unbekannte System-ID"), Account},
    {0x11, QT_TRANSLATE_NOOP("Smpp::Status", "Löschen der Nachricht fehlgeschlagen"), Other},
    {0x13, QT_TRANSLATE_NOOP("Smpp::Status", "Ersetzen der Nachricht fehlgeschlagen"), Other},
    {0x14, QT_TRANSLATE_NOOP("Smpp::Status", "Warteschlange des SMS-Centers voll"), Slow},
    {0x15, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Diensttyp"), Other},
    {0x33, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Anzahl Empfänger"), Message},
    {0x34, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Name der Verteilerliste"), Message},
    {0x40, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Art des Empfängers"), Message},
    {0x42, QT_TRANSLATE_NOOP("Smpp::Status", "Ersetzen beim Senden nicht möglich"), Message},
    {0x43, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Nachrichtenart (esm_class)"), Message},
    {0x44, QT_TRANSLATE_NOOP("Smpp::Status", "Senden an eine Verteilerliste nicht möglich"),
     Message},
    {0x45, QT_TRANSLATE_NOOP("Smpp::Status", "Übermittlung fehlgeschlagen"), Message},
    {0x48, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Typ der Absenderadresse (TON)"), Message},
    {0x49, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Nummernplan der Absenderadresse (NPI)"),
     Message},
    {0x50, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Typ der Empfängeradresse (TON)"), Message},
    {0x51, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Nummernplan der Empfängeradresse (NPI)"),
     Message},
    {0x53, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger System-Typ"), Other},
    {0x54, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Ersetzungsangabe"), Other},
    {0x55, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Anzahl Nachrichten"), Other},
    {0x58, QT_TRANSLATE_NOOP("Smpp::Status", "Zu viele Nachrichten: das SMS-Center bremst"), Slow},
    {0x61, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Zeitpunkt der Zustellung"), Message},
    {0x62, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Gültigkeitsdauer"), Message},
    {0x63, QT_TRANSLATE_NOOP("Smpp::Status", "Vordefinierte Nachricht unbekannt"), Message},
    {0x64, QT_TRANSLATE_NOOP("Smpp::Status", "Vorübergehender Fehler beim Empfänger"), Other},
    {0x65, QT_TRANSLATE_NOOP("Smpp::Status", "Dauerhafter Fehler beim Empfänger"), Other},
    {0x66, QT_TRANSLATE_NOOP("Smpp::Status", "Nachricht vom Empfänger abgewiesen"), Message},
    {0x67, QT_TRANSLATE_NOOP("Smpp::Status", "Abfrage der Nachricht fehlgeschlagen"), Message},
    {0xC0, QT_TRANSLATE_NOOP("Smpp::Status", "Fehler in den optionalen Parametern"), Other},
    {0xC1, QT_TRANSLATE_NOOP("Smpp::Status", "Optionaler Parameter nicht erlaubt"), Other},
    {0xC2, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültige Länge eines Parameters"), Other},
    {0xC3, QT_TRANSLATE_NOOP("Smpp::Status", "Optionaler Parameter fehlt"), Other},
    {0xC4, QT_TRANSLATE_NOOP("Smpp::Status", "Ungültiger Wert eines optionalen Parameters"), Other},
    {0xFE, QT_TRANSLATE_NOOP("Smpp::Status", "Zustellung fehlgeschlagen"), Other},
    {0xFF, QT_TRANSLATE_NOOP("Smpp::Status", "Unbekannter Fehler"), Other},
};

const Entry *entryOf(quint32 status)
{
    for (const Entry &entry : table) {
        if (entry.status == status)
            return &entry;
    }
    return nullptr;
}

// The message states of SMPP 3.4 (message_state, 5.2.28) with the
// abbreviations receipts write in "stat:" (appendix B).
struct State
{
    quint8 value;
    const char *name;
    Receipt::Outcome outcome;
    const char *meaning;
};
constexpr State states[] = {
    {1, "ENROUTE", Receipt::Outcome::Pending, QT_TRANSLATE_NOOP("Smpp::Receipt", "unterwegs")},
    {2, "DELIVRD", Receipt::Outcome::Delivered, QT_TRANSLATE_NOOP("Smpp::Receipt", "zugestellt")},
    {3, "EXPIRED", Receipt::Outcome::NotDelivered,
     QT_TRANSLATE_NOOP("Smpp::Receipt", "Gültigkeitsdauer abgelaufen")},
    {4, "DELETED", Receipt::Outcome::NotDelivered,
     QT_TRANSLATE_NOOP("Smpp::Receipt", "vom SMS-Center gelöscht")},
    {5, "UNDELIV", Receipt::Outcome::NotDelivered,
     QT_TRANSLATE_NOOP("Smpp::Receipt", "nicht zustellbar")},
    // Many centres report the mere acceptance this way, with a final
    // receipt to follow.
    {6, "ACCEPTD", Receipt::Outcome::Pending,
     QT_TRANSLATE_NOOP("Smpp::Receipt", "vom SMS-Center angenommen")},
    {7, "UNKNOWN", Receipt::Outcome::Pending,
     QT_TRANSLATE_NOOP("Smpp::Receipt", "Zustand unbekannt")},
    {8, "REJECTD", Receipt::Outcome::NotDelivered,
     QT_TRANSLATE_NOOP("Smpp::Receipt", "abgewiesen")},
};

const State *stateValued(quint8 value)
{
    for (const State &state : states) {
        if (state.value == value)
            return &state;
    }
    return nullptr;
}

const State *stateNamed(const QString &name)
{
    const QString upper = name.toUpper();
    for (const State &state : states) {
        if (upper == QLatin1StringView(state.name))
            return &state;
    }
    // Some centres write the states out.
    static const QHash<QString, quint8> words{
        {u"DELIVERED"_s, 2}, {u"UNDELIVERABLE"_s, 5}, {u"ACCEPTED"_s, 6}, {u"REJECTED"_s, 8}};
    const auto word = words.constFind(upper);
    return word == words.cend() ? nullptr : stateValued(*word);
}

// A C-octet string from an optional parameter, without its NUL.
QString cString(const QByteArray &value)
{
    const qsizetype nul = value.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? value : value.first(nul)).trimmed();
}

QString addressText(const Address &address)
{
    const QString text = QString::fromLatin1(address.address);
    if (address.ton == tonInternational && !text.startsWith(u'+'))
        return u'+' + text;
    return text;
}

// The message's octets: short_message, or message_payload when the centre
// sends the text there.
QByteArray contentOf(const Pdu &pdu)
{
    if (pdu.shortMessage.isEmpty())
        return pdu.tlv(TagMessagePayload).value_or(QByteArray());
    return pdu.shortMessage;
}

// "YYMMDDhhmm" or "YYMMDDhhmmss", local time.
QDateTime receiptTime(const QString &digits)
{
    QDateTime time = QDateTime::fromString(
        u"20"_s + digits, digits.size() == 12 ? u"yyyyMMddHHmmss"_s : u"yyyyMMddHHmm"_s);
    time.setTimeSpec(Qt::LocalTime);
    return time;
}

} // namespace

QList<Pdu> submissions(const QString &recipient, const QString &text, const SubmitOptions &options,
                       quint8 reference)
{
    const Address destination = numberAddress(recipient);
    if (text.isEmpty() || destination.address.isEmpty())
        return {};
    const Gsm::MessageSplit split = Gsm::splitMessage(text);
    const qsizetype count = split.payloads.size();
    if (count > Gsm::maxParts)
        return {};
    Pdu pdu;
    pdu.command = SubmitSm;
    pdu.serviceType = options.serviceType;
    pdu.source = senderAddress(options.sender);
    pdu.destination = destination;
    pdu.registeredDelivery = options.deliveryReceipt ? 1 : 0;
    pdu.dataCoding = split.encoding == Gsm::Encoding::Gsm7 ? codingDefault : codingUcs2;
    pdu.esmClass = count > 1 ? esmUdhi : 0;
    QList<Pdu> parts;
    parts.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        pdu.shortMessage.clear();
        if (count > 1) {
            pdu.shortMessage = QByteArray(concatHeader, sizeof concatHeader);
            pdu.shortMessage += char(reference);
            pdu.shortMessage += char(count);
            pdu.shortMessage += char(i + 1);
        }
        pdu.shortMessage += split.payloads.at(i);
        parts.append(pdu);
    }
    return parts;
}

StatusClass classify(quint32 status)
{
    const Entry *entry = entryOf(status);
    switch (entry ? entry->kind : Other) {
    case Message:
        return StatusClass::MessageRefused;
    case Account:
        return StatusClass::AccountRefused;
    case Slow:
        return StatusClass::SlowDown;
    case Other:
        break;
    }
    return StatusClass::Failed;
}

QString statusMeaning(quint32 status)
{
    if (const Entry *entry = entryOf(status))
        return QCoreApplication::translate("Smpp::Status", entry->text);
    if (status >= 0x400 && status <= 0x4FF)
        return QCoreApplication::translate("Smpp::Status", "Fehler des SMS-Centers");
    return QCoreApplication::translate("Smpp::Status", "Unbekannter Fehlercode");
}

QString statusCode(quint32 status)
{
    return u"0x"_s + QStringLiteral("%1").arg(status, 8, 16, QLatin1Char('0')).toUpper();
}

QString canonicalId(const QString &id)
{
    QString canonical = cString(id.toLatin1()).toUpper();
    qsizetype zeros = 0;
    while (zeros + 1 < canonical.size() && canonical.at(zeros) == u'0')
        ++zeros;
    return canonical.sliced(zeros);
}

QStringList idForms(const QString &id)
{
    const QString canonical = canonicalId(id);
    QStringList forms{canonical};
    bool ok = false;
    const qulonglong decimal = canonical.toULongLong(&ok, 10);
    if (ok)
        forms.append(canonicalId(QString::number(decimal, 16)));
    const qulonglong hex = canonical.toULongLong(&ok, 16);
    if (ok)
        forms.append(QString::number(hex));
    forms.removeDuplicates();
    return forms;
}

bool isReceipt(const Pdu &deliverSm)
{
    return (deliverSm.esmClass & esmReceipt) != 0;
}

std::optional<Receipt> readReceipt(const Pdu &deliverSm)
{
    // The fields before "text:"; the text quotes the message and may hold
    // anything.
    QString fields = QString::fromLatin1(contentOf(deliverSm));
    static const QRegularExpression textField(u"(^|\\s)text:"_s,
                                              QRegularExpression::CaseInsensitiveOption);
    if (const qsizetype at = fields.indexOf(textField); at >= 0)
        fields.truncate(at);
    const auto field = [&fields](const QString &name) {
        const QRegularExpression pattern(u"(?:^|\\s)"_s + name + u":\\s*(\\S*)"_s,
                                         QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = pattern.match(fields);
        return match.hasMatch() ? match.captured(1) : QString();
    };

    Receipt receipt;
    receipt.recipient = addressText(deliverSm.source);
    receipt.messageId = field(u"id"_s);
    if (const auto id = deliverSm.tlv(TagReceiptedMessageId); id && !cString(*id).isEmpty())
        receipt.messageId = cString(*id);
    if (receipt.messageId.isEmpty())
        return std::nullopt;

    receipt.state = field(u"stat"_s).toUpper();
    const State *state = stateNamed(receipt.state);
    if (const auto value = deliverSm.tlv(TagMessageState); value && value->size() == 1) {
        if (const State *given = stateValued(quint8(value->at(0))))
            state = given;
    }
    if (state) {
        receipt.state = QLatin1StringView(state->name);
        receipt.outcome = state->outcome;
    }

    receipt.error = field(u"err"_s);
    if (const auto code = deliverSm.tlv(TagNetworkErrorCode); code && code->size() == 3) {
        // network_type and error_code: "3/1" for GSM cause 1.
        receipt.error = QStringLiteral("%1/%2")
                            .arg(quint8(code->at(0)))
                            .arg(qFromBigEndian<quint16>(code->constData() + 1));
    }
    receipt.doneAt = receiptTime(field(u"done\\s+date"_s));
    return receipt;
}

QString receiptMeaning(const Receipt &receipt)
{
    QString meaning;
    if (const State *state = stateNamed(receipt.state))
        meaning = QCoreApplication::translate("Smpp::Receipt", state->meaning);
    else if (receipt.state.isEmpty())
        meaning = QCoreApplication::translate("Smpp::Receipt", "Zustand unbekannt");
    else
        meaning = QCoreApplication::translate("Smpp::Receipt", "Zustand %1").arg(receipt.state);
    static const QRegularExpression noError(u"^[0/]*$"_s);
    if (!noError.match(receipt.error).hasMatch())
        meaning = QCoreApplication::translate("Smpp::Receipt", "%1 (Fehler %2)")
                      .arg(meaning, receipt.error);
    return meaning;
}

std::optional<IncomingPart> readIncoming(const Pdu &deliverSm)
{
    IncomingPart part;
    part.sender = addressText(deliverSm.source);
    const QByteArray octets = contentOf(deliverSm);
    QByteArrayView content = octets;

    if (deliverSm.esmClass & esmUdhi) {
        if (content.isEmpty() || 1 + quint8(content[0]) > content.size())
            return std::nullopt;
        const qsizetype headerOctets = 1 + quint8(content[0]);
        bool valid = true;
        if (const auto c = Gsm::concatenationOf(content.sliced(1, headerOctets - 1), &valid)) {
            part.reference = c->reference;
            part.total = c->total;
            part.sequence = c->sequence;
        }
        if (!valid)
            return std::nullopt;
        content = content.sliced(headerOctets);
    } else {
        const auto reference = deliverSm.tlv(TagSarMsgRefNum);
        const auto total = deliverSm.tlv(TagSarTotalSegments);
        const auto sequence = deliverSm.tlv(TagSarSegmentSeqnum);
        if (reference && total && sequence && reference->size() == 2 && total->size() == 1 &&
            sequence->size() == 1) {
            const int count = quint8(total->at(0));
            const int number = quint8(sequence->at(0));
            // As with a header: a part number of 0 or past the total is ignored.
            if (number >= 1 && number <= count) {
                part.reference = qFromBigEndian<quint16>(reference->constData());
                part.total = count;
                part.sequence = number;
            }
        }
    }

    const quint8 coding = deliverSm.dataCoding;
    if (coding == codingDefault || (coding & 0xF4) == 0xF0) {
        part.text = Gsm::fromSeptets(content);
    } else if (coding == codingAscii || coding == codingLatin1) {
        part.text = QString::fromLatin1(content);
    } else if (coding == codingUcs2) {
        if (content.size() % 2 != 0)
            return std::nullopt;
        part.text.reserve(content.size() / 2);
        for (qsizetype i = 0; i < content.size(); i += 2)
            part.text += QChar(qFromBigEndian<quint16>(content.data() + i));
    } else {
        return std::nullopt;
    }
    return part;
}

} // namespace Smpp
