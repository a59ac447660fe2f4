#pragma once

#include "contactfile.h"
#include "contactstore.h"
#include "csvformat.h"
#include "importplan.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <optional>

// One import from its file to the table, step by step as the windows ask
// the user in between: read the file; for CSV, read its table and map its
// columns; plan against the stored persons (the preview); write.
//
// Reading and planning may run on a worker thread (nothing else touches the
// session meanwhile); they take a ReadProgress that reports how far they are
// and can cancel them. Reading the stored persons and writing use the
// database connection and stay on its thread.
class ImportSession
{
    Q_DECLARE_TR_FUNCTIONS(ImportSession)

public:
    // Files beyond this size are refused before they are read: an address
    // book of a hundred thousand persons is a few megabytes.
    static constexpr qint64 maxFileSize = 64 * 1024 * 1024;

    // Reads the file. False, with the user's message in lastError(), when it
    // cannot be read or is no text file (looksBinary), and false with
    // isCancelled() when progress cancelled it.
    bool open(const QString &path, const ReadProgress &progress = {});
    // The same for bytes at hand; the name only says the format by its
    // extension.
    void setData(const QString &fileName, QByteArray data, const ReadProgress &progress = {});
    // The last reading or plan was cancelled; what it made is incomplete.
    bool isCancelled() const { return m_cancelled; }

    QString fileName() const { return m_fileName; }
    ContactFileFormat format() const { return m_format; }

    // CSV: reads the table with the delimiter and encoding found, or those
    // given when the user corrects them, and maps its columns by their
    // guessed roles. (A vCard file's persons are read by setData.)
    void readTable(std::optional<QChar> delimiter = std::nullopt,
                   std::optional<TextEncoding> encoding = std::nullopt);
    const CsvTable &table() const { return m_table; }
    // CSV: the persons of the table under these column roles.
    void mapColumns(const QList<CsvRole> &roles);

    // The persons read so far, with the messages of the reading.
    const ContactImport &contacts() const { return m_contacts; }

    // Plans the import against the persons stored now. False, with the
    // database's words in lastError(), when the table cannot be read.
    bool plan(ContactStore &store);
    // The same in two steps: the stored persons, on the connection's thread;
    // then the plan, on any thread (false when progress cancelled it).
    bool readExisting(ContactStore &store);
    bool planAgainstExisting(const ReadProgress &progress = {});
    const ImportPlan &importPlan() const { return m_plan; }
    // The stored person a planned Match found, by its rowid.
    QString storedName(qint64 rowid) const { return m_storedNames.value(rowid); }

    // Writes in one transaction (ContactStore::importContacts).
    std::optional<ImportOutcome> write(ContactStore &store, const ImportOptions &options);

    QString lastError() const { return m_lastError; }

private:
    void mergeTableMessages();

    QString m_fileName;
    QByteArray m_data;
    ContactFileFormat m_format = ContactFileFormat::VCard;
    CsvTable m_table;
    ContactImport m_contacts;
    QList<ExistingPerson> m_existing;
    QHash<qint64, QString> m_storedNames;
    ImportPlan m_plan;
    QString m_lastError;
    bool m_cancelled = false;
};
