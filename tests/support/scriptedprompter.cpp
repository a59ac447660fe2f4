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

Prompter::Answer ScriptedPrompter::question(const QString &text, const QString &yesText,
                                            const QString &noText, Icon icon)
{
    Shown box{text, Buttons::YesNo, icon, QString(), false, {yesText, noText}};
    m_shown.append(box);
    if (m_whileOpen)
        m_whileOpen(box);
    return m_answers.isEmpty() ? Answer::No : m_answers.takeFirst();
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

std::optional<QString> ScriptedPrompter::openFile(const QString &title, const QStringList &filters)
{
    Q_UNUSED(filters);
    m_fileChoices.append(title);
    return m_openFiles.isEmpty() ? std::nullopt : m_openFiles.takeFirst();
}

std::optional<QString> ScriptedPrompter::chooseFolder(const QString &title,
                                                      const QString &startFolder)
{
    Q_UNUSED(startFolder);
    m_fileChoices.append(title);
    return m_folders.isEmpty() ? std::nullopt : m_folders.takeFirst();
}

std::optional<Prompter::SaveFile> ScriptedPrompter::saveFile(const QString &title,
                                                             const QString &suggestedName,
                                                             const QStringList &filters)
{
    Q_UNUSED(suggestedName);
    Q_UNUSED(filters);
    m_fileChoices.append(title);
    return m_saveFiles.isEmpty() ? std::nullopt : m_saveFiles.takeFirst();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Shown &box : m_shown)
        result.append(box.text);
    return result;
}
