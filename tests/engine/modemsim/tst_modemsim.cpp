// The modem simulator as the sending engine meets it: a separate process
// behind a pseudo-terminal, reached through its COMn link with QSerialPort,
// or a message centre on a TCP port, reached with QTcpSocket.

#include "simprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray syntaxNack = "01/00022/R/01/N/02//01";

// Operation 60 for account 12345 and password "secret", made by hand: LEN
// 35 + 5 + 12 = 52, byte sum 2518 = 0x9D6.
const QByteArray login12345 = "01/00052/O/60/12345/6/5/1/736563726574//0100//////D6";

// A frame with LEN and checksum computed here, apart from the simulator.
QByteArray sealed(QByteArrayView trn, QByteArrayView rest)
{
    const QByteArray body =
        trn.toByteArray() + '/' +
        QByteArray::number(trn.size() + rest.size() + 9).rightJustified(5, '0') + '/' + rest;
    unsigned sum = 0;
    for (char c : body)
        sum += static_cast<unsigned char>(c);
    return body + QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0');
}

QByteArray framed(const QByteArray &frame)
{
    return '\x02' + frame + '\x03';
}

QByteArray submission(QByteArrayView trn)
{
    return sealed(trn, "O/01/0791234567///3/616263/");
}

QByteArray ack(QByteArrayView trn)
{
    return sealed(trn, "R/01/A//");
}

// A simulator on COM3 in a folder of its own, and the program's end of the line.
struct Rig
{
    QString link() const { return dir.filePath(u"COM3"_s); }
    bool start(const QStringList &arguments)
    {
        QObject::connect(&port, &QSerialPort::readyRead, &port,
                         [this] { received += port.readAll(); });
        port.setPortName(link());
        return sim.start(dir.path(), 3, arguments) && port.open(QIODevice::ReadWrite);
    }
    // Writes and forgets what the modem sent so far.
    void write(const QByteArray &bytes)
    {
        received.clear();
        port.write(bytes);
    }

    QTemporaryDir dir;
    SimProcess sim;
    QSerialPort port;
    QByteArray received;
};

// A simulated message centre on a free TCP port and the program's connection.
struct TcpRig
{
    bool start(const QStringList &arguments)
    {
        if (!sim.start(QStringList{u"--tcp"_s, u"0"_s, u"--reply-delay"_s, u"0"_s} + arguments))
            return false;
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                         [this] { received += socket.readAll(); });
        return connect();
    }
    bool connect()
    {
        const QString address = sim.values(u"READY"_s).value(0);
        QSignalSpy connected(&socket, &QTcpSocket::connected);
        socket.connectToHost(QHostAddress::LocalHost, address.section(u':', 1).toUShort());
        return connected.wait(5000);
    }
    // Writes one frame and forgets what the centre sent so far.
    void send(const QByteArray &frame)
    {
        received.clear();
        socket.write(framed(frame));
    }

    SimProcess sim;
    QTcpSocket socket;
    QByteArray received;
};

} // namespace

class TstModemsim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Command mode echoes and answers AT lines; a byte while the modem
    // dials aborts the call. Every report line also goes to the log.
    void commandModeAndAbortedDial()
    {
        Rig rig;
        const QString logPath = rig.dir.filePath(u"sim.log"_s);
        QVERIFY(rig.start({u"--connect-delay"_s, u"60000"_s, u"--log"_s, logPath}));
        rig.write("\rhi\rat&f\r");
        QTRY_COMPARE(rig.received, "\rhi\rat&f\r\r\nOK\r\n");
        rig.write("ATD1\r");
        QTRY_COMPARE(rig.sim.values(u"DIAL"_s), QStringList{u"415444310D"_s});
        rig.write("x");
        QTRY_COMPARE(rig.received, "\r\nNO CARRIER\r\n"); // the byte is not echoed
        QTRY_COMPARE(rig.sim.lines.mid(rig.sim.lines.indexOf(u"ABORT"_s)).value(1),
                     u"RESULT NO CARRIER"_s);
        rig.write("AT\r");
        QTRY_COMPARE(rig.received, "AT\r\r\nOK\r\n");

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList logLines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const QRegularExpression stamp(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "_s);
        for (QString &line : logLines) {
            QVERIFY2(line.contains(stamp), qPrintable(line));
            line.remove(stamp);
        }
        QCOMPARE(logLines, rig.sim.lines);
    }

    // The centre checks and decodes each frame, refusing each one with 06 as
    // scripted; a broken frame is refused with 02 instead. "!" marks an
    // INVALID report.
    void frame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("all sixteen GSM letters")
            << QByteArray("01/00064/O/01/0791234567///3/010405060708091F5B5C5E5F7B7C7E7F/00")
            << u"to=0791234567 from= text=£èéùìòçÉÄÖÜ§äöüà"_s
            << QByteArray("01/00022/R/01/N/06//05");
        QTest::newRow("CR LF escaped, TRN 42, lower-case checksum")
            << QByteArray("42/00042/O/01/0791234567///3/610D0A625C/1e")
            << u"to=0791234567 from= text=a\\r\\nbÖ"_s << QByteArray("42/00022/R/01/N/06//0A");
        QTest::newRow("wrong checksum")
            << QByteArray("01/00038/O/01/0791234567///3/616263/2B") << u"!"_s << syntaxNack;
        QTest::newRow("LEN one too high")
            << QByteArray("01/00039/O/01/0791234567///3/616263/2B") << u"!"_s << syntaxNack;
    }
    void frame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, report);
        QFETCH(QByteArray, reply);
        Rig rig;
        QVERIFY(rig.start({u"--centre"_s, u"nack:06"_s, u"--connect-delay"_s, u"20"_s}));
        rig.write("ATD1\r");
        QTRY_COMPARE(rig.received, "ATD1\r\r\nCONNECT 9600\r\n");
        // Only whole frames count, not noise nor a frame cut short.
        rig.write("noise\x03\x02"
                  "01/00\x02" +
                  frame + '\x03');
        QTRY_COMPARE(rig.received, '\x02' + reply + '\x03');
        QTRY_COMPARE(rig.sim.values(u"REPLY"_s), QStringList{QString::fromLatin1(reply)});
        QCOMPARE(rig.sim.values(u"FRAME"_s), QStringList{QString::fromLatin1(frame)});
        QCOMPARE(rig.sim.values(u"SMS"_s), report == u"!" ? QStringList() : QStringList{report});
        QCOMPARE(rig.sim.count(u"INVALID"_s), report == u"!" ? 1 : 0);
    }

    // One call carries several frames, each answered with its TRN, until
    // the centre drops the line in the middle of an answer; the next call
    // needs a login of its own.
    void severalFramesPerCall()
    {
        Rig rig;
        QVERIFY(rig.start({u"--connect-delay"_s, u"20"_s, u"--drop-after"_s, u"3"_s, u"--account"_s,
                           u"12345"_s, u"--password"_s, u"secret"_s}));
        rig.write("ATD1\r");
        QTRY_COMPARE(rig.received, "ATD1\r\r\nCONNECT 9600\r\n");
        rig.write(framed(login12345));
        QTRY_COMPARE(rig.received, framed(sealed("01", "R/60/A//")));
        for (const QByteArray trn : {"02", "03"}) {
            rig.write(framed(submission(trn)));
            QTRY_COMPARE(rig.received, framed(ack(trn)));
        }
        rig.write(framed(submission("04")));
        const QByteArray half = ack("04").first(ack("04").size() / 2);
        QTRY_COMPARE(rig.received, '\x02' + half + "\r\nNO CARRIER\r\n");
        QCOMPARE(rig.sim.count(u"SMS"_s), 3);
        QCOMPARE(rig.sim.count(u"HANGUP"_s), 0);

        rig.write("ATD1\r");
        QTRY_COMPARE(rig.received, "ATD1\r\r\nCONNECT 9600\r\n");
        rig.write(framed(submission("01")));
        QTRY_COMPARE(rig.received, framed(sealed("01", "R/01/N/04//")));
    }

    // At 4800 baud (480 bytes a second) a 240-byte command line takes half
    // a second to reach the modem, and its echo no less to come back.
    void baudPacesTheLine()
    {
        Rig rig;
        QVERIFY(rig.start({u"--baud"_s, u"4800"_s}));
        const QByteArray line = "AT" + QByteArray(237, 'x') + '\r';
        QElapsedTimer clock;
        clock.start();
        rig.write(line);
        QTRY_COMPARE_WITH_TIMEOUT(rig.received, line + "\r\nOK\r\n", 10000);
        QCOMPARE_GE(clock.elapsed(), 500);
        QCOMPARE(rig.sim.received(), line);
    }

    // The login decides whether the session opens; "!" marks an INVALID
    // report instead of a LOGIN line.
    void tcpLogin_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("accepted") << login12345 << u"ok account=12345"_s
                                  << sealed("01", "R/60/A//");
        QTest::newRow("wrong password")
            << sealed("01", "O/60/12345/6/5/1/536563726574//0100//////")
            << u"refused account=12345"_s << sealed("01", "R/60/N/07//");
        QTest::newRow("wrong account, TRN 17")
            << sealed("17", "O/60/12346/6/5/1/736563726574//0100//////")
            << u"refused account=12346"_s << sealed("17", "R/60/N/07//");
        QTest::newRow("OTON 1") << sealed("01", "O/60/12345/1/5/1/736563726574//0100//////")
                                << u"!"_s << sealed("01", "R/60/N/02//");
        QTest::newRow("VERS missing") << sealed("01", "O/60/12345/6/5/1/736563726574////////")
                                      << u"!"_s << sealed("01", "R/60/N/02//");
        QTest::newRow("submission first")
            << submission("01") << u"!"_s << sealed("01", "R/01/N/04//");
    }
    void tcpLogin()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, login);
        QFETCH(QByteArray, reply);
        TcpRig rig;
        QVERIFY(rig.start({u"--account"_s, u"12345"_s, u"--password"_s, u"secret"_s}));
        rig.send(frame);
        QTRY_COMPARE(rig.received, framed(reply));
        QCOMPARE(rig.sim.values(u"LOGIN"_s), login == u"!" ? QStringList() : QStringList{login});
        QCOMPARE(rig.sim.count(u"INVALID"_s), login == u"!" ? 1 : 0);
        QCOMPARE(rig.sim.count(u"SMS"_s), 0);
    }

    // A session carries one frame after the other, each answered with its
    // own TRN; the next connection needs a login of its own.
    void tcpSession()
    {
        TcpRig rig;
        QVERIFY(rig.start({u"--account"_s, u"12345"_s, u"--password"_s, u"secret"_s, u"--centre"_s,
                           u"ack,nack:06,ack"_s}));
        rig.send(login12345);
        QTRY_COMPARE(rig.received, framed(sealed("01", "R/60/A//")));
        rig.send(submission("02"));
        QTRY_COMPARE(rig.received, framed(ack("02")));
        rig.send(sealed("99", "O/01/0791234567/0311234567//3/48616C6C6F/"));
        QTRY_COMPARE(rig.received, framed(sealed("99", "R/01/N/06//")));
        rig.send(sealed("00", "O/01/41791234567///3/7B7C7E/"));
        QTRY_COMPARE(rig.received, framed(ack("00")));
        QCOMPARE(rig.sim.values(u"SMS"_s),
                 (QStringList{u"to=0791234567 from= text=abc"_s,
                              u"to=0791234567 from=0311234567 text=Hallo"_s,
                              u"to=41791234567 from= text=äöü"_s}));

        rig.socket.disconnectFromHost();
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        QVERIFY(rig.connect());
        rig.send(submission("01"));
        QTRY_COMPARE(rig.received, framed(sealed("01", "R/01/N/04//")));
        QCOMPARE(rig.sim.count(u"OPEN"_s), 2);
        QCOMPARE(rig.sim.count(u"UNANSWERED"_s), 0);
    }

    // The centre's own operation comes before the answer to the submission,
    // with the submission's TRN plus 50, and wants a positive result of its
    // own TRN and operation type.
    void tcpCentreOperation_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("53 answered") << u"53+ack"_s << sealed("52", "R/53/A///") << true;
        QTest::newRow("31 answered") << u"31+ack"_s << sealed("52", "R/31/A//") << true;
        QTest::newRow("53 answered with the submission's TRN")
            << u"53+ack"_s << sealed("02", "R/53/A///") << false;
        QTest::newRow("53 answered without MVP")
            << u"53+ack"_s << sealed("52", "R/53/A//") << false;
        QTest::newRow("31 answered as 53") << u"31+ack"_s << sealed("52", "R/53/A///") << false;
        QTest::newRow("31 refused") << u"31+ack"_s << sealed("52", "R/31/N/02//") << false;
    }
    void tcpCentreOperation()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, answer);
        QFETCH(bool, accepted);
        TcpRig rig;
        QVERIFY(rig.start({u"--centre"_s, script, u"--reply-delay"_s, u"200"_s}));
        rig.send(submission("02"));
        QTRY_VERIFY(rig.received.endsWith(framed(ack("02"))));
        const QByteArray asked = rig.received.chopped(framed(ack("02")).size());
        QCOMPARE(rig.sim.values(u"ASK"_s),
                 QStringList{QString::fromLatin1(asked.mid(1).chopped(1))});
        const QByteArray ot = script.left(2).toLatin1();
        QVERIFY2(asked.startsWith("\x02"
                                  "52/") &&
                     asked.mid(9, 6) == "/O/" + ot + '/',
                 asked);
        QCOMPARE(framed(sealed("52", asked.mid(10, asked.size() - 13))), asked);

        rig.send(answer);
        QTRY_COMPARE(rig.sim.count(u"FRAME"_s), 2);
        QCOMPARE(rig.sim.values(u"ANSWER"_s),
                 accepted ? QStringList{QString::fromLatin1(answer)} : QStringList());
        QCOMPARE(rig.sim.count(u"INVALID"_s), accepted ? 0 : 1);
        rig.socket.disconnectFromHost();
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        QCOMPARE(rig.sim.values(u"UNANSWERED"_s),
                 accepted ? QStringList() : QStringList{u"52 "_s + QString::fromLatin1(ot)});
        QVERIFY(rig.received.isEmpty()); // a result is never answered
    }

    // --drop-after 2: the second answer breaks off halfway and the
    // connection closes; it happens once, the next connection goes on.
    void tcpDropMidFrame()
    {
        TcpRig rig;
        QVERIFY(rig.start({u"--drop-after"_s, u"2"_s}));
        rig.send(submission("01"));
        QTRY_COMPARE(rig.received, framed(ack("01")));
        QSignalSpy disconnected(&rig.socket, &QTcpSocket::disconnected);
        rig.send(submission("02"));
        QVERIFY(disconnected.wait(5000));
        QCOMPARE(rig.received, '\x02' + ack("02").first(ack("02").size() / 2));
        QTRY_COMPARE(rig.sim.count(u"HANGUP"_s), 1);
        QCOMPARE(rig.sim.count(u"DROP"_s), 1);

        QVERIFY(rig.connect());
        rig.send(submission("01"));
        QTRY_COMPARE(rig.received, framed(ack("01")));
        QCOMPARE(rig.sim.count(u"SMS"_s), 3);
    }

    void staleLinkIsReplaced()
    {
        Rig rig;
        QVERIFY(QFile::link(u"/nonexistent/pts/99"_s, rig.link()));
        QVERIFY(rig.start({}));
        QCOMPARE(QFileInfo(rig.link()).symLinkTarget(),
                 rig.sim.values(u"READY"_s).value(0).section(u' ', 1));
    }

    void badArguments_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("port 0") << 0 << QStringList();
        QTest::newRow("nack with one digit") << 3 << QStringList{u"--centre"_s, u"nack:6"_s};
        QTest::newRow("two operations before an answer")
            << 3 << QStringList{u"--centre"_s, u"31+53+ack"_s};
        QTest::newRow("late twice") << 3 << QStringList{u"--centre"_s, u"late+late+ack"_s};
        QTest::newRow("login answer unknown") << 3 << QStringList{u"--login"_s, u"maybe"_s};
        QTest::newRow("TCP with a COM port") << 3 << QStringList{u"--tcp"_s, u"0"_s};
        QTest::newRow("password without account") << 3 << QStringList{u"--password"_s, u"x"_s};
        QTest::newRow("account with letters") << 3 << QStringList{u"--account"_s, u"abc"_s};
        QTest::newRow("baud 100") << 3 << QStringList{u"--baud"_s, u"100"_s};
        QTest::newRow("unplug without time") << 3 << QStringList{u"--unplug"_s, u"1"_s};
        QTest::newRow("unplug at frame 0") << 3 << QStringList{u"--unplug"_s, u"0:100"_s};
    }
    void badArguments()
    {
        QFETCH(int, port);
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        SimProcess sim;
        QVERIFY(!sim.start(dir.filePath(u"never"_s), port, arguments));
        QCOMPARE(sim.process.exitCode(), 2);
        QVERIFY(sim.lines.isEmpty() && sim.errorOutput.startsWith(u"modemsim: "_s));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"never"_s)));
    }
};

QTEST_GUILESS_MAIN(TstModemsim)
#include "tst_modemsim.moc"
