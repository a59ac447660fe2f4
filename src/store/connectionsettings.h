#pragma once

#include "secretstore.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

class StoreConnection;

// How the program reaches the message centre.
enum class ConnectionKind {
    DialUp, // a Hayes modem dials the centre's dial-in number
    Tcp,    // a UCP session over TCP/IP
    Gsm,    // a GSM modem sends the messages itself
    Smpp,   // an SMPP 3.4 session over TCP/IP, with or without TLS
};

// The most submissions a UCP session may leave unanswered at once.
inline constexpr int maxUcpWindow = 10;
// The most submit_sm an SMPP session may leave unanswered at once, and how
// many it may unless told otherwise.
inline constexpr int maxSmppWindow = 100;
inline constexpr int defaultSmppWindow = 10;

struct ConnectionValues
{
    ConnectionKind kind = ConnectionKind::DialUp;
    bool severalPerCall = false; // dial-up: the whole queue in one call
    QString server;
    int tcpPort = 0; // 0: none set
    QString account;
    QString password;
    QString simPin;
    QString smsCentre; // empty: the SIM's own
    // GSM and TCP/IP: ask for a delivery report of each message.
    bool deliveryReports = true;
    // TCP/IP: the sender shown instead of the account (empty: the account),
    // the session held open for replies and reports, and how many
    // submissions may be unanswered at once.
    QString sender;
    bool keepOpen = true;
    int ucpWindow = 1;
    // SMPP: the account of the bind (system_id and its password, kept like
    // the password above), the optional system_type, TLS, and how many
    // submissions may be unanswered at once. Server, port, sender, reports
    // and the session kept open are those above.
    QString systemId;
    QString smppPassword;
    QString systemType;
    bool useTls = false;
    int smppWindow = defaultSmppWindow;
    // A setting of the program, not of a kind: the folder other programs
    // drop messages into (empty: none is watched).
    QString spoolFolder;

    bool operator==(const ConnectionValues &) const = default;
};

// The connection settings beside the settings row of Daten.mdb: a table of
// name/value pairs of their own, made when they are first saved, so that a
// file without it opens as before (with the dial-up line). The passwords and
// the SIM PIN go to the desktop's keyring where one answers; where none
// does they are kept in the table, and keyring() says so.
//
// Like Settings, the values are those of the last reload() or save().
class ConnectionSettings : public QObject
{
    Q_OBJECT

public:
    enum class Keyring { Unknown, Available, Missing };

    // secrets may be nullptr: then the secrets are kept in the table.
    ConnectionSettings(const QString &databasePath, SecretStore *secrets,
                       QObject *parent = nullptr);
    ~ConnectionSettings() override;

    ConnectionValues values() const;
    // Whether the secrets can go to a keyring: Unknown until it has
    // answered the first question.
    Keyring keyring() const { return m_keyring; }

    // The secret lives in the keyring but has not been read from it (the
    // keyring has not answered yet, or its unlock was cancelled): the value
    // values() gives for it is not the stored one.
    bool passwordUnreadable() const;
    bool smppPasswordUnreadable() const;
    bool simPinUnreadable() const;

    // Reads the table again; emits changed() when a value differs. A secret
    // of the keyring that could not be read is asked for again. A file
    // without the table has the default values. A failure keeps the values
    // read before and is told by failed(), once until a read succeeds.
    bool reload();
    // Stores the values (the table is made when missing), all in one
    // transaction; false with lastError() when that fails.
    bool save(const ConnectionValues &values);
    QString lastError() const { return m_lastError; }

    // Whether the SIM refused the PIN stored now, or never answered it: a
    // SIM locks itself after three wrong PINs, so that PIN is not sent
    // again, also after a restart, until the user saves another one.
    bool simPinRefused() const { return m_simPinRefused; }
    // Marks pin as refused; nothing when it is no longer the stored PIN.
    // A failure to store the mark is told by failed() and false.
    bool setSimPinRefused(const QString &pin);

    // The name of a kind in the table, and back; a name of a later
    // version is read as the dial-up line.
    static QString kindName(ConnectionKind kind);
    static ConnectionKind kindFromName(const QString &name);
    // Whether the Daten.mdb at databasePath keeps a password or a SIM PIN
    // in its own table (no keyring took them); false when it cannot tell.
    static bool fileHoldsSecrets(const QString &databasePath);

Q_SIGNALS:
    void changed();
    void keyringChanged();
    // A failure the user should hear of, in German.
    void failed(const QString &message);

private:
    bool read();
    bool write(const ConnectionValues &values, bool secretsInTable);
    bool writeRows(const QList<std::pair<QString, QString>> &rows);
    bool fail(const QString &what, const QString &reason);
    QString secretKey(const QString &name) const;
    bool secretUnreadable(const QString &name) const;
    void askKeyring(const QString &name);
    void onReadDone(const QString &key, SecretStore::Outcome outcome, const QString &value);
    void onWriteDone(const QString &key, SecretStore::Outcome outcome);
    void setKeyring(Keyring keyring);
    void setValues(const ConnectionValues &values);

    QString m_databasePath;
    std::unique_ptr<StoreConnection> m_connection;
    SecretStore *m_secrets;
    Keyring m_keyring = Keyring::Unknown;
    // As read from the table; the secrets there are empty when they live in
    // the keyring.
    ConnectionValues m_stored;
    bool m_secretsInKeyring = false;
    bool m_simPinRefused = false;
    // The keyring's secrets by key, as read or last written.
    QHash<QString, QString> m_keyringSecrets;
    QSet<QString> m_keyringAsked; // keys asked for and not answered yet
    ConnectionValues m_values;    // what values() gave when changed() was last emitted
    QString m_lastError;
    bool m_failing = false;
};
