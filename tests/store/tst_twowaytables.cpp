#include "storeconnection.h"
#include "testdb.h"
#include "twowaytables.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime t0(QDate(2026, 12, 7), QTime(10, 0), Qt::OffsetFromUTC, 3600);

// A part's report as the test tables write it: "part:state" with state d
// (delivered), f (failed) or p (still trying), in the order they arrive.
using Reports = QStringList;

} // namespace

class TestTwoWayTables : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<StoreConnection> m_connection;

private Q_SLOTS:
    void init()
    {
        const QString path = TestDb::create(m_dir.path());
        m_connection = std::make_unique<StoreConnection>(path, u"twoway"_s);
    }
    void cleanup()
    {
        m_connection.reset();
        QFile::remove(m_dir.filePath(u"Daten.mdb"_s));
    }

    // A message of three parts: its state from the reports of its parts.
    void deliveryOfParts_data()
    {
        QTest::addColumn<Reports>("reports");
        QTest::addColumn<DeliveryState>("state");
        QTest::addColumn<int>("minutes"); // of the deciding report, -1 none
        QTest::addColumn<QString>("detail");
        using S = DeliveryState;
        QTest::newRow("no report yet") << Reports{} << S::Pending << -1 << QString();
        QTest::newRow("two of three delivered")
            << Reports{u"0:d"_s, u"2:d"_s} << S::Pending << -1 << QString();
        QTest::newRow("all delivered, out of order")
            << Reports{u"2:d"_s, u"0:d"_s, u"1:d"_s} << S::Delivered << 3 << QString();
        QTest::newRow("second part failed")
            << Reports{u"0:d"_s, u"1:f"_s, u"2:d"_s} << S::Failed << 2 << u"r1"_s;
        QTest::newRow("still trying keeps its reason")
            << Reports{u"0:d"_s, u"1:p"_s} << S::Pending << -1 << u"r1"_s;
        QTest::newRow("trying, then delivered")
            << Reports{u"1:p"_s, u"0:d"_s, u"1:d"_s, u"2:d"_s} << S::Delivered << 4 << QString();
    }
    void deliveryOfParts()
    {
        QFETCH(Reports, reports);
        QFETCH(DeliveryState, state);
        QFETCH(int, minutes);
        QFETCH(QString, detail);
        Deliveries deliveries(m_connection->database());
        QVERIFY2(deliveries.prepareTable(), qPrintable(deliveries.lastError()));
        QVERIFY(deliveries.expectInTransaction(
            7, {{0, u"41791"_s, u"10"_s}, {1, u"41791"_s, u"11"_s}, {2, u"41791"_s, u"12"_s}}));
        QVERIFY(deliveries.expectInTransaction(8, {{0, u"41792"_s, u"11"_s}}));
        int minute = 0;
        for (const QString &report : std::as_const(reports)) {
            const int part = report.section(u':', 0, 0).toInt();
            const QChar s = report.at(2);
            const DeliveryState reported = s == u'd'   ? DeliveryState::Delivered
                                           : s == u'f' ? DeliveryState::Failed
                                                       : DeliveryState::Pending;
            QCOMPARE(deliveries.report(u"41791"_s, QString::number(10 + part), reported,
                                       t0.addSecs(60 * ++minute), u"r%1"_s.arg(part)),
                     std::optional<qint64>(7));
        }
        const auto status = deliveries.statusOf({7, 8, 9});
        QVERIFY(status);
        QCOMPARE(status->keys().size(), 2); // row 9 was sent without a request
        QCOMPARE(status->value(7).state, state);
        QCOMPARE(status->value(7).at, minutes < 0 ? QDateTime() : t0.addSecs(60 * minutes));
        QCOMPARE(status->value(7).detail, detail);
        QCOMPARE(status->value(8).state, DeliveryState::Pending); // another recipient
    }

    // A GSM reference comes back after 256 messages: the part still waiting
    // is meant, and a reference nobody waits for is dropped.
    void reportMatching()
    {
        Deliveries deliveries(m_connection->database());
        QVERIFY(deliveries.prepareTable());
        QVERIFY(deliveries.expectInTransaction(1, {{0, u"41791"_s, u"5"_s}}));
        QVERIFY(deliveries.expectInTransaction(2, {{0, u"41791"_s, u"5"_s}}));
        QCOMPARE(deliveries.report(u"41791"_s, u"5"_s, DeliveryState::Delivered, t0, {}),
                 std::optional<qint64>(2));
        QCOMPARE(deliveries.report(u"41791"_s, u"5"_s, DeliveryState::Delivered, t0, {}),
                 std::optional<qint64>(1));
        QCOMPARE(deliveries.report(u"41791"_s, u"6"_s, DeliveryState::Delivered, t0, {}),
                 std::optional<qint64>(0));
        QCOMPARE(deliveries.report(u"41799"_s, u"5"_s, DeliveryState::Delivered, t0, {}),
                 std::optional<qint64>(0));
    }

    void inbox()
    {
        Inbox inbox(m_connection->database());
        QVERIFY(inbox.prepareTable());
        QVERIFY(inbox.prepareTable()); // a second start finds it made
        const auto first = inbox.append(
            {0, u"+41791234567"_s, u"Hallo\nzurück 😀"_s, t0, t0.addSecs(5), false, false, false});
        const auto second =
            inbox.append({0, u"Migros"_s, u"STOP"_s, t0, t0.addSecs(9), false, true, true});
        QVERIFY(first && second);
        QCOMPARE(inbox.idsNewestFirst().value_or(QList<qint64>()),
                 (QList<qint64>{*second, *first}));
        QCOMPARE(inbox.unreadCount(), std::optional<int>(2));
        QVERIFY(inbox.markRead({*first}));
        QCOMPARE(inbox.unreadCount(), std::optional<int>(1));
        const auto rows = inbox.readById({*first, *second, 99});
        QVERIFY(rows);
        QCOMPARE(rows->size(), 2);
        const InboxMessage one = rows->value(*first);
        QCOMPARE(one.text, u"Hallo\nzurück 😀"_s);
        QCOMPARE(one.sentAt, t0);
        QCOMPARE(one.sentAt.offsetFromUtc(), 3600);
        QVERIFY(one.read && !one.stopRequest);
        QVERIFY(rows->value(*second).stopRequest && rows->value(*second).incomplete);
        QVERIFY(inbox.remove({*second}));
        QCOMPARE(inbox.idsNewestFirst().value_or(QList<qint64>()), QList<qint64>{*first});
    }

    void stopRequest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stop");
        QTest::newRow("STOP") << u"STOP"_s << true;
        QTest::newRow("stopp, blanks around") << u"  stopp \n"_s << true;
        QTest::newRow("Stop All") << u"Stop All"_s << true;
        QTest::newRow("two blanks inside") << u"STOP  ALL"_s << true;
        QTest::newRow("in a sentence") << u"Bitte STOP"_s << false;
        QTest::newRow("stop please") << u"STOP bitte"_s << false;
        QTest::newRow("STOPPT") << u"STOPPT"_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void stopRequest()
    {
        QFETCH(QString, text);
        QFETCH(bool, stop);
        QCOMPARE(StopList::isStopRequest(text), stop);
    }

    void stopList()
    {
        StopList list(m_connection->database());
        QVERIFY(list.prepareTable());
        QVERIFY(list.add({u"41791"_s, u"079 1"_s, t0, u"STOP"_s}));
        QVERIFY(list.add({u"41792"_s, u"+41 79 2"_s, t0.addDays(1), u"von Hand"_s}));
        QVERIFY(list.add({u"41791"_s, u"0791"_s, t0.addDays(2), u"STOPP"_s})); // again
        QCOMPARE(list.find(u"41791"_s)->reason, u"STOPP"_s);
        QCOMPARE(list.find(u"41791"_s)->since, t0.addDays(2));
        QVERIFY(list.find(u"41793"_s)->key.isEmpty());
        QList<QString> listed =
            list.listed({u"41793"_s, u"41792"_s, u"41791"_s}).value_or(QList<QString>());
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed, (QList<QString>{u"41791"_s, u"41792"_s}));
        QCOMPARE(list.all()->size(), 2);
        QVERIFY(list.remove(u"41791"_s));
        QCOMPARE(list.all()->size(), 1);
        // No file: a failure with the reason, no crash.
        StopList closed{QSqlDatabase()};
        QVERIFY(!closed.find(u"41792"_s));
        QVERIFY(!closed.lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTwoWayTables)
#include "tst_twowaytables.moc"
