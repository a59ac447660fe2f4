#include "archivemodel.h"

#include "archiveline.h"

using namespace Qt::StringLiterals;

void ArchiveModel::setRows(QList<LogRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_lines.clear();
    m_lines.reserve(m_rows.size());
    for (const LogRow &row : std::as_const(m_rows))
        m_lines.append(ArchiveLine::line(row));
    endResetModel();
}

int ArchiveModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ArchiveModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_lines.at(index.row());
    return {};
}

bool ArchiveFilter::isSent(const LogRow &row)
{
    return row.versandt == u"OK"_s;
}

void ArchiveFilter::setSearch(const QString &text)
{
    if (text == m_search)
        return;
    m_search = text;
    invalidateFilter();
}

void ArchiveFilter::setShow(Show show)
{
    if (show == m_show)
        return;
    m_show = show;
    invalidateFilter();
}

bool ArchiveFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const LogRow &row = static_cast<const ArchiveModel *>(sourceModel())->row(sourceRow);
    if (m_show != Show::All && isSent(row) != (m_show == Show::Sent))
        return false;
    return m_search.isEmpty() || row.mobilNummer.contains(m_search, Qt::CaseInsensitive) ||
           row.nachricht.contains(m_search, Qt::CaseInsensitive);
}
