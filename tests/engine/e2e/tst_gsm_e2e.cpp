// The engine with the GSM modem dialogue through the real QSerialPort
// against the simulator's GSM modem on a pseudo-terminal: what arrives,
// decoded by the simulator, and how a refused PIN stops sending.

#include "enginerig.h"
#include "gsmdialogue.h"
#include "incoming.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The rig with a simulated GSM modem on COM6.
struct Rig : EngineRig
{
    bool start(const GsmAccount &gsmAccount, const QStringList &simArguments)
    {
        account = gsmAccount;
        TestDb::Settings row;
        row.comPort = 6;
        if (!openStore(row))
            return false;
        drive(std::make_unique<GsmDialogue>(&line, settings.get(), dir.path(),
                                            [this] { return account; }));
        return sim.start(dir.path(), 6,
                         QStringList{u"--gsm"_s, u"--reply-delay"_s, u"5"_s} + simArguments);
    }

    GsmAccount account;
    // The dialogue asks for the account; the engine ends before it goes.
    ~Rig() { engine.reset(); }
};

// Takes reports; takes messages once it is told to.
struct Sink final : IncomingSink
{
    bool storeMessage(const ReceivedMessage &message) override
    {
        messages.append(message.sender + u": "_s + message.text +
                        (acceptMessages ? u" (stored)"_s : u" (refused)"_s));
        return acceptMessages;
    }
    bool storeReport(const DeliveryReport &report) override
    {
        reports.append(report.recipient + u' ' + report.reference + u' ' +
                       QString::number(int(report.state)));
        return true;
    }
    bool acceptMessages = false;
    QStringList messages;
    QStringList reports;
};

} // namespace

class TestGsmE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // After the PIN, two messages on one connection: UCS-2 in one part, a
    // 7-bit text of 400 characters in three with a header and the first
    // reference; the connection is held open afterwards.
    void messagesArriveWhole()
    {
        Rig rig;
        QVERIFY(
            rig.start({u"1234"_s, QString()}, {u"--pin"_s, u"1234"_s, u"--urc"_s, u"+CREG: 1"_s}));
        const QString greetings = u"Grüße aus Zürich – 5 € \U0001F600"_s;
        const QString notice =
            u"Die Sitzung vom Montag beginnt um 09:30 Uhr im Saal 3 [Eingang B]. "_s.repeated(6)
                .left(400);
        rig.queue.append(u"0791234567"_s, greetings, QString());
        rig.queue.append(u"+41 79 765 43 21"_s, notice, QString());
        rig.engine->tick();
        QTRY_COMPARE_WITH_TIMEOUT(rig.queue.count(), 0, 10000);
        QTRY_COMPARE(rig.logged(), (QStringList{u"0791234567 OK"_s, u"+41 79 765 43 21 OK"_s}));
        QCOMPARE(rig.sim.values(u"PIN"_s), QStringList{u"ok"_s});
        QCOMPARE(rig.sim.values(u"INVALID"_s), QStringList());
        QCOMPARE(rig.sim.values(u"MESSAGE"_s),
                 (QStringList{u"to=0791234567 enc=ucs2 parts=1 text="_s + greetings,
                              u"to=+41797654321 enc=7bit parts=3 text="_s + notice}));
        QStringList parts;
        for (const QString &sms : rig.sim.values(u"SMS"_s))
            parts.append(sms.section(u' ', 3, 4));
        QCOMPARE(parts, (QStringList{u"part=1/1 ref=-"_s, u"part=1/3 ref=0"_s, u"part=2/3 ref=0"_s,
                                     u"part=3/3 ref=0"_s}));
        QCOMPARE(statusText(rig.engine->status()),
                 u"Status: Verbunden – Warten auf weitere SMS..."_s);
        QCOMPARE(rig.sim.count(u"HANGUP"_s), 0);
    }

    // Part 2 of 2 refused for a while: the next call sends part 2 alone
    // under the same reference, and the phone puts the text together once.
    void refusedPartResumes()
    {
        Rig rig;
        QVERIFY(rig.start({QString(), QString()}, {u"--cmgs"_s, u"ok,cms:42,ok"_s}));
        const QString text = u"Lieferung kommt morgen zwischen 8 und 10 Uhr. "_s.repeated(5);
        rig.queue.append(u"0791234567"_s, text, QString());
        rig.engine->tick();
        QTRY_COMPARE(rig.engine->state(), Sending::State::Waiting);
        rig.clock.advanceSeconds(40);
        rig.engine->tick();
        QTRY_COMPARE_WITH_TIMEOUT(rig.logged(), QStringList{u"0791234567 OK"_s}, 10000);
        QStringList parts;
        for (const QString &sms : rig.sim.values(u"SMS"_s))
            parts.append(sms.section(u' ', 3, 4));
        QCOMPARE(parts,
                 (QStringList{u"part=1/2 ref=0"_s, u"part=2/2 ref=0"_s, u"part=2/2 ref=0"_s}));
        QCOMPARE(rig.sim.values(u"MESSAGE"_s),
                 QStringList{u"to=0791234567 enc=7bit parts=2 text="_s + text});
    }

    // A wrong PIN costs one of the SIM's tries and no more.
    void wrongPinStopsSending()
    {
        Rig rig;
        QVERIFY(rig.start({u"4321"_s, QString()}, {u"--pin"_s, u"1234"_s}));
        QSignalSpy halted(rig.engine.get(), &SendEngine::halted);
        rig.queue.append(u"0791234567"_s, u"abc"_s, QString());
        rig.engine->tick();
        QVERIFY(halted.wait(5000));
        QCOMPARE(halted.constFirst().constFirst().toString(),
                 u"SIM-Karte lehnt die PIN ab (CME 16: falsche PIN)"_s);
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        for (int i = 0; i < 24; ++i) {
            rig.clock.advanceSeconds(5);
            rig.engine->tick();
        }
        QVERIFY(rig.engine->isPaused());
        QCOMPARE(rig.sim.values(u"PIN"_s), QStringList{u"wrong 1"_s});
        QCOMPARE(rig.sim.count(u"OPEN"_s), 1);
        QCOMPARE(rig.queue.count(), 1);
    }

    // Both ways on one listening connection. A message sent to the modem's
    // SIM in three UCS-2 parts from a named sender reaches the sink whole;
    // refused, its parts stay in the modem and are read again at the next
    // connection, and deleted once stored. A message sent with a report
    // asked for is reported delivered under the reference of its result.
    void reportsAndRepliesArrive()
    {
        Sink sink;
        Rig rig;
        const QString reply = u"Grüße aus Zürich – bis morgen! "_s.repeated(5);
        QVERIFY(rig.start({}, {u"--incoming"_s, u"Post="_s + reply, u"--incoming-delay"_s, u"50"_s,
                               u"--report-delay"_s, u"20"_s}));
        auto *dialogue = static_cast<GsmDialogue *>(rig.dialogue.get());
        dialogue->setIncomingSink(&sink);
        dialogue->setListening(true);
        const QString refused = u"Post: "_s + reply + u" (refused)"_s;
        QTRY_COMPARE_WITH_TIMEOUT(sink.messages, QStringList{refused}, 10000);
        QCOMPARE(rig.sim.values(u"STORED"_s).size(), 3);
        QVERIFY(dialogue->isListening());

        dialogue->setListening(false);
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        sink.acceptMessages = true;
        dialogue->setListening(true);
        QTRY_COMPARE_WITH_TIMEOUT(sink.messages.size(), 2, 10000);
        QCOMPARE(sink.messages.constLast(), u"Post: "_s + reply + u" (stored)"_s);
        QTRY_COMPARE(rig.sim.values(u"DELETE"_s), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        // The second connection found the three parts where the first left
        // them; nothing was deleted before the sink took the message.
        QCOMPARE(rig.sim.values(u"LIST"_s), (QStringList{u"0"_s, u"3"_s}));

        QSignalSpy submitted(rig.dialogue.get(), &CallDialogue::submitted);
        rig.queue.append(u"0791234567"_s, u"Bitte bestätigen"_s, QString());
        rig.engine->tick();
        QTRY_COMPARE_WITH_TIMEOUT(submitted.size(), 1, 10000);
        const auto result = submitted.constFirst().constFirst().value<CallDialogue::Result>();
        QVERIFY(result.accepted);
        QCOMPARE(result.reports.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(
            sink.reports,
            QStringList{u"0791234567 "_s + result.reports.constFirst().reference + u" 1"_s}, 10000);
        QCOMPARE(rig.sim.count(u"OPEN"_s), 2);
    }
};

QTEST_GUILESS_MAIN(TestGsmE2E)
#include "tst_gsm_e2e.moc"
