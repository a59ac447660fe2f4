#pragma once

#include "dialogbase.h"

#include <QHash>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QDataWidgetMapper;
class QSqlTableModel;
class StoreConnection;
class Settings;

// The modem configuration: edits serial port, the provider's dial-in number
// and the modem command of the settings row. However it is closed (OK, the
// close label or code), it checks the entries, saves them through the mapped
// fields and reloads the settings the engine dials with. Changed entries
// that would make every call fail are refused with a message naming the
// field; the window then stays open and nothing is saved. Entries left as
// they were are not checked, so a window closed without changes always
// closes. The settings are not reloaded while the window is open, so a dial
// under way keeps the values it began with.
class FRMKonfiguration : public DialogBase
{
    Q_OBJECT

public:
    FRMKonfiguration(QString databasePath, Settings *settings, QWidget *mainWindow,
                     Prompter *prompter);
    ~FRMKonfiguration() override;

protected:
    void firstActivation() override;
    bool aboutToUnload() override;

private:
    // The first entry that cannot be used, with the field to correct, or
    // nothing when all three are usable.
    struct Problem
    {
        QString text;
        QLineEdit *field = nullptr;
    };
    std::optional<Problem> validate() const;
    // The field's text differs from what this opening loaded.
    bool changed(const QLineEdit *field) const;
    bool save();

    QString m_databasePath;
    Settings *m_settings;
    std::unique_ptr<StoreConnection> m_connection;
    QSqlTableModel *m_einstellungen = nullptr; // DTAEinstellungen
    QDataWidgetMapper *m_mapper = nullptr;
    QString m_saveError;
    QLineEdit *m_comPort;
    QLineEdit *m_providerNummer;
    QLineEdit *m_initialisierungsbefehl;
    QPushButton *m_ok;
    QString m_loadError;
    QHash<const QLineEdit *, QString> m_loaded; // the texts as loaded
};
