#include "rowpages.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

bool selectByRowid(QSqlQuery &query, const QString &columnsFromTable, const QList<qint64> &rowids,
                   QString *error)
{
    QString sql = u"SELECT rowid, "_s + columnsFromTable + u" WHERE rowid IN ("_s;
    for (qsizetype i = 0; i < rowids.size(); ++i)
        sql += i == 0 ? u"?"_s : u", ?"_s;
    sql += u')';
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        *error = query.lastError().text();
        return false;
    }
    for (qint64 rowid : rowids)
        query.addBindValue(rowid);
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    error->clear();
    return true;
}
