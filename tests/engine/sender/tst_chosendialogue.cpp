#include "chosendialogue.h"
#include "connectionsettings.h"
#include "testdb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Writes down what it is asked; the test answers for it.
class RecordingDialogue final : public CallDialogue
{
public:
    RecordingDialogue(QString name, QStringList *calls)
        : missing(name + u" fehlt"_s), m_name(std::move(name)), m_calls(calls)
    {}
    QString missingSetting() const override { return missing; }
    void begin() override { m_calls->append(m_name + u" begin"_s); }
    void submit(const QueueEntry &entry) override
    {
        m_calls->append(m_name + u" submit "_s + entry.recipient);
    }
    void end() override { m_calls->append(m_name + u" end"_s); }
    bool severalPerCall() const override { return m_name == u"tcp"_s; }
    bool inUninterruptibleStep() const override { return m_name == u"tcp"_s; }
    bool takesLongMessages() const override { return m_name == u"tcp"_s; }
    // The dial-up modem cannot receive; the others write down when they
    // are told to listen or not.
    bool canReceive() const override { return m_name != u"modem"_s; }
    void setListening(bool on) override
    {
        m_calls->append(m_name + (on ? u" listen"_s : u" deaf"_s));
        listening = on;
    }
    bool isListening() const override { return listening; }
    QString listeningVia() const override { return m_name; }

    QString missing;
    bool listening = false;

private:
    QString m_name;
    QStringList *m_calls;
};

// A keyring that answers only when the test says so, as one waits for the
// user to unlock it.
class WaitingKeyring final : public SecretStore
{
public:
    void read(const QString &key) override { asked.append(key); }
    void write(const QString &, const QString &) override {}
    void remove(const QString &) override {}
    // Answers every question asked so far.
    void answer(SecretStore::Outcome outcome)
    {
        for (const QString &key : std::exchange(asked, {}))
            Q_EMIT readDone(key, outcome, outcome == Outcome::Ok ? u"1234"_s : QString());
    }
    QStringList asked;
};

} // namespace

QueueEntry entry()
{
    QueueEntry entry;
    entry.recipient = u"0791234567"_s;
    entry.nachricht = u"a"_s;
    return entry;
}

class TestChosenDialogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_connection = std::make_unique<ConnectionSettings>(TestDb::create(m_dir->path()), nullptr);
        QVERIFY(m_connection->reload());
        m_calls.clear();
        m_chosen = std::make_unique<ChosenDialogue>(m_connection.get());
        m_dialUp = new RecordingDialogue(u"modem"_s, &m_calls);
        m_tcp = new RecordingDialogue(u"tcp"_s, &m_calls);
        m_gsm = new RecordingDialogue(u"gsm"_s, &m_calls);
        m_smpp = new RecordingDialogue(u"smpp"_s, &m_calls);
        for (RecordingDialogue *dialogue : {m_dialUp, m_tcp, m_gsm, m_smpp})
            dialogue->setParent(m_chosen.get());
        m_chosen->setDialogue(ConnectionKind::DialUp, m_dialUp);
        m_chosen->setDialogue(ConnectionKind::Tcp, m_tcp);
        m_chosen->setDialogue(ConnectionKind::Gsm, m_gsm);
        m_chosen->setDialogue(ConnectionKind::Smpp, m_smpp);
    }
    void cleanup()
    {
        m_chosen.reset();
        m_connection.reset();
        m_dir.reset();
    }

    void kindChosenWhenConnectionBegins()
    {
        QCOMPARE(m_chosen->missingSetting(), u"modem fehlt"_s);
        QVERIFY(!m_chosen->severalPerCall());
        QVERIFY(!m_chosen->inUninterruptibleStep());
        QVERIFY(!m_chosen->takesLongMessages());
        useKind(ConnectionKind::Tcp);
        QCOMPARE(m_chosen->missingSetting(), u"tcp fehlt"_s);
        QVERIFY(m_chosen->severalPerCall());
        QVERIFY(m_chosen->inUninterruptibleStep());
        QVERIFY(m_chosen->takesLongMessages());

        QSignalSpy ready(m_chosen.get(), &CallDialogue::ready);
        QSignalSpy submitted(m_chosen.get(), &CallDialogue::submitted);
        m_chosen->begin();
        Q_EMIT m_dialUp->ready(); // not the leading one: never passed on
        QCOMPARE(ready.count(), 0);
        Q_EMIT m_tcp->ready();
        QCOMPARE(ready.count(), 1);
        m_chosen->submit(entry());
        Q_EMIT m_tcp->submitted(CallDialogue::Result{true, QString()});
        QCOMPARE(submitted.count(), 1);
        m_chosen->end();
        QCOMPARE(m_calls, (QStringList{u"tcp begin"_s, u"tcp submit 0791234567"_s, u"tcp end"_s}));

        // A failed connection is over: its late signals are not passed on.
        m_calls.clear();
        useKind(ConnectionKind::DialUp);
        QSignalSpy failed(m_chosen.get(), &CallDialogue::failed);
        m_chosen->begin();
        Q_EMIT m_dialUp->failed(u"Besetzt"_s);
        Q_EMIT m_dialUp->ready();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(m_calls, QStringList{u"modem begin"_s});
    }

    // A session held open with the old values ends when the settings
    // change; one busy with an entry finishes it first.
    void changedSettingsEndIdleConnection_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("idle") << false;
        QTest::newRow("busy") << true;
    }
    void changedSettingsEndIdleConnection()
    {
        QFETCH(bool, busy);
        useKind(ConnectionKind::Tcp);
        m_chosen->begin();
        Q_EMIT m_tcp->ready();
        if (busy)
            m_chosen->submit(entry());
        m_calls.clear();
        QSignalSpy failed(m_chosen.get(), &CallDialogue::failed);
        useKind(ConnectionKind::DialUp);
        QCOMPARE(failed.count(), busy ? 0 : 1);
        QCOMPARE(m_calls, busy ? QStringList() : QStringList{u"tcp end"_s});
        // The next connection goes the new way.
        if (busy)
            Q_EMIT m_tcp->submitted(CallDialogue::Result{true, QString()});
        m_chosen->end();
        m_calls.clear();
        m_chosen->begin();
        QCOMPARE(m_calls, QStringList{u"modem begin"_s});
    }

    // A secret kept in the keyring but not read from it is a missing
    // setting of the kind that needs it: until the keyring answers, after
    // its unlock was cancelled, and until the next reading succeeds.
    void unreadableSecretIsMissing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("missing");
        const QString keyring = u" aus dem Schlüsselbund nicht lesbar – bitte den Schlüsselbund "
                                u"entsperren"_s;
        QTest::newRow("internet") << u"Tcp"_s << u"4179"_s << u"Passwort"_s + keyring;
        QTest::newRow("internet without login") << u"Tcp"_s << QString() << QString();
        QTest::newRow("gsm") << u"Gsm"_s << QString() << u"SIM-PIN"_s + keyring;
        QTest::newRow("smpp") << u"Smpp"_s << QString() << u"Passwort"_s + keyring;
        QTest::newRow("modem") << u"DialUp"_s << QString() << QString();
    }
    void unreadableSecretIsMissing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, account);
        QFETCH(QString, missing);
        const QString path = m_dir->filePath(u"Daten.mdb"_s);
        QVERIFY(TestDb::exec(path, u"CREATE TABLE ConnectionSettings (Setting TEXT PRIMARY KEY, "
                                   u"Value TEXT)"_s));
        for (const auto &[name, value] :
             {std::pair{u"Kind"_s, kind}, {u"Account"_s, account}, {u"SecretsIn"_s, u"Keyring"_s}})
            QVERIFY(TestDb::exec(path, u"INSERT INTO ConnectionSettings VALUES (?, ?)"_s,
                                 {name, value}));
        WaitingKeyring keyring;
        ConnectionSettings settings(path, &keyring);
        QVERIFY(settings.reload());
        ChosenDialogue chosen(&settings);
        for (const auto &[kind, dialogue] : {std::pair{ConnectionKind::DialUp, m_dialUp},
                                             {ConnectionKind::Tcp, m_tcp},
                                             {ConnectionKind::Gsm, m_gsm},
                                             {ConnectionKind::Smpp, m_smpp}}) {
            dialogue->missing.clear();
            chosen.setDialogue(kind, dialogue);
        }
        QCOMPARE(chosen.missingSetting(), missing);
        keyring.answer(SecretStore::Outcome::NoKeyring); // the unlock cancelled
        QCOMPARE(chosen.missingSetting(), missing);
        QVERIFY(settings.reload());        // the window activated: asked again
        QCOMPARE(keyring.asked.size(), 3); // both passwords and the PIN
        keyring.answer(SecretStore::Outcome::Ok);
        QCOMPARE(chosen.missingSetting(), QString());
    }

    // The chosen kind's dialogue listens where its row says so with the
    // stored settings, no other one; a change of the settings opens the
    // listening connection anew with the new values.
    void listeningFollowsKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("keepOpen");
        QTest::addColumn<QString>("listener");
        QTest::newRow("dial-up cannot") << int(ConnectionKind::DialUp) << true << QString();
        QTest::newRow("tcp kept open") << int(ConnectionKind::Tcp) << true << u"tcp"_s;
        QTest::newRow("tcp closed between calls") << int(ConnectionKind::Tcp) << false << QString();
        QTest::newRow("gsm always") << int(ConnectionKind::Gsm) << false << u"gsm"_s;
        QTest::newRow("smpp kept open") << int(ConnectionKind::Smpp) << true << u"smpp"_s;
        QTest::newRow("smpp closed between calls")
            << int(ConnectionKind::Smpp) << false << QString();
    }
    void listeningFollowsKind()
    {
        QFETCH(int, kind);
        QFETCH(bool, keepOpen);
        QFETCH(QString, listener);
        ConnectionValues values = m_connection->values();
        values.kind = ConnectionKind(kind);
        values.keepOpen = keepOpen;
        QVERIFY(m_connection->save(values));
        m_calls.clear();
        m_chosen->setListening(true);
        for (RecordingDialogue *dialogue : {m_dialUp, m_tcp, m_gsm, m_smpp})
            QCOMPARE(dialogue->listening, dialogue->listeningVia() == listener);
        QCOMPARE(m_chosen->isListening(), !listener.isEmpty());

        // Another server: the listener opens its connection again.
        m_calls.clear();
        values.server = u"anders.example"_s;
        QVERIFY(m_connection->save(values));
        if (!listener.isEmpty())
            QCOMPARE(m_calls.filter(listener),
                     (QStringList{listener + u" deaf"_s, listener + u" listen"_s}));
        // Another kind: the listening moves with it.
        useKind(ConnectionKind::DialUp);
        QVERIFY(!m_tcp->listening && !m_gsm->listening && !m_smpp->listening);
        useKind(ConnectionKind::Gsm);
        QVERIFY(m_gsm->listening);
        m_chosen->setListening(false);
        QVERIFY(!m_gsm->listening);
    }

private:
    void useKind(ConnectionKind kind)
    {
        ConnectionValues values = m_connection->values();
        values.kind = kind;
        QVERIFY(m_connection->save(values));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ConnectionSettings> m_connection;
    std::unique_ptr<ChosenDialogue> m_chosen;
    RecordingDialogue *m_dialUp = nullptr;
    RecordingDialogue *m_tcp = nullptr;
    RecordingDialogue *m_gsm = nullptr;
    RecordingDialogue *m_smpp = nullptr;
    QStringList m_calls;
};

QTEST_GUILESS_MAIN(TestChosenDialogue)
#include "tst_chosendialogue.moc"
