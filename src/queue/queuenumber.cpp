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

} // namespace

QueueNumber queueNumber(QStringView text)
{
    QueueNumber number;
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    qsizetype plus = -1;
    if (i < text.size() && text[i] == u'+') {
        plus = i;
        ++i;
    }
    QString digits = plus >= 0 ? u"00"_s : QString();
    bool ownDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            // Past the limit only counted: a pasted page is not copied.
            if (digits.size() <= QueueNumber::maxDigits)
                digits.append(c);
            ++number.digitCount;
            ownDigit = true;
        } else if (c != u' ') {
            number.problem = QueueNumber::Problem::ForeignCharacter;
            number.position = i;
            number.digitCount = 0;
            return number;
        }
    }
    if (!ownDigit) {
        // A "+" with nothing after it is no prefix of anything.
        number.problem =
            plus >= 0 ? QueueNumber::Problem::ForeignCharacter : QueueNumber::Problem::NoDigits;
        number.position = plus;
        number.digitCount = 0;
        return number;
    }
    if (plus >= 0)
        number.digitCount += 2;
    if (number.digitCount > QueueNumber::maxDigits) {
        number.problem = QueueNumber::Problem::TooLong;
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
                                           "besteht aus Ziffern und Leerzeichen; ein \"+\" ist "
                                           "nur am Anfang erlaubt.")
            .arg(what, quoted(text), foreignCharacter(text, number));
    case QueueNumber::Problem::TooLong:
        return QCoreApplication::translate("QueueNumber",
                                           "%1 %2 hat %3 Ziffern. Eine Nummer darf höchstens %4 "
                                           "Ziffern haben (ein \"+\" am Anfang zählt als "
                                           "\"00\"); sie wird nicht gekürzt.")
            .arg(what, quoted(text), QString::number(number.digitCount),
                 QString::number(QueueNumber::maxDigits));
    }
    return QString();
}
