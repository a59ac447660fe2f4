#include "spoolfile.h"

#include "bytedecoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

enum class Alphabet { Unsaid, Latin9, Utf8, Ucs2 };

// The alphabets smstools3 knows that carry text we can read; "GSM" and
// "binary" are not among them.
std::optional<Alphabet> alphabetNamed(QByteArrayView name)
{
    const QByteArray upper = name.toByteArray().toUpper();
    if (upper == "ISO" || upper == "ISO-8859-15" || upper == "LATIN")
        return Alphabet::Latin9;
    if (upper == "UTF-8" || upper == "UTF8")
        return Alphabet::Utf8;
    if (upper == "UCS" || upper == "UCS2" || upper == "UCS-2")
        return Alphabet::Ucs2;
    return std::nullopt;
}

// Header names are single words, so a text line that merely holds a colon
// ("Treffen: um 5" is one, "Wir treffen uns: um 5" is not) is told apart.
bool isHeaderName(QByteArrayView name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

// Byte order marks are kept as characters (U+FEFF): where they are dropped
// is said below, not left to where a decoder happens to start.
QString decodeKeepingBom(QByteArrayView bytes, QStringConverter::Encoding encoding,
                         bool *error = nullptr)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (error)
        *error = decoder.hasError();
    return text;
}

QString utf8OrLatin9(QByteArrayView bytes)
{
    return isValidUtf8(bytes) ? decodeKeepingBom(bytes, QStringConverter::Utf8)
                              : decodeLatin9(bytes);
}

constexpr QChar byteOrderMark(0xFEFF);

// A line quoted in a reason: long enough to find it, short enough for a log.
QString quotedLine(QByteArrayView line)
{
    qsizetype shown = 40;
    const QString text = utf8OrLatin9(line);
    if (text.size() <= shown)
        return text;
    if (text.at(shown - 1).isHighSurrogate())
        --shown; // not half an emoji
    return text.first(shown) + u'…';
}

} // namespace

SpoolFile::SpoolFile(QByteArrayView bytes)
{
    parse(bytes);
    if (!isValid()) {
        m_number.clear();
        m_text.clear();
    }
}

bool SpoolFile::refuse(const QString &reason)
{
    m_reason = reason;
    return false;
}

void SpoolFile::parse(QByteArrayView bytes)
{
    if (bytes.size() > maxBytes) {
        refuse(tr("Die Datei ist grösser als 64 KB."));
        return;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);

    std::optional<QByteArrayView> to;
    Alphabet alphabet = Alphabet::Unsaid;
    qsizetype at = 0;
    bool blankLineSeen = false;
    for (int lineNumber = 1; at < bytes.size() && !blankLineSeen; ++lineNumber) {
        const qsizetype lineFeed = bytes.indexOf('\n', at);
        const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed;
        QByteArrayView line = bytes.sliced(at, end - at);
        at = lineFeed < 0 ? bytes.size() : lineFeed + 1;
        while (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty()) {
            blankLineSeen = true;
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        const QByteArrayView name = colon < 0 ? QByteArrayView() : line.first(colon);
        if (!isHeaderName(name)) {
            refuse(tr("Zeile %1 ist keine Kopfzeile: %2").arg(lineNumber).arg(quotedLine(line)));
            return;
        }
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        const QByteArray lowerName = name.toByteArray().toLower();
        if (lowerName == "to") {
            // Two recipients in one file is a mistake of the writer: which
            // one was meant cannot be known.
            if (to) {
                refuse(tr("Kopfzeile \"To:\" kommt mehrmals vor."));
                return;
            }
            to = value;
        } else if (lowerName == "alphabet") {
            const std::optional<Alphabet> named = alphabetNamed(value);
            if (!named) {
                refuse(tr("Unbekanntes Alphabet \"%1\".").arg(utf8OrLatin9(value)));
                return;
            }
            alphabet = *named;
        }
    }
    // Blanks of any kind around it (a no-break space from a word processor)
    // are no part of the number.
    // An invisible byte order mark neither.
    QString number = to ? utf8OrLatin9(*to).remove(byteOrderMark).trimmed() : QString();
    if (number.isEmpty()) {
        refuse(tr("Kopfzeile \"To:\" fehlt."));
        return;
    }

    QByteArrayView body = bytes.sliced(at);
    QString text;
    switch (alphabet) {
    case Alphabet::Unsaid:
        text = utf8OrLatin9(body);
        break;
    case Alphabet::Latin9:
        text = decodeLatin9(body);
        break;
    case Alphabet::Utf8:
        if (!isValidUtf8(body)) {
            refuse(tr("Der Text ist kein gültiges %1.").arg(u"UTF-8"_s));
            return;
        }
        text = decodeKeepingBom(body, QStringConverter::Utf8);
        break;
    case Alphabet::Ucs2: {
        // Two bytes a character; a line feed a script's echo put after them
        // is no part of it.
        if (body.size() % 2 == 1 && body.endsWith('\n'))
            body.chop(1);
        bool error = false;
        text = decodeKeepingBom(body, QStringConverter::Utf16BE, &error);
        // A surrogate without its partner is no character a phone shows.
        if (error || body.size() % 2 == 1 || !QStringView(text).isValidUtf16()) {
            refuse(tr("Der Text ist kein gültiges %1.").arg(u"UCS2"_s));
            return;
        }
        break;
    }
    }
    // Line ends as LF; CRs before one belong to it (CR LF, and CR CR LF of a
    // file converted twice).
    static const QRegularExpression lineEnd(u"\r+\n"_s);
    text.replace(lineEnd, u"\n"_s);
    // A byte order mark before the text (in UCS2 as well) is no character
    // to send.
    qsizetype marks = 0;
    while (marks < text.size() && text.at(marks) == byteOrderMark)
        ++marks;
    text.remove(0, marks);
    qsizetype kept = text.size();
    while (kept > 0 && (text.at(kept - 1) == u'\n' || text.at(kept - 1) == u'\r'))
        --kept;
    text.truncate(kept);
    if (text.trimmed().isEmpty()) {
        refuse(tr("Die Nachricht ist leer."));
        return;
    }

    // smstools3 writes international numbers without "+"; the queue reads
    // digits alone as a number of this country.
    // Blanks between the digits are kept for the queue, which drops them.
    const bool digitsOnly = std::all_of(number.cbegin(), number.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u' ';
    });
    if (digitsOnly && !number.startsWith(u'0'))
        number.prepend(u'+');
    m_number = number;
    m_text = text;
}
