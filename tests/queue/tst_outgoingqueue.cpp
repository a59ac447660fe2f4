#include "outgoingqueue.h"

#include <QSignalSpy>
#include <QTest>

class TestOutgoingQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendKeepsOrderAndGivesNewIds();
    void appendManyNotifiesOnce();
    void isEmpty_data();
    void isEmpty();
    void remove_data();
    void remove();
    void removeByIdFindsMovedEntry();
    void removeByIdOfSentEntryDoesNothing();
    void displayShowsLineBreakAsMark();
};

void TestOutgoingQueue::appendKeepsOrderAndGivesNewIds()
{
    OutgoingQueue queue;
    QSignalSpy counts(&queue, &OutgoingQueue::countChanged);
    QVERIFY(counts.isValid());

    const auto a = queue.append(u"0791"_qs, u"eins"_qs, QString());
    const auto b = queue.append(u"0792"_qs, u"zwei"_qs, u"076"_qs);
    QVERIFY(a != b);
    QCOMPARE(queue.count(), 2);
    QCOMPARE(queue.rowCount(), 2);
    QCOMPARE(queue.columnCount(), 3);
    QCOMPARE(queue.head()->nachricht, u"eins"_qs);
    QCOMPARE(queue.at(1).rueckrufNummer, u"076"_qs);
    QCOMPARE(queue.indexOf(b), 1);
    QCOMPARE(counts.size(), 2);
    QCOMPARE(counts.at(1).at(0).toInt(), 2);

    // An id is never handed out twice, not even after its entry is gone.
    queue.remove(1);
    const auto c = queue.append(u"0793"_qs, u"drei"_qs, QString());
    QVERIFY(c != b && c != a);
}

void TestOutgoingQueue::appendManyNotifiesOnce()
{
    OutgoingQueue queue;
    queue.append(u"0790"_qs, u"vorher"_qs, QString());
    QSignalSpy inserted(&queue, &QAbstractItemModel::rowsInserted);
    QVERIFY(inserted.isValid());

    const auto ids = queue.appendMany({{0, u"0791"_qs, u"a"_qs, QString()},
                                       {0, u"0792"_qs, u"b"_qs, QString()},
                                       {0, u"0793"_qs, u"c"_qs, QString()}});
    QCOMPARE(ids.size(), 3);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(inserted.at(0).at(2).toInt(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(queue.indexOf(ids.at(i)), i + 1);

    QVERIFY(queue.appendMany({}).isEmpty());
    QCOMPARE(inserted.size(), 1);
}

void TestOutgoingQueue::isEmpty_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<bool>("empty");

    QTest::newRow("no entry") << QStringList{} << true;
    QTest::newRow("one entry") << QStringList{u"0791"_qs} << false;
    // An entry without a number at the head blocks sending like an empty queue.
    QTest::newRow("head without number") << QStringList{QString(), u"0791"_qs} << true;
    QTest::newRow("later entry without number") << QStringList{u"0791"_qs, QString()} << false;
}

void TestOutgoingQueue::isEmpty()
{
    QFETCH(QStringList, numbers);
    QFETCH(bool, empty);
    OutgoingQueue queue;
    for (const QString &number : numbers)
        queue.append(number, u"x"_qs, QString());
    QCOMPARE(queue.isEmpty(), empty);
    QCOMPARE(queue.head().has_value(), !numbers.isEmpty());
}

void TestOutgoingQueue::remove_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("head") << 0 << true << QStringList{u"b"_qs, u"c"_qs};
    QTest::newRow("middle") << 1 << true << QStringList{u"a"_qs, u"c"_qs};
    QTest::newRow("last") << 2 << true << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("past the end") << 3 << false << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
    QTest::newRow("negative") << -1 << false << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
}

void TestOutgoingQueue::remove()
{
    QFETCH(int, index);
    QFETCH(bool, removed);
    QFETCH(QStringList, left);

    OutgoingQueue queue;
    for (const QString &text : {u"a"_qs, u"b"_qs, u"c"_qs})
        queue.append(u"079"_qs, text, QString());
    QSignalSpy counts(&queue, &OutgoingQueue::countChanged);
    QVERIFY(counts.isValid());

    QCOMPARE(queue.remove(index), removed);
    QStringList texts;
    for (int i = 0; i < queue.count(); ++i)
        texts.append(queue.at(i).nachricht);
    QCOMPARE(texts, left);
    QCOMPARE(counts.size(), removed ? 1 : 0);
}

void TestOutgoingQueue::removeByIdFindsMovedEntry()
{
    OutgoingQueue queue;
    queue.append(u"0791"_qs, u"a"_qs, QString());
    const auto b = queue.append(u"0792"_qs, u"b"_qs, QString());
    queue.append(u"0793"_qs, u"c"_qs, QString());

    queue.remove(0); // the head went out meanwhile
    QVERIFY(queue.removeById(b));
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.head()->nachricht, u"c"_qs);
}

void TestOutgoingQueue::removeByIdOfSentEntryDoesNothing()
{
    OutgoingQueue queue;
    const auto a = queue.append(u"0791"_qs, u"a"_qs, QString());
    queue.append(u"0792"_qs, u"b"_qs, QString());
    queue.remove(0);
    QCOMPARE(queue.indexOf(a), -1);
    QVERIFY(!queue.removeById(a));
    QCOMPARE(queue.count(), 1);
}

void TestOutgoingQueue::displayShowsLineBreakAsMark()
{
    OutgoingQueue queue;
    queue.append(u"079 123"_qs, u"Hallo\r\nWelt"_qs, u"076"_qs);
    const QModelIndex text = queue.index(0, OutgoingQueue::NachrichtColumn);
    QCOMPARE(queue.data(text).toString(), u"Hallo¶Welt"_qs);
    // The stored text and the tooltip keep the real line break.
    QCOMPARE(queue.data(text, Qt::ToolTipRole).toString(), u"Hallo\r\nWelt"_qs);
    QCOMPARE(queue.at(0).nachricht, u"Hallo\r\nWelt"_qs);
    QCOMPARE(queue.data(queue.index(0, OutgoingQueue::NatelNummerColumn)).toString(),
             u"079 123"_qs);
    QCOMPARE(queue.data(queue.index(0, OutgoingQueue::RueckrufNummerColumn)).toString(), u"076"_qs);
    QVERIFY(!queue.data(queue.index(1, 0)).isValid());
}

QTEST_APPLESS_MAIN(TestOutgoingQueue)
#include "tst_outgoingqueue.moc"
