#include "messagetext.h"

#include <QTest>

namespace {

// A text whose every position can be told apart from its neighbours, so a
// part that starts or ends one character off cannot pass.
QString sample(int length)
{
    static const QString alphabet =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet.at((i * 7 + i / alphabet.size()) % alphabet.size()));
    return text;
}

} // namespace

class TestMessageText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitLengths_data();
    void splitLengths();
    void splitExactParts_data();
    void splitExactParts();
    void splitKeepsMarkerLikeText();
    void splitCutsBetweenCrAndLf();
    void partCountMatchesSplit();
    void toCrLf_data();
    void toCrLf();
};

void TestMessageText::splitLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("partLengths");

    QTest::newRow("empty") << 0 << QList<int>{};
    QTest::newRow("one character") << 1 << QList<int>{1};
    QTest::newRow("159") << 159 << QList<int>{159};
    QTest::newRow("160 is one SMS") << 160 << QList<int>{160};
    QTest::newRow("161 splits") << 161 << QList<int>{160, 11};
    QTest::newRow("310 two full parts") << 310 << QList<int>{160, 160};
    QTest::newRow("311 three parts") << 311 << QList<int>{160, 160, 11};
    QTest::newRow("460") << 460 << QList<int>{160, 160, 160};
    QTest::newRow("461") << 461 << QList<int>{160, 160, 160, 11};
    QTest::newRow("1000") << 1000 << QList<int>{160, 160, 160, 160, 160, 160, 100};
}

void TestMessageText::splitLengths()
{
    QFETCH(int, length);
    QFETCH(QList<int>, partLengths);

    const QString text = sample(length);
    const QStringList parts = splitMessage(text);

    QList<int> lengths;
    for (const QString &part : parts)
        lengths.append(int(part.size()));
    QCOMPARE(lengths, partLengths);

    if (parts.size() == 1) {
        QCOMPARE(parts.constFirst(), text); // no markers on a single SMS
        return;
    }

    // Markers exactly where due: the first part has no leading marker, the
    // last none at its end, every other part both.
    QString joined;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts.at(i);
        const bool first = i == 0;
        const bool last = i == parts.size() - 1;
        QCOMPARE(part.startsWith(u"->..."), !first);
        QCOMPARE(part.endsWith(u"...->"), !last);
        if (!first)
            part.remove(0, 5);
        if (!last)
            part.chop(5);
        joined += part;
    }
    QCOMPARE(joined, text); // nothing lost, nothing doubled
}

void TestMessageText::splitExactParts_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("expected");

    const QString t161 = sample(161);
    QTest::newRow("161") << 161 << QStringList{t161.left(155) + u"...->", u"->..." + t161.mid(155)};

    const QString t311 = sample(311);
    QTest::newRow("311") << 311
                         << QStringList{t311.left(155) + u"...->",
                                        u"->..." + t311.mid(155, 150) + u"...->",
                                        u"->..." + t311.mid(305)};

    const QString t1000 = sample(1000);
    QStringList parts{t1000.left(155) + u"...->"};
    for (int start : {155, 305, 455, 605, 755})
        parts.append(u"->..." + t1000.mid(start, 150) + u"...->");
    parts.append(u"->..." + t1000.mid(905));
    QTest::newRow("1000") << 1000 << parts;
}

void TestMessageText::splitExactParts()
{
    QFETCH(int, length);
    QFETCH(QStringList, expected);
    QCOMPARE(splitMessage(sample(length)), expected);
}

void TestMessageText::splitKeepsMarkerLikeText()
{
    // Marks the user typed are text like any other.
    const QString typed = u"->..." + QString(150, u'x') + u"...->";
    QCOMPARE(typed.size(), 160);
    QCOMPARE(splitMessage(typed), QStringList{typed});
}

void TestMessageText::splitCutsBetweenCrAndLf()
{
    // The cut positions are fixed; a line break standing across one is
    // divided between the two parts (both halves reach the message centre).
    const QString text = QString(154, u'a') + u"\r\n" + QString(10, u'b');
    const QStringList parts = splitMessage(text);
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts.at(0), QString(154, u'a') + u"\r...->");
    QCOMPARE(parts.at(1), u"->...\n" + QString(10, u'b'));
}

void TestMessageText::partCountMatchesSplit()
{
    for (int length = 0; length <= 1000; ++length) {
        const int expected = int(splitMessage(QString(length, u'x')).size());
        if (messagePartCount(length) != expected)
            QFAIL(qPrintable(QStringLiteral("length %1: %2 instead of %3")
                                 .arg(length)
                                 .arg(messagePartCount(length))
                                 .arg(expected)));
    }
    QCOMPARE(messagePartCount(1000), 7);
}

void TestMessageText::toCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no break") << u"Hallo"_qs << u"Hallo"_qs;
    QTest::newRow("line feed") << u"a\nb"_qs << u"a\r\nb"_qs;
    QTest::newRow("already CR LF") << u"a\r\nb"_qs << u"a\r\nb"_qs;
    QTest::newRow("lone CR") << u"a\rb"_qs << u"a\r\nb"_qs;
    QTest::newRow("CR then CR LF") << u"a\r\r\nb"_qs << u"a\r\n\r\nb"_qs;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_qs << u"a\r\n\r\nb"_qs;
    QTest::newRow("paragraph separator") << u"a\u2029b"_qs << u"a\r\nb"_qs;
    QTest::newRow("line separator") << u"a\u2028b"_qs << u"a\r\nb"_qs;
    QTest::newRow("trailing breaks") << u"a\n\n"_qs << u"a\r\n\r\n"_qs;
}

void TestMessageText::toCrLf()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::toCrLf(text), expected);
}

QTEST_APPLESS_MAIN(TestMessageText)
#include "tst_messagetext.moc"
