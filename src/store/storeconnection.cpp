#include "storeconnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

StoreConnection::StoreConnection(const QString &path, const QString &purpose, bool readOnly)
{
    static std::atomic<int> counter{0};
    m_name = purpose + u'#' + QString::number(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, m_name);
    db.setDatabaseName(path);
    // Another program holding the file gets half a second, not a frozen window.
    QString options = u"QSQLITE_BUSY_TIMEOUT=500"_qs;
    if (readOnly)
        options += u";QSQLITE_OPEN_READONLY"_qs;
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
