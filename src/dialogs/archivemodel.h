#pragma once

#include "sendlog.h"

#include <QAbstractListModel>
#include <QSortFilterProxyModel>
#include <QStringList>

// The rows of the send log as the archive lists them, one line each.
class ArchiveModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setRows(QList<LogRow> rows);
    const LogRow &row(int index) const { return m_rows.at(index); }
    const QStringList &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<LogRow> m_rows;
    QStringList m_lines;
};

// The rows the user wants to see: those whose number or text holds the
// search text (either case), of all, the sent or the refused ones.
class ArchiveFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    enum class Show { All, Sent, Refused };

    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setSearch(const QString &text);
    void setShow(Show show);

    static bool isSent(const LogRow &row);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_search;
    Show m_show = Show::All;
};
