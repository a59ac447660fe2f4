#pragma once

#include "contactrecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The two kinds of contact file the address book reads and writes.
enum class ContactFileFormat { VCard, Csv };

// The format of a file to read: its extension says it (.vcf and .vcard are
// vCard; .csv, .txt and .tsv are CSV); without one of these a "BEGIN:VCARD"
// near its start makes it a vCard file, anything else is read as CSV.
ContactFileFormat contactFileFormat(const QString &fileName, QByteArrayView data);

// Filters of the file chooser for reading: every contact file first.
QStringList contactOpenFilters();
// Filters of the file chooser for writing, in the order of exportFilterFormat.
QStringList contactSaveFilters();

// The format to write and the final file name. A name ending in .vcf,
// .vcard or .csv is written in that format whatever filter was chosen;
// otherwise the chosen filter (an index into contactSaveFilters) decides and
// its extension is added to the name.
ContactFileFormat exportFormat(QString *fileName, int filterIndex);

// The persons in that format: vCard 4.0, or CSV for spreadsheets.
QByteArray contactFileBytes(const QList<ContactRecord> &records, ContactFileFormat format);
