#include "storecheck.h"

#include "schema.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString problem(const QString &path, const QString &what)
{
    return QCoreApplication::translate(
               "StoreCheck",
               "Die Datenbank \"%1\" kann nicht verwendet werden: %2\n\nDas Programm wird beendet.")
        .arg(QDir::toNativeSeparators(path), what);
}

bool hasSqliteHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArrayLiteral("SQLite format 3\0");
}

std::optional<QString> checkTables(const QString &path, QSqlDatabase db)
{
    const QStringList tables = db.tables();
    for (const Schema::Table &table : Schema::requiredTables()) {
        if (!tables.contains(table.name)) {
            return problem(path,
                           QCoreApplication::translate("StoreCheck", "Die Tabelle \"%1\" fehlt.")
                               .arg(table.name));
        }
        const QSqlRecord record = db.record(table.name);
        for (const QString &field : table.fields) {
            if (record.indexOf(field) < 0) {
                return problem(path,
                               QCoreApplication::translate(
                                   "StoreCheck", "In der Tabelle \"%1\" fehlt das Feld \"%2\".")
                                   .arg(table.name, field));
            }
        }
        // The program reads rows in the order they were added, by rowid.
        QSqlQuery probe(db);
        if (!probe.exec(u"SELECT rowid FROM "_s + Schema::quoted(table.name) + u" LIMIT 1"_s)) {
            return problem(path,
                           QCoreApplication::translate(
                               "StoreCheck", "Die Tabelle \"%1\" kann nicht gelesen werden (%2).")
                               .arg(table.name, probe.lastError().text()));
        }
    }
    QSqlQuery settings(db);
    if (!settings.exec(u"SELECT COUNT(*) FROM Einstellungen"_s) || !settings.next())
        return problem(
            path, QCoreApplication::translate(
                      "StoreCheck", "Die Tabelle \"Einstellungen\" kann nicht gelesen werden."));
    if (settings.value(0).toLongLong() < 1) {
        return problem(path, QCoreApplication::translate(
                                 "StoreCheck",
                                 "Die Tabelle \"Einstellungen\" enthält keinen Datensatz mit den "
                                 "Modemeinstellungen."));
    }
    return std::nullopt;
}

// The message for the first problem found, or nothing.
std::optional<QString> problemOf(const QString &path, StoreCheck::Depth depth)
{
    const QFileInfo info(path);
    if (!info.exists())
        return problem(
            path, QCoreApplication::translate("StoreCheck", "Die Datei wurde nicht gefunden."));
    if (!info.isFile())
        return problem(path, QCoreApplication::translate("StoreCheck",
                                                         "Es handelt sich nicht um eine Datei."));
    if (!info.isReadable())
        return problem(path, QCoreApplication::translate(
                                 "StoreCheck",
                                 "Die Datei kann nicht gelesen werden (fehlende Berechtigung)."));
    if (!hasSqliteHeader(path)) {
        return problem(path, QCoreApplication::translate(
                                 "StoreCheck",
                                 "Die Datei ist keine SQLite-Datenbank (zum Beispiel eine ältere "
                                 "Access-Datei oder eine beschädigte Datei)."));
    }
    if (!info.isWritable())
        return problem(
            path, QCoreApplication::translate("StoreCheck", "Die Datei ist schreibgeschützt."));
    if (!QFileInfo(info.absolutePath()).isWritable()) {
        // SQLite writes its journal beside the file.
        return problem(path, QCoreApplication::translate(
                                 "StoreCheck", "Im Ordner \"%1\" darf nicht geschrieben werden.")
                                 .arg(QDir::toNativeSeparators(info.absolutePath())));
    }

    {
        StoreConnection reader(path, u"storecheck-read"_s, true);
        if (!reader.isOpen())
            return problem(path, QCoreApplication::translate(
                                     "StoreCheck", "Die Datei kann nicht geöffnet werden (%1).")
                                     .arg(reader.lastError()));
        QSqlQuery integrity(reader.database());
        if (depth == StoreCheck::Depth::EveryPage &&
            (!integrity.exec(u"PRAGMA quick_check(1)"_s) || !integrity.next() ||
             integrity.value(0).toString() != u"ok"_s)) {
            const QString detail = integrity.lastError().isValid() ? integrity.lastError().text()
                                                                   : integrity.value(0).toString();
            return problem(path, QCoreApplication::translate(
                                     "StoreCheck", "Die Datei ist beschädigt oder gesperrt (%1).")
                                     .arg(detail));
        }
        if (auto failure = checkTables(path, reader.database()))
            return failure;
    }

    // Taking the write lock for a moment tells whether another program holds
    // the file; nothing is written.
    StoreConnection writer(path, u"storecheck-write"_s);
    if (!writer.isOpen())
        return problem(path, QCoreApplication::translate(
                                 "StoreCheck", "Die Datei kann nicht geöffnet werden (%1).")
                                 .arg(writer.lastError()));
    QSqlQuery lock(writer.database());
    if (!lock.exec(u"BEGIN IMMEDIATE"_s)) {
        return problem(path,
                       QCoreApplication::translate(
                           "StoreCheck", "Die Datei wird von einem anderen Programm gesperrt."));
    }
    lock.exec(u"ROLLBACK"_s);
    return std::nullopt;
}

} // namespace

StoreCheck::StoreCheck(QString path, Depth depth) : m_path(std::move(path)), m_depth(depth) {}

bool StoreCheck::run()
{
    m_lastError = problemOf(m_path, m_depth).value_or(QString());
    return m_lastError.isEmpty();
}
