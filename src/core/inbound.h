#pragma once

#include "incoming.h"
#include "outbox.h"
#include "twowaytables.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class Clock;
class StoreConnection;

// What comes back from the network: messages received (stored in the inbox,
// a STOP reply putting its sender on the stop list) and delivery reports
// for sent parts. The dialogues hand everything in here and tell the modem
// or the centre that it arrived only once it is stored. Numbers are
// compared as numbers (numberKey), so "079 …", "+41 79 …" and "0041 79 …"
// are one recipient.
//
// A report may come before the log row of its message is stored (the
// centre answers faster than the disk commits): one that no part awaits
// is kept for a while and tried again as rows are logged.
class Inbound : public QObject, public StopCheck, public IncomingSink
{
    Q_OBJECT

public:
    Inbound(const QString &databasePath, const Clock *clock, QObject *parent = nullptr);
    ~Inbound() override;

    // The form in which numbers are compared: E.164 where libphonenumber
    // knows the number (Swiss without a country code), else its digits.
    static QString numberKey(const QString &number);

    // Stores a received message; true once it is committed. A text that
    // asks to stop puts the sender on the stop list as well.
    bool receive(const QString &sender, const QString &text, const QDateTime &sentAt,
                 bool incomplete = false);
    // A delivery report for the part sent to recipient with this reference.
    // False only when it could not be stored; a report no part awaits is
    // dropped and counts as handled.
    bool report(const QString &recipient, const QString &reference, DeliveryState state,
                const QDateTime &at, const QString &detail);

    // What the dialogues hand in.
    bool storeMessage(const ReceivedMessage &message) override;
    bool storeReport(const DeliveryReport &report) override;
    // Tries the reports kept unmatched again (a log row was stored);
    // those kept longer than keepUnmatchedMs are dropped.
    void retryUnmatched();
    static constexpr qint64 keepUnmatchedMs = 60 * 60 * 1000;
    qsizetype unmatchedCount() const { return m_unmatched.size(); }

    int unreadCount() const { return m_unread; }
    // Reads the count again (another window marked or removed messages).
    void refreshUnread();

    // When and why the number is on the stop list; an entry without key when
    // it is not.
    StopEntry stopEntry(const QString &number) const;
    QDateTime stoppedSince(const QString &number) const override;
    QStringList withoutStopped(const QStringList &numbers) const override;

Q_SIGNALS:
    void received(qint64 id);
    void unreadChanged(int count);
    // The delivery state of the log row changed.
    void deliveryChanged(qint64 logRow);
    // Daten.mdb refused to store or read, in German.
    void failed(const QString &message);

private:
    bool ready();
    bool fail(const QString &error);
    // The log row the report was stored for, 0 when no part awaits it,
    // nothing when it could not be stored.
    std::optional<qint64> match(const DeliveryReport &report);

    std::unique_ptr<StoreConnection> m_connection;
    std::unique_ptr<Inbox> m_inbox;
    std::unique_ptr<StopList> m_stopList;
    std::unique_ptr<Deliveries> m_deliveries;
    const Clock *m_clock;
    bool m_prepared = false;
    int m_unread = 0;
    struct Unmatched
    {
        DeliveryReport report;
        QDateTime keptSince;
    };
    QList<Unmatched> m_unmatched;
};
