#include "frminfo.h"

#include "hoverlabel.h"
#include "look.h"
#include "scriptedprompter.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFrmInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void linkOpensAddressAndCloses_data();
    void linkOpensAddressAndCloses();
    void closeLabelOpensNothing();
    void hoverColours_data();
    void hoverColours();

private:
    FRMInfo *open(bool openerSucceeds = true);
    QLabel *label(const QString &name) const { return m_dialog->findChild<QLabel *>(name); }
    void movePointerOver(const QString &name);

    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    QList<QUrl> m_opened;
    QPointer<FRMInfo> m_dialog;
};

void TestFrmInfo::init()
{
    m_main = std::make_unique<QWidget>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_opened.clear();
}

void TestFrmInfo::cleanup()
{
    delete m_dialog.data();
    m_main.reset();
}

FRMInfo *TestFrmInfo::open(bool openerSucceeds)
{
    m_dialog = new FRMInfo(m_main.get(), m_prompter.get(), [this, openerSucceeds](const QUrl &url) {
        m_opened.append(url);
        return openerSucceeds;
    });
    m_dialog->show();
    return m_dialog;
}

void TestFrmInfo::movePointerOver(const QString &name)
{
    QWidget *target = name == u"FRMInfo" ? static_cast<QWidget *>(m_dialog.data())
                                         : m_dialog->findChild<QWidget *>(name);
    QVERIFY2(target, qPrintable(name));
    // Labels are hovered anywhere; the window and the frame only where no
    // control covers them, which the top left corner never does.
    const QPoint at = qobject_cast<HoverLabel *>(target) ? target->rect().center() : QPoint(3, 3);
    QVERIFY(!qobject_cast<HoverLabel *>(target) ? target->childAt(at) == nullptr : true);
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
}

void TestFrmInfo::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("Label2") << u"Label2"_s << QRect(120, 240, 4215, 975) << Look::hellorange;
    QTest::newRow("Label1") << u"Label1"_s << QRect(120, 1200, 4215, 1815) << Look::fenster();
    QTest::newRow("Titel") << u"Titel"_s << QRect(1320, 3120, 1935, 255) << Look::hellgelb;
    QTest::newRow("LBLWeb") << u"LBLWeb"_s << QRect(1080, 3480, 2415, 255) << Look::hellgelb;
}

void TestFrmInfo::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QColor, colour);

    QVERIFY(m_main->isEnabled());
    open();
    QVERIFY(!m_main->isEnabled());
    QCOMPARE(m_dialog->objectName(), u"FRMInfo"_s);
    QCOMPARE(label(u"LBLTitel"_s)->text(), u"Funkbote Version 1.0 - Info..."_s);
    QCOMPARE(m_dialog->size(), QSize(Look::px(4680), Look::px(4350)));
    QCOMPARE(label(u"LBLEnde"_s)->geometry(), Look::rectTwips(4320, 70, 255, 255));
    QCOMPARE(label(u"LBLEnde"_s)->text(), u"X"_s);
    auto *frame = m_dialog->findChild<QWidget *>(u"Frame1"_s);
    QCOMPARE(frame->geometry(), Look::rectTwips(120, 360, 4420, 3840));
    QCOMPARE(label(u"Titel"_s)->text(), u"E-Mail: support@funkbote.example"_s);
    QCOMPARE(label(u"LBLWeb"_s)->text(), u"Web: https://www.funkbote.example"_s);
    QVERIFY(label(u"Label1"_s)->text().endsWith(u"an die unten stehende E-Mail-Adresse."_s));
    QVERIFY(label(u"Label2"_s)->text().contains(u"Eigentum"_s));

    QLabel *widget = label(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), frame);
    QCOMPARE(Look::textColor(widget), colour);
    const QRect place = Look::rectTwips(twips.x(), twips.y(), twips.width(), twips.height());
    if (widget->wordWrap()) {
        QCOMPARE(widget->geometry(), place);
        QVERIFY2(widget->heightForWidth(widget->width()) <= widget->height(), qPrintable(name));
        return;
    }
    // A link keeps its line and centre; it is only wider where the font
    // needs the room to show the whole address.
    QCOMPARE(widget->y(), place.y());
    QCOMPARE(widget->height(), place.height());
    QVERIFY(qAbs(widget->geometry().center().x() - place.center().x()) <= 1);
    QVERIFY(widget->width() >= place.width());
    QVERIFY(frame->rect().contains(widget->geometry()));
    QVERIFY2(widget->fontMetrics().horizontalAdvance(widget->text()) <= widget->width(),
             qPrintable(name));
}

void TestFrmInfo::linkOpensAddressAndCloses_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("openerSucceeds");
    QTest::addColumn<QString>("address");

    QTest::newRow("web page") << u"LBLWeb"_s << true << u"https://www.funkbote.example"_s;
    QTest::newRow("web page, no browser")
        << u"LBLWeb"_s << false << u"https://www.funkbote.example"_s;
    QTest::newRow("e-mail") << u"Titel"_s << true << u"mailto:support@funkbote.example"_s;
    QTest::newRow("e-mail, no mail program")
        << u"Titel"_s << false << u"mailto:support@funkbote.example"_s;
}

void TestFrmInfo::linkOpensAddressAndCloses()
{
    QFETCH(QString, link);
    QFETCH(bool, openerSucceeds);
    QFETCH(QString, address);

    open(openerSucceeds);
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    QVERIFY(!m_main->isEnabled());
    QTest::mouseClick(label(link), Qt::LeftButton);

    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.constFirst().toString(), address);
    QCOMPARE(m_opened.constFirst().toEncoded(), address.toLatin1());
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(m_main->isEnabled());
    QCOMPARE(m_prompter->count(), 0);
    QTRY_VERIFY(m_dialog.isNull());
}

void TestFrmInfo::closeLabelOpensNothing()
{
    open();
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    QTest::mouseClick(label(u"LBLEnde"_s), Qt::LeftButton);
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(m_opened.isEmpty());
    QVERIFY(m_main->isEnabled());
}

void TestFrmInfo::hoverColours_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("ende");
    QTest::addColumn<QString>("titel");
    QTest::addColumn<QString>("web");

    // Colours by name: rot, infoBk (tooltip background), hellgelb (start).
    QTest::newRow("at start") << QStringList() << u"infoBk"_s << u"hellgelb"_s << u"hellgelb"_s;
    QTest::newRow("over e-mail") << QStringList{u"Titel"_s} << u"infoBk"_s << u"rot"_s
                                 << u"infoBk"_s;
    QTest::newRow("over web") << QStringList{u"LBLWeb"_s} << u"infoBk"_s << u"infoBk"_s << u"rot"_s;
    QTest::newRow("over X") << QStringList{u"LBLEnde"_s} << u"rot"_s << u"hellgelb"_s
                            << u"hellgelb"_s;
    QTest::newRow("X then web") << QStringList{u"LBLEnde"_s, u"LBLWeb"_s} << u"infoBk"_s
                                << u"infoBk"_s << u"rot"_s;
    QTest::newRow("e-mail then web")
        << QStringList{u"Titel"_s, u"LBLWeb"_s} << u"infoBk"_s << u"infoBk"_s << u"rot"_s;
    QTest::newRow("e-mail then X")
        << QStringList{u"Titel"_s, u"LBLEnde"_s} << u"rot"_s << u"rot"_s << u"infoBk"_s;
    QTest::newRow("e-mail then frame")
        << QStringList{u"Titel"_s, u"Frame1"_s} << u"infoBk"_s << u"infoBk"_s << u"infoBk"_s;
    QTest::newRow("X then window")
        << QStringList{u"LBLEnde"_s, u"FRMInfo"_s} << u"infoBk"_s << u"infoBk"_s << u"infoBk"_s;
    QTest::newRow("X then plain text stays red")
        << QStringList{u"LBLEnde"_s, u"Label1"_s} << u"rot"_s << u"hellgelb"_s << u"hellgelb"_s;
}

void TestFrmInfo::hoverColours()
{
    QFETCH(QStringList, path);
    QFETCH(QString, ende);
    QFETCH(QString, titel);
    QFETCH(QString, web);

    const QHash<QString, QColor> colours = {
        {u"rot"_s, Look::rot}, {u"infoBk"_s, Look::infoBk()}, {u"hellgelb"_s, Look::hellgelb}};
    // The rules can only be told apart if the three colours differ.
    QVERIFY(Look::infoBk() != Look::hellgelb && Look::infoBk() != Look::rot);

    open();
    for (const QString &name : std::as_const(path))
        movePointerOver(name);
    QCOMPARE(Look::textColor(label(u"LBLEnde"_s)), colours.value(ende));
    QCOMPARE(Look::textColor(label(u"Titel"_s)), colours.value(titel));
    QCOMPARE(Look::textColor(label(u"LBLWeb"_s)), colours.value(web));
}

QTEST_MAIN(TestFrmInfo)
#include "tst_frminfo.moc"
