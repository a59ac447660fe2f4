#include "pdudecoder.h"

using namespace Qt::StringLiterals;

namespace SmsPdu {
namespace {

// The default alphabet in code order; the escape at 0x1B is written as a
// blank here and handled before the table is consulted.
const QString defaultAlphabet =
    u"@£$¥èéùìòÇ\nØø\rÅåΔ_ΦΓΛΩΠΨΣΘΞ ÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
    u"¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà"_s;

QChar extensionCharacter(int code)
{
    switch (code) {
    case 0x0A:
        return u'\f';
    case 0x14:
        return u'^';
    case 0x28:
        return u'{';
    case 0x29:
        return u'}';
    case 0x2F:
        return u'\\';
    case 0x3C:
        return u'[';
    case 0x3D:
        return u'~';
    case 0x3E:
        return u']';
    case 0x40:
        return u'|';
    case 0x65:
        return u'€';
    default:
        // A receiver shows the default alphabet's character instead.
        return defaultAlphabet.at(code);
    }
}

// Reads the PDU front to back; every read checks that the octets are there.
class Reader
{
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    qsizetype left() const { return m_data.size() - m_pos; }
    bool octet(int *value)
    {
        if (left() < 1)
            return false;
        *value = quint8(m_data[m_pos++]);
        return true;
    }
    bool octets(qsizetype count, QByteArrayView *value)
    {
        if (count < 0 || left() < count)
            return false;
        *value = m_data.sliced(m_pos, count);
        m_pos += count;
        return true;
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Swapped semi-octets to digits; "+" in front for the international type.
std::optional<QString> addressDigits(QByteArrayView octets, int digitCount, int type,
                                     QString *error)
{
    QString number = (type & 0x70) == 0x10 ? u"+"_s : QString();
    for (int i = 0; i < octets.size() * 2; ++i) {
        const int nibble = (quint8(octets[i / 2]) >> (i % 2 == 0 ? 0 : 4)) & 0x0F;
        if (i >= digitCount) {
            if (nibble != 0x0F) {
                *error =
                    u"address padded with "_s + QString::number(nibble, 16) + u" instead of F"_s;
                return std::nullopt;
            }
            continue;
        }
        if (nibble > 9) {
            *error = u"address holds the semi-octet "_s + QString::number(nibble, 16).toUpper();
            return std::nullopt;
        }
        number += QChar(u'0' + nibble);
    }
    return number;
}

QString decodeSeptets(QByteArrayView ud, int firstBit, int count)
{
    QString text;
    bool escaped = false;
    for (int i = 0; i < count; ++i) {
        int septet = 0;
        for (int b = 0; b < 7; ++b) {
            const int bit = firstBit + i * 7 + b;
            if ((quint8(ud[bit / 8]) >> (bit % 8)) & 1)
                septet |= 1 << b;
        }
        if (escaped)
            text += extensionCharacter(septet);
        else if (septet != 0x1B)
            text += defaultAlphabet.at(septet);
        escaped = !escaped && septet == 0x1B;
    }
    return text;
}

} // namespace

std::optional<Submit> decodeSubmit(QByteArrayView pdu, QString *error)
{
    Reader reader(pdu);
    Submit sms;
    int scaLength = 0;
    if (!reader.octet(&scaLength)) {
        *error = u"empty PDU"_s;
        return std::nullopt;
    }
    if (scaLength > 0) {
        int type = 0;
        QByteArrayView digits;
        if (scaLength > 11 || !reader.octet(&type) || !reader.octets(scaLength - 1, &digits)) {
            *error = u"service centre address of "_s + QString::number(scaLength) +
                     u" octets does not fit"_s;
            return std::nullopt;
        }
        // An odd count of digits ends in F, which the digit count allows for.
        const bool odd = !digits.isEmpty() && (quint8(digits.back()) & 0xF0) == 0xF0;
        const std::optional<QString> centre =
            addressDigits(digits, int(digits.size() * 2) - (odd ? 1 : 0), type, error);
        if (!centre)
            return std::nullopt;
        sms.centre = *centre;
    }
    sms.tpduLength = int(reader.left());

    int firstOctet = 0;
    int reference = 0;
    int digitCount = 0;
    int type = 0;
    int pid = 0;
    int dcs = 0;
    QByteArrayView daDigits;
    if (!reader.octet(&firstOctet) || !reader.octet(&reference) || !reader.octet(&digitCount) ||
        !reader.octet(&type) || !reader.octets((digitCount + 1) / 2, &daDigits) ||
        !reader.octet(&pid) || !reader.octet(&dcs)) {
        *error = u"TPDU ends before the data coding scheme"_s;
        return std::nullopt;
    }
    if ((firstOctet & 0x03) != 0x01) {
        *error = u"not an SMS-SUBMIT (first octet "_s + QString::number(firstOctet, 16) + u')';
        return std::nullopt;
    }
    if (digitCount == 0 || digitCount > 20 || (type & 0x70) == 0x50) {
        *error = u"unusable recipient address"_s;
        return std::nullopt;
    }
    const std::optional<QString> recipient = addressDigits(daDigits, digitCount, type, error);
    if (!recipient)
        return std::nullopt;
    sms.recipient = *recipient;
    sms.recipientType = type;
    sms.statusReport = firstOctet & 0x20;

    if ((dcs & 0xC0) == 0x00 && (dcs & 0x20) == 0) {
        static const QString alphabets[] = {u"7bit"_s, u"8bit"_s, u"ucs2"_s, QString()};
        sms.encoding = alphabets[(dcs >> 2) & 0x03];
    } else if ((dcs & 0xF0) == 0xF0) {
        sms.encoding = dcs & 0x04 ? u"8bit"_s : u"7bit"_s;
    }
    if (sms.encoding.isEmpty()) {
        *error = u"unsupported data coding scheme "_s + QString::number(dcs, 16);
        return std::nullopt;
    }

    // Validity period: none, relative (one octet), enhanced or absolute (seven).
    static const int validityOctets[] = {0, 7, 1, 7};
    QByteArrayView validity;
    int udl = 0;
    if (!reader.octets(validityOctets[(firstOctet >> 3) & 0x03], &validity) ||
        !reader.octet(&udl)) {
        *error = u"TPDU ends before the user data length"_s;
        return std::nullopt;
    }
    const bool sevenBit = sms.encoding == u"7bit"_s;
    const qsizetype udOctets = sevenBit ? (udl * 7 + 7) / 8 : udl;
    if (reader.left() != udOctets) {
        *error = u"user data length "_s + QString::number(udl) + u" needs "_s +
                 QString::number(udOctets) + u" octets, the PDU has "_s +
                 QString::number(reader.left());
        return std::nullopt;
    }
    QByteArrayView ud;
    reader.octets(udOctets, &ud);

    int headerOctets = 0;
    if (firstOctet & 0x40) {
        headerOctets = ud.isEmpty() ? 0 : 1 + quint8(ud[0]);
        if (headerOctets == 0 || headerOctets > ud.size()) {
            *error = u"user data header longer than the user data"_s;
            return std::nullopt;
        }
        for (int i = 1; i < headerOctets;) {
            const int iei = quint8(ud[i]);
            const int length = i + 1 < headerOctets ? quint8(ud[i + 1]) : -1;
            if (length < 0 || i + 2 + length > headerOctets) {
                *error = u"information element "_s + QString::number(iei, 16) +
                         u" runs past the header"_s;
                return std::nullopt;
            }
            const QByteArrayView data = ud.sliced(i + 2, length);
            if ((iei == 0x00 && length == 3) || (iei == 0x08 && length == 4)) {
                sms.reference =
                    iei == 0x00 ? quint8(data[0]) : quint8(data[0]) << 8 | quint8(data[1]);
                sms.partCount = quint8(data[length - 2]);
                sms.partNumber = quint8(data[length - 1]);
                if (sms.partCount == 0 || sms.partNumber == 0 || sms.partNumber > sms.partCount) {
                    *error = u"part "_s + QString::number(sms.partNumber) + u" of "_s +
                             QString::number(sms.partCount);
                    return std::nullopt;
                }
            }
            i += 2 + length;
        }
    }

    if (sevenBit) {
        // The text begins at the first septet boundary after the header.
        const int headerSeptets = (headerOctets * 8 + 6) / 7;
        if (headerSeptets > udl) {
            *error = u"user data length shorter than the header"_s;
            return std::nullopt;
        }
        sms.text = decodeSeptets(ud, headerSeptets * 7, udl - headerSeptets);
    } else {
        const QByteArrayView data = ud.sliced(headerOctets);
        if (sms.encoding == u"8bit"_s) {
            sms.text = QString::fromLatin1(data.toByteArray().toHex().toUpper());
        } else if (data.size() % 2 != 0) {
            *error = u"UCS-2 text of an odd number of octets"_s;
            return std::nullopt;
        } else {
            for (qsizetype i = 0; i < data.size(); i += 2)
                sms.text += QChar(char16_t(quint8(data[i]) << 8 | quint8(data[i + 1])));
        }
    }
    return sms;
}

} // namespace SmsPdu
