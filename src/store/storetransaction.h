#pragma once

#include <QSqlDatabase>
#include <QString>

// One transaction on a connection, for the length of a scope: begun by the
// constructor, rolled back by the destructor unless commit() succeeded, so
// that no early return leaves a transaction open or half a change stored.
//
//     StoreTransaction transaction(db);
//     if (!transaction.isActive())
//         return fail(transaction.error());
//     ... statements; return on failure ...
//     if (!transaction.commit())
//         return fail(transaction.error());
class StoreTransaction
{
public:
    explicit StoreTransaction(QSqlDatabase db);
    ~StoreTransaction();
    StoreTransaction(const StoreTransaction &) = delete;
    StoreTransaction &operator=(const StoreTransaction &) = delete;

    // Begun and neither committed nor rolled back yet.
    bool isActive() const { return m_active; }
    // Stores the changes; false with error() when that fails (the changes
    // are then rolled back).
    bool commit();
    // Drops the changes now rather than at the end of the scope.
    void rollback();
    // Why the transaction could not begin or commit.
    QString error() const { return m_error; }

private:
    QSqlDatabase m_db;
    bool m_active = false;
    QString m_error;
};
