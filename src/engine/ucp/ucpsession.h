#pragma once

#include "ucp.h"

#include <QByteArrayView>
#include <QString>

// A UCP session with a message centre over TCP/IP: the login that opens it,
// the frames the centre sends (results and operations of its own) and the
// answer to such an operation. Pure text processing like ucp.h.

// The operation 60 (session management) frame that opens a session, from
// TRN through the checksum, without STX and ETX:
//
//   TRN/LEN/O/60/<OAdC>/6/5/1/<PWD>//0100//////<CS>
//
// OAdC is the account with its digits only (OTON 6 abbreviated number,
// ONPI 5 private), STYP 1 opens the session, PWD is ucpPasswordField of the
// password, VERS is 0100; NPWD, LAdC, LTON, LNPI, OPID and RES1 stay empty.
QString ucpLoginFrame(const QString &account, const QString &password, UcpTrn trn);

// The password as the login carries it: each character as two upper-case
// hex digits of its code, nothing left out or replaced. Only a password
// without an unsendable character (see below) can be written so.
QString ucpPasswordField(QStringView password);
// The first character of password that a login cannot carry, empty when
// there is none: the login's password is printable ASCII (IRA, blank to
// "~"), so "ß", "€", "Ä" or a control character cannot be sent as typed.
// A character outside the Basic Multilingual Plane is returned whole.
QString ucpUnsendablePasswordCharacter(QStringView password);

// One frame from the message centre, read as far as the engine needs it.
struct UcpMessage
{
    // Operation: the centre asks something on its own (31 alert, 53
    // delivery notification, ...); Ack and Nack: the centre's result for an
    // operation of the program.
    enum class Kind { Invalid, Operation, Ack, Nack };
    Kind kind = Kind::Invalid;
    QString trn;           // two digits
    QString ot;            // two digits, the operation type
    QString errorCode;     // two digits, Nack only
    QString systemMessage; // Ack and Nack; may be empty
};

// Reads any frame of the centre:
//   operation  TRN/LEN/O/OT/<fields>/CS
//   positive   TRN/LEN/R/OT/A/[SM]/CS      (5x and 30: TRN/LEN/R/OT/A/[MVP]/[SM]/CS)
//   negative   TRN/LEN/R/OT/N/EC/[SM]/CS
// TRN two digits, LEN five digits equal to the frame's length, OT two
// digits, checksum matching (either case). Like parseUcpReply the input is a
// bare frame or holds STX ... ETX, of which the first frame is read.
// Anything else is Kind::Invalid.
UcpMessage parseUcpMessage(QByteArrayView bytes);

// The positive result for an operation the centre sent on its own: same
// TRN and operation type, no system message, so that the centre goes on.
// Operations 30 and 51 to 58 answer ACK/MVP/SM, all others ACK/SM:
//   TRN/00020/R/53/A///CS    TRN/00019/R/31/A//CS
// Empty unless operation.kind is Operation.
QString ucpPositiveResult(const UcpMessage &operation);
