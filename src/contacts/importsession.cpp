#include "importsession.h"

#include "bytedecoding.h"
#include "vcardformat.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The file is read in pieces of this size, so that a cancel is heard.
constexpr qint64 readChunk = 1024 * 1024;

// The part [from, to] of the whole for one step of the reading.
ReadProgress share(const ReadProgress &progress, qint64 from, qint64 to)
{
    if (!progress)
        return {};
    return [progress, from, to](qint64 done, qint64 total) {
        return progress(from + (total > 0 ? (to - from) * done / total : 0), 1000);
    };
}

} // namespace

bool ImportSession::open(const QString &path, const ReadProgress &progress)
{
    m_cancelled = false;
    const QString shown = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError =
            tr("Die Datei «%1» konnte nicht geöffnet werden: %2").arg(shown, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size > maxFileSize) {
        m_lastError = tr("Die Datei «%1» ist mit %2 MB zu gross für ein Adressbuch; es werden "
                         "höchstens %3 MB gelesen.")
                          .arg(shown, QString::number(size / (1024 * 1024)),
                               QString::number(maxFileSize / (1024 * 1024)));
        return false;
    }
    const ReadProgress reading = share(progress, 0, 100);
    QByteArray data;
    data.reserve(size);
    while (!file.atEnd()) {
        if (reading && !reading(data.size(), std::max<qint64>(size, 1))) {
            m_cancelled = true;
            return false;
        }
        const QByteArray chunk = file.read(readChunk);
        if (chunk.isEmpty())
            break;
        data.append(chunk);
        // An image or an archive is refused at its first piece, not after
        // megabytes of it have been taken for lines.
        if (data.size() == chunk.size() && looksBinary(data)) {
            m_lastError = tr("Die Datei «%1» enthält keinen Text (zu viele Steuerzeichen) und "
                             "kann nicht importiert werden. Bitte wählen Sie eine vCard- oder "
                             "CSV-Datei.")
                              .arg(shown);
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        m_lastError =
            tr("Die Datei «%1» konnte nicht gelesen werden: %2").arg(shown, file.errorString());
        return false;
    }
    setData(path, std::move(data), share(progress, 100, 1000));
    return !m_cancelled;
}

void ImportSession::setData(const QString &fileName, QByteArray data, const ReadProgress &progress)
{
    m_fileName = fileName;
    m_data = std::move(data);
    m_format = contactFileFormat(fileName, m_data);
    m_lastError.clear();
    m_cancelled = false;
    m_plan = ImportPlan();
    m_table = CsvTable();
    m_contacts = ContactImport();
    // The stop is noted here, so that every reader may simply return.
    const ReadProgress watched = progress
                                     ? ReadProgress([this, progress](qint64 done, qint64 total) {
                                           // Asked every time: a reader that goes on
                                           // after a cancel is a fault to be seen.
                                           const bool goOn = progress(done, total);
                                           m_cancelled = m_cancelled || !goOn;
                                           return !m_cancelled;
                                       })
                                     : ReadProgress();
    if (m_format == ContactFileFormat::VCard) {
        m_contacts = readVCards(m_data, watched);
    } else {
        // Most of the time goes to the table; the columns take the rest.
        m_table = readCsv(m_data, std::nullopt, std::nullopt, share(watched, 0, 800));
        if (!m_cancelled)
            m_contacts =
                recordsFromCsv(m_table, guessCsvRoles(m_table.header), share(watched, 800, 1000));
        mergeTableMessages();
    }
    if (m_cancelled) {
        // Nothing of a cancelled reading is kept.
        m_table = CsvTable();
        m_contacts = ContactImport();
    }
}

void ImportSession::readTable(std::optional<QChar> delimiter, std::optional<TextEncoding> encoding)
{
    m_table = readCsv(m_data, delimiter, encoding);
    mapColumns(guessCsvRoles(m_table.header));
}

void ImportSession::mapColumns(const QList<CsvRole> &roles)
{
    m_contacts = recordsFromCsv(m_table, roles);
    mergeTableMessages();
}

void ImportSession::mergeTableMessages()
{
    // What went wrong while the table was read belongs to the report too.
    QList<ImportMessage> messages = m_table.messages;
    qsizetype more = m_table.moreMessages + m_contacts.moreMessages;
    for (ImportMessage &message : m_contacts.messages)
        addImportMessage(&messages, &more, std::move(message));
    m_contacts.messages = std::move(messages);
    m_contacts.moreMessages = more;
}

bool ImportSession::plan(ContactStore &store)
{
    return readExisting(store) && planAgainstExisting();
}

bool ImportSession::readExisting(ContactStore &store)
{
    m_storedNames.clear();
    const std::optional<QList<ExistingPerson>> existing = store.existingPersons(&m_storedNames);
    if (!existing) {
        m_lastError = store.lastError();
        return false;
    }
    m_existing = *existing;
    m_lastError.clear();
    return true;
}

bool ImportSession::planAgainstExisting(const ReadProgress &progress)
{
    m_cancelled = false;
    m_plan =
        planImport(m_existing, m_contacts.records, [this, progress](qint64 done, qint64 total) {
            const bool goOn = !progress || progress(done, total);
            m_cancelled = m_cancelled || !goOn;
            return !m_cancelled;
        });
    if (m_cancelled)
        m_plan = ImportPlan();
    return !m_cancelled;
}

std::optional<ImportOutcome> ImportSession::write(ContactStore &store, const ImportOptions &options)
{
    std::optional<ImportOutcome> outcome =
        store.importContacts(m_contacts.records, m_plan, m_existing, options);
    m_lastError = outcome ? QString() : store.lastError();
    return outcome;
}
