// The engine through the real QSerialPort against the modem simulator on a
// pseudo-terminal: what goes over the line, byte for byte, and how the
// engine follows the modem's and the message centre's answers.

#include "dialupdialogue.h"
#include "enginerig.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray dialLine = "ATDT 012345678\r";
const QString warten = u"Status: Warten..."_s;

// The rig with a dial-up modem on COM5.
struct Rig : EngineRig
{
    bool start(const QStringList &simArguments)
    {
        TestDb::Settings row;
        row.comPort = 5;
        row.initialisierungsBefehl = u"ATDT"_s;
        row.providerNummer = u"012345678"_s;
        if (!openStore(row))
            return false;
        modem = drive(std::make_unique<DialUpDialogue>(&line, settings.get(), dir.path()));
        queue.append(u"0791234567"_s, u"abc"_s, QString());
        return sim.start(dir.path(), 5, QStringList{u"--connect-delay"_s, u"100"_s} + simArguments);
    }
    // One tick, then wait until the call it made is over and hung up.
    void callAndWait()
    {
        const int hangups = sim.count(u"HANGUP"_s);
        engine->tick();
        QTRY_COMPARE(engine->verbindungAktiv(), u"Nein"_s);
        QTRY_COMPARE(sim.count(u"HANGUP"_s), hangups + 1);
    }

    DialUpDialogue *modem = nullptr;
};

} // namespace

class TestEngineE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // BUSY, then a call whose message is refused with 06, then a call that
    // sends the message behind it: one dial line per call, one frame each.
    void busyRefusalThenSuccess()
    {
        Rig rig;
        QVERIFY(rig.start({u"--dial"_s, u"busy,connect"_s, u"--centre"_s, u"nack:06,ack"_s}));
        rig.queue.append(u"0797654321"_s, u"zweite"_s, u"0311234567"_s);
        rig.callAndWait();
        QCOMPARE(rig.sim.values(u"RESULT"_s), QStringList{u"BUSY"_s});
        QCOMPARE(rig.engine->fehlversuche(), qint16(1));
        QCOMPARE(statusText(rig.engine->status()), u"Status: Besetzt – nächster Versuch in 40 s"_s);
        rig.clock.advanceSeconds(40); // the pace of a failed attempt

        rig.callAndWait();
        QCOMPARE(rig.logged(), QStringList{u"0791234567 NACK 06"_s});
        QCOMPARE(statusText(rig.engine->status()),
                 u"Status: SMS abgelehnt (06: Empfängeradresse ungültig (AdC))"_s);

        rig.callAndWait();
        QCOMPARE(rig.logged(), (QStringList{u"0791234567 NACK 06"_s, u"0797654321 OK"_s}));
        QCOMPARE(statusText(rig.engine->status()), warten);
        QCOMPARE(rig.queue.count(), 0);
        QCOMPARE(rig.sim.values(u"SMS"_s),
                 (QStringList{u"to=0791234567 from= text=abc"_s,
                              u"to=0797654321 from=0311234567 text=zweite"_s}));
        // Exactly the dial lines and the framed operations 01, nothing else.
        const QByteArray expected = dialLine + dialLine +
                                    "\x02"
                                    "01/00038/O/01/0791234567///3/616263/2A\x03" +
                                    dialLine +
                                    "\x02"
                                    "01/00054/O/01/0797654321/0311234567//3/7A7765697465/86\x03";
        QCOMPARE(rig.sim.received().toHex(' '), expected.toHex(' '));
    }

    void echoIsNoConnection()
    {
        Rig rig;
        QVERIFY(rig.start({u"--dial"_s, u"silent"_s}));
        QSignalSpy lineData(&rig.line, &SerialLine::readyRead);
        rig.engine->tick();
        // The echo comes back, and the engine keeps waiting without writing:
        // any byte would abort the dial.
        QTRY_VERIFY(lineData.count() > 0);
        rig.engine->tick();
        QCOMPARE(rig.engine->state(), Sending::State::Dialling);
        QCOMPARE(rig.sim.received(), dialLine);
        rig.clock.advanceSeconds(41); // given up and hung up
        rig.engine->tick();
        QCOMPARE(rig.engine->fehlversuche(), qint16(1));
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
    }

    void unansweredFrame_data()
    {
        QTest::addColumn<QString>("centre");
        QTest::newRow("silent centre") << u"silent"_s;
        QTest::newRow("garbled answer") << u"garbage"_s;
    }
    void unansweredFrame()
    {
        QFETCH(QString, centre);
        const QString failed = u"Status: Keine Antwort der Zentrale – nächster Versuch in 40 s"_s;
        Rig rig;
        QVERIFY(rig.start({u"--centre"_s, centre}));
        rig.modem->setAnswerTimeoutMs(400);
        rig.callAndWait();
        QCOMPARE(rig.sim.count(u"FRAME"_s), 1);
        QCOMPARE(rig.engine->fehlversuche(), qint16(1));
        QCOMPARE(statusText(rig.engine->status()), failed);
        QCOMPARE(rig.logged(), QStringList());
        QCOMPARE(rig.queue.count(), 1);
    }

    // A USB modem pulled out mid-call: when the frame arrives, the
    // simulator's pseudo-terminal closes unanswered and its COM5 link goes;
    // three seconds later the device is back under the same link.
    void pulledOutMidCall()
    {
        Rig rig;
        QVERIFY(rig.start({u"--unplug"_s, u"1:3000"_s}));
        QSignalSpy lineErrors(&rig.line, &SerialLine::errorOccurred);
        rig.engine->tick();
        QTRY_COMPARE(rig.sim.count(u"UNPLUG"_s), 1);
        QTRY_COMPARE(rig.engine->state(), Sending::State::Waiting);
        QCOMPARE(statusText(rig.engine->status()),
                 u"Status: Leitung unterbrochen: Schnittstelle nicht mehr verfügbar (Gerät "
                 u"entfernt?) – nächster Versuch in 40 s"_s);
        QCOMPARE(rig.queue.count(), 1);
        // Paced like any failed call; the port gone, it is said so, once per
        // attempt, and no other device is opened in its place.
        rig.clock.advanceSeconds(35);
        rig.engine->tick();
        QCOMPARE(rig.engine->state(), Sending::State::Waiting);
        rig.clock.advanceSeconds(5);
        rig.engine->tick();
        QVERIFY2(rig.sim.count(u"PLUG"_s) == 0, "the device came back before the second attempt");
        QCOMPARE(statusText(rig.engine->status()),
                 u"Status: COM5 ist nicht mehr vorhanden (Gerät entfernt?) – nächster Versuch in "
                 u"40 s"_s);
        QCOMPARE(rig.engine->fehlversuche(), qint16(2));
        QCOMPARE(rig.sim.count(u"DIAL"_s), 1);
        QCOMPARE(lineErrors.count(), 1);

        // Back again: the next attempt sends, with nothing else to do.
        QTRY_COMPARE_WITH_TIMEOUT(rig.sim.count(u"PLUG"_s), 1, 10000);
        rig.clock.advanceSeconds(40);
        rig.callAndWait();
        QTRY_COMPARE(rig.logged(), QStringList{u"0791234567 OK"_s});
        QCOMPARE(rig.queue.count(), 0);
        QCOMPARE(statusText(rig.engine->status()), warten);
        QCOMPARE(rig.sim.count(u"SMS"_s), 2); // the first one never got its answer
        QCOMPARE(lineErrors.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestEngineE2E)
#include "tst_engine_e2e.moc"
