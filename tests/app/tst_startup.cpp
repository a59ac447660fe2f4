#include "scriptedprompter.h"
#include "startup.h"
#include "testdb.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

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
        QCOMPARE(guard.databasePath(), dir.filePath(u"Daten.mdb"_qs));
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
        QCOMPARE(prompter.texts(), QStringList{u"Dieses Programm ist bereits gestartet!"_qs});
        QCOMPARE(prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
        QCOMPARE(prompter.shown().constFirst().icon, Prompter::Icon::None);
    }

    void staleLockAfterCrashIsTakenOver()
    {
        QTemporaryDir dir;
        TestDb::create(dir.path());
        // The lock of a process that no longer exists, as a crash leaves it.
        QFile lock(dir.filePath(u"Funkbote.lock"_qs));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147483646\nfunkbote\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();

        ScriptedPrompter prompter;
        StartupGuard guard(dir.path(), &prompter);
        QCOMPARE(guard.check(), std::nullopt);
        QCOMPARE(prompter.count(), 0);
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
        QTest::newRow("missing") << false << QString() << u"nicht gefunden"_qs;
        QTest::newRow("no settings row")
            << true << u"DELETE FROM Einstellungen"_qs << u"keinen Datensatz"_qs;
        QTest::newRow("missing field") << true << u"ALTER TABLE VersandLog DROP COLUMN versandt"_qs
                                       << u"fehlt das Feld \"versandt\""_qs;
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
        QCOMPARE(QFileInfo::exists(dir.filePath(u"Daten.mdb"_qs)), createFile);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
