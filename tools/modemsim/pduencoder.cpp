#include "pduencoder.h"

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace SmsPdu {
namespace {

const QString defaultAlphabet =
    u"@£$¥èéùìòÇ\nØø\rÅåΔ_ΦΓΛΩΠΨΣΘΞ\x1bÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
    u"¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà"_s;
const QString extensionCharacters = u"\f^{}\\[~]|€"_s;
const int extensionCodes[] = {0x0A, 0x14, 0x28, 0x29, 0x2F, 0x3C, 0x3D, 0x3E, 0x40, 0x65};

// The septets of a text, or nothing when a character has no place in the
// default alphabet.
std::optional<QByteArray> septets(const QString &text)
{
    QByteArray result;
    for (const QChar c : text) {
        const qsizetype code = c == u'\x1b' ? -1 : defaultAlphabet.indexOf(c);
        const qsizetype extension = extensionCharacters.indexOf(c);
        if (code >= 0) {
            result.append(char(code));
        } else if (extension >= 0) {
            result.append(char(0x1B));
            result.append(char(extensionCodes[extension]));
        } else {
            return std::nullopt;
        }
    }
    return result;
}

// Septets packed after skipBits zero bits.
QByteArray pack(const QByteArray &septets, int skipBits = 0)
{
    const int bits = skipBits + int(septets.size()) * 7;
    QByteArray octets((bits + 7) / 8, '\0');
    for (qsizetype i = 0; i < septets.size(); ++i) {
        for (int b = 0; b < 7; ++b) {
            const int bit = skipBits + int(i) * 7 + b;
            if ((septets[i] >> b) & 1)
                octets[bit / 8] = char(quint8(octets[bit / 8]) | (1 << (bit % 8)));
        }
    }
    return octets;
}

QByteArray swappedDigits(const QString &digits)
{
    QByteArray octets;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int low = digits.at(i).digitValue();
        const int high = i + 1 < digits.size() ? digits.at(i + 1).digitValue() : 0x0F;
        octets.append(char(high << 4 | low));
    }
    return octets;
}

// TP-OA / TP-RA: length in semi-octets, type and the address.
QByteArray address(const QString &number, int type = -1)
{
    QString digits = number;
    const bool international = digits.startsWith(u'+');
    if (international)
        digits.remove(0, 1);
    bool numeric = !digits.isEmpty();
    for (const QChar c : digits)
        numeric = numeric && c.isDigit();
    if (!numeric) {
        // An alphanumeric name: packed septets; the length counts the
        // semi-octets they fill.
        const QByteArray name = septets(number).value_or(QByteArray()).left(11);
        const int semiOctets = (int(name.size()) * 7 + 3) / 4;
        return QByteArray(1, char(semiOctets)) + char(0xD0) + pack(name);
    }
    if (type < 0)
        type = international ? 0x91 : 0x81;
    return QByteArray(1, char(digits.size())) + char(type) + swappedDigits(digits);
}

QByteArray centreAddress(const QString &centre)
{
    if (centre.isEmpty())
        return QByteArray(1, '\0');
    const QByteArray encoded = address(centre).mid(1);
    return QByteArray(1, char(encoded.size())) + encoded;
}

QByteArray timestamp(const QDateTime &at)
{
    const QDateTime utc = at.toUTC();
    const QString digits = utc.toString(u"yyMMddHHmmss"_s) + u"00"_s;
    return swappedDigits(digits);
}

Encoded finish(const QString &centre, const QByteArray &tpdu)
{
    const QByteArray pdu = centreAddress(centre) + tpdu;
    return Encoded{pdu.toHex().toUpper(), int(tpdu.size())};
}

} // namespace

QList<Encoded> encodeDeliver(const QString &centre, const QString &sender, const QString &text,
                             int reference, const QDateTime &sentAt)
{
    const std::optional<QByteArray> gsm = septets(text);
    // The units of each part: septets (an escape stays with its character)
    // or UTF-16 units (a surrogate pair stays whole).
    QList<QByteArray> parts;
    if (gsm) {
        const qsizetype perPart = gsm->size() <= 160 ? 160 : 153;
        for (qsizetype at = 0; at < gsm->size() || parts.isEmpty();) {
            qsizetype take = std::min(perPart, gsm->size() - at);
            if (take > 0 && at + take < gsm->size() && (*gsm)[at + take - 1] == 0x1B)
                --take;
            parts.append(gsm->mid(at, take));
            at += take;
        }
    } else {
        QByteArray ucs2;
        for (const QChar c : text)
            ucs2 += char(c.unicode() >> 8), ucs2 += char(c.unicode() & 0xFF);
        // The 16-bit reference takes 7 octets of the 140: 66 units remain.
        const qsizetype perPart = ucs2.size() <= 140 ? 140 : 132;
        for (qsizetype at = 0; at < ucs2.size() || parts.isEmpty();) {
            qsizetype take = std::min(perPart, ucs2.size() - at);
            const quint8 last = take >= 2 ? quint8(ucs2[at + take - 2]) : 0;
            if (at + take < ucs2.size() && last >= 0xD8 && last <= 0xDB)
                take -= 2;
            parts.append(ucs2.mid(at, take));
            at += take;
        }
    }
    QList<Encoded> result;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray header;
        if (parts.size() > 1) {
            if (gsm) {
                header = QByteArray("\x05\x00\x03", 3);
            } else {
                header = QByteArray("\x06\x08\x04", 3);
                header += char((reference >> 8) & 0xFF);
            }
            header += char(reference & 0xFF);
            header += char(parts.size());
            header += char(i + 1);
        }
        QByteArray tpdu(1, char(0x04 | (header.isEmpty() ? 0 : 0x40)));
        tpdu += address(sender);
        tpdu += '\0';                    // TP-PID
        tpdu += char(gsm ? 0x00 : 0x08); // TP-DCS
        tpdu += timestamp(sentAt);
        if (gsm) {
            const int headerSeptets = int(header.size() * 8 + 6) / 7;
            QByteArray ud = pack(parts.at(i), headerSeptets * 7);
            ud.replace(0, header.size(), header);
            tpdu += char(headerSeptets + parts.at(i).size());
            tpdu += ud;
        } else {
            tpdu += char(header.size() + parts.at(i).size());
            tpdu += header + parts.at(i);
        }
        result.append(finish(centre, tpdu));
    }
    return result;
}

Encoded encodeStatusReport(const QString &centre, int mr, const QString &recipient,
                           int recipientType, const QDateTime &sentAt, const QDateTime &doneAt,
                           int status)
{
    // SMS-STATUS-REPORT, no more messages waiting.
    QByteArray tpdu(1, char(0x06));
    tpdu += char(mr);
    tpdu += address(recipient, recipientType);
    tpdu += timestamp(sentAt);
    tpdu += timestamp(doneAt);
    tpdu += char(status);
    return finish(centre, tpdu);
}

} // namespace SmsPdu
