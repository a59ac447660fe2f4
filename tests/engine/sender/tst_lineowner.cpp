// The serial line lent to one dialogue at a time: only the borrower hears
// the line and acts on it; a second borrower is refused; after giving back,
// late bytes reach no one.

#include "dialupdialogue.h"
#include "fakeserialline.h"
#include "gsmdialogue.h"
#include "lineowner.h"
#include "settings.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

class TestLineOwner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each of the line's signals reaches the borrower only, and no one once
    // the line is given back.
    void onlyTheBorrowerHears_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("data") << 0;
        QTest::newRow("bytes written") << 1;
        QTest::newRow("error") << 2;
        QTest::newRow("line broken") << 3;
        QTest::newRow("carrier") << 4;
    }
    void onlyTheBorrowerHears()
    {
        QFETCH(int, signal);
        FakeSerialLine line;
        QObject userA;
        QObject userB;
        LentLine *a = LineOwner::of(&line)->lineFor(&userA);
        LentLine *b = LineOwner::of(&line)->lineFor(&userB);
        const std::function<void()> fire[] = {
            [&] { line.deliver("OK\r\n"); },
            [&] { line.write("AT\r"); },
            [&] { Q_EMIT line.errorOccurred(u"kaputt"_s); },
            [&] {
                line.open(u"/dev/ttyS0"_s);
                line.breakLine();
            },
            [&] { line.setCarrier(true); },
        };
        const auto spies = [signal](LentLine *lent) {
            switch (signal) {
            case 0:
                return new QSignalSpy(lent, &SerialLine::readyRead);
            case 1:
                return new QSignalSpy(lent, &SerialLine::bytesWritten);
            case 2:
                return new QSignalSpy(lent, &SerialLine::errorOccurred);
            case 3:
                return new QSignalSpy(lent, &SerialLine::closedByError);
            default:
                return new QSignalSpy(lent, &SerialLine::carrierDetectChanged);
            }
        };
        std::unique_ptr<QSignalSpy> heardA(spies(a));
        std::unique_ptr<QSignalSpy> heardB(spies(b));
        QVERIFY(line.open(u"/dev/ttyS0"_s));
        fire[signal]();
        QCOMPARE(heardA->count() + heardB->count(), 0); // lent to no one
        QVERIFY(a->borrow());
        QVERIFY(a->borrow()); // the borrower again: still its own
        fire[signal]();
        QCOMPARE(heardA->count(), 1);
        QCOMPARE(heardB->count(), 0);
        a->giveBack();
        fire[signal]();
        QCOMPARE(heardA->count() + heardB->count(), 1);
        QVERIFY(b->borrow());
        fire[signal]();
        QCOMPARE(heardA->count(), 1);
        QCOMPARE(heardB->count(), 1);
    }

    // While a has the line, b can neither borrow it nor act on it: its
    // close() leaves a's call alone, and it reads nothing of a's bytes.
    void secondBorrowerRefused()
    {
        FakeSerialLine line;
        QObject userA;
        QObject userB;
        LentLine *a = LineOwner::of(&line)->lineFor(&userA);
        LentLine *b = LineOwner::of(&line)->lineFor(&userB);
        QVERIFY(a->borrow());
        QVERIFY(a->open(u"/dev/ttyS0"_s));
        QTest::ignoreMessage(QtWarningMsg, "LentLine: the serial line is lent to another user");
        QVERIFY(!b->borrow());
        QString error;
        QVERIFY(!b->open(u"/dev/ttyS1"_s, &error));
        QCOMPARE(error, u"Die Schnittstelle wird von einer anderen Verbindung benutzt"_s);
        QVERIFY(!b->write("AT\r"));
        b->clearInput();
        line.deliver("CONNECT\r\n");
        QCOMPARE(b->readAll(), QByteArray());
        b->close();
        QVERIFY(line.isOpen());
        QVERIFY(!b->isOpen());
        QCOMPARE(a->readAll(), "CONNECT\r\n");
        QCOMPARE(line.openedPorts, QStringList{u"/dev/ttyS0"_s});
        QCOMPARE(line.writes, QByteArrayList());
        QCOMPARE(line.clearInputCount, 0);
    }

    // The two dialogues on the COM port: the GSM dialogue ending (as when
    // the settings change) closes nothing of a dial-up call under way, and
    // once that call is over the GSM dialogue has the line.
    void dialoguesShareTheLine()
    {
        QTemporaryDir dir;
        TestDb::Settings row;
        row.comPort = 3;
        row.initialisierungsBefehl = u"ATDT"_s;
        row.providerNummer = u"012345678"_s;
        Settings settings(TestDb::create(dir.path(), row));
        QVERIFY(settings.reload());
        FakeSerialLine line;
        DialUpDialogue dialUp(&line, &settings, dir.path());
        GsmDialogue gsm(&line, &settings, dir.path(), [] { return GsmAccount{}; });
        QSignalSpy ready(&dialUp, &CallDialogue::ready);
        QSignalSpy gsmFailed(&gsm, &CallDialogue::failed);
        dialUp.begin();
        gsm.end();
        QVERIFY(line.isOpen());
        line.deliver("\r\nCONNECT 9600\r\n");
        QCOMPARE(ready.count(), 1);
        dialUp.end();
        line.deliver("\r\nNO CARRIER\r\n"); // late: no one hears it
        gsm.begin();
        QCOMPARE(line.openedPorts.size(), 2);
        QCOMPARE(line.writes.constLast(), "ATE0\r");
        QCOMPARE(gsmFailed.count(), 0);
        gsm.end();
    }
};

QTEST_GUILESS_MAIN(TestLineOwner)
#include "tst_lineowner.moc"
