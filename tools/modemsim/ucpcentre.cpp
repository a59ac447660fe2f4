#include "ucpcentre.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace UcpCentre {
namespace {

// Positions of the GSM default alphabet that the sender uses for letters
// outside 7-bit ASCII; every other code up to 0x7F stands for itself.
struct GsmLetter
{
    int code;
    char16_t letter;
};

constexpr GsmLetter gsmLetters[] = {
    {0x01, u'£'}, {0x04, u'è'}, {0x05, u'é'}, {0x06, u'ù'}, {0x07, u'ì'}, {0x08, u'ò'},
    {0x09, u'ç'}, {0x1F, u'É'}, {0x5B, u'Ä'}, {0x5C, u'Ö'}, {0x5E, u'Ü'}, {0x5F, u'§'},
    {0x7B, u'ä'}, {0x7C, u'ö'}, {0x7E, u'ü'}, {0x7F, u'à'},
};

constexpr int fieldCount = 10; // TRN LEN O/R OT AdC OAdC AC MT AMsg CS

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isDigits(QByteArrayView field, qsizetype width)
{
    if (field.size() != width)
        return false;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

QString quoted(QByteArrayView field)
{
    return u'\'' + QString::fromLatin1(field) + u'\'';
}

QByteArray withLengthAndChecksum(const QByteArray &head, const QByteArray &tail)
{
    // LEN counts the whole frame including the two checksum digits.
    const qsizetype length = head.size() + 1 + 5 + 1 + tail.size() + 2;
    const QByteArray body =
        head + '/' + QByteArray::number(length).rightJustified(5, '0') + '/' + tail;
    return body + checksum(body);
}

} // namespace

QByteArray checksum(QByteArrayView body)
{
    unsigned sum = 0;
    for (char c : body)
        sum += static_cast<unsigned char>(c);
    return QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0');
}

bool decodeMessage(QByteArrayView hex, QString *text, QString *error)
{
    if (hex.size() % 2 != 0) {
        *error = QStringLiteral("AMsg has an odd number of hex digits");
        return false;
    }
    text->clear();
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            *error = u"AMsg holds a non-hex pair "_s + quoted(hex.sliced(i, 2));
            return false;
        }
        const int code = high * 16 + low;
        if (code > 0x7F) {
            *error = u"AMsg code "_s + QString::fromLatin1(hex.sliced(i, 2)) +
                     u" is outside the 7-bit alphabet"_s;
            return false;
        }
        QChar decoded(code);
        for (const GsmLetter &entry : gsmLetters) {
            if (entry.code == code) {
                decoded = QChar(entry.letter);
                break;
            }
        }
        text->append(decoded);
    }
    return true;
}

CheckResult checkSubmission(QByteArrayView frame)
{
    CheckResult result;
    const QList<QByteArrayView> fields = [frame] {
        QList<QByteArrayView> parts;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= frame.size(); ++i) {
            if (i == frame.size() || frame[i] == '/') {
                parts.append(frame.sliced(start, i - start));
                start = i + 1;
            }
        }
        return parts;
    }();

    if (isDigits(fields.value(0), 2))
        result.trn = fields.at(0).toByteArray();
    if (isDigits(fields.value(3), 2))
        result.ot = fields.at(3).toByteArray();

    const QByteArrayView len = fields.value(1);
    if (!isDigits(len, 5)) {
        result.reason = u"LEN "_s + quoted(len) + u" is not five digits"_s;
        return result;
    }
    if (len.toInt() != frame.size()) {
        result.reason = u"LEN "_s + QString::fromLatin1(len) + u" but the frame has "_s +
                        QString::number(frame.size()) + u" characters"_s;
        return result;
    }
    const qsizetype lastSlash = frame.lastIndexOf('/');
    const QByteArrayView sent = frame.sliced(lastSlash + 1);
    const QByteArray expected = checksum(frame.first(lastSlash + 1));
    if (sent.size() != 2 || QByteArray(sent.data(), 2).toUpper() != expected) {
        result.reason = u"checksum "_s + quoted(sent) + u" but the frame sums to "_s +
                        QString::fromLatin1(expected);
        return result;
    }
    if (fields.size() != fieldCount) {
        result.reason =
            QString::number(fields.size()) + u" fields instead of "_s + QString::number(fieldCount);
        return result;
    }
    if (!isDigits(fields.at(0), 2)) {
        result.reason = u"TRN "_s + quoted(fields.at(0)) + u" is not two digits"_s;
        return result;
    }
    if (fields.at(2) != "O") {
        result.reason = u"O/R field "_s + quoted(fields.at(2)) + u" is not O"_s;
        return result;
    }
    if (fields.at(3) != "01") {
        result.reason = u"operation type "_s + quoted(fields.at(3)) + u" is not 01"_s;
        return result;
    }
    if (fields.at(7) != "3") {
        result.reason = u"message type "_s + quoted(fields.at(7)) + u" is not 3"_s;
        return result;
    }
    QString error;
    if (!decodeMessage(fields.at(8), &result.submission.text, &error)) {
        result.reason = error;
        return result;
    }
    result.submission.recipient = QString::fromLatin1(fields.at(4));
    result.submission.originator = QString::fromLatin1(fields.at(5));
    result.valid = true;
    return result;
}

QByteArray positiveResult(const QByteArray &trn, const QByteArray &ot)
{
    return withLengthAndChecksum(trn, "R/" + ot + "/A//");
}

QByteArray negativeResult(const QByteArray &trn, const QByteArray &ot, const QByteArray &code)
{
    return withLengthAndChecksum(trn, "R/" + ot + "/N/" + code + "//");
}

} // namespace UcpCentre
