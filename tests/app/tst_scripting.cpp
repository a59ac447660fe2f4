// The commands for scripts and the program without a window, run as real
// processes on a private session bus: with no instance on the data folder
// the commands use Daten.mdb; with one they go through its D-Bus service;
// SIGTERM ends the instance with nothing lost; the window's start offers to
// end an instance without a window.
#include "connectionsettings.h"
#include "funkboteprocess.h"
#include "scriptedprompter.h"
#include "simprocess.h"
#include "startup.h"
#include "testdb.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

// funkbote COMMAND ... on the data folder, with an English-free German
// system; input goes to its standard input.
Result command(const QString &dataDir, QStringList arguments, const QByteArray &input = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"LANGUAGE"_s);
    env.insert(u"LANG"_s, u"de_CH.UTF-8"_s);
    process.setProcessEnvironment(env);
    arguments << u"--data"_s << dataDir;
    process.start(QCoreApplication::applicationDirPath() + u"/funkbote"_s, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return {};
    return Result{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
                  QString::fromUtf8(process.readAllStandardError()).trimmed()};
}

// The program without a window on dir, running once its log says so.
bool startHeadless(FunkboteProcess &program, const QString &dir, QStringList extra = {})
{
    program.startWith(QStringList{u"--headless"_s, u"--data"_s, dir} + extra);
    return QTest::qWaitFor([&] { return program.errors.contains(u"Status:"_s); }, 20000) &&
           QTest::qWaitFor(
               [] {
                   return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                       u"ch.funkbote.Funkbote"_s);
               },
               20000);
}

} // namespace

class TestScripting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutInstance_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // a pattern of stdout, or of stderr on failure
        // Every row runs after "send 079 123 45 67 Vorher" queued message 1.
        QTest::newRow("send") << QStringList{u"send"_s, u"0791234567"_s, u"Hallo"_s} << QByteArray()
                              << 0
                              << u"^Nachricht 2 ist in der Warteschlange\\. Funkbote läuft nicht; "
                                 u"sie wird beim nächsten Start versandt\\.$"_s;
        QTest::newRow("send from stdin as JSON")
            << QStringList{u"send"_s, u"--json"_s, u"+41 79 123 45 67"_s, u"-"_s}
            << "Zeile 1\nZeile 2 mit \xc3\xbc\n"_ba << 0
            << u"^\\{\"id\":2,\"running\":false,\"state\":\"queued\"\\}$"_s;
        QTest::newRow("letter in number")
            << QStringList{u"send"_s, u"--json"_s, u"079x"_s, u"Hallo"_s} << QByteArray() << 2
            << u"\"error\":\"ch\\.funkbote\\.Funkbote1\\.Error\\.InvalidNumber\""_s;
        QTest::newRow("empty text") << QStringList{u"send"_s, u"0791234567"_s, u""_s}
                                    << QByteArray() << 2 << u"Die Nachricht ist leer\\."_s;
        QTest::newRow("status") << QStringList{u"status"_s, u"1"_s} << QByteArray() << 0
                                << u"^Nachricht 1: queued – In der Warteschlange\\.$"_s;
        QTest::newRow("status unknown as JSON") << QStringList{u"status"_s, u"--json"_s, u"7"_s}
                                                << QByteArray() << 0 << u"\"state\":\"unknown\""_s;
        QTest::newRow("status without a number")
            << QStringList{u"status"_s, u"eins"_s} << QByteArray() << 1 << u"Aufruf:"_s;
        QTest::newRow("queue") << QStringList{u"queue"_s, u"--json"_s} << QByteArray() << 0
                               << u"^\\[\\{\"id\":1,\"number\":\"0791234567\",\"text\":"
                                  u"\"Vorher\"\\}\\]$"_s;
        QTest::newRow("inbox") << QStringList{u"inbox"_s, u"--unread"_s} << QByteArray() << 0
                               << u"^Keine ungelesenen Nachrichten\\.$"_s;
        QTest::newRow("start needs the program")
            << QStringList{u"start"_s} << QByteArray() << 4 << u"Funkbote läuft nicht"_s;
        QTest::newRow("unread only for the inbox")
            << QStringList{u"queue"_s, u"--unread"_s} << QByteArray() << 1 << u"--unread"_s;
    }
    void withoutInstance()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir dir;
        TestDb::create(dir.path());
        QCOMPARE(command(dir.path(), {u"send"_s, u"0791234567"_s, u"Vorher"_s}).exitCode, 0);

        const Result result = command(dir.path(), arguments, input);
        QCOMPARE(result.exitCode, exitCode);
        const QString shown = result.out.isEmpty() ? result.err : result.out;
        QVERIFY2(QRegularExpression(output).match(shown).hasMatch(), qPrintable(shown));
        if (arguments.contains(u"-"_s))
            QCOMPARE(TestDb::scalar(dir.path() + u"/Daten.mdb"_s,
                                    u"SELECT Message FROM PendingMessages WHERE Id = 2"_s),
                     QVariant(u"Zeile 1\r\nZeile 2 mit ü"_s));
    }

    void noDataFile()
    {
        QTemporaryDir dir;
        const Result result = command(dir.path() + u"/fehlt"_s, {u"queue"_s});
        QCOMPARE(result.exitCode, 3);
        QVERIFY2(result.err.contains(u"Daten.mdb"_s), qPrintable(result.err));
        // A file of another program is not used either.
        QFile foreign(dir.filePath(u"Daten.mdb"_s));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("kein SQLite");
        foreign.close();
        QCOMPARE(command(dir.path(), {u"send"_s, u"0791234567"_s, u"Hallo"_s}).exitCode, 3);
    }

    // A message handed in while the program runs goes out through it; the
    // messages of a queue are never lost by SIGTERM, however far they got.
    void headlessSendsAndEndsCleanly()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--tcp"_s, u"0"_s, u"--reply-delay"_s, u"300"_s}));
        const quint16 port = sim.values(u"READY"_s).value(0).section(u':', 1).toUShort();
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        // A script's file waits in the spool folder when the program starts.
        const QString spool = dir.filePath(u"spool"_s);
        QVERIFY(QDir().mkdir(spool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QFile file(spool + u"/bestellung"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("To: 41791234599\n\nIhre Bestellung ist bereit.\n");
        file.close();
        {
            ConnectionSettings stored(path, nullptr);
            ConnectionValues values;
            values.kind = ConnectionKind::Tcp;
            values.server = u"127.0.0.1"_s;
            values.tcpPort = port;
            values.spoolFolder = spool;
            QVERIFY(stored.save(values));
        }
        // Queued while nothing ran: it goes out at the start.
        QCOMPARE(command(dir.path(), {u"send"_s, u"0791234567"_s, u"Vorher"_s}).exitCode, 0);
        FunkboteProcess program;
        QVERIFY2(startHeadless(program, dir.path(), {u"--tick-ms"_s, u"200"_s}),
                 qPrintable(program.errors));
        QTRY_VERIFY_WITH_TIMEOUT(program.errors.contains(u"Nachricht 1 versandt: OK"_s), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(
            program.errors.contains(u"Spool-Ordner: bestellung in die Warteschlange gestellt."_s),
            20000);
        QVERIFY(QFile::exists(spool + u"/gesendet/bestellung"_s));
        // Sent, and delivered once the centre's report is in.
        const QString state = command(dir.path(), {u"status"_s, u"1"_s}).out.section(u' ', 2, 2);
        QVERIFY2(state == u"sent" || state == u"delivered", qPrintable(state));

        const int count = 12;
        for (int i = 0; i < count; ++i) {
            const Result sent = command(
                dir.path(), {u"send"_s, u"079 123 45 %1"_s.arg(10 + i), u"Nummer %1"_s.arg(i)});
            QCOMPARE(sent.exitCode, 0);
            QCOMPARE(sent.out, u"Nachricht %1 ist in der Warteschlange."_s.arg(i + 3));
        }
        const QJsonArray queue =
            QJsonDocument::fromJson(command(dir.path(), {u"queue"_s, u"--json"_s}).out.toUtf8())
                .array();
        QVERIFY(!queue.isEmpty());
        // Ended while it sends: what went out is logged, the rest stays queued.
        QTRY_VERIFY_WITH_TIMEOUT(program.errors.contains(u"Nachricht 4 versandt"_s), 20000);
        program.process.terminate();
        QVERIFY(program.process.waitForFinished(20000));
        QCOMPARE(program.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process.exitCode(), 0);
        QVERIFY2(program.errors.contains(u"Beendet"_s), qPrintable(program.errors));
        const int logged =
            TestDb::scalar(path, u"SELECT count(*) FROM VersandLog WHERE versandt = 'OK'"_s)
                .toInt();
        const int queued = TestDb::scalar(path, u"SELECT count(*) FROM PendingMessages"_s).toInt();
        QVERIFY2(logged >= 2 && queued >= 0, qPrintable(program.errors));
        QCOMPARE(logged + queued, count + 2);
        QCOMPARE(
            TestDb::scalar(path, u"SELECT count(*) FROM PendingMessages WHERE Submitted <> 0"_s),
            QVariant(0));
        QTRY_COMPARE(sim.count(u"SMS51"_s), logged);
    }

    // The window takes the commands too: its core answers D-Bus.
    void windowTakesCommands()
    {
        QTemporaryDir dir;
        TestDb::create(dir.path());
        FunkboteProcess window;
        window.start(dir.path(), 200);
        QVERIFY(QTest::qWaitFor(
            [] {
                return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                    u"ch.funkbote.Funkbote"_s);
            },
            20000));
        const Result sent = command(dir.path(), {u"send"_s, u"0791234567"_s, u"Test"_s});
        QCOMPARE(sent.exitCode, 0);
        QCOMPARE(sent.out, u"Nachricht 1 ist in der Warteschlange."_s);
        QVERIFY(command(dir.path(), {u"queue"_s}).out.startsWith(u"1\t0791234567\tTest"_s));
    }

    void windowOffersToEndHeadless_data()
    {
        QTest::addColumn<bool>("end");
        QTest::newRow("ended") << true;
        QTest::newRow("kept") << false;
    }
    void windowOffersToEndHeadless()
    {
        QFETCH(bool, end);
        QTemporaryDir dir;
        TestDb::create(dir.path());
        FunkboteProcess program;
        QVERIFY2(startHeadless(program, dir.path()), qPrintable(program.errors));
        ScriptedPrompter prompter;
        prompter.answerNext(end ? Prompter::Answer::Yes : Prompter::Answer::No);
        StartupGuard guard(dir.path(), &prompter);
        guard.setOfferToEndHeadless(true);
        const std::optional<int> exitCode = guard.check();
        QVERIFY2(prompter.texts().value(0).startsWith(u"Funkbote läuft bereits ohne Fenster"_s),
                 qPrintable(prompter.texts().join(u'\n')));
        if (end) {
            QCOMPARE(exitCode, std::nullopt);
            QTRY_COMPARE(program.process.state(), QProcess::NotRunning);
            QCOMPARE(program.process.exitCode(), 0);
        } else {
            QCOMPARE(exitCode, std::optional<int>(StartupGuard::SecondInstance));
            QCOMPARE(program.process.state(), QProcess::Running);
        }
    }
};

QTEST_GUILESS_MAIN(TestScripting)
#include "tst_scripting.moc"
