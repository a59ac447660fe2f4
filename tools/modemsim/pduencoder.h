#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The network's side of what a GSM modem receives: SMS-DELIVER PDUs of a
// message sent to the modem's SIM and the SMS-STATUS-REPORT on a message it
// sent, each in hex with the service centre address in front, as AT+CMGR
// shows them. Written apart from the program's decoder, so that the
// simulator judges it instead of agreeing with it by construction.
namespace SmsPdu {

struct Encoded
{
    QByteArray hex;
    int tpduLength = 0; // octets after the service centre address
};

// The parts of a message from sender ("+41...", digits, or a name of up to
// 11 characters): in the default alphabet (with its extension table) when
// every character has a place there, else in UCS-2. A text longer than one
// SMS is cut into parts with a concatenation header: the 8-bit reference
// (IEI 00) for the default alphabet, the 16-bit one (IEI 08) for UCS-2, so
// that both kinds reach the program.
QList<Encoded> encodeDeliver(const QString &centre, const QString &sender, const QString &text,
                             int reference, const QDateTime &sentAt);

// The report on the message with reference mr to recipient (the type of
// address as the submission gave it), with TP-ST status.
Encoded encodeStatusReport(const QString &centre, int mr, const QString &recipient,
                           int recipientType, const QDateTime &sentAt, const QDateTime &doneAt,
                           int status);

} // namespace SmsPdu
