#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// The tables of two-way messaging in Daten.mdb, each made when first needed
// so that a file without them opens as before: the delivery state of the
// parts of sent messages (Deliveries), the messages received (Inbox) and
// the numbers that asked not to get any more messages (StopList). Like every
// store object they answer with bool or what they read and keep the reason
// of a failure in lastError().

// Where a sent part stands. Reports that say the centre is still trying
// leave a part Pending, with their reason as detail.
enum class DeliveryState { Pending = 0, Delivered = 1, Failed = 2 };

// A part of a logged message whose report is awaited. The reference is how
// the report names it: a GSM modem's message reference (TP-MR), a UCP
// centre's "AdC:SCTS". recipientKey is the number as the caller compares
// numbers (the same form for the part and its report).
struct ExpectedReport
{
    int part = 0;
    QString recipientKey;
    QString reference;
};

// The state of a whole message: Delivered when every part is, Failed as
// soon as one part failed for good, Pending otherwise; `at` is the time of
// the report that decided it (for Delivered, the last part's).
struct DeliveryStatus
{
    DeliveryState state = DeliveryState::Pending;
    QDateTime at;
    QString detail;
};

class Deliveries
{
public:
    explicit Deliveries(QSqlDatabase db);

    bool prepareTable();
    // Inside the caller's transaction (the one that stores the log row):
    // the parts of the log row logRowId await their reports.
    bool expectInTransaction(qint64 logRowId, const QList<ExpectedReport> &parts);
    // A report for the part with this recipient and reference. A GSM
    // reference wraps after 255, so the newest part that has not reached
    // its final state yet is meant. Returns the log row of that part, 0 for
    // a report no part awaits (it is dropped), nothing on failure.
    std::optional<qint64> report(const QString &recipientKey, const QString &reference,
                                 DeliveryState state, const QDateTime &at, const QString &detail);
    // The state of each of these log rows that awaits reports; rows sent
    // without a request are missing from the answer.
    std::optional<QHash<qint64, DeliveryStatus>> statusOf(const QList<qint64> &logRowIds) const;

    QString lastError() const { return m_lastError; }

private:
    bool fail(const QString &error) const;

    QSqlDatabase m_db;
    mutable QString m_lastError;
};

// One received message. A message whose parts did not all arrive is shown
// as it is, with a mark where a part is missing (`incomplete`).
struct InboxMessage
{
    qint64 id = 0;
    QString sender; // digits with "+" for an international number, or a name
    QString text;
    QDateTime sentAt;     // the centre's time stamp
    QDateTime receivedAt; // when the program stored it
    bool read = false;
    bool stopRequest = false; // the sender asked to be put on the stop list
    bool incomplete = false;
};

class Inbox
{
public:
    explicit Inbox(QSqlDatabase db);

    bool prepareTable();
    // Stores a message, committed when this returns (only then may the
    // modem or centre be told it arrived); its id, or nothing on failure.
    std::optional<qint64> append(const InboxMessage &message);
    // Ids of up to `limit` messages older than `before` (all: 0), newest
    // first, for a list that reads its lines when they are shown.
    std::optional<QList<qint64>> idsNewestFirst(qint64 before = 0, int limit = -1) const;
    std::optional<QHash<qint64, InboxMessage>> readById(const QList<qint64> &ids) const;
    std::optional<int> unreadCount() const;
    bool markRead(const QList<qint64> &ids);
    bool remove(const QList<qint64> &ids);

    QString lastError() const { return m_lastError; }

private:
    bool fail(const QString &error) const;
    bool changeRows(const QString &sql, const QList<qint64> &ids);

    QSqlDatabase m_db;
    mutable QString m_lastError;
};

// A number that asked not to get any more messages, with when and why. The
// key is the number as the caller compares numbers; `number` is kept as it
// was given, for the list.
struct StopEntry
{
    QString key;
    QString number;
    QDateTime since;
    QString reason;
};

class StopList
{
public:
    explicit StopList(QSqlDatabase db);

    // Whether a received text asks to stop: the whole text is STOP, STOPP
    // or STOP ALL, in any case, blanks around it ignored.
    static bool isStopRequest(const QString &text);

    bool prepareTable();
    // Puts the number on the list, or gives it the new date and reason.
    bool add(const StopEntry &entry);
    bool remove(const QString &key);
    // The entry of this number; an empty one (no key) when it is not listed;
    // nothing on failure.
    std::optional<StopEntry> find(const QString &key) const;
    // The keys among these that are listed (a bulk run checks many at once).
    std::optional<QList<QString>> listed(const QList<QString> &keys) const;
    std::optional<QList<StopEntry>> all() const;

    QString lastError() const { return m_lastError; }

private:
    bool fail(const QString &error) const;

    QSqlDatabase m_db;
    mutable QString m_lastError;
};
