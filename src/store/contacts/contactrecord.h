#pragma once

#include <QList>
#include <QString>

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

// What a reader made of a file: the persons in file order, the line at which
// each one begins (for the preview), and what could not be read as written.
struct ContactImport
{
    QList<ContactRecord> records;
    QList<int> lines; // same length as records
    QList<ImportMessage> messages;
};
