#pragma once

#include "connectionkinds.h"

#include <QLabel>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <functional>

class Prompter;

// The checks of the message field, run after every change of its text:
// - a line break at the very end is refused: it is removed (and the shortened
//   text checked again, so a pasted run of line breaks goes as a whole) and
//   the user is told once per removed line break;
// - the counter label shows the number of characters of the text with its
//   line breaks as CR LF, the form in which it is split and sent;
// - the hint label (optional) says into how many SMS the text will be cut and
//   which of its characters cannot be transmitted and will be left out; for
//   a GSM modem, into how many SMS the text goes and whether as Unicode (the
//   modem transmits every character).
// Line breaks elsewhere in the text stay. Both labels pass their text on to
// screen readers as their accessible description.
class MessageFieldCheck : public QObject
{
    Q_OBJECT

public:
    using ShowMessage = std::function<void(const QString &)>;

    // Without a parent the check belongs to the field. The counter stays
    // empty until the first change of the text.
    MessageFieldCheck(QPlainTextEdit *field, QLabel *zaehler, QLabel *hintLabel,
                      ShowMessage showMessage, QObject *parent = nullptr);
    MessageFieldCheck(QPlainTextEdit *field, QLabel *zaehler, QLabel *hintLabel, Prompter *prompter,
                      QObject *parent = nullptr);

    // The field's text with its line breaks as CR LF.
    QString text() const;

    // The plan whose hint the hint label shows; shown anew at once.
    void setPlan(const MessagePlan &plan);

public Q_SLOTS:
    void check();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool removeTrailingLineBreak();
    void updateLabels(const QString &crLfText);

    QPointer<QPlainTextEdit> m_field;
    QPointer<QLabel> m_zaehler;
    QPointer<QLabel> m_hintLabel;
    ShowMessage m_showMessage;
    bool m_removing = false;
    MessagePlan m_plan = ConnectionKinds::of(ConnectionValues().kind).plan;
};
