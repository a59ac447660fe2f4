#include "inboxmodel.h"

#include "inboxline.h"
#include "phonekey.h"

#include <QElapsedTimer>
#include <QFont>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// The name of each number of the address book, by the number's key; of two
// persons with one number the first in table order. Names only decorate
// the list: an address book that cannot be read leaves the senders as
// they came.
QHash<QString, QString> namesByNumber(const QSqlDatabase &db)
{
    QHash<QString, QString> names;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT NatelNummer, Name FROM Adressen ORDER BY rowid"_s) || !query.exec())
        return names;
    while (query.next()) {
        const QString name = query.value(1).toString().trimmed();
        if (name.isEmpty())
            continue;
        if (const std::optional<QString> key = PhoneKey::key(query.value(0).toString());
            key && !names.contains(*key))
            names.insert(*key, name);
    }
    return names;
}

} // namespace

InboxModel::InboxModel(QSqlDatabase db, QObject *parent)
    : QAbstractListModel(parent), m_db(std::move(db)), m_more(new QTimer(this)),
      m_pages([this](const QList<qint64> &ids) { return read(ids); })
{
    m_more->setSingleShot(true);
    m_more->setInterval(0);
    connect(m_more, &QTimer::timeout, this, &InboxModel::loadMore);
}

namespace {
// Ids per query and the time one pass of the event loop may spend on them.
constexpr int kIdsPerQuery = 4096;
constexpr qint64 kSliceNanoseconds = 15'000'000;
} // namespace

bool InboxModel::load()
{
    m_more->stop();
    beginResetModel();
    m_ids.clear();
    m_pages.clear();
    m_complete = false;
    endResetModel();
    Inbox inbox(m_db);
    if (!inbox.prepareTable()) {
        m_lastError = inbox.lastError();
        m_complete = true;
        return false;
    }
    if (!loadSlice())
        return false;
    m_lastError.clear();
    // loaded() comes from the event loop also when this was all.
    m_more->start();
    return true;
}

bool InboxModel::loadSlice()
{
    Inbox inbox(m_db);
    std::optional<QList<qint64>> ids =
        inbox.idsNewestFirst(m_ids.isEmpty() ? 0 : m_ids.constLast(), kIdsPerQuery);
    if (!ids) {
        m_lastError = inbox.lastError();
        m_complete = true;
        return false;
    }
    m_complete = ids->size() < kIdsPerQuery;
    if (!ids->isEmpty()) {
        const int first = int(m_ids.size());
        beginInsertRows(QModelIndex(), first, first + int(ids->size()) - 1);
        m_ids.append(*ids);
        endInsertRows();
    }
    return true;
}

void InboxModel::loadMore()
{
    QElapsedTimer slice;
    slice.start();
    while (!m_complete && slice.nsecsElapsed() < kSliceNanoseconds) {
        if (!loadSlice()) {
            Q_EMIT loadFailed(m_lastError);
            return;
        }
    }
    if (m_complete)
        Q_EMIT loaded();
    else
        m_more->start();
}

void InboxModel::addNewest(qint64 id)
{
    if (m_ids.contains(id))
        return;
    beginInsertRows(QModelIndex(), 0, 0);
    m_ids.prepend(id);
    // Pages are kept by position, which has moved by one.
    m_pages.clear();
    endInsertRows();
}

bool InboxModel::finishLoading()
{
    while (!m_complete) {
        if (!loadSlice())
            return false;
    }
    if (m_more->isActive()) {
        m_more->stop();
        Q_EMIT loaded();
    }
    return true;
}

void InboxModel::loadNames()
{
    m_names = namesByNumber(m_db);
    m_pages.clear();
    if (!m_ids.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_ids.size()) - 1), {Qt::DisplayRole});
}

std::optional<QHash<qint64, InboxRow>> InboxModel::read(const QList<qint64> &ids) const
{
    Inbox inbox(m_db);
    std::optional<QHash<qint64, InboxMessage>> messages = inbox.readById(ids);
    if (!messages) {
        m_lastError = inbox.lastError();
        return std::nullopt;
    }
    QHash<qint64, InboxRow> rows;
    rows.reserve(messages->size());
    for (const InboxMessage &message : std::as_const(*messages)) {
        const std::optional<QString> key = PhoneKey::key(message.sender);
        rows.insert(message.id, InboxRow{message, key ? m_names.value(*key) : QString()});
    }
    return rows;
}

const InboxRow *InboxModel::row(int position) const
{
    return m_pages.row(m_ids, position);
}

bool InboxModel::markRead(int position, bool *wasUnread)
{
    *wasUnread = false;
    const InboxRow *shown = row(position);
    if (!shown || shown->message.read)
        return true;
    Inbox inbox(m_db);
    if (!inbox.markRead({shown->message.id})) {
        m_lastError = inbox.lastError();
        return false;
    }
    *wasUnread = true;
    // The page is read again with the line's new state.
    m_pages.clear();
    Q_EMIT dataChanged(index(position), index(position), {Qt::FontRole});
    return true;
}

bool InboxModel::remove(int position)
{
    if (position < 0 || position >= m_ids.size())
        return true;
    Inbox inbox(m_db);
    if (!inbox.remove({m_ids.at(position)})) {
        m_lastError = inbox.lastError();
        return false;
    }
    beginRemoveRows(QModelIndex(), position, position);
    m_ids.removeAt(position);
    m_pages.clear();
    endRemoveRows();
    return true;
}

bool InboxModel::forEachShown(const std::function<void(const InboxRow &)> &take) const
{
    // Called after finishLoading(): every message is listed.
    constexpr qsizetype kChunk = 500;
    for (qsizetype first = 0; first < m_ids.size(); first += kChunk) {
        const QList<qint64> ids = m_ids.mid(first, kChunk);
        const std::optional<QHash<qint64, InboxRow>> rows = read(ids);
        if (!rows)
            return false;
        for (qint64 id : ids) {
            if (const auto found = rows->constFind(id); found != rows->cend())
                take(*found);
        }
    }
    return true;
}

int InboxModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

QVariant InboxModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        if (const InboxRow *shown = row(index.row()))
            return InboxLine::line(shown->message, shown->name);
        return QString();
    case Qt::FontRole:
        if (const InboxRow *shown = row(index.row()); shown && !shown->message.read) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}
