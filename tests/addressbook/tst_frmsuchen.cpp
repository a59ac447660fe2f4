#include "abfixture.h"
#include "frmadressbuch.h"
#include "frmsuchen.h"
#include "look.h"
#include "personlistmodel.h"
#include "recordview.h"

#include <QLabel>
#include <QListView>

// The search results: every person as a line of key, name and number, and the
// hand-over back to the address book on the chosen person.
class TstFrmSuchen : public QObject
{
    Q_OBJECT

private:
    // Opens the address book, searches for nobody and waits for the list.
    static FRMSuchen *open(AbFixture &f)
    {
        f.flow->openAddressBook();
        FRMAdressBuch *book = f.flow->addressBook();
        if (!waitReady(book))
            return nullptr;
        f.prompter.answerInput(std::nullopt);
        button(book, u"cmdSuchen"_qs)->click();
        FRMSuchen *results = f.flow->searchResults();
        if (!waitReady(results))
            return nullptr;
        f.prompter.clear();
        return results;
    }
    static QStringList lines(FRMSuchen *results)
    {
        QStringList texts;
        const QAbstractItemModel *model = results->list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, 0).data().toString());
        return texts;
    }
    static void select(FRMSuchen *results, int row)
    {
        results->list()->setCurrentIndex(results->list()->model()->index(row, 0));
    }

private Q_SLOTS:
    void identity();
    void lineFormat_data();
    void lineFormat();
    void linesInTableOrder();
    void okOpensAddressBookOnChosenPerson_data();
    void okOpensAddressBookOnChosenPerson();
    void okWithoutSelection();
    void cancel_data();
    void cancel();
};

void TstFrmSuchen::identity()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    FRMSuchen *results = open(f);
    QVERIFY(results);
    QCOMPARE(results->objectName(), u"FRMSuchen"_qs);
    QCOMPARE(results->windowTitle(), u"Selektion"_qs);
    QCOMPARE(results->titel()->text(), u"Suche erfolglos..."_qs);
    QCOMPARE(results->size(), QSize(Look::px(4950), Look::px(3870)));
    QCOMPARE(results->label2()->objectName(), u"Label2"_qs);
    QCOMPARE(results->label2()->text(), u"Wählen Sie eine Person aus:"_qs);
    QCOMPARE(results->label2()->buddy(), results->list());
    QCOMPARE(results->list()->objectName(), u"LSTSelektion"_qs);
    QCOMPARE(results->list()->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(button(results, u"cmdOK"_qs)->text(), u"OK"_qs);
    QCOMPARE(button(results, u"cmdAbbrechen"_qs)->text(), u"Abbrechen"_qs);
    QVERIFY(!f.mainWindow.isEnabled());
}

void TstFrmSuchen::lineFormat_data()
{
    QTest::addColumn<qint64>("key");
    QTest::addColumn<QVariant>("name");
    QTest::addColumn<QVariant>("natel");
    QTest::addColumn<QString>("line");

    QTest::newRow("with number") << qint64(12) << QVariant(u"Meier"_qs) << QVariant(u"079"_qs)
                                 << u" 12 - Meier, 079"_qs;
    QTest::newRow("empty number") << qint64(12) << QVariant(u"Meier"_qs) << QVariant(u""_qs)
                                  << u" 12 - Meier"_qs;
    QTest::newRow("number without value")
        << qint64(12) << QVariant(u"Meier"_qs) << QVariant() << u" 12 - Meier"_qs;
    QTest::newRow("name without value")
        << qint64(7) << QVariant() << QVariant(u"079 1"_qs) << u" 7 - , 079 1"_qs;
    QTest::newRow("key above 32767") << qint64(40000) << QVariant(u"Gross"_qs)
                                     << QVariant(u"079"_qs) << u" 40000 - Gross, 079"_qs;
    QTest::newRow("hyphens in name and number")
        << qint64(3) << QVariant(u"Müller-Lüdenscheidt"_qs) << QVariant(u"079-123"_qs)
        << u" 3 - Müller-Lüdenscheidt, 079-123"_qs;
}

void TstFrmSuchen::lineFormat()
{
    QFETCH(qint64, key);
    QFETCH(QVariant, name);
    QFETCH(QVariant, natel);
    QFETCH(QString, line);
    AbFixture f;
    f.personWithKey(key, name, natel);
    FRMSuchen *results = open(f);
    QVERIFY(results);
    QCOMPARE(lines(results), QStringList{line});
    QCOMPARE(results->list()->model()->index(0, 0).data(PersonListModel::KeyRole).toLongLong(),
             key);
}

void TstFrmSuchen::linesInTableOrder()
{
    AbFixture f;
    f.person(u"Zora"_qs, u"1"_qs);
    f.person(u"Anna"_qs, QVariant());
    f.person(u"Mia"_qs, u"   "_qs);
    FRMSuchen *results = open(f);
    QVERIFY(results);
    // Everybody, numbers or not, unsorted.
    QCOMPARE(lines(results),
             (QStringList{u" 1 - Zora, 1"_qs, u" 2 - Anna"_qs, u" 3 - Mia,    "_qs}));
}

void TstFrmSuchen::okOpensAddressBookOnChosenPerson_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<qint64>("key");
    QTest::addColumn<QString>("name");
    QTest::newRow("small key") << 1 << qint64(5) << u"Ben"_qs;
    QTest::newRow("key above 32767") << 2 << qint64(40000) << u"Müller-Lüdenscheidt"_qs;
    QTest::newRow("key above 65535") << 3 << qint64(70001) << u"Weit"_qs;
    QTest::newRow("name without value") << 4 << qint64(70002) << QString();
}

void TstFrmSuchen::okOpensAddressBookOnChosenPerson()
{
    QFETCH(int, row);
    QFETCH(qint64, key);
    QFETCH(QString, name);
    AbFixture f;
    f.personWithKey(1, u"Anna"_qs, u"079 1"_qs);
    f.personWithKey(5, u"Ben"_qs, u"079 5"_qs);
    f.personWithKey(40000, u"Müller-Lüdenscheidt"_qs, u"079-4"_qs);
    f.personWithKey(70001, u"Weit"_qs, QVariant());
    f.personWithKey(70002, QVariant(), u"079 7"_qs);
    FRMSuchen *results = open(f);
    QVERIFY(results);
    select(results, row);
    button(results, u"cmdOK"_qs)->click();

    QVERIFY(!f.flow->searchResults());
    FRMAdressBuch *book = f.flow->addressBook();
    QVERIFY(book);
    // The window hands over before the new one opens: the main window stays
    // disabled throughout.
    QVERIFY(!f.mainWindow.isEnabled());
    QVERIFY(waitReady(book));
    QCOMPARE(book->view()->currentRowId(), std::optional<qint64>(key));
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), name);
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmSuchen::okWithoutSelection()
{
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"1"_qs);
    f.person(u"Ben"_qs, u"2"_qs);
    FRMSuchen *results = open(f);
    QVERIFY(results);
    button(results, u"cmdOK"_qs)->click();
    FRMAdressBuch *book = f.flow->addressBook();
    QVERIFY(book);
    QVERIFY(waitReady(book));
    QCOMPARE(book->view()->currentRowId(), std::optional<qint64>(anna));
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna"_qs);
    QVERIFY(f.prompter.shown().isEmpty());
    QVERIFY(!f.mainWindow.isEnabled());
}

void TstFrmSuchen::cancel_data()
{
    QTest::addColumn<bool>("byEnde");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("LBLEnde") << true;
}

void TstFrmSuchen::cancel()
{
    QFETCH(bool, byEnde);
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    FRMSuchen *results = open(f);
    QVERIFY(results);
    select(results, 0);
    if (byEnde)
        clickEnde(results);
    else
        button(results, u"cmdAbbrechen"_qs)->click();
    QVERIFY(!f.flow->searchResults());
    QVERIFY(!f.flow->addressBook());
    QVERIFY(f.mainWindow.isEnabled());
    QCoreApplication::processEvents();
    QVERIFY(!f.flow->addressBook());
}

QTEST_MAIN(TstFrmSuchen)
#include "tst_frmsuchen.moc"
