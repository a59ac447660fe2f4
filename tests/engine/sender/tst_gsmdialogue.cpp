// The GSM modem dialogue under the send engine, on the in-memory line: the
// commands it writes, how it follows the modem's answers, and what the
// engine logs and shows for them.

#include "connectionsettings.h"
#include "fakeclock.h"
#include "fakeserialline.h"
#include "gsmdialogue.h"
#include "pendingmessages.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settings.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QMetaEnum>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using State = Sending::State;

QByteArray line(const QByteArray &text)
{
    return "\r\n" + text + "\r\n";
}
const QByteArray ok = line("OK");
const QByteArray prompt = "\r\n> ";
QByteArray accepted(int reference)
{
    return line("+CMGS: " + QByteArray::number(reference)) + ok;
}
QByteArray pinState(const QByteArray &state)
{
    return line("+CPIN: " + state) + ok;
}

// "abc" to 079 123 45 67 with the SIM's centre, packed by hand: 15 octets.
const QByteArray abcPdu = "00"
                          "01000A8170193254760000"
                          "0361F118";

// The set-up of a modem whose SIM is ready.
const QByteArrayList simReady = {"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("READY"),
                                 "AT+CMGF=0|" + ok};
const QByteArrayList sendAbc = {"AT+CMGS=15|" + prompt, "PDU|" + accepted(7)};

const QString standing = u"Idle Nein 0 open Verbunden – Warten auf weitere SMS..."_s;
QString failed(const QString &reason)
{
    return u"Waiting Nein 1 closed "_s + reason + u" – nächster Versuch in 40 s"_s;
}

// An engine on a GSM dialogue on the fake line, with a fresh Daten.mdb and
// one queued message.
struct Rig
{
    Rig()
    {
        TestDb::Settings row;
        row.comPort = 3;
        row.providerNummer = QString(); // not needed for a GSM modem
        dbPath = TestDb::create(dir.path(), row);
        settings = std::make_unique<Settings>(dbPath);
        if (!settings->reload())
            QTest::qFail(qPrintable(settings->lastError()), __FILE__, __LINE__);
        connection = std::make_unique<StoreConnection>(dbPath, u"sendlog"_s);
        log = std::make_unique<SendLog>(connection->database());
        start();
        setPin(u"1234"_s);
        queue.append(u"0791234567"_s, u"abc"_s, QString());
    }
    // The user saves the SIM PIN in the configuration window (and,
    // when otherChange, something else with it).
    void setPin(const QString &pin, bool otherChange = false)
    {
        ConnectionValues values = connectionSettings->values();
        values.kind = ConnectionKind::Gsm;
        values.simPin = pin;
        values.severalPerCall = otherChange != values.severalPerCall;
        QVERIFY(connectionSettings->save(values));
    }
    // The program ends and starts again on the same Daten.mdb and queue.
    void restart()
    {
        engine.reset();
        dialogue.reset();
        start();
    }
    void start()
    {
        // The account comes from the connection settings, as in the program.
        connectionSettings = std::make_unique<ConnectionSettings>(dbPath, nullptr);
        if (!connectionSettings->reload())
            QTest::qFail(qPrintable(connectionSettings->lastError()), __FILE__, __LINE__);
        dialogue = std::make_unique<GsmDialogue>(&fakeLine, settings.get(), dir.path(), [this] {
            const ConnectionValues values = connectionSettings->values();
            return GsmAccount{values.simPin, values.smsCentre, connectionSettings->simPinRefused()};
        });
        dialogue->notePinRefusal(
            [this](const QString &pin) { connectionSettings->setSimPinRefused(pin); });
        dialogue->keepConcatenationIn(dbPath);
        dialogue->setAnswerTimeoutMs(modemTimeoutMs);
        dialogue->setSubmitTimeoutMs(modemTimeoutMs);
        engine = std::make_unique<SendEngine>(&queue, log.get(), dialogue.get(), &clock);
    }

    // Engine state, Fehlversuche, port, status line.
    QString snapshot() const
    {
        const char *state = QMetaEnum::fromType<State>().valueToKey(int(engine->state()));
        return QString::fromLatin1(state) + u' ' + engine->verbindungAktiv() + u' ' +
               QString::number(engine->fehlversuche()) +
               (fakeLine.isOpen() ? u" open "_s : u" closed "_s) +
               statusText(engine->status()).mid(8);
    }
    QStringList logged() const
    {
        QStringList result;
        for (const LogRow &row : log->readAll())
            result.append(row.mobilNummer + u' ' + row.nachricht + u' ' + row.versandt);
        return result;
    }

    // Items "COMMAND|answer": the next thing the dialogue writes is COMMAND
    // and CR (PDU: a PDU in hex and Ctrl-Z, kept in pdus), and the modem
    // answers. The ESC with which each call begins is passed over. Other
    // items are events: "tick", "break" (the line breaks), "wait" (until
    // the time-out has ended the call), "resume", "later" (a tick 45 s on),
    // "<answer" (the modem answers now).
    void play(const QByteArrayList &script, const QByteArray &noise = {}, bool bytewise = false)
    {
        for (const QByteArray &item : script) {
            const qsizetype bar = item.indexOf('|');
            if (bar < 0) {
                if (item == "tick")
                    engine->tick();
                else if (item == "break")
                    fakeLine.breakLine();
                else if (item == "resume")
                    engine->resume();
                else if (item == "wait")
                    QTRY_VERIFY(!fakeLine.isOpen());
                else if (item == "later")
                    clock.advanceSeconds(45), engine->tick();
                else if (item.startsWith('<'))
                    fakeLine.deliver(item.mid(1));
                else
                    QFAIL(item.constData());
                continue;
            }
            QTRY_VERIFY(nextWrite() < fakeLine.writes.size()); // log rows are written meanwhile
            const QByteArray written = fakeLine.writes.at(m_read++);
            const QByteArray command = item.left(bar);
            if (command == "PDU") {
                QVERIFY(written.endsWith('\x1A'));
                pdus.append(written.chopped(1));
            } else {
                QCOMPARE(written, command + '\r');
            }
            const QByteArray answer = noise + item.mid(bar + 1);
            if (!bytewise) {
                fakeLine.deliver(answer);
                continue;
            }
            for (char c : answer)
                fakeLine.deliver(QByteArray(1, c));
        }
        // Nothing more was written than the script expects.
        QCOMPARE(nextWrite(), fakeLine.writes.size());
    }

    QTemporaryDir dir;
    QString dbPath;
    int modemTimeoutMs = 30;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<ConnectionSettings> connectionSettings;
    OutgoingQueue queue;
    FakeSerialLine fakeLine;
    FakeClock clock;
    std::unique_ptr<StoreConnection> connection;
    std::unique_ptr<SendLog> log;
    std::unique_ptr<GsmDialogue> dialogue;
    std::unique_ptr<SendEngine> engine;
    QByteArrayList pdus;

private:
    qsizetype nextWrite()
    {
        while (m_read < fakeLine.writes.size() && fakeLine.writes.at(m_read) == "\x1B")
            ++m_read;
        return m_read;
    }
    qsizetype m_read = 0;
};

// A 7-bit text of 400 characters: three parts of 153, 153 and 94 septets.
QString longNotice()
{
    return u"Die Sitzung vom Montag beginnt um 09:30 Uhr im Saal 3, Eingang B. "_s.repeated(7).left(
        400);
}

} // namespace

class TestGsmDialogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One call with the engine: the commands and answers, with the PIN and
    // the text of the entry, the lines the modem sends on its own before
    // every answer (noise), whether the answers come byte by byte, and what
    // the engine shows and logs then.
    void call_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArrayList>("script");
        QTest::addColumn<QByteArray>("noise");
        QTest::addColumn<bool>("bytewise");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("logged"); // "versandt" of the row, if any

        const QString pin = u"1234"_s;
        const QString number = u"0791234567"_s;
        const QString abc = u"abc"_s;
        const QByteArray urcs =
            line("RING") + line("+CREG: 1") + line("+CMTI: \"SM\",3") + "\r\n\r\n";
        const QByteArrayList withPin = {"ATE0|ATE0\r" + ok, "AT+CMEE=1|" + ok,
                                        "AT+CPIN?|" + pinState("SIM PIN"), "AT+CPIN=\"1234\"|" + ok,
                                        "AT+CMGF=0|" + ok};
        const auto row = [&](const char *name, const QByteArrayList &script, const QString &after,
                             const QString &logged = {}) {
            QTest::newRow(name) << pin << number << abc << script << QByteArray() << false << after
                                << logged;
        };

        QTest::newRow("PIN entered, echo still on") << pin << number << abc << withPin + sendAbc
                                                    << QByteArray() << false << standing << u"OK"_s;
        QTest::newRow("unsolicited lines before every answer")
            << pin << number << abc << withPin + sendAbc << urcs << false << standing << u"OK"_s;
        QTest::newRow("answers byte by byte, unsolicited lines")
            << pin << number << abc << withPin + sendAbc << urcs << true << standing << u"OK"_s;
        QTest::newRow("SIM ready, no PIN configured")
            << QString() << number << abc << simReady + sendAbc << QByteArray() << false << standing
            << u"OK"_s;
        QTest::newRow("three parts, three CMGS")
            << pin << number << longNotice()
            << simReady + QByteArrayList{"AT+CMGS=152|" + prompt, "PDU|" + accepted(1),
                                         "AT+CMGS=152|" + prompt, "PDU|" + accepted(2),
                                         "AT+CMGS=101|" + prompt, "PDU|" + accepted(3)}
            << urcs << false << standing << u"OK"_s;
        // A modem left waiting for a PDU answers the ESC, then ATE0: every
        // OK is one late until AT+CPIN? waits for its state.
        row("late OKs after ESC",
            {"ATE0|" + ok + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + ok + pinState("READY"),
             "AT+CMGF=0|" + ok, "AT+CMGS=15|" + prompt, "PDU|" + accepted(1)},
            standing, u"OK"_s);
        // The SIM may take long over its PIN: the call's 40 s do not cut it.
        row("PIN answered after 40 s",
            {"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("SIM PIN"),
             "AT+CPIN=\"1234\"|", "later", "<" + ok, "AT+CMGF=0|" + ok, "AT+CMGS=15|" + prompt,
             "PDU|" + accepted(1)},
            standing, u"OK"_s);
        row("prompt with a line end",
            simReady + QByteArrayList{"AT+CMGS=15|\r\n>\r\n", "PDU|" + accepted(1)}, standing,
            u"OK"_s);

        // Refusals for good: logged and removed, the connection stands.
        row("CMS 21: refused for good",
            simReady + QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + line("+CMS ERROR: 21")},
            u"Idle Nein 0 open SMS abgelehnt (CMS 21: Kurzmitteilung abgewiesen)"_s, u"CMS 21"_s);
        row("CMS 304 before the prompt",
            simReady + QByteArrayList{"AT+CMGS=15|" + line("+CMS ERROR: 304")},
            u"Idle Nein 0 open SMS abgelehnt (CMS 304: ungültige Angabe im PDU-Modus)"_s,
            u"CMS 304"_s);
        QTest::newRow("part 2 of 3 refused for good")
            << pin << number << longNotice()
            << simReady + QByteArrayList{"AT+CMGS=152|" + prompt, "PDU|" + accepted(1),
                                         "AT+CMGS=152|" + prompt, "PDU|" + line("+CMS ERROR: 1")}
            << QByteArray() << false
            << u"Idle Nein 0 open SMS abgelehnt (CMS 1: Nummer nicht vergeben)"_s << u"CMS 1"_s;
        const QString tooLong = u"Die Natel-Nummer hat mehr als 20 Ziffern."_s;
        QTest::newRow("number that cannot be encoded")
            << pin << u"079123456789012345678"_s << abc << simReady << QByteArray() << false
            << u"Idle Nein 0 open SMS nicht versandt: "_s + tooLong << tooLong;

        // Passing failures: the entry stays and is tried again at the pace.
        row("CMS 42: passing",
            simReady + QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + line("+CMS ERROR: 42")},
            failed(u"SMS nicht versandt (CMS 42: Netz überlastet)"_s));
        row("CMS 38 after the PDU: passing",
            simReady + QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + line("+CMS ERROR: 38")},
            failed(u"SMS nicht versandt (CMS 38: Netz ausser Betrieb)"_s));
        row("plain ERROR",
            simReady + QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + line("ERROR")},
            failed(u"SMS nicht versandt (ERROR)"_s));
        row("CMS error in words",
            simReady +
                QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + line("+CMS ERROR: network busy")},
            failed(u"SMS nicht versandt (network busy)"_s));
        row("OK without +CMGS is no acceptance",
            simReady + QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + ok, "wait"},
            failed(u"Keine Antwort des Modems auf die SMS"_s));
        row("prompt never comes", simReady + QByteArrayList{"AT+CMGS=15|" + ok, "wait"},
            failed(u"Keine Antwort des Modems auf AT+CMGS=15"_s));
        row("modem silent", {"ATE0|", "wait"}, failed(u"Keine Antwort des Modems auf ATE0"_s));
        row("line breaks at the prompt", simReady + QByteArrayList{"AT+CMGS=15|", "break"},
            failed(u"Leitung unterbrochen"_s));
        row("SIM PUK", {"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("SIM PUK")},
            failed(u"SIM-Karte gesperrt: PUK erforderlich"_s));
        row("no SIM", {"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + line("+CME ERROR: 10")},
            failed(u"SIM-Karte nicht bereit (CME 10: keine SIM-Karte eingelegt)"_s));
        QTest::newRow("PIN asked, none configured")
            << QString() << number << abc
            << QByteArrayList{"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("SIM PIN")}
            << QByteArray() << false
            << failed(u"SIM-Karte verlangt eine PIN, aber keine ist konfiguriert"_s) << QString();
        row("no PDU mode",
            {"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("READY"),
             "AT+CMGF=0|" + line("+CMS ERROR: 303")},
            failed(
                u"Modem kann keine SMS im PDU-Modus senden (CMS 303: Vorgang nicht unterstützt)"_s));

        // Settings that keep the call from being begun: nothing is opened.
        QTest::newRow("PIN of three digits")
            << u"123"_s << number << abc << QByteArrayList() << QByteArray() << false
            << u"Idle Nein 0 closed Die PIN der SIM-Karte muss aus 4 bis 8 Ziffern bestehen"_s
            << QString();
    }
    void call()
    {
        QFETCH(QString, pin);
        QFETCH(QString, number);
        QFETCH(QString, text);
        QFETCH(QByteArrayList, script);
        QFETCH(QByteArray, noise);
        QFETCH(bool, bytewise);
        QFETCH(QString, after);
        QFETCH(QString, logged);
        Rig rig;
        rig.setPin(pin);
        rig.queue.clear();
        rig.queue.append(number, text, QString());
        rig.engine->tick();
        rig.play(script, noise, bytewise);
        QTRY_VERIFY(rig.engine->state() != State::Logging);
        QCOMPARE(rig.snapshot(), after);
        const bool opened = !script.isEmpty();
        QCOMPARE(rig.fakeLine.openedPorts, opened ? QStringList{u"/dev/ttyS2"_s} : QStringList());
        // Each call begins with ESC, for a modem still waiting for a PDU.
        QCOMPARE(rig.fakeLine.writes.value(0), opened ? QByteArray("\x1B") : QByteArray());
        QCOMPARE(rig.logged(), logged.isEmpty()
                                   ? QStringList()
                                   : QStringList{number + u' ' + text + u' ' + logged});
        QCOMPARE(rig.queue.count(), logged.isEmpty() ? 1 : 0);
        if (logged == u"OK"_s) {
            QByteArrayList expected;
            for (const Gsm::SubmitPdu &part : Gsm::buildSubmitPdus(number, text, {}, 0).parts)
                expected.append(part.hex);
            QCOMPARE(rig.pdus, expected);
            if (text == u"abc"_s)
                QCOMPARE(rig.pdus, QByteArrayList{abcPdu});
        }
    }

    // A PIN the SIM refuses stops sending: one box, no more tries on their
    // own, whatever the ticks; resuming sends that PIN never again, also
    // after a restart and a save of other settings, only a new one.
    void refusedPinHalts_data()
    {
        QTest::addColumn<QByteArrayList>("refusal");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("restarted");
        const QByteArrayList cme16 = {"AT+CPIN=\"1234\"|" + line("+CME ERROR: 16")};
        const QByteArrayList noAnswer = {"AT+CPIN=\"1234\"|", "wait"};
        QTest::newRow("CME 16") << cme16 << u"SIM-Karte lehnt die PIN ab (CME 16: falsche PIN)"_s
                                << false;
        QTest::newRow("plain ERROR") << QByteArrayList{"AT+CPIN=\"1234\"|" + line("ERROR")}
                                     << u"SIM-Karte lehnt die PIN ab (ERROR)"_s << false;
        QTest::newRow("in words") << QByteArrayList{"AT+CPIN=\"1234\"|" +
                                                    line("+CME ERROR: incorrect password")}
                                  << u"SIM-Karte lehnt die PIN ab (incorrect password)"_s << false;
        QTest::newRow("no answer")
            << noAnswer << u"Keine Antwort des Modems auf die PIN"_s << false;
        QTest::newRow("CME 16, restarted")
            << cme16 << u"SIM-Karte lehnt die PIN ab (CME 16: falsche PIN)"_s << true;
        QTest::newRow("no answer, restarted")
            << noAnswer << u"Keine Antwort des Modems auf die PIN"_s << true;
    }
    void refusedPinHalts()
    {
        QFETCH(QByteArrayList, refusal);
        QFETCH(QString, reason);
        QFETCH(bool, restarted);
        Rig rig;
        // Each halt's reason and what the window showed then.
        QStringList told;
        auto watch = [&] {
            connect(rig.engine.get(), &SendEngine::halted, this,
                    [&](const QString &why) { told.append(why + u" | "_s + rig.snapshot()); });
        };
        watch();
        QSignalSpy paused(rig.engine.get(), &SendEngine::pausedChanged);
        const QByteArrayList askPin = {"ATE0|" + ok, "AT+CMEE=1|" + ok,
                                       "AT+CPIN?|" + pinState("SIM PIN")};
        rig.engine->tick();
        rig.play(askPin + refusal);
        const QString stopped = u"Paused Nein 0 closed "_s + reason + u" – Versand angehalten"_s;
        QCOMPARE(told, QStringList{reason + u" | "_s + stopped});
        QCOMPARE(paused.count(), 1);
        QVERIFY(paused.constFirst().constFirst().toBool());
        for (int i = 0; i < 60; ++i) {
            rig.clock.advanceSeconds(5);
            rig.engine->tick();
        }
        QCOMPARE(rig.snapshot(), stopped);
        QCOMPARE(rig.fakeLine.openedPorts.size(), 1);

        if (restarted) {
            // The program starts afresh; the user saves the settings with
            // the same PIN.
            rig.restart();
            told.clear();
            watch();
            rig.setPin(u"1234"_s, true);
        }
        // Resumed with the same PIN: the SIM's state is asked, the PIN is
        // not sent (play() fails on any write beyond the script).
        rig.engine->resume();
        rig.play(QByteArrayList{"tick"} + askPin);
        const QString notAgain =
            u"Diese PIN hat die SIM-Karte nicht angenommen; sie wird nicht noch einmal gesendet"_s;
        QCOMPARE(told.size(), restarted ? 1 : 2);
        QCOMPARE(told.last().section(u" | "_s, 0, 0), notAgain);

        // The user mends the PIN and resumes: the next tick tries at once.
        rig.engine->resume();
        QCOMPARE(rig.snapshot(), u"Idle Nein 0 closed Warten..."_s);
        rig.setPin(u"4321"_s);
        rig.play(QByteArrayList{"tick"} + askPin +
                 QByteArrayList{"AT+CPIN=\"4321\"|" + ok, "AT+CMGF=0|" + ok} + sendAbc);
        QTRY_COMPARE(rig.snapshot(), standing);
        QCOMPARE(rig.logged(), QStringList{u"0791234567 abc OK"_s});
        QCOMPARE(told.size(), restarted ? 1 : 2);
        QCOMPARE(rig.fakeLine.openedPorts.size(), 3);
        QVERIFY(!rig.connectionSettings->simPinRefused());
    }

    // Part 2 of 2 refused for a while: the retry sends part 2 only, under
    // the reference of part 1, also after a restart; the next message in
    // parts has a reference of its own.
    void retryResumesAtRefusedPart_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("same run") << false;
        QTest::newRow("after a restart") << true;
    }
    void retryResumesAtRefusedPart()
    {
        QFETCH(bool, restart);
        Rig rig;
        // A stored entry reaches the dialogue once its mark is written on the
        // log writer's thread: the modem must not time out meanwhile.
        rig.modemTimeoutMs = 5000;
        rig.restart();
        const QString number = u"0791234567"_s;
        const QString text = longNotice().left(200);
        rig.queue.clear();
        rig.queue.restore({QueueEntry{5, number, text, QString(), true}});
        PendingMessages table(rig.connection->database());
        QVERIFY(table.prepareTable());
        QVERIFY(table.insert({PendingMessage{5, number, text, QString()}}));
        const auto part = [&](int reference, int index) {
            return Gsm::buildSubmitPdus(number, text, {}, quint8(reference)).parts.at(index);
        };
        const auto cmgs = [&](int index) -> QByteArray {
            return "AT+CMGS=" + QByteArray::number(part(0, index).tpduLength) + '|' + prompt;
        };

        rig.engine->tick();
        rig.play(simReady + QByteArrayList{cmgs(0), "PDU|" + accepted(1), cmgs(1),
                                           "PDU|" + line("+CMS ERROR: 42")});
        QCOMPARE(rig.snapshot(), failed(u"SMS nicht versandt (CMS 42: Netz überlastet)"_s));
        if (restart)
            rig.restart();
        rig.clock.advanceSeconds(40);
        rig.play(QByteArrayList{"tick"} + simReady + QByteArrayList{cmgs(1), "PDU|" + accepted(2)});
        QTRY_COMPARE(rig.logged(), QStringList{number + u' ' + text + u" OK"_s});
        QCOMPARE(TestDb::scalar(rig.dbPath, u"SELECT COUNT(*) FROM PendingMessages"_s).toInt(), 0);

        rig.queue.append(number, text, QString());
        rig.play({"tick", cmgs(0), "PDU|" + accepted(3), cmgs(1), "PDU|" + accepted(4)});
        QTRY_COMPARE(rig.logged().size(), 2);
        QCOMPARE(rig.pdus, (QByteArrayList{part(0, 0).hex, part(0, 1).hex, part(0, 1).hex,
                                           part(1, 0).hex, part(1, 1).hex}));
    }
};

QTEST_GUILESS_MAIN(TestGsmDialogue)
#include "tst_gsmdialogue.moc"
