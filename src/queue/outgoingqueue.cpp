#include "outgoingqueue.h"

using namespace Qt::StringLiterals;

OutgoingQueue::OutgoingQueue(QObject *parent) : QAbstractTableModel(parent) {}

OutgoingQueue::EntryId OutgoingQueue::append(const QString &natelNummer, const QString &nachricht,
                                             const QString &rueckrufNummer)
{
    return appendMany({QueueEntry{0, natelNummer, nachricht, rueckrufNummer}}).constFirst();
}

QList<OutgoingQueue::EntryId> OutgoingQueue::appendMany(const QList<QueueEntry> &entries)
{
    QList<EntryId> ids;
    if (entries.isEmpty())
        return ids;
    ids.reserve(entries.size());
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(entries.size()) - 1);
    // No exact reserve here: it would defeat the list's geometric growth and
    // copy the whole queue on every single append.
    for (QueueEntry entry : entries) {
        entry.id = m_nextId++;
        ids.append(entry.id);
        m_entries.append(std::move(entry));
    }
    endInsertRows();
    return ids;
}

std::optional<QueueEntry> OutgoingQueue::head() const
{
    if (m_entries.isEmpty())
        return std::nullopt;
    return m_entries.constFirst();
}

bool OutgoingQueue::isEmpty() const
{
    return m_entries.isEmpty() || m_entries.constFirst().natelNummer.isEmpty();
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
    beginRemoveRows(QModelIndex(), index, index);
    m_entries.removeAt(index);
    endRemoveRows();
    return true;
}

bool OutgoingQueue::removeById(EntryId id)
{
    return remove(indexOf(id));
}

void OutgoingQueue::clear()
{
    if (m_entries.isEmpty())
        return;
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
    case NatelNummerColumn:
        return entry.natelNummer;
    case NachrichtColumn:
        // A list line shows the line break as a visible mark, not as two rows.
        return role == Qt::DisplayRole ? QString(entry.nachricht).replace(u"\r\n"_s, u"¶"_s)
                                       : entry.nachricht;
    case RueckrufNummerColumn:
        return entry.rueckrufNummer;
    }
    return QVariant();
}
