#pragma once

#include "dialogbase.h"

#include <memory>

class QListView;
class QStringListModel;
class StoreConnection;
class LineWidthDelegate;

// The send archive: one read-only line per row of VersandLog, in the order
// the rows were logged. The list is a snapshot taken once per opening, when
// the window is first shown; rows logged while it is open appear next time.
class FRMArchiv : public DialogBase
{
    Q_OBJECT

public:
    FRMArchiv(QString databasePath, QWidget *mainWindow, Prompter *prompter);
    ~FRMArchiv() override;

    // The lines shown, for the main window's tests and for screen readers.
    QStringList lines() const;

Q_SIGNALS:
    // The list has been filled (also when the log is empty or unreadable).
    void filled();

protected:
    void firstActivation() override;

private:
    void fill();

    QString m_databasePath;
    std::unique_ptr<StoreConnection> m_connection; // DTAVersandLog
    QListView *m_list;
    QStringListModel *m_lines;
    LineWidthDelegate *m_delegate;
};
