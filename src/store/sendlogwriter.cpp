#include "sendlogwriter.h"

#include "pendingmessages.h"
#include "sendlog.h"
#include "storeconnection.h"
#include "storetransaction.h"

#include <QSqlError>
#include <memory>

using namespace Qt::StringLiterals;

// Owns the writer's connection. A database connection may only be used on
// the thread that opened it, so the connection is opened, used and closed
// on the writer's thread only.
class SendLogWorker : public QObject
{
public:
    explicit SendLogWorker(QString path) : m_path(std::move(path)) {}

    bool open(QString *error)
    {
        if (!m_connection) {
            m_connection = std::make_unique<StoreConnection>(m_path, u"VersandLog-Schreiber"_s);
            if (!m_connection->isOpen()) {
                *error = m_connection->lastError();
                m_connection.reset(); // opened anew for the next row
                return false;
            }
        }
        return true;
    }

    bool mark(qint64 pendingId, PendingMessage::Submitted how, QString *error)
    {
        if (!open(error))
            return false;
        PendingMessages pending(m_connection->database());
        if (pending.markSubmitted(pendingId, how))
            return true;
        *error = pending.lastError();
        return false;
    }

    bool write(const LogRow &row, qint64 pendingId, const QString &rest, QString *error)
    {
        if (!open(error))
            return false;
        QSqlDatabase db = m_connection->database();
        StoreTransaction transaction(db);
        if (!transaction.isActive()) {
            *error = transaction.error();
            return false;
        }
        SendLog log(db);
        PendingMessages pending(db);
        if (!log.append(row.versandDatum.toDate(), row.versandZeit.toTime(), row.mobilNummer,
                        row.nachricht, row.versandt)) {
            *error = log.lastError();
        } else if (pendingId != 0 &&
                   (rest.isNull() ? !pending.removeInTransaction(pendingId)
                                  : !pending.keepRestInTransaction(pendingId, rest))) {
            *error = pending.lastError();
        } else if (!transaction.commit()) {
            *error = transaction.error();
        } else {
            return true;
        }
        return false; // rolled back as the transaction goes out of scope
    }

private:
    QString m_path;
    std::unique_ptr<StoreConnection> m_connection;
};

SendLogWriter::SendLogWriter(const QString &databasePath, QObject *parent)
    : QObject(parent), m_worker(new SendLogWorker(databasePath))
{
    m_thread.setObjectName(u"VersandLog-Schreiber"_s);
    m_worker->moveToThread(&m_thread);
    // Deferred deletes still run on the thread after its loop has ended.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

SendLogWriter::~SendLogWriter()
{
    // Queued behind the rows handed in, so these are written first. Waiting
    // here costs at most the commits still pending, once, when the program
    // ends; not waiting could lose a row.
    QMetaObject::invokeMethod(
        m_worker, [this] { m_thread.quit(); }, Qt::QueuedConnection);
    m_thread.wait();
}

quint64 SendLogWriter::append(const QDate &date, const QTime &time, const QString &recipient,
                              const QString &nachricht, const QString &versandt, qint64 pendingId,
                              const QString &rest)
{
    const quint64 ticket = ++m_lastTicket;
    const LogRow row{date, time, recipient, nachricht, versandt};
    QMetaObject::invokeMethod(
        m_worker,
        [this, row, ticket, pendingId, rest] {
            QString error;
            const bool ok = m_worker->write(row, pendingId, rest, &error);
            // Emitted on the writer's thread: receivers on the caller's
            // thread get it queued.
            Q_EMIT written(ticket, ok, error);
        },
        Qt::QueuedConnection);
    return ticket;
}

quint64 SendLogWriter::markSubmitted(qint64 pendingId, PendingMessage::Submitted how)
{
    const quint64 ticket = ++m_lastTicket;
    QMetaObject::invokeMethod(
        m_worker,
        [this, ticket, pendingId, how] {
            QString error;
            const bool ok = m_worker->mark(pendingId, how, &error);
            Q_EMIT marked(ticket, ok, error);
        },
        Qt::QueuedConnection);
    return ticket;
}
