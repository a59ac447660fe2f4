// Message files of the spool folder: SpoolFile on any bytes.
//
// Properties: a file is read or refused with a reason, never both, and the
// reason is whole UTF-16 (no half of a surrogate pair). A read
// file has a trimmed, non-empty number (digits alone, or digits and blanks,
// carry a "+" unless they begin with "0") and a text that is not blank,
// holds no CR LF and ends in no line end. The same file with a UTF-8 byte
// order mark before it, or with CR LF for LF (outside UCS2 text, whose bytes
// are not lines), reads the same. What was read, written back as
// "To: <number>", an empty line and the text in UTF-8, reads back the same.

#include "fuzzcheck.h"
#include "spoolfile.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using fuzz::printable;

QByteArray outcome(const SpoolFile &file)
{
    return printable(file.number() + u'|' + file.text() + u'|' + file.reason());
}

void checkSame(const SpoolFile &first, QByteArrayView otherBytes, const char *what,
               const QByteArray &why)
{
    if (otherBytes.size() > SpoolFile::maxBytes)
        return;
    const SpoolFile other(otherBytes);
    FUZZ_CHECK(other.number() == first.number() && other.text() == first.text() &&
                   other.reason() == first.reason(),
               why + " " + what + ": " + outcome(other));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SpoolFile file(bytes);
    const QByteArray why = printable(bytes) + " -> " + outcome(file);

    FUZZ_CHECK(file.isValid() == file.reason().isEmpty(), why);
    FUZZ_CHECK(QStringView(file.reason()).isValidUtf16(), why); // shown and logged as it is
    if (file.isValid()) {
        const QString &number = file.number();
        FUZZ_CHECK(!number.isEmpty() && number == number.trimmed(), why);
        const bool digits = std::all_of(number.cbegin(), number.cend(),
                                        [](QChar c) { return c >= u'0' && c <= u'9'; });
        FUZZ_CHECK(!digits || number.startsWith(u'0'), why);
        const QString &text = file.text();
        FUZZ_CHECK(!text.trimmed().isEmpty() && !text.contains(u"\r\n"_s) &&
                       !text.endsWith(u'\n') && !text.endsWith(u'\r'),
                   why);
        FUZZ_CHECK(QStringView(text).isValidUtf16(), why);
        const QByteArray again = "To: " + number.toUtf8() + "\n\n" + text.toUtf8();
        checkSame(file, again, "written back", why);
    } else {
        FUZZ_CHECK(file.number().isEmpty() && file.text().isEmpty(), why);
    }

    if (!bytes.startsWith("\xEF\xBB\xBF"))
        checkSame(file, QByteArray("\xEF\xBB\xBF" + bytes.toByteArray()), "after a byte order mark",
                  why);
    const QByteArray lower = bytes.toByteArray().toLower();
    if (!lower.contains("ucs") && !lower.contains('\r')) {
        QByteArray crlf = bytes.toByteArray();
        crlf.replace("\n", "\r\n");
        checkSame(file, crlf, "with CR LF", why);
    }
    return 0;
}
