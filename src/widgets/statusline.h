#pragma once

#include <QLabel>

// A status line that does not hide its own words. It wraps onto as many
// lines as its height holds; a text that still does not fit loses its middle,
// not its ends (the beginning names the port, the end says why), and the
// whole text becomes its tooltip. Screen readers always get the whole text
// as the accessible name.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    void setStatus(const QString &text);
    QString status() const { return m_status; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool fits(const QString &shown) const;
    // The text with its middle left out, about room pixels wide on one line.
    QString shortened(int room) const;
    void showFitting();

    QString m_status;
};
