#include "frmprotokoll.h"

#include "hoverlabel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look protokollLook()
{
    DialogBase::Look look;
    look.windowTitle = u"Anrufprotokoll"_s;
    look.titel = u"Protokoll der letzten Anrufe..."_s;
    look.widthTwips = 9000;
    look.heightTwips = 6000;
    look.endeLeftTwips = 8650;
    look.endeTopTwips = 75;
    look.frameWidthTwips = 8745;
    look.frameHeightTwips = 5505;
    return look;
}

} // namespace

FRMProtokoll::FRMProtokoll(const QStringList &calls, QWidget *mainWindow, Prompter *prompter)
    : DialogBase(protokollLook(), mainWindow, prompter)
{
    setObjectName(u"FRMProtokoll"_s);

    auto *label = new QLabel(u"Anrufe, der neueste zuerst:"_s);
    label->setObjectName(u"lblProtokoll"_s);
    placeInFrame(label, 240, 240, 6000, 255);

    m_text = new QPlainTextEdit;
    m_text->setObjectName(u"txtProtokoll"_s);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFont(u"DejaVu Sans Mono"_s, 9));
    m_text->setPlainText(calls.isEmpty() ? u"Noch keine Anrufe."_s : calls.join(u"\n\n"_s));
    placeInFrame(m_text, 240, 540, 8265, 4380);
    label->setBuddy(m_text);

    auto *copy = new QPushButton(u"Kopieren"_s);
    copy->setObjectName(u"cmdKopieren"_s);
    placeInFrame(copy, 240, 5040, 1200, 330);
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_text->toPlainText()); });

    auto *ok = new QPushButton(u"OK"_s);
    ok->setObjectName(u"cmdOK"_s);
    placeInFrame(ok, 8010, 5040, 495, 330);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_text, copy);
    setTabOrder(copy, ok);
    setTabOrder(ok, ende());
    m_text->setFocus();
    centreOnScreen();
}

QString FRMProtokoll::text() const
{
    return m_text->toPlainText();
}
