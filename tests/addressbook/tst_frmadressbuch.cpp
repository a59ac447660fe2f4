#include "abfixture.h"
#include "frmadressbuch.h"
#include "frmsuchen.h"
#include "look.h"
#include "recordview.h"

#include <QLabel>
#include <QListView>
#include <QToolButton>

// The address book: bound fields, navigation, Neu, Löschen, the name search,
// the number check and the number take-over, with every edit reaching the
// database however the window closes.
class TstFrmAdressBuch : public QObject
{
    Q_OBJECT

private:
    // Opens the address book and waits for its activation.
    static FRMAdressBuch *open(AbFixture &f)
    {
        f.flow->openAddressBook();
        FRMAdressBuch *book = f.flow->addressBook();
        if (!waitReady(book))
            return nullptr;
        return book;
    }

private Q_SLOTS:
    void controls_data();
    void controls();
    void layoutAndIdentity();
    void activationShowsFirstRecord();
    void navigation_data();
    void navigation();
    void editStoredWhenLeavingRecord();
    void editStoredOnClose_data();
    void editStoredOnClose();
    void neuStoresNewPerson();
    void neuStoresPendingEditFirst();
    void loeschenRemovesShownRecord();
    void loeschenDropsUnsavedNewRecord();
    void loeschenOnEmptyTable();
    void suchen_data();
    void suchen();
    void suchenOnEmptyTable();
    void numberCheck_data();
    void numberCheck();
    void numberCheckKeepsRecord();
    void nummerUebernehmen_data();
    void nummerUebernehmen();
    void failedSaveKeepsWindowOpen();
};

void TstFrmAdressBuch::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("LBLName") << u"LBLName"_qs << u"Name:"_qs;
    QTest::newRow("LBLAdresse") << u"LBLAdresse"_qs << u"Adresse:"_qs;
    QTest::newRow("LBLPLZOrt") << u"LBLPLZOrt"_qs << u"PLZ / Ort:"_qs;
    QTest::newRow("LBLDBNatelNummer") << u"LBLDBNatelNummer"_qs << u"Mobilnummer:"_qs;
    QTest::newRow("LBLBemerkungen") << u"LBLBemerkungen"_qs << u"Bemerkungen:"_qs;
    QTest::newRow("cmdAbbrechen") << u"cmdAbbrechen"_qs << u"Schliessen"_qs;
    QTest::newRow("cmdNummeruebernehmen")
        << u"cmdNummeruebernehmen"_qs << u"Nummer auf Nachricht übernehmen"_qs;
    QTest::newRow("cmdSuchen") << u"cmdSuchen"_qs << u"Suchen"_qs;
    QTest::newRow("cmdLoeschen") << u"cmdLoeschen"_qs << u"Löschen"_qs;
    QTest::newRow("cmdNeu") << u"cmdNeu"_qs << u"Neu"_qs;
    QTest::newRow("LBLTitel") << u"LBLTitel"_qs << u"Adressbuch..."_qs;
    QTest::newRow("LBLEnde") << u"LBLEnde"_qs << u"X"_qs;
}

void TstFrmAdressBuch::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    AbFixture f;
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    if (auto *label = book->findChild<QLabel *>(name)) {
        QCOMPARE(label->text(), text);
        // Every heading leads to its field.
        if (name.startsWith(u"LBL"_qs) && name != u"LBLTitel"_qs && name != u"LBLEnde"_qs) {
            QVERIFY(label->buddy());
            QVERIFY(label->buddy()->objectName().startsWith(u"TXT"_qs));
        }
    } else {
        QPushButton *b = button(book, name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->text(), text);
    }
}

void TstFrmAdressBuch::layoutAndIdentity()
{
    AbFixture f;
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QCOMPARE(book->objectName(), u"FRMAdressBuch"_qs);
    QCOMPARE(book->windowTitle(), u"Adressbuch"_qs);
    QCOMPARE(book->size(), QSize(Look::px(4950), Look::px(5430)));
    QCOMPARE(book->ende()->x(), Look::px(4600));

    // The navigation bar sits between the fields and the buttons.
    auto *bar = book->findChild<QWidget *>(u"DTAAdressen"_qs);
    QVERIFY(bar);
    QVERIFY(bar->isVisible());
    QVERIFY(bar->findChild<QLabel *>() != nullptr);
    QCOMPARE(bar->findChild<QLabel *>()->text(), u"Data1"_qs);
    QCOMPARE(bar->findChildren<QToolButton *>().size(), 4);
    QLineEdit *bemerkungen = field(book, u"TXTBemerkungen"_qs);
    QVERIFY(bar->geometry().top() >= bemerkungen->geometry().bottom());
    QVERIFY(bar->geometry().bottom() < book->findChild<QWidget *>(u"Frame5"_qs)->geometry().top());
    // Remarks are three rows high.
    QCOMPARE(bemerkungen->height(), 3 * field(book, u"TXTDBName"_qs)->height());

    // Tab order: the five fields, then Schliessen to Neu.
    const QStringList order{u"TXTDBName"_qs,
                            u"TXTDBAdresse"_qs,
                            u"TXTDBPLZOrt"_qs,
                            u"TXTDBNatelNummer"_qs,
                            u"TXTBemerkungen"_qs,
                            u"cmdAbbrechen"_qs,
                            u"cmdNummeruebernehmen"_qs,
                            u"cmdSuchen"_qs,
                            u"cmdLoeschen"_qs,
                            u"cmdNeu"_qs};
    QWidget *w = book->findChild<QWidget *>(order.first());
    for (qsizetype i = 1; i < order.size(); ++i) {
        w = w->nextInFocusChain();
        while (w && !(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        QVERIFY(w);
        QCOMPARE(w->objectName(), order.at(i));
    }
    QVERIFY(!f.mainWindow.isEnabled());
}

void TstFrmAdressBuch::activationShowsFirstRecord()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"079 111"_qs, u"Weg 1"_qs, u"8000 Zürich"_qs, u"erste"_qs);
    f.person(u"Ben"_qs, u"079 222"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna"_qs);
    QCOMPARE(field(book, u"TXTDBAdresse"_qs)->text(), u"Weg 1"_qs);
    QCOMPARE(field(book, u"TXTDBPLZOrt"_qs)->text(), u"8000 Zürich"_qs);
    QCOMPARE(field(book, u"TXTDBNatelNummer"_qs)->text(), u"079 111"_qs);
    QCOMPARE(field(book, u"TXTBemerkungen"_qs)->text(), u"erste"_qs);
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmAdressBuch::navigation_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("next") << QStringList{u"cmdNaechster"_qs} << u"Ben"_qs;
    QTest::newRow("next past the end stays on the last")
        << QStringList{u"cmdNaechster"_qs, u"cmdNaechster"_qs, u"cmdNaechster"_qs} << u"Cem"_qs;
    QTest::newRow("last") << QStringList{u"cmdLetzter"_qs} << u"Cem"_qs;
    QTest::newRow("last then previous")
        << QStringList{u"cmdLetzter"_qs, u"cmdVorheriger"_qs} << u"Ben"_qs;
    QTest::newRow("previous at the start stays") << QStringList{u"cmdVorheriger"_qs} << u"Anna"_qs;
    QTest::newRow("last then first")
        << QStringList{u"cmdLetzter"_qs, u"cmdErster"_qs} << u"Anna"_qs;
}

void TstFrmAdressBuch::navigation()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, expected);
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    f.person(u"Ben"_qs, u"2"_qs);
    f.person(u"Cem"_qs, u"3"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    for (const QString &name : std::as_const(clicks))
        book->findChild<QToolButton *>(name)->click();
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), expected);
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmAdressBuch::editStoredWhenLeavingRecord()
{
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"1"_qs);
    const qint64 ben = f.person(u"Ben"_qs, u"2"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    book->findChild<QToolButton *>(u"cmdNaechster"_qs)->click();
    field(book, u"TXTDBAdresse"_qs)->setText(u"Gasse 7"_qs);
    field(book, u"TXTBemerkungen"_qs)->setText(u"neu"_qs);
    book->findChild<QToolButton *>(u"cmdErster"_qs)->click();
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna"_qs);
    QCOMPARE(f.column(ben, u"Adresse"_qs).toString(), u"Gasse 7"_qs);
    QCOMPARE(f.column(ben, u"Bemerkungen"_qs).toString(), u"neu"_qs);
    QVERIFY(f.column(anna, u"Adresse"_qs).isNull());
    // And it shows again when the record comes back.
    book->findChild<QToolButton *>(u"cmdLetzter"_qs)->click();
    QCOMPARE(field(book, u"TXTDBAdresse"_qs)->text(), u"Gasse 7"_qs);
}

void TstFrmAdressBuch::editStoredOnClose_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Schliessen") << u"cmdAbbrechen"_qs;
    QTest::newRow("LBLEnde") << u"LBLEnde"_qs;
    QTest::newRow("number take-over") << u"cmdNummeruebernehmen"_qs;
    QTest::newRow("failed search") << u"cmdSuchen"_qs;
    QTest::newRow("window closed by the system") << u"close"_qs;
    QTest::newRow("window destroyed") << u"delete"_qs;
}

void TstFrmAdressBuch::editStoredOnClose()
{
    QFETCH(QString, how);
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"079 1"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QVERIFY(!f.mainWindow.isEnabled());
    field(book, u"TXTDBPLZOrt"_qs)->setText(u"3000 Bern"_qs);
    field(book, u"TXTDBNatelNummer"_qs)->setText(u"079 2"_qs);

    if (how == u"LBLEnde"_qs) {
        clickEnde(book);
    } else if (how == u"close"_qs) {
        QVERIFY(book->close());
    } else if (how == u"delete"_qs) {
        delete book;
    } else {
        if (how == u"cmdSuchen"_qs)
            f.prompter.answerInput(u"Niemand"_qs);
        button(book, how)->click();
    }

    QVERIFY(!f.flow->addressBook());
    QCOMPARE(f.column(anna, u"PLZOrt"_qs).toString(), u"3000 Bern"_qs);
    QCOMPARE(f.column(anna, u"NatelNummer"_qs).toString(), u"079 2"_qs);
    if (how == u"cmdSuchen"_qs) {
        // The search results took over and keep the main window disabled.
        QVERIFY(f.flow->searchResults());
        QVERIFY(!f.mainWindow.isEnabled());
    } else {
        QVERIFY(f.mainWindow.isEnabled());
    }
}

void TstFrmAdressBuch::neuStoresNewPerson()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    book->activateWindow();
    button(book, u"cmdNeu"_qs)->click();
    for (const QString &name : {u"TXTDBName"_qs, u"TXTDBAdresse"_qs, u"TXTDBPLZOrt"_qs,
                                u"TXTDBNatelNummer"_qs, u"TXTBemerkungen"_qs})
        QVERIFY2(field(book, name)->text().isEmpty(), qPrintable(name));
    QCOMPARE(book->focusWidget(), field(book, u"TXTDBName"_qs));

    QTest::keyClicks(field(book, u"TXTDBName"_qs), u"Dora"_qs);
    QTest::keyClicks(field(book, u"TXTDBNatelNummer"_qs), u"078 9"_qs);
    button(book, u"cmdAbbrechen"_qs)->click();

    QCOMPARE(f.personCount(), 2);
    QCOMPARE(TestDb::scalar(f.path, u"SELECT NatelNummer FROM Adressen WHERE Name = 'Dora'"_qs)
                 .toString(),
             u"078 9"_qs);
    QVERIFY(f.prompter.shown().isEmpty());
}

void TstFrmAdressBuch::neuStoresPendingEditFirst()
{
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"1"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    field(book, u"TXTDBName"_qs)->setText(u"Anna Muster"_qs);
    button(book, u"cmdNeu"_qs)->click();
    QCOMPARE(f.column(anna, u"Name"_qs).toString(), u"Anna Muster"_qs);
    // A new record left without anything typed adds nothing.
    button(book, u"cmdNeu"_qs)->click();
    book->findChild<QToolButton *>(u"cmdErster"_qs)->click();
    QCOMPARE(f.personCount(), 1);
}

void TstFrmAdressBuch::loeschenRemovesShownRecord()
{
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"1"_qs);
    const qint64 ben = f.person(u"Ben"_qs, u"2"_qs);
    const qint64 cem = f.person(u"Cem"_qs, u"3"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    book->findChild<QToolButton *>(u"cmdNaechster"_qs)->click();
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Ben"_qs);
    button(book, u"cmdLoeschen"_qs)->click();

    // No question; Ben is gone, not Anna, and the first record shows.
    QVERIFY(f.prompter.shown().isEmpty());
    QCOMPARE(f.personCount(), 2);
    QVERIFY(f.column(ben, u"Name"_qs).isNull());
    QCOMPARE(f.column(anna, u"Name"_qs).toString(), u"Anna"_qs);
    QCOMPARE(f.column(cem, u"Name"_qs).toString(), u"Cem"_qs);
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna"_qs);
    QCOMPARE(book->view()->currentRowId(), std::optional<qint64>(anna));
}

void TstFrmAdressBuch::loeschenDropsUnsavedNewRecord()
{
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    button(book, u"cmdNeu"_qs)->click();
    field(book, u"TXTDBName"_qs)->setText(u"Irrtum"_qs);
    button(book, u"cmdLoeschen"_qs)->click();
    QCOMPARE(f.personCount(), 1);
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna"_qs);
    button(book, u"cmdAbbrechen"_qs)->click();
    QCOMPARE(f.personCount(), 1);
}

void TstFrmAdressBuch::loeschenOnEmptyTable()
{
    AbFixture f;
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QList<bool> visibleWhileOpen;
    f.prompter.setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { visibleWhileOpen.append(book->isVisible()); });
    button(book, u"cmdLoeschen"_qs)->click();
    QCOMPARE(f.prompter.texts(), QStringList{u"Kein Datensatz zum löschen verfügbar!"_qs});
    QCOMPARE(f.prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
    QCOMPARE(visibleWhileOpen, QList<bool>{false});
    QVERIFY(book->isVisible());
    QCOMPARE(f.flow->addressBook(), book);
}

void TstFrmAdressBuch::suchen_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("found"); // empty: the search results take over

    QTest::newRow("exact name") << std::optional<QString>(u"Meier"_qs) << u"Meier"_qs;
    QTest::newRow("blanks around") << std::optional<QString>(u"  Meier  "_qs) << u"Meier"_qs;
    QTest::newRow("single quote") << std::optional<QString>(u"O'Brien"_qs) << u"O'Brien"_qs;
    QTest::newRow("part of a name is no match")
        << std::optional<QString>(u"Meier H"_qs) << QString();
    QTest::newRow("other case is no match") << std::optional<QString>(u"meier"_qs) << QString();
    QTest::newRow("no such name") << std::optional<QString>(u"Zwicky"_qs) << QString();
    QTest::newRow("empty text") << std::optional<QString>(QString()) << QString();
    QTest::newRow("cancelled") << std::optional<QString>() << QString();
    QTest::newRow("quote that would widen the criterion")
        << std::optional<QString>(u"x' OR '1'='1"_qs) << QString();
}

void TstFrmAdressBuch::suchen()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, found);
    AbFixture f;
    f.person(u"Anna"_qs, u"1"_qs);
    f.person(u"Meier Hans"_qs, u"2"_qs);
    const qint64 meier = f.person(u"Meier"_qs, u"3"_qs);
    const qint64 obrien = f.person(u"O'Brien"_qs, u"4"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QList<bool> visibleWhileOpen;
    f.prompter.setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { visibleWhileOpen.append(book->isVisible()); });
    f.prompter.answerInput(answer);
    button(book, u"cmdSuchen"_qs)->click();

    QCOMPARE(f.prompter.count(), 1);
    const ScriptedPrompter::Shown box = f.prompter.shown().constFirst();
    QVERIFY(box.isInput);
    QCOMPARE(box.text, u"Bitte geben Sie den zu suchenden Namen ein!(Wenn Sie alle Namen anzeigen "
                       u"möchten geben Sie kein Suchzeichen ein und drücken 'OK')"_qs);
    QCOMPARE(box.title, u"Suche..."_qs);
    QCOMPARE(visibleWhileOpen, QList<bool>{false});
    QCOMPARE(f.personCount(), 4);

    if (!found.isEmpty()) {
        QCOMPARE(f.flow->addressBook(), book);
        QVERIFY(book->isVisible());
        QCOMPARE(field(book, u"TXTDBName"_qs)->text(), found);
        QCOMPARE(book->view()->currentRowId(),
                 std::optional<qint64>(found == u"Meier"_qs ? meier : obrien));
        QVERIFY(!f.flow->searchResults());
    } else {
        QVERIFY(!f.flow->addressBook());
        QVERIFY(f.flow->searchResults());
        QVERIFY(waitReady(f.flow->searchResults()));
        QCOMPARE(f.flow->searchResults()->list()->model()->rowCount(), 4);
        QVERIFY(!f.mainWindow.isEnabled());
    }
}

void TstFrmAdressBuch::suchenOnEmptyTable()
{
    AbFixture f;
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    f.prompter.answerInput(u"Meier"_qs);
    button(book, u"cmdSuchen"_qs)->click();
    QCOMPARE(f.prompter.texts(),
             QStringList{u"Das Adressbuch enthält keine Daten! Suchen abgebrochen!"_qs});
    QVERIFY(!f.prompter.shown().constFirst().isInput);
    QCOMPARE(f.flow->addressBook(), book);
    QVERIFY(book->isVisible());
    QVERIFY(!f.flow->searchResults());
}

void TstFrmAdressBuch::numberCheck_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("messages");
    QTest::addColumn<QString>("result");

    QTest::newRow("digits and a blank") << u"079 123"_qs << QString() << 0 << u"079 123"_qs;
    QTest::newRow("letter at the end") << u"0791a"_qs << QString() << 1 << u"0791"_qs;
    QTest::newRow("trailing blank accepted") << u"079 "_qs << QString() << 0 << u"079 "_qs;
    QTest::newRow("two letters pasted") << u"12"_qs << u"ab"_qs << 2 << u"12"_qs;
    QTest::newRow("plus sign typed") << u"+"_qs << QString() << 1 << QString();
}

void TstFrmAdressBuch::numberCheck()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(int, messages);
    QFETCH(QString, result);
    AbFixture f;
    f.person(u"Anna"_qs, QString());
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QList<bool> visibleWhileOpen;
    f.prompter.setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { visibleWhileOpen.append(book->isVisible()); });
    QLineEdit *nummer = field(book, u"TXTDBNatelNummer"_qs);
    QTest::keyClicks(nummer, typed);
    if (!pasted.isEmpty())
        nummer->insert(pasted);

    QCOMPARE(nummer->text(), result);
    QCOMPARE(f.prompter.count(), messages);
    for (const QString &text : f.prompter.texts())
        QCOMPARE(text,
                 u"Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!"_qs);
    // Bracketed: the window steps aside for every box and comes back.
    QCOMPARE(visibleWhileOpen, QList<bool>(messages, false));
    QVERIFY(book->isVisible());
    QCOMPARE(nummer->cursorPosition(), int(result.size()));
}

void TstFrmAdressBuch::numberCheckKeepsRecord()
{
    // Showing the window again after the box must not move to the first
    // record: the check would then shorten somebody else's number.
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"079 1"_qs);
    const qint64 ben = f.person(u"Ben"_qs, u"079 2"_qs);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    book->findChild<QToolButton *>(u"cmdNaechster"_qs)->click();
    QLineEdit *nummer = field(book, u"TXTDBNatelNummer"_qs);
    nummer->end(false);
    QTest::keyClicks(nummer, u"3x"_qs);
    QCOMPARE(f.prompter.count(), 1);
    QTRY_VERIFY(book->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(book->view()->currentRowId(), std::optional<qint64>(ben));
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Ben"_qs);
    QCOMPARE(nummer->text(), u"079 23"_qs);
    button(book, u"cmdAbbrechen"_qs)->click();
    QCOMPARE(f.column(ben, u"NatelNummer"_qs).toString(), u"079 23"_qs);
    QCOMPARE(f.column(anna, u"NatelNummer"_qs).toString(), u"079 1"_qs);
}

void TstFrmAdressBuch::nummerUebernehmen_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("digits");
    QTest::newRow("plain") << QVariant(u"0791234567"_qs) << u"0791234567"_qs;
    QTest::newRow("blanks and hyphens") << QVariant(u"079 123-45 67"_qs) << u"0791234567"_qs;
    QTest::newRow("international") << QVariant(u"+41 79 123"_qs) << u"4179123"_qs;
    QTest::newRow("empty") << QVariant(QString()) << QString();
    QTest::newRow("no value") << QVariant() << QString();
}

void TstFrmAdressBuch::nummerUebernehmen()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, digits);
    AbFixture f;
    f.person(u"Anna"_qs, stored);
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    QSignalSpy taken(f.flow.get(), &AddressBookFlow::numberTaken);
    button(book, u"cmdNummeruebernehmen"_qs)->click();
    QCOMPARE(taken.size(), 1);
    QCOMPARE(taken.constFirst().constFirst().toString(), digits);
    QVERIFY(!f.flow->addressBook());
    QVERIFY(f.mainWindow.isEnabled());
}

void TstFrmAdressBuch::failedSaveKeepsWindowOpen()
{
    AbFixture f;
    const qint64 anna = f.person(u"Anna"_qs, u"1"_qs);
    QVERIFY(TestDb::exec(f.path, u"CREATE TRIGGER sperre BEFORE UPDATE ON Adressen "
                                 u"BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"_qs));
    FRMAdressBuch *book = open(f);
    QVERIFY(book);
    field(book, u"TXTDBName"_qs)->setText(u"Anna Neu"_qs);
    button(book, u"cmdAbbrechen"_qs)->click();

    QCOMPARE(f.prompter.count(), 1);
    QVERIFY(f.prompter.texts().constFirst().startsWith(
        u"Ihre Änderungen konnten nicht gespeichert werden."_qs));
    QCOMPARE(f.flow->addressBook(), book);
    QVERIFY(book->isVisible());
    QVERIFY(!f.mainWindow.isEnabled());
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna Neu"_qs);

    // Navigating away cannot drop the edit either.
    f.prompter.clear();
    book->findChild<QToolButton *>(u"cmdNaechster"_qs)->click();
    QCOMPARE(f.prompter.count(), 1);
    QCOMPARE(field(book, u"TXTDBName"_qs)->text(), u"Anna Neu"_qs);

    QVERIFY(TestDb::exec(f.path, u"DROP TRIGGER sperre"_qs));
    clickEnde(book);
    QVERIFY(!f.flow->addressBook());
    QVERIFY(f.mainWindow.isEnabled());
    QCOMPARE(f.column(anna, u"Name"_qs).toString(), u"Anna Neu"_qs);
}

QTEST_MAIN(TstFrmAdressBuch)
#include "tst_frmadressbuch.moc"
