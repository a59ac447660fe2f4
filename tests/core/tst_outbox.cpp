#include "outbox.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// The one door into the queue: the number rule, the call-back number and
// the split of the connection kind, for one recipient and for many.
class TestOutbox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enqueue_data();
    void enqueue();
    void enqueueWhole();
    void enqueuePersonalTexts();
    void stopList();
};

namespace {

// Numbers (as the queue holds them) that replied STOP.
class FakeStopCheck final : public StopCheck
{
public:
    QHash<QString, QDateTime> stopped;
    QDateTime stoppedSince(const QString &number) const override { return stopped.value(number); }
    QStringList withoutStopped(const QStringList &numbers) const override
    {
        QStringList kept;
        for (const QString &number : numbers)
            if (!stopped.contains(number))
                kept.append(number);
        return kept;
    }
};

} // namespace

void TestOutbox::enqueue_data()
{
    using R = Enqueued::Refusal;
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("callBack");
    QTest::addColumn<R>("refusal"); // of the one-recipient form
    QTest::addColumn<QStringList>("entries");

    const QString long161 = QString(155, u'a') + u"bbbbbb"_s;
    QTest::newRow("one entry") << QStringList{u"079 1"_s} << u"Hi"_s << u"076 5"_s << R::None
                               << QStringList{u"0791|Hi|0765"_s};
    QTest::newRow("+ as 00, line break as CR LF")
        << QStringList{u" +41 79 1"_s} << u"a\nb"_s << u"+5 "_s << R::None
        << QStringList{u"0041791|a\r\nb|005"_s};
    QTest::newRow("161 characters split")
        << QStringList{u"1"_s} << long161 << QString() << R::None
        << QStringList{u"1|"_s + QString(155, u'a') + u"...->|", u"1|->...bbbbbb|"_s};
    QTest::newRow("call-back of blanks")
        << QStringList{u"1"_s} << u"Hi"_s << u"   "_s << R::None << QStringList{u"1|Hi|"_s};
    QTest::newRow("empty message")
        << QStringList{u"1"_s} << QString() << QString() << R::NoText << QStringList();
    QTest::newRow("number of blanks")
        << QStringList{u"   "_s} << u"Hi"_s << QString() << R::Number << QStringList();
    QTest::newRow("letter in number")
        << QStringList{u"3-a"_s} << u"Hi"_s << QString() << R::Number << QStringList();
    QTest::newRow("16 digits") << QStringList{QString(16, u'1')} << u"Hi"_s << QString()
                               << R::Number << QStringList();
    QTest::newRow("separators in both")
        << QStringList{u"+41 (0)79-1"_s} << u"Hi"_s << u"(076) 5/5."_s << R::None
        << QStringList{u"0041791|Hi|07655"_s};
    QTest::newRow("call-back with letter")
        << QStringList{u"1"_s} << u"Hi"_s << u"5-b"_s << R::CallBack << QStringList();
    // Several recipients (bulk): refused numbers are left out, the rest keep
    // their order.
    QTest::newRow("several, one refused")
        << QStringList{u"1"_s, u"+2"_s, u"3-x"_s, u"3/4"_s} << u"a\nb"_s << u"+5 "_s << R::None
        << QStringList{u"1|a\r\nb|005"_s, u"002|a\r\nb|005"_s, u"34|a\r\nb|005"_s};
    QTest::newRow("several, call-back refused")
        << QStringList{u"1"_s, u"2"_s} << u"a"_s << u"5x"_s << R::CallBack << QStringList();
    QTest::newRow("several, split")
        << QStringList{u"1"_s, u"2"_s} << long161 << QString() << R::None
        << QStringList{u"1|"_s + QString(155, u'a') + u"...->|", u"1|->...bbbbbb|"_s,
                       u"2|"_s + QString(155, u'a') + u"...->|", u"2|->...bbbbbb|"_s};
}

void TestOutbox::enqueue()
{
    using R = Enqueued::Refusal;
    QFETCH(QStringList, numbers);
    QFETCH(QString, text);
    QFETCH(QString, callBack);
    QFETCH(R, refusal);
    QFETCH(QStringList, entries);
    const auto queued = [](const OutgoingQueue &queue) {
        QStringList result;
        // Entry 0 was there before and stays at the head.
        for (int i = 1; i < queue.count(); ++i)
            result.append(queue.at(i).recipient + u'|' + queue.at(i).nachricht + u'|' +
                          queue.at(i).rueckrufNummer);
        return result;
    };

    OutgoingQueue many;
    many.append(u"0790"_s, u"vorher"_s, QString());
    Outbox manyDoor(&many);
    manyDoor.setCallBackNumber(callBack);
    QSignalSpy inserted(&many, &QAbstractItemModel::rowsInserted);
    QSignalSpy told(&manyDoor, &Outbox::queued);
    // Every recipient's last entry is the one that does not go on.
    int recipients = 0;
    for (const QString &entry : std::as_const(entries))
        recipients += entry.contains(u"...->|"_s) ? 0 : 1;
    QCOMPARE(manyDoor.enqueue(numbers, text, Outbox::Origin::Bulk), recipients);
    QCOMPARE(queued(many), entries);
    QCOMPARE(inserted.size(), entries.isEmpty() ? 0 : 1); // one step for the whole run
    QCOMPARE(told.size(), entries.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QCOMPARE(told.first().at(0).value<Outbox::Origin>(), Outbox::Origin::Bulk);
    // The same text for everybody, given per recipient, queues the same.
    OutgoingQueue personal;
    personal.append(u"0790"_s, u"vorher"_s, QString());
    Outbox personalDoor(&personal);
    personalDoor.setCallBackNumber(callBack);
    QCOMPARE(
        personalDoor.enqueueEach(numbers, QStringList(numbers.size(), text), Outbox::Origin::Bulk),
        recipients);
    QCOMPARE(queued(personal), entries);

    if (numbers.size() != 1)
        return;
    OutgoingQueue one;
    one.append(u"0790"_s, u"vorher"_s, QString());
    Outbox oneDoor(&one);
    oneDoor.setCallBackNumber(callBack);
    const Enqueued result = oneDoor.enqueue(numbers.constFirst(), text, Outbox::Origin::Window);
    QCOMPARE(result.refusal, refusal);
    QCOMPARE(result.ids.size(), entries.size());
    QCOMPARE(queued(one), entries);
    if (refusal == R::Number)
        QVERIFY(!result.number.isValid());
    if (refusal == R::CallBack)
        QCOMPARE(result.callBack.problem, QueueNumber::Problem::ForeignCharacter);
}

// For a GSM modem a long message stays one entry: the modem sends it as one
// concatenated SMS, without marks, in at most its part limit.
void TestOutbox::enqueueWhole()
{
    const QString text = QString(399, u'x') + u'\n';
    OutgoingQueue queue;
    Outbox outbox(&queue);
    QSignalSpy planChanged(&outbox, &Outbox::planChanged);
    // A kind that sends a message whole, in at most three SMS.
    MessagePlan plan = ConnectionKinds::of(ConnectionKind::Gsm).plan;
    plan.partLimit = 3;
    outbox.setPlan(plan);
    QCOMPARE(planChanged.size(), 1);
    QCOMPARE(outbox.enqueue(u"079 1"_s, text, Outbox::Origin::Window).refusal,
             Enqueued::Refusal::None);
    outbox.setCallBackNumber(u"5"_s);
    QCOMPARE(outbox.enqueue({u"1"_s, u"3-x"_s, u"2"_s}, text, Outbox::Origin::Bulk), 2);
    QCOMPARE(queue.count(), 3);
    for (int i = 0; i < queue.count(); ++i)
        QCOMPARE(queue.at(i).nachricht, QString(399, u'x') + u"\r\n"_s);
    QCOMPARE(queue.at(2).recipient, u"2"_s);
    QCOMPARE(outbox.enqueue(u"1"_s, QString(), Outbox::Origin::Window).refusal,
             Enqueued::Refusal::NoText);
    // One SMS over the limit: refused for one recipient and left out for many.
    const QString fourParts = QString(3 * 153 + 1, u'x');
    QCOMPARE(outbox.enqueue(u"1"_s, fourParts, Outbox::Origin::Window).refusal,
             Enqueued::Refusal::TooLong);
    QCOMPARE(outbox.enqueueEach({u"1"_s, u"2"_s}, {fourParts, u"kurz"_s}, Outbox::Origin::Bulk), 1);
    QCOMPARE(queue.count(), 4);
    QCOMPARE(queue.at(3).nachricht, u"kurz"_s);
}

void TestOutbox::enqueuePersonalTexts()
{
    OutgoingQueue queue;
    Outbox outbox(&queue);
    outbox.setCallBackNumber(u"076"_s);
    QSignalSpy inserted(&queue, &QAbstractItemModel::rowsInserted);
    // An empty text (a merge field that was empty for this person) and a
    // refused number leave their recipient out; the others keep their order.
    QCOMPARE(outbox.enqueueEach({u"079 1"_s, u"079 2"_s, u"3x4"_s, u"+41 79 5"_s},
                                {u"Hallo Anna"_s, QString(), u"Hallo X"_s, u"Hallo\nBen"_s},
                                Outbox::Origin::Bulk),
             2);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(queue.count(), 2);
    QCOMPARE(queue.at(0).recipient + u'|' + queue.at(0).nachricht + u'|' +
                 queue.at(0).rueckrufNummer,
             u"0791|Hallo Anna|076"_s);
    QCOMPARE(queue.at(1).recipient + u'|' + queue.at(1).nachricht, u"0041795|Hallo\r\nBen"_s);
    outbox.setCallBackNumber(u"07+6"_s);
    QCOMPARE(outbox.enqueueEach({u"079 1"_s}, {u"Hallo"_s}, Outbox::Origin::Bulk), 0);
    QCOMPARE(queue.count(), 2);
}

// A recipient who replied STOP is refused for one message (until the user
// confirms) and left out of a bulk run, which says how many it left out.
void TestOutbox::stopList()
{
    OutgoingQueue queue;
    Outbox outbox(&queue);
    FakeStopCheck check;
    const QDateTime since(QDate(2026, 12, 1), QTime(8, 0));
    check.stopped.insert(u"0791"_s, since);
    outbox.setStopCheck(&check);
    const Enqueued refused = outbox.enqueue(u"079 1"_s, u"Hallo"_s, Outbox::Origin::Window);
    QCOMPARE(refused.refusal, Enqueued::Refusal::Stopped);
    QCOMPARE(refused.stoppedSince, since);
    QCOMPARE(queue.count(), 0);
    QCOMPARE(
        outbox
            .enqueue(u"079 1"_s, u"Hallo"_s, Outbox::Origin::Window, Outbox::StopListed::SendAnyway)
            .refusal,
        Enqueued::Refusal::None);
    QCOMPARE(queue.count(), 1);
    int stopped = -1;
    QCOMPARE(outbox.enqueue({u"0792"_s, u"0791"_s, u"x"_s, u"0793"_s}, u"Hallo"_s,
                            Outbox::Origin::Bulk, &stopped),
             2);
    QCOMPARE(stopped, 1);
    QCOMPARE(queue.at(1).recipient + u' ' + queue.at(2).recipient, u"0792 0793"_s);
    QCOMPARE(outbox.enqueueEach({u"0791"_s}, {u"Hallo"_s}, Outbox::Origin::Bulk, &stopped), 0);
    QCOMPARE(stopped, 1);
}

QTEST_APPLESS_MAIN(TestOutbox)
#include "tst_outbox.moc"
