// The simulated message centre's reader of operation 01 frames
// (UcpCentre::checkSubmission, decodeMessage) and the replies it builds.
//
// Properties: a frame it accepts has ten fields, LEN equal to its length, the
// checksum right, TRN two digits, O/01, message type 3 and an AMsg of codes up
// to 7F whose decoded text has one character per hex pair; a refused frame
// comes with a reason; the program's encoder turns any text the reader decodes
// back into the same hex; the replies it builds for an operation 01 are read
// by the program's reply parser as Ack or Nack with the same TRN.

#include "fuzzcheck.h"
#include "ucp.h"
#include "ucpcentre.h"

namespace {

using fuzz::printable;

void checkFrame(QByteArrayView frame)
{
    const UcpCentre::CheckResult result = UcpCentre::checkSubmission(frame);
    const QByteArray why = printable(frame) + " -> " + printable(result.reason);
    FUZZ_CHECK(fuzz::isDigits(result.trn, 2) && fuzz::isDigits(result.ot, 2), why);
    if (!result.valid) {
        FUZZ_CHECK(!result.reason.isEmpty(), why);
    } else {
        FUZZ_CHECK(result.reason.isEmpty(), why);
        const QList<QByteArray> fields = frame.toByteArray().split('/');
        FUZZ_CHECK(fields.size() == 10, why);
        FUZZ_CHECK(fuzz::isDigits(fields[1], 5) && fields[1].toInt() == frame.size(), why);
        FUZZ_CHECK(fields[9].toUpper() == fuzz::hexByte(fuzz::byteSum(frame.chopped(2))), why);
        FUZZ_CHECK(result.trn == fields[0] && result.ot == "01", why);
        FUZZ_CHECK(fields[2] == "O" && fields[7] == "3", why);
        const QByteArray &amsg = fields[8];
        FUZZ_CHECK(amsg.size() % 2 == 0, why);
        for (qsizetype i = 0; i < amsg.size(); i += 2) {
            // Codes 00 to 7F: a first digit 0 to 7, a second digit any hex digit.
            FUZZ_CHECK(amsg[i] >= '0' && amsg[i] <= '7', why);
            FUZZ_CHECK(QByteArrayView("0123456789ABCDEFabcdef").contains(amsg[i + 1]), why);
        }
        FUZZ_CHECK(result.submission.text.size() == amsg.size() / 2, why);
        FUZZ_CHECK(result.submission.recipient.toLatin1() == fields[4], why);
        FUZZ_CHECK(result.submission.originator.toLatin1() == fields[5], why);
    }

    // The centre answers every frame; for operation 01 the program reads it.
    const UcpReply ack = parseUcpReply(UcpCentre::positiveResult(result.trn, result.ot));
    const UcpReply nack =
        parseUcpReply(UcpCentre::negativeResult(result.trn, result.ot, UcpCentre::syntaxError));
    if (result.ot == "01") {
        FUZZ_CHECK(ack.kind == UcpReply::Kind::Ack && ack.trn.toLatin1() == result.trn, why);
        FUZZ_CHECK(nack.kind == UcpReply::Kind::Nack && nack.trn.toLatin1() == result.trn &&
                       nack.errorCode == QLatin1StringView(UcpCentre::syntaxError),
                   why);
    } else {
        FUZZ_CHECK(ack.kind == UcpReply::Kind::Invalid, why);
        FUZZ_CHECK(nack.kind == UcpReply::Kind::Invalid, why);
    }
}

void checkDecode(QByteArrayView hex)
{
    QString text;
    QString error;
    if (UcpCentre::decodeMessage(hex, &text, &error)) {
        FUZZ_CHECK(text.size() == hex.size() / 2, printable(hex));
        FUZZ_CHECK(Textinhex(text).toLatin1() == hex.toByteArray().toUpper(),
                   printable(hex) + " -> " + printable(text) + " -> " + printable(Textinhex(text)));
    } else {
        FUZZ_CHECK(!error.isEmpty(), printable(hex));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkFrame(input);
    // Made to pass LEN and checksum, so that the fields behind them are tried.
    checkFrame(fuzz::sealed(input, size % 2 == 1));
    checkDecode(input);
    return 0;
}
