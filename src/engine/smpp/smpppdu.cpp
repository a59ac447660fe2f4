#include "smpppdu.h"

#include <QtEndian>

#include <cstdint>
#include <cstring>

// libsmpp34's headers are C without linkage guards; they define short
// macros (U32, C_OCTET, ...), so they come last.
// clang-format off
extern "C" {
#include <smpp34.h>
#include <smpp34_structs.h>
#include <smpp34_params.h>
}
// clang-format on

namespace Smpp {

namespace {

constexpr qsizetype headerLength = 16;
// The longest PDU taken from a centre: a message_payload of 64 KiB and the
// mandatory fields. A longer command_length means the stream is out of step.
constexpr qsizetype maxPduLength = 65536 + 1024;
// SMPP 3.4 allows 254 octets; libsmpp34 packs and unpacks at most 253.
constexpr qsizetype maxShortMessage = 253;

// The mandatory fields of a PDU body in their order. A C-octet string's
// size counts its NUL, as SMPP 3.4 gives it.
enum class Field : char { CString, Byte, ShortMessage };
struct FieldSpec
{
    Field kind;
    int size = 1;
};
using Layout = QList<FieldSpec>;

constexpr FieldSpec c(int size)
{
    return {Field::CString, size};
}
constexpr FieldSpec byte()
{
    return {Field::Byte, 1};
}
constexpr FieldSpec shortMessage()
{
    return {Field::ShortMessage, 0};
}

// The bodies the program reads (what libsmpp34 takes for them); nothing for
// a command whose body the program ignores or which has none.
std::optional<Layout> layoutOf(quint32 command)
{
    switch (command) {
    case BindReceiver:
    case BindTransmitter:
    case BindTransceiver:
        return Layout{c(16), c(9), c(13), byte(), byte(), byte(), c(41)};
    case BindReceiver | responseBit:
    case BindTransmitter | responseBit:
    case BindTransceiver | responseBit:
        return Layout{c(16)};
    case SubmitSm:
        return Layout{c(6),   byte(), byte(), c(21),  byte(), byte(), c(21),  byte(),        byte(),
                      byte(), c(17),  c(17),  byte(), byte(), byte(), byte(), shortMessage()};
    case DeliverSm: // schedule_delivery_time and validity_period are NULL here
        return Layout{c(6),   byte(), byte(), c(21),  byte(), byte(), c(21),  byte(),        byte(),
                      byte(), c(1),   c(1),   byte(), byte(), byte(), byte(), shortMessage()};
    case SubmitSm | responseBit:
        return Layout{c(65)};
    case DeliverSm | responseBit:
        return Layout{c(1)};
    case Unbind:
    case Unbind | responseBit:
    case EnquireLink:
    case EnquireLink | responseBit:
    case GenericNack:
        return Layout{};
    default:
        return std::nullopt;
    }
}

quint32 read32(QByteArrayView bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.data() + at);
}

void write32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToBigEndian(value, bytes.data() + at);
}

// Copies a C-octet string into libsmpp34's field; false when it is too long
// for it (size counts the NUL) or holds a NUL of its own.
bool putString(uint8_t *field, qsizetype size, const QByteArray &value)
{
    if (value.size() >= size || value.contains('\0'))
        return false;
    std::memset(field, 0, size_t(size));
    std::memcpy(field, value.constData(), size_t(value.size()));
    return true;
}

QByteArray takeString(const uint8_t *field, qsizetype size)
{
    const auto *text = reinterpret_cast<const char *>(field);
    return QByteArray(text, qsizetype(qstrnlen(text, size_t(size))));
}

// The reason libsmpp34 gives: the last bracket of its trace of fields.
QString libraryError()
{
    const QByteArray trace(smpp34_strerror);
    const qsizetype at = trace.lastIndexOf('[');
    return QString::fromLatin1(at < 0 ? trace : trace.mid(at));
}

// Packs the mandatory part with libsmpp34 (header placeholders included).
template <typename T> QByteArray packBody(quint32 command, T &frame)
{
    frame.command_length = 0;
    frame.command_id = command;
    frame.command_status = 0; // written below: the library knows only the standard codes
    frame.sequence_number = 1;
    uint8_t buffer[1024];
    int length = 0;
    if (smpp34_pack(command, buffer, int(sizeof buffer), &length, &frame) != 0 ||
        length < headerLength)
        return {};
    return QByteArray(reinterpret_cast<const char *>(buffer), length);
}

bool fillSubmitOrDeliver(const Pdu &pdu, auto &frame)
{
    frame.source_addr_ton = pdu.source.ton;
    frame.source_addr_npi = pdu.source.npi;
    frame.dest_addr_ton = pdu.destination.ton;
    frame.dest_addr_npi = pdu.destination.npi;
    frame.esm_class = pdu.esmClass;
    frame.protocol_id = pdu.protocolId;
    frame.priority_flag = pdu.priority;
    frame.registered_delivery = pdu.registeredDelivery;
    frame.replace_if_present_flag = pdu.replaceIfPresent;
    frame.data_coding = pdu.dataCoding;
    frame.sm_default_msg_id = pdu.defaultMessageId;
    if (pdu.shortMessage.size() > maxShortMessage)
        return false;
    frame.sm_length = uint8_t(pdu.shortMessage.size());
    std::memcpy(frame.short_message, pdu.shortMessage.constData(), size_t(pdu.shortMessage.size()));
    return putString(frame.service_type, sizeof frame.service_type, pdu.serviceType) &&
           putString(frame.source_addr, sizeof frame.source_addr, pdu.source.address) &&
           putString(frame.destination_addr, sizeof frame.destination_addr,
                     pdu.destination.address) &&
           putString(frame.schedule_delivery_time, sizeof frame.schedule_delivery_time,
                     pdu.scheduleDeliveryTime) &&
           putString(frame.validity_period, sizeof frame.validity_period, pdu.validityPeriod);
}

void takeSubmitOrDeliver(const auto &frame, Pdu &pdu)
{
    pdu.serviceType = takeString(frame.service_type, sizeof frame.service_type);
    pdu.source = {frame.source_addr_ton, frame.source_addr_npi,
                  takeString(frame.source_addr, sizeof frame.source_addr)};
    pdu.destination = {frame.dest_addr_ton, frame.dest_addr_npi,
                       takeString(frame.destination_addr, sizeof frame.destination_addr)};
    pdu.esmClass = frame.esm_class;
    pdu.protocolId = frame.protocol_id;
    pdu.priority = frame.priority_flag;
    pdu.scheduleDeliveryTime =
        takeString(frame.schedule_delivery_time, sizeof frame.schedule_delivery_time);
    pdu.validityPeriod = takeString(frame.validity_period, sizeof frame.validity_period);
    pdu.registeredDelivery = frame.registered_delivery;
    pdu.replaceIfPresent = frame.replace_if_present_flag;
    pdu.dataCoding = frame.data_coding;
    pdu.defaultMessageId = frame.sm_default_msg_id;
    pdu.shortMessage = QByteArray(reinterpret_cast<const char *>(frame.short_message),
                                  qMin<qsizetype>(frame.sm_length, maxShortMessage));
}

QByteArray packMandatory(const Pdu &pdu)
{
    switch (pdu.command) {
    case BindReceiver:
    case BindTransmitter:
    case BindTransceiver: {
        // The three binds share one layout; bind_transceiver_t stands for all.
        bind_transceiver_t frame{};
        frame.interface_version = pdu.interfaceVersion;
        if (!putString(frame.system_id, sizeof frame.system_id, pdu.systemId) ||
            !putString(frame.password, sizeof frame.password, pdu.password) ||
            !putString(frame.system_type, sizeof frame.system_type, pdu.systemType))
            return {};
        return packBody(pdu.command, frame);
    }
    case BindReceiver | responseBit:
    case BindTransmitter | responseBit:
    case BindTransceiver | responseBit: {
        bind_transceiver_resp_t frame{};
        if (!putString(frame.system_id, sizeof frame.system_id, pdu.systemId))
            return {};
        return packBody(pdu.command, frame);
    }
    case SubmitSm: {
        submit_sm_t frame{};
        return fillSubmitOrDeliver(pdu, frame) ? packBody(pdu.command, frame) : QByteArray();
    }
    case DeliverSm: {
        deliver_sm_t frame{};
        return fillSubmitOrDeliver(pdu, frame) ? packBody(pdu.command, frame) : QByteArray();
    }
    case SubmitSm | responseBit: {
        submit_sm_resp_t frame{};
        if (!putString(frame.message_id, sizeof frame.message_id, pdu.messageId))
            return {};
        return packBody(pdu.command, frame);
    }
    case DeliverSm | responseBit: {
        deliver_sm_resp_t frame{};
        return packBody(pdu.command, frame);
    }
    case Unbind:
    case Unbind | responseBit:
    case EnquireLink:
    case EnquireLink | responseBit:
    case GenericNack: {
        // The header-only PDUs share one layout.
        generic_nack_t frame{};
        return packBody(pdu.command, frame);
    }
    default:
        return {};
    }
}

// Walks the mandatory fields of a body; the offset where the optional
// parameters begin, or the reason the body cannot be read.
struct Walk
{
    qsizetype end = 0;
    QString error;
};
Walk walk(QByteArrayView body, const Layout &layout)
{
    qsizetype at = 0;
    int index = 0;
    for (const FieldSpec &field : layout) {
        ++index;
        switch (field.kind) {
        case Field::Byte:
            if (at + 1 > body.size())
                return {0, QStringLiteral("field %1 past the end").arg(index)};
            ++at;
            break;
        case Field::CString: {
            const qsizetype room = qMin<qsizetype>(field.size, body.size() - at);
            const qsizetype nul = body.sliced(at, room).indexOf('\0');
            if (nul < 0)
                return {0, QStringLiteral("field %1 without its NUL within %2 octets")
                               .arg(index)
                               .arg(field.size)};
            at += nul + 1;
            break;
        }
        case Field::ShortMessage: {
            if (at + 1 > body.size())
                return {0, QStringLiteral("sm_length past the end")};
            const auto length = quint8(body[at]);
            if (length > maxShortMessage || at + 1 + length > body.size())
                return {0, QStringLiteral("short_message of %1 octets too long or past the end")
                               .arg(length)};
            at += 1 + length;
            break;
        }
        }
    }
    return {at, {}};
}

// Reads the optional parameters; false when one runs past the end.
bool readTlvs(QByteArrayView bytes, QList<Tlv> &tlvs, QString &error)
{
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 4) {
            error = QStringLiteral("optional parameter header cut off");
            return false;
        }
        const quint16 tag = qFromBigEndian<quint16>(bytes.data() + at);
        const quint16 length = qFromBigEndian<quint16>(bytes.data() + at + 2);
        if (bytes.size() - at - 4 < length) {
            error = QStringLiteral("optional parameter 0x%1 of %2 octets past the end")
                        .arg(tag, 4, 16, QLatin1Char('0'))
                        .arg(length);
            return false;
        }
        tlvs.append({tag, bytes.sliced(at + 4, length).toByteArray()});
        at += 4 + length;
    }
    return true;
}

template <typename T>
bool unpackWith(quint32 command, const QByteArray &bytes, T &frame, QString &error)
{
    if (smpp34_unpack(command, &frame, reinterpret_cast<const uint8_t *>(bytes.constData()),
                      int(bytes.size())) != 0) {
        error = libraryError();
        return false;
    }
    return true;
}

// Reads the mandatory part through libsmpp34. It gets the header with
// status 0 and sequence 1 (it refuses any status code SMPP 3.4 does not
// list, such as a centre's own codes 0x400 to 0x4FF, and sequence 0) and
// never the optional parameters: on a parameter it cannot read it leaks
// its list element, and it refuses longer values than it expects of some
// tags (a receipted_message_id above 65 octets).
bool unpackMandatory(QByteArray bytes, Pdu &pdu, QString &error)
{
    write32(bytes, 0, quint32(bytes.size()));
    write32(bytes, 8, Ok);
    write32(bytes, 12, 1);
    switch (pdu.command) {
    case BindReceiver:
    case BindTransmitter:
    case BindTransceiver: {
        bind_transceiver_t frame{};
        // The library checks the command_id against the frame's; the three
        // binds share one layout.
        write32(bytes, 4, BindTransceiver);
        if (!unpackWith(BindTransceiver, bytes, frame, error))
            return false;
        pdu.systemId = takeString(frame.system_id, sizeof frame.system_id);
        pdu.password = takeString(frame.password, sizeof frame.password);
        pdu.systemType = takeString(frame.system_type, sizeof frame.system_type);
        pdu.interfaceVersion = frame.interface_version;
        return true;
    }
    case BindReceiver | responseBit:
    case BindTransmitter | responseBit:
    case BindTransceiver | responseBit: {
        bind_transceiver_resp_t frame{};
        write32(bytes, 4, BindTransceiver | responseBit);
        if (!unpackWith(BindTransceiver | responseBit, bytes, frame, error))
            return false;
        pdu.systemId = takeString(frame.system_id, sizeof frame.system_id);
        return true;
    }
    case SubmitSm: {
        submit_sm_t frame{};
        if (!unpackWith(pdu.command, bytes, frame, error))
            return false;
        takeSubmitOrDeliver(frame, pdu);
        return true;
    }
    case DeliverSm: {
        deliver_sm_t frame{};
        if (!unpackWith(pdu.command, bytes, frame, error))
            return false;
        takeSubmitOrDeliver(frame, pdu);
        return true;
    }
    case SubmitSm | responseBit: {
        submit_sm_resp_t frame{};
        if (!unpackWith(pdu.command, bytes, frame, error))
            return false;
        pdu.messageId = takeString(frame.message_id, sizeof frame.message_id);
        return true;
    }
    case DeliverSm | responseBit: {
        deliver_sm_resp_t frame{};
        return unpackWith(pdu.command, bytes, frame, error);
    }
    default: {
        generic_nack_t frame{};
        write32(bytes, 4, GenericNack);
        return unpackWith(GenericNack, bytes, frame, error);
    }
    }
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex()).toUpper();
}

QString quoted(const QByteArray &text)
{
    return QLatin1Char('"') + QString::fromLatin1(text) + QLatin1Char('"');
}

QString address(const Address &address)
{
    return QStringLiteral("%1/%2 %3")
        .arg(address.ton)
        .arg(address.npi)
        .arg(quoted(address.address));
}

} // namespace

std::optional<QByteArray> Pdu::tlv(quint16 tag) const
{
    for (const Tlv &option : tlvs) {
        if (option.tag == tag)
            return option.value;
    }
    return std::nullopt;
}

QByteArray pack(const Pdu &pdu)
{
    QByteArray bytes = packMandatory(pdu);
    if (bytes.isEmpty())
        return {};
    for (const Tlv &option : pdu.tlvs) {
        if (option.value.size() > 0xFFFF)
            return {};
        char head[4];
        qToBigEndian(option.tag, head);
        qToBigEndian(quint16(option.value.size()), head + 2);
        bytes.append(head, 4).append(option.value);
    }
    if (bytes.size() > maxPduLength)
        return {};
    write32(bytes, 0, quint32(bytes.size()));
    write32(bytes, 4, pdu.command);
    write32(bytes, 8, pdu.status);
    write32(bytes, 12, pdu.sequence);
    return bytes;
}

Unpacked unpack(QByteArrayView stream)
{
    Unpacked result;
    if (stream.size() < 4)
        return result;
    const quint32 length = read32(stream, 0);
    if (length < headerLength || length > maxPduLength) {
        result.outcome = Unpacked::Outcome::Broken;
        result.error = QStringLiteral("command_length %1 impossible").arg(length);
        return result;
    }
    if (stream.size() < qsizetype(length))
        return result;
    result.used = length;
    Pdu &pdu = result.pdu;
    pdu.command = read32(stream, 4);
    pdu.status = read32(stream, 8);
    pdu.sequence = read32(stream, 12);

    const QByteArrayView body = stream.sliced(headerLength, length - headerLength);
    const std::optional<Layout> layout = layoutOf(pdu.command);
    // A response with an error may come without its body (SMPP 3.4 leaves
    // out the message_id of a failed submit_sm); an unknown command is left
    // to the session to answer with generic_nack.
    if (!layout || (body.isEmpty() && pdu.isResponse() && pdu.status != Ok)) {
        result.outcome = Unpacked::Outcome::Complete;
        return result;
    }
    const Walk fields = walk(body, *layout);
    QString error = fields.error;
    if (error.isEmpty() &&
        unpackMandatory(stream.first(headerLength + fields.end).toByteArray(), pdu, error))
        readTlvs(body.sliced(fields.end), pdu.tlvs, error);
    if (!error.isEmpty()) {
        result.outcome = Unpacked::Outcome::Broken;
        result.error = commandName(pdu.command) + QStringLiteral(": ") + error;
        return result;
    }
    result.outcome = Unpacked::Outcome::Complete;
    return result;
}

Pdu response(const Pdu &request, quint32 status)
{
    Pdu pdu;
    pdu.command = request.command | responseBit;
    pdu.status = status;
    pdu.sequence = request.sequence;
    return pdu;
}

Pdu enquireLink(quint32 sequence)
{
    Pdu pdu;
    pdu.command = EnquireLink;
    pdu.sequence = sequence;
    return pdu;
}

Pdu unbind(quint32 sequence)
{
    Pdu pdu;
    pdu.command = Unbind;
    pdu.sequence = sequence;
    return pdu;
}

Pdu genericNack(quint32 sequence, quint32 status)
{
    Pdu pdu;
    pdu.command = GenericNack;
    pdu.status = status;
    pdu.sequence = sequence;
    return pdu;
}

QString commandName(quint32 command)
{
    if (command == GenericNack)
        return QStringLiteral("generic_nack");
    const char *name = nullptr;
    switch (command & ~responseBit) {
    case BindReceiver:
        name = "bind_receiver";
        break;
    case BindTransmitter:
        name = "bind_transmitter";
        break;
    case QuerySm:
        name = "query_sm";
        break;
    case SubmitSm:
        name = "submit_sm";
        break;
    case DeliverSm:
        name = "deliver_sm";
        break;
    case Unbind:
        name = "unbind";
        break;
    case ReplaceSm:
        name = "replace_sm";
        break;
    case CancelSm:
        name = "cancel_sm";
        break;
    case BindTransceiver:
        name = "bind_transceiver";
        break;
    case Outbind:
        name = "outbind";
        break;
    case EnquireLink:
        name = "enquire_link";
        break;
    case SubmitMulti:
        name = "submit_multi";
        break;
    case AlertNotification:
        name = "alert_notification";
        break;
    case DataSm:
        name = "data_sm";
        break;
    default:
        return QStringLiteral("command 0x%1").arg(command, 8, 16, QLatin1Char('0'));
    }
    return QLatin1String(name) + ((command & responseBit) ? QStringLiteral("_resp") : QString());
}

QString describe(const Pdu &pdu)
{
    QString line = QStringLiteral("%1 seq %2").arg(commandName(pdu.command)).arg(pdu.sequence);
    if (pdu.isResponse())
        line += QStringLiteral(" status 0x%1").arg(pdu.status, 8, 16, QLatin1Char('0'));
    switch (pdu.command) {
    case BindReceiver:
    case BindTransmitter:
    case BindTransceiver:
        line += QStringLiteral(" system_id %1 password %2 system_type %3 version 0x%4")
                    .arg(quoted(pdu.systemId),
                         pdu.password.isEmpty() ? QStringLiteral("\"\"") : QStringLiteral("***"),
                         quoted(pdu.systemType))
                    .arg(pdu.interfaceVersion, 2, 16, QLatin1Char('0'));
        break;
    case BindReceiver | responseBit:
    case BindTransmitter | responseBit:
    case BindTransceiver | responseBit:
        line += QStringLiteral(" system_id ") + quoted(pdu.systemId);
        break;
    case SubmitSm | responseBit:
        line += QStringLiteral(" message_id ") + quoted(pdu.messageId);
        break;
    case SubmitSm:
    case DeliverSm:
        line += QStringLiteral(" from %1 to %2 esm_class 0x%3 data_coding %4 "
                               "registered_delivery %5 short_message %6")
                    .arg(address(pdu.source), address(pdu.destination))
                    .arg(pdu.esmClass, 2, 16, QLatin1Char('0'))
                    .arg(pdu.dataCoding)
                    .arg(pdu.registeredDelivery)
                    .arg(hex(pdu.shortMessage));
        break;
    default:
        break;
    }
    for (const Tlv &option : pdu.tlvs)
        line += QStringLiteral(" 0x%1=%2")
                    .arg(option.tag, 4, 16, QLatin1Char('0'))
                    .arg(hex(option.value));
    return line;
}

} // namespace Smpp
