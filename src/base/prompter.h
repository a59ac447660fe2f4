#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Every message box, input box and file chooser of the program goes through
// this interface, so that tests can answer them and check their exact texts.
// The real implementation shows modal Qt boxes (WidgetPrompter in the ui
// library).
class Prompter
{
public:
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Information, Warning, Critical };
    enum class Answer { Ok, Yes, No };

    virtual ~Prompter() = default;

    // A message box without a title of its own. With YesNo, Yes comes first
    // and is the default button.
    virtual Answer message(const QString &text, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None) = 0;

    // A question whose two buttons say what they do: Yes is the first one,
    // yesText, and the default; No is noText. A prompter without buttons of
    // its own asks with Yes and No.
    virtual Answer question(const QString &text, const QString &yesText, const QString &noText,
                            Icon icon = Icon::None)
    {
        Q_UNUSED(yesText);
        Q_UNUSED(noText);
        return message(text, Buttons::YesNo, icon);
    }

    // An input box; std::nullopt when the user cancels it.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText = QString()) = 0;

    // A file to read, chosen by the user; std::nullopt when the user cancels.
    // Filters in Qt's form, "vCard (*.vcf *.vcard)". A prompter that has no
    // file chooser (the console's) always cancels.
    virtual std::optional<QString> openFile(const QString &title, const QStringList &filters)
    {
        Q_UNUSED(title);
        Q_UNUSED(filters);
        return std::nullopt;
    }

    // An existing folder, chosen by the user, starting in startFolder;
    // std::nullopt when the user cancels (always, without a chooser).
    virtual std::optional<QString> chooseFolder(const QString &title, const QString &startFolder)
    {
        Q_UNUSED(title);
        Q_UNUSED(startFolder);
        return std::nullopt;
    }

    // A file to write: its path and the index of the filter the user chose
    // (which says the format when the name has no extension of its own).
    struct SaveFile
    {
        QString path;
        int filter = 0;
    };
    // Offers suggestedName; asks before an existing file is replaced.
    virtual std::optional<SaveFile> saveFile(const QString &title, const QString &suggestedName,
                                             const QStringList &filters)
    {
        Q_UNUSED(title);
        Q_UNUSED(suggestedName);
        Q_UNUSED(filters);
        return std::nullopt;
    }
};
