#include "gsmpdu.h"

#include "nurziffern.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace Gsm {
namespace {

constexpr char typeInternational = char(0x91);
constexpr char typeNational = char(0x81);

// First octet of an SMS-SUBMIT: TP-MTI 01, no validity period; TP-SRR when
// a status report is wanted, TP-UDHI when the user data begins with a header.
constexpr char submitFirstOctet = 0x01;
constexpr char srrFlag = 0x20;
constexpr char udhiFlag = 0x40;

constexpr char dcsGsm7 = 0x00;
constexpr char dcsUcs2 = 0x08;

// Concatenation header: its length, IEI 00 (8-bit reference) and the
// element's length; reference, part count and part number follow.
constexpr char concatHeader[] = {0x05, 0x00, 0x03};
constexpr int concatHeaderOctets = 6;

struct Number
{
    QString digits;
    bool international = false;
};

Number parseNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    Number number{NurZiffern(trimmed), trimmed.startsWith(u'+')};
    if (!number.international && number.digits.startsWith(u"00"_s)) {
        number.international = true;
        number.digits.remove(0, 2);
    }
    return number;
}

// The digits as semi-octets, the first digit in the low nibble of each
// octet, an odd count padded with F.
QByteArray semiOctets(const QString &digits)
{
    QByteArray octets;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int low = digits.at(i).unicode() - u'0';
        const int high = i + 1 < digits.size() ? digits.at(i + 1).unicode() - u'0' : 0xF;
        octets += char(high << 4 | low);
    }
    return octets;
}

} // namespace

MessageSplit splitMessage(QStringView text)
{
    MessageSplit result;
    if (const std::optional<QByteArray> septets = toSeptets(text)) {
        result.units = int(septets->size());
        if (septets->size() <= singleSeptets) {
            result.payloads.append(*septets);
            return result;
        }
        for (qsizetype start = 0; start < septets->size();) {
            qsizetype end = std::min(start + partSeptets, septets->size());
            // The escape septet never occurs as a character code, so one at
            // the end of a part is cut off from its character.
            if (end < septets->size() && septets->at(end - 1) == escapeSeptet)
                --end;
            result.payloads.append(septets->sliced(start, end - start));
            start = end;
        }
        return result;
    }

    result.encoding = Encoding::Ucs2;
    result.units = int(text.size());
    if (text.size() <= singleUcs2Units) {
        result.payloads.append(toUcs2(text));
        return result;
    }
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = std::min(start + partUcs2Units, text.size());
        if (end < text.size() && text.at(end - 1).isHighSurrogate() &&
            text.at(end).isLowSurrogate())
            --end;
        result.payloads.append(toUcs2(text.sliced(start, end - start)));
        start = end;
    }
    return result;
}

std::optional<QByteArray> encodeDestination(QStringView number)
{
    const Number parsed = parseNumber(number);
    if (parsed.digits.isEmpty() || parsed.digits.size() > maxAddressDigits)
        return std::nullopt;
    QByteArray address;
    address += char(parsed.digits.size());
    address += parsed.international ? typeInternational : typeNational;
    address += semiOctets(parsed.digits);
    return address;
}

std::optional<QByteArray> encodeCentre(QStringView number)
{
    const Number parsed = parseNumber(number);
    if (parsed.digits.isEmpty())
        return QByteArray(1, '\0');
    if (parsed.digits.size() > maxAddressDigits)
        return std::nullopt;
    const QByteArray digits = semiOctets(parsed.digits);
    QByteArray address;
    address += char(1 + digits.size());
    address += parsed.international ? typeInternational : typeNational;
    address += digits;
    return address;
}

MessagePlan planMessage(QStringView text)
{
    const MessageSplit s = splitMessage(text);
    return MessagePlan{s.encoding, int(s.payloads.size()), s.units};
}

SubmitPdus buildSubmitPdus(QStringView recipient, QStringView text, QStringView centre,
                           quint8 reference, bool statusReport)
{
    SubmitPdus result;
    const std::optional<QByteArray> destination = encodeDestination(recipient);
    if (!destination) {
        // No digits at all, only the international prefix 00, or too many.
        const char *reason =
            QT_TRANSLATE_NOOP("LoggedRefusal", "Die Natel-Nummer hat mehr als 20 Ziffern.");
        if (NurZiffern(recipient).isEmpty())
            reason = QT_TRANSLATE_NOOP("LoggedRefusal", "Die Natel-Nummer enthält keine Ziffern.");
        else if (parseNumber(recipient).digits.isEmpty())
            reason = QT_TRANSLATE_NOOP(
                "LoggedRefusal", "Die Natel-Nummer enthält nach der Vorwahl 00 keine Ziffern.");
        result.error = QString::fromUtf8(reason);
        return result;
    }
    const std::optional<QByteArray> sca = encodeCentre(centre);
    if (!sca) {
        result.error = QString::fromUtf8(QT_TRANSLATE_NOOP(
            "LoggedRefusal", "Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern."));
        return result;
    }
    const MessageSplit s = splitMessage(text);
    const qsizetype count = s.payloads.size();
    if (count > maxParts) {
        result.error = QString::fromUtf8(QT_TRANSLATE_NOOP(
            "LoggedRefusal", "Die Nachricht ist zu lang: sie bräuchte mehr als 255 SMS."));
        return result;
    }

    const bool concatenated = count > 1;
    const bool gsm7 = s.encoding == Encoding::Gsm7;
    // The header takes whole septets of a 7-bit text: after its 48 bits one
    // fill bit lets the text begin on the boundary of septet seven.
    const int headerBits = concatenated ? concatHeaderOctets * 8 : 0;
    const int fillBits = (7 - headerBits % 7) % 7;
    const int headerSeptets = (headerBits + fillBits) / 7;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray &payload = s.payloads.at(i);
        QByteArray header;
        if (concatenated) {
            header = QByteArray(concatHeader, sizeof concatHeader);
            header += char(reference);
            header += char(count);
            header += char(i + 1);
        }
        QByteArray tpdu;
        tpdu +=
            char(submitFirstOctet | (statusReport ? srrFlag : 0) | (concatenated ? udhiFlag : 0));
        tpdu += '\0'; // TP-MR
        tpdu += *destination;
        tpdu += '\0'; // TP-PID
        tpdu += gsm7 ? dcsGsm7 : dcsUcs2;
        if (gsm7) {
            tpdu += char(headerSeptets + payload.size());
            tpdu += header + packSeptets(payload, fillBits);
        } else {
            tpdu += char(header.size() + payload.size());
            tpdu += header + payload;
        }
        result.parts.append(SubmitPdu{QByteArray(*sca + tpdu).toHex().toUpper(), int(tpdu.size())});
    }
    return result;
}

QString errorMeaning(const QString &error)
{
    // translate() gives the source back for a text it does not know.
    return QCoreApplication::translate("LoggedRefusal", error.toUtf8().constData());
}

} // namespace Gsm
