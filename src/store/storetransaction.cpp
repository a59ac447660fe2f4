#include "storetransaction.h"

#include <QSqlError>

StoreTransaction::StoreTransaction(QSqlDatabase db) : m_db(std::move(db))
{
    m_active = m_db.transaction();
    if (!m_active)
        m_error = m_db.lastError().text();
}

StoreTransaction::~StoreTransaction()
{
    rollback();
}

bool StoreTransaction::commit()
{
    if (!m_active)
        return false;
    if (m_db.commit()) {
        m_active = false;
        return true;
    }
    m_error = m_db.lastError().text();
    rollback();
    return false;
}

void StoreTransaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_db.rollback();
}
