#include "personlistmodel.h"

PersonListModel::PersonListModel(QObject *parent) : QAbstractListModel(parent) {}

void PersonListModel::append(QList<PersonLine> lines)
{
    if (lines.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(lines.size()) - 1);
    if (m_lines.isEmpty())
        m_lines = std::move(lines);
    else
        m_lines.append(std::move(lines));
    endInsertRows();
}

int PersonListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PersonListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const PersonLine &entry = m_lines.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return entry.text;
    case KeyRole:
        return entry.key;
    case NumberRole:
        return entry.number;
    default:
        return QVariant();
    }
}
