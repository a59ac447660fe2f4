#include "ucp.h"

#include "nurziffern.h"

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

// The sixteen characters above code 127 that the message centre understands,
// at their GSM 03.38 default alphabet positions (09 is the c with cedilla).
const char *gsmCode(char16_t c)
{
    switch (c) {
    case u'\u00A3': // £
        return "01";
    case u'\u00E8': // è
        return "04";
    case u'\u00E9': // é
        return "05";
    case u'\u00F9': // ù
        return "06";
    case u'\u00EC': // ì
        return "07";
    case u'\u00F2': // ò
        return "08";
    case u'\u00E7': // ç
        return "09";
    case u'\u00C9': // É
        return "1F";
    case u'\u00C4': // Ä
        return "5B";
    case u'\u00D6': // Ö
        return "5C";
    case u'\u00DC': // Ü
        return "5E";
    case u'\u00A7': // §
        return "5F";
    case u'\u00E4': // ä
        return "7B";
    case u'\u00F6': // ö
        return "7C";
    case u'\u00FC': // ü
        return "7E";
    case u'\u00E0': // à
        return "7F";
    default:
        return nullptr;
    }
}

// The byte a character has in Windows-1252, the character set the message
// centre counts in. Characters without a byte there count as "?", as the
// system's own conversion writes them.
int windows1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    switch (u) {
    case u'\u20AC':
        return 0x80;
    case u'\u201A':
        return 0x82;
    case u'\u0192':
        return 0x83;
    case u'\u201E':
        return 0x84;
    case u'\u2026':
        return 0x85;
    case u'\u2020':
        return 0x86;
    case u'\u2021':
        return 0x87;
    case u'\u02C6':
        return 0x88;
    case u'\u2030':
        return 0x89;
    case u'\u0160':
        return 0x8A;
    case u'\u2039':
        return 0x8B;
    case u'\u0152':
        return 0x8C;
    case u'\u017D':
        return 0x8E;
    case u'\u2018':
        return 0x91;
    case u'\u2019':
        return 0x92;
    case u'\u201C':
        return 0x93;
    case u'\u201D':
        return 0x94;
    case u'\u2022':
        return 0x95;
    case u'\u2013':
        return 0x96;
    case u'\u2014':
        return 0x97;
    case u'\u02DC':
        return 0x98;
    case u'\u2122':
        return 0x99;
    case u'\u0161':
        return 0x9A;
    case u'\u203A':
        return 0x9B;
    case u'\u0153':
        return 0x9C;
    case u'\u017E':
        return 0x9E;
    case u'\u0178':
        return 0x9F;
    default:
        return '?';
    }
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}

void appendHexByte(QString &out, unsigned value)
{
    out.append(QLatin1Char(hexDigits[(value >> 4) & 0xF]));
    out.append(QLatin1Char(hexDigits[value & 0xF]));
}

} // namespace

QString ErwAscii(QChar value)
{
    const char *code = gsmCode(value.unicode());
    return code ? QString::fromLatin1(code, 2) : QString();
}

QString Textinhex(QStringView text)
{
    QString hex;
    hex.reserve(2 * text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u <= 127) {
            appendHexByte(hex, u);
        } else if (const char *code = gsmCode(u)) {
            hex.append(QLatin1StringView(code, 2));
        }
    }
    return hex;
}

QString Chksum(QStringView frame, QChar messageType)
{
    // Unsigned so that even an absurdly long text wraps instead of overflowing;
    // only the low 8 bits are used.
    const unsigned digitBase = unsigned(hexValue(messageType)) * 16;
    unsigned sum = 0;
    for (QChar c : frame) {
        if (isAsciiDigit(c))
            sum += digitBase + unsigned(c.unicode() - u'0');
        else
            sum += unsigned(windows1252Code(c));
    }
    // Always two digits, also for the tiny sums that no frame ever has.
    QString result;
    result.reserve(2);
    appendHexByte(result, sum & 0xFF);
    return result;
}

QString UcpTrn::text() const
{
    QString result;
    result.reserve(2);
    result.append(QLatin1Char(char('0' + m_value / 10)));
    result.append(QLatin1Char(char('0' + m_value % 10)));
    return result;
}

QString SMSSendString(const QString &number, const QString &message, const QString &callBack)
{
    return SMSSendString(number, message, callBack, UcpTrn());
}

QString SMSSendString(const QString &number, const QString &message, const QString &callBack,
                      UcpTrn trn)
{
    // The numbers are reduced to their digits: a blank or "/" typed into a
    // number would otherwise end up inside the frame, and a "/" would shift
    // every following field.
    const QString adc = NurZiffern(QStringView(number));
    const QString oadc = NurZiffern(QStringView(callBack));
    const QString hex = Textinhex(message);

    // 22 fixed characters: the TRN and "/", five digits, "/O/01/", "/",
    // "//3/", "/" and the two checksum digits.
    const qsizetype length = 22 + hex.size() + adc.size() + oadc.size();

    QString frame;
    frame.reserve(length);
    frame.append(trn.text());
    frame.append(u'/');
    frame.append(QString::number(length).rightJustified(5, u'0'));
    frame.append(QLatin1StringView("/O/01/"));
    frame.append(adc);
    frame.append(u'/');
    frame.append(oadc);
    frame.append(QLatin1StringView("//3/"));
    frame.append(hex);
    frame.append(u'/');
    frame.append(Chksum(frame, u'3'));
    return frame;
}

QByteArray ucpFrameBytes(const QString &frame)
{
    QByteArray bytes;
    bytes.reserve(frame.size() + 2);
    bytes.append(UcpStx);
    bytes.append(frame.toLatin1());
    bytes.append(UcpEtx);
    return bytes;
}

QStringList unsendableCharacters(QStringView text)
{
    QStringList found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        QString character;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // An emoji and the like: two QChars, one character for the user.
            character = text.mid(i, 2).toString();
            ++i;
        } else if (c.unicode() > 127 && !gsmCode(c.unicode())) {
            character = c;
        } else {
            continue;
        }
        if (!found.contains(character))
            found.append(character);
    }
    return found;
}
