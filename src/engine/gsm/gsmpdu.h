#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A message for a GSM modem in PDU mode: the text in the GSM 7-bit default
// alphabet or in UCS-2, cut into concatenated parts when it does not fit one
// SMS, and each part written as an SMS-SUBMIT PDU in hex for AT+CMGS.
// Everything here is pure data processing: no port, no queue, no clock.
namespace Gsm {

enum class Encoding { Gsm7, Ucs2 };

// What one SMS carries: 160 septets or 70 UTF-16 units alone, 153 septets or
// 67 units when a concatenation header of six octets takes its share.
inline constexpr int singleSeptets = 160;
inline constexpr int partSeptets = 153;
inline constexpr int singleUcs2Units = 70;
inline constexpr int partUcs2Units = 67;
// The header counts parts in one octet.
inline constexpr int maxParts = 255;
// An address holds at most ten octets of digits.
inline constexpr int maxAddressDigits = 20;

// The escape septet that announces a character of the extension table.
inline constexpr char escapeSeptet = 0x1B;

// The septets of a character: one code of the default alphabet, or the
// escape septet followed by a code of the extension table (€ [ ] { } \ ^ ~ |
// and form feed). Empty for a character outside both tables.
QByteArray septetsOf(char16_t c);

// The character that a septet stands for; an escaped code of the extension
// table gives its character, an escaped code without one gives the default
// alphabet's character, as receivers show it. The escape septet gives no
// character (0) unescaped and a blank escaped (it leads to a table not yet
// defined).
char16_t characterOf(char code, bool escaped);

// True when every character of the text has septets, so the text goes out in
// 7-bit; one character without them makes the whole message UCS-2.
bool fitsGsm7(QStringView text);

// The number of septets the text takes (an extension character counts two),
// or -1 when the text does not fit the 7-bit alphabet.
int septetCount(QStringView text);

// The unpacked septets of a text (one byte each, escapes included), or
// nothing when the text does not fit the 7-bit alphabet.
std::optional<QByteArray> toSeptets(QStringView text);

// The text that unpacked septets stand for.
QString fromSeptets(QByteArrayView septets);

// Packs septets into octets, least significant bit first. fillBits zero bits
// come first, so that the septets after a user data header start on a
// septet boundary of the user data.
QByteArray packSeptets(QByteArrayView septets, int fillBits = 0);

// The septets in packed octets, skipping fillBits bits at the start.
QByteArray unpackSeptets(QByteArrayView packed, int count, int fillBits = 0);

// The text in UTF-16 big-endian; a character outside the Basic Multilingual
// Plane is a surrogate pair of two units, four octets.
QByteArray toUcs2(QStringView text);

// TP-DA: number of digits, type of address and the digits as swapped
// semi-octets, padded with F. A number written with "+" or "00" in front is
// international (type 145) and loses that prefix; any other is national
// (type 129). Blanks and other characters than digits are ignored. Nothing
// when the number has no digits or more than twenty.
std::optional<QByteArray> encodeDestination(QStringView number);

// The service centre address that leads the PDU: the octet 00 for an empty
// number (the modem then uses the centre stored on the SIM), otherwise the
// number of octets that follow, the type and the swapped digits. Nothing when
// the number has more than twenty digits.
std::optional<QByteArray> encodeCentre(QStringView number);

// The text cut into the payload of each SMS: unpacked septets for 7-bit
// (escapes included), UTF-16 big-endian octets for UCS-2; units counts
// septets or UTF-16 units in all. A cut never divides an escape from its
// character nor a surrogate pair. An empty text is one empty payload.
struct MessageSplit
{
    Encoding encoding = Encoding::Gsm7;
    QList<QByteArray> payloads;
    int units = 0;
};
MessageSplit splitMessage(QStringView text);

// How a text goes out: in which encoding, in how many SMS, and how many
// septets or UTF-16 units it takes in all. An empty text is one empty SMS.
struct MessagePlan
{
    Encoding encoding = Encoding::Gsm7;
    int parts = 1;
    int units = 0;
};
MessagePlan planMessage(QStringView text);

// One SMS-SUBMIT as the modem takes it.
struct SubmitPdu
{
    // Service centre address and TPDU in upper-case hex: what is written
    // after the "> " prompt, followed by Ctrl-Z.
    QByteArray hex;
    // Octets of the TPDU without the service centre address: the length that
    // AT+CMGS asks for.
    int tpduLength = 0;
};

// The PDUs of a message, one per part, or a German text that says why the
// message cannot be encoded. The text goes into the send log as it stands;
// the user reads it through errorMeaning().
struct SubmitPdus
{
    QList<SubmitPdu> parts;
    QString error;
};

// The user's words for a SubmitPdus error, also for one read back from the
// send log (translation context "LoggedRefusal"); another text as it stands.
QString errorMeaning(const QString &error);

// Builds the PDUs of a message to recipient. centre is the configured
// service centre number, empty for the SIM's. A message of several parts
// carries a concatenation header with reference, the part count and the
// part number; a cut never divides an escape from its character nor a
// surrogate pair. TP-MR is 0 (the modem numbers messages), TP-PID 0,
// no validity period. With statusReport every part asks the centre for a
// status report (TP-SRR); the report names the TP-MR that the modem answers
// to AT+CMGS with.
SubmitPdus buildSubmitPdus(QStringView recipient, QStringView text, QStringView centre,
                           quint8 reference, bool statusReport = false);

} // namespace Gsm
