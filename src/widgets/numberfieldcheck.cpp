#include "numberfieldcheck.h"

#include "nurziffern.h"
#include "prompter.h"

#include <QLineEdit>

namespace {

// The number of QChars the last character of the text takes: an emoji or
// another character outside the Basic Multilingual Plane is one character to
// the user and is removed with one message.
qsizetype lastCharacterSize(QStringView text)
{
    const qsizetype n = text.size();
    if (n >= 2 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate())
        return 2;
    return 1;
}

bool endsAcceptably(QStringView text)
{
    return text.isEmpty() || NumberFieldCheck::isAllowed(text.back());
}

} // namespace

NumberFieldCheck::NumberFieldCheck(QLineEdit *field, MakeText refusedText, ShowMessage showMessage,
                                   QObject *parent)
    : QObject(parent ? parent : field), m_field(field), m_refusedText(std::move(refusedText)),
      m_showMessage(std::move(showMessage))
{
    connect(field, &QLineEdit::textChanged, this, [this] {
        // Our own removal is a change too; the loop in check() looks at the
        // shortened text itself, so the nested run has nothing to add.
        if (!m_removing)
            check();
    });
}

NumberFieldCheck::NumberFieldCheck(QLineEdit *field, MakeText refusedText, Prompter *prompter,
                                   QObject *parent)
    : NumberFieldCheck(
          field, std::move(refusedText),
          [prompter](const QString &text) {
              prompter->message(text, Prompter::Buttons::Ok, Prompter::Icon::None);
          },
          parent)
{}

bool NumberFieldCheck::isAllowed(QChar c)
{
    return isAsciiDigit(c) || c == u' ';
}

void NumberFieldCheck::check()
{
    // One message, then one removal, for each unwanted character at the end,
    // the last one first. A loop rather than a nested run per removal, so a
    // long paste cannot deepen the stack; the messages and removals come in
    // the same order either way.
    const QPointer<NumberFieldCheck> self(this);
    bool removed = false;
    while (m_field && !endsAcceptably(m_field->text())) {
        m_showMessage(m_refusedText());
        // While the message was open the window may have closed, or the text
        // may have been changed from elsewhere (and checked by a run of its
        // own): remove only what is still unwanted.
        if (!self || !m_field)
            return;
        const QString text = m_field->text();
        if (endsAcceptably(text))
            break;
        m_removing = true;
        m_field->setText(text.chopped(lastCharacterSize(text)));
        m_removing = false;
        removed = true;
    }
    if (removed && m_field)
        m_field->setCursorPosition(int(m_field->text().size()));
}
