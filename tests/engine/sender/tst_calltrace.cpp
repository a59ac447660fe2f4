#include "calltrace.h"
#include "dialupdialogue.h"
#include "fakeclock.h"
#include "fakeserialline.h"
#include "recordingline.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settings.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The engine dialling through a recording line, traced into a file in a
// test folder.
struct Rig
{
    Rig()
    {
        TestDb::Settings row;
        row.providerNummer = u"012345678"_s;
        dbPath = TestDb::create(dir.path(), row);
        settings = std::make_unique<Settings>(dbPath);
        QVERIFY(settings->reload());
        connection = std::make_unique<StoreConnection>(dbPath, u"sendlog"_s);
        log = std::make_unique<SendLog>(connection->database());
        dialogue = std::make_unique<DialUpDialogue>(&recording, settings.get(), dir.path());
        engine = std::make_unique<SendEngine>(&queue, log.get(), dialogue.get(), &clock);
        tracePath = dir.filePath(CallTrace::fileName);
        makeTrace();
    }
    void makeTrace()
    {
        trace = std::make_unique<CallTrace>(engine.get(), &clock, tracePath);
        trace->addSource(&recording);
    }
    // One call that the modem answers BUSY.
    void busyCall()
    {
        clock.advanceSeconds(41);
        engine->tick();
        clock.advanceMs(1250);
        line.deliver("\r\nBUSY\r\n");
    }

    QTemporaryDir dir;
    QString dbPath;
    QString tracePath;
    FakeClock clock;
    FakeSerialLine line;
    RecordingLine recording{&line};
    OutgoingQueue queue;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<StoreConnection> connection;
    std::unique_ptr<SendLog> log;
    std::unique_ptr<DialUpDialogue> dialogue;
    std::unique_ptr<SendEngine> engine;
    std::unique_ptr<CallTrace> trace;
};

} // namespace

class TestCallTrace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readableBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("modem line")
            << QByteArray("\r\nCONNECT 9600\r\n") << u"<CR><LF>CONNECT 9600<CR><LF>"_s;
        QTest::newRow("frame") << QByteArray("\x02"
                                             "01/00019/R/01/A//69\x03")
                               << u"<STX>01/00019/R/01/A//69<ETX>"_s;
        QTest::newRow("pdu end and others")
            << QByteArray("00\x1a\x1b\x7f\xff", 6) << u"00<SUB><ESC><0x7F><0xFF>"_s;
        QTest::newRow("nul") << QByteArray("a\0b", 3) << u"a<NUL>b"_s;
    }
    void readableBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(::readableBytes(bytes), text);
    }

    void pinNeverTraced()
    {
        FakeSerialLine line;
        RecordingLine recording(&line);
        QSignalSpy traced(&recording, &RecordingLine::traced);
        QVERIFY(recording.open(u"/dev/ttyUSB0"_s));
        QVERIFY(recording.write("AT+CPIN=\"4711\"\r"));
        QCOMPARE(line.writes.constLast(), QByteArray("AT+CPIN=\"4711\"\r")); // passed on whole
        QCOMPARE(traced.at(1).at(0).toString(), u"→ AT+CPIN=<PIN><CR>"_s);
        QCOMPARE(traced.at(0).at(0).toString(), u"Port /dev/ttyUSB0 geöffnet"_s);
    }

    // A failed call: its heading says so, and every byte both ways is there
    // with the seconds since the call began.
    void failedCallTraced()
    {
        Rig rig;
        rig.queue.append(u"0791234567"_s, u"abc"_s, QString());
        rig.busyCall();
        QCOMPARE(rig.trace->calls().size(), 1);
        const QStringList lines = rig.trace->calls().constFirst().split(u'\n');
        QVERIFY2(lines.at(0).startsWith(CallTrace::callMark) &&
                     lines.at(0).endsWith(u"– fehlgeschlagen: Besetzt"_s),
                 qPrintable(lines.at(0)));
        QVERIFY(lines.at(1).endsWith(u"+0.000 s  Port /dev/ttyS0 geöffnet"_s));
        QVERIFY(lines.at(2).endsWith(u"+0.000 s  → ATDT 012345678<CR>"_s));
        QVERIFY(lines.at(3).endsWith(u"+1.250 s  ← <CR><LF>BUSY<CR><LF>"_s));
        QVERIFY(lines.constLast().endsWith(u"Ergebnis: Besetzt"_s));
        rig.trace->flush();
        QCOMPARE(CallTrace::readCalls(rig.tracePath), rig.trace->calls());
    }

    // The file keeps the last calls only, and a new start goes on with them;
    // only its owner may read it.
    void keepsLastCalls()
    {
        Rig rig;
        rig.queue.append(u"0791234567"_s, u"abc"_s, QString());
        for (int i = 0; i < CallTrace::maxCalls + 5; ++i)
            rig.busyCall();
        rig.trace->flush();
        QStringList calls = CallTrace::readCalls(rig.tracePath);
        QCOMPARE(calls.size(), CallTrace::maxCalls);
        QCOMPARE(calls.constFirst(), rig.trace->calls().constLast()); // newest first
        // Numbers and texts are for this user alone, also in a file that an
        // older version left readable for all.
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QCOMPARE(QFile::permissions(rig.tracePath) & others, QFileDevice::Permissions());
        QVERIFY(QFile::setPermissions(rig.tracePath, QFile::permissions(rig.tracePath) | others));
        rig.trace.reset();
        rig.makeTrace();
        rig.busyCall();
        rig.trace->flush();
        calls = CallTrace::readCalls(rig.tracePath);
        QCOMPARE(calls.size(), CallTrace::maxCalls);
        QCOMPARE(calls.at(1), rig.trace->calls().at(CallTrace::maxCalls - 2));
        QCOMPARE(QFile::permissions(rig.tracePath) & others, QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(TestCallTrace)
#include "tst_calltrace.moc"
