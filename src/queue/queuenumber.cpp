#include "queuenumber.h"

#include "nurziffern.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

// Enough of a number to recognise it in a message; a pasted page is not
// repeated in full.
constexpr qsizetype maxQuoted = 30;

QString quoted(QStringView text)
{
    if (text.size() <= maxQuoted)
        return u'"' + text.toString() + u'"';
    return u'"' + text.first(maxQuoted).toString() + u"…\""_s;
}

// Characters that only group the digits of a number.
bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'-':
    case u'/':
    case u'.':
    case u'(':
    case u')':
        return true;
    default:
        return false;
    }
}

// A country code has one to three digits.
constexpr qsizetype maxCountryCode = 3;

// The length of a "(0)" at the start of the text, blanks inside allowed;
// 0 when the text does not start with one.
qsizetype trunkZeroLength(QStringView text)
{
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && text[i] == u' ')
            ++i;
    };
    if (i == text.size() || text[i++] != u'(')
        return 0;
    skipBlanks();
    if (i == text.size() || text[i++] != u'0')
        return 0;
    skipBlanks();
    if (i == text.size() || text[i++] != u')')
        return 0;
    return i;
}

// The number written with "00" at its start, the same prefix as a "+".
bool startsInternational(QStringView digits)
{
    return digits.startsWith(u"00");
}

} // namespace

QueueNumber queueNumber(QStringView text)
{
    QueueNumber number;
    qsizetype i = 0;
    while (i < text.size() && isSeparator(text[i]))
        ++i;
    qsizetype plus = -1;
    if (i < text.size() && text[i] == u'+') {
        plus = i;
        ++i;
    }
    QString digits = plus >= 0 ? u"00"_s : QString();
    // The digits of the text; the "00" of a "+" is not among them.
    qsizetype written = 0;
    bool trunkDropped = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            // Past the limit only counted: a pasted page is not copied.
            if (digits.size() <= QueueNumber::maxDigits + 2)
                digits.append(c);
            ++written;
        } else if (const qsizetype trunk = trunkDropped ? 0 : trunkZeroLength(text.sliced(i))) {
            // "(0)" right after the country code: the national prefix that
            // is not dialled from abroad. Elsewhere its 0 is a digit.
            const qsizetype countryCode =
                plus >= 0 ? written : (startsInternational(digits) ? written - 2 : 0);
            if (countryCode >= 1 && countryCode <= maxCountryCode) {
                trunkDropped = true;
                i += trunk - 1;
            }
        } else if (!isSeparator(c)) {
            number.problem = QueueNumber::Problem::ForeignCharacter;
            number.position = i;
            return number;
        }
    }
    if (written == 0) {
        // A "+" with nothing after it is no prefix of anything.
        number.problem =
            plus >= 0 ? QueueNumber::Problem::ForeignCharacter : QueueNumber::Problem::NoDigits;
        number.position = plus;
        return number;
    }
    const qsizetype afterPrefix = plus < 0 && startsInternational(digits) ? written - 2 : written;
    if (afterPrefix > QueueNumber::maxDigits) {
        number.problem = QueueNumber::Problem::TooLong;
        number.digitCount = afterPrefix;
        return number;
    }
    number.digits = std::move(digits);
    return number;
}

QString foreignCharacter(QStringView text, const QueueNumber &number)
{
    if (number.problem != QueueNumber::Problem::ForeignCharacter || number.position < 0 ||
        number.position >= text.size())
        return QString();
    const qsizetype at = number.position;
    if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return text.sliced(at, 2).toString();
    return text.sliced(at, 1).toString();
}

QString queueNumberMessage(const QString &what, QStringView text, const QueueNumber &number)
{
    switch (number.problem) {
    case QueueNumber::Problem::None:
        return QString();
    case QueueNumber::Problem::NoDigits:
        return QCoreApplication::translate("QueueNumber", "%1 enthält keine Ziffer.").arg(what);
    case QueueNumber::Problem::ForeignCharacter:
        return QCoreApplication::translate("QueueNumber",
                                           "%1 %2 enthält das Zeichen \"%3\". Eine Nummer "
                                           "besteht aus Ziffern, Leerzeichen und den "
                                           "Trennzeichen - / . ( ); ein \"+\" ist nur am "
                                           "Anfang erlaubt.")
            .arg(what, quoted(text), foreignCharacter(text, number));
    case QueueNumber::Problem::TooLong:
        return QCoreApplication::translate("QueueNumber",
                                           "%1 %2 hat %3 Ziffern. Eine Nummer hat höchstens %4 "
                                           "Ziffern, ein \"+\" oder \"00\" am Anfang nicht "
                                           "mitgezählt; sie wird nicht gekürzt.")
            .arg(what, quoted(text), QString::number(number.digitCount),
                 QString::number(QueueNumber::maxDigits));
    }
    return QString();
}
