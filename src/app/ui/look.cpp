#include "look.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace Look {

QColor infoBk()
{
    return QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase);
}

QColor fenster()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QFont titleFont()
{
    QFont font(u"MS Sans Serif"_qs);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

QFont closeFont()
{
    QFont font(u"MS Sans Serif"_qs);
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
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
    palette.setColor(QPalette::Button, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor background(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

} // namespace Look
