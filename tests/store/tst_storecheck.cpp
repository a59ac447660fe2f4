#include "schema.h"
#include "storecheck.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

struct Fingerprint
{
    bool exists = false;
    QByteArray hash;
    QDateTime modified;
    bool operator==(const Fingerprint &) const = default;
};

Fingerprint fingerprint(const QString &path)
{
    Fingerprint f;
    QFile file(path);
    f.exists = file.exists();
    if (file.open(QIODevice::ReadOnly))
        f.hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    f.modified = QFileInfo(path).lastModified();
    return f;
}

} // namespace

class TestStoreCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goodFileFromAnotherTool()
    {
        // Made with plain SQL, with an extra field and an extra table.
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path());
        const Fingerprint before = fingerprint(path);
        QVERIFY(StoreCheck(path).run());
        QCOMPARE(fingerprint(path), before);
    }

    void fileMadeByMkdatenSchema()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Daten.mdb"_qs);
        {
            StoreConnection connection(path, u"test"_qs);
            QVERIFY2(connection.createSchema(), qPrintable(connection.lastError()));
            QVERIFY(connection.lastError().isEmpty());
            // A second time the tables exist: refused as a whole, with the reason.
            QVERIFY(!connection.createSchema());
            QVERIFY(connection.lastError().contains(u"already exists"_qs));
        }
        QVERIFY(StoreCheck(path).run());
        QCOMPARE(
            TestDb::scalar(path, u"SELECT InitialisierungsBefehl FROM Einstellungen"_qs).toString(),
            u"ATDT"_qs);
        QCOMPARE(TestDb::scalar(path, u"SELECT COUNT(*) FROM Einstellungen"_qs), QVariant(1));
    }

    void badStore_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("expectedPart");
        QTest::newRow("missing") << u"missing"_qs << u"wurde nicht gefunden"_qs;
        QTest::newRow("access file") << u"access"_qs << u"keine SQLite-Datenbank"_qs;
        QTest::newRow("empty file") << u"empty"_qs << u"keine SQLite-Datenbank"_qs;
        QTest::newRow("directory") << u"directory"_qs << u"nicht um eine Datei"_qs;
        QTest::newRow("table missing") << u"notable"_qs << u"Die Tabelle \"VersandLog\" fehlt."_qs;
        QTest::newRow("field missing")
            << u"nofield"_qs << u"In der Tabelle \"Adressen\" fehlt das Feld \"NatelNummer\"."_qs;
        QTest::newRow("no settings row") << u"norow"_qs << u"keinen Datensatz"_qs;
        QTest::newRow("locked") << u"locked"_qs << u"von einem anderen Programm gesperrt"_qs;
        QTest::newRow("corrupt") << u"corrupt"_qs << u"beschädigt"_qs;
        QTest::newRow("read-only") << u"readonly"_qs << u"schreibgeschützt"_qs;
    }
    void badStore()
    {
        QFETCH(QString, variant);
        QFETCH(QString, expectedPart);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Daten.mdb"_qs);

        std::unique_ptr<StoreConnection> holder;
        if (variant == u"access"_qs) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray jet(2048, '\0');
            jet.replace(4, 15, "Standard Jet DB");
            file.write(jet);
        } else if (variant == u"empty"_qs) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (variant == u"directory"_qs) {
            QVERIFY(QDir(dir.path()).mkdir(u"Daten.mdb"_qs));
        } else if (variant != u"missing"_qs) {
            TestDb::create(dir.path());
        }
        if (variant == u"notable"_qs)
            QVERIFY(TestDb::exec(path, u"DROP TABLE VersandLog"_qs));
        if (variant == u"nofield"_qs) {
            QVERIFY(TestDb::exec(path, u"DROP TABLE Adressen"_qs));
            QVERIFY(TestDb::exec(path,
                                 u"CREATE TABLE Adressen (DSNummer INTEGER PRIMARY KEY, "
                                 u"Name TEXT, Adresse TEXT, PLZOrt TEXT, Bemerkungen TEXT)"_qs));
        }
        if (variant == u"norow"_qs)
            QVERIFY(TestDb::exec(path, u"DELETE FROM Einstellungen"_qs));
        if (variant == u"corrupt"_qs) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(100);
            file.write(QByteArray(4000, '\xAB'));
        }
        if (variant == u"readonly"_qs) {
            if (geteuid() == 0)
                QSKIP("root may write any file, so a read-only file cannot be made here");
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        }
        if (variant == u"locked"_qs) {
            holder = std::make_unique<StoreConnection>(path, u"other-program"_qs);
            QSqlQuery lock(holder->database());
            QVERIFY(lock.exec(u"BEGIN IMMEDIATE"_qs));
        }

        const Fingerprint before = fingerprint(path);
        StoreCheck check(path);
        QVERIFY(!check.run());
        const QString problem = check.lastError();
        QVERIFY2(problem.contains(expectedPart), qPrintable(problem));
        QVERIFY2(problem.contains(QDir::toNativeSeparators(path)), "names the file");
        QCOMPARE(fingerprint(path), before);
        if (variant == u"missing"_qs)
            QVERIFY(!QFileInfo::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestStoreCheck)
#include "tst_storecheck.moc"
