#include "csvformat.h"

#include <QCoreApplication>
#include <QHash>
#include <array>

using namespace Qt::StringLiterals;

namespace {

struct ParsedCsv
{
    QList<QStringList> records;
    QList<int> lines;
    QList<ImportMessage> messages;
    qsizetype moreMessages = 0;
    bool cancelled = false;
};

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Parses at most maxRecords records (all when negative); the text begins on
// line firstLine of the file.
ParsedCsv parseCsv(QStringView text, QChar delimiter, qsizetype maxRecords = -1, int firstLine = 1,
                   const ReadProgress &progress = {})
{
    ParsedCsv parsed;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool quoted = false;     // the current field began with a quote
    bool afterQuote = false; // the closing quote of the field has been read
    bool strayReported = false;
    int line = firstLine;
    int recordLine = firstLine;
    int quoteLine = firstLine;

    auto endField = [&] {
        // A copy of its own size: the buffer that grew char by char stays
        // here for the next field instead of holding spare room in each of
        // a million fields.
        record.append(QString(field.constData(), field.size()));
        field.resize(0);
        quoted = false;
        afterQuote = false;
    };
    auto endRecord = [&] {
        const bool wasQuoted = quoted;
        endField();
        // An empty line is one empty field that was not quoted.
        if (record.size() > 1 || !record.first().isEmpty() || wasQuoted) {
            // A list of its own size, as for the fields.
            parsed.records.append(QStringList(record.cbegin(), record.cend()));
            parsed.lines.append(recordLine);
        }
        record.resize(0);
        strayReported = false;
    };

    const auto report = [&parsed](int at, const QString &message) {
        addImportMessage(&parsed.messages, &parsed.moreMessages, {at, message});
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (maxRecords >= 0 && parsed.records.size() >= maxRecords)
            return parsed;
        if (i % 65536 == 0 && progress && !progress(i, text.size())) {
            parsed.cancelled = true;
            return parsed;
        }
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field.append(u'"');
                    ++i;
                } else {
                    inQuotes = false;
                    afterQuote = true;
                }
                continue;
            }
            if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
                ++line;
            field.append(c);
            continue;
        }
        if (c == delimiter) {
            endField();
        } else if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRecord();
            ++line;
            recordLine = line;
        } else if (c == u'"' && !afterQuote && field.trimmed().isEmpty()) {
            // Blanks before an opening quote are a common slip; drop them.
            field.clear();
            inQuotes = true;
            quoted = true;
            quoteLine = line;
        } else {
            if ((afterQuote || c == u'"') && !strayReported) {
                report(line, QCoreApplication::translate(
                                 "CsvFormat", "Anführungszeichen mitten in einem Feld; der Text "
                                              "wurde unverändert übernommen."));
                strayReported = true;
            }
            field.append(c);
        }
    }
    if (inQuotes) {
        report(quoteLine,
               QCoreApplication::translate(
                   "CsvFormat", "Das Anführungszeichen wird bis zum Ende der Datei nicht "
                                "geschlossen; der Rest der Datei wurde als ein Feld gelesen."));
    }
    if (!field.isEmpty() || !record.isEmpty() || quoted)
        endRecord();
    return parsed;
}

// How well a delimiter splits the first rows: rows with as many fields as
// the header, then the number of fields. Nothing for a single column.
std::pair<int, qsizetype> delimiterScore(QStringView text, QChar delimiter)
{
    const ParsedCsv sample = parseCsv(text, delimiter, 20);
    if (sample.records.isEmpty())
        return {0, 0};
    const qsizetype fields = sample.records.first().size();
    if (fields < 2)
        return {0, 0};
    int alike = 0;
    for (const QStringList &record : sample.records) {
        if (record.size() == fields)
            ++alike;
    }
    return {alike * 1000 / int(sample.records.size()), fields};
}

QChar detectDelimiter(QStringView text)
{
    constexpr std::array<char16_t, 3> candidates = {u';', u',', u'\t'};
    QChar best = u';';
    std::pair<int, qsizetype> bestScore = {0, 0};
    for (char16_t candidate : candidates) {
        const auto score = delimiterScore(text, candidate);
        if (score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

// Lower case, umlauts folded, only letters and digits: "E-Mail Adresse" →
// "emailadresse", "Straße" → "strasse".
QString normalizedHeading(const QString &heading)
{
    QString folded;
    for (QChar c : heading.toLower()) {
        switch (c.unicode()) {
        case u'ä':
        case u'à':
        case u'á':
        case u'â':
            folded.append(u'a');
            break;
        case u'ö':
        case u'ô':
            folded.append(u'o');
            break;
        case u'ü':
        case u'û':
            folded.append(u'u');
            break;
        case u'é':
        case u'è':
        case u'ê':
            folded.append(u'e');
            break;
        case u'ß':
            folded.append(u"ss");
            break;
        default:
            if (c.isLetterOrNumber())
                folded.append(c);
        }
    }
    return folded;
}

bool containsAny(const QString &text, std::initializer_list<const char16_t *> parts)
{
    for (const char16_t *part : parts) {
        if (text.contains(QStringView(part)))
            return true;
    }
    return false;
}

bool isOneOf(const QString &text, std::initializer_list<const char16_t *> words)
{
    for (const char16_t *word : words) {
        if (text == QStringView(word))
            return true;
    }
    return false;
}

// The role a heading suggests, and how sure the guess is: 2 sure, 1 a plain
// telephone or a whole-address heading that a mobile or a street one beats,
// 0 nothing.
std::pair<CsvRole, int> roleOfHeading(const QString &heading)
{
    const QString h = normalizedHeading(heading);
    // "Phone 1 - Type" names the kind of the next column, not a number.
    if (h.isEmpty() ||
        containsAny(h, {u"fax", u"pager", u"mail", u"web", u"url", u"typ", u"label"}))
        return {CsvRole::Ignore, 0};
    if (isOneOf(h, {u"plzort", u"plzundort", u"ortplz", u"zipcity", u"postleitzahlort",
                    u"plzwohnort", u"postalcodecity"}))
        return {CsvRole::PLZOrt, 2};
    if (isOneOf(h, {u"plz", u"zip", u"postcode"}) ||
        containsAny(h, {u"postalcode", u"postleitzahl", u"zipcode"}))
        return {CsvRole::PLZ, 2};
    if (isOneOf(h,
                {u"ort", u"stadt", u"wohnort", u"town", u"locality", u"gemeinde", u"ortschaft"}) ||
        h.contains(u"city"))
        return {CsvRole::Ort, 2};
    if (containsAny(h, {u"natel", u"mobil", u"handy", u"cell"}))
        return {CsvRole::NatelNummer, 2};
    if (containsAny(h, {u"telefon", u"phone"}) ||
        isOneOf(h, {u"tel", u"telnr", u"nummer", u"number", u"rufnummer"}))
        return {CsvRole::NatelNummer, 1};
    if (isOneOf(h, {u"vorname", u"firstname", u"givenname", u"rufname", u"forename"}))
        return {CsvRole::GivenName, 2};
    if (isOneOf(h,
                {u"nachname", u"lastname", u"familyname", u"familienname", u"surname", u"zuname"}))
        return {CsvRole::Surname, 2};
    if (isOneOf(h, {u"name", u"fullname", u"vollername", u"vollstandigername", u"displayname",
                    u"anzeigename", u"kontakt", u"contact", u"person"}))
        return {CsvRole::Name, 2};
    if (containsAny(h, {u"strasse", u"street"}))
        return {CsvRole::Adresse, 2};
    if (containsAny(h, {u"adresse", u"address", u"anschrift"}))
        return {CsvRole::Adresse, 1};
    if (containsAny(
            h, {u"bemerk", u"notiz", u"note", u"kommentar", u"comment", u"anmerkung", u"hinweis"}))
        return {CsvRole::Bemerkungen, 2};
    return {CsvRole::Ignore, 0};
}

QString joined(const QStringList &values, const QString &separator)
{
    QStringList kept;
    for (const QString &value : values) {
        if (!value.isEmpty())
            kept.append(value);
    }
    // One value is shared with the table's field rather than copied.
    return kept.size() == 1 ? kept.constFirst() : kept.join(separator);
}

bool allEmpty(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}

// A spreadsheet runs a field that begins with one of these as a formula
// ("+41 79 …" becomes an error, "=HYPERLINK(…)" a link).
bool isFormulaStart(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

// True when the field is written with a leading apostrophe: it would begin a
// formula, or it already begins with apostrophes before such a sign (so
// that reading back removes exactly the one apostrophe writing added).
bool needsFormulaGuard(QStringView value)
{
    qsizetype i = 0;
    while (i < value.size() && value[i] == u'\'')
        ++i;
    return i < value.size() && isFormulaStart(value[i]);
}

// Removes the apostrophe that writing put before a formula sign.
void removeFormulaGuard(QString *field)
{
    if (field->startsWith(u'\'') && needsFormulaGuard(*field))
        field->remove(0, 1);
}

QString csvField(const QString &plain)
{
    const QString value = needsFormulaGuard(plain) ? u'\'' + plain : plain;
    const bool needsQuotes =
        value.contains(u';') || value.contains(u'"') || value.contains(u'\n') ||
        value.contains(u'\r') ||
        (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    if (!needsQuotes)
        return value;
    QString quoted = value;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

} // namespace

CsvTable readCsv(const QByteArray &data, std::optional<QChar> delimiter,
                 std::optional<TextEncoding> encoding, const ReadProgress &progress)
{
    CsvTable table;
    qsizetype bomLength = 0;
    const TextEncoding detected = detectEncoding(data, &bomLength);
    table.encoding = encoding.value_or(detected);
    if (table.encoding != detected)
        bomLength = 0; // the user overrode the mark: its bytes are text then
    QString text = decodeText(QByteArrayView(data).sliced(bomLength), table.encoding);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    // Excel writes and reads a first line "sep=;" that names the delimiter.
    // It is no row, also when the user names another delimiter.
    QStringView body = text;
    int firstLine = 1;
    if (text.startsWith(u"sep=", Qt::CaseInsensitive) && text.size() > 4 && !isLineBreak(text[4]) &&
        (text.size() == 5 || isLineBreak(text[5]))) {
        if (!delimiter)
            delimiter = text[4];
        const bool crLf = text.size() > 6 && text[5] == u'\r' && text[6] == u'\n';
        body = body.sliced(std::min<qsizetype>(crLf ? 7 : 6, text.size()));
        firstLine = 2;
    }
    table.delimiter = delimiter ? *delimiter : detectDelimiter(body);
    ParsedCsv parsed = parseCsv(body, table.delimiter, -1, firstLine, progress);
    table.messages = parsed.messages;
    table.moreMessages = parsed.moreMessages;
    table.cancelled = parsed.cancelled;
    if (parsed.records.isEmpty()) {
        table.messages.append(
            {0, QCoreApplication::translate("CsvFormat", "Die Datei enthält keine Zeilen.")});
        return table;
    }
    for (QStringList &record : parsed.records) {
        for (QString &field : record)
            removeFormulaGuard(&field);
    }
    table.header = parsed.records.takeFirst();
    parsed.lines.removeFirst();
    table.rows = std::move(parsed.records);
    table.rowLines = std::move(parsed.lines);
    return table;
}

QList<CsvRole> csvRoles()
{
    return {CsvRole::Ignore,      CsvRole::Name,       CsvRole::GivenName, CsvRole::Surname,
            CsvRole::Adresse,     CsvRole::PLZ,        CsvRole::Ort,       CsvRole::PLZOrt,
            CsvRole::NatelNummer, CsvRole::Bemerkungen};
}

QString csvRoleLabel(CsvRole role)
{
    switch (role) {
    case CsvRole::Ignore:
        return QCoreApplication::translate("CsvFormat", "nicht übernehmen");
    case CsvRole::Name:
        return QCoreApplication::translate("CsvFormat", "Name");
    case CsvRole::GivenName:
        return QCoreApplication::translate("CsvFormat", "Vorname");
    case CsvRole::Surname:
        return QCoreApplication::translate("CsvFormat", "Nachname");
    case CsvRole::Adresse:
        return QCoreApplication::translate("CsvFormat", "Adresse");
    case CsvRole::PLZ:
        return QCoreApplication::translate("CsvFormat", "PLZ");
    case CsvRole::Ort:
        return QCoreApplication::translate("CsvFormat", "Ort");
    case CsvRole::PLZOrt:
        return QCoreApplication::translate("CsvFormat", "PLZ und Ort");
    case CsvRole::NatelNummer:
        return QCoreApplication::translate("CsvFormat", "Natel-Nummer");
    case CsvRole::Bemerkungen:
        return QCoreApplication::translate("CsvFormat", "Bemerkungen");
    }
    return QString();
}

QList<CsvRole> guessCsvRoles(const QStringList &header)
{
    QList<CsvRole> roles(header.size(), CsvRole::Ignore);
    QHash<CsvRole, std::pair<qsizetype, int>> best; // role → column, certainty
    for (qsizetype column = 0; column < header.size(); ++column) {
        const auto [role, certainty] = roleOfHeading(header.at(column));
        if (role == CsvRole::Ignore)
            continue;
        const auto found = best.constFind(role);
        if (found == best.constEnd() || found->second < certainty)
            best.insert(role, {column, certainty});
    }
    // German lists often have "Vorname" and "Name", the latter the family name.
    if (best.contains(CsvRole::GivenName) && best.contains(CsvRole::Name) &&
        !best.contains(CsvRole::Surname))
        best.insert(CsvRole::Surname, best.take(CsvRole::Name));
    for (auto it = best.cbegin(); it != best.cend(); ++it)
        roles[it->first] = it.key();
    return roles;
}

ContactImport recordsFromCsv(const CsvTable &table, const QList<CsvRole> &roles,
                             const ReadProgress &progress)
{
    ContactImport result;
    const auto report = [&result](int line, const QString &message) {
        addImportMessage(&result.messages, &result.moreMessages, {line, message});
    };
    const qsizetype columns = std::min(roles.size(), table.header.size());
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        if (r % 4096 == 0 && progress && !progress(r, table.rows.size()))
            return result;
        const QStringList &row = table.rows.at(r);
        const int line = table.rowLines.value(r);
        if (allEmpty(row))
            continue;
        QHash<CsvRole, QStringList> values;
        for (qsizetype column = 0; column < columns; ++column) {
            if (roles.at(column) != CsvRole::Ignore)
                values[roles.at(column)].append(row.value(column));
        }
        ContactRecord record;
        record.name = joined(values.value(CsvRole::Name), u" "_s);
        if (record.name.isEmpty())
            record.name =
                joined(values.value(CsvRole::GivenName) + values.value(CsvRole::Surname), u" "_s);
        record.adresse = joined(values.value(CsvRole::Adresse), u", "_s);
        record.plzOrt = joined(values.value(CsvRole::PLZOrt), u" "_s);
        if (record.plzOrt.isEmpty())
            record.plzOrt = joined(values.value(CsvRole::PLZ) + values.value(CsvRole::Ort), u" "_s);
        for (const QString &number : values.value(CsvRole::NatelNummer)) {
            if (!number.isEmpty()) {
                record.natelNummer = number;
                break;
            }
        }
        record.bemerkungen = joined(values.value(CsvRole::Bemerkungen), u"\n"_s);
        record.flattenLineBreaks();

        if (row.size() > table.header.size() && !allEmpty(row.mid(table.header.size()))) {
            report(line, QCoreApplication::translate(
                             "CsvFormat", "Die Zeile hat %1 Felder, die Kopfzeile nur %2; "
                                          "die Felder ohne Überschrift wurden nicht "
                                          "übernommen.")
                             .arg(row.size())
                             .arg(table.header.size()));
        }
        if (record.isEmpty()) {
            report(line, QCoreApplication::translate(
                             "CsvFormat", "Keine der übernommenen Spalten enthält einen Wert; "
                                          "die Zeile wird übersprungen."));
            continue;
        }
        result.records.append(record);
        result.lines.append(line);
    }
    return result;
}

QByteArray writeCsvTable(const QStringList &header, const QList<QStringList> &rows)
{
    QString text;
    const auto writeRow = [&text](const QStringList &fields) {
        for (qsizetype i = 0; i < fields.size(); ++i)
            text += (i ? u";"_s : QString()) + csvField(fields.at(i));
        text += u"\r\n"_s;
    };
    writeRow(header);
    for (const QStringList &row : rows)
        writeRow(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray writeCsv(const QList<ContactRecord> &records)
{
    QList<QStringList> rows;
    rows.reserve(records.size());
    for (const ContactRecord &record : records)
        rows.append(
            {record.name, record.adresse, record.plzOrt, record.natelNummer, record.bemerkungen});
    return writeCsvTable({u"Name"_s, u"Adresse"_s, u"PLZOrt"_s, u"NatelNummer"_s, u"Bemerkungen"_s},
                         rows);
}
