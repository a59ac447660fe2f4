#pragma once

#include <QString>
#include <QVariant>

class RecordView;

// The program-wide copies of the modem settings that the engine dials with.
// Filled from the settings record whenever the main window becomes active
// and when the configuration window closes; never read from the table while
// dialling, so a dial already under way keeps the values it started with.
struct SettingsCache
{
    qint16 comPort = 0;
    QString providerNummer; // digits only
    QString initialisierungsBefehl;

    // Fills the cache from the current record of a view on Einstellungen.
    void fillFrom(const RecordView &einstellungen);
    static qint16 toComPort(const QVariant &value);
};
