#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

class QDateTime;

// The message centre's side of UCP: checks a received operation 01 (call
// input, alphanumeric), operation 60 (session login) or the program's result
// for an operation of the centre's own, and builds the frames the centre
// sends. Written apart from the program's encoder so that the simulator
// judges the encoder instead of agreeing with it by construction.
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

// An operation 60 (session management) that opens a session: OAdC digits,
// OTON 6, ONPI 5, STYP 1, PWD IRA hex, VERS 0100, all other fields empty.
struct LoginCheck
{
    bool valid = false;
    QString reason;        // why the frame is refused; empty when valid
    QByteArray trn = "00"; // echoed in the result; "00" if unreadable
    QByteArray account;    // OAdC
    QByteArray password;   // PWD decoded
};
LoginCheck checkLogin(QByteArrayView frame);

// The program's result for an operation the centre sent on its own: it has
// to be positive and shaped for the operation type (ACK/SM, or ACK/MVP/SM
// for 30 and 51 to 58). Whether the centre asked that TRN and operation
// type is for the caller to check.
struct AnswerCheck
{
    bool valid = false;
    QString reason;
    QByteArray trn; // empty if unreadable
    QByteArray ot;  // empty if unreadable
};
AnswerCheck checkAnswer(QByteArrayView frame);

// Operations of the centre's own: 31 alert (AdC, PID 0539) and 53 delivery
// notification (AdC, OAdC, SCTS, Dst 0, Rsn 000, DSCTS, MT 3 and a short
// AMsg of the 33 fields).
QByteArray alertOperation(const QByteArray &trn, const QString &adc);
QByteArray notificationOperation(const QByteArray &trn, const Submission &sms,
                                 const QDateTime &submitted, const QDateTime &delivered);

// ---- Operation 51 (submit short message) and what follows from it -------

// The concatenation a part carries in the user data header of XSer.
struct Concat
{
    int reference = 0;
    int total = 1;
    int sequence = 1;
};

struct Submit51
{
    QString recipient;  // AdC
    QString originator; // OAdC: digits, or the name when OTOA is 5039
    bool alphanumericOriginator = false;
    bool notify = false;   // NRq 1
    QByteArray notifyType; // NT
    QByteArray notifyPid;  // NPID
    int messageType = 3;   // MT
    int dcs = 0;           // from XSer type 02; 0 for MT 3
    std::optional<Concat> concat;
    QString text;
};

struct Submit51Check
{
    bool valid = false;
    QString reason;
    QByteArray trn = "00";
    Submit51 sms;
};
// Reads an operation 51: MT 3 with AMsg in the GSM default alphabet, or
// MT 4 with XSer (type 01 user data header, type 02 data coding scheme
// 00 or 08) and TMsg of NB bits, 7-bit packed or UCS-2.
Submit51Check checkSubmit51(QByteArrayView frame);

// An operation 31 (alert) of the program: TRN/LEN/O/31/AdC/PID/CS.
struct AlertCheck
{
    bool valid = false;
    QString reason;
    QByteArray trn = "00";
    QByteArray adc;
};
AlertCheck checkAlert(QByteArrayView frame);

// The positive result of an operation 51: TRN/LEN/R/51/A//AdC:SCTS/CS.
QByteArray submitResult(const QByteArray &trn, const QString &recipient, const QDateTime &scts);

// An operation 53 for a submitted message: AdC its originator, OAdC its
// recipient, SCTS the stamp of its result, Dst 0/1/2 with Rsn, DSCTS.
QByteArray deliveryNotification(const QByteArray &trn, const Submit51 &sms,
                                const QDateTime &submitted, int dst, const QByteArray &rsn,
                                const QDateTime &at);
// The operation 52 frames of a message to the program: a short ASCII text
// as MT 3 with AMsg; any other as MT 4 in UCS-2 (XSer DCS 08), in parts of
// 67 characters with a concatenation header when it needs several. The
// TRNs are given, one per part.
QList<QByteArray> incomingMessage(const QList<QByteArray> &trns, const QString &sender,
                                  const QString &recipient, const QString &text,
                                  const QDateTime &scts, int reference);
// How many operation 52 frames incomingMessage makes of the text.
int incomingParts(const QString &text);

// AMsg hex digits to text. Codes above 0x7F are not part of the 7-bit
// alphabet the sender uses; they make the field invalid.
bool decodeMessage(QByteArrayView hex, QString *text, QString *error);

// Low 8 bits of the sum of the character codes, two upper-case hex digits.
QByteArray checksum(QByteArrayView body);

QByteArray positiveResult(const QByteArray &trn, const QByteArray &ot);
QByteArray negativeResult(const QByteArray &trn, const QByteArray &ot, const QByteArray &code);

// Error code of a frame the centre cannot parse.
inline constexpr char syntaxError[] = "02";
// Error code of a submission before the session login.
inline constexpr char notAllowed[] = "04";
// Error code of a login with the wrong account or password.
inline constexpr char authenticationFailure[] = "07";

} // namespace UcpCentre
