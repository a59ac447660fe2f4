// The modem simulator as the sending engine meets it: a separate process
// behind a pseudo-terminal, reached through its COMn link with QSerialPort,
// or a message centre on a TCP port, reached with QTcpSocket; or the SMPP
// centre, plain or with TLS, reached with QSslSocket.

#include "simprocess.h"
#include "smppmessaging.h"
#include "smpppdu.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSslSocket>
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

const QString number = u"0041791234567"_s;

Smpp::Pdu bindPdu(const QByteArray &systemId, const QByteArray &password, quint32 sequence)
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::BindTransceiver;
    pdu.sequence = sequence;
    pdu.systemId = systemId;
    pdu.password = password;
    return pdu;
}

// A submit_sm of "Hallo" to recipient as the queue holds it.
Smpp::Pdu submitPdu(const QString &recipient, quint32 sequence, bool receipt = false)
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::SubmitSm;
    pdu.sequence = sequence;
    pdu.source = {5, 0, "Funkbote"};
    const bool international = recipient.startsWith(u"00"_s);
    pdu.destination = {quint8(international ? 1 : 0), 1,
                       recipient.mid(international ? 2 : 0).toLatin1()};
    pdu.registeredDelivery = receipt ? 1 : 0;
    pdu.shortMessage = "Hallo";
    return pdu;
}

Smpp::Pdu request(quint32 command, quint32 sequence)
{
    Smpp::Pdu pdu;
    pdu.command = command;
    pdu.sequence = sequence;
    return pdu;
}

// The SMPP centre on a free port and the program's connection, with TLS
// when asked.
struct SmppRig
{
    bool start(const QStringList &arguments, bool tls = false)
    {
        if (!sim.start(QStringList{u"--smpp"_s, u"0"_s} + arguments))
            return false;
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                         [this] { received += socket.readAll(); });
        const quint16 port = sim.values(u"READY"_s).value(0).section(u':', 1).toUShort();
        QSignalSpy ready(&socket, tls ? &QSslSocket::encrypted : &QSslSocket::connected);
        if (tls)
            socket.connectToHostEncrypted(u"localhost"_s, port);
        else
            socket.connectToHost(QHostAddress::LocalHost, port);
        return ready.wait(5000);
    }
    bool bind()
    {
        send({bindPdu("funkbote", "demo", 1)});
        return QTest::qWaitFor([this] { return !pdus().isEmpty(); }, 5000) &&
               taken.takeFirst().status == Smpp::Ok;
    }
    void send(const QList<Smpp::Pdu> &requests)
    {
        QByteArray bytes;
        for (const Smpp::Pdu &pdu : requests)
            bytes += Smpp::pack(pdu);
        socket.write(bytes);
    }
    // The PDUs the centre sent so far.
    const QList<Smpp::Pdu> &pdus()
    {
        for (;;) {
            const Smpp::Unpacked unpacked = Smpp::unpack(received);
            if (unpacked.outcome != Smpp::Unpacked::Outcome::Complete)
                return taken;
            taken.append(unpacked.pdu);
            received.remove(0, unpacked.used);
        }
    }

    SimProcess sim;
    QSslSocket socket;
    QByteArray received;
    QList<Smpp::Pdu> taken;
};

const QStringList smppAccount{u"--system-id"_s, u"funkbote"_s, u"--password"_s, u"demo"_s};

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

    // bind_transceiver is checked against --system-id and --password; a
    // bound session refuses a second bind, an unbound one any other request.
    void smppBind_data()
    {
        QTest::addColumn<QList<Smpp::Pdu>>("requests");
        QTest::addColumn<quint32>("command"); // of the last answer
        QTest::addColumn<quint32>("status");
        QTest::addColumn<QStringList>("binds");
        const QString refused = u"refused 0x0000000"_s;
        QTest::newRow("accepted") << QList{bindPdu("funkbote", "demo", 7)}
                                  << quint32(Smpp::BindTransceiver | Smpp::responseBit)
                                  << quint32(Smpp::Ok) << QStringList{u"ok system_id=funkbote"_s};
        QTest::newRow("wrong password")
            << QList{bindPdu("funkbote", "demo2", 7)}
            << quint32(Smpp::BindTransceiver | Smpp::responseBit) << quint32(Smpp::InvalidPassword)
            << QStringList{refused + u"E system_id=funkbote"_s};
        QTest::newRow("wrong system id")
            << QList{bindPdu("funkbot", "demo", 7)}
            << quint32(Smpp::BindTransceiver | Smpp::responseBit) << quint32(Smpp::InvalidSystemId)
            << QStringList{refused + u"F system_id=funkbot"_s};
        QTest::newRow("bound twice")
            << QList{bindPdu("funkbote", "demo", 1), bindPdu("funkbote", "demo", 7)}
            << quint32(Smpp::BindTransceiver | Smpp::responseBit) << quint32(Smpp::AlreadyBound)
            << QStringList{u"ok system_id=funkbote"_s, refused + u"5 system_id=funkbote"_s};
        QTest::newRow("submission before the bind")
            << QList{submitPdu(number, 7)} << quint32(Smpp::GenericNack)
            << quint32(Smpp::IncorrectBindStatus) << QStringList();
        QTest::newRow("enquire_link after a refused bind")
            << QList{bindPdu("funkbote", "x", 1), request(Smpp::EnquireLink, 7)}
            << quint32(Smpp::GenericNack) << quint32(Smpp::IncorrectBindStatus)
            << QStringList{refused + u"E system_id=funkbote"_s};
    }
    void smppBind()
    {
        QFETCH(QList<Smpp::Pdu>, requests);
        QFETCH(quint32, command);
        QFETCH(quint32, status);
        QFETCH(QStringList, binds);
        SmppRig rig;
        QVERIFY(rig.start(smppAccount));
        rig.send(requests);
        QTRY_COMPARE(rig.pdus().size(), requests.size());
        QCOMPARE(rig.pdus().constLast().command, command);
        QCOMPARE(rig.pdus().constLast().status, status);
        QCOMPARE(rig.pdus().constLast().sequence, 7u);
        // The report lines may come in after the answers on the socket.
        QTRY_COMPARE(rig.sim.values(u"BIND"_s), binds);
        QCOMPARE(rig.sim.count(u"SUBMIT"_s), 0);
        // A refused bind leaves the closing to the program.
        QCOMPARE(rig.socket.state(), QAbstractSocket::ConnectedState);
    }

    // A window of submissions written at once is answered per number as
    // scripted, in order or, with --smpp-shuffle, in reverse; message ids
    // come from a counter, in hex.
    void smppWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("recipients");
        QTest::addColumn<QList<quint32>>("sequences"); // of the answers, in order
        QTest::addColumn<QList<quint32>>("statuses");
        QTest::addColumn<int>("submitted");
        const QStringList ten(10, number);
        QList<quint32> upTo10;
        for (quint32 i = 1; i <= 10; ++i)
            upTo10.append(i);
        QTest::newRow("window of 10")
            << QStringList() << ten << upTo10 << QList<quint32>(10, 0) << 10;
        QTest::newRow("window of 10 shuffled")
            << QStringList{u"--smpp-shuffle"_s} << ten
            << QList<quint32>(upTo10.crbegin(), upTo10.crend()) << QList<quint32>(10, 0) << 10;
        QTest::newRow("throttled twice, then ok")
            << QStringList{u"--smpp-answer"_s, u"+41791234567=throttle:2"_s}
            << QStringList(4, number) << QList<quint32>{1, 2, 3, 4}
            << QList<quint32>{0x58, 0x58, 0, 0} << 2;
        QTest::newRow("error status for one number")
            << QStringList{u"--smpp-answer"_s, u"0791234567=0x0b"_s}
            << QStringList{u"0791234567"_s, number} << QList<quint32>{1, 2}
            << QList<quint32>{0x0B, 0} << 1;
        QTest::newRow("silent for one number")
            << QStringList{u"--smpp-answer"_s, u"41791234567=silent"_s}
            << QStringList{u"0791234567"_s, number, u"0791234567"_s} << QList<quint32>{1, 3}
            << QList<quint32>{0, 0} << 2;
    }
    void smppWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, recipients);
        QFETCH(QList<quint32>, sequences);
        QFETCH(QList<quint32>, statuses);
        QFETCH(int, submitted);
        SmppRig rig;
        QVERIFY(rig.start(arguments));
        QVERIFY(rig.bind());
        QList<Smpp::Pdu> window;
        for (const QString &recipient : recipients)
            window.append(submitPdu(recipient, quint32(window.size() + 1)));
        rig.send(window);
        QTRY_COMPARE(rig.sim.count(u"PDU"_s), 1 + window.size());
        // An enquire_link after the window: its answer comes after all others.
        rig.send({request(Smpp::EnquireLink, 99)});
        QTRY_COMPARE(rig.pdus().size(), sequences.size() + 1);
        QCOMPARE(rig.pdus().constLast().command, Smpp::EnquireLink | Smpp::responseBit);
        QList<quint32> gotSequences, gotStatuses;
        QStringList ids;
        for (const Smpp::Pdu &pdu : rig.pdus().first(sequences.size())) {
            QCOMPARE(pdu.command, Smpp::SubmitSm | Smpp::responseBit);
            gotSequences.append(pdu.sequence);
            gotStatuses.append(pdu.status);
            if (pdu.status == Smpp::Ok)
                ids.append(QString::fromLatin1(pdu.messageId));
        }
        QCOMPARE(gotSequences, sequences);
        QCOMPARE(gotStatuses, statuses);
        ids.sort();
        QCOMPARE(ids.value(0), u"3E8"_s);
        QCOMPARE(ids.size(), submitted);
        QCOMPARE(QSet<QString>(ids.cbegin(), ids.cend()).size(), submitted);
        QTRY_COMPARE(rig.sim.count(u"SUBMIT"_s), submitted);
        QVERIFY2(rig.sim.values(u"SUBMIT"_s).constFirst().endsWith(u" parts=1 text=Hallo"_s),
                 qPrintable(rig.sim.values(u"SUBMIT"_s).constFirst()));
        QTRY_COMPARE(rig.sim.count(u"DECLINED"_s) + rig.sim.count(u"SILENT"_s),
                     recipients.size() - submitted);
    }

    // A submission with registered_delivery 1 gets a receipt as --outcome
    // says, sent again after a refusal until the program answers Ok.
    void smppReceipt_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<quint32>("firstAnswer");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<char>("state");
        QTest::newRow("delivered") << QStringList() << quint32(Smpp::Ok) << QByteArray("3E8")
                                   << QByteArray(" sub:001 dlvrd:001 submit date:") << char(2);
        QTest::newRow("id in decimal in the receipt")
            << QStringList{u"--receipt-id-decimal"_s} << quint32(Smpp::Ok) << QByteArray("1000")
            << QByteArray(" stat:DELIVRD err:000 text:Hallo") << char(2);
        QTest::newRow("undeliverable")
            << QStringList{u"--outcome"_s, u"0041791234567=failed:012"_s} << quint32(Smpp::Ok)
            << QByteArray("3E8") << QByteArray(" stat:UNDELIV err:012 text:Hallo") << char(5);
        QTest::newRow("refused once, sent again")
            << QStringList() << quint32(Smpp::SystemError) << QByteArray("3E8")
            << QByteArray(" dlvrd:001 ") << char(2);
    }
    void smppReceipt()
    {
        QFETCH(QStringList, arguments);
        QFETCH(quint32, firstAnswer);
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, text);
        QFETCH(char, state);
        SmppRig rig;
        QVERIFY(rig.start(arguments + QStringList{u"--receipt-delay"_s, u"50"_s}));
        QVERIFY(rig.bind());
        rig.send({submitPdu(number, 2, true)});
        QTRY_COMPARE(rig.pdus().size(), 2);
        QCOMPARE(rig.pdus().at(0).messageId, "3E8");
        const Smpp::Pdu receipt = rig.pdus().at(1);
        QCOMPARE(receipt.command, Smpp::DeliverSm);
        QCOMPARE(receipt.esmClass, 0x04);
        QCOMPARE(receipt.source, (Smpp::Address{1, 1, "41791234567"}));
        QVERIFY2(receipt.shortMessage.startsWith(QByteArray("id:" + id + ' ')) &&
                     receipt.shortMessage.contains(text),
                 receipt.shortMessage);
        QCOMPARE(receipt.tlv(Smpp::TagReceiptedMessageId).value_or("?"), id + '\0');
        QCOMPARE(receipt.tlv(Smpp::TagMessageState).value_or("?"), QByteArray(1, state));
        const std::optional<Smpp::Receipt> read = Smpp::readReceipt(receipt);
        QVERIFY(read);
        QCOMPARE(read->messageId, QString::fromLatin1(id));
        rig.send({Smpp::response(receipt, firstAnswer)});
        if (firstAnswer != Smpp::Ok) {
            QTRY_COMPARE(rig.pdus().size(), 3);
            QCOMPARE(rig.pdus().at(2).shortMessage, receipt.shortMessage);
            QVERIFY(rig.pdus().at(2).sequence != receipt.sequence);
            rig.send({Smpp::response(rig.pdus().at(2))});
        }
        QTRY_COMPARE(rig.sim.count(u"ANSWER"_s), 1);
        QCOMPARE(rig.sim.count(u"REFUSED"_s), firstAnswer == Smpp::Ok ? 0 : 1);
        QCOMPARE(rig.sim.count(u"RECEIPT"_s), firstAnswer == Smpp::Ok ? 1 : 2);
    }

    // --incoming goes out as deliver_sm after the bind: GSM or UCS-2, a
    // long text in parts by UDH or by the SAR options.
    void smppIncoming_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parts");
        QTest::addColumn<quint8>("dataCoding");
        const QString longText = QString(u"Grüezi mitenand, "_s).repeated(12);
        QTest::newRow("GSM") << QStringList() << u"Hallo {ä}"_s << 1 << quint8(0);
        QTest::newRow("UCS-2") << QStringList() << u"Привет ✓"_s << 1 << quint8(8);
        QTest::newRow("long, UDH") << QStringList() << longText << 2 << quint8(0);
        QTest::newRow("long, SAR")
            << QStringList{u"--incoming-sar"_s} << longText << 2 << quint8(0);
    }
    void smppIncoming()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        QFETCH(int, parts);
        QFETCH(quint8, dataCoding);
        SmppRig rig;
        QVERIFY(rig.start(arguments + QStringList{u"--incoming"_s, u"+41791234567="_s + text}));
        QVERIFY(rig.bind());
        QTRY_COMPARE(rig.pdus().size(), parts);
        QMap<int, QString> texts;
        for (const Smpp::Pdu &pdu : rig.pdus()) {
            QCOMPARE(pdu.command, Smpp::DeliverSm);
            QCOMPARE(pdu.dataCoding, dataCoding);
            QCOMPARE(pdu.source, (Smpp::Address{1, 1, "41791234567"}));
            QCOMPARE(bool(pdu.esmClass & 0x40), parts > 1 && arguments.isEmpty());
            QCOMPARE(pdu.tlv(Smpp::TagSarTotalSegments).has_value(),
                     parts > 1 && !arguments.isEmpty());
            const std::optional<Smpp::IncomingPart> part = Smpp::readIncoming(pdu);
            QVERIFY(part);
            QCOMPARE(part->sender, u"+41791234567"_s);
            QCOMPARE(part->total, parts > 1 ? parts : 0);
            texts.insert(part->sequence, part->text);
            rig.send({Smpp::response(pdu)});
        }
        QCOMPARE(texts.values().join(QString()), text);
        QTRY_COMPARE(rig.sim.count(u"ANSWER"_s), parts);
        QCOMPARE(rig.sim.count(u"DELIVER"_s), parts);
    }

    // The session ends on unbind, on the centre's enquire_link left
    // unanswered and on a program that sends nothing for too long.
    void smppSessionEnd_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("unbind");
        QTest::addColumn<QString>("line");
        QTest::newRow("unbind") << QStringList() << true << u"UNBIND"_s;
        QTest::newRow("enquire_link unanswered") << QStringList{u"--enquire-every"_s, u"100"_s}
                                                 << false << u"DROP enquire_link unanswered"_s;
        QTest::newRow("keep-alive limit") << QStringList{u"--keepalive-limit"_s, u"300"_s} << false
                                          << u"DROP keepalive: no PDU for 300 ms"_s;
    }
    void smppSessionEnd()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, unbind);
        QFETCH(QString, line);
        SmppRig rig;
        QVERIFY(rig.start(arguments));
        QVERIFY(rig.bind());
        QSignalSpy disconnected(&rig.socket, &QTcpSocket::disconnected);
        if (unbind)
            rig.send({request(Smpp::Unbind, 5)});
        QVERIFY(disconnected.wait(5000));
        QTRY_VERIFY(rig.sim.lines.contains(line));
        QTRY_COMPARE(rig.sim.count(u"STATS"_s), 1);
        if (unbind) {
            QCOMPARE(rig.pdus().size(), 1);
            QCOMPARE(rig.pdus().constFirst().command, Smpp::Unbind | Smpp::responseBit);
        } else if (arguments.constFirst() == u"--enquire-every"_s) {
            QCOMPARE(rig.pdus().size(), 1);
            QCOMPARE(rig.pdus().constFirst().command, Smpp::EnquireLink);
        }
        QVERIFY(rig.sim.values(u"STATS"_s)
                    .constFirst()
                    .endsWith(unbind ? u" drops=0"_s : u" drops=1"_s));
    }

    // --tls-cert serves TLS: a client that trusts the certificate binds; one
    // that does not refuses it, and the centre reports why.
    void smppTls_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::newRow("trusted") << true;
        QTest::newRow("not trusted") << false;
    }
    void smppTls()
    {
        QFETCH(bool, trusted);
        QTemporaryDir dir;
        const QString cert = dir.filePath(u"cert.pem"_s);
        const QString key = dir.filePath(u"key.pem"_s);
        QProcess openssl;
        openssl.start(u"openssl"_s,
                      {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-subj"_s,
                       u"/CN=localhost"_s, u"-addext"_s, u"subjectAltName=DNS:localhost"_s,
                       u"-days"_s, u"1"_s, u"-keyout"_s, key, u"-out"_s, cert});
        if (!openssl.waitForStarted(5000))
            QSKIP("openssl is not installed");
        QVERIFY(openssl.waitForFinished(30000) && openssl.exitCode() == 0);
        SmppRig rig;
        if (trusted) {
            QSslConfiguration configuration = rig.socket.sslConfiguration();
            configuration.addCaCertificates(cert);
            rig.socket.setSslConfiguration(configuration);
        }
        QCOMPARE(rig.start({u"--tls-cert"_s, cert, u"--tls-key"_s, key}, true), trusted);
        if (!trusted) {
            QTRY_COMPARE(rig.sim.count(u"TLS"_s), 1);
            QVERIFY2(rig.sim.values(u"TLS"_s).constFirst().startsWith(u"failed: "_s),
                     qPrintable(rig.sim.values(u"TLS"_s).constFirst()));
            QCOMPARE(rig.sim.count(u"OPEN"_s), 0);
            return;
        }
        QTRY_VERIFY(rig.sim.values(u"TLS"_s).value(0).startsWith(u"ok TLSv1."_s));
        QVERIFY(rig.bind());
        rig.send({submitPdu(number, 2)});
        QTRY_COMPARE(rig.sim.count(u"SUBMIT"_s), 1);
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
        QTest::newRow("SMPP with TCP")
            << -1 << QStringList{u"--smpp"_s, u"0"_s, u"--tcp"_s, u"0"_s};
        QTest::newRow("SMPP with a UCP script")
            << -1 << QStringList{u"--smpp"_s, u"0"_s, u"--centre"_s, u"nack:06"_s};
        QTest::newRow("SMPP answer unknown")
            << -1 << QStringList{u"--smpp"_s, u"0"_s, u"--smpp-answer"_s, u"0791234567=maybe"_s};
        QTest::newRow("SMPP answer without a number")
            << -1 << QStringList{u"--smpp"_s, u"0"_s, u"--smpp-answer"_s, u"abc=ok"_s};
        QTest::newRow("system id of 16")
            << -1 << QStringList{u"--smpp"_s, u"0"_s, u"--system-id"_s, u"0123456789abcdef"_s};
        QTest::newRow("SMPP password of 9")
            << -1 << QStringList{u"--smpp"_s, u"0"_s,          u"--system-id"_s,
                                 u"a"_s,      u"--password"_s, u"123456789"_s};
        QTest::newRow("certificate without key")
            << -1 << QStringList{u"--smpp"_s, u"0"_s, u"--tls-cert"_s, u"c.pem"_s};
        QTest::newRow("receipt delay without SMPP")
            << 3 << QStringList{u"--receipt-delay"_s, u"10"_s};
    }
    void badArguments()
    {
        QFETCH(int, port);
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        SimProcess sim;
        // Port -1: the arguments alone, without --dir and --port.
        QVERIFY(port < 0 ? !sim.start(arguments)
                         : !sim.start(dir.filePath(u"never"_s), port, arguments));
        QCOMPARE(sim.process.exitCode(), 2);
        QVERIFY(sim.lines.isEmpty() && sim.errorOutput.startsWith(u"modemsim: "_s));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"never"_s)));
    }
};

QTEST_GUILESS_MAIN(TstModemsim)
#include "tst_modemsim.moc"
