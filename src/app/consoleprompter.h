#pragma once

#include "prompter.h"

#include <QString>
#include <cstdio>
#include <optional>

// Writes every box to stderr and answers it with its default button (Ok, or
// No for a question: the safe choice, which sends nothing twice; an input
// box is cancelled): where nobody can click, as in a trial run of the
// package or a program without a window.
class ConsolePrompter final : public Prompter
{
public:
    Answer message(const QString &text, Buttons buttons, Icon) override
    {
        std::fprintf(stderr, "funkbote: %s\n", qPrintable(text));
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> input(const QString &prompt, const QString &, const QString &) override
    {
        std::fprintf(stderr, "funkbote: %s\n", qPrintable(prompt));
        return std::nullopt;
    }
};
