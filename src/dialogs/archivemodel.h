#pragma once

#include "sendlog.h"

#include <QAbstractListModel>
#include <QList>
#include <QStringList>

// The rows of the send log as the archive lists them, one line each, and of
// those the ones the user wants to see: whose number or text holds the
// search text (either case), of all, the sent or the refused ones.
//
// Filtering is a plain pass over the rows with their search text folded to
// one case beforehand, then one reset of the view: a proxy model would tell
// the view of every row that comes and goes, which takes seconds for a
// large log.
class ArchiveModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Show { All, Sent, Refused };

    using QAbstractListModel::QAbstractListModel;

    void setRows(QList<LogRow> rows);
    void setSearch(const QString &text);
    void setShow(Show show);

    // The row shown at this position.
    const LogRow &row(int shownIndex) const { return m_rows.at(m_shown.at(shownIndex)); }
    // Every line, shown or not, for measuring the widest one.
    const QStringList &allLines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    static bool isSent(const LogRow &row);

private:
    void refilter();

    QList<LogRow> m_rows;
    QStringList m_lines;
    QStringList m_folded; // number and text of each row, case-folded
    QList<int> m_shown;   // indexes into m_rows
    QString m_search;     // case-folded
    Show m_show = Show::All;
};
