#pragma once

#include "prompter.h"

#include <QList>
#include <QStringList>
#include <functional>

// Answers message and input boxes from a script and records every box shown.
// A box that the script did not foresee is answered with Ok/No (input: cancel)
// and still recorded, so the test sees it in shown(). File and folder
// choices are answered from scripts of their own (cancelled when empty) and
// recorded by their titles in fileChoices().
class ScriptedPrompter final : public Prompter
{
public:
    struct Shown
    {
        QString text;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString title; // input boxes only
        bool isInput = false;
        QStringList buttonTexts = {}; // questions with buttons of their own
    };

    void answerNext(Answer answer) { m_answers.append(answer); }
    void answerInput(std::optional<QString> text) { m_inputs.append(std::move(text)); }
    void answerOpenFile(std::optional<QString> path) { m_openFiles.append(std::move(path)); }
    void answerSaveFile(std::optional<SaveFile> file) { m_saveFiles.append(std::move(file)); }
    void answerChooseFolder(std::optional<QString> path) { m_folders.append(std::move(path)); }
    // Runs while a box is "open", e.g. to check state during a question.
    void setWhileOpen(std::function<void(const Shown &)> callback)
    {
        m_whileOpen = std::move(callback);
    }

    Answer message(const QString &text, Buttons buttons, Icon icon) override;
    Answer question(const QString &text, const QString &yesText, const QString &noText,
                    Icon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QStringList &filters) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &startFolder) override;
    std::optional<SaveFile> saveFile(const QString &title, const QString &suggestedName,
                                     const QStringList &filters) override;

    const QList<Shown> &shown() const { return m_shown; }
    const QStringList &fileChoices() const { return m_fileChoices; }
    QStringList texts() const;
    int count() const { return int(m_shown.size()); }
    void clear() { m_shown.clear(); }

private:
    QList<Answer> m_answers;
    QList<std::optional<QString>> m_inputs;
    QList<std::optional<QString>> m_openFiles;
    QList<std::optional<SaveFile>> m_saveFiles;
    QList<std::optional<QString>> m_folders;
    QStringList m_fileChoices;
    QList<Shown> m_shown;
    std::function<void(const Shown &)> m_whileOpen;
};
