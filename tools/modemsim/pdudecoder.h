#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The network's side of an SMS-SUBMIT PDU as a GSM modem receives it after
// AT+CMGS: the service centre address, the recipient, the data coding, a
// concatenation header and the text. Written apart from the program's
// encoder so that the simulator judges the encoder instead of agreeing with
// it by construction.
namespace SmsPdu {

struct Submit
{
    QString centre;            // "+" and digits for an international number; empty: the SIM's
    QString recipient;         // the same form
    int recipientType = 0x81;  // type of address as it came
    bool statusReport = false; // TP-SRR: a status report is asked for
    QString encoding;          // "7bit", "8bit" or "ucs2"
    // The concatenation header; reference -1 when the message has none.
    int reference = -1;
    int partCount = 1;
    int partNumber = 1;
    QString text;       // 8-bit data is shown as upper-case hex
    int tpduLength = 0; // octets after the service centre address
};

// Decodes the PDU octets (service centre address first). Returns nothing and
// sets *error for anything a network would refuse.
std::optional<Submit> decodeSubmit(QByteArrayView pdu, QString *error);

} // namespace SmsPdu
