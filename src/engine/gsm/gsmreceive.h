#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

// What a GSM modem in PDU mode hands over when it receives: an SMS-DELIVER
// (a reply, read with AT+CMGR or AT+CMGL) and an SMS-STATUS-REPORT (the
// centre's word on a message sent with TP-SRR, from +CDS or the SIM). Both
// come as hex with the service centre address in front, as TS 27.005 gives
// them. Pure data processing: no port, no clock.
namespace Gsm {

// The concatenation header of one part (IEI 00 with an 8-bit reference or
// IEI 08 with a 16-bit one): the parts of one message share sender,
// reference and total, and sequence counts from 1 to total.
struct Concatenation
{
    int reference = 0;
    int total = 1;
    int sequence = 1;
    bool operator==(const Concatenation &) const = default;
};

// The part that the information elements of a user data header (after its
// length octet) name: the first usable concatenation element, 8- or 16-bit
// reference; other elements are passed over. Nothing when there is none;
// *valid is false when an element runs past the end.
std::optional<Concatenation> concatenationOf(QByteArrayView elements, bool *valid = nullptr);

// How the user data of a received SMS is written (from TP-DCS).
enum class DataCoding {
    Gsm7,     // the default alphabet with its extension table, packed
    EightBit, // data for an application, or compressed text: shown as hex
    Ucs2,     // UTF-16 big-endian, surrogate pairs included
};

// One received SMS, or one part of a longer message.
struct DeliverPdu
{
    // The service centre that delivered it: "+" and digits for an
    // international number; empty when the PDU names none.
    QString centre;
    // "+" and digits for an international number, the digits alone for any
    // other, the name for an alphanumeric sender ("Swisscom").
    QString sender;
    quint8 protocolId = 0; // TP-PID as it came
    quint8 dataCoding = 0; // TP-DCS as it came
    DataCoding coding = DataCoding::Gsm7;
    // When the centre took the message (TP-SCTS), with the sender's offset
    // from UTC. Invalid when the centre wrote no valid time: the message is
    // kept all the same.
    QDateTime sentAt;
    // The text without the user data header; 8-bit data as upper-case hex.
    QString text;
    // Set when this is one part of a concatenated message.
    std::optional<Concatenation> part;
    // Octets after the service centre address: what AT+CMGR and AT+CMGL
    // state as <length> before the PDU.
    int tpduLength = 0;
};

// Reads an SMS-DELIVER from its hex (blanks around it are ignored). Nothing
// for anything else or for a malformed PDU (not hex, cut short, a length
// that does not match the octets, a user data header that runs past its
// end); then *error, when given, says in the user's language what is wrong.
std::optional<DeliverPdu> decodeDeliver(QByteArrayView hex, QString *error = nullptr);

// The centre's report on a message sent with TP-SRR.
struct StatusReport
{
    QString centre; // as in DeliverPdu
    // TP-MR: the reference the modem answered AT+CMGS with ("+CMGS: <mr>").
    int reference = 0;
    QString recipient; // as DeliverPdu::sender, of the message reported on
    // TP-SCTS: when the centre took the message. TP-DT: when it was
    // delivered, or when the centre last tried or gave up. Invalid when the
    // centre wrote no valid time.
    QDateTime centreTime;
    QDateTime dischargeTime;
    quint8 status = 0; // TP-ST; deliveryStatus() sorts it
    int tpduLength = 0;
};

// Reads an SMS-STATUS-REPORT like decodeDeliver() an SMS-DELIVER. The
// optional parameters after TP-ST are not read.
std::optional<StatusReport> decodeStatusReport(QByteArrayView hex, QString *error = nullptr);

// What TP-ST says about the message (TS 23.040, 9.2.3.15).
struct DeliveryStatus
{
    enum Kind {
        Completed,       // 0x00..0x1F: delivered, forwarded or replaced
        Trying,          // 0x20..0x3F: a temporary error, the centre tries on
        FailedPermanent, // 0x40..0x5F: the centre gave up for good
        FailedTemporary, // 0x60..0x7F: a temporary error, but no more tries
    };
    Kind kind = Completed;
    // A short meaning in the user's language ("zugestellt", "Empfänger
    // unbekannt"); reserved and centre-specific values name their code.
    QString meaning;

    // True when no other report on the message will follow.
    bool isFinal() const { return kind != Trying; }
    bool isFailed() const { return kind == FailedPermanent || kind == FailedTemporary; }
};

// Sorts a TP-ST value. Bit 7 is reserved; a value with it set counts as a
// failure without further tries, so a message is never taken for delivered
// on a code nobody knows.
DeliveryStatus deliveryStatus(quint8 status);

} // namespace Gsm
