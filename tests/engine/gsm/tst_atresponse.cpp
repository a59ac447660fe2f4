// The modem's output cut into responses: line ends of every kind, echoes,
// the prompt, results and the lines in between, and how a failed command
// reads for the user.

#include "atresponse.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray describe(const At::Response &response)
{
    static const char *const kinds[] = {"Line",  "Echo",     "Prompt",    "Ok",
                                        "Error", "CmeError", "CmsError",  "NoCarrier",
                                        "Busy",  "NoAnswer", "NoDialtone"};
    QByteArray text = QByteArray(kinds[response.kind]) + ' ' + response.text;
    if (!response.detail.isEmpty())
        text += " [" + response.detail + ']';
    return text;
}

} // namespace

class TestAtResponse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row: the command in flight (awaiting the prompt or not), the
    // modem's output in the chunks it came in, and the responses, one item
    // per chunk (empty: that chunk completed nothing).
    void feed_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("awaitsPrompt");
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QByteArrayList>("expected");

        const auto row = [](const char *name, const QByteArrayList &chunks,
                            const QByteArrayList &expected, const QByteArray &command = "AT",
                            bool awaitsPrompt = false) {
            QTest::newRow(name) << command << awaitsPrompt << chunks << expected;
        };
        row("OK with CR LF", {"\r\nOK\r\n"}, {"Ok OK"});
        row("OK with a bare CR", {"OK\r"}, {"Ok OK"});
        row("OK with a bare LF", {"OK\n"}, {"Ok OK"});
        row("OK with LF CR", {"\n\rOK\n\r"}, {"Ok OK"});
        row("blanks around OK", {"\r\n  OK \r\n"}, {"Ok OK"});
        row("unfinished OK is nothing yet", {"\r\nOK", "\r\n"}, {"", "Ok OK"});
        row("bytewise information line and OK",
            {"\r", "\n", "+", "C", "P", "I", "N", ":", " ", "R", "\r", "\n", "O", "K", "\r", "\n"},
            {"", "", "", "", "", "", "", "", "", "", "Line +CPIN: R", "", "", "", "Ok OK", ""});
        row("echo of the command", {"ATE0\r\r\nOK\r\n"}, {"Echo ATE0|Ok OK"}, "ATE0");
        row("echo of another command is a line", {"AT+CMEE=1\r\r\nOK\r\n"},
            {"Line AT+CMEE=1|Ok OK"}, "ATE0");
        row("URC in the middle of a reply", {"\r\n+CMGS: 7\r\n\r\n+CMTI: \"SM\",3\r\n\r\nOK\r\n"},
            {"Line +CMGS: 7|Line +CMTI: \"SM\",3|Ok OK"});
        row("lines across chunks", {"\r\n+CPIN: RE", "\r\nRING\r\n", "ADY\r\n"},
            {"", "Line +CPIN: RE|Line RING", "Line ADY"});
        row("prompt without a line end", {"\r\n> "}, {"Prompt >"}, "AT+CMGS=15", true);
        row("prompt bytewise", {"\r", "\n", ">", " "}, {"", "", "Prompt >", ""}, "AT+CMGS=15",
            true);
        row("prompt with a line end", {"\r\n>\r\n"}, {"Prompt >"}, "AT+CMGS=15", true);
        row("prompt not awaited ends nothing", {"\r\n> "}, {""}, "AT+CMGS=15", false);
        row("prompt comes once", {"\r\n> ", "> ", "\r\n>\r\n"}, {"Prompt >", "", "Line >|Line >"},
            "AT+CMGS=15", true);
        row("prompt line not awaited", {"\r\n>\r\n"}, {"Line >"}, "AT+CMGS=15", false);
        row("results of a failed command",
            {"ERROR\r\n+CME ERROR: 16\r\n+CMS ERROR:  42 \r\n+CMS ERROR: network busy\r\n"},
            {"Error ERROR|CmeError +CME ERROR: 16 [16]|CmsError +CMS ERROR:  42 [42]|"
             "CmsError +CMS ERROR: network busy [network busy]"});
        row("results of a failed dial",
            {"NO CARRIER\r\nBUSY\r\nNO ANSWER\r\nNO DIALTONE\r\nNO DIAL TONE\r\n"},
            {"NoCarrier NO CARRIER|Busy BUSY|NoAnswer NO ANSWER|NoDialtone NO DIALTONE|"
             "NoDialtone NO DIAL TONE"});
        row("words that only look like results", {"OKAY\r\nERRORS\r\n+CME ERROR\r\n"},
            {"Line OKAY|Line ERRORS|Line +CME ERROR"});
        // A received PDU of 176 octets is a line of 352 hex digits.
        row("PDU line whole", {QByteArray(352, 'A') + "\r\n"}, {"Line " + QByteArray(352, 'A')});
        row("overlong line keeps its end", {QByteArray(600, 'x') + "OK\r\n"},
            {"Line " + QByteArray(510, 'x') + "OK"});
    }
    void feed()
    {
        QFETCH(QByteArray, command);
        QFETCH(bool, awaitsPrompt);
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArrayList, expected);
        At::ResponseParser parser;
        parser.setCommand(command, awaitsPrompt);
        QByteArrayList got;
        for (const QByteArray &chunk : std::as_const(chunks)) {
            QByteArrayList described;
            for (const At::Response &response : parser.feed(chunk))
                described.append(describe(response));
            got.append(described.join('|'));
        }
        QCOMPARE(got, expected);
    }

    // A result other than OK as the status line shows it.
    void errorText_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("ERROR") << QByteArray("ERROR") << u"ERROR"_s;
        QTest::newRow("CME known") << QByteArray("+CME ERROR: 16") << u"CME 16: falsche PIN"_s;
        QTest::newRow("CME unknown")
            << QByteArray("+CME ERROR: 99") << u"CME 99: unbekannter Fehler"_s;
        QTest::newRow("CME in words")
            << QByteArray("+CME ERROR: incorrect password") << u"incorrect password"_s;
        QTest::newRow("CMS known") << QByteArray("+CMS ERROR: 42") << u"CMS 42: Netz überlastet"_s;
        QTest::newRow("CMS in words")
            << QByteArray("+CMS ERROR: network busy") << u"network busy"_s;
        QTest::newRow("CMS without a cause") << QByteArray("+CMS ERROR: ") << u"+CMS ERROR:"_s;
        QTest::newRow("NO CARRIER") << QByteArray("NO CARRIER") << u"NO CARRIER"_s;
    }
    void errorText()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QCOMPARE(At::errorText(At::classify(line)), text);
    }
};

QTEST_GUILESS_MAIN(TestAtResponse)
#include "tst_atresponse.moc"
