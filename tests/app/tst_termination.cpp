// The real program ended by a signal, as a logout, kill or a service stop
// ends it: SIGTERM and SIGHUP end it cleanly (exit status 0, the data
// file's lock gone, the queue still in Daten.mdb for the next start), and
// the demo's simulator ends with the program however the program ended.
#include "funkboteprocess.h"
#include "pendingmessages.h"
#include "storeconnection.h"
#include "storedqueue.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// The status line of /proc/PID/status that starts with key, without it.
QByteArray procStatus(qint64 pid, const QByteArray &key)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed();
    }
    return {};
}

// Whether the process has a handler of its own for the signal: until then
// the signal would end it without clean-up.
bool catches(qint64 pid, int signal)
{
    bool ok = false;
    const quint64 mask = procStatus(pid, "SigCgt:").toULongLong(&ok, 16);
    return ok && (mask >> (signal - 1) & 1);
}

// The processes whose parent is pid.
QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> children;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 candidate = entry.toLongLong(&isPid);
        if (isPid && procStatus(candidate, "PPid:").toLongLong() == pid)
            children << candidate;
    }
    return children;
}

bool isRunning(qint64 pid)
{
    // A zombie has ended; only its parent's wait is missing.
    const QByteArray state = procStatus(pid, "State:");
    return !state.isEmpty() && !state.startsWith('Z');
}

} // namespace

class TestTermination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endedBySignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("demo");
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
        QTest::newRow("SIGKILL") << int(SIGKILL) << false;
        QTest::newRow("SIGTERM, demo") << int(SIGTERM) << true;
        QTest::newRow("SIGHUP, demo") << int(SIGHUP) << true;
        // No clean-up runs: the simulator has to notice by itself.
        QTest::newRow("SIGKILL, demo") << int(SIGKILL) << true;
    }
    void endedBySignal()
    {
        QFETCH(int, signal);
        QFETCH(bool, demo);
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        QVERIFY(TestDb::storePending(path, {{1, u"0791234567"_s, u"Hallo"_s, QString()},
                                            {2, u"0797654321"_s, u"Tschüss"_s, QString()}}));

        FunkboteProcess run;
        // A long tick: nothing is dialled while the signal comes.
        if (demo)
            run.startWith({u"--demo"_s, u"--tick-ms"_s, u"600000"_s});
        else
            run.start(dir.path(), 600000);
        QVERIFY(run.process.waitForStarted());
        const qint64 pid = run.process.processId();
        qint64 simulator = 0;
        const auto noSimulatorLeft = qScopeGuard([&simulator] {
            if (simulator && isRunning(simulator))
                ::kill(pid_t(simulator), SIGKILL);
        });
        if (demo) {
            QTRY_VERIFY_WITH_TIMEOUT(childrenOf(pid).size() == 1, 10000);
            simulator = childrenOf(pid).constFirst();
            QTRY_VERIFY_WITH_TIMEOUT(catches(simulator, SIGTERM), 10000);
        }
        // The program has its handlers before its window shows (and its
        // lock before that).
        QTRY_VERIFY_WITH_TIMEOUT(catches(pid, signal == SIGKILL ? SIGTERM : signal), 10000);
        QCOMPARE(run.process.state(), QProcess::Running);

        QCOMPARE(::kill(pid_t(pid), signal), 0);
        QTRY_COMPARE_WITH_TIMEOUT(run.process.state(), QProcess::NotRunning, 10000);
        if (signal != SIGKILL) {
            QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(run.process.exitCode(), 0);
        }
        if (simulator)
            QTRY_VERIFY_WITH_TIMEOUT(!isRunning(simulator), 10000);
        if (demo)
            return;
        // A signal that can be caught ends the program cleanly: the lock
        // is gone. The queue is kept either way.
        QCOMPARE(QFileInfo::exists(dir.filePath(u"Funkbote.lock"_s)), signal == SIGKILL);
        QCOMPARE(TestDb::scalar(path, u"SELECT group_concat(Message, '|') FROM "
                                      u"(SELECT Message FROM PendingMessages ORDER BY Id)"_s)
                     .toString(),
                 u"Hallo|Tschüss"_s);
        // The next start calls only a killed run an unclean end.
        FunkboteProcess next;
        next.start(dir.path(), 600000);
        QTRY_VERIFY_WITH_TIMEOUT(!next.boxes().isEmpty(), 10000);
        QCOMPARE(next.boxes(), QStringList{StoredQueue::restoredText(2, 0, signal == SIGKILL)});
        QTRY_VERIFY_WITH_TIMEOUT(catches(next.process.processId(), SIGTERM), 10000);
        QCOMPARE(::kill(pid_t(next.process.processId()), SIGTERM), 0);
        QVERIFY(next.process.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
