#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QTimer>
#include <functional>

class QSqlQuery;

// Finds the rowids of a table's rows that pass a test, in rowid order, a
// slice at a time from the event loop, so that a window on a million rows
// shows its first lines at once and stays usable while the rest is found.
//
// Each slice runs queries of its own that are finished before control goes
// back to the event loop: no read stays open on the file while the send log
// writer commits.
class RowScan : public QObject
{
    Q_OBJECT

public:
    // The query selects the rowid first, then whatever the test reads, of
    // the rows with rowid > :after, ORDER BY rowid LIMIT :limit. It is fixed
    // text; values go in bound.
    using Test = std::function<bool(const QSqlQuery &)>;

    RowScan(QSqlDatabase db, QString sql, QObject *parent = nullptr);

    // Another query (and test) for the next start(); rows pass unless a
    // test is set.
    void setQuery(QString sql, Test test = {});
    // Starts over from the first row; a scan under way is dropped. The first
    // slice runs before this returns.
    void start();
    // Runs the rest of a scan under way before it returns, for a caller that
    // needs every row now (a bulk run, an export). False when the scan has
    // failed, now or earlier: the rows found are then only a part.
    bool finishNow();

    // Rows per query and the time a slice may take: small enough that a
    // keystroke waits no longer than a frame, large enough that a million
    // rows take few slices.
    static constexpr int kRowsPerQuery = 4096;
    static constexpr qint64 kSliceNanoseconds = 15'000'000;
    // Other limits for every scan started afterwards; tests make slices
    // small to see lines arrive in several. No arguments: the defaults.
    static void setSlicing(int rowsPerQuery = kRowsPerQuery,
                           qint64 sliceNanoseconds = kSliceNanoseconds);

Q_SIGNALS:
    // The rows of a slice that passed (never empty), in rowid order.
    void found(const QList<qint64> &rowids);
    void finished();
    void failed(const QString &error);

private:
    void runSlice();
    void fail(const QString &error);

    QSqlDatabase m_db;
    // The next slice comes from a 1-ms timer: a posted call or a zero timer
    // would run before the other timers of the program (the list's repaint,
    // the send engine) and starve them until the scan ends; the list would
    // stay blank meanwhile.
    QTimer *m_next;
    QString m_sql;
    Test m_test;
    qint64 m_after = 0;
    bool m_failed = false;    // since the last start
    quint64 m_generation = 0; // counts the starts
};
