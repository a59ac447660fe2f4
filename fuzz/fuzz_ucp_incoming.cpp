// The two-way UCP codecs of ucpmessaging.h: the readers of the centre's
// operations 52 and 53, the classifier of its frames and the answers to them,
// and the operation 51 builder.
//
// Properties: no input crashes a reader; a 52 or 53 that is read is
// classified as such with the same TRN, and the answers to an operation read
// back as results for it; and the operation 51 frames built from the input
// (recipient, sender and text cut at the first two line feeds) have the right
// LEN and checksum, and, turned into an operation 52 with a time stamp, read
// back as the recipient, the sender, the parts of the text in order with
// their concatenation, and the whole text.

#include "fuzzcheck.h"
#include "nurziffern.h"
#include "ucpmessaging.h"
#include "ucpsession.h"

#include <QList>

namespace {

using fuzz::printable;

constexpr int fieldsBefore = 4; // TRN, LEN, O/R, OT
constexpr int sctsField = 14;   // counted from AdC

void checkAnswers(const UcpIncomingFrame &frame, const QByteArray &why)
{
    const QByteArray positive = ucpOperationAnswer(frame).toLatin1();
    const UcpMessage ack = parseUcpMessage(positive);
    FUZZ_CHECK(ack.kind == UcpMessage::Kind::Ack && ack.trn == frame.trn && ack.ot == frame.ot,
               positive + " for " + why);
    const QByteArray negative = ucpOperationRefusal(frame, u"02").toLatin1();
    const UcpMessage nack = parseUcpMessage(negative);
    FUZZ_CHECK(nack.kind == UcpMessage::Kind::Nack && nack.trn == frame.trn &&
                   nack.ot == frame.ot && nack.errorCode == u"02",
               negative + " for " + why);
}

void checkReaders(QByteArrayView bytes)
{
    const QByteArray why = printable(bytes);
    const UcpIncomingFrame frame = classifyUcpFrame(bytes);
    const UcpNotification notification = parseUcpNotification(bytes);
    const UcpIncomingMessage message = parseUcpIncomingMessage(bytes);
    parseUcpSubmitResult(bytes);
    parseUcpAlertResult(bytes);

    if (notification.valid) {
        FUZZ_CHECK(frame.kind == UcpIncomingFrame::Kind::DeliveryNotification, why);
        FUZZ_CHECK(notification.trn == frame.trn && notification.submitted.isValid(), why);
    }
    if (message.valid) {
        FUZZ_CHECK(frame.kind == UcpIncomingFrame::Kind::IncomingMessage, why);
        FUZZ_CHECK(message.trn == frame.trn && message.received.isValid(), why);
        if (message.part) {
            FUZZ_CHECK(message.part->sequence >= 1 && message.part->sequence <= message.part->total,
                       why);
        }
    }
    switch (frame.kind) {
    case UcpIncomingFrame::Kind::IncomingMessage:
    case UcpIncomingFrame::Kind::DeliveryNotification:
    case UcpIncomingFrame::Kind::OtherOperation:
        checkAnswers(frame, why);
        break;
    case UcpIncomingFrame::Kind::Invalid:
    case UcpIncomingFrame::Kind::Result:
        FUZZ_CHECK(ucpOperationAnswer(frame).isEmpty(), why);
        break;
    }
}

bool numericSender(QStringView sender)
{
    const QStringView trimmed = sender.trimmed();
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (!isAsciiDigit(trimmed[i]) && trimmed[i] != u' ' && !(i == 0 && trimmed[i] == u'+'))
            return false;
    }
    return true;
}

// An operation 51 frame made into the 52 the centre would deliver: the same
// fields, OT 52 and a time stamp, LEN and checksum made to fit.
QByteArray asDelivery(const QString &submit)
{
    QList<QByteArray> fields = submit.toLatin1().split('/');
    fields[3] = "52";
    fields[fieldsBefore + sctsField] = "071226150000";
    fields.removeLast();
    QByteArray body = fields.join('/') + '/';
    body.replace(3, 5, QByteArray::number(body.size() + 2).rightJustified(5, '0'));
    return body + fuzz::hexByte(fuzz::byteSum(body));
}

void checkRoundTrip(QByteArrayView input)
{
    const QList<QByteArray> pieces = input.toByteArray().split('\n');
    if (pieces.size() < 3)
        return;
    const QString recipient = QString::fromLatin1(pieces[0]);
    const QString sender = QString::fromLatin1(pieces[1]);
    const QByteArray rest = input.toByteArray().sliced(pieces[0].size() + pieces[1].size() + 2);
    // Even-sized rests are read as UTF-16, so that lone surrogates come by too.
    const QString text =
        rest.size() % 2
            ? QString::fromUtf8(rest)
            : QString(reinterpret_cast<const QChar *>(rest.constData()), rest.size() / 2);
    const quint8 reference = quint8(rest.size() * 31);
    const UcpSubmission submission{recipient, sender, text, rest.size() % 3 == 0, reference};
    const UcpSubmitFrames built = ucpSubmitFrames(submission, UcpTrn());
    const QByteArray why = printable(input);
    if (NurZiffern(QStringView(recipient)).isEmpty()) {
        FUZZ_CHECK(built.problem == UcpSubmitProblem::NoRecipient, why);
        return;
    }
    if (built.problem != UcpSubmitProblem::None) {
        FUZZ_CHECK(built.frames.isEmpty(), why);
        FUZZ_CHECK(!numericSender(sender) || built.problem == UcpSubmitProblem::TooManyParts, why);
        return;
    }
    FUZZ_CHECK(!built.frames.isEmpty(), why);

    QString joined;
    UcpTrn trn;
    for (qsizetype i = 0; i < built.frames.size(); ++i) {
        const QString &frame = built.frames.at(i);
        const QByteArray latin = frame.toLatin1();
        FUZZ_CHECK(frame.size() == latin.size() && frame.split(u'/').size() == 38, latin);
        FUZZ_CHECK(frame.sliced(3, 5).toInt() == frame.size(), latin);
        FUZZ_CHECK(latin.last(2) == fuzz::hexByte(fuzz::byteSum(latin.chopped(2))), latin);
        const UcpIncomingFrame seen = classifyUcpFrame(latin);
        FUZZ_CHECK(seen.kind == UcpIncomingFrame::Kind::OtherOperation && seen.ot == u"51" &&
                       seen.trn == trn.text(),
                   latin);
        trn = trn.next();

        const QByteArray delivery = asDelivery(frame);
        const UcpIncomingMessage back = parseUcpIncomingMessage(delivery);
        const QByteArray detail = why + " -> " + delivery;
        FUZZ_CHECK(back.valid, detail);
        FUZZ_CHECK(back.recipient == NurZiffern(QStringView(recipient)), detail);
        FUZZ_CHECK(back.sender ==
                       (numericSender(sender) ? NurZiffern(QStringView(sender)) : sender),
                   detail);
        if (built.frames.size() == 1) {
            FUZZ_CHECK(!back.part, detail);
        } else {
            const UcpConcatenation expected{reference, int(built.frames.size()), int(i + 1)};
            FUZZ_CHECK(back.part && *back.part == expected, detail);
        }
        joined += back.text;
    }
    FUZZ_CHECK(joined == text, why + " came back as " + printable(joined));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkReaders(input);
    // Made to pass LEN and checksum, so that the fields behind them are tried.
    checkReaders(fuzz::sealed(input, false));
    checkRoundTrip(input);
    return 0;
}
