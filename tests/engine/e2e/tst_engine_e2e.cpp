// The engine through the real QSerialPort against the modem simulator on a
// pseudo-terminal: what goes over the line, byte for byte, and how the
// engine follows the modem's and the message centre's answers.

#include "fakeclock.h"
#include "outgoingqueue.h"
#include "qtserialline.h"
#include "scriptedprompter.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settingscache.h"
#include "simprocess.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr int simPort = 5;

// One simulator, one engine on a real serial line, one Daten.mdb.
struct Rig
{
    bool start(const QStringList &simArguments)
    {
        if (!dir.isValid())
            return false;
        settings.comPort = simPort;
        settings.initialisierungsBefehl = u"ATDT"_qs;
        settings.providerNummer = u"012345678"_qs;
        dbPath = TestDb::create(dir.path());
        connection = std::make_unique<StoreConnection>(dbPath, u"sendlog"_qs);
        log = std::make_unique<SendLog>(connection->database());
        engine = std::make_unique<SendEngine>(&queue, log.get(), &settings, &line, &prompter,
                                              &clock, dir.path());
        return sim.start(dir.path(), simPort,
                         QStringList{u"--connect-delay"_qs, u"100"_qs} + simArguments);
    }

    bool idle() const { return engine->callState() == SendEngine::CallState::Idle; }

    QTemporaryDir dir;
    QString dbPath;
    SettingsCache settings;
    OutgoingQueue queue;
    QtSerialLine line;
    ScriptedPrompter prompter;
    FakeClock clock;
    SimProcess sim;
    std::unique_ptr<StoreConnection> connection;
    std::unique_ptr<SendLog> log;
    std::unique_ptr<SendEngine> engine;
};

const QByteArray dialLine = "ATDT 012345678\r";

} // namespace

class TestEngineE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void oneMessageByteForByte();
    void twoMessagesAreTwoCalls();
    void echoIsNoConnection();
    void busyThenSuccess();
    void refusalLoggedAndNextSent();
    void unansweredFrame_data();
    void unansweredFrame();
    void modemVanishesDuringTheDial();
};

void TestEngineE2E::initTestCase()
{
    QVERIFY2(QFile::exists(SimProcess::program()), qPrintable(SimProcess::program()));
}

void TestEngineE2E::oneMessageByteForByte()
{
    Rig rig;
    QVERIFY2(rig.start({}), qPrintable(rig.sim.errorOutput()));
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
    rig.engine->tick();
    QCOMPARE(rig.engine->statusText(), u"Status: Verbindung wird hergestellt..."_qs);

    QTRY_COMPARE(rig.sim.count(u"DIAL"_qs), 1);
    QCOMPARE(rig.sim.values(u"DIAL"_qs).constFirst(),
             QString::fromLatin1(dialLine.toHex().toUpper()));
    QTRY_COMPARE(logged.count(), 1);
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 1);

    // Exactly the dial line and the framed operation 01, nothing else.
    const QByteArray frame = "\x02"
                             "01/00038/O/01/0791234567///3/616263/2A\x03";
    const QByteArray expected = dialLine + frame;
    QCOMPARE(rig.sim.received().toHex(' '), expected.toHex(' '));
    QCOMPARE(rig.sim.values(u"FRAME"_qs),
             QStringList{u"01/00038/O/01/0791234567///3/616263/2A"_qs});
    QCOMPARE(rig.sim.values(u"SMS"_qs), QStringList{u"to=0791234567 from= text=abc"_qs});
    QCOMPARE(rig.sim.count(u"ABORT"_qs), 0);

    const QList<LogRow> rows = rig.log->readAll();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].mobilNummer, u"0791234567"_qs);
    QCOMPARE(rows[0].nachricht, u"abc"_qs);
    QCOMPARE(rows[0].versandt, u"OK"_qs);
    QCOMPARE(rig.queue.count(), 0);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), u"Status: Warten..."_qs);
}

void TestEngineE2E::twoMessagesAreTwoCalls()
{
    Rig rig;
    QVERIFY2(rig.start({}), qPrintable(rig.sim.errorOutput()));
    rig.queue.append(u"0791111111"_qs, u"erste"_qs, u"0311234567"_qs);
    rig.queue.append(u"0792222222"_qs, u"zweite"_qs, QString());
    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);

    rig.engine->tick();
    QTRY_COMPARE(logged.count(), 1);
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 1);
    QCOMPARE(rig.sim.count(u"DIAL"_qs), 1);
    QCOMPARE(rig.queue.count(), 1);
    // Nothing happens between the calls until the next tick.
    rig.engine->tick();
    QTRY_COMPARE(logged.count(), 2);
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 2);

    QCOMPARE(rig.sim.count(u"DIAL"_qs), 2);
    QCOMPARE(rig.sim.values(u"SMS"_qs), (QStringList{u"to=0791111111 from=0311234567 text=erste"_qs,
                                                     u"to=0792222222 from= text=zweite"_qs}));
    const QList<LogRow> rows = rig.log->readAll();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].nachricht, u"erste"_qs);
    QCOMPARE(rows[1].nachricht, u"zweite"_qs);
    QCOMPARE(rig.queue.count(), 0);
}

void TestEngineE2E::echoIsNoConnection()
{
    Rig rig;
    QVERIFY2(rig.start({u"--dial"_qs, u"silent,connect"_qs}), qPrintable(rig.sim.errorOutput()));
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy lineData(&rig.line, &SerialLine::readyRead);
    rig.engine->tick();
    QTRY_COMPARE(rig.sim.count(u"DIAL"_qs), 1);
    // The echo of the dial line comes back, and the engine keeps waiting
    // without writing: any byte would abort the dial.
    QTRY_VERIFY(lineData.count() > 0);
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Dialling);
    rig.engine->tick();
    QCOMPARE(rig.sim.count(u"ABORT"_qs), 0);
    QCOMPARE(rig.sim.received(), dialLine);

    // Past 40 seconds the call is given up and hung up.
    rig.clock.advanceSeconds(41);
    rig.engine->tick();
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 1);
    QCOMPARE(rig.queue.count(), 1);
    QCOMPARE(rig.sim.count(u"ABORT"_qs), 0);

    // The next dial connects and sends.
    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
    rig.engine->tick();
    QTRY_COMPARE(logged.count(), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
}

void TestEngineE2E::busyThenSuccess()
{
    Rig rig;
    QVERIFY2(rig.start({u"--dial"_qs, u"busy,connect"_qs}), qPrintable(rig.sim.errorOutput()));
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->tick();
    QTRY_VERIFY(rig.idle());
    QCOMPARE(rig.sim.values(u"RESULT"_qs), QStringList{u"BUSY"_qs});
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), u"Status: Warten..."_qs);
    QCOMPARE(rig.queue.count(), 1);
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 1);
    QCOMPARE(rig.sim.count(u"FRAME"_qs), 0);

    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
    rig.engine->tick();
    QTRY_COMPARE(logged.count(), 1);
    QCOMPARE(rig.sim.count(u"DIAL"_qs), 2);
    QCOMPARE(rig.sim.count(u"FRAME"_qs), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QCOMPARE(rig.log->readAll().constFirst().versandt, u"OK"_qs);
    QCOMPARE(rig.queue.count(), 0);
}

void TestEngineE2E::refusalLoggedAndNextSent()
{
    Rig rig;
    QVERIFY2(rig.start({u"--centre"_qs, u"nack:06,ack"_qs}), qPrintable(rig.sim.errorOutput()));
    rig.queue.append(u"0790000000"_qs, u"abgelehnt"_qs, QString());
    rig.queue.append(u"0791234567"_qs, u"danach"_qs, QString());
    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);

    rig.engine->tick();
    QTRY_COMPARE(logged.count(), 1);
    QList<LogRow> rows = rig.log->readAll();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].mobilNummer, u"0790000000"_qs);
    QCOMPARE(rows[0].versandt, u"NACK 06"_qs);
    QVERIFY2(rig.engine->statusText().startsWith(u"Status: SMS abgelehnt (06: "_qs),
             qPrintable(rig.engine->statusText()));
    QCOMPARE(rig.queue.count(), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 1);

    rig.engine->tick();
    QTRY_COMPARE(logged.count(), 2);
    rows = rig.log->readAll();
    QCOMPARE(rows[1].mobilNummer, u"0791234567"_qs);
    QCOMPARE(rows[1].versandt, u"OK"_qs);
    QCOMPARE(rig.queue.count(), 0);
    QCOMPARE(rig.engine->statusText(), u"Status: Warten..."_qs);
}

void TestEngineE2E::unansweredFrame_data()
{
    QTest::addColumn<QString>("centre");
    QTest::newRow("silent centre") << u"silent"_qs;
    QTest::newRow("garbled answer") << u"garbage"_qs;
    QTest::newRow("checksum complaint") << u"nack:01"_qs;
}

void TestEngineE2E::unansweredFrame()
{
    QFETCH(QString, centre);
    Rig rig;
    QVERIFY2(rig.start({u"--centre"_qs, centre}), qPrintable(rig.sim.errorOutput()));
    rig.engine->setAnswerTimeoutMs(400);
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->tick();
    QTRY_COMPARE(rig.sim.count(u"FRAME"_qs), 1);
    QTRY_VERIFY(rig.idle());
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), u"Status: Warten..."_qs);
    QVERIFY(rig.log->readAll().isEmpty());
    QCOMPARE(rig.queue.count(), 1);
    QTRY_COMPARE(rig.sim.count(u"HANGUP"_qs), 1);
}

void TestEngineE2E::modemVanishesDuringTheDial()
{
    Rig rig;
    QVERIFY2(rig.start({u"--dial"_qs, u"silent"_qs}), qPrintable(rig.sim.errorOutput()));
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy broken(&rig.line, &SerialLine::closedByError);
    rig.engine->tick();
    QTRY_COMPARE(rig.sim.count(u"DIAL"_qs), 1);
    rig.sim.kill();
    QTRY_COMPARE(broken.count(), 1);
    QTRY_VERIFY(rig.idle());
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.queue.count(), 1);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(broken.count(), 1);

    // The link now points nowhere: the next dial says so and waits for its
    // time-out.
    rig.engine->tick();
    QVERIFY2(rig.engine->statusText().startsWith(u"Status: COM5 ("_qs),
             qPrintable(rig.engine->statusText()));
    QVERIFY(rig.engine->statusText().contains(u"lässt sich nicht öffnen"_qs));
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
}

QTEST_GUILESS_MAIN(TestEngineE2E)
#include "tst_engine_e2e.moc"
