#pragma once

#include <QLabel>

// A label that reacts to the pointer and to clicks, for the program's own
// title bar controls and link labels. Keyboard users reach it by Tab and
// activate it with Space or Enter.
class HoverLabel : public QLabel
{
    Q_OBJECT

public:
    explicit HoverLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void hovered();
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// Watches a window background or frame: emits backgroundHovered when the
// pointer moves over the widget itself, not over one of its child controls.
class BackgroundHoverWatcher : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundHoverWatcher(QObject *parent = nullptr) : QObject(parent) {}
    void watch(QWidget *widget);

Q_SIGNALS:
    void backgroundHovered();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
