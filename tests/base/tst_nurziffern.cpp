#include "nurziffern.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestNurZiffern : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void text_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("digits");
        QTest::newRow("international with dash") << u"+41 79-123"_s << u"4179123"_s;
        QTest::newRow("no digits") << u"abc -/+"_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("leading zeros kept") << u"0791"_s << u"0791"_s;
        QTest::newRow("slashes and blanks") << u"079 / 123 45 67"_s << u"0791234567"_s;
        QTest::newRow("non-ASCII digits dropped") << u"0٣7９1"_s << u"071"_s;
        QTest::newRow("letters around") << u"Tel. 031 123"_s << u"031123"_s;
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
        QTest::newRow("integer") << QVariant(4179123) << u"4179123"_s;
        QTest::newRow("negative number") << QVariant(-12) << u"12"_s;
        QTest::newRow("floating point") << QVariant(3.5) << u"35"_s;
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
