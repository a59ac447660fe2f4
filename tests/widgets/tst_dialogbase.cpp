#include "dialogbase.h"
#include "hoverlabel.h"
#include "look.h"
#include "pointerevents.h"
#include "scriptedprompter.h"
#include "widgetprompter.h"

#include <QEnterEvent>
#include <QFrame>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

class SampleDialog : public DialogBase
{
public:
    SampleDialog(QWidget *main, Prompter *prompter, bool info = false)
        : DialogBase(Look{u"Probe"_s, u"Probe..."_s, 4680, 3720, 4350, 70, 4420, 3255, info}, main,
                     prompter)
    {
        button = new QPushButton(u"Knopf"_s);
        placeInFrame(button, 240, 240, 1000, 300);
        link = new HoverLabel(u"Web: x"_s, frame1());
        link->setGeometry(10, 100, 80, 20);
        if (info)
            addInfoHoverLabel(link);
    }
    int activations = 0;
    bool allowUnload = true;
    int unloadQuestions = 0;
    QPushButton *button;
    HoverLabel *link;

protected:
    void firstActivation() override { ++activations; }
    bool aboutToUnload() override
    {
        ++unloadQuestions;
        return allowUnload;
    }
};

using PointerEvents::moveOver;

void hover(QWidget *widget)
{
    PointerEvents::enter(widget);
}

} // namespace

class TestDialogBase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowDisabledUntilUnload_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("close label") << u"label"_s;
        QTest::newRow("close()") << u"close"_s;
        QTest::newRow("deleted") << u"delete"_s;
    }
    void mainWindowDisabledUntilUnload()
    {
        QFETCH(QString, how);
        QWidget main;
        main.show();
        ScriptedPrompter prompter;
        QPointer<SampleDialog> dialog = new SampleDialog(&main, &prompter);
        QVERIFY(!main.isEnabled());
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog->parentWidget(), nullptr);
        dialog->show();
        QTRY_COMPARE(dialog->activations, 1);

        if (how == u"label"_s)
            QTest::mouseClick(dialog->ende(), Qt::LeftButton);
        else if (how == u"close"_s)
            dialog->close();
        else
            delete dialog.data();
        QVERIFY(main.isEnabled());
        QTRY_VERIFY(dialog.isNull()); // deletes itself on close
    }

    void refusedUnloadKeepsMainDisabled()
    {
        QWidget main;
        ScriptedPrompter prompter;
        auto *dialog = new SampleDialog(&main, &prompter);
        dialog->show();
        dialog->allowUnload = false;
        QVERIFY(!dialog->close());
        QVERIFY(dialog->isVisible());
        QVERIFY(!main.isEnabled());
        dialog->allowUnload = true;
        QVERIFY(dialog->close());
        QVERIFY(main.isEnabled());
    }

    void bracketHidesDialogDuringBox()
    {
        QWidget main;
        ScriptedPrompter prompter;
        auto *dialog = new SampleDialog(&main, &prompter);
        dialog->show();
        bool visibleDuringBox = true;
        prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
            visibleDuringBox = dialog->isVisible();
            QVERIFY(dialog->isBracketed());
        });
        prompter.answerNext(Prompter::Answer::Yes);
        QCOMPARE(dialog->message(u"Frage?"_s, Prompter::Buttons::YesNo), Prompter::Answer::Yes);
        QVERIFY(!visibleDuringBox);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isBracketed());

        prompter.answerInput(u"Meier"_s);
        QCOMPARE(dialog->input(u"Name?"_s, u"Suche..."_s), std::optional<QString>(u"Meier"_s));
        QVERIFY(dialog->isVisible());
        QCOMPARE(prompter.shown().at(1).title, u"Suche..."_s);
        dialog->close();
    }

    void hoverColours()
    {
        QWidget main;
        ScriptedPrompter prompter;
        auto *dialog = new SampleDialog(&main, &prompter);
        dialog->show();
        QCOMPARE(Look::textColor(dialog->ende()), Look::infoBk());
        hover(dialog->ende());
        QCOMPARE(Look::textColor(dialog->ende()), Look::rot);
        // Over a control inside the frame: stays red.
        moveOver(dialog->frame1(), dialog->button->geometry().center());
        QCOMPARE(Look::textColor(dialog->ende()), Look::rot);
        // Over the frame itself: the window colour, not the starting colour.
        moveOver(dialog->frame1(), QPoint(2, dialog->frame1()->height() - 3));
        QCOMPARE(Look::textColor(dialog->ende()), Look::windowColour());
        hover(dialog->ende());
        moveOver(dialog, QPoint(2, dialog->height() - 2));
        QCOMPARE(Look::textColor(dialog->ende()), Look::windowColour());
        dialog->close();
    }

    void infoVariantHoverColours()
    {
        QWidget main;
        ScriptedPrompter prompter;
        auto *dialog = new SampleDialog(&main, &prompter, true);
        dialog->show();
        hover(dialog->ende());
        QCOMPARE(Look::textColor(dialog->ende()), Look::rot);
        hover(dialog->link);
        QCOMPARE(Look::textColor(dialog->link), Look::rot);
        QCOMPARE(Look::textColor(dialog->ende()), Look::infoBk());
        moveOver(dialog->frame1(), QPoint(2, dialog->frame1()->height() - 3));
        QCOMPARE(Look::textColor(dialog->link), Look::infoBk());
        QCOMPARE(Look::textColor(dialog->ende()), Look::infoBk());
        dialog->close();
    }

    // The input box keeps a long default and a long answer whole (its line
    // edit would cut both at 32767 characters).
    void inputBoxKeepsLongText()
    {
        WidgetPrompter prompter;
        const QString given(40000, u'y');
        const QString typed(100000, u'x');
        QString shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!box)
                return;
            answer.stop();
            shown = box->textValue();
            box->findChild<QLineEdit *>()->setText(typed);
            box->accept();
        });
        answer.start(10);
        const std::optional<QString> result = prompter.input(u"Name?"_s, u"Suche..."_s, given);
        QCOMPARE(shown, given);
        QCOMPARE(result, std::optional<QString>(typed));
    }
};

QTEST_MAIN(TestDialogBase)
#include "tst_dialogbase.moc"
