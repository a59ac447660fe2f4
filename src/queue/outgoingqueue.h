#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <optional>

// One message waiting to be sent. The id stays with the entry for its whole
// life, so the engine can log and remove exactly the entry it submitted even
// when the user deleted or added entries while the call was under way.
struct QueueEntry
{
    quint64 id = 0;
    QString natelNummer;
    QString nachricht;      // line breaks as CR LF; at most 160 characters unless sent whole
    QString rueckrufNummer; // may be empty
};

// The outgoing queue. Entry 0 is the head, the next to be sent. The three
// columns are shown side by side as the lists LSTNatelNummer, LSTNachricht
// and LSTRueckrufNummer (one QListView per column), which therefore always
// have the same number of rows.
class OutgoingQueue : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NatelNummerColumn = 0, NachrichtColumn = 1, RueckrufNummerColumn = 2 };
    using EntryId = quint64;

    explicit OutgoingQueue(QObject *parent = nullptr);

    EntryId append(const QString &natelNummer, const QString &nachricht,
                   const QString &rueckrufNummer);
    // Appends several entries with one model notification (bulk SMS).
    QList<EntryId> appendMany(const QList<QueueEntry> &entries);

    int count() const { return int(m_entries.size()); }
    const QueueEntry &at(int index) const { return m_entries.at(index); }
    std::optional<QueueEntry> head() const;
    // True when there is no entry or the head entry has no number, the one
    // test every caller uses to decide whether there is something to send.
    bool isEmpty() const;

    int indexOf(EntryId id) const;
    bool remove(int index);
    bool removeById(EntryId id);
    void clear();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<QueueEntry> m_entries;
    EntryId m_nextId = 1;
};
