#include "gsmreceive.h"

#include "gsmpdu.h"

#include <QCoreApplication>
#include <QTimeZone>

#include <cctype>

namespace Gsm {
namespace {

enum class Fault {
    None,
    NotHex,
    Truncated,
    Trailing,
    NotDeliver,
    NotStatusReport,
    BadAddress,
    BadLength,
    BadHeader,
};

QString faultText(Fault fault)
{
    const char *text = "";
    switch (fault) {
    case Fault::None:
        break;
    case Fault::NotHex:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Die PDU ist kein Hex-Text.");
        break;
    case Fault::Truncated:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Die PDU bricht vor ihrem Ende ab.");
        break;
    case Fault::Trailing:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Die PDU ist länger als ihre Längenangaben.");
        break;
    case Fault::NotDeliver:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Die PDU ist keine empfangene SMS.");
        break;
    case Fault::NotStatusReport:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Die PDU ist kein Zustellbericht.");
        break;
    case Fault::BadAddress:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Eine Adresse in der PDU ist zu lang.");
        break;
    case Fault::BadLength:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu", "Die Textlänge in der PDU ist ungültig.");
        break;
    case Fault::BadHeader:
        text = QT_TRANSLATE_NOOP("Gsm::ReceivedPdu",
                                 "Der Kopf der Nutzdaten in der PDU ist ungültig.");
        break;
    }
    return QCoreApplication::translate("Gsm::ReceivedPdu", text);
}

// TP-MTI in the two lowest bits of the first octet.
constexpr int mtiMask = 0x03;
constexpr int mtiDeliver = 0x00;
constexpr int mtiStatusReport = 0x02;
constexpr int udhiFlag = 0x40;

// An address holds at most ten octets after its type: twenty digits, or
// eleven characters of an alphanumeric sender.
constexpr int maxAddressOctets = 10;
constexpr int maxSeptets = 160;
constexpr int maxUserDataOctets = 140;
constexpr int timestampOctets = 7;

// Octets read one field after the other. Reading past the end takes
// nothing and marks the PDU as cut short; every length read from the PDU is
// checked against what is left before it is used.
class Reader
{
public:
    explicit Reader(QByteArrayView octets) : m_octets(octets) {}

    bool failed() const { return m_fault != Fault::None; }
    Fault fault() const { return m_fault; }
    void fail(Fault fault)
    {
        if (m_fault == Fault::None)
            m_fault = fault;
    }
    qsizetype left() const { return m_octets.size() - m_at; }

    int octet()
    {
        const QByteArrayView one = take(1);
        return one.isEmpty() ? 0 : quint8(one[0]);
    }
    QByteArrayView take(qsizetype count)
    {
        if (failed() || count > left()) {
            fail(Fault::Truncated);
            return {};
        }
        const QByteArrayView part = m_octets.sliced(m_at, count);
        m_at += count;
        return part;
    }

private:
    QByteArrayView m_octets;
    qsizetype m_at = 0;
    Fault m_fault = Fault::None;
};

// Strict hex: an even number of hex digits and nothing else, blanks around
// it aside (QByteArray::fromHex would pass over any other character).
std::optional<QByteArray> octetsOf(QByteArrayView hex)
{
    const QByteArrayView trimmed = hex.trimmed();
    if (trimmed.size() % 2 != 0)
        return std::nullopt;
    for (const char c : trimmed) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    }
    return QByteArray::fromHex(trimmed.toByteArray());
}

// Semi-octets, the first in the low nibble; F pads an odd count. The other
// values above 9 stand for * # a b c (TS 24.008, called party BCD number).
QString digitsOf(QByteArrayView octets, int count)
{
    static constexpr char16_t nibbles[] = u"0123456789*#abc";
    QString digits;
    for (int i = 0; i < count && i / 2 < octets.size(); ++i) {
        const int octet = quint8(octets[i / 2]);
        const int nibble = i % 2 == 0 ? octet & 0x0F : octet >> 4;
        if (nibble != 0xF)
            digits += QChar(nibbles[nibble]);
    }
    return digits;
}

// The number's form for the user: "+" for an international number (type of
// number 001), the characters of an alphanumeric sender (101) in packed GSM
// 7-bit, the digits alone for any other.
QString addressText(int type, QByteArrayView octets, int semiOctets)
{
    const int typeOfNumber = (type >> 4) & 0x07;
    if (typeOfNumber == 0x05)
        return fromSeptets(unpackSeptets(octets, semiOctets * 4 / 7));
    const QString digits = digitsOf(octets, semiOctets);
    return typeOfNumber == 0x01 && !digits.isEmpty() ? QStringLiteral("+") + digits : digits;
}

// The service centre address: its length in octets (type included), 0 for
// none.
QString readCentre(Reader &r)
{
    const int length = r.octet();
    if (length == 0 || r.failed())
        return {};
    if (length > 1 + maxAddressOctets) {
        r.fail(Fault::BadAddress);
        return {};
    }
    const int type = r.octet();
    const QByteArrayView octets = r.take(length - 1);
    return r.failed() ? QString() : addressText(type, octets, int(octets.size()) * 2);
}

// TP-OA or TP-RA: its length counts the semi-octets that carry the address.
QString readAddress(Reader &r)
{
    const int semiOctets = r.octet();
    if (semiOctets > 2 * maxAddressOctets) {
        r.fail(Fault::BadAddress);
        return {};
    }
    const int type = r.octet();
    const QByteArrayView octets = r.take((semiOctets + 1) / 2);
    return r.failed() ? QString() : addressText(type, octets, semiOctets);
}

// Two decimal digits as swapped semi-octets; -1 when a nibble is no digit.
int swappedBcd(int octet)
{
    const int tens = octet & 0x0F;
    const int units = octet >> 4;
    return tens > 9 || units > 9 ? -1 : tens * 10 + units;
}

// TP-SCTS and TP-DT: year, month, day, hour, minute, second and the offset
// from UTC in quarter hours, whose sign is bit 3 of the tens digit. A year
// of two digits lies in 2000..2099.
QDateTime readTimestamp(Reader &r)
{
    const QByteArrayView octets = r.take(timestampOctets);
    if (r.failed())
        return {};
    int fields[timestampOctets - 1];
    for (int i = 0; i < timestampOctets - 1; ++i) {
        fields[i] = swappedBcd(quint8(octets[i]));
        if (fields[i] < 0)
            return {};
    }
    const int zone = quint8(octets[timestampOctets - 1]);
    const int quarters = swappedBcd(zone & 0xF7);
    if (quarters < 0)
        return {};
    const int offset = (zone & 0x08 ? -quarters : quarters) * 15 * 60;
    const QDate date(2000 + fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5]);
    if (!date.isValid() || !time.isValid() || offset < QTimeZone::MinUtcOffsetSecs ||
        offset > QTimeZone::MaxUtcOffsetSecs)
        return {};
    return QDateTime(date, time, QTimeZone(offset));
}

// TS 23.038, chapter 4: the alphabet of the coding groups. Compressed text
// cannot be read, so it is shown as data; reserved groups are read as the
// default alphabet, as the standard asks of a receiver.
DataCoding codingOf(int dcs)
{
    switch (dcs >> 4) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0x3:
    case 0x4:
    case 0x5:
    case 0x6:
    case 0x7:
        if (dcs & 0x20)
            return DataCoding::EightBit;
        switch ((dcs >> 2) & 0x03) {
        case 0x01:
            return DataCoding::EightBit;
        case 0x02:
            return DataCoding::Ucs2;
        default:
            return DataCoding::Gsm7;
        }
    case 0xE: // message waiting indication, store the message, UCS-2
        return DataCoding::Ucs2;
    case 0xF: // data coding and message class: bit 2 chooses 8-bit data
        return dcs & 0x04 ? DataCoding::EightBit : DataCoding::Gsm7;
    default:
        return DataCoding::Gsm7;
    }
}

// The information elements of a user data header: a concatenation element
// gives the part; any other element is passed over. A concatenation element
// with a sequence of 0 or beyond its total is ignored (TS 23.040,
// 9.2.3.24.1); the first usable one counts.
std::optional<Concatenation> readHeader(QByteArrayView elements, Fault *fault)
{
    std::optional<Concatenation> part;
    for (qsizetype at = 0; at < elements.size();) {
        if (at + 2 > elements.size() || at + 2 + quint8(elements[at + 1]) > elements.size()) {
            *fault = Fault::BadHeader;
            return std::nullopt;
        }
        const int iei = quint8(elements[at]);
        const QByteArrayView data = elements.sliced(at + 2, quint8(elements[at + 1]));
        at += 2 + data.size();
        Concatenation c;
        if (iei == 0x00 && data.size() == 3) {
            c = {quint8(data[0]), quint8(data[1]), quint8(data[2])};
        } else if (iei == 0x08 && data.size() == 4) {
            c = {quint8(data[0]) << 8 | quint8(data[1]), quint8(data[2]), quint8(data[3])};
        } else {
            continue;
        }
        if (!part && c.sequence >= 1 && c.sequence <= c.total)
            part = c;
    }
    return part;
}

// TP-UDL and TP-UD to the end of the PDU: septets for 7-bit, octets else.
// After a header, 7-bit text starts on the next septet boundary of the user
// data, so fill bits follow the header.
void readUserData(Reader &r, bool headed, DeliverPdu &sms)
{
    const int length = r.octet();
    const bool gsm7 = sms.coding == DataCoding::Gsm7;
    if (r.failed())
        return;
    if (length > (gsm7 ? maxSeptets : maxUserDataOctets)) {
        r.fail(Fault::BadLength);
        return;
    }
    const QByteArrayView data = r.take(gsm7 ? (length * 7 + 7) / 8 : length);
    if (r.failed())
        return;
    if (r.left() > 0) {
        r.fail(Fault::Trailing);
        return;
    }
    qsizetype headerOctets = 0;
    if (headed) {
        if (data.isEmpty() || 1 + quint8(data[0]) > data.size()) {
            r.fail(Fault::BadHeader);
            return;
        }
        headerOctets = 1 + quint8(data[0]);
        Fault fault = Fault::None;
        sms.part = readHeader(data.sliced(1, headerOctets - 1), &fault);
        if (fault != Fault::None) {
            r.fail(fault);
            return;
        }
    }
    const QByteArrayView body = data.sliced(headerOctets);
    switch (sms.coding) {
    case DataCoding::Gsm7: {
        const int headerBits = int(headerOctets) * 8;
        const int fillBits = (7 - headerBits % 7) % 7;
        const int headerSeptets = (headerBits + fillBits) / 7;
        if (headerSeptets > length) {
            r.fail(Fault::BadHeader);
            return;
        }
        sms.text = fromSeptets(unpackSeptets(body, length - headerSeptets, fillBits));
        break;
    }
    case DataCoding::EightBit:
        sms.text = QString::fromLatin1(body.toByteArray().toHex().toUpper());
        break;
    case DataCoding::Ucs2:
        if (body.size() % 2 != 0) {
            r.fail(Fault::BadLength);
            return;
        }
        sms.text.reserve(body.size() / 2);
        for (qsizetype i = 0; i < body.size(); i += 2)
            sms.text += QChar(char16_t(quint8(body[i]) << 8 | quint8(body[i + 1])));
        break;
    }
}

// The meanings of TP-ST that TS 23.040 defines; the temporary errors read
// alike whether the centre tries on (0x2x) or has given up (0x6x).
struct StatusMeaning
{
    quint8 code;
    const char *text; // UTF-8, translated when looked up
};
constexpr StatusMeaning statusMeanings[] = {
    {0x00, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "zugestellt")},
    {0x01, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus",
                             "an den Empfänger weitergeleitet, Zustellung unbestätigt")},
    {0x02, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "durch eine neuere Nachricht ersetzt")},
    {0x20, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Netz überlastet")},
    {0x21, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Empfänger besetzt")},
    {0x22, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Empfänger vorübergehend nicht erreichbar")},
    {0x23, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Dienst abgelehnt")},
    {0x24, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Dienstqualität nicht verfügbar")},
    {0x25, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Fehler im Gerät des Empfängers")},
    {0x40, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Protokollfehler beim Empfänger")},
    {0x41, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Empfänger kann die Nachricht nicht annehmen")},
    {0x42, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "vom Empfänger abgewiesen")},
    {0x43, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Empfänger unbekannt")},
    {0x44, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Dienstqualität nicht verfügbar")},
    {0x45, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "kein Übergang ins Netz des Empfängers")},
    {0x46, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Gültigkeitsdauer abgelaufen")},
    {0x47, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "vom Absender gelöscht")},
    {0x48, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "von der Nachrichtenzentrale gelöscht")},
    {0x49, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "in der Nachrichtenzentrale nicht bekannt")},
    {0x60, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Netz überlastet")},
    {0x61, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Empfänger besetzt")},
    {0x62, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Empfänger vorübergehend nicht erreichbar")},
    {0x63, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Dienst abgelehnt")},
    {0x64, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Dienstqualität nicht verfügbar")},
    {0x65, QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "Fehler im Gerät des Empfängers")},
};

template <typename Result>
std::optional<Result> finish(const Reader &r, Result result, QString *error)
{
    if (r.failed()) {
        if (error)
            *error = faultText(r.fault());
        return std::nullopt;
    }
    if (error)
        error->clear();
    return result;
}

std::optional<QByteArray> octetsOrError(QByteArrayView hex, QString *error)
{
    std::optional<QByteArray> octets = octetsOf(hex);
    if (!octets && error)
        *error = faultText(Fault::NotHex);
    return octets;
}

} // namespace

std::optional<Concatenation> concatenationOf(QByteArrayView elements, bool *valid)
{
    Fault fault = Fault::None;
    std::optional<Concatenation> part = readHeader(elements, &fault);
    if (valid)
        *valid = fault == Fault::None;
    return part;
}

std::optional<DeliverPdu> decodeDeliver(QByteArrayView hex, QString *error)
{
    const std::optional<QByteArray> octets = octetsOrError(hex, error);
    if (!octets)
        return std::nullopt;
    Reader r(*octets);
    DeliverPdu sms;
    sms.centre = readCentre(r);
    sms.tpduLength = int(r.left());
    const int first = r.octet();
    if (!r.failed() && (first & mtiMask) != mtiDeliver)
        r.fail(Fault::NotDeliver);
    sms.sender = readAddress(r);
    sms.protocolId = quint8(r.octet());
    sms.dataCoding = quint8(r.octet());
    sms.coding = codingOf(sms.dataCoding);
    sms.sentAt = readTimestamp(r);
    readUserData(r, first & udhiFlag, sms);
    return finish(r, sms, error);
}

std::optional<StatusReport> decodeStatusReport(QByteArrayView hex, QString *error)
{
    const std::optional<QByteArray> octets = octetsOrError(hex, error);
    if (!octets)
        return std::nullopt;
    Reader r(*octets);
    StatusReport report;
    report.centre = readCentre(r);
    report.tpduLength = int(r.left());
    const int first = r.octet();
    if (!r.failed() && (first & mtiMask) != mtiStatusReport)
        r.fail(Fault::NotStatusReport);
    report.reference = r.octet();
    report.recipient = readAddress(r);
    report.centreTime = readTimestamp(r);
    report.dischargeTime = readTimestamp(r);
    report.status = quint8(r.octet());
    return finish(r, report, error);
}

DeliveryStatus deliveryStatus(quint8 status)
{
    DeliveryStatus result;
    result.kind = status < 0x20   ? DeliveryStatus::Completed
                  : status < 0x40 ? DeliveryStatus::Trying
                  : status < 0x60 ? DeliveryStatus::FailedPermanent
                                  : DeliveryStatus::FailedTemporary;
    for (const StatusMeaning &entry : statusMeanings) {
        if (entry.code == status) {
            result.meaning = QCoreApplication::translate("Gsm::DeliveryStatus", entry.text);
            return result;
        }
    }
    const char *text = nullptr;
    if (status >= 0x80)
        text = QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "unbekannter Status (Code %1)");
    else if (result.kind == DeliveryStatus::Completed)
        text = QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "abgeschlossen (Code %1)");
    else if (result.kind == DeliveryStatus::Trying)
        text = QT_TRANSLATE_NOOP("Gsm::DeliveryStatus",
                                 "noch nicht zugestellt, weitere Versuche folgen (Code %1)");
    else if (result.kind == DeliveryStatus::FailedPermanent)
        text = QT_TRANSLATE_NOOP("Gsm::DeliveryStatus", "nicht zustellbar (Code %1)");
    else
        text = QT_TRANSLATE_NOOP("Gsm::DeliveryStatus",
                                 "nicht zugestellt, keine weiteren Versuche (Code %1)");
    const QString code = QString::number(status, 16).toUpper().rightJustified(2, u'0');
    result.meaning = QCoreApplication::translate("Gsm::DeliveryStatus", text).arg(code);
    return result;
}

} // namespace Gsm
