// The modem simulator as the sending engine meets it: a separate process
// behind a pseudo-terminal, reached through its COMn link with QSerialPort.

#include "simprocess.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray syntaxNack = "01/00022/R/01/N/02//01";

// A simulator on COM3 in a folder of its own, and the program's end of the line.
struct Rig
{
    QString link() const { return dir.filePath(u"COM3"_qs); }
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
        const QString logPath = rig.dir.filePath(u"sim.log"_qs);
        QVERIFY(rig.start({u"--connect-delay"_qs, u"60000"_qs, u"--log"_qs, logPath}));
        rig.write("\rhi\rat&f\r");
        QTRY_COMPARE(rig.received, "\rhi\rat&f\r\r\nOK\r\n");
        rig.write("ATD1\r");
        QTRY_COMPARE(rig.sim.values(u"DIAL"_qs), QStringList{u"415444310D"_qs});
        rig.write("x");
        QTRY_COMPARE(rig.received, "\r\nNO CARRIER\r\n"); // the byte is not echoed
        QTRY_COMPARE(rig.sim.lines.mid(rig.sim.lines.indexOf(u"ABORT"_qs)).value(1),
                     u"RESULT NO CARRIER"_qs);
        rig.write("AT\r");
        QTRY_COMPARE(rig.received, "AT\r\r\nOK\r\n");

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList logLines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const QRegularExpression stamp(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "_qs);
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
            << u"to=0791234567 from= text=£èéùìòçÉÄÖÜ§äöüà"_qs
            << QByteArray("01/00022/R/01/N/06//05");
        QTest::newRow("CR LF escaped, TRN 42, lower-case checksum")
            << QByteArray("42/00042/O/01/0791234567///3/610D0A625C/1e")
            << u"to=0791234567 from= text=a\\r\\nbÖ"_qs << QByteArray("42/00022/R/01/N/06//0A");
        QTest::newRow("wrong checksum")
            << QByteArray("01/00038/O/01/0791234567///3/616263/2B") << u"!"_qs << syntaxNack;
        QTest::newRow("LEN one too high")
            << QByteArray("01/00039/O/01/0791234567///3/616263/2B") << u"!"_qs << syntaxNack;
    }
    void frame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, report);
        QFETCH(QByteArray, reply);
        Rig rig;
        QVERIFY(rig.start({u"--centre"_qs, u"nack:06"_qs, u"--connect-delay"_qs, u"20"_qs}));
        rig.write("ATD1\r");
        QTRY_COMPARE(rig.received, "ATD1\r\r\nCONNECT 9600\r\n");
        // Only whole frames count, not noise nor a frame cut short.
        rig.write("noise\x03\x02"
                  "01/00\x02" +
                  frame + '\x03');
        QTRY_COMPARE(rig.received, '\x02' + reply + '\x03');
        QTRY_COMPARE(rig.sim.values(u"REPLY"_qs), QStringList{QString::fromLatin1(reply)});
        QCOMPARE(rig.sim.values(u"FRAME"_qs), QStringList{QString::fromLatin1(frame)});
        QCOMPARE(rig.sim.values(u"SMS"_qs), report == u"!" ? QStringList() : QStringList{report});
        QCOMPARE(rig.sim.count(u"INVALID"_qs), report == u"!" ? 1 : 0);
    }

    void staleLinkIsReplaced()
    {
        Rig rig;
        QVERIFY(QFile::link(u"/nonexistent/pts/99"_qs, rig.link()));
        QVERIFY(rig.start({}));
        QCOMPARE(QFileInfo(rig.link()).symLinkTarget(),
                 rig.sim.values(u"READY"_qs).value(0).section(u' ', 1));
    }

    void badArguments_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("port 0") << 0 << QStringList();
        QTest::newRow("nack with one digit") << 3 << QStringList{u"--centre"_qs, u"nack:6"_qs};
    }
    void badArguments()
    {
        QFETCH(int, port);
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        SimProcess sim;
        QVERIFY(!sim.start(dir.filePath(u"never"_qs), port, arguments));
        QCOMPARE(sim.process.exitCode(), 2);
        QVERIFY(sim.lines.isEmpty() && sim.errorOutput.startsWith(u"modemsim: "_qs));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"never"_qs)));
    }
};

QTEST_GUILESS_MAIN(TstModemsim)
#include "tst_modemsim.moc"
