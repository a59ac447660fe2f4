#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

// The visible navigation bar of a record view: buttons for the first,
// previous, next and last record around a caption.
class RecordNavigator : public QFrame
{
    Q_OBJECT

public:
    explicit RecordNavigator(const QString &caption, QWidget *parent = nullptr);

    QLabel *caption() const { return m_caption; }
    QToolButton *firstButton() const { return m_first; }
    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }
    QToolButton *lastButton() const { return m_last; }

Q_SIGNALS:
    void firstRequested();
    void previousRequested();
    void nextRequested();
    void lastRequested();

private:
    QToolButton *makeButton(const QString &objectName, const QString &text,
                            const QString &accessibleName);

    QLabel *m_caption;
    QToolButton *m_first;
    QToolButton *m_previous;
    QToolButton *m_next;
    QToolButton *m_last;
};
