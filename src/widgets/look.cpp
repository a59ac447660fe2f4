#include "look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPalette>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace Look {

QColor infoBk()
{
    return QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase);
}

QColor windowColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QFont titleFont()
{
    QFont font(u"MS Sans Serif"_s);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

QFont programFont()
{
    // The windows are laid out in fixed twips for a small dialog font.
    QFont font = QApplication::font();
    font.setPointSizeF(8);
    return font;
}

QFont closeFont()
{
    QFont font(u"MS Sans Serif"_s);
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

QColor textColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    // Only a button takes the colour as its face; containers keep the
    // system's button colour for the buttons inside them.
    if (qobject_cast<QAbstractButton *>(widget))
        palette.setColor(QPalette::Button, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor background(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

} // namespace Look
