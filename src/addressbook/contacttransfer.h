#pragma once

#include "contactrecord.h"
#include "importsession.h"

#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <atomic>
#include <functional>

class DialogBase;
class QDialog;
class QProgressBar;
class QThread;
class ImportMappingDialog;
class ImportPreviewDialog;

// An import into the address book, from the file choice to the write, for
// the window that owns it: the file is chosen and every message shown
// through the owner (which steps aside for them); a CSV file's columns are
// mapped in "Spalten zuordnen", and "Vorschau" shows what the import will do
// before it writes, in one transaction, through the owner's connection. The
// two windows are modal, so the address book keeps still meanwhile. The
// flow deletes itself when it is done.
//
// Reading the file and planning the preview run on a worker thread while a
// modal window shows a progress bar and "Abbrechen": a large file does not
// freeze the program, and a cancel stops the work at once and imports
// nothing.
class ImportFlow : public QObject
{
    Q_OBJECT

public:
    ImportFlow(DialogBase *owner, QSqlDatabase db);
    ~ImportFlow() override;

    // Asks for the file and goes on from there.
    void start();

    // The window open now, or null.
    ImportMappingDialog *mappingDialog() const;
    ImportPreviewDialog *previewDialog() const;
    // The progress window while the worker reads or plans, else null.
    QDialog *progressWindow() const;

Q_SIGNALS:
    // The table has been written; the owner re-reads it (emitted before the
    // user is told what was written).
    void written();
    // The flow is over, written or not.
    void finished();

private:
    // Runs work on a worker thread under the progress window; then runs on
    // this thread afterwards, unless the user cancelled.
    void runInBackground(const QString &label, std::function<void(const ReadProgress &)> work,
                         void (ImportFlow::*then)());
    void fileRead();
    void mapColumns();
    void showPreview();
    void planned();
    void write(const ImportOptions &options);
    void finish();

    QPointer<DialogBase> m_owner;
    QSqlDatabase m_db;
    ImportSession m_session;
    QPointer<ImportMappingDialog> m_mapping;
    QPointer<ImportPreviewDialog> m_preview;
    QPointer<QDialog> m_progress;
    QProgressBar *m_bar = nullptr;
    QThread *m_worker = nullptr;
    std::atomic<bool> m_cancel = false;
    bool m_ok = false;                // the worker's result, read once it has ended
    std::atomic<int> m_permille = -1; // last sent to the progress bar
};

// Export of persons: asks the owner's user for a file (the chosen filter or
// the file's extension says vCard 4.0 or CSV), writes the whole file or
// nothing, and tells how it went. suggestedName is offered without
// extension.
void exportContacts(DialogBase *owner, const QList<ContactRecord> &records,
                    const QString &suggestedName);
