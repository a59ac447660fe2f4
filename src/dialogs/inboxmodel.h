#pragma once

#include "rowpages.h"
#include "twowaytables.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QTimer>
#include <functional>

// A received message as the inbox lists it: with the name the address book
// gives its sender (empty when none does).
struct InboxRow
{
    InboxMessage message;
    QString name;
};

// The received messages, newest first, one line each; unread ones in bold.
//
// The model holds the ids of all messages and reads the messages behind
// the lines in pages as the view shows them, so an inbox of a hundred
// thousand messages opens at once. The senders' names come from the
// address book, read by loadNames() once the first lines are shown (a large
// address book takes a moment): a sender and a person's NatelNummer match
// when they are the same number.
class InboxModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit InboxModel(QSqlDatabase db, QObject *parent = nullptr);

    // Makes the table if the file has none yet and reads the newest ids; the
    // older ones follow a slice at a time from the event loop, and loaded()
    // comes when all are in. False when the inbox cannot be read (see
    // lastError()); the list is then empty.
    bool load();
    // Puts a message stored since the load on top (once).
    void addNewest(qint64 id);
    // Reads the ids still missing before it returns (an export needs all).
    bool finishLoading();
    // Reads the address book's names and shows them on the lines.
    void loadNames();

    // The message at this position; null when it has gone or cannot be read.
    const InboxRow *row(int position) const;
    // Marks the message at this position read. *wasUnread tells whether it
    // changed; false when the file cannot be written (see lastError()).
    bool markRead(int position, bool *wasUnread);
    // Removes the message at this position from the file and the list.
    bool remove(int position);
    // Hands every message listed to `take`, in order, reading a page at a
    // time; false when the inbox cannot be read (see lastError()).
    bool forEachShown(const std::function<void(const InboxRow &)> &take) const;
    QString lastError() const { return m_lastError; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;

Q_SIGNALS:
    void loaded();
    void loadFailed(const QString &error);

public:
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::optional<QHash<qint64, InboxRow>> read(const QList<qint64> &ids) const;
    // Appends the next older ids; false on a read error.
    bool loadSlice();
    void loadMore();

    QSqlDatabase m_db;
    QList<qint64> m_ids;             // newest first
    bool m_complete = true;          // every id is in m_ids
    QTimer *m_more;                  // the next slice of ids
    QHash<QString, QString> m_names; // number key -> name
    RowPages<InboxRow> m_pages;
    mutable QString m_lastError;
};
