// The real program (offscreen, boxes to stderr, fast Timer1) sends a long
// queue through the modem simulator with no delays, one call per message:
// every message is logged exactly once and in order, its resident memory
// after the last message is within 10 % of what it was after the first
// tenth, and it holds the same open files as then.
//
// FUNKBOTE_SOAK_MESSAGES sets the length of the queue (500; tools/stress.sh
// sends 10,000).

#include "funkboteprocess.h"
#include "newstore.h"
#include "pendingmessages.h"
#include "simprocess.h"
#include "storeconnection.h"
#include "storedqueue.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString messageText(int i)
{
    return u"Soak %1"_s.arg(i, 5, 10, QLatin1Char('0'));
}

// What the program holds open, without what comes and goes with each call:
// the serial port and SQLite's journal of a transaction under way.
QStringList lastingFiles(const QStringList &files)
{
    QStringList result;
    for (const QString &file : files) {
        if (!file.startsWith(u"/dev/pts/"_s) && !file.endsWith(u"-journal"_s))
            result << file;
    }
    return result;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void longQueueThroughSimulator()
    {
        bool set = false;
        const int total = qEnvironmentVariableIntValue("FUNKBOTE_SOAK_MESSAGES", &set);
        const int messages = set && total >= 10 ? total : 500;
        const int checkpoint = messages / 10;

        QTemporaryDir dir;
        const QString path = dir.filePath(u"Daten.mdb"_s);
        QCOMPARE(NewStore::create(path, u"0800 123 456"_s), QString());
        QStringList texts;
        QList<PendingMessage> rows;
        for (int i = 1; i <= messages; ++i) {
            texts << messageText(i);
            rows.append(PendingMessage{i, u"0791234567"_s, messageText(i), QString()});
        }
        QVERIFY(TestDb::storePending(path, rows));
        SimProcess sim;
        QVERIFY(
            sim.start(dir.path(), 1, {u"--connect-delay"_s, u"0"_s, u"--reply-delay"_s, u"0"_s}));

        FunkboteProcess program;
        QSignalSpy finished(&program.process, &QProcess::finished);
        program.start(dir.path(), 10);
        const int timeoutMs = 60000 + messages * 100;
        QTRY_VERIFY2_WITH_TIMEOUT(sim.count(u"SMS"_s) >= checkpoint || !finished.isEmpty(),
                                  qPrintable(program.errors), timeoutMs);
        QVERIFY2(finished.isEmpty(), qPrintable(program.errors));
        const qint64 rssFirst = program.residentKiB();
        const QStringList filesFirst = lastingFiles(program.openFiles());

        QTRY_VERIFY2_WITH_TIMEOUT(
            TestDb::scalar(path, u"SELECT COUNT(*) FROM PendingMessages"_s).toInt() == 0 ||
                !finished.isEmpty(),
            qPrintable(program.errors), timeoutMs);
        QVERIFY2(finished.isEmpty(), qPrintable(program.errors));
        const qint64 rssLast = program.residentKiB();
        const QStringList filesLast = lastingFiles(program.openFiles());
        qInfo("%d messages: RSS %lld KiB after %d, %lld KiB after the last (%+.1f %%); %d open "
              "files after %d, %d after the last",
              messages, rssFirst, checkpoint, rssLast,
              100.0 * double(rssLast - rssFirst) / double(rssFirst), int(filesFirst.size()),
              checkpoint, int(filesLast.size()));

        QStringList logged;
        {
            StoreConnection connection(path, u"check"_s);
            QSqlQuery query(connection.database());
            QVERIFY(query.exec(u"SELECT Nachricht FROM VersandLog ORDER BY rowid"_s));
            while (query.next())
                logged << query.value(0).toString();
        }
        QCOMPARE(logged, texts);
        // Stored without a run that crashed: kept as a quit without questions
        // keeps it.
        QCOMPARE(program.boxes(), QStringList{StoredQueue::restoredText(messages, 0, false)});
        QCOMPARE(filesLast, filesFirst);
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer keeps freed memory in quarantine: resident memory tells nothing");
#endif
        QVERIFY(rssFirst > 0);
        QVERIFY2(rssLast <= rssFirst + rssFirst / 10,
                 qPrintable(u"%1 KiB after %2 messages, %3 KiB after %4"_s.arg(rssFirst)
                                .arg(checkpoint)
                                .arg(rssLast)
                                .arg(messages)));
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
