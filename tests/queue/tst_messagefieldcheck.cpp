#include "messagefieldcheck.h"
#include "scriptedprompter.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

namespace {

const QString refused = QStringLiteral("Das 'Enter'- Zeichen wird nicht akzeptiert!");

struct Field
{
    QPlainTextEdit edit;
    QLabel zaehler;
    QLabel hinweis;
    ScriptedPrompter prompter;
    MessageFieldCheck check{&edit, &zaehler, &hinweis, &prompter};
};

} // namespace

class TestMessageFieldCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void counterEmptyUntilFirstChange();
    void enterAtEndIsRefused_data();
    void enterAtEndIsRefused();
    void enterInsideStays();
    void pastedBreaksGoBeforeFirstMessage();
    void setByCode_data();
    void setByCode();
    void undoDoesNotBringRefusedBreakBack();
    void counter_data();
    void counter();
    void hint_data();
    void hint();
    void hintFollowsTyping();
    void ownMessageFunction();
};

void TestMessageFieldCheck::counterEmptyUntilFirstChange()
{
    Field f;
    QCOMPARE(f.zaehler.text(), QString());
    QCOMPARE(f.hinweis.text(), QString());
    QTest::keyClicks(&f.edit, u"a"_qs);
    QCOMPARE(f.zaehler.text(), u"1"_qs);
    f.edit.clear();
    QCOMPARE(f.zaehler.text(), u"0"_qs);
    QCOMPARE(f.hinweis.text(), QString());
}

void TestMessageFieldCheck::enterAtEndIsRefused_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    // Shift+Return puts a line separator, which is sent as a line break too.
    QTest::newRow("Shift+Return") << int(Qt::Key_Return) << int(Qt::ShiftModifier);
}

void TestMessageFieldCheck::enterAtEndIsRefused()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);

    Field f;
    QString counterDuringMessage;
    f.prompter.setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { counterDuringMessage = f.zaehler.text(); });
    QTest::keyClicks(&f.edit, u"Hallo"_qs);
    QTest::keyClick(&f.edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(f.prompter.texts(), QStringList{refused});
    QCOMPARE(f.prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
    QCOMPARE(f.prompter.shown().constFirst().icon, Prompter::Icon::None);
    QCOMPARE(f.check.text(), u"Hallo"_qs);
    QCOMPARE(f.zaehler.text(), u"5"_qs);
    QCOMPARE(counterDuringMessage, u"5"_qs);

    // Typing goes on at the end of the text.
    QTest::keyClicks(&f.edit, u"!"_qs);
    QCOMPARE(f.check.text(), u"Hallo!"_qs);
}

void TestMessageFieldCheck::enterInsideStays()
{
    Field f;
    QTest::keyClicks(&f.edit, u"Hallo"_qs);
    QTextCursor cursor = f.edit.textCursor();
    cursor.setPosition(2);
    f.edit.setTextCursor(cursor);
    QTest::keyClick(&f.edit, Qt::Key_Return);

    QCOMPARE(f.prompter.count(), 0);
    QCOMPARE(f.check.text(), u"Ha\r\nllo"_qs);
    QCOMPARE(f.zaehler.text(), u"7"_qs);
}

void TestMessageFieldCheck::pastedBreaksGoBeforeFirstMessage()
{
    Field f;
    QStringList textDuringMessage;
    QStringList counterDuringMessage;
    f.prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
        textDuringMessage.append(f.check.text());
        counterDuringMessage.append(f.zaehler.text());
    });
    QTest::keyClicks(&f.edit, u"abc"_qs);
    f.edit.insertPlainText(u"\n\n\n"_qs);

    QCOMPARE(f.prompter.texts(), QStringList(3, refused));
    QCOMPARE(textDuringMessage, QStringList(3, u"abc"_qs));
    QCOMPARE(counterDuringMessage, QStringList(3, u"3"_qs));
    QCOMPARE(f.check.text(), u"abc"_qs);
}

void TestMessageFieldCheck::setByCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");

    QTest::newRow("break inside") << u"a\nb"_qs << u"a\r\nb"_qs << 0;
    QTest::newRow("break at end") << u"a\nb\n"_qs << u"a\r\nb"_qs << 1;
    QTest::newRow("CR LF at end") << u"a\r\n"_qs << u"a"_qs << 1;
    QTest::newRow("breaks only") << u"\n\n"_qs << QString() << 2;
    QTest::newRow("blank after break") << u"a\n "_qs << u"a\r\n "_qs << 0;
    QTest::newRow("one character") << u"x"_qs << u"x"_qs << 0;
}

void TestMessageFieldCheck::setByCode()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, messages);

    Field f;
    f.edit.setPlainText(text);
    QCOMPARE(f.check.text(), expected);
    QCOMPARE(f.prompter.texts(), QStringList(qsizetype(messages), refused));
    QCOMPARE(f.zaehler.text(), QString::number(expected.size()));
}

void TestMessageFieldCheck::undoDoesNotBringRefusedBreakBack()
{
    Field f;
    QTest::keyClicks(&f.edit, u"Hallo"_qs);
    QTest::keyClick(&f.edit, Qt::Key_Return);
    QCOMPARE(f.prompter.count(), 1);

    f.edit.undo();
    QCOMPARE(f.prompter.count(), 1);
    QVERIFY(!f.check.text().endsWith(u'\n'));
    // Undo keeps working backwards through what was typed.
    while (f.edit.document()->isUndoAvailable())
        f.edit.undo();
    QCOMPARE(f.check.text(), QString());
    QCOMPARE(f.prompter.count(), 1);
    QCOMPARE(f.zaehler.text(), u"0"_qs);
}

void TestMessageFieldCheck::counter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << u"0"_qs;
    QTest::newRow("160") << QString(160, u'x') << u"160"_qs;
    QTest::newRow("161") << QString(161, u'x') << u"161"_qs;
    QTest::newRow("line break counts two") << u"ab\ncd"_qs << u"6"_qs;
    QTest::newRow("1000") << QString(1000, u'x') << u"1000"_qs;
    QTest::newRow("umlaut is one") << u"Grüsse"_qs << u"6"_qs;
}

void TestMessageFieldCheck::counter()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Field f;
    f.edit.setPlainText(u"vorher"_qs);
    f.edit.setPlainText(text);
    QCOMPARE(f.zaehler.text(), expected);
}

void TestMessageFieldCheck::hint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString left = u"\nNicht übertragbar (wird weggelassen): "_qs;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << u"Hallo"_qs << u"Wird als 1 SMS versandt."_qs;
    QTest::newRow("160") << QString(160, u'x') << u"Wird als 1 SMS versandt."_qs;
    QTest::newRow("161") << QString(161, u'x') << u"Wird als 2 SMS versandt."_qs;
    // 159 characters and one line break are 161 characters on the line.
    QTest::newRow("line break counts two")
        << QString(80, u'x') + u"\r\n"_qs + QString(79, u'x') << u"Wird als 2 SMS versandt."_qs;
    QTest::newRow("311") << QString(311, u'x') << u"Wird als 3 SMS versandt."_qs;
    QTest::newRow("1000") << QString(1000, u'x') << u"Wird als 7 SMS versandt."_qs;
    QTest::newRow("mapped accents are sent")
        << u"Café à Zürich £5 §2 çò"_qs << u"Wird als 1 SMS versandt."_qs;
    QTest::newRow("sharp s") << u"Grüße"_qs << u"Wird als 1 SMS versandt."_qs + left + u"ß"_qs;
    QTest::newRow("in order of appearance, once each")
        << u"5 € für „Tee“, 3 €"_qs << u"Wird als 1 SMS versandt."_qs + left + u"€ „ “"_qs;
    // The table is case-sensitive: É is sent, È is not.
    QTest::newRow("capital E grave")
        << u"É È"_qs << u"Wird als 1 SMS versandt."_qs + left + u"È"_qs;
    QTest::newRow("invisible character by code")
        << u"a\u200Bb"_qs << u"Wird als 1 SMS versandt."_qs + left + u"U+200B"_qs;
    QTest::newRow("combining accent")
        << u"Cafe\u0301"_qs << u"Wird als 1 SMS versandt."_qs + left + u"\u25CC\u0301"_qs;
    QTest::newRow("emoji") << u"ok \U0001F44D"_qs
                           << u"Wird als 1 SMS versandt."_qs + left + u"\U0001F44D"_qs;
    QTest::newRow("many") << u"ßñ€„“”‘’…–—"_qs
                          << u"Wird als 1 SMS versandt."_qs + left +
                                 u"ß ñ € „ “ ” ‘ ’ … – und 1 weitere"_qs;
}

void TestMessageFieldCheck::hint()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(MessageFieldCheck::hint(text), expected);
}

void TestMessageFieldCheck::hintFollowsTyping()
{
    Field f;
    QTest::keyClicks(&f.edit, u"Gruss"_qs);
    QCOMPARE(f.hinweis.text(), u"Wird als 1 SMS versandt."_qs);
    QTest::keyClicks(&f.edit, u" ß"_qs);
    QCOMPARE(f.hinweis.text(),
             u"Wird als 1 SMS versandt.\nNicht übertragbar (wird weggelassen): ß"_qs);
    f.edit.setPlainText(QString(200, u'x'));
    QCOMPARE(f.hinweis.text(), u"Wird als 2 SMS versandt."_qs);
}

void TestMessageFieldCheck::ownMessageFunction()
{
    QPlainTextEdit edit;
    QLabel zaehler;
    QStringList shown;
    MessageFieldCheck check(&edit, &zaehler, nullptr,
                            [&](const QString &text) { shown.append(text); });
    edit.setPlainText(u"Hallo\n"_qs);
    QCOMPARE(shown, QStringList{refused});
    QCOMPARE(zaehler.text(), u"5"_qs);
}

QTEST_MAIN(TestMessageFieldCheck)
#include "tst_messagefieldcheck.moc"
