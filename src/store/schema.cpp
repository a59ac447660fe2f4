#include "schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Schema {

QList<Table> requiredTables()
{
    return {
        {einstellungen, {comPort, providerNummer, initialisierungsBefehl, rueckrufnummer}},
        {adressen, {dsNummer, name, adresse, plzOrt, natelNummer, bemerkungen}},
        {versandLog, {versandDatum, versandZeit, mobilNummer, nachricht, versandt}},
    };
}

QString quoted(const QString &identifier)
{
    QString inner = identifier;
    inner.replace(u'"', u"\"\""_qs);
    return u'"' + inner + u'"';
}

bool createSchema(QSqlDatabase db, QString *error)
{
    // The date and time of a log row are stored as ISO text
    // (yyyy-MM-dd, HH:mm:ss), which sorts and reads back unambiguously.
    const QStringList statements = {
        u"CREATE TABLE Einstellungen (ComPort INTEGER, ProviderNummer TEXT, "
        u"InitialisierungsBefehl TEXT, \"Rückrufnummer\" TEXT)"_qs,
        u"CREATE TABLE Adressen (DSNummer INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
        u"Adresse TEXT, PLZOrt TEXT, NatelNummer TEXT, Bemerkungen TEXT)"_qs,
        u"CREATE TABLE VersandLog (VersandDatum TEXT, VersandZeit TEXT, MobilNummer TEXT, "
        u"Nachricht TEXT, versandt TEXT)"_qs,
    };
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            *error = query.lastError().text();
            db.rollback();
            return false;
        }
    }
    query.prepare(u"INSERT INTO Einstellungen (ComPort, ProviderNummer, InitialisierungsBefehl, "
                  u"\"Rückrufnummer\") VALUES (?, ?, ?, ?)"_qs);
    query.addBindValue(1);
    query.addBindValue(QString());
    query.addBindValue(u"ATDT"_qs);
    query.addBindValue(QString());
    if (!query.exec()) {
        *error = query.lastError().text();
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace Schema
