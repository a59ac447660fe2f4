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

using namespace Qt::StringLiterals;

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
        const QString path = dir.filePath(u"Daten.mdb"_s);
        {
            StoreConnection connection(path, u"test"_s);
            QVERIFY2(connection.createSchema(), qPrintable(connection.lastError()));
            QVERIFY(connection.lastError().isEmpty());
            // A second time the tables exist: refused as a whole, with the reason.
            QVERIFY(!connection.createSchema());
            QVERIFY(connection.lastError().contains(u"already exists"_s));
        }
        QVERIFY(StoreCheck(path).run());
        QCOMPARE(
            TestDb::scalar(path, u"SELECT InitialisierungsBefehl FROM Einstellungen"_s).toString(),
            u"ATDT"_s);
        QCOMPARE(TestDb::scalar(path, u"SELECT COUNT(*) FROM Einstellungen"_s), QVariant(1));
    }

    void badStore_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("expectedPart");
        QTest::newRow("missing") << u"missing"_s << u"wurde nicht gefunden"_s;
        QTest::newRow("access file") << u"access"_s << u"keine SQLite-Datenbank"_s;
        QTest::newRow("empty file") << u"empty"_s << u"keine SQLite-Datenbank"_s;
        QTest::newRow("directory") << u"directory"_s << u"nicht um eine Datei"_s;
        QTest::newRow("table missing") << u"notable"_s << u"Die Tabelle \"VersandLog\" fehlt."_s;
        QTest::newRow("field missing")
            << u"nofield"_s << u"In der Tabelle \"Adressen\" fehlt das Feld \"NatelNummer\"."_s;
        QTest::newRow("no settings row") << u"norow"_s << u"keinen Datensatz"_s;
        QTest::newRow("locked") << u"locked"_s << u"von einem anderen Programm gesperrt"_s;
        QTest::newRow("corrupt") << u"corrupt"_s << u"beschädigt"_s;
        QTest::newRow("read-only") << u"readonly"_s << u"schreibgeschützt"_s;
    }
    void badStore()
    {
        QFETCH(QString, variant);
        QFETCH(QString, expectedPart);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Daten.mdb"_s);

        std::unique_ptr<StoreConnection> holder;
        if (variant == u"access"_s) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray jet(2048, '\0');
            jet.replace(4, 15, "Standard Jet DB");
            file.write(jet);
        } else if (variant == u"empty"_s) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (variant == u"directory"_s) {
            QVERIFY(QDir(dir.path()).mkdir(u"Daten.mdb"_s));
        } else if (variant != u"missing"_s) {
            TestDb::create(dir.path());
        }
        if (variant == u"notable"_s)
            QVERIFY(TestDb::exec(path, u"DROP TABLE VersandLog"_s));
        if (variant == u"nofield"_s) {
            QVERIFY(TestDb::exec(path, u"DROP TABLE Adressen"_s));
            QVERIFY(TestDb::exec(path,
                                 u"CREATE TABLE Adressen (DSNummer INTEGER PRIMARY KEY, "
                                 u"Name TEXT, Adresse TEXT, PLZOrt TEXT, Bemerkungen TEXT)"_s));
        }
        if (variant == u"norow"_s)
            QVERIFY(TestDb::exec(path, u"DELETE FROM Einstellungen"_s));
        if (variant == u"corrupt"_s) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(100);
            file.write(QByteArray(4000, '\xAB'));
        }
        if (variant == u"readonly"_s) {
            if (geteuid() == 0)
                QSKIP("root may write any file, so a read-only file cannot be made here");
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        }
        if (variant == u"locked"_s) {
            holder = std::make_unique<StoreConnection>(path, u"other-program"_s);
            QSqlQuery lock(holder->database());
            QVERIFY(lock.exec(u"BEGIN IMMEDIATE"_s));
        }

        const Fingerprint before = fingerprint(path);
        StoreCheck check(path);
        QVERIFY(!check.run());
        const QString problem = check.lastError();
        QVERIFY2(problem.contains(expectedPart), qPrintable(problem));
        QVERIFY2(problem.contains(QDir::toNativeSeparators(path)), "names the file");
        QCOMPARE(fingerprint(path), before);
        if (variant == u"missing"_s)
            QVERIFY(!QFileInfo::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestStoreCheck)
#include "tst_storecheck.moc"
