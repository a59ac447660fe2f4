#pragma once

#include "bytedecoding.h"
#include "contactrecord.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QStringList>
#include <optional>

// A CSV file as rows of fields, before the user has said which column holds
// what. Fields are exactly as written, quotes resolved; a line break inside a
// quoted field stays in the field.
struct CsvTable
{
    QStringList header;      // the first row
    QList<QStringList> rows; // every further row that is not empty
    QList<int> rowLines;     // line of the file at which each row begins
    QChar delimiter;         // ';', ',' or '\t'
    TextEncoding encoding = TextEncoding::Utf8;
    QList<ImportMessage> messages; // the first maxImportMessages
    qsizetype moreMessages = 0;    // beyond those
    bool cancelled = false;        // the reading was stopped: rows are missing
};

// Reads RFC 4180 CSV: fields in double quotes may hold the delimiter, line
// breaks and doubled quotes; records end in CR LF, LF or CR; empty lines are
// skipped. A byte order mark chooses the encoding (UTF-8 or UTF-16), else the
// bytes are UTF-8 when valid and Windows-1252/Latin-1 otherwise. The
// delimiter is the one of ';', ',' and TAB that splits the first rows into
// the same number of fields (more than one); ';' when none does; a first
// line "sep=X" as Excel writes it names the delimiter. Both can be
// given instead, when the user corrects the detection. The apostrophe that
// writeCsvTable puts before a formula sign is removed again.
CsvTable readCsv(const QByteArray &data, std::optional<QChar> delimiter = std::nullopt,
                 std::optional<TextEncoding> encoding = std::nullopt,
                 const ReadProgress &progress = {});

// What a column holds. Name, Adresse, PLZOrt, NatelNummer and Bemerkungen
// are the fields themselves; GivenName and Surname make up Name, PLZ and Ort
// make up PLZOrt, for files that keep them apart.
enum class CsvRole {
    Ignore,
    Name,
    GivenName,
    Surname,
    Adresse,
    PLZ,
    Ort,
    PLZOrt,
    NatelNummer,
    Bemerkungen
};

// Every role, in the order a choice list shows them.
QList<CsvRole> csvRoles();
// The German label of a role for the choice list: "nicht übernehmen",
// "Name", "Vorname", "Nachname", "Adresse", "PLZ", "Ort", "PLZ und Ort",
// "Natel-Nummer", "Bemerkungen".
QString csvRoleLabel(CsvRole role);

// A first guess of the role of each column from its heading, German or
// English ("Vorname", "Last Name", "Strasse", "Postal Code", "Handy", "Mobile
// Phone", "Notizen", …). Each role goes to one column at most: a mobile
// heading (Natel, Mobil, Handy, Mobile, Cell) wins over a plain one
// (Telefon, Phone); fax and e-mail columns are never chosen. "Name" beside a
// "Vorname" column is taken as the family name.
QList<CsvRole> guessCsvRoles(const QStringList &header);

// The persons of the table under the given roles (one per column; columns
// past the end of roles are not read). Several columns of one role are
// joined: Name, GivenName, Surname, PLZ, Ort and PLZOrt with a blank,
// Adresse with ", ", Bemerkungen with a line break; NatelNummer takes the
// first column that has a value. Name is the Name columns, or else
// "Vorname Nachname"; PLZOrt is the PLZOrt columns, or else "PLZ Ort". Rows
// whose fields are all empty are left out; a row with values only in
// columns that are not read is left out with a message.
ContactImport recordsFromCsv(const CsvTable &table, const QList<CsvRole> &roles,
                             const ReadProgress &progress = {});

// The persons as CSV for spreadsheet programs: UTF-8 with byte order mark,
// ';' between fields, CR LF after each row, a header row "Name;Adresse;
// PLZOrt;NatelNummer;Bemerkungen". A field is quoted (quotes doubled) when it
// holds ';', '"', a line break, or blanks at its start or end. A field that
// a spreadsheet would run as a formula (it begins with "=", "+", "-", "@",
// a tab or CR, also after apostrophes) gets a leading apostrophe, which
// spreadsheets hide and readCsv removes.
QByteArray writeCsv(const QList<ContactRecord> &records);

// Any table the same way: the header row, then the rows.
QByteArray writeCsvTable(const QStringList &header, const QList<QStringList> &rows);
