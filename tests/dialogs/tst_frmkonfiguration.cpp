#include "frmkonfiguration.h"

#include "look.h"
#include "scriptedprompter.h"
#include "settingscache.h"
#include "testdb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kPortFehler =
    u"Der Com-Port des Modems muss eine ganze Zahl von 1 bis 255 sein (zum Beispiel 1 für COM1)."_s;
const QString kProviderFehler =
    u"Die Rufnummer des Service-Providers muss mindestens eine Ziffer enthalten."_s;
const QString kBefehlFehler =
    u"Der Initialisierungsbefehl für das Modem darf nicht leer sein (zum Beispiel ATDT)."_s;

enum class Schliessen { Ok, Ende, Code };

} // namespace

Q_DECLARE_METATYPE(Schliessen)

class TestFrmKonfiguration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithStoredRowAndLocksMainWindow();
    void layout_data();
    void layout();
    void everyCloseSaves_data();
    void everyCloseSaves();
    void cacheUntouchedWhileOpen();
    void closingWithoutEditsRefillsCache();
    void portStoredAsWholeNumber_data();
    void portStoredAsWholeNumber();
    void invalidEntryRefused_data();
    void invalidEntryRefused();
    void failedSaveAsksBeforeClosing_data();
    void failedSaveAsksBeforeClosing();
    void unreadableFileSavesNothing();

private:
    FRMKonfiguration *open(const QString &path = QString());
    QLineEdit *field(const char *name) const;
    void type(const char *name, const QString &text);
    void close(Schliessen how);
    QVariantList storedRow() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    SettingsCache m_cache;
    QPointer<FRMKonfiguration> m_dialog;
};

void TestFrmKonfiguration::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = TestDb::create(m_dir->path());
    QVERIFY(!m_path.isEmpty());
    m_main = std::make_unique<QWidget>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    // What the engine dials with before the window opens.
    m_cache = SettingsCache{4, u"0901"_s, u"ATDP"_s};
}

void TestFrmKonfiguration::cleanup()
{
    delete m_dialog.data();
    m_main.reset();
    m_dir.reset();
}

FRMKonfiguration *TestFrmKonfiguration::open(const QString &path)
{
    m_dialog = new FRMKonfiguration(path.isEmpty() ? m_path : path, &m_cache, m_main.get(),
                                    m_prompter.get());
    m_dialog->show();
    return m_dialog;
}

QLineEdit *TestFrmKonfiguration::field(const char *name) const
{
    auto *edit = m_dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
    if (!edit)
        qWarning("no field %s", name);
    return edit;
}

void TestFrmKonfiguration::type(const char *name, const QString &text)
{
    QLineEdit *edit = field(name);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

void TestFrmKonfiguration::close(Schliessen how)
{
    switch (how) {
    case Schliessen::Ok:
        QTest::mouseClick(m_dialog->findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);
        break;
    case Schliessen::Ende:
        QTest::mouseClick(m_dialog->findChild<QLabel *>(u"LBLEnde"_s), Qt::LeftButton);
        break;
    case Schliessen::Code:
        m_dialog->close();
        break;
    }
}

QVariantList TestFrmKonfiguration::storedRow() const
{
    return {
        TestDb::scalar(m_path, u"SELECT ComPort FROM Einstellungen"_s),
        TestDb::scalar(m_path, u"SELECT ProviderNummer FROM Einstellungen"_s),
        TestDb::scalar(m_path, u"SELECT InitialisierungsBefehl FROM Einstellungen"_s),
    };
}

void TestFrmKonfiguration::opensWithStoredRowAndLocksMainWindow()
{
    m_main->show();
    QVERIFY(m_main->isEnabled());
    open();
    QCOMPARE(m_dialog->objectName(), u"FRMKonfiguration"_s);
    QCOMPARE(m_dialog->windowTitle(), u"Modemkonfiguration"_s);
    QCOMPARE(m_dialog->findChild<QLabel *>(u"LBLTitel"_s)->text(), u"Konfiguration..."_s);
    QVERIFY(m_dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!m_main->isEnabled());

    QCOMPARE(field("TXTDBComPort")->text(), u"1"_s);
    QCOMPARE(field("TXTDBProviderNummer")->text(), u"0800 123 456"_s);
    QCOMPARE(field("TXTDBInistialisierungsbefehl")->text(), u"ATDT"_s);
    QCOMPARE(m_prompter->count(), 0);
}

void TestFrmKonfiguration::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("buddy");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("Label1") << u"Label1"_s << u"Com-Port des Modems:"_s << u"TXTDBComPort"_s
                            << QRect(200, 360, 1695, 255);
    QTest::newRow("Label2") << u"Label2"_s << u"Rufnummer des Service-Providers:"_s
                            << u"TXTDBProviderNummer"_s << QRect(200, 720, 1695, 375);
    QTest::newRow("Label3") << u"Label3"_s << u"Initialisierungsbefehl für das Modem:"_s
                            << u"TXTDBInistialisierungsbefehl"_s << QRect(200, 1200, 1695, 375);
    QTest::newRow("TXTDBComPort") << u"TXTDBComPort"_s << QString() << QString()
                                  << QRect(1920, 360, 2295, 285);
    QTest::newRow("TXTDBProviderNummer")
        << u"TXTDBProviderNummer"_s << QString() << QString() << QRect(1920, 840, 2295, 285);
    QTest::newRow("TXTDBInistialisierungsbefehl") << u"TXTDBInistialisierungsbefehl"_s << QString()
                                                  << QString() << QRect(1920, 1320, 2295, 285);
    QTest::newRow("cmdOK") << u"cmdOK"_s << u"OK"_s << QString() << QRect(3600, 2760, 615, 300);
}

void TestFrmKonfiguration::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, buddy);
    QFETCH(QRect, twips);

    open();
    QCOMPARE(m_dialog->size(), QSize(Look::px(4680), Look::px(3720)));
    auto *frame = m_dialog->findChild<QWidget *>(u"Frame1"_s);
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), Look::rectTwips(120, 360, 4420, 3255));
    QCOMPARE(m_dialog->findChild<QWidget *>(u"LBLEnde"_s)->geometry(),
             Look::rectTwips(4350, 70, 255, 255));

    auto *widget = m_dialog->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), frame);
    QCOMPARE(widget->geometry(),
             Look::rectTwips(twips.x(), twips.y(), twips.width(), twips.height()));
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->buddy(), m_dialog->findChild<QWidget *>(buddy));
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QCOMPARE(button->text(), text);
    }
}

void TestFrmKonfiguration::everyCloseSaves_data()
{
    QTest::addColumn<Schliessen>("how");
    QTest::newRow("cmdOK") << Schliessen::Ok;
    QTest::newRow("LBLEnde X") << Schliessen::Ende;
    QTest::newRow("closed by code") << Schliessen::Code;
}

void TestFrmKonfiguration::everyCloseSaves()
{
    QFETCH(Schliessen, how);
    open();
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    QVERIFY(unloaded.isValid());

    type("TXTDBComPort", u"3"_s);
    type("TXTDBProviderNummer", u"+41 (0)800 / 55-66 77"_s);
    type("TXTDBInistialisierungsbefehl", u"ATX3DT"_s);
    close(how);

    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(m_main->isEnabled());
    // Stored as typed; the engine's copy holds only the digits.
    QCOMPARE(storedRow(), (QVariantList{3, u"+41 (0)800 / 55-66 77"_s, u"ATX3DT"_s}));
    QCOMPARE(m_cache.comPort, qint16(3));
    QCOMPARE(m_cache.providerNummer, u"410800556677"_s);
    QCOMPARE(m_cache.initialisierungsBefehl, u"ATX3DT"_s);
    QTRY_VERIFY(m_dialog.isNull());
}

void TestFrmKonfiguration::cacheUntouchedWhileOpen()
{
    open();
    type("TXTDBComPort", u"7"_s);
    type("TXTDBProviderNummer", u"0900 11 22"_s);
    type("TXTDBInistialisierungsbefehl", u"ATDP"_s);
    QCoreApplication::processEvents();

    // A dial that starts now still gets the values from before the window.
    QCOMPARE(m_cache.comPort, qint16(4));
    QCOMPARE(m_cache.providerNummer, u"0901"_s);
    QCOMPARE(storedRow(), (QVariantList{1, u"0800 123 456"_s, u"ATDT"_s}));

    close(Schliessen::Ok);
    QCOMPARE(m_cache.comPort, qint16(7));
    QCOMPARE(m_cache.providerNummer, u"09001122"_s);
    QCOMPARE(m_cache.initialisierungsBefehl, u"ATDP"_s);
}

void TestFrmKonfiguration::closingWithoutEditsRefillsCache()
{
    open();
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    close(Schliessen::Ende);
    QCOMPARE(unloaded.count(), 1);
    QCOMPARE(m_cache.comPort, qint16(1));
    QCOMPARE(m_cache.providerNummer, u"0800123456"_s);
    QCOMPARE(m_cache.initialisierungsBefehl, u"ATDT"_s);
    QCOMPARE(storedRow(), (QVariantList{1, u"0800 123 456"_s, u"ATDT"_s}));
}

void TestFrmKonfiguration::portStoredAsWholeNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("untypedColumn");
    QTest::addColumn<int>("port");

    QTest::newRow("lowest") << u"1"_s << false << 1;
    QTest::newRow("highest") << u"255"_s << false << 255;
    QTest::newRow("blanks around") << u" 12 "_s << false << 12;
    QTest::newRow("leading zero") << u"007"_s << false << 7;
    QTest::newRow("plus sign") << u"+5"_s << false << 5;
    // A file made by another tool may declare the column without a type; the
    // database then keeps whatever text it is given.
    QTest::newRow("blanks, column without type") << u" 12 "_s << true << 12;
    QTest::newRow("leading zero, column without type") << u"007"_s << true << 7;
}

void TestFrmKonfiguration::portStoredAsWholeNumber()
{
    QFETCH(QString, typed);
    QFETCH(bool, untypedColumn);
    QFETCH(int, port);

    if (untypedColumn) {
        QVERIFY(TestDb::exec(m_path, u"DROP TABLE Einstellungen"_s));
        QVERIFY(TestDb::exec(m_path, u"CREATE TABLE Einstellungen (ComPort, ProviderNummer TEXT, "
                                     u"InitialisierungsBefehl TEXT, \"Rückrufnummer\" TEXT)"_s));
        QVERIFY(TestDb::exec(m_path, u"INSERT INTO Einstellungen VALUES (1, ?, 'ATDT', '')"_s,
                             {u"0800 123 456"_s}));
    }
    open();
    type("TXTDBComPort", typed);
    close(Schliessen::Ok);
    QCOMPARE(m_prompter->count(), 0);
    const QVariant stored = TestDb::scalar(m_path, u"SELECT ComPort FROM Einstellungen"_s);
    QCOMPARE(stored.toString(), QString::number(port));
    if (!untypedColumn) {
        QCOMPARE(TestDb::scalar(m_path, u"SELECT typeof(ComPort) FROM Einstellungen"_s).toString(),
                 u"integer"_s);
    }
    QCOMPARE(m_cache.comPort, qint16(port));
}

void TestFrmKonfiguration::invalidEntryRefused_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("correction");

    const QString port = u"TXTDBComPort"_s;
    const QString provider = u"TXTDBProviderNummer"_s;
    const QString befehl = u"TXTDBInistialisierungsbefehl"_s;

    QTest::newRow("port letters") << port << u"abc"_s << kPortFehler << u"2"_s;
    QTest::newRow("port 0") << port << u"0"_s << kPortFehler << u"2"_s;
    QTest::newRow("port 256") << port << u"256"_s << kPortFehler << u"2"_s;
    QTest::newRow("port empty") << port << QString() << kPortFehler << u"2"_s;
    QTest::newRow("port negative") << port << u"-3"_s << kPortFehler << u"2"_s;
    QTest::newRow("port with text") << port << u"COM3"_s << kPortFehler << u"3"_s;
    QTest::newRow("port fraction") << port << u"2.5"_s << kPortFehler << u"2"_s;
    QTest::newRow("port beyond 16 bit") << port << u"65537"_s << kPortFehler << u"2"_s;
    QTest::newRow("provider dashes only") << provider << u"---"_s << kProviderFehler << u"0800"_s;
    QTest::newRow("provider empty") << provider << QString() << kProviderFehler << u"0800"_s;
    QTest::newRow("provider letters") << provider << u"Swisscom"_s << kProviderFehler << u"0800"_s;
    QTest::newRow("command empty") << befehl << QString() << kBefehlFehler << u"ATDT"_s;
    QTest::newRow("command blanks") << befehl << u"   "_s << kBefehlFehler << u"ATDT"_s;
}

void TestFrmKonfiguration::invalidEntryRefused()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, correction);

    const QByteArray name = fieldName.toLatin1();
    open();
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    // Valid edits in the other fields must not slip through either.
    if (fieldName != u"TXTDBComPort")
        type("TXTDBComPort", u"9"_s);
    type(name.constData(), typed);

    bool hiddenDuringMessage = false;
    m_prompter->setWhileOpen(
        [&](const ScriptedPrompter::Shown &) { hiddenDuringMessage = !m_dialog->isVisible(); });
    close(Schliessen::Ok);

    QCOMPARE(m_prompter->texts(), QStringList{message});
    QVERIFY(hiddenDuringMessage);
    QCoreApplication::processEvents();
    QVERIFY(!m_dialog.isNull());
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_main->isEnabled());
    QCOMPARE(unloaded.count(), 0);
    QCOMPARE(storedRow(), (QVariantList{1, u"0800 123 456"_s, u"ATDT"_s}));
    QCOMPARE(m_cache.comPort, qint16(4));
    QCOMPARE(m_cache.providerNummer, u"0901"_s);
    QCOMPARE(m_cache.initialisierungsBefehl, u"ATDP"_s);
    QCOMPARE(field(name.constData())->text(), typed);

    // Corrected, the same window closes and stores it.
    m_prompter->setWhileOpen({});
    type(name.constData(), correction);
    close(Schliessen::Ende);
    QCOMPARE(m_prompter->count(), 1);
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(m_main->isEnabled());
    const QString column = fieldName == u"TXTDBComPort"          ? u"ComPort"_s
                           : fieldName == u"TXTDBProviderNummer" ? u"ProviderNummer"_s
                                                                 : u"InitialisierungsBefehl"_s;
    QCOMPARE(TestDb::scalar(m_path, u"SELECT "_s + column + u" FROM Einstellungen"_s).toString(),
             correction);
}

void TestFrmKonfiguration::failedSaveAsksBeforeClosing_data()
{
    QTest::addColumn<bool>("closeAnyway");
    QTest::newRow("No keeps the window") << false;
    QTest::newRow("Yes closes without saving") << true;
}

void TestFrmKonfiguration::failedSaveAsksBeforeClosing()
{
    QFETCH(bool, closeAnyway);
    open();
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    type("TXTDBComPort", u"6"_s);
    // Another program has taken the table away meanwhile.
    QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Einstellungen RENAME TO Weg"_s));

    m_prompter->answerNext(closeAnyway ? Prompter::Answer::Yes : Prompter::Answer::No);
    close(Schliessen::Ok);

    QCOMPARE(m_prompter->count(), 1);
    const ScriptedPrompter::Shown box = m_prompter->shown().constFirst();
    QVERIFY2(box.text.startsWith(u"Die Einstellungen konnten nicht gespeichert werden:\n"_s),
             qPrintable(box.text));
    QVERIFY(box.text.endsWith(u"\n\nFenster ohne Speichern schliessen?"_s));
    QCOMPARE(box.buttons, Prompter::Buttons::YesNo);
    QCOMPARE(unloaded.count(), closeAnyway ? 1 : 0);
    QCOMPARE(m_main->isEnabled(), closeAnyway);
    QCOMPARE(m_cache.comPort, qint16(4));
    QCOMPARE(TestDb::scalar(m_path, u"SELECT ComPort FROM Weg"_s).toInt(), 1);
}

void TestFrmKonfiguration::unreadableFileSavesNothing()
{
    open(m_dir->path() + u"/fehlt/Daten.mdb"_s);
    QSignalSpy unloaded(m_dialog.data(), &DialogBase::unloaded);
    QTRY_COMPARE(m_prompter->count(), 1);
    QVERIFY(m_prompter->texts().constFirst().startsWith(u"Die Einstellungen konnten nicht aus "_s +
                                                        m_dir->path() + u"/fehlt/Daten.mdb"_s));
    QVERIFY(m_prompter->texts().constFirst().endsWith(
        u"Änderungen in diesem Fenster werden nicht gespeichert."_s));

    type("TXTDBComPort", u"8"_s);
    close(Schliessen::Ok);
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(m_main->isEnabled());
    QCOMPARE(m_cache.comPort, qint16(4));
    QCOMPARE(m_prompter->count(), 1);
}

QTEST_MAIN(TestFrmKonfiguration)
#include "tst_frmkonfiguration.moc"
