#include "contactstore.h"
#include "importsession.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Records = QList<ContactRecord>;

ContactRecord rec(const QString &name, const QString &natel = {}, const QString &adresse = {},
                  const QString &plzOrt = {}, const QString &bemerkungen = {})
{
    return {name, adresse, plzOrt, natel, bemerkungen};
}

QString show(const ContactRecord &r)
{
    return QStringList{r.name, r.adresse, r.plzOrt, r.natelNummer, r.bemerkungen}.join(u'|');
}

} // namespace

// Imports written into table Adressen in one transaction, and the persons
// read back for an export.
class TestContactStore : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_path;
    std::optional<StoreConnection> m_connection;

    // The table as rows "DSNummer|Name|Adresse|PLZOrt|NatelNummer|Bemerkungen",
    // a field without value as "-".
    QStringList table() const
    {
        QStringList rows;
        const int count = TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Adressen"_s).toInt();
        for (int i = 0; i < count; ++i) {
            QStringList fields;
            for (const QString &column : {u"DSNummer"_s, u"Name"_s, u"Adresse"_s, u"PLZOrt"_s,
                                          u"NatelNummer"_s, u"Bemerkungen"_s}) {
                const QVariant value = TestDb::scalar(
                    m_path,
                    u"SELECT \""_s + column + u"\" FROM Adressen ORDER BY rowid LIMIT 1 OFFSET ?"_s,
                    {i});
                fields.append(value.isNull() ? u"-"_s : value.toString());
            }
            rows.append(fields.join(u'|'));
        }
        return rows;
    }
    std::optional<ImportOutcome> importRecords(const Records &records, const ImportOptions &options)
    {
        ContactStore store(m_connection->database());
        const std::optional<QList<ExistingPerson>> existing = store.existingPersons();
        if (!existing)
            return std::nullopt;
        return store.importContacts(records, planImport(*existing, records), *existing, options);
    }

private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        m_path = TestDb::create(m_dir->path());
        m_connection.emplace(m_path, u"tst_contactstore"_s);
        QVERIFY(m_connection->isOpen());
    }
    void cleanup()
    {
        m_connection.reset();
        m_dir.reset();
    }

    void importContacts_data()
    {
        QTest::addColumn<Records>("file");
        QTest::addColumn<bool>("update");
        QTest::addColumn<bool>("withoutNumber");
        QTest::addColumn<ImportOutcome>("outcome");
        QTest::addColumn<QStringList>("rows"); // after the two stored persons
        QTest::addColumn<QStringList>("stored");

        const QStringList asStored{u"1|Anna|Weg 1|-|079 555 12 34|-"_s,
                                   u"2|Ben|-|-|044 123 45 67|alt"_s};
        QTest::newRow("new persons, empty fields without value")
            << Records{rec(u"Cem"_s, u"078 000 00 01"_s, u"Gasse 2"_s, u"8000 Zürich"_s),
                       rec(u"Dora"_s, u"+41 76 111 22 33"_s)}
            << false << true << ImportOutcome{2, 0, 0}
            << QStringList{u"3|Cem|Gasse 2|8000 Zürich|078 000 00 01|-"_s,
                           u"4|Dora|-|-|+41 76 111 22 33|-"_s}
            << asStored;
        QTest::newRow("match by number skipped")
            << Records{rec(u"Anna Neu"_s, u"0041795551234"_s, u"Platz 9"_s)} << false << true
            << ImportOutcome{0, 0, 1} << QStringList() << asStored;
        QTest::newRow("match updated: filled fields replace, the number keeps its form")
            << Records{rec(u"Anna Neu"_s, u"+41 79 555 12 34"_s, QString(), u"3000 Bern"_s,
                           u"neu"_s),
                       rec(QString(), u"044 123 45 67"_s, u" "_s)}
            << true << true << ImportOutcome{0, 2, 0} << QStringList()
            << QStringList{u"1|Anna Neu|Weg 1|3000 Bern|079 555 12 34|neu"_s,
                           u"2|Ben|-|-|044 123 45 67|alt"_s};
        QTest::newRow("twice in the file, skipped")
            << Records{rec(u"Cem"_s, u"078 000 00 01"_s), rec(u"Cem B."_s, u"0780000001"_s)}
            << false << true << ImportOutcome{1, 0, 1}
            << QStringList{u"3|Cem|-|-|078 000 00 01|-"_s} << asStored;
        QTest::newRow("twice in the file, the later one updates")
            << Records{rec(u"Cem"_s, u"078 000 00 01"_s, u"Gasse 2"_s),
                       rec(u"Cem B."_s, u"0780000001"_s, QString(), u"Bern"_s)}
            << true << true << ImportOutcome{1, 0, 0}
            << QStringList{u"3|Cem B.|Gasse 2|Bern|078 000 00 01|-"_s} << asStored;
        QTest::newRow("without number added")
            << Records{rec(u"Eva"_s), rec(u"Fritz"_s, u"Natel"_s)} << false << true
            << ImportOutcome{2, 0, 0} << QStringList{u"3|Eva|-|-|-|-"_s, u"4|Fritz|-|-|Natel|-"_s}
            << asStored;
        QTest::newRow("without number left out")
            << Records{rec(u"Eva"_s), rec(u"Gina"_s, u"079 9"_s)} << false << false
            << ImportOutcome{0, 0, 2} << QStringList() << asStored;
    }
    void importContacts()
    {
        QFETCH(Records, file);
        QFETCH(bool, update);
        QFETCH(bool, withoutNumber);
        QFETCH(ImportOutcome, outcome);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, stored);
        TestDb::addPerson(m_path, u"Anna"_s, u"079 555 12 34"_s, u"Weg 1"_s);
        TestDb::addPerson(m_path, u"Ben"_s, u"044 123 45 67"_s, {}, {}, u"alt"_s);
        const auto written = importRecords(
            file, {update ? ImportOptions::Matches::Update : ImportOptions::Matches::Skip,
                   withoutNumber});
        QVERIFY(written);
        QCOMPARE(*written, outcome);
        QCOMPARE(table(), stored + rows);
    }

    void failureLeavesTableAsBefore_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("update");
        QTest::newRow("third insert refused")
            << u"CREATE TRIGGER halt BEFORE INSERT ON Adressen WHEN NEW.Name = 'Fehler' "
               u"BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"_s
            << false;
        QTest::newRow("update refused after the inserts")
            << u"CREATE TRIGGER halt BEFORE UPDATE ON Adressen "
               u"BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"_s
            << true;
    }
    void failureLeavesTableAsBefore()
    {
        QFETCH(QString, trigger);
        QFETCH(bool, update);
        TestDb::addPerson(m_path, u"Anna"_s, u"079 555 12 34"_s);
        QVERIFY(TestDb::exec(m_path, trigger));
        const QStringList before = table();
        const auto written = importRecords(
            {rec(u"Cem"_s, u"078 1"_s), rec(u"Dora"_s), rec(u"Fehler"_s),
             rec(u"Anna B."_s, u"079 555 12 34"_s)},
            {update ? ImportOptions::Matches::Update : ImportOptions::Matches::Skip, true});
        QVERIFY(!written);
        QCOMPARE(table(), before);
        // The connection is usable again: nothing is left half open.
        QVERIFY(TestDb::exec(m_path, u"DROP TRIGGER halt"_s));
        QCOMPARE(importRecords({rec(u"Cem"_s, u"078 1"_s)}, {})->added, 1);
    }

    void failureTellsWhy()
    {
        QVERIFY(TestDb::exec(m_path, u"CREATE TRIGGER halt BEFORE INSERT ON Adressen BEGIN "
                                     u"SELECT RAISE(ABORT, 'gesperrt'); END"_s));
        ImportSession session;
        session.setData(u"a.csv"_s, "Name;Natel\r\nCem;078 1\r\n");
        ContactStore store(m_connection->database());
        QVERIFY(session.plan(store));
        QVERIFY(!session.write(store, {}));
        QVERIFY2(session.lastError().contains(u"gesperrt"_s), qPrintable(session.lastError()));
    }

    // The table changed between the preview and the write: the records are
    // compared again with what is stored then.
    void planAgainstTheTableAtWrite()
    {
        ImportSession session;
        session.setData(u"a.csv"_s, "Name;Natel\r\nCem;078 000 00 01\r\n");
        ContactStore store(m_connection->database());
        QVERIFY(session.plan(store));
        QCOMPARE(session.importPlan().count(ImportStatus::New), 1);
        TestDb::addPerson(m_path, u"Cem"_s, u"+41 78 000 00 01"_s);
        QCOMPARE(session.write(store, {}), ImportOutcome({0, 0, 1}));
        QCOMPARE(table().size(), 1);
    }

    // Daten.mdb of another tool: DSNummer a plain column.
    void keysOfAForeignTable()
    {
        QVERIFY(TestDb::exec(m_path, u"DROP TABLE Adressen"_s));
        QVERIFY(TestDb::exec(m_path, u"CREATE TABLE Adressen (DSNummer INTEGER, Name TEXT, "
                                     u"Adresse TEXT, PLZOrt TEXT, NatelNummer TEXT, "
                                     u"Bemerkungen TEXT)"_s));
        QVERIFY(TestDb::exec(m_path, u"INSERT INTO Adressen (DSNummer, Name) VALUES (41, 'A'), "
                                     u"(7, 'B')"_s));
        QCOMPARE(importRecords({rec(u"C"_s), rec(u"D"_s)}, {})->added, 2);
        QCOMPARE(table().mid(2), (QStringList{u"42|C|-|-|-|-"_s, u"43|D|-|-|-|-"_s}));
    }

    void readContacts()
    {
        const qint64 anna = TestDb::addPerson(m_path, u"Anna"_s, u"079 1"_s, u"Weg 1"_s);
        TestDb::addPerson(m_path, QVariant(), QVariant());
        const qint64 cem = TestDb::addPerson(m_path, u"Cem"_s, u"078"_s, {}, u"Bern"_s, u"x\ny"_s);
        ContactStore store(m_connection->database());
        const auto all = store.readContacts();
        QVERIFY(all);
        QCOMPARE(all->size(), 3);
        QCOMPARE(show(all->at(1)), u"||||"_s);
        // Marked in any order, each once, in table order.
        const auto marked = store.readContacts({cem, anna, cem, 999});
        QVERIFY(marked);
        QCOMPARE(marked->size(), 2);
        QCOMPARE(show(marked->at(0)), u"Anna|Weg 1||079 1|"_s);
        QCOMPARE(show(marked->at(1)), u"Cem||Bern|078|x\ny"_s);
        QCOMPARE(show(*store.readContact(cem)), show(marked->at(1)));
        const auto byKey = store.readContactsByKey({cem, 999});
        QVERIFY(byKey);
        QCOMPARE(byKey->keys(), QList<qint64>{cem});
        QCOMPARE(show(byKey->value(cem)), show(marked->at(1)));
        QCOMPARE(show(*store.readContact(999)), u"||||"_s);
    }

    void openFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // empty: read
        QTest::newRow("readable") << u"kontakte.vcf"_s << QString();
        QTest::newRow("missing") << u"fehlt.vcf"_s
                                 << u"Die Datei «fehlt.vcf» konnte nicht geöffnet werden: "_s;
        QTest::newRow("a folder") << u"ordner.vcf"_s
                                  << u"Die Datei «ordner.vcf» konnte nicht geöffnet werden: "_s;
        QTest::newRow("too large")
            << u"gross.csv"_s
            << u"Die Datei «gross.csv» ist mit 65 MB zu gross für ein Adressbuch; es werden "
               u"höchstens 64 MB gelesen."_s;
        QTest::newRow("no text: refused before its first line is taken")
            << u"nullen.csv"_s
            << u"Die Datei «nullen.csv» enthält keinen Text (zu viele Steuerzeichen) und kann "
               u"nicht importiert werden. Bitte wählen Sie eine vCard- oder CSV-Datei."_s;
    }
    void openFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const QString path = m_dir->filePath(name);
        if (name == u"kontakte.vcf"_s) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Anna\r\nEND:VCARD\r\n");
        } else if (name == u"ordner.vcf"_s) {
            QVERIFY(QDir(m_dir->path()).mkdir(name));
        } else if (name == u"gross.csv"_s) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(65 * 1024 * 1024));
        } else if (name == u"nullen.csv"_s) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(30 * 1024 * 1024));
        }
        ImportSession session;
        QCOMPARE(session.open(path), message.isEmpty());
        QVERIFY2(session.lastError().startsWith(message), qPrintable(session.lastError()));
        QCOMPARE(session.contacts().records.size(), message.isEmpty() ? 1 : 0);
        QVERIFY(!session.isCancelled());
    }

    // The progress reaches its first value at or above cancelAt (of 1000)
    // and the user cancels there: the work stops at once, and nothing of it
    // is kept.
    void cancelStopsAtOnce_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("cancelAt");
        QByteArray vcf;
        QByteArray csv = "Name;Natel\r\n";
        for (int i = 0; i < 20000; ++i) {
            vcf += "BEGIN:VCARD\r\nFN:P" + QByteArray::number(i) + "\r\nEND:VCARD\r\n";
            csv += "Person " + QByteArray::number(i) + ";079 000 00 00\r\n";
        }
        QTest::newRow("file being read") << vcf << u"a.vcf"_s << 0;
        QTest::newRow("cards being read") << vcf << u"a.vcf"_s << 150;
        QTest::newRow("CSV table being read") << csv << u"a.csv"_s << 150;
        QTest::newRow("CSV columns being mapped") << csv << u"a.csv"_s << 850;
        QTest::newRow("plan") << vcf << u"a.vcf"_s << 1001;
    }
    void cancelStopsAtOnce()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, name);
        QFETCH(int, cancelAt);
        const QString path = m_dir->filePath(name);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        file.close();
        QList<qint64> seen;
        bool cancelled = false;
        const auto progress = [&](qint64 done, qint64 total) {
            if (cancelled)
                seen.append(-1); // a step after the cancel
            else
                seen.append(done * 1000 / total);
            cancelled = cancelled || seen.constLast() >= cancelAt;
            return !cancelled;
        };
        ImportSession session;
        QCOMPARE(session.open(path, progress), cancelAt > 1000);
        QCOMPARE(session.isCancelled(), cancelAt <= 1000);
        if (cancelAt > 1000) {
            // Read in full; now the plan is cancelled at its first step.
            cancelAt = 0;
            seen.clear();
            ContactStore store(m_connection->database());
            QVERIFY(session.readExisting(store));
            QVERIFY(!session.planAgainstExisting(progress));
            QVERIFY(session.isCancelled());
            QVERIFY(session.importPlan().items.isEmpty());
        } else {
            QVERIFY(session.contacts().records.isEmpty());
            QVERIFY(session.lastError().isEmpty());
        }
        QVERIFY(cancelled);
        QVERIFY2(!seen.contains(-1), "a step ran after the cancel");
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    }
};

QTEST_GUILESS_MAIN(TestContactStore)
#include "tst_contactstore.moc"
