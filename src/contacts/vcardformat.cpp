#include "vcardformat.h"

#include "bytedecoding.h"

#include <QCoreApplication>
#include <QStringList>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A line of the file after unfolding, with the line number it starts on.
struct LogicalLine
{
    QByteArray text;
    int line = 0;
    bool quotedPrintable = false;
};

// What reading one property needs of its parameters.
struct Property
{
    QByteArray name; // upper case, without a group prefix ("item1.")
    QByteArray value;
    QList<QByteArray> types; // lower case, from TYPE=a,b, TYPE="a,b" or bare 2.1 types
    int pref = 101;          // 1 is the most preferred; 101 when not marked
    bool quotedPrintable = false;
    bool uriValue = false;
    QByteArray charset; // upper case, empty when not given
};

// A candidate TEL or ADR of the card being read.
struct Candidate
{
    int tier = 0; // lower is better
    int pref = 101;
    QString value;
};

bool betterThan(const Candidate &a, const std::optional<Candidate> &b)
{
    if (!b)
        return true;
    if (a.tier != b->tier)
        return a.tier < b->tier;
    return a.pref < b->pref; // equal: the earlier one stays
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// True when the parameters (the part before the first colon) ask for
// quoted-printable, in either the 2.1 or the 3.0 form.
bool declaresQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    const QByteArrayView head = colon < 0 ? line : line.first(colon);
    return head.toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

QList<LogicalLine> unfold(QByteArrayView data)
{
    QList<LogicalLine> lines;
    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        const QByteArrayView physical = data.sliced(pos, end - pos);
        ++lineNumber;
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() &&
            data[end + 1] == '\n')
            ++end;
        pos = end + 1;

        LogicalLine *current = lines.isEmpty() ? nullptr : &lines.last();
        const bool softBreak = current && current->quotedPrintable && current->text.endsWith('=');
        const bool folded = current && !physical.isEmpty() && isBlank(physical[0]);
        if (softBreak) {
            // The soft break joins the next line as it stands: a blank at
            // its start is part of the value, not a fold.
            current->text.chop(1);
            current->text.append(physical);
        } else if (folded) {
            current->text.append(physical.sliced(1));
        } else if (!physical.isEmpty()) {
            lines.append({physical.toByteArray(), lineNumber, declaresQuotedPrintable(physical)});
        }
    }
    return lines;
}

QByteArray unquote(QByteArray text)
{
    text = text.trimmed();
    if (text.startsWith('"'))
        text.remove(0, 1);
    if (text.endsWith('"'))
        text.chop(1);
    return text;
}

QList<QByteArray> splitParameterList(const QByteArray &text)
{
    QList<QByteArray> parts;
    for (const QByteArray &part : text.split(',')) {
        const QByteArray value = unquote(part);
        if (!value.isEmpty())
            parts.append(value.toLower());
    }
    return parts;
}

// Splits "group.NAME;PARAM=x;PARAM=\"a;b\":value". Returns nothing when the
// line has no colon outside quotes.
std::optional<Property> parseProperty(const QByteArray &line)
{
    qsizetype colon = -1;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            inQuotes = !inQuotes;
        else if (line[i] == ':' && !inQuotes) {
            colon = i;
            break;
        }
    }
    if (colon < 0)
        return std::nullopt;

    // Parameters, split at semicolons outside quotes.
    QList<QByteArray> pieces;
    qsizetype start = 0;
    inQuotes = false;
    for (qsizetype i = 0; i <= colon; ++i) {
        if (i < colon && line[i] == '"')
            inQuotes = !inQuotes;
        else if (i == colon || (line[i] == ';' && !inQuotes)) {
            pieces.append(line.mid(start, i - start));
            start = i + 1;
        }
    }

    Property property;
    QByteArray name = pieces.takeFirst().trimmed().toUpper();
    const qsizetype dot = name.lastIndexOf('.');
    property.name = dot < 0 ? name : name.mid(dot + 1);
    property.value = line.mid(colon + 1);
    for (const QByteArray &piece : std::as_const(pieces)) {
        const qsizetype equals = piece.indexOf('=');
        const QByteArray key = (equals < 0 ? piece : piece.left(equals)).trimmed().toUpper();
        const QByteArray value = equals < 0 ? QByteArray() : unquote(piece.mid(equals + 1));
        if (equals < 0) {
            // vCard 2.1 writes parameter values alone: TEL;CELL;PREF:…
            if (key == "QUOTED-PRINTABLE")
                property.quotedPrintable = true;
            else if (key != "BASE64" && key != "8BIT" && key != "7BIT")
                property.types.append(splitParameterList(key));
        } else if (key == "TYPE") {
            property.types.append(splitParameterList(piece.mid(equals + 1)));
        } else if (key == "PREF") {
            bool ok = false;
            const int pref = value.toInt(&ok);
            if (ok && pref >= 1 && pref <= 100)
                property.pref = pref;
        } else if (key == "ENCODING") {
            property.quotedPrintable = value.toUpper() == "QUOTED-PRINTABLE";
        } else if (key == "CHARSET") {
            property.charset = value.toUpper();
        } else if (key == "VALUE") {
            property.uriValue = value.toLower() == "uri";
        }
    }
    if (property.types.contains("pref"))
        property.pref = std::min(property.pref, 1);
    return property;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Quoted-printable to bytes. A "=" that does not start a hexadecimal pair is
// kept as it stands and makes *ok false.
QByteArray decodeQuotedPrintable(QByteArrayView text, bool *ok)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    *ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            bytes.append(text[i]);
            continue;
        }
        if (i == text.size() - 1)
            break; // a soft line break at the very end of the value
        const int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            *ok = false;
            bytes.append('=');
            continue;
        }
        bytes.append(char(high * 16 + low));
        i += 2;
    }
    return bytes;
}

// Splits at separators that no backslash escapes; the pieces stay escaped.
QList<QStringView> splitEscaped(QStringView text, QChar separator)
{
    QList<QStringView> pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == separator) {
            pieces.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    pieces.append(text.sliced(start));
    return pieces;
}

// Resolves \\ \, \; \n and \N; any other backslash stays as written.
QString unescape(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == u'n' || next == u'N') {
                plain.append(u'\n');
                ++i;
                continue;
            }
            if (next == u'\\' || next == u',' || next == u';') {
                plain.append(next);
                ++i;
                continue;
            }
        }
        plain.append(c);
    }
    return plain;
}

QString joinNonEmpty(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &part : parts) {
        if (!part.isEmpty())
            kept.append(part);
    }
    return kept.join(separator);
}

// Structured component i of a value split at ';', unescaped; "" past the end.
QString component(const QList<QStringView> &components, qsizetype i)
{
    return i < components.size() ? unescape(components.at(i)) : QString();
}

bool isMobileType(const QByteArray &type)
{
    return type == "cell" || type == "mobile" || type == "iphone" || type == "text" ||
           type == "x-mobile";
}

// One card being read.
class CardReader
{
public:
    CardReader(int beginLine, ContactImport *result) : m_beginLine(beginLine), m_result(result) {}

    void add(const Property &property, int line)
    {
        const QByteArray &name = property.name;
        if (name == "VERSION") {
            const QByteArray version = property.value.trimmed();
            if (version != "2.1" && version != "3.0" && version != "4.0")
                report(line, QCoreApplication::translate("VCardFormat",
                                                         "vCard-Version «%1» ist unbekannt; die "
                                                         "Karte wird wie eine vCard 4.0 gelesen.")
                                 .arg(QString::fromLatin1(version)));
            return;
        }
        if (name != "FN" && name != "N" && name != "ORG" && name != "ADR" && name != "TEL" &&
            name != "NOTE")
            return; // e-mail, photo, birthday and the like have no field here
        const QString value = decode(property, line);
        if (name == "FN") {
            if (m_fn.isEmpty())
                m_fn = unescape(value);
        } else if (name == "N") {
            if (m_n.isEmpty())
                m_n = nameFromParts(splitEscaped(value, u';'));
        } else if (name == "ORG") {
            if (m_org.isEmpty())
                m_org = component(splitEscaped(value, u';'), 0);
        } else if (name == "NOTE") {
            if (!value.isEmpty())
                m_notes.append(unescape(value));
        } else if (name == "ADR") {
            addAddress(property, value);
        } else if (name == "TEL") {
            addNumber(property, value);
        }
    }

    int beginLine() const { return m_beginLine; }

    ContactRecord record() const
    {
        ContactRecord record;
        record.name = !m_fn.isEmpty() ? m_fn : !m_n.isEmpty() ? m_n : m_org;
        if (m_address) {
            const QList<QStringView> parts = splitEscaped(m_address->value, u';');
            // post box; extended address; street; locality; region; postal code; country
            record.adresse = joinNonEmpty(
                {component(parts, 2), component(parts, 1), component(parts, 0)}, u", "_s);
            record.plzOrt = joinNonEmpty({component(parts, 5), component(parts, 3)}, u" "_s);
        }
        if (m_number)
            record.natelNummer = m_number->value;
        record.bemerkungen = m_notes.join(u'\n');
        record.flattenLineBreaks();
        return record;
    }

private:
    void report(int line, const QString &text)
    {
        addImportMessage(&m_result->messages, &m_result->moreMessages, {line, text});
    }

    QString decode(const Property &property, int line)
    {
        QByteArray bytes = property.value;
        if (property.quotedPrintable) {
            bool ok = true;
            bytes = decodeQuotedPrintable(property.value, &ok);
            if (!ok)
                report(line, QCoreApplication::translate(
                                 "VCardFormat",
                                 "Fehlerhafte Quoted-Printable-Kodierung; die betroffenen Zeichen "
                                 "wurden unverändert übernommen."));
        }
        const QByteArray &charset = property.charset;
        if (charset.isEmpty() || charset == "UTF-8" || charset == "UTF8")
            return decodeUtf8OrLatin1(bytes);
        if (charset == "ISO-8859-15" || charset == "ISO8859-15" || charset == "LATIN9" ||
            charset == "LATIN-9")
            return decodeLatin9(bytes);
        if (charset == "ISO-8859-1" || charset == "LATIN1" || charset == "WINDOWS-1252" ||
            charset == "CP1252" || charset == "US-ASCII")
            return decodeText(bytes, TextEncoding::Windows1252);
        report(line, QCoreApplication::translate("VCardFormat",
                                                 "Zeichensatz «%1» ist unbekannt; der Wert wurde "
                                                 "als UTF-8 bzw. Latin-1 gelesen.")
                         .arg(QString::fromLatin1(charset)));
        return decodeUtf8OrLatin1(bytes);
    }

    static QString nameFromParts(const QList<QStringView> &parts)
    {
        // family; given; additional; prefix; suffix, each possibly a list
        auto part = [&parts](qsizetype i) {
            if (i >= parts.size())
                return QString();
            QStringList values;
            for (QStringView value : splitEscaped(parts.at(i), u','))
                values.append(unescape(value).trimmed());
            return joinNonEmpty(values, u" "_s);
        };
        return joinNonEmpty({part(3), part(1), part(2), part(0), part(4)}, u" "_s);
    }

    void addAddress(const Property &property, const QString &value)
    {
        // An address of empty parts must not shadow a filled one.
        if (QString(value).remove(u';').trimmed().isEmpty())
            return;
        Candidate candidate{0, property.pref, value};
        if (betterThan(candidate, m_address))
            m_address = candidate;
    }

    void addNumber(const Property &property, const QString &value)
    {
        bool mobile = false;
        bool noVoice = false;
        for (const QByteArray &type : property.types) {
            mobile = mobile || isMobileType(type);
            noVoice = noVoice || type == "fax" || type == "pager";
        }
        if (noVoice && !mobile)
            return;
        QString number = unescape(value).trimmed();
        if (property.uriValue || number.startsWith(u"tel:", Qt::CaseInsensitive)) {
            if (number.startsWith(u"tel:", Qt::CaseInsensitive))
                number.remove(0, 4);
            const qsizetype semicolon = number.indexOf(u';'); // ;ext=…
            if (semicolon >= 0)
                number.truncate(semicolon);
        }
        if (number.isEmpty())
            return;
        Candidate candidate{mobile ? 0 : 1, property.pref, number};
        if (betterThan(candidate, m_number))
            m_number = candidate;
    }

    int m_beginLine;
    ContactImport *m_result;
    QString m_fn;
    QString m_n;
    QString m_org;
    QStringList m_notes;
    std::optional<Candidate> m_address;
    std::optional<Candidate> m_number;
};

bool isCardMarker(const Property &property, const char *marker)
{
    return property.value.trimmed().toUpper() == "VCARD" && property.name == marker;
}

void report(ContactImport *result, int line, const QString &text)
{
    addImportMessage(&result->messages, &result->moreMessages, {line, text});
}

void finishCard(const CardReader &card, ContactImport *result)
{
    const ContactRecord record = card.record();
    if (record.isEmpty()) {
        report(result, card.beginLine(),
               QCoreApplication::translate(
                   "VCardFormat",
                   "Die Karte enthält weder Name noch Adresse, Nummer oder Bemerkung und wird "
                   "übersprungen."));
        return;
    }
    result->records.append(record);
    result->lines.append(card.beginLine());
}

QByteArray utf8Content(const QByteArray &data)
{
    qsizetype bomLength = 0;
    const TextEncoding encoding = detectEncoding(data, &bomLength);
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE)
        return decodeText(QByteArrayView(data).sliced(bomLength), encoding).toUtf8();
    // Keep the bytes: each value decides on its own between UTF-8 and Latin-1.
    return bomLength > 0 ? data.mid(bomLength) : data;
}

// Escapes a text value and writes every line break as \n.
QString escapeText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';') {
            escaped.append(u'\\');
            escaped.append(c);
        } else if (c == u'\r') {
            escaped.append(u"\\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            escaped.append(u"\\n");
        } else {
            escaped.append(c);
        }
    }
    return escaped;
}

// Appends one content line, folded at 75 octets; a continuation line begins
// with a blank, so it carries 74 octets of the line. A cut never falls inside
// a UTF-8 sequence.
void appendFolded(QByteArray *out, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype pos = 0;
    qsizetype room = 75;
    while (bytes.size() - pos > room) {
        qsizetype cut = pos + room;
        while (cut > pos && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out->append(bytes.constData() + pos, cut - pos);
        out->append("\r\n ");
        pos = cut;
        room = 74;
    }
    out->append(bytes.constData() + pos, bytes.size() - pos);
    out->append("\r\n");
}

bool isPostalCode(QStringView text)
{
    // "8000", "CH-8000", "D-79539"
    qsizetype i = 0;
    const qsizetype dash = text.indexOf(u'-');
    if (dash > 0 && dash <= 3) {
        for (; i < dash; ++i) {
            if (!text[i].isLetter())
                return false;
        }
        ++i;
    }
    if (i >= text.size() || !text[i].isDigit())
        return false;
    for (; i < text.size(); ++i) {
        if (!text[i].isDigit() && text[i] != u'-')
            return false;
    }
    return true;
}

// PLZOrt as postal code and locality, when it has the form "8000 Zürich" and
// the reader will join the two back to the same text; otherwise the whole
// text is the locality.
std::pair<QString, QString> splitPlzOrt(const QString &plzOrt)
{
    const qsizetype blank = plzOrt.indexOf(u' ');
    const QString code = blank < 0 ? plzOrt : plzOrt.left(blank);
    const QString locality = blank < 0 ? QString() : plzOrt.mid(blank + 1);
    if (isPostalCode(code) && (blank < 0 || (!locality.isEmpty() && locality[0] != u' ')))
        return {code, locality};
    return {QString(), plzOrt};
}

} // namespace

ContactImport readVCards(const QByteArray &data, const ReadProgress &progress)
{
    ContactImport result;
    std::optional<CardReader> card;
    // A run of lines outside any card (a file that is no vCard at all, say)
    // gives one message, at its first line.
    bool outsideReported = false;
    const QList<LogicalLine> lines = unfold(utf8Content(data));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i % 4096 == 0 && progress && !progress(i, lines.size()))
            return result;
        const LogicalLine &line = lines.at(i);
        if (line.text.trimmed().isEmpty())
            continue;
        const std::optional<Property> property = parseProperty(line.text);
        if (property && isCardMarker(*property, "BEGIN")) {
            if (card) {
                report(&result, line.line,
                       QCoreApplication::translate("VCardFormat",
                                                   "END:VCARD fehlt für die Karte ab "
                                                   "Zeile %1; sie wurde bis hier gelesen.")
                           .arg(card->beginLine()));
                finishCard(*card, &result);
            }
            card.emplace(line.line, &result);
        } else if (!card) {
            if (!outsideReported) {
                report(&result, line.line,
                       QCoreApplication::translate(
                           "VCardFormat",
                           "Die Zeile steht ausserhalb einer Karte (BEGIN:VCARD fehlt) und "
                           "wird mit den folgenden bis zur nächsten Karte übersprungen."));
                outsideReported = true;
            }
        } else if (!property) {
            report(&result, line.line,
                   QCoreApplication::translate(
                       "VCardFormat", "Die Zeile hat keinen Doppelpunkt und wird übersprungen."));
        } else if (isCardMarker(*property, "END")) {
            finishCard(*card, &result);
            card.reset();
            outsideReported = false;
        } else {
            card->add(*property, line.line);
        }
    }
    if (card) {
        report(&result, card->beginLine(),
               QCoreApplication::translate(
                   "VCardFormat", "END:VCARD fehlt am Ende der Datei; die Karte wurde bis zum "
                                  "Ende gelesen."));
        finishCard(*card, &result);
    }
    if (result.records.isEmpty() && result.messages.isEmpty())
        result.messages.append(
            {0, QCoreApplication::translate("VCardFormat", "Die Datei enthält keine vCard.")});
    return result;
}

QByteArray writeVCards(const QList<ContactRecord> &records)
{
    QByteArray out;
    out.reserve(records.size() * 160);
    for (const ContactRecord &record : records) {
        out.append("BEGIN:VCARD\r\nVERSION:4.0\r\n");
        const QString name = escapeText(record.name);
        appendFolded(&out, u"FN:"_s + name);
        if (!record.name.isEmpty())
            appendFolded(&out, u"N:"_s + name + u";;;;"_s);
        if (!record.adresse.isEmpty() || !record.plzOrt.isEmpty()) {
            const auto [code, locality] = splitPlzOrt(record.plzOrt);
            appendFolded(&out, u"ADR:;;"_s + escapeText(record.adresse) + u';' +
                                   escapeText(locality) + u";;"_s + escapeText(code) + u';');
        }
        if (!record.natelNummer.isEmpty())
            appendFolded(&out, u"TEL;TYPE=cell:"_s + escapeText(record.natelNummer));
        if (!record.bemerkungen.isEmpty())
            appendFolded(&out, u"NOTE:"_s + escapeText(record.bemerkungen));
        out.append("END:VCARD\r\n");
    }
    return out;
}
