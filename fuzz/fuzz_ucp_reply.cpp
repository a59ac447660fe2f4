// The message centre's reply to an operation 01, read by parseUcpReply.
//
// Properties: a reply that is accepted has the right LEN and checksum, a
// two-digit TRN and, when negative, a two-digit error code, all recomputed
// here from the bytes; the verdict equals that of a reader written here from
// the reply grammar; a bare reply that is accepted reads the same when it
// arrives between STX and ETX among modem chatter.

#include "fuzzcheck.h"
#include "ucp.h"

#include <QList>

namespace {

using fuzz::printable;

// What the parser looks at: the bytes between the first STX and the next ETX,
// or everything when there is no STX; nullopt for an STX without an ETX.
std::optional<QByteArrayView> framePart(QByteArrayView bytes)
{
    qsizetype stx = -1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == UcpStx) {
            stx = i;
            break;
        }
    }
    if (stx < 0)
        return bytes;
    for (qsizetype i = stx + 1; i < bytes.size(); ++i) {
        if (bytes[i] == UcpEtx)
            return bytes.sliced(stx + 1, i - stx - 1);
    }
    return std::nullopt;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The verdict of the grammar
//   TRN/LEN/R/01/A/[SM]/CS, TRN/LEN/R/01/A/[MVP]/[SM]/CS, TRN/LEN/R/01/N/EC/[SM]/CS
// over printable characters, LEN counting TRN through CS, CS in either case.
UcpReply::Kind expectedKind(QByteArrayView bytes)
{
    const auto frame = framePart(bytes);
    if (!frame || frame->isEmpty())
        return UcpReply::Kind::Invalid;
    for (char c : *frame) {
        if (c < 0x20 || c > 0x7E)
            return UcpReply::Kind::Invalid;
    }
    const QList<QByteArray> fields = frame->toByteArray().split('/');
    if (fields.size() < 7 || !fuzz::isDigits(fields[0], 2) || !fuzz::isDigits(fields[1], 5))
        return UcpReply::Kind::Invalid;
    if (fields[1].toInt() != frame->size() || fields[2] != "R" || fields[3] != "01")
        return UcpReply::Kind::Invalid;
    const QByteArray &cs = fields.last();
    if (cs.size() != 2 || !isHexDigit(cs[0]) || !isHexDigit(cs[1]))
        return UcpReply::Kind::Invalid;
    if (cs.toUpper() != fuzz::hexByte(fuzz::byteSum(frame->chopped(2))))
        return UcpReply::Kind::Invalid;
    if (fields[4] == "A" && (fields.size() == 7 || fields.size() == 8))
        return UcpReply::Kind::Ack;
    if (fields[4] == "N" && fields.size() == 8 && fuzz::isDigits(fields[5], 2))
        return UcpReply::Kind::Nack;
    return UcpReply::Kind::Invalid;
}

QByteArray describe(const UcpReply &reply)
{
    static const char *const kinds[] = {"Invalid", "Ack", "Nack"};
    return QByteArray(kinds[int(reply.kind)]) + " trn=" + reply.trn.toLatin1() +
           " ec=" + reply.errorCode.toLatin1() + " sm=" + printable(reply.systemMessage);
}

// Everything an accepted reply must have, recomputed from its bytes.
void checkAccepted(const UcpReply &reply, QByteArrayView bytes)
{
    const auto frame = framePart(bytes);
    FUZZ_CHECK(frame.has_value(), printable(bytes));
    const QByteArray why = describe(reply) + " from " + printable(bytes);
    const QList<QByteArray> fields = frame->toByteArray().split('/');
    FUZZ_CHECK(fields.size() >= 7, why);

    FUZZ_CHECK(fuzz::isDigits(fields[1], 5), why);
    FUZZ_CHECK(fields[1].toInt() == frame->size(), why);
    FUZZ_CHECK(frame->at(frame->size() - 3) == '/', why);
    FUZZ_CHECK(frame->last(2).toByteArray().toUpper() ==
                   fuzz::hexByte(fuzz::byteSum(frame->chopped(2))),
               why);

    FUZZ_CHECK(fuzz::isDigits(reply.trn.toLatin1(), 2), why);
    FUZZ_CHECK(reply.trn.toLatin1() == fields[0], why);
    FUZZ_CHECK(fields[2] == "R" && fields[3] == "01", why);
    FUZZ_CHECK(reply.systemMessage.toLatin1() == fields[fields.size() - 2], why);
    if (reply.kind == UcpReply::Kind::Nack) {
        FUZZ_CHECK(fields[4] == "N", why);
        FUZZ_CHECK(fuzz::isDigits(reply.errorCode.toLatin1(), 2), why);
        FUZZ_CHECK(reply.errorCode.toLatin1() == fields[5], why);
    } else {
        FUZZ_CHECK(fields[4] == "A", why);
        FUZZ_CHECK(reply.errorCode.isEmpty(), why);
    }
}

void checkOne(QByteArrayView bytes)
{
    const UcpReply reply = parseUcpReply(bytes);
    const UcpReply::Kind expected = expectedKind(bytes);
    FUZZ_CHECK(reply.kind == expected, describe(reply) + ", expected " +
                                           QByteArray::number(int(expected)) + " for " +
                                           printable(bytes));
    if (reply.kind == UcpReply::Kind::Invalid) {
        FUZZ_CHECK(reply.trn.isEmpty() && reply.errorCode.isEmpty() &&
                       reply.systemMessage.isEmpty(),
                   describe(reply));
        return;
    }
    checkAccepted(reply, bytes);

    // The same reply as it comes over the line: chatter before the STX, a
    // broken-off frame after the ETX.
    if (bytes.contains(UcpStx) || bytes.contains(UcpEtx))
        return;
    const QByteArray onLine =
        "CONNECT 9600\r\n" + (UcpStx + bytes.toByteArray()) + UcpEtx + UcpStx + "01/000";
    const UcpReply wrapped = parseUcpReply(onLine);
    FUZZ_CHECK(describe(wrapped) == describe(reply),
               describe(wrapped) + " instead of " + describe(reply));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkOne(input);
    // Made to pass LEN and checksum, so that the fields behind them are tried.
    checkOne(fuzz::sealed(input, false));
    checkOne(fuzz::sealed(input, true));
    return 0;
}
