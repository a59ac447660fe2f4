// The GSM modem dialogue under the send engine, on the in-memory line: the
// commands it writes, how it follows the modem's answers, and what the
// engine logs and shows for them.

#include "connectionsettings.h"
#include "fakeclock.h"
#include "fakeserialline.h"
#include "gsmdialogue.h"
#include "incoming.h"
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

// "abc" to 079 123 45 67 with the SIM's centre, a status report asked
// for, packed by hand: 15 octets.
const QByteArray abcPdu = "00"
                          "21000A8170193254760000"
                          "0361F118";

// What a modem offers to AT+CNMI=?, and the set-up for receiving after PDU
// mode: +CMTI for messages, +CDS for reports, the SIM's storage, nothing
// waiting.
QByteArray cnmiOffer(const QByteArray &lists)
{
    return line("+CNMI: " + lists) + ok;
}
const QByteArray storages = line(R"(+CPMS: ("ME","SM"),("ME","SM"),("ME","SM"))") + ok;
const QByteArrayList storage = {"AT+CPMS=?|" + storages,
                                R"(AT+CPMS="SM","SM","SM"|)" + line("+CPMS: 0,30,0,30,0,30") + ok};
const QByteArrayList receiving =
    QByteArrayList{"AT+CNMI=?|" + cnmiOffer("(0-2),(0-3),(0-3),(0-2),(0,1)"),
                   "AT+CNMI=2,1,0,1,0|" + ok} +
    storage + QByteArrayList{"AT+CMGL=4|" + ok};

// The set-up of a modem whose SIM is ready.
const QByteArrayList simReady = QByteArrayList{"ATE0|" + ok, "AT+CMEE=1|" + ok,
                                               "AT+CPIN?|" + pinState("READY"), "AT+CMGF=0|" + ok} +
                                receiving;

// Received PDUs (no centre address), written out by hand. The centre's
// time 7 December 2026 08:30:00 UTC.
const QByteArray scts = "62217080030000";
// "hi" from +41 79 123 45 67.
const QByteArray hiPdu = "00040B911497214365F70000" + scts + "02E834";
// UCS-2 from the name "Post", with a concatenation header (or none).
QByteArray fromPost(const QByteArray &header, const QString &text)
{
    QByteArray ucs2;
    for (const QChar c : text)
        ucs2 += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    const QByteArray first = header.isEmpty() ? "04" : "44";
    const int udl = int(header.size() + ucs2.size()) / 2;
    return "00" + first + "07D0D0F79C0E0008" + scts +
           QByteArray::number(udl, 16).rightJustified(2, '0').toUpper() + header + ucs2;
}
// The report on message reference mr to 079 123 45 67 with status st.
QByteArray reportPdu(int mr, const QByteArray &st)
{
    return "0006" + QByteArray::number(mr, 16).rightJustified(2, '0').toUpper() + "0A817019325476" +
           scts + "62217080430000" + st;
}
// How AT+CMGR answers with a stored PDU.
QByteArray cmgr(const QByteArray &pdu)
{
    return line("+CMGR: 0,," + QByteArray::number(pdu.size() / 2 - 1)) + line(pdu) + ok;
}

// Takes what the dialogue receives, noting each item and the last command
// written before it; refuses all when told to.
struct Sink final : IncomingSink
{
    bool storeMessage(const ReceivedMessage &message) override
    {
        calls.append(u"message "_s + message.sender + u": "_s + message.text +
                     (message.incomplete ? u" (incomplete)"_s : QString()) + lastWrite());
        return accept;
    }
    bool storeReport(const DeliveryReport &report) override
    {
        calls.append(u"report "_s + report.recipient + u" mr="_s + report.reference + u' ' +
                     QString::number(int(report.state)) + u' ' + report.detail +
                     report.at.toUTC().toString(u" hh:mm"_s) + lastWrite());
        return accept;
    }
    QString lastWrite() const
    {
        return line->writes.isEmpty()
                   ? QString()
                   : u" after "_s + QString::fromLatin1(line->writes.constLast().trimmed());
    }
    const FakeSerialLine *line = nullptr;
    bool accept = true;
    QStringList calls;
};
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
            return GsmAccount{values.simPin, values.smsCentre, connectionSettings->simPinRefused(),
                              values.deliveryReports};
        });
        dialogue->notePinRefusal(
            [this](const QString &pin) { connectionSettings->setSimPinRefused(pin); });
        dialogue->keepConcatenationIn(dbPath);
        dialogue->setAnswerTimeoutMs(modemTimeoutMs);
        dialogue->setSubmitTimeoutMs(modemTimeoutMs);
        dialogue->setClock(&clock);
        sink.line = &fakeLine;
        dialogue->setIncomingSink(&sink);
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
    // "day" (the clock goes on 24 hours), "<answer" (the modem answers now).
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
                else if (item == "day")
                    clock.advanceSeconds(24 * 60 * 60);
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
    Sink sink;

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
        const QByteArray urcs = line("RING") + line("+CREG: 1") + line("+CGREG: 1") + "\r\n\r\n";
        const QByteArrayList withPin =
            QByteArrayList{"ATE0|ATE0\r" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("SIM PIN"),
                           "AT+CPIN=\"1234\"|" + ok, "AT+CMGF=0|" + ok} +
            receiving;
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
            QByteArrayList{"ATE0|" + ok + ok, "AT+CMEE=1|" + ok,
                           "AT+CPIN?|" + ok + pinState("READY"), "AT+CMGF=0|" + ok} +
                receiving + sendAbc,
            standing, u"OK"_s);
        // The SIM may take long over its PIN: the call's 40 s do not cut it.
        row("PIN answered after 40 s",
            QByteArrayList{"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("SIM PIN"),
                           "AT+CPIN=\"1234\"|", "later", "<" + ok, "AT+CMGF=0|" + ok} +
                receiving + sendAbc,
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
            for (const Gsm::SubmitPdu &part : Gsm::buildSubmitPdus(number, text, {}, 0, true).parts)
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
                 QByteArrayList{"AT+CPIN=\"4321\"|" + ok, "AT+CMGF=0|" + ok} + receiving + sendAbc);
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
            return Gsm::buildSubmitPdus(number, text, {}, quint8(reference), true).parts.at(index);
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

    // What the result names for the send log: the entry, and with reports
    // asked for, each part that went out by its "+CMGS: <mr>".
    void resultNamesReports_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reportsOn");
        QTest::addColumn<QByteArrayList>("script");
        QTest::addColumn<QString>("result");

        const QByteArrayList threeParts = {"AT+CMGS=152|" + prompt, "PDU|" + accepted(7),
                                           "AT+CMGS=152|" + prompt, "PDU|" + accepted(8),
                                           "AT+CMGS=101|" + prompt, "PDU|" + accepted(9)};
        QTest::newRow("three parts") << longNotice() << true << threeParts
                                     << u"true 0:0791234567:7 1:0791234567:8 2:0791234567:9"_s;
        QTest::newRow("reports off") << longNotice() << false << threeParts << u"true"_s;
        QTest::newRow("part 2 refused for good")
            << longNotice() << true
            << QByteArrayList{"AT+CMGS=152|" + prompt, "PDU|" + accepted(7),
                              "AT+CMGS=152|" + prompt, "PDU|" + line("+CMS ERROR: 1")}
            << u"false 0:0791234567:7"_s;
        QTest::newRow("mr 255") << u"abc"_s << true
                                << QByteArrayList{"AT+CMGS=15|" + prompt, "PDU|" + accepted(255)}
                                << u"true 0:0791234567:255"_s;
    }
    void resultNamesReports()
    {
        QFETCH(QString, text);
        QFETCH(bool, reportsOn);
        QFETCH(QByteArrayList, script);
        QFETCH(QString, result);
        Rig rig;
        ConnectionValues values = rig.connectionSettings->values();
        values.deliveryReports = reportsOn;
        QVERIFY(rig.connectionSettings->save(values));
        rig.queue.clear();
        const quint64 id = rig.queue.append(u"0791234567"_s, text, QString());
        QSignalSpy submitted(rig.dialogue.get(), &CallDialogue::submitted);
        rig.engine->tick();
        rig.play(simReady + script);
        QTRY_COMPARE(submitted.size(), 1);
        const auto answer = submitted.constFirst().constFirst().value<CallDialogue::Result>();
        QString named = answer.accepted ? u"true"_s : u"false"_s;
        for (const ExpectedReport &report : answer.reports)
            named += u" %1:%2:%3"_s.arg(report.part).arg(report.recipientKey, report.reference);
        QCOMPARE(named, result);
        QCOMPARE(answer.entryId, id);
        // The report asked for is in every PDU, and only then.
        for (const QByteArray &pdu : std::as_const(rig.pdus))
            QCOMPARE(bool(QByteArray::fromHex(pdu.mid(2, 2)).at(0) & 0x20), reportsOn);
    }

    // Listening on its own: the set-up chooses the indications the modem
    // offers; each stored item is read, handed to the sink and deleted only
    // once the sink has taken it; a report handed over directly goes to the
    // sink as it is. Each sink call names the command written last before
    // it.
    void receive_data()
    {
        QTest::addColumn<QByteArrayList>("script"); // after PDU mode
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("stored");

        const QByteArray cds = "\r\n+CDS: 25\r\n";
        const auto cmti = [](int index) -> QByteArray {
            return "<" + line("+CMTI: \"SM\"," + QByteArray::number(index));
        };
        const auto read = [](int index, const QByteArray &pdu) -> QByteArray {
            return "AT+CMGR=" + QByteArray::number(index) + '|' + cmgr(pdu);
        };
        const auto deleted = [](int index) -> QByteArray {
            return "AT+CMGD=" + QByteArray::number(index) + '|' + ok;
        };
        const QByteArray gruezi = fromPost({}, u"Grüezi € \U0001F600"_s);
        const QByteArrayList listed = {"AT+CMGL=4|" + line("+CMGL: 1,0,,21") + line(hiPdu) +
                                           line("+CMGL: 4,1,,38") + line(reportPdu(9, "43")) + ok,
                                       deleted(1), deleted(4)};
        const QString hiListed = u"message +41791234567: hi after AT+CMGL=4"_s;
        const QString unknownListed =
            u"report 0791234567 mr=9 2 Empfänger unbekannt 08:34 after AT+CMGL=4"_s;

        QTest::newRow("+CDS offered: report at once")
            << receiving + QByteArrayList{"<" + cds + reportPdu(7, "00") + "\r\n"} << true
            << QStringList{u"report 0791234567 mr=7 1  08:34 after AT+CMGL=4"_s};
        QTest::newRow("+CDS, still trying")
            << receiving + QByteArrayList{"<" + cds + reportPdu(200, "21") + "\r\n"} << true
            << QStringList{u"report 0791234567 mr=200 0 Empfänger besetzt 08:34 after AT+CMGL=4"_s};
        QTest::newRow("+CDS unreadable")
            << receiving + QByteArrayList{"<" + cds + "0006070A81\r\n"} << true << QStringList();
        QTest::newRow("only stored reports offered")
            << QByteArrayList{"AT+CNMI=?|" + cnmiOffer("(0-2),(0-3),(0-3),(0,2),(0,1)"),
                              "AT+CNMI=2,1,0,2,0|" + ok} +
                   storage +
                   QByteArrayList{"AT+CMGL=4|" + ok, "<" + line("+CDSI: \"SM\",2"),
                                  read(2, reportPdu(8, "41")), deleted(2)}
            << true
            << QStringList{
                   u"report 0791234567 mr=8 2 Empfänger kann die Nachricht nicht annehmen 08:34 after AT+CMGR=2"_s};
        QTest::newRow("mode 1, no reports, four lists")
            << QByteArrayList{"AT+CNMI=?|" + cnmiOffer("(0,1),(0,1),(0),(0)"),
                              "AT+CNMI=1,1,0,0|" + ok} +
                   storage + listed
            << true << QStringList{hiListed, unknownListed};
        QTest::newRow("no indications: what waits is read")
            << QByteArrayList{"AT+CNMI=?|" + line("ERROR"), "AT+CPMS=?|" + line("ERROR")} + listed
            << true << QStringList{hiListed, unknownListed};
        QTest::newRow("indications refused, phone memory only")
            << QByteArrayList{"AT+CNMI=?|" + cnmiOffer("(0-2),(0-3),(0-3),(0-2),(0,1)"),
                              "AT+CNMI=2,1,0,1,0|" + line("+CMS ERROR: 303"),
                              "AT+CPMS=?|" + line(R"(+CPMS: ("ME"),("ME"),("ME"))") + ok,
                              R"(AT+CPMS="ME","ME","ME"|)" + ok} +
                   listed
            << true << QStringList{hiListed, unknownListed};
        QTest::newRow("sink refuses what waits: nothing deleted")
            << receiving.mid(0, 4) + listed.mid(0, 1) << false
            << QStringList{hiListed, unknownListed};
        QTest::newRow("+CMTI: read, stored, deleted")
            << receiving + QByteArrayList{cmti(5), read(5, gruezi), deleted(5)} << true
            << QStringList{u"message Post: Grüezi € \U0001F600 after AT+CMGR=5"_s};
        QTest::newRow("+CMTI, sink refuses: not deleted")
            << receiving + QByteArrayList{cmti(5), read(5, gruezi)} << false
            << QStringList{u"message Post: Grüezi € \U0001F600 after AT+CMGR=5"_s};
        QTest::newRow("+CMTI for an empty index")
            << receiving + QByteArrayList{cmti(5), "AT+CMGR=5|" + line("+CMS ERROR: 321")} << true
            << QStringList();
        QTest::newRow("+CMTI, unreadable PDU: kept")
            << receiving + QByteArrayList{cmti(6), read(6, "00040B9114972143")} << true
            << QStringList();
        // Parts 2, 3 and 1: the message is stored once whole, then each
        // part is deleted.
        QTest::newRow("three parts, 16-bit reference, out of order")
            << receiving +
                   QByteArrayList{cmti(1),    read(1, fromPost("060804BEEF0302", u"ezi "_s)),
                                  cmti(2),    read(2, fromPost("060804BEEF0303", u"€"_s)),
                                  cmti(3),    read(3, fromPost("060804BEEF0301", u"Grü"_s)),
                                  deleted(1), deleted(2),
                                  deleted(3)}
            << true << QStringList{u"message Post: Grüezi € after AT+CMGR=3"_s};
        QTest::newRow("three parts, sink refuses: none deleted")
            << receiving + QByteArrayList{cmti(1), read(1, fromPost("060804BEEF0302", u"ezi "_s)),
                                          cmti(2), read(2, fromPost("060804BEEF0303", u"€"_s)),
                                          cmti(3), read(3, fromPost("060804BEEF0301", u"Grü"_s))}
            << false << QStringList{u"message Post: Grüezi € after AT+CMGR=3"_s};
        // A part read twice (listed at a new connection, say) is one part,
        // deleted once.
        QTest::newRow("two parts, one read twice, 8-bit reference")
            << receiving + QByteArrayList{cmti(1),    read(1, fromPost("050003070202", u"b"_s)),
                                          cmti(1),    read(1, fromPost("050003070202", u"b"_s)),
                                          cmti(2),    read(2, fromPost("050003070201", u"a"_s)),
                                          deleted(1), deleted(2)}
            << true << QStringList{u"message Post: ab after AT+CMGR=2"_s};
        // A day later the next message read gives out what came of the
        // other, a mark for the missing part.
        QTest::newRow("part missing for 24 hours")
            << receiving + QByteArrayList{cmti(1),        read(1, fromPost("050003070202", u"b"_s)),
                                          "day",          cmti(2),
                                          read(2, hiPdu), deleted(2),
                                          deleted(1)}
            << true
            << QStringList{u"message +41791234567: hi after AT+CMGR=2"_s,
                           u"message Post: […]b (incomplete) after AT+CMGR=2"_s};
    }
    void receive()
    {
        QFETCH(QByteArrayList, script);
        QFETCH(bool, accept);
        QFETCH(QStringList, stored);
        Rig rig;
        rig.queue.clear();
        rig.sink.accept = accept;
        QSignalSpy listening(rig.dialogue.get(), &CallDialogue::listeningChanged);
        QVERIFY(rig.dialogue->canReceive());
        rig.dialogue->setListening(true);
        rig.play(QByteArrayList{"ATE0|" + ok, "AT+CMEE=1|" + ok, "AT+CPIN?|" + pinState("READY"),
                                "AT+CMGF=0|" + ok} +
                 script);
        QCOMPARE(rig.sink.calls, stored);
        QVERIFY(rig.dialogue->isListening());
        QCOMPARE(listening.size(), 1);
        QCOMPARE(rig.fakeLine.openedPorts, QStringList{u"/dev/ttyS2"_s});
        QCOMPARE(rig.dialogue->listeningVia(), u"GSM-Modem"_s);
    }

    // While listening the port stays open: a call begins on the standing
    // connection and its end leaves it; a broken line is opened again after
    // the pace, quietly; listening ended closes it, after the call under
    // way.
    void listeningKeepsThePort()
    {
        Rig rig;
        // The modem answers each reopening only when the test gets to it.
        rig.modemTimeoutMs = 5000;
        rig.restart();
        rig.dialogue->setReopenPaceMs(50);
        QSignalSpy failed(rig.dialogue.get(), &CallDialogue::failed);
        rig.dialogue->setListening(true);
        rig.play(simReady);
        rig.play(QByteArrayList{"tick"} + sendAbc);
        QTRY_COMPARE(rig.logged(), QStringList{u"0791234567 abc OK"_s});
        // The row is in the file before the engine hears it is written.
        QTRY_VERIFY(rig.queue.isEmpty());
        QTRY_COMPARE(rig.engine->state(), State::Idle);
        rig.clock.advanceSeconds(GsmDialogue::holdMs / 1000 + 1);
        rig.engine->tick();
        QTRY_COMPARE(rig.engine->state(), State::Idle);
        QVERIFY(rig.fakeLine.isOpen());
        QVERIFY(rig.dialogue->isListening());

        rig.play({"break"});
        QVERIFY(!rig.dialogue->isListening());
        QCOMPARE(failed.size(), 0);
        rig.play(simReady);
        QTRY_VERIFY(rig.dialogue->isListening());
        QCOMPARE(rig.fakeLine.openedPorts.size(), 2);

        // A call under way keeps the port until its end.
        rig.queue.append(u"0791234567"_s, u"abc"_s, QString());
        rig.play(QByteArrayList{"tick"} + sendAbc);
        rig.dialogue->setListening(false);
        QVERIFY(rig.fakeLine.isOpen());
        rig.dialogue->end();
        QVERIFY(!rig.fakeLine.isOpen());
        QVERIFY(!rig.dialogue->isListening());
        QCOMPARE(rig.fakeLine.openedPorts.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestGsmDialogue)
#include "tst_gsmdialogue.moc"
