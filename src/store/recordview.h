#pragma once

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

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
    // Saves pending edits and makes the row with this rowid current.
    bool moveTo(qint64 rowid);
    // Saves pending edits; the first row (in table order) whose column equals
    // the value becomes current. False when none matches (view unchanged).
    bool findFirst(const QString &column, const QVariant &value);
    // Starts a new, empty record; it is stored when it is left with any
    // field filled in.
    bool addNew();
    // Deletes the current record (pending edits of it are dropped).
    bool deleteCurrent();
    // Writes the edits of the bound fields into the current record.
    bool save();

    bool hasCurrent() const { return m_rowid.has_value() || m_isNew; }
    bool isNewRecord() const { return m_isNew; }
    std::optional<qint64> currentRowId() const { return m_rowid; }
    QVariant value(const QString &column) const { return m_values.value(column); }
    bool hasRecords() const;
    QString lastError() const { return m_lastError; }
    QString table() const { return m_table; }

Q_SIGNALS:
    void currentChanged();
    // A database error the window should tell the user about.
    void failed(const QString &message);

private:
    bool loadWhere(const QString &condition, const QString &order,
                   const std::optional<QVariant> &bound);
    void setCurrent(std::optional<qint64> rowid, QHash<QString, QVariant> values, bool isNew);
    bool fail(const QString &what, const QString &sqlError);
    QString selectList() const;

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    QHash<QString, Binding> m_bindings;
    std::optional<qint64> m_rowid;
    QHash<QString, QVariant> m_values;
    bool m_isNew = false;
    QString m_lastError;
};
