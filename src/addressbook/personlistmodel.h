#pragma once

#include "addresslist.h"
#include "personlines.h"
#include "rowpages.h"

#include <QAbstractListModel>
#include <QItemSelection>
#include <QSqlDatabase>
#include <optional>

class RowScan;

// The lines of a person list (LSTSelektion). The model holds the rowid of
// each listed person and reads the persons behind the lines in pages as the
// view shows them: a list of a million persons opens at once and takes a
// few megabytes. The rowids are found a slice at a time from the event loop;
// lines are appended as they are found.
class PersonListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Search result lines of everyone, or pick lines of the persons with a
    // number.
    PersonListModel(QSqlDatabase db, AddressList::Listing listing, QObject *parent = nullptr);
    ~PersonListModel() override;

    // Finds the persons anew; the first slice before this returns.
    void load();
    // Lists the persons not yet found before it returns. False when the
    // reading has failed (see lastError()): the list is then incomplete.
    bool loadRest();
    int count() const { return int(m_rowids.size()); }

    // The line at this row; an empty line when its person has gone.
    PersonLine line(int row) const;
    // The lines of the selected rows, in list order, read a range at a time;
    // nothing when the table cannot be read (see lastError()).
    std::optional<QList<PersonLine>> lines(const QItemSelection &selection);
    QString lastError() const { return m_lastError; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Every person of the listing is in the list.
    void loaded();
    void failed(const QString &error);

private:
    void append(const QList<qint64> &rowids);
    PersonLine makeLine(const Person &person) const;

    QSqlDatabase m_db;
    AddressList::Listing m_listing;
    RowScan *m_scan;
    QList<qint64> m_rowids;
    RowPages<Person> m_pages;
    QString m_lastError;
};
