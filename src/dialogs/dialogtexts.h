#pragma once

#include <QCoreApplication>
#include <QString>

// Texts of the configuration, archive and information windows that the main
// window shows too, and the two addresses of the information window.

// Caption of the main window's button that opens the modem configuration.
inline QString konfigurationButtonText()
{
    return QCoreApplication::translate("DialogText", "SMS-Versand konfigurieren");
}

// The main window's link label that opens the information window.
inline QString copyrightLabelText()
{
    return QStringLiteral("\u2192 ") +
           QCoreApplication::translate("DialogText", "Informationen zum Programm");
}

// The product's web page, handed to the browser exactly as it stands.
inline const QString kWebAddress = QStringLiteral("https://www.funkbote.example");

// The support address; the e-mail link opens "mailto:" followed by it.
inline const QString kSupportAddress = QStringLiteral("support@funkbote.example");
