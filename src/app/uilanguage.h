#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

class QCoreApplication;

// The language of the user interface. German is the program's own language
// (its texts are written in it); English is shown when the system's first
// user-interface language is English (LANG=en_US.UTF-8, LANGUAGE=en_GB:de,
// ...). Qt's own texts (the buttons of the boxes, the file dialogs, the
// command-line help) follow in the same language.
class UiLanguage
{
public:
    enum class Language { German, English };

    static Language forLocale(const QLocale &locale);

    // Installs the translations for the language of system into app and makes
    // the default locale match (Swiss German, or the system's English one).
    // They stay installed while this object lives (a QTranslator takes
    // itself out when it goes).
    UiLanguage(QCoreApplication &app, const QLocale &system);
    UiLanguage(const UiLanguage &) = delete;
    UiLanguage &operator=(const UiLanguage &) = delete;

    Language language() const { return m_language; }
    // Whether the program's and Qt's translation were installed: English
    // needs the program's, German Qt's (qt6-translations-l10n).
    bool hasProgramTranslation() const { return !m_program.isEmpty(); }
    bool hasQtTranslation() const { return !m_qt.isEmpty(); }

    // Where the program's translation is built in.
    static inline const QString englishFile = QStringLiteral(":/i18n/funkbote_en.qm");

private:
    Language m_language;
    QTranslator m_program;
    QTranslator m_qt;
};
