#pragma once

#include <QPushButton>

// A push button whose caption wraps onto a second line when it is wider
// than the button, as the fixed-width buttons of the main window need with
// longer German captions.
class WrapButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrapButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
