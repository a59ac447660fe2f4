#include "testdb.h"

#include "storeconnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <atomic>

using namespace Qt::StringLiterals;

namespace TestDb {
namespace {

// A short-lived connection of its own, so tests never share state with the
// connections of the code under test.
template <typename Fn> auto withConnection(const QString &path, Fn fn)
{
    static std::atomic<int> counter{0};
    const QString name = u"testdb-"_s + QString::number(++counter);
    decltype(fn(std::declval<QSqlDatabase &>())) result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        if (!db.open())
            qWarning("TestDb: cannot open %s: %s", qPrintable(path),
                     qPrintable(db.lastError().text()));
        result = fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

bool exec(const QString &path, const QString &sql, const QVariantList &values)
{
    return withConnection(path, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.prepare(sql)) {
            qWarning("TestDb: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec()) {
            qWarning("TestDb: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
        return true;
    });
}

QVariant scalar(const QString &path, const QString &sql, const QVariantList &values)
{
    return withConnection(path, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            return QVariant();
        return query.value(0);
    });
}

QString create(const QString &dir, const Settings &settings)
{
    const QString path = dir + u"/Daten.mdb"_s;
    const QStringList ddl = {
        u"CREATE TABLE Einstellungen (ComPort INTEGER, ProviderNummer TEXT, "
        u"InitialisierungsBefehl TEXT, \"Rückrufnummer\" TEXT, Bemerkung TEXT)"_s,
        u"CREATE TABLE Adressen (DSNummer INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
        u"Adresse TEXT, PLZOrt TEXT, NatelNummer TEXT, Bemerkungen TEXT, Geburtstag TEXT)"_s,
        u"CREATE TABLE VersandLog (VersandDatum TEXT, VersandZeit TEXT, MobilNummer TEXT, "
        u"Nachricht TEXT, versandt TEXT)"_s,
        u"CREATE TABLE Fremd (x TEXT)"_s,
    };
    for (const QString &statement : ddl) {
        if (!exec(path, statement))
            return QString();
    }
    exec(path,
         u"INSERT INTO Einstellungen (ComPort, ProviderNummer, InitialisierungsBefehl, "
         u"\"Rückrufnummer\", Bemerkung) VALUES (?, ?, ?, ?, 'fremd')"_s,
         {settings.comPort, settings.providerNummer, settings.initialisierungsBefehl,
          settings.rueckrufnummer});
    return path;
}

qint64 addPerson(const QString &path, const QVariant &name, const QVariant &natelNummer,
                 const QVariant &adresse, const QVariant &plzOrt, const QVariant &bemerkungen)
{
    exec(path,
         u"INSERT INTO Adressen (Name, Adresse, PLZOrt, NatelNummer, Bemerkungen) "
         u"VALUES (?, ?, ?, ?, ?)"_s,
         {name, adresse, plzOrt, natelNummer, bemerkungen});
    return scalar(path, u"SELECT MAX(DSNummer) FROM Adressen"_s).toLongLong();
}

bool storePending(const QString &path, const QList<PendingMessage> &rows)
{
    StoreConnection connection(path, u"pending"_s);
    PendingMessages table(connection.database());
    if (table.prepareTable() && table.insert(rows))
        return true;
    QTest::qFail(qPrintable(table.lastError()), __FILE__, __LINE__);
    return false;
}

} // namespace TestDb
