#pragma once

#include "personlines.h"

#include <QAbstractListModel>

// The lines of a person list (LSTSelektion) with the key and the stored
// number of each person. A plain list of values keeps a hundred thousand
// lines cheap to fill and to show.
class PersonListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { KeyRole = Qt::UserRole, NumberRole };

    explicit PersonListModel(QObject *parent = nullptr);

    // Appends at the end; the list is never emptied in between.
    void append(QList<PersonLine> lines);
    const PersonLine &line(int row) const { return m_lines.at(row); }
    int count() const { return int(m_lines.size()); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<PersonLine> m_lines;
};
