#include "frmprotokoll.h"

#include "hoverlabel.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look protokollLook()
{
    return DialogBase::Look::sized(
        QCoreApplication::translate("FRMProtokoll", "Anrufprotokoll"),
        QCoreApplication::translate("FRMProtokoll", "Protokoll der letzten Anrufe..."), 9000, 6000);
}

} // namespace

FRMProtokoll::FRMProtokoll(const QStringList &calls, QWidget *mainWindow, Prompter *prompter)
    : DialogBase(protokollLook(), mainWindow, prompter)
{
    setObjectName(u"FRMProtokoll"_s);

    auto *label = new QLabel(tr("Anrufe, der neueste zuerst:"));
    label->setObjectName(u"lblProtokoll"_s);
    placeInFrame(label, 240, 240, 6000, 255);

    m_text = new QPlainTextEdit;
    m_text->setObjectName(u"txtProtokoll"_s);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFont(u"DejaVu Sans Mono"_s, 9));
    m_text->setPlainText(calls.isEmpty() ? tr("Noch keine Anrufe.") : calls.join(u"\n\n"_s));
    placeInFrame(m_text, 240, 540, 8265, 4380);
    label->setBuddy(m_text);

    auto *copy = new QPushButton(tr("Kopieren"));
    copy->setObjectName(u"cmdKopieren"_s);
    placeInFrame(copy, 240, 5040, 1200, 330);
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_text->toPlainText()); });

    auto *ok = new QPushButton(tr("OK"));
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
