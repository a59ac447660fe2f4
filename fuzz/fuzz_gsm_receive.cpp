// Received GSM PDUs: Gsm::decodeDeliver and Gsm::decodeStatusReport on any
// octets (as hex) and on any text, and Gsm::PartCollector on the parts of a
// message the program's encoder cut, turned into SMS-DELIVER PDUs.
//
// Properties: a PDU is refused with a reason or read, never both; no PDU is
// both an SMS and a status report. A read PDU states the TPDU length of its
// octets, has addresses of at most 21 characters, a text no longer than one
// SMS holds (160 septets, 70 UTF-16 units, 140 octets as hex), a part
// number within its count and a time with an offset of at most 14 hours or
// none; upper and lower case hex read alike; every TP-ST has a meaning and
// the kind of its range. Text input is read only when it is hex. The parts
// of any text the encoder builds, with their SMS-SUBMIT headers rewritten as
// SMS-DELIVER, read back in any order and joined by the collector give the
// text again, from the recipient as sender.

#include "fuzzcheck.h"
#include "gsmpdu.h"
#include "gsmreceive.h"
#include "partcollector.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QTimeZone>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

using fuzz::printable;

bool offsetOk(const QDateTime &time)
{
    return !time.isValid() || std::abs(time.offsetFromUtc()) <= 14 * 3600;
}

void checkDeliver(QByteArrayView octets, const std::optional<Gsm::DeliverPdu> &sms,
                  const QString &error, const QByteArray &why)
{
    FUZZ_CHECK(sms.has_value() == error.isEmpty(), why);
    if (!sms)
        return;
    FUZZ_CHECK(sms->tpduLength == octets.size() - 1 - quint8(octets[0]), why);
    FUZZ_CHECK(sms->centre.size() <= 21 && sms->sender.size() <= 21,
               why + " " + printable(sms->sender));
    qsizetype limit = 160;
    if (sms->coding == Gsm::DataCoding::Ucs2)
        limit = 70;
    else if (sms->coding == Gsm::DataCoding::EightBit)
        limit = 280;
    FUZZ_CHECK(sms->text.size() <= limit && sms->text.size() <= 2 * octets.size(),
               why + " text " + printable(sms->text));
    if (sms->part) {
        FUZZ_CHECK(sms->part->sequence >= 1 && sms->part->sequence <= sms->part->total &&
                       sms->part->total <= 255 && sms->part->reference >= 0 &&
                       sms->part->reference <= 0xFFFF,
                   why);
    }
    FUZZ_CHECK(offsetOk(sms->sentAt), why);
}

void checkReport(QByteArrayView octets, const std::optional<Gsm::StatusReport> &report,
                 const QString &error, const QByteArray &why)
{
    FUZZ_CHECK(report.has_value() == error.isEmpty(), why);
    if (!report)
        return;
    FUZZ_CHECK(report->tpduLength == octets.size() - 1 - quint8(octets[0]), why);
    FUZZ_CHECK(report->centre.size() <= 21 && report->recipient.size() <= 21, why);
    FUZZ_CHECK(report->reference >= 0 && report->reference <= 255, why);
    FUZZ_CHECK(offsetOk(report->centreTime) && offsetOk(report->dischargeTime), why);
    const Gsm::DeliveryStatus status = Gsm::deliveryStatus(report->status);
    FUZZ_CHECK(!status.meaning.isEmpty(), why);
    const int range = std::min(report->status, quint8(0x7F)) >> 5;
    FUZZ_CHECK(int(status.kind) == range || report->status >= 0x80, why);
    FUZZ_CHECK(report->status < 0x80 || status.kind == Gsm::DeliveryStatus::FailedTemporary, why);
}

void checkDecoders(QByteArrayView octets)
{
    const QByteArray hex = octets.toByteArray().toHex().toUpper();
    const QByteArray why = hex;
    QString error;
    const std::optional<Gsm::DeliverPdu> sms = Gsm::decodeDeliver(hex, &error);
    checkDeliver(octets, sms, error, why);
    QString reportError;
    const std::optional<Gsm::StatusReport> report = Gsm::decodeStatusReport(hex, &reportError);
    checkReport(octets, report, reportError, why);
    FUZZ_CHECK(!sms || !report, why);
    const std::optional<Gsm::DeliverPdu> lower = Gsm::decodeDeliver(hex.toLower());
    FUZZ_CHECK(lower.has_value() == sms.has_value() && (!sms || lower->text == sms->text), why);

    // The input itself as the modem's line: read only when it is hex.
    const bool isHex = !octets.trimmed().isEmpty() && octets.trimmed().size() % 2 == 0 &&
                       std::all_of(octets.trimmed().begin(), octets.trimmed().end(), [](char c) {
                           return std::isxdigit(static_cast<unsigned char>(c));
                       });
    if (Gsm::decodeDeliver(octets, &error) || Gsm::decodeStatusReport(octets, &error))
        FUZZ_CHECK(isHex, printable(octets));
    else
        FUZZ_CHECK(!error.isEmpty(), printable(octets));
}

// An SMS-SUBMIT of the encoder as the recipient's phone would receive it:
// same centre, the destination as originator, TP-PID, TP-DCS and user data
// unchanged, a time stamp added. TP-SRR and TP-VPF fall away.
QByteArray asDeliver(const QByteArray &submitHex)
{
    const QByteArray submit = QByteArray::fromHex(submitHex);
    const int sca = 1 + quint8(submit[0]);
    const int first = quint8(submit[sca]);
    const int addressOctets = 2 + (quint8(submit[sca + 2]) + 1) / 2;
    QByteArray deliver = submit.left(sca);
    deliver += char((first & 0x40) | 0x04);
    deliver += submit.mid(sca + 2, addressOctets + 2); // TP-OA, TP-PID, TP-DCS
    deliver += QByteArray::fromHex("62217050035140");
    deliver += submit.mid(sca + 2 + addressOctets + 2);
    return deliver.toHex();
}

void checkRoundTrip(const QString &text, quint8 reference, quint32 order)
{
    const Gsm::SubmitPdus pdus =
        Gsm::buildSubmitPdus(u"+41791234567"_s, text, QString(), reference, order & 1);
    const QByteArray why = printable(text);
    FUZZ_CHECK(pdus.error.isEmpty() || pdus.parts.isEmpty(), why);
    if (pdus.parts.isEmpty())
        return;
    QList<QByteArray> parts;
    for (const Gsm::SubmitPdu &pdu : pdus.parts)
        parts.append(asDeliver(pdu.hex));
    // Rotated and, for odd orders, reversed: any part may come first.
    std::rotate(parts.begin(), parts.begin() + order % parts.size(), parts.end());
    if (order & 2)
        std::reverse(parts.begin(), parts.end());
    const QDateTime now(QDate(2026, 12, 7), QTime(8, 0), QTimeZone(0));
    Gsm::PartCollector collector;
    std::optional<Gsm::PartCollector::Message> message;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString error;
        const std::optional<Gsm::DeliverPdu> sms = Gsm::decodeDeliver(parts.at(i), &error);
        FUZZ_CHECK(sms.has_value(), why + " part " + parts.at(i) + ": " + printable(error));
        FUZZ_CHECK(sms->sender == u"+41791234567"_s, why);
        FUZZ_CHECK(sms->part.has_value() == (parts.size() > 1), why);
        message = collector.add(*sms, now);
        FUZZ_CHECK(message.has_value() == (i == parts.size() - 1), why);
    }
    FUZZ_CHECK(message->text == text, why + " read back as " + printable(message->text));
    FUZZ_CHECK(message->missingParts == 0 && collector.pendingCount() == 0, why);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView octets(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDecoders(octets);

    FuzzedDataProvider provider(data, size);
    const bool utf16 = provider.ConsumeBool();
    const auto reference = provider.ConsumeIntegral<quint8>();
    const auto order = provider.ConsumeIntegral<quint32>();
    const std::string bytes = provider.ConsumeRandomLengthString(1200);
    QString text;
    if (utf16) {
        text.resize(qsizetype(bytes.size() / 2));
        std::memcpy(text.data(), bytes.data(), size_t(text.size()) * 2);
    } else {
        text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }
    checkRoundTrip(text, reference, order);
    return 0;
}
