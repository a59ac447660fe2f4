#include "addressbookflow.h"
#include "frmadressbuch.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "hoverlabel.h"
#include "outgoingqueue.h"
#include "recordview.h"
#include "scriptedprompter.h"
#include "testdb.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

// A database in a folder of its own, a stand-in main window, a scripted
// prompter and the flow that opens the windows under test.
struct AbFixture
{
    AbFixture() : path(TestDb::create(dir.path())) { mainWindow.move(130, 90); }
    ~AbFixture()
    {
        flow.reset();
        // Closed windows are deleted later; let them go before the folder does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QTemporaryDir dir;
    QString path;
    QWidget mainWindow;
    ScriptedPrompter prompter;
    QList<bool> hidden; // per box: whether the watched window stepped aside
    std::unique_ptr<AddressBookFlow> flow =
        std::make_unique<AddressBookFlow>(path, &mainWindow, &prompter);
};

// The address book and its person lists: every edit reaching the database
// however the window closes, the name search, the number check, the
// hand-overs between the windows and the bulk run.
class TstAddressBook : public QObject
{
    Q_OBJECT

    std::optional<AbFixture> f;

    // A person; with a key of 0 the table picks the key.
    qint64 person(const QVariant &name, const QVariant &natel, qint64 key = 0)
    {
        TestDb::exec(f->path,
                     u"INSERT INTO Adressen (DSNummer, Name, NatelNummer) VALUES (?,?,?)"_qs,
                     {key ? QVariant(key) : QVariant(), name, natel});
        return TestDb::scalar(f->path, u"SELECT MAX(DSNummer) FROM Adressen"_qs).toLongLong();
    }
    QVariant column(qint64 key, const QString &column) const
    {
        return TestDb::scalar(
            f->path, u"SELECT \""_qs + column + u"\" FROM Adressen WHERE DSNummer = ?"_qs, {key});
    }
    int personCount() const
    {
        return TestDb::scalar(f->path, u"SELECT COUNT(*) FROM Adressen"_qs).toInt();
    }
    void watch(QWidget *window)
    {
        f->prompter.setWhileOpen([this, window](const ScriptedPrompter::Shown &) {
            f->hidden.append(!window->isVisible());
        });
    }
    // The window once its activation has run (right after the first show).
    template <typename Window> static Window *ready(Window *window)
    {
        QSignalSpy spy(window, &Window::ready);
        return window && spy.wait(5000) ? window : nullptr;
    }
    FRMAdressBuch *openBook()
    {
        f->flow->openAddressBook();
        return ready(f->flow->addressBook());
    }
    // The search results, reached by cancelling the address book's search.
    FRMSuchen *openResults()
    {
        if (!openBook())
            return nullptr;
        f->prompter.answerInput(std::nullopt);
        button(f->flow->addressBook(), u"cmdSuchen"_qs)->click();
        f->prompter.clear();
        return ready(f->flow->searchResults());
    }
    FRMSelektion1 *openPick()
    {
        f->flow->openSinglePick();
        return ready(f->flow->singlePick());
    }
    FRMSelektion *openBulk()
    {
        return f->flow->startBulk(u"Hallo"_qs) ? ready(f->flow->bulkPick()) : nullptr;
    }
    static QPushButton *button(QWidget *window, const QString &name)
    {
        return window->findChild<QPushButton *>(name);
    }
    static QLineEdit *field(QWidget *window, const QString &name)
    {
        return window->findChild<QLineEdit *>(name);
    }
    static void nav(FRMAdressBuch *book, const QString &name)
    {
        book->findChild<QToolButton *>(name)->click();
    }
    static qint64 shown(FRMAdressBuch *book) { return book->view()->currentRowId().value_or(-1); }
    static void clickEnde(DialogBase *window) { QTest::mouseClick(window->ende(), Qt::LeftButton); }
    static QStringList lines(PersonListDialog *window)
    {
        QStringList texts;
        for (int row = 0; row < window->list()->model()->rowCount(); ++row)
            texts.append(window->list()->model()->index(row, 0).data().toString());
        return texts;
    }
    static void select(PersonListDialog *window, int row)
    {
        window->list()->setCurrentIndex(window->list()->model()->index(row, 0));
    }
    // The first argument of every emission.
    static QStringList firstArgs(const QSignalSpy &spy)
    {
        QStringList values;
        for (const QVariantList &args : spy)
            values.append(args.constFirst().toStringList().join(u'|'));
        return values;
    }

private Q_SLOTS:
    void init() { f.emplace(); }
    void cleanup() { f.reset(); }

    void navigateEditNeu()
    {
        const qint64 anna = person(u"Anna"_qs, u"1"_qs);
        const qint64 ben = person(u"Ben"_qs, u"2"_qs);
        person(u"Cem"_qs, u"3"_qs);
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        QCOMPARE(book->nameField()->text(), u"Anna"_qs);
        const QList<std::pair<QString, QString>> steps{
            {u"cmdVorheriger"_qs, u"Anna"_qs}, {u"cmdLetzter"_qs, u"Cem"_qs},
            {u"cmdNaechster"_qs, u"Cem"_qs},   {u"cmdVorheriger"_qs, u"Ben"_qs},
            {u"cmdErster"_qs, u"Anna"_qs},     {u"cmdNaechster"_qs, u"Ben"_qs}};
        for (const auto &[click, name] : steps) {
            nav(book, click);
            QCOMPARE(book->nameField()->text(), name);
        }
        field(book, u"TXTDBAdresse"_qs)->setText(u"Gasse 7"_qs);
        nav(book, u"cmdErster"_qs);
        QCOMPARE(column(ben, u"Adresse"_qs).toString(), u"Gasse 7"_qs);
        QVERIFY(column(anna, u"Adresse"_qs).isNull());
        book->activateWindow();
        book->nameField()->setText(u"Anna Muster"_qs);
        button(book, u"cmdNeu"_qs)->click();
        QCOMPARE(column(anna, u"Name"_qs).toString(), u"Anna Muster"_qs);
        for (const QString &name : {u"TXTDBName"_qs, u"TXTDBAdresse"_qs, u"TXTDBPLZOrt"_qs,
                                    u"TXTDBNatelNummer"_qs, u"TXTBemerkungen"_qs})
            QVERIFY2(field(book, name)->text().isEmpty(), qPrintable(name));
        QCOMPARE(book->focusWidget(), book->nameField());
        // A new record left without anything typed adds nothing.
        button(book, u"cmdNeu"_qs)->click();
        QTest::keyClicks(book->nameField(), u"Dora"_qs);
        QTest::keyClicks(book->natelNummerField(), u"078 9"_qs);
        button(book, u"cmdAbbrechen"_qs)->click();
        QCOMPARE(personCount(), 4);
        QCOMPARE(column(ben + 2, u"NatelNummer"_qs).toString(), u"078 9"_qs);
        QVERIFY(f->prompter.shown().isEmpty());
    }

    void editStoredOnClose_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Schliessen") << u"cmdAbbrechen"_qs;
        QTest::newRow("LBLEnde") << u"LBLEnde"_qs;
        QTest::newRow("number take-over") << u"cmdNummeruebernehmen"_qs;
        QTest::newRow("failed search") << u"cmdSuchen"_qs;
        QTest::newRow("window closed by the system") << u"close"_qs;
        QTest::newRow("window destroyed") << u"delete"_qs;
    }
    void editStoredOnClose()
    {
        QFETCH(QString, how);
        const qint64 anna = person(u"Anna"_qs, u"+41 79-1"_qs);
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        QVERIFY(!f->mainWindow.isEnabled());
        QSignalSpy taken(f->flow.get(), &AddressBookFlow::numberTaken);
        field(book, u"TXTDBPLZOrt"_qs)->setText(u"3000 Bern"_qs);
        f->prompter.answerInput(u"Niemand"_qs);
        if (how == u"LBLEnde"_qs)
            clickEnde(book);
        else if (how == u"close"_qs)
            QVERIFY(book->close());
        else if (how == u"delete"_qs)
            delete book;
        else
            button(book, how)->click();

        QVERIFY(!f->flow->addressBook());
        QCOMPARE(column(anna, u"PLZOrt"_qs).toString(), u"3000 Bern"_qs);
        // The stored number reduced to its digits, hyphens and all.
        QCOMPARE(firstArgs(taken),
                 how == u"cmdNummeruebernehmen"_qs ? QStringList{u"41791"_qs} : QStringList());
        // After a failed search the search results keep the main window disabled.
        QCOMPARE(bool(f->flow->searchResults()), how == u"cmdSuchen"_qs);
        QCOMPARE(f->mainWindow.isEnabled(), how != u"cmdSuchen"_qs);
    }

    void loeschenRemovesShownRecord()
    {
        const qint64 anna = person(u"Anna"_qs, u"1"_qs);
        const qint64 ben = person(u"Ben"_qs, u"2"_qs);
        const qint64 cem = person(u"Cem"_qs, u"3"_qs);
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        nav(book, u"cmdNaechster"_qs);
        button(book, u"cmdLoeschen"_qs)->click();
        // No question; Ben is gone, not Anna, and the first record shows.
        QVERIFY(column(ben, u"Name"_qs).isNull());
        QCOMPARE(column(anna, u"Name"_qs).toString(), u"Anna"_qs);
        QCOMPARE(column(cem, u"Name"_qs).toString(), u"Cem"_qs);
        QCOMPARE(shown(book), anna);
        QCOMPARE(book->nameField()->text(), u"Anna"_qs);
        // An unsaved new record is dropped, not stored.
        button(book, u"cmdNeu"_qs)->click();
        book->nameField()->setText(u"Irrtum"_qs);
        button(book, u"cmdLoeschen"_qs)->click();
        QCOMPARE(book->nameField()->text(), u"Anna"_qs);
        button(book, u"cmdAbbrechen"_qs)->click();
        QCOMPARE(personCount(), 2);
        QVERIFY(f->prompter.shown().isEmpty());
    }

    void emptyTable()
    {
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        watch(book);
        button(book, u"cmdLoeschen"_qs)->click();
        f->prompter.answerInput(u"Meier"_qs);
        button(book, u"cmdSuchen"_qs)->click();
        QCOMPARE(f->prompter.texts(),
                 (QStringList{u"Kein Datensatz zum löschen verfügbar!"_qs,
                              u"Das Adressbuch enthält keine Daten! Suchen abgebrochen!"_qs}));
        QCOMPARE(f->prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
        QVERIFY(!f->prompter.shown().constLast().isInput);
        QCOMPARE(f->hidden.constFirst(), true);
        QCOMPARE(f->flow->addressBook(), book);
        QVERIFY(book->isVisible());
        QVERIFY(!f->flow->searchResults());
    }

    void suchen_data()
    {
        QTest::addColumn<QVariant>("answer"); // invalid: cancelled
        QTest::addColumn<QString>("found");   // empty: the search results take over
        QTest::newRow("exact name") << QVariant(u"Meier"_qs) << u"Meier"_qs;
        QTest::newRow("blanks around") << QVariant(u"  Meier  "_qs) << u"Meier"_qs;
        QTest::newRow("single quote") << QVariant(u"O'Brien"_qs) << u"O'Brien"_qs;
        QTest::newRow("part of a name is no match") << QVariant(u"Meier H"_qs) << QString();
        QTest::newRow("no such name") << QVariant(u"Zwicky"_qs) << QString();
        QTest::newRow("empty text") << QVariant(QString()) << QString();
        QTest::newRow("cancelled") << QVariant() << QString();
        QTest::newRow("quote widening the criterion") << QVariant(u"x' OR '1'='1"_qs) << QString();
    }
    void suchen()
    {
        QFETCH(QVariant, answer);
        QFETCH(QString, found);
        for (const QString &name : {u"Anna"_qs, u"Meier Hans"_qs, u"Meier"_qs, u"O'Brien"_qs})
            person(name, u"1"_qs);
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        watch(book);
        f->prompter.answerInput(answer.isValid() ? std::optional(answer.toString()) : std::nullopt);
        button(book, u"cmdSuchen"_qs)->click();

        QCOMPARE(f->prompter.count(), 1);
        const ScriptedPrompter::Shown box = f->prompter.shown().constFirst();
        QVERIFY(box.isInput);
        QCOMPARE(box.text, u"Bitte geben Sie den zu suchenden Namen ein!(Wenn Sie alle Namen "
                           u"anzeigen möchten geben Sie kein Suchzeichen ein und drücken 'OK')"_qs);
        QCOMPARE(box.title, u"Suche..."_qs);
        QCOMPARE(f->hidden, QList<bool>{true});
        if (!found.isEmpty()) {
            QCOMPARE(f->flow->addressBook(), book);
            QVERIFY(book->isVisible());
            QCOMPARE(book->nameField()->text(), found);
            QCOMPARE(column(shown(book), u"Name"_qs).toString(), found);
            QVERIFY(!f->flow->searchResults());
        } else {
            QVERIFY(!f->flow->addressBook());
            FRMSuchen *results = ready(f->flow->searchResults());
            QVERIFY(results);
            QCOMPARE(lines(results).size(), 4);
            QVERIFY(!f->mainWindow.isEnabled());
        }
    }

    void numberCheck_data()
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
    void numberCheck()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(int, messages);
        QFETCH(QString, result);
        const qint64 anna = person(u"Anna"_qs, u"079 1"_qs);
        const qint64 ben = person(u"Ben"_qs, QString());
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        watch(book);
        nav(book, u"cmdNaechster"_qs);
        QLineEdit *nummer = book->natelNummerField();
        QTest::keyClicks(nummer, typed);
        if (!pasted.isEmpty())
            nummer->insert(pasted);

        QCOMPARE(nummer->text(), result);
        QCOMPARE(nummer->cursorPosition(), int(result.size()));
        QCOMPARE(f->prompter.texts(),
                 QStringList(messages, u"Es dürfen keine alphanumerischen Zeichen in diesem Feld "
                                       u"gebraucht werden!"_qs));
        // Bracketed: the window steps aside for every box and comes back, still
        // on the record being edited (not the first one, whose number the
        // check would then shorten).
        QCOMPARE(f->hidden, QList<bool>(messages, true));
        QVERIFY(book->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(shown(book), ben);
        button(book, u"cmdAbbrechen"_qs)->click();
        QCOMPARE(column(ben, u"NatelNummer"_qs).toString(), result);
        QCOMPARE(column(anna, u"NatelNummer"_qs).toString(), u"079 1"_qs);
    }

    void failedSaveKeepsWindowOpen()
    {
        const qint64 anna = person(u"Anna"_qs, u"1"_qs);
        person(u"Ben"_qs, u"2"_qs);
        QVERIFY(TestDb::exec(f->path, u"CREATE TRIGGER sperre BEFORE UPDATE ON Adressen "
                                      u"BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"_qs));
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        book->nameField()->setText(u"Anna Neu"_qs);
        // Neither closing nor leaving the record may drop the edit.
        button(book, u"cmdAbbrechen"_qs)->click();
        nav(book, u"cmdNaechster"_qs);
        QCOMPARE(f->prompter.count(), 2);
        QVERIFY(f->prompter.texts().constFirst().startsWith(
            u"Ihre Änderungen konnten nicht gespeichert werden."_qs));
        QVERIFY(f->flow->addressBook() == book && book->isVisible() && !f->mainWindow.isEnabled());
        QCOMPARE(book->nameField()->text(), u"Anna Neu"_qs);

        QVERIFY(TestDb::exec(f->path, u"DROP TRIGGER sperre"_qs));
        clickEnde(book);
        QVERIFY(!f->flow->addressBook() && f->mainWindow.isEnabled());
        QCOMPARE(column(anna, u"Name"_qs).toString(), u"Anna Neu"_qs);
    }

    void searchResults_data()
    {
        QTest::addColumn<int>("row"); // -1: nothing selected
        QTest::addColumn<qint64>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("nothing selected opens on the first") << -1 << qint64(1) << u"Anna"_qs;
        QTest::newRow("key above 32767, hyphenated name")
            << 1 << qint64(40000) << u"Müller-Lüdenscheidt"_qs;
        QTest::newRow("key above 65535") << 2 << qint64(70001) << u"Weit"_qs;
        QTest::newRow("name without value") << 3 << qint64(70002) << QString();
    }
    void searchResults()
    {
        QFETCH(int, row);
        QFETCH(qint64, key);
        QFETCH(QString, name);
        person(u"Anna"_qs, u"079 1"_qs, 1);
        person(u"Müller-Lüdenscheidt"_qs, u"079-4"_qs, 40000);
        person(u"Weit"_qs, u""_qs, 70001);
        person(QVariant(), 791234, 70002);
        FRMSuchen *results = openResults();
        QVERIFY(results);
        QCOMPARE(lines(results),
                 (QStringList{u" 1 - Anna, 079 1"_qs, u" 40000 - Müller-Lüdenscheidt, 079-4"_qs,
                              u" 70001 - Weit"_qs, u" 70002 - , 791234"_qs}));
        if (row >= 0)
            select(results, row);
        button(results, u"cmdOK"_qs)->click();
        QVERIFY(!f->flow->searchResults());
        // The hand-over keeps the main window disabled throughout.
        QVERIFY(!f->mainWindow.isEnabled());
        FRMAdressBuch *book = ready(f->flow->addressBook());
        QVERIFY(book);
        QCOMPARE(shown(book), key);
        QCOMPARE(book->nameField()->text(), name);
        QVERIFY(f->prompter.shown().isEmpty());
    }

    void closeList_data()
    {
        QTest::addColumn<int>("window"); // search results, single pick, bulk pick
        QTest::addColumn<QString>("how");
        QTest::newRow("results Abbrechen") << 0 << u"cmdAbbrechen"_qs;
        QTest::newRow("results LBLEnde") << 0 << u"LBLEnde"_qs;
        QTest::newRow("pick Abbrechen") << 1 << u"cmdAbbrechen"_qs;
        QTest::newRow("pick LBLEnde") << 1 << u"LBLEnde"_qs;
        QTest::newRow("pick to the address book") << 1 << u"cmdAdressbuch"_qs;
        QTest::newRow("bulk Abbrechen") << 2 << u"cmdAbbrechen"_qs;
        QTest::newRow("bulk LBLEnde") << 2 << u"LBLEnde"_qs;
        QTest::newRow("bulk run with nobody marked") << 2 << u"cmdSerienSMS"_qs;
    }
    void closeList()
    {
        QFETCH(int, window);
        QFETCH(QString, how);
        person(u"Anna"_qs, u"079 1"_qs);
        QSignalSpy taken(f->flow.get(), &AddressBookFlow::numberTaken);
        QSignalSpy recipients(f->flow.get(), &AddressBookFlow::bulkRecipients);
        PersonListDialog *list = window == 0   ? static_cast<PersonListDialog *>(openResults())
                                 : window == 1 ? static_cast<PersonListDialog *>(openPick())
                                               : openBulk();
        QVERIFY(list);
        if (window < 2)
            select(list, 0);
        if (how == u"LBLEnde"_qs)
            clickEnde(list);
        else
            button(list, how)->click();
        QCoreApplication::processEvents();
        QVERIFY(!f->flow->searchResults() && !f->flow->singlePick() && !f->flow->bulkPick());
        const bool toBook = how == u"cmdAdressbuch"_qs;
        QCOMPARE(bool(f->flow->addressBook()), toBook);
        QCOMPARE(f->mainWindow.isEnabled(), !toBook);
        QVERIFY(taken.isEmpty() && recipients.isEmpty() && f->prompter.shown().isEmpty());
    }

    void pickLines()
    {
        for (const QVariant &natel :
             {QVariant(u"079 111 22 33"_qs), QVariant(u""_qs), QVariant(), QVariant(u"   "_qs),
              QVariant(u"keine"_qs), QVariant(u"+41 79-12"_qs)})
            person(u"P%1"_qs.arg(personCount()), natel);
        person(QVariant(), u"078 5"_qs);
        const QStringList expected{u"079 111 22 33 - P0"_qs, u"+41 79-12 - P5"_qs, u"078 5 - "_qs};
        FRMSelektion1 *pick = openPick();
        QVERIFY(pick);
        QCOMPARE(lines(pick), expected);
        // The single pick opens where the main window is, not centred.
        QCOMPARE(pick->pos(), f->mainWindow.pos());
        button(pick, u"cmdAbbrechen"_qs)->click();
        FRMSelektion *bulk = openBulk();
        QVERIFY(bulk);
        QCOMPARE(lines(bulk), expected);
        QVERIFY(f->prompter.shown().isEmpty());
    }

    void pickOk()
    {
        person(u"Anna"_qs, u"079 000"_qs);
        person(u"Ben-Luca"_qs, u"+41 79-111 22"_qs);
        FRMSelektion1 *pick = openPick();
        QVERIFY(pick);
        QSignalSpy taken(f->flow.get(), &AddressBookFlow::numberTaken);
        watch(pick);
        button(pick, u"cmdOK"_qs)->click();
        QCOMPARE(f->prompter.texts(), QStringList{u"Sie haben niemanden ausgewählt!"_qs});
        QCOMPARE(f->hidden, QList<bool>{true});
        QCOMPARE(f->flow->singlePick(), pick);
        QVERIFY(pick->isVisible() && taken.isEmpty());

        select(pick, 1);
        button(pick, u"cmdOK"_qs)->click();
        QCOMPARE(firstArgs(taken), QStringList{u"417911122"_qs});
        QVERIFY(!f->flow->singlePick() && f->mainWindow.isEnabled());
        QCOMPARE(f->prompter.count(), 1);
    }

    void startChecks_data()
    {
        QTest::addColumn<QString>("nachricht");
        QTest::addColumn<QString>("message"); // empty: the bulk pick opens
        const QString leer = u"Bevor eine Serien-SMS gestartet werden kann, müssen Sie zuerst "
                             u"eine Nachricht für alle Empfänger definieren!"_qs;
        const QString lang =
            u"In dieser Funktion werden überlange Nachrichte nicht unterstützt!"_qs;
        QTest::newRow("empty") << QString() << leer;
        QTest::newRow("blank only is a message") << u" "_qs << QString();
        QTest::newRow("160 characters") << QString(160, u'a') << QString();
        QTest::newRow("161 characters") << QString(161, u'a') << lang;
        QTest::newRow("line break counts two")
            << QString(79, u'a') + u"\n"_qs + QString(80, u'b') << lang;
    }
    void startChecks()
    {
        QFETCH(QString, nachricht);
        QFETCH(QString, message);
        person(u"Anna"_qs, u"079 1"_qs);
        QSignalSpy focus(f->flow.get(), &AddressBookFlow::messageFieldFocusRequested);
        QCOMPARE(f->flow->startBulk(nachricht), message.isEmpty());
        QCOMPARE(focus.size(), nachricht.isEmpty() ? 1 : 0);
        QCOMPARE(f->prompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(bool(f->flow->bulkPick()), message.isEmpty());
        QCOMPARE(f->mainWindow.isEnabled(), !message.isEmpty());
    }

    void bulkRun()
    {
        for (const QString &natel :
             {u"079 111 11 11"_qs, u"+41 79 2"_qs, u"078-333-33"_qs, u"076 4"_qs})
            person(u"P"_qs, natel);
        FRMSelektion *bulk = openBulk();
        QVERIFY(bulk);
        QSignalSpy recipients(f->flow.get(), &AddressBookFlow::bulkRecipients);
        // Marked against the list order, one line marked and unmarked again;
        // the run follows the list.
        for (int row : {3, 1, 0, 1, 2}) {
            const QRect rect = bulk->list()->visualRect(bulk->list()->model()->index(row, 0));
            QTest::mouseClick(bulk->list()->viewport(), Qt::LeftButton, {}, rect.center());
        }
        button(bulk, u"cmdSerienSMS"_qs)->click();
        QCOMPARE(firstArgs(recipients), QStringList{u"0791111111|07833333|0764"_qs});
        QVERIFY(!f->flow->bulkPick() && f->mainWindow.isEnabled());
        QVERIFY(f->prompter.shown().isEmpty());
    }

    void bulkMoreThan501()
    {
        QVERIFY(TestDb::exec(f->path,
                             u"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                             u"WHERE i < 619) INSERT INTO Adressen (Name, NatelNummer) "
                             u"SELECT 'Person ' || i, printf('079 %04d', i) FROM n"_qs));
        FRMSelektion *bulk = openBulk();
        QVERIFY(bulk);
        bulk->list()->selectAll();
        QSignalSpy recipients(f->flow.get(), &AddressBookFlow::bulkRecipients);
        button(bulk, u"cmdSerienSMS"_qs)->click();
        const QString numbers = firstArgs(recipients).value(0);
        QCOMPARE(numbers.count(u'|'), 619);
        QVERIFY(numbers.contains(u"|0790500|0790501|"_qs) && numbers.endsWith(u"|0790619"_qs));
    }

    void bulkEmpty_data()
    {
        QTest::addColumn<bool>("emptyTable");
        QTest::newRow("empty table: told and closed") << true;
        QTest::newRow("nobody with a number: empty list, no message") << false;
    }
    void bulkEmpty()
    {
        QFETCH(bool, emptyTable);
        if (!emptyTable) {
            person(u"Anna"_qs, QVariant());
            person(u"Ben"_qs, u"---"_qs);
        }
        QVERIFY(f->flow->startBulk(u"Hallo"_qs));
        FRMSelektion *bulk = f->flow->bulkPick();
        QVERIFY(bulk);
        watch(bulk);
        QSignalSpy unloaded(bulk, &DialogBase::unloaded);
        if (emptyTable)
            QVERIFY(unloaded.wait(5000));
        else
            QVERIFY(ready(bulk) && lines(bulk).isEmpty());
        QCOMPARE(f->prompter.texts(),
                 emptyTable ? QStringList{u"Sie haben keine Personen erfasst, welchen Sie eine "
                                          u"SMS senden können! Serien-SMS wurde abgebrochen!"_qs}
                            : QStringList());
        QCOMPARE(f->hidden, QList<bool>(emptyTable ? 1 : 0, true));
        QCOMPARE(bool(f->flow->bulkPick()), !emptyTable);
        QCOMPARE(f->mainWindow.isEnabled(), emptyTable);
    }

    // What the main window does with the numbers of a bulk run.
    void serienSMSEinreihen()
    {
        OutgoingQueue queue;
        queue.append(u"0790"_qs, u"vorher"_qs, QString());
        QCOMPARE(SerienSMSEinreihen(queue, {u"0791"_qs, u"+41-79"_qs}, u"a\nb"_qs, u"079 5 "_qs),
                 2);
        QCOMPARE(queue.count(), 3);
        QCOMPARE(queue.at(1).natelNummer, u"0791"_qs);
        const QueueEntry &last = queue.at(2);
        QCOMPARE((QStringList{last.natelNummer, last.nachricht, last.rueckrufNummer}),
                 (QStringList{u"4179"_qs, u"a\r\nb"_qs, u"0795"_qs}));
    }
};

QTEST_MAIN(TstAddressBook)
#include "tst_addressbook.moc"
