#pragma once

#include "ucp.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Two-way messaging with a message centre over a UCP (EMI 4.x) session: the
// submission of a message with operation 51, the centre's delivery
// notifications (53) and incoming messages (52), the alert (31) that keeps
// the session open, and the sorting of whatever frame the centre sends.
// Pure text processing like ucp.h: no socket, no queue, no clock.
//
// Operations 51, 52 and 53 share one layout of 33 fields between OT and the
// checksum:
//
//   TRN/LEN/O/5x/AdC/OAdC/AC/NRq/NAdC/NT/NPID/LRq/LRAd/LPID/DD/DDT/VP/RPID/
//   SCTS/Dst/Rsn/DSCTS/MT/NB/Msg/MMS/PR/DCs/MCLs/RPI/CPg/RPLy/OTOA/HPLMN/
//   XSer/RES4/RES5/CS
//
// A text of MT 3 (AMsg) is written here as the codes of the GSM 7-bit default
// alphabet, one octet each in hex, an extension character as 1B and its code:
// letters, digits and most signs keep their ASCII codes, "ä" is 7B and "€"
// is 1B65, as the centres that take the umlauts of operation 01 read them.

// A concatenated message's part: the reference that all parts share, the
// number of parts and this part's number (from 1).
struct UcpConcatenation
{
    int reference = 0;
    int total = 0;
    int sequence = 0;

    friend bool operator==(const UcpConcatenation &, const UcpConcatenation &) = default;
};

// ---- Operation 51: submit a message --------------------------------------

struct UcpSubmission
{
    // AdC: the recipient; only its digits are written, as for operation 01.
    QString recipient;
    // OAdC: the account number (digits, blanks and a leading "+" allowed;
    // only the digits are written), or an alphanumeric sender of up to 11
    // septets of the GSM alphabet, written 7-bit packed with OTOA 5039.
    QString sender;
    QString text;
    // NRq 1, NT 3 (delivered and not delivered) and NPID 0539: the centre
    // sends an operation 53 when the message arrives or cannot.
    bool deliveryReport = false;
    // The concatenation reference of a message of several parts.
    quint8 reference = 0;
};

// Why a submission cannot be written; the dialogue words it for the user.
enum class UcpSubmitProblem {
    None,
    NoRecipient,   // the recipient has no digit
    SenderTooLong, // an alphanumeric sender of more than 11 septets
    SenderNotGsm,  // an alphanumeric sender with a character outside the GSM alphabet
    TooManyParts,  // the text needs more than 255 SMS
};

struct UcpSubmitFrames
{
    // One frame per part, from TRN through the checksum, without STX and
    // ETX; empty when problem is not None.
    QStringList frames;
    UcpSubmitProblem problem = UcpSubmitProblem::None;
};

// The operation 51 frames of a message. A text of the GSM alphabet that fits
// one SMS goes as MT 3 with AMsg; any other as MT 4: TMsg holds the part's
// 7-bit septets packed (NB = 7 x septets) or its UTF-16 big-endian octets
// (NB = 16 x units), XSer carries the GSM user data header (type 01,
// concatenation IEI 00 with reference, total and sequence) when there are
// several parts and the data coding scheme (type 02: 00 for 7-bit, 08 for
// UCS-2). The parts are cut as Gsm::planMessage counts them. The frames
// carry the TRNs first, first.next(), ... in order.
UcpSubmitFrames ucpSubmitFrames(const UcpSubmission &submission, UcpTrn first);

// The centre's result for an operation 51:
//   positive  TRN/LEN/R/51/A//AdC:SCTS/CS   (MVP empty)
//   negative  TRN/LEN/R/51/N/EC/SM/CS
struct UcpSubmitResult
{
    enum class Kind { Invalid, Accepted, Refused };
    Kind kind = Kind::Invalid;
    QString trn;
    // Accepted: the recipient and the centre's time stamp that its delivery
    // notification will carry; the time stamp is null when SM holds none.
    QString recipient;
    QDateTime scts;
    // Refused: the error code and what it means for the message.
    QString errorCode;
    UcpRefusal refusal = UcpRefusal::Attempt;
    QString systemMessage;
};
UcpSubmitResult parseUcpSubmitResult(QByteArrayView bytes);

// ---- Operation 53: delivery notification ---------------------------------

enum class UcpDeliveryStatus { Delivered = 0, Buffered = 1, NotDelivered = 2 };

struct UcpNotification
{
    bool valid = false;
    QString trn;
    // AdC of a notification is the originator of the message it reports on
    // (the account or sender), OAdC its recipient: the other way round than
    // in the submission.
    QString originator;
    QString recipient;
    // SCTS: the time stamp of the submission, as its result gave it.
    QDateTime submitted;
    UcpDeliveryStatus status = UcpDeliveryStatus::Delivered;
    // Rsn, three digits or empty; ucpReasonText says what it means.
    QString reason;
    // DSCTS: when the message was delivered or the notification made; null
    // when the field is empty.
    QDateTime statusTime;
    // The centre's own wording of the notification (MT 3).
    QString text;
};

// Reads an operation 53 frame (bare, or the first STX ... ETX in bytes).
// Invalid unless LEN, checksum and the 33 fields are right, SCTS is a time
// stamp and Dst is 0, 1 or 2.
UcpNotification parseUcpNotification(QByteArrayView bytes);

// The meaning of a reason code of a notification, in German ("107" ->
// "Empfänger nicht erreichbar"); "anderer Grund (999)" for one without a
// short meaning, empty for an empty code.
QString ucpReasonText(QStringView reason);

// ---- Operation 52: incoming message --------------------------------------

struct UcpIncomingMessage
{
    bool valid = false;
    QString trn;
    // OAdC: the sender, a number or (OTOA 5039) an alphanumeric name.
    QString sender;
    // AdC: the number the message was sent to.
    QString recipient;
    QDateTime received; // SCTS
    QString text;
    // Set when the message is one part of several (XSer type 01).
    std::optional<UcpConcatenation> part;
};

// Reads an operation 52 frame: MT 3 with AMsg, or MT 4 with TMsg in the
// alphabet that the data coding scheme of XSer type 02 names (7-bit packed
// with NB / 7 septets when there is none, UCS-2, or 8-bit read as Latin-1).
// Invalid unless LEN, checksum and the 33 fields are right, SCTS is a time
// stamp and the hex fields are whole octets of hex digits.
UcpIncomingMessage parseUcpIncomingMessage(QByteArrayView bytes);

// ---- Operation 31: alert -------------------------------------------------

// TRN/LEN/O/31/<AdC>/0539/CS: the alert for the account, sent while the
// session is idle so that neither side closes it. Only the account's digits
// are written.
QString ucpAlertFrame(const QString &account, UcpTrn trn);

// The centre's result for an alert: TRN/LEN/R/31/A/[SM]/CS or
// TRN/LEN/R/31/N/EC/[SM]/CS; Invalid for any other frame.
UcpReply parseUcpAlertResult(QByteArrayView bytes);

// ---- Answers and routing -------------------------------------------------

// What a frame from the centre is, so that the dialogue can route it. For a
// frame from takeUcpFrame:
//   Result                its TRN names the operation of the program it
//                         answers; read it with parseUcpSubmitResult (OT 51)
//                         or parseUcpAlertResult (OT 31).
//   IncomingMessage       parseUcpIncomingMessage, DeliveryNotification
//                         parseUcpNotification; answer with
//                         ucpOperationAnswer once the content is kept, or
//                         ucpOperationRefusal(frame, u"02") when the reader
//                         found it invalid, so that the centre does not
//                         send it again and again.
//   OtherOperation        ucpOperationAnswer (an alert of the centre) or a
//                         refusal with "03", operation not supported.
//   Invalid               nothing can be answered: the TRN is not known.
struct UcpIncomingFrame
{
    enum class Kind {
        Invalid,              // broken: wrong LEN, checksum or form
        Result,               // R: the result for an operation of the program
        IncomingMessage,      // O/52
        DeliveryNotification, // O/53
        OtherOperation,       // O with any other operation type
    };
    Kind kind = Kind::Invalid;
    QString trn;
    QString ot;
};
UcpIncomingFrame classifyUcpFrame(QByteArrayView bytes);

// The answer to an operation of the centre (52, 53 or another), with its TRN
// and operation type: positive  TRN/LEN/R/OT/A//[SM]/CS (ucpPositiveResult),
// negative TRN/LEN/R/OT/N/EC//CS with a two-digit error code (for example
// "02" syntax error for a frame that could not be read). Empty for an Invalid
// frame or a Result.
QString ucpOperationAnswer(const UcpIncomingFrame &operation);
QString ucpOperationRefusal(const UcpIncomingFrame &operation, QStringView errorCode);
