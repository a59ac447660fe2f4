#include "spoolfile.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestSpoolFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
};

void TestSpoolFile::parse_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("number"); // empty when refused
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // empty when read

    const QByteArray to = "To: 41791234567\n";
    const QString intl = u"+41791234567"_s;
    QTest::newRow("usual file")
        << QByteArray("To: 41791234567\nFlash: no\nReport: yes\nValidity: 1d\n\nHallo Welt\n")
        << intl << u"Hallo Welt"_s << QString();
    QTest::newRow("with +") << QByteArray("To: +41791234567\n\nHi") << intl << u"Hi"_s << QString();
    QTest::newRow("national with 0, names in any case")
        << QByteArray("tO:0791234567  \nALPHABET: iso\n\nHi") << u"0791234567"_s << u"Hi"_s
        << QString();
    QTest::newRow("blanks between digits")
        << QByteArray("To: 41 79 123 45 67\n\nHi") << u"+41 79 123 45 67"_s << u"Hi"_s << QString();
    QTest::newRow("no-break spaces around it (Latin-1)") << QByteArray("To:\xA0"
                                                                       "41791234567\xA0\n\nHi")
                                                         << intl << u"Hi"_s << QString();
    QTest::newRow("not a number: as written for the queue to judge")
        << QByteArray("To: Anna\n\nHi") << u"Anna"_s << u"Hi"_s << QString();
    QTest::newRow("CR LF, and CR CR LF of a file converted twice")
        << QByteArray("To: 41791234567\r\nFrom: x\r\r\n\r\r\nZeile 1\r\nZeile 2\r\r\nZeile 3\r\n")
        << intl << u"Zeile 1\nZeile 2\nZeile 3"_s << QString();
    QTest::newRow("inner blank lines and blanks kept, trailing line ends cut")
        << to + "\n  Hallo\n\nWelt \n\r\n\n"
        << intl << u"  Hallo\n\nWelt "_s << QString();
    QTest::newRow("Latin-1 bytes without alphabet")
        << to + "\nGr\xFC\xE4\xDF 5 \xA4 \xBD" << intl << u"Grüäß 5 € œ"_s << QString();
    QTest::newRow("UTF-8 with emoji") << to + "\nAlles gut \xF0\x9F\x98\x80 \xE2\x82\xAC\n"
                                      << intl << u"Alles gut \U0001F600 €"_s << QString();
    QTest::newRow("ISO said: UTF-8-looking bytes read as ISO")
        << to + "Alphabet: ISO-8859-15\n\n\xC3\xA4" << intl << u"Ã€"_s << QString();
    QTest::newRow("byte order mark")
        << "\xEF\xBB\xBF" + to + "\nHi" << intl << u"Hi"_s << QString();
    const QByteArray ucs2 = to + "Alphabet: UCS2\n\n";
    const QByteArray haeEuroSmile("\x00H\x00\xE4\x20\xAC\xD8\x3D\xDE\x00", 10);
    QTest::newRow("UCS2") << ucs2 + haeEuroSmile << intl << u"Hä€\U0001F600"_s << QString();
    QTest::newRow("UCS2 with its byte order mark")
        << ucs2 + QByteArray("\xFE\xFF", 2) + haeEuroSmile << intl << u"Hä€\U0001F600"_s
        << QString();
    QTest::newRow("byte order marks in the number and before the text")
        << QByteArray("To: \xEF\xBB\xBF"
                      "4179\xEF\xBB\xBF"
                      "1234567\n\n\xEF\xBB\xBF\xEF\xBB\xBFHi")
        << intl << u"Hi"_s << QString();
    QTest::newRow("UCS-2 and the line feed an echo adds")
        << to + "Alphabet: UCS-2\n\n" + haeEuroSmile + "\n"
        << intl << u"Hä€\U0001F600"_s << QString();
    QTest::newRow("UCS2 ending in byte 0A (U+010A)")
        << ucs2 + QByteArray("\x00x\x01\x0A", 4) << intl << u"x\u010A"_s << QString();
    QTest::newRow("UCS2 of an odd length") << ucs2 + QByteArray("\x00H\x00", 3) << QString()
                                           << QString() << u"Der Text ist kein gültiges UCS2."_s;
    QTest::newRow("UCS2 with a lone surrogate")
        << ucs2 + QByteArray("\x00H\xD8\x3D\x00H", 6) << QString() << QString()
        << u"Der Text ist kein gültiges UCS2."_s;
    QTest::newRow("UTF-8 said, not UTF-8") << to + "Alphabet: UTF-8\n\nGr\xFC" << QString()
                                           << QString() << u"Der Text ist kein gültiges UTF-8."_s;
    QTest::newRow("To missing") << QByteArray("From: 4179\n\nHi") << QString() << QString()
                                << u"Kopfzeile \"To:\" fehlt."_s;
    QTest::newRow("To empty") << QByteArray("To:  \n\nHi") << QString() << QString()
                              << u"Kopfzeile \"To:\" fehlt."_s;
    QTest::newRow("To twice") << to + "To: 41797654321\n\nHi" << QString() << QString()
                              << u"Kopfzeile \"To:\" kommt mehrmals vor."_s;
    QTest::newRow("header line without colon")
        << to + "Flash\n\nHi" << QString() << QString() << u"Zeile 2 ist keine Kopfzeile: Flash"_s;
    QTest::newRow("blank line missing")
        << to + "Wir sehen uns: um 5\n"
        << QString() << QString() << u"Zeile 2 ist keine Kopfzeile: Wir sehen uns: um 5"_s;
    QTest::newRow("long line cut in the reason")
        << QByteArray(60, 'x') << QString() << QString()
        << u"Zeile 1 ist keine Kopfzeile: "_s + QString(40, u'x') + u'…';
    QTest::newRow("long line not cut inside an emoji")
        << QByteArray(39, 'x') + "\xF0\x9F\x98\x80 und mehr" << QString() << QString()
        << u"Zeile 1 ist keine Kopfzeile: "_s + QString(39, u'x') + u'…';
    QTest::newRow("unknown alphabet") << to + "Alphabet: GSM\n\nHi" << QString() << QString()
                                      << u"Unbekanntes Alphabet \"GSM\"."_s;
    QTest::newRow("empty text") << to + "\n \r\n\n"
                                << QString() << QString() << u"Die Nachricht ist leer."_s;
    QTest::newRow("headers only, no line end")
        << QByteArray("To: 41791234567") << QString() << QString() << u"Die Nachricht ist leer."_s;
    QTest::newRow("empty file") << QByteArray() << QString() << QString()
                                << u"Kopfzeile \"To:\" fehlt."_s;
    const QByteArray head = to + "\n";
    QTest::newRow("64 KiB exactly")
        << head + QByteArray(SpoolFile::maxBytes - head.size(), 'a') << intl
        << QString(SpoolFile::maxBytes - head.size(), u'a') << QString();
    QTest::newRow("one byte over 64 KiB")
        << head + QByteArray(SpoolFile::maxBytes - head.size() + 1, 'a') << QString() << QString()
        << u"Die Datei ist grösser als 64 KB."_s;
}

void TestSpoolFile::parse()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, number);
    QFETCH(QString, text);
    QFETCH(QString, reason);

    const SpoolFile spool(file);
    QCOMPARE(spool.reason(), reason);
    QCOMPARE(spool.isValid(), reason.isEmpty());
    QCOMPARE(spool.number(), number);
    QCOMPARE(spool.text(), text);
}

QTEST_GUILESS_MAIN(TestSpoolFile)
#include "tst_spoolfile.moc"
