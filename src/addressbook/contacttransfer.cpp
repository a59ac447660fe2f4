#include "contacttransfer.h"

#include "addressbooktexts.h"
#include "contactfile.h"
#include "contacttexts.h"
#include "dialogbase.h"
#include "importmappingdialog.h"
#include "importpreviewdialog.h"

#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

ImportFlow::ImportFlow(DialogBase *owner, QSqlDatabase db)
    : QObject(owner), m_owner(owner), m_db(std::move(db))
{}

ImportFlow::~ImportFlow()
{
    // Windows still open when the owner goes go with it.
    delete m_mapping.data();
    delete m_preview.data();
}

ImportMappingDialog *ImportFlow::mappingDialog() const
{
    return m_mapping;
}

ImportPreviewDialog *ImportFlow::previewDialog() const
{
    return m_preview;
}

void ImportFlow::start()
{
    const std::optional<QString> path =
        m_owner->openFile(ContactText::importTitle(), contactOpenFilters());
    if (!path || !m_owner)
        return finish();
    if (!m_session.open(*path)) {
        m_owner->message(m_session.lastError());
        return finish();
    }
    if (m_session.format() == ContactFileFormat::Csv && !m_session.table().header.isEmpty())
        mapColumns();
    else
        showPreview();
}

void ImportFlow::mapColumns()
{
    m_mapping = new ImportMappingDialog(&m_session, m_owner->prompter());
    // The next step runs once the window has gone: unloaded comes from
    // inside its close, and a box shown from there would stand beside it.
    connect(m_mapping, &DialogBase::unloaded, this, [this] {
        const bool accepted = m_mapping && m_mapping->isAccepted();
        QMetaObject::invokeMethod(
            this, [this, accepted] { accepted ? showPreview() : finish(); }, Qt::QueuedConnection);
    });
    m_mapping->show();
    m_mapping->activateWindow();
}

void ImportFlow::showPreview()
{
    if (!m_owner)
        return finish();
    const QString fileName = QFileInfo(m_session.fileName()).fileName();
    if (m_session.contacts().records.isEmpty()) {
        m_owner->message(ContactText::nobodyInFile(fileName, m_session.contacts().messages));
        return finish();
    }
    ContactStore store(m_db);
    if (!m_session.plan(store)) {
        m_owner->message(AddressBookText::accessFailed(m_session.lastError()));
        return finish();
    }
    m_preview = new ImportPreviewDialog(m_session, m_owner->prompter());
    connect(m_preview, &DialogBase::unloaded, this, [this] {
        const std::optional<ImportOptions> options = m_preview && m_preview->isAccepted()
                                                         ? std::optional(m_preview->options())
                                                         : std::nullopt;
        QMetaObject::invokeMethod(
            this, [this, options] { options ? write(*options) : finish(); }, Qt::QueuedConnection);
    });
    m_preview->show();
    m_preview->activateWindow();
}

void ImportFlow::write(const ImportOptions &options)
{
    if (!m_owner)
        return finish();
    ContactStore store(m_db);
    const std::optional<ImportOutcome> outcome = m_session.write(store, options);
    if (!outcome) {
        m_owner->message(ContactText::importFailed(m_session.lastError()));
        return finish();
    }
    Q_EMIT written();
    if (m_owner)
        m_owner->message(ContactText::importDone(*outcome));
    finish();
}

void ImportFlow::finish()
{
    Q_EMIT finished();
    deleteLater();
}

void exportContacts(DialogBase *owner, const QList<ContactRecord> &records,
                    const QString &suggestedName)
{
    const std::optional<Prompter::SaveFile> choice = owner->saveFile(
        ContactText::exportTitle(), suggestedName + u".vcf"_s, contactSaveFilters());
    if (!choice)
        return;
    QString path = choice->path;
    const ContactFileFormat format = exportFormat(&path, choice->filter);
    const QString fileName = QFileInfo(path).fileName();
    // The whole file or none: an existing file is replaced only once the new
    // one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contactFileBytes(records, format)) < 0 ||
        !file.commit()) {
        owner->message(ContactText::exportFailed(fileName, file.errorString()));
        return;
    }
    owner->message(ContactText::exportDone(records.size(), fileName));
}
