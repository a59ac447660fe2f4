#include "csvformat.h"
#include "importplan.h"
#include "mergefields.h"
#include "phonekey.h"
#include "vcardformat.h"

#include <QStringEncoder>
#include <QTest>

char *toString(const ContactRecord &r)
{
    return QTest::toString(u"{"_qs + r.name + u" | "_qs + r.adresse + u" | "_qs + r.plzOrt +
                           u" | "_qs + r.natelNummer + u" | "_qs + r.bemerkungen + u"}"_qs);
}

namespace {

using Records = QList<ContactRecord>;
using Lines = QList<int>;
using Rows = QList<QStringList>;
using Roles = QList<CsvRole>;

ContactRecord rec(const QString &name, const QString &adresse = {}, const QString &plzOrt = {},
                  const QString &natel = {}, const QString &bemerkungen = {})
{
    return {name, adresse, plzOrt, natel, bemerkungen};
}

QByteArray card(const QByteArray &body)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + body + "END:VCARD\r\n";
}

Lines messageLines(const QList<ImportMessage> &messages)
{
    Lines lines;
    for (const ImportMessage &message : messages) {
        if (message.text.isEmpty())
            return {-1}; // a message must say something
        lines.append(message.line);
    }
    return lines;
}

QByteArray utf16le(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// Persons whose fields hold everything a file format has to protect.
Records awkwardPersons()
{
    return {
        rec(u"Meier, Hans"_qs, u"Bahnhofstrasse 1; Hinterhaus"_qs, u"8000 Zürich"_qs,
            u"079 555 12 34"_qs, u"Sagt \"Grüezi\"\nzweite Zeile; mit \\ und ,"_qs),
        rec(u"Élodie Brändli-Çelik"_qs, QString(), u"CH-1700 Fribourg"_qs, u"+41 78 000 00 00"_qs),
        rec(u"Ohne Nummer"_qs, u"Weg 3"_qs, u"Zürich"_qs),
        rec(u"Zwei  Blanks"_qs, QString(), u"8000  Zürich"_qs, u"0041795551234"_qs,
            QString(120, u'ä') + u" Ende"_qs),
        rec(u" führender Blank"_qs, QString(), u"9490"_qs, QString(), u"€ „Zitat“"_qs),
    };
}

} // namespace

class TestContacts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readVCards_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<Records>("expected");
        QTest::addColumn<Lines>("recordLines");
        QTest::addColumn<Lines>("messageLines");

        QTest::newRow("folded lines, blank and tab, UTF-8 cut at the fold")
            << card("FN:Hans\r\n  Meier\r\nNOTE:Gr\xC3\r\n\t\xBC"
                    "sse\r\n")
            << Records{rec(u"Hans Meier"_qs, {}, {}, {}, u"Grüsse"_qs)} << Lines{1} << Lines{};
        QTest::newRow("several TEL: cell with the lowest PREF wins")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nTEL;TYPE=work:044 111 11 11\r\n"
                          "TEL;TYPE=\"voice,cell\";PREF=2:079 222 22 22\r\n"
                          "TEL;TYPE=cell;PREF=1:078 333 33 33\r\nEND:VCARD\r\n")
            << Records{rec(u"A"_qs, {}, {}, u"078 333 33 33"_qs)} << Lines{1} << Lines{};
        QTest::newRow("TYPE=CELL after a home number, TYPE=pref among cells")
            << card("FN:A\r\nTEL;TYPE=HOME,VOICE:044 111 11 11\r\nTEL;TYPE=CELL:079 111 11 11\r\n"
                    "TEL;TYPE=CELL;TYPE=pref:079 222 22 22\r\nTEL;TYPE=CELL:079 333 33 33\r\n")
            << Records{rec(u"A"_qs, {}, {}, u"079 222 22 22"_qs)} << Lines{1} << Lines{};
        QTest::newRow("2.1 bare types, grouped property")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Meier;Hans\r\nTEL;HOME:044 1\r\n"
                          "item1.TEL;CELL:079 555 12 34\r\nEND:VCARD\r\n")
            << Records{rec(u"Hans Meier"_qs, {}, {}, u"079 555 12 34"_qs)} << Lines{1} << Lines{};
        QTest::newRow("no cell: the first voice number, never a fax")
            << card("FN:A\r\nTEL;TYPE=fax:044 999 99 99\r\nTEL;TYPE=home:044 111 11 11\r\n"
                    "TEL;TYPE=work:044 222 22 22\r\n")
            << Records{rec(u"A"_qs, {}, {}, u"044 111 11 11"_qs)} << Lines{1} << Lines{};
        QTest::newRow("a card without a number, a fax only")
            << card("FN:Nur Fax\r\nTEL;TYPE=fax:044 999 99 99\r\n") << Records{rec(u"Nur Fax"_qs)}
            << Lines{1} << Lines{};
        QTest::newRow("tel URI with extension")
            << card("FN:A\r\nTEL;VALUE=uri;TYPE=cell:tel:+41-79-555-12-34;ext=5\r\n")
            << Records{rec(u"A"_qs, {}, {}, u"+41-79-555-12-34"_qs)} << Lines{1} << Lines{};
        QTest::newRow("quoted-printable Latin-1 with soft line breaks")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\n"
                          "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Gr=FC=\r\n"
                          "sse aus=0D=0AZ=FCrich=\r\n=21\r\nEND:VCARD\r\n")
            << Records{rec(u"A"_qs, {}, {}, {}, u"Grüsse aus\r\nZürich!"_qs)} << Lines{1}
            << Lines{};
        QTest::newRow("quoted-printable UTF-8 as bare 2.1 parameter, N only")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                          "N;CHARSET=UTF-8;QUOTED-PRINTABLE:M=C3=BCller;Hans;Peter;Dr.;jun.\r\n"
                          "END:VCARD\r\n")
            << Records{rec(u"Dr. Hans Peter Müller jun."_qs)} << Lines{1} << Lines{};
        QTest::newRow("Latin-1 bytes without CHARSET")
            << card("FN:J\xFCrg M\xE4"
                    "der\r\nADR:;;Z\xFCrcherstr. 1;Z\xFCrich;;8000;\r\n")
            << Records{rec(u"Jürg Mäder"_qs, u"Zürcherstr. 1"_qs, u"8000 Zürich"_qs)} << Lines{1}
            << Lines{};
        QTest::newRow("Windows-1252 quotes, CHARSET=windows-1252")
            << card("FN;CHARSET=windows-1252:\x84Z\x93 \x80\r\n") << Records{rec(u"„Z“ €"_qs)}
            << Lines{1} << Lines{};
        QTest::newRow("escapes, an empty NOTE")
            << card("FN:Meier\\, Hans\r\nNOTE:\r\nNOTE:a\\, b\\; c\\\\d\\ne\\Nf \\x\r\n")
            << Records{rec(u"Meier, Hans"_qs, {}, {}, {}, u"a, b; c\\d\ne\nf \\x"_qs)} << Lines{1}
            << Lines{};
        QTest::newRow("ADR parts, the preferred filled one, line break in the street")
            << card("FN:A\r\nADR;PREF=1:;;;;;;\r\nADR;TYPE=work:;;Werkstr. 9;Bern;;3000;\r\n"
                    "ADR;TYPE=home;PREF=1:Postfach 12;c/o Huber;Bahnhofstr. 1\\nHinterhaus;"
                    "Z\xC3\xBCrich;ZH;8001;Schweiz\r\n")
            << Records{rec(u"A"_qs, u"Bahnhofstr. 1, Hinterhaus, c/o Huber, Postfach 12"_qs,
                           u"8001 Zürich"_qs)}
            << Lines{1} << Lines{};
        QTest::newRow("ORG when FN and N are empty")
            << card("FN:\r\nN:;;;;\r\nORG:Muster AG;Verkauf\r\nTEL;TYPE=cell:079\r\n")
            << Records{rec(u"Muster AG"_qs, {}, {}, u"079"_qs)} << Lines{1} << Lines{};
        QTest::newRow("several cards, LF, CR and CR LF line ends, UTF-8 BOM")
            << QByteArray("\xEF\xBB\xBF"
                          "BEGIN:VCARD\nVERSION:4.0\nFN:Eins\nEND:VCARD\n"
                          "BEGIN:VCARD\rVERSION:4.0\rFN:Zwei\rEND:VCARD\r"
                          "\r\nbegin:vcard\r\nversion:4.0\r\nfn:Drei\r\nend:vcard")
            << Records{rec(u"Eins"_qs), rec(u"Zwei"_qs), rec(u"Drei"_qs)} << Lines{1, 5, 10}
            << Lines{};
        QTest::newRow("UTF-16 with byte order mark")
            << utf16le(u"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë\r\nEND:VCARD\r\n"_qs)
            << Records{rec(u"Zoë"_qs)} << Lines{1} << Lines{};
        QTest::newRow("runs of lines outside a card, a line without colon")
            << QByteArray("FN:Verloren\r\nName;Ort\r\nBEGIN:VCARD\r\nFN:A\r\nkein Doppelpunkt\r\n"
                          "END:VCARD\r\nNOTE:x\r\nEND:VCARD\r\n")
            << Records{rec(u"A"_qs)} << Lines{3} << Lines{1, 5, 7};
        QTest::newRow("END:VCARD missing before the next card and at the end")
            << QByteArray("BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\nFN:B\r\n")
            << Records{rec(u"A"_qs), rec(u"B"_qs)} << Lines{1, 3} << Lines{3, 3};
        QTest::newRow("bad quoted-printable kept as written")
            << card("NOTE;ENCODING=QUOTED-PRINTABLE:a=ZZb=4\r\n")
            << Records{rec({}, {}, {}, {}, u"a=ZZb=4"_qs)} << Lines{1} << Lines{3};
        QTest::newRow("unknown charset, unknown version")
            << QByteArray("BEGIN:VCARD\r\nVERSION:5.0\r\nFN;CHARSET=KOI8-R:Ivan\r\nEND:VCARD\r\n")
            << Records{rec(u"Ivan"_qs)} << Lines{1} << Lines{2, 3};
        QTest::newRow("an empty card is left out, END without BEGIN")
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:a@b.ch\r\nEND:VCARD\r\nEND:VCARD\r\n")
            << Records{} << Lines{} << Lines{1, 5};
        QTest::newRow("an empty file")
            << QByteArray("\r\n\r\n") << Records{} << Lines{} << Lines{0};
    }

    void readVCards()
    {
        QFETCH(QByteArray, data);
        QFETCH(Records, expected);
        QFETCH(Lines, recordLines);
        QFETCH(Lines, messageLines);

        const ContactImport result = ::readVCards(data);
        QCOMPARE(result.records, expected);
        QCOMPARE(result.lines, recordLines);
        QCOMPARE(::messageLines(result.messages), messageLines);
    }

    void messageText()
    {
        const ContactImport result = ::readVCards("BEGIN:VCARD\r\nFN:A\r\n");
        QCOMPARE(result.messages.size(), 1);
        QVERIFY(result.messages.first().toString().startsWith(u"Zeile 1: END:VCARD fehlt"_qs));
        QCOMPARE((ImportMessage{0, u"Leer"_qs}).toString(), u"Leer"_qs);
    }

    void writeVCard_data()
    {
        QTest::addColumn<ContactRecord>("record");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("all fields, escaped")
            << rec(u"Meier, Hans"_qs, u"Weg 1; 2. Stock"_qs, u"8000 Zürich"_qs, u"079 555 12 34"_qs,
                   u"a\\b\r\nc"_qs)
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Meier\\, Hans\r\nN:Meier\\, Hans;;;;\r\n"
                   "ADR:;;Weg 1\\; 2. Stock;Z\xC3\xBCrich;;8000;\r\n"
                   "TEL;TYPE=cell:079 555 12 34\r\nNOTE:a\\\\b\\nc\r\nEND:VCARD\r\n");
        QTest::newRow("empty fields left out but FN")
            << rec({}) << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nEND:VCARD\r\n");
        QTest::newRow("town without postal code")
            << rec(u"A"_qs, {}, u"Zürich"_qs)
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nN:A;;;;\r\n"
                          "ADR:;;;Z\xC3\xBCrich;;;\r\nEND:VCARD\r\n");
        QTest::newRow("postal code with country prefix, no town")
            << rec(u"A"_qs, {}, u"CH-8000"_qs)
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nN:A;;;;\r\n"
                          "ADR:;;;;;CH-8000;\r\nEND:VCARD\r\n");
        QTest::newRow("two blanks after the code: all of it is the town")
            << rec(u"A"_qs, {}, u"8000  Zürich"_qs)
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nN:A;;;;\r\n"
                          "ADR:;;;8000  Z\xC3\xBCrich;;;\r\nEND:VCARD\r\n");
    }

    void writeVCard()
    {
        QFETCH(ContactRecord, record);
        QFETCH(QByteArray, expected);
        QCOMPARE(writeVCards({record}), expected);
    }

    void vCardFoldsAt75Octets()
    {
        const QString note = u"x"_qs + QString(200, u'ü') + QString(50, u'a');
        const QByteArray out = writeVCards({rec(u"A"_qs, {}, {}, {}, note)});
        QVERIFY(!out.contains("\n\r")); // no lone line feed: every line ends in CR LF
        const QList<QByteArray> lines = out.split('\n');
        QCOMPARE(lines.last(), QByteArray());
        int continuations = 0;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QByteArray line = lines.at(i);
            QVERIFY2(line.endsWith('\r'), line.constData());
            line.chop(1);
            QVERIFY2(line.size() <= 75, line.constData());
            // No UTF-8 sequence is cut: each line decodes on its own.
            QVERIFY(isValidUtf8(line));
            if (line.startsWith(' '))
                ++continuations;
        }
        QCOMPARE(continuations, 6); // 502 octets of "NOTE:…": 75 + 6 × at most 74
        QCOMPARE(::readVCards(out).records.value(0).bemerkungen, note);
    }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("csv");
        QTest::newRow("vCard 4.0") << false;
        QTest::newRow("CSV") << true;
    }

    void roundTrip()
    {
        QFETCH(bool, csv);
        const Records persons = awkwardPersons();
        ContactImport back;
        if (csv) {
            const CsvTable table = ::readCsv(::writeCsv(persons));
            QCOMPARE(table.delimiter, QChar(u';'));
            back = ::recordsFromCsv(table, ::guessCsvRoles(table.header));
        } else {
            back = ::readVCards(writeVCards(persons));
        }
        QCOMPARE(back.records, persons);
        QCOMPARE(back.messages, QList<ImportMessage>{});
    }

    void readCsv_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<Lines>("rowLines");
        QTest::addColumn<Lines>("messageLines");

        QTest::newRow("semicolons, UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBFName;Ort\r\nM\xC3\xBCller;Z\xC3\xBCrich\r\n") << QChar(u';')
            << TextEncoding::Utf8 << QStringList{u"Name"_qs, u"Ort"_qs}
            << Rows{{u"Müller"_qs, u"Zürich"_qs}} << Lines{2} << Lines{};
        QTest::newRow("commas, LF, no BOM")
            << QByteArray("Name,Phone\nMeier,079 555 12 34\nHuber,\n") << QChar(u',')
            << TextEncoding::Utf8 << QStringList{u"Name"_qs, u"Phone"_qs}
            << Rows{{u"Meier"_qs, u"079 555 12 34"_qs}, {u"Huber"_qs, u""_qs}} << Lines{2, 3}
            << Lines{};
        QTest::newRow("commas inside a semicolon file")
            << QByteArray("Name;Adresse\r\nMeier, Hans;Weg 1, Hinterhaus\r\n") << QChar(u';')
            << TextEncoding::Utf8 << QStringList{u"Name"_qs, u"Adresse"_qs}
            << Rows{{u"Meier, Hans"_qs, u"Weg 1, Hinterhaus"_qs}} << Lines{2} << Lines{};
        QTest::newRow("quoted delimiters and doubled quotes")
            << QByteArray("Name,Notiz\r\n\"Meier, Hans\",\"Er sagt \"\"Hallo\"\"; ja\"\r\n")
            << QChar(u',') << TextEncoding::Utf8 << QStringList{u"Name"_qs, u"Notiz"_qs}
            << Rows{{u"Meier, Hans"_qs, u"Er sagt \"Hallo\"; ja"_qs}} << Lines{2} << Lines{};
        QTest::newRow("line breaks inside quotes, empty lines, CR only")
            << QByteArray("Name;Notiz\r\r\"A\";\"Zeile 1\r\nZeile 2\nZeile 3\"\r\n\r\nB;\"\"\r")
            << QChar(u';') << TextEncoding::Utf8 << QStringList{u"Name"_qs, u"Notiz"_qs}
            << Rows{{u"A"_qs, u"Zeile 1\r\nZeile 2\nZeile 3"_qs}, {u"B"_qs, u""_qs}} << Lines{3, 7}
            << Lines{};
        QTest::newRow("Windows-1252 with tabs")
            << QByteArray("Name\tOrt\nM\xFCller\tZ\xFCrich \x80\n") << QChar(u'\t')
            << TextEncoding::Windows1252 << QStringList{u"Name"_qs, u"Ort"_qs}
            << Rows{{u"Müller"_qs, u"Zürich €"_qs}} << Lines{2} << Lines{};
        QTest::newRow("UTF-16 with BOM and tabs")
            << utf16le(u"Name\tNatel\r\nZoë\t079\r\n"_qs) << QChar(u'\t') << TextEncoding::Utf16LE
            << QStringList{u"Name"_qs, u"Natel"_qs} << Rows{{u"Zoë"_qs, u"079"_qs}} << Lines{2}
            << Lines{};
        QTest::newRow("blanks before an opening quote")
            << QByteArray("Name; Notiz\n\"A\";  \"x;y\"\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"Name"_qs, u" Notiz"_qs} << Rows{{u"A"_qs, u"x;y"_qs}} << Lines{2}
            << Lines{};
        QTest::newRow("a stray quote is kept and reported")
            << QByteArray("Name;Notiz\nA;5\" Diskette\n\"B\"x;y\n") << QChar(u';')
            << TextEncoding::Utf8 << QStringList{u"Name"_qs, u"Notiz"_qs}
            << Rows{{u"A"_qs, u"5\" Diskette"_qs}, {u"Bx"_qs, u"y"_qs}} << Lines{2, 3}
            << Lines{2, 3};
        QTest::newRow("a quote that is never closed")
            << QByteArray("Name;Notiz\nA;\"offen\nB;x\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"Name"_qs, u"Notiz"_qs} << Rows{{u"A"_qs, u"offen\nB;x\n"_qs}}
            << Lines{2} << Lines{2};
        QTest::newRow("one column, a quoted empty field is a row")
            << QByteArray("Name\nA\n\n\"\"\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"Name"_qs} << Rows{{u"A"_qs}, {u""_qs}} << Lines{2, 4} << Lines{};
        QTest::newRow("Excel's sep= line")
            << QByteArray("sep=,\r\nName;Ort,Natel\r\nA;B,079\r\n") << QChar(u',')
            << TextEncoding::Utf8 << QStringList{u"Name;Ort"_qs, u"Natel"_qs}
            << Rows{{u"A;B"_qs, u"079"_qs}} << Lines{3} << Lines{};
        QTest::newRow("an empty file")
            << QByteArray("\xEF\xBB\xBF") << QChar(u';') << TextEncoding::Utf8 << QStringList{}
            << Rows{} << Lines{} << Lines{0};
    }

    void readCsv()
    {
        QFETCH(QByteArray, data);
        QFETCH(QChar, delimiter);
        QFETCH(TextEncoding, encoding);
        QFETCH(QStringList, header);
        QFETCH(Rows, rows);
        QFETCH(Lines, rowLines);
        QFETCH(Lines, messageLines);

        const CsvTable table = ::readCsv(data);
        QCOMPARE(table.delimiter, delimiter);
        QCOMPARE(table.encoding, encoding);
        QCOMPARE(table.header, header);
        QCOMPARE(table.rows, rows);
        QCOMPARE(table.rowLines, rowLines);
        QCOMPARE(::messageLines(table.messages), messageLines);
    }

    void readCsvAsTheUserSays()
    {
        // Detection says UTF-8 and ';'; the user knows better.
        const QByteArray data("\xEF\xBB\xBFName,Ort;X\nA,B;C\n");
        const CsvTable table = ::readCsv(data, QChar(u','), TextEncoding::Windows1252);
        QCOMPARE(table.header, (QStringList{u"ï»¿Name"_qs, u"Ort;X"_qs}));
        QCOMPARE(table.rows, (Rows{{u"A"_qs, u"B;C"_qs}}));
    }

    void guessCsvRoles_data()
    {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<Roles>("roles");

        QTest::newRow("German, apart")
            << QStringList{u"Vorname"_qs, u"Nachname"_qs, u"Strasse"_qs,    u"PLZ"_qs,
                           u"Ort"_qs,     u"Natel"_qs,    u"Bemerkungen"_qs}
            << Roles{CsvRole::GivenName, CsvRole::Surname,     CsvRole::Adresse,    CsvRole::PLZ,
                     CsvRole::Ort,       CsvRole::NatelNummer, CsvRole::Bemerkungen};
        QTest::newRow("Name beside Vorname is the family name")
            << QStringList{u"Name"_qs,    u"Vorname"_qs, u"Straße"_qs, u"PLZ/Ort"_qs,
                           u"Telefon"_qs, u"Handy"_qs,   u"Notiz"_qs}
            << Roles{CsvRole::Surname, CsvRole::GivenName,   CsvRole::Adresse,    CsvRole::PLZOrt,
                     CsvRole::Ignore,  CsvRole::NatelNummer, CsvRole::Bemerkungen};
        QTest::newRow("English, mail and fax never chosen")
            << QStringList{u"First Name"_qs,   u"Last Name"_qs,        u"Home Street"_qs,
                           u"Home City"_qs,    u"Home Postal Code"_qs, u"Home Phone"_qs,
                           u"Mobile Phone"_qs, u"Business Fax"_qs,     u"E-mail Address"_qs,
                           u"Notes"_qs}
            << Roles{CsvRole::GivenName, CsvRole::Surname,    CsvRole::Adresse,     CsvRole::Ort,
                     CsvRole::PLZ,       CsvRole::Ignore,     CsvRole::NatelNummer, CsvRole::Ignore,
                     CsvRole::Ignore,    CsvRole::Bemerkungen};
        QTest::newRow("full name, type columns, street over whole address")
            << QStringList{u"Name"_qs,
                           u"Given Name"_qs,
                           u"Family Name"_qs,
                           u"Phone 1 - Type"_qs,
                           u"Phone 1 - Value"_qs,
                           u"Address 1 - Formatted"_qs,
                           u"Address 1 - Street"_qs,
                           u"ZIP"_qs,
                           u"City"_qs}
            << Roles{CsvRole::Name,    CsvRole::GivenName,   CsvRole::Surname,
                     CsvRole::Ignore,  CsvRole::NatelNummer, CsvRole::Ignore,
                     CsvRole::Adresse, CsvRole::PLZ,         CsvRole::Ort};
        QTest::newRow("our own export") << QStringList{u"Name"_qs, u"Adresse"_qs, u"PLZOrt"_qs,
                                                       u"NatelNummer"_qs, u"Bemerkungen"_qs}
                                        << Roles{CsvRole::Name, CsvRole::Adresse, CsvRole::PLZOrt,
                                                 CsvRole::NatelNummer, CsvRole::Bemerkungen};
        QTest::newRow("two of a kind: the first")
            << QStringList{u"Mobil"_qs, u"Natel"_qs, u"Firma"_qs, u""_qs}
            << Roles{CsvRole::NatelNummer, CsvRole::Ignore, CsvRole::Ignore, CsvRole::Ignore};
    }

    void guessCsvRoles()
    {
        QFETCH(QStringList, header);
        QFETCH(Roles, roles);
        QCOMPARE(::guessCsvRoles(header), roles);
    }

    void csvRoleLabels()
    {
        const QList<CsvRole> roles = csvRoles();
        QCOMPARE(roles.size(), 10);
        QCOMPARE(roles.first(), CsvRole::Ignore);
        QStringList labels;
        for (CsvRole role : roles)
            labels.append(csvRoleLabel(role));
        labels.removeDuplicates();
        QCOMPARE(labels.size(), 10);
        QCOMPARE(csvRoleLabel(CsvRole::PLZOrt), u"PLZ und Ort"_qs);
    }

    void recordsFromCsv_data()
    {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<Roles>("roles");
        QTest::addColumn<Records>("expected");
        QTest::addColumn<Lines>("messageLines");

        const QStringList five{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs};
        QTest::newRow("first and last name, postal code and town")
            << five << Rows{{u"Meier"_qs, u"Hans"_qs, u"Zürich"_qs, u"8000"_qs, u"Weg 1"_qs}}
            << Roles{CsvRole::Surname, CsvRole::GivenName, CsvRole::Ort, CsvRole::PLZ,
                     CsvRole::Adresse}
            << Records{rec(u"Hans Meier"_qs, u"Weg 1"_qs, u"8000 Zürich"_qs)} << Lines{};
        QTest::newRow("a name column before the parts, parts when it is empty")
            << five
            << Rows{{u"Hans Meier"_qs, u"X"_qs, u"Y"_qs, u"8000"_qs, u""_qs},
                    {u""_qs, u"Anna"_qs, u""_qs, u""_qs, u"Bern"_qs}}
            << Roles{CsvRole::Name, CsvRole::GivenName, CsvRole::Surname, CsvRole::PLZ,
                     CsvRole::Ort}
            << Records{rec(u"Hans Meier"_qs, {}, u"8000"_qs), rec(u"Anna"_qs, {}, u"Bern"_qs)}
            << Lines{};
        QTest::newRow("several number and note columns")
            << five << Rows{{u"A"_qs, u""_qs, u"079 1"_qs, u"eins"_qs, u"zwei"_qs}}
            << Roles{CsvRole::Name, CsvRole::NatelNummer, CsvRole::NatelNummer,
                     CsvRole::Bemerkungen, CsvRole::Bemerkungen}
            << Records{rec(u"A"_qs, {}, {}, u"079 1"_qs, u"eins\nzwei"_qs)} << Lines{};
        QTest::newRow("line breaks in one-line fields, short and long rows")
            << QStringList{u"a"_qs, u"b"_qs}
            << Rows{{u"Weg 1 \r\nHinterhaus\n"_qs}, {u"B"_qs, u"x\ny"_qs, u"überzählig"_qs}}
            << Roles{CsvRole::Adresse, CsvRole::Bemerkungen}
            << Records{rec({}, u"Weg 1, Hinterhaus"_qs), rec({}, u"B"_qs, {}, {}, u"x\ny"_qs)}
            << Lines{3};
        QTest::newRow("empty rows quietly, rows with only unread values with a message")
            << five << Rows{{u""_qs, u""_qs}, {u"Firma"_qs, u""_qs}, {u""_qs, u"A"_qs}}
            << Roles{CsvRole::Ignore, CsvRole::Name} << Records{rec(u"A"_qs)} << Lines{3};
    }

    void recordsFromCsv()
    {
        QFETCH(QStringList, header);
        QFETCH(Rows, rows);
        QFETCH(Roles, roles);
        QFETCH(Records, expected);
        QFETCH(Lines, messageLines);

        CsvTable table;
        table.header = header;
        table.rows = rows;
        for (int i = 0; i < rows.size(); ++i)
            table.rowLines.append(i + 2);
        const ContactImport result = ::recordsFromCsv(table, roles);
        QCOMPARE(result.records, expected);
        QCOMPARE(::messageLines(result.messages), messageLines);
    }

    void writeCsv()
    {
        const QByteArray out = ::writeCsv(
            {rec(u"Meier; Hans"_qs, u"Weg \"1\""_qs, u"8000 Zürich"_qs, u" 079"_qs, u"a\r\nb"_qs),
             rec(u"A"_qs)});
        QCOMPARE(out, QByteArray("\xEF\xBB\xBFName;Adresse;PLZOrt;NatelNummer;Bemerkungen\r\n"
                                 "\"Meier; Hans\";\"Weg \"\"1\"\"\";8000 Z\xC3\xBCrich;\" 079\";"
                                 "\"a\r\nb\"\r\nA;;;;\r\n"));
    }

    void phoneKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("mobile");

        QTest::newRow("national") << u"079 555 12 34"_qs << u"+41795551234"_qs << true;
        QTest::newRow("international") << u"+41 79 555 12 34"_qs << u"+41795551234"_qs << true;
        QTest::newRow("00 prefix") << u"0041795551234"_qs << u"+41795551234"_qs << true;
        QTest::newRow("digits of an international number")
            << u"41795551234"_qs << u"+41795551234"_qs << true;
        QTest::newRow("(0) and punctuation")
            << u"+41 (0)79/555.12-34"_qs << u"+41795551234"_qs << true;
        QTest::newRow("fixed line") << u"044 123 45 67"_qs << u"+41441234567"_qs << false;
        QTest::newRow("free number") << u"0800 123 456"_qs << u"+41800123456"_qs << false;
        QTest::newRow("German mobile") << u"+49 171 1234567"_qs << u"+491711234567"_qs << true;
        QTest::newRow("a digit short") << u"079 555 12 3"_qs << QString() << false;
        QTest::newRow("too short") << u"12"_qs << QString() << false;
        QTest::newRow("letters") << u"Natel"_qs << QString() << false;
        QTest::newRow("empty") << QString() << QString() << false;
    }

    void phoneKey()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(bool, mobile);

        const PhoneKey::NumberInfo info = PhoneKey::analyse(text);
        QCOMPARE(info.key.value_or(QString()), key);
        QCOMPARE(info.key.has_value(), !key.isEmpty());
        QCOMPARE(info.mobile, mobile);
        QCOMPARE(PhoneKey::key(text), info.key);
        QCOMPARE(PhoneKey::isMobile(text), mobile);
    }

    void planImport()
    {
        const QList<ExistingPerson> existing{
            {7, u"044 123 45 67"_qs},
            {3, u"079 555 12 34"_qs},
            {9, u"+41 79 555 12 34"_qs}, // the same number stored twice: the first counts
            {4, u""_qs},
        };
        struct Expected
        {
            QString number;
            ImportStatus status;
            qint64 match;
            int first;
            bool mobile;
        };
        const QList<Expected> cases{
            {u"0041795551234"_qs, ImportStatus::Match, 3, -1, true},
            {u"078 000 00 01"_qs, ImportStatus::New, 0, -1, true},
            {u"+41 78 000 00 01"_qs, ImportStatus::RepeatInFile, 0, 1, true},
            {u""_qs, ImportStatus::NoNumber, 0, -1, false},
            {u"Natel"_qs, ImportStatus::NoNumber, 0, -1, false},
            {u"044 123 45 67"_qs, ImportStatus::Match, 7, -1, false},
            {u"079 555 12 34"_qs, ImportStatus::Match, 3, -1, true},
            {u"0441234568"_qs, ImportStatus::New, 0, -1, false},
        };
        Records records;
        for (const Expected &c : cases)
            records.append(rec(u"P"_qs, {}, {}, c.number));

        const ImportPlan plan = ::planImport(existing, records);
        QCOMPARE(plan.items.size(), cases.size());
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const PlannedContact &item = plan.items.at(i);
            const QByteArray row = cases.at(i).number.toUtf8();
            QVERIFY2(item.status == cases.at(i).status, row.constData());
            QCOMPARE(item.matchDsNummer, cases.at(i).match);
            QCOMPARE(item.firstIndex, cases.at(i).first);
            QCOMPARE(item.mobile, cases.at(i).mobile);
            QCOMPARE(item.numberKey.isEmpty(), cases.at(i).status == ImportStatus::NoNumber);
        }
        QCOMPARE(plan.count(ImportStatus::New), 2);
        QCOMPARE(plan.count(ImportStatus::Match), 3);
        QCOMPARE(plan.count(ImportStatus::RepeatInFile), 1);
        QCOMPARE(plan.count(ImportStatus::NoNumber), 2);
    }

    void mergeFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("hasField");

        QTest::newRow("no braces") << u"Hallo zusammen"_qs << u"Hallo zusammen"_qs << false;
        QTest::newRow("all four fields") << u"{Name}, {Adresse}, {PLZOrt}: {Bemerkungen}"_qs
                                         << u"Meier Hans, Weg 1, : VIP"_qs << true;
        QTest::newRow("a field twice, any case")
            << u"{name}/{NAME}"_qs << u"Meier Hans/Meier Hans"_qs << true;
        QTest::newRow("a missing value") << u"Hallo {PLZOrt}!"_qs << u"Hallo !"_qs << true;
        QTest::newRow("braces that are not fields")
            << u"{Natel} { Name } {} {Name {x} } {PLZ"_qs
            << u"{Natel} { Name } {} {Name {x} } {PLZ"_qs << false;
        QTest::newRow("a field inside extra braces")
            << u"{{Name}}"_qs << u"{Meier Hans}"_qs << true;
        QTest::newRow("a value is not merged again")
            << u"{Adresse} {Name}"_qs << u"Weg 1 Meier Hans"_qs << true;
    }

    void mergeFields()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(bool, hasField);
        const ContactRecord person =
            rec(u"Meier Hans"_qs, u"Weg 1"_qs, QString(), u"079"_qs, u"VIP"_qs);
        QCOMPARE(MergeFields::merge(text, person), expected);
        QCOMPARE(MergeFields::containsField(text), hasField);
        // A value that looks like a field stays as it is.
        QCOMPARE(MergeFields::merge(u"{Name}"_qs, rec(u"{Adresse}"_qs, u"X"_qs)), u"{Adresse}"_qs);
    }

    void longestOverLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lineBreakIsTwo");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<qsizetype>("length");

        const QString base(150, u'x');
        // Names of 6, 13 and 10 characters; notes of 4 and 10 with a line break.
        QTest::newRow("all fit") << base.left(140) + u"{Name}"_qs << false << qsizetype(-1)
                                 << qsizetype(0);
        QTest::newRow("the longest of two too long")
            << base + u" {Name}"_qs << false << qsizetype(1) << qsizetype(164);
        QTest::newRow("exactly 160 fits")
            << base.left(147) + u"{Name}"_qs << false << qsizetype(-1) << qsizetype(0);
        QTest::newRow("a line break counted twice")
            << base + u"{Bemerkungen}"_qs << true << qsizetype(1) << qsizetype(161);
        QTest::newRow("the same text counted by characters")
            << base + u"{Bemerkungen}"_qs << false << qsizetype(-1) << qsizetype(0);
        QTest::newRow("no field: the text itself")
            << QString(161, u'y') << false << qsizetype(0) << qsizetype(161);
    }

    void longestOverLimit()
    {
        QFETCH(QString, text);
        QFETCH(bool, lineBreakIsTwo);
        QFETCH(qsizetype, index);
        QFETCH(qsizetype, length);

        const Records recipients{rec(u"Keller"_qs, {}, {}, u"079 1"_qs, u"kurz"_qs),
                                 rec(u"Brändli-Huber"_qs, {}, {}, u"079 2"_qs, u"ab\ncdefghi"_qs),
                                 rec(u"Sommerhald"_qs, {}, {}, u"079 3"_qs)};
        MergeFields::Measure measure;
        if (lineBreakIsTwo)
            measure = [](QStringView t) { return t.size() + t.count(u'\n'); };
        const auto overflow = MergeFields::longestOverLimit(text, recipients, 160, measure);
        QCOMPARE(overflow.has_value(), index >= 0);
        if (!overflow)
            return;
        QCOMPARE(overflow->index, index);
        QCOMPARE(overflow->length, length);
        QCOMPARE(overflow->name, recipients.at(index).name);
        QVERIFY(MergeFields::overLimitMessage(*overflow).contains(
            u"«"_qs + recipients.at(index).name + u"» ist mit den eingesetzten Feldern "_qs +
            QString::number(length) + u" Zeichen lang"_qs));
    }

    void overLimitMessageWithoutName()
    {
        const auto overflow =
            MergeFields::longestOverLimit(QString(150, u'x') + u"{Adresse}"_qs,
                                          {rec({}, u"Bahnhofstrasse 1"_qs, {}, u"079 9"_qs)});
        QVERIFY(overflow);
        QVERIFY(MergeFields::overLimitMessage(*overflow).contains(
            u"für die Person mit der Natel-Nummer 079 9 ist"_qs));
    }
};

QTEST_GUILESS_MAIN(TestContacts)
#include "tst_contacts.moc"
