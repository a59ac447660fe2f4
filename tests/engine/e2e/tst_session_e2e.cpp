// Connections that carry several messages, against the simulator: the UCP
// session over TCP/IP (a real QTcpSocket on 127.0.0.1) and a modem call in
// batch mode over the real QSerialPort. The hold time of an idle session is
// measured with the fake clock.

#include "dialupdialogue.h"
#include "enginerig.h"
#include "incoming.h"
#include "ucptcpdialogue.h"
#include "ucptestframes.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString warten = u"Status: Warten..."_s;
const QString sessionOpen = u"Status: Verbunden – Warten auf weitere SMS..."_s;

// The frames of "abc" to 0791234567 over a modem call, by TRN.
const QString abc01 = u"01/00038/O/01/0791234567///3/616263/2A"_s;
const QString abc02 = u"02/00038/O/01/0791234567///3/616263/2B"_s;
const QString abc03 = u"03/00038/O/01/0791234567///3/616263/2C"_s;

// The operation 51 of "abc" to 0791234567 over TCP/IP from the account,
// without a delivery report: AdC, OAdC, MT 3 and AMsg, the other 29 fields
// empty.
QString abc51(const char *trn, const QByteArray &account = {})
{
    QList<QByteArray> fields(33);
    fields[0] = "0791234567";
    fields[1] = account;
    fields[18] = "3";
    fields[20] = "616263";
    return QString::fromLatin1(
        UcpTestFrames::sealed(trn, QByteArray("O/51/" + fields.join('/') + '/')));
}
// How the simulator reads it.
const QString abcSms51 = u"to=0791234567 from= nrq=0 mt=3 dcs=00 udh=- text=abc"_s;

// Keeps what the dialogue hands in, as "<recipient> <reference> <state>"
// and "<sender> <text>".
struct Sink : IncomingSink
{
    bool storeMessage(const ReceivedMessage &message) override
    {
        messages.append(message.sender + u' ' + message.text);
        return true;
    }
    bool storeReport(const DeliveryReport &report) override
    {
        reports.append(report.recipient + u' ' + report.reference + u' ' +
                       QString::number(int(report.state)));
        return true;
    }
    QStringList messages;
    QStringList reports;
};

// The rig talking TCP/IP to the simulator's centre, or to its modem when
// one is asked for.
struct Rig : EngineRig
{
    // With --tcp among the arguments a centre on a TCP port, else a modem
    // on a pseudo-terminal.
    bool start(const QStringList &simArguments, int entries = 1)
    {
        TestDb::Settings row;
        row.comPort = 5;
        row.providerNummer = u"012345678"_s;
        if (!openStore(row))
            return false;
        for (int i = 0; i < entries; ++i)
            queue.append(u"0791234567"_s, u"abc"_s, QString());
        if (!simArguments.contains(u"--tcp"_s)) {
            drive(std::make_unique<DialUpDialogue>(&line, settings.get(), dir.path()))
                ->setSeveralPerCall(true);
            return sim.start(dir.path(), 5,
                             QStringList{u"--connect-delay"_s, u"0"_s, u"--reply-delay"_s, u"0"_s} +
                                 simArguments);
        }
        // Delivery reports are asked for where a row says so.
        account.deliveryReports = false;
        tcp = drive(std::make_unique<UcpTcpDialogue>([this] { return account; }));
        if (!sim.start(QStringList{u"--reply-delay"_s, u"0"_s} + simArguments))
            return false;
        const QString address = sim.values(u"READY"_s).value(0);
        account.host = address.section(u':', 0, 0);
        account.port = address.section(u':', 1).toUShort();
        return account.port != 0;
    }
    QStringList logged() const { return EngineRig::logged(true); }
    // The TRNs of the frames the centre received, in order.
    QStringList trns() const
    {
        QStringList result;
        for (const QString &frame : sim.values(u"FRAME"_s))
            result.append(frame.left(2));
        return result;
    }
    QString status() const { return statusText(engine->status()); }
    // A tick, then wait until the queue is done and the engine at rest.
    void sendAll()
    {
        engine->tick();
        QTRY_VERIFY_WITH_TIMEOUT(queue.isEmpty(), 20000);
        QTRY_COMPARE(engine->state(), Sending::State::Idle);
    }

    UcpTcpAccount account;
    UcpTcpDialogue *tcp = nullptr;
    // The dialogue asks for the account; the engine ends before it goes.
    ~Rig() { engine.reset(); }
};

} // namespace

class TestSessionE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One connection, one login, three submissions numbered from 01; the
    // session stays open while idle until its hold time has passed, or
    // until sending is paused or the program quits.
    void oneSessionForSeveral_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("idle for 30 s") << u"idle"_s;
        QTest::newRow("paused") << u"pause"_s;
        QTest::newRow("program quits") << u"quit"_s;
    }
    void oneSessionForSeveral()
    {
        QFETCH(QString, ending);
        Rig rig;
        QVERIFY(rig.start(
            {u"--tcp"_s, u"0"_s, u"--account"_s, u"12345"_s, u"--password"_s, u"geheim"_s}, 3));
        rig.account.account = u"12345"_s;
        rig.account.password = u"geheim"_s;
        rig.sendAll();
        QCOMPARE(rig.logged(), (QStringList{u"abc OK"_s, u"abc OK"_s, u"abc OK"_s}));
        QCOMPARE(rig.sim.count(u"OPEN"_s), 1);
        QCOMPARE(rig.sim.values(u"LOGIN"_s), QStringList{u"ok account=12345"_s});
        const QStringList frames = rig.sim.values(u"FRAME"_s);
        QCOMPARE(frames.size(), 4);
        QVERIFY2(frames[0].startsWith(u"00/00052/O/60/12345/6/5/1/67656865696D//0100//////"_s),
                 qPrintable(frames[0]));
        QCOMPARE(rig.sim.values(u"SMS51"_s),
                 QStringList(3, QString(abcSms51).replace(u"from="_s, u"from=12345"_s)));
        QCOMPARE(frames.mid(1),
                 (QStringList{abc51("01", "12345"), abc51("02", "12345"), abc51("03", "12345")}));
        QCOMPARE(rig.status(), sessionOpen);
        QCOMPARE(rig.sim.count(u"HANGUP"_s), 0);

        if (ending == u"idle") {
            rig.clock.advanceSeconds(29);
            rig.engine->tick();
            QCOMPARE(rig.status(), sessionOpen);
            rig.clock.advanceSeconds(1);
            rig.engine->tick();
        } else if (ending == u"pause") {
            rig.engine->pause();
        } else {
            rig.engine->shutDown();
        }
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        QCOMPARE(rig.status(), warten);
        QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_s);

        // A message queued later opens a new session with its own login.
        if (ending == u"idle") {
            rig.queue.append(u"0791234567"_s, u"abc"_s, QString());
            rig.sendAll();
            QCOMPARE(rig.sim.count(u"OPEN"_s), 2);
            QCOMPARE(rig.sim.count(u"LOGIN"_s), 2);
            QCOMPARE(rig.sim.values(u"FRAME"_s).last(), abc51("01", "12345"));
        }
    }

    // 01 to 99, then 00 and 01 again: the TRN wraps within one connection,
    // after a login with 00 too.
    void trnSequenceWraps_data()
    {
        QTest::addColumn<bool>("login");
        QTest::newRow("no account") << false;
        QTest::newRow("login") << true;
    }
    void trnSequenceWraps()
    {
        QFETCH(bool, login);
        Rig rig;
        QVERIFY(rig.start(login ? QStringList{u"--tcp"_s, u"0"_s, u"--account"_s, u"12345"_s}
                                : QStringList{u"--tcp"_s, u"0"_s},
                          101));
        if (login)
            rig.account.account = u"12345"_s;
        rig.sendAll();
        QCOMPARE(rig.log->readAll().size(), 101);
        QStringList expected;
        for (int i = login ? 0 : 1; i <= 101; ++i)
            expected.append(QString::number(i % 100).rightJustified(2, u'0'));
        // Without an account no login frame.
        QCOMPARE(rig.trns(), expected);
        QCOMPARE(rig.sim.count(u"LOGIN"_s), login ? 1 : 0);
        QCOMPARE(rig.sim.count(u"INVALID"_s), 0);
        QCOMPARE(rig.logged().count(u"abc OK"_s), 101);
    }

    // A refusal of the account or the session, for the login or a
    // submission, halts: one word of it, the whole queue kept, nothing tried
    // again until the user resumes, and then at the next tick. A login that
    // fails otherwise is a failed attempt, paced like any other.
    void refusedAccount_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("submitted"); // frames of operation 01 the centre saw
        const QStringList login = {u"--account"_s, u"12345"_s, u"--password"_s, u"geheim"_s};
        QTest::newRow("login, wrong password")
            << login << u"falsch"_s
            << u"Anmeldung abgelehnt (07: Authentifizierung fehlgeschlagen)"_s << 0;
        QTest::newRow("login, call barring")
            << login + QStringList{u"--login"_s, u"nack:05"_s} << u"geheim"_s
            << u"Anmeldung abgelehnt (05: Sperre aktiv)"_s << 0;
        QTest::newRow("login, legitimisation")
            << login + QStringList{u"--login"_s, u"nack:08"_s} << u"geheim"_s
            << u"Anmeldung abgelehnt (08: Legitimationscode für alle Aufrufe fehlgeschlagen)"_s
            << 0;
        QTest::newRow("submission, call barring")
            << QStringList{u"--centre"_s, u"nack:05"_s} << QString()
            << u"SMS-Center verweigert den Versand (05: Sperre aktiv)"_s << 1;
        QTest::newRow("submission, authentication")
            << QStringList{u"--centre"_s, u"nack:07"_s} << QString()
            << u"SMS-Center verweigert den Versand (07: Authentifizierung fehlgeschlagen)"_s << 1;
        QTest::newRow("login, centre failing: a failed attempt")
            << login + QStringList{u"--login"_s, u"nack:55"_s} << u"geheim"_s
            << u"Anmeldung abgelehnt (55: Systemfehler der Zentrale)"_s << 0;
    }
    void refusedAccount()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, password);
        QFETCH(QString, reason);
        QFETCH(int, submitted);
        Rig rig;
        QVERIFY(rig.start(QStringList{u"--tcp"_s, u"0"_s} + arguments, 10));
        if (!password.isEmpty()) {
            rig.account.account = u"12345"_s;
            rig.account.password = password;
        }
        QSignalSpy halted(rig.engine.get(), &SendEngine::halted);
        const bool halts = !reason.contains(u"(55:"_s);
        rig.engine->tick();
        QTRY_COMPARE(rig.engine->state(), halts ? Sending::State::Paused : Sending::State::Waiting);
        QCOMPARE(rig.status(),
                 u"Status: "_s + reason +
                     (halts ? u" – Versand angehalten"_s : u" – nächster Versuch in 40 s"_s));
        QCOMPARE(halted.count(), halts ? 1 : 0);
        QCOMPARE(rig.logged(), QStringList());
        QCOMPARE(rig.queue.count(), 10);
        QCOMPARE(rig.sim.count(u"SMS51"_s), submitted);
        // A refused submission went nowhere: the engine takes its mark off.
        QCOMPARE(rig.dialogue->submissionRefused(), submitted == 1);
        if (!halts) {
            // Paced like a failed call: no new connection before 40 s.
            rig.clock.advanceSeconds(35);
            rig.engine->tick();
            QCOMPARE(rig.engine->state(), Sending::State::Waiting);
            rig.clock.advanceSeconds(5);
            rig.engine->tick();
            QCOMPARE(rig.engine->state(), Sending::State::Dialling);
            QTRY_COMPARE(rig.sim.count(u"LOGIN"_s), 2);
            return;
        }
        // Ten minutes of ticks: nothing.
        for (int i = 0; i < 120; ++i) {
            rig.clock.advanceSeconds(5);
            rig.engine->tick();
        }
        QCOMPARE(rig.engine->state(), Sending::State::Paused);
        QCOMPARE(rig.sim.count(u"OPEN"_s), 1);
        rig.engine->resume();
        rig.engine->tick();
        QTRY_COMPARE(rig.sim.count(u"OPEN"_s), 2);
        QTRY_COMPARE(halted.count(), 2);
    }

    // Only a result with the TRN of the operation under way answers it: a
    // late negative result for the TRN before, which comes first, is passed
    // over; a positive result with another TRN alone answers nothing, and
    // the answer time-out runs out with the entry kept.
    void resultOfAnotherTrn_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("failure"); // empty: both entries go out
        QTest::newRow("late refusal, then the ack")
            << QStringList{u"--centre"_s, u"late+ack"_s} << QString();
        QTest::newRow("ack of another TRN")
            << QStringList{u"--centre"_s, u"othertrn"_s} << u"Keine Antwort der Zentrale"_s;
        const QStringList login = {u"--account"_s, u"12345"_s, u"--password"_s, u"geheim"_s};
        QTest::newRow("login: late refusal, then the ack")
            << login + QStringList{u"--login"_s, u"late+ack"_s} << QString();
        QTest::newRow("login: ack of another TRN")
            << login + QStringList{u"--login"_s, u"othertrn"_s}
            << u"Keine Antwort der Zentrale auf die Anmeldung"_s;
    }
    void resultOfAnotherTrn()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, failure);
        Rig rig;
        QVERIFY(rig.start(QStringList{u"--tcp"_s, u"0"_s} + arguments, 2));
        rig.account.account = arguments.contains(u"--account"_s) ? u"12345"_s : QString();
        rig.account.password = u"geheim"_s;
        rig.tcp->setAnswerTimeoutMs(300);
        if (failure.isEmpty()) {
            rig.sendAll();
            QCOMPARE(rig.logged(), (QStringList{u"abc OK"_s, u"abc OK"_s}));
            QCOMPARE(rig.sim.count(u"OPEN"_s), 1);
            return;
        }
        rig.engine->tick();
        QTRY_COMPARE(rig.engine->state(), Sending::State::Waiting);
        QCOMPARE(rig.status(), u"Status: "_s + failure + u" – nächster Versuch in 40 s"_s);
        QCOMPARE(rig.logged(), QStringList());
        QCOMPARE(rig.queue.count(), 2);
    }

    // The second submission fails: its answer is cut off halfway and the
    // connection dropped, no answer comes, or the centre finds the frame
    // garbled. That entry stays, and the next attempt connects anew,
    // numbering from 01 again.
    void failedSubmission_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        QTest::newRow("dropped mid-frame")
            << QStringList{u"--drop-after"_s, u"2"_s} << u"Verbindung zum Server unterbrochen"_s;
        QTest::newRow("no answer")
            << QStringList{u"--centre"_s, u"ack,silent,ack"_s} << u"Keine Antwort der Zentrale"_s;
        QTest::newRow("checksum complaint")
            << QStringList{u"--centre"_s, u"ack,nack:01,ack"_s} << u"Prüfsummenfehler"_s;
        QTest::newRow("not allowed now")
            << QStringList{u"--centre"_s, u"ack,nack:04,ack"_s}
            << u"Fehler des SMS-Centers (04: Operation nicht erlaubt)"_s;
        QTest::newRow("network busy") << QStringList{u"--centre"_s, u"ack,nack:50,ack"_s}
                                      << u"Fehler des SMS-Centers (50: Netz ausgelastet)"_s;
        QTest::newRow("code unknown") << QStringList{u"--centre"_s, u"ack,nack:99,ack"_s}
                                      << u"Fehler des SMS-Centers (99: unbekannter Fehler)"_s;
    }
    void failedSubmission()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        Rig rig;
        QVERIFY(rig.start(QStringList{u"--tcp"_s, u"0"_s} + arguments, 3));
        rig.tcp->setAnswerTimeoutMs(300);
        rig.engine->tick();
        QTRY_COMPARE(rig.engine->state(), Sending::State::Waiting);
        QCOMPARE(rig.status(), u"Status: "_s + reason + u" – nächster Versuch in 40 s"_s);
        QCOMPARE(rig.logged(), QStringList{u"abc OK"_s});
        QCOMPARE(rig.queue.count(), 2);
        QCOMPARE(rig.engine->fehlversuche(), qint16(1));
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        rig.clock.advanceSeconds(40);
        rig.sendAll();
        QCOMPARE(rig.logged().size(), 3);
        QCOMPARE(rig.sim.count(u"OPEN"_s), 2);
        QCOMPARE(rig.trns(), (QStringList{u"01"_s, u"02"_s, u"01"_s, u"02"_s}));
    }

    // The centre's own operation comes before its result; it is answered
    // with a positive result of the same TRN and operation type.
    void centreOperationAnswered_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("answer");
        QTest::newRow("53 delivery notification") << u"53+ack"_s << u"51/00020/R/53/A///"_s;
        QTest::newRow("31 alert") << u"31+ack"_s << u"51/00019/R/31/A//"_s;
    }
    void centreOperationAnswered()
    {
        QFETCH(QString, script);
        QFETCH(QString, answer);
        Rig rig;
        QVERIFY(rig.start({u"--tcp"_s, u"0"_s, u"--centre"_s, script}));
        rig.sendAll();
        QCOMPARE(rig.logged(), QStringList{u"abc OK"_s});
        QTRY_COMPARE(rig.sim.count(u"ANSWER"_s), 1);
        QVERIFY(rig.sim.values(u"ANSWER"_s)[0].startsWith(answer));
        rig.engine->shutDown();
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        QCOMPARE(rig.sim.count(u"UNANSWERED"_s), 0);
        QCOMPARE(rig.sim.count(u"INVALID"_s), 0);
    }

    // Two-way over the real socket: a long text with "€" and an emoji goes
    // as one concatenated UCS-2 SMS (two operations 51 of one reference),
    // each part's notification reaches the sink named as the result named
    // it, and the centre's message reaches the sink in its two parts joined.
    void twoWay()
    {
        Rig rig;
        const QString text = u"Grüezi 😀 das kostet 5 €. "_s.repeated(4);
        const QString reply = u"Merci, gern! ✓ "_s.repeated(6);
        QVERIFY(rig.start({u"--tcp"_s, u"0"_s, u"--incoming"_s, u"0797654321="_s + reply}, 0));
        rig.account.deliveryReports = true;
        Sink sink;
        rig.tcp->setIncomingSink(&sink);
        QSignalSpy submitted(rig.tcp, &CallDialogue::submitted);
        rig.queue.append(u"0791234567"_s, text, QString());
        rig.sendAll();
        QCOMPARE(rig.logged(), QStringList{text + u" OK"_s});

        const QStringList parts = rig.sim.values(u"SMS51"_s);
        QCOMPARE(parts.size(), 2);
        const QString reference = parts[0].section(u"udh="_s, 1).section(u'/', 0, 0);
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(parts[i].startsWith(u"to=0791234567 from= nrq=1 mt=4 dcs=08 udh="_s +
                                         reference + u"/2/"_s + QString::number(i + 1)),
                     qPrintable(parts[i]));
        }
        QCOMPARE(rig.sim.values(u"MESSAGE"_s),
                 QStringList{u"to=0791234567 parts=2 text="_s + text});

        QCOMPARE(submitted.count(), 1);
        const auto result = submitted.at(0).at(0).value<CallDialogue::Result>();
        QCOMPARE(result.reports.size(), 2);
        QTRY_COMPARE(sink.reports.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(result.reports[i].part, i);
            QCOMPARE(result.reports[i].recipientKey, u"0791234567"_s);
            QCOMPARE(sink.reports[i], u"0791234567 "_s + result.reports[i].reference + u" 1"_s);
        }
        QVERIFY(result.reports[0].reference != result.reports[1].reference);

        QTRY_COMPARE(sink.messages, QStringList{u"0797654321 "_s + reply});
        QTRY_COMPARE(rig.sim.count(u"ANSWER"_s), 4);
        QCOMPARE(rig.sim.count(u"INVALID"_s), 0);
    }

    void noSession_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("password"); // of the account 12345; none without
        QTest::newRow("no server")
            << QString() << 0 << u"Status: Kein Server für die Internet-Verbindung konfiguriert"_s
            << QString();
        QTest::newRow("refused") << u"127.0.0.1"_s << 1
                                 << u"Status: Server 127.0.0.1:1 verweigert die Verbindung – "
                                    u"nächster Versuch in 40 s"_s
                                 << QString();
        // Sent as stored or not at all.
        QTest::newRow("password with ß and €")
            << QString() << -1
            << u"Status: Das Passwort enthält das Zeichen «ß», das bei der Anmeldung nicht "
               u"gesendet werden kann"_s
            << u"Straße€1"_s;
    }
    void noSession()
    {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, status);
        QFETCH(QString, password);
        Rig rig;
        QVERIFY(rig.start({u"--tcp"_s, u"0"_s}));
        if (port >= 0) {
            rig.account.host = host;
            rig.account.port = quint16(port);
        }
        if (!password.isEmpty()) {
            rig.account.account = u"12345"_s;
            rig.account.password = password;
        }
        rig.engine->tick();
        QTRY_COMPARE(rig.status(), status);
        QCOMPARE(rig.queue.count(), 1);
        QCOMPARE(rig.sim.count(u"OPEN"_s), 0);
    }

    // Batch mode of the modem: one dial, the entries one after another with
    // TRN 01, 02, 03; a refusal in the middle is logged and the call goes on;
    // hung up as soon as the queue is empty.
    void modemBatchCall()
    {
        Rig rig;
        QVERIFY(rig.start({u"--centre"_s, u"ack,nack:06,ack"_s}, 3));
        rig.sendAll();
        QCOMPARE(rig.logged(), (QStringList{u"abc OK"_s, u"abc NACK 06"_s, u"abc OK"_s}));
        QCOMPARE(rig.sim.count(u"DIAL"_s), 1);
        QCOMPARE(rig.sim.values(u"FRAME"_s), (QStringList{abc01, abc02, abc03}));
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        QCOMPARE(rig.status(), warten);
    }
};

QTEST_GUILESS_MAIN(TestSessionE2E)
#include "tst_session_e2e.moc"
