#include "nurziffern.h"

#include <QTest>

class TestNurZiffern : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void text_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("digits");
        QTest::newRow("international with dash") << u"+41 79-123"_qs << u"4179123"_qs;
        QTest::newRow("no digits") << u"abc -/+"_qs << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("leading zeros kept") << u"0791"_qs << u"0791"_qs;
        QTest::newRow("slashes and blanks") << u"079 / 123 45 67"_qs << u"0791234567"_qs;
        QTest::newRow("non-ASCII digits dropped") << u"0٣7９1"_qs << u"071"_qs;
        QTest::newRow("letters around") << u"Tel. 031 123"_qs << u"031123"_qs;
    }
    void text()
    {
        QFETCH(QString, input);
        QFETCH(QString, digits);
        QCOMPARE(NurZiffern(QStringView(input)), digits);
        QCOMPARE(NurZiffern(QVariant(input)), digits);
    }

    void values_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("digits");
        QTest::newRow("integer") << QVariant(4179123) << u"4179123"_qs;
        QTest::newRow("negative number") << QVariant(-12) << u"12"_qs;
        QTest::newRow("floating point") << QVariant(3.5) << u"35"_qs;
        QTest::newRow("null field") << QVariant() << QString();
    }
    void values()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, digits);
        QCOMPARE(NurZiffern(value), digits);
    }
};

QTEST_APPLESS_MAIN(TestNurZiffern)
#include "tst_nurziffern.moc"
