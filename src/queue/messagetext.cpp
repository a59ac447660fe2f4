#include "messagetext.h"

using namespace MessageText;

QString toCrLf(QStringView text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\r':
            // CR LF stays one line break, not two.
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            result.append(u"\r\n");
            break;
        case u'\n':
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
            result.append(u"\r\n");
            break;
        default:
            result.append(c);
        }
    }
    return result;
}

QStringList splitMessage(const QString &text)
{
    QStringList parts;
    if (text.isEmpty())
        return parts;
    if (text.size() <= maxSingleLength) {
        parts.append(text);
        return parts;
    }
    parts.reserve(messagePartCount(text.size()));
    const QStringView all(text);
    parts.append(all.first(firstPartLength) % continuesMark);
    qsizetype pos = firstPartLength;
    while (text.size() - pos > firstPartLength) {
        parts.append(continuationMark % all.sliced(pos, middlePartLength) % continuesMark);
        pos += middlePartLength;
    }
    parts.append(continuationMark % all.sliced(pos));
    return parts;
}

FirstPart splitFirstPart(const QString &text)
{
    if (text.size() <= maxSingleLength)
        return FirstPart{text, QString()};
    const QStringView all(text);
    return FirstPart{all.first(firstPartLength) % continuesMark,
                     continuationMark % all.sliced(firstPartLength)};
}

int messagePartCount(qsizetype length)
{
    if (length <= 0)
        return 0;
    if (length <= maxSingleLength)
        return 1;
    // After the first part, every middle part takes 150 characters until at
    // most 155 are left for the last part.
    const qsizetype rest = length - firstPartLength;
    const qsizetype middles =
        rest > firstPartLength ? (rest - firstPartLength + middlePartLength - 1) / middlePartLength
                               : 0;
    return int(2 + middles);
}
