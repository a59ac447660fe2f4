#include "settings.h"
#include "testdb.h"

#include <QSignalSpy>
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
