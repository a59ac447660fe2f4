#pragma once

#include "prompter.h"

#include <QPointer>
#include <QWidget>

// The real message and input boxes: modal Qt boxes titled with the
// application's name, since the program's boxes have no title of their own;
// and Qt's file dialogs.
class WidgetPrompter final : public Prompter
{
public:
    // The boxes are centred on this window when it is visible.
    void setMainWindow(QWidget *window) { m_mainWindow = window; }

    Answer message(const QString &text, Buttons buttons, Icon icon) override;
    Answer question(const QString &text, const QString &yesText, const QString &noText,
                    Icon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QStringList &filters) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &startFolder) override;
    std::optional<SaveFile> saveFile(const QString &title, const QString &suggestedName,
                                     const QStringList &filters) override;

private:
    QWidget *boxParent() const;
    QPointer<QWidget> m_mainWindow;
};
