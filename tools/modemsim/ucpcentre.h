#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The message centre's side of UCP operation 01 (call input, alphanumeric):
// checks a received frame and builds the result frames. Written apart from
// the program's encoder so that the simulator judges the encoder instead of
// agreeing with it by construction.
namespace UcpCentre {

struct Submission
{
    QString recipient;  // AdC
    QString originator; // OAdC, empty when the sender gave none
    QString text;       // AMsg decoded to characters
};

struct CheckResult
{
    bool valid = false;
    QString reason;        // why the frame is refused; empty when valid
    QByteArray trn = "00"; // echoed in the result; "00" if unreadable
    QByteArray ot = "01";  // operation type echoed in the result
    Submission submission;
};

// Frame text between STX and ETX.
CheckResult checkSubmission(QByteArrayView frame);

// AMsg hex digits to text. Codes above 0x7F are not part of the 7-bit
// alphabet the sender uses; they make the field invalid.
bool decodeMessage(QByteArrayView hex, QString *text, QString *error);

// Low 8 bits of the sum of the character codes, two upper-case hex digits.
QByteArray checksum(QByteArrayView body);

QByteArray positiveResult(const QByteArray &trn, const QByteArray &ot);
QByteArray negativeResult(const QByteArray &trn, const QByteArray &ot, const QByteArray &code);

// Error code of a frame the centre cannot parse.
inline constexpr char syntaxError[] = "02";

} // namespace UcpCentre
