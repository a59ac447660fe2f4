#include "dialupdialogue.h"
#include "fakeclock.h"
#include "fakeserialline.h"
#include "messagetext.h"
#include "pendingmessages.h"
#include "sendengine.h"
#include "sendlog.h"
#include "sendlogwriter.h"
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
const QByteArray dialAtdt = "ATDT 012345678\r";
const QByteArray frame = "\x02"
                         "01/00048/O/01/0791234567/0311234567//3/616263/2B\x03";
const QByteArray connect9600 = "\r\nCONNECT 9600\r\n";
const QByteArray busy = "\r\nBUSY\r\n";
// How the status names a line that broke, with the line's own reason.
const QString lineBroken =
    QStringLiteral("Leitung unterbrochen: Schnittstelle nicht mehr verfügbar");
// Rig::snapshot() of common states.
const QString idle = u"Idle Nein 0 closed Warten..."_s;
const QString dialling = u"Dialling Ja 0 open Verbindung wird hergestellt..."_s;
// A failed attempt, counted as the n-th in a row, and what the status says.
QString failed(int n, const QString &reason, const QString &next = u"nächster Versuch in 40 s"_s)
{
    const QString state = next.startsWith(u"nächster"_s) ? u"Waiting"_s : u"Paused"_s;
    return u"%1 Nein %2 closed %3 – %4"_s.arg(state, QString::number(n), reason, next);
}

// A reply of the message centre, built independently of the program's parser.
QByteArray centreReply(const QByteArray &rest, const QByteArray &trn = "01")
{
    const QByteArray len = QByteArray::number(trn.size() + rest.size() + 9).rightJustified(5, '0');
    const QByteArray body = trn + '/' + len + '/' + rest;
    unsigned sum = 0;
    for (char c : body)
        sum += static_cast<unsigned char>(c);
    return '\x02' + body + QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0') +
           '\x03';
}
const QByteArray ack = centreReply("R/01/A//0791234567:061226140310/");

// A connection that carries several entries, as a TCP/IP session would.
class SessionDialogue final : public CallDialogue
{
public:
    QString missingSetting() const override { return {}; }
    void begin() override { steps.append(u"begin"_s); }
    void submit(const QueueEntry &entry) override
    {
        steps.append(entry.nachricht);
        ids.append(entry.id);
        if (onSubmit)
            onSubmit();
    }
    void end() override { steps.append(u"end"_s); }
    bool severalPerCall() const override { return true; }
    bool takesLongMessages() const override { return whole; }
    bool submissionRefused() const override { return refused; }
    qint64 idleHoldMs() const override { return holdMs; }
    int window() const override { return windowSize; }
    QStringList steps;
    QList<quint64> ids; // of the entries submitted, in order
    int windowSize = 1;
    qint64 holdMs = 0;
    bool whole = false;   // as a GSM modem
    bool refused = false; // the last entry was answered with a refusal
    std::function<void()> onSubmit;
};

// The queue's copy in the table PendingMessages.
class TableJournal final : public QueueJournal
{
public:
    explicit TableJournal(const QString &path) : m_connection(path, u"journal"_s)
    {
        if (!m_table.prepareTable())
            QTest::qFail(qPrintable(m_table.lastError()), __FILE__, __LINE__);
    }
    bool store(const QList<QueueEntry> &entries) override
    {
        QList<PendingMessage> rows;
        for (const QueueEntry &entry : entries)
            rows.append({qint64(entry.id), entry.recipient, entry.nachricht, {}});
        return m_table.insert(rows);
    }
    void drop(const QList<quint64> &) override {}

private:
    StoreConnection m_connection;
    PendingMessages m_table{m_connection.database()};
};

// An engine on the fake line with a fresh Daten.mdb and one queued message.
struct Rig
{
    explicit Rig(qint16 comPort = 3, const QString &command = u"ATDT"_s,
                 const QString &provider = u"012345678"_s)
    {
        TestDb::Settings row;
        row.comPort = comPort;
        row.initialisierungsBefehl = command;
        row.providerNummer = provider;
        dbPath = TestDb::create(dir.path(), row);
        settings = std::make_unique<Settings>(dbPath);
        if (!settings->reload())
            QTest::qFail(qPrintable(settings->lastError()), __FILE__, __LINE__);
        connection = std::make_unique<StoreConnection>(dbPath, u"sendlog"_s);
        log = std::make_unique<SendLog>(connection->database());
        dialogue = std::make_unique<DialUpDialogue>(&line, settings.get(), dir.path());
        engine = std::make_unique<SendEngine>(&queue, log.get(), dialogue.get(), &clock);
        failing = std::make_unique<QSignalSpy>(engine.get(), &SendEngine::attemptsFailing);
        queue.append(u"0791234567"_s, u"abc"_s, u"0311234567"_s);
    }

    // Another value in the settings row, read as an activation would.
    void store(const QString &column, const QVariant &value)
    {
        QVERIFY(TestDb::exec(dbPath, u"UPDATE Einstellungen SET "_s + column + u" = ?"_s, {value}));
        QVERIFY(settings->reload());
    }

    // Call state, VerbindungAktiv, Fehlversuche, port, status line.
    QString snapshot() const
    {
        const char *state = QMetaEnum::fromType<State>().valueToKey(int(engine->state()));
        return QString::fromLatin1(state) + u' ' + engine->verbindungAktiv() + u' ' +
               QString::number(engine->fehlversuche()) +
               (line.isOpen() ? u" open "_s : u" closed "_s) + statusText(engine->status()).mid(8);
    }
    // The log rows as "number text versandt".
    QStringList logged() const
    {
        QStringList result;
        for (const LogRow &row : log->readAll())
            result.append(row.mobilNummer + u' ' + row.nachricht + u' ' + row.versandt);
        return result;
    }
    QStringList queued() const
    {
        QStringList result;
        for (int i = 0; i < queue.count(); ++i)
            result.append(queue.at(i).nachricht);
        return result;
    }
    void tick(int seconds = 0)
    {
        clock.advanceSeconds(seconds);
        engine->tick();
    }
    // A tick that dials, and the modem's answer.
    void call(const QByteArray &answer = {})
    {
        engine->tick();
        QCOMPARE(engine->state(), State::Dialling);
        play({answer});
    }
    // "+CD"/"-CD" raise/drop carrier detect, "break" breaks the line, "tick"
    // and "ticks" run one tick or a minute of ticks, "stop" and "start" pause
    // and resume, "wait" awaits the end of the call, "hung up" checks that the
    // port is closed; anything else comes from the modem.
    void play(const QByteArrayList &events)
    {
        for (const QByteArray &event : events) {
            if (event.endsWith("CD"))
                line.setCarrier(event.startsWith('+'));
            else if (event == "break")
                line.breakLine();
            else if (event == "tick")
                engine->tick();
            else if (event == "ticks")
                for (int i = 0; i < 12; ++i)
                    tick(5);
            else if (event.startsWith('+') && event.endsWith('s')) // "+40s"
                tick(event.sliced(1, event.size() - 2).toInt());
            else if (event == "stop")
                engine->pause();
            else if (event == "start")
                engine->resume();
            else if (event == "hung up")
                QVERIFY(!line.isOpen());
            else if (event == "wait")
                QTRY_COMPARE(engine->verbindungAktiv(), u"Nein"_s);
            else if (!event.isEmpty())
                line.deliver(event);
        }
    }
    // A failed attempt ends the call, keeps the entry and logs nothing.
    void checkFailedAttempt(int count)
    {
        QCOMPARE(snapshot().section(u' ', 0, 3), u"Waiting Nein %1 closed"_s.arg(count));
        QCOMPARE(logged(), QStringList());
        QCOMPARE(queued().value(0), u"abc"_s);
    }

    QTemporaryDir dir;
    QString dbPath;
    std::unique_ptr<Settings> settings;
    OutgoingQueue queue;
    FakeSerialLine line;
    FakeClock clock;
    std::unique_ptr<StoreConnection> connection;
    std::unique_ptr<SendLog> log;
    std::unique_ptr<DialUpDialogue> dialogue;
    std::unique_ptr<SendEngine> engine;
    std::unique_ptr<QSignalSpy> failing; // attemptsFailing
};

} // namespace

class TestSendEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startValuesAndTimer1()
    {
        Rig rig;
        QCOMPARE(rig.snapshot(), idle);
        QCOMPARE(rig.engine->versandStatus(), u"Start"_s);
        QCOMPARE(rig.engine->timer1()->objectName(), u"Timer1"_s);
        rig.queue.clear();
        rig.queue.append(QString(), u"abc"_s, QString()); // no number: no entry
        for (int i = 0; i < 20; ++i)
            rig.tick(5);
        QVERIFY(rig.line.openedPorts.isEmpty());
        rig.queue.clear();
        rig.queue.append(u"0791234567"_s, u"abc"_s, QString());
        rig.engine->start();
        QCOMPARE(rig.engine->timer1()->interval(), 5000);
        rig.engine->timer1()->setInterval(5); // no test waits five seconds
        QTRY_COMPARE(rig.line.openedPorts.size(), 1);
    }

    // The dial line as written. Without a provider number nothing is dialled
    // and nothing counted, until the settings have one.
    void dialLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no command") << QString() << u"012345678"_s << QByteArray(" 012345678\r");
        QTest::newRow("no provider")
            << u"ATX3&C1DT"_s << QString() << QByteArray("ATX3&C1DT 012345678\r");
    }
    void dialLine()
    {
        QFETCH(QString, command);
        QFETCH(QString, provider);
        QFETCH(QByteArray, expected);
        Rig rig(3, command, provider);
        if (provider.isEmpty()) {
            rig.play({"ticks"});
            QCOMPARE(rig.snapshot(),
                     u"Idle Nein 0 closed Keine Rufnummer des Service-Providers konfiguriert"_s);
            QVERIFY(rig.line.openedPorts.isEmpty());
            rig.queue.clear(); // nothing to send: nothing missing either
            rig.tick(5);
            QCOMPARE(rig.snapshot(), idle);
            rig.queue.append(u"0791234567"_s, u"abc"_s, u"0311234567"_s);
            rig.store(u"ProviderNummer"_s, u"012345678"_s);
            rig.engine->tick();
        }
        // Nothing more while the modem dials: a modem aborts the dial on any byte.
        for (int i = 0; i < 8; ++i)
            rig.tick(5);
        QCOMPARE(rig.snapshot(), dialling);
        QCOMPARE(rig.line.openedPorts, QStringList{u"/dev/ttyS2"_s});
        QCOMPARE(rig.line.writes, QByteArrayList{expected});
    }

    // A call after one failed attempt: what the modem and then the centre
    // answer (events as Rig::play), the state and log rows that result.
    void callOutcome_data()
    {
        QTest::addColumn<QByteArrayList>("events");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("logged");
        const auto row = [](const char *name, const QByteArrayList &events, const QString &after,
                            const QString &logged = {}) {
            QTest::newRow(name) << events << after << logged;
        };
        const auto sent = [&](const char *name, const QByteArrayList &events, const QString &after,
                              const QString &logged = {}) {
            row(name, QByteArrayList{connect9600} + events, after, logged);
        };
        // The failed attempt before stays counted until the centre answers.
        const QString waiting = u"Dialling Ja 1 open Verbindung wird hergestellt..."_s;
        const QString submitting = u"Submitting Ja 1 open SMS wird versandt..."_s;
        const auto halted = [](const QString &reason) -> QString {
            return u"Paused Nein 1 closed "_s + reason + u" – Versand angehalten"_s;
        };
        const QString ok = u"0791234567 abc OK"_s;
        QByteArray badChecksum = ack;
        badChecksum[badChecksum.size() - 2] ^= 1;

        row("CONNECT", {"\r\nCONNECT\r\n"}, submitting);
        row("CONNECT 14400/ARQ", {"\r\nCONNECT 14400/ARQ\r\n"}, submitting);
        row("bare CR", {"CONNECT 9600\r"}, submitting);
        row("echo, OK, split CONNECT", {dialAtdt, "\r\nOK\r\n\r\nCONN", "ECT 96", "00\r\n"},
            submitting);
        row("carrier rises, CONNECT follows", {"-CD", "+CD", connect9600, "+CD"}, submitting);
        row("echo, OK, RING", {dialAtdt, "\r\nOK\r\n\r\nRING\r\n"}, waiting);
        row("CONNECT without line end", {"\r\nCONNECT 9600"}, waiting);
        row("CONNECTING", {"\r\nCONNECTING\r\n"}, waiting);
        row("carrier drops", {"-CD"}, waiting);
        row("BUSY after echo", {dialAtdt + busy}, failed(2, u"Besetzt"_s));
        row("NO CARRIER", {"\r\nNO CARRIER\r\n"}, failed(2, u"Keine Verbindung"_s));
        row("NO DIALTONE", {"NO DIALTONE\r"}, failed(2, u"Kein Wählton"_s));
        row("NO DIAL TONE", {"\r\nNO DIAL TONE\r\n"}, failed(2, u"Kein Wählton"_s));
        row("NO ANSWER", {"\r\nNO ANSWER\r\n"}, failed(2, u"Keine Antwort"_s));
        row("ERROR", {"\r\nERROR\r\n"}, failed(2, u"Modemfehler"_s));
        row("line breaks", {"break"}, failed(2, lineBroken));

        sent("ack", {ack}, idle, ok);
        sent("garbage, ticks, ack", {"\x02garbage\x03", "ticks", ack}, idle, ok);
        sent("wrong checksum, ack", {badChecksum, ack}, idle, ok);
        // "\002" is STX: a frame that breaks off before the real answer.
        sent("ack split, after a broken-off frame", {"\00201/000", ack.left(9), ack.mid(9)}, idle,
             ok);
        sent("broken-off frame and ack in one read", {"\00201/000" + ack}, idle, ok);
        // Not the answer to our frame, whatever it says.
        sent("refusal for another TRN, ack", {centreReply("R/01/N/02//", "02"), ack}, idle, ok);
        // Codes that name the message: refused for good, the next one goes.
        sent("refused 02", {centreReply("R/01/N/02//")},
             u"Idle Nein 0 closed SMS abgelehnt (02: Syntaxfehler)"_s, u"0791234567 abc NACK 02"_s);
        sent("refused 06", {centreReply("R/01/N/06//")},
             u"Idle Nein 0 closed SMS abgelehnt (06: Empfängeradresse ungültig (AdC))"_s,
             u"0791234567 abc NACK 06"_s);
        sent("refused 24", {centreReply("R/01/N/24//")},
             u"Idle Nein 0 closed SMS abgelehnt (24: Nachricht zu lang)"_s,
             u"0791234567 abc NACK 24"_s);
        // Codes that name the account: sending halts, the queue stays.
        sent("call barring 05", {centreReply("R/01/N/05//")},
             halted(u"SMS-Center verweigert den Versand (05: Sperre aktiv)"_s));
        sent("legitimisation 08", {centreReply("R/01/N/08//")},
             halted(u"SMS-Center verweigert den Versand (08: Legitimationscode für alle Aufrufe "
                    u"fehlgeschlagen)"_s));
        // Every other code: a failed attempt, counted with the one before.
        sent("checksum complaint 01", {centreReply("R/01/N/01//")},
             failed(2, u"Prüfsummenfehler"_s));
        sent("not allowed now 04", {centreReply("R/01/N/04//")},
             failed(2, u"Fehler des SMS-Centers (04: Operation nicht erlaubt)"_s));
        sent("system error 55", {centreReply("R/01/N/55//")},
             failed(2, u"Fehler des SMS-Centers (55: Systemfehler der Zentrale)"_s));
        sent("code unknown 99", {centreReply("R/01/N/99//")},
             failed(2, u"Fehler des SMS-Centers (99: unbekannter Fehler)"_s));
        sent("NO CARRIER", {"\r\nNO CARRIER\r\n"}, failed(2, u"Verbindung abgebrochen"_s));
        sent("carrier drops", {"-CD"}, failed(2, u"Verbindung abgebrochen"_s));
        sent("line breaks", {"break"}, failed(2, lineBroken));
        sent("no answer in time", {"wait"}, failed(2, u"Keine Antwort der Zentrale"_s));
    }
    void callOutcome()
    {
        QFETCH(QByteArrayList, events);
        QFETCH(QString, after);
        QFETCH(QString, logged);
        Rig rig;
        rig.queue.append(u"0797654321"_s, u"zwei"_s, QString());
        rig.dialogue->setAnswerTimeoutMs(30);
        QSignalSpy halted(rig.engine.get(), &SendEngine::halted);
        rig.call(busy);
        rig.clock.advanceSeconds(40);
        rig.call();
        const int clears = rig.line.clearInputCount;
        rig.play(events);
        QTRY_VERIFY(rig.engine->state() != State::Logging);
        QCOMPARE(rig.snapshot(), after);
        QCOMPARE(rig.logged(), logged.isEmpty() ? QStringList() : QStringList{logged});
        QCOMPARE(rig.queued(),
                 logged.isEmpty() ? (QStringList{u"abc"_s, u"zwei"_s}) : QStringList{u"zwei"_s});
        QCOMPARE(rig.failing->count(), 0);
        const bool halts = after.endsWith(u"Versand angehalten"_s);
        QCOMPARE(halted.count(), halts ? 1 : 0);
        const bool framed = after.startsWith(u"Submitting"_s) || events.constFirst() == connect9600;
        QCOMPARE(rig.line.writes.mid(1),
                 framed ? (QByteArrayList{dialAtdt, frame}) : QByteArrayList{dialAtdt});
        // The input is discarded right before the frame.
        QCOMPARE(rig.line.clearInputCount, clears + (framed ? 1 : 0));
        if (rig.engine->verbindungAktiv() == u"Ja"_s)
            return;
        // Halted, nothing is dialled until sending is resumed, then at once.
        if (halts) {
            rig.play({"ticks"});
            QCOMPARE(rig.line.openedPorts.size(), 2);
            rig.engine->resume();
        }
        // After a failed attempt the same frame goes out on a new call, 40 s
        // after the failed one was dialled; else the next message at once.
        if (logged.isEmpty() && !halts)
            rig.clock.advanceSeconds(40);
        rig.call(connect9600);
        QCOMPARE(rig.line.openedPorts.size(), 3);
        QVERIFY(
            rig.line.writes.last().contains(logged.isEmpty() ? "/0791234567/" : "/0797654321/"));
    }

    // More than 40 s by the monotonic clock, whatever the wall clock does.
    void timeOut_data()
    {
        QTest::addColumn<QDateTime>("dialAt");
        QTest::addColumn<QDateTime>("wallClockJump");
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<QString>("after");
        const QDateTime day(QDate(2026, 12, 6), QTime(14, 0));
        const QDateTime lateNight(QDate(2026, 12, 31), QTime(23, 59, 50));
        QTest::newRow("40 s") << day << QDateTime() << 40'000 << dialling;
        const QString timedOut =
            failed(1, u"Keine Verbindung innerhalb von 40 s"_s, u"nächster Versuch in 5 s"_s);
        QTest::newRow("midnight, 41 s") << lateNight << QDateTime() << 41'000 << timedOut;
        QTest::newRow("wall clock a day ahead") << day << day.addDays(1) << 40'000 << dialling;
        QTest::newRow("wall clock an hour back") << day << day.addSecs(-3600) << 41'000 << timedOut;
    }
    void timeOut()
    {
        QFETCH(QDateTime, dialAt);
        QFETCH(QDateTime, wallClockJump);
        QFETCH(int, elapsedMs);
        QFETCH(QString, after);
        Rig rig;
        rig.clock.setWallClock(dialAt);
        rig.call();
        if (wallClockJump.isValid())
            rig.clock.setWallClock(wallClockJump);
        rig.clock.advanceMs(elapsedMs);
        rig.engine->tick();
        QCOMPARE(rig.snapshot(), after);
    }

    // From the fifth failed attempt in a row on attemptsFailing tells of
    // each, once the call is wound up: a box that its receiver opens finds
    // the engine at rest. Failures after the connection stood count too,
    // for the head entry until it is answered; another head starts anew.
    void attemptsFailing_data()
    {
        QTest::addColumn<QByteArrayList>("failure"); // ends each call; empty: the time-out
        QTest::newRow("time-out at a tick") << QByteArrayList();
        QTest::newRow("BUSY from the modem") << QByteArrayList{busy};
        QTest::newRow("carrier drops after the frame") << QByteArrayList{connect9600, "-CD"};
        QTest::newRow("centre answers 04")
            << QByteArrayList{connect9600, centreReply("R/01/N/04//")};
    }
    void attemptsFailing()
    {
        QFETCH(QByteArrayList, failure);
        Rig rig;
        rig.queue.append(u"0797654321"_s, u"zwei"_s, QString());
        QStringList whenTold;
        connect(rig.engine.get(), &SendEngine::attemptsFailing, this, [&](int count) {
            whenTold.append(QString::number(count) + u' ' + rig.snapshot());
        });
        for (int i = 1; i <= 6; ++i) {
            rig.call();
            if (failure.isEmpty())
                rig.tick(41);
            else
                rig.play(failure);
            rig.checkFailedAttempt(i);
            QCOMPARE(whenTold.size(), std::max(0, i - 4));
            rig.clock.advanceSeconds(40);
        }
        QVERIFY(whenTold.constFirst().startsWith(u"5 Waiting Nein 5 closed "_s));
        QVERIFY(whenTold.constLast().startsWith(u"6 Waiting Nein 6 closed "_s));
        // The same entry went out on each connected call.
        QCOMPARE(rig.line.writes.count(frame), failure.size() > 1 ? 6 : 0);
        QVERIFY(rig.queue.removeById(rig.queue.head()->id));
        rig.call();
        rig.tick(41);
        QCOMPARE(rig.engine->fehlversuche(), qint16(1));
        QCOMPARE(rig.failing->count(), 2);
    }

    // Every dial fails the same way for ten minutes of ticks: the next dial
    // comes no sooner than 40 s after the failed one began, the status line
    // counts down to it, and from the fifth failure on each failed attempt
    // brings exactly one box.
    void retryPace_data()
    {
        QTest::addColumn<QByteArray>("answer"); // of the modem, at once
        QTest::addColumn<int>("period");        // seconds from dial to dial
        QTest::addColumn<int>("failures");
        QTest::addColumn<QStringList>("statuses"); // from the first failure to the next dial
        const QString dialling = u"Status: Verbindung wird hergestellt..."_s;
        QStringList countdown;
        for (int s = 40; s > 0; s -= 5)
            countdown.append(u"Status: Besetzt – nächster Versuch in %1 s"_s.arg(s));
        QTest::newRow("BUSY") << busy << 40 << 16 << countdown + QStringList{dialling};
        QTest::newRow("no answer: time-out")
            << QByteArray() << 50 << 12
            << QStringList{
                   u"Status: Keine Verbindung innerhalb von 40 s – nächster Versuch in 5 s"_s,
                   dialling};
    }
    void retryPace()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, period);
        QFETCH(int, failures);
        QFETCH(QStringList, statuses);
        Rig rig;
        QList<int> dialsAt;
        QList<int> boxAtDial;
        QStringList seen;
        connect(rig.engine.get(), &SendEngine::attemptsFailing, this,
                [&] { boxAtDial.append(int(dialsAt.size())); });
        connect(rig.engine.get(), &SendEngine::statusChanged, this,
                [&](const EngineStatus &status) {
                    if (dialsAt.size() == 1 && seen.value(seen.size() - 1) != statusText(status))
                        seen.append(statusText(status));
                });
        for (int s = 0; s <= 600; s += 5) {
            rig.tick(s > 0 ? 5 : 0);
            if (rig.line.openedPorts.size() > dialsAt.size()) {
                dialsAt.append(s);
                rig.line.deliver(answer);
            }
        }
        QList<int> expectedDials;
        for (int s = 0; s <= 600; s += period)
            expectedDials.append(s);
        QCOMPARE(dialsAt, expectedDials);
        QCOMPARE(rig.engine->fehlversuche(), qint16(failures));
        QList<int> expectedBoxes;
        for (int attempt = 5; attempt <= failures; ++attempt)
            expectedBoxes.append(attempt);
        QCOMPARE(boxAtDial, expectedBoxes);
        QCOMPARE(seen, statuses);
    }

    // A call that ends while sending is paused is counted without a box,
    // also from the fifth failed attempt on; after resuming the next dial
    // keeps the pace.
    void pausedCallEndsQuietly_data()
    {
        QTest::addColumn<QByteArrayList>("events");
        QTest::addColumn<QString>("after");
        const QString paused = u"Versand angehalten"_s;
        QTest::newRow("BUSY") << QByteArrayList{"stop", busy} << failed(5, u"Besetzt"_s, paused);
        QTest::newRow("line breaks")
            << QByteArrayList{"stop", "break"} << failed(5, lineBroken, paused);
        // Nothing is submitted while paused: hung up, and counted on.
        QTest::newRow("CONNECT") << QByteArrayList{"stop", connect9600}
                                 << failed(5, u"Verbindung getrennt"_s, paused);
        QTest::newRow("answer timer") << QByteArrayList{connect9600, "stop", "wait"}
                                      << failed(5, u"Keine Antwort der Zentrale"_s, paused);
    }
    void pausedCallEndsQuietly()
    {
        QFETCH(QByteArrayList, events);
        QFETCH(QString, after);
        Rig rig;
        rig.dialogue->setAnswerTimeoutMs(30);
        for (int i = 0; i < 4; ++i) {
            rig.call(busy);
            rig.clock.advanceSeconds(40);
        }
        rig.call();
        rig.play(events);
        QCOMPARE(rig.snapshot(), after);
        rig.play({"ticks"});
        QCOMPARE(rig.line.openedPorts.size(), 5);
        QCOMPARE(rig.snapshot(), after);
        rig.play({"start"});
        QCOMPARE(rig.snapshot().section(u" – "_s, 1), u"nächster Versuch in 5 s"_s);
        rig.call();
        QCOMPARE(rig.failing->count(), 0);
        // Dial lines, and the frame of a call that was connected before the pause.
        QCOMPARE(rig.line.writes.size(), events.constFirst() == connect9600 ? 7 : 6);
    }

    void counterSaturates()
    {
        Rig rig;
        for (int i = 0; i < 32767 + 2; ++i) {
            rig.tick(40);
            rig.line.deliver("BUSY\r");
        }
        rig.checkFailedAttempt(32767);
        QCOMPARE(rig.failing->count(), 32767 + 2 - 4);
        QCOMPARE(rig.failing->constLast().constFirst().toInt(), 32767);
    }

    // A port that cannot be used. An entry "COMn" (or "comn") in the program's
    // folder, here a link, names the device; "@" stands for the folder.
    void portProblem_data()
    {
        QTest::addColumn<QVariant>("comPort"); // as stored
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("status");
        const QString fails = u" lässt sich nicht öffnen: Zugriff verweigert"_s;
        const QString noPort =
            u" bezeichnet keine Schnittstelle (gültig sind die Nummern 1 bis 32767)"_s;
        QTest::newRow("built-in") << QVariant(3) << QString() << u"COM3 (/dev/ttyS2)"_s + fails;
        QTest::newRow("COM1 is not COM10")
            << QVariant(10) << u"COM1=>/dev/pts/1"_s << u"COM10 (/dev/ttyS9)"_s + fails;
        QTest::newRow("relative link")
            << QVariant(u"4"_s) << u"COM4=>ptys/a"_s << u"COM4 (@/ptys/a)"_s + fails;
        QTest::newRow("lower case")
            << QVariant(5) << u"com5=>/dev/ttyUSB0"_s << u"COM5 (/dev/ttyUSB0)"_s + fails;
        QTest::newRow("0") << QVariant(0) << QString() << u"Com-Port 0"_s + noPort;
        QTest::newRow("negative") << QVariant(-3) << QString() << u"Com-Port -3"_s + noPort;
        QTest::newRow("beyond 16 bits signed")
            << QVariant(40000) << QString() << u"Com-Port 40000"_s + noPort;
        QTest::newRow("no number")
            << QVariant(u"COM1"_s) << QString() << u"Com-Port COM1"_s + noPort;
    }
    void portProblem()
    {
        QFETCH(QVariant, comPort);
        QFETCH(QString, link);
        QFETCH(QString, status);
        Rig rig;
        rig.store(u"ComPort"_s, comPort);
        const QStringList parts = link.split(u"=>"_s);
        QVERIFY(link.isEmpty() || QFile::link(parts[1], rig.dir.filePath(parts[0])));
        rig.line.failNextOpen(u"Zugriff verweigert"_s);
        rig.engine->tick();
        // A failed attempt, retried at the pace of any other.
        QCOMPARE(rig.snapshot(), failed(1, status.replace(u'@', rig.dir.path())));
        rig.tick(35);
        QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_s);
        rig.tick(5);
        QCOMPARE(rig.line.writes,
                 rig.settings->comPort() > 0 ? QByteArrayList{dialAtdt} : QByteArrayList{});
    }

    // A device pulled out mid-call takes its COMn link with it: the port is
    // gone, and the built-in port of the same number is not dialled in its
    // place. The attempts keep their pace; the link back, sending goes on.
    void pulledOutDevice()
    {
        Rig rig;
        const QString link = rig.dir.filePath(u"COM3"_s);
        QVERIFY(QFile::link(u"/dev/ttyUSB0"_s, link));
        rig.call(connect9600);
        rig.play({"break"});
        QCOMPARE(rig.snapshot(), failed(1, lineBroken));
        QVERIFY(QFile::remove(link));
        rig.tick(35);
        QCOMPARE(rig.snapshot(), failed(1, lineBroken).replace(u"40 s"_s, u"5 s"_s));
        rig.tick(5);
        QCOMPARE(rig.snapshot(), failed(2, u"COM3 ist nicht mehr vorhanden (Gerät entfernt?)"_s));
        QCOMPARE(rig.line.openedPorts, QStringList{u"/dev/ttyUSB0"_s});
        QVERIFY(QFile::link(u"/dev/ttyUSB1"_s, link));
        rig.clock.advanceSeconds(40);
        rig.call(connect9600);
        rig.play({ack});
        QCOMPARE(rig.line.openedPorts, (QStringList{u"/dev/ttyUSB0"_s, u"/dev/ttyUSB1"_s}));
        QTRY_COMPARE(rig.logged(), QStringList{u"0791234567 abc OK"_s});
    }

    // Paused, nothing is dialled; resumed, the next tick dials. Shut down,
    // nothing resumes it.
    void pauseResumeShutDown()
    {
        Rig rig;
        QSignalSpy paused(rig.engine.get(), &SendEngine::pausedChanged);
        rig.engine->pause();
        rig.engine->pause();
        QCOMPARE(rig.engine->versandStatus(), u"Stop"_s);
        rig.play({"ticks"});
        QVERIFY(rig.line.openedPorts.isEmpty());
        rig.engine->resume();
        QVERIFY(rig.line.openedPorts.isEmpty()); // the next tick dials, not the resumption
        rig.call();
        QCOMPARE(paused.count(), 2);
        QVERIFY(paused.at(0).constFirst().toBool() && !paused.at(1).constFirst().toBool());

        rig.engine->start();
        rig.engine->shutDown();
        rig.engine->resume();
        QVERIFY(rig.engine->isPaused());
        QVERIFY(!rig.engine->timer1()->isActive());
        QCOMPARE(rig.snapshot().section(u' ', 0, 3), u"Paused Nein 0 closed"_s);
    }

    void pauseDuringSubmissionStillFinishes()
    {
        Rig rig;
        QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
        rig.call(connect9600);
        rig.engine->pause();
        rig.clock.advanceSeconds(3);
        rig.line.deliver(ack); // the frame is out: its answer is still taken
        QTRY_COMPARE(rig.snapshot(), u"Paused Nein 0 closed Warten..."_s);
        QCOMPARE(rig.logged(), QStringList{u"0791234567 abc OK"_s});
        const LogRow row = rig.log->readAll().constFirst();
        QCOMPARE(row.versandDatum.toString() + u' ' + row.versandZeit.toString(),
                 u"2026-12-06 14:03:08"_s);
        QCOMPARE(logged.count(), 1);
    }

    // "Verbindung testen" is a state of the engine: the connection is set up
    // as for a call and ended once it stands, under the call's 40-s limit;
    // nothing is submitted, logged, counted or taken from the queue, and no
    // entry is dialled meanwhile. Refused during a call.
    void connectionTest_data()
    {
        QTest::addColumn<QByteArrayList>("before"); // events before the test starts
        QTest::addColumn<QByteArrayList>("during");
        QTest::addColumn<QString>("outcome"); // "ok: ..." or "failed: ...", empty: running
        const QString stands = u"ok: Verbindung steht: bereit zum Senden. Verbindung beendet, "
                               u"keine SMS gesendet."_s;
        QTest::newRow("stands") << QByteArrayList() << QByteArrayList{"+10s", connect9600}
                                << stands;
        QTest::newRow("carrier detect") << QByteArrayList() << QByteArrayList{"+CD"} << stands;
        QTest::newRow("busy, not counted")
            << QByteArrayList() << QByteArrayList{busy} << u"failed: Besetzt"_s;
        QTest::newRow("while paused")
            << QByteArrayList{"stop"} << QByteArrayList{"start", connect9600} << stands;
        QTest::newRow("40 s: not yet") << QByteArrayList() << QByteArrayList{"+40s"} << QString();
        QTest::newRow("more than 40 s, also while paused")
            << QByteArrayList() << QByteArrayList{"stop", "+40s", "+5s", "start"}
            << u"failed: Keine Verbindung innerhalb von 40 s"_s;
        QTest::newRow("during a call")
            << QByteArrayList{"tick"} << QByteArrayList()
            << u"failed: Während eines Anrufs kann die Verbindung nicht getestet werden."_s;
    }
    void connectionTest()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArrayList, during);
        QFETCH(QString, outcome);
        Rig rig;
        rig.play(before);
        const qsizetype written = rig.line.writes.size();
        const QString statusBefore = statusText(rig.engine->status());
        QSignalSpy finished(rig.engine.get(), &SendEngine::testFinished);
        rig.engine->startTest();
        const bool refused = rig.engine->isCallUnderWay();
        if (!refused) {
            QCOMPARE(rig.engine->detailedState(), State::Testing);
            QCOMPARE(rig.line.writes.mid(written), QByteArrayList{dialAtdt});
            // The status line reads as before the test.
            QCOMPARE(statusText(rig.engine->status()), statusBefore);
        }
        rig.play(during);
        QCOMPARE(rig.line.writes.size(), written + (refused ? 0 : 1)); // no entry dialled
        QCOMPARE(rig.logged(), QStringList());
        QCOMPARE(rig.queued(), QStringList{u"abc"_s});
        QCOMPARE(rig.engine->fehlversuche(), qint16(0));
        if (outcome.isEmpty()) {
            QVERIFY(finished.isEmpty());
            rig.engine->cancelTest();
            outcome = u"failed: Test abgebrochen"_s;
        }
        QCOMPARE(finished.count(), 1);
        QCOMPARE((finished.at(0).at(0).toBool() ? u"ok: "_s : u"failed: "_s) +
                     finished.at(0).at(1).toString(),
                 outcome);
        if (refused)
            return;
        QVERIFY(!rig.line.isOpen());
        QCOMPARE(rig.snapshot(), idle);
        // The engine goes on with its entry.
        rig.call(connect9600);
        QCOMPARE(rig.line.writes.constLast(), frame);
    }

    // The engine's states as a connection that carries several entries
    // goes through them: the login, each entry, the connection held open
    // while the queue is empty (a call under way, which no test may
    // disturb), and its end when sending is paused. Outside, LoggingIn is
    // told as Dialling and Holding as Idle.
    void sessionStates()
    {
        Rig rig;
        SessionDialogue session;
        session.holdMs = 30'000;
        SendEngine engine(&rig.queue, rig.log.get(), &session, &rig.clock);
        QSignalSpy changed(&engine, &SendEngine::stateChanged);
        engine.tick();
        Q_EMIT session.loggingIn();
        QCOMPARE(engine.state(), State::Dialling);
        Q_EMIT session.ready();
        Q_EMIT session.submitted({true, QString()});
        QTRY_COMPARE(engine.detailedState(), State::Holding);
        QCOMPARE(engine.state(), State::Idle);
        QCOMPARE(statusText(engine.status()), u"Status: Verbunden – Warten auf weitere SMS..."_s);
        QSignalSpy testFinished(&engine, &SendEngine::testFinished);
        engine.startTest();
        QCOMPARE(testFinished.count(), 1);
        rig.clock.advanceSeconds(29);
        engine.tick();
        QCOMPARE(engine.detailedState(), State::Holding);
        rig.queue.append(u"0792222222"_s, u"zwei"_s, QString());
        engine.tick();
        QCOMPARE(engine.detailedState(), State::Submitting);
        Q_EMIT session.submitted({true, QString()});
        QTRY_COMPARE(engine.detailedState(), State::Holding);
        engine.pause();
        QCOMPARE(session.steps, (QStringList{u"begin"_s, u"abc"_s, u"zwei"_s, u"end"_s}));
        QStringList states;
        for (const QList<QVariant> &change : std::as_const(changed))
            states.append(QString::fromLatin1(
                QMetaEnum::fromType<State>().valueToKey(int(change.at(0).value<State>()))));
        QCOMPARE(states, (QStringList{u"Dialling"_s, u"LoggingIn"_s, u"Submitting"_s, u"Logging"_s,
                                      u"Holding"_s, u"Submitting"_s, u"Logging"_s, u"Holding"_s,
                                      u"Paused"_s}));
    }

    // Over a connection that carries several entries, each goes out once
    // the one before is answered; a refusal leaves the connection standing,
    // a failure ends it.
    void severalEntriesPerCall()
    {
        Rig rig;
        rig.queue.append(u"0792222222"_s, u"zwei"_s, QString());
        rig.queue.append(u"0793333333"_s, u"drei"_s, QString());
        SessionDialogue session;
        SendEngine engine(&rig.queue, rig.log.get(), &session, &rig.clock);
        engine.tick();
        Q_EMIT session.loggingIn();
        QCOMPARE(statusText(engine.status()), u"Status: Anmeldung beim SMS-Center..."_s);
        Q_EMIT session.ready();
        QCOMPARE(statusText(engine.status()), u"Status: SMS 1 von 3 wird versandt..."_s);
        Q_EMIT session.submitted({true, QString()});
        QTRY_COMPARE(session.steps, (QStringList{u"begin"_s, u"abc"_s, u"zwei"_s}));
        QCOMPARE(statusText(engine.status()), u"Status: SMS 2 von 3 wird versandt..."_s);
        Q_EMIT session.submitted({false, u"06"_s});
        QTRY_COMPARE(session.steps.size(), 4);
        Q_EMIT session.failed(u"Verbindung abgebrochen"_s);
        QCOMPARE(session.steps,
                 (QStringList{u"begin"_s, u"abc"_s, u"zwei"_s, u"drei"_s, u"end"_s}));
        // The row of the one before may still be being written.
        QTRY_COMPARE(engine.state(), State::Waiting);
        QCOMPARE(engine.fehlversuche(), qint16(1));
        QCOMPARE(rig.logged(), (QStringList{u"0791234567 abc OK"_s, u"0792222222 zwei NACK 06"_s}));
        QCOMPARE(rig.queued(), QStringList{u"drei"_s});
    }

    // A message centre takes one SMS per operation: an entry queued whole
    // goes to it one marked part at a time, each part logged, the entry
    // keeping the rest; a GSM modem takes it whole. A stored entry is marked
    // in Daten.mdb before it is handed over, and how much of it goes.
    void longEntryAndItsMark_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("marks"); // Submitted as each part is handed over
        QTest::newRow("centre, one SMS") << false << 160 << QStringList{u"1"_s};
        QTest::newRow("centre, 161") << false << 161 << QStringList{u"2"_s, u"1"_s};
        QTest::newRow("centre, 800")
            << false << 800 << QStringList{u"2"_s, u"2"_s, u"2"_s, u"2"_s, u"2"_s, u"1"_s};
        QTest::newRow("GSM modem, 800") << true << 800 << QStringList{u"1"_s};
    }
    void longEntryAndItsMark()
    {
        QFETCH(bool, whole);
        QFETCH(int, length);
        QFETCH(QStringList, marks);
        Rig rig;
        OutgoingQueue queue;
        TableJournal journal(rig.dbPath);
        queue.setJournal(&journal);
        QString text;
        for (int i = 0; i < length; ++i)
            text.append(QChar(u'a' + i % 26));
        queue.append(u"0791"_s, text, QString());
        const QStringList parts = whole ? QStringList{text} : splitMessage(text);
        SessionDialogue session;
        session.whole = whole;
        QStringList marked;
        session.onSubmit = [&] {
            marked << TestDb::scalar(rig.dbPath, u"SELECT Submitted FROM PendingMessages"_s)
                          .toString();
        };
        SendEngine engine(&queue, rig.log.get(), &session, &rig.clock);
        engine.tick();
        Q_EMIT session.ready();
        for (int i = 0; i < parts.size(); ++i) {
            QTRY_COMPARE(session.steps.size(), i + 2);
            QCOMPARE(queue.count(), 1);
            // What is still to go stays queued, in the file as well.
            const QString left = i == 0 ? text : u"->..."_s + text.mid(155 + (i - 1) * 150);
            QCOMPARE(queue.at(0).nachricht, left);
            QCOMPARE(TestDb::scalar(rig.dbPath, u"SELECT Message FROM PendingMessages"_s), left);
            Q_EMIT session.submitted({true, QString()});
        }
        QTRY_COMPARE(queue.count(), 0);
        QCOMPARE(session.steps, QStringList{u"begin"_s} + parts + QStringList{u"end"_s});
        QCOMPARE(marked, marks);
        QStringList logged;
        for (const QString &part : parts)
            logged << u"0791 "_s + part + u" OK"_s;
        QCOMPARE(rig.logged(), logged);
        QCOMPARE(TestDb::scalar(rig.dbPath, u"SELECT COUNT(*) FROM PendingMessages"_s).toInt(), 0);
    }

    // An entry the centre refused for now stays queued without its mark:
    // it did not go out, and the next start must not ask whether it did.
    // One that got no answer keeps it.
    void refusalTakesTheMarkOff_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("halt");
        QTest::addColumn<int>("mark");
        QTest::newRow("refused, failed attempt") << true << false << 0;
        QTest::newRow("refused, halt") << true << true << 0;
        QTest::newRow("no answer, failed attempt") << false << false << 1;
        QTest::newRow("no answer, halt") << false << true << 1;
    }
    void refusalTakesTheMarkOff()
    {
        QFETCH(bool, refused);
        QFETCH(bool, halt);
        QFETCH(int, mark);
        Rig rig;
        OutgoingQueue queue;
        TableJournal journal(rig.dbPath);
        queue.setJournal(&journal);
        queue.append(u"0791"_s, u"eins"_s, QString());
        SessionDialogue session;
        SendEngine engine(&queue, rig.log.get(), &session, &rig.clock);
        engine.tick();
        Q_EMIT session.ready();
        QTRY_COMPARE(session.steps.size(), 2);
        session.refused = refused;
        if (halt)
            Q_EMIT session.halted(u"Sperre"_s);
        else
            Q_EMIT session.failed(u"Fehler"_s);
        QCOMPARE(queue.count(), 1);
        QTRY_COMPARE(TestDb::scalar(rig.dbPath, u"SELECT Submitted FROM PendingMessages"_s).toInt(),
                     mark);
    }

    void queueChangesDuringTheCall()
    {
        Rig rig;
        rig.call();
        rig.queue.clear(); // emptied while dialling: the call ends without a frame
        rig.line.deliver(connect9600);
        QCOMPARE(rig.line.writes.size(), 1);
        QCOMPARE(rig.snapshot(), idle);

        // Deleted after its frame went out: logged, nothing else removed.
        const auto first = rig.queue.append(u"0791111111"_s, u"eins"_s, QString());
        rig.queue.append(u"0792222222"_s, u"zwei"_s, QString());
        rig.call(connect9600);
        QVERIFY(rig.queue.removeById(first));
        rig.queue.append(u"0793333333"_s, u"drei"_s, QString());
        rig.line.deliver(ack);
        QTRY_COMPARE(rig.logged(), QStringList{u"0791111111 eins OK"_s});
        // The row is in the file before the writer's word reaches the engine.
        QTRY_COMPARE(rig.engine->state(), State::Idle);
        QCOMPARE(rig.queued(), (QStringList{u"zwei"_s, u"drei"_s}));
        // Shutting down before the program ends drops a call uncounted.
        rig.call(connect9600);
        rig.engine->shutDown();
        QCOMPARE(rig.snapshot().section(u' ', 0, 3), u"Paused Nein 0 closed"_s);
        QCOMPARE(rig.queued(), (QStringList{u"zwei"_s, u"drei"_s}));
        QCOMPARE(rig.logged().size(), 1);
    }

    // The call is hung up at once, but the entry leaves the queue only once
    // its log row is stored, and no new dial starts before that. A row that
    // cannot be written is tried again at every tick, and the message, which
    // went out, is not sent again.
    void logRowBeforeTheEntryLeaves_data()
    {
        QTest::addColumn<bool>("tableAway");
        QTest::newRow("row stored") << false;
        QTest::newRow("table away for a while") << true;
    }
    void logRowBeforeTheEntryLeaves()
    {
        QFETCH(bool, tableAway);
        Rig rig;
        rig.queue.append(u"0797654321"_s, u"zwei"_s, QString());
        QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
        // The writer's answers, queued to this thread after the engine's own
        // (a spy would count them on the writer's thread, before the engine).
        QList<bool> written;
        QObject receiver;
        QVERIFY(connect(rig.engine->findChild<SendLogWriter *>(), &SendLogWriter::written,
                        &receiver, [&](quint64, bool ok) { written.append(ok); }));
        if (tableAway)
            QVERIFY(TestDb::exec(rig.dbPath, u"ALTER TABLE VersandLog RENAME TO Weg"_s));
        rig.call(connect9600);
        rig.line.deliver(ack);
        QCOMPARE(rig.snapshot(), u"Logging Ja 0 closed SMS wird versandt..."_s);
        rig.tick(5);
        QCOMPARE(rig.queued(), (QStringList{u"abc"_s, u"zwei"_s}));
        if (tableAway) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"send log not written"_s));
            QTRY_VERIFY(rig.snapshot().startsWith(
                u"Logging Ja 0 closed Eintrag ins Versand-Archiv fehlgeschlagen (no such table"_s));
            QVERIFY(rig.snapshot().endsWith(u" – neuer Versuch in 5 s"_s));
            rig.play({"ticks"}); // tried again, in vain
            QTRY_COMPARE(written, (QList<bool>{false, false}));
            QCOMPARE(rig.queued(), (QStringList{u"abc"_s, u"zwei"_s}));
            QVERIFY(TestDb::exec(rig.dbPath, u"ALTER TABLE Weg RENAME TO VersandLog"_s));
            rig.tick(5);
        }
        QTRY_COMPARE(rig.snapshot(), idle);
        QCOMPARE(rig.logged(), QStringList{u"0791234567 abc OK"_s});
        QCOMPARE(rig.queued(), QStringList{u"zwei"_s});
        QCOMPARE(logged.count(), 1);
        QCOMPARE(rig.line.writes.size(), 2); // one dial, one frame
        rig.tick(5);                         // the next entry at the next tick
        QCOMPARE(rig.line.writes.size(), 3);
    }

    // Over a session the next entry goes out as soon as the one before is
    // answered, before its log row is stored; with a window, several go
    // out before the first answer. Events: "answer N" / "refuse N" answer
    // the N-th entry (abc, zwei, drei, vier) by its id, "oldest" answers
    // without naming one, "out N" waits for the N-th submission, "fail" /
    // "fail refused" end the call, "row
    // failed" waits until the status tells of a log row not written,
    // "heal" lets the log be written again. Each submission is traced as
    // text@(entries still queued then).
    void pipelineAndWindow_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("journal");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("queued"); // with their marks, when in the journal
        const auto row = [](const char *name, int window, bool journal, const QStringList &events,
                            const char *steps, const char *logged, const char *queued = "") {
            QTest::newRow(name) << window << journal << events << QString::fromUtf8(steps)
                                << QString::fromUtf8(logged) << QString::fromUtf8(queued);
        };
        row("window 1: next before the row is stored", 1, false,
            {u"answer 1"_s, u"answer 2"_s, u"answer 3"_s, u"oldest"_s},
            "begin abc@4 zwei@4 drei@4 vier@4 end", "abc zwei drei vier");
        row("window 3: three out, answers out of order", 3, false,
            {u"answer 3"_s, u"answer 1"_s, u"answer 2"_s, u"answer 4"_s},
            "begin abc@4 zwei@4 drei@4 vier@4 end", "drei abc zwei vier");
        row("window 3: answers without id, oldest first", 3, false,
            {u"oldest"_s, u"oldest"_s, u"oldest"_s, u"oldest"_s},
            "begin abc@4 zwei@4 drei@4 vier@4 end", "abc zwei drei vier");
        row("window 3: refusal in the middle", 3, false,
            {u"refuse 2"_s, u"answer 1"_s, u"answer 3"_s, u"answer 4"_s},
            "begin abc@4 zwei@4 drei@4 vier@4 end", "zwei:NACK abc drei vier");
        row("window 2, marked: failure with two unanswered", 2, true,
            {u"answer 1"_s, u"out 3"_s, u"fail refused"_s}, "begin abc@4 zwei@4 drei@4 end", "abc",
            "zwei:0 drei:0 vier:0");
        row("window 2, marked: no answer, the marks stay", 2, true,
            {u"answer 1"_s, u"out 3"_s, u"fail"_s}, "begin abc@4 zwei@4 drei@4 end", "abc",
            "zwei:1 drei:1 vier:0");
        row("window 2, marked: row not written, nothing more out", 2, true,
            {u"answer 2"_s, u"row failed"_s, u"answer 1"_s, u"answer 3"_s, u"heal"_s,
             u"answer 4"_s},
            "begin abc@4 zwei@4 drei@4 vier@1 end", "abc drei zwei vier");
    }
    void pipelineAndWindow()
    {
        QFETCH(int, window);
        QFETCH(bool, journal);
        QFETCH(QStringList, events);
        QFETCH(QString, steps);
        QFETCH(QString, logged);
        QFETCH(QString, queued);
        Rig rig;
        OutgoingQueue queue;
        TableJournal table(rig.dbPath);
        if (journal)
            queue.setJournal(&table);
        const QStringList texts{u"abc"_s, u"zwei"_s, u"drei"_s, u"vier"_s};
        QList<quint64> ids;
        for (const QString &text : texts)
            ids.append(queue.append(u"0791"_s, text, QString()));
        if (events.contains(u"row failed"_s))
            QVERIFY(TestDb::exec(rig.dbPath, u"CREATE TRIGGER full BEFORE INSERT ON VersandLog "
                                             u"WHEN NEW.Nachricht = 'zwei' AND (SELECT COUNT(*) "
                                             u"FROM Einstellungen WHERE ComPort = 99) = 0 "
                                             u"BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s));
        SessionDialogue session;
        session.windowSize = window;
        session.onSubmit = [&] { session.steps.last() += u'@' + QString::number(queue.count()); };
        SendEngine engine(&queue, rig.log.get(), &session, &rig.clock);
        engine.setNumberKey([](const QString &number) -> QString { return u"key:"_s + number; });
        engine.tick();
        Q_EMIT session.ready();
        QTRY_COMPARE(session.ids.size(), window);
        // Marks are stored ahead of the window by two windows' worth.
        if (journal)
            QTRY_COMPARE(
                TestDb::scalar(rig.dbPath,
                               u"SELECT count(*) FROM PendingMessages WHERE Submitted > 0"_s)
                    .toInt(),
                std::min(int(texts.size()), 3 * window));
        for (const QString &event : std::as_const(events)) {
            const qsizetype n = event.back().digitValue();
            CallDialogue::Result result{!event.startsWith(u"refuse"_s), u"06"_s};
            if (event.startsWith(u"out"_s)) {
                QTRY_COMPARE(session.ids.size(), n);
                continue;
            }
            if (n > 0) {
                QTRY_VERIFY(session.ids.contains(ids.at(n - 1)));
                result.entryId = ids.at(n - 1);
            }
            // The first entry asked for reports of its two parts.
            if (n == 1 || (event == u"oldest"_s && &event == &events.constFirst()))
                result.reports = {{0, u"0791"_s, u"061226140310"_s},
                                  {1, u"0791"_s, u"0612261403"_s}};
            if (event.startsWith(u"fail"_s)) {
                session.refused = event.endsWith(u"refused"_s);
                Q_EMIT session.failed(u"Verbindung abgebrochen"_s);
            } else if (event == u"row failed"_s) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"send log not written"_s));
                QTRY_VERIFY(!engine.status().logError.isEmpty());
            } else if (event == u"heal"_s) {
                QVERIFY(TestDb::exec(rig.dbPath, u"UPDATE Einstellungen SET ComPort = 99"_s));
                engine.tick();
            } else {
                Q_EMIT session.submitted(result);
            }
        }
        QTRY_VERIFY(engine.state() == State::Idle || engine.state() == State::Waiting);
        QCOMPARE(session.steps.join(u' '), steps);
        QStringList rows;
        for (const LogRow &row : rig.log->readAll())
            rows.append(row.nachricht + (row.versandt == u"OK"_s ? QString() : u":NACK"_s));
        QCOMPARE(rows.join(u' '), logged);
        const auto left = [&] {
            QStringList entries;
            for (int i = 0; i < queue.count(); ++i) {
                entries.append(queue.at(i).nachricht);
                if (journal)
                    entries.last() +=
                        u':' +
                        TestDb::scalar(rig.dbPath,
                                       u"SELECT Submitted FROM PendingMessages WHERE Id = ?"_s,
                                       {qint64(queue.at(i).id)})
                            .toString();
            }
            return entries.join(u' ');
        };
        QTRY_COMPARE(left(), queued); // the marks come off on the writer's thread
        if (journal)
            QCOMPARE(TestDb::scalar(rig.dbPath, u"SELECT COUNT(*) FROM PendingMessages"_s).toInt(),
                     queue.count());
        // The reports of the first entry await under its log row, as the
        // core compares numbers.
        StoreConnection connection(rig.dbPath, u"deliveries"_s);
        const qint64 rowid =
            TestDb::scalar(rig.dbPath, u"SELECT rowid FROM VersandLog WHERE Nachricht = 'abc'"_s)
                .toLongLong();
        QVERIFY(rowid > 0);
        const auto awaited = Deliveries(connection.database()).statusOf({rowid});
        QVERIFY(awaited && awaited->contains(rowid));
        QCOMPARE(TestDb::scalar(rig.dbPath, u"SELECT group_concat(LogRow || ' ' || Part || ' ' || "
                                            u"RecipientKey || ' ' || Reference, ', ') FROM "
                                            u"Deliveries"_s)
                     .toString(),
                 u"%1 0 key:0791 061226140310, %1 1 key:0791 0612261403"_s.arg(rowid));
    }
};

QTEST_GUILESS_MAIN(TestSendEngine)
#include "tst_sendengine.moc"
