#include "scriptedprompter.h"

Prompter::Answer ScriptedPrompter::message(const QString &text, Buttons buttons, Icon icon)
{
    Shown box{text, buttons, icon, QString(), false};
    m_shown.append(box);
    if (m_whileOpen)
        m_whileOpen(box);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

std::optional<QString> ScriptedPrompter::input(const QString &prompt, const QString &title,
                                               const QString &defaultText)
{
    Q_UNUSED(defaultText);
    Shown box{prompt, Buttons::Ok, Icon::None, title, true};
    m_shown.append(box);
    if (m_whileOpen)
        m_whileOpen(box);
    if (!m_inputs.isEmpty())
        return m_inputs.takeFirst();
    return std::nullopt;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Shown &box : m_shown)
        result.append(box.text);
    return result;
}
