#include "clock.h"
#include "connectionsettings.h"
#include "demomodem.h"
#include "funkbote.h"
#include "messagingcore.h"
#include "scriptedprompter.h"
#include "settings.h"
#include "startup.h"
#include "startupplan.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString noStart = QString();

// The folders of one start: the program's, the per-user one (made only when
// a row asks for it) and another one for --data.
struct Folders
{
    QTemporaryDir root;
    QString program = root.filePath(u"bin"_s);
    QString user = root.filePath(u"share/Funkbote"_s);
    QString other = root.filePath(u"anderswo"_s);

    QString named(const QString &name) const
    {
        return name == u"program"_s ? program : name == u"user"_s ? user : other;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goodStoreStarts()
    {
        QTemporaryDir dir;
        TestDb::create(dir.path());
        ScriptedPrompter prompter;
        StartupGuard guard(dir.path(), &prompter);
        QCOMPARE(guard.check(), std::nullopt);
        QCOMPARE(prompter.count(), 0);
        QCOMPARE(guard.databasePath(), dir.filePath(u"Daten.mdb"_s));
    }

    void secondInstanceRefused()
    {
        QTemporaryDir dir;
        TestDb::create(dir.path());
        ScriptedPrompter prompter;
        StartupGuard first(dir.path(), &prompter);
        QCOMPARE(first.check(), std::nullopt);

        StartupGuard second(dir.path(), &prompter);
        QCOMPARE(second.check(), std::optional<int>(StartupGuard::SecondInstance));
        QCOMPARE(prompter.texts(), QStringList{u"Dieses Programm ist bereits gestartet!"_s});
        QCOMPARE(prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
        QCOMPARE(prompter.shown().constFirst().icon, Prompter::Icon::None);
    }

    // Every page of Daten.mdb is read for damage only after an unclean end
    // (the lock of a process that no longer exists tells); otherwise the
    // start reads the schema and a few rows, however big the file.
    void integrityReadFullyAfterCrash_data()
    {
        QTest::addColumn<bool>("staleLock");
        QTest::addColumn<bool>("damagedPage");
        QTest::addColumn<int>("exitCode"); // -1: the program goes ahead
        QTest::newRow("clean end, sound file") << false << false << -1;
        QTest::newRow("crash, sound file: lock taken over") << true << false << -1;
        QTest::newRow("crash, damaged log page") << true << true << int(StartupGuard::BadStore);
        QTest::newRow("clean end, damaged log page: not read") << false << true << -1;
    }
    void integrityReadFullyAfterCrash()
    {
        QFETCH(bool, staleLock);
        QFETCH(bool, damagedPage);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        // A log of some hundred pages; its last page is a leaf the start
        // does not need.
        QVERIFY(TestDb::exec(path, u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                   u"FROM n WHERE i < 3000) INSERT INTO VersandLog (Nachricht) "
                                   u"SELECT printf('%0400d', i) FROM n"_s));
        if (damagedPage) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const qint64 pageSize = TestDb::scalar(path, u"PRAGMA page_size"_s).toLongLong();
            QVERIFY(file.size() > 100 * pageSize);
            QVERIFY(file.seek(file.size() - pageSize));
            QCOMPARE(file.write(QByteArray(pageSize, '\xAB')), pageSize);
        }
        if (staleLock) {
            QFile lock(dir.filePath(u"Funkbote.lock"_s));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("2147483646\nfunkbote\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }

        ScriptedPrompter prompter;
        StartupGuard guard(dir.path(), &prompter);
        QCOMPARE(guard.check().value_or(-1), exitCode);
        QCOMPARE(prompter.count(), exitCode < 0 ? 0 : 1);
        if (exitCode >= 0)
            QVERIFY2(prompter.texts().constFirst().contains(u"beschädigt"_s),
                     qPrintable(prompter.texts().constFirst()));
    }

    // A Daten.mdb that others may read loses their rights at the start when
    // it keeps the password or the SIM PIN itself, and the user is told
    // once; one without secrets is left as it is.
    void rightsNarrowedWhenFileHoldsSecrets_data()
    {
        QTest::addColumn<QString>("secret"); // "Setting=Value" in the table, or empty
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expectedMode");
        QTest::newRow("password, readable by all") << u"Password=geheim"_s << 0644 << 0600;
        QTest::newRow("PIN, group may write") << u"SimPin=1234"_s << 0660 << 0600;
        QTest::newRow("SMPP password, others may read") << u"SmppPassword=geheim"_s << 0604 << 0600;
        QTest::newRow("secrets in the keyring") << u"Password="_s << 0644 << 0644;
        QTest::newRow("no connection table") << QString() << 0644 << 0644;
        QTest::newRow("already private") << u"Password=geheim"_s << 0600 << 0600;
    }
    void rightsNarrowedWhenFileHoldsSecrets()
    {
        QFETCH(QString, secret);
        QFETCH(int, mode);
        QFETCH(int, expectedMode);
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        if (!secret.isEmpty()) {
            QVERIFY(TestDb::exec(path, u"CREATE TABLE ConnectionSettings (Setting TEXT PRIMARY "
                                       u"KEY, Value TEXT)"_s));
            QVERIFY(TestDb::exec(path, u"INSERT INTO ConnectionSettings VALUES (?, ?)"_s,
                                 {secret.section(u'=', 0, 0), secret.section(u'=', 1)}));
        }
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);

        for (int start = 0; start < 2; ++start) {
            ScriptedPrompter prompter;
            StartupGuard guard(dir.path(), &prompter);
            QCOMPARE(guard.check(), std::nullopt);
            // Told at the first start only.
            const bool told = start == 0 && mode != expectedMode;
            QCOMPARE(prompter.count(), told ? 1 : 0);
            if (told) {
                QVERIFY2(prompter.texts().constFirst().contains(u"nur noch für Sie lesbar"_s),
                         qPrintable(prompter.texts().constFirst()));
                QCOMPARE(prompter.shown().constFirst().icon, Prompter::Icon::Information);
            }
            struct stat info = {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
            QCOMPARE(int(info.st_mode & 0777), expectedMode);
        }
    }

    void lockReleasedWhenProgramEnds()
    {
        QTemporaryDir dir;
        TestDb::create(dir.path());
        ScriptedPrompter prompter;
        {
            StartupGuard first(dir.path(), &prompter);
            QCOMPARE(first.check(), std::nullopt);
        }
        StartupGuard next(dir.path(), &prompter);
        QCOMPARE(next.check(), std::nullopt);
        QCOMPARE(prompter.count(), 0);
    }

    void badStoreEndsWithMessage_data()
    {
        QTest::addColumn<bool>("createFile");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expectedPart");
        QTest::newRow("missing") << false << QString() << u"nicht gefunden"_s;
        QTest::newRow("no settings row")
            << true << u"DELETE FROM Einstellungen"_s << u"keinen Datensatz"_s;
        QTest::newRow("missing field") << true << u"ALTER TABLE VersandLog DROP COLUMN versandt"_s
                                       << u"fehlt das Feld \"versandt\""_s;
    }
    void badStoreEndsWithMessage()
    {
        QFETCH(bool, createFile);
        QFETCH(QString, sql);
        QFETCH(QString, expectedPart);
        QTemporaryDir dir;
        if (createFile) {
            const QString path = TestDb::create(dir.path());
            QVERIFY(TestDb::exec(path, sql));
        }
        ScriptedPrompter prompter;
        StartupGuard guard(dir.path(), &prompter);
        const std::optional<int> exitCode = guard.check();
        QCOMPARE(exitCode, std::optional<int>(StartupGuard::BadStore));
        QVERIFY(*exitCode != 0);
        QCOMPARE(prompter.count(), 1);
        QVERIFY2(prompter.texts().constFirst().contains(expectedPart),
                 qPrintable(prompter.texts().constFirst()));
        QCOMPARE(prompter.shown().constFirst().icon, Prompter::Icon::Critical);
        QCOMPARE(QFileInfo::exists(dir.filePath(u"Daten.mdb"_s)), createFile);
    }

    // Which Daten.mdb a start uses, and what it does when that is missing.
    // The folders with a file get one; "userFolder" only makes the folder.
    void dataFolderChoice_data()
    {
        QTest::addColumn<QStringList>("withFile");
        QTest::addColumn<bool>("userFolder");
        QTest::addColumn<QString>("dataOption");
        QTest::addColumn<QString>("expectedDir");
        QTest::addColumn<int>("exitCode"); // -1: the program goes ahead
        QTest::addColumn<QString>("expectedBox");

        const int go = -1;
        QTest::newRow("portable: Daten.mdb beside the program")
            << QStringList{u"program"_s, u"user"_s} << true << QString() << u"program"_s << go
            << noStart;
        QTest::newRow("installed, first start creates the file")
            << QStringList() << false << QString() << u"user"_s << go
            << u"Funkbote wird zum ersten Mal gestartet und legt seine Daten neu an in:"_s;
        QTest::newRow("installed, later start")
            << QStringList{u"user"_s} << true << QString() << u"user"_s << go << noStart;
        QTest::newRow("installed, file gone later: reported, not created")
            << QStringList() << true << QString() << u"user"_s << int(StartupGuard::BadStore)
            << u"nicht gefunden"_s;
        QTest::newRow("--data wins over portable") << QStringList{u"program"_s, u"other"_s} << false
                                                   << u"other"_s << u"other"_s << go << noStart;
        QTest::newRow("--data without a file: reported, not created")
            << QStringList{u"program"_s} << false << u"other"_s << u"other"_s
            << int(StartupGuard::BadStore) << u"nicht gefunden"_s;
    }
    void dataFolderChoice()
    {
        QFETCH(QStringList, withFile);
        QFETCH(bool, userFolder);
        QFETCH(QString, dataOption);
        QFETCH(QString, expectedDir);
        QFETCH(int, exitCode);
        QFETCH(QString, expectedBox);

        Folders folders;
        QVERIFY(QDir().mkpath(folders.program));
        if (userFolder)
            QVERIFY(QDir().mkpath(folders.user));
        for (const QString &name : std::as_const(withFile)) {
            QVERIFY(QDir().mkpath(folders.named(name)));
            TestDb::create(folders.named(name));
        }
        StartOptions options;
        if (!dataOption.isEmpty())
            options.dataFolder = folders.named(dataOption);
        ScriptedPrompter prompter;
        StartupPlan plan(options, &prompter, folders.program, folders.user);

        const std::optional<int> result = plan.check();
        QCOMPARE(result.value_or(-1), exitCode);
        const QString dir = folders.named(expectedDir);
        QCOMPARE(plan.dataDir(), dir);
        QCOMPARE(prompter.count(), expectedBox.isEmpty() ? 0 : 1);
        if (!expectedBox.isEmpty())
            QVERIFY2(prompter.texts().constFirst().contains(expectedBox),
                     qPrintable(prompter.texts().constFirst()));
        const bool hasFile = QFileInfo::exists(QDir(dir).filePath(u"Daten.mdb"_s));
        QCOMPARE(hasFile, !result.has_value());
        if (!result) {
            // The lock lives beside the file in use: a second start on the
            // same folder is refused, whichever way it came there.
            QVERIFY(QFileInfo::exists(QDir(dir).filePath(u"Funkbote.lock"_s)));
            ScriptedPrompter secondPrompter;
            StartupGuard second(dir, &secondPrompter);
            QCOMPARE(second.check(), std::optional<int>(StartupGuard::SecondInstance));
        }
    }

    void firstStartBoxNamesTheFolderBeforeCreating()
    {
        Folders folders;
        ScriptedPrompter prompter;
        bool existedDuringBox = true;
        prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
            existedDuringBox = QFileInfo::exists(folders.user);
        });
        StartupGuard guard(folders.user, &prompter, true);
        QCOMPARE(guard.check(), std::nullopt);
        QVERIFY(!existedDuringBox);
        QCOMPARE(prompter.count(), 1);
        QVERIFY(prompter.texts().constFirst().endsWith(QDir::toNativeSeparators(folders.user)));
        QCOMPARE(prompter.shown().constFirst().icon, Prompter::Icon::Information);
        QCOMPARE(TestDb::scalar(guard.databasePath(), u"SELECT COUNT(*) FROM Einstellungen"_s),
                 QVariant(1));
        // The folder and the file are for this user alone.
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(folders.user).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0700);
        QCOMPARE(::stat(QFile::encodeName(guard.databasePath()).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0600);
    }

    void firstStartFolderCannotBeMade()
    {
        Folders folders;
        // A file where the folder's parent should be.
        QFile blocker(folders.root.filePath(u"share"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ScriptedPrompter prompter;
        StartupGuard guard(folders.user, &prompter, true);
        QCOMPARE(guard.check(), std::optional<int>(StartupGuard::CreateFailed));
        QCOMPARE(prompter.count(), 2);
        QVERIFY(prompter.texts().at(1).contains(u"kann nicht angelegt werden"_s));
        QCOMPARE(prompter.shown().at(1).icon, Prompter::Icon::Critical);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("dataFolder");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("hidden"); // the hidden options, as read
        QTest::addColumn<bool>("valid");
        QTest::newRow("none") << QStringList() << QString() << false << QString() << true;
        QTest::newRow("--data") << QStringList{u"--data"_s, u"/srv/sms"_s} << u"/srv/sms"_s << false
                                << QString() << true;
        QTest::newRow("--data=") << QStringList{u"--data=/srv/sms"_s} << u"/srv/sms"_s << false
                                 << QString() << true;
        QTest::newRow("--demo") << QStringList{u"--demo"_s} << QString() << true << QString()
                                << true;
        QTest::newRow("--quit-after-start")
            << QStringList{u"--quit-after-start"_s} << QString() << false << u"quit"_s << true;
        QTest::newRow("--unattended --tick-ms 50")
            << QStringList{u"--unattended"_s, u"--tick-ms"_s, u"50"_s} << QString() << false
            << u"unattended tick 50"_s << true;
        QTest::newRow("--tick-ms not a number")
            << QStringList{u"--tick-ms"_s, u"5s"_s} << QString() << false << QString() << false;
        QTest::newRow("--tick-ms negative")
            << QStringList{u"--tick-ms=-1"_s} << QString() << false << QString() << false;
        QTest::newRow("--data without folder")
            << QStringList{u"--data"_s} << QString() << false << QString() << false;
        QTest::newRow("--data empty")
            << QStringList{u"--data="_s} << QString() << false << QString() << false;
        QTest::newRow("--demo with --data") << QStringList{u"--demo"_s, u"--data"_s, u"/srv/sms"_s}
                                            << u"/srv/sms"_s << true << QString() << false;
        QTest::newRow("stray argument")
            << QStringList{u"Daten.mdb"_s} << QString() << false << QString() << false;
        QTest::newRow("unknown option")
            << QStringList{u"--modem"_s} << QString() << false << QString() << false;
        QTest::newRow("--demo-connection tcp") << QStringList{u"--demo-connection"_s, u"tcp"_s}
                                               << QString() << true << QString() << true;
        QTest::newRow("--demo-connection smpp")
            << QStringList{u"--demo-connection=smpp"_s} << QString() << true << QString() << true;
        QTest::newRow("--demo-connection unknown")
            << QStringList{u"--demo-connection=isdn"_s} << QString() << true << QString() << false;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, dataFolder);
        QFETCH(bool, demo);
        QFETCH(QString, hidden);
        QFETCH(bool, valid);
        QString error;
        const StartOptions options =
            StartOptions::parse(QStringList{u"funkbote"_s} + arguments, &error);
        QCOMPARE(error.isEmpty(), valid);
        if (valid) {
            QCOMPARE(options.dataFolder, dataFolder);
            QCOMPARE(options.demo, demo);
            QStringList read;
            if (options.quitAfterStart)
                read << u"quit"_s;
            if (options.unattended)
                read << u"unattended"_s;
            if (options.tickMs != 0)
                read << u"tick %1"_s.arg(options.tickMs);
            QCOMPARE(read.join(u' '), hidden);
            // The value after --demo-connection, in one argument or two.
            const QString kind = arguments.filter(u"--demo-connection"_s).join(QString());
            QCOMPARE(options.demoConnection,
                     kind.isEmpty() ? u"modem"_s : arguments.join(u'=').section(u'=', 1, 1));
        }
    }

    // --demo: a throw-away folder whose Daten.mdb dials the demo number, the
    // simulator on COM1 there (or as a message centre on a TCP port that the
    // connection settings name), and the window only once it is ready; a
    // typed message goes out through the simulator and lands in the send log.
    void demoShowsWindowWhenSimulatorIsReady_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("kind"); // as the connection settings then hold it
        QTest::newRow("modem") << u"modem"_s << u"DialUp"_s;
        QTest::newRow("tcp") << u"tcp"_s << u"Tcp"_s;
        QTest::newRow("gsm") << u"gsm"_s << u"Gsm"_s;
        QTest::newRow("smpp") << u"smpp"_s << u"Smpp"_s;
    }
    void demoShowsWindowWhenSimulatorIsReady()
    {
        QFETCH(QString, connection);
        QFETCH(QString, kind);
        ScriptedPrompter prompter;
        SystemClock clock;
        StartOptions options;
        options.demo = true;
        options.demoConnection = connection;
        QString folder;
        {
            StartupPlan plan(options, &prompter, QCoreApplication::applicationDirPath(), QString());
            QCOMPARE(plan.check(), std::nullopt);
            folder = plan.dataDir();
            QVERIFY(QDir(folder).exists());
            QCOMPARE(TestDb::scalar(QDir(folder).filePath(u"Daten.mdb"_s),
                                    u"SELECT ProviderNummer FROM Einstellungen"_s),
                     QVariant(DemoModem::providerNumber));
            Settings settings(StartupGuard::databasePath(folder));
            MessagingCore core(MessagingCore::Environment{.programDir = folder,
                                                          .prompter = &prompter,
                                                          .clock = &clock,
                                                          .settings = &settings});
            Funkbote window(&core, u" – Demo"_s);
            core.start();
            plan.show(&window);
            QVERIFY(!window.isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 10000);
            QCOMPARE(window.windowTitle(), u"Funkbote – Demo"_s);
            QCOMPARE(window.findChild<QLabel *>(u"LBLTitel"_s)->text(),
                     u"Funkbote - SMS-Versand-Programm... – Demo"_s);
            QCOMPARE(QFileInfo(QDir(folder).filePath(u"COM1"_s)).isSymLink(),
                     kind == u"DialUp"_s || kind == u"Gsm"_s);
            QCOMPARE(
                ConnectionSettings::kindName(window.core()->connectionSettings()->values().kind),
                kind);
            QCOMPARE(prompter.count(), 0);
            QCOMPARE(TestDb::scalar(QDir(folder).filePath(u"Daten.mdb"_s),
                                    u"SELECT Name || ', ' || NatelNummer FROM Adressen"_s),
                     QVariant(DemoModem::personName + u", "_s + DemoModem::personNumber));

            window.findChild<QLineEdit *>(u"TXTNatelNummer"_s)->setText(u"079 123 45 67"_s);
            window.findChild<QPlainTextEdit *>(u"TXTNachricht"_s)->setPlainText(u"Hallo"_s);
            QTest::mouseClick(window.findChild<QPushButton *>(u"cmdSenden"_s), Qt::LeftButton);
            const QString log = QDir(folder).filePath(u"Daten.mdb"_s);
            QTRY_COMPARE_WITH_TIMEOUT(
                TestDb::scalar(log, u"SELECT COUNT(*) FROM VersandLog"_s).toInt(), 1, 30000);
            QCOMPARE(TestDb::scalar(log, u"SELECT Nachricht FROM VersandLog"_s),
                     QVariant(u"Hallo"_s));
            // The kinds that receive learn that it was delivered.
            if (kind != u"DialUp"_s)
                QTRY_COMPARE_WITH_TIMEOUT(
                    TestDb::scalar(log, u"SELECT State FROM Deliveries"_s).toInt(), 1, 10000);
        }
        QGuiApplication::setApplicationDisplayName(QString());
        QVERIFY(!QFileInfo::exists(folder));
    }

    void demoSimulatorFails_data()
    {
        QTest::addColumn<QString>("script"); // empty: no such program
        QTest::addColumn<QString>("expectedPart");
        QTest::newRow("missing") << QString() << u"kann nicht gestartet werden"_s;
        QTest::newRow("ends at once") << u"exit 3"_s << u"vorzeitig beendet (Exit-Code 3)"_s;
        QTest::newRow("never ready") << u"exec sleep 30"_s << u"meldet sich nicht"_s;
    }
    void demoSimulatorFails()
    {
        QFETCH(QString, script);
        QFETCH(QString, expectedPart);
        QTemporaryDir bin;
        const QString program = bin.filePath(u"modemsim"_s);
        if (!script.isEmpty()) {
            QFile file(program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n" + script.toUtf8() + "\n");
            file.close();
            QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        }
        DemoModem demo(program);
        QCOMPARE(demo.prepare(), QString());
        QSignalSpy ready(&demo, &DemoModem::ready);
        QSignalSpy failed(&demo, &DemoModem::failed);
        demo.start(300);
        QVERIFY(failed.wait(5000));
        QVERIFY2(failed.constFirst().constFirst().toString().contains(expectedPart),
                 qPrintable(failed.constFirst().constFirst().toString()));
        QVERIFY(failed.constFirst().constFirst().toString().endsWith(u"Die Demo wird beendet."_s));
        QTest::qWait(0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(ready.count(), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
