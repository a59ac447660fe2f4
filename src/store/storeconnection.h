#pragma once

#include <QSqlDatabase>
#include <QString>

// One named SQLite connection to Daten.mdb for one purpose (one window's
// view, the send log, ...). Closed and removed again when it goes away.
//
// Every store operation reports the same way: it returns false (or what it
// read) and leaves the reason in lastError() of the object that ran it,
// which is empty again after the next success.
class StoreConnection
{
public:
    StoreConnection(const QString &path, const QString &purpose, bool readOnly = false);
    ~StoreConnection();
    StoreConnection(const StoreConnection &) = delete;
    StoreConnection &operator=(const StoreConnection &) = delete;

    bool isOpen() const;
    QString lastError() const { return m_error; }
    // The former name of lastError(), still called by the archive and the
    // configuration window.
    QString errorText() const { return m_error; }
    QSqlDatabase database() const;

    // Creates the three tables and the settings row with default values, in
    // one transaction (a new Daten.mdb).
    bool createSchema();

private:
    bool fail(const QString &error);

    QString m_name;
    QString m_error;
};
