#include "fakeclock.h"
#include "gsmpdu.h"
#include "inbound.h"
#include "messagefieldcheck.h"
#include "numberfieldcheck.h"
#include "outbox.h"
#include "queuepanel.h"
#include "queuetexts.h"
#include "scriptedprompter.h"
#include "testdb.h"
#include "textfield.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString pflicht =
    QStringLiteral("Sie müssen mindesten die Natel-Nummer und eine Nachricht eingetragen haben!");
const QString noLettersText =
    QStringLiteral("Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!");
const QString enter = QStringLiteral("Das 'Enter'- Zeichen wird nicht akzeptiert!");
const QString loeschen =
    QStringLiteral("Wollen Sie diesen Eintrag wirklich aus der Warteschlange löschen?");
enum ScrollAction { Send = -1, SendRefused = -2 };

// The main window's queue controls as the window hands them to the panel.
struct Window
{
    OutgoingQueue queue;
    Outbox outbox{&queue};
    ScriptedPrompter prompter;
    QWidget widget; // destroyed first, with the panel and the controls
    QueueWidgets w;
    QueuePanel *panel;

    explicit Window(const QString &storedCallBack = QString())
    {
        QWidget *p = &widget;
        // The number fields as the main window makes them.
        w = {newTextField(p),   newTextField(p),    new QPlainTextEdit(p), new QLabel(p),
             new QLabel(p),     new QListView(p),   new QListView(p),      new QListView(p),
             new QScrollBar(p), new QPushButton(p), new QPushButton(p)};
        w.rueckrufNummer->setText(storedCallBack);
        panel = new QueuePanel(&outbox, w, &prompter, &widget);
    }

    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            queue.append(u"079"_s, QString::number(i), QString());
    }

    // Each entry as "number|text|call-back number".
    QStringList entries() const
    {
        QStringList result;
        for (int i = 0; i < queue.count(); ++i)
            result.append(queue.at(i).recipient + u'|' + queue.at(i).nachricht + u'|' +
                          queue.at(i).rueckrufNummer);
        return result;
    }

    // The row selected in all three lists, -1 for none, -2 when they differ.
    int selectedRow() const
    {
        QList<int> rows;
        for (QListView *list : {w.listNatelNummer, w.listNachricht, w.listRueckrufNummer}) {
            const QModelIndexList selected = list->selectionModel()->selectedIndexes();
            rows.append(selected.isEmpty() ? -1 : selected.constFirst().row());
        }
        return rows.count(rows.constFirst()) == 3 ? rows.constFirst() : -2;
    }

    // Fills the fields from "number|text|call-back number" and clicks cmdSenden.
    void send(const QString &fields)
    {
        w.natelNummer->setText(fields.section(u'|', 0, 0));
        w.nachricht->setPlainText(fields.section(u'|', 1, 1));
        w.rueckrufNummer->setText(fields.section(u'|', 2, 2));
        QTest::mouseClick(w.senden, Qt::LeftButton);
    }
};

} // namespace

class TestQueuePanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberField_data();
    void numberField();
    void messageField_data();
    void messageField();
    void hint_data();
    void hint();
    void gsmHint_data();
    void gsmHint();
    void senden_data();
    void senden();
    void scroll_data();
    void scroll();
    void listsStayInStep();
    void remove_data();
    void remove();
    void wiring();
    void accessible();
    void stopListed_data();
    void stopListed();
};

void TestQueuePanel::numberField_data()
{
    QTest::addColumn<bool>("typed"); // else pasted
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");

    QTest::newRow("typed digits and blank") << true << u"079 12 "_s << u"079 12 "_s << 0;
    QTest::newRow("typed slash and dash") << true << u"079/12-3"_s << u"079123"_s << 2;
    QTest::newRow("pasted letters") << false << u"12ab"_s << u"12"_s << 2;
    // Only the end is looked at: what stands before a digit or blank stays.
    QTest::newRow("slash inside") << false << u"079/1-"_s << u"079/1"_s << 1;
    QTest::newRow("emoji is one character") << false << u"1\U0001F600"_s << u"1"_s << 1;
    QTest::newRow("non-ASCII digit") << false << u"12\u0663"_s << u"12"_s << 1;
    QTest::newRow("long paste") << false << u"0"_s + QString(5000, u'x') << u"0"_s << 5000;
}

void TestQueuePanel::numberField()
{
    QFETCH(bool, typed);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, messages);

    QLineEdit field;
    // Listening before the check, as the window's own handlers would.
    QSignalSpy changes(&field, &QLineEdit::textChanged);
    QStringList shown;
    NumberFieldCheck check(&field, &QueueText::refusedCharacter, [&](const QString &message) {
        // The character is still there while the user is told about it.
        QVERIFY(!NumberFieldCheck::isAllowed(field.text().back()));
        shown.append(message);
    });
    if (typed)
        QTest::keyClicks(&field, text);
    else
        field.insert(text); // what a paste does
    QCOMPARE(field.text(), expected);
    QCOMPARE(shown, QStringList(qsizetype(messages), noLettersText));
    QCOMPARE(field.cursorPosition(), int(expected.size()));
    // Each removal is a change of its own.
    QCOMPARE(changes.size(), (typed ? text.size() : 1) + messages);
}

void TestQueuePanel::messageField_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("paste");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");

    const QString hallo = u"Hallo"_s, none;
    QTest::newRow("Return") << QKeySequence(Qt::Key_Return) << none << hallo << 1;
    QTest::newRow("Enter") << QKeySequence(Qt::KeypadModifier | Qt::Key_Enter) << none << hallo
                           << 1;
    // Shift+Return puts a line separator, which is sent as a line break too.
    QTest::newRow("Shift+Return") << QKeySequence(Qt::SHIFT | Qt::Key_Return) << none << hallo << 1;
    QTest::newRow("pasted breaks") << QKeySequence() << u"\n\n\n"_s << hallo << 3;
    QTest::newRow("inner break") << QKeySequence() << u"\nab\r\n"_s << hallo + u"\r\nab" << 1;
}

void TestQueuePanel::messageField()
{
    QFETCH(QKeySequence, key);
    QFETCH(QString, paste);
    QFETCH(QString, expected);
    QFETCH(int, messages);

    QPlainTextEdit edit;
    QLabel zaehler;
    ScriptedPrompter prompter;
    MessageFieldCheck check(&edit, &zaehler, nullptr, &prompter);
    QStringList seen; // the shortened text is counted before the first message
    prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
        seen.append(zaehler.text() + u'/' + check.text());
    });
    QTest::keyClicks(&edit, u"Hallo"_s);
    if (key.isEmpty())
        edit.insertPlainText(paste);
    else
        QTest::keySequence(&edit, key);
    const QString counted = QString::number(expected.size());
    QCOMPARE(check.text(), expected);
    QCOMPARE(prompter.texts(), QStringList(qsizetype(messages), enter));
    QCOMPARE(seen, QStringList(qsizetype(messages), counted + u'/' + expected));
    QCOMPARE(zaehler.text(), counted);
    QCOMPARE(edit.textCursor().position(), int(edit.toPlainText().size())); // typing goes on there
    // Undo must not bring the refused break back, nor its message.
    edit.undo();
    QVERIFY(!check.text().endsWith(u'\n'));
    QCOMPARE(prompter.count(), messages);
}

void TestQueuePanel::hint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("sms");
    QTest::addColumn<QString>("left");

    QTest::newRow("empty") << QString() << 0 << QString();
    // 159 characters and one line break are 161 characters on the line.
    QTest::newRow("CR LF counts two") << QString(159, u'x').insert(80, u"\r\n") << 2 << QString();
    QTest::newRow("in order, once each") << u"5 € für „Tee“, 3 €"_s << 1 << u"€ „ “"_s;
    // The table is case-sensitive: É is sent, È is not.
    QTest::newRow("accents") << u"Café à Zürich £5 §2 çò É È ß"_s << 1 << u"È ß"_s;
    QTest::newRow("invisible by code") << u"a\u200Bb"_s << 1 << u"U+200B"_s;
    QTest::newRow("emoji") << u"ok \U0001F44D"_s << 1 << u"\U0001F44D"_s;
    QTest::newRow("many") << u"ßñ€„“”‘’…–—"_s << 1 << u"ß ñ € „ “ ” ‘ ’ … – und 1 weitere"_s;
}

void TestQueuePanel::hint()
{
    QFETCH(QString, text);
    QFETCH(int, sms);
    QFETCH(QString, left);
    QString expected = sms ? u"Wird als %1 SMS versandt."_s.arg(sms) : QString();
    if (!left.isEmpty())
        expected += u"\nNicht übertragbar (wird weggelassen): " + left;
    QCOMPARE(ConnectionKinds::of(ConnectionKind::DialUp).plan.hint(text), expected);
}

void TestQueuePanel::gsmHint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("160 septets") << QString(160, u'x') << u"Wird als 1 SMS versandt."_s;
    QTest::newRow("161 septets") << QString(161, u'x') << u"Wird als 2 SMS versandt."_s;
    // € is an escape and a code: two septets each.
    QTest::newRow("80 euro") << QString(80, u'€') << u"Wird als 1 SMS versandt."_s;
    QTest::newRow("81 euro") << QString(81, u'€') << u"Wird als 2 SMS versandt."_s;
    QTest::newRow("400 septets") << QString(400, u'x') << u"Wird als 3 SMS versandt."_s;
    QTest::newRow("unicode") << u"Grüße aus Zürich – 5 € 😀"_s
                             << u"Wird als 1 SMS versandt (Unicode)."_s;
    QTest::newRow("71 unicode") << QString(71, u'–') << u"Wird als 2 SMS versandt (Unicode)."_s;
    QTest::newRow("too long") << QString(256 * 153, u'x')
                              << u"Zu lang für ein GSM-Modem (höchstens 255 SMS)."_s;
}

void TestQueuePanel::gsmHint()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ConnectionKinds::of(ConnectionKind::Gsm).plan.hint(text), expected);
}

void TestQueuePanel::senden_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("queued");

    const QStringList none;
    const QString ok, a155(155, u'a');
    const QString tooLongRule = u"Eine Nummer hat höchstens 15 Ziffern, ein \"+\" oder \"00\" am "
                                u"Anfang nicht mitgezählt; sie wird nicht gekürzt."_s;
    // Numbers go into the queue as digits, the way they are sent.
    QTest::newRow("one entry") << u"079 1|Hi|076 5"_s << ok << QStringList{u"0791|Hi|0765"_s};
    QTest::newRow("+ is 00") << u" +41 79 123 45 67|Hi|+41 76 5"_s << ok
                             << QStringList{u"0041791234567|Hi|0041765"_s};
    QTest::newRow("+ and 15 digits")
        << u"+41 7912345678901|Hi|"_s << ok << QStringList{u"00417912345678901|Hi|"_s};
    QTest::newRow("separators, (0) after +41")
        << u"+41 (0)79-555.12/34|Hi|(076) 5"_s << ok << QStringList{u"0041795551234|Hi|0765"_s};
    QTest::newRow("call-back of blanks") << u"0791|Hi|   "_s << ok << QStringList{u"0791|Hi|"_s};
    QTest::newRow("16 digits") << u"1234567890123456|Hi|"_s
                               << u"Die Mobilnummer \"1234567890123456\" hat 16 Ziffern. "_s +
                                      tooLongRule
                               << none;
    QTest::newRow("call-back of + and 16 digits")
        << u"0791|Hi|+4179123456789012"_s
        << u"Die Rückrufnummer \"+4179123456789012\" hat 16 Ziffern. "_s + tooLongRule << none;
    QTest::newRow("100 KB pasted, neither cut nor queued")
        << QString(100000, u'7') + u"|Hi|"_s
        << u"Die Mobilnummer \""_s + QString(30, u'7') + u"…\" hat 100000 Ziffern. "_s + tooLongRule
        << none;
    QTest::newRow("+ inside") << u"079+1|Hi|"_s << noLettersText << none;
    QTest::newRow("+ alone before blanks") << u"+ |Hi|"_s << noLettersText << none;
    QTest::newRow("161 characters")
        << u"0791|" + a155 + u"bbbbbb|" << ok
        << QStringList{u"0791|" + a155 + u"...->|", u"0791|->...bbbbbb|"_s};
    QTest::newRow("line break as CR LF") << u"079|a\nb|"_s << ok << QStringList{u"079|a\r\nb|"_s};
    QTest::newRow("empty message") << u"0791||"_s << pflicht << none;
    QTest::newRow("number of blanks only") << u"   |Hi|"_s << pflicht << none;
    QTest::newRow("no number, bad call-back: one message") << u"|Hi|07a6"_s << pflicht << none;
    QTest::newRow("letter inside number") << u"079x1234|Hi|"_s << noLettersText << none;
    QTest::newRow("no-break space in number") << u"079\u00A01|Hi|"_s << noLettersText << none;
    QTest::newRow("slash inside call-back")
        << u"0791|Hi|076/5551"_s << ok << QStringList{u"0791|Hi|0765551"_s};
    QTest::newRow("comma inside call-back") << u"0791|Hi|076,5551"_s << noLettersText << none;
}

void TestQueuePanel::senden()
{
    QFETCH(QString, fields);
    QFETCH(QString, message);
    QFETCH(QStringList, queued);

    Window win;
    // The field checks only look at the last character, so these numbers can
    // stand in the fields.
    win.send(fields);
    QCOMPARE(win.prompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    for (const auto &box : win.prompter.shown())
        QVERIFY(box.buttons == Prompter::Buttons::Ok && box.icon == Prompter::Icon::None);
    QCOMPARE(win.entries(), queued);
    // Only the number is emptied; text and call-back number serve the next recipient.
    QCOMPARE(win.w.natelNummer->text(), queued.isEmpty() ? fields.section(u'|', 0, 0) : QString());
    QCOMPARE(win.w.nachricht->toPlainText(), fields.section(u'|', 1, 1));
    QCOMPARE(win.w.rueckrufNummer->text(), fields.section(u'|', 2, 2));
}

void TestQueuePanel::scroll_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("action"); // a scroll bar value, Send or SendRefused
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("selected");

    QTest::newRow("to an entry") << 3 << 2 << 2 << 2;
    QTest::newRow("one past the end jumps to 0") << 3 << 3 << 0 << 0;
    QTest::newRow("far past the end") << 3 << 32767 << 0 << 0;
    QTest::newRow("empty queue") << 0 << 5 << 0 << -1;
    // cmdSenden sets the value 1: the second entry, else back to the first.
    QTest::newRow("first entry queued") << 0 << int(Send) << 0 << 0;
    QTest::newRow("second entry queued") << 1 << int(Send) << 1 << 1;
    QTest::newRow("refused, empty queue") << 0 << int(SendRefused) << 0 << -1;
    QTest::newRow("refused, three entries") << 3 << int(SendRefused) << 1 << 1;
}

void TestQueuePanel::scroll()
{
    QFETCH(int, entries);
    QFETCH(int, action);
    QFETCH(int, value);
    QFETCH(int, selected);
    Window win;
    win.fill(entries);
    if (action >= 0)
        win.w.scroll->setValue(action);
    else
        win.send(action == Send ? u"0791|Hallo|"_s : u"|Hallo|"_s);
    QCOMPARE(win.w.scroll->value(), value);
    QCOMPARE(win.selectedRow(), selected);
}

void TestQueuePanel::listsStayInStep()
{
    Window win;
    win.fill(200);
    win.widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.widget));
    win.w.scroll->setValue(150);
    for (QListView *list : {win.w.listNatelNummer, win.w.listRueckrufNummer})
        QVERIFY(
            list->viewport()->rect().intersects(list->visualRect(list->model()->index(150, 0))));
    // A click into one list selects the entry in all three and moves the bar.
    QListView *list = win.w.listNachricht;
    const auto click = [list](int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
    };
    click(151);
    QCOMPARE(win.selectedRow(), 151);
    QCOMPARE(win.w.scroll->value(), 151);
    // Ctrl+click takes it away in all three: the delete button finds nothing.
    click(151, Qt::ControlModifier);
    QCOMPARE(win.selectedRow(), -1);
    QTest::mouseClick(win.w.loeschen, Qt::LeftButton);
    QCOMPARE(win.prompter.count(), 0);
    QCOMPARE(win.queue.count(), 200);
    click(151);
    QCOMPARE(win.selectedRow(), 151);

    // The engine removes entries; the selection follows, the bar stays.
    win.queue.remove(0);
    QCOMPARE(win.selectedRow(), 150);
    QCOMPARE(win.queue.at(150).nachricht, u"151"_s);
    win.queue.remove(150);
    QVERIFY(win.selectedRow() != -2);
    win.queue.clear();
    QCOMPARE(win.selectedRow(), -1);
    QCOMPARE(win.w.scroll->value(), 151);
}

void TestQueuePanel::remove_data()
{
    QTest::addColumn<int>("select"); // -1: nothing selected
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("headSentMeanwhile");
    QTest::addColumn<QString>("left");

    QTest::newRow("nothing selected") << -1 << true << false << u"012"_s;
    QTest::newRow("middle, yes") << 1 << true << false << u"02"_s;
    QTest::newRow("middle, no") << 1 << false << false << u"012"_s;
    // The engine sends and removes the head while the question is open.
    QTest::newRow("head sent while asking") << 2 << true << true << u"1"_s;
}

void TestQueuePanel::remove()
{
    QFETCH(int, select);
    QFETCH(bool, yes);
    QFETCH(bool, headSentMeanwhile);
    QFETCH(QString, left);
    Window win;
    win.fill(3);
    if (select >= 0)
        win.panel->browse(select);
    win.prompter.answerNext(yes ? Prompter::Answer::Yes : Prompter::Answer::No);
    if (headSentMeanwhile)
        win.prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) { win.queue.remove(0); });
    QTest::mouseClick(win.w.loeschen, Qt::LeftButton);

    QCOMPARE(win.prompter.texts(), select < 0 ? QStringList() : QStringList{loeschen});
    if (select >= 0)
        QCOMPARE(win.prompter.shown().constFirst().buttons, Prompter::Buttons::YesNo);
    QString texts;
    for (int i = 0; i < win.queue.count(); ++i)
        texts += win.queue.at(i).nachricht;
    QCOMPARE(texts, left);
    QVERIFY(win.selectedRow() != -2);
}

void TestQueuePanel::wiring()
{
    // The stored call-back number stood in the field before the panel existed.
    Window win(u"076 2x"_s);
    QCOMPARE(win.w.zaehler->text(), QString()); // empty until the first change
    QTest::keyClicks(win.w.natelNummer, u"079a"_s);
    QTest::keyClicks(win.w.nachricht, u"Hallo ß"_s);
    QTest::keyClick(win.w.nachricht, Qt::Key_Return);
    QCOMPARE(win.w.natelNummer->text(), u"079"_s);
    QCOMPARE(win.w.rueckrufNummer->text(), u"076 2"_s);
    QCOMPARE(win.panel->messageText(), u"Hallo ß"_s);
    QCOMPARE(win.prompter.texts(), (QStringList{noLettersText, noLettersText, enter}));
    QCOMPARE(win.w.hintLabel->text(),
             u"Wird als 1 SMS versandt.\nNicht übertragbar (wird weggelassen): ß"_s);

    // For a GSM modem: its hint at once (ß is in the GSM alphabet), and a
    // long message queued whole.
    win.outbox.setPlan(ConnectionKinds::of(ConnectionKind::Gsm).plan);
    QCOMPARE(win.w.hintLabel->text(), u"Wird als 1 SMS versandt."_s);
    win.w.nachricht->setPlainText(QString(400, u'x'));
    QCOMPARE(win.w.hintLabel->text(), u"Wird als 3 SMS versandt."_s);
    win.w.natelNummer->setText(u"079"_s);
    const int before = win.queue.count();
    win.panel->senden();
    QCOMPARE(win.queue.count(), before + 1);
    QCOMPARE(win.queue.at(before).nachricht, QString(400, u'x'));

    // More than a GSM modem can send in 255 SMS is refused before queueing.
    const int shown = win.prompter.count();
    win.w.nachricht->setPlainText(QString(255 * 153 + 1, u'x'));
    win.w.natelNummer->setText(u"079"_s);
    win.panel->senden();
    QCOMPARE(win.queue.count(), before + 1);
    QCOMPARE(win.prompter.texts().mid(shown),
             QStringList{u"Zu lang für ein GSM-Modem (höchstens 255 SMS)."_s});
}

void TestQueuePanel::accessible()
{
    Window win;
    win.w.zaehler->setAccessibleName(u"Anzahl Zeichen"_s); // as the main window names it
    win.fill(2);
    // One item per entry in each list, its own column only.
    for (QListView *list : {win.w.listNatelNummer, win.w.listNachricht, win.w.listRueckrufNummer}) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(list);
        QVERIFY(iface);
        QCOMPARE(iface->childCount(), 2);
    }
    QAccessibleInterface *second =
        QAccessible::queryAccessibleInterface(win.w.listNachricht)->child(1);
    QVERIFY(second);
    QCOMPARE(second->text(QAccessible::Name), u"1"_s);

    // The labels' texts reach screen readers and follow every change.
    for (const QString &typed : {u"Grüezi"_s, u"ß"_s}) {
        win.w.nachricht->insertPlainText(typed);
        for (QLabel *label : {win.w.zaehler, win.w.hintLabel}) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
            QVERIFY(!label->text().isEmpty());
            QCOMPARE(iface->text(QAccessible::Description), label->text());
        }
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(win.w.zaehler)->text(QAccessible::Name),
             u"Anzahl Zeichen"_s);
    QCOMPARE(win.w.zaehler->text(), u"7"_s);
}

void TestQueuePanel::stopListed_data()
{
    QTest::addColumn<bool>("sendAnyway");
    QTest::newRow("Nein: not queued") << false;
    QTest::newRow("Ja: queued") << true;
}

// A recipient who replied STOP is named with the day, and queued only when
// the user confirms.
void TestQueuePanel::stopListed()
{
    QFETCH(bool, sendAnyway);
    QTemporaryDir dir;
    FakeClock clock;
    Inbound inbound(TestDb::create(dir.path()), &clock);
    QVERIFY(inbound.receive(u"+41791234567"_s, u"STOP"_s, clock.now()));
    Window win;
    win.outbox.setStopCheck(&inbound);
    win.prompter.answerNext(sendAnyway ? Prompter::Answer::Yes : Prompter::Answer::No);
    win.w.natelNummer->setText(u"079 123 45 67"_s);
    win.w.nachricht->setPlainText(u"Hallo"_s);
    win.panel->senden();
    QCOMPARE(win.prompter.texts(),
             QStringList{u"079 123 45 67 hat den Empfang abgelehnt (STOP am 06.12.2026). "
                         u"Trotzdem senden?"_s});
    QCOMPARE(win.queue.count(), sendAnyway ? 1 : 0);
    QCOMPARE(win.w.natelNummer->text().isEmpty(), sendAnyway);
}

QTEST_MAIN(TestQueuePanel)
#include "tst_queuepanel.moc"
