#include "addresslist.h"
#include "pendingmessages.h"
#include "rowscan.h"
#include "sendlog.h"
#include "sendlogwriter.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

int rowCount(const QString &path, const QString &table)
{
    return TestDb::scalar(path, u"SELECT COUNT(*) FROM "_s + table).toInt();
}

QString idsOf(const QList<PendingMessage> &rows)
{
    QStringList ids;
    for (const PendingMessage &row : rows)
        ids << QString::number(row.id);
    return ids.join(u' ');
}

} // namespace

class TestSendLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendAndReadBackInOrder()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        StoreConnection connection(path, u"test"_s);
        SendLog log(connection.database());
        const QDate day(2026, 12, 6);
        QVERIFY(log.append(day, QTime(23, 59, 59), u"0791234567"_s, u"abc"_s, u"OK"_s));
        // Two rows in the same second are two rows.
        QVERIFY(log.append(day, QTime(23, 59, 59), u"0791234567"_s, u"abc"_s, u"OK"_s));
        QVERIFY(log.append(day.addDays(1), QTime(0, 0, 1), u"078"_s, u"x\r\ny"_s, u"NACK 06"_s));

        const QList<LogRow> rows = log.readAll();
        QVERIFY2(log.lastError().isEmpty(), qPrintable(log.lastError()));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).versandDatum.toString(), u"2026-12-06"_s);
        QCOMPARE(rows.at(0).versandZeit.toString(), u"23:59:59"_s);
        QCOMPARE(rows.at(2).nachricht, u"x\r\ny"_s);
        QCOMPARE(rows.at(2).versandt, u"NACK 06"_s);
        QCOMPARE(rows.at(2).versandDatum.toString(), u"2026-12-07"_s);
    }

    void failsWithoutTable()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        QVERIFY(TestDb::exec(path, u"DROP TABLE VersandLog"_s));
        StoreConnection connection(path, u"test"_s);
        SendLog log(connection.database());
        QVERIFY(!log.append(QDate(2026, 1, 1), QTime(1, 2, 3), u"1"_s, u"a"_s, u"OK"_s));
        QVERIFY2(log.lastError().contains(u"no such table: VersandLog"_s),
                 qPrintable(log.lastError()));
        QVERIFY(log.readAll().isEmpty());
        QVERIFY(!log.lastError().isEmpty());
        AddressList persons(connection.database());
        QVERIFY(TestDb::exec(path, u"DROP TABLE Adressen"_s));
        QVERIFY(!persons.readByRowid({1}));
        QVERIFY(!persons.lastError().isEmpty());
    }

    // The writer stores rows on its own thread, in the order handed in, and
    // answers each; rows handed in right before it ends are stored too.
    void writerInOrderAndBeforeItEnds()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        auto writer = std::make_unique<SendLogWriter>(path);
        QVariantList written; // "ticket ok error", as this thread gets them
        QObject receiver;
        connect(writer.get(), &SendLogWriter::written, &receiver,
                [&](quint64 t, bool ok, QString e) {
                    written.append(u"%1 %2 %3"_s.arg(t).arg(ok).arg(e));
                });
        const QDate day(2026, 12, 6);
        QCOMPARE(writer->append(day, QTime(8, 0), u"0791"_s, u"eins"_s, u"OK"_s), 1u);
        QCOMPARE(writer->append(day, QTime(8, 1), u"0792"_s, u"zwei"_s, u"NACK 06"_s), 2u);
        QTRY_COMPARE(written, (QVariantList{u"1 1 "_s, u"2 1 "_s}));
        for (int i = 0; i < 20; ++i)
            writer->append(day, QTime(9, 0), u"0793"_s, QString::number(i), u"OK"_s);
        writer.reset();

        StoreConnection connection(path, u"test"_s);
        const QList<LogRow> rows = SendLog(connection.database()).readAll();
        QCOMPARE(rows.size(), 22);
        QCOMPARE(rows.at(1).versandZeit.toString() + u' ' + rows.at(1).versandt,
                 u"08:01:00 NACK 06"_s);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(rows.at(2 + i).nachricht, QString::number(i));
    }

    void writerReportsFailure()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        QVERIFY(TestDb::exec(path, u"DROP TABLE VersandLog"_s));
        SendLogWriter writer(path);
        QString error;
        QObject receiver;
        connect(&writer, &SendLogWriter::written, &receiver,
                [&](quint64, bool ok, const QString &text) { error = ok ? u"-"_s : text; });
        writer.append(QDate(2026, 1, 1), QTime(1, 2, 3), u"1"_s, u"a"_s, u"OK"_s);
        QTRY_VERIFY(!error.isEmpty());
        QVERIFY2(error.contains(u"no such table: VersandLog"_s), qPrintable(error));
    }

    void pendingTable_data()
    {
        QTest::addColumn<QString>("before"); // SQL run on the file of another tool
        QTest::addColumn<bool>("usable");
        QTest::addColumn<int>("rows");
        QTest::newRow("file without the table") << QString() << true << 0;
        QTest::newRow("table with rows")
            << u"CREATE TABLE PendingMessages (Id INTEGER PRIMARY KEY, MobileNumber TEXT NOT "
               u"NULL, Message TEXT NOT NULL, CallBackNumber TEXT NOT NULL); INSERT INTO "
               u"PendingMessages VALUES (4, '079', 'a', '')"_s
            << true << 1;
        QTest::newRow("another table of the name")
            << u"CREATE TABLE PendingMessages (Id INTEGER, Nummer TEXT)"_s << false << 0;
    }
    void pendingTable()
    {
        QFETCH(QString, before);
        QFETCH(bool, usable);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        for (const QString &statement : before.split(u"; "_s, Qt::SkipEmptyParts))
            QVERIFY(TestDb::exec(path, statement));
        StoreConnection connection(path, u"test"_s);
        PendingMessages table(connection.database());
        QCOMPARE(table.prepareTable(), usable);
        QCOMPARE(table.prepareTable(), usable); // a second start finds it there
        if (!usable) {
            QVERIFY2(table.lastError().contains(u"\"MobileNumber\""_s),
                     qPrintable(table.lastError()));
            return;
        }
        // A table written before messages were marked gets the column; its
        // rows count as never submitted.
        const std::optional<QList<PendingMessage>> read = table.readAll();
        QVERIFY2(read, qPrintable(table.lastError()));
        QCOMPARE(read->size(), rows);
        for (const PendingMessage &row : *read)
            QCOMPARE(row.submitted, PendingMessage::Submitted::No);
        // The rest of the file is left as it was.
        QCOMPARE(rowCount(path, u"Fremd"_s), 0);
        QCOMPARE(rowCount(path, u"Einstellungen"_s), 1);
    }

    void pendingRowsAllOrNoneInIdOrder()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        StoreConnection connection(path, u"test"_s);
        PendingMessages table(connection.database());
        QVERIFY(table.prepareTable());
        QVERIFY(table.insert({{5, u"0795"_s, u"fünf\r\nzwei Zeilen"_s, QString()},
                              {2, u"0792"_s, u"zwei"_s, u"076"_s}}));
        QVERIFY(table.insert({{9, u"0799"_s, u"neun"_s, QString()}}));
        // One id taken: the whole batch stays out.
        QVERIFY(!table.insert({{3, u"0793"_s, u"drei"_s, QString()}, {9, u"0799"_s, u"x"_s, {}}}));
        QVERIFY(!table.lastError().isEmpty());
        std::optional<QList<PendingMessage>> rows = table.readAll();
        QVERIFY(rows);
        QCOMPARE(idsOf(*rows), u"2 5 9"_s);
        QCOMPARE(rows->at(1).message, u"fünf\r\nzwei Zeilen"_s);
        QCOMPARE(rows->at(0).callBackNumber, u"076"_s);
        // An empty call-back number is stored as empty text, never NULL.
        QVERIFY(!rows->at(1).callBackNumber.isNull());
        QVERIFY(table.remove({5, 42}));
        QCOMPARE(idsOf(*table.readAll()), u"2 9"_s);
    }

    // The log row and the queued message's row go in one transaction: when
    // either cannot be written, neither changes.
    void writerTakesQueuedRowAlong_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<qint64>("pendingId");
        QTest::addColumn<bool>("ok");
        QTest::newRow("both") << QString() << qint64(7) << true;
        QTest::newRow("message not stored") << QString() << qint64(0) << true;
        QTest::newRow("log row refused") << u"CREATE TRIGGER full BEFORE INSERT ON VersandLog "
                                            u"BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s
                                         << qint64(7) << false;
        QTest::newRow("queued row refused")
            << u"CREATE TRIGGER full BEFORE DELETE ON PendingMessages "
               u"BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s
            << qint64(7) << false;
    }
    void writerTakesQueuedRowAlong()
    {
        QFETCH(QString, trigger);
        QFETCH(qint64, pendingId);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        QVERIFY(TestDb::storePending(path, {{7, u"0797"_s, u"sieben"_s, QString()}}));
        if (!trigger.isEmpty())
            QVERIFY(TestDb::exec(path, trigger));
        SendLogWriter writer(path);
        QString result;
        QObject receiver;
        connect(&writer, &SendLogWriter::written, &receiver,
                [&](quint64, bool written, const QString &error) {
                    result = written ? u"ok"_s : error;
                });
        writer.append(QDate(2026, 1, 1), QTime(1, 2, 3), u"0797"_s, u"sieben"_s, u"OK"_s,
                      pendingId);
        QTRY_VERIFY(!result.isEmpty());
        QCOMPARE(result == u"ok"_s, ok);
        if (!ok)
            QVERIFY2(result.contains(u"disk full"_s), qPrintable(result));
        QCOMPARE(rowCount(path, u"VersandLog"_s), ok ? 1 : 0);
        QCOMPARE(rowCount(path, u"PendingMessages"_s), ok && pendingId != 0 ? 0 : 1);
    }

    // Rows and marks handed in together are written in their order, each
    // answered for itself: a row that cannot be stored fails alone, and
    // nothing is answered as stored that is not. The expected reports go
    // in with their log row (the table is made when first needed).
    void writerGroup_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("deliveries");
        QTest::addColumn<QString>("pending"); // "id:Submitted" of the rows left
        QTest::newRow("all stored") << QString() << u"1 2 3 4"_s << u"eins zwei drei"_s
                                    << u"1 0 k1 r1, 1 1 k1 r2, 3 0 k3 r3"_s << QString();
        QTest::newRow("one row refused")
            << u"CREATE TRIGGER full BEFORE INSERT ON VersandLog WHEN NEW.Nachricht = 'zwei' "
               u"BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s
            << u"1 2 3:disk full 4"_s << u"eins drei"_s << u"1 0 k1 r1, 1 1 k1 r2, 2 0 k3 r3"_s
            << QString();
        QTest::newRow("reports refused: row and message stay")
            << u"CREATE TRIGGER full BEFORE INSERT ON Deliveries WHEN NEW.Reference = 'r3' "
               u"BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s
            << u"1 2 3 4:disk full"_s << u"eins zwei"_s << u"1 0 k1 r1, 1 1 k1 r2"_s << u"8:1"_s;
    }
    void writerGroup()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, answers);
        QFETCH(QString, logged);
        QFETCH(QString, deliveries);
        QFETCH(QString, pending);
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        QVERIFY(TestDb::storePending(
            path, {{7, u"0797"_s, u"eins"_s, QString()}, {8, u"0798"_s, u"drei"_s, QString()}}));
        if (trigger.contains(u"Deliveries"_s)) {
            StoreConnection connection(path, u"prepare"_s);
            QVERIFY(Deliveries(connection.database()).prepareTable());
        }
        if (!trigger.isEmpty())
            QVERIFY(TestDb::exec(path, trigger));
        SendLogWriter writer(path);
        QStringList answered;
        QObject receiver;
        const auto answer = [&](quint64 ticket, bool ok, const QString &error) {
            answered.append(QString::number(ticket) +
                            (ok ? QString() : u':' + error.section(u' ', 0, 1)));
        };
        connect(&writer, &SendLogWriter::written, &receiver, answer);
        connect(&writer, &SendLogWriter::marked, &receiver, answer);
        const QDate day(2026, 12, 7);
        writer.append(day, QTime(8, 0), u"0797"_s, u"eins"_s, u"OK"_s, 7, QString(),
                      {{0, u"k1"_s, u"r1"_s}, {1, u"k1"_s, u"r2"_s}});
        writer.markSubmitted(8, PendingMessage::Submitted::Whole);
        writer.append(day, QTime(8, 1), u"0799"_s, u"zwei"_s, u"OK"_s);
        writer.append(day, QTime(8, 2), u"0798"_s, u"drei"_s, u"OK"_s, 8, QString(),
                      {{0, u"k3"_s, u"r3"_s}});
        QTRY_COMPARE(answered.size(), 4);
        answered.sort(); // written and marked come by two signals
        QCOMPARE(answered.join(u' '), answers);
        QCOMPARE(TestDb::scalar(path, u"SELECT group_concat(Nachricht, ' ') FROM VersandLog"_s)
                     .toString(),
                 logged);
        QCOMPARE(TestDb::scalar(path, u"SELECT group_concat(LogRow || ' ' || Part || ' ' || "
                                      u"RecipientKey || ' ' || Reference, ', ') FROM Deliveries"_s)
                     .toString(),
                 deliveries);
        QCOMPARE(TestDb::scalar(path, u"SELECT group_concat(Id || ':' || Submitted, ' ') FROM "
                                      u"PendingMessages"_s)
                     .toString(),
                 pending);
    }

    void personsInTableOrderWithNulls()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        const qint64 first = TestDb::addPerson(path, u"Meier"_s, u"079"_s);
        TestDb::addPerson(path, QVariant(), QVariant());
        TestDb::addPerson(path, u"Huber-Keller"_s, u""_s);
        StoreConnection connection(path, u"test"_s);
        AddressList list(connection.database());
        QList<Person> persons;
        QVERIFY2(list.readBetween(AddressList::Listing::Everyone, 0, first + 10,
                                  [&persons](qint64, const Person &person) { persons << person; }),
                 qPrintable(list.lastError()));
        QCOMPARE(persons.size(), 3);
        QCOMPARE(persons.at(0).dsNummer, first);
        QVERIFY(persons.at(1).name.isNull());
        QVERIFY(persons.at(1).natelNummer.isNull());
        QCOMPARE(persons.at(2).name.toString(), u"Huber-Keller"_s);
    }

    // A scan of many slices hands every matching rowid over once and in
    // order, and leaves the other timers of the program their turn between
    // slices (a list's repaint, the send engine's tick).
    void scanInSlices()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        QList<qint64> withNumber;
        for (int i = 0; i < 60; ++i) {
            const qint64 key = TestDb::addPerson(path, u"P"_s, i % 3 == 0 ? u"-"_s : u"079"_s);
            if (i % 3 != 0)
                withNumber.append(key);
        }
        StoreConnection connection(path, u"test"_s);
        RowScan::setSlicing(1, 0);
        const auto restore = qScopeGuard([] { RowScan::setSlicing(); });
        RowScan scan(connection.database(), AddressList::scanSql(AddressList::Listing::WithNumber));
        QList<qint64> found;
        int slices = 0;
        connect(&scan, &RowScan::found, this, [&](const QList<qint64> &rowids) {
            found += rowids;
            ++slices;
        });
        QSignalSpy finished(&scan, &RowScan::finished);
        bool tickedBeforeTheEnd = false;
        QTimer tick;
        tick.setSingleShot(true);
        connect(&tick, &QTimer::timeout, this, [&] { tickedBeforeTheEnd = finished.isEmpty(); });
        tick.start(5);
        scan.start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(found, withNumber);
        QCOMPARE(slices, withNumber.size());
        QVERIFY(tickedBeforeTheEnd);
    }
};

QTEST_GUILESS_MAIN(TestSendLog)
#include "tst_sendlog.moc"
