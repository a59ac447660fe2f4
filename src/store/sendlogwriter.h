#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTime>

class SendLogWorker;

// Appends rows to VersandLog on a thread of its own, through a connection of
// its own, so that the commit (tens of milliseconds on a slow disk) never
// holds up the event loop of the caller. Rows are written one after another
// in the order they were handed in; each one is answered by written(), on
// the caller's thread, once it is stored or has failed. A row may take the
// queued message's row of PendingMessages with it: both go in one
// transaction, so a crash leaves the message either logged or still queued,
// never both and never neither.
class SendLogWriter : public QObject
{
    Q_OBJECT

public:
    explicit SendLogWriter(const QString &databasePath, QObject *parent = nullptr);
    // Returns only after the rows handed in so far have been written.
    ~SendLogWriter() override;

    // Hands in one row; returns the number that written() reports for it.
    // pendingId, when not 0, is the row of PendingMessages deleted with it.
    quint64 append(const QDate &date, const QTime &time, const QString &mobilNummer,
                   const QString &nachricht, const QString &versandt, qint64 pendingId = 0);

Q_SIGNALS:
    // error is the database's message when ok is false.
    void written(quint64 ticket, bool ok, const QString &error);

private:
    QThread m_thread;
    SendLogWorker *m_worker; // lives on m_thread
    quint64 m_lastTicket = 0;
};
