#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class StoreConnection;

// The settings row of Daten.mdb (the first row of Einstellungen) as the
// program uses it: the modem values that the engine dials with and the
// user's own call-back number. One object for the whole program, made at
// start and handed to the main window, the engine and the configuration
// window.
//
// The values are those of the last reload(): the main window reloads on
// every activation and the configuration window when it closes, never
// while dialling, so a dial under way keeps the values it started with.
// The row is only ever changed, never added: a row that has vanished is a
// failure, and the values read before stay.
class Settings : public QObject
{
    Q_OBJECT

public:
    explicit Settings(const QString &databasePath, QObject *parent = nullptr);
    ~Settings() override;

    qint16 comPort() const { return m_comPort; }
    // ComPort as stored, so that a value that names no port can be told to
    // the user as it stands: one that is no whole number or does not fit
    // the 16 bits of comPort() reads as port 0.
    QString comPortText() const { return m_comPortText; }
    QString providerNummer() const { return m_providerNummer; } // digits only
    QString initialisierungsBefehl() const { return m_initialisierungsBefehl; }
    QString rueckrufnummer() const { return m_rueckrufnummer; }

    // An edited call-back number, written into the row by the next reload()
    // or save() when it differs from the stored one.
    void setRueckrufnummer(const QString &text);
    // Writes a pending call-back number; false when that fails.
    bool save();
    // Writes a pending call-back number, then reads the row again; emits
    // changed() when a value differs from before. False (values kept) when
    // the write or the read fails or the row is gone.
    bool reload();

    QString lastError() const { return m_lastError; }

    // The modem values of the row as they stand in the file, for editing
    // them (the configuration window).
    struct ModemRow
    {
        QString comPort;
        QString providerNummer;
        QString initialisierungsBefehl;

        bool operator==(const ModemRow &) const = default;
    };
    // Reads them afresh, without changing the values above; false with
    // lastError() (the bare reason) when the row cannot be read or there
    // is none.
    bool readModemRow(ModemRow *row);
    // Writes the values of edited that differ from loaded (as readModemRow()
    // gave them) into the row last read, in one transaction, without
    // changing the values above; nothing when none differs. False with
    // lastError() (the bare reason) when that fails or the row has vanished
    // meanwhile: the program never adds a settings row.
    bool saveModemRow(const ModemRow &loaded, const ModemRow &edited);

    // The port number of a stored ComPort value; 0 (no port) for a value
    // that does not fit, never a wrapped or cut one.
    static qint16 toComPort(const QVariant &value);

Q_SIGNALS:
    // A reload() read other values than before.
    void changed();
    // A database failure that the user should hear of: told once, until the
    // row reads well again (every later failure meanwhile only shows in the
    // return values and lastError()).
    void failed(const QString &message);

private:
    bool read();
    bool fail(const QString &what, const QString &reason);

    std::unique_ptr<StoreConnection> m_connection;
    std::optional<qint64> m_rowid;      // of the row last read
    std::optional<qint64> m_modemRowid; // of the row readModemRow() read
    qint16 m_comPort = 0;
    QString m_comPortText;
    QString m_providerNummer;
    QString m_initialisierungsBefehl;
    QString m_rueckrufnummer;
    std::optional<QString> m_pendingRueckrufnummer;
    QString m_lastError;
    // Closing the box that tells a failure activates the main window, which
    // reloads and fails again: without this the same failure would be told
    // in an endless row.
    bool m_failing = false;
};
