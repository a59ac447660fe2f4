#pragma once

#include "dialogbase.h"

#include <memory>

class ArchiveModel;
class QComboBox;
class QLineEdit;
class QListView;
class QPushButton;
class StoreConnection;
class LineWidthDelegate;

// The send archive: one read-only line per row of VersandLog, in the order
// the rows were logged, read when the window is first shown: the first lines
// at once, the rest as they are found. Rows logged while it is open appear
// when the search or the choice changes, or next time.
// A search field and a choice narrow it to the rows whose number or text
// holds the search text, of all, the sent or the refused ones; "Erneut
// senden" offers the selected message for the queue again; "Exportieren…"
// writes the rows shown as CSV; "Protokoll" asks for the call trace.
class FRMArchiv : public DialogBase
{
    Q_OBJECT

public:
    FRMArchiv(QString databasePath, QWidget *mainWindow, Prompter *prompter);
    ~FRMArchiv() override;

    // The lines shown, for the main window's tests and for screen readers.
    QStringList lines() const;

Q_SIGNALS:
    // The user wants the message queued again, to this number; the main
    // window queues it with the current call-back number.
    void resendRequested(const QString &number, const QString &text);
    // "Protokoll": the main window shows the trace of the last calls.
    void traceRequested();
    // The list has been filled (also when the log is empty or unreadable),
    // the first time and after each change of the search or the choice.
    void filled();

protected:
    void firstActivation() override;

private:
    void fill();
    void showReadError(const QString &error);
    void resend();
    // "Exportieren…": the rows shown, as CSV for spreadsheet programs.
    void exportShown();

    QString m_databasePath;
    std::unique_ptr<StoreConnection> m_connection; // DTAVersandLog
    QListView *m_list;
    QLineEdit *m_search;
    QComboBox *m_show;
    QPushButton *m_resend;
    ArchiveModel *m_rows;
    LineWidthDelegate *m_delegate;
};
