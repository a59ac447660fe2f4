#include "importsession.h"

#include "vcardformat.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

bool ImportSession::open(const QString &path)
{
    const QString shown = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError =
            tr("Die Datei «%1» konnte nicht geöffnet werden: %2").arg(shown, file.errorString());
        return false;
    }
    if (file.size() > maxFileSize) {
        m_lastError = tr("Die Datei «%1» ist mit %2 MB zu gross für ein Adressbuch; es werden "
                         "höchstens %3 MB gelesen.")
                          .arg(shown, QString::number(file.size() / (1024 * 1024)),
                               QString::number(maxFileSize / (1024 * 1024)));
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_lastError =
            tr("Die Datei «%1» konnte nicht gelesen werden: %2").arg(shown, file.errorString());
        return false;
    }
    setData(path, std::move(data));
    return true;
}

void ImportSession::setData(const QString &fileName, QByteArray data)
{
    m_fileName = fileName;
    m_data = std::move(data);
    m_format = contactFileFormat(fileName, m_data);
    m_lastError.clear();
    m_plan = ImportPlan();
    m_table = CsvTable();
    m_contacts = ContactImport();
    if (m_format == ContactFileFormat::VCard)
        m_contacts = readVCards(m_data);
    else
        readTable();
}

void ImportSession::readTable(std::optional<QChar> delimiter, std::optional<TextEncoding> encoding)
{
    m_table = readCsv(m_data, delimiter, encoding);
    mapColumns(guessCsvRoles(m_table.header));
}

void ImportSession::mapColumns(const QList<CsvRole> &roles)
{
    m_contacts = recordsFromCsv(m_table, roles);
    // What went wrong while the table was read belongs to the report too.
    m_contacts.messages = m_table.messages + m_contacts.messages;
}

bool ImportSession::plan(ContactStore &store)
{
    m_storedNames.clear();
    const std::optional<QList<ExistingPerson>> existing = store.existingPersons(&m_storedNames);
    if (!existing) {
        m_lastError = store.lastError();
        return false;
    }
    m_existing = *existing;
    m_plan = planImport(m_existing, m_contacts.records);
    m_lastError.clear();
    return true;
}

std::optional<ImportOutcome> ImportSession::write(ContactStore &store, const ImportOptions &options)
{
    std::optional<ImportOutcome> outcome =
        store.importContacts(m_contacts.records, m_plan, m_existing, options);
    m_lastError = outcome ? QString() : store.lastError();
    return outcome;
}
