#include "messagefieldcheck.h"

#include "gsmpdu.h"
#include "messagetext.h"
#include "prompter.h"
#include "queuetexts.h"
#include "ucp.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>

namespace {

// Characters that would be invisible or unreadable in the hint on their own
// are written as their code point.
QString readable(const QString &character)
{
    if (character.size() != 1)
        return character; // outside the Basic Multilingual Plane: an emoji and the like
    const QChar c = character.front();
    if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining ||
        c.category() == QChar::Mark_Enclosing) {
        // A combining accent, e.g. from a text with decomposed letters.
        return QStringView(u"\u25CC") % c;
    }
    if (!c.isPrint() || c.isSpace())
        return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return character;
}

bool endsWithLineBreak(const QString &crLfText)
{
    return crLfText.size() >= 2 && crLfText.at(crLfText.size() - 2) == u'\r';
}

// Enough to recognise the problem; the rest is summed up.
constexpr qsizetype maxListedCharacters = 10;

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

QString MessageFieldCheck::hint(const QString &crLfText)
{
    if (crLfText.isEmpty())
        return QString();
    QString result = tr("Wird als %1 SMS versandt.").arg(messagePartCount(crLfText.size()));
    const QStringList left = unsendableCharacters(crLfText);
    if (!left.isEmpty()) {
        QStringList shown;
        for (qsizetype i = 0; i < left.size() && i < maxListedCharacters; ++i)
            shown.append(readable(left.at(i)));
        QString list = shown.join(u' ');
        if (left.size() > maxListedCharacters) {
            list = tr("%1 und %2 weitere")
                       .arg(list, QString::number(left.size() - maxListedCharacters));
        }
        result += u'\n' + tr("Nicht übertragbar (wird weggelassen): %1").arg(list);
    }
    return result;
}

QString MessageFieldCheck::gsmHint(const QString &crLfText)
{
    if (crLfText.isEmpty())
        return QString();
    const Gsm::MessagePlan plan = Gsm::planMessage(crLfText);
    if (plan.parts > Gsm::maxParts)
        return tr("Zu lang für ein GSM-Modem (höchstens %1 SMS).").arg(Gsm::maxParts);
    if (plan.encoding == Gsm::Encoding::Ucs2)
        return tr("Wird als %1 SMS versandt (Unicode).").arg(plan.parts);
    return tr("Wird als %1 SMS versandt.").arg(plan.parts);
}

void MessageFieldCheck::setGsm(bool gsm)
{
    if (gsm == m_gsm)
        return;
    m_gsm = gsm;
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
        show(m_hintLabel, m_gsm ? gsmHint(crLfText) : hint(crLfText));
}
