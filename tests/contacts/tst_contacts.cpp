#include "contactfile.h"
#include "csvformat.h"
#include "importplan.h"
#include "mergefields.h"
#include "phonekey.h"
#include "vcardformat.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

char *toString(const ContactRecord &r)
{
    return QTest::toString(u"{"_s + r.name + u" | "_s + r.adresse + u" | "_s + r.plzOrt + u" | "_s +
                           r.natelNummer + u" | "_s + r.bemerkungen + u"}"_s);
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
        rec(u"Meier, Hans"_s, u"Bahnhofstrasse 1; Hinterhaus"_s, u"8000 Zürich"_s,
            u"079 555 12 34"_s, u"Sagt \"Grüezi\"\nzweite Zeile; mit \\ und ,"_s),
        rec(u"Élodie Brändli-Çelik"_s, QString(), u"CH-1700 Fribourg"_s, u"+41 78 000 00 00"_s),
        rec(u"Ohne Nummer"_s, u"Weg 3"_s, u"Zürich"_s),
        rec(u"Zwei  Blanks"_s, QString(), u"8000  Zürich"_s, u"0041795551234"_s,
            QString(120, u'ä') + u" Ende"_s),
        rec(u" führender Blank"_s, QString(), u"9490"_s, QString(), u"€ „Zitat“"_s),
        // Formula signs a spreadsheet would run, also behind apostrophes.
        rec(u"=HYPERLINK(\"x\")"_s, u"-1 Untergeschoss"_s, u"@home"_s, u"+41 79 555 12 34"_s,
            u"\tEinzug"_s),
        rec(u"'=1+1"_s, u"''-"_s, u"'"_s, u"'079"_s, u"'+"_s),
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
            << Records{rec(u"Hans Meier"_s, {}, {}, {}, u"Grüsse"_s)} << Lines{1} << Lines{};
        QTest::newRow("several TEL: cell with the lowest PREF wins")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nTEL;TYPE=work:044 111 11 11\r\n"
                          "TEL;TYPE=\"voice,cell\";PREF=2:079 222 22 22\r\n"
                          "TEL;TYPE=cell;PREF=1:078 333 33 33\r\nEND:VCARD\r\n")
            << Records{rec(u"A"_s, {}, {}, u"078 333 33 33"_s)} << Lines{1} << Lines{};
        QTest::newRow("TYPE=CELL after a home number, TYPE=pref among cells")
            << card("FN:A\r\nTEL;TYPE=HOME,VOICE:044 111 11 11\r\nTEL;TYPE=CELL:079 111 11 11\r\n"
                    "TEL;TYPE=CELL;TYPE=pref:079 222 22 22\r\nTEL;TYPE=CELL:079 333 33 33\r\n")
            << Records{rec(u"A"_s, {}, {}, u"079 222 22 22"_s)} << Lines{1} << Lines{};
        QTest::newRow("2.1 bare types, grouped property")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Meier;Hans\r\nTEL;HOME:044 1\r\n"
                          "item1.TEL;CELL:079 555 12 34\r\nEND:VCARD\r\n")
            << Records{rec(u"Hans Meier"_s, {}, {}, u"079 555 12 34"_s)} << Lines{1} << Lines{};
        QTest::newRow("no cell: the first voice number, never a fax")
            << card("FN:A\r\nTEL;TYPE=fax:044 999 99 99\r\nTEL;TYPE=home:044 111 11 11\r\n"
                    "TEL;TYPE=work:044 222 22 22\r\n")
            << Records{rec(u"A"_s, {}, {}, u"044 111 11 11"_s)} << Lines{1} << Lines{};
        QTest::newRow("a card without a number, a fax only")
            << card("FN:Nur Fax\r\nTEL;TYPE=fax:044 999 99 99\r\n") << Records{rec(u"Nur Fax"_s)}
            << Lines{1} << Lines{};
        QTest::newRow("tel URI with extension")
            << card("FN:A\r\nTEL;VALUE=uri;TYPE=cell:tel:+41-79-555-12-34;ext=5\r\n")
            << Records{rec(u"A"_s, {}, {}, u"+41-79-555-12-34"_s)} << Lines{1} << Lines{};
        QTest::newRow("quoted-printable Latin-1 with soft line breaks")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\n"
                          "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Gr=FC=\r\n"
                          "sse aus=0D=0AZ=FCrich=\r\n=21\r\nEND:VCARD\r\n")
            << Records{rec(u"A"_s, {}, {}, {}, u"Grüsse aus\r\nZürich!"_s)} << Lines{1} << Lines{};
        QTest::newRow("quoted-printable: a blank after a soft break is kept")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN;QUOTED-PRINTABLE:Hans=\r\n"
                          " Peter=\r\n\tMeier\r\nEND:VCARD\r\n")
            << Records{rec(u"Hans Peter\tMeier"_s)} << Lines{1} << Lines{};
        QTest::newRow("ISO-8859-15: euro and the other seven signs it changes")
            << card("NOTE;CHARSET=ISO-8859-15:\xA4 \xA6\xA8\xB4\xB8\xBC\xBD\xBE \xE4\r\n")
            << Records{rec({}, {}, {}, {}, u"€ ŠšŽžŒœŸ ä"_s)} << Lines{1} << Lines{};
        QTest::newRow("quoted-printable UTF-8 as bare 2.1 parameter, N only")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                          "N;CHARSET=UTF-8;QUOTED-PRINTABLE:M=C3=BCller;Hans;Peter;Dr.;jun.\r\n"
                          "END:VCARD\r\n")
            << Records{rec(u"Dr. Hans Peter Müller jun."_s)} << Lines{1} << Lines{};
        QTest::newRow("Latin-1 bytes without CHARSET")
            << card("FN:J\xFCrg M\xE4"
                    "der\r\nADR:;;Z\xFCrcherstr. 1;Z\xFCrich;;8000;\r\n")
            << Records{rec(u"Jürg Mäder"_s, u"Zürcherstr. 1"_s, u"8000 Zürich"_s)} << Lines{1}
            << Lines{};
        QTest::newRow("Windows-1252 quotes, CHARSET=windows-1252")
            << card("FN;CHARSET=windows-1252:\x84Z\x93 \x80\r\n") << Records{rec(u"„Z“ €"_s)}
            << Lines{1} << Lines{};
        QTest::newRow("escapes, an empty NOTE")
            << card("FN:Meier\\, Hans\r\nNOTE:\r\nNOTE:a\\, b\\; c\\\\d\\ne\\Nf \\x\r\n")
            << Records{rec(u"Meier, Hans"_s, {}, {}, {}, u"a, b; c\\d\ne\nf \\x"_s)} << Lines{1}
            << Lines{};
        QTest::newRow("ADR parts, the preferred filled one, line break in the street")
            << card("FN:A\r\nADR;PREF=1:;;;;;;\r\nADR;TYPE=work:;;Werkstr. 9;Bern;;3000;\r\n"
                    "ADR;TYPE=home;PREF=1:Postfach 12;c/o Huber;Bahnhofstr. 1\\nHinterhaus;"
                    "Z\xC3\xBCrich;ZH;8001;Schweiz\r\n")
            << Records{rec(u"A"_s, u"Bahnhofstr. 1, Hinterhaus, c/o Huber, Postfach 12"_s,
                           u"8001 Zürich"_s)}
            << Lines{1} << Lines{};
        QTest::newRow("ORG when FN and N are empty")
            << card("FN:\r\nN:;;;;\r\nORG:Muster AG;Verkauf\r\nTEL;TYPE=cell:079\r\n")
            << Records{rec(u"Muster AG"_s, {}, {}, u"079"_s)} << Lines{1} << Lines{};
        QTest::newRow("several cards, LF, CR and CR LF line ends, UTF-8 BOM")
            << QByteArray("\xEF\xBB\xBF"
                          "BEGIN:VCARD\nVERSION:4.0\nFN:Eins\nEND:VCARD\n"
                          "BEGIN:VCARD\rVERSION:4.0\rFN:Zwei\rEND:VCARD\r"
                          "\r\nbegin:vcard\r\nversion:4.0\r\nfn:Drei\r\nend:vcard")
            << Records{rec(u"Eins"_s), rec(u"Zwei"_s), rec(u"Drei"_s)} << Lines{1, 5, 10}
            << Lines{};
        QTest::newRow("UTF-16 with byte order mark")
            << utf16le(u"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë\r\nEND:VCARD\r\n"_s)
            << Records{rec(u"Zoë"_s)} << Lines{1} << Lines{};
        QTest::newRow("runs of lines outside a card, a line without colon")
            << QByteArray("FN:Verloren\r\nName;Ort\r\nBEGIN:VCARD\r\nFN:A\r\nkein Doppelpunkt\r\n"
                          "END:VCARD\r\nNOTE:x\r\nEND:VCARD\r\n")
            << Records{rec(u"A"_s)} << Lines{3} << Lines{1, 5, 7};
        QTest::newRow("END:VCARD missing before the next card and at the end")
            << QByteArray("BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\nFN:B\r\n")
            << Records{rec(u"A"_s), rec(u"B"_s)} << Lines{1, 3} << Lines{3, 3};
        QTest::newRow("bad quoted-printable kept as written")
            << card("NOTE;ENCODING=QUOTED-PRINTABLE:a=ZZb=4\r\n")
            << Records{rec({}, {}, {}, {}, u"a=ZZb=4"_s)} << Lines{1} << Lines{3};
        QTest::newRow("unknown charset, unknown version")
            << QByteArray("BEGIN:VCARD\r\nVERSION:5.0\r\nFN;CHARSET=KOI8-R:Ivan\r\nEND:VCARD\r\n")
            << Records{rec(u"Ivan"_s)} << Lines{1} << Lines{2, 3};
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

    // A file of broken lines keeps its first messages and counts the rest.
    void messagesCapped_data()
    {
        QTest::addColumn<bool>("csv");
        QTest::addColumn<int>("broken");
        QTest::addColumn<int>("kept");
        QTest::addColumn<qsizetype>("more");
        QTest::newRow("vCard, one under") << false << 99 << 99 << qsizetype(0);
        QTest::newRow("vCard, far over") << false << 5000 << 100 << qsizetype(4900);
        QTest::newRow("CSV, exactly") << true << 100 << 100 << qsizetype(0);
        QTest::newRow("CSV, one over") << true << 101 << 100 << qsizetype(1);
    }
    void messagesCapped()
    {
        QFETCH(bool, csv);
        QFETCH(int, broken);
        QFETCH(int, kept);
        QFETCH(qsizetype, more);
        // CSV: each row has a field past the header. vCard: a card, its
        // lines without a colon, no END:VCARD (the last message).
        const ContactImport result =
            csv ? ::recordsFromCsv(
                      ::readCsv("Name;Natel\n" + QByteArray("a;1;x\n").repeated(broken)),
                      {CsvRole::Name, CsvRole::NatelNummer})
                : ::readVCards("BEGIN:VCARD\nFN:A\n" + QByteArray("x\n").repeated(broken - 1));
        QCOMPARE(result.records.size(), csv ? broken : 1);
        QCOMPARE(result.messages.size(), kept);
        QCOMPARE(result.moreMessages, more);
        QCOMPARE(result.messages.constFirst().line, csv ? 2 : 3);
    }

    void looksBinary_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("binary");
        const QByteArray text = QByteArray("Name;Natel\r\nAnna;079\r\n").repeated(400);
        const auto spoiled = [&text](int percent, char byte) {
            QByteArray data = text;
            for (qsizetype i = 0; i < data.size(); i += 100) {
                for (int j = 0; j < percent; ++j)
                    data[i + j] = byte;
            }
            return data;
        };
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("plain text") << text << false;
        QTest::newRow("tabs, form feeds, CR and LF only")
            << QByteArray("\t\f\r\n").repeated(1000) << false;
        QTest::newRow("UTF-16 with its mark: NULs between letters")
            << utf16le(QString::fromLatin1(text)) << false;
        QTest::newRow("4% NUL") << spoiled(4, '\0') << false;
        QTest::newRow("6% NUL") << spoiled(6, '\0') << true;
        QTest::newRow("6% escape codes") << spoiled(6, '\x1B') << true;
        QTest::newRow("6% DEL") << spoiled(6, '\x7F') << true;
        QTest::newRow("all NUL") << QByteArray(1 << 20, '\0') << true;
        QTest::newRow("NULs only past the first 64 KiB")
            << text.repeated(8) + QByteArray(1 << 20, '\0') << false;
    }
    void looksBinary()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, binary);
        QCOMPARE(::looksBinary(data), binary);
    }

    void messageText()
    {
        const ContactImport result = ::readVCards("BEGIN:VCARD\r\nFN:A\r\n");
        QCOMPARE(result.messages.size(), 1);
        QVERIFY(result.messages.first().toString().startsWith(u"Zeile 1: END:VCARD fehlt"_s));
        QCOMPARE((ImportMessage{0, u"Leer"_s}).toString(), u"Leer"_s);
    }

    void writeVCard_data()
    {
        QTest::addColumn<ContactRecord>("record");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("all fields, escaped")
            << rec(u"Meier, Hans"_s, u"Weg 1; 2. Stock"_s, u"8000 Zürich"_s, u"079 555 12 34"_s,
                   u"a\\b\r\nc"_s)
            << QByteArray(
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Meier\\, Hans\r\nN:Meier\\, Hans;;;;\r\n"
                   "ADR:;;Weg 1\\; 2. Stock;Z\xC3\xBCrich;;8000;\r\n"
                   "TEL;TYPE=cell:079 555 12 34\r\nNOTE:a\\\\b\\nc\r\nEND:VCARD\r\n");
        QTest::newRow("empty fields left out but FN")
            << rec({}) << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nEND:VCARD\r\n");
        QTest::newRow("town without postal code")
            << rec(u"A"_s, {}, u"Zürich"_s)
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nN:A;;;;\r\n"
                          "ADR:;;;Z\xC3\xBCrich;;;\r\nEND:VCARD\r\n");
        QTest::newRow("postal code with country prefix, no town")
            << rec(u"A"_s, {}, u"CH-8000"_s)
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nN:A;;;;\r\n"
                          "ADR:;;;;;CH-8000;\r\nEND:VCARD\r\n");
        QTest::newRow("two blanks after the code: all of it is the town")
            << rec(u"A"_s, {}, u"8000  Zürich"_s)
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
        const QString note = u"x"_s + QString(200, u'ü') + QString(50, u'a');
        const QByteArray out = writeVCards({rec(u"A"_s, {}, {}, {}, note)});
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

    void fileFormat_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("csv");
        const QByteArray vcard = card("FN:Anna\r\n");
        const QByteArray csv = "Name;Natel\r\nAnna;079 1\r\n";
        QTest::newRow(".vcf") << u"kontakte.VCF"_s << csv << false;
        QTest::newRow(".vcard") << u"a.vcard"_s << csv << false;
        QTest::newRow(".csv") << u"kontakte.csv"_s << vcard << true;
        QTest::newRow(".txt") << u"export.txt"_s << vcard << true;
        QTest::newRow("no extension, a card") << u"kontakte"_s << "\r\n" + vcard << false;
        QTest::newRow("no extension, UTF-16 card")
            << u"kontakte.dat"_s << utf16le(QString::fromLatin1(vcard)) << false;
        QTest::newRow("no extension, rows") << u"kontakte"_s << csv << true;
        QTest::newRow("card beyond the first 4 KB")
            << u"kontakte"_s << QByteArray(5000, ' ') + vcard << true;
    }

    void fileFormat()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, data);
        QFETCH(bool, csv);
        QCOMPARE(contactFileFormat(fileName, data) == ContactFileFormat::Csv, csv);
    }

    void exportFormat_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("csv");
        QTest::newRow("vCard filter, no extension")
            << u"/t/kontakte"_s << 0 << u"/t/kontakte.vcf"_s << false;
        QTest::newRow("CSV filter, no extension")
            << u"/t/kontakte"_s << 1 << u"/t/kontakte.csv"_s << true;
        QTest::newRow("extension beats filter") << u"/t/k.CSV"_s << 0 << u"/t/k.CSV"_s << true;
        QTest::newRow(".vcard kept") << u"/t/k.vcard"_s << 1 << u"/t/k.vcard"_s << false;
        QTest::newRow("other extension") << u"/t/k.2024"_s << 1 << u"/t/k.2024.csv"_s << true;
    }

    void exportFormat()
    {
        QFETCH(QString, fileName);
        QFETCH(int, filter);
        QFETCH(QString, written);
        QFETCH(bool, csv);
        QCOMPARE(::exportFormat(&fileName, filter) == ContactFileFormat::Csv, csv);
        QCOMPARE(fileName, written);
        // What the chosen format writes is what that format reads back.
        const Records persons = awkwardPersons();
        const QByteArray bytes =
            contactFileBytes(persons, csv ? ContactFileFormat::Csv : ContactFileFormat::VCard);
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBFName;"), csv);
        QCOMPARE(contactFileFormat(u"x"_s, bytes) == ContactFileFormat::Csv, csv);
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
            << TextEncoding::Utf8 << QStringList{u"Name"_s, u"Ort"_s}
            << Rows{{u"Müller"_s, u"Zürich"_s}} << Lines{2} << Lines{};
        QTest::newRow("commas, LF, no BOM")
            << QByteArray("Name,Phone\nMeier,079 555 12 34\nHuber,\n") << QChar(u',')
            << TextEncoding::Utf8 << QStringList{u"Name"_s, u"Phone"_s}
            << Rows{{u"Meier"_s, u"079 555 12 34"_s}, {u"Huber"_s, u""_s}} << Lines{2, 3}
            << Lines{};
        QTest::newRow("commas inside a semicolon file")
            << QByteArray("Name;Adresse\r\nMeier, Hans;Weg 1, Hinterhaus\r\n") << QChar(u';')
            << TextEncoding::Utf8 << QStringList{u"Name"_s, u"Adresse"_s}
            << Rows{{u"Meier, Hans"_s, u"Weg 1, Hinterhaus"_s}} << Lines{2} << Lines{};
        QTest::newRow("quoted delimiters and doubled quotes")
            << QByteArray("Name,Notiz\r\n\"Meier, Hans\",\"Er sagt \"\"Hallo\"\"; ja\"\r\n")
            << QChar(u',') << TextEncoding::Utf8 << QStringList{u"Name"_s, u"Notiz"_s}
            << Rows{{u"Meier, Hans"_s, u"Er sagt \"Hallo\"; ja"_s}} << Lines{2} << Lines{};
        QTest::newRow("line breaks inside quotes, empty lines, CR only")
            << QByteArray("Name;Notiz\r\r\"A\";\"Zeile 1\r\nZeile 2\nZeile 3\"\r\n\r\nB;\"\"\r")
            << QChar(u';') << TextEncoding::Utf8 << QStringList{u"Name"_s, u"Notiz"_s}
            << Rows{{u"A"_s, u"Zeile 1\r\nZeile 2\nZeile 3"_s}, {u"B"_s, u""_s}} << Lines{3, 7}
            << Lines{};
        QTest::newRow("Windows-1252 with tabs")
            << QByteArray("Name\tOrt\nM\xFCller\tZ\xFCrich \x80\n") << QChar(u'\t')
            << TextEncoding::Windows1252 << QStringList{u"Name"_s, u"Ort"_s}
            << Rows{{u"Müller"_s, u"Zürich €"_s}} << Lines{2} << Lines{};
        QTest::newRow("UTF-16 with BOM and tabs")
            << utf16le(u"Name\tNatel\r\nZoë\t079\r\n"_s) << QChar(u'\t') << TextEncoding::Utf16LE
            << QStringList{u"Name"_s, u"Natel"_s} << Rows{{u"Zoë"_s, u"079"_s}} << Lines{2}
            << Lines{};
        QTest::newRow("blanks before an opening quote")
            << QByteArray("Name; Notiz\n\"A\";  \"x;y\"\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"Name"_s, u" Notiz"_s} << Rows{{u"A"_s, u"x;y"_s}} << Lines{2}
            << Lines{};
        QTest::newRow("a stray quote is kept and reported")
            << QByteArray("Name;Notiz\nA;5\" Diskette\n\"B\"x;y\n") << QChar(u';')
            << TextEncoding::Utf8 << QStringList{u"Name"_s, u"Notiz"_s}
            << Rows{{u"A"_s, u"5\" Diskette"_s}, {u"Bx"_s, u"y"_s}} << Lines{2, 3} << Lines{2, 3};
        QTest::newRow("a quote that is never closed")
            << QByteArray("Name;Notiz\nA;\"offen\nB;x\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"Name"_s, u"Notiz"_s} << Rows{{u"A"_s, u"offen\nB;x\n"_s}} << Lines{2}
            << Lines{2};
        QTest::newRow("one column, a quoted empty field is a row")
            << QByteArray("Name\nA\n\n\"\"\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"Name"_s} << Rows{{u"A"_s}, {u""_s}} << Lines{2, 4} << Lines{};
        QTest::newRow("Excel's sep= line")
            << QByteArray("sep=,\r\nName;Ort,Natel\r\nA;B,079\r\n") << QChar(u',')
            << TextEncoding::Utf8 << QStringList{u"Name;Ort"_s, u"Natel"_s}
            << Rows{{u"A;B"_s, u"079"_s}} << Lines{3} << Lines{};
        QTest::newRow("the apostrophe before a formula sign is removed, others stay")
            << QByteArray("'=Name;'Ort\n'+41 79;''-\n'x;'\n") << QChar(u';') << TextEncoding::Utf8
            << QStringList{u"=Name"_s, u"'Ort"_s} << Rows{{u"+41 79"_s, u"'-"_s}, {u"'x"_s, u"'"_s}}
            << Lines{2, 3} << Lines{};
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
        QCOMPARE(table.header, (QStringList{u"ï»¿Name"_s, u"Ort;X"_s}));
        QCOMPARE(table.rows, (Rows{{u"A"_s, u"B;C"_s}}));
    }

    void guessCsvRoles_data()
    {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<Roles>("roles");

        QTest::newRow("German, apart")
            << QStringList{u"Vorname"_s, u"Nachname"_s, u"Strasse"_s,    u"PLZ"_s,
                           u"Ort"_s,     u"Natel"_s,    u"Bemerkungen"_s}
            << Roles{CsvRole::GivenName, CsvRole::Surname,     CsvRole::Adresse,    CsvRole::PLZ,
                     CsvRole::Ort,       CsvRole::NatelNummer, CsvRole::Bemerkungen};
        QTest::newRow("Name beside Vorname is the family name")
            << QStringList{u"Name"_s,    u"Vorname"_s, u"Straße"_s, u"PLZ/Ort"_s,
                           u"Telefon"_s, u"Handy"_s,   u"Notiz"_s}
            << Roles{CsvRole::Surname, CsvRole::GivenName,   CsvRole::Adresse,    CsvRole::PLZOrt,
                     CsvRole::Ignore,  CsvRole::NatelNummer, CsvRole::Bemerkungen};
        QTest::newRow("English, mail and fax never chosen")
            << QStringList{u"First Name"_s,   u"Last Name"_s,        u"Home Street"_s,
                           u"Home City"_s,    u"Home Postal Code"_s, u"Home Phone"_s,
                           u"Mobile Phone"_s, u"Business Fax"_s,     u"E-mail Address"_s,
                           u"Notes"_s}
            << Roles{CsvRole::GivenName, CsvRole::Surname,    CsvRole::Adresse,     CsvRole::Ort,
                     CsvRole::PLZ,       CsvRole::Ignore,     CsvRole::NatelNummer, CsvRole::Ignore,
                     CsvRole::Ignore,    CsvRole::Bemerkungen};
        QTest::newRow("full name, type columns, street over whole address")
            << QStringList{u"Name"_s,
                           u"Given Name"_s,
                           u"Family Name"_s,
                           u"Phone 1 - Type"_s,
                           u"Phone 1 - Value"_s,
                           u"Address 1 - Formatted"_s,
                           u"Address 1 - Street"_s,
                           u"ZIP"_s,
                           u"City"_s}
            << Roles{CsvRole::Name,    CsvRole::GivenName,   CsvRole::Surname,
                     CsvRole::Ignore,  CsvRole::NatelNummer, CsvRole::Ignore,
                     CsvRole::Adresse, CsvRole::PLZ,         CsvRole::Ort};
        QTest::newRow("our own export")
            << QStringList{u"Name"_s, u"Adresse"_s, u"PLZOrt"_s, u"NatelNummer"_s, u"Bemerkungen"_s}
            << Roles{CsvRole::Name, CsvRole::Adresse, CsvRole::PLZOrt, CsvRole::NatelNummer,
                     CsvRole::Bemerkungen};
        QTest::newRow("two of a kind: the first")
            << QStringList{u"Mobil"_s, u"Natel"_s, u"Firma"_s, u""_s}
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
        QCOMPARE(csvRoleLabel(CsvRole::PLZOrt), u"PLZ und Ort"_s);
    }

    void recordsFromCsv_data()
    {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<Roles>("roles");
        QTest::addColumn<Records>("expected");
        QTest::addColumn<Lines>("messageLines");

        const QStringList five{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
        QTest::newRow("first and last name, postal code and town")
            << five << Rows{{u"Meier"_s, u"Hans"_s, u"Zürich"_s, u"8000"_s, u"Weg 1"_s}}
            << Roles{CsvRole::Surname, CsvRole::GivenName, CsvRole::Ort, CsvRole::PLZ,
                     CsvRole::Adresse}
            << Records{rec(u"Hans Meier"_s, u"Weg 1"_s, u"8000 Zürich"_s)} << Lines{};
        QTest::newRow("a name column before the parts, parts when it is empty")
            << five
            << Rows{{u"Hans Meier"_s, u"X"_s, u"Y"_s, u"8000"_s, u""_s},
                    {u""_s, u"Anna"_s, u""_s, u""_s, u"Bern"_s}}
            << Roles{CsvRole::Name, CsvRole::GivenName, CsvRole::Surname, CsvRole::PLZ,
                     CsvRole::Ort}
            << Records{rec(u"Hans Meier"_s, {}, u"8000"_s), rec(u"Anna"_s, {}, u"Bern"_s)}
            << Lines{};
        QTest::newRow("several number and note columns")
            << five << Rows{{u"A"_s, u""_s, u"079 1"_s, u"eins"_s, u"zwei"_s}}
            << Roles{CsvRole::Name, CsvRole::NatelNummer, CsvRole::NatelNummer,
                     CsvRole::Bemerkungen, CsvRole::Bemerkungen}
            << Records{rec(u"A"_s, {}, {}, u"079 1"_s, u"eins\nzwei"_s)} << Lines{};
        QTest::newRow("line breaks in one-line fields, short and long rows")
            << QStringList{u"a"_s, u"b"_s}
            << Rows{{u"Weg 1 \r\nHinterhaus\n"_s}, {u"B"_s, u"x\ny"_s, u"überzählig"_s}}
            << Roles{CsvRole::Adresse, CsvRole::Bemerkungen}
            << Records{rec({}, u"Weg 1, Hinterhaus"_s), rec({}, u"B"_s, {}, {}, u"x\ny"_s)}
            << Lines{3};
        QTest::newRow("empty rows quietly, rows with only unread values with a message")
            << five << Rows{{u""_s, u""_s}, {u"Firma"_s, u""_s}, {u""_s, u"A"_s}}
            << Roles{CsvRole::Ignore, CsvRole::Name} << Records{rec(u"A"_s)} << Lines{3};
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
            {rec(u"Meier; Hans"_s, u"Weg \"1\""_s, u"8000 Zürich"_s, u" 079"_s, u"a\r\nb"_s),
             rec(u"A"_s), rec(u"=1"_s, u"-"_s, u"@a"_s, u"+41 79"_s, u"\rx"_s),
             rec(u"'=1"_s, u"\t"_s, u"'a"_s, u"0"_s, u"b-"_s)});
        QCOMPARE(out, QByteArray("\xEF\xBB\xBFName;Adresse;PLZOrt;NatelNummer;Bemerkungen\r\n"
                                 "\"Meier; Hans\";\"Weg \"\"1\"\"\";8000 Z\xC3\xBCrich;\" 079\";"
                                 "\"a\r\nb\"\r\nA;;;;\r\n"
                                 "'=1;'-;'@a;'+41 79;\"'\rx\"\r\n"
                                 "''=1;\"'\t\";'a;0;b-\r\n"));
    }

    void phoneKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("mobile");

        QTest::newRow("national") << u"079 555 12 34"_s << u"+41795551234"_s << true;
        QTest::newRow("international") << u"+41 79 555 12 34"_s << u"+41795551234"_s << true;
        QTest::newRow("00 prefix") << u"0041795551234"_s << u"+41795551234"_s << true;
        QTest::newRow("digits of an international number")
            << u"41795551234"_s << u"+41795551234"_s << true;
        QTest::newRow("(0) and punctuation")
            << u"+41 (0)79/555.12-34"_s << u"+41795551234"_s << true;
        QTest::newRow("fixed line") << u"044 123 45 67"_s << u"+41441234567"_s << false;
        QTest::newRow("free number") << u"0800 123 456"_s << u"+41800123456"_s << false;
        QTest::newRow("German mobile") << u"+49 171 1234567"_s << u"+491711234567"_s << true;
        QTest::newRow("dashes and slashes") << u"079/555-12-34"_s << u"+41795551234"_s << true;
        QTest::newRow("00 prefix with blanks")
            << u"0041 44 123 45 67"_s << u"+41441234567"_s << false;
        QTest::newRow("a digit short") << u"079 555 12 3"_s << QString() << false;
        QTest::newRow("a digit too many") << u"079 555 12 345"_s << QString() << false;
        QTest::newRow("+41 with a digit too many") << u"+41 79 555 12 345"_s << QString() << false;
        QTest::newRow("too short") << u"12"_s << QString() << false;
        QTest::newRow("letters") << u"Natel"_s << QString() << false;
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

    // The quick reading of Swiss forms gives what libphonenumber gives, for
    // any digits: national significant numbers starting with every digit,
    // a digit short or too many, in each written form.
    void phoneKeyQuickFormsAgree()
    {
        QRandomGenerator random(20261207);
        const QStringList forms{u"0%1"_s, u"+41 %1"_s, u"0041%1"_s, u"+41%1"_s, u"0 %1"_s};
        int keyed = 0;
        for (int i = 0; i < 3000; ++i) {
            QString digits;
            for (int n = 8 + int(random.bounded(3)); n > 0; --n)
                digits += QChar(u'0' + int(random.bounded(10)));
            QString spaced = digits;
            if (random.bounded(2))
                spaced.insert(2, u' ').insert(6, u'-');
            const QString text = forms.at(i % forms.size()).arg(spaced);
            const std::optional<QString> key = PhoneKey::key(text);
            QVERIFY2(key == PhoneKey::analyse(text).key, qPrintable(text));
            keyed += key.has_value();
        }
        QVERIFY(keyed > 500); // the forms do make numbers
    }

    void planImport()
    {
        const QList<ExistingPerson> existing{
            {7, u"044 123 45 67"_s},
            {3, u"079 555 12 34"_s},
            {9, u"+41 79 555 12 34"_s}, // the same number stored twice: the first counts
            {4, u""_s},
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
            {u"0041795551234"_s, ImportStatus::Match, 3, -1, true},
            {u"078 000 00 01"_s, ImportStatus::New, 0, -1, true},
            {u"+41 78 000 00 01"_s, ImportStatus::RepeatInFile, 0, 1, true},
            {u""_s, ImportStatus::NoNumber, 0, -1, false},
            {u"Natel"_s, ImportStatus::NoNumber, 0, -1, false},
            {u"044 123 45 67"_s, ImportStatus::Match, 7, -1, false},
            {u"079 555 12 34"_s, ImportStatus::Match, 3, -1, true},
            {u"0441234568"_s, ImportStatus::New, 0, -1, false},
        };
        Records records;
        for (const Expected &c : cases)
            records.append(rec(u"P"_s, {}, {}, c.number));

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

        QTest::newRow("no braces") << u"Hallo zusammen"_s << u"Hallo zusammen"_s << false;
        QTest::newRow("all four fields") << u"{Name}, {Adresse}, {PLZOrt}: {Bemerkungen}"_s
                                         << u"Meier Hans, Weg 1, : VIP"_s << true;
        QTest::newRow("a field twice, any case")
            << u"{name}/{NAME}"_s << u"Meier Hans/Meier Hans"_s << true;
        QTest::newRow("a missing value") << u"Hallo {PLZOrt}!"_s << u"Hallo !"_s << true;
        QTest::newRow("braces that are not fields")
            << u"{Natel} { Name } {} {Name {x} } {PLZ"_s
            << u"{Natel} { Name } {} {Name {x} } {PLZ"_s << false;
        QTest::newRow("a field inside extra braces") << u"{{Name}}"_s << u"{Meier Hans}"_s << true;
        QTest::newRow("a value is not merged again")
            << u"{Adresse} {Name}"_s << u"Weg 1 Meier Hans"_s << true;
    }

    void mergeFields()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(bool, hasField);
        const ContactRecord person =
            rec(u"Meier Hans"_s, u"Weg 1"_s, QString(), u"079"_s, u"VIP"_s);
        QCOMPARE(MergeFields::merge(text, person), expected);
        QCOMPARE(MergeFields::containsField(text), hasField);
        // A value that looks like a field stays as it is.
        QCOMPARE(MergeFields::merge(u"{Name}"_s, rec(u"{Adresse}"_s, u"X"_s)), u"{Adresse}"_s);
    }

    void longestOverLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lineBreakIsTwo");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<qsizetype>("length");

        const QString base(150, u'x');
        // Names of 6, 13 and 10 characters; notes of 4 and 10 with a line break.
        QTest::newRow("all fit") << base.left(140) + u"{Name}"_s << false << qsizetype(-1)
                                 << qsizetype(0);
        QTest::newRow("the longest of two too long")
            << base + u" {Name}"_s << false << qsizetype(1) << qsizetype(164);
        QTest::newRow("exactly 160 fits")
            << base.left(147) + u"{Name}"_s << false << qsizetype(-1) << qsizetype(0);
        QTest::newRow("a line break counted twice")
            << base + u"{Bemerkungen}"_s << true << qsizetype(1) << qsizetype(161);
        QTest::newRow("the same text counted by characters")
            << base + u"{Bemerkungen}"_s << false << qsizetype(-1) << qsizetype(0);
        QTest::newRow("no field: the text itself")
            << QString(161, u'y') << false << qsizetype(0) << qsizetype(161);
    }

    void longestOverLimit()
    {
        QFETCH(QString, text);
        QFETCH(bool, lineBreakIsTwo);
        QFETCH(qsizetype, index);
        QFETCH(qsizetype, length);

        const Records recipients{rec(u"Keller"_s, {}, {}, u"079 1"_s, u"kurz"_s),
                                 rec(u"Brändli-Huber"_s, {}, {}, u"079 2"_s, u"ab\ncdefghi"_s),
                                 rec(u"Sommerhald"_s, {}, {}, u"079 3"_s)};
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
            u"«"_s + recipients.at(index).name + u"» ist mit den eingesetzten Feldern "_s +
            QString::number(length) + u" Zeichen lang"_s));
    }

    void overLimitMessageWithoutName()
    {
        const auto overflow = MergeFields::longestOverLimit(
            QString(150, u'x') + u"{Adresse}"_s, {rec({}, u"Bahnhofstrasse 1"_s, {}, u"079 9"_s)});
        QVERIFY(overflow);
        QVERIFY(MergeFields::overLimitMessage(*overflow).contains(
            u"für die Person mit der Natel-Nummer 079 9 ist"_s));
    }
};

QTEST_GUILESS_MAIN(TestContacts)
#include "tst_contacts.moc"
