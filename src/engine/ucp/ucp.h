#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// One SMS is submitted to the message centre as a UCP/EMI operation 01 (call
// input) with message type 3 (alphanumeric):
//
//   01/LLLLL/O/01/<AdC>/<OAdC>//3/<AMsg>/<CS>
//
// wrapped in STX ... ETX on the line. Everything here is pure text
// processing: no port, no queue, no clock.

// Start and end bytes of every UCP frame on the line.
inline constexpr char UcpStx = '\x02';
inline constexpr char UcpEtx = '\x03';

// The two hex digits that stand for one of the sixteen accented letters and
// signs that can be sent (their positions in the GSM 03.38 default alphabet),
// or an empty text for every other character. Case-sensitive: "É" is mapped,
// "È" is not.
QString ErwAscii(QChar value);

// The message text as the AMsg field: a character up to code 127 becomes two
// upper-case hex digits of its code, a character above 127 becomes its
// ErwAscii code, and a character without one is left out without a trace.
QString Textinhex(QStringView text);

// The two upper-case hex digits of the UCP checksum of frame: the low
// 8 bits of the sum of the Windows-1252 codes of its characters. A decimal
// digit adds the value of the hex number messageType followed by that digit, which
// with messageType "3" is the digit's own code.
QString Chksum(QStringView frame, QChar messageType);

// The transaction reference number (TRN) of a frame that the program sends.
// A connection numbers its operations 01, 02, ..., 99, 00, 01, ...; the
// message centre's result carries the number of the operation it answers.
class UcpTrn
{
public:
    // 01, the number of the first operation on a connection.
    constexpr UcpTrn() = default;

    constexpr int value() const { return m_value; }
    // Always two digits: "01", "99", "00".
    QString text() const;
    // The number of the following operation: 99 is followed by 00.
    constexpr UcpTrn next() const { return UcpTrn((m_value + 1) % 100); }

    friend constexpr bool operator==(UcpTrn, UcpTrn) = default;

private:
    explicit constexpr UcpTrn(int value) : m_value(value) {}

    int m_value = 1;
};

// The complete operation 01 frame from TRN through the checksum, without STX
// and ETX. Both numbers are written with their digits only, so a blank or a
// "/" typed into a number can never shift or split a field of the frame.
// The TRN is 01.
QString SMSSendString(const QString &number, const QString &message, const QString &callBack);
// The same frame with the given TRN, for the second and later operations
// of a connection; with UcpTrn() it is the frame above, byte for byte.
QString SMSSendString(const QString &number, const QString &message, const QString &callBack,
                      UcpTrn trn);

// The bytes that go over the line for a frame: STX, the frame, ETX.
QByteArray ucpFrameBytes(const QString &frame);

// The distinct characters of a text (in order of first appearance) that
// Textinhex would silently drop, e.g. "ß", "€" or typographic quotes. A
// character outside the Basic Multilingual Plane is reported as one entry.
QStringList unsendableCharacters(QStringView text);

// The message centre's answer to an operation 01.
struct UcpReply
{
    enum class Kind { Invalid, Ack, Nack };
    Kind kind = Kind::Invalid;
    QString trn;
    QString errorCode; // two digits, only for Nack
    QString systemMessage;
};

// Parses one reply to operation 01:
//   positive  TRN/LEN/R/01/A/[SM]/CS  (also TRN/LEN/R/01/A/[MVP]/[SM]/CS)
//   negative  TRN/LEN/R/01/N/EC/[SM]/CS
// TRN is two digits, LEN five digits equal to the number of characters from
// TRN through the checksum, and the checksum (either case) must match. The
// input is either exactly one bare frame or holds STX ... ETX, in which case
// only the bytes between the first STX and the next ETX are looked at and
// everything around them is ignored. Anything else is Kind::Invalid.
UcpReply parseUcpReply(QByteArrayView bytes);
// The same for a result to another operation (two digits, e.g. "31").
UcpReply parseUcpResultTo(QStringView operation, QByteArrayView bytes);

// Takes the next complete frame out of a growing receive buffer: returns the
// bytes between STX and ETX (without them) and removes everything up to and
// including that ETX. Bytes before the STX can never become part of a frame
// and are discarded; a frame whose ETX never came is abandoned when a new STX
// begins. Returns nullopt while no complete frame has arrived yet.
std::optional<QByteArray> takeUcpFrame(QByteArray &buffer);

// What a negative result of the centre says about what should happen next.
enum class UcpRefusal {
    // The message itself is at fault (syntax, recipient, type, length):
    // sending it again would only be refused again.
    Message,
    // The account or the session is refused (call barring, authentication,
    // legitimisation): every message would be, and trying again could lock
    // the account.
    Account,
    // Anything else (a garbled frame, a busy or failing centre, a code the
    // program does not know): the attempt failed, the message may go later.
    Attempt,
};
UcpRefusal ucpRefusalOf(QStringView errorCode);
// Why sending halts after a refusal of the account or the session, in
// German: "SMS-Center verweigert den Versand (05: Sperre aktiv)".
QString ucpAccountRefusal(const QString &errorCode);
// Why an attempt failed after a result of the kind Attempt: "Prüfsummenfehler"
// for 01, else "Fehler des SMS-Centers (04: Operation nicht erlaubt)".
QString ucpFailedAttempt(const QString &errorCode);

// The meaning of a UCP error code ("02" -> "Syntaxfehler"), translated, or
// "unbekannter Fehler" for a code outside the standard list.
QString ucpNackText(const QString &errorCode);
