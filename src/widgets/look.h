#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

// The program's colours, fonts and the twips of its window layouts.
namespace Look {

inline const QColor navy{0, 0, 128};            // main window
inline const QColor blau{0, 0, 192};            // dialogs
inline const QColor lightYellow{255, 255, 192}; // titles and links
inline const QColor lightOrange{255, 192, 128};
inline const QColor rot{255, 0, 0}; // the label under the pointer
inline const QColor grau{192, 192, 192};
inline const QColor hellgrau{224, 224, 224};

// The system's tooltip background, used for text on blue and navy.
QColor infoBk();
// The system's window background (usually white).
QColor windowColour();

// Layouts are given in twips, 15 to a pixel at the usual screen setting.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}
inline QRect rectTwips(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// The application font the fixed layouts are made for (8 pt).
QFont programFont();
QFont titleFont(); // "MS Sans Serif" 9.75 pt bold
QFont closeFont(); // "MS Sans Serif" 12 pt bold

void setTextColor(QWidget *widget, const QColor &color);
QColor textColor(const QWidget *widget);
void setBackground(QWidget *widget, const QColor &color);
QColor background(const QWidget *widget);

} // namespace Look
