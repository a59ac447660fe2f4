#include "calldialogue.h"
#include "chosendialogue.h"
#include "connectionkinds.h"
#include "connectionsettings.h"
#include "fakeserialline.h"
#include "settings.h"
#include "testdb.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ConnectionKind)
Q_DECLARE_METATYPE(SettingField)
Q_DECLARE_METATYPE(MessageSplit)

// The table of the connection kinds, row by row, and the rules of the
// settings that the configuration window and the dialogues share.
class TestConnectionKinds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kinds_data()
    {
        QTest::addColumn<ConnectionKind>("kind");
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("dialogueClass");
        // What the dialogue says before a call with a settings row without
        // provider number and connection settings never saved.
        QTest::addColumn<QString>("missing");
        QTest::addColumn<MessageSplit>("split");
        QTest::addColumn<int>("partLimit");
        QTest::addColumn<QString>("hintOf400");
        QTest::newRow("dial-up") << ConnectionKind::DialUp << u"DialUp"_s
                                 << u"Modem (Wählverbindung)"_s << u"DialUpDialogue"_s
                                 << u"Keine Rufnummer des Service-Providers konfiguriert"_s
                                 << MessageSplit::MarkedParts << 0
                                 << u"Wird als 3 SMS versandt.\nNicht übertragbar (wird "
                                    u"weggelassen): –"_s;
        QTest::newRow("tcp") << ConnectionKind::Tcp << u"Tcp"_s << u"Internet (TCP/IP)"_s
                             << u"UcpTcpDialogue"_s
                             << u"Kein Server für die Internet-Verbindung konfiguriert"_s
                             << MessageSplit::Whole << 255
                             << u"Wird als 6 SMS versandt (Unicode)."_s;
        QTest::newRow("gsm") << ConnectionKind::Gsm << u"Gsm"_s << u"GSM-Modem"_s
                             << u"GsmDialogue"_s << QString() << MessageSplit::Whole << 255
                             << u"Wird als 6 SMS versandt (Unicode)."_s;
        QTest::newRow("smpp") << ConnectionKind::Smpp << u"Smpp"_s << u"SMPP (Internet)"_s
                              << u"SmppDialogue"_s
                              << u"Kein Server für die Internet-Verbindung konfiguriert"_s
                              << MessageSplit::Whole << 255
                              << u"Wird als 6 SMS versandt (Unicode)."_s;
    }
    void kinds()
    {
        QFETCH(ConnectionKind, kind);
        QFETCH(QString, storedName);
        const ConnectionKindRow &row = ConnectionKinds::of(kind);
        QCOMPARE(row.kind, kind);
        QCOMPARE(ConnectionKinds::all().at(ConnectionKinds::indexOf(kind)).kind, kind);
        QFETCH(QString, caption);
        QCOMPARE(row.caption(), caption);

        // The stored name goes into the file and comes back as the kind.
        QTemporaryDir dir;
        const QString path = TestDb::create(dir.path(), {.providerNummer = QString()});
        ConnectionSettings connection(path, nullptr);
        QVERIFY(connection.reload());
        ConnectionValues values;
        values.kind = kind;
        QVERIFY(connection.save(values));
        QCOMPARE(row.storedName(), storedName);
        QCOMPARE(ConnectionSettings::kindFromName(storedName), kind);
        QCOMPARE(TestDb::scalar(path, u"SELECT Value FROM ConnectionSettings WHERE Setting = "
                                      u"'Kind'"_s)
                     .toString(),
                 storedName);
        ConnectionSettings reread(path, nullptr);
        QVERIFY(reread.reload());
        QCOMPARE(reread.values().kind, kind);

        // Its dialogue, and what it finds missing in a new file.
        Settings settings(path);
        QVERIFY(settings.reload());
        FakeSerialLine line;
        QObject owner;
        const DialogueNeeds needs{
            .line = &line,
            .settings = &settings,
            .connection = &reread,
            .programDir = dir.path(),
            .databasePath = path,
            .parent = &owner,
        };
        CallDialogue *dialogue = row.makeDialogue(needs);
        QVERIFY(dialogue);
        QCOMPARE(dialogue->parent(), &owner);
        QFETCH(QString, dialogueClass);
        QCOMPARE(QString::fromLatin1(dialogue->metaObject()->className()), dialogueClass);
        QFETCH(QString, missing);
        QCOMPARE(dialogue->missingSetting(), missing);
        // The chooser made from the table has one of its own for the kind.
        ChosenDialogue chosen(&reread, needs);
        QCOMPARE(QString::fromLatin1(chosen.current()->metaObject()->className()), dialogueClass);
        QCOMPARE(chosen.missingSetting(), dialogue->missingSetting());

        // Its message plan: 400 characters with one outside the GSM
        // alphabet.
        QFETCH(MessageSplit, split);
        QFETCH(int, partLimit);
        QFETCH(QString, hintOf400);
        QCOMPARE(row.plan.split, split);
        QCOMPARE(row.plan.partLimit, partLimit);
        const QString text = QString(399, u'x') + u'–';
        QCOMPARE(row.plan.hint(text), hintOf400);
        QCOMPARE(row.plan.hint(QString()), QString());
        const QString tooLongForGsm(255 * 153 + 1, u'x');
        QCOMPARE(row.plan.tooLong(tooLongForGsm), row.plan.partLimit > 0);
        QVERIFY(!row.plan.tooLong(text));
    }

    void everyKindOnce()
    {
        QSet<QString> names;
        QSet<int> kinds;
        for (const ConnectionKindRow &row : ConnectionKinds::all()) {
            names.insert(row.storedName());
            kinds.insert(int(row.kind));
            QVERIFY(row.makeDialogue);
            QVERIFY(row.plan.hint);
            QVERIFY(!row.fields.isEmpty());
        }
        QCOMPARE(names.size(), ConnectionKinds::all().size());
        QCOMPARE(kinds.size(), ConnectionKinds::all().size());
    }

    void rules_data()
    {
        QTest::addColumn<SettingField>("field");
        QTest::addColumn<QString>("text");
        // What the configuration window says, and what the status line
        // says before a call (nothing when the dialogue does not check it).
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("missing");
        const QString port = u"Der Com-Port des Modems muss eine ganze Zahl von 1 bis 255 sein "
                             u"(zum Beispiel 1 für COM1)."_s;
        QTest::newRow("port 0") << SettingField::ComPort << u"0"_s << port << QString();
        QTest::newRow("port 256") << SettingField::ComPort << u"256"_s << port << QString();
        QTest::newRow("port 255") << SettingField::ComPort << u" 255 "_s << QString() << QString();
        QTest::newRow("provider none")
            << SettingField::ProviderNumber << QString()
            << u"Die Rufnummer des Service-Providers muss mindestens eine Ziffer enthalten."_s
            << u"Keine Rufnummer des Service-Providers konfiguriert"_s;
        QTest::newRow("provider digit")
            << SettingField::ProviderNumber << u"0"_s << QString() << QString();
        QTest::newRow("command blank")
            << SettingField::ModemCommand << u"  "_s
            << u"Der Initialisierungsbefehl für das Modem darf nicht leer sein (zum Beispiel "
               u"ATDT)."_s
            << QString();
        const QString noServer = u"Kein Server für die Internet-Verbindung konfiguriert"_s;
        QTest::newRow("server blank")
            << SettingField::Server << u" "_s
            << u"Der Server darf nicht leer sein (Name oder IP-Adresse der SMS-Zentrale)."_s
            << noServer;
        QTest::newRow("server") << SettingField::Server << u"smsc"_s << QString() << QString();
        const QString tcpPort = u"Der TCP-Port muss eine ganze Zahl von 1 bis 65535 sein."_s;
        QTest::newRow("tcp port 0") << SettingField::TcpPort << u"0"_s << tcpPort << noServer;
        QTest::newRow("tcp port 65536")
            << SettingField::TcpPort << u"65536"_s << tcpPort << noServer;
        QTest::newRow("tcp port") << SettingField::TcpPort << u"5000"_s << QString() << QString();
        const QString account = u"Das Konto (OAdC) besteht aus höchstens 16 Ziffern (leer lassen, "
                                u"wenn die SMS-Zentrale keine Anmeldung verlangt)."_s;
        QTest::newRow("account letter")
            << SettingField::Account << u"41a"_s << account << QString();
        QTest::newRow("account 17")
            << SettingField::Account << QString(17, u'1') << account << QString();
        QTest::newRow("account none")
            << SettingField::Account << QString() << QString() << QString();
        QTest::newRow("password 65")
            << SettingField::Password << QString(65, u'a')
            << u"Das Passwort darf höchstens 64 Zeichen lang sein."_s << QString();
        QTest::newRow("password umlaut")
            << SettingField::Password << u"pä"_s
            << u"Das Passwort darf das Zeichen «ä» nicht enthalten: bei der Anmeldung gehen nur "
               u"Buchstaben ohne Umlaute, Ziffern, Leerzeichen und die Zeichen der englischen "
               u"Tastatur."_s
            << u"Das Passwort enthält das Zeichen «ä», das bei der Anmeldung nicht gesendet "
               u"werden kann"_s;
        const QString pin = u"Die SIM-PIN besteht aus 4 bis 8 Ziffern (leer lassen, wenn die "
                            u"SIM-Karte keine PIN verlangt)."_s;
        const QString pinMissing = u"Die PIN der SIM-Karte muss aus 4 bis 8 Ziffern bestehen"_s;
        QTest::newRow("pin 3") << SettingField::SimPin << u"123"_s << pin << pinMissing;
        QTest::newRow("pin 9") << SettingField::SimPin << u"123456789"_s << pin << pinMissing;
        QTest::newRow("pin letter") << SettingField::SimPin << u"12a4"_s << pin << pinMissing;
        QTest::newRow("pin none") << SettingField::SimPin << u" "_s << QString() << QString();
        QTest::newRow("pin") << SettingField::SimPin << u" 1234 "_s << QString() << QString();
        QTest::newRow("centre 21")
            << SettingField::SmsCentre << u"+"_s + QString(21, u'1')
            << u"Die Nummer der SMS-Zentrale besteht aus höchstens 20 Ziffern, international mit "
               u"+ davor (leer lassen für die der SIM-Karte)."_s
            << u"Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern"_s;
        QTest::newRow("centre 20")
            << SettingField::SmsCentre << u"+41 "_s + QString(18, u'1') << QString() << QString();
        QTest::newRow("centre none")
            << SettingField::SmsCentre << QString() << QString() << QString();
        const QString systemId = u"Die System-ID für SMPP besteht aus 1 bis 15 Zeichen: "
                                 u"Buchstaben ohne Umlaute, Ziffern und die Zeichen der "
                                 u"englischen Tastatur."_s;
        QTest::newRow("system id none") << SettingField::SystemId << u" "_s << systemId
                                        << u"Keine System-ID für SMPP konfiguriert"_s;
        QTest::newRow("system id 16")
            << SettingField::SystemId << QString(16, u'a') << systemId << QString();
        QTest::newRow("system id umlaut")
            << SettingField::SystemId << u"bötli"_s << systemId << QString();
        QTest::newRow("system id 15")
            << SettingField::SystemId << u" ~!#$%&()*+,-./0 "_s << QString() << QString();
        QTest::newRow("smpp password 9")
            << SettingField::SmppPassword << u"123456789"_s
            << u"Das Passwort darf bei SMPP höchstens 8 Zeichen lang sein."_s
            << u"Das Passwort für SMPP ist länger als 8 Zeichen"_s;
        QTest::newRow("smpp password 8")
            << SettingField::SmppPassword << u" :;<>?@ "_s << QString() << QString();
        QTest::newRow("smpp password euro")
            << SettingField::SmppPassword << u"geh€im"_s
            << u"Das Passwort darf das Zeichen «€» nicht enthalten: bei der Anmeldung gehen nur "
               u"Buchstaben ohne Umlaute, Ziffern, Leerzeichen und die Zeichen der englischen "
               u"Tastatur."_s
            << u"Das Passwort enthält das Zeichen «€», das bei der Anmeldung nicht gesendet "
               u"werden kann"_s;
        QTest::newRow("smpp password none")
            << SettingField::SmppPassword << QString() << QString() << QString();
        const QString systemType = u"Der System-Typ besteht aus höchstens 12 Zeichen ohne "
                                   u"Umlaute (leer lassen, wenn die SMS-Zentrale keinen "
                                   u"verlangt)."_s;
        QTest::newRow("system type 13")
            << SettingField::SystemType << QString(13, u'V') << systemType << QString();
        QTest::newRow("system type umlaut")
            << SettingField::SystemType << u"VMÄ"_s << systemType << QString();
        QTest::newRow("system type 12")
            << SettingField::SystemType << u" "_s + QString(12, u'V') << QString() << QString();
        QTest::newRow("system type none")
            << SettingField::SystemType << QString() << QString() << QString();
    }
    void rules()
    {
        QFETCH(SettingField, field);
        QFETCH(QString, text);
        const FieldRule &rule = ConnectionKinds::rule(field);
        QCOMPARE(rule.field, field);
        QFETCH(QString, refusal);
        QFETCH(QString, missing);
        QCOMPARE(rule.refusal(text), refusal);
        QCOMPARE(rule.missing ? rule.missing(text) : QString(), missing);
    }
};

QTEST_GUILESS_MAIN(TestConnectionKinds)
#include "tst_connectionkinds.moc"
