#pragma once

#include "connectionkinds.h"
#include "connectionsettings.h"
#include "dialogbase.h"
#include "settings.h"

#include <QHash>

#include <memory>

class ConnectionTest;
class PortChoice;
class QListWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The connection configuration: how the message centre is reached (a modem
// dialling it, UCP or SMPP over the internet, a GSM modem) and the values of
// that kind: the serial port, the provider's dial-in number and the modem
// command of the settings row, the batch call, server, port, account and
// password of a TCP/IP session, the system ID, password, system type, TLS
// and window of an SMPP session, the SIM PIN and the service centre of a
// GSM modem, and,
// for every kind, the spool folder other programs drop messages into. Fields
// the chosen kind does not use are greyed out and not checked. However it is closed (OK, the
// close label or code), it checks the entries, saves them through Settings and
// ConnectionSettings and reloads the settings the engine dials with. Changed entries
// that would make every call fail are refused with a message naming the
// field; the window then stays open and nothing is saved. Entries left as
// they were are not checked, so a window closed without changes always
// closes. The settings are not reloaded while the window is open, so a dial
// under way keeps the values it began with.
class FRMKonfiguration : public DialogBase
{
    Q_OBJECT

public:
    // connection may be nullptr: the window then reads and stores the
    // connection settings itself, with the secrets in Daten.mdb. Without a
    // test there is no "Verbindung testen".
    FRMKonfiguration(QString databasePath, Settings *settings, QWidget *mainWindow,
                     Prompter *prompter, ConnectionSettings *connection = nullptr,
                     ConnectionTest *test = nullptr);
    ~FRMKonfiguration() override;

    // The device behind the serial port.
    PortChoice *portChoice() const { return m_portChoice; }

Q_SIGNALS:
    // The device behind the serial port was chosen anew and stored.
    void portDeviceChanged();

protected:
    void firstActivation() override;
    bool aboutToUnload() override;
    void abandon() override;

private:
    // The first entry that cannot be used, with the field to correct, or
    // nothing when all are usable.
    struct Problem
    {
        QString text;
        QLineEdit *field = nullptr;
    };
    // The fields of the settings, in the order of the window.
    QList<std::pair<QWidget *, SettingField>> fields() const;
    // The fields with a rule of their own, in the order they are checked.
    QList<QLineEdit *> checkedFields() const;
    std::optional<Problem> validate() const;
    // Why the field's text cannot be used, whether or not it is checked.
    std::optional<QString> problemOf(const QLineEdit *field) const;
    // The field's text differs from what this opening loaded, or the kind
    // that uses it was chosen in this opening: then an empty field would
    // make every call fail.
    bool changed(const QLineEdit *field) const;
    bool save();
    bool saveSettingsRow();
    void buildConnectionPart();
    void buildSmppPart();
    void buildSpoolPart();
    void chooseSpoolFolder();
    // The folder as it is stored: "~/" stands for the home folder, and a
    // relative path is taken from there; empty stays empty (no folder).
    static QString spoolFolderPath(const QString &typed);
    void showKind();
    ConnectionValues enteredConnection() const;
    void showKeyringNote();
    // "Verbindung testen": checks and stores the entries, then tests them;
    // while the test runs the button cancels it.
    void testConnection();

    QString m_databasePath;
    Settings *m_settings;
    // Reads and writes the settings row of this window's file.
    std::unique_ptr<Settings> m_row;
    Settings::ModemRow m_loadedRow; // as this opening read it, or last saved
    QString m_saveError;
    QLineEdit *m_comPort;
    QLineEdit *m_providerNummer;
    QLineEdit *m_initialisierungsbefehl;
    ConnectionSettings *m_connectionSettings;
    ConnectionValues m_loadedConnection;
    QComboBox *m_verbindung = nullptr;
    PortChoice *m_portChoice = nullptr;
    QCheckBox *m_einAnruf = nullptr;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_tcpPort = nullptr;
    QLineEdit *m_konto = nullptr;
    QLineEdit *m_passwort = nullptr;
    QLineEdit *m_simPin = nullptr;
    QLineEdit *m_smsZentrale = nullptr;
    QCheckBox *m_zustellbestaetigung = nullptr;
    QLineEdit *m_absender = nullptr;
    QCheckBox *m_offenHalten = nullptr;
    QSpinBox *m_fenster = nullptr;
    QLineEdit *m_systemId = nullptr;
    QLineEdit *m_smppPasswort = nullptr;
    QLineEdit *m_systemTyp = nullptr;
    QCheckBox *m_tls = nullptr;
    QSpinBox *m_gleichzeitig = nullptr;
    QLabel *m_keyringNote = nullptr;
    QLineEdit *m_spoolOrdner = nullptr;
    QPushButton *m_spoolWaehlen = nullptr;
    ConnectionTest *m_test = nullptr;
    QPushButton *m_testButton = nullptr;
    QListWidget *m_testSteps = nullptr;
    QPushButton *m_ok;
    QString m_loadError;
    QHash<const QLineEdit *, QString> m_loaded; // the texts as loaded
};
