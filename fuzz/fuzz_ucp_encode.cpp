// The operation 01 frame built by SMSSendString from any three texts, and the
// pieces it is made of (Textinhex, Chksum, ucpFrameBytes, unsendableCharacters).
//
// Properties: the frame has exactly ten fields, whatever the texts hold; LEN
// equals its length; the checksum equals the byte sum recomputed here; the
// numbers are their digits; AMsg is even-length upper-case hex equal to the
// encoding done here from the table of sendable letters; the frame goes over
// the line as STX, frame, ETX and comes back out of the receive framing
// unchanged; the simulator's independent reader accepts it and reads back the
// recipient, call-back number and text. Chksum of any text equals the sum of
// its Windows-1252 codes as the C library's iconv converts them.

#include "fuzzcheck.h"
#include "ucp.h"
#include "ucpcentre.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <array>
#include <cstring>
#include <iconv.h>

namespace {

using fuzz::printable;

// The letters above code 127 that have a code of the GSM default alphabet.
struct Letter
{
    char16_t letter;
    const char *code;
};
constexpr Letter sendable[] = {
    {u'£', "01"}, {u'è', "04"}, {u'é', "05"}, {u'ù', "06"}, {u'ì', "07"}, {u'ò', "08"},
    {u'ç', "09"}, {u'É', "1F"}, {u'Ä', "5B"}, {u'Ö', "5C"}, {u'Ü', "5E"}, {u'§', "5F"},
    {u'ä', "7B"}, {u'ö', "7C"}, {u'ü', "7E"}, {u'à', "7F"},
};

const char *gsmCode(QChar c)
{
    for (const Letter &entry : sendable) {
        if (entry.letter == c.unicode())
            return entry.code;
    }
    return nullptr;
}

QByteArray expectedHex(const QString &text)
{
    QByteArray hex;
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            hex += fuzz::hexByte(c.unicode());
        else if (const char *code = gsmCode(c))
            hex += code;
    }
    return hex;
}

// What the centre reads back from the hex: the characters kept, where an ASCII
// control that shares its code with a GSM letter reads as that letter.
QString expectedReadBack(const QString &text)
{
    QString back;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            if (gsmCode(c))
                back += c;
            continue;
        }
        QChar read = c;
        for (const Letter &entry : sendable) {
            if (fuzz::hexByte(c.unicode()) == entry.code)
                read = QChar(entry.letter);
        }
        back += read;
    }
    return back;
}

QString digitsOf(const QString &text)
{
    QString digits;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return digits;
}

// The Windows-1252 byte of every UTF-16 code unit, "?" where there is none,
// as the C library's converter gives it.
const std::array<unsigned char, 0x10000> &windows1252()
{
    static const std::array<unsigned char, 0x10000> table = [] {
        std::array<unsigned char, 0x10000> bytes;
        iconv_t cd = iconv_open("WINDOWS-1252", "UTF-16LE");
        if (cd == iconv_t(-1))
            fuzz::fail("iconv knows WINDOWS-1252", __FILE__, __LINE__, {});
        for (unsigned u = 0; u < 0x10000; ++u) {
            char in[2] = {char(u & 0xFF), char(u >> 8)};
            char out[8];
            char *inPtr = in;
            char *outPtr = out;
            size_t inLeft = 2;
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
            bytes[u] = (done != size_t(-1) && outPtr == out + 1)
                           ? static_cast<unsigned char>(out[0])
                           : '?';
        }
        iconv_close(cd);
        return bytes;
    }();
    return table;
}

QByteArray expectedChksum(const QString &text, QChar meldeTyp)
{
    const unsigned high = QByteArray(1, char(meldeTyp.unicode())).toUInt(nullptr, 16);
    unsigned sum = 0;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            sum += high * 16 + (c.unicode() - u'0');
        else
            sum += windows1252()[c.unicode()];
    }
    return fuzz::hexByte(sum);
}

QStringList expectedUnsendable(const QString &text)
{
    QStringList found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString character;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = text.mid(i, 2);
            ++i;
        } else if (text[i].unicode() >= 0x80 && !gsmCode(text[i])) {
            character = text[i];
        }
        if (!character.isEmpty() && !found.contains(character))
            found += character;
    }
    return found;
}

// A text from the fuzzer's bytes, as UTF-8 (broken sequences become U+FFFD)
// or as raw UTF-16 code units (lone surrogates included).
QString takeText(FuzzedDataProvider &provider, bool utf16)
{
    const std::string bytes = provider.ConsumeRandomLengthString(600);
    if (!utf16)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    std::memcpy(text.data(), bytes.data(), size_t(text.size()) * 2);
    return text;
}

void checkFrame(const QString &nummer, const QString &nachricht, const QString &rueckRufNr)
{
    const QString frame = SMSSendString(nummer, nachricht, rueckRufNr);
    const QByteArray why = printable(frame) + " from " + printable(nummer) + " | " +
                           printable(nachricht) + " | " + printable(rueckRufNr);
    for (QChar c : frame)
        FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() < 0x7F, why);
    const QByteArray bytes = frame.toLatin1();

    const QList<QByteArray> fields = bytes.split('/');
    FUZZ_CHECK(fields.size() == 10, why);
    FUZZ_CHECK(fields[0] == "01" && fields[2] == "O" && fields[3] == "01", why);
    FUZZ_CHECK(fields[6].isEmpty() && fields[7] == "3", why);
    FUZZ_CHECK(fuzz::isDigits(fields[1], 5) && fields[1].toInt() == bytes.size(), why);
    FUZZ_CHECK(fields[4] == digitsOf(nummer).toLatin1(), why);
    FUZZ_CHECK(fields[5] == digitsOf(rueckRufNr).toLatin1(), why);
    FUZZ_CHECK(fields[8].size() % 2 == 0, why);
    FUZZ_CHECK(fields[8] == expectedHex(nachricht), why);
    FUZZ_CHECK(fields[9] == fuzz::hexByte(fuzz::byteSum(QByteArrayView(bytes).chopped(2))), why);

    // Over the line and back out of the receive framing.
    QByteArray line = ucpFrameBytes(frame);
    FUZZ_CHECK(line == UcpStx + bytes + UcpEtx, why);
    const std::optional<QByteArray> taken = takeUcpFrame(line);
    FUZZ_CHECK(taken && *taken == bytes && line.isEmpty(), why);

    // The simulated message centre reads it with its own code.
    const UcpCentre::CheckResult centre = UcpCentre::checkSubmission(bytes);
    FUZZ_CHECK(centre.valid, why + " refused: " + printable(centre.reason));
    FUZZ_CHECK(centre.trn == "01" && centre.ot == "01", why);
    FUZZ_CHECK(centre.submission.recipient == digitsOf(nummer), why);
    FUZZ_CHECK(centre.submission.originator == digitsOf(rueckRufNr), why);
    FUZZ_CHECK(centre.submission.text == expectedReadBack(nachricht),
               why + " read back as " + printable(centre.submission.text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const bool utf16 = provider.ConsumeBool();
    const QChar meldeTyp = QLatin1Char("0123456789ABCDEF"[provider.ConsumeIntegralInRange(0, 15)]);
    const QString nummer = takeText(provider, utf16);
    const QString rueckRufNr = takeText(provider, utf16);
    const QString nachricht = takeText(provider, utf16) + takeText(provider, utf16);

    checkFrame(nummer, nachricht, rueckRufNr);

    FUZZ_CHECK(Textinhex(nachricht).toLatin1() == expectedHex(nachricht), printable(nachricht));
    FUZZ_CHECK(Chksum(nachricht, meldeTyp).toLatin1() == expectedChksum(nachricht, meldeTyp),
               Chksum(nachricht, meldeTyp).toLatin1() + " for " + printable(nachricht) + " with " +
                   char(meldeTyp.unicode()));
    FUZZ_CHECK(unsendableCharacters(nachricht) == expectedUnsendable(nachricht),
               printable(unsendableCharacters(nachricht).join(u'|')) + " for " +
                   printable(nachricht));
    for (QChar c : nachricht) {
        const char *code = gsmCode(c);
        FUZZ_CHECK(ErwAscii(c).toLatin1() == QByteArray(code ? code : ""), printable(QString(c)));
    }
    return 0;
}
