#include "messagetext.h"
#include "outgoingqueue.h"
#include "queuenumber.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Records what the queue asks of its journal, and how many rows the queue
// showed at that moment.
class RecordingJournal final : public QueueJournal
{
public:
    explicit RecordingJournal(const OutgoingQueue &queue) : m_queue(queue) {}

    bool store(const QList<QueueEntry> &entries) override
    {
        QStringList texts;
        for (const QueueEntry &entry : entries)
            texts << QString::number(entry.id) + u':' + entry.nachricht;
        calls << u"store %1 shown %2"_s.arg(texts.join(u' ')).arg(m_queue.count());
        return accept;
    }
    void drop(const QList<quint64> &ids) override
    {
        QStringList texts;
        for (const quint64 id : ids)
            texts << QString::number(id);
        calls << u"drop "_s + texts.join(u' ');
    }

    bool accept = true;
    QStringList calls;

private:
    const OutgoingQueue &m_queue;
};

} // namespace

class TestOutgoingQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data();
    void split();
    void toCrLf_data();
    void toCrLf();
    void entriesKeepTheirIdentity();
    void journal_data();
    void journal();
    void restoredEntriesKeepTheirIds();
    void number_data();
    void number();
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
        expected.append((i > 0 ? u"->..."_s : QString()) + text.mid(pos, pieces.at(i)) +
                        (i + 1 < pieces.size() ? u"...->"_s : QString()));
        pos += pieces.at(i);
    }
    QCOMPARE(pos, text.size()); // the row itself covers the whole text
    QCOMPARE(splitMessage(text), expected);
    QCOMPARE(messagePartCount(text.size()), int(pieces.size()));
    // Sent one part at a time, each time from what is left: the same parts.
    QStringList oneByOne;
    for (QString left = text; !left.isEmpty();) {
        FirstPart first = splitFirstPart(left);
        oneByOne.append(first.part);
        QVERIFY(first.rest.size() < left.size());
        left = first.rest;
    }
    QCOMPARE(oneByOne, expected);
}

void TestOutgoingQueue::toCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("LF, CR LF stays") << u"a\nb\r\nc"_s << u"a\r\nb\r\nc"_s;
    QTest::newRow("lone CR, CR CR LF") << u"a\rb\r\r\n"_s << u"a\r\nb\r\n\r\n"_s;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << u"a\r\n\r\nb"_s;
    QTest::newRow("separators") << u"a\u2029b\u2028"_s << u"a\r\nb\r\n"_s;
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
    // An entry without a number at the head blocks sending like an empty queue.
    const auto a = queue.append(QString(), u"a"_s, QString());
    QVERIFY(queue.isEmpty() && queue.head());
    const auto b = queue.append(u"0792"_s, u"b\r\nb"_s, u"076"_s);
    QVERIFY(!queue.remove(-1) && !queue.remove(2));
    QVERIFY(queue.remove(0)); // the head went out meanwhile
    QCOMPARE(queue.count(), 1);
    const QModelIndex text = queue.index(0, OutgoingQueue::NachrichtColumn);
    QCOMPARE(queue.data(text).toString(), u"b¶b"_s);
    // The stored text and the tooltip keep the real line break.
    QCOMPARE(queue.data(text, Qt::ToolTipRole).toString(), u"b\r\nb"_s);
    QCOMPARE(queue.data(queue.index(0, OutgoingQueue::RueckrufNummerColumn)).toString(), u"076"_s);

    // Ids are never handed out twice, not even after their entry is gone.
    QSignalSpy inserted(&queue, &QAbstractItemModel::rowsInserted);
    const auto ids =
        queue.appendMany({{0, u"0793"_s, u"c"_s, QString()}, {0, u"0794"_s, u"d"_s, QString()}});
    QCOMPARE(inserted.size(), 1); // one notification for the whole batch
    QVERIFY(a != b && !ids.contains(a) && !ids.contains(b) && ids.at(0) != ids.at(1));
    QCOMPARE(queue.indexOf(ids.at(1)), 2);
    QVERIFY(!queue.removeById(a));
    QVERIFY(queue.removeById(b));
    QCOMPARE(queue.head()->nachricht, u"c"_s);
}

void TestOutgoingQueue::journal_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("calls");
    // Stored before the queue shows the entries; dropped when the user
    // removes one or the queue is cleared, never when the sent entry leaves
    // (its row went with the log row).
    QTest::newRow("stored") << true
                            << QStringList{u"store 1:a shown 0"_s,
                                           u"store 2:b 3:c 4:d shown 1"_s,
                                           u"drop 3"_s,
                                           u"drop 2"_s,
                                           u"store 5: shown 1"_s,
                                           u"drop 4 5"_s};
    // What the journal could not keep is not asked to go either.
    QTest::newRow("refused") << false
                             << QStringList{u"store 1:a shown 0"_s, u"store 2:b 3:c 4:d shown 1"_s,
                                            u"store 5: shown 1"_s};
}

void TestOutgoingQueue::journal()
{
    QFETCH(bool, accept);
    QFETCH(QStringList, calls);
    OutgoingQueue queue;
    RecordingJournal journal(queue);
    journal.accept = accept;
    queue.setJournal(&journal);
    const auto a = queue.append(u"0791"_s, u"a"_s, QString());
    const auto more = queue.appendMany({{0, u"0792"_s, u"b"_s, QString()},
                                        {0, u"0793"_s, u"c"_s, QString()},
                                        {0, u"0794"_s, u"d"_s, QString()}});
    QCOMPARE(queue.at(0).stored, accept);
    QCOMPARE(queue.at(3).stored, accept);
    QVERIFY(queue.removeLogged(a)); // sent and logged
    QVERIFY(!queue.removeLogged(a));
    QVERIFY(queue.removeById(more.at(1))); // the user's removals
    QVERIFY(queue.remove(0));
    queue.append(QString(), QString(), QString());
    queue.clear();
    QCOMPARE(queue.count(), 0);
    QCOMPARE(journal.calls, calls);
}

void TestOutgoingQueue::restoredEntriesKeepTheirIds()
{
    OutgoingQueue queue;
    RecordingJournal journal(queue);
    QSignalSpy inserted(&queue, &QAbstractItemModel::rowsInserted);
    queue.restore({{7, u"0797"_s, u"sieben"_s, u"076"_s}, {9, u"0799"_s, u"neun"_s, QString()}});
    QCOMPARE(inserted.size(), 1);
    queue.setJournal(&journal);
    QCOMPARE(queue.head()->nachricht, u"sieben"_s);
    QVERIFY(queue.head()->stored);
    QCOMPARE(queue.indexOf(9), 1);
    // New entries come after the highest restored id, so none is taken twice.
    QCOMPARE(queue.append(u"0790"_s, u"neu"_s, QString()), 10u);
    QVERIFY(queue.removeById(7));
    QCOMPARE(journal.calls, (QStringList{u"store 10:neu shown 2"_s, u"drop 7"_s}));
}

void TestOutgoingQueue::number_data()
{
    using P = QueueNumber::Problem;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<P>("problem");
    QTest::addColumn<int>("position"); // ForeignCharacter
    QTest::addColumn<int>("count");    // TooLong: the digits counted

    QTest::newRow("blanks dropped") << u" 079 123 45 67 "_s << u"0791234567"_s << P::None << 0 << 0;
    QTest::newRow("+ is 00") << u"+41 79 123 45 67"_s << u"0041791234567"_s << P::None << 0 << 0;
    QTest::newRow("+ after blanks") << u"  + 41 79"_s << u"004179"_s << P::None << 0 << 0;
    QTest::newRow("hyphens") << u"078-444 55 66"_s << u"0784445566"_s << P::None << 0 << 0;
    QTest::newRow("slash") << u"079/123 45 67"_s << u"0791234567"_s << P::None << 0 << 0;
    QTest::newRow("tel URI form") << u"+41-79-555-12-34"_s << u"0041795551234"_s << P::None << 0
                                  << 0;
    QTest::newRow("dots, brackets") << u"(044) 555.12.34"_s << u"0445551234"_s << P::None << 0 << 0;
    QTest::newRow("(0) after +41")
        << u"+41 (0)79 555 12 34"_s << u"0041795551234"_s << P::None << 0 << 0;
    QTest::newRow("(0) after 0041")
        << u"0041(0)79 555 12 34"_s << u"0041795551234"_s << P::None << 0 << 0;
    QTest::newRow("( 0 ) after 0041") << u"0041 ( 0 ) 79 1"_s << u"0041791"_s << P::None << 0 << 0;
    QTest::newRow("(0) after +352")
        << u"+352 (0)621 123"_s << u"00352621123"_s << P::None << 0 << 0;
    QTest::newRow("(0) further on is a 0")
        << u"+41 79 (0)5"_s << u"00417905"_s << P::None << 0 << 0;
    QTest::newRow("(0) national is a 0") << u"(0)79 1"_s << u"0791"_s << P::None << 0 << 0;
    QTest::newRow("+ in brackets") << u"(+41) 79 1"_s << u"0041791"_s << P::None << 0 << 0;
    QTest::newRow("+ and 15 digits")
        << u"+"_s + QString(15, u'1') << u"00"_s + QString(15, u'1') << P::None << 0 << 0;
    QTest::newRow("00 and 15 digits")
        << u"00"_s + QString(15, u'1') << u"00"_s + QString(15, u'1') << P::None << 0 << 0;
    QTest::newRow("15 digits") << QString(15, u'1') << QString(15, u'1') << P::None << 0 << 0;
    QTest::newRow("empty") << QString() << QString() << P::NoDigits << 0 << 0;
    QTest::newRow("blanks only") << u"   "_s << QString() << P::NoDigits << 0 << 0;
    QTest::newRow("separators only") << u" -/.() "_s << QString() << P::NoDigits << 0 << 0;
    QTest::newRow("+ without digits") << u" + "_s << QString() << P::ForeignCharacter << 1 << 0;
    QTest::newRow("+ and separators") << u"+ (-)"_s << QString() << P::ForeignCharacter << 0 << 0;
    QTest::newRow("+ inside") << u"079+1"_s << QString() << P::ForeignCharacter << 3 << 0;
    QTest::newRow("second +") << u"++41"_s << QString() << P::ForeignCharacter << 1 << 0;
    QTest::newRow("letter") << u"079a"_s << QString() << P::ForeignCharacter << 3 << 0;
    QTest::newRow("letter between separators")
        << u"078-444 x5 66"_s << QString() << P::ForeignCharacter << 8 << 0;
    QTest::newRow("comma") << u"079,123"_s << QString() << P::ForeignCharacter << 3 << 0;
    QTest::newRow("underscore") << u"079_123"_s << QString() << P::ForeignCharacter << 3 << 0;
    QTest::newRow("no-break space")
        << u"079\u00A01"_s << QString() << P::ForeignCharacter << 3 << 0;
    QTest::newRow("en dash") << u"079\u20131"_s << QString() << P::ForeignCharacter << 3 << 0;
    QTest::newRow("non-ASCII digit") << u"07\u0663"_s << QString() << P::ForeignCharacter << 2 << 0;
    QTest::newRow("16 digits") << QString(16, u'1') << QString() << P::TooLong << 0 << 16;
    QTest::newRow("+ and 16 digits")
        << u"+"_s + QString(16, u'1') << QString() << P::TooLong << 0 << 16;
    QTest::newRow("00 and 16 digits")
        << u"00"_s + QString(16, u'1') << QString() << P::TooLong << 0 << 16;
    QTest::newRow("(0) counted further on")
        << u"+41 (0)79 (0)12345678901"_s << QString() << P::TooLong << 0 << 16;
    QTest::newRow("100 KB pasted")
        << QString(100000, u'7') << QString() << P::TooLong << 0 << 100000;
}

void TestOutgoingQueue::number()
{
    using P = QueueNumber::Problem;
    QFETCH(QString, text);
    QFETCH(QString, digits);
    QFETCH(P, problem);
    const QueueNumber number = queueNumber(text);
    QCOMPARE(number.problem, problem);
    QCOMPARE(number.isValid(), problem == P::None);
    QCOMPARE(number.digits, digits);
    if (problem == P::ForeignCharacter) {
        QFETCH(int, position);
        QCOMPARE(number.position, qsizetype(position));
        QCOMPARE(foreignCharacter(text, number), text.mid(position, 1));
    }
    if (problem == P::TooLong) {
        QFETCH(int, count);
        QCOMPARE(number.digitCount, qsizetype(count));
        // Neither cut nor quoted in full.
        const QString message = queueNumberMessage(u"Die Mobilnummer"_s, text, number);
        QVERIFY2(
            message.contains(u" hat %1 Ziffern. Eine Nummer hat höchstens 15 Ziffern"_s.arg(count)),
            qPrintable(message));
        QVERIFY(message.size() < 300);
    }
}

QTEST_APPLESS_MAIN(TestOutgoingQueue)
#include "tst_outgoingqueue.moc"
