#include "outgoingqueue.h"

using namespace Qt::StringLiterals;

OutgoingQueue::OutgoingQueue(QObject *parent) : QAbstractTableModel(parent) {}

OutgoingQueue::EntryId OutgoingQueue::append(const QString &recipient, const QString &nachricht,
                                             const QString &rueckrufNummer)
{
    return appendMany({QueueEntry{0, recipient, nachricht, rueckrufNummer}}).constFirst();
}

QList<OutgoingQueue::EntryId> OutgoingQueue::appendMany(const QList<QueueEntry> &entries)
{
    QList<EntryId> ids;
    if (entries.isEmpty())
        return ids;
    QList<QueueEntry> added = entries;
    ids.reserve(added.size());
    for (QueueEntry &entry : added) {
        entry.id = m_nextId++;
        ids.append(entry.id);
    }
    // Stored before anything shows them: an entry the user has seen in the
    // queue is never lost by a crash, unless the journal said it could not
    // keep it.
    const bool stored = m_journal && m_journal->store(added);
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(added.size()) - 1);
    // No exact reserve here: it would defeat the list's geometric growth and
    // copy the whole queue on every single append.
    for (QueueEntry &entry : added) {
        entry.stored = stored;
        m_entries.append(std::move(entry));
    }
    endInsertRows();
    return ids;
}

void OutgoingQueue::restore(const QList<QueueEntry> &entries)
{
    if (entries.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(entries.size()) - 1);
    for (QueueEntry entry : entries) {
        entry.stored = true;
        m_nextId = std::max(m_nextId, entry.id + 1);
        m_entries.append(std::move(entry));
    }
    endInsertRows();
}

std::optional<QueueEntry> OutgoingQueue::head() const
{
    if (m_entries.isEmpty())
        return std::nullopt;
    return m_entries.constFirst();
}

bool OutgoingQueue::isEmpty() const
{
    return m_entries.isEmpty() || m_entries.constFirst().recipient.isEmpty();
}

int OutgoingQueue::indexOf(EntryId id) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_entries.at(i).id == id)
            return i;
    }
    return -1;
}

bool OutgoingQueue::remove(int index)
{
    if (index < 0 || index >= count())
        return false;
    if (m_journal && m_entries.at(index).stored)
        m_journal->drop({m_entries.at(index).id});
    removeAt(index);
    return true;
}

bool OutgoingQueue::removeById(EntryId id)
{
    return remove(indexOf(id));
}

bool OutgoingQueue::removeLogged(EntryId id)
{
    const int index = indexOf(id);
    if (index < 0)
        return false;
    removeAt(index);
    return true;
}

bool OutgoingQueue::keepRestLogged(EntryId id, const QString &rest)
{
    const int index = indexOf(id);
    if (index < 0)
        return false;
    m_entries[index].nachricht = rest;
    Q_EMIT dataChanged(this->index(index, NachrichtColumn), this->index(index, NachrichtColumn));
    return true;
}

void OutgoingQueue::removeAt(int index)
{
    beginRemoveRows(QModelIndex(), index, index);
    m_entries.removeAt(index);
    endRemoveRows();
}

void OutgoingQueue::clear()
{
    if (m_entries.isEmpty())
        return;
    if (m_journal) {
        QList<EntryId> ids;
        for (const QueueEntry &entry : std::as_const(m_entries)) {
            if (entry.stored)
                ids.append(entry.id);
        }
        if (!ids.isEmpty())
            m_journal->drop(ids);
    }
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

int OutgoingQueue::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int OutgoingQueue::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant OutgoingQueue::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const QueueEntry &entry = m_entries.at(index.row());
    switch (index.column()) {
    case RecipientColumn:
        return entry.recipient;
    case NachrichtColumn:
        // A list line shows the line break as a visible mark, not as two rows.
        return role == Qt::DisplayRole ? QString(entry.nachricht).replace(u"\r\n"_s, u"¶"_s)
                                       : entry.nachricht;
    case RueckrufNummerColumn:
        return entry.rueckrufNummer;
    }
    return QVariant();
}
