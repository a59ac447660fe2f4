// The SMS-SUBMIT PDUs of the GSM modem: the simulator's decoder
// (SmsPdu::decodeSubmit) on any octets, and the program's encoder
// (Gsm::buildSubmitPdus) from any recipient, text and centre number, read
// back by that decoder.
//
// Properties: a PDU the decoder accepts has a recipient of "+" and one to
// twenty digits, a centre of at most twenty, a TPDU length that matches the
// octets after the centre's address, a known encoding and a part number
// within its count. Every PDU the encoder builds is accepted; its recipient
// and centre read back as the numbers' digits ("+" for an international
// number, written with "+" or "00"); its TPDU length is the one it states;
// the parts carry the reference, their count and their numbers in order;
// the texts of the parts put together are the text, in 7-bit exactly when
// every character has septets; no part holds more than one SMS can, and no
// cut divides a surrogate pair. A recipient without digits or with more
// than twenty, or a centre with more than twenty, is refused with a reason.

#include "fuzzcheck.h"
#include "gsmpdu.h"
#include "nurziffern.h"
#include "pdudecoder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

using fuzz::printable;

bool isNumber(const QString &number, int minDigits)
{
    const QStringView digits = QStringView(number).mid(number.startsWith(u'+') ? 1 : 0);
    if (digits.size() < minDigits || digits.size() > Gsm::maxAddressDigits)
        return false;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

void checkDecoder(QByteArrayView octets)
{
    QString error;
    const std::optional<SmsPdu::Submit> sms = SmsPdu::decodeSubmit(octets, &error);
    const QByteArray why = printable(octets.toByteArray().toHex()) + " -> " + printable(error);
    if (!sms) {
        FUZZ_CHECK(!error.isEmpty(), why);
        return;
    }
    FUZZ_CHECK(isNumber(sms->recipient, 1), why + " recipient " + printable(sms->recipient));
    FUZZ_CHECK(isNumber(sms->centre, 0), why + " centre " + printable(sms->centre));
    const int scaOctets = quint8(octets[0]);
    FUZZ_CHECK(sms->tpduLength == octets.size() - 1 - scaOctets, why);
    FUZZ_CHECK(sms->encoding == u"7bit"_s || sms->encoding == u"8bit"_s ||
                   sms->encoding == u"ucs2"_s,
               why);
    FUZZ_CHECK(sms->partNumber >= 1 && sms->partNumber <= sms->partCount, why);
    if (sms->reference < 0)
        FUZZ_CHECK(sms->partCount == 1, why);
    else
        FUZZ_CHECK(sms->reference <= 0xFFFF, why);
}

// The number as a network reads it from the address: "+" for an
// international number (written with "+" or "00"), then its digits.
QString expectedAddress(const QString &typed)
{
    const QString trimmed = typed.trimmed();
    QString digits = NurZiffern(QStringView(trimmed));
    bool international = trimmed.startsWith(u'+');
    if (!international && digits.startsWith(u"00"_s)) {
        international = true;
        digits.remove(0, 2);
    }
    return digits.isEmpty() ? QString() : (international ? u"+"_s : QString()) + digits;
}

int digitCount(const QString &address)
{
    return int(address.size()) - (address.startsWith(u'+') ? 1 : 0);
}

void checkEncoder(const QString &recipient, const QString &text, const QString &centre,
                  quint8 reference)
{
    const Gsm::SubmitPdus pdus = Gsm::buildSubmitPdus(recipient, text, centre, reference);
    const QString to = expectedAddress(recipient);
    const QString via = expectedAddress(centre);
    const QByteArray why = printable(recipient) + " | " + printable(text) + " | " +
                           printable(centre) + " -> " + printable(pdus.error);

    if (to.isEmpty() || digitCount(to) > Gsm::maxAddressDigits ||
        digitCount(via) > Gsm::maxAddressDigits) {
        FUZZ_CHECK(pdus.parts.isEmpty() && !pdus.error.isEmpty(), why);
        return;
    }
    FUZZ_CHECK(pdus.error.isEmpty() && !pdus.parts.isEmpty(), why);

    bool gsm7 = true;
    for (QChar c : text)
        gsm7 = gsm7 && !Gsm::septetsOf(c.unicode()).isEmpty();
    const int count = int(pdus.parts.size());
    QString joined;
    for (int i = 0; i < count; ++i) {
        const Gsm::SubmitPdu &pdu = pdus.parts.at(i);
        const QByteArray part = why + " part " + QByteArray::number(i + 1) + ": " + pdu.hex;
        QString error;
        const std::optional<SmsPdu::Submit> sms =
            SmsPdu::decodeSubmit(QByteArray::fromHex(pdu.hex), &error);
        FUZZ_CHECK(sms.has_value(), part + " refused: " + printable(error));
        FUZZ_CHECK(pdu.hex == pdu.hex.toUpper() && pdu.hex.size() % 2 == 0, part);
        FUZZ_CHECK(sms->recipient == to, part + " to " + printable(sms->recipient));
        FUZZ_CHECK(sms->centre == via, part + " centre " + printable(sms->centre));
        FUZZ_CHECK(sms->tpduLength == pdu.tpduLength, part);
        FUZZ_CHECK(sms->encoding == (gsm7 ? u"7bit"_s : u"ucs2"_s), part);
        if (count == 1) {
            FUZZ_CHECK(sms->reference == -1 && sms->partCount == 1, part);
        } else {
            FUZZ_CHECK(sms->reference == reference && sms->partCount == count &&
                           sms->partNumber == i + 1,
                       part);
        }
        // One SMS carries 140 octets of user data after its other fields.
        FUZZ_CHECK(pdu.tpduLength <= 7 + (digitCount(to) + 1) / 2 + 140, part);
        if (!gsm7) {
            const int units = count == 1 ? Gsm::singleUcs2Units : Gsm::partUcs2Units;
            FUZZ_CHECK(sms->text.size() <= units, part);
            // A cut between the two halves of a surrogate pair would leave
            // two broken characters on the phone.
            const qsizetype cut = joined.size() + sms->text.size();
            FUZZ_CHECK(cut <= 0 || cut >= text.size() || !text.at(cut - 1).isHighSurrogate() ||
                           !text.at(cut).isLowSurrogate(),
                       part);
        }
        joined += sms->text;
    }
    FUZZ_CHECK(joined == text, why + " read back as " + printable(joined));
}

QString takeText(FuzzedDataProvider &provider, bool utf16, size_t maxBytes)
{
    const std::string bytes = provider.ConsumeRandomLengthString(maxBytes);
    if (!utf16)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    std::memcpy(text.data(), bytes.data(), size_t(text.size()) * 2);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkDecoder(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));

    FuzzedDataProvider provider(data, size);
    const bool utf16 = provider.ConsumeBool();
    const auto reference = provider.ConsumeIntegral<quint8>();
    const QString recipient = takeText(provider, false, 40);
    const QString centre = takeText(provider, false, 40);
    const QString text = takeText(provider, utf16, 2000);
    checkEncoder(recipient, text, centre, reference);
    return 0;
}
