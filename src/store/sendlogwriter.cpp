#include "sendlogwriter.h"

#include "pendingmessages.h"
#include "sendlog.h"
#include "storeconnection.h"
#include "storetransaction.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

// A row or a mark as handed in, with the ticket that answers it.
struct WriterJob
{
    enum class Kind { Row, Mark };
    Kind kind = Kind::Row;
    quint64 ticket = 0;
    LogRow row;
    qint64 pendingId = 0;
    QString rest;
    QList<ExpectedReport> reports;
    PendingMessage::Submitted how = PendingMessage::Submitted::No;
};

// Owns the writer's connection. A database connection may only be used on
// the thread that opened it, so the connection is opened, used and closed
// on the writer's thread only. Jobs are collected as their events arrive
// and written by the next drain(), which comes after the events already
// waiting: all that arrived while the last transaction ran go together.
class SendLogWorker : public QObject
{
public:
    using Answer = std::function<void(const WriterJob &, bool, const QString &)>;

    SendLogWorker(QString path, Answer answer)
        : m_path(std::move(path)), m_answer(std::move(answer))
    {}

    void add(const QList<WriterJob> &jobs)
    {
        m_jobs.append(jobs);
        if (std::exchange(m_drainPosted, true))
            return;
        QMetaObject::invokeMethod(this, &SendLogWorker::drain, Qt::QueuedConnection);
    }

    void drain()
    {
        m_drainPosted = false;
        const QList<WriterJob> group = std::exchange(m_jobs, {});
        if (group.isEmpty())
            return;
        QString error;
        if (write(group, &error) || group.size() == 1) {
            for (const WriterJob &job : group)
                m_answer(job, error.isEmpty(), error);
            return;
        }
        // One bad row must not cost the others theirs: each alone now, so
        // that each answer tells of its own row.
        for (const WriterJob &job : group) {
            QString own;
            const bool ok = write({job}, &own);
            m_answer(job, ok, own);
        }
    }

    void setCommitDelay(int ms) { m_commitDelayMs = ms; }

private:
    bool open(QString *error)
    {
        if (!m_connection) {
            m_connection = std::make_unique<StoreConnection>(m_path, u"VersandLog-Schreiber"_s);
            m_deliveriesReady = false;
            if (!m_connection->isOpen()) {
                *error = m_connection->lastError();
                m_connection.reset(); // opened anew for the next row
                return false;
            }
        }
        return true;
    }

    // One transaction for the whole group: all of it is stored, or none.
    bool write(const QList<WriterJob> &group, QString *error)
    {
        error->clear();
        if (!open(error))
            return false;
        QSqlDatabase db = m_connection->database();
        const bool reportsAwaited = std::any_of(
            group.cbegin(), group.cend(), [](const auto &job) { return !job.reports.isEmpty(); });
        if (reportsAwaited && !m_deliveriesReady) {
            Deliveries deliveries(db);
            if (!deliveries.prepareTable()) {
                *error = deliveries.lastError();
                return false;
            }
            m_deliveriesReady = true;
        }
        StoreTransaction transaction(db);
        if (!transaction.isActive()) {
            *error = transaction.error();
            return false;
        }
        for (const WriterJob &job : group) {
            if (!(job.kind == WriterJob::Kind::Row ? writeRow(db, job, error)
                                                   : writeMark(db, job, error)))
                return false; // rolled back as the transaction goes out of scope
        }
        if (!transaction.commit()) {
            *error = transaction.error();
            return false;
        }
        if (const int delay = m_commitDelayMs.load(); delay > 0)
            QThread::msleep(ulong(delay));
        return true;
    }

    static bool writeRow(QSqlDatabase db, const WriterJob &job, QString *error)
    {
        SendLog log(db);
        PendingMessages pending(db);
        const LogRow &row = job.row;
        if (!log.append(row.versandDatum.toDate(), row.versandZeit.toTime(), row.mobilNummer,
                        row.nachricht, row.versandt)) {
            *error = log.lastError();
            return false;
        }
        const qint64 logRow = log.lastAppended();
        if (job.pendingId != 0 &&
            (job.rest.isNull() ? !pending.removeInTransaction(job.pendingId, logRow)
                               : !pending.keepRestInTransaction(job.pendingId, job.rest, logRow))) {
            *error = pending.lastError();
            return false;
        }
        if (job.reports.isEmpty())
            return true;
        Deliveries deliveries(db);
        if (!deliveries.expectInTransaction(logRow, job.reports)) {
            *error = deliveries.lastError();
            return false;
        }
        return true;
    }

    static bool writeMark(QSqlDatabase db, const WriterJob &job, QString *error)
    {
        PendingMessages pending(db);
        if (pending.markSubmitted(job.pendingId, job.how))
            return true;
        *error = pending.lastError();
        return false;
    }

    QString m_path;
    Answer m_answer;
    std::unique_ptr<StoreConnection> m_connection;
    bool m_deliveriesReady = false; // the table Deliveries exists on this connection
    QList<WriterJob> m_jobs;
    bool m_drainPosted = false;
    std::atomic<int> m_commitDelayMs = 0;
};

SendLogWriter::SendLogWriter(const QString &databasePath, QObject *parent)
    : QObject(parent),
      m_worker(new SendLogWorker(databasePath,
                                 [this](const WriterJob &job, bool ok, const QString &error) {
                                     // Emitted on the writer's thread: receivers
                                     // on the caller's thread get it queued.
                                     if (job.kind == WriterJob::Kind::Row)
                                         Q_EMIT written(job.ticket, ok, error);
                                     else
                                         Q_EMIT marked(job.ticket, ok, error);
                                 }))
{
    m_thread.setObjectName(u"VersandLog-Schreiber"_s);
    m_worker->moveToThread(&m_thread);
    // Deferred deletes still run on the thread after its loop has ended.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

SendLogWriter::~SendLogWriter()
{
    // Queued behind the rows handed in, so these are collected first and
    // written here. Waiting costs at most the commits still pending, once,
    // when the program ends; not waiting could lose a row.
    QMetaObject::invokeMethod(
        m_worker,
        [this, jobs = std::exchange(m_handedIn, {})] {
            m_worker->add(jobs);
            m_worker->drain();
            m_thread.quit();
        },
        Qt::QueuedConnection);
    m_thread.wait();
}

quint64 SendLogWriter::append(const QDate &date, const QTime &time, const QString &recipient,
                              const QString &nachricht, const QString &versandt, qint64 pendingId,
                              const QString &rest, const QList<ExpectedReport> &reports)
{
    WriterJob job;
    job.ticket = ++m_lastTicket;
    job.row = LogRow{date, time, recipient, nachricht, versandt};
    job.pendingId = pendingId;
    job.rest = rest;
    job.reports = reports;
    handIn(std::move(job));
    return m_lastTicket;
}

quint64 SendLogWriter::markSubmitted(qint64 pendingId, PendingMessage::Submitted how)
{
    WriterJob job;
    job.kind = WriterJob::Kind::Mark;
    job.ticket = ++m_lastTicket;
    job.pendingId = pendingId;
    job.how = how;
    handIn(std::move(job));
    return m_lastTicket;
}

void SendLogWriter::handIn(WriterJob job)
{
    // What is handed in during one pass of the caller's event loop reaches
    // the writer's thread at once: the answers to one group free several
    // entries together, and their marks and rows then share one commit
    // instead of the first going alone.
    m_handedIn.append(std::move(job));
    if (m_handedIn.size() > 1)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            QMetaObject::invokeMethod(
                m_worker, [this, jobs = std::exchange(m_handedIn, {})] { m_worker->add(jobs); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void SendLogWriter::setCommitDelayForTesting(int ms)
{
    m_worker->setCommitDelay(ms);
}
