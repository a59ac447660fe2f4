#include "archivemodel.h"

#include "archiveline.h"

using namespace Qt::StringLiterals;

void ArchiveModel::setRows(QList<LogRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_lines.clear();
    m_folded.clear();
    m_lines.reserve(m_rows.size());
    m_folded.reserve(m_rows.size());
    for (const LogRow &row : std::as_const(m_rows)) {
        m_lines.append(ArchiveLine::line(row));
        // The line break keeps a search from matching across number and text.
        m_folded.append(QString(row.mobilNummer + u'\n' + row.nachricht).toCaseFolded());
    }
    m_shown.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_show == Show::All && m_search.isEmpty())
            m_shown.append(i);
    }
    endResetModel();
    if (m_show != Show::All || !m_search.isEmpty())
        refilter();
}

void ArchiveModel::setSearch(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == m_search)
        return;
    m_search = folded;
    refilter();
}

void ArchiveModel::setShow(Show show)
{
    if (show == m_show)
        return;
    m_show = show;
    refilter();
}

bool ArchiveModel::isSent(const LogRow &row)
{
    return row.versandt == u"OK"_s;
}

void ArchiveModel::refilter()
{
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_show != Show::All && isSent(m_rows.at(i)) != (m_show == Show::Sent))
            continue;
        if (!m_search.isEmpty() && !m_folded.at(i).contains(m_search))
            continue;
        m_shown.append(i);
    }
    endResetModel();
}

int ArchiveModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant ArchiveModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_lines.at(m_shown.at(index.row()));
    return {};
}
