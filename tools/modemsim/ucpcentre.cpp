#include "ucpcentre.h"

#include <QDateTime>
#include <QList>

#include <algorithm>

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

QList<QByteArrayView> splitFields(QByteArrayView frame)
{
    QList<QByteArrayView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= frame.size(); ++i) {
        if (i == frame.size() || frame[i] == '/') {
            parts.append(frame.sliced(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// What is wrong with LEN or the checksum of a frame; empty when both fit.
QString envelopeProblem(QByteArrayView frame, const QList<QByteArrayView> &fields)
{
    const QByteArrayView len = fields.value(1);
    if (!isDigits(len, 5))
        return u"LEN "_s + quoted(len) + u" is not five digits"_s;
    if (len.toInt() != frame.size()) {
        return u"LEN "_s + QString::fromLatin1(len) + u" but the frame has "_s +
               QString::number(frame.size()) + u" characters"_s;
    }
    const qsizetype lastSlash = frame.lastIndexOf('/');
    const QByteArrayView sent = frame.sliced(lastSlash + 1);
    const QByteArray expected = checksum(frame.first(lastSlash + 1));
    if (sent.size() != 2 || QByteArray(sent.data(), 2).toUpper() != expected) {
        return u"checksum "_s + quoted(sent) + u" but the frame sums to "_s +
               QString::fromLatin1(expected);
    }
    return {};
}

// Pairs of hex digits to their codes, each at most 0x7F.
bool decodeHex(QByteArrayView hex, const char *field, QByteArray *codes, QString *error)
{
    if (hex.size() % 2 != 0) {
        *error = QString::fromLatin1(field) + u" has an odd number of hex digits"_s;
        return false;
    }
    codes->clear();
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            *error =
                QString::fromLatin1(field) + u" holds a non-hex pair "_s + quoted(hex.sliced(i, 2));
            return false;
        }
        const int code = high * 16 + low;
        if (code > 0x7F) {
            *error = QString::fromLatin1(field) + u" code "_s +
                     QString::fromLatin1(hex.sliced(i, 2)) + u" is outside the 7-bit alphabet"_s;
            return false;
        }
        codes->append(char(code));
    }
    return true;
}

QByteArray hexOf(QByteArrayView text)
{
    return text.toByteArray().toHex().toUpper();
}

// Operations whose positive result is ACK/MVP/SM rather than ACK/SM.
bool answersWithMvp(QByteArrayView ot)
{
    return ot == "30" || (ot.size() == 2 && ot[0] == '5' && ot[1] >= '1' && ot[1] <= '8');
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
    QByteArray codes;
    if (!decodeHex(hex, "AMsg", &codes, error))
        return false;
    text->clear();
    for (const char code : codes) {
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
    const QList<QByteArrayView> fields = splitFields(frame);

    if (isDigits(fields.value(0), 2))
        result.trn = fields.at(0).toByteArray();
    if (isDigits(fields.value(3), 2))
        result.ot = fields.at(3).toByteArray();

    result.reason = envelopeProblem(frame, fields);
    if (!result.reason.isEmpty())
        return result;
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

LoginCheck checkLogin(QByteArrayView frame)
{
    LoginCheck result;
    const QList<QByteArrayView> fields = splitFields(frame);
    if (isDigits(fields.value(0), 2))
        result.trn = fields.at(0).toByteArray();

    result.reason = envelopeProblem(frame, fields);
    if (!result.reason.isEmpty())
        return result;
    // TRN LEN O 60, OAdC OTON ONPI STYP PWD NPWD VERS LAdC LTON LNPI OPID RES1, CS.
    constexpr int loginFieldCount = 17;
    if (fields.size() != loginFieldCount) {
        result.reason = QString::number(fields.size()) + u" fields instead of "_s +
                        QString::number(loginFieldCount);
        return result;
    }
    const auto mustBe = [&](int index, const char *name, QByteArrayView expected) {
        if (fields.at(index) == expected)
            return true;
        result.reason = QString::fromLatin1(name) + u' ' + quoted(fields.at(index)) +
                        u" is not "_s +
                        (expected.isEmpty() ? u"empty"_s : QString::fromLatin1(expected));
        return false;
    };
    if (!isDigits(fields.at(0), 2)) {
        result.reason = u"TRN "_s + quoted(fields.at(0)) + u" is not two digits"_s;
        return result;
    }
    if (!mustBe(2, "O/R field", "O") || !mustBe(3, "operation type", "60"))
        return result;
    const QByteArrayView oadc = fields.at(4);
    if (!std::all_of(oadc.begin(), oadc.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        result.reason = u"OAdC "_s + quoted(oadc) + u" is not digits"_s;
        return result;
    }
    if (!mustBe(5, "OTON", "6") || !mustBe(6, "ONPI", "5") || !mustBe(7, "STYP", "1") ||
        !mustBe(9, "NPWD", "") || !mustBe(10, "VERS", "0100") || !mustBe(11, "LAdC", "") ||
        !mustBe(12, "LTON", "") || !mustBe(13, "LNPI", "") || !mustBe(14, "OPID", "") ||
        !mustBe(15, "RES1", ""))
        return result;
    if (!decodeHex(fields.at(8), "PWD", &result.password, &result.reason))
        return result;
    result.account = oadc.toByteArray();
    result.valid = true;
    return result;
}

AnswerCheck checkAnswer(QByteArrayView frame)
{
    AnswerCheck result;
    const QList<QByteArrayView> fields = splitFields(frame);
    if (isDigits(fields.value(0), 2))
        result.trn = fields.at(0).toByteArray();
    if (isDigits(fields.value(3), 2))
        result.ot = fields.at(3).toByteArray();
    result.reason = envelopeProblem(frame, fields);
    if (!result.reason.isEmpty())
        return result;
    if (result.trn.isEmpty() || result.ot.isEmpty()) {
        result.reason = u"TRN or operation type is not two digits"_s;
        return result;
    }
    if (fields.at(2) != "R") {
        result.reason = u"O/R field "_s + quoted(fields.at(2)) + u" is not R"_s;
        return result;
    }
    if (fields.value(4) != "A") {
        result.reason = u"not a positive result: "_s + quoted(fields.value(4));
        return result;
    }
    // ACK/SM, or ACK/MVP/SM for the 5x operations.
    const int expected = answersWithMvp(result.ot) ? 8 : 7;
    if (fields.size() != expected) {
        result.reason = QString::number(fields.size()) + u" fields instead of "_s +
                        QString::number(expected) + u" for operation "_s +
                        QString::fromLatin1(result.ot);
        return result;
    }
    result.valid = true;
    return result;
}

QByteArray alertOperation(const QByteArray &trn, const QString &adc)
{
    // PID 0539: a PC application over TCP/IP.
    return withLengthAndChecksum(trn, "O/31/" + adc.toLatin1() + "/0539/");
}

QByteArray notificationOperation(const QByteArray &trn, const Submission &sms,
                                 const QDateTime &submitted, const QDateTime &delivered)
{
    // The 33 fields of a 5x operation, most of them empty.
    QList<QByteArray> fields(33);
    fields[0] = sms.recipient.toLatin1();                                        // AdC
    fields[1] = sms.originator.toLatin1();                                       // OAdC
    fields[14] = submitted.toString(u"ddMMyyHHmmss"_s).toLatin1();               // SCTS
    fields[15] = "0";                                                            // Dst: delivered
    fields[16] = "000";                                                          // Rsn
    fields[17] = delivered.toString(u"ddMMyyHHmmss"_s).toLatin1();               // DSCTS
    fields[18] = "3";                                                            // MT: alphanumeric
    fields[20] = hexOf(QByteArray("Nachricht an " + fields[0] + " zugestellt")); // AMsg
    return withLengthAndChecksum(trn, "O/53/" + fields.join('/') + '/');
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
