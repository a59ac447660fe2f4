// The SMPP 3.4 reader: Smpp::unpack on a byte stream, and the receipt and
// incoming-message readers on every deliver_sm it gives.
//
// Properties: no input crashes a reader or makes libsmpp34 read outside the
// bytes; a stream is taken PDU by PDU to its end, each Complete one using
// exactly its command_length, an Incomplete one nothing, a Broken one its
// command_length or, when that is impossible, nothing; a submit_sm,
// deliver_sm, submit_sm_resp with its body, deliver_sm_resp or header-only
// PDU read packs back into the same bytes; a receipt read has an id; an
// incoming part has its number within its count.

#include "fuzzcheck.h"
#include "smppmessaging.h"
#include "smpppdu.h"

#include <QtEndian>

namespace {

using fuzz::printable;

// PDUs the program packs whole again: nothing of their bytes is left out
// of Smpp::Pdu.
bool packsBack(const Smpp::Pdu &pdu, qsizetype used)
{
    switch (pdu.command) {
    case Smpp::SubmitSm:
    case Smpp::DeliverSm:
    case Smpp::DeliverSm | Smpp::responseBit:
    case Smpp::EnquireLink:
    case Smpp::EnquireLink | Smpp::responseBit:
    case Smpp::Unbind:
    case Smpp::Unbind | Smpp::responseBit:
    case Smpp::GenericNack:
        return true;
    case Smpp::SubmitSm | Smpp::responseBit:
        return used > 16;
    default:
        return false;
    }
}

void checkPdu(const Smpp::Pdu &pdu, QByteArrayView bytes, const QByteArray &why)
{
    FUZZ_CHECK(!Smpp::describe(pdu).isEmpty(), why);
    if (packsBack(pdu, bytes.size()))
        FUZZ_CHECK(Smpp::pack(pdu) == bytes, why + " packed as " + printable(Smpp::pack(pdu)));
    if (pdu.command != Smpp::DeliverSm)
        return;
    if (const std::optional<Smpp::Receipt> receipt = Smpp::readReceipt(pdu)) {
        FUZZ_CHECK(!receipt->messageId.isEmpty(), why);
        FUZZ_CHECK(!Smpp::idForms(receipt->messageId).isEmpty(), why);
        FUZZ_CHECK(!Smpp::receiptMeaning(*receipt).isEmpty(), why);
    }
    if (const std::optional<Smpp::IncomingPart> part = Smpp::readIncoming(pdu)) {
        FUZZ_CHECK(part->total == 0 || (part->sequence >= 1 && part->sequence <= part->total), why);
    }
}

void checkStream(QByteArrayView stream)
{
    while (!stream.isEmpty()) {
        const Smpp::Unpacked unpacked = Smpp::unpack(stream);
        const QByteArray why = printable(stream.first(qMin<qsizetype>(stream.size(), 400)));
        const quint32 length = stream.size() >= 4 ? qFromBigEndian<quint32>(stream.data()) : 0;
        switch (unpacked.outcome) {
        case Smpp::Unpacked::Outcome::Incomplete:
            FUZZ_CHECK(unpacked.used == 0, why);
            FUZZ_CHECK(stream.size() < 4 || stream.size() < qsizetype(length), why);
            return;
        case Smpp::Unpacked::Outcome::Broken:
            FUZZ_CHECK(!unpacked.error.isEmpty(), why);
            FUZZ_CHECK(unpacked.used == 0 || unpacked.used == qsizetype(length), why);
            if (unpacked.used == 0)
                return;
            break;
        case Smpp::Unpacked::Outcome::Complete:
            FUZZ_CHECK(unpacked.used == qsizetype(length) && length >= 16, why);
            FUZZ_CHECK(unpacked.pdu.sequence == qFromBigEndian<quint32>(stream.data() + 12), why);
            checkPdu(unpacked.pdu, stream.first(unpacked.used), why);
            break;
        }
        FUZZ_CHECK(unpacked.used <= stream.size(), why);
        stream = stream.sliced(unpacked.used);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkStream(input);
    // The same bytes with a command_length that fits them, so that the
    // fields behind it are tried.
    if (input.size() >= 16) {
        QByteArray sealed = input.toByteArray();
        qToBigEndian(quint32(sealed.size()), sealed.data());
        checkStream(sealed);
    }
    return 0;
}
