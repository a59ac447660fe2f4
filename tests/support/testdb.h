#pragma once

#include "pendingmessages.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

// Makes a Daten.mdb in a test folder with plain SQL, the way another tool
// would, independent of the program's own schema code.
namespace TestDb {

struct Settings
{
    QVariant comPort = 1;
    QVariant providerNummer = QStringLiteral("0800 123 456");
    QVariant initialisierungsBefehl = QStringLiteral("ATDT");
    QVariant rueckrufnummer = QStringLiteral("079 555 66 77");
};

// Creates DIR/Daten.mdb with the three tables (plus an extra field and an
// extra table, as files from other tools may have) and one settings row.
QString create(const QString &dir, const Settings &settings = Settings());

// Runs SQL with bound values on the file; fails the current test on error.
bool exec(const QString &path, const QString &sql, const QVariantList &values = {});
// First column of the first row of a query.
QVariant scalar(const QString &path, const QString &sql, const QVariantList &values = {});
// Adds a person and returns its DSNummer.
qint64 addPerson(const QString &path, const QVariant &name, const QVariant &natelNummer,
                 const QVariant &adresse = QVariant(), const QVariant &plzOrt = QVariant(),
                 const QVariant &bemerkungen = QVariant());
// Stores a queue as the program keeps it (table PendingMessages, made if
// missing), as a run that ended with messages still queued leaves it; fails
// the current test on error.
bool storePending(const QString &path, const QList<PendingMessage> &rows);

} // namespace TestDb
