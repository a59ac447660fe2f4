#include "connectionsettings.h"

#include "schema.h"
#include "storeconnection.h"
#include "storetransaction.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString readFailed()
{
    return QCoreApplication::translate("Store", "Lesen fehlgeschlagen");
}

QString saveFailed()
{
    return QCoreApplication::translate("Store", "Speichern fehlgeschlagen");
}

// The names of the rows.
const QString kKind = QStringLiteral("Kind");
const QString kSeveralPerCall = QStringLiteral("SeveralPerCall");
const QString kServer = QStringLiteral("Server");
const QString kTcpPort = QStringLiteral("TcpPort");
const QString kAccount = QStringLiteral("Account");
const QString kPassword = QStringLiteral("Password");
const QString kSimPin = QStringLiteral("SimPin");
const QString kSmsCentre = QStringLiteral("SmsCentre");
const QString kDeliveryReports = QStringLiteral("DeliveryReports");
const QString kSender = QStringLiteral("Sender");
const QString kKeepOpen = QStringLiteral("KeepOpen");
const QString kUcpWindow = QStringLiteral("UcpWindow");
const QString kSpoolFolder = QStringLiteral("SpoolFolder");
const QString kSystemId = QStringLiteral("SystemId");
const QString kSmppPassword = QStringLiteral("SmppPassword");
const QString kSystemType = QStringLiteral("SystemType");
const QString kUseTls = QStringLiteral("UseTls");
const QString kSmppWindow = QStringLiteral("SmppWindow");
// "1" when the SIM refused the PIN stored now (the PIN itself is not kept
// here a second time).
const QString kSimPinRefused = QStringLiteral("SimPinRefused");
// "Keyring" when the secrets live there, else they are in this table.
const QString kSecretsIn = QStringLiteral("SecretsIn");
const QString kKeyring = QStringLiteral("Keyring");

// The rows kept in the keyring where one answers.
const QString kSecrets[] = {kPassword, kSmppPassword, kSimPin};

} // namespace

ConnectionSettings::ConnectionSettings(const QString &databasePath, SecretStore *secrets,
                                       QObject *parent)
    : QObject(parent), m_databasePath(QFileInfo(databasePath).absoluteFilePath()),
      m_connection(std::make_unique<StoreConnection>(databasePath, u"ConnectionSettings"_s)),
      m_secrets(secrets)
{
    if (!m_secrets) {
        m_keyring = Keyring::Missing;
        return;
    }
    connect(m_secrets, &SecretStore::readDone, this, &ConnectionSettings::onReadDone);
    connect(m_secrets, &SecretStore::writeDone, this, &ConnectionSettings::onWriteDone);
    // Asking for the secrets at once tells whether a keyring answers, and
    // has them ready before the first connection needs them.
    for (const QString &name : kSecrets)
        askKeyring(name);
}

void ConnectionSettings::askKeyring(const QString &name)
{
    const QString key = secretKey(name);
    if (m_keyringAsked.contains(key))
        return;
    m_keyringAsked.insert(key);
    m_secrets->read(key);
}

bool ConnectionSettings::secretUnreadable(const QString &name) const
{
    return m_secretsInKeyring && !m_keyringSecrets.contains(secretKey(name));
}

bool ConnectionSettings::passwordUnreadable() const
{
    return secretUnreadable(kPassword);
}

bool ConnectionSettings::smppPasswordUnreadable() const
{
    return secretUnreadable(kSmppPassword);
}

bool ConnectionSettings::simPinUnreadable() const
{
    return secretUnreadable(kSimPin);
}

ConnectionSettings::~ConnectionSettings() = default;

QString ConnectionSettings::kindName(ConnectionKind kind)
{
    switch (kind) {
    case ConnectionKind::DialUp:
        break;
    case ConnectionKind::Tcp:
        return u"Tcp"_s;
    case ConnectionKind::Gsm:
        return u"Gsm"_s;
    case ConnectionKind::Smpp:
        return u"Smpp"_s;
    }
    return u"DialUp"_s;
}

ConnectionKind ConnectionSettings::kindFromName(const QString &name)
{
    if (name == kindName(ConnectionKind::Tcp))
        return ConnectionKind::Tcp;
    if (name == kindName(ConnectionKind::Gsm))
        return ConnectionKind::Gsm;
    if (name == kindName(ConnectionKind::Smpp))
        return ConnectionKind::Smpp;
    return ConnectionKind::DialUp; // also for a value of a later version
}

QString ConnectionSettings::secretKey(const QString &name) const
{
    // One entry per data file, so that two folders keep their own.
    return m_databasePath + u':' + name;
}

ConnectionValues ConnectionSettings::values() const
{
    ConnectionValues values = m_stored;
    if (m_secretsInKeyring) {
        values.password = m_keyringSecrets.value(secretKey(kPassword));
        values.smppPassword = m_keyringSecrets.value(secretKey(kSmppPassword));
        values.simPin = m_keyringSecrets.value(secretKey(kSimPin));
    }
    return values;
}

void ConnectionSettings::setValues(const ConnectionValues &values)
{
    if (values == m_values)
        return;
    m_values = values;
    Q_EMIT changed();
}

void ConnectionSettings::setKeyring(Keyring keyring)
{
    if (keyring == m_keyring)
        return;
    m_keyring = keyring;
    Q_EMIT keyringChanged();
}

bool ConnectionSettings::fail(const QString &what, const QString &reason)
{
    m_lastError = QCoreApplication::translate("Store", "%1 (Tabelle \"%2\"): %3")
                      .arg(what, Schema::connectionSettings, reason);
    return false;
}

bool ConnectionSettings::fileHoldsSecrets(const QString &databasePath)
{
    const StoreConnection connection(databasePath, u"secrets-check"_s, true);
    if (!connection.isOpen())
        return false;
    QSqlDatabase db = connection.database();
    if (!db.tables().contains(Schema::connectionSettings, Qt::CaseInsensitive))
        return false;
    QSqlQuery query(db);
    if (!query.prepare(u"SELECT COUNT(*) FROM "_s + Schema::quoted(Schema::connectionSettings) +
                       u" WHERE "_s + Schema::quoted(Schema::settingName) +
                       u" IN (?, ?, ?) AND ifnull("_s + Schema::quoted(Schema::settingValue) +
                       u", '') <> ''"_s))
        return false;
    for (const QString &name : kSecrets)
        query.addBindValue(name);
    return query.exec() && query.next() && query.value(0).toInt() > 0;
}

bool ConnectionSettings::reload()
{
    if (!read()) {
        // Told once, until the table reads well again: each activation of
        // the main window reloads. A file that cannot be opened at all is
        // told by the settings row already.
        if (!m_failing && m_connection->isOpen()) {
            m_failing = true;
            Q_EMIT failed(m_lastError);
        }
        return false;
    }
    m_failing = false;
    // A keyring that was locked or not running may answer now.
    for (const QString &name : kSecrets) {
        if (m_secrets && secretUnreadable(name))
            askKeyring(name);
    }
    setValues(values());
    return true;
}

bool ConnectionSettings::read()
{
    if (!m_connection->isOpen())
        return fail(readFailed(), m_connection->lastError());
    QSqlDatabase db = m_connection->database();
    // A file without the table: the values the program had before there
    // were connection settings.
    const QStringList tables = db.tables(QSql::Tables) + db.tables(QSql::Views);
    if (!tables.contains(Schema::connectionSettings, Qt::CaseInsensitive)) {
        m_stored = ConnectionValues();
        m_secretsInKeyring = false;
        m_simPinRefused = false;
        m_lastError.clear();
        return true;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT "_s + Schema::quoted(Schema::settingName) + u", "_s +
                       Schema::quoted(Schema::settingValue) + u" FROM "_s +
                       Schema::quoted(Schema::connectionSettings)))
        return fail(readFailed(), query.lastError().text());
    if (!query.exec())
        return fail(readFailed(), query.lastError().text());
    QHash<QString, QString> rows;
    while (query.next())
        rows.insert(query.value(0).toString(), query.value(1).toString());
    if (query.lastError().isValid())
        return fail(readFailed(), query.lastError().text());

    ConnectionValues stored;
    stored.kind = kindFromName(rows.value(kKind));
    stored.severalPerCall = rows.value(kSeveralPerCall) == u"1"_s;
    stored.server = rows.value(kServer);
    bool portOk = false;
    const int port = rows.value(kTcpPort).toInt(&portOk);
    stored.tcpPort = portOk && port > 0 && port <= 65535 ? port : 0;
    stored.account = rows.value(kAccount);
    stored.password = rows.value(kPassword);
    stored.simPin = rows.value(kSimPin);
    stored.smsCentre = rows.value(kSmsCentre);
    // Boxes that are on unless saved off: a file of an earlier version asks
    // for reports and keeps the session open.
    stored.deliveryReports = rows.value(kDeliveryReports) != u"0"_s;
    stored.sender = rows.value(kSender);
    stored.keepOpen = rows.value(kKeepOpen) != u"0"_s;
    stored.ucpWindow = std::clamp(rows.value(kUcpWindow).toInt(), 1, maxUcpWindow);
    stored.spoolFolder = rows.value(kSpoolFolder);
    stored.systemId = rows.value(kSystemId);
    stored.smppPassword = rows.value(kSmppPassword);
    stored.systemType = rows.value(kSystemType);
    stored.useTls = rows.value(kUseTls) == u"1"_s;
    // Saved before SMPP existed: the usual window of ten.
    bool windowOk = false;
    const int window = rows.value(kSmppWindow).toInt(&windowOk);
    stored.smppWindow = windowOk ? std::clamp(window, 1, maxSmppWindow) : defaultSmppWindow;
    m_stored = stored;
    m_secretsInKeyring = rows.value(kSecretsIn) == kKeyring;
    m_simPinRefused = rows.value(kSimPinRefused) == u"1"_s;
    m_lastError.clear();
    return true;
}

bool ConnectionSettings::save(const ConnectionValues &values)
{
    const bool toKeyring = m_keyring == Keyring::Available;
    if (!write(values, !toKeyring))
        return false;
    if (toKeyring) {
        // Known at once, so the next connection has them while the keyring
        // still stores them.
        const QList<std::pair<QString, QString>> secrets = {{kPassword, values.password},
                                                            {kSmppPassword, values.smppPassword},
                                                            {kSimPin, values.simPin}};
        for (const auto &[name, value] : secrets) {
            const QString key = secretKey(name);
            m_keyringSecrets.insert(key, value);
            if (value.isEmpty())
                m_secrets->remove(key);
            else
                m_secrets->write(key, value);
        }
    }
    setValues(this->values());
    return true;
}

bool ConnectionSettings::write(const ConnectionValues &values, bool secretsInTable)
{
    // A PIN the SIM refused is not sent again until the user enters
    // another one: only a new PIN clears the mark.
    const bool newPin = values.simPin != this->values().simPin;
    QList<std::pair<QString, QString>> rows = {
        {kKind, kindName(values.kind)},
        {kSeveralPerCall, values.severalPerCall ? u"1"_s : u"0"_s},
        {kServer, values.server},
        {kTcpPort, values.tcpPort > 0 ? QString::number(values.tcpPort) : QString()},
        {kAccount, values.account},
        {kPassword, secretsInTable ? values.password : QString()},
        {kSimPin, secretsInTable ? values.simPin : QString()},
        {kSmsCentre, values.smsCentre},
        {kDeliveryReports, values.deliveryReports ? u"1"_s : u"0"_s},
        {kSender, values.sender},
        {kKeepOpen, values.keepOpen ? u"1"_s : u"0"_s},
        {kUcpWindow, QString::number(std::clamp(values.ucpWindow, 1, maxUcpWindow))},
        {kSpoolFolder, values.spoolFolder},
        {kSystemId, values.systemId},
        {kSmppPassword, secretsInTable ? values.smppPassword : QString()},
        {kSystemType, values.systemType},
        {kUseTls, values.useTls ? u"1"_s : u"0"_s},
        {kSmppWindow, QString::number(std::clamp(values.smppWindow, 1, maxSmppWindow))},
        {kSecretsIn, secretsInTable ? u"Table"_s : kKeyring},
    };
    if (newPin)
        rows.append({kSimPinRefused, QString()});
    if (!writeRows(rows))
        return false;
    m_stored = values;
    m_secretsInKeyring = !secretsInTable;
    if (m_secretsInKeyring) {
        m_stored.password.clear();
        m_stored.smppPassword.clear();
        m_stored.simPin.clear();
    }
    if (newPin)
        m_simPinRefused = false;
    return true;
}

bool ConnectionSettings::setSimPinRefused(const QString &pin)
{
    // The user may have entered another PIN while the SIM answered.
    if (m_simPinRefused || pin.trimmed() != values().simPin.trimmed())
        return true;
    if (!writeRows({{kSimPinRefused, u"1"_s}})) {
        Q_EMIT failed(m_lastError);
        return false;
    }
    m_simPinRefused = true;
    return true;
}

bool ConnectionSettings::writeRows(const QList<std::pair<QString, QString>> &rows)
{
    if (!m_connection->isOpen())
        return fail(saveFailed(), m_connection->lastError());
    QSqlDatabase db = m_connection->database();
    StoreTransaction transaction(db);
    if (!transaction.isActive())
        return fail(saveFailed(), transaction.error());
    // Whatever fails below is rolled back as the transaction goes out of
    // scope.
    auto rollBack = [this](const QString &reason) { return fail(saveFailed(), reason); };
    QSqlQuery query(db);
    if (!query.prepare(u"CREATE TABLE IF NOT EXISTS "_s +
                       Schema::quoted(Schema::connectionSettings) + u" ("_s +
                       Schema::quoted(Schema::settingName) + u" TEXT PRIMARY KEY, "_s +
                       Schema::quoted(Schema::settingValue) + u" TEXT)"_s) ||
        !query.exec())
        return rollBack(query.lastError().text());
    if (!query.prepare(u"INSERT OR REPLACE INTO "_s + Schema::quoted(Schema::connectionSettings) +
                       u" ("_s + Schema::quoted(Schema::settingName) + u", "_s +
                       Schema::quoted(Schema::settingValue) + u") VALUES (?, ?)"_s))
        return rollBack(query.lastError().text());
    for (const auto &[name, value] : rows) {
        query.bindValue(0, name);
        query.bindValue(1, value);
        if (!query.exec())
            return rollBack(query.lastError().text());
    }
    if (!transaction.commit())
        return rollBack(transaction.error());
    m_lastError.clear();
    return true;
}

void ConnectionSettings::onReadDone(const QString &key, SecretStore::Outcome outcome,
                                    const QString &value)
{
    m_keyringAsked.remove(key);
    if (outcome == SecretStore::Outcome::NoKeyring) {
        setKeyring(Keyring::Missing);
        return;
    }
    setKeyring(Keyring::Available);
    // A secret written since the question went out is newer than its answer.
    if (!m_keyringSecrets.contains(key))
        m_keyringSecrets.insert(key, value);
    setValues(values());
}

void ConnectionSettings::onWriteDone(const QString &key, SecretStore::Outcome outcome)
{
    Q_UNUSED(key)
    // After the first refusal the secrets are in the table already.
    if (outcome != SecretStore::Outcome::NoKeyring || !m_secretsInKeyring)
        return;
    // The keyring has gone away or refused: keep the secrets in the table
    // instead, so that nothing is lost.
    setKeyring(Keyring::Missing);
    if (!write(values(), true)) {
        Q_EMIT failed(tr("Das Passwort konnte weder im Schlüsselbund noch in Daten.mdb "
                         "gespeichert werden:\n") +
                      m_lastError);
        return;
    }
    Q_EMIT failed(tr("Der Schlüsselbund hat das Passwort nicht angenommen; es wird in "
                     "Daten.mdb gespeichert."));
}
