#include "uilanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>

using namespace Qt::StringLiterals;

UiLanguage::Language UiLanguage::forLocale(const QLocale &locale)
{
    // The first of the user's languages decides ("en-US", "en"); a system
    // without one (the C locale) gets the program's own German.
    const QStringList languages = locale.uiLanguages();
    const QString first = languages.isEmpty() ? locale.name() : languages.constFirst();
    const bool english =
        first == u"en"_s || first.startsWith(u"en-"_s) || first.startsWith(u"en_"_s);
    return english ? Language::English : Language::German;
}

UiLanguage::UiLanguage(QCoreApplication &app, const QLocale &system) : m_language(forLocale(system))
{
    // Numbers and dates as the chosen language writes them; the German
    // interface is Swiss ("Natel", no sharp s).
    const QLocale chosen = m_language == Language::English
                               ? (system.language() == QLocale::English
                                      ? system
                                      : QLocale(QLocale::English, QLocale::UnitedStates))
                               : QLocale(QLocale::German, QLocale::Switzerland);
    QLocale::setDefault(chosen);
    if (m_language == Language::English) {
        // Qt's own buttons and dialogs speak English by themselves.
        if (m_program.load(englishFile))
            app.installTranslator(&m_program);
        return;
    }
    // "Ja", "Nein", "Abbrechen" in Qt's boxes and dialogs.
    if (m_qt.load(chosen, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&m_qt);
}
