#include "statusline.h"

#include <QEvent>
#include <QFontMetrics>

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
}

void StatusLine::setStatus(const QString &text)
{
    m_status = text;
    // Read by screen readers as it changes, whatever the eye is shown.
    setAccessibleName(text);
    showFitting();
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void StatusLine::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        showFitting();
}

bool StatusLine::fits(const QString &shown) const
{
    // Measured as QLabel draws a wrapped plain text.
    const QRect area = contentsRect();
    const QRect needed = fontMetrics().boundingRect(
        area, int(alignment()) | Qt::TextWordWrap | Qt::TextExpandTabs, shown);
    return needed.width() <= area.width() && needed.height() <= area.height();
}

QString StatusLine::shortened(int room) const
{
    const QString elided = fontMetrics().elidedText(m_status, Qt::ElideMiddle, room);
    qsizetype head = 0;
    while (head < elided.size() && head < m_status.size() && elided.at(head) == m_status.at(head))
        ++head;
    if (head == elided.size())
        return elided; // nothing left out
    // The end begins with a whole word, so that no torn word ("…sst") is
    // read as the start of the reason; a blank after the ellipsis lets the
    // line wrap there.
    qsizetype tailStart = m_status.size() - (elided.size() - head - 1);
    while (tailStart > head && m_status.at(tailStart - 1) != u' ')
        --tailStart;
    if (tailStart <= head)
        return elided;
    return QStringView(m_status).left(head).trimmed() + u"… " +
           QStringView(m_status).mid(tailStart);
}

void StatusLine::showFitting()
{
    if (fits(m_status)) {
        setText(m_status);
        setToolTip(QString());
        return;
    }
    // Shorten the middle until the wrapped text fits: first to what the
    // lines could hold side by side, then a character's width at a time,
    // since wrapping at word boundaries leaves some of each line empty.
    const QFontMetrics metrics = fontMetrics();
    const int width = contentsRect().width();
    const int lines = std::max(1, contentsRect().height() / std::max(1, metrics.lineSpacing()));
    const int step = std::max(1, metrics.averageCharWidth());
    QString shown = metrics.elidedText(m_status, Qt::ElideMiddle, width);
    for (int room = lines * width; room > width; room -= step) {
        const QString candidate = shortened(room);
        if (fits(candidate)) {
            shown = candidate;
            break;
        }
    }
    setText(shown);
    setToolTip(m_status);
}
