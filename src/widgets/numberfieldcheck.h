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
    // Makes the message about a refused character; the caller owns the
    // text, so that the same words can be used where a whole number is
    // refused.
    using MakeText = std::function<QString()>;
    // Shows one message; a dialog passes its own bracketed message box.
    using ShowMessage = std::function<void(const QString &)>;

    // Without a parent the check belongs to the field.
    NumberFieldCheck(QLineEdit *field, MakeText refusedText, ShowMessage showMessage,
                     QObject *parent = nullptr);
    // Messages through the prompter's plain OK box.
    NumberFieldCheck(QLineEdit *field, MakeText refusedText, Prompter *prompter,
                     QObject *parent = nullptr);

    // A character that may end a number: a digit "0" to "9" or a blank.
    static bool isAllowed(QChar c);

public Q_SLOTS:
    // Runs the check on the field's current text.
    void check();

private:
    QPointer<QLineEdit> m_field;
    MakeText m_refusedText;
    ShowMessage m_showMessage;
    bool m_removing = false;
};
