#include "fakeclock.h"
#include "fakeserialline.h"
#include "outgoingqueue.h"
#include "scriptedprompter.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settingscache.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString warten = QStringLiteral("Status: Warten...");
const QString verbinden = QStringLiteral("Status: Verbindung wird hergestellt...");
const QString versand = QStringLiteral("Status: SMS wird versandt...");
const QString stopQuestion =
    QStringLiteral("Achtung! Sie sind dabei den Versand aller Nachrichten anzuhalten. "
                   "Wollen Sie das wirklich?");
const QString resumeNotice =
    QStringLiteral("Information! Der Nachrichtenversand wurde wieder aktiviert.");

// A reply of the message centre, built here independently of the program's
// parser: "01/LLLLL/" + rest + checksum, between STX and ETX.
QByteArray centreReply(const QByteArray &rest, const QByteArray &trn = "01")
{
    const int len = int(trn.size() + 1 + 5 + 1 + rest.size() + 2);
    const QByteArray body = trn + '/' + QByteArray::number(len).rightJustified(5, '0') + '/' + rest;
    unsigned sum = 0;
    for (char c : body)
        sum += static_cast<unsigned char>(c);
    return '\x02' + body + QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0') +
           '\x03';
}

const QByteArray ack = centreReply("R/01/A//0791234567:061226140310/");
QByteArray nack(const QByteArray &code)
{
    return centreReply("R/01/N/" + code + "//");
}
const QByteArray connect9600 = "\r\nCONNECT 9600\r\n";

// Everything an engine needs, with a fresh Daten.mdb per test.
struct Rig
{
    explicit Rig(qint16 comPort = 3, const QString &command = QStringLiteral("ATDT"),
                 const QString &provider = QStringLiteral("012345678"))
    {
        settings.comPort = comPort;
        settings.initialisierungsBefehl = command;
        settings.providerNummer = provider;
        dbPath = TestDb::create(dir.path());
        connection = std::make_unique<StoreConnection>(dbPath, QStringLiteral("sendlog"));
        log = std::make_unique<SendLog>(connection->database());
        engine = std::make_unique<SendEngine>(&queue, log.get(), &settings, &line, &prompter,
                                              &clock, dir.path());
    }

    QList<LogRow> rows() const { return log->readAll(); }

    // Tick until the dial line is out; the modem has not answered yet.
    void dial()
    {
        engine->tick();
        QCOMPARE(engine->callState(), SendEngine::CallState::Dialling);
    }
    void connectAndSubmit()
    {
        dial();
        line.deliver(connect9600);
        QCOMPARE(engine->callState(), SendEngine::CallState::Submitting);
    }
    // One dial that the modem answers with BUSY: a failed attempt.
    void failOnce()
    {
        dial();
        line.deliver("\r\nBUSY\r\n");
        QCOMPARE(engine->callState(), SendEngine::CallState::Idle);
    }
    // One dial that brings no connection and is ended by a later tick.
    void timeOutOnce()
    {
        dial();
        clock.advanceSeconds(41);
        engine->tick();
        QCOMPARE(engine->callState(), SendEngine::CallState::Idle);
    }

    QTemporaryDir dir;
    QString dbPath;
    SettingsCache settings;
    OutgoingQueue queue;
    FakeSerialLine line;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::unique_ptr<StoreConnection> connection;
    std::unique_ptr<SendLog> log;
    std::unique_ptr<SendEngine> engine;
};

} // namespace

class TestSendEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startValues();
    void timer1DrivesTheTick();
    void emptyQueueNeverDials();
    void tickDialsTheHead();
    void dialLine_data();
    void dialLine();
    void connectionSubmitsTheHead_data();
    void connectionSubmitsTheHead();
    void chatterIsNoConnection_data();
    void chatterIsNoConnection();
    void carrierDetectIsAConnection();
    void frameBytes_data();
    void frameBytes();
    void ackLogsRemovesAndHangsUp();
    void statusSequenceOfACall();
    void refusalIsLoggedAndRemoved_data();
    void refusalIsLoggedAndRemoved();
    void checksumComplaintIsRetried();
    void invalidAnswersAreIgnored_data();
    void invalidAnswersAreIgnored();
    void noAnswerIsAFailedAttempt();
    void ticksDuringTheAnswerWaitChangeNothing();
    void carrierLossBeforeTheAnswer_data();
    void carrierLossBeforeTheAnswer();
    void failureResultEndsTheDial_data();
    void failureResultEndsTheDial();
    void lineBreaksWhileDialling();
    void timeOutBoundary_data();
    void timeOutBoundary();
    void timeOutAcrossWallClockChanges_data();
    void timeOutAcrossWallClockChanges();
    void failureMessageFromTheFifthOn();
    void connectionRestartsTheCount();
    void counterSaturates();
    void failureBoxIsNotStacked_data();
    void failureBoxIsNotStacked();
    void portCannotBeOpened();
    void comPortNamesNoDevice_data();
    void comPortNamesNoDevice();
    void linkInProgramDirNamesThePort();
    void stopAndResume();
    void stopAnsweredNo();
    void captionDecidesNotState();
    void pausedConnectionOnlyHangsUp();
    void pausedFailureResultOnlyHangsUp();
    void pauseDuringSubmissionStillFinishes();
    void emptyQueueAtConnectEndsTheCall();
    void entryDeletedAfterItsFrameWentOut();
    void twoMessagesAreTwoCalls();
    void logFailureIsShown();
    void closePortDropsTheCall();
};

void TestSendEngine::startValues()
{
    Rig rig;
    QCOMPARE(rig.engine->versandStatus(), u"Start"_qs);
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QCOMPARE(rig.engine->statusText(), warten);
    QCOMPARE(rig.engine->startStopCaption(), u"Versand stoppen"_qs);
    QCOMPARE(rig.engine->timer1()->objectName(), u"Timer1"_qs);
    QCOMPARE(rig.engine->timer1()->interval(), 5000);
    QVERIFY(!rig.engine->timer1()->isActive());
    QCOMPARE(rig.engine->answerTimeoutMs(), 10000);
    rig.engine->start();
    QVERIFY(rig.engine->timer1()->isActive());
    QCOMPARE(rig.engine->timer1()->interval(), 5000);
}

void TestSendEngine::timer1DrivesTheTick()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->start();
    rig.engine->timer1()->setInterval(5); // no test waits five seconds
    QTRY_COMPARE(rig.line.openedPorts.size(), 1);
}

void TestSendEngine::emptyQueueNeverDials()
{
    Rig rig;
    for (int i = 0; i < 20; ++i) {
        rig.engine->tick();
        rig.clock.advanceSeconds(5);
    }
    // An entry without a number counts as no entry.
    rig.queue.append(QString(), u"abc"_qs, QString());
    rig.engine->tick();
    QVERIFY(rig.line.openedPorts.isEmpty());
    QVERIFY(rig.line.writes.isEmpty());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), warten);
}

void TestSendEngine::tickDialsTheHead()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy state(rig.engine.get(), &SendEngine::stateChanged);
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts, QStringList{u"/dev/ttyS2"_qs});
    QVERIFY(rig.line.isOpen());
    QCOMPARE(rig.line.writes, QByteArrayList{"ATDT 012345678\r"});
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    QCOMPARE(rig.engine->statusText(), verbinden);
    QVERIFY(state.count() >= 1);
    // Further ticks while the modem dials write nothing: a modem aborts
    // the dial on any byte.
    for (int i = 0; i < 8; ++i) {
        rig.clock.advanceSeconds(5);
        rig.engine->tick();
    }
    QCOMPARE(rig.line.writes.size(), 1);
    QCOMPARE(rig.line.openedPorts.size(), 1);
}

void TestSendEngine::dialLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ATDT") << u"ATDT"_qs << u"012345678"_qs << QByteArray("ATDT 012345678\r");
    QTest::newRow("empty command begins with the blank")
        << QString() << u"012345678"_qs << QByteArray(" 012345678\r");
    QTest::newRow("longer command as stored")
        << u"ATX3&C1DT"_qs << u"0800123456"_qs << QByteArray("ATX3&C1DT 0800123456\r");
    QTest::newRow("no provider number") << u"ATDT"_qs << QString() << QByteArray("ATDT \r");
}

void TestSendEngine::dialLine()
{
    QFETCH(QString, command);
    QFETCH(QString, provider);
    QFETCH(QByteArray, expected);
    Rig rig(3, command, provider);
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->tick();
    QCOMPARE(rig.line.writes, QByteArrayList{expected});
}

void TestSendEngine::connectionSubmitsTheHead_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::newRow("CONNECT") << QByteArrayList{"\r\nCONNECT\r\n"};
    QTest::newRow("CONNECT 9600") << QByteArrayList{"\r\nCONNECT 9600\r\n"};
    QTest::newRow("CONNECT 14400/ARQ") << QByteArrayList{"\r\nCONNECT 14400/ARQ\r\n"};
    QTest::newRow("bare CR") << QByteArrayList{"CONNECT 9600\r"};
    QTest::newRow("after echo and OK")
        << QByteArrayList{"ATDT 012345678\r", "\r\nOK\r\n", "\r\nCONNECT 9600\r\n"};
    QTest::newRow("split across reads") << QByteArrayList{"\r\nCONN", "ECT 96", "00\r\n"};
    QTest::newRow("data right behind it") << QByteArrayList{"\r\nCONNECT 9600\r\n\x02junk"};
}

void TestSendEngine::connectionSubmitsTheHead()
{
    QFETCH(QByteArrayList, chunks);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.failOnce();
    rig.failOnce();
    QCOMPARE(rig.engine->fehlversuche(), qint16(2));
    rig.dial();
    const int clearsBefore = rig.line.clearInputCount;
    for (const QByteArray &chunk : std::as_const(chunks))
        rig.line.deliver(chunk);
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Submitting);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QCOMPARE(rig.engine->statusText(), versand);
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    // The input is discarded before the frame goes out, in one write.
    QCOMPARE(rig.line.clearInputCount, clearsBefore + 1);
    QCOMPARE(rig.line.writes.size(), 4);
    QCOMPARE(rig.line.writes.last(), QByteArray("\x02"
                                                "01/00038/O/01/0791234567///3/616263/2A\x03"));
    QVERIFY(rig.line.isOpen());
    QVERIFY(rig.rows().isEmpty());
}

void TestSendEngine::chatterIsNoConnection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("echo of the dial line") << QByteArray("ATDT 012345678\r");
    QTest::newRow("OK") << QByteArray("\r\nOK\r\n");
    QTest::newRow("RING") << QByteArray("\r\nRING\r\n");
    QTest::newRow("CONNECT without line end") << QByteArray("\r\nCONNECT 9600");
    QTest::newRow("CONNECTING") << QByteArray("\r\nCONNECTING\r\n");
    QTest::newRow("lower case") << QByteArray("\r\nconnect 9600\r\n");
    QTest::newRow("noise") << QByteArray("\xff\x00\x7f\r\n", 5);
}

void TestSendEngine::chatterIsNoConnection()
{
    QFETCH(QByteArray, bytes);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.failOnce();
    rig.dial();
    rig.line.deliver(bytes);
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Dialling);
    QCOMPARE(rig.engine->statusText(), verbinden);
    QCOMPARE(rig.line.writes.size(), 2); // two dial lines, no frame
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QVERIFY(rig.line.isOpen());
}

void TestSendEngine::carrierDetectIsAConnection()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->tick();
    rig.line.setCarrier(false); // a falling line while dialling means nothing
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Dialling);
    rig.line.setCarrier(true);
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Submitting);
    QCOMPARE(rig.line.writes.size(), 2);
    // The CONNECT line that follows the carrier does not submit again.
    rig.line.deliver(connect9600);
    rig.line.setCarrier(true);
    QCOMPARE(rig.line.writes.size(), 2);
}

void TestSendEngine::frameBytes_data()
{
    QTest::addColumn<QString>("nummer");
    QTest::addColumn<QString>("nachricht");
    QTest::addColumn<QString>("rueckruf");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("01/00038/O/01/0791234567///3/616263/2A")
        << u"0791234567"_qs << u"abc"_qs << QString()
        << QByteArray("\x02"
                      "01/00038/O/01/0791234567///3/616263/2A\x03");
    QTest::newRow("01/00048/O/01/0791234567/0311234567//3/616263/2B")
        << u"0791234567"_qs << u"abc"_qs << u"0311234567"_qs
        << QByteArray("\x02"
                      "01/00048/O/01/0791234567/0311234567//3/616263/2B\x03");
    QTest::newRow("01/00040/O/01/0791234567///3/47727E65/A6")
        << u"0791234567"_qs << u"Grüße"_qs << QString()
        << QByteArray("\x02"
                      "01/00040/O/01/0791234567///3/47727E65/A6\x03");
}

void TestSendEngine::frameBytes()
{
    QFETCH(QString, nummer);
    QFETCH(QString, nachricht);
    QFETCH(QString, rueckruf);
    QFETCH(QByteArray, expected);
    Rig rig;
    rig.queue.append(nummer, nachricht, rueckruf);
    rig.connectAndSubmit();
    QCOMPARE(rig.line.writes.size(), 2);
    QCOMPARE(rig.line.writes.at(1).toHex(' '), expected.toHex(' '));
}

void TestSendEngine::ackLogsRemovesAndHangsUp()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"Hallo Welt"_qs, u"0311234567"_qs);
    rig.queue.append(u"0797654321"_qs, u"zweite"_qs, QString());
    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
    rig.connectAndSubmit();
    rig.clock.advanceSeconds(3);
    rig.line.deliver(ack);

    const QList<LogRow> rows = rig.rows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].versandDatum.toString(), u"2026-12-06"_qs);
    QCOMPARE(rows[0].versandZeit.toString(), u"14:03:08"_qs);
    QCOMPARE(rows[0].mobilNummer, u"0791234567"_qs);
    QCOMPARE(rows[0].nachricht, u"Hallo Welt"_qs);
    QCOMPARE(rows[0].versandt, u"OK"_qs);
    QCOMPARE(logged.count(), 1);
    QCOMPARE(rig.queue.count(), 1);
    QCOMPARE(rig.queue.head()->natelNummer, u"0797654321"_qs);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), warten);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QVERIFY(rig.prompter.shown().isEmpty());
}

void TestSendEngine::statusSequenceOfACall()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy status(rig.engine.get(), &SendEngine::statusTextChanged);
    rig.connectAndSubmit();
    rig.line.deliver(ack);
    QStringList texts;
    for (const QList<QVariant> &args : std::as_const(status))
        texts.append(args.at(0).toString());
    QCOMPARE(texts, (QStringList{verbinden, versand, warten}));
}

void TestSendEngine::refusalIsLoggedAndRemoved_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("02 syntax") << QByteArray("02") << u"Syntaxfehler"_qs;
    QTest::newRow("06 recipient") << QByteArray("06") << u"Empfängeradresse ungültig"_qs;
    QTest::newRow("24 too long") << QByteArray("24") << u"Nachricht zu lang"_qs;
    QTest::newRow("99 unknown code") << QByteArray("99") << u"unbekannter Fehler"_qs;
}

void TestSendEngine::refusalIsLoggedAndRemoved()
{
    QFETCH(QByteArray, code);
    QFETCH(QString, meaning);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abgelehnt"_qs, QString());
    rig.queue.append(u"0797654321"_qs, u"danach"_qs, QString());
    rig.connectAndSubmit();
    rig.line.deliver(nack(code));

    QList<LogRow> rows = rig.rows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].mobilNummer, u"0791234567"_qs);
    QCOMPARE(rows[0].versandt, u"NACK "_qs + QString::fromLatin1(code));
    QCOMPARE(rig.queue.count(), 1);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    const QString status = rig.engine->statusText();
    QVERIFY2(status.startsWith(u"Status: SMS abgelehnt ("_qs + QString::fromLatin1(code) + u": "),
             qPrintable(status));
    QVERIFY2(status.contains(meaning), qPrintable(status));
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QVERIFY(rig.prompter.shown().isEmpty());

    // The message behind it goes on normally.
    rig.connectAndSubmit();
    QVERIFY(rig.line.writes.last().contains("/0797654321/"));
    rig.line.deliver(ack);
    rows = rig.rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].mobilNummer, u"0797654321"_qs);
    QCOMPARE(rows[1].versandt, u"OK"_qs);
    QCOMPARE(rig.queue.count(), 0);
    QCOMPARE(rig.engine->statusText(), warten);
}

void TestSendEngine::checksumComplaintIsRetried()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    const QByteArray frame = rig.line.writes.last();
    rig.line.deliver(nack("01"));
    QVERIFY(rig.rows().isEmpty());
    QCOMPARE(rig.queue.count(), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), warten);
    QVERIFY(!rig.line.isOpen());
    // The next tick makes a new call with the same frame.
    rig.connectAndSubmit();
    QCOMPARE(rig.line.writes.last(), frame);
    QCOMPARE(rig.line.openedPorts.size(), 2);
}

void TestSendEngine::invalidAnswersAreIgnored_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray badChecksum = ack;
    badChecksum[badChecksum.size() - 2] = badChecksum.at(badChecksum.size() - 2) == '0' ? '1' : '0';
    QTest::newRow("garbage frame") << QByteArray("\x02garbage\x03");
    QTest::newRow("wrong checksum") << badChecksum;
    QTest::newRow("other transaction") << centreReply("R/01/A//", "02");
    QTest::newRow("half a frame") << ack.left(ack.size() - 1);
    QTest::newRow("modem chatter") << QByteArray("\r\nOK\r\nRING\r\n");
}

void TestSendEngine::invalidAnswersAreIgnored()
{
    QFETCH(QByteArray, bytes);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    rig.line.deliver(bytes);
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Submitting);
    QVERIFY(rig.rows().isEmpty());
    QCOMPARE(rig.queue.count(), 1);
    // A valid answer after the noise still counts.
    rig.line.deliver(ack);
    QCOMPARE(rig.rows().size(), 1);
    QCOMPARE(rig.queue.count(), 0);
}

void TestSendEngine::noAnswerIsAFailedAttempt()
{
    Rig rig;
    rig.engine->setAnswerTimeoutMs(30);
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    QTRY_COMPARE(rig.engine->callState(), SendEngine::CallState::Idle);
    QVERIFY(rig.rows().isEmpty());
    QCOMPARE(rig.queue.count(), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), warten);
    QVERIFY(!rig.line.isOpen());
    // An answer that comes too late, after the port was closed, is lost.
    rig.line.deliver(ack);
    QVERIFY(rig.rows().isEmpty());
}

void TestSendEngine::ticksDuringTheAnswerWaitChangeNothing()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    // Even past the call time-out, a tick neither ends the wait nor dials.
    for (int i = 0; i < 12; ++i) {
        rig.clock.advanceSeconds(5);
        rig.engine->tick();
    }
    rig.line.deliver("\r\nRING\r\n");
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Submitting);
    QCOMPARE(rig.line.writes.size(), 2);
    QCOMPARE(rig.line.openedPorts.size(), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    rig.line.deliver(ack);
    QCOMPARE(rig.rows().size(), 1);
}

void TestSendEngine::carrierLossBeforeTheAnswer_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("NO CARRIER line") << 0;
    QTest::newRow("carrier detect falls") << 1;
    QTest::newRow("line breaks") << 2;
}

void TestSendEngine::carrierLossBeforeTheAnswer()
{
    QFETCH(int, how);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    if (how == 0)
        rig.line.deliver("\r\nNO CARRIER\r\n");
    else if (how == 1)
        rig.line.setCarrier(false);
    else
        rig.line.breakLine();
    QCOMPARE(rig.engine->callState(), SendEngine::CallState::Idle);
    QVERIFY(rig.rows().isEmpty());
    QCOMPARE(rig.queue.count(), 1);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), warten);
    QVERIFY(!rig.line.isOpen());
}

void TestSendEngine::failureResultEndsTheDial_data()
{
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("BUSY") << QByteArray("BUSY");
    QTest::newRow("NO CARRIER") << QByteArray("NO CARRIER");
    QTest::newRow("NO DIALTONE") << QByteArray("NO DIALTONE");
    QTest::newRow("NO DIAL TONE") << QByteArray("NO DIAL TONE");
    QTest::newRow("NO ANSWER") << QByteArray("NO ANSWER");
    QTest::newRow("ERROR") << QByteArray("ERROR");
}

void TestSendEngine::failureResultEndsTheDial()
{
    QFETCH(QByteArray, result);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.dial();
    rig.line.deliver("ATDT 012345678\r\r\n" + result + "\r\n");
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), warten);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.line.writes.size(), 1);
    QCOMPARE(rig.queue.count(), 1);
    QVERIFY(rig.rows().isEmpty());
    QVERIFY(rig.prompter.shown().isEmpty());
    // The next tick dials the same entry again.
    rig.clock.advanceSeconds(5);
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), 2);
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
}

void TestSendEngine::lineBreaksWhileDialling()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.dial();
    rig.line.breakLine();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), warten);
    QCOMPARE(rig.queue.count(), 1);
}

void TestSendEngine::timeOutBoundary_data()
{
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<bool>("timedOut");
    QTest::newRow("39 s") << 39'000 << false;
    QTest::newRow("40 s") << 40'000 << false;
    QTest::newRow("41 s") << 41'000 << true;
    QTest::newRow("45 s") << 45'000 << true;
}

void TestSendEngine::timeOutBoundary()
{
    QFETCH(int, elapsedMs);
    QFETCH(bool, timedOut);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.dial();
    rig.clock.advanceMs(elapsedMs);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), timedOut ? u"Nein"_qs : u"Ja"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(timedOut ? 1 : 0));
    QCOMPARE(rig.line.isOpen(), !timedOut);
    QCOMPARE(rig.engine->statusText(), timedOut ? warten : verbinden);
    QCOMPARE(rig.queue.count(), 1);
    QVERIFY(rig.rows().isEmpty());
    QCOMPARE(rig.line.openedPorts.size(), 1);
}

void TestSendEngine::timeOutAcrossWallClockChanges_data()
{
    QTest::addColumn<QDateTime>("dialAt");
    QTest::addColumn<QDateTime>("wallClockJump"); // invalid: no jump
    QTest::newRow("across midnight")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 50)) << QDateTime();
    QTest::newRow("wall clock a day ahead") << QDateTime(QDate(2026, 12, 6), QTime(14, 0, 0))
                                            << QDateTime(QDate(2026, 12, 7), QTime(14, 0, 10));
    QTest::newRow("wall clock an hour back") << QDateTime(QDate(2026, 10, 25), QTime(3, 0, 0))
                                             << QDateTime(QDate(2026, 10, 25), QTime(2, 0, 10));
}

void TestSendEngine::timeOutAcrossWallClockChanges()
{
    QFETCH(QDateTime, dialAt);
    QFETCH(QDateTime, wallClockJump);
    Rig rig;
    rig.clock.setWallClock(dialAt);
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.dial();
    rig.clock.advanceSeconds(20);
    if (wallClockJump.isValid())
        rig.clock.setWallClock(wallClockJump);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    rig.clock.advanceSeconds(20);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    rig.clock.advanceSeconds(5);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
}

void TestSendEngine::failureMessageFromTheFifthOn()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    for (int i = 1; i <= 4; ++i) {
        rig.timeOutOnce();
        QCOMPARE(rig.engine->fehlversuche(), qint16(i));
    }
    QVERIFY(rig.prompter.shown().isEmpty());

    // While the box is open the failed call is still under way.
    QString aktivDuringBox;
    bool portOpenDuringBox = false;
    rig.prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
        aktivDuringBox = rig.engine->verbindungAktiv();
        portOpenDuringBox = rig.line.isOpen();
    });
    rig.timeOutOnce();
    QCOMPARE(rig.prompter.count(), 1);
    const ScriptedPrompter::Shown box = rig.prompter.shown().constFirst();
    QCOMPARE(box.text, SendEngine::failureMessageText());
    QVERIFY(box.text.contains(u"trotz mehrerer Versuche"_qs));
    QVERIFY(box.text.contains(u"\"SMS-Versand konfigurieren\""_qs));
    QCOMPARE(box.buttons, Prompter::Buttons::Ok);
    QCOMPARE(box.icon, Prompter::Icon::None);
    QCOMPARE(aktivDuringBox, u"Ja"_qs);
    QVERIFY(portOpenDuringBox);
    QCOMPARE(rig.engine->fehlversuche(), qint16(5));
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), warten);

    // Every further failure is reported, whatever ended the attempt.
    rig.failOnce();
    QCOMPARE(rig.prompter.count(), 2);
    rig.connectAndSubmit();
    rig.line.deliver(nack("01"));
    QCOMPARE(rig.prompter.count(), 2); // the connection restarted the count
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.queue.count(), 1);
}

void TestSendEngine::connectionRestartsTheCount()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"eins"_qs, QString());
    rig.queue.append(u"0791234567"_qs, u"zwei"_qs, QString());
    for (int i = 0; i < 4; ++i)
        rig.failOnce();
    QCOMPARE(rig.engine->fehlversuche(), qint16(4));
    rig.connectAndSubmit();
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    rig.line.deliver(ack);
    for (int i = 0; i < 4; ++i)
        rig.failOnce();
    QVERIFY(rig.prompter.shown().isEmpty());
    rig.failOnce();
    QCOMPARE(rig.prompter.count(), 1);
}

void TestSendEngine::counterSaturates()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    for (int i = 0; i < 32767; ++i) {
        rig.engine->tick();
        rig.line.deliver("BUSY\r");
    }
    QCOMPARE(rig.engine->fehlversuche(), qint16(32767));
    rig.failOnce();
    rig.failOnce();
    QCOMPARE(rig.engine->fehlversuche(), qint16(32767));
    QCOMPARE(rig.prompter.count(), 32767 + 2 - 4);
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
}

void TestSendEngine::failureBoxIsNotStacked_data()
{
    QTest::addColumn<bool>("byBusy");
    QTest::newRow("time-out at a tick") << false;
    QTest::newRow("BUSY from the modem") << true;
}

void TestSendEngine::failureBoxIsNotStacked()
{
    QFETCH(bool, byBusy);
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    for (int i = 0; i < 4; ++i)
        rig.failOnce();
    rig.dial();
    const qsizetype opensBefore = rig.line.openedPorts.size();
    const qsizetype writesBefore = rig.line.writes.size();

    // The real box runs a nested event loop: ticks and line events go on
    // while it is open.
    qsizetype opensDuringBox = -1;
    qsizetype writesDuringBox = -1;
    qint16 countDuringBox = -1;
    rig.prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
        for (int i = 0; i < 5; ++i) {
            rig.clock.advanceSeconds(50);
            rig.engine->tick();
        }
        rig.line.deliver(connect9600);
        rig.line.setCarrier(true);
        rig.line.deliver(ack);
        rig.line.deliver("\r\nBUSY\r\n");
        rig.line.deliver("\r\nNO CARRIER\r\n");
        rig.line.setCarrier(false);
        opensDuringBox = rig.line.openedPorts.size();
        writesDuringBox = rig.line.writes.size();
        countDuringBox = rig.engine->fehlversuche();
    });

    if (byBusy) {
        rig.line.deliver("\r\nBUSY\r\n");
    } else {
        rig.clock.advanceSeconds(41);
        rig.engine->tick();
    }

    QCOMPARE(rig.prompter.count(), 1);
    QCOMPARE(opensDuringBox, opensBefore);
    QCOMPARE(writesDuringBox, writesBefore);
    QCOMPARE(countDuringBox, qint16(4));
    // Wound up once, after the box.
    QCOMPARE(rig.engine->fehlversuche(), qint16(5));
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), warten);
    QVERIFY(!rig.line.isOpen());
    QVERIFY(rig.rows().isEmpty());
    QCOMPARE(rig.queue.count(), 1);
    // Sending goes on with the next tick.
    rig.prompter.setWhileOpen({});
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), opensBefore + 1);
}

void TestSendEngine::portCannotBeOpened()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.line.failNextOpen(u"Zugriff verweigert"_qs);
    rig.engine->tick();
    QCOMPARE(rig.line.failedOpens, QStringList{u"/dev/ttyS2"_qs});
    QCOMPARE(rig.engine->statusText(),
             u"Status: COM3 (/dev/ttyS2) lässt sich nicht öffnen: Zugriff verweigert"_qs);
    QVERIFY(rig.line.writes.isEmpty());
    // Accounted by the call time-out like a dial without answer.
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    rig.clock.advanceSeconds(40);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    rig.clock.advanceSeconds(5);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), warten);
    QCOMPARE(rig.queue.count(), 1);
    // The next tick tries again and now gets the port.
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts, QStringList{u"/dev/ttyS2"_qs});
    QCOMPARE(rig.line.writes, QByteArrayList{"ATDT 012345678\r"});
}

void TestSendEngine::comPortNamesNoDevice_data()
{
    QTest::addColumn<int>("comPort");
    QTest::newRow("0") << 0;
    QTest::newRow("-3") << -3;
}

void TestSendEngine::comPortNamesNoDevice()
{
    QFETCH(int, comPort);
    Rig rig{qint16(comPort)};
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->tick();
    QVERIFY(rig.line.openedPorts.isEmpty());
    QVERIFY(rig.line.failedOpens.isEmpty());
    const QString status = rig.engine->statusText();
    QVERIFY2(status.startsWith(u"Status: COM"_qs + QString::number(comPort) + u" bezeichnet keine"),
             qPrintable(status));
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    rig.clock.advanceSeconds(41);
    rig.engine->tick();
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    QCOMPARE(rig.engine->statusText(), warten);
}

void TestSendEngine::linkInProgramDirNamesThePort()
{
    Rig rig(7);
    const QString target = rig.dir.filePath(u"pts-7"_qs);
    QVERIFY(QFile::link(target, rig.dir.filePath(u"COM7"_qs)));
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts, QStringList{target});
}

void TestSendEngine::stopAndResume()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy caption(rig.engine.get(), &SendEngine::startStopCaptionChanged);
    rig.prompter.answerNext(Prompter::Answer::Yes);
    rig.engine->toggleSending();
    QCOMPARE(rig.prompter.count(), 1);
    QCOMPARE(rig.prompter.shown()[0].text, stopQuestion);
    QCOMPARE(rig.prompter.shown()[0].buttons, Prompter::Buttons::YesNo);
    QCOMPARE(rig.prompter.shown()[0].icon, Prompter::Icon::None);
    QCOMPARE(rig.engine->versandStatus(), u"Stop"_qs);
    QCOMPARE(rig.engine->startStopCaption(), u"Versand starten"_qs);
    QCOMPARE(caption.count(), 1);
    QCOMPARE(caption.at(0).at(0).toString(), u"Versand starten"_qs);

    for (int i = 0; i < 100; ++i) {
        rig.clock.advanceSeconds(5);
        rig.engine->tick();
    }
    QVERIFY(rig.line.openedPorts.isEmpty());
    QCOMPARE(rig.queue.count(), 1);

    rig.engine->toggleSending();
    QCOMPARE(rig.prompter.count(), 2);
    QCOMPARE(rig.prompter.shown()[1].text, resumeNotice);
    QCOMPARE(rig.prompter.shown()[1].buttons, Prompter::Buttons::Ok);
    QCOMPARE(rig.prompter.shown()[1].icon, Prompter::Icon::Information);
    QCOMPARE(rig.engine->versandStatus(), u"Start"_qs);
    QCOMPARE(rig.engine->startStopCaption(), u"Versand stoppen"_qs);
    QCOMPARE(caption.count(), 2);
    // Resuming does not dial at once; the next tick does.
    QVERIFY(rig.line.openedPorts.isEmpty());
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), 1);
}

void TestSendEngine::stopAnsweredNo()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy caption(rig.engine.get(), &SendEngine::startStopCaptionChanged);
    rig.prompter.answerNext(Prompter::Answer::No);
    rig.engine->toggleSending();
    QCOMPARE(rig.prompter.texts(), QStringList{stopQuestion});
    QCOMPARE(rig.engine->versandStatus(), u"Start"_qs);
    QCOMPARE(rig.engine->startStopCaption(), u"Versand stoppen"_qs);
    QCOMPARE(caption.count(), 0);
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), 1);
}

void TestSendEngine::captionDecidesNotState()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    // The quit question pauses sending without touching the button.
    rig.engine->setVersandStatus(u"Stop"_qs);
    QCOMPARE(rig.engine->versandStatus(), u"Stop"_qs);
    QCOMPARE(rig.engine->startStopCaption(), u"Versand stoppen"_qs);
    rig.engine->tick();
    QVERIFY(rig.line.openedPorts.isEmpty());
    rig.prompter.answerNext(Prompter::Answer::No);
    rig.engine->toggleSending();
    QCOMPARE(rig.prompter.texts(), QStringList{stopQuestion});
    rig.engine->setVersandStatus(u"Start"_qs);
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), 1);
}

void TestSendEngine::pausedConnectionOnlyHangsUp()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.failOnce();
    rig.failOnce();
    rig.dial();
    rig.engine->setVersandStatus(u"Stop"_qs);
    rig.line.deliver(connect9600);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.line.writes.size(), 3); // three dial lines, no frame
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QCOMPARE(rig.queue.count(), 1);

    // After resuming the marked call ends by the time-out, counted.
    rig.engine->setVersandStatus(u"Start"_qs);
    rig.clock.advanceSeconds(30);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    QCOMPARE(rig.line.openedPorts.size(), 3);
    rig.clock.advanceSeconds(15);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), 4);
}

void TestSendEngine::pausedFailureResultOnlyHangsUp()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.dial();
    rig.engine->setVersandStatus(u"Stop"_qs);
    rig.line.deliver("\r\nBUSY\r\n");
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    // Ticks while paused do nothing, also long past the time-out.
    rig.clock.advanceSeconds(120);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Ja"_qs);
    rig.engine->setVersandStatus(u"Start"_qs);
    rig.engine->tick();
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(1));
}

void TestSendEngine::pauseDuringSubmissionStillFinishes()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    rig.prompter.answerNext(Prompter::Answer::Yes);
    rig.engine->toggleSending();
    QCOMPARE(rig.engine->versandStatus(), u"Stop"_qs);
    // The frame is out: its answer is still taken.
    rig.line.deliver(ack);
    QCOMPARE(rig.rows().size(), 1);
    QCOMPARE(rig.queue.count(), 0);
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
}

void TestSendEngine::emptyQueueAtConnectEndsTheCall()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.failOnce();
    rig.dial();
    rig.queue.clear();
    rig.line.deliver(connect9600);
    QCOMPARE(rig.line.writes.size(), 2); // dial lines only
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->statusText(), warten);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QVERIFY(rig.rows().isEmpty());
}

void TestSendEngine::entryDeletedAfterItsFrameWentOut()
{
    Rig rig;
    const OutgoingQueue::EntryId first = rig.queue.append(u"0791111111"_qs, u"eins"_qs, QString());
    rig.queue.append(u"0792222222"_qs, u"zwei"_qs, QString());
    rig.connectAndSubmit();
    QVERIFY(rig.queue.removeById(first));
    rig.queue.append(u"0793333333"_qs, u"drei"_qs, QString());
    rig.line.deliver(ack);

    const QList<LogRow> rows = rig.rows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].mobilNummer, u"0791111111"_qs);
    QCOMPARE(rows[0].nachricht, u"eins"_qs);
    QCOMPARE(rig.queue.count(), 2);
    QCOMPARE(rig.queue.at(0).nachricht, u"zwei"_qs);
    QCOMPARE(rig.queue.at(1).nachricht, u"drei"_qs);
}

void TestSendEngine::twoMessagesAreTwoCalls()
{
    Rig rig;
    rig.queue.append(u"0791111111"_qs, u"eins"_qs, QString());
    rig.queue.append(u"0792222222"_qs, u"zwei"_qs, QString());
    rig.connectAndSubmit();
    rig.line.deliver(ack);
    QCOMPARE(rig.line.closeCount, 1);
    rig.clock.advanceSeconds(5);
    rig.connectAndSubmit();
    rig.line.deliver(ack);
    QCOMPARE(rig.line.openedPorts.size(), 2);
    QCOMPARE(rig.line.closeCount, 2);
    QCOMPARE(rig.line.writes.size(), 4);
    QCOMPARE(rig.line.writes[0], QByteArray("ATDT 012345678\r"));
    QCOMPARE(rig.line.writes[2], QByteArray("ATDT 012345678\r"));
    QVERIFY(rig.line.writes[1].contains("/0791111111/"));
    QVERIFY(rig.line.writes[3].contains("/0792222222/"));
    const QList<LogRow> rows = rig.rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].nachricht, u"eins"_qs);
    QCOMPARE(rows[1].nachricht, u"zwei"_qs);
    QCOMPARE(rows[1].versandZeit.toString(), u"14:03:10"_qs);
    rig.engine->tick();
    QCOMPARE(rig.line.openedPorts.size(), 2);
}

void TestSendEngine::logFailureIsShown()
{
    Rig rig;
    QVERIFY(TestDb::exec(rig.dbPath, u"DROP TABLE VersandLog"_qs));
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    QSignalSpy logged(rig.engine.get(), &SendEngine::messageLogged);
    rig.connectAndSubmit();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"send log not written"_qs));
    rig.line.deliver(ack);
    QCOMPARE(logged.count(), 0);
    QVERIFY(rig.engine->statusText().contains(u"Versand-Archiv"_qs));
    // The message went out: it must not be sent a second time.
    QCOMPARE(rig.queue.count(), 0);
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
}

void TestSendEngine::closePortDropsTheCall()
{
    Rig rig;
    rig.queue.append(u"0791234567"_qs, u"abc"_qs, QString());
    rig.connectAndSubmit();
    rig.engine->closePort();
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(rig.engine->verbindungAktiv(), u"Nein"_qs);
    QCOMPARE(rig.engine->fehlversuche(), qint16(0));
    QCOMPARE(rig.queue.count(), 1);
    QVERIFY(rig.rows().isEmpty());
}

QTEST_GUILESS_MAIN(TestSendEngine)
#include "tst_sendengine.moc"
