#pragma once

#include "smpppdu.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the program says and reads over SMPP beyond the PDUs themselves:
// the submit_sm of a message, the meaning of a status, delivery receipts,
// incoming messages. Pure data processing.
namespace Smpp {

// How the program fills in a submit_sm.
struct SubmitOptions
{
    QString sender; // empty: none (the centre fills it in)
    bool deliveryReceipt = true;
    QByteArray serviceType; // empty: the default
};

// The submit_sm PDUs of one message (sequence numbers left 0): one for a
// text that fits one SMS, else concatenated parts with a UDH (esm_class
// 0x40) and the reference given. data_coding 0 (GSM 7-bit alphabet, one
// septet per octet, the escape code before extension characters) when the
// whole text fits the GSM alphabet, else 8 (UCS-2). The recipient is taken
// as the queue holds it: "00..." is international (TON 1, NPI 1, "00"
// removed), anything else national/unknown (TON 0, NPI 1); a sender of
// digits with "+" or "00" is TON 1 NPI 1, other digits TON 0 NPI 1, a name
// TON 5 NPI 0. Every part asks for a receipt when deliveryReceipt is set.
// Empty when the text is empty or makes more than 255 parts, or the
// recipient has no digits or more than 20 (destination_addr holds 20).
QList<Pdu> submissions(const QString &recipient, const QString &text, const SubmitOptions &options,
                       quint8 reference);

// How the program acts on a command_status other than Ok.
enum class StatusClass {
    MessageRefused, // this message can never go out as it is: refuse the entry
    AccountRefused, // bind or account: stop sending until the user acts
    SlowDown,       // throttled or the centre's queue is full: send again later
    Failed,         // anything else: a failed attempt, tried again, paced
};
StatusClass classify(quint32 status);
// The status in German for the send log and the status line
// ("Ungültige Empfängeradresse").
QString statusMeaning(quint32 status);
// The status as the send log names it: "0x0000000B".
QString statusCode(quint32 status);

// A message id as the program stores it, so that the same id written with
// or without leading zeros, in upper or lower case, compares equal.
QString canonicalId(const QString &id);
// The stored forms (canonicalId) that may name the same message as id: the
// id itself, and when it reads as a decimal number its hexadecimal form,
// when it reads as a hexadecimal number its decimal form. Some centres
// write the id in hex in submit_sm_resp and in decimal in the receipt.
QStringList idForms(const QString &id);

// A delivery receipt (deliver_sm with esm_class bit 2 set).
struct Receipt
{
    QString messageId; // from receipted_message_id, else the text's "id:"
    QString recipient; // the original destination (the receipt's source)
    enum class Outcome { Delivered, Pending, NotDelivered } outcome = Outcome::Pending;
    QString state;    // "DELIVRD", "UNDELIV", ... (written-out states abbreviated)
    QString error;    // the text's "err:", or the network_error_code as "type/code" ("3/1")
    QDateTime doneAt; // the text's "done date:", local time; invalid when missing
};
bool isReceipt(const Pdu &deliverSm);
// Empty when neither the options nor the text give an id.
std::optional<Receipt> readReceipt(const Pdu &deliverSm);
// The receipt's state in German, for a message not (yet) delivered.
QString receiptMeaning(const Receipt &receipt);

// One incoming short message (deliver_sm that is no receipt), decoded.
struct IncomingPart
{
    QString sender; // "+" and digits for TON 1, else as sent
    QString text;   // decoded from data_coding 0 (GSM), 1/3 (Latin-1), 8 (UCS-2)
    // Concatenation from the UDH (8- or 16-bit reference) or the SAR options;
    // total 0 when the message is not a part.
    int reference = 0;
    int total = 0;
    int sequence = 0;
};
// Empty when the PDU cannot be read as a message (a data coding it cannot
// decode, a UDH longer than the message).
std::optional<IncomingPart> readIncoming(const Pdu &deliverSm);

} // namespace Smpp
