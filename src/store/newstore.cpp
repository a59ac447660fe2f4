#include "newstore.h"

#include "schema.h"
#include "storeconnection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// The settings row gets the provider number unless it has one; a failure is
// the query's lastError().
bool setProviderIfEmpty(QSqlQuery &query, const QString &number)
{
    if (!query.prepare(u"UPDATE "_s + Schema::quoted(Schema::einstellungen) + u" SET "_s +
                       Schema::quoted(Schema::providerNummer) + u" = ? WHERE ifnull("_s +
                       Schema::quoted(Schema::providerNummer) + u", '') = ''"_s))
        return false;
    query.addBindValue(number);
    return query.exec();
}

} // namespace

QString NewStore::create(const QString &path, const QString &provider)
{
    const bool exists = QFileInfo::exists(path);
    QString error;
    if (!exists) {
        // Made empty first, for this user alone: SQLite would make it
        // readable for everyone, and gives its journal the file's rights.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return file.errorString();
    }
    {
        StoreConnection connection(path, u"newstore"_s);
        if (!connection.isOpen() || (!exists && !connection.createSchema())) {
            error = connection.lastError();
        } else if (!provider.isEmpty()) {
            QSqlQuery query(connection.database());
            if (!setProviderIfEmpty(query, provider))
                error = query.lastError().text();
        }
    }
    if (!error.isEmpty() && !exists)
        QFile::remove(path);
    return error;
}
