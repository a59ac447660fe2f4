#include "contacttransfer.h"

#include "addressbooktexts.h"
#include "contactfile.h"
#include "contacttexts.h"
#include "dialogbase.h"
#include "importmappingdialog.h"
#include "importpreviewdialog.h"

#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

ImportFlow::ImportFlow(DialogBase *owner, QSqlDatabase db)
    : QObject(owner), m_owner(owner), m_db(std::move(db))
{}

ImportFlow::~ImportFlow()
{
    // A reading under way stops at its next step; the session it works on
    // goes with this object.
    if (m_worker) {
        m_cancel = true;
        m_worker->wait();
        delete m_worker;
    }
    // Windows still open when the owner goes go with it.
    delete m_mapping.data();
    delete m_preview.data();
    delete m_progress.data();
}

QDialog *ImportFlow::progressWindow() const
{
    return m_worker ? m_progress.data() : nullptr;
}

void ImportFlow::runInBackground(const QString &label,
                                 std::function<void(const ReadProgress &)> work,
                                 void (ImportFlow::*then)())
{
    m_cancel = false;
    m_permille = -1;
    m_progress = new QDialog(m_owner);
    m_progress->setObjectName(u"FRMFortschritt"_s);
    m_progress->setWindowTitle(ContactText::importTitle());
    m_progress->setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(m_progress);
    auto *text = new QLabel(label);
    text->setObjectName(u"LBLFortschritt"_s);
    m_bar = new QProgressBar;
    m_bar->setObjectName(u"PRGFortschritt"_s);
    m_bar->setRange(0, 1000);
    m_bar->setAccessibleName(label);
    auto *abbrechen = new QPushButton(tr("Abbrechen"));
    abbrechen->setObjectName(u"cmdAbbrechen"_s);
    layout->addWidget(text);
    layout->addWidget(m_bar);
    layout->addWidget(abbrechen, 0, Qt::AlignRight);
    // The button, Escape and the window's close button all cancel.
    connect(abbrechen, &QPushButton::clicked, m_progress, &QDialog::reject);
    connect(m_progress, &QDialog::rejected, this, [this] { m_cancel = true; });

    // Called on the worker: a new value goes to the bar by the event loop,
    // at most a thousand times.
    ReadProgress progress = [this](qint64 done, qint64 total) {
        const int permille = total > 0 ? int(std::clamp<qint64>(done * 1000 / total, 0, 1000)) : 0;
        if (m_permille.exchange(permille) != permille) {
            QMetaObject::invokeMethod(
                this,
                [this, permille] {
                    if (m_progress)
                        m_bar->setValue(permille);
                },
                Qt::QueuedConnection);
        }
        return !m_cancel;
    };
    m_worker = QThread::create(
        [work = std::move(work), progress = std::move(progress)] { work(progress); });
    connect(m_worker, &QThread::finished, this, [this, then] {
        // The worker has said its last word; it ends right away.
        QThread *worker = std::exchange(m_worker, nullptr);
        worker->wait();
        delete worker;
        if (m_progress) {
            m_progress->hide();
            m_progress->deleteLater();
        }
        if (m_cancel)
            return finish(); // nothing read is used, nothing is said
        (this->*then)();
    });
    m_progress->show();
    m_worker->start();
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
    m_ok = false;
    runInBackground(
        tr("Die Datei «%1» wird gelesen …").arg(QFileInfo(*path).fileName()),
        [this, file = *path](const ReadProgress &progress) {
            m_ok = m_session.open(file, progress);
        },
        &ImportFlow::fileRead);
}

void ImportFlow::fileRead()
{
    if (!m_owner)
        return finish();
    if (!m_ok) {
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
        m_owner->message(ContactText::nobodyInFile(fileName, m_session.contacts().messages,
                                                   m_session.contacts().moreMessages));
        return finish();
    }
    // The stored persons come through the owner's connection, here; the
    // plan, a number check per person, on the worker.
    ContactStore store(m_db);
    if (!m_session.readExisting(store)) {
        m_owner->message(AddressBookText::accessFailed(m_session.lastError()));
        return finish();
    }
    runInBackground(
        tr("Die Vorschau wird vorbereitet …"),
        [this](const ReadProgress &progress) { m_session.planAgainstExisting(progress); },
        &ImportFlow::planned);
}

void ImportFlow::planned()
{
    if (!m_owner)
        return finish();
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
