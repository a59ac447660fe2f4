#pragma once

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class QSqlQuery;

// A window's own view on one table of Daten.mdb: it has a current record,
// walks the rows in the order they were added, and carries the edits of
// bound fields back into the table. An edit is saved before the view moves
// to another record, starts a new one, re-reads the table, deletes, or
// closes; there is no other way the windows store a change.
class RecordView : public QObject
{
    Q_OBJECT

public:
    RecordView(QSqlDatabase db, QString table, QStringList columns, QObject *parent = nullptr);
    ~RecordView() override;

    // The column that identifies a record (Adressen: DSNummer). moveToKey
    // finds records by it, and a record is changed or deleted only while it
    // still holds the key it was read with. Without one, rows are named by
    // their place in the table alone.
    void setKeyColumn(const QString &column);
    // Whether the view may add rows (the address book may; the settings row
    // is never added by the program, so a view on Einstellungen may not).
    // A new row gets the largest key + 1 when the table does not assign its
    // key itself.
    void setAddsRecords(bool adds);

    // A bound field: the view asks it for its text before saving, and tells
    // it to show the current value whenever the current record changes.
    struct Binding
    {
        std::function<QString()> text;
        std::function<void(const QVariant &)> show;
    };
    void bind(const QString &column, Binding binding);

    // Saves pending edits, re-reads the table and makes the first row current.
    bool refresh();
    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();
    // Saves pending edits and makes the first row (in table order) with this
    // value in the key column current. False when there is none.
    bool moveToKey(qint64 key);
    // Saves pending edits; the first row (in table order) whose column equals
    // the value becomes current. False when none matches (view unchanged).
    bool findFirst(const QString &column, const QVariant &value);
    // Starts a new, empty record; it is stored when it is left with any
    // field filled in. False for a view that adds no records.
    bool addNew();
    // Deletes the current record (pending edits of it are dropped).
    bool deleteCurrent();
    // Writes the edits of the bound fields into the current record. Fails
    // (and says so) when that record is no longer there as it was read, and
    // when there is no record and the view adds none: nothing is written
    // anywhere else then.
    bool save();

    bool hasCurrent() const { return m_rowid.has_value() || m_isNew; }
    std::optional<qint64> currentRowId() const { return m_rowid; }
    // The key column's value of the current record (null without one).
    QVariant currentKey() const { return m_key; }
    QVariant value(const QString &column) const { return m_values.value(column); }
    bool hasRecords() const;
    QString lastError() const { return m_lastError; }
    QString table() const { return m_table; }

Q_SIGNALS:
    // A database error the window should tell the user about.
    void failed(const QString &message);

private:
    bool loadWhere(const QString &condition, const QString &order,
                   const std::optional<QVariant> &bound);
    void setCurrent(std::optional<qint64> rowid, QVariant key, QHash<QString, QVariant> values,
                    bool isNew);
    bool fail(const QString &what, const QString &sqlError);
    QString selectList() const;
    // The condition that names the current row, for its UPDATE and DELETE.
    QString currentRowCondition() const;
    void bindCurrentRow(QSqlQuery &query) const;
    bool insert(const QStringList &columns, const QVariantList &values);
    bool assignKey(qint64 rowid);

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    QHash<QString, Binding> m_bindings;
    QString m_keyColumn;
    bool m_addsRecords = false;
    std::optional<qint64> m_rowid;
    QVariant m_key;
    QHash<QString, QVariant> m_values;
    bool m_isNew = false;
    QString m_lastError;
};
