// The frames of a UCP session over TCP/IP: parseUcpMessage on whatever the
// centre sends (results of the operation 60 login and of operations 01, and
// operations of the centre's own), ucpPositiveResult for such an operation,
// and ucpLoginFrame from any account and password.
//
// Properties: the verdict equals that of a reader of the frame grammar
// written here; an accepted frame is its own re-serialisation (LEN and
// checksum recomputed here give the same bytes) and its fields are what the
// parser reports; a result to an operation 01 reads the same through
// parseUcpReply; the positive result to an accepted operation is accepted
// as Ack with its TRN and operation type, MVP where the type wants it, and
// the simulator's centre takes it as a valid answer; the centre's results to
// a login read as Ack and Nack of operation 60; a login frame from any
// account and password is an operation 60 that the centre reads back with
// the account's digits and the password.

#include "fuzzcheck.h"
#include "nurziffern.h"
#include "ucp.h"
#include "ucpcentre.h"
#include "ucpsession.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QList>

#include <cstring>

namespace {

using fuzz::printable;

QByteArray describe(const UcpMessage &message)
{
    static const char *const kinds[] = {"Invalid", "Operation", "Ack", "Nack"};
    return QByteArray(kinds[int(message.kind)]) + " trn=" + message.trn.toLatin1() +
           " ot=" + message.ot.toLatin1() + " ec=" + message.errorCode.toLatin1() +
           " sm=" + printable(message.systemMessage);
}

// What the parser looks at: the bytes between the first STX and the next ETX,
// or everything when there is no STX; nothing for an STX without an ETX.
std::optional<QByteArray> framePart(QByteArrayView bytes)
{
    const qsizetype stx = bytes.indexOf(UcpStx);
    if (stx < 0)
        return bytes.toByteArray();
    const qsizetype etx = bytes.indexOf(UcpEtx, stx + 1);
    if (etx < 0)
        return std::nullopt;
    return bytes.sliced(stx + 1, etx - stx - 1).toByteArray();
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The grammar, read here apart from the parser:
//   operation  TRN/LEN/O/OT/.../CS            (five fields at the least)
//   positive   TRN/LEN/R/OT/A/[SM]/CS  or  TRN/LEN/R/OT/A/[MVP]/[SM]/CS
//   negative   TRN/LEN/R/OT/N/EC/[SM]/CS
// over printable ASCII, TRN and OT two digits, LEN five digits counting TRN
// through CS, CS the byte sum in either case.
UcpMessage::Kind expectedKind(QByteArrayView bytes)
{
    const std::optional<QByteArray> frame = framePart(bytes);
    if (!frame || frame->isEmpty())
        return UcpMessage::Kind::Invalid;
    for (char c : *frame) {
        if (c < 0x20 || c > 0x7E)
            return UcpMessage::Kind::Invalid;
    }
    const QList<QByteArray> fields = frame->split('/');
    if (fields.size() < 5 || !fuzz::isDigits(fields[0], 2) || !fuzz::isDigits(fields[1], 5) ||
        !fuzz::isDigits(fields[3], 2) || fields[1].toInt() != frame->size())
        return UcpMessage::Kind::Invalid;
    const QByteArray &cs = fields.last();
    if (cs.size() != 2 || !isHexDigit(cs[0]) || !isHexDigit(cs[1]) ||
        cs.toUpper() != fuzz::hexByte(fuzz::byteSum(QByteArrayView(*frame).chopped(2))))
        return UcpMessage::Kind::Invalid;
    if (fields[2] == "O")
        return UcpMessage::Kind::Operation;
    if (fields[2] != "R")
        return UcpMessage::Kind::Invalid;
    if (fields[4] == "A" && (fields.size() == 7 || fields.size() == 8))
        return UcpMessage::Kind::Ack;
    if (fields[4] == "N" && fields.size() == 8 && fuzz::isDigits(fields[5], 2))
        return UcpMessage::Kind::Nack;
    return UcpMessage::Kind::Invalid;
}

// The operation types whose positive result carries MVP before SM.
bool wantsMvp(const QString &ot)
{
    return ot == u"30" || (ot.size() == 2 && ot[0] == u'5' && ot[1] >= u'1' && ot[1] <= u'8');
}

// An accepted operation is answered; the answer is a frame of its own that
// both the program's reader and the simulated centre accept.
void checkAnswer(const UcpMessage &operation, const QByteArray &why)
{
    const QByteArray answer = ucpPositiveResult(operation).toLatin1();
    const QByteArray about = why + " answered " + printable(answer);
    FUZZ_CHECK(fuzz::sealed(answer, false) == answer, about);
    const QList<QByteArray> fields = answer.split('/');
    FUZZ_CHECK(fields.size() == (wantsMvp(operation.ot) ? 8 : 7), about);
    const UcpMessage read = parseUcpMessage(answer);
    FUZZ_CHECK(read.kind == UcpMessage::Kind::Ack && read.trn == operation.trn &&
                   read.ot == operation.ot && read.systemMessage.isEmpty(),
               about + " read as " + describe(read));
    const UcpCentre::AnswerCheck centre = UcpCentre::checkAnswer(answer);
    FUZZ_CHECK(centre.valid && centre.trn == operation.trn.toLatin1() &&
                   centre.ot == operation.ot.toLatin1(),
               about + " refused by the centre: " + printable(centre.reason));
}

void checkOne(QByteArrayView bytes)
{
    const UcpMessage message = parseUcpMessage(bytes);
    const UcpMessage::Kind expected = expectedKind(bytes);
    const QByteArray why = describe(message) + " from " + printable(bytes);
    FUZZ_CHECK(message.kind == expected, why + ", expected " + QByteArray::number(int(expected)));
    if (message.kind == UcpMessage::Kind::Invalid) {
        FUZZ_CHECK(message.trn.isEmpty() && message.ot.isEmpty() && message.errorCode.isEmpty() &&
                       message.systemMessage.isEmpty(),
                   why);
        return;
    }

    // Recomputing LEN and the checksum changes nothing but the checksum's
    // case: the frame was right as it came.
    const QByteArray frame = *framePart(bytes);
    FUZZ_CHECK(fuzz::sealed(frame, false) == frame.chopped(2) + frame.right(2).toUpper(), why);
    const QList<QByteArray> fields = frame.split('/');
    FUZZ_CHECK(message.trn.toLatin1() == fields[0] && message.ot.toLatin1() == fields[3], why);

    if (message.kind == UcpMessage::Kind::Operation) {
        FUZZ_CHECK(message.errorCode.isEmpty() && message.systemMessage.isEmpty(), why);
        checkAnswer(message, why);
        return;
    }
    FUZZ_CHECK(message.systemMessage.toLatin1() == fields[fields.size() - 2], why);
    if (message.kind == UcpMessage::Kind::Nack)
        FUZZ_CHECK(message.errorCode.toLatin1() == fields[5], why);
    else
        FUZZ_CHECK(message.errorCode.isEmpty(), why);

    // A result to an operation 01 is what the dial-up reader sees as well.
    if (message.ot == u"01") {
        const UcpReply reply = parseUcpReply(bytes);
        FUZZ_CHECK(int(reply.kind) == int(message.kind) - 1 && reply.trn == message.trn &&
                       reply.errorCode == message.errorCode &&
                       reply.systemMessage == message.systemMessage,
                   why + " differs from parseUcpReply");
    }
}

// The centre's answers to a login carry the login's TRN and operation 60.
void checkLoginResults(const QByteArray &trn)
{
    const UcpMessage ack = parseUcpMessage(UcpCentre::positiveResult(trn, "60"));
    FUZZ_CHECK(ack.kind == UcpMessage::Kind::Ack && ack.trn.toLatin1() == trn && ack.ot == u"60",
               describe(ack));
    const UcpMessage nack =
        parseUcpMessage(UcpCentre::negativeResult(trn, "60", UcpCentre::authenticationFailure));
    FUZZ_CHECK(nack.kind == UcpMessage::Kind::Nack && nack.trn.toLatin1() == trn &&
                   nack.ot == u"60" &&
                   nack.errorCode == QLatin1StringView(UcpCentre::authenticationFailure),
               describe(nack));
}

QString takeText(FuzzedDataProvider &provider, bool utf16)
{
    const std::string bytes = provider.ConsumeRandomLengthString(300);
    if (!utf16)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    std::memcpy(text.data(), bytes.data(), size_t(text.size()) * 2);
    return text;
}

void checkLogin(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const bool utf16 = provider.ConsumeBool();
    const int steps = provider.ConsumeIntegralInRange(0, 99);
    const QString account = takeText(provider, utf16);
    const QString password = takeText(provider, utf16);
    UcpTrn trn;
    for (int i = 0; i < steps; ++i)
        trn = trn.next();

    // Only a password of printable ASCII (IRA) is sent; any other character
    // is refused before a login is tried, so no frame is made of it.
    bool ira = true;
    for (QChar c : password)
        ira = ira && c.unicode() >= 0x20 && c.unicode() <= 0x7E;
    FUZZ_CHECK(ucpUnsendablePasswordCharacter(password).isEmpty() == ira,
               "password " + printable(password) + " judged wrongly");
    if (!ira)
        return;

    const QByteArray frame = ucpLoginFrame(account, password, trn).toLatin1();
    const QByteArray why =
        printable(frame) + " from " + printable(account) + " | " + printable(password);
    FUZZ_CHECK(fuzz::sealed(frame, false) == frame, why);
    const UcpMessage message = parseUcpMessage(frame);
    FUZZ_CHECK(message.kind == UcpMessage::Kind::Operation && message.ot == u"60" &&
                   message.trn == trn.text(),
               why + " read as " + describe(message));

    const UcpCentre::LoginCheck centre = UcpCentre::checkLogin(frame);
    FUZZ_CHECK(centre.valid, why + " refused: " + printable(centre.reason));
    FUZZ_CHECK(centre.trn == trn.text().toLatin1(), why);
    FUZZ_CHECK(centre.account == NurZiffern(QStringView(account)).toLatin1(), why);
    // The password comes back as it was typed.
    FUZZ_CHECK(centre.password == password.toLatin1(), why);
    checkLoginResults(frame.left(2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkOne(input);
    // Made to pass LEN and checksum, so that the fields behind them are tried.
    checkOne(fuzz::sealed(input, false));
    checkOne(fuzz::sealed(input, true));
    checkLogin(data, size);
    return 0;
}
