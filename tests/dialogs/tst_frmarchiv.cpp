#include "frmarchiv.h"

#include "look.h"
#include "scriptedprompter.h"
#include "testdb.h"

#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFrmArchiv : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void listsEveryRowInTableOrder();
    void emptyLogGivesEmptyList();
    void listIsSnapshotOfOpening();
    void closingUnlocksMainWindow_data();
    void closingUnlocksMainWindow();
    void longLineCanBeScrolledTo();
    void unreadableLogIsReported();

private:
    void log(const QString &datum, const QString &zeit, const QString &nummer, const QString &text,
             const QString &versandt = u"OK"_s);
    // Opens the window as the main window does and waits for its list.
    void openAndFill();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    QPointer<FRMArchiv> m_dialog;
};

void TestFrmArchiv::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = TestDb::create(m_dir->path());
    QVERIFY(!m_path.isEmpty());
    m_main = std::make_unique<QWidget>();
    m_prompter = std::make_unique<ScriptedPrompter>();
}

void TestFrmArchiv::cleanup()
{
    delete m_dialog.data();
    m_main.reset();
    m_dir.reset();
}

void TestFrmArchiv::log(const QString &datum, const QString &zeit, const QString &nummer,
                        const QString &text, const QString &versandt)
{
    QVERIFY(TestDb::exec(m_path,
                         u"INSERT INTO VersandLog (VersandDatum, VersandZeit, MobilNummer, "
                         u"Nachricht, versandt) VALUES (?, ?, ?, ?, ?)"_s,
                         {datum, zeit, nummer, text, versandt}));
}

void TestFrmArchiv::openAndFill()
{
    m_dialog = new FRMArchiv(m_path, m_main.get(), m_prompter.get());
    QSignalSpy filled(m_dialog.data(), &FRMArchiv::gefuellt);
    QVERIFY(filled.isValid());
    m_dialog->show();
    QVERIFY2(filled.wait(5000), "the list was never filled");
    QCOMPARE(filled.count(), 1);
}

void TestFrmArchiv::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Label2") << u"Label2"_s << QRect(1200, 240, 4215, 375);
    QTest::newRow("LSTSelektion") << u"LSTSelektion"_s << QRect(240, 600, 6615, 2010);
    QTest::newRow("cmdOK") << u"cmdOK"_s << QRect(6360, 2880, 495, 300);
}

void TestFrmArchiv::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);

    openAndFill();
    QCOMPARE(m_dialog->objectName(), u"FRMArchiv"_s);
    QCOMPARE(m_dialog->windowTitle(), u"Archiv"_s);
    QCOMPARE(m_dialog->findChild<QLabel *>(u"LBLTitel"_s)->text(),
             u"Archiv der versandten Nachrichten..."_s);
    QCOMPARE(m_dialog->size(), QSize(Look::px(7350), Look::px(3870)));
    QCOMPARE(m_dialog->findChild<QWidget *>(u"LBLEnde"_s)->geometry(),
             Look::rectTwips(7000, 75, 255, 255));
    auto *frame = m_dialog->findChild<QWidget *>(u"Frame1"_s);
    QCOMPARE(frame->geometry(), Look::rectTwips(120, 360, 7095, 3375));

    auto *label = m_dialog->findChild<QLabel *>(u"Label2"_s);
    QCOMPARE(label->text(), u"Nachrichtenarchiv:"_s);
    QCOMPARE(label->buddy(), m_dialog->findChild<QWidget *>(u"LSTSelektion"_s));
    QCOMPARE(m_dialog->findChild<QPushButton *>(u"cmdOK"_s)->text(), u"OK"_s);
    auto *list = m_dialog->findChild<QListView *>(u"LSTSelektion"_s);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);

    auto *widget = m_dialog->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), frame);
    QCOMPARE(widget->geometry(),
             Look::rectTwips(twips.x(), twips.y(), twips.width(), twips.height()));
}

void TestFrmArchiv::listsEveryRowInTableOrder()
{
    // Logged out of date order on purpose: the table's order counts, not the date.
    log(u"2026-12-06"_s, u"14:03:05"_s, u"079 123 45 67"_s, u"Treffen um 3"_s);
    log(u"2026-12-06"_s, u"14:03:41"_s, u"076 555 00 11"_s, u"Erster Teil...->"_s);
    log(u"2026-12-06"_s, u"14:04:20"_s, u"076 555 00 11"_s, u"->...zweiter Teil...->"_s);
    log(u"2026-12-06"_s, u"14:05:02"_s, u"076 555 00 11"_s, u"->...Schluss"_s);
    log(u"2026-12-05"_s, u"09:00:00"_s, u"078 999 88 77"_s, u"Abgelehnt"_s, u"NACK 24"_s);
    log(u"2026-12-06"_s, u"14:03:05"_s, u"079 123 45 67"_s, u"Treffen um 3"_s);

    openAndFill();
    const QStringList expected = {
        u"06.12.2026/14:03:05 - 079 123 45 67, Treffen um 3"_s,
        u"06.12.2026/14:03:41 - 076 555 00 11, Erster Teil...->"_s,
        u"06.12.2026/14:04:20 - 076 555 00 11, ->...zweiter Teil...->"_s,
        u"06.12.2026/14:05:02 - 076 555 00 11, ->...Schluss"_s,
        u"05.12.2026/09:00:00 - 078 999 88 77, Abgelehnt [abgelehnt: NACK 24]"_s,
        u"06.12.2026/14:03:05 - 079 123 45 67, Treffen um 3"_s,
    };
    QCOMPARE(m_dialog->zeilen(), expected);

    // What the list shows is what zeilen() reports.
    auto *list = m_dialog->findChild<QListView *>(u"LSTSelektion"_s);
    QCOMPARE(list->model()->rowCount(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(list->model()->index(i, 0).data().toString(), expected.at(i));
    QCOMPARE(m_prompter->count(), 0);
    // Only read: nothing was added or changed.
    QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM VersandLog"_s).toInt(), 6);
}

void TestFrmArchiv::emptyLogGivesEmptyList()
{
    openAndFill();
    QVERIFY(m_dialog->zeilen().isEmpty());
    QCOMPARE(m_dialog->findChild<QListView *>(u"LSTSelektion"_s)->model()->rowCount(), 0);
    QCOMPARE(m_prompter->count(), 0);
}

void TestFrmArchiv::listIsSnapshotOfOpening()
{
    log(u"2026-12-06"_s, u"10:00:00"_s, u"0791"_s, u"vorher"_s);
    openAndFill();
    QCOMPARE(m_dialog->zeilen().size(), 1);

    // The engine logs a message while the window is open.
    log(u"2026-12-06"_s, u"10:00:05"_s, u"0792"_s, u"nachher"_s);
    m_dialog->hide();
    m_dialog->show();
    QCoreApplication::processEvents();
    QCOMPARE(m_dialog->zeilen(), QStringList{u"06.12.2026/10:00:00 - 0791, vorher"_s});

    delete m_dialog.data();
    openAndFill();
    QCOMPARE(m_dialog->zeilen().size(), 2);
    QCOMPARE(m_dialog->zeilen().constLast(), u"06.12.2026/10:00:05 - 0792, nachher"_s);
}

void TestFrmArchiv::closingUnlocksMainWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("cmdOK") << u"cmdOK"_s;
    QTest::newRow("LBLEnde") << u"LBLEnde"_s;
}

void TestFrmArchiv::closingUnlocksMainWindow()
{
    QFETCH(QString, control);
    log(u"2026-12-06"_s, u"10:00:00"_s, u"0791"_s, u"x"_s);
    QVERIFY(m_main->isEnabled());
    openAndFill();
    QVERIFY(!m_main->isEnabled());
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);

    QTest::mouseClick(m_dialog->findChild<QWidget *>(control), Qt::LeftButton);
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(m_main->isEnabled());
    QTRY_VERIFY(m_dialog.isNull());
}

void TestFrmArchiv::longLineCanBeScrolledTo()
{
    // Short lines around the long one: a list that measured only its first
    // or last line would end the scroll range there and hide the long one's end.
    log(u"2026-12-06"_s, u"10:00:00"_s, u"0791"_s, u"kurz"_s);
    log(u"2026-12-06"_s, u"10:00:01"_s, u"0791"_s, QString(160, u'W'), u"NACK 06"_s);
    log(u"2026-12-06"_s, u"10:00:02"_s, u"0791"_s, u"auch kurz"_s);
    openAndFill();

    auto *list = m_dialog->findChild<QListView *>(u"LSTSelektion"_s);
    const int longWidth = list->fontMetrics().horizontalAdvance(m_dialog->zeilen().at(1));
    QTRY_VERIFY(list->horizontalScrollBar()->maximum() > 0);
    QVERIFY2(list->horizontalScrollBar()->maximum() + list->viewport()->width() >= longWidth,
             qPrintable(u"range %1 + %2 < %3"_s.arg(list->horizontalScrollBar()->maximum())
                            .arg(list->viewport()->width())
                            .arg(longWidth)));
}

void TestFrmArchiv::unreadableLogIsReported()
{
    log(u"2026-12-06"_s, u"10:00:00"_s, u"0791"_s, u"x"_s);
    QVERIFY(TestDb::exec(m_path, u"ALTER TABLE VersandLog RENAME TO Weg"_s));
    openAndFill();
    QVERIFY(m_dialog->zeilen().isEmpty());
    QCOMPARE(m_prompter->count(), 1);
    QVERIFY2(m_prompter->texts().constFirst().startsWith(u"Das Archiv konnte nicht aus "_s +
                                                         m_path + u" gelesen werden:\n"_s),
             qPrintable(m_prompter->texts().constFirst()));
    // The window is back after its message and still closes normally.
    QVERIFY(m_dialog->isVisible());
    m_dialog->close();
    QVERIFY(m_main->isEnabled());
}

QTEST_MAIN(TestFrmArchiv)
#include "tst_frmarchiv.moc"
