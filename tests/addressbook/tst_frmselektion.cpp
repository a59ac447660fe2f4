#include "abfixture.h"
#include "frmselektion.h"
#include "look.h"
#include "outgoingqueue.h"
#include "personlines.h"

#include <QLabel>
#include <QListView>

// Bulk SMS: the start checks, the bulk pick with its marks, and the queue
// entries made from the marked persons.
class TstFrmSelektion : public QObject
{
    Q_OBJECT

private:
    static FRMSelektion *open(AbFixture &f)
    {
        if (!f.flow->startBulk(u"Hallo zusammen"_qs))
            return nullptr;
        FRMSelektion *bulk = f.flow->bulkPick();
        return waitReady(bulk) ? bulk : nullptr;
    }
    static QStringList lines(FRMSelektion *bulk)
    {
        QStringList texts;
        const QAbstractItemModel *model = bulk->list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, 0).data().toString());
        return texts;
    }
    // A click on a line switches its mark.
    static void clickLine(FRMSelektion *bulk, int row)
    {
        QListView *list = bulk->list();
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

private Q_SLOTS:
    void startChecks_data();
    void startChecks();
    void identity();
    void listsPersonsWithDigits();
    void threeMarkedInListOrder();
    void clickTogglesMark();
    void moreThan501();
    void nothingMarked();
    void emptyTable();
    void noPersonWithNumber();
    void cancel_data();
    void cancel();
    void queueEntries();
};

void TstFrmSelektion::startChecks_data()
{
    QTest::addColumn<QString>("nachricht");
    QTest::addColumn<QString>("message"); // empty: the bulk pick opens
    QTest::addColumn<bool>("focusRequested");

    const QString leer = u"Bevor eine Serien-SMS gestartet werden kann, müssen Sie zuerst eine "
                         u"Nachricht für alle Empfänger definieren!"_qs;
    const QString lang = u"In dieser Funktion werden überlange Nachrichte nicht unterstützt!"_qs;
    QTest::newRow("empty") << QString() << leer << true;
    QTest::newRow("one character") << u"x"_qs << QString() << false;
    QTest::newRow("160 characters") << QString(160, u'a') << QString() << false;
    QTest::newRow("161 characters") << QString(161, u'a') << lang << false;
    QTest::newRow("line break counts two")
        << (QString(79, u'a') + u"\n"_qs + QString(80, u'b')) << lang << false;
    QTest::newRow("blank only is a message") << u" "_qs << QString() << false;
}

void TstFrmSelektion::startChecks()
{
    QFETCH(QString, nachricht);
    QFETCH(QString, message);
    QFETCH(bool, focusRequested);
    AbFixture f;
    f.person(u"Anna"_qs, u"079 1"_qs);
    QSignalSpy focus(f.flow.get(), &AddressBookFlow::messageFieldFocusRequested);
    QList<bool> mainEnabledWhileOpen;
    f.prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
        mainEnabledWhileOpen.append(f.mainWindow.isEnabled());
    });
    const bool started = f.flow->startBulk(nachricht);

    QCOMPARE(started, message.isEmpty());
    QCOMPARE(focus.size(), focusRequested ? 1 : 0);
    if (message.isEmpty()) {
        QVERIFY(f.prompter.shown().isEmpty());
        QVERIFY(f.flow->bulkPick());
        QVERIFY(!f.mainWindow.isEnabled());
    } else {
        QCOMPARE(f.prompter.texts(), QStringList{message});
        // A box of the main window: no dialog was opened for it.
        QCOMPARE(mainEnabledWhileOpen, QList<bool>{true});
        QVERIFY(!f.flow->bulkPick());
        QVERIFY(f.mainWindow.isEnabled());
    }
}

void TstFrmSelektion::identity()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 1"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QCOMPARE(bulk->objectName(), u"FRMSelektion"_qs);
    QCOMPARE(bulk->windowTitle(), u"Selektion"_qs);
    QCOMPARE(bulk->titel()->text(), u"Auswahl..."_qs);
    QCOMPARE(bulk->size(), QSize(Look::px(4950), Look::px(3870)));
    QCOMPARE(bulk->label2()->text(),
             u"Wählen Sie die Personen aus, denen Sie eine SMS senden möchten"_qs);
    QCOMPARE(bulk->list()->objectName(), u"LSTSelektion"_qs);
    QCOMPARE(bulk->list()->selectionMode(), QAbstractItemView::MultiSelection);
    QCOMPARE(button(bulk, u"cmdSerienSMS"_qs)->text(), u"Serien-SMS starten"_qs);
    QCOMPARE(button(bulk, u"cmdAbbrechen"_qs)->text(), u"Abbrechen"_qs);
}

void TstFrmSelektion::listsPersonsWithDigits()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 1"_qs);
    f.person(u"Ben"_qs, QVariant());
    f.person(u"Cem"_qs, u"  "_qs);
    f.person(u"Dora"_qs, u"079-4"_qs);
    f.person(QVariant(), u"079 5"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QCOMPARE(lines(bulk), (QStringList{u"079 1 - Anna"_qs, u"079-4 - Dora"_qs, u"079 5 - "_qs}));
}

void TstFrmSelektion::threeMarkedInListOrder()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 111 11 11"_qs);
    f.person(u"Ben"_qs, u"+41 79 222"_qs);
    f.person(u"Cem"_qs, u"078-333-33"_qs);
    f.person(u"Dora"_qs, u"076 4"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QSignalSpy recipients(f.flow.get(), &AddressBookFlow::bulkRecipients);
    // Marked against the list order; the run follows the list.
    clickLine(bulk, 3);
    clickLine(bulk, 0);
    clickLine(bulk, 2);
    button(bulk, u"cmdSerienSMS"_qs)->click();

    QCOMPARE(recipients.size(), 1);
    QCOMPARE(recipients.constFirst().constFirst().toStringList(),
             (QStringList{u"0791111111"_qs, u"07833333"_qs, u"0764"_qs}));
    QVERIFY(!f.flow->bulkPick());
    QVERIFY(f.mainWindow.isEnabled());
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmSelektion::clickTogglesMark()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    f.person(u"Ben"_qs, u"2"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    clickLine(bulk, 0);
    clickLine(bulk, 1);
    clickLine(bulk, 0);
    QCOMPARE(bulk->markedNumbers(), QStringList{u"2"_qs});
}

void TstFrmSelektion::moreThan501()
{
    AbFixture f;
    QVERIFY(TestDb::exec(f.path, u"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                                 u"WHERE i < 619) INSERT INTO Adressen (Name, NatelNummer) "
                                 u"SELECT 'Person ' || i, printf('079 %04d', i) FROM n"_qs));
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QCOMPARE(bulk->list()->model()->rowCount(), 620);
    bulk->list()->selectAll();
    QSignalSpy recipients(f.flow.get(), &AddressBookFlow::bulkRecipients);
    button(bulk, u"cmdSerienSMS"_qs)->click();
    QCOMPARE(recipients.size(), 1);
    const QStringList numbers = recipients.constFirst().constFirst().toStringList();
    QCOMPARE(numbers.size(), 620);
    QCOMPARE(numbers.at(0), u"0790000"_qs);
    QCOMPARE(numbers.at(501), u"0790501"_qs);
    QCOMPARE(numbers.at(619), u"0790619"_qs);
}

void TstFrmSelektion::nothingMarked()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QSignalSpy recipients(f.flow.get(), &AddressBookFlow::bulkRecipients);
    button(bulk, u"cmdSerienSMS"_qs)->click();
    QVERIFY(recipients.isEmpty());
    QVERIFY(f.prompter.shown().isEmpty());
    QVERIFY(!f.flow->bulkPick());
    QVERIFY(f.mainWindow.isEnabled());
}

void TstFrmSelektion::emptyTable()
{
    AbFixture f;
    QVERIFY(f.flow->startBulk(u"Hallo"_qs));
    FRMSelektion *bulk = f.flow->bulkPick();
    QVERIFY(bulk);
    QSignalSpy recipients(f.flow.get(), &AddressBookFlow::bulkRecipients);
    QList<bool> visibleWhileOpen;
    f.prompter.setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { visibleWhileOpen.append(bulk->isVisible()); });
    QSignalSpy unloaded(bulk, &DialogBase::unloaded);
    QVERIFY(unloaded.wait(5000));
    QCOMPARE(f.prompter.texts(),
             QStringList{u"Sie haben keine Personen erfasst, welchen Sie eine SMS senden können! "
                         u"Serien-SMS wurde abgebrochen!"_qs});
    QCOMPARE(visibleWhileOpen, QList<bool>{false});
    QVERIFY(!f.flow->bulkPick());
    QVERIFY(f.mainWindow.isEnabled());
    QVERIFY(recipients.isEmpty());
}

void TstFrmSelektion::noPersonWithNumber()
{
    AbFixture f;
    f.person(u"Anna"_qs, QVariant());
    f.person(u"Ben"_qs, u"---"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QVERIFY(lines(bulk).isEmpty());
    QVERIFY(f.prompter.shown().isEmpty());
    QVERIFY(bulk->isVisible());
}

void TstFrmSelektion::cancel_data()
{
    QTest::addColumn<bool>("byEnde");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("LBLEnde") << true;
}

void TstFrmSelektion::cancel()
{
    QFETCH(bool, byEnde);
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    FRMSelektion *bulk = open(f);
    QVERIFY(bulk);
    QSignalSpy recipients(f.flow.get(), &AddressBookFlow::bulkRecipients);
    clickLine(bulk, 0);
    if (byEnde)
        clickEnde(bulk);
    else
        button(bulk, u"cmdAbbrechen"_qs)->click();
    QVERIFY(recipients.isEmpty());
    QVERIFY(!f.flow->bulkPick());
    QVERIFY(f.mainWindow.isEnabled());
}

void TstFrmSelektion::queueEntries()
{
    // What the main window does with the numbers of a run.
    OutgoingQueue queue;
    queue.append(u"0790"_qs, u"vorher"_qs, QString());
    const int added = SerienSMSEinreihen(queue, {u"0791"_qs, u"0792"_qs, u"0793"_qs},
                                         u"Treffen um 8"_qs, u"079 555 66 77 "_qs);
    QCOMPARE(added, 3);
    QCOMPARE(queue.count(), 4);
    QCOMPARE(queue.at(0).natelNummer, u"0790"_qs);
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(queue.at(i).natelNummer, u"079"_qs + QString::number(i));
        QCOMPARE(queue.at(i).nachricht, u"Treffen um 8"_qs);
        QCOMPARE(queue.at(i).rueckrufNummer, u"0795556677"_qs);
    }
    QCOMPARE(SerienSMSEinreihen(queue, {}, u"x"_qs, QString()), 0);
    QCOMPARE(queue.count(), 4);
}

QTEST_MAIN(TstFrmSelektion)
#include "tst_frmselektion.moc"
