#include "outgoingqueue.h"
#include "personlines.h"
#include "personlistmodel.h"

#include <QTest>

// The list lines of the person windows and the entries of a bulk run.
class TstPersonLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void suchZeile_data();
    void suchZeile();
    void auswahl_data();
    void auswahl();
    void modelKeepsKeyAndDigits();
    void serienEintraege_data();
    void serienEintraege();
};

void TstPersonLines::suchZeile_data()
{
    QTest::addColumn<qint64>("key");
    QTest::addColumn<QVariant>("name");
    QTest::addColumn<QVariant>("natel");
    QTest::addColumn<QString>("line");
    QTest::newRow("worked example")
        << qint64(12) << QVariant(u"Meier"_qs) << QVariant(u"079"_qs) << u" 12 - Meier, 079"_qs;
    QTest::newRow("without number")
        << qint64(12) << QVariant(u"Meier"_qs) << QVariant() << u" 12 - Meier"_qs;
    QTest::newRow("zero key") << qint64(0) << QVariant(u"Null"_qs) << QVariant(u""_qs)
                              << u" 0 - Null"_qs;
    QTest::newRow("negative key has no blank")
        << qint64(-5) << QVariant(u"Minus"_qs) << QVariant(u"1"_qs) << u"-5 - Minus, 1"_qs;
    QTest::newRow("large key") << qint64(4294967296) << QVariant(u"Gross"_qs) << QVariant()
                               << u" 4294967296 - Gross"_qs;
    QTest::newRow("no name") << qint64(3) << QVariant() << QVariant() << u" 3 - "_qs;
    QTest::newRow("number stored as a number")
        << qint64(4) << QVariant(u"Zahl"_qs) << QVariant(791234) << u" 4 - Zahl, 791234"_qs;
}

void TstPersonLines::suchZeile()
{
    QFETCH(qint64, key);
    QFETCH(QVariant, name);
    QFETCH(QVariant, natel);
    QFETCH(QString, line);
    QCOMPARE(::suchZeile(Person{key, name, natel}), line);
}

void TstPersonLines::auswahl_data()
{
    QTest::addColumn<QVariant>("name");
    QTest::addColumn<QVariant>("natel");
    QTest::addColumn<QString>("line"); // empty: not offered
    QTest::addColumn<QString>("digits");
    QTest::newRow("plain") << QVariant(u"Anna"_qs) << QVariant(u"079 1"_qs) << u"079 1 - Anna"_qs
                           << u"0791"_qs;
    QTest::newRow("hyphenated number kept whole")
        << QVariant(u"Ben"_qs) << QVariant(u"079-12-34"_qs) << u"079-12-34 - Ben"_qs
        << u"0791234"_qs;
    QTest::newRow("no name") << QVariant() << QVariant(u"5"_qs) << u"5 - "_qs << u"5"_qs;
    QTest::newRow("empty number") << QVariant(u"Cem"_qs) << QVariant(u""_qs) << QString()
                                  << QString();
    QTest::newRow("no number") << QVariant(u"Cem"_qs) << QVariant() << QString() << QString();
    QTest::newRow("blanks only") << QVariant(u"Dora"_qs) << QVariant(u"   "_qs) << QString()
                                 << QString();
    QTest::newRow("letters only") << QVariant(u"Eva"_qs) << QVariant(u"folgt"_qs) << QString()
                                  << QString();
}

void TstPersonLines::auswahl()
{
    QFETCH(QVariant, name);
    QFETCH(QVariant, natel);
    QFETCH(QString, line);
    QFETCH(QString, digits);
    const Person person{9, name, natel};
    QCOMPARE(hatNatelNummer(person), !line.isEmpty());
    const QList<PersonLine> lines = auswahlZeilen({person});
    if (line.isEmpty()) {
        QVERIFY(lines.isEmpty());
        return;
    }
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.constFirst().text, line);
    QCOMPARE(lines.constFirst().digits, digits);
    QCOMPARE(lines.constFirst().key, qint64(9));
}

void TstPersonLines::modelKeepsKeyAndDigits()
{
    PersonListModel model;
    model.append(suchZeilen({Person{40000, u"A-B"_qs, u"079-1"_qs}}));
    model.append(suchZeilen({Person{7, QVariant(), QVariant()}}));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0).data().toString(), u" 40000 - A-B, 079-1"_qs);
    QCOMPARE(model.index(0).data(PersonListModel::KeyRole).toLongLong(), 40000);
    model.append(auswahlZeilen({Person{8, u"C"_qs, u"+41 79-2"_qs}}));
    QCOMPARE(model.index(2).data().toString(), u"+41 79-2 - C"_qs);
    QCOMPARE(model.index(2).data(PersonListModel::KeyRole).toLongLong(), 8);
    QCOMPARE(model.index(2).data(PersonListModel::DigitsRole).toString(), u"41792"_qs);
    QCOMPARE(model.index(1).data(PersonListModel::KeyRole).toLongLong(), 7);
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.index(3).data().isValid());
}

void TstPersonLines::serienEintraege_data()
{
    QTest::addColumn<QStringList>("nummern");
    QTest::addColumn<QStringList>("expectedNummern");
    QTest::addColumn<QString>("nachricht");
    QTest::addColumn<QString>("rueckruf");
    QTest::addColumn<QString>("expectedNachricht");
    QTest::addColumn<QString>("expectedRueckruf");
    QTest::newRow("call-back with blanks")
        << QStringList{u"0791"_qs, u"0792"_qs} << QStringList{u"0791"_qs, u"0792"_qs} << u"Hallo"_qs
        << u"079 555 "_qs << u"Hallo"_qs << u"079555"_qs;
    QTest::newRow("empty call-back") << QStringList{u"0791"_qs} << QStringList{u"0791"_qs}
                                     << u"Hallo"_qs << QString() << u"Hallo"_qs << QString();
    QTest::newRow("line break as CR LF") << QStringList{u"0791"_qs} << QStringList{u"0791"_qs}
                                         << u"a\nb"_qs << QString() << u"a\r\nb"_qs << QString();
    QTest::newRow("numbers reduced to digits")
        << QStringList{u"079 1 "_qs, u"+41-79"_qs} << QStringList{u"0791"_qs, u"4179"_qs} << u"x"_qs
        << QString() << u"x"_qs << QString();
}

void TstPersonLines::serienEintraege()
{
    QFETCH(QStringList, nummern);
    QFETCH(QStringList, expectedNummern);
    QFETCH(QString, nachricht);
    QFETCH(QString, rueckruf);
    QFETCH(QString, expectedNachricht);
    QFETCH(QString, expectedRueckruf);
    const QList<QueueEntry> entries = ::serienEintraege(nummern, nachricht, rueckruf);
    QCOMPARE(entries.size(), nummern.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i).natelNummer, expectedNummern.at(i));
        QCOMPARE(entries.at(i).nachricht, expectedNachricht);
        QCOMPARE(entries.at(i).rueckrufNummer, expectedRueckruf);
    }
}

QTEST_MAIN(TstPersonLines)
#include "tst_personlines.moc"
