#include "modemresult.h"

#include <QTest>

class TestModemResult : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classify_data();
    void classify();
    void lines_data();
    void lines();
    void endlessLineStaysBounded();
};

void TestModemResult::classify_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<ModemResult>("expected");
    QTest::newRow("CONNECT") << QByteArray("CONNECT") << ModemResult::Connect;
    QTest::newRow("CONNECT 9600") << QByteArray("CONNECT 9600") << ModemResult::Connect;
    QTest::newRow("CONNECT 14400/ARQ") << QByteArray("CONNECT 14400/ARQ") << ModemResult::Connect;
    QTest::newRow("CONNECT/ARQ") << QByteArray("CONNECT/ARQ") << ModemResult::Connect;
    QTest::newRow("padded") << QByteArray("  CONNECT 2400 ") << ModemResult::Connect;
    QTest::newRow("BUSY") << QByteArray("BUSY") << ModemResult::Failure;
    QTest::newRow("NO CARRIER") << QByteArray("NO CARRIER") << ModemResult::Failure;
    QTest::newRow("NO DIALTONE") << QByteArray("NO DIALTONE") << ModemResult::Failure;
    QTest::newRow("NO DIAL TONE") << QByteArray("NO DIAL TONE") << ModemResult::Failure;
    QTest::newRow("NO ANSWER") << QByteArray("NO ANSWER") << ModemResult::Failure;
    QTest::newRow("ERROR") << QByteArray("ERROR") << ModemResult::Failure;
    QTest::newRow("echo") << QByteArray("ATDT 012345678") << ModemResult::Other;
    QTest::newRow("OK") << QByteArray("OK") << ModemResult::Other;
    QTest::newRow("RING") << QByteArray("RING") << ModemResult::Other;
    QTest::newRow("CONNECTING") << QByteArray("CONNECTING") << ModemResult::Other;
    QTest::newRow("lower case connect") << QByteArray("connect 9600") << ModemResult::Other;
    QTest::newRow("BUSY inside text") << QByteArray("LINE BUSY NOW") << ModemResult::Other;
    QTest::newRow("empty") << QByteArray() << ModemResult::Other;
}

void TestModemResult::classify()
{
    QFETCH(QByteArray, line);
    QFETCH(ModemResult, expected);
    QCOMPARE(classifyModemLine(line), expected);
}

void TestModemResult::lines_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("CR LF") << QByteArrayList{"\r\nCONNECT 9600\r\n"}
                           << QByteArrayList{"CONNECT 9600"};
    QTest::newRow("bare CR") << QByteArrayList{"ATDT 1\rOK\r"} << QByteArrayList{"ATDT 1", "OK"};
    QTest::newRow("split") << QByteArrayList{"\r\nNO CAR", "RIER", "\r\n"}
                           << QByteArrayList{"NO CARRIER"};
    QTest::newRow("unfinished line stays")
        << QByteArrayList{"OK\r\nCONNECT"} << QByteArrayList{"OK"};
    QTest::newRow("empty lines dropped") << QByteArrayList{"\r\n\r\n\n\r"} << QByteArrayList{};
}

void TestModemResult::lines()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, expected);
    ModemLineBuffer buffer;
    QByteArrayList got;
    for (const QByteArray &chunk : std::as_const(chunks))
        got += buffer.feed(chunk);
    QCOMPARE(got, expected);
}

void TestModemResult::endlessLineStaysBounded()
{
    ModemLineBuffer buffer;
    for (int i = 0; i < 1000; ++i)
        QVERIFY(buffer.feed(QByteArray(100, 'x')).isEmpty());
    const QByteArrayList lines = buffer.feed("BUSY\r");
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].size() <= 256);
    QVERIFY(lines[0].endsWith("BUSY"));
    // After it the buffer is clean again.
    QCOMPARE(buffer.feed("OK\r"), QByteArrayList{"OK"});
}

QTEST_GUILESS_MAIN(TestModemResult)
#include "tst_modemresult.moc"
