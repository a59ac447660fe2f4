#pragma once

#include <QString>
#include <optional>

// Every message box and input box of the program goes through this interface,
// so that tests can answer the boxes and check their exact texts. The real
// implementation shows modal Qt boxes (WidgetPrompter in the ui library).
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

    // An input box; std::nullopt when the user cancels it.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText = QString()) = 0;
};
