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
    // ComPort as stored, so that a value that names no port can be told to
    // the user as it stands: one that is no whole number or does not fit the
    // 16 bits of comPort reads as port 0. Last and defaulted, so that the
    // three values above can still be given in braces.
    QString comPortText = {};

    // Fills the cache from the current record of a view on Einstellungen.
    void fillFrom(const RecordView &einstellungen);
    void setComPort(const QVariant &stored);
    // The port number of a stored ComPort value; 0 (no port) for a value that
    // does not fit, never a wrapped or cut one.
    static qint16 toComPort(const QVariant &value);
};
