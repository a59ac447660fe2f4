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

void PersonListModel::loadRest()
{
    m_scan->finishNow();
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

std::optional<QList<PersonLine>> PersonListModel::lines(const QItemSelection &selection)
{
    // Ranges in list order; each is read with one query over its rowids,
    // keeping the rows the list holds (a person changed meanwhile may have
    // left the listing, one added meanwhile is not in the list).
    QList<QItemSelectionRange> ranges(selection.cbegin(), selection.cend());
    std::sort(ranges.begin(), ranges.end(),
              [](const QItemSelectionRange &a, const QItemSelectionRange &b) {
                  return a.top() < b.top();
              });
    QList<PersonLine> result;
    AddressList list(m_db);
    for (const QItemSelectionRange &range : std::as_const(ranges)) {
        const int top = std::max(0, range.top());
        const int bottom = std::min(count() - 1, range.bottom());
        if (top > bottom)
            continue;
        int row = top;
        const bool ok = list.readBetween(m_listing, m_rowids.at(top), m_rowids.at(bottom),
                                         [&](qint64 rowid, const Person &person) {
                                             while (row <= bottom && m_rowids.at(row) < rowid)
                                                 ++row;
                                             if (row <= bottom && m_rowids.at(row) == rowid)
                                                 result.append(makeLine(person));
                                         });
        if (!ok) {
            m_lastError = list.lastError();
            return std::nullopt;
        }
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
