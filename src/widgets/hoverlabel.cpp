#include "hoverlabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

HoverLabel::HoverLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void HoverLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    Q_EMIT hovered();
}

void HoverLabel::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT hovered();
    event->accept();
}

void HoverLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    event->accept();
}

void HoverLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        Q_EMIT clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void BackgroundHoverWatcher::watch(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool BackgroundHoverWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        auto *widget = static_cast<QWidget *>(watched);
        auto *move = static_cast<QMouseEvent *>(event);
        // A move that a child control passed up is not over the background.
        if (!widget->childAt(move->position().toPoint()))
            Q_EMIT backgroundHovered();
    }
    return QObject::eventFilter(watched, event);
}
