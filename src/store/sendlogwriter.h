#pragma once

#include "pendingmessages.h"
#include "twowaytables.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTime>

class SendLogWorker;
struct WriterJob;

// Appends rows to VersandLog on a thread of its own, through a connection of
// its own, so that the commit (tens of milliseconds on a slow disk) never
// holds up the event loop of the caller. Rows and marks are written in the
// order they were handed in; those handed in while a commit runs are written
// together in the next transaction, so a slow commit is paid once for many
// rows rather than once for each. Each one is answered by written() or
// marked(), on the caller's thread, once its transaction is stored or has
// failed; a group that fails is written again one by one, so each answer
// tells of its own row. A row may take the queued message's row of
// PendingMessages with it: both go in one transaction, so a crash leaves
// the message either logged or still queued, never both and never neither.
class SendLogWriter : public QObject
{
    Q_OBJECT

public:
    explicit SendLogWriter(const QString &databasePath, QObject *parent = nullptr);
    // Returns only after the rows handed in so far have been written.
    ~SendLogWriter() override;

    // Hands in one row; returns the number that written() reports for it.
    // pendingId, when not 0, is the row of PendingMessages deleted with it;
    // when rest is not null, the row stays with rest as its message (the
    // row logged is the first part of it). The parts in reports await their
    // delivery reports (table Deliveries, made when first needed), stored
    // with the log row in its transaction.
    quint64 append(const QDate &date, const QTime &time, const QString &recipient,
                   const QString &nachricht, const QString &versandt, qint64 pendingId = 0,
                   const QString &rest = QString(), const QList<ExpectedReport> &reports = {});
    // Marks the row pendingId of PendingMessages as going out, behind the
    // rows handed in before; answered by marked(). Its bytes may leave once
    // the mark is stored, so that a crash after they left is known at the
    // next start.
    quint64 markSubmitted(qint64 pendingId, PendingMessage::Submitted how);

    // Every commit takes this much longer, as on a busy disk (benchmarks).
    void setCommitDelayForTesting(int ms);

Q_SIGNALS:
    // error is the database's message when ok is false.
    void written(quint64 ticket, bool ok, const QString &error);
    void marked(quint64 ticket, bool ok, const QString &error);

private:
    void handIn(WriterJob job);

    QThread m_thread;
    SendLogWorker *m_worker; // lives on m_thread
    quint64 m_lastTicket = 0;
    QList<WriterJob> m_handedIn; // not yet passed to the writer's thread
};
