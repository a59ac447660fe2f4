#include "storeconnection.h"
#include "storetransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <atomic>

using namespace Qt::StringLiterals;

StoreConnection::StoreConnection(const QString &path, const QString &purpose, bool readOnly)
{
    static std::atomic<int> counter{0};
    m_name = purpose + u'#' + QString::number(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    db.setDatabaseName(path);
    // Another program holding the file gets half a second, not a frozen window.
    QString options = u"QSQLITE_BUSY_TIMEOUT=500"_s;
    if (readOnly)
        options += u";QSQLITE_OPEN_READONLY"_s;
    db.setConnectOptions(options);
    if (!db.open())
        m_error = db.lastError().text();
}

StoreConnection::~StoreConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool StoreConnection::isOpen() const
{
    return QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase StoreConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool StoreConnection::fail(const QString &error)
{
    m_error = error;
    return false;
}

bool StoreConnection::createSchema()
{
    // The date and time of a log row are stored as ISO text
    // (yyyy-MM-dd, HH:mm:ss), which sorts and reads back unambiguously.
    const QStringList statements = {
        u"CREATE TABLE Einstellungen (ComPort INTEGER, ProviderNummer TEXT, "
        u"InitialisierungsBefehl TEXT, \"Rückrufnummer\" TEXT)"_s,
        u"CREATE TABLE Adressen (DSNummer INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, "
        u"Adresse TEXT, PLZOrt TEXT, NatelNummer TEXT, Bemerkungen TEXT)"_s,
        u"CREATE TABLE VersandLog (VersandDatum TEXT, VersandZeit TEXT, MobilNummer TEXT, "
        u"Nachricht TEXT, versandt TEXT)"_s,
    };
    QSqlDatabase db = database();
    StoreTransaction transaction(db);
    if (!transaction.isActive())
        return fail(transaction.error());
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.prepare(statement) || !query.exec())
            return fail(query.lastError().text());
    }
    if (!query.prepare(u"INSERT INTO Einstellungen (ComPort, ProviderNummer, "
                       u"InitialisierungsBefehl, \"Rückrufnummer\") VALUES (?, ?, ?, ?)"_s))
        return fail(query.lastError().text());
    query.addBindValue(1);
    query.addBindValue(QString());
    query.addBindValue(u"ATDT"_s);
    query.addBindValue(QString());
    if (!query.exec())
        return fail(query.lastError().text());
    if (!transaction.commit())
        return fail(transaction.error());
    m_error.clear();
    return true;
}
