#include "rowscan.h"

#include <QSqlError>
#include <QSqlQuery>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

int rowsPerQuery = RowScan::kRowsPerQuery;
qint64 sliceNanoseconds = RowScan::kSliceNanoseconds;

} // namespace

RowScan::RowScan(QSqlDatabase db, QString sql, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_next(new QTimer(this)), m_sql(std::move(sql))
{
    m_next->setSingleShot(true);
    m_next->setInterval(1);
    connect(m_next, &QTimer::timeout, this, &RowScan::runSlice);
}

void RowScan::setSlicing(int rows, qint64 nanoseconds)
{
    rowsPerQuery = std::max(1, rows);
    sliceNanoseconds = nanoseconds;
}

void RowScan::setQuery(QString sql, Test test)
{
    m_sql = std::move(sql);
    m_test = std::move(test);
}

void RowScan::start()
{
    m_next->stop();
    ++m_generation;
    m_after = std::numeric_limits<qint64>::min();
    m_failed = false;
    runSlice();
}

bool RowScan::finishNow()
{
    // Each slice starts the timer again until the last one (or a failure).
    while (m_next->isActive()) {
        m_next->stop();
        runSlice();
    }
    return !m_failed;
}

void RowScan::fail(const QString &error)
{
    m_failed = true;
    Q_EMIT failed(error);
}

void RowScan::runSlice()
{
    QElapsedTimer slice;
    slice.start();
    QList<qint64> passed;
    bool atEnd = false;
    do {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(m_sql))
            return fail(query.lastError().text());
        query.bindValue(u":after"_s, m_after);
        query.bindValue(u":limit"_s, rowsPerQuery);
        if (!query.exec())
            return fail(query.lastError().text());
        int rows = 0;
        while (query.next()) {
            ++rows;
            m_after = query.value(0).toLongLong();
            if (!m_test || m_test(query))
                passed.append(m_after);
        }
        if (query.lastError().isValid())
            return fail(query.lastError().text());
        atEnd = rows < rowsPerQuery;
    } while (!atEnd && slice.nsecsElapsed() < sliceNanoseconds);

    // A receiver of found() may start the scan over; that scan goes on.
    const quint64 generation = m_generation;
    if (!passed.isEmpty())
        Q_EMIT found(passed);
    if (generation != m_generation)
        return;
    if (atEnd)
        Q_EMIT finished();
    else
        m_next->start();
}
