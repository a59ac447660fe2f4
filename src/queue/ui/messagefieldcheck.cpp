#include "messagefieldcheck.h"

#include "messagetext.h"
#include "prompter.h"
#include "queuetexts.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>

namespace {

bool endsWithLineBreak(const QString &crLfText)
{
    return crLfText.size() >= 2 && crLfText.at(crLfText.size() - 2) == u'\r';
}

} // namespace

MessageFieldCheck::MessageFieldCheck(QPlainTextEdit *field, QLabel *zaehler, QLabel *hintLabel,
                                     ShowMessage showMessage, QObject *parent)
    : QObject(parent ? parent : field), m_field(field), m_zaehler(zaehler), m_hintLabel(hintLabel),
      m_showMessage(std::move(showMessage))
{
    connect(field, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_removing)
            check();
    });
    field->installEventFilter(this);
}

bool MessageFieldCheck::eventFilter(QObject *watched, QEvent *event)
{
    // Shift+Return would insert a line separator inside the paragraph, which
    // the undo history cannot merge with its removal; a message has only one
    // kind of line break, so it is typed as a plain Return.
    // The type first: while the field is being destroyed it still sends
    // events through this filter, and is no text edit any more then.
    if (event->type() == QEvent::KeyPress && watched == m_field) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ShiftModifier)) {
            QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier,
                            key->text());
            QCoreApplication::sendEvent(m_field, &plain);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

MessageFieldCheck::MessageFieldCheck(QPlainTextEdit *field, QLabel *zaehler, QLabel *hintLabel,
                                     Prompter *prompter, QObject *parent)
    : MessageFieldCheck(
          field, zaehler, hintLabel,
          [prompter](const QString &text) {
              prompter->message(text, Prompter::Buttons::Ok, Prompter::Icon::None);
          },
          parent)
{}

QString MessageFieldCheck::text() const
{
    return m_field ? toCrLf(m_field->toPlainText()) : QString();
}

void MessageFieldCheck::setPlan(const MessagePlan &plan)
{
    if (plan == m_plan)
        return;
    m_plan = plan;
    if (!m_field->document()->isEmpty())
        updateLabels(text());
}

void MessageFieldCheck::check()
{
    // Every line break at the end is removed before the first message is
    // shown, and the counter already shows the shortened text while the
    // messages are open: the order in which a run nested per removal would
    // do it, without a stack that grows with the length of a paste.
    const QPointer<MessageFieldCheck> self(this);
    int removed = 0;
    while (m_field && endsWithLineBreak(text())) {
        if (!removeTrailingLineBreak())
            break;
        ++removed;
    }
    updateLabels(text());
    for (int i = 0; i < removed; ++i) {
        m_showMessage(QueueText::enterNotAccepted());
        if (!self || !m_field)
            return;
        // The text may have been changed while the message was open.
        updateLabels(text());
    }
}

bool MessageFieldCheck::removeTrailingLineBreak()
{
    // The field holds a line break as one character (a paragraph or line
    // separator); deleting it in place keeps the caret and the rest of the
    // undo history. Joined with the edit that typed it, so that undo does not
    // bring the refused line break back (and with it the message).
    QScopedValueRollback guard(m_removing, true);
    const qsizetype before = m_field->document()->characterCount();
    QTextCursor cursor(m_field->document());
    cursor.movePosition(QTextCursor::End);
    cursor.joinPreviousEditBlock();
    cursor.deletePreviousChar();
    cursor.endEditBlock();
    return m_field->document()->characterCount() < before;
}

void MessageFieldCheck::updateLabels(const QString &crLfText)
{
    // A label with an accessible name of its own ("Anzahl Zeichen") would
    // hide its text from screen readers; the description carries it.
    const auto show = [](QLabel *label, const QString &text) {
        label->setText(text);
        label->setAccessibleDescription(text);
    };
    if (m_zaehler)
        show(m_zaehler, QString::number(crLfText.size()));
    if (m_hintLabel)
        show(m_hintLabel, m_plan.hint(crLfText));
}
