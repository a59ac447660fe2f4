#include "schema.h"

using namespace Qt::StringLiterals;

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
    inner.replace(u'"', u"\"\""_s);
    return u'"' + inner + u'"';
}

} // namespace Schema
