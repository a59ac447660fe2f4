#include "recordnavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

using namespace Qt::StringLiterals;

RecordNavigator::RecordNavigator(const QString &caption, QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);

    m_first = makeButton(u"cmdErster"_s, u"|\u25C0"_s, tr("Erster Datensatz"));
    m_previous = makeButton(u"cmdVorheriger"_s, u"\u25C0"_s, tr("Vorheriger Datensatz"));
    m_next = makeButton(u"cmdNaechster"_s, u"\u25B6"_s, tr("Nächster Datensatz"));
    m_last = makeButton(u"cmdLetzter"_s, u"\u25B6|"_s, tr("Letzter Datensatz"));

    m_caption = new QLabel(caption, this);
    m_caption->setObjectName(u"LBLCaption"_s);
    m_caption->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_first);
    layout->addWidget(m_previous);
    layout->addSpacing(4);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_next);
    layout->addWidget(m_last);

    connect(m_first, &QToolButton::clicked, this, &RecordNavigator::firstRequested);
    connect(m_previous, &QToolButton::clicked, this, &RecordNavigator::previousRequested);
    connect(m_next, &QToolButton::clicked, this, &RecordNavigator::nextRequested);
    connect(m_last, &QToolButton::clicked, this, &RecordNavigator::lastRequested);
}

QToolButton *RecordNavigator::makeButton(const QString &objectName, const QString &text,
                                         const QString &accessibleName)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setText(text);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
