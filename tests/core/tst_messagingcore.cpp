#include "connectionsettings.h"
#include "fakeclock.h"
#include "messagingcore.h"
#include "outbox.h"
#include "outgoingqueue.h"
#include "scriptedprompter.h"
#include "sendengine.h"
#include "simprocess.h"
#include "storedqueue.h"
#include "testdb.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The messaging core as a program without a window runs it: no
// QApplication, no widget; a message goes in through the door and out to the
// message centre of the simulator over TCP/IP, and lands in the send log.
class TestMessagingCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sendsWithoutWindow_data()
    {
        QTest::addColumn<bool>("leftByCrash");
        QTest::newRow("fresh start") << false;
        QTest::newRow("queue left by a crash") << true;
    }
    void sendsWithoutWindow()
    {
        QFETCH(bool, leftByCrash);
        QVERIFY(!QCoreApplication::instance()->inherits("QGuiApplication"));
        SimProcess sim;
        QVERIFY(sim.start({u"--tcp"_s, u"0"_s, u"--reply-delay"_s, u"0"_s, u"--incoming"_s,
                           u"079 123 45 67= Stop "_s}));
        const quint16 port = sim.values(u"READY"_s).value(0).section(u':', 1).toUShort();
        QVERIFY(port != 0);

        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        {
            ConnectionSettings stored(path, nullptr);
            ConnectionValues values;
            values.kind = ConnectionKind::Tcp;
            values.server = u"127.0.0.1"_s;
            values.tcpPort = port;
            QVERIFY(stored.save(values));
        }
        if (leftByCrash)
            QVERIFY(TestDb::storePending(
                path, {PendingMessage{1, u"0791112233"_s, u"Vorher"_s, QString()}}));

        ScriptedPrompter prompter;
        FakeClock clock;
        MessagingCore core(MessagingCore::Environment{
            .programDir = dir.path(), .prompter = &prompter, .clock = &clock});
        core.start();
        QCOMPARE(prompter.texts(),
                 leftByCrash ? QStringList{StoredQueue::restoredText(1)} : QStringList());
        QCOMPARE(core.queue()->count(), leftByCrash ? 1 : 0);
        // The stored call-back number of the settings row goes with it.
        const Enqueued queued =
            core.outbox()->enqueue(u"+41 79 123 45 67"_s, u"Hallo"_s, Outbox::Origin::Program);
        QCOMPARE(queued.refusal, Enqueued::Refusal::None);
        QCOMPARE(core.queue()->at(core.queue()->count() - 1).rueckrufNummer, u"0795556677"_s);

        core.engine()->tick();
        QTRY_VERIFY_WITH_TIMEOUT(core.queue()->isEmpty(), 20000);
        const QStringList numbers = sim.values(u"SMS51"_s);
        QCOMPARE(numbers.size(), leftByCrash ? 2 : 1);
        QVERIFY2(numbers.constLast().contains(u"0041791234567"_s), qPrintable(numbers.join(u'\n')));
        QCOMPARE(TestDb::scalar(path, u"SELECT count(*) FROM VersandLog WHERE versandt = 'OK'"_s),
                 QVariant(leftByCrash ? 2 : 1));
        // The report names the number as the centre writes it; it finds its
        // row all the same. The reply asks to stop: the next message to that
        // person is refused.
        QTRY_COMPARE(TestDb::scalar(path, u"SELECT group_concat(State) FROM Deliveries"_s),
                     QVariant(leftByCrash ? u"1,1"_s : u"1"_s));
        QTRY_COMPARE(TestDb::scalar(path, u"SELECT StopRequest FROM Inbox"_s), QVariant(1));
        QCOMPARE(core.outbox()
                     ->enqueue(u"0041791234567"_s, u"Noch etwas"_s, Outbox::Origin::Program)
                     .refusal,
                 Enqueued::Refusal::Stopped);
        core.shutDown(true);
    }
};

QTEST_GUILESS_MAIN(TestMessagingCore)
#include "tst_messagingcore.moc"
