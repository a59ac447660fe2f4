#pragma once

#include <QCache>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <functional>
#include <optional>

// The rows behind a list that shows some of a table's rows by rowid, read a
// page at a time as the list asks for them, with the last pages kept. A
// window on a million rows holds their rowids and a few hundred rows, not
// the table.
template <typename Row> class RowPages
{
public:
    // Reads the rows with these rowids; nothing when the table cannot be
    // read. A rowid without a row (deleted meanwhile) is left out.
    using Read = std::function<std::optional<QHash<qint64, Row>>(const QList<qint64> &rowids)>;

    static constexpr qsizetype kPageSize = 256;

    explicit RowPages(Read read, int keptPages = 64) : m_read(std::move(read))
    {
        m_pages.setMaxCost(keptPages);
    }

    // The row at this position of `rowids`, or null when it has gone or the
    // table could not be read. Valid until the next call.
    const Row *row(const QList<qint64> &rowids, qsizetype position) const
    {
        if (position < 0 || position >= rowids.size())
            return nullptr;
        const qsizetype page = position / kPageSize;
        Page *rows = m_pages.object(page);
        // The last page read before more rows were appended to the list.
        if (rows && position % kPageSize >= rows->size()) {
            m_pages.remove(page);
            rows = nullptr;
        }
        if (!rows) {
            const QList<qint64> wanted = rowids.mid(page * kPageSize, kPageSize);
            std::optional<QHash<qint64, Row>> read = m_read(wanted);
            // A page that could not be read (the file busy a moment) is
            // asked for again the next time, not kept empty.
            if (!read)
                return nullptr;
            rows = new Page;
            rows->reserve(wanted.size());
            for (qint64 rowid : wanted) {
                if (read->contains(rowid))
                    rows->append(read->take(rowid));
                else
                    rows->append(std::nullopt);
            }
            m_pages.insert(page, rows);
        }
        const std::optional<Row> &row = rows->at(position % kPageSize);
        return row ? &*row : nullptr;
    }

    // Forgets what was read, for a list that now shows other rows.
    void clear() { m_pages.clear(); }

private:
    using Page = QList<std::optional<Row>>;
    Read m_read;
    mutable QCache<qsizetype, Page> m_pages;
};

// Runs "SELECT rowid, <columns> FROM <table> WHERE rowid IN (?, ...)" for
// these rowids; false, and the reason in *error, when the table cannot be
// read. Columns and table are the caller's fixed text; the rowids go in
// bound.
bool selectByRowid(QSqlQuery &query, const QString &columnsFromTable, const QList<qint64> &rowids,
                   QString *error);

// The same, with a row made of each result by `make(query)`, by rowid.
template <typename Row, typename Make>
std::optional<QHash<qint64, Row>>
readByRowid(const QSqlDatabase &db, const QString &columnsFromTable, const QList<qint64> &rowids,
            Make make, QString *error)
{
    QSqlQuery query(db);
    if (!selectByRowid(query, columnsFromTable, rowids, error))
        return std::nullopt;
    QHash<qint64, Row> rows;
    rows.reserve(rowids.size());
    while (query.next())
        rows.insert(query.value(0).toLongLong(), make(query));
    return rows;
}
