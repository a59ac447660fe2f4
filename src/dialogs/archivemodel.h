#pragma once

#include "rowpages.h"
#include "sendlog.h"

#include <QAbstractListModel>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <functional>

class RowScan;

// The rows of the send log as the archive lists them, one line each, and of
// those the ones the user wants to see: whose number or text holds the
// search text (either case), of all, the sent or the refused ones.
//
// The model holds the rowids of the rows shown and reads the rows behind
// the lines in pages as the view shows them, so a log of a million rows
// opens at once and takes a few megabytes. The rowids are found a slice at
// a time from the event loop (the search folds number and text to one case
// in a pass over the log); lines are appended as they are found.
class ArchiveModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using Show = SendLog::Outcome;

    explicit ArchiveModel(QSqlDatabase db, QObject *parent = nullptr);
    ~ArchiveModel() override;

    // Reads the log anew with the search and choice as they are.
    void load();
    // Lists the rows not yet found before it returns. False when the
    // reading has failed (see lastError()): the list is then incomplete.
    bool loadRest();
    void setSearch(const QString &text);
    void setShow(Show show);

    // The row shown at this position; null when it has gone from the log.
    const LogRow *row(int shownIndex) const;
    // Hands every row shown to `take`, in order, reading a page at a time;
    // false when the log cannot be read (see lastError()).
    bool forEachShown(const std::function<void(const LogRow &)> &take) const;
    // The lines of the longest rows of the log, found by the first complete
    // reading, for measuring the widest line.
    const QStringList &longestLines() const { return m_longestLines; }
    QString lastError() const { return m_lastError; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Every row to be shown is in the list.
    void loaded();
    void failed(const QString &error);

private:
    void restart();
    void append(const QList<qint64> &rowids);
    void finish();
    bool keepLength(const QSqlQuery &query);

    QSqlDatabase m_db;
    RowScan *m_scan;
    QList<qint64> m_rowids; // of the rows shown
    RowPages<LogRow> m_pages;
    QString m_search; // case-folded
    Show m_show = Show::All;
    // The longest rows (measure, rowid) while the first reading runs.
    QList<std::pair<int, qint64>> m_longest;
    bool m_measured = false;
    QStringList m_longestLines;
    mutable QString m_lastError;
};
