#include "numberfieldcheck.h"
#include "scriptedprompter.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString refused =
    QStringLiteral("Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!");

} // namespace

class TestNumberFieldCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typed_data();
    void typed();
    void setByCode_data();
    void setByCode();
    void pastedFromClipboard();
    void messageComesBeforeEachRemoval();
    void eachRemovalIsAChange();
    void letterInsideNumberStays();
    void longPasteNeedsNoDeepStack();
    void ownMessageFunction();
    void changeWhileMessageOpenIsKept();
    void cleanNumber_data();
    void cleanNumber();
};

void TestNumberFieldCheck::typed_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");

    QTest::newRow("digits with a blank") << u"079 123"_qs << u"079 123"_qs << 0;
    QTest::newRow("letter after digits") << u"0791a"_qs << u"0791"_qs << 1;
    QTest::newRow("plus sign first") << u"+41"_qs << u"41"_qs << 1;
    QTest::newRow("slash and dash") << u"079/123-45"_qs << u"07912345"_qs << 2;
    QTest::newRow("only letters") << u"abc"_qs << QString() << 3;
    QTest::newRow("trailing blanks") << u"12  "_qs << u"12  "_qs << 0;
}

void TestNumberFieldCheck::typed()
{
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(int, messages);

    QLineEdit field;
    ScriptedPrompter prompter;
    NumberFieldCheck check(&field, &prompter);
    QTest::keyClicks(&field, keys);

    QCOMPARE(field.text(), expected);
    QCOMPARE(prompter.texts(), QStringList(qsizetype(messages), refused));
    QCOMPARE(field.cursorPosition(), int(expected.size()));
    for (const auto &box : prompter.shown()) {
        QCOMPARE(box.buttons, Prompter::Buttons::Ok);
        QCOMPARE(box.icon, Prompter::Icon::None);
    }
}

void TestNumberFieldCheck::setByCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");

    QTest::newRow("two digits two letters") << u"12ab"_qs << u"12"_qs << 2;
    QTest::newRow("stored number ending in a letter")
        << u"079 123 45 6x"_qs << u"079 123 45 6"_qs << 1;
    // Only the end is looked at: the slash inside stays.
    QTest::newRow("slash inside, dash at end") << u"079/123-"_qs << u"079/123"_qs << 1;
    QTest::newRow("letter then blank") << u"12a "_qs << u"12a "_qs << 0;
    QTest::newRow("emptied") << QString() << QString() << 0;
    QTest::newRow("blanks only") << u"   "_qs << u"   "_qs << 0;
    QTest::newRow("emoji is one character") << u"12\U0001F600"_qs << u"12"_qs << 1;
    QTest::newRow("non-ASCII digit") << u"12\u0663"_qs << u"12"_qs << 1;
    QTest::newRow("tab is not a blank") << u"12\t"_qs << u"12"_qs << 1;
}

void TestNumberFieldCheck::setByCode()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, messages);

    QLineEdit field(u"0"_qs);
    ScriptedPrompter prompter;
    NumberFieldCheck check(&field, &prompter);
    field.setText(text);

    QCOMPARE(field.text(), expected);
    QCOMPARE(prompter.texts(), QStringList(qsizetype(messages), refused));
    if (messages > 0)
        QCOMPARE(field.cursorPosition(), int(expected.size()));
}

void TestNumberFieldCheck::pastedFromClipboard()
{
    QLineEdit field;
    ScriptedPrompter prompter;
    NumberFieldCheck check(&field, &prompter);
    QApplication::clipboard()->setText(u"12ab"_qs);
    if (QApplication::clipboard()->text() != u"12ab"_qs)
        QSKIP("no clipboard on this platform");
    field.paste();

    QCOMPARE(field.text(), u"12"_qs);
    QCOMPARE(prompter.count(), 2);
}

void TestNumberFieldCheck::messageComesBeforeEachRemoval()
{
    QLineEdit field;
    ScriptedPrompter prompter;
    QStringList seen;
    prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) { seen.append(field.text()); });
    NumberFieldCheck check(&field, &prompter);
    field.setText(u"12ab"_qs);
    QCOMPARE(seen, (QStringList{u"12ab"_qs, u"12a"_qs}));
}

void TestNumberFieldCheck::eachRemovalIsAChange()
{
    QLineEdit field;
    ScriptedPrompter prompter;
    // Listening before the check, as the window's own handlers would.
    QSignalSpy changes(&field, &QLineEdit::textChanged);
    QVERIFY(changes.isValid());
    NumberFieldCheck check(&field, &prompter);
    field.setText(u"5x/"_qs);

    QStringList texts;
    for (const auto &args : changes)
        texts.append(args.at(0).toString());
    QCOMPARE(texts, (QStringList{u"5x/"_qs, u"5x"_qs, u"5"_qs}));
}

void TestNumberFieldCheck::letterInsideNumberStays()
{
    QLineEdit field;
    ScriptedPrompter prompter;
    NumberFieldCheck check(&field, &prompter);
    QTest::keyClicks(&field, u"0791"_qs);
    field.setCursorPosition(2);
    QTest::keyClicks(&field, u"x"_qs);

    QCOMPARE(field.text(), u"07x91"_qs);
    QCOMPARE(prompter.count(), 0);
    QCOMPARE(field.cursorPosition(), 3); // not moved by the check
}

void TestNumberFieldCheck::longPasteNeedsNoDeepStack()
{
    QLineEdit field;
    ScriptedPrompter prompter;
    NumberFieldCheck check(&field, &prompter);
    field.setText(u"0"_qs + QString(5000, u'x'));
    QCOMPARE(field.text(), u"0"_qs);
    QCOMPARE(prompter.count(), 5000);
}

void TestNumberFieldCheck::ownMessageFunction()
{
    // A dialog shows the message in its own bracketed box.
    QLineEdit field;
    QStringList shown;
    NumberFieldCheck check(&field, [&](const QString &text) { shown.append(text); });
    field.setText(u"079?!"_qs);
    QCOMPARE(shown, QStringList(2, refused));
    QCOMPARE(field.text(), u"079"_qs);
}

void TestNumberFieldCheck::changeWhileMessageOpenIsKept()
{
    // Something else rewrites the field while the message is open; the check
    // must not then cut a digit off the new number.
    QLineEdit field;
    ScriptedPrompter prompter;
    bool once = true;
    prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
        if (std::exchange(once, false))
            field.setText(u"0795551234"_qs);
    });
    NumberFieldCheck check(&field, &prompter);
    field.setText(u"12a"_qs);
    QCOMPARE(field.text(), u"0795551234"_qs);
    QCOMPARE(prompter.count(), 1);
}

void TestNumberFieldCheck::cleanNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("firstForeign");

    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("digits and blanks") << u" 079 123 45 67 "_qs << -1;
    QTest::newRow("letter inside") << u"079x123"_qs << 3;
    QTest::newRow("plus at start") << u"+4179"_qs << 0;
    QTest::newRow("dash at end") << u"079-"_qs << 3;
    QTest::newRow("no-break space") << u"079\u00A0123"_qs << 3;
}

void TestNumberFieldCheck::cleanNumber()
{
    QFETCH(QString, text);
    QFETCH(int, firstForeign);
    QCOMPARE(NumberFieldCheck::firstForeignCharacter(text), qsizetype(firstForeign));
    QCOMPARE(NumberFieldCheck::isCleanNumber(text), firstForeign < 0);
}

QTEST_MAIN(TestNumberFieldCheck)
#include "tst_numberfieldcheck.moc"
