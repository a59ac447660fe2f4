#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class Prompter;

// Keeps a telephone number field free of a trailing character that is not a
// digit or a blank: after every change of the text, typed, pasted or set by
// code, the last character is looked at; if it is anything else, the user is
// told, the character is removed and the new last character is looked at in
// turn, one message per removed character. The caret then stands at the end.
// Only the end of the text is checked, so a character typed into the middle
// stays (the queue refuses such a number when it is sent, see queueNumber).
class NumberFieldCheck : public QObject
{
    Q_OBJECT

public:
    // Shows one message; a dialog passes its own bracketed message box.
    using ShowMessage = std::function<void(const QString &)>;

    // Without a parent the check belongs to the field.
    NumberFieldCheck(QLineEdit *field, ShowMessage showMessage, QObject *parent = nullptr);
    // Messages through the prompter's plain OK box.
    NumberFieldCheck(QLineEdit *field, Prompter *prompter, QObject *parent = nullptr);

    QLineEdit *field() const { return m_field; }

    // A character that may end a number: a digit "0" to "9" or a blank.
    static bool isAllowed(QChar c);
    // What the user is told about a character that is not allowed, here and
    // where the queue refuses a number with one inside.
    static QString refusedCharacterText();

public Q_SLOTS:
    // Runs the check on the field's current text.
    void check();

private:
    QPointer<QLineEdit> m_field;
    ShowMessage m_showMessage;
    bool m_removing = false;
};
