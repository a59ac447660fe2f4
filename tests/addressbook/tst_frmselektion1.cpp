#include "abfixture.h"
#include "frmadressbuch.h"
#include "frmselektion1.h"
#include "look.h"
#include "personlistmodel.h"

#include <QLabel>
#include <QListView>

// The single recipient pick: persons with a number, the number handed to the
// main window as digits, the refusal without a selection, the switch to the
// address book.
class TstFrmSelektion1 : public QObject
{
    Q_OBJECT

private:
    static FRMSelektion1 *open(AbFixture &f)
    {
        f.flow->openSinglePick();
        FRMSelektion1 *pick = f.flow->singlePick();
        return waitReady(pick) ? pick : nullptr;
    }
    static QStringList lines(FRMSelektion1 *pick)
    {
        QStringList texts;
        const QAbstractItemModel *model = pick->list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, 0).data().toString());
        return texts;
    }
    static void select(FRMSelektion1 *pick, int row)
    {
        pick->list()->setCurrentIndex(pick->list()->model()->index(row, 0));
    }

private Q_SLOTS:
    void identityAndPlace();
    void layout_data();
    void layout();
    void onlyPersonsWithDigitsListed();
    void okTakesStoredDigits_data();
    void okTakesStoredDigits();
    void nothingSelectedThenOk();
    void emptyTable();
    void adressbuch();
    void cancel_data();
    void cancel();
};

void TstFrmSelektion1::identityAndPlace()
{
    AbFixture f;
    f.mainWindow.move(130, 90);
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    QCOMPARE(pick->objectName(), u"FRMSelektion1"_qs);
    QCOMPARE(pick->windowTitle(), u"Selektion"_qs);
    QCOMPARE(pick->titel()->text(), u"Auswahl..."_qs);
    QCOMPARE(pick->size(), QSize(Look::px(4950), Look::px(3870)));
    // Opens where the main window is, not centred.
    QCOMPARE(pick->pos(), f.mainWindow.pos());
    QCOMPARE(pick->label2()->text(),
             u"Wählen Sie die Person aus, der Sie eine SMS senden möchten (Einträge ohne "
             u"Mobilnummer sind nicht berücksichtigt!)"_qs);
    QCOMPARE(pick->list()->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(!f.mainWindow.isEnabled());
}

void TstFrmSelektion1::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Label2") << u"Label2"_qs << QString() << QRect(240, 240, 4215, 615);
    QTest::newRow("LSTSelektion") << u"LSTSelektion"_qs << QString() << QRect(240, 960, 4215, 1620);
    QTest::newRow("cmdAdressbuch")
        << u"cmdAdressbuch"_qs << u"Adressbuch"_qs << QRect(240, 2880, 1095, 300);
    QTest::newRow("cmdOK") << u"cmdOK"_qs << u"OK"_qs << QRect(2760, 2880, 495, 300);
    QTest::newRow("cmdAbbrechen") << u"cmdAbbrechen"_qs << u"Abbrechen"_qs
                                  << QRect(3360, 2880, 1095, 300);
}

void TstFrmSelektion1::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    AbFixture f;
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    auto *control = pick->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), pick->frame1());
    QCOMPARE(control->geometry(),
             Look::rectTwips(twips.x(), twips.y(), twips.width(), twips.height()));
    if (!text.isEmpty())
        QCOMPARE(button(pick, name)->text(), text);
}

void TstFrmSelektion1::onlyPersonsWithDigitsListed()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 111 22 33"_qs);
    f.person(u"Ben"_qs, u""_qs);
    f.person(u"Cem"_qs, QVariant());
    f.person(u"Dora"_qs, u"   "_qs);
    f.person(u"Eva"_qs, u"keine"_qs);
    f.person(u"Fritz"_qs, u"+41 79-123"_qs);
    f.person(QVariant(), u"078 5"_qs);
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    QCOMPARE(lines(pick),
             (QStringList{u"079 111 22 33 - Anna"_qs, u"+41 79-123 - Fritz"_qs, u"078 5 - "_qs}));
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmSelektion1::okTakesStoredDigits_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("digits");
    QTest::newRow("blanks") << u"079 111 22 33"_qs << u"0791112233"_qs;
    QTest::newRow("hyphen inside the number") << u"079-111-22-33"_qs << u"0791112233"_qs;
    QTest::newRow("international") << u"+41 79 123"_qs << u"4179123"_qs;
}

void TstFrmSelektion1::okTakesStoredDigits()
{
    QFETCH(QString, stored);
    QFETCH(QString, digits);
    AbFixture f;
    f.person(u"Anna"_qs, u"079 000"_qs);
    f.person(u"Ben-Luca"_qs, stored);
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    QSignalSpy taken(f.flow.get(), &AddressBookFlow::numberTaken);
    select(pick, 1);
    button(pick, u"cmdOK"_qs)->click();
    QCOMPARE(taken.size(), 1);
    QCOMPARE(taken.constFirst().constFirst().toString(), digits);
    QVERIFY(!f.flow->singlePick());
    QVERIFY(f.mainWindow.isEnabled());
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmSelektion1::nothingSelectedThenOk()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 1"_qs);
    f.person(u"Ben"_qs, u"079 2"_qs);
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    QSignalSpy taken(f.flow.get(), &AddressBookFlow::numberTaken);
    QList<bool> visibleWhileOpen;
    f.prompter.setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { visibleWhileOpen.append(pick->isVisible()); });
    button(pick, u"cmdOK"_qs)->click();
    QCOMPARE(f.prompter.texts(), QStringList{u"Sie haben niemanden ausgewählt!"_qs});
    QCOMPARE(f.prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
    QCOMPARE(visibleWhileOpen, QList<bool>{false});
    QCOMPARE(f.flow->singlePick(), pick);
    QVERIFY(pick->isVisible());
    QVERIFY(taken.isEmpty());
    QCOMPARE(lines(pick).size(), 2);

    select(pick, 1);
    button(pick, u"cmdOK"_qs)->click();
    QCOMPARE(taken.size(), 1);
    QCOMPARE(taken.constFirst().constFirst().toString(), u"0792"_qs);
    QCOMPARE(f.prompter.count(), 1);
    QVERIFY(!f.flow->singlePick());
}

void TstFrmSelektion1::emptyTable()
{
    AbFixture f;
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    QVERIFY(lines(pick).isEmpty());
    QVERIFY(f.prompter.shown().isEmpty());
    QVERIFY(pick->isVisible());
    // OK on the empty list refuses like any missing selection.
    button(pick, u"cmdOK"_qs)->click();
    QCOMPARE(f.prompter.texts(), QStringList{u"Sie haben niemanden ausgewählt!"_qs});
}

void TstFrmSelektion1::adressbuch()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 1"_qs);
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    select(pick, 0);
    button(pick, u"cmdAdressbuch"_qs)->click();
    QVERIFY(!f.flow->singlePick());
    FRMAdressBuch *book = f.flow->addressBook();
    QVERIFY(book);
    QVERIFY(!f.mainWindow.isEnabled());
    QVERIFY(waitReady(book));
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna"_qs);
    button(book, u"cmdAbbrechen"_qs)->click();
    QVERIFY(f.mainWindow.isEnabled());
}

void TstFrmSelektion1::cancel_data()
{
    QTest::addColumn<bool>("byEnde");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("LBLEnde") << true;
}

void TstFrmSelektion1::cancel()
{
    QFETCH(bool, byEnde);
    AbFixture f;
    f.person(u"Anna"_qs, u"079 1"_qs);
    FRMSelektion1 *pick = open(f);
    QVERIFY(pick);
    QSignalSpy taken(f.flow.get(), &AddressBookFlow::numberTaken);
    select(pick, 0);
    if (byEnde)
        clickEnde(pick);
    else
        button(pick, u"cmdAbbrechen"_qs)->click();
    QVERIFY(!f.flow->singlePick());
    QVERIFY(!f.flow->addressBook());
    QVERIFY(f.mainWindow.isEnabled());
    QVERIFY(taken.isEmpty());
}

QTEST_MAIN(TstFrmSelektion1)
#include "tst_frmselektion1.moc"
