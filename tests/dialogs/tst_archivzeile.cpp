#include "archivzeile.h"

#include "sendlog.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestArchivZeile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void zeile_data();
    void zeile();
};

void TestArchivZeile::zeile_data()
{
    QTest::addColumn<QVariant>("datum");
    QTest::addColumn<QVariant>("zeit");
    QTest::addColumn<QString>("nummer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("versandt");
    QTest::addColumn<QString>("expected");

    const QVariant datum = u"2026-12-06"_s;
    const QVariant zeit = u"14:03:05"_s;
    const QString nummer = u"079 123 45 67"_s;

    QTest::newRow("sent") << datum << zeit << nummer << u"Hallo Anna"_s << u"OK"_s
                          << u"06.12.2026/14:03:05 - 079 123 45 67, Hallo Anna"_s;
    QTest::newRow("refused by the centre")
        << datum << zeit << nummer << u"Hallo"_s << u"NACK 06"_s
        << u"06.12.2026/14:03:05 - 079 123 45 67, Hallo [abgelehnt: NACK 06]"_s;
    QTest::newRow("other status") << datum << zeit << nummer << u"Hallo"_s << u"Fehler"_s
                                  << u"06.12.2026/14:03:05 - 079 123 45 67, Hallo "
                                     u"[nicht versandt: Fehler]"_s;
    QTest::newRow("no status") << datum << zeit << nummer << u"Hallo"_s << QString()
                               << u"06.12.2026/14:03:05 - 079 123 45 67, Hallo "
                                  u"[Versandstatus unbekannt]"_s;
    QTest::newRow("status ok in small letters")
        << datum << zeit << nummer << u"Hallo"_s << u"ok"_s
        << u"06.12.2026/14:03:05 - 079 123 45 67, Hallo [nicht versandt: ok]"_s;
    QTest::newRow("CR LF") << datum << zeit << nummer << u"Zeile 1\r\nZeile 2"_s << u"OK"_s
                           << u"06.12.2026/14:03:05 - 079 123 45 67, Zeile 1¶Zeile 2"_s;
    QTest::newRow("two CR LF") << datum << zeit << nummer << u"a\r\n\r\nb"_s << u"OK"_s
                               << u"06.12.2026/14:03:05 - 079 123 45 67, a¶¶b"_s;
    QTest::newRow("bare LF and CR") << datum << zeit << nummer << u"a\nb\rc"_s << u"OK"_s
                                    << u"06.12.2026/14:03:05 - 079 123 45 67, a¶b¶c"_s;
    QTest::newRow("LF CR is two breaks") << datum << zeit << nummer << u"a\n\rb"_s << u"OK"_s
                                         << u"06.12.2026/14:03:05 - 079 123 45 67, a¶¶b"_s;
    QTest::newRow("empty text") << datum << zeit << nummer << QString() << u"OK"_s
                                << u"06.12.2026/14:03:05 - 079 123 45 67, "_s;
    QTest::newRow("leap day") << QVariant(u"2028-02-29"_s) << QVariant(u"00:00:00"_s) << u"0791"_s
                              << u"x"_s << u"OK"_s << u"29.02.2028/00:00:00 - 0791, x"_s;
    QTest::newRow("first of January")
        << QVariant(u"2027-01-01"_s) << QVariant(u"23:59:59"_s) << u"0791"_s << u"x"_s << u"OK"_s
        << u"01.01.2027/23:59:59 - 0791, x"_s;
    QTest::newRow("date not ISO") << QVariant(u"6.12.26"_s) << zeit << u"0791"_s << u"x"_s
                                  << u"OK"_s << u"6.12.26/14:03:05 - 0791, x"_s;
    QTest::newRow("impossible date") << QVariant(u"2026-02-30"_s) << zeit << u"0791"_s << u"x"_s
                                     << u"OK"_s << u"2026-02-30/14:03:05 - 0791, x"_s;
    QTest::newRow("date with time of day")
        << QVariant(u"2026-12-06 00:00:00"_s) << zeit << u"0791"_s << u"x"_s << u"OK"_s
        << u"2026-12-06 00:00:00/14:03:05 - 0791, x"_s;
    QTest::newRow("time without seconds") << datum << QVariant(u"14:03"_s) << u"0791"_s << u"x"_s
                                          << u"OK"_s << u"06.12.2026/14:03:00 - 0791, x"_s;
    QTest::newRow("time not ISO") << datum << QVariant(u"14h03"_s) << u"0791"_s << u"x"_s << u"OK"_s
                                  << u"06.12.2026/14h03 - 0791, x"_s;
    QTest::newRow("impossible time") << datum << QVariant(u"24:00:01"_s) << u"0791"_s << u"x"_s
                                     << u"OK"_s << u"06.12.2026/24:00:01 - 0791, x"_s;
    QTest::newRow("date and time values")
        << QVariant(QDate(2026, 3, 9)) << QVariant(QTime(7, 5, 0)) << u"0791"_s << u"x"_s << u"OK"_s
        << u"09.03.2026/07:05:00 - 0791, x"_s;
    QTest::newRow("nothing stored")
        << QVariant() << QVariant() << QString() << QString() << u"OK"_s << u"/ - , "_s;
}

void TestArchivZeile::zeile()
{
    QFETCH(QVariant, datum);
    QFETCH(QVariant, zeit);
    QFETCH(QString, nummer);
    QFETCH(QString, text);
    QFETCH(QString, versandt);
    QFETCH(QString, expected);

    QCOMPARE(Archiv::zeile(LogRow{datum, zeit, nummer, text, versandt}), expected);
}

QTEST_GUILESS_MAIN(TestArchivZeile)
#include "tst_archivzeile.moc"
