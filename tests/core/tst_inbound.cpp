#include "fakeclock.h"
#include "inbound.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// What comes back from the network: replies into the inbox, STOP onto the
// stop list, reports onto the parts they name; numbers compared as numbers.
class TestInbound : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberKey_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("key");
        QTest::newRow("national") << u"079 123 45 67"_s << u"+41791234567"_s;
        QTest::newRow("international with +") << u"+41791234567"_s << u"+41791234567"_s;
        QTest::newRow("as the queue holds it") << u"0041791234567"_s << u"+41791234567"_s;
        QTest::newRow("German") << u"+49 171 1234567"_s << u"+491711234567"_s;
        QTest::newRow("short code: its digits") << u"939"_s << u"939"_s;
    }
    void numberKey()
    {
        QFETCH(QString, number);
        QFETCH(QString, key);
        QCOMPARE(Inbound::numberKey(number), key);
    }

    void receiveAndStop()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        FakeClock clock;
        Inbound inbound(path, &clock);
        QSignalSpy unread(&inbound, &Inbound::unreadChanged);
        QCOMPARE(inbound.unreadCount(), 0);
        QVERIFY(inbound.receive(u"+41791234567"_s, u"Gerne, bis morgen"_s, clock.now()));
        QCOMPARE(inbound.unreadCount(), 1);
        QVERIFY(inbound.stopEntry(u"079 123 45 67"_s).key.isEmpty());
        QVERIFY(inbound.receive(u"+41791234567"_s, u" Stop "_s, clock.now()));
        QCOMPARE(unread.size(), 2);
        QCOMPARE(inbound.stoppedSince(u"0041791234567"_s), clock.now());
        QCOMPARE(inbound.stopEntry(u"079 123 45 67"_s).reason, u"Stop"_s);
        QCOMPARE(inbound.withoutStopped({u"0791234567"_s, u"0797654321"_s}),
                 QStringList{u"0797654321"_s});
        QCOMPARE(TestDb::scalar(path, u"SELECT StopRequest FROM Inbox WHERE Id = 2"_s),
                 QVariant(1));

        // A second start reads the count from the file.
        Inbound again(path, &clock);
        QCOMPARE(again.unreadCount(), 2);
    }

    void reports()
    {
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        FakeClock clock;
        Inbound inbound(path, &clock);
        // Nothing is made before the first message or report comes.
        QCOMPARE(TestDb::scalar(path, u"SELECT count(*) FROM sqlite_master WHERE name IN "
                                      u"('Inbox', 'StopList', 'Deliveries')"_s),
                 QVariant(0));
        // A report before its log row is stored is kept and matched once
        // the row is there; one kept longer than an hour is dropped.
        QVERIFY(inbound.storeReport(
            DeliveryReport{u"0791234567"_s, u"8"_s, DeliveryState::Failed, clock.now(), u"x"_s}));
        clock.advanceMs(Inbound::keepUnmatchedMs / 2);
        QVERIFY(inbound.report(u"0041791234567"_s, u"7"_s, DeliveryState::Delivered, clock.now(),
                               QString()));
        QVERIFY(inbound.storeReport(
            DeliveryReport{u"0791234567"_s, u"9"_s, DeliveryState::Delivered, clock.now()}));
        QCOMPARE(inbound.unmatchedCount(), 3);
        QSignalSpy changed(&inbound, &Inbound::deliveryChanged);
        inbound.retryUnmatched();
        QCOMPARE(changed.size(), 0);
        QVERIFY(TestDb::exec(path, u"INSERT INTO Deliveries (LogRow, Part, RecipientKey, "
                                   u"Reference) VALUES (4, 0, '+41791234567', '7'), "
                                   u"(5, 0, '+41791234567', '8'), (6, 0, '+41791234567', '9')"_s));
        clock.advanceMs(Inbound::keepUnmatchedMs / 2 + 1);
        inbound.retryUnmatched();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(0).at(0).toLongLong(), 4);
        QCOMPARE(changed.at(1).at(0).toLongLong(), 6);
        QCOMPARE(inbound.unmatchedCount(), 0);
        // Reference 8 was dropped: its part still waits.
        QCOMPARE(TestDb::scalar(path, u"SELECT State FROM Deliveries WHERE LogRow = 5"_s),
                 QVariant(int(DeliveryState::Pending)));
    }
};

QTEST_GUILESS_MAIN(TestInbound)
#include "tst_inbound.moc"
