#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <algorithm>
#include <optional>

// One message waiting to be sent. The id stays with the entry for its whole
// life, so the engine can log and remove exactly the entry it submitted even
// when the user deleted or added entries while the call was under way.
struct QueueEntry
{
    quint64 id = 0;
    QString recipient;      // the mobile number, digits only (a leading "+" as "00")
    QString nachricht;      // line breaks as CR LF; at most 160 characters unless sent whole
    QString rueckrufNummer; // may be empty
    // A copy is kept by the queue's journal (in Daten.mdb), under the id.
    bool stored = false;
};

// Keeps a copy of the queue outside memory, so that queued messages outlive
// a crash. The queue calls it before an entry is shown and when the user
// takes one out; an entry that has been sent leaves the journal with its log
// row, not through here.
class QueueJournal
{
public:
    virtual ~QueueJournal() = default;
    // Stores new entries (their ids are set); false when they are kept in
    // memory only.
    virtual bool store(const QList<QueueEntry> &entries) = 0;
    // Drops the copies of entries the user removed.
    virtual void drop(const QList<quint64> &ids) = 0;
};

// The outgoing queue. Entry 0 is the head, the next to be sent. The three
// columns are shown side by side as the lists LSTNatelNummer, LSTNachricht
// and LSTRueckrufNummer (one QListView per column), which therefore always
// have the same number of rows.
class OutgoingQueue : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { RecipientColumn = 0, NachrichtColumn = 1, RueckrufNummerColumn = 2 };
    using EntryId = quint64;

    explicit OutgoingQueue(QObject *parent = nullptr);

    // From now on every entry is written to journal before it is shown, and
    // removed from it when the user removes it or the queue is cleared.
    void setJournal(QueueJournal *journal) { m_journal = journal; }
    // Puts back entries that the journal kept, in the given order, with
    // their ids; new entries get ids after the highest of them.
    void restore(const QList<QueueEntry> &entries);
    // New entries get ids of at least next (those below were given before).
    void reserveIdsBelow(EntryId next) { m_nextId = std::max(m_nextId, next); }
    // Ids for count entries stored before they are appended (with restore()).
    QList<EntryId> takeIds(int count)
    {
        QList<EntryId> ids;
        for (int i = 0; i < count; ++i)
            ids.append(m_nextId++);
        return ids;
    }

    EntryId append(const QString &recipient, const QString &nachricht,
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
    // Removals by the user (and clear() when the program ends on purpose):
    // the journal drops the entries as well.
    bool remove(int index);
    bool removeById(EntryId id);
    void clear();
    // Removes an entry whose log row is stored: its journal copy went in the
    // same transaction as that row.
    bool removeLogged(EntryId id);
    // Keeps an entry of which one part is sent and logged, with the text
    // still to be sent: its journal copy took that text in the same
    // transaction as the part's log row.
    bool keepRestLogged(EntryId id, const QString &rest);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void removeAt(int index);

    QList<QueueEntry> m_entries;
    EntryId m_nextId = 1;
    QueueJournal *m_journal = nullptr;
};
