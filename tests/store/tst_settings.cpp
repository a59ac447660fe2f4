#include "settings.h"
#include "storeconnection.h"
#include "storetransaction.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString rueckrufnummer(const QString &path)
{
    return TestDb::scalar(path, u"SELECT \"Rückrufnummer\" FROM Einstellungen"_s).toString();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = TestDb::create(m_dir->path());
        m_settings = std::make_unique<Settings>(m_path);
    }
    void cleanup()
    {
        m_settings.reset();
        m_dir.reset();
    }

    void comPort_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << QVariant(3) << 3 << u"3"_s;
        QTest::newRow("text digits") << QVariant(u" 4 "_s) << 4 << u"4"_s;
        QTest::newRow("text") << QVariant(u"COM1"_s) << 0 << u"COM1"_s;
        QTest::newRow("null") << QVariant() << 0 << QString();
        QTest::newRow("largest") << QVariant(32767) << 32767 << u"32767"_s;
        QTest::newRow("fits 16 bits unsigned only") << QVariant(40000) << 0 << u"40000"_s;
        QTest::newRow("too large") << QVariant(70000) << 0 << u"70000"_s;
    }
    void comPort()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, port);
        QFETCH(QString, text);
        QCOMPARE(Settings::toComPort(stored), qint16(port));
        QVERIFY(TestDb::exec(m_path, u"UPDATE Einstellungen SET ComPort = ?"_s, {stored}));
        QVERIFY(m_settings->reload());
        QCOMPARE(m_settings->comPort(), qint16(port));
        QCOMPARE(m_settings->comPortText(), text);
    }

    void reloadReadsTheStoredRow()
    {
        QSignalSpy changed(m_settings.get(), &Settings::changed);
        QVERIFY(changed.isValid());
        QVERIFY(m_settings->reload());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(m_settings->providerNummer(), u"0800123456"_s);
        QCOMPARE(m_settings->initialisierungsBefehl(), u"ATDT"_s);
        QCOMPARE(m_settings->rueckrufnummer(), u"079 555 66 77"_s);
        // The provider's number is kept as its digits only.
        QVERIFY(TestDb::exec(m_path, u"UPDATE Einstellungen SET ProviderNummer = ?"_s,
                             {u"0800-123/456"_s}));
        QVERIFY(m_settings->reload());
        QCOMPARE(changed.count(), 1); // the same digits written otherwise
        QCOMPARE(m_settings->providerNummer(), u"0800123456"_s);
        QVERIFY(
            TestDb::exec(m_path, u"UPDATE Einstellungen SET InitialisierungsBefehl = 'ATX3DT'"_s));
        QCOMPARE(m_settings->initialisierungsBefehl(), u"ATDT"_s); // until reloaded
        QVERIFY(m_settings->reload());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(m_settings->initialisierungsBefehl(), u"ATX3DT"_s);
    }

    void callBackNumberStoredWhenEdited()
    {
        QVERIFY(m_settings->reload());
        m_settings->setRueckrufnummer(u"078 111 22 33"_s);
        QCOMPARE(rueckrufnummer(m_path), u"079 555 66 77"_s); // not before the reload
        QVERIFY(m_settings->reload());
        QCOMPARE(rueckrufnummer(m_path), u"078 111 22 33"_s);
        QCOMPARE(m_settings->rueckrufnummer(), u"078 111 22 33"_s);
        // Other fields of the row stay as they are, the foreign one too.
        QCOMPARE(TestDb::scalar(m_path, u"SELECT Bemerkung FROM Einstellungen"_s),
                 QVariant(u"fremd"_s));
        // Unchanged, nothing is written: a value stored meanwhile is read.
        QVERIFY(TestDb::exec(m_path, u"UPDATE Einstellungen SET \"Rückrufnummer\" = '077'"_s));
        m_settings->setRueckrufnummer(u"078 111 22 33"_s);
        QVERIFY(m_settings->save());
        QVERIFY(m_settings->reload());
        QCOMPARE(m_settings->rueckrufnummer(), u"077"_s);
    }

    void vanishedRowIsAFailure_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("restore");
        QTest::newRow("row deleted")
            << u"DELETE FROM Einstellungen"_s
            << u"INSERT INTO Einstellungen (ComPort, ProviderNummer, InitialisierungsBefehl) "
               u"VALUES (2, '0900', 'ATDP')"_s;
        QTest::newRow("table renamed") << u"ALTER TABLE Einstellungen RENAME TO Alt"_s
                                       << u"ALTER TABLE Alt RENAME TO Einstellungen"_s;
    }
    void vanishedRowIsAFailure()
    {
        QFETCH(QString, sql);
        QFETCH(QString, restore);
        QVERIFY(m_settings->reload());
        QVERIFY(TestDb::exec(m_path, sql));
        QSignalSpy failed(m_settings.get(), &Settings::failed);
        m_settings->setRueckrufnummer(u"078 2"_s);
        QVERIFY(!m_settings->reload());
        QVERIFY(!m_settings->save());
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.constFirst().constFirst().toString().startsWith(
            u"Speichern fehlgeschlagen (Tabelle \"Einstellungen\")"_s));
        QVERIFY(m_settings->lastError().startsWith(u"Speichern fehlgeschlagen"_s));
        // The engine keeps dialling with the values read before.
        QCOMPARE(m_settings->providerNummer(), u"0800123456"_s);
        QCOMPARE(m_settings->comPort(), qint16(1));
        // No row is made up in place of the vanished one.
        QVERIFY(TestDb::exec(m_path, restore));
        QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Einstellungen"_s).toInt(), 1);
    }

    void failureToldOnceUntilReadWell()
    {
        QVERIFY(m_settings->reload());
        QSignalSpy failed(m_settings.get(), &Settings::failed);
        QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Einstellungen RENAME TO Alt"_s));
        m_settings->setRueckrufnummer(u"078"_s);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!m_settings->reload());
            QVERIFY(!m_settings->save());
        }
        QCOMPARE(failed.count(), 1);
        QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Alt RENAME TO Einstellungen"_s));
        QVERIFY(m_settings->reload());
        QCOMPARE(m_settings->lastError(), QString());
        QCOMPARE(rueckrufnummer(m_path), u"078"_s); // the edit waited for the row
        // A new failure after a good read is told again.
        QVERIFY(TestDb::exec(m_path, u"DELETE FROM Einstellungen"_s));
        QVERIFY(!m_settings->reload());
        QCOMPARE(failed.count(), 2);
        QVERIFY(failed.constLast().constFirst().toString().contains(u"keine Zeile"_s));
    }

    // The modem values as the configuration window edits them: only what
    // was changed is written, into the row read, and never into a new one.
    void modemRow_data()
    {
        // Done by another program after the row was read.
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("error"); // empty: saved
        QTest::newRow("saved") << QString() << QString();
        QTest::newRow("row deleted")
            << u"DELETE FROM Einstellungen"_s << u"Der Datensatz ist nicht mehr vorhanden"_s;
        QTest::newRow("table renamed")
            << u"ALTER TABLE Einstellungen RENAME TO Alt"_s << u"no such table"_s;
        QTest::newRow("locked") << u"locked"_s << u"locked"_s;
    }
    void modemRow()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, error);
        QVERIFY(TestDb::exec(m_path, u"UPDATE Einstellungen SET InitialisierungsBefehl = NULL"_s));
        Settings::ModemRow loaded;
        QVERIFY(m_settings->readModemRow(&loaded));
        QCOMPARE(loaded, (Settings::ModemRow{u"1"_s, u"0800 123 456"_s, QString()}));
        // Another program writing: it holds the file until it commits.
        StoreConnection other(m_path, u"other"_s);
        std::optional<StoreTransaction> holding;
        if (meanwhile == u"locked"_s) {
            holding.emplace(other.database());
            QSqlQuery query(other.database());
            QVERIFY(query.exec(u"UPDATE Einstellungen SET \"Rückrufnummer\" = '1'"_s));
        } else if (!meanwhile.isEmpty()) {
            QVERIFY(TestDb::exec(m_path, meanwhile));
        }
        Settings::ModemRow edited = loaded;
        edited.comPort = u"4"_s;
        QCOMPARE(m_settings->saveModemRow(loaded, edited), error.isEmpty());
        QVERIFY2(m_settings->lastError().contains(error), qPrintable(m_settings->lastError()));
        holding.reset(); // rolled back
        if (meanwhile.startsWith(u"ALTER"_s))
            QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Alt RENAME TO Einstellungen"_s));
        const int rows = TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Einstellungen"_s).toInt();
        QCOMPARE(rows, meanwhile.startsWith(u"DELETE"_s) ? 0 : 1);
        if (rows == 1) {
            QCOMPARE(TestDb::scalar(m_path, u"SELECT ComPort FROM Einstellungen"_s).toInt(),
                     error.isEmpty() ? 4 : 1);
            // A value not edited stays as it was, NULL too.
            QVERIFY(TestDb::scalar(m_path, u"SELECT InitialisierungsBefehl FROM Einstellungen"_s)
                        .isNull());
        }
        // The values the engine dials with are only changed by reload().
        QCOMPARE(m_settings->comPort(), qint16(0));
    }

    // The guard of a transaction: what it stores, what it drops, and that a
    // failure to begin or commit is told and leaves nothing open.
    void transaction_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("stored");
        QTest::newRow("commit") << u"commit"_s << true;
        QTest::newRow("scope left") << u"leave"_s << false;
        QTest::newRow("rolled back") << u"rollback"_s << false;
        QTest::newRow("begin fails") << u"nested"_s << false;
        QTest::newRow("commit fails") << u"reader"_s << false;
    }
    void transaction()
    {
        QFETCH(QString, how);
        QFETCH(bool, stored);
        StoreConnection connection(m_path, u"guard"_s);
        QSqlDatabase db = connection.database();
        // A reader in the middle of a statement keeps a commit from
        // writing the file (SQLite's shared lock).
        StoreConnection reader(m_path, u"reader"_s);
        QSqlQuery reading(reader.database());
        if (how == u"reader"_s)
            QVERIFY(reading.exec(u"SELECT * FROM Einstellungen UNION ALL SELECT * FROM "
                                 u"Einstellungen"_s) &&
                    reading.next());
        std::optional<StoreTransaction> outer;
        if (how == u"nested"_s)
            outer.emplace(db);
        {
            StoreTransaction transaction(db);
            QCOMPARE(transaction.isActive(), how != u"nested"_s);
            QCOMPARE(transaction.error().isEmpty(), how != u"nested"_s);
            QSqlQuery query(db);
            QVERIFY(query.exec(u"UPDATE Einstellungen SET ProviderNummer = '0900'"_s));
            if (how == u"commit"_s || how == u"reader"_s) {
                QCOMPARE(transaction.commit(), stored);
                QCOMPARE(transaction.error().isEmpty(), stored);
            }
            if (how == u"rollback"_s)
                transaction.rollback();
            QCOMPARE(transaction.isActive(), how == u"leave"_s);
        }
        // A guard that did not begin leaves the transaction it met alone.
        if (outer) {
            QVERIFY(outer->isActive());
            outer.reset();
        }
        reading.finish();
        // Nothing is left open on the connection: it sees what the file holds.
        QVERIFY(StoreTransaction(db).isActive());
        QSqlQuery query(db);
        QVERIFY(query.exec(u"SELECT ProviderNummer FROM Einstellungen"_s) && query.next());
        QCOMPARE(query.value(0).toString(), stored ? u"0900"_s : u"0800 123 456"_s);
        QCOMPARE(TestDb::scalar(m_path, u"SELECT ProviderNummer FROM Einstellungen"_s).toString(),
                 stored ? u"0900"_s : u"0800 123 456"_s);
    }

    void unreadableFile()
    {
        Settings settings(m_dir->path() + u"/fehlt/Daten.mdb"_s);
        QSignalSpy failed(&settings, &Settings::failed);
        QVERIFY(!settings.reload());
        QCOMPARE(failed.count(), 1);
        QVERIFY(settings.lastError().startsWith(u"Lesen fehlgeschlagen"_s));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<Settings> m_settings;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
