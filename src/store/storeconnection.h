#pragma once

#include <QSqlDatabase>
#include <QString>

// One named SQLite connection to Daten.mdb for one purpose (one window's
// view, the send log, ...). Closed and removed again when it goes away.
class StoreConnection
{
public:
    StoreConnection(const QString &path, const QString &purpose, bool readOnly = false);
    ~StoreConnection();
    StoreConnection(const StoreConnection &) = delete;
    StoreConnection &operator=(const StoreConnection &) = delete;

    bool isOpen() const;
    QString errorText() const { return m_error; }
    QSqlDatabase database() const;

private:
    QString m_name;
    QString m_error;
};
