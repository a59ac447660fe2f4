#include "recordview.h"
#include "schema.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A bound field without a widget: holds the text a user would have typed.
struct FakeField
{
    QString text;
    int shown = 0;
    RecordView::Binding binding()
    {
        return {[this] { return text; },
                [this](const QVariant &v) {
                    text = v.toString();
                    ++shown;
                }};
    }
};

QStringList addressColumns()
{
    return {Schema::name, Schema::adresse, Schema::plzOrt, Schema::natelNummer,
            Schema::bemerkungen};
}

// The address book's view: persons known by DSNummer, and added there.
std::unique_ptr<RecordView> addressView(const StoreConnection &connection)
{
    auto view =
        std::make_unique<RecordView>(connection.database(), Schema::adressen, addressColumns());
    view->setKeyColumn(Schema::dsNummer);
    view->setAddsRecords(true);
    return view;
}

} // namespace

class TestRecordView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = TestDb::create(m_dir->path());
    }

    void settingsEditSavedByRefresh()
    {
        StoreConnection connection(m_path, u"test"_s);
        RecordView view(connection.database(), Schema::einstellungen,
                        {Schema::comPort, Schema::rueckrufnummer});
        FakeField callBack;
        view.bind(Schema::rueckrufnummer, callBack.binding());
        QVERIFY(view.refresh());
        QCOMPARE(callBack.text, u"079 555 66 77"_s);

        callBack.text = u"078 111 22 33"_s;
        QVERIFY(view.refresh());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT \"Rückrufnummer\" FROM Einstellungen"_s),
                 QVariant(u"078 111 22 33"_s));
        QCOMPARE(callBack.text, u"078 111 22 33"_s);
        // Fields that are not bound stay untouched (also the foreign one).
        QCOMPARE(TestDb::scalar(m_path, u"SELECT Bemerkung FROM Einstellungen"_s),
                 QVariant(u"fremd"_s));
    }

    void otherViewSeesChangeAfterRefresh()
    {
        StoreConnection a(m_path, u"a"_s);
        StoreConnection b(m_path, u"b"_s);
        RecordView config(a.database(), Schema::einstellungen, {Schema::providerNummer});
        RecordView main(b.database(), Schema::einstellungen, {Schema::providerNummer});
        FakeField provider;
        config.bind(Schema::providerNummer, provider.binding());
        QVERIFY(config.refresh());
        QVERIFY(main.refresh());

        provider.text = u"0800-77 88 / 99"_s;
        QVERIFY(config.save());
        QCOMPARE(main.value(Schema::providerNummer), QVariant(u"0800 123 456"_s));
        QVERIFY(main.refresh());
        QCOMPARE(main.value(Schema::providerNummer), QVariant(u"0800-77 88 / 99"_s));
    }

    void navigationInInsertionOrder()
    {
        TestDb::addPerson(m_path, u"Zeller"_s, u"079 1"_s);
        TestDb::addPerson(m_path, u"Amman"_s, u"079 2"_s);
        TestDb::addPerson(m_path, u"Meier"_s, u"079 3"_s);
        StoreConnection connection(m_path, u"test"_s);
        const auto owner = addressView(connection);
        RecordView &view = *owner;
        FakeField name;
        view.bind(Schema::name, name.binding());
        QVERIFY(view.refresh());
        QCOMPARE(name.text, u"Zeller"_s);
        QVERIFY(view.moveNext());
        QCOMPARE(name.text, u"Amman"_s);
        QVERIFY(view.moveLast());
        QCOMPARE(name.text, u"Meier"_s);
        QVERIFY(!view.moveNext()); // past the end: stays on the last record
        QCOMPARE(name.text, u"Meier"_s);
        QVERIFY(view.movePrevious());
        QCOMPARE(name.text, u"Amman"_s);

        // An edit is saved when the view moves on.
        name.text = u"Ammann"_s;
        QVERIFY(view.moveFirst());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT Name FROM Adressen WHERE NatelNummer = ?"_s,
                                {u"079 2"_s}),
                 QVariant(u"Ammann"_s));
    }

    void addNewStoresOnlyFilledRecords()
    {
        StoreConnection connection(m_path, u"test"_s);
        const auto owner = addressView(connection);
        RecordView &view = *owner;
        FakeField name;
        FakeField natel;
        view.bind(Schema::name, name.binding());
        view.bind(Schema::natelNummer, natel.binding());
        QVERIFY(!view.refresh()); // empty table
        QVERIFY(!view.hasCurrent());

        QVERIFY(view.addNew());
        QVERIFY(view.save()); // nothing typed: nothing stored
        QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Adressen"_s).toInt(), 0);

        name.text = u"O'Brien"_s;
        natel.text = u"079 444"_s;
        QVERIFY(view.refresh());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Adressen"_s).toInt(), 1);

        // Typed straight into the fields of an empty table, without "new".
        QVERIFY(TestDb::exec(m_path, u"DELETE FROM Adressen"_s));
        QVERIFY(!view.refresh());
        name.text = u"Anna"_s;
        QVERIFY(view.refresh());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT Name FROM Adressen"_s), QVariant(u"Anna"_s));
        QVERIFY(view.currentRowId().has_value());
        QCOMPARE(view.value(Schema::dsNummer), QVariant()); // not a column of this view
    }

    void findFirstWithQuoteAndDelete()
    {
        TestDb::addPerson(m_path, u"Meier Hans"_s, u"1"_s);
        const qint64 obrien = TestDb::addPerson(m_path, u"O'Brien"_s, u"2"_s);
        TestDb::addPerson(m_path, u"O'Brien"_s, u"3"_s);
        StoreConnection connection(m_path, u"test"_s);
        const auto owner = addressView(connection);
        RecordView &view = *owner;
        QVERIFY(view.refresh());
        QVERIFY(!view.findFirst(Schema::name, u"Meier"_s)); // whole-name equality only
        QCOMPARE(view.value(Schema::name).toString(), u"Meier Hans"_s);
        QVERIFY(view.findFirst(Schema::name, u"O'Brien"_s));
        QCOMPARE(view.currentRowId(), std::optional<qint64>(obrien));
        QVERIFY(!view.findFirst(u"x') OR 1=1 --"_s, 1)); // not a column: never SQL

        QVERIFY(view.deleteCurrent());
        QCOMPARE(
            TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Adressen WHERE DSNummer = ?"_s, {obrien})
                .toInt(),
            0);
        QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Adressen"_s).toInt(), 2);
    }

    // A table made by another tool, with DSNummer as a plain column whose
    // values differ from the rows' places.
    void keyOfForeignTable()
    {
        QVERIFY(TestDb::exec(m_path, u"DROP TABLE Adressen"_s));
        QVERIFY(TestDb::exec(m_path, u"CREATE TABLE Adressen (DSNummer INTEGER, Name TEXT, "
                                     u"Adresse TEXT, PLZOrt TEXT, NatelNummer TEXT, "
                                     u"Bemerkungen TEXT)"_s));
        QVERIFY(TestDb::exec(m_path, u"INSERT INTO Adressen (DSNummer, Name) VALUES "
                                     u"(101, 'Anna'), (102, 'Ben'), (2, 'Cem')"_s));
        StoreConnection connection(m_path, u"test"_s);
        const auto owner = addressView(connection);
        RecordView &view = *owner;
        FakeField name;
        view.bind(Schema::name, name.binding());
        QVERIFY(view.refresh());
        QVERIFY(view.moveToKey(102));
        QCOMPARE(name.text, u"Ben"_s);
        QCOMPARE(view.currentKey(), QVariant(102));
        QVERIFY(view.moveToKey(2));
        QCOMPARE(name.text, u"Cem"_s);
        QVERIFY(!view.moveToKey(3));
        QCOMPARE(name.text, u"Cem"_s);

        // A new person gets the largest key + 1.
        QVERIFY(view.addNew());
        name.text = u"Dora"_s;
        QVERIFY(view.save());
        QCOMPARE(view.currentKey(), QVariant(103));
        QCOMPARE(TestDb::scalar(m_path, u"SELECT DSNummer FROM Adressen WHERE Name = 'Dora'"_s),
                 QVariant(103));

        // Edits and deletion reach the person with the key, not the row in
        // that place.
        QVERIFY(view.moveToKey(101));
        name.text = u"Anna B."_s;
        QVERIFY(view.moveToKey(2));
        QVERIFY(view.deleteCurrent());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT group_concat(DSNummer || ' ' || Name, ', ') "
                                        u"FROM (SELECT * FROM Adressen ORDER BY rowid)"_s),
                 QVariant(u"101 Anna B., 102 Ben, 103 Dora"_s));
    }

    void ownTableNumbersItself()
    {
        TestDb::addPerson(m_path, u"Anna"_s, u"1"_s);
        const qint64 ben = TestDb::addPerson(m_path, u"Ben"_s, u"2"_s);
        StoreConnection connection(m_path, u"test"_s);
        const auto owner = addressView(connection);
        RecordView &view = *owner;
        FakeField name;
        view.bind(Schema::name, name.binding());
        QVERIFY(view.moveToKey(ben));
        QVERIFY(view.deleteCurrent());
        QVERIFY(view.addNew());
        name.text = u"Cem"_s;
        QVERIFY(view.save());
        // The database's own numbering goes on; Ben's key is not given again.
        QCOMPARE(view.currentKey(), QVariant(ben + 1));
    }

    void settingsRowNeverAdded()
    {
        StoreConnection connection(m_path, u"test"_s);
        RecordView view(connection.database(), Schema::einstellungen, {Schema::rueckrufnummer});
        FakeField callBack;
        view.bind(Schema::rueckrufnummer, callBack.binding());
        QVERIFY(view.refresh());
        QVERIFY(!view.addNew());
        QVERIFY(TestDb::exec(m_path, u"DELETE FROM Einstellungen"_s));
        QSignalSpy failed(&view, &RecordView::failed);
        const auto count = [this] {
            return TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Einstellungen"_s).toInt();
        };

        // Vanished under the view, and then found missing by a re-read.
        callBack.text = u"078 1"_s;
        QVERIFY(!view.save());
        callBack.text = u"079 555 66 77"_s;
        QVERIFY(!view.refresh());
        QVERIFY(!view.hasCurrent());
        callBack.text = u"078 2"_s;
        QVERIFY(!view.save());
        QCOMPARE(count(), 0);
        QCOMPARE(failed.count(), 2);
        for (const QList<QVariant> &args : std::as_const(failed))
            QVERIFY(args.constFirst().toString().startsWith(
                u"Speichern fehlgeschlagen (Tabelle \"Einstellungen\")"_s));
    }

    void failureIsReported()
    {
        StoreConnection connection(m_path, u"test"_s);
        RecordView view(connection.database(), Schema::einstellungen, {Schema::providerNummer});
        FakeField provider;
        view.bind(Schema::providerNummer, provider.binding());
        QVERIFY(view.refresh());
        QVERIFY(TestDb::exec(m_path, u"DROP TABLE Einstellungen"_s));
        QSignalSpy failed(&view, &RecordView::failed);
        provider.text = u"123"_s;
        QVERIFY(!view.save());
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.at(0).at(0).toString().contains(u"Speichern fehlgeschlagen"_s));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestRecordView)
#include "tst_recordview.moc"
