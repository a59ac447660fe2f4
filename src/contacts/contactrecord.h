#pragma once

#include <QList>
#include <QString>
#include <functional>

// The five fields of a person of table Adressen that files carry in and out.
enum class ContactField { Name, Adresse, PLZOrt, NatelNummer, Bemerkungen };

// One person as read from or written to a vCard or CSV file. The key
// DSNummer is not part of it: a file never decides which row a person is.
struct ContactRecord
{
    QString name;
    QString adresse;     // street and house number
    QString plzOrt;      // "8000 Zürich"
    QString natelNummer; // as written in the file, never reduced to digits
    QString bemerkungen;

    QString field(ContactField which) const;
    void setField(ContactField which, const QString &value);
    // True when all five fields are empty.
    bool isEmpty() const;
    // The address book shows every field but Bemerkungen on one line, so a
    // line break read into one of them becomes ", " (with the blanks around
    // it dropped). Bemerkungen keeps its line breaks.
    void flattenLineBreaks();

    friend bool operator==(const ContactRecord &, const ContactRecord &) = default;
};

// A problem found while reading a file. line is the 1-based line of the file
// it concerns, or 0 when it concerns the whole file.
struct ImportMessage
{
    int line = 0;
    QString text;

    // "Zeile 12: …", or the text alone for line 0.
    QString toString() const;

    friend bool operator==(const ImportMessage &, const ImportMessage &) = default;
};

// A reading keeps this many messages; a file of broken lines would give one
// per line, and nobody reads more. The ones beyond are only counted.
inline constexpr qsizetype maxImportMessages = 100;

// Appends the message while fewer than maxImportMessages are kept;
// otherwise counts it in *more.
void addImportMessage(QList<ImportMessage> *messages, qsizetype *more, ImportMessage message);

// Told now and then how far a long reading or plan is (done of total
// steps). It returns false when the user has cancelled: the work then stops
// at once, and what it has made so far is incomplete.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;

// What a reader made of a file: the persons in file order, the line at which
// each one begins (for the preview), and what could not be read as written.
struct ContactImport
{
    QList<ContactRecord> records;
    QList<int> lines; // same length as records
    QList<ImportMessage> messages;
    qsizetype moreMessages = 0; // beyond those kept in messages
};
