// Drives the modem simulator as the sending engine meets it: a separate
// process behind a pseudo-terminal, reached through its COMn link with
// QSerialPort, watched through the event lines it prints.

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int timeoutMs = 10000;
constexpr int port = 3;

const QByteArray workedExample = "01/00038/O/01/0791234567///3/616263/2A";
const QByteArray ack = "01/00019/R/01/A//69";
const QByteArray syntaxNack = "01/00022/R/01/N/02//01";

QByteArray wrapped(const QByteArray &frame)
{
    return '\x02' + frame + '\x03';
}

// The polling loop of QTRY_VERIFY for helpers that report a result instead
// of failing the test themselves.
template <typename Predicate> bool waitFor(Predicate done)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

// One simulator process and the lines it has printed so far.
class Simulator
{
public:
    explicit Simulator(const QString &dir) : m_dir(dir)
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [this] {
            m_partial += process.readAllStandardOutput();
            qsizetype end;
            while ((end = m_partial.indexOf('\n')) >= 0) {
                lines.append(QString::fromUtf8(m_partial.first(end)));
                m_partial.remove(0, end + 1);
            }
        });
    }

    ~Simulator()
    {
        if (process.state() != QProcess::NotRunning) {
            QSignalSpy finished(&process, &QProcess::finished);
            process.kill();
            finished.wait(timeoutMs);
        }
    }

    static QString program() { return QCoreApplication::applicationDirPath() + u"/modemsim"_s; }

    void start(const QStringList &extra)
    {
        process.start(program(),
                      QStringList{u"--dir"_s, m_dir, u"--port"_s, QString::number(port)} + extra);
    }

    // Waits for READY and takes the two paths from it.
    bool waitReady()
    {
        const auto ready = [this] {
            for (const QString &line : std::as_const(lines)) {
                if (line.startsWith(u"READY "_s))
                    return line;
            }
            return QString();
        };
        waitFor([&] { return !ready().isEmpty() || process.state() == QProcess::NotRunning; });
        const QStringList parts = ready().split(u' ');
        if (parts.size() != 3)
            return false;
        linkPath = parts.at(1);
        slavePath = parts.at(2);
        return true;
    }

    qsizetype count(const QString &line) const { return lines.count(line); }
    QStringList withPrefix(const QString &prefix) const
    {
        QStringList found;
        for (const QString &line : lines) {
            if (line.startsWith(prefix))
                found.append(line);
        }
        return found;
    }

    QProcess process;
    QStringList lines;
    QString linkPath;
    QString slavePath;

private:
    QString m_dir;
    QByteArray m_partial;
};

// The program's side of the line: everything the modem sent is collected.
class Line
{
public:
    bool open(const QString &path)
    {
        received.clear();
        serial.setPortName(path);
        if (!serial.open(QIODevice::ReadWrite))
            return false;
        // 9600 8N1 as the engine uses it; a pty takes the settings without
        // caring about them.
        serial.setBaudRate(QSerialPort::Baud9600);
        serial.setDataBits(QSerialPort::Data8);
        serial.setParity(QSerialPort::NoParity);
        serial.setStopBits(QSerialPort::OneStop);
        serial.setFlowControl(QSerialPort::NoFlowControl);
        return true;
    }

    void write(const QByteArray &bytes)
    {
        serial.write(bytes);
        serial.flush();
    }

    Line()
    {
        QObject::connect(&serial, &QSerialPort::readyRead, &serial,
                         [this] { received += serial.readAll(); });
    }

    QSerialPort serial;
    QByteArray received;
};

} // namespace

class TstModemsim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandMode_data();
    void commandMode();
    void rxLinesCarryEveryByte();

    void dialResult_data();
    void dialResult();
    void dialScriptAdvancesAndRepeatsLast();
    void byteWhileDiallingAborts_data();
    void byteWhileDiallingAborts();

    void frame_data();
    void frame();
    void centreScriptPerFrame();
    void silentCentreSendsNothing();
    void garbageReplyIsNoFrame();
    void bytesOutsideFramesIgnored();

    void hangUpAndCallAgain();
    void hangUpCancelsPendingAnswers_data();
    void hangUpCancelsPendingAnswers();

    void staleLinkIsReplaced();
    void otherFileInPlaceIsKept();
    void terminationRemovesLink_data();
    void terminationRemovesLink();
    void badArguments_data();
    void badArguments();
    void logFileGetsStampedLines();

private:
    bool startAndOpen(const QStringList &extra);
    bool connectCall();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<Line> m_line;
};

void TstModemsim::init()
{
    QVERIFY2(QFileInfo::exists(Simulator::program()), qPrintable(Simulator::program()));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sim = std::make_unique<Simulator>(m_dir->path());
    m_line = std::make_unique<Line>();
}

void TstModemsim::cleanup()
{
    m_line.reset();
    m_sim.reset();
    m_dir.reset();
}

bool TstModemsim::startAndOpen(const QStringList &extra)
{
    m_sim->start(extra);
    if (!m_sim->waitReady()) {
        qWarning() << "no READY line" << m_sim->process.readAllStandardError();
        return false;
    }
    if (!m_line->open(m_sim->linkPath)) {
        qWarning() << "cannot open" << m_sim->linkPath << m_line->serial.errorString();
        return false;
    }
    return true;
}

// Dials on the open line and waits for the connection; leaves the received
// bytes empty so that a test sees only what follows.
bool TstModemsim::connectCall()
{
    m_line->received.clear();
    m_line->write("ATD1\r");
    const QByteArray expected = "ATD1\r\r\nCONNECT 9600\r\n";
    if (!waitFor([&] { return m_line->received.size() >= expected.size(); }) ||
        m_line->received != expected) {
        qWarning() << "connect failed:" << m_line->received;
        return false;
    }
    m_line->received.clear();
    return true;
}

void TstModemsim::commandMode_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("okCount");

    QTest::newRow("AT") << QByteArray("AT\r") << QByteArray("AT\r\r\nOK\r\n") << 1;
    QTest::newRow("lower-case command")
        << QByteArray("at&f\r") << QByteArray("at&f\r\r\nOK\r\n") << 1;
    QTest::newRow("empty line ignored")
        << QByteArray("\rAT\r") << QByteArray("\rAT\r\r\nOK\r\n") << 1;
    QTest::newRow("line without AT ignored")
        << QByteArray("hello\rATZ\r") << QByteArray("hello\rATZ\r\r\nOK\r\n") << 1;
    QTest::newRow("dial line with empty modem command ignored")
        << QByteArray(" 012345678\rAT\r") << QByteArray(" 012345678\rAT\r\r\nOK\r\n") << 1;
    QTest::newRow("line feed after CR echoed only")
        << QByteArray("AT\r\nAT\r") << QByteArray("AT\r\r\nOK\r\n\nAT\r\r\nOK\r\n") << 2;
    QTest::newRow("no answer before CR") << QByteArray("AT") << QByteArray("AT") << 0;
}

void TstModemsim::commandMode()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, okCount);

    QVERIFY(startAndOpen({}));
    m_line->write(input);
    // A surplus answer would arrive with the expected bytes, so comparing
    // the whole also shows that nothing else came.
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, expected, timeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->count(u"RESULT OK"_s), okCount, timeoutMs);
    QCOMPARE(m_sim->withPrefix(u"DIAL"_s), QStringList());
}

void TstModemsim::rxLinesCarryEveryByte()
{
    QVERIFY(startAndOpen({}));
    const QByteArray bytes("\x00\xAB\x7F"
                           "a\r",
                           5);
    m_line->write(bytes);
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, bytes, timeoutMs);
    const auto rxHex = [this] {
        QString hex;
        for (const QString &line : m_sim->withPrefix(u"RX "_s))
            hex += line.mid(3);
        return hex;
    };
    QTRY_COMPARE_WITH_TIMEOUT(rxHex(), u"00AB7F610D"_s, timeoutMs);
    QCOMPARE(m_sim->lines.first(), u"READY "_s + m_sim->linkPath + u' ' + m_sim->slavePath);
    QCOMPARE(m_sim->lines.at(1), u"OPEN"_s);
}

void TstModemsim::dialResult_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("result");

    QTest::newRow("connect") << u"connect"_s << QByteArray("CONNECT 9600");
    QTest::newRow("busy") << u"busy"_s << QByteArray("BUSY");
    QTest::newRow("nocarrier") << u"nocarrier"_s << QByteArray("NO CARRIER");
    QTest::newRow("noanswer") << u"noanswer"_s << QByteArray("NO ANSWER");
    QTest::newRow("nodialtone") << u"nodialtone"_s << QByteArray("NO DIALTONE");
}

void TstModemsim::dialResult()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, result);

    QVERIFY(startAndOpen({u"--dial"_s, script, u"--connect-delay"_s, u"100"_s}));
    const QByteArray dialLine = "ATDT 012345678\r";
    m_line->write(dialLine);
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, QByteArray(dialLine + "\r\n" + result + "\r\n"),
                              timeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->lines.contains(u"RESULT "_s + QString::fromLatin1(result)),
                             timeoutMs);
    QCOMPARE(m_sim->withPrefix(u"DIAL "_s), QStringList{u"DIAL 41544454203031323334353637380D"_s});

    m_line->received.clear();
    if (script == u"connect"_s) {
        // Data mode: no echo and no command answers; the frame that follows
        // is the first thing answered.
        m_line->write(QByteArray("AT\r" + wrapped(workedExample)));
        QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped(ack), timeoutMs);
    } else {
        m_line->write("AT\r");
        QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "AT\r\r\nOK\r\n", timeoutMs);
    }
}

void TstModemsim::dialScriptAdvancesAndRepeatsLast()
{
    QVERIFY(startAndOpen({u"--dial"_s, u"busy,nocarrier"_s, u"--connect-delay"_s, u"50"_s}));
    const QByteArray answers[] = {"BUSY", "NO CARRIER", "NO CARRIER"};
    // Lower-case dialling counts as a dial command too.
    const QByteArray dials[] = {"ATD1\r", "atd2\r", "AtDt 3\r"};
    for (int call = 0; call < 3; ++call) {
        m_line->received.clear();
        m_line->write(dials[call]);
        QTRY_COMPARE_WITH_TIMEOUT(
            m_line->received, QByteArray(dials[call] + "\r\n" + answers[call] + "\r\n"), timeoutMs);
    }
    QTRY_COMPARE_WITH_TIMEOUT(
        m_sim->withPrefix(u"RESULT "_s),
        (QStringList{u"RESULT BUSY"_s, u"RESULT NO CARRIER"_s, u"RESULT NO CARRIER"_s}), timeoutMs);
    QCOMPARE(m_sim->withPrefix(u"DIAL "_s).size(), 3);
}

void TstModemsim::byteWhileDiallingAborts_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("connectDelay");

    QTest::newRow("silent line") << u"silent"_s << u"50"_s;
    QTest::newRow("during the connect delay") << u"connect"_s << u"60000"_s;
}

void TstModemsim::byteWhileDiallingAborts()
{
    QFETCH(QString, script);
    QFETCH(QString, connectDelay);

    QVERIFY(startAndOpen({u"--dial"_s, script, u"--connect-delay"_s, connectDelay}));
    m_line->write("ATD1\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"DIAL "_s).size(), 1, timeoutMs);
    m_line->received.clear();
    m_line->write("x");
    // The aborting byte is not echoed.
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "\r\nNO CARRIER\r\n", timeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->lines.contains(u"RESULT NO CARRIER"_s), timeoutMs);
    const qsizetype abort = m_sim->lines.indexOf(u"ABORT"_s);
    QVERIFY(abort >= 0);
    QCOMPARE(m_sim->lines.indexOf(u"RESULT NO CARRIER"_s), abort + 1);

    // Back in command mode.
    m_line->received.clear();
    m_line->write("AT\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "AT\r\r\nOK\r\n", timeoutMs);
}

void TstModemsim::frame_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("centre");
    QTest::addColumn<QString>("report"); // SMS line, or the INVALID prefix
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("worked example")
        << workedExample << u"ack"_s << u"SMS to=0791234567 from= text=abc"_s << ack;
    QTest::newRow("call-back number")
        << QByteArray("01/00048/O/01/0791234567/0311234567//3/616263/2B") << u"ack"_s
        << u"SMS to=0791234567 from=0311234567 text=abc"_s << ack;
    QTest::newRow("umlaut kept, sharp s dropped by the sender")
        << QByteArray("01/00040/O/01/0791234567///3/47727E65/A6") << u"ack"_s
        << u"SMS to=0791234567 from= text=Grüe"_s << ack;
    QTest::newRow("all sixteen GSM letters, checksum 00")
        << QByteArray("01/00064/O/01/0791234567///3/010405060708091F5B5C5E5F7B7C7E7F/00")
        << u"ack"_s << u"SMS to=0791234567 from= text=£èéùìòçÉÄÖÜ§äöüà"_s << ack;
    // 5C is a GSM letter, so a backslash can only come in through a number.
    QTest::newRow("CR and LF escaped, 5C is a letter")
        << QByteArray("01/00042/O/01/0791234567///3/610D0A625C/19") << u"ack"_s
        << u"SMS to=0791234567 from= text=a\\r\\nbÖ"_s << ack;
    QTest::newRow("backslash escaped") << QByteArray("01/00032/O/01/07\\9///3/616263/14")
                                       << u"ack"_s << u"SMS to=07\\\\9 from= text=abc"_s << ack;
    QTest::newRow("empty message") << QByteArray("01/00032/O/01/0791234567///3//EC") << u"ack"_s
                                   << u"SMS to=0791234567 from= text="_s << ack;
    QTest::newRow("blanks in the number")
        << QByteArray("01/00039/O/01/079 123 45 67///3/4869/2E") << u"ack"_s
        << u"SMS to=079 123 45 67 from= text=Hi"_s << ack;
    QTest::newRow("lower-case checksum")
        << QByteArray("01/00038/O/01/0791234567///3/616263/2a") << u"ack"_s
        << u"SMS to=0791234567 from= text=abc"_s << ack;
    QTest::newRow("transaction number echoed")
        << QByteArray("42/00038/O/01/0791234567///3/616263/2F") << u"ack"_s
        << u"SMS to=0791234567 from= text=abc"_s << QByteArray("42/00019/R/01/A//6E");
    QTest::newRow("scripted nack 06")
        << workedExample << u"nack:06"_s << u"SMS to=0791234567 from= text=abc"_s
        << QByteArray("01/00022/R/01/N/06//05");

    QTest::newRow("wrong checksum") << QByteArray("01/00038/O/01/0791234567///3/616263/2B")
                                    << u"ack"_s << u"INVALID "_s << syntaxNack;
    QTest::newRow("wrong checksum overrides scripted nack")
        << QByteArray("01/00038/O/01/0791234567///3/616263/2B") << u"nack:06"_s << u"INVALID "_s
        << syntaxNack;
    QTest::newRow("wrong checksum, transaction 42")
        << QByteArray("42/00038/O/01/0791234567///3/616263/2E") << u"ack"_s << u"INVALID "_s
        << QByteArray("42/00022/R/01/N/02//06");
    QTest::newRow("LEN one too high, checksum right")
        << QByteArray("01/00039/O/01/0791234567///3/616263/2B") << u"ack"_s << u"INVALID "_s
        << syntaxNack;
    QTest::newRow("LEN not five digits") << QByteArray("01/0038/O/01/0791234567///3/616263/FA")
                                         << u"ack"_s << u"INVALID "_s << syntaxNack;
    QTest::newRow("no checksum") << QByteArray("01/00036/O/01/0791234567///3/616263/") << u"ack"_s
                                 << u"INVALID "_s << syntaxNack;
    QTest::newRow("message type 2") << QByteArray("01/00038/O/01/0791234567///2/616263/29")
                                    << u"ack"_s << u"INVALID "_s << syntaxNack;
    QTest::newRow("result instead of operation")
        << QByteArray("01/00038/R/01/0791234567///3/616263/2D") << u"ack"_s << u"INVALID "_s
        << syntaxNack;
    QTest::newRow("operation 51, answered as 51")
        << QByteArray("01/00038/O/51/0791234567///3/616263/2F") << u"ack"_s << u"INVALID "_s
        << QByteArray("01/00022/R/51/N/02//06");
    QTest::newRow("odd number of hex digits") << QByteArray("01/00037/O/01/0791234567///3/61626/F6")
                                              << u"ack"_s << u"INVALID "_s << syntaxNack;
    QTest::newRow("non-hex digit") << QByteArray("01/00036/O/01/0791234567///3/61G2/D0") << u"ack"_s
                                   << u"INVALID "_s << syntaxNack;
    QTest::newRow("code above 7F") << QByteArray("01/00036/O/01/0791234567///3/61E9/D5") << u"ack"_s
                                   << u"INVALID "_s << syntaxNack;
    // Without a readable transaction number the answer carries 00.
    QTest::newRow("empty frame") << QByteArray() << u"ack"_s << u"INVALID "_s
                                 << QByteArray("00/00022/R/01/N/02//00");
}

void TstModemsim::frame()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, centre);
    QFETCH(QString, report);
    QFETCH(QByteArray, reply);

    QVERIFY(startAndOpen(
        {u"--centre"_s, centre, u"--connect-delay"_s, u"20"_s, u"--reply-delay"_s, u"20"_s}));
    QVERIFY(connectCall());
    m_line->write(wrapped(frame));
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped(reply), timeoutMs);

    QString frameText = QString::fromLatin1(frame);
    frameText.replace(u"\\"_s, u"\\\\"_s);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->lines.contains(u"REPLY "_s + QString::fromLatin1(reply)),
                             timeoutMs);
    const qsizetype frameLine = m_sim->lines.indexOf(u"FRAME "_s + frameText);
    QVERIFY2(frameLine >= 0, qPrintable(m_sim->lines.join(u'\n')));
    const QString next = m_sim->lines.value(frameLine + 1);
    if (report.startsWith(u"INVALID "_s)) {
        QVERIFY2(next.startsWith(report) && next.size() > report.size(), qPrintable(next));
        QCOMPARE(m_sim->withPrefix(u"SMS "_s), QStringList());
    } else {
        QCOMPARE(next, report);
    }
}

void TstModemsim::centreScriptPerFrame()
{
    // A refused frame takes its turn in the script as well.
    QVERIFY(startAndOpen({u"--centre"_s, u"nack:04,ack,nack:31"_s, u"--connect-delay"_s, u"20"_s,
                          u"--reply-delay"_s, u"10"_s}));
    QVERIFY(connectCall());
    const QByteArray frames[] = {workedExample, "01/00038/O/01/0791234567///3/616263/2B",
                                 workedExample, workedExample};
    const QByteArray replies[] = {"01/00022/R/01/N/04//03", syntaxNack, "01/00022/R/01/N/31//03",
                                  "01/00022/R/01/N/31//03"};
    for (int i = 0; i < 4; ++i) {
        m_line->received.clear();
        m_line->write(wrapped(frames[i]));
        QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped(replies[i]), timeoutMs);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"SMS "_s).size(), 3, timeoutMs);
}

void TstModemsim::silentCentreSendsNothing()
{
    QVERIFY(startAndOpen({u"--centre"_s, u"silent,ack"_s, u"--connect-delay"_s, u"20"_s,
                          u"--reply-delay"_s, u"10"_s}));
    QVERIFY(connectCall());
    m_line->write(wrapped(workedExample));
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"SMS "_s).size(), 1, timeoutMs);
    // The second frame's answer is scheduled after the first's would have
    // been, so only its arrival alone proves the silence.
    m_line->write(wrapped("02/00038/O/01/0791234567///3/616263/2B"));
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped("02/00019/R/01/A//6A"), timeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"REPLY "_s),
                              QStringList{u"REPLY 02/00019/R/01/A//6A"_s}, timeoutMs);
}

void TstModemsim::garbageReplyIsNoFrame()
{
    QVERIFY(startAndOpen(
        {u"--centre"_s, u"garbage"_s, u"--connect-delay"_s, u"20"_s, u"--reply-delay"_s, u"10"_s}));
    QVERIFY(connectCall());
    m_line->write(wrapped(workedExample));
    QTRY_VERIFY_WITH_TIMEOUT(m_line->received.endsWith('\x03'), timeoutMs);
    const QByteArray &got = m_line->received;
    QVERIFY(got.startsWith('\x02'));
    const QByteArray inner = got.mid(1, got.size() - 2);
    // Not a result frame: no fields, no length or checksum to check.
    QVERIFY2(!inner.contains('/'), inner.constData());
    QVERIFY(!inner.contains('\x02') && !inner.contains('\x03'));
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"REPLY "_s),
                              QStringList{u"REPLY "_s + QString::fromLatin1(inner)}, timeoutMs);
}

void TstModemsim::bytesOutsideFramesIgnored()
{
    QVERIFY(startAndOpen({u"--connect-delay"_s, u"20"_s, u"--reply-delay"_s, u"10"_s}));
    QVERIFY(connectCall());
    // Noise before the start byte and a frame cut short by a new start
    // byte: only the complete frame counts.
    m_line->write(QByteArray("noise\x03"
                             "\x02"
                             "01/000" +
                             wrapped(workedExample)));
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped(ack), timeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"FRAME "_s),
                              QStringList{u"FRAME "_s + QString::fromLatin1(workedExample)},
                              timeoutMs);
}

void TstModemsim::hangUpAndCallAgain()
{
    QVERIFY(startAndOpen(
        {u"--dial"_s, u"connect"_s, u"--connect-delay"_s, u"20"_s, u"--reply-delay"_s, u"10"_s}));
    QVERIFY(connectCall());
    m_line->write(wrapped(workedExample));
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped(ack), timeoutMs);
    m_line->serial.close();
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->count(u"HANGUP"_s), 1, timeoutMs);

    // The hang-up left data mode: the next open meets a modem in command
    // mode that echoes and dials again.
    QVERIFY(m_line->open(m_sim->linkPath));
    m_line->write("AT\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "AT\r\r\nOK\r\n", timeoutMs);
    QVERIFY(connectCall());
    m_line->write(wrapped(workedExample));
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped(ack), timeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"SMS "_s).size(), 2, timeoutMs);
    QCOMPARE(m_sim->count(u"OPEN"_s), 2);
}

void TstModemsim::hangUpCancelsPendingAnswers_data()
{
    QTest::addColumn<bool>("duringDial");

    QTest::newRow("while dialling") << true;
    QTest::newRow("before the centre answers") << false;
}

void TstModemsim::hangUpCancelsPendingAnswers()
{
    QFETCH(bool, duringDial);

    QVERIFY(startAndOpen(
        {u"--connect-delay"_s, duringDial ? u"300"_s : u"20"_s, u"--reply-delay"_s, u"300"_s}));
    if (duringDial) {
        m_line->write("ATD1\r");
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"DIAL "_s).size(), 1, timeoutMs);
    } else {
        QVERIFY(connectCall());
        m_line->write(wrapped(workedExample));
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"SMS "_s).size(), 1, timeoutMs);
    }
    m_line->serial.close();
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->count(u"HANGUP"_s), 1, timeoutMs);

    // The same answer of the second call comes later than the cancelled one
    // would have, so seeing it alone on the line shows the first was dropped.
    QVERIFY(m_line->open(m_sim->linkPath));
    if (duringDial) {
        m_line->write("ATD2\r");
        QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "ATD2\r\r\nCONNECT 9600\r\n", timeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->count(u"RESULT CONNECT 9600"_s), 1, timeoutMs);
    } else {
        QVERIFY(connectCall());
        m_line->write(wrapped("02/00038/O/01/0791234567///3/616263/2B"));
        QTRY_COMPARE_WITH_TIMEOUT(m_line->received, wrapped("02/00019/R/01/A//6A"), timeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->withPrefix(u"REPLY "_s),
                                  QStringList{u"REPLY 02/00019/R/01/A//6A"_s}, timeoutMs);
    }
}

void TstModemsim::staleLinkIsReplaced()
{
    const QString link = m_dir->filePath(u"COM"_s + QString::number(port));
    QVERIFY(QFile::link(u"/nonexistent/pts/99"_s, link));
    QVERIFY(startAndOpen({}));
    QCOMPARE(QFileInfo(m_sim->linkPath).canonicalFilePath(), QFileInfo(link).canonicalFilePath());
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_sim->slavePath);
    m_line->write("AT\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "AT\r\r\nOK\r\n", timeoutMs);
}

void TstModemsim::otherFileInPlaceIsKept()
{
    const QString path = m_dir->filePath(u"COM"_s + QString::number(port));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    QSignalSpy finished(&m_sim->process, &QProcess::finished);
    m_sim->start({});
    QVERIFY(finished.wait(timeoutMs));
    QCOMPARE(m_sim->process.exitStatus(), QProcess::NormalExit);
    QVERIFY(m_sim->process.exitCode() != 0);
    QCOMPARE(m_sim->withPrefix(u"READY"_s), QStringList());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "keep me");
}

void TstModemsim::terminationRemovesLink_data()
{
    QTest::addColumn<int>("signal");

    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TstModemsim::terminationRemovesLink()
{
    QFETCH(int, signal);

    // Ended while the port is open and a call stands.
    QVERIFY(startAndOpen({u"--connect-delay"_s, u"20"_s}));
    QVERIFY(connectCall());
    QVERIFY(QFileInfo(m_sim->linkPath).isSymLink());
    QSignalSpy finished(&m_sim->process, &QProcess::finished);
    QCOMPARE(::kill(pid_t(m_sim->process.processId()), signal), 0);
    QVERIFY(finished.wait(timeoutMs));
    QCOMPARE(m_sim->process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_sim->process.exitCode(), 0);
    QVERIFY(!QFileInfo(m_sim->linkPath).isSymLink());
    QVERIFY(!QFileInfo::exists(m_sim->linkPath));
}

void TstModemsim::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");

    const QString dir = u"/tmp/modemsim-never-created"_s;
    QTest::newRow("no --dir") << QStringList{u"--port"_s, u"3"_s};
    QTest::newRow("no --port") << QStringList{u"--dir"_s, dir};
    QTest::newRow("port 0") << QStringList{u"--dir"_s, dir, u"--port"_s, u"0"_s};
    QTest::newRow("port not a number") << QStringList{u"--dir"_s, dir, u"--port"_s, u"x"_s};
    QTest::newRow("unknown dial item")
        << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"--dial"_s, u"busy,ring"_s};
    QTest::newRow("empty dial item")
        << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"--dial"_s, u"busy,"_s};
    QTest::newRow("nack without code")
        << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"--centre"_s, u"nack"_s};
    QTest::newRow("nack with one digit")
        << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"--centre"_s, u"nack:6"_s};
    QTest::newRow("negative delay")
        << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"--connect-delay"_s, u"-1"_s};
    QTest::newRow("unknown option")
        << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"--baud"_s, u"9600"_s};
    QTest::newRow("stray argument") << QStringList{u"--dir"_s, dir, u"--port"_s, u"3"_s, u"x"_s};
}

void TstModemsim::badArguments()
{
    QFETCH(QStringList, arguments);

    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(Simulator::program(), arguments);
    QVERIFY(finished.wait(timeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QVERIFY(process.readAllStandardError().startsWith("modemsim: "));
    QVERIFY(!QFileInfo::exists(u"/tmp/modemsim-never-created"_s));
}

void TstModemsim::logFileGetsStampedLines()
{
    const QString logPath = m_dir->filePath(u"sim.log"_s);
    QFile old(logPath);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier run\n");
    old.close();

    QVERIFY(startAndOpen({u"--log"_s, logPath}));
    m_line->write("AT\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_line->received, "AT\r\r\nOK\r\n", timeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->lines.contains(u"RESULT OK"_s), timeoutMs);

    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList logLines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(logLines.value(0), u"earlier run"_s);
    const QRegularExpression stamped(
        u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)$"_s);
    QStringList texts;
    for (const QString &line : logLines.mid(1)) {
        const QRegularExpressionMatch match = stamped.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        texts.append(match.captured(1));
    }
    QCOMPARE(texts, m_sim->lines);
}

QTEST_GUILESS_MAIN(TstModemsim)

#include "tst_modemsim.moc"
