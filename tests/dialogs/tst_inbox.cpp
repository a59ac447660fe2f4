#include "csvformat.h"
#include "fakeclock.h"
#include "frmeingang.h"
#include "frmsperrliste.h"
#include "scriptedprompter.h"
#include "storeconnection.h"
#include "testdb.h"
#include "twowaytables.h"

#include <QFont>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// The inbox and the stop list, each on a test Daten.mdb made the way another
// tool would make it, the two-way tables added as the program makes them.
class TestInbox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Times are shown in local time: a zone away from UTC, with summer time.
        qputenv("TZ", "Europe/Zurich");
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = TestDb::create(m_dir->path());
        QVERIFY(!m_path.isEmpty());
        m_main = std::make_unique<QWidget>();
        m_prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup() { delete m_dialog.data(); }

    void inboxLine_data();
    void inboxLine();
    void inboxOpens_data();
    void inboxOpens();
    void inboxNewestFirstAndRead();
    void inboxLarge();
    void inboxReply_data();
    void inboxReply();
    void inboxDelete_data();
    void inboxDelete();
    void inboxExport();
    void inboxOpensStopList();
    void stopListAdd_data();
    void stopListAdd();
    void stopListRemove_data();
    void stopListRemove();

private:
    qint64 receive(const QString &sender, const QString &text,
                   const QString &sentAt = u"2026-12-06T14:03:05.000"_s, bool read = false,
                   bool stop = false, bool incomplete = false)
    {
        StoreConnection connection(m_path, u"test"_s);
        Inbox inbox(connection.database());
        if (!inbox.prepareTable())
            return 0;
        return inbox
            .append(InboxMessage{0, sender, text, QDateTime::fromString(sentAt, Qt::ISODateWithMs),
                                 QDateTime(QDate(2026, 12, 6), QTime(15, 0)), read, stop,
                                 incomplete})
            .value_or(0);
    }
    bool openInbox()
    {
        auto *inbox = new FRMEingang(m_path, m_main.get(), m_prompter.get(), &m_clock);
        QSignalSpy filled(inbox, &FRMEingang::filled);
        m_dialog = inbox;
        inbox->show();
        return filled.wait(5000);
    }
    FRMEingang *inbox() const { return qobject_cast<FRMEingang *>(m_dialog); }
    QListView *list() const { return m_dialog->findChild<QListView *>(u"LSTEingang"_s); }
    void select(int row)
    {
        list()->selectionModel()->select(list()->model()->index(row, 0),
                                         QItemSelectionModel::ClearAndSelect);
    }
    bool isBold(int row) const
    {
        return list()->model()->index(row, 0).data(Qt::FontRole).value<QFont>().bold();
    }
    int count(const QString &table) const
    {
        return TestDb::scalar(m_path, u"SELECT COUNT(*) FROM "_s + table).toInt();
    }
    bool openStopList()
    {
        auto *stopList = new FRMSperrliste(m_path, m_main.get(), m_prompter.get(), &m_clock);
        QSignalSpy filled(stopList, &FRMSperrliste::filled);
        m_dialog = stopList;
        stopList->show();
        return filled.wait(5000);
    }
    QStringList stopLines() const { return qobject_cast<FRMSperrliste *>(m_dialog)->lines(); }
    void click(const QString &name)
    {
        QTest::mouseClick(m_dialog->findChild<QWidget *>(name), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    FakeClock m_clock;
    QPointer<DialogBase> m_dialog;
};

void TestInbox::inboxLine_data()
{
    QTest::addColumn<QString>("stored"); // the person's NatelNummer
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sentAt");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("incomplete");
    QTest::addColumn<QString>("expected");

    const QString t = u"2026-12-06T14:03:05.000"_s;
    QTest::newRow("national spelling")
        << u"079 555 12 34"_s << u"+41795551234"_s << u"Ja"_s << t << false << false
        << u"06.12.2026/14:03:05 - Anna Muster, Ja"_s;
    QTest::newRow("plus spelling") << u"+41 79 555 12 34"_s << u"+41795551234"_s << u"Ja"_s << t
                                   << false << false << u"06.12.2026/14:03:05 - Anna Muster, Ja"_s;
    QTest::newRow("00 spelling") << u"0041 79 555 12 34"_s << u"+41795551234"_s << u"Ja"_s << t
                                 << false << false << u"06.12.2026/14:03:05 - Anna Muster, Ja"_s;
    // A network that gives the sender in national form.
    QTest::newRow("national sender")
        << u"+41 79 555 12 34"_s << u"0795551234"_s << u"Ja"_s << t << false << false
        << u"06.12.2026/14:03:05 - Anna Muster, Ja"_s;
    QTest::newRow("unknown number")
        << u"079 555 12 35"_s << u"+41795551234"_s << u"Ja"_s << t << false << false
        << u"06.12.2026/14:03:05 - +41795551234, Ja"_s;
    QTest::newRow("alphanumeric sender")
        << u"079 555 12 34"_s << u"Swisscom"_s << u"Ihr Guthaben"_s << t << false << false
        << u"06.12.2026/14:03:05 - Swisscom, Ihr Guthaben"_s;
    QTest::newRow("stop") << u"079 555 12 34"_s << u"+41795551234"_s << u"STOP"_s << t << true
                          << false << u"06.12.2026/14:03:05 - Anna Muster, STOP [STOP: gesperrt]"_s;
    QTest::newRow("incomplete, two lines")
        << u"079 555 12 34"_s << u"+41795551234"_s << u"Bis\r\nmorgen"_s << t << false << true
        << u"06.12.2026/14:03:05 - Anna Muster, Bis¶morgen [unvollständig]"_s;
    // The centre's time stamp in local time; without one, when it was stored.
    QTest::newRow("utc stamp") << QString() << u"+41795551234"_s << u"Ja"_s
                               << u"2026-12-31T23:30:00.000Z"_s << false << false
                               << u"01.01.2027/00:30:00 - +41795551234, Ja"_s;
    QTest::newRow("no stamp") << QString() << u"+41795551234"_s << u"Ja"_s << QString() << false
                              << false << u"06.12.2026/15:00:00 - +41795551234, Ja"_s;
}

void TestInbox::inboxLine()
{
    QFETCH(QString, stored);
    QFETCH(QString, sender);
    QFETCH(QString, text);
    QFETCH(QString, sentAt);
    QFETCH(bool, stop);
    QFETCH(bool, incomplete);
    QFETCH(QString, expected);
    TestDb::addPerson(m_path, u"Bruno Beispiel"_s, u"078 111 22 33"_s);
    if (!stored.isEmpty())
        TestDb::addPerson(m_path, u"Anna Muster"_s, stored);
    QVERIFY(receive(sender, text, sentAt, false, stop, incomplete) > 0);
    QVERIFY(openInbox());
    QCOMPARE(inbox()->lines(), QStringList{expected});
    QCOMPARE(m_prompter->count(), 0);
}

void TestInbox::inboxOpens_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("error"); // the start of the message, if any

    // A file of an older program: the table is made, the list is empty.
    QTest::newRow("without tables") << QString() << QString();
    QTest::newRow("unreadable") << u"CREATE TABLE Inbox (Fremd TEXT)"_s
                                << u"Der Eingang konnte nicht aus "_s;
}

void TestInbox::inboxOpens()
{
    QFETCH(QString, setUp);
    QFETCH(QString, error);
    if (!setUp.isEmpty())
        QVERIFY(TestDb::exec(m_path, setUp));
    QVERIFY(openInbox());
    QCOMPARE(inbox()->lines(), QStringList());
    if (error.isEmpty()) {
        QCOMPARE(m_prompter->count(), 0);
        QCOMPARE(count(u"Inbox"_s), 0);
    } else {
        QCOMPARE(m_prompter->count(), 1);
        QVERIFY(
            m_prompter->texts().constFirst().startsWith(error + m_path + u" gelesen werden:\n"_s));
    }
    // The window is back after its message and closes normally.
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_main->isEnabled());
    click(u"LBLEnde"_s);
    QVERIFY(m_main->isEnabled());
}

void TestInbox::inboxNewestFirstAndRead()
{
    QVERIFY(receive(u"+41790000001"_s, u"erste"_s) > 0);
    QVERIFY(receive(u"+41790000002"_s, u"zweite"_s, u"2026-12-06T14:03:05.000"_s, true) > 0);
    QVERIFY(receive(u"+41790000003"_s, u"dritte"_s) > 0);
    QVERIFY(openInbox());
    const QStringList lines = inbox()->lines();
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(u"dritte"_s));
    QVERIFY(lines.at(2).endsWith(u"erste"_s));
    QCOMPARE(QList<bool>({isBold(0), isBold(1), isBold(2)}), QList<bool>({true, false, true}));
    auto *unreadLabel = m_dialog->findChild<QLabel *>(u"lblUngelesen"_s);
    QCOMPARE(unreadLabel->text(), u"Ungelesen: 2"_s);
    QCOMPARE(unreadLabel->accessibleName(), unreadLabel->text());
    // Opening marks nothing read.
    QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Inbox WHERE IsRead = 0"_s).toInt(), 2);

    QSignalSpy changed(inbox(), &FRMEingang::unreadChanged);
    select(2);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!isBold(2));
    QCOMPARE(TestDb::scalar(m_path, u"SELECT IsRead FROM Inbox WHERE Text = 'erste'"_s).toInt(), 1);
    QCOMPARE(unreadLabel->text(), u"Ungelesen: 1"_s);
    // A line that was read already changes nothing.
    select(1);
    QCOMPARE(changed.count(), 1);
    QVERIFY(isBold(0));
    QCOMPARE(m_prompter->count(), 0);
}

void TestInbox::inboxLarge()
{
    QVERIFY(receive(u"+41790000001"_s, u"vorher"_s) > 0);
    QVERIFY(TestDb::exec(m_path,
                         u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         u"WHERE i < 99999) INSERT INTO Inbox (Sender, Text, SentAt, ReceivedAt) "
                         u"SELECT '+41795551234', 'Nachricht ' || i, '2026-12-06T14:03:05.000', "
                         u"'2026-12-06T14:03:06.000' FROM n"_s));
    QCOMPARE(count(u"Inbox"_s), 100000);
    QVERIFY(openInbox());
    const QAbstractItemModel *model = list()->model();
    QCOMPARE(model->rowCount(), 100000);
    QCOMPARE(model->index(0, 0).data().toString(),
             u"06.12.2026/14:03:05 - +41795551234, Nachricht 99999"_s);
    QCOMPARE(model->index(99999, 0).data().toString(),
             u"06.12.2026/14:03:05 - +41790000001, vorher"_s);
}

void TestInbox::inboxReply_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("number"); // emitted; empty: none
    QTest::addColumn<QString>("message");

    QTest::newRow("number") << u"+41795551234"_s << true << u"0041795551234"_s << QString();
    QTest::newRow("alphanumeric") << u"Swisscom"_s << true << QString()
                                  << u"Auf diese Nachricht kann nicht geantwortet werden: der "
                                     u"Absender «Swisscom» ist keine Mobilnummer."_s;
    QTest::newRow("nothing selected") << u"+41795551234"_s << false << QString()
                                      << u"Bitte wählen Sie zuerst eine Nachricht aus."_s;
}

void TestInbox::inboxReply()
{
    QFETCH(QString, sender);
    QFETCH(bool, selected);
    QFETCH(QString, number);
    QFETCH(QString, message);
    QVERIFY(receive(sender, u"Hallo"_s) > 0);
    QVERIFY(openInbox());
    QSignalSpy requested(inbox(), &FRMEingang::replyRequested);
    if (selected)
        select(0);
    click(u"cmdAntworten"_s);
    QCOMPARE(requested.count(), number.isEmpty() ? 0 : 1);
    if (!number.isEmpty())
        QCOMPARE(requested.constFirst().constFirst().toString(), number);
    QCOMPARE(m_prompter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

void TestInbox::inboxDelete_data()
{
    QTest::addColumn<Prompter::Answer>("answer");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("Ja") << Prompter::Answer::Yes << QStringList{u"erste"_s};
    QTest::newRow("Nein") << Prompter::Answer::No << QStringList{u"zweite"_s, u"erste"_s};
}

void TestInbox::inboxDelete()
{
    QFETCH(Prompter::Answer, answer);
    QFETCH(QStringList, left);
    QVERIFY(receive(u"+41790000001"_s, u"erste"_s) > 0);
    QVERIFY(receive(u"+41790000002"_s, u"zweite"_s) > 0);
    QVERIFY(openInbox());
    select(0);
    m_prompter->answerNext(answer);
    click(u"cmdLoeschen"_s);
    QCOMPARE(m_prompter->texts(), QStringList{u"Wollen Sie diese Nachricht wirklich löschen?"_s});
    QCOMPARE(m_prompter->shown().constFirst().buttons, Prompter::Buttons::YesNo);
    QStringList shown;
    for (const QString &line : inbox()->lines())
        shown.append(line.section(u", "_s, 1));
    QCOMPARE(shown, left);
    QCOMPARE(count(u"Inbox"_s), int(left.size()));
}

void TestInbox::inboxExport()
{
    TestDb::addPerson(m_path, u"Anna Muster"_s, u"079 555 12 34"_s);
    const QString hard = u"Sag \"Grüezi\"; bis\r\nmorgen"_s;
    QVERIFY(receive(u"+41795551234"_s, hard, u"2026-12-06T09:00:00.000"_s, true) > 0);
    QVERIFY(receive(u"Swisscom"_s, u"STOP"_s, u"2026-12-06T09:01:00.000"_s, false, true, true) > 0);
    QVERIFY(openInbox());
    const QString path = m_dir->filePath(u"eingang"_s); // ".csv" is added
    m_prompter->answerSaveFile(Prompter::SaveFile{path, 0});
    click(u"cmdExportieren"_s);
    QCOMPARE(m_prompter->texts().constLast(), u"2 Nachrichten nach eingang.csv exportiert."_s);
    QFile file(path + u".csv"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF")); // UTF-8 with byte order mark
    const CsvTable table = readCsv(bytes);
    QCOMPARE(table.header, (QStringList{u"Datum"_s, u"Zeit"_s, u"Absender"_s, u"Name"_s,
                                        u"Nachricht"_s, u"Status"_s}));
    QCOMPARE(table.rows.size(), 2);
    QCOMPARE(table.rows.at(0),
             (QStringList{u"06.12.2026"_s, u"09:01:00"_s, u"Swisscom"_s, QString(), u"STOP"_s,
                          u"ungelesen, unvollständig, STOP: gesperrt"_s}));
    QCOMPARE(table.rows.at(1), (QStringList{u"06.12.2026"_s, u"09:00:00"_s, u"+41795551234"_s,
                                            u"Anna Muster"_s, hard, u"gelesen"_s}));

    // Cancelled: nothing written, nothing said.
    m_prompter->answerSaveFile(std::nullopt);
    const int boxes = m_prompter->count();
    click(u"cmdExportieren"_s);
    QCOMPARE(m_prompter->count(), boxes);

    // The table has gone meanwhile: no file, a message.
    QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Inbox RENAME TO Weg"_s));
    const QString lost = m_dir->filePath(u"weg.csv"_s);
    m_prompter->answerSaveFile(Prompter::SaveFile{lost, 0});
    click(u"cmdExportieren"_s);
    QCOMPARE(m_prompter->count(), boxes + 1);
    QVERIFY(m_prompter->texts().constLast().startsWith(u"Der Eingang konnte nicht aus "_s));
    QVERIFY(!QFile::exists(lost));
}

void TestInbox::inboxOpensStopList()
{
    QVERIFY(openInbox());
    click(u"cmdSperrliste"_s);
    QPointer<FRMSperrliste> stopList = inbox()->stopList();
    QVERIFY(stopList);
    QCOMPARE(stopList->objectName(), u"FRMSperrliste"_s);
    QTRY_VERIFY(stopList->isVisible());
    // The inbox waits for the stop list as the main window waits for both.
    QVERIFY(!m_dialog->isEnabled());
    QTest::mouseClick(stopList->findChild<QWidget *>(u"cmdOK"_s), Qt::LeftButton);
    QTRY_VERIFY(!stopList);
    QVERIFY(m_dialog->isEnabled());
    QVERIFY(!m_main->isEnabled());
}

void TestInbox::stopListAdd_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("key"); // stored; empty: nothing stored
    QTest::addColumn<QString>("message");

    QTest::newRow("national") << std::optional<QString>(u" 079 555 12 34 "_s) << u"+41795551234"_s
                              << QString();
    QTest::newRow("international")
        << std::optional<QString>(u"+41 79 555 12 34"_s) << u"+41795551234"_s << QString();
    // Too short for libphonenumber: listed by its digits.
    QTest::newRow("short code") << std::optional<QString>(u"939"_s) << u"939"_s << QString();
    QTest::newRow("refused") << std::optional<QString>(u"079 555 12 3x"_s) << QString()
                             << u"Die Mobilnummer"_s;
    QTest::newRow("empty") << std::optional<QString>(u""_s) << QString() << u"Die Mobilnummer"_s;
    QTest::newRow("cancelled") << std::optional<QString>() << QString() << QString();
}

void TestInbox::stopListAdd()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, key);
    QFETCH(QString, message);
    // A file without the table opens with an empty list.
    QVERIFY(openStopList());
    QCOMPARE(stopLines(), QStringList());
    QCOMPARE(m_prompter->count(), 0);

    m_prompter->answerInput(typed);
    click(u"cmdHinzufuegen"_s);
    QCOMPARE(m_prompter->shown().constFirst().text,
             u"Mobilnummer, die keine Nachrichten mehr erhalten soll:"_s);
    QVERIFY(m_prompter->shown().constFirst().isInput);
    if (key.isEmpty()) {
        QCOMPARE(stopLines(), QStringList());
        QCOMPARE(count(u"StopList"_s), 0);
    } else {
        QCOMPARE(stopLines(), QStringList{typed->trimmed() + u" – seit 06.12.2026 – von Hand"_s});
        QCOMPARE(TestDb::scalar(m_path, u"SELECT NumberKey FROM StopList"_s).toString(), key);
    }
    if (message.isEmpty())
        QCOMPARE(m_prompter->count(), 1);
    else
        QVERIFY(m_prompter->texts().constLast().startsWith(message));
}

void TestInbox::stopListRemove_data()
{
    QTest::addColumn<Prompter::Answer>("answer");
    QTest::addColumn<int>("left");

    QTest::newRow("Ja") << Prompter::Answer::Yes << 1;
    QTest::newRow("Nein") << Prompter::Answer::No << 2;
}

void TestInbox::stopListRemove()
{
    QFETCH(Prompter::Answer, answer);
    QFETCH(int, left);
    {
        StoreConnection connection(m_path, u"test"_s);
        StopList stopList(connection.database());
        QVERIFY(stopList.prepareTable());
        // The night summer time ends: 02:10 winter time is later than 02:30
        // summer time, though its stored text sorts before.
        QVERIFY(stopList.add(StopEntry{
            u"+41795551234"_s, u"079 555 12 34"_s,
            QDateTime::fromString(u"2026-10-25T02:30:00+02:00"_s, Qt::ISODate), u"STOP"_s}));
        QVERIFY(stopList.add(StopEntry{
            u"+41781112233"_s, u"+41781112233"_s,
            QDateTime::fromString(u"2026-10-25T02:10:00+01:00"_s, Qt::ISODate), QString()}));
    }
    QVERIFY(openStopList());
    QCOMPARE(stopLines(), (QStringList{u"+41781112233 – seit 25.10.2026"_s,
                                       u"079 555 12 34 – seit 25.10.2026 – STOP"_s}));
    auto *list = m_dialog->findChild<QListWidget *>(u"LSTSperrliste"_s);
    list->setCurrentRow(1);
    m_prompter->answerNext(answer);
    click(u"cmdEntfernen"_s);
    QCOMPARE(m_prompter->texts(),
             QStringList{u"Soll 079 555 12 34 wieder Nachrichten erhalten?"_s});
    QCOMPARE(stopLines().size(), left);
    QCOMPARE(count(u"StopList"_s), left);
    QVERIFY(stopLines().constFirst().startsWith(u"+41781112233"_s));
}

QTEST_MAIN(TestInbox)
#include "tst_inbox.moc"
