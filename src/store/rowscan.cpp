#include "rowscan.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

int rowsPerQuery = RowScan::kRowsPerQuery;
qint64 sliceNanoseconds = RowScan::kSliceNanoseconds;

} // namespace

RowScan::RowScan(QSqlDatabase db, QString sql, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_sql(std::move(sql))
{}

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
    ++m_generation;
    m_after = std::numeric_limits<qint64>::min();
    m_running = true;
    runSlice(m_generation);
}

void RowScan::cancel()
{
    ++m_generation;
    m_running = false;
}

void RowScan::runSlice(quint64 generation)
{
    // A slice queued for a scan that has since been restarted or cancelled.
    if (generation != m_generation || !m_running)
        return;
    QElapsedTimer slice;
    slice.start();
    QList<qint64> passed;
    bool atEnd = false;
    do {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(m_sql)) {
            m_running = false;
            Q_EMIT failed(query.lastError().text());
            return;
        }
        query.bindValue(u":after"_s, m_after);
        query.bindValue(u":limit"_s, rowsPerQuery);
        if (!query.exec()) {
            m_running = false;
            Q_EMIT failed(query.lastError().text());
            return;
        }
        int rows = 0;
        while (query.next()) {
            ++rows;
            m_after = query.value(0).toLongLong();
            if (!m_test || m_test(query))
                passed.append(m_after);
        }
        if (query.lastError().isValid()) {
            m_running = false;
            Q_EMIT failed(query.lastError().text());
            return;
        }
        atEnd = rows < rowsPerQuery;
    } while (!atEnd && slice.nsecsElapsed() < sliceNanoseconds);

    if (!passed.isEmpty())
        Q_EMIT found(passed);
    // A receiver of found() may have cancelled or restarted the scan.
    if (generation != m_generation)
        return;
    if (atEnd) {
        m_running = false;
        Q_EMIT finished();
        return;
    }
    QTimer::singleShot(0, this, [this, generation] { runSlice(generation); });
}
