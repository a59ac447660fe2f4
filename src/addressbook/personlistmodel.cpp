#include "personlistmodel.h"

#include "rowscan.h"

PersonListModel::PersonListModel(QSqlDatabase db, AddressList::Listing listing, QObject *parent)
    : QAbstractListModel(parent), m_db(db), m_listing(listing),
      m_scan(new RowScan(db, AddressList::scanSql(listing), this)),
      m_pages([this](const QList<qint64> &rowids) {
          AddressList list(m_db);
          std::optional<QHash<qint64, Person>> persons = list.readByRowid(rowids);
          m_lastError = list.lastError();
          return persons;
      })
{
    connect(m_scan, &RowScan::found, this, &PersonListModel::append);
    connect(m_scan, &RowScan::finished, this, &PersonListModel::loaded);
    connect(m_scan, &RowScan::failed, this, [this](const QString &error) {
        m_lastError = error;
        Q_EMIT failed(error);
    });
}

PersonListModel::~PersonListModel() = default;

void PersonListModel::load()
{
    beginResetModel();
    m_rowids.clear();
    m_pages.clear();
    endResetModel();
    m_scan->start();
}

bool PersonListModel::loadRest()
{
    return m_scan->finishNow();
}

void PersonListModel::append(const QList<qint64> &rowids)
{
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(rowids.size()) - 1);
    m_rowids.append(rowids);
    endInsertRows();
}

PersonLine PersonListModel::makeLine(const Person &person) const
{
    return m_listing == AddressList::Listing::WithNumber ? pickLine(person) : searchLine(person);
}

PersonLine PersonListModel::line(int row) const
{
    const Person *person = m_pages.row(m_rowids, row);
    return person ? makeLine(*person) : PersonLine{};
}

namespace {

// The selected rows as spans (first, last) in list order, touching and
// overlapping ranges joined: marking row by row gives one range per row.
QList<std::pair<int, int>> spansOf(const QItemSelection &selection, int count)
{
    QList<std::pair<int, int>> ranges;
    ranges.reserve(selection.size());
    for (const QItemSelectionRange &range : selection) {
        const int top = std::max(0, range.top());
        const int bottom = std::min(count - 1, range.bottom());
        if (top <= bottom)
            ranges.append({top, bottom});
    }
    std::sort(ranges.begin(), ranges.end());
    QList<std::pair<int, int>> spans;
    for (const auto &[top, bottom] : std::as_const(ranges)) {
        if (!spans.isEmpty() && top <= spans.last().second + 1)
            spans.last().second = std::max(spans.last().second, bottom);
        else
            spans.append({top, bottom});
    }
    return spans;
}

// Spans shorter than this are read with others by rowid, in batches of
// kBatch; a longer one with a query of its own over its rowid range.
constexpr int kShortSpan = 64;
constexpr qsizetype kBatch = 500;

} // namespace

std::optional<QList<PersonLine>> PersonListModel::lines(const QItemSelection &selection)
{
    // The rows the list holds, as they are stored now: a person changed
    // meanwhile may have left the listing or gone, one added meanwhile is
    // not in the list.
    QList<PersonLine> result;
    AddressList list(m_db);
    QList<qint64> batch;
    const auto readBatch = [&]() {
        if (batch.isEmpty())
            return true;
        const std::optional<QHash<qint64, Person>> persons = list.readByRowid(batch);
        if (!persons)
            return false;
        for (qint64 rowid : std::as_const(batch)) {
            if (const auto found = persons->constFind(rowid); found != persons->cend())
                result.append(makeLine(*found));
        }
        batch.clear();
        return true;
    };
    bool ok = true;
    for (const auto &[top, bottom] : spansOf(selection, count())) {
        if (bottom - top < kShortSpan) {
            for (int row = top; row <= bottom && ok; ++row) {
                batch.append(m_rowids.at(row));
                if (batch.size() == kBatch)
                    ok = readBatch();
            }
        } else {
            // In list order: what the batch holds comes first.
            int row = top;
            ok = readBatch() &&
                 list.readBetween(m_listing, m_rowids.at(top), m_rowids.at(bottom),
                                  [&](qint64 rowid, const Person &person) {
                                      while (row <= bottom && m_rowids.at(row) < rowid)
                                          ++row;
                                      if (row <= bottom && m_rowids.at(row) == rowid)
                                          result.append(makeLine(person));
                                  });
        }
        if (!ok)
            break;
    }
    if (!ok || !readBatch()) {
        m_lastError = list.lastError();
        return std::nullopt;
    }
    return result;
}

int PersonListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PersonListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    return line(index.row()).text;
}
