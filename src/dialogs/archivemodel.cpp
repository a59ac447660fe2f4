#include "archivemodel.h"

#include "archiveline.h"
#include "rowscan.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// In a proportional font the widest line is among the ones with most
// characters; measuring these few is enough.
constexpr qsizetype kLongestKept = 32;

} // namespace

ArchiveModel::ArchiveModel(QSqlDatabase db, QObject *parent)
    : QAbstractListModel(parent), m_db(db), m_scan(new RowScan(db, QString(), this)),
      m_pages([this](const QList<qint64> &rowids) {
          SendLog log(m_db);
          std::optional<QHash<qint64, LogRow>> rows = log.readByRowid(rowids);
          m_lastError = log.lastError();
          return rows;
      })
{
    connect(m_scan, &RowScan::found, this, &ArchiveModel::append);
    connect(m_scan, &RowScan::finished, this, &ArchiveModel::finish);
    connect(m_scan, &RowScan::failed, this, [this](const QString &error) {
        m_lastError = error;
        Q_EMIT failed(error);
    });
}

ArchiveModel::~ArchiveModel() = default;

void ArchiveModel::load()
{
    m_measured = false;
    m_longest.clear();
    m_longestLines.clear();
    restart();
}

bool ArchiveModel::loadRest()
{
    return m_scan->finishNow();
}

void ArchiveModel::setSearch(const QString &text)
{
    const QString folded = text.toCaseFolded();
    if (folded == m_search)
        return;
    m_search = folded;
    restart();
}

void ArchiveModel::setShow(Show show)
{
    if (show == m_show)
        return;
    m_show = show;
    restart();
}

bool ArchiveModel::keepLength(const QSqlQuery &query)
{
    if (m_measured)
        return true;
    const int length = query.value(1).toInt();
    if (m_longest.size() == kLongestKept) {
        if (length <= m_longest.constLast().first)
            return true;
        m_longest.removeLast();
    }
    const auto at = std::upper_bound(
        m_longest.begin(), m_longest.end(), length,
        [](int value, const std::pair<int, qint64> &kept) { return value > kept.first; });
    m_longest.insert(at, {length, query.value(0).toLongLong()});
    return true;
}

void ArchiveModel::restart()
{
    beginResetModel();
    m_rowids.clear();
    m_pages.clear();
    endResetModel();
    if (!m_measured)
        m_longest.clear();
    // The search reads number and text of every row; without one the
    // scan reads rowids and lengths alone. A line break between number and
    // text keeps a search from matching across them.
    RowScan::Test test;
    if (m_search.isEmpty()) {
        test = [this](const QSqlQuery &query) { return keepLength(query); };
    } else {
        test = [this](const QSqlQuery &query) {
            keepLength(query);
            const QString searched = query.value(2).toString() + u'\n' + query.value(3).toString();
            return searched.toCaseFolded().contains(m_search);
        };
    }
    // The choice of delivered messages looks into the reports' table; a
    // file that has none yet gets an empty one, so nothing is listed.
    if (m_show == Show::Delivered || m_show == Show::NotDelivered) {
        Deliveries deliveries(m_db);
        if (!deliveries.prepareTable()) {
            m_lastError = deliveries.lastError();
            Q_EMIT failed(m_lastError);
            return;
        }
    }
    m_scan->setQuery(SendLog::scanSql(m_show, !m_search.isEmpty()), std::move(test));
    m_scan->start();
}

void ArchiveModel::append(const QList<qint64> &rowids)
{
    const int first = int(m_rowids.size());
    beginInsertRows(QModelIndex(), first, first + int(rowids.size()) - 1);
    m_rowids.append(rowids);
    endInsertRows();
}

void ArchiveModel::finish()
{
    // The longest rows are known once a reading of all rows has ended.
    if (!m_measured && m_show == Show::All) {
        QList<qint64> rowids;
        for (const auto &[length, rowid] : std::as_const(m_longest))
            rowids.append(rowid);
        SendLog log(m_db);
        if (const std::optional<QHash<qint64, LogRow>> rows = log.readByRowid(rowids)) {
            for (const LogRow &row : *rows)
                m_longestLines.append(ArchiveLine::line(row));
        }
        m_measured = true;
        m_longest.clear();
    }
    Q_EMIT loaded();
}

const LogRow *ArchiveModel::row(int shownIndex) const
{
    return m_pages.row(m_rowids, shownIndex);
}

bool ArchiveModel::forEachShown(const std::function<void(const LogRow &)> &take) const
{
    SendLog log(m_db);
    constexpr qsizetype kChunk = 500;
    for (qsizetype first = 0; first < m_rowids.size(); first += kChunk) {
        const QList<qint64> rowids = m_rowids.mid(first, kChunk);
        const std::optional<QHash<qint64, LogRow>> rows = log.readByRowid(rowids);
        if (!rows) {
            m_lastError = log.lastError();
            return false;
        }
        for (qint64 rowid : rowids) {
            if (const auto found = rows->constFind(rowid); found != rows->cend())
                take(*found);
        }
    }
    return true;
}

int ArchiveModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rowids.size());
}

QVariant ArchiveModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowids.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const LogRow *shown = row(index.row());
    return shown ? ArchiveLine::line(*shown) : QString();
}
