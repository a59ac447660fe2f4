#pragma once

#include "addresslist.h"
#include "dialogbase.h"
#include "personlines.h"

#include <QAbstractItemView>
#include <QSqlDatabase>
#include <memory>

class PersonListModel;
class QLabel;
class QListView;
class QPushButton;
class StoreConnection;

// What the search results, the single pick and the bulk pick share: the
// dialog look of the selection windows, the instruction Label2 above the
// list LSTSelektion, and a view of their own on table Adressen that they read
// once per opening: the first lines at once, the rest as they are found. A
// list in which every line is marked stays so while lines are added.
class PersonListDialog : public DialogBase
{
    Q_OBJECT

public:
    QListView *list() const { return m_list; }
    PersonListModel *model() const { return m_model; }
    QLabel *label2() const { return m_label2; }
    // The first selected row, or -1.
    int firstSelectedRow() const;

Q_SIGNALS:
    // The list has been filled (or the window has closed itself instead).
    void ready();

protected:
    PersonListDialog(const QString &objectName, const QString &titel, const QString &label2Text,
                     int label2Height, QAbstractItemView::SelectionMode selectionMode,
                     AddressList::Listing listing, const QString &databasePath, QWidget *mainWindow,
                     Prompter *prompter);
    ~PersonListDialog() override;

    // Starts filling the list; on a database failure the user is told.
    void firstActivation() override;
    // Every person of the listing is in the list; ready() follows.
    virtual void listComplete() {}
    // The window's own (read-only) connection to Daten.mdb.
    QSqlDatabase database() const;
    QPushButton *addButton(const QString &objectName, const QString &caption, int left, int width);

private:
    bool everyRowSelected() const;

    std::unique_ptr<StoreConnection> m_connection;
    bool m_allSelected = false;
    QLabel *m_label2;
    QListView *m_list;
    PersonListModel *m_model;
};
