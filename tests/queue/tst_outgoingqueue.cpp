#include "messagetext.h"
#include "outgoingqueue.h"

#include <QSignalSpy>
#include <QTest>

class TestOutgoingQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data();
    void split();
    void toCrLf_data();
    void toCrLf();
    void entriesKeepTheirIdentity();
};

void TestOutgoingQueue::split_data()
{
    // pieces: the lengths of the slices of the text the parts carry.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("pieces");

    // Every position differs from its neighbours, so a cut one off fails.
    QString sample;
    for (int i = 0; i < 1000; ++i)
        sample.append(QChar(u'!' + i % 90));
    QTest::newRow("empty") << QString() << QList<int>{};
    QTest::newRow("160 is one SMS") << sample.left(160) << QList<int>{160};
    QTest::newRow("161") << sample.left(161) << QList<int>{155, 6};
    QTest::newRow("310") << sample.left(310) << QList<int>{155, 155};
    QTest::newRow("311") << sample.left(311) << QList<int>{155, 150, 6};
    QTest::newRow("1000") << sample << QList<int>{155, 150, 150, 150, 150, 150, 95};
    QTest::newRow("typed marks") << u"->..." + QString(150, u'x') + u"...->" << QList<int>{160};
    // The cuts are fixed; a CR LF on one is divided between two parts.
    QTest::newRow("CR LF on a cut") << QString(154, u'a') + u"\r\nbbbbbbbbb" << QList<int>{155, 10};
}

void TestOutgoingQueue::split()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, pieces);
    QStringList expected;
    qsizetype pos = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        expected.append((i > 0 ? u"->..."_qs : QString()) + text.mid(pos, pieces.at(i)) +
                        (i + 1 < pieces.size() ? u"...->"_qs : QString()));
        pos += pieces.at(i);
    }
    QCOMPARE(pos, text.size()); // the row itself covers the whole text
    QCOMPARE(splitMessage(text), expected);
    QCOMPARE(messagePartCount(text.size()), int(pieces.size()));
}

void TestOutgoingQueue::toCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("LF, CR LF stays") << u"a\nb\r\nc"_qs << u"a\r\nb\r\nc"_qs;
    QTest::newRow("lone CR, CR CR LF") << u"a\rb\r\r\n"_qs << u"a\r\nb\r\n\r\n"_qs;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_qs << u"a\r\n\r\nb"_qs;
    QTest::newRow("separators") << u"a\u2029b\u2028"_qs << u"a\r\nb\r\n"_qs;
}

void TestOutgoingQueue::toCrLf()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::toCrLf(text), expected);
}

void TestOutgoingQueue::entriesKeepTheirIdentity()
{
    OutgoingQueue queue;
    QVERIFY(queue.isEmpty() && !queue.head());
    QSignalSpy counts(&queue, &OutgoingQueue::countChanged);
    // An entry without a number at the head blocks sending like an empty queue.
    const auto a = queue.append(QString(), u"a"_qs, QString());
    QVERIFY(queue.isEmpty() && queue.head());
    const auto b = queue.append(u"0792"_qs, u"b\r\nb"_qs, u"076"_qs);
    QVERIFY(!queue.remove(-1) && !queue.remove(2));
    QVERIFY(queue.remove(0)); // the head went out meanwhile
    QCOMPARE(counts.size(), 3);
    const QModelIndex text = queue.index(0, OutgoingQueue::NachrichtColumn);
    QCOMPARE(queue.data(text).toString(), u"b¶b"_qs);
    // The stored text and the tooltip keep the real line break.
    QCOMPARE(queue.data(text, Qt::ToolTipRole).toString(), u"b\r\nb"_qs);
    QCOMPARE(queue.data(queue.index(0, OutgoingQueue::RueckrufNummerColumn)).toString(), u"076"_qs);

    // Ids are never handed out twice, not even after their entry is gone.
    QSignalSpy inserted(&queue, &QAbstractItemModel::rowsInserted);
    const auto ids = queue.appendMany(
        {{0, u"0793"_qs, u"c"_qs, QString()}, {0, u"0794"_qs, u"d"_qs, QString()}});
    QCOMPARE(inserted.size(), 1); // one notification for the whole batch
    QVERIFY(a != b && !ids.contains(a) && !ids.contains(b) && ids.at(0) != ids.at(1));
    QCOMPARE(queue.indexOf(ids.at(1)), 2);
    QVERIFY(!queue.removeById(a));
    QVERIFY(queue.removeById(b));
    QCOMPARE(queue.head()->nachricht, u"c"_qs);
}

QTEST_APPLESS_MAIN(TestOutgoingQueue)
#include "tst_outgoingqueue.moc"
