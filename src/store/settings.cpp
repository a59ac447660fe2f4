#include "settings.h"

#include "nurziffern.h"
#include "schema.h"
#include "storeconnection.h"
#include "storetransaction.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

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

QString noRow()
{
    return QCoreApplication::translate("Store",
                                       "Die Tabelle \"Einstellungen\" enthält keine Zeile.");
}

} // namespace

Settings::Settings(const QString &databasePath, QObject *parent)
    : QObject(parent),
      m_connection(std::make_unique<StoreConnection>(databasePath, u"Einstellungen"_s))
{}

Settings::~Settings() = default;

qint16 Settings::toComPort(const QVariant &value)
{
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < -32768 || number > 32767)
        return 0; // names no port; the engine says so when it dials
    return qint16(number);
}

bool Settings::fail(const QString &what, const QString &reason)
{
    m_lastError = QCoreApplication::translate("Store", "%1 (Tabelle \"%2\"): %3")
                      .arg(what, Schema::einstellungen, reason);
    if (!m_failing) {
        m_failing = true;
        Q_EMIT failed(m_lastError);
    }
    return false;
}

void Settings::setRueckrufnummer(const QString &text)
{
    if (text == m_rueckrufnummer)
        m_pendingRueckrufnummer.reset();
    else
        m_pendingRueckrufnummer = text;
}

bool Settings::save()
{
    if (!m_pendingRueckrufnummer)
        return true;
    if (!m_connection->isOpen())
        return fail(saveFailed(), m_connection->errorText());
    if (!m_rowid)
        return fail(saveFailed(), noRow());
    QSqlQuery query(m_connection->database());
    if (!query.prepare(u"UPDATE "_s + Schema::quoted(Schema::einstellungen) + u" SET "_s +
                       Schema::quoted(Schema::rueckrufnummer) + u" = ? WHERE rowid = ?"_s))
        return fail(saveFailed(), query.lastError().text());
    query.addBindValue(*m_pendingRueckrufnummer);
    query.addBindValue(*m_rowid);
    if (!query.exec())
        return fail(saveFailed(), query.lastError().text());
    // No row in its place: the program never adds a settings row.
    if (query.numRowsAffected() < 1)
        return fail(saveFailed(), QCoreApplication::translate(
                                      "Store", "Der Datensatz ist nicht mehr vorhanden oder wurde "
                                               "inzwischen anders gespeichert."));
    m_rueckrufnummer = *m_pendingRueckrufnummer;
    m_pendingRueckrufnummer.reset();
    return true;
}

bool Settings::readModemRow(ModemRow *row)
{
    if (!m_connection->isOpen()) {
        m_lastError = m_connection->errorText();
        return false;
    }
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT rowid, "_s + Schema::quoted(Schema::comPort) + u", "_s +
                       Schema::quoted(Schema::providerNummer) + u", "_s +
                       Schema::quoted(Schema::initialisierungsBefehl) + u" FROM "_s +
                       Schema::quoted(Schema::einstellungen) + u" ORDER BY rowid LIMIT 1"_s) ||
        !query.exec()) {
        m_lastError = query.lastError().text();
        return false;
    }
    if (!query.next()) {
        m_modemRowid.reset();
        m_lastError = noRow();
        return false;
    }
    m_modemRowid = query.value(0).toLongLong();
    *row =
        ModemRow{query.value(1).toString(), query.value(2).toString(), query.value(3).toString()};
    return true;
}

bool Settings::saveModemRow(const ModemRow &loaded, const ModemRow &edited)
{
    const QString noLongerThere = QCoreApplication::translate(
        "Store",
        "Der Datensatz ist nicht mehr vorhanden oder wurde inzwischen anders gespeichert.");
    QStringList columns;
    QVariantList values;
    const std::tuple<QString, QString, QString> fields[] = {
        {Schema::comPort, loaded.comPort, edited.comPort},
        {Schema::providerNummer, loaded.providerNummer, edited.providerNummer},
        {Schema::initialisierungsBefehl, loaded.initialisierungsBefehl,
         edited.initialisierungsBefehl},
    };
    for (const auto &[column, before, after] : fields) {
        if (after == before)
            continue;
        columns.append(Schema::quoted(column) + u" = ?"_s);
        values.append(after);
    }
    if (columns.isEmpty())
        return true;
    if (!m_connection->isOpen()) {
        m_lastError = m_connection->errorText();
        return false;
    }
    if (!m_modemRowid) {
        m_lastError = noLongerThere;
        return false;
    }
    StoreTransaction transaction(m_connection->database());
    if (!transaction.isActive()) {
        m_lastError = transaction.error();
        return false;
    }
    QSqlQuery query(m_connection->database());
    if (!query.prepare(u"UPDATE "_s + Schema::quoted(Schema::einstellungen) + u" SET "_s +
                       columns.join(u", "_s) + u" WHERE rowid = ?"_s)) {
        m_lastError = query.lastError().text();
        return false;
    }
    for (const QVariant &value : std::as_const(values))
        query.addBindValue(value);
    query.addBindValue(*m_modemRowid);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        return false;
    }
    // A row that has vanished is not added again, and the edit is refused.
    if (query.numRowsAffected() < 1) {
        m_lastError = noLongerThere;
        return false;
    }
    if (!transaction.commit()) {
        m_lastError = transaction.error();
        return false;
    }
    m_lastError.clear();
    return true;
}

bool Settings::reload()
{
    if (!save())
        return false;
    return read();
}

bool Settings::read()
{
    if (!m_connection->isOpen())
        return fail(readFailed(), m_connection->errorText());
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT rowid, "_s + Schema::quoted(Schema::comPort) + u", "_s +
                       Schema::quoted(Schema::providerNummer) + u", "_s +
                       Schema::quoted(Schema::initialisierungsBefehl) + u", "_s +
                       Schema::quoted(Schema::rueckrufnummer) + u" FROM "_s +
                       Schema::quoted(Schema::einstellungen) + u" ORDER BY rowid LIMIT 1"_s))
        return fail(readFailed(), query.lastError().text());
    if (!query.exec())
        return fail(readFailed(), query.lastError().text());
    if (!query.next()) {
        m_rowid.reset();
        return fail(readFailed(), noRow());
    }
    m_lastError.clear();
    m_failing = false;
    m_rowid = query.value(0).toLongLong();
    const QVariant port = query.value(1);
    const qint16 comPort = toComPort(port);
    const QString comPortText = port.toString().trimmed();
    const QString providerNummer = NurZiffern(query.value(2));
    const QString initialisierungsBefehl = query.value(3).toString();
    const QString rueckrufnummer = query.value(4).toString();
    if (comPort == m_comPort && comPortText == m_comPortText &&
        providerNummer == m_providerNummer && initialisierungsBefehl == m_initialisierungsBefehl &&
        rueckrufnummer == m_rueckrufnummer)
        return true;
    m_comPort = comPort;
    m_comPortText = comPortText;
    m_providerNummer = providerNummer;
    m_initialisierungsBefehl = initialisierungsBefehl;
    m_rueckrufnummer = rueckrufnummer;
    Q_EMIT changed();
    return true;
}
