#include "connectionsettings.h"
#include "secretstore.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A keyring that answers on the next turn of the event loop, as a real one
// does: running, missing, or taking questions but refusing to store.
class FakeKeyring final : public SecretStore
{
public:
    enum class Mode { Running, Missing, RefusesWrites };
    explicit FakeKeyring(Mode mode) : m_mode(mode) {}

    void read(const QString &key) override
    {
        later([this, key] {
            if (m_mode == Mode::Missing)
                Q_EMIT readDone(key, Outcome::NoKeyring, {});
            else if (entries.contains(key))
                Q_EMIT readDone(key, Outcome::Ok, entries.value(key));
            else
                Q_EMIT readDone(key, Outcome::NotFound, {});
        });
    }
    void write(const QString &key, const QString &value) override
    {
        later([this, key, value] {
            if (m_mode != Mode::Running) {
                Q_EMIT writeDone(key, Outcome::NoKeyring);
                return;
            }
            entries.insert(key, value);
            Q_EMIT writeDone(key, Outcome::Ok);
        });
    }
    void remove(const QString &key) override { entries.remove(key); }

    QHash<QString, QString> entries;

private:
    template <typename F> void later(F f) { QTimer::singleShot(0, this, f); }
    Mode m_mode;
};

ConnectionValues tcpValues()
{
    ConnectionValues values;
    values.kind = ConnectionKind::Tcp;
    values.server = u"smsc.example.ch"_s;
    values.tcpPort = 5016;
    values.account = u"4179000000"_s;
    values.password = u"geheim'/\"x"_s;
    values.simPin = u"1234"_s;
    // Each differs from its default, so that a value not stored shows.
    values.deliveryReports = false;
    values.sender = u"Funkbote"_s;
    values.keepOpen = false;
    values.ucpWindow = 7;
    values.systemId = u"funkbote"_s;
    values.smppPassword = u"p'w\"/1"_s;
    values.systemType = u"VMA"_s;
    values.useTls = true;
    values.smppWindow = 42;
    values.spoolFolder = u"/home/anna/sms-spool"_s;
    return values;
}

QVariant stored(const QString &path, const QString &name)
{
    return TestDb::scalar(path, u"SELECT Value FROM ConnectionSettings WHERE Setting = ?"_s,
                          {name});
}

bool hasTable(const QString &path)
{
    return TestDb::scalar(path,
                          u"SELECT count(*) FROM sqlite_master WHERE name = 'ConnectionSettings'"_s)
               .toInt() == 1;
}

} // namespace

class TestConnectionSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = TestDb::create(m_dir->path());
    }
    void cleanup() { m_dir.reset(); }

    void fileWithoutTableHasDialUpUntilSaved()
    {
        ConnectionSettings settings(m_path, nullptr);
        QVERIFY(settings.reload());
        QCOMPARE(settings.values(), ConnectionValues());
        QVERIFY(!hasTable(m_path)); // reading makes nothing

        QSignalSpy changed(&settings, &ConnectionSettings::changed);
        QVERIFY(settings.save(tcpValues()));
        QCOMPARE(changed.count(), 1);
        QVERIFY(hasTable(m_path));

        ConnectionSettings again(m_path, nullptr);
        QVERIFY(again.reload());
        QCOMPARE(again.values(), tcpValues());
    }

    void valuesOfOtherVersionsRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("smppWindow");
        QTest::addColumn<int>("expectedKind");
        QTest::addColumn<int>("expectedPort");
        QTest::addColumn<int>("expectedSmppWindow");
        // Saved before SMPP existed, or by hand: ten at once unless the
        // row says another number within 1 to 100.
        QTest::newRow("gsm") << u"Gsm"_s << u"5016"_s << QString() << int(ConnectionKind::Gsm)
                             << 5016 << 10;
        QTest::newRow("unknown kind")
            << u"Satellit"_s << u""_s << u"0"_s << int(ConnectionKind::DialUp) << 0 << 1;
        QTest::newRow("port too big")
            << u"Tcp"_s << u"70000"_s << u"x"_s << int(ConnectionKind::Tcp) << 0 << 10;
        QTest::newRow("port no number")
            << u"Tcp"_s << u"x"_s << u"100"_s << int(ConnectionKind::Tcp) << 0 << 100;
        QTest::newRow("smpp") << u"Smpp"_s << u"2775"_s << u"101"_s << int(ConnectionKind::Smpp)
                              << 2775 << 100;
    }
    void valuesOfOtherVersionsRead()
    {
        QFETCH(QString, kind);
        QFETCH(QString, port);
        QFETCH(int, expectedKind);
        QFETCH(int, expectedPort);
        QFETCH(QString, smppWindow);
        QFETCH(int, expectedSmppWindow);
        QVERIFY(TestDb::exec(m_path, u"CREATE TABLE ConnectionSettings (Setting TEXT PRIMARY "
                                     u"KEY, Value TEXT)"_s));
        QVERIFY(TestDb::exec(m_path,
                             u"INSERT INTO ConnectionSettings VALUES ('Kind', ?), "
                             u"('TcpPort', ?), ('Later', 'x')"_s,
                             {kind, port}));
        if (!smppWindow.isNull())
            QVERIFY(TestDb::exec(m_path,
                                 u"INSERT INTO ConnectionSettings VALUES ('SmppWindow', ?)"_s,
                                 {smppWindow}));
        ConnectionSettings settings(m_path, nullptr);
        QVERIFY(settings.reload());
        QCOMPARE(int(settings.values().kind), expectedKind);
        QCOMPARE(settings.values().tcpPort, expectedPort);
        // Saved before reports existed: they are asked for, the session is
        // kept open, one submission at a time.
        QVERIFY(settings.values().deliveryReports);
        QVERIFY(settings.values().keepOpen);
        QCOMPARE(settings.values().ucpWindow, 1);
        QCOMPARE(settings.values().spoolFolder, QString()); // no folder is watched
        QCOMPARE(settings.values().smppWindow, expectedSmppWindow);
        QVERIFY(!settings.values().useTls);
        QCOMPARE(settings.values().systemId, QString());
    }

    void secretsGoWhereTheyAreKept_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("keyring");
        QTest::addColumn<QString>("passwordInTable");
        QTest::addColumn<int>("failures");
        QTest::newRow("keyring") << int(FakeKeyring::Mode::Running)
                                 << int(ConnectionSettings::Keyring::Available) << QString() << 0;
        QTest::newRow("none") << int(FakeKeyring::Mode::Missing)
                              << int(ConnectionSettings::Keyring::Missing) << tcpValues().password
                              << 0;
        // The keyring answered questions but refuses to store: nothing is
        // lost, the secrets move into the table, and the user hears of it.
        QTest::newRow("refuses") << int(FakeKeyring::Mode::RefusesWrites)
                                 << int(ConnectionSettings::Keyring::Missing)
                                 << tcpValues().password << 1;
    }
    void secretsGoWhereTheyAreKept()
    {
        QFETCH(int, mode);
        QFETCH(int, keyring);
        QFETCH(QString, passwordInTable);
        QFETCH(int, failures);
        FakeKeyring secrets{FakeKeyring::Mode(mode)};
        ConnectionSettings settings(m_path, &secrets);
        QSignalSpy failed(&settings, &ConnectionSettings::failed);
        QTRY_VERIFY(settings.keyring() != ConnectionSettings::Keyring::Unknown);

        QVERIFY(settings.save(tcpValues()));
        QCOMPARE(settings.values(), tcpValues()); // at once, whatever the keyring does
        QTRY_COMPARE(int(settings.keyring()), keyring);
        QTRY_COMPARE(failed.count(), failures);
        QCOMPARE(stored(m_path, u"Password"_s).toString(), passwordInTable);
        QCOMPARE(stored(m_path, u"SmppPassword"_s).toString(),
                 passwordInTable.isEmpty() ? QString() : tcpValues().smppPassword);
        QCOMPARE(settings.values(), tcpValues());

        // The next start finds them again.
        ConnectionSettings next(m_path, &secrets);
        QVERIFY(next.reload());
        QTRY_COMPARE(next.values(), tcpValues());
    }

    // The SIM's refusal of the stored PIN outlives a restart, in the table
    // but without the PIN, until another PIN is saved; a PIN no longer
    // stored is not marked, and a mark that cannot be stored is told.
    void refusedPinMarked_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("storable");
        QTest::newRow("keyring") << int(FakeKeyring::Mode::Running) << true;
        QTest::newRow("no keyring") << int(FakeKeyring::Mode::Missing) << true;
        QTest::newRow("not storable") << int(FakeKeyring::Mode::Missing) << false;
    }
    void refusedPinMarked()
    {
        QFETCH(int, mode);
        QFETCH(bool, storable);
        FakeKeyring secrets{FakeKeyring::Mode(mode)};
        ConnectionSettings settings(m_path, &secrets);
        QSignalSpy failed(&settings, &ConnectionSettings::failed);
        QTRY_VERIFY(settings.keyring() != ConnectionSettings::Keyring::Unknown);
        QVERIFY(settings.save(tcpValues()));
        QVERIFY(settings.setSimPinRefused(u"4321"_s));
        QVERIFY(!settings.simPinRefused());
        if (!storable)
            QVERIFY(TestDb::exec(m_path,
                                 u"CREATE TRIGGER refuse BEFORE INSERT ON "
                                 u"ConnectionSettings WHEN NEW.Setting = 'SimPinRefused' AND "
                                 u"NEW.Value = '1' BEGIN "
                                 u"SELECT RAISE(ABORT, 'abgelehnt'); END"_s));
        QCOMPARE(settings.setSimPinRefused(u"1234"_s), storable);
        QCOMPARE(settings.simPinRefused(), storable);
        QCOMPARE(failed.count(), storable ? 0 : 1);
        const bool inKeyring = mode == int(FakeKeyring::Mode::Running);
        QCOMPARE(TestDb::scalar(m_path, u"SELECT count(*) FROM ConnectionSettings "
                                        u"WHERE Value LIKE '%1234%'"_s)
                     .toInt(),
                 inKeyring ? 0 : 1);
        {
            ConnectionSettings next(m_path, &secrets);
            QVERIFY(next.reload());
            QCOMPARE(next.simPinRefused(), storable);
            QTRY_COMPARE(next.values().simPin, u"1234"_s);
            ConnectionValues other = tcpValues();
            other.server = u"anders"_s;
            QVERIFY(next.save(other));
            QCOMPARE(next.simPinRefused(), storable);
            other.simPin = u"4321"_s;
            QVERIFY(next.save(other));
            QVERIFY(!next.simPinRefused());
        }
        ConnectionSettings last(m_path, &secrets);
        QVERIFY(last.reload());
        QVERIFY(!last.simPinRefused());
    }

    void failedSaveChangesNothing()
    {
        ConnectionSettings settings(m_path, nullptr);
        QVERIFY(settings.save(tcpValues()));
        // The third row refuses: the two before it must not stay either.
        QVERIFY(TestDb::exec(m_path, u"CREATE TRIGGER refuse BEFORE INSERT ON ConnectionSettings "
                                     u"WHEN NEW.Setting = 'Server' BEGIN "
                                     u"SELECT RAISE(ABORT, 'abgelehnt'); END"_s));
        ConnectionValues other = tcpValues();
        other.kind = ConnectionKind::Gsm;
        other.server = u"anders"_s;
        QSignalSpy changed(&settings, &ConnectionSettings::changed);
        QVERIFY(!settings.save(other));
        QVERIFY(settings.lastError().startsWith(u"Speichern fehlgeschlagen"_s));
        QVERIFY(settings.lastError().contains(u"abgelehnt"_s));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(settings.values(), tcpValues());
        QCOMPARE(stored(m_path, u"Kind"_s).toString(), u"Tcp"_s);
    }

    void brokenTableToldOnce()
    {
        QVERIFY(TestDb::exec(m_path, u"CREATE VIEW ConnectionSettings AS SELECT * FROM Gone"_s));
        ConnectionSettings settings(m_path, nullptr);
        QSignalSpy failed(&settings, &ConnectionSettings::failed);
        QVERIFY(!settings.reload());
        QVERIFY(!settings.reload());
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.at(0).at(0).toString().contains(u"ConnectionSettings"_s));
        QCOMPARE(settings.values(), ConnectionValues()); // the dial-up line goes on working
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestConnectionSettings)
#include "tst_connectionsettings.moc"
