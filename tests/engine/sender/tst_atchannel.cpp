// AT commands over the in-memory line: one in flight, time-outs that count
// from the bytes gone, the modem's own reports taken out of the answers, the
// prompt handed to the command that awaits it.

#include "atchannel.h"
#include "fakeserialline.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A channel on the fake line whose commands note what reaches them.
struct Rig
{
    Rig()
    {
        line.open(u"/dev/ttyS0"_s);
        channel.setStallTimeoutMs(1000);
        channel.start();
        channel.addUrcHandler(QRegularExpression(u"RING|\\+CMTI: .*"_s),
                              [this](const QRegularExpressionMatch &match) {
                                  events.append("urc " + match.captured().toLatin1());
                              });
        channel.addUrcHandler(QRegularExpression(u"\\+CDS: \\d+"_s),
                              [this](const QRegularExpressionMatch &match, const QByteArray &data) {
                                  events.append("urc " + match.captured().toLatin1() + " data " +
                                                data);
                              });
        QObject::connect(&channel, &AtChannel::broken, [this] { events.append("broken"); });
    }

    // Items: "cmd TEXT" (answer awaited 5 s), "quick TEXT" (no time at
    // all), "cmgs TEXT" (awaits the prompt, then writes "PDU" and Ctrl-Z),
    // "dial TEXT"; "<bytes" the modem sends; "hold" and "release" the bytes
    // written (noted as the event "release"); "spin" (events are handled); "break"; "wait N" (until
    // N events). A command whose text ends in "?" waits for an information line before its OK.
    // Events: "write ...", "line CMD: ...", "final CMD:
    // ...", "timeout CMD", "urc ...", "broken".
    void play(const QByteArrayList &script)
    {
        for (const QByteArray &item : script) {
            const QByteArray word = item.left(item.indexOf(' '));
            const QByteArray rest = item.mid(word.size() + 1);
            if (word == "cmd" || word == "quick" || word == "cmgs" || word == "dial")
                channel.send(command(word, rest));
            else if (item.startsWith('<'))
                line.deliver(item.mid(1));
            else if (item == "hold")
                line.holdWrites();
            else if (item == "release")
                events.append("release"), line.releaseWrites();
            else if (item == "spin")
                QCoreApplication::processEvents();
            else if (item == "break")
                line.breakLine();
            else if (word == "wait")
                QTRY_COMPARE(events.size() + line.writes.size() - written, rest.toInt());
            else
                QFAIL(item.constData());
            for (; written < line.writes.size(); ++written)
                events.append("write " + line.writes.at(written));
        }
    }

    AtChannel::Command command(const QByteArray &kind, const QByteArray &text)
    {
        AtChannel::Command command;
        command.text = text;
        command.timeoutMs = kind == "quick" ? 0 : 5000;
        command.dials = kind == "dial";
        auto informed = std::make_shared<bool>(false);
        command.onLine = [this, text, informed](const At::Response &response) {
            *informed = true;
            events.append("line " + text + ": " + response.text);
        };
        command.onFinal = [this, text, informed](const At::Response &response) {
            events.append("final " + text + ": " + response.text);
            return *informed || !text.endsWith('?');
        };
        command.onTimeout = [this, text] { events.append("timeout " + text); };
        if (kind == "cmgs") {
            command.onPrompt = [] { return QByteArray("PDU\x1A"); };
            command.afterPromptTimeoutMs = 0;
        }
        return command;
    }

    FakeSerialLine line;
    AtChannel channel{&line};
    QByteArrayList events;
    qsizetype written = 0;
};

} // namespace

class TestAtChannel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void script_data()
    {
        QTest::addColumn<QByteArrayList>("script");
        QTest::addColumn<QByteArrayList>("events");

        QTest::newRow("URC in the middle of a reply")
            << QByteArrayList{"cmd AT+CPIN?", "<\r\n+CPIN: READY\r\n+CMTI: \"SM\",3\r\nOK\r\n"}
            << QByteArrayList{"write AT+CPIN?\r", "line AT+CPIN?: +CPIN: READY",
                              "urc +CMTI: \"SM\",3", "final AT+CPIN?: OK"};
        QTest::newRow("URC between commands")
            << QByteArrayList{"<\r\nRING\r\n", "cmd ATE0", "<ATE0\r\r\nOK\r\n"}
            << QByteArrayList{"urc RING", "write ATE0\r", "final ATE0: OK"};
        // The second is written only after the first's final result; a late
        // OK that a command cannot take leaves it in flight.
        QTest::newRow("two commands queued")
            << QByteArrayList{"cmd ATE0", "cmd AT+CPIN?", "<\r\nOK\r\n", "<\r\nOK\r\n",
                              "<\r\n+CPIN: READY\r\n\r\nOK\r\n"}
            << QByteArrayList{"write ATE0\r",
                              "final ATE0: OK",
                              "write AT+CPIN?\r",
                              "final AT+CPIN?: OK",
                              "line AT+CPIN?: +CPIN: READY",
                              "final AT+CPIN?: OK"};
        QTest::newRow("time-out, then the next command")
            << QByteArrayList{"quick ATE0", "cmd AT+CMEE=1", "wait 3", "<\r\nOK\r\n"}
            << QByteArrayList{"write ATE0\r", "timeout ATE0", "write AT+CMEE=1\r",
                              "final AT+CMEE=1: OK"};
        // The time-out counts from the bytes gone: while the line holds
        // them, no time of the modem's passes.
        QTest::newRow("bytes leave late")
            << QByteArrayList{"hold", "quick ATE0", "spin", "spin", "release", "wait 3"}
            << QByteArrayList{"write ATE0\r", "release", "timeout ATE0"};
        QTest::newRow("bytes never leave") << QByteArrayList{"hold", "cmd ATE0", "wait 2"}
                                           << QByteArrayList{"write ATE0\r", "timeout ATE0"};
        QTest::newRow("answer before a late time-out")
            << QByteArrayList{"hold", "quick ATE0", "spin", "<\r\nOK\r\n", "release", "spin"}
            << QByteArrayList{"write ATE0\r", "final ATE0: OK", "release"};
        QTest::newRow("prompt, PDU, answer")
            << QByteArrayList{"cmgs AT+CMGS=15", "<\r\n> ", "<\r\n+CMGS: 7\r\n\r\nOK\r\n"}
            << QByteArrayList{"write AT+CMGS=15\r", "write PDU\x1A", "line AT+CMGS=15: +CMGS: 7",
                              "final AT+CMGS=15: OK"};
        QTest::newRow("time-out after the PDU counts from its bytes gone")
            << QByteArrayList{"cmgs AT+CMGS=15", "hold", "<\r\n> ", "spin", "release", "wait 4"}
            << QByteArrayList{"write AT+CMGS=15\r", "write PDU\x1A", "release",
                              "timeout AT+CMGS=15"};
        QTest::newRow("prompt not awaited")
            << QByteArrayList{"cmd AT", "<\r\n>\r\n", "<OK\r\n"}
            << QByteArrayList{"write AT\r", "line AT: >", "final AT: OK"};
        QTest::newRow("NO CARRIER ends only a dial")
            << QByteArrayList{"cmd AT", "<\r\nNO CARRIER\r\n", "<OK\r\n", "dial ATD1",
                              "<\r\nNO CARRIER\r\n"}
            << QByteArrayList{"write AT\r", "line AT: NO CARRIER", "final AT: OK", "write ATD1\r",
                              "final ATD1: NO CARRIER"};
        // A report with its data on the next line: both go to its handler,
        // neither to the command in flight, also when the PDU is longer
        // than 256 characters.
        const QByteArray pdu = QByteArray("0791").repeated(88);
        QTest::newRow("report with a data line")
            << QByteArrayList{"cmd AT+CPIN?",
                              "<\r\n+CDS: 25\r\n" + pdu + "\r\n+CPIN: READY\r\nOK\r\n"}
            << QByteArrayList{"write AT+CPIN?\r", "urc +CDS: 25 data " + pdu,
                              "line AT+CPIN?: +CPIN: READY", "final AT+CPIN?: OK"};
        QTest::newRow("report with its data in pieces")
            << QByteArrayList{"<\r\n+CDS: 6\r", "<\n0006", "<07\r\n", "cmd AT", "<OK\r\n"}
            << QByteArrayList{"urc +CDS: 6 data 000607", "write AT\r", "final AT: OK"};
        QTest::newRow("report without its data line")
            << QByteArrayList{"cmd AT", "<\r\n+CDS: 25\r\nOK\r\n", "cmd AT+CPIN?",
                              "<\r\n+CPIN: READY\r\nOK\r\n"}
            << QByteArrayList{"write AT\r", "final AT: OK", "write AT+CPIN?\r",
                              "line AT+CPIN?: +CPIN: READY", "final AT+CPIN?: OK"};
        QTest::newRow("line breaks: queue dropped")
            << QByteArrayList{"cmd ATE0", "cmd AT", "break", "<OK\r\n"}
            << QByteArrayList{"write ATE0\r", "broken"};
    }
    void script()
    {
        QFETCH(QByteArrayList, script);
        QFETCH(QByteArrayList, events);
        Rig rig;
        rig.play(script);
        QCOMPARE(rig.events, events);
    }

    // A line that refuses the bytes is a broken line, and the channel stops.
    void refusedWrite()
    {
        Rig rig;
        rig.line.close();
        rig.play({"cmd ATE0"});
        QCOMPARE(rig.events, QByteArrayList{"broken"});
        QVERIFY(!rig.channel.isStarted());
    }
};

QTEST_GUILESS_MAIN(TestAtChannel)
#include "tst_atchannel.moc"
