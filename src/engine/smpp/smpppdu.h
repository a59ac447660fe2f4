#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// SMPP 3.4 protocol data units as the program sends and reads them, packed
// and unpacked with libsmpp34. Pure data processing, Qt Core only.
namespace Smpp {

// command_id values; a response is its request's id with the top bit set.
enum Command : quint32 {
    GenericNack = 0x80000000,
    BindReceiver = 0x00000001,
    BindTransmitter = 0x00000002,
    QuerySm = 0x00000003,
    SubmitSm = 0x00000004,
    DeliverSm = 0x00000005,
    Unbind = 0x00000006,
    ReplaceSm = 0x00000007,
    CancelSm = 0x00000008,
    BindTransceiver = 0x00000009,
    Outbind = 0x0000000B,
    EnquireLink = 0x00000015,
    SubmitMulti = 0x00000021,
    AlertNotification = 0x00000102,
    DataSm = 0x00000103,
};
inline constexpr quint32 responseBit = 0x80000000;

// command_status values the program tells apart.
enum Status : quint32 {
    Ok = 0x00,
    InvalidMessageLength = 0x01,
    InvalidCommandLength = 0x02,
    InvalidCommandId = 0x03,
    IncorrectBindStatus = 0x04,
    AlreadyBound = 0x05,
    SystemError = 0x08,
    InvalidSourceAddress = 0x0A,
    InvalidDestinationAddress = 0x0B,
    InvalidMessageId = 0x0C,
    BindFailed = 0x0D,
    InvalidPassword = 0x0E,
    InvalidSystemId = 0x0F,
    MessageQueueFull = 0x14,
    Throttled = 0x58,
};

// Optional parameters (TLV tags) the program reads or writes.
enum Tag : quint16 {
    TagUserMessageReference = 0x0204,
    TagSarMsgRefNum = 0x020C,
    TagSarTotalSegments = 0x020E,
    TagSarSegmentSeqnum = 0x020F,
    TagReceiptedMessageId = 0x001E,
    TagMessageState = 0x0427,
    TagNetworkErrorCode = 0x0423,
    TagMessagePayload = 0x0424,
};

struct Tlv
{
    quint16 tag = 0;
    QByteArray value;
    bool operator==(const Tlv &) const = default;
};

struct Address
{
    quint8 ton = 0;
    quint8 npi = 0;
    QByteArray address; // ASCII, without the terminating NUL
    bool operator==(const Address &) const = default;
};

// One PDU. Only the fields of its command are packed; the others are left
// as they are. C-octet strings hold their text without the NUL.
struct Pdu
{
    quint32 command = 0;
    quint32 status = 0;
    quint32 sequence = 0;

    // bind_transceiver (and the other binds)
    QByteArray systemId;
    QByteArray password;
    QByteArray systemType;
    quint8 interfaceVersion = 0x34;

    // submit_sm and deliver_sm
    QByteArray serviceType;
    Address source;
    Address destination;
    quint8 esmClass = 0;
    quint8 protocolId = 0;
    quint8 priority = 0;
    QByteArray scheduleDeliveryTime;
    QByteArray validityPeriod;
    quint8 registeredDelivery = 0;
    quint8 replaceIfPresent = 0;
    quint8 dataCoding = 0;
    quint8 defaultMessageId = 0;
    // Up to 253 octets (libsmpp34's limit), with the UDH when esm_class 0x40.
    QByteArray shortMessage;

    // submit_sm_resp (message_id), bind_*_resp (system_id in systemId)
    QByteArray messageId;

    QList<Tlv> tlvs;

    std::optional<QByteArray> tlv(quint16 tag) const;
    bool isResponse() const { return (command & responseBit) != 0; }
    bool operator==(const Pdu &) const = default;
};

// A PDU as bytes for the wire (command_length first); empty when a field
// is too long for the PDU or the command is not one the program sends.
QByteArray pack(const Pdu &pdu);

// The first PDU at the start of a received byte stream.
struct Unpacked
{
    enum class Outcome {
        Complete,   // pdu holds it; used bytes were taken
        Incomplete, // wait for more bytes
        Broken,     // the length is impossible or the body cannot be read
    };
    Outcome outcome = Outcome::Incomplete;
    Pdu pdu;
    // Bytes the PDU took (its command_length); for Broken with a sane
    // length, the bytes to drop to go on with the next PDU, 0 when the
    // stream cannot be trusted any more.
    qsizetype used = 0;
    QString error = {}; // why Broken, for the trace
};
Unpacked unpack(QByteArrayView stream);

// The usual responses and requests, with their sequence numbers.
Pdu response(const Pdu &request, quint32 status = Ok);
Pdu enquireLink(quint32 sequence);
Pdu unbind(quint32 sequence);
Pdu genericNack(quint32 sequence, quint32 status);

// The command's name for the trace ("submit_sm_resp").
QString commandName(quint32 command);
// A readable line of the PDU for the call trace, passwords masked.
QString describe(const Pdu &pdu);

} // namespace Smpp
