#pragma once

#include "addresslist.h"
#include "dialogbase.h"
#include "personlines.h"

#include <QAbstractItemView>
#include <QSqlDatabase>
#include <memory>
#include <optional>

class PersonListModel;
class QLabel;
class QListView;
class QPushButton;
class StoreConnection;

// What the search results, the single pick and the bulk pick share: the
// dialog look of the selection windows, the instruction Label2 above the
// list LSTSelektion, and a view of their own on table Adressen that they read
// once per opening.
class PersonListDialog : public DialogBase
{
    Q_OBJECT

public:
    QListView *list() const { return m_list; }
    PersonListModel *model() const { return m_model; }
    QLabel *label2() const { return m_label2; }
    // Rows of the selected lines, in list order.
    QList<int> selectedRows() const;

Q_SIGNALS:
    // The list has been filled (or the window has closed itself instead).
    void ready();

protected:
    PersonListDialog(const QString &objectName, const QString &titel, const QString &label2Text,
                     int label2Height, QAbstractItemView::SelectionMode selectionMode,
                     const QString &databasePath, QWidget *mainWindow, Prompter *prompter);
    ~PersonListDialog() override;

    // Every person of the table in table order; on a database failure the
    // user is told and nothing is returned.
    std::optional<QList<Person>> readAll();
    // The window's own (read-only) connection to Daten.mdb.
    QSqlDatabase database() const;
    QPushButton *addButton(const QString &objectName, const QString &caption, int left, int width);

private:
    std::unique_ptr<StoreConnection> m_connection;
    QLabel *m_label2;
    QListView *m_list;
    PersonListModel *m_model;
};
