#include "ucpsession.h"

#include "nurziffern.h"

#include <QList>

namespace {

bool allDigits(QByteArrayView field, qsizetype width)
{
    if (field.size() != width)
        return false;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int hexNibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The frame proper: the input itself when it holds no STX, else the bytes
// between the first STX and the next ETX; empty when that ETX is missing.
QByteArrayView framePart(QByteArrayView bytes)
{
    const qsizetype stx = bytes.indexOf(UcpStx);
    if (stx < 0)
        return bytes;
    const qsizetype etx = bytes.indexOf(UcpEtx, stx + 1);
    if (etx < 0)
        return {};
    return bytes.sliced(stx + 1, etx - stx - 1);
}

bool checksumMatches(QByteArrayView frame, QByteArrayView checksum)
{
    if (checksum.size() != 2)
        return false;
    const int high = hexNibble(checksum[0]);
    const int low = hexNibble(checksum[1]);
    if (high < 0 || low < 0)
        return false;
    unsigned sum = 0;
    for (char c : frame.first(frame.size() - 2))
        sum += static_cast<unsigned char>(c);
    return (sum & 0xFF) == unsigned(high * 16 + low);
}

// Operations whose positive result carries the MVP field before SM.
bool answersWithMvp(QStringView ot)
{
    return ot == u"30" || (ot.size() == 2 && ot[0] == u'5' && ot[1] >= u'1' && ot[1] <= u'8');
}

// Body followed by its checksum; LEN must already be right.
QString sealed(QString body)
{
    body.append(Chksum(body, u'3'));
    return body;
}

QString lengthField(qsizetype length)
{
    return QString::number(length).rightJustified(5, u'0');
}

} // namespace

QString ucpLoginFrame(const QString &account, const QString &password, UcpTrn trn)
{
    // Digits only, like the numbers of an operation 01: a "/" in the account
    // would shift every following field.
    const QString oadc = NurZiffern(QStringView(account));
    const QString pwd = ucpPasswordField(password);

    // 35 fixed characters: the TRN and "/", five digits, "/O/60/",
    // "/6/5/1/", "//0100//////" and the two checksum digits.
    const qsizetype length = 35 + oadc.size() + pwd.size();

    QString body;
    body.reserve(length);
    body.append(trn.text());
    body.append(u'/');
    body.append(lengthField(length));
    body.append(QLatin1StringView("/O/60/"));
    body.append(oadc);
    body.append(QLatin1StringView("/6/5/1/"));
    body.append(pwd);
    body.append(QLatin1StringView("//0100//////"));
    return sealed(body);
}

QString ucpPasswordField(QStringView password)
{
    QString field;
    field.reserve(password.size() * 2);
    for (QChar c : password)
        field.append(QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0'));
    return field;
}

QString ucpUnsendablePasswordCharacter(QStringView password)
{
    for (qsizetype i = 0; i < password.size(); ++i) {
        const QChar c = password[i];
        if (c.unicode() >= 0x20 && c.unicode() <= 0x7E)
            continue;
        const bool pair =
            c.isHighSurrogate() && i + 1 < password.size() && password[i + 1].isLowSurrogate();
        return password.sliced(i, pair ? 2 : 1).toString();
    }
    return {};
}

UcpMessage parseUcpMessage(QByteArrayView bytes)
{
    const QByteArrayView frame = framePart(bytes);
    if (frame.isEmpty())
        return {};
    // Printable IA5 text only; a control byte means a broken frame.
    for (char c : frame) {
        if (c < 0x20 || c > 0x7E)
            return {};
    }

    QList<QByteArrayView> fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i < frame.size(); ++i) {
        if (frame[i] == '/') {
            fields.append(frame.sliced(start, i - start));
            start = i + 1;
        }
    }
    fields.append(frame.sliced(start));

    // TRN, LEN, O/R, OT and the checksum at the least.
    if (fields.size() < 5)
        return {};
    if (!allDigits(fields[0], 2) || !allDigits(fields[1], 5) || !allDigits(fields[3], 2))
        return {};
    if (fields[1].toInt() != frame.size())
        return {};
    if (!checksumMatches(frame, fields.last()))
        return {};

    UcpMessage message;
    message.trn = QString::fromLatin1(fields[0]);
    message.ot = QString::fromLatin1(fields[3]);
    if (fields[2] == "O") {
        message.kind = UcpMessage::Kind::Operation;
        return message;
    }
    if (fields[2] != "R")
        return {};

    const QByteArrayView ack = fields.value(4);
    if (ack == "A" && (fields.size() == 7 || fields.size() == 8)) {
        // A/SM, or A/MVP/SM for the 5x operations: SM is the last field
        // either way.
        message.kind = UcpMessage::Kind::Ack;
    } else if (ack == "N" && fields.size() == 8 && allDigits(fields[5], 2)) {
        message.kind = UcpMessage::Kind::Nack;
        message.errorCode = QString::fromLatin1(fields[5]);
    } else {
        return {};
    }
    message.systemMessage = QString::fromLatin1(fields[fields.size() - 2]);
    return message;
}

QString ucpPositiveResult(const UcpMessage &operation)
{
    if (operation.kind != UcpMessage::Kind::Operation)
        return {};
    const bool mvp = answersWithMvp(operation.ot);
    // TRN "/" LEN "/R/" OT "/A/" [MVP "/"] SM "/" and the checksum, with
    // MVP and SM empty.
    const qsizetype length = 19 + (mvp ? 1 : 0);

    QString body;
    body.reserve(length);
    body.append(operation.trn);
    body.append(u'/');
    body.append(lengthField(length));
    body.append(QLatin1StringView("/R/"));
    body.append(operation.ot);
    body.append(QLatin1StringView(mvp ? "/A///" : "/A//"));
    return sealed(body);
}
