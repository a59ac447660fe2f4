#include "queuepanel.h"
#include "scriptedprompter.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

namespace {

const QString pflicht =
    QStringLiteral("Sie müssen mindesten die Natel-Nummer und eine Nachricht eingetragen haben!");
const QString alphanumerisch =
    QStringLiteral("Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!");
const QString loeschen =
    QStringLiteral("Wollen Sie diesen Eintrag wirklich aus der Warteschlange löschen?");

struct Entry
{
    QString natelNummer;
    QString nachricht;
    QString rueckrufNummer;
    bool operator==(const Entry &) const = default;
};

char *toString(const Entry &e)
{
    return QTest::toString(u'(' + e.natelNummer + u", " + e.nachricht + u", " + e.rueckrufNummer +
                           u')');
}

// The main window's queue controls, built the way the window builds them.
struct Window
{
    QWidget widget;
    QueueWidgets w;
    OutgoingQueue queue;
    ScriptedPrompter prompter;
    std::unique_ptr<QueuePanel> panel;

    explicit Window(const QString &storedRueckruf = QString(), bool modelSetByWindow = false)
    {
        auto *layout = new QVBoxLayout(&widget);
        auto add = [&](auto *control, const char *name) {
            control->setObjectName(QLatin1StringView(name));
            layout->addWidget(control);
            return control;
        };
        w.natelNummer = add(new QLineEdit, "TXTNatelNummer");
        w.rueckrufNummer = add(new QLineEdit, "TXTRueckrufNummer");
        w.nachricht = add(new QPlainTextEdit, "TXTNachricht");
        w.zaehler = add(new QLabel, "LBLZaehler");
        w.hinweis = add(new QLabel, "LBLHinweis");
        w.listNatelNummer = add(new QListView, "LSTNatelNummer");
        w.listNachricht = add(new QListView, "LSTNachricht");
        w.listRueckrufNummer = add(new QListView, "LSTRueckrufNummer");
        w.scroll = add(new QScrollBar(Qt::Vertical), "VScroll1");
        w.senden = add(new QPushButton(u"SMS senden"_qs), "cmdSenden");
        w.loeschen = add(new QPushButton(u"Aus Warteschlange löschen"_qs), "cmdauslistloesch");
        for (QListView *list : lists())
            list->setFixedHeight(30);
        w.rueckrufNummer->setText(storedRueckruf);
        if (modelSetByWindow) {
            for (QListView *list : lists())
                list->setModel(&queue);
        }
        panel = std::make_unique<QueuePanel>(&queue, w, &prompter);
    }

    // Moves the scroll bar so that the browse step selects the row, also
    // when the value is there already.
    void browseTo(int row)
    {
        w.scroll->setValue(row == 0 ? 1 : 0);
        w.scroll->setValue(row);
    }

    QList<QListView *> lists() const
    {
        return {w.listNatelNummer, w.listNachricht, w.listRueckrufNummer};
    }

    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            queue.append(QString::number(1000 + i), u"Text "_qs + QString::number(i), u"076"_qs);
    }

    QList<Entry> entries() const
    {
        QList<Entry> result;
        for (int i = 0; i < queue.count(); ++i)
            result.append(
                {queue.at(i).natelNummer, queue.at(i).nachricht, queue.at(i).rueckrufNummer});
        return result;
    }

    // The selected row of each list (-1 for none).
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (QListView *list : lists()) {
            const QModelIndexList selected = list->selectionModel()->selectedIndexes();
            rows.append(selected.isEmpty() ? -1 : selected.constFirst().row());
        }
        return rows;
    }

    void send(const QString &natel, const QString &nachricht, const QString &rueckruf)
    {
        w.natelNummer->setText(natel);
        w.nachricht->setPlainText(nachricht);
        w.rueckrufNummer->setText(rueckruf);
        prompter.clear();
        QTest::mouseClick(w.senden, Qt::LeftButton);
    }
};

QList<int> same(int row)
{
    return {row, row, row};
}

} // namespace

class TestQueuePanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wiresTheLists();
    void senden_data();
    void senden();
    void refusedNumberShowsWhere();
    void sendenSetsScrollToOne_data();
    void sendenSetsScrollToOne();
    void sendenLeavesSelectionWhenAlreadyOne();
    void sameMessageForTwoNumbers();
    void browse_data();
    void browse();
    void browseBringsEntryIntoView();
    void browseChangesNothingElse();
    void clickInOneListSelectsInAll();
    void headRemovedKeepsListsInStep();
    void selectedHeadSentKeepsScrollBar();
    void modelSetByWindowBeforePanel();
    void remove_data();
    void remove();
    void removeWhileHeadIsSent();
    void messageTextIsCrLf();
    void storedRueckrufIsChecked();
    void fieldChecksAreWired();
};

void TestQueuePanel::wiresTheLists()
{
    Window win;
    QCOMPARE(win.w.listNatelNummer->modelColumn(), int(OutgoingQueue::NatelNummerColumn));
    QCOMPARE(win.w.listNachricht->modelColumn(), int(OutgoingQueue::NachrichtColumn));
    QCOMPARE(win.w.listRueckrufNummer->modelColumn(), int(OutgoingQueue::RueckrufNummerColumn));
    for (QListView *list : win.lists()) {
        QCOMPARE(list->model(), &win.queue);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    }
    QCOMPARE(win.w.scroll->minimum(), 0);
    QCOMPARE(win.w.scroll->maximum(), 32767);
    QCOMPARE(win.w.scroll->singleStep(), 1);
    QCOMPARE(win.w.scroll->value(), 0);
    QCOMPARE(win.w.zaehler->text(), QString());
}

void TestQueuePanel::senden_data()
{
    QTest::addColumn<QString>("natel");
    QTest::addColumn<QString>("nachricht");
    QTest::addColumn<QString>("rueckruf");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<Entry>>("queued");
    QTest::addColumn<QString>("natelAfter");

    const QString text160 = QString(160, u'x');
    const QString text161 = QString(155, u'a') + QString(6, u'b');

    QTest::newRow("one entry") << u"079 123 45 67"_qs << u"Hallo"_qs << u"076 555 11 22"_qs
                               << QStringList{}
                               << QList<Entry>{{u"079 123 45 67"_qs, u"Hallo"_qs,
                                                u"076 555 11 22"_qs}}
                               << QString();
    QTest::newRow("no call-back number")
        << u"0791234567"_qs << u"Hallo"_qs << QString() << QStringList{}
        << QList<Entry>{{u"0791234567"_qs, u"Hallo"_qs, QString()}} << QString();
    QTest::newRow("blanks are a message")
        << u"0791234567"_qs << u"   "_qs << QString() << QStringList{}
        << QList<Entry>{{u"0791234567"_qs, u"   "_qs, QString()}} << QString();
    QTest::newRow("160 characters, one entry")
        << u"0791"_qs << text160 << QString() << QStringList{}
        << QList<Entry>{{u"0791"_qs, text160, QString()}} << QString();
    QTest::newRow("161 characters, two entries")
        << u"0791"_qs << text161 << u"076"_qs << QStringList{}
        << QList<Entry>{{u"0791"_qs, QString(155, u'a') + u"...->"_qs, u"076"_qs},
                        {u"0791"_qs, u"->..."_qs + QString(6, u'b'), u"076"_qs}}
        << QString();
    QTest::newRow("line break queued as CR LF")
        << u"0791"_qs << u"Zeile 1\nZeile 2"_qs << QString() << QStringList{}
        << QList<Entry>{{u"0791"_qs, u"Zeile 1\r\nZeile 2"_qs, QString()}} << QString();
    QTest::newRow("empty number") << QString() << u"Hallo"_qs << QString() << QStringList{pflicht}
                                  << QList<Entry>{} << QString();
    QTest::newRow("empty message") << u"0791"_qs << QString() << QString() << QStringList{pflicht}
                                   << QList<Entry>{} << u"0791"_qs;
    QTest::newRow("both empty") << QString() << QString() << QString() << QStringList{pflicht}
                                << QList<Entry>{} << QString();
    QTest::newRow("number of blanks only") << u"   "_qs << u"Hallo"_qs << QString()
                                           << QStringList{pflicht} << QList<Entry>{} << u"   "_qs;
    QTest::newRow("letter inside number")
        << u"079x1234"_qs << u"Hallo"_qs << QString() << QStringList{alphanumerisch}
        << QList<Entry>{} << u"079x1234"_qs;
    QTest::newRow("plus at start of number")
        << u"+41791234"_qs << u"Hallo"_qs << QString() << QStringList{alphanumerisch}
        << QList<Entry>{} << u"+41791234"_qs;
    QTest::newRow("slash inside call-back number")
        << u"0791234"_qs << u"Hallo"_qs << u"076/5551"_qs << QStringList{alphanumerisch}
        << QList<Entry>{} << u"0791234"_qs;
    QTest::newRow("empty number and bad call-back: one message")
        << QString() << u"Hallo"_qs << u"07a6"_qs << QStringList{pflicht} << QList<Entry>{}
        << QString();
}

void TestQueuePanel::senden()
{
    QFETCH(QString, natel);
    QFETCH(QString, nachricht);
    QFETCH(QString, rueckruf);
    QFETCH(QStringList, messages);
    QFETCH(QList<Entry>, queued);
    QFETCH(QString, natelAfter);

    Window win;
    // The field checks only look at the last character, so these numbers can
    // be in the fields; their own messages are not what is tested here.
    win.send(natel, nachricht, rueckruf);

    QCOMPARE(win.prompter.texts(), messages);
    for (const auto &box : win.prompter.shown()) {
        QCOMPARE(box.buttons, Prompter::Buttons::Ok);
        QCOMPARE(box.icon, Prompter::Icon::None);
    }
    QCOMPARE(win.entries(), queued);
    QCOMPARE(win.w.natelNummer->text(), natelAfter);
    // The message and the call-back number are kept for the next recipient.
    QCOMPARE(win.w.nachricht->toPlainText(), nachricht);
    QCOMPARE(win.w.rueckrufNummer->text(), rueckruf);
}

void TestQueuePanel::refusedNumberShowsWhere()
{
    Window win;
    win.send(u"0791234"_qs, u"Hallo"_qs, u"076 55x 11"_qs);
    QCOMPARE(win.prompter.texts(), QStringList{alphanumerisch});
    QCOMPARE(win.w.rueckrufNummer->selectedText(), u"x"_qs);
    QCOMPARE(win.w.rueckrufNummer->selectionStart(), 6);
}

void TestQueuePanel::sendenSetsScrollToOne_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("selected");

    // With two or more entries the second is shown, else it falls back to 0.
    QTest::newRow("first entry queued") << 0 << true << 0 << 0;
    QTest::newRow("second entry queued") << 1 << true << 1 << 1;
    QTest::newRow("tenth entry queued") << 9 << true << 1 << 1;
    QTest::newRow("refused, empty queue") << 0 << false << 0 << -1;
    QTest::newRow("refused, one entry") << 1 << false << 0 << 0;
    QTest::newRow("refused, three entries") << 3 << false << 1 << 1;
}

void TestQueuePanel::sendenSetsScrollToOne()
{
    QFETCH(int, before);
    QFETCH(bool, valid);
    QFETCH(int, value);
    QFETCH(int, selected);

    Window win;
    win.fill(before);
    win.send(valid ? u"0791"_qs : QString(), u"Hallo"_qs, QString());
    QCOMPARE(win.w.scroll->value(), value);
    QCOMPARE(win.selectedRows(), same(selected));
}

void TestQueuePanel::sendenLeavesSelectionWhenAlreadyOne()
{
    Window win;
    win.fill(4);
    win.w.scroll->setValue(1);
    for (QListView *list : win.lists())
        list->selectionModel()->clearSelection();
    // The value stays 1, so nothing is browsed.
    win.send(u"0791"_qs, u"Hallo"_qs, QString());
    QCOMPARE(win.w.scroll->value(), 1);
    QCOMPARE(win.selectedRows(), same(-1));
}

void TestQueuePanel::sameMessageForTwoNumbers()
{
    Window win;
    win.send(u"0791111111"_qs, u"Treffen um 8"_qs, u"076"_qs);
    win.w.natelNummer->setText(u"0792222222"_qs);
    QTest::mouseClick(win.w.senden, Qt::LeftButton);
    QCOMPARE(win.entries(), (QList<Entry>{{u"0791111111"_qs, u"Treffen um 8"_qs, u"076"_qs},
                                          {u"0792222222"_qs, u"Treffen um 8"_qs, u"076"_qs}}));
    QCOMPARE(win.prompter.count(), 0);
}

void TestQueuePanel::browse_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("moveTo");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("selected");

    QTest::newRow("to an entry") << 3 << 0 << 2 << 2 << 2;
    QTest::newRow("back to the head") << 3 << 2 << 0 << 0 << 0;
    QTest::newRow("one past the end jumps to 0") << 3 << 2 << 3 << 0 << 0;
    QTest::newRow("far past the end") << 3 << 0 << 32767 << 0 << 0;
    QTest::newRow("one entry, value 1") << 1 << 0 << 1 << 0 << 0;
    QTest::newRow("empty queue") << 0 << 0 << 5 << 0 << -1;
    QTest::newRow("last of many") << 500 << 0 << 499 << 499 << 499;
}

void TestQueuePanel::browse()
{
    QFETCH(int, entries);
    QFETCH(int, start);
    QFETCH(int, moveTo);
    QFETCH(int, value);
    QFETCH(int, selected);

    Window win;
    win.fill(entries);
    win.w.scroll->setValue(start);
    win.w.scroll->setValue(moveTo);
    QCOMPARE(win.w.scroll->value(), value);
    QCOMPARE(win.selectedRows(), same(selected));
}

void TestQueuePanel::browseBringsEntryIntoView()
{
    Window win;
    win.fill(200);
    win.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.widget));

    for (int row : {150, 3, 199}) {
        win.w.scroll->setValue(row);
        for (QListView *list : win.lists()) {
            const QRect rect = list->visualRect(win.queue.index(row, list->modelColumn()));
            QVERIFY2(list->viewport()->rect().intersects(rect),
                     qPrintable(list->objectName() + u' ' + QString::number(row)));
        }
    }
}

void TestQueuePanel::browseChangesNothingElse()
{
    Window win;
    win.fill(3);
    win.w.natelNummer->setText(u"0791"_qs);
    win.w.nachricht->setPlainText(u"Entwurf"_qs);
    const QList<Entry> before = win.entries();
    for (int v : {2, 1, 5, 0})
        win.w.scroll->setValue(v);
    QCOMPARE(win.entries(), before);
    QCOMPARE(win.w.natelNummer->text(), u"0791"_qs);
    QCOMPARE(win.w.nachricht->toPlainText(), u"Entwurf"_qs);
    QCOMPARE(win.prompter.count(), 0);
}

void TestQueuePanel::clickInOneListSelectsInAll()
{
    Window win;
    win.fill(3);
    win.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.widget));

    QListView *list = win.w.listNachricht;
    list->scrollTo(win.queue.index(2, list->modelColumn()));
    const QRect rect = list->visualRect(win.queue.index(2, list->modelColumn()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());

    QCOMPARE(win.selectedRows(), same(2));
    QCOMPARE(win.w.scroll->value(), 2);
    QCOMPARE(win.panel->selectedIndex(), 2);
}

void TestQueuePanel::headRemovedKeepsListsInStep()
{
    Window win;
    win.fill(4);
    win.w.scroll->setValue(2);
    win.queue.remove(0); // the engine sent the head
    QCOMPARE(win.selectedRows(), same(1));
    QCOMPARE(win.queue.at(1).nachricht, u"Text 2"_qs);
}

void TestQueuePanel::selectedHeadSentKeepsScrollBar()
{
    Window win;
    win.fill(3);
    win.browseTo(0);
    win.queue.remove(0);
    QCOMPARE(win.w.scroll->value(), 0);
    const QList<int> rows = win.selectedRows();
    QCOMPARE(rows, same(rows.constFirst()));
    win.queue.clear();
    QCOMPARE(win.w.scroll->value(), 0);
    QCOMPARE(win.selectedRows(), same(-1));
}

void TestQueuePanel::modelSetByWindowBeforePanel()
{
    // The window may have given the lists the model itself; removing the
    // selected entry must still leave the scroll bar alone.
    Window win(QString(), true);
    win.fill(4);
    win.browseTo(1);
    win.queue.remove(1);
    QCOMPARE(win.w.scroll->value(), 1);
    const QList<int> rows = win.selectedRows();
    QCOMPARE(rows, same(rows.constFirst()));
}

void TestQueuePanel::remove_data()
{
    QTest::addColumn<int>("select"); // -1: nothing selected
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("left");

    const QStringList all{u"Text 0"_qs, u"Text 1"_qs, u"Text 2"_qs};
    QTest::newRow("nothing selected") << -1 << true << QStringList{} << all;
    QTest::newRow("middle, yes") << 1 << true << QStringList{loeschen}
                                 << QStringList{u"Text 0"_qs, u"Text 2"_qs};
    QTest::newRow("middle, no") << 1 << false << QStringList{loeschen} << all;
    QTest::newRow("head, yes") << 0 << true << QStringList{loeschen}
                               << QStringList{u"Text 1"_qs, u"Text 2"_qs};
    QTest::newRow("last, yes") << 2 << true << QStringList{loeschen}
                               << QStringList{u"Text 0"_qs, u"Text 1"_qs};
}

void TestQueuePanel::remove()
{
    QFETCH(int, select);
    QFETCH(bool, yes);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, left);

    Window win;
    win.fill(3);
    if (select >= 0)
        win.browseTo(select);
    const int valueBefore = win.w.scroll->value();
    win.prompter.answerNext(yes ? Prompter::Answer::Yes : Prompter::Answer::No);
    QTest::mouseClick(win.w.loeschen, Qt::LeftButton);

    QCOMPARE(win.prompter.texts(), asked);
    if (!asked.isEmpty())
        QCOMPARE(win.prompter.shown().constFirst().buttons, Prompter::Buttons::YesNo);
    QStringList texts;
    for (const Entry &e : win.entries())
        texts.append(e.nachricht);
    QCOMPARE(texts, left);
    // The three columns lose the same entry.
    QCOMPARE(win.queue.rowCount(), int(left.size()));
    QCOMPARE(win.w.scroll->value(), valueBefore);
    const QList<int> rows = win.selectedRows();
    QCOMPARE(rows, same(rows.constFirst()));
}

void TestQueuePanel::removeWhileHeadIsSent()
{
    Window win;
    win.fill(3);
    win.w.scroll->setValue(2);
    win.prompter.answerNext(Prompter::Answer::Yes);
    // The engine sends and removes the head while the question is open.
    win.prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) { win.queue.remove(0); });
    win.panel->ausListeLoeschen();

    QCOMPARE(win.queue.count(), 1);
    QCOMPARE(win.queue.at(0).nachricht, u"Text 1"_qs);
}

void TestQueuePanel::messageTextIsCrLf()
{
    Window win;
    win.w.nachricht->setPlainText(u"Zeile 1\nZeile 2\n\nEnde"_qs);
    QCOMPARE(win.panel->messageText(), u"Zeile 1\r\nZeile 2\r\n\r\nEnde"_qs);
    QCOMPARE(win.w.zaehler->text(), u"24"_qs);
}

void TestQueuePanel::storedRueckrufIsChecked()
{
    // The stored call-back number was in the field before the panel existed.
    Window win(u"076 555 11 2x"_qs);
    QCOMPARE(win.w.rueckrufNummer->text(), u"076 555 11 2"_qs);
    QCOMPARE(win.prompter.texts(), QStringList{alphanumerisch});
}

void TestQueuePanel::fieldChecksAreWired()
{
    Window win;
    QTest::keyClicks(win.w.natelNummer, u"079a"_qs);
    QTest::keyClicks(win.w.rueckrufNummer, u"076b"_qs);
    QTest::keyClicks(win.w.nachricht, u"Hallo"_qs);
    QTest::keyClick(win.w.nachricht, Qt::Key_Return);
    QCOMPARE(win.w.natelNummer->text(), u"079"_qs);
    QCOMPARE(win.w.rueckrufNummer->text(), u"076"_qs);
    QCOMPARE(win.panel->messageText(), u"Hallo"_qs);
    QCOMPARE(win.prompter.texts(),
             (QStringList{alphanumerisch, alphanumerisch,
                          u"Das 'Enter'- Zeichen wird nicht akzeptiert!"_qs}));
    QCOMPARE(win.w.zaehler->text(), u"5"_qs);
    QCOMPARE(win.w.hinweis->text(), u"Wird als 1 SMS versandt."_qs);
}

QTEST_MAIN(TestQueuePanel)
#include "tst_queuepanel.moc"
