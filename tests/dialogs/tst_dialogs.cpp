#include "archiveline.h"
#include "connectionsettings.h"
#include "frmarchiv.h"
#include "frminfo.h"
#include "frmkonfiguration.h"
#include "portchoice.h"
#include "rowscan.h"
#include "scriptedprompter.h"
#include "sendlog.h"
#include "settings.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;

const QString kFields[] = {u"TXTDBComPort"_s, u"TXTDBProviderNummer"_s,
                           u"TXTDBInistialisierungsbefehl"_s};
const QString kErrors[] = {
    u"Der Com-Port des Modems muss eine ganze Zahl von 1 bis 255 sein (zum Beispiel 1 für COM1)."_s,
    u"Die Rufnummer des Service-Providers muss mindestens eine Ziffer enthalten."_s,
    u"Der Initialisierungsbefehl für das Modem darf nicht leer sein (zum Beispiel ATDT)."_s};
// The settings row of a new test file, and what the engine dialled with before.
const QString kSavedRow = u"1|0800 123 456|ATDT"_s;
const QString kCacheVorher = u"4|0901|ATDP"_s;

class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        // The engine last read other values than the row now holds.
        m_path = TestDb::create(m_dir->path(), {4, u"0901"_s, u"ATDP"_s});
        QVERIFY(!m_path.isEmpty());
        m_settings = std::make_unique<Settings>(m_path);
        QVERIFY(m_settings->reload());
        QVERIFY(TestDb::exec(m_path,
                             u"UPDATE Einstellungen SET ComPort = 1, ProviderNummer = ?, "
                             u"InitialisierungsBefehl = 'ATDT'"_s,
                             {u"0800 123 456"_s}));
        m_main = std::make_unique<QWidget>();
        m_prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        delete m_dialog.data();
        m_settings.reset();
    }

    void archiveLine_data();
    void archiveLine();
    void archiveList();
    void archiveLongLine();
    void archiveUnreadable();
    void archiveFilter_data();
    void archiveFilter();
    void archiveResend_data();
    void archiveResend();
    void archiveExport();
    void infoLink_data();
    void infoLink();
    void configSaved_data();
    void configSaved();
    void configInvalid_data();
    void configInvalid();
    void configUntouched_data();
    void configUntouched();
    void configSaveFails_data();
    void configSaveFails();
    void configFileMissing();
    void configKindGreysFields_data();
    void configKindGreysFields();
    void configConnection_data();
    void configConnection();
    void configPinRefusal_data();
    void configPinRefusal();
    void configPortDevice();
    void configSpoolFolder_data();
    void configSpoolFolder();

private:
    void open(DialogBase *dialog)
    {
        m_dialog = dialog;
        m_unloaded = std::make_unique<QSignalSpy>(dialog, &DialogBase::unloaded);
        dialog->show();
    }
    bool openArchive()
    {
        auto *archive = new FRMArchiv(m_path, m_main.get(), m_prompter.get());
        QSignalSpy filled(archive, &FRMArchiv::filled);
        open(archive);
        return filled.wait(5000);
    }
    QStringList lines() const { return qobject_cast<FRMArchiv *>(m_dialog)->lines(); }
    void log(const QString &time, const QString &text, const QString &versandt = u"OK"_s,
             const QString &number = u"0791"_s)
    {
        QVERIFY(TestDb::exec(m_path,
                             u"INSERT INTO VersandLog (VersandDatum, VersandZeit, MobilNummer, "
                             u"Nachricht, versandt) VALUES ('2026-12-06', ?, ?, ?, ?)"_s,
                             {time, number, text, versandt}));
    }
    void click(const QString &name)
    {
        if (name.isEmpty())
            m_dialog->close(); // closed by code, not by a click
        else
            QTest::mouseClick(m_dialog->findChild<QWidget *>(name), Qt::LeftButton);
    }
    void type(const QString &name, const QString &text)
    {
        auto *edit = m_dialog->findChild<QLineEdit *>(name);
        QVERIFY2(edit, qPrintable(name));
        edit->selectAll();
        edit->del();
        // Key clicks carry Latin-1 only; "€" and the like come as one edit.
        if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; }))
            QTest::keyClicks(edit, text);
        else
            edit->insert(text);
    }
    // The settings row and the engine's copy, each as port|provider|command.
    QString stored() const
    {
        return TestDb::scalar(m_path, u"SELECT ifnull(ComPort, '') || '|' || "
                                      u"ifnull(ProviderNummer, '') || '|' || "
                                      u"ifnull(InitialisierungsBefehl, '') FROM Einstellungen"_s)
            .toString();
    }
    QString cache() const
    {
        return u"%1|%2|%3"_s.arg(m_settings->comPort())
            .arg(m_settings->providerNummer(), m_settings->initialisierungsBefehl());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<Settings> m_settings;
    QPointer<DialogBase> m_dialog;
    std::unique_ptr<QSignalSpy> m_unloaded;
};

void TestDialogs::archiveLine_data()
{
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<QVariant>("time");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("versandt");
    QTest::addColumn<QString>("expected");

    const QVariant d = u"2026-12-06"_s, t = u"14:03:05"_s;
    QTest::newRow("sent") << d << t << u"x"_s << u"OK"_s << u"06.12.2026/14:03:05 - 0791, x"_s;
    QTest::newRow("refused") << d << t << u"x"_s << u"NACK 06"_s
                             << u"06.12.2026/14:03:05 - 0791, x [abgelehnt: NACK 06 – "
                                u"Empfängeradresse ungültig (AdC)]"_s;
    QTest::newRow("refused, code unknown")
        << d << t << u"x"_s << u"NACK 99"_s
        << u"06.12.2026/14:03:05 - 0791, x [abgelehnt: NACK 99 – unbekannter Fehler]"_s;
    QTest::newRow("refused, no code")
        << d << t << u"x"_s << u"NACK"_s << u"06.12.2026/14:03:05 - 0791, x [abgelehnt: NACK]"_s;
    QTest::newRow("refused by the GSM network")
        << d << t << u"x"_s << u"CMS 21"_s
        << u"06.12.2026/14:03:05 - 0791, x [abgelehnt: CMS 21 – Kurzmitteilung abgewiesen]"_s;
    QTest::newRow("refused by the GSM network, no number")
        << d << t << u"x"_s << u"CMS x1"_s
        << u"06.12.2026/14:03:05 - 0791, x [abgelehnt: CMS x1]"_s;
    QTest::newRow("ok in small letters")
        << d << t << u"x"_s << u"ok"_s << u"06.12.2026/14:03:05 - 0791, x [nicht versandt: ok]"_s;
    QTest::newRow("no status") << d << t << u"x"_s << QString()
                               << u"06.12.2026/14:03:05 - 0791, x [Versandstatus unbekannt]"_s;
    QTest::newRow("possibly sent before a crash")
        << d << t << u"x"_s << u"unbekannt"_s
        << u"06.12.2026/14:03:05 - 0791, x [Versandstatus unbekannt]"_s;
    QTest::newRow("line breaks") << d << t << u"a\r\nb\nc\rd\n\re"_s << u"OK"_s
                                 << u"06.12.2026/14:03:05 - 0791, a¶b¶c¶d¶¶e"_s;
    QTest::newRow("time without seconds")
        << d << QVariant(u"14:03"_s) << u"x"_s << u"OK"_s << u"06.12.2026/14:03:00 - 0791, x"_s;
    QTest::newRow("impossible date and time")
        << QVariant(u"2026-02-30"_s) << QVariant(u"24:00:01"_s) << u"x"_s << u"OK"_s
        << u"2026-02-30/24:00:01 - 0791, x"_s;
    QTest::newRow("date and time values")
        << QVariant(QDate(2028, 2, 29)) << QVariant(QTime(7, 5)) << u"x"_s << u"OK"_s
        << u"29.02.2028/07:05:00 - 0791, x"_s;
    QTest::newRow("empty") << QVariant() << QVariant() << QString() << u"OK"_s << u"/ - 0791, "_s;
    QTest::newRow("longest shown whole") << d << t << QString(2000, u'x') << u"OK"_s
                                         << u"06.12.2026/14:03:05 - 0791, "_s + QString(2000, u'x');
    QTest::newRow("a megabyte: its beginning, then the status")
        << d << t << QString(1000, u'y') + QString(1024 * 1024, u'\n') << u"NACK 06"_s
        << u"06.12.2026/14:03:05 - 0791, "_s + QString(1000, u'y') + QString(1000, u'¶') +
               u"… [abgelehnt: NACK 06 – Empfängeradresse ungültig (AdC)]"_s;
}

void TestDialogs::archiveLine()
{
    QFETCH(QVariant, date);
    QFETCH(QVariant, time);
    QFETCH(QString, text);
    QFETCH(QString, versandt);
    QFETCH(QString, expected);
    QCOMPARE(ArchiveLine::line(LogRow{date, time, u"0791"_s, text, versandt}), expected);
}

void TestDialogs::archiveList()
{
    QVERIFY(openArchive());
    QCOMPARE(lines(), QStringList());
    // Logged while the window is open, out of time order: they show at the
    // next opening, in the table's order.
    log(u"14:03:41"_s, u"Erster Teil...->"_s);
    log(u"14:04:20"_s, u"->...zweiter Teil"_s);
    log(u"09:00:00"_s, u"Abgelehnt"_s, u"NACK 24"_s);
    m_dialog->hide();
    m_dialog->show();
    QCoreApplication::processEvents();
    QCOMPARE(lines(), QStringList());
    click(u"cmdOK"_s);
    QVERIFY(m_main->isEnabled());

    QVERIFY(openArchive());
    const QStringList expected = {
        u"06.12.2026/14:03:41 - 0791, Erster Teil...->"_s,
        u"06.12.2026/14:04:20 - 0791, ->...zweiter Teil"_s,
        u"06.12.2026/09:00:00 - 0791, Abgelehnt [abgelehnt: NACK 24 – Nachricht zu lang]"_s,
    };
    QCOMPARE(lines(), expected);
    const auto *model = m_dialog->findChild<QListView *>(u"LSTSelektion"_s)->model();
    QCOMPARE(model->index(2, 0).data().toString(), expected.at(2));
    QCOMPARE(m_prompter->count(), 0);
    QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM VersandLog"_s).toInt(), 3);
}

void TestDialogs::archiveFilter_data()
{
    // The search text, the choice (0 alle, 1 versandt, 2 abgelehnt,
    // 3 zugestellt, 4 nicht zugestellt) and the numbers of the rows then
    // listed.
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("show");
    QTest::addColumn<QString>("numbers");
    QTest::newRow("all") << QString() << 0 << u"0791 0792 0793 0794"_s;
    QTest::newRow("text, any case") << u"hallo"_s << 0 << u"0791 0793"_s;
    QTest::newRow("umlaut, any case") << u"ÜE"_s << 0 << u"0792"_s;
    QTest::newRow("number") << u"0792"_s << 0 << u"0792"_s;
    QTest::newRow("sent") << QString() << 1 << u"0791 0793"_s;
    QTest::newRow("refused") << QString() << 2 << u"0792 0794"_s;
    QTest::newRow("refused with text") << u"hallo"_s << 2 << QString();
    QTest::newRow("delivered") << QString() << 3 << u"0791"_s;
    QTest::newRow("not delivered") << QString() << 4 << u"0793"_s;
    QTest::newRow("nothing") << u"xyz"_s << 0 << QString();
}

void TestDialogs::archiveFilter()
{
    QFETCH(QString, search);
    QFETCH(int, show);
    QFETCH(QString, numbers);
    const QStringList rows[] = {{u"0791"_s, u"Hallo Welt"_s, u"OK"_s},
                                {u"0792"_s, u"Grüezi"_s, u"NACK 06"_s},
                                {u"0793"_s, u"HALLO"_s, u"OK"_s},
                                {u"0794"_s, u"Termin"_s, u"CMS 21"_s}};
    for (const QStringList &row : rows)
        QVERIFY(TestDb::exec(m_path,
                             u"INSERT INTO VersandLog (VersandDatum, VersandZeit, MobilNummer, "
                             u"Nachricht, versandt) VALUES ('2026-12-06', '10:00:00', ?, ?, ?)"_s,
                             {row.at(0), row.at(1), row.at(2)}));
    // Reports: both parts of 0791 delivered, one of 0793 failed; 0794 sent
    // without a request for one.
    {
        StoreConnection reports(m_path, u"reports"_s);
        Deliveries deliveries(reports.database());
        QVERIFY(deliveries.prepareTable());
        QVERIFY(deliveries.expectInTransaction(1, {{0, u"1"_s, u"1"_s}, {1, u"1"_s, u"2"_s}}));
        QVERIFY(deliveries.expectInTransaction(3, {{0, u"3"_s, u"3"_s}, {1, u"3"_s, u"4"_s}}));
        const QDateTime at(QDate(2026, 12, 6), QTime(10, 5));
        for (const QString &reference : {u"1"_s, u"2"_s, u"3"_s})
            QVERIFY(deliveries.report(u"1"_s, reference, DeliveryState::Delivered, at, {}));
        QVERIFY(
            deliveries.report(u"3"_s, u"4"_s, DeliveryState::Failed, at, u"Empfänger unbekannt"_s));
    }
    // One row per slice: every key and choice restarts a reading under way.
    RowScan::setSlicing(1, 0);
    const auto restore = qScopeGuard([] { RowScan::setSlicing(); });
    QVERIFY(openArchive());
    QTest::keyClicks(m_dialog->findChild<QLineEdit *>(u"txtSuchen"_s), search);
    m_dialog->findChild<QComboBox *>(u"cboAnzeigen"_s)->setCurrentIndex(show);
    const auto shown = [this] {
        QStringList numbers;
        for (const QString &line : lines())
            numbers.append(line.section(u" - "_s, 1).section(u',', 0, 0));
        return numbers.join(u' ');
    };
    QTRY_COMPARE(shown(), numbers);
    if (show == 0 && search.isEmpty())
        QCOMPARE(lines(),
                 (QStringList{u"06.12.2026/10:00:00 - 0791, Hallo Welt [zugestellt 06.12. 10:05]"_s,
                              u"06.12.2026/10:00:00 - 0792, Grüezi [abgelehnt: NACK 06 – "
                              u"Empfängeradresse ungültig (AdC)]"_s,
                              u"06.12.2026/10:00:00 - 0793, HALLO [nicht zugestellt: Empfänger "
                              u"unbekannt]"_s,
                              u"06.12.2026/10:00:00 - 0794, Termin [abgelehnt: CMS 21 – "
                              u"Kurzmitteilung abgewiesen]"_s}));
}

void TestDialogs::archiveResend_data()
{
    QTest::addColumn<QString>("number"); // as logged
    QTest::addColumn<int>("select");     // -1: nothing selected
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("resent"); // the number queued again; empty: nothing
    QTest::newRow("yes") << u"0791"_s << 1 << int(Prompter::Answer::Yes)
                         << u"Die Nachricht an 0791 erneut in die Warteschlange stellen?\n\n"
                            u"Abgelehnt"_s
                         << u"0791"_s;
    QTest::newRow("no") << u"0791"_s << 1 << int(Prompter::Answer::No) << QString() << QString();
    QTest::newRow("nothing selected")
        << u"0791"_s << -1 << int(Prompter::Answer::Ok)
        << u"Bitte wählen Sie zuerst die Nachricht aus, die erneut gesendet werden soll."_s
        << QString();
    QTest::newRow("separators")
        << u"+41 (0)79-555 12/34"_s << 1 << int(Prompter::Answer::Yes)
        << u"Die Nachricht an +41 (0)79-555 12/34 erneut in die Warteschlange stellen?\n\n"
           u"Abgelehnt"_s
        << u"0041795551234"_s;
    QTest::newRow("letter: told, not asked")
        << u"079 555 12 3x"_s << 1 << int(Prompter::Answer::Ok)
        << u"Die Mobilnummer \"079 555 12 3x\" enthält das Zeichen \"x\". Eine Nummer besteht "
           u"aus Ziffern, Leerzeichen und den Trennzeichen - / . ( ); ein \"+\" ist nur am "
           u"Anfang erlaubt."_s
        << QString();
}

void TestDialogs::archiveResend()
{
    QFETCH(QString, number);
    QFETCH(int, select);
    QFETCH(int, answer);
    QFETCH(QString, box);
    QFETCH(QString, resent);
    log(u"09:00:00"_s, u"Erfolg"_s);
    log(u"09:01:00"_s, u"Abgelehnt"_s, u"NACK 24"_s, number);
    QVERIFY(openArchive());
    auto *archive = qobject_cast<FRMArchiv *>(m_dialog);
    QSignalSpy requested(archive, &FRMArchiv::resendRequested);
    auto *list = m_dialog->findChild<QListView *>(u"LSTSelektion"_s);
    // Selected in a filtered list: the row behind it is the one sent again.
    m_dialog->findChild<QComboBox *>(u"cboAnzeigen"_s)->setCurrentIndex(select < 0 ? 0 : 2);
    if (select >= 0)
        list->setCurrentIndex(list->model()->index(0, 0));
    m_prompter->answerNext(Prompter::Answer(answer));
    click(u"cmdErneutSenden"_s);
    QCOMPARE(m_prompter->count(), 1);
    if (!box.isEmpty())
        QCOMPARE(m_prompter->texts().constFirst(), box);
    QCOMPARE(requested.count(), resent.isEmpty() ? 0 : 1);
    if (!resent.isEmpty())
        QCOMPARE(requested.constFirst(), (QVariantList{resent, u"Abgelehnt"_s}));
}

// RFC 4180 read independently of the program: fields split at ';' outside
// quotes, doubled quotes inside, records ending in CR LF.
static QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            record.append(std::exchange(field, QString()));
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            record.append(std::exchange(field, QString()));
            records.append(std::exchange(record, QStringList()));
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

void TestDialogs::archiveExport()
{
    const QString hard = u"Sag \"Grüezi\"; bis\r\nmorgen – Zürich"_s;
    log(u"09:00:00"_s, hard);
    log(u"09:01:00"_s, u"Abgelehnt"_s, u"NACK 24"_s);
    log(u"09:02:00"_s, u"Ende"_s);
    // The first message was delivered, the last one waits for its report.
    QVERIFY(TestDb::exec(m_path,
                         u"CREATE TABLE Deliveries (LogRow INTEGER, Part INTEGER, "
                         u"RecipientKey TEXT, Reference TEXT, State INTEGER, ReportedAt TEXT, "
                         u"Detail TEXT, PRIMARY KEY (LogRow, Part))"_s));
    QVERIFY(TestDb::exec(m_path,
                         u"INSERT INTO Deliveries VALUES (1, 0, '1', '1', 1, "
                         u"'2026-12-06T09:03:07', NULL), (3, 0, '3', '3', 0, NULL, NULL)"_s));
    QVERIFY(openArchive());
    // The rows shown: the sent ones only, exported at once while the
    // reading (one row per slice) has found only the first.
    RowScan::setSlicing(1, 0);
    const auto restore = qScopeGuard([] { RowScan::setSlicing(); });
    m_dialog->findChild<QComboBox *>(u"cboAnzeigen"_s)->setCurrentIndex(1);
    const QString path = m_dir->filePath(u"archiv"_s); // ".csv" is added
    m_prompter->answerSaveFile(Prompter::SaveFile{path, 0});
    click(u"cmdExportieren"_s);
    QCOMPARE(m_prompter->texts().constLast(), u"2 Nachrichten nach archiv.csv exportiert."_s);
    QFile file(path + u".csv"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF")); // UTF-8 with byte order mark
    const QList<QStringList> records = parseCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(0), (QStringList{u"Datum"_s, u"Zeit"_s, u"Mobilnummer"_s, u"Nachricht"_s,
                                         u"Status"_s, u"Zustellung"_s, u"Zustellzeit"_s}));
    QCOMPARE(records.at(1), (QStringList{u"06.12.2026"_s, u"09:00:00"_s, u"0791"_s, hard, u"OK"_s,
                                         u"zugestellt"_s, u"06.12.2026 09:03:07"_s}));
    QCOMPARE(records.at(2).mid(3),
             (QStringList{u"Ende"_s, u"OK"_s, u"Zustellung ausstehend"_s, QString()}));

    // Cancelled: nothing written, nothing said.
    m_prompter->answerSaveFile(std::nullopt);
    const int boxes = m_prompter->count();
    click(u"cmdExportieren"_s);
    QCOMPARE(m_prompter->count(), boxes);

    // The reading fails after its first row (a passing fault, gone by the
    // export): a part of the rows is no export, and no file is written.
    m_dialog->findChild<QComboBox *>(u"cboAnzeigen"_s)->setCurrentIndex(0);
    QCOMPARE(lines().size(), 1);
    QVERIFY(TestDb::exec(m_path, u"ALTER TABLE VersandLog RENAME TO Weg"_s));
    QTRY_COMPARE(m_prompter->count(), boxes + 1);
    QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Weg RENAME TO VersandLog"_s));
    const QString partial = m_dir->filePath(u"teil.csv"_s);
    m_prompter->answerSaveFile(Prompter::SaveFile{partial, 0});
    click(u"cmdExportieren"_s);
    QCOMPARE(m_prompter->count(), boxes + 2);
    QVERIFY(m_prompter->texts().constLast().startsWith(u"Das Archiv konnte nicht aus "_s));
    QVERIFY(!QFile::exists(partial));
}

void TestDialogs::archiveLongLine()
{
    // Short lines around the long one: a list that measured only its first
    // or last line would end the scroll range there and hide the long one's end.
    log(u"10:00:00"_s, u"kurz"_s);
    log(u"10:00:01"_s, QString(160, u'W'), u"NACK 06"_s);
    log(u"10:00:02"_s, u"auch kurz"_s);
    // Found in slices of one row: the longest row is measured all the same.
    RowScan::setSlicing(1, 0);
    const auto restore = qScopeGuard([] { RowScan::setSlicing(); });
    QVERIFY(openArchive());
    auto *list = m_dialog->findChild<QListView *>(u"LSTSelektion"_s);
    const int longWidth = list->fontMetrics().horizontalAdvance(lines().at(1));
    QTRY_VERIFY(list->horizontalScrollBar()->maximum() + list->viewport()->width() >= longWidth);
}

void TestDialogs::archiveUnreadable()
{
    QVERIFY(TestDb::exec(m_path, u"ALTER TABLE VersandLog RENAME TO Weg"_s));
    QVERIFY(openArchive());
    QCOMPARE(lines(), QStringList());
    QCOMPARE(m_prompter->count(), 1);
    QVERIFY(m_prompter->texts().constFirst().startsWith(u"Das Archiv konnte nicht aus "_s + m_path +
                                                        u" gelesen werden:\n"_s));
    // The window is back after its message and still closes normally.
    QVERIFY(m_dialog->isVisible());
    click(u"LBLEnde"_s);
    QVERIFY(m_main->isEnabled());
}

void TestDialogs::infoLink_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("openerSucceeds");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("web") << u"LBLWeb"_s << true << QStringList{u"https://www.funkbote.example"_s};
    QTest::newRow("e-mail, no mail program")
        << u"Titel"_s << false << QStringList{u"mailto:support@funkbote.example"_s};
    QTest::newRow("X opens nothing") << u"LBLEnde"_s << true << QStringList();
}

void TestDialogs::infoLink()
{
    QFETCH(QString, link);
    QFETCH(bool, openerSucceeds);
    QFETCH(QStringList, opened);

    QStringList urls;
    open(new FRMInfo(m_main.get(), m_prompter.get(), [&](const QUrl &url) {
        urls << QString::fromLatin1(url.toEncoded());
        return openerSucceeds;
    }));
    QVERIFY(!m_main->isEnabled());
    click(link);
    QCOMPARE(urls, opened);
    QCOMPARE(m_unloaded->count(), 1);
    QVERIFY(m_main->isEnabled());
    QTRY_VERIFY(m_dialog.isNull());
}

void TestDialogs::configSaved_data()
{
    QTest::addColumn<QString>("control"); // empty: closed by code
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("portNumber");

    QTest::newRow("cmdOK") << u"cmdOK"_s << u"255"_s << 255;
    QTest::newRow("LBLEnde X, blanks around") << u"LBLEnde"_s << u" 12 "_s << 12;
    QTest::newRow("by code, leading zero") << QString() << u"007"_s << 7;
    QTest::newRow("X, plus sign") << u"LBLEnde"_s << u"+5"_s << 5;
}

void TestDialogs::configSaved()
{
    QFETCH(QString, control);
    QFETCH(QString, port);
    QFETCH(int, portNumber);

    // Declared without a type, as files made by other tools may have it,
    // ComPort keeps any text it is given: the window itself must clean the number.
    QVERIFY(TestDb::exec(m_path, u"DROP TABLE Einstellungen"_s));
    QVERIFY(TestDb::exec(m_path, u"CREATE TABLE Einstellungen (ComPort, ProviderNummer, "
                                 u"InitialisierungsBefehl, \"Rückrufnummer\")"_s));
    QVERIFY(TestDb::exec(m_path, u"INSERT INTO Einstellungen VALUES (1, ?, 'ATDT', '')"_s,
                         {u"0800 123 456"_s}));
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    QCOMPARE(m_dialog->findChild<QLineEdit *>(kFields[1])->text(), u"0800 123 456"_s);
    type(kFields[0], port);
    type(kFields[1], u"+41 (0)800 / 55-66 77"_s);
    type(kFields[2], u"ATX3DT"_s);
    // A dial that starts while the window is open still gets the old values.
    QCoreApplication::processEvents();
    QCOMPARE(cache(), kCacheVorher);
    QCOMPARE(stored(), kSavedRow);

    click(control);
    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(m_unloaded->count(), 1);
    QVERIFY(m_main->isEnabled());
    // Stored as typed; the engine's copy of the number holds only the digits.
    QCOMPARE(stored(), u"%1|+41 (0)800 / 55-66 77|ATX3DT"_s.arg(portNumber));
    QCOMPARE(cache(), u"%1|410800556677|ATX3DT"_s.arg(portNumber));
    QTRY_VERIFY(m_dialog.isNull());
}

void TestDialogs::configInvalid_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");

    QTest::newRow("port letters") << 0 << u"COM3"_s;
    QTest::newRow("port 0") << 0 << u"0"_s;
    QTest::newRow("port 256") << 0 << u"256"_s;
    QTest::newRow("port fraction") << 0 << u"2.5"_s;
    QTest::newRow("port beyond 16 bit") << 0 << u"65537"_s;
    QTest::newRow("provider dashes only") << 1 << u"---"_s;
    QTest::newRow("command blanks") << 2 << u"   "_s;
}

void TestDialogs::configInvalid()
{
    QFETCH(int, field);
    QFETCH(QString, typed);

    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    // A valid edit in another field must not slip through either.
    if (field != 0)
        type(kFields[0], u"9"_s);
    type(kFields[field], typed);
    click(u"cmdOK"_s);
    QCOMPARE(m_prompter->texts(), QStringList{kErrors[field]});
    QCoreApplication::processEvents();
    QVERIFY(m_dialog && m_dialog->isVisible() && !m_main->isEnabled());
    QCOMPARE(m_unloaded->count(), 0);
    QCOMPARE(stored(), kSavedRow);
    QCOMPARE(cache(), kCacheVorher);

    // Corrected, the same window closes and stores it.
    const QString correction[] = {u"2"_s, u"0800"_s, u"ATDP"_s};
    type(kFields[field], correction[field]);
    click(u"LBLEnde"_s);
    QCOMPARE(m_unloaded->count(), 1);
    QCOMPARE(stored().section(u'|', field, field), correction[field]);
}

void TestDialogs::configUntouched_data()
{
    // The settings row as stored, what is typed in this opening, and the row
    // and cache after closing: only what the user changed is checked.
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("field"); // -1: nothing typed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    const QString withoutProvider = u"UPDATE Einstellungen SET ProviderNummer = NULL"_s;
    QTest::newRow("new file, nothing typed") << withoutProvider << -1 << QString() << u"1||ATDT"_s;
    QTest::newRow("new file, port changed") << withoutProvider << 0 << u"3"_s << u"3||ATDT"_s;
    QTest::newRow("number typed and deleted again")
        << withoutProvider << 1 << u"5\b"_s << u"1||ATDT"_s;
    QTest::newRow("port 0 stored, command changed")
        << u"UPDATE Einstellungen SET ComPort = 0"_s << 2 << u"ATDP"_s << u"0|0800 123 456|ATDP"_s;
    QTest::newRow("letters stored as port") << u"UPDATE Einstellungen SET ComPort = 'COM2'"_s << -1
                                            << QString() << u"COM2|0800 123 456|ATDT"_s;
    QTest::newRow("empty command stored")
        << u"UPDATE Einstellungen SET InitialisierungsBefehl = ''"_s << -1 << QString()
        << u"1|0800 123 456|"_s;
}

void TestDialogs::configUntouched()
{
    QFETCH(QString, sql);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    QVERIFY(TestDb::exec(m_path, sql));
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    if (field >= 0)
        type(kFields[field], typed);
    click(u"cmdOK"_s);
    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(m_unloaded->count(), 1);
    QVERIFY(m_main->isEnabled());
    QCOMPARE(stored(), expected);
    // Connection settings never given make no table of them.
    QCOMPARE(TestDb::scalar(m_path, u"SELECT count(*) FROM sqlite_master WHERE name = "
                                    u"'ConnectionSettings'"_s)
                 .toInt(),
             0);
    // The engine's copy: digits of the number; a port that names none is 0.
    const QString port = expected.section(u'|', 0, 0);
    QCOMPARE(cache(),
             u"%1|%2|%3"_s.arg(port == u"COM2"_s ? u"0"_s : port)
                 .arg(expected.section(u'|', 1, 1).remove(u' '), expected.section(u'|', 2, 2)));
    QTRY_VERIFY(m_dialog.isNull());
}

void TestDialogs::configSaveFails_data()
{
    // What another program does to the settings while the window is open.
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("reason");
    QTest::newRow("table taken away")
        << u"ALTER TABLE Einstellungen RENAME TO Weg"_s << u"Einstellungen"_s;
    QTest::newRow("row deleted") << u"DELETE FROM Einstellungen"_s
                                 << u"Der Datensatz ist nicht mehr vorhanden"_s;
}

void TestDialogs::configSaveFails()
{
    QFETCH(QString, sql);
    QFETCH(QString, reason);
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    type(kFields[0], u"6"_s);
    QVERIFY(TestDb::exec(m_path, sql));
    m_prompter->answerNext(Prompter::Answer::No);
    m_prompter->answerNext(Prompter::Answer::Yes);
    click(u"cmdOK"_s); // No keeps the window
    QCOMPARE(m_unloaded->count(), 0);
    click(u"cmdOK"_s); // Yes closes it without saving
    QCOMPARE(m_unloaded->count(), 1);
    QVERIFY(m_main->isEnabled());

    QCOMPARE(m_prompter->count(), 2);
    const ScriptedPrompter::Shown box = m_prompter->shown().constLast();
    QVERIFY(box.text.startsWith(u"Die Einstellungen konnten nicht gespeichert werden:\n"_s));
    QVERIFY(box.text.endsWith(u"\n\nFenster ohne Speichern schliessen?"_s));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
    QCOMPARE(box.buttons, Prompter::Buttons::YesNo);
    QCOMPARE(cache(), kCacheVorher);
    // No row is added in place of a vanished one.
    if (sql.startsWith(u"DELETE"_s))
        QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Einstellungen"_s).toInt(), 0);
}

void TestDialogs::configFileMissing()
{
    const QString path = m_dir->path() + u"/fehlt/Daten.mdb"_s;
    open(new FRMKonfiguration(path, m_settings.get(), m_main.get(), m_prompter.get()));
    QTRY_COMPARE(m_prompter->count(), 1);
    const QString text = m_prompter->texts().constFirst();
    QVERIFY(text.startsWith(u"Die Einstellungen konnten nicht aus "_s + path));
    QVERIFY(text.endsWith(u"Änderungen in diesem Fenster werden nicht gespeichert."_s));
    type(kFields[0], u"8"_s);
    click(u"cmdOK"_s);
    QCOMPARE(m_unloaded->count(), 1);
    QCOMPARE(cache(), kCacheVorher);
    QCOMPARE(m_prompter->count(), 1);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

void TestDialogs::configKindGreysFields_data()
{
    // The fields each kind uses, in this order: port, provider, command,
    // batch call, server, TCP port, account, password, SIM PIN, centre,
    // reports, sender, session kept, window; system ID, SMPP password,
    // system type, TLS, SMPP window; the spool folder for all.
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("used");
    QTest::newRow("modem") << 0 << u"11110000000000000001"_s;
    QTest::newRow("internet") << 1 << u"00001111001111000001"_s;
    QTest::newRow("gsm") << 2 << u"10000000111000000001"_s;
    QTest::newRow("smpp") << 3 << u"00001100001110111111"_s;
}

void TestDialogs::configKindGreysFields()
{
    QFETCH(int, kind);
    QFETCH(QString, used);
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    m_dialog->findChild<QComboBox *>(u"cboVerbindung"_s)->setCurrentIndex(kind);
    const QString fields[] = {kFields[0],
                              kFields[1],
                              kFields[2],
                              u"chkEinAnruf"_s,
                              u"txtServer"_s,
                              u"txtTcpPort"_s,
                              u"txtKonto"_s,
                              u"txtPasswort"_s,
                              u"txtSimPin"_s,
                              u"txtSmsZentrale"_s,
                              u"chkZustellbestaetigung"_s,
                              u"txtAbsender"_s,
                              u"chkOffenHalten"_s,
                              u"spnFenster"_s,
                              u"TXTSystemID"_s,
                              u"TXTSmppPasswort"_s,
                              u"TXTSystemTyp"_s,
                              u"CHKTls"_s,
                              u"TXTGleichzeitig"_s,
                              u"TXTSpoolOrdner"_s};
    const QList<QLabel *> labels = m_dialog->findChildren<QLabel *>();
    for (int i = 0; i < int(std::size(fields)); ++i) {
        auto *field = m_dialog->findChild<QWidget *>(fields[i]);
        QVERIFY2(field, qPrintable(fields[i]));
        QCOMPARE(field->isEnabled(), used.at(i) == u'1');
        // Every line field has its heading as buddy, greyed with it.
        if (!qobject_cast<QCheckBox *>(field)) {
            const auto buddy = std::find_if(labels.cbegin(), labels.cend(),
                                            [field](QLabel *l) { return l->buddy() == field; });
            QVERIFY2(buddy != labels.cend(), qPrintable(fields[i]));
            QCOMPARE((*buddy)->isEnabled(), field->isEnabled());
        }
    }
    // No keyring is given to the window: it says where the secrets go.
    auto *note = m_dialog->findChild<QLabel *>(u"lblSchluesselbund"_s);
    QVERIFY(note->text().contains(u"Daten.mdb"_s));
    QCOMPARE(note->accessibleName(), note->text());
}

void TestDialogs::configConnection_data()
{
    // The kind chosen, fields typed (name=text; typed before the kind is
    // chosen, so greyed fields can hold bad values), the message expected
    // (empty: the window closes) and the connection values then stored.
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("error");
    // Kind|Server|TcpPort|Account|Password|SimPin|SmsCentre|Sender, for SMPP
    // followed by |SystemId|SmppPassword|SystemType|Tls|Window
    QTest::addColumn<QString>("expected");

    const QStringList internet = {u"txtServer=smsc.example.ch"_s, u"txtTcpPort= 5016 "_s,
                                  u"txtKonto=4179000000"_s, u"txtPasswort=geh'eim"_s};
    const QString serverError =
        u"Der Server darf nicht leer sein (Name oder IP-Adresse der SMS-Zentrale)."_s;
    const QString portError = u"Der TCP-Port muss eine ganze Zahl von 1 bis 65535 sein."_s;
    // An empty provider number is no error for the internet kind; a bad
    // serial port neither, since the kind does not use it.
    QTest::newRow("internet") << 1 << internet + QStringList{u"TXTDBComPort=abc"_s} << QString()
                              << u"Tcp|smsc.example.ch|5016|4179000000|geh'eim|||"_s;
    QTest::newRow("internet without server")
        << 1 << QStringList{u"txtTcpPort=5016"_s} << serverError << QString();
    QTest::newRow("internet without port")
        << 1 << QStringList{u"txtServer=smsc"_s} << portError << QString();
    QTest::newRow("port 0") << 1 << QStringList{u"txtServer=smsc"_s, u"txtTcpPort=0"_s} << portError
                            << QString();
    QTest::newRow("port 65536") << 1 << QStringList{u"txtServer=smsc"_s, u"txtTcpPort=65536"_s}
                                << portError << QString();
    const QStringList reached = {u"txtServer=smsc"_s, u"txtTcpPort=5016"_s};
    QTest::newRow("longest account and password")
        << 1
        << reached +
               QStringList{u"txtKonto=4179 0000 0000 0000"_s, u"txtPasswort="_s + QString(64, u'/')}
        << QString() << u"Tcp|smsc|5016|4179 0000 0000 0000|"_s + QString(64, u'/') + u"|||"_s;
    QTest::newRow("account with a letter")
        << 1 << reached + QStringList{u"txtKonto=4179a"_s}
        << u"Das Konto (OAdC) besteht aus höchstens 16 Ziffern (leer lassen, wenn die "
           u"SMS-Zentrale keine Anmeldung verlangt)."_s
        << QString();
    QTest::newRow("password of 65 characters")
        << 1 << reached + QStringList{u"txtPasswort="_s + QString(65, u'x')}
        << u"Das Passwort darf höchstens 64 Zeichen lang sein."_s << QString();
    // The login carries the password as typed: what is stored is sent.
    const QString iraOnly = u"Das Passwort darf das Zeichen «%1» nicht enthalten: bei der "
                            u"Anmeldung gehen nur Buchstaben ohne Umlaute, Ziffern, Leerzeichen "
                            u"und die Zeichen der englischen Tastatur."_s;
    QTest::newRow("password with ß and €") << 1 << reached + QStringList{u"txtPasswort=Straße€1"_s}
                                           << iraOnly.arg(u"ß"_s) << QString();
    QTest::newRow("password with Ä")
        << 1 << reached + QStringList{u"txtPasswort=Äpfel"_s} << iraOnly.arg(u"Ä"_s) << QString();
    QTest::newRow("password of all printable ASCII")
        << 1 << reached + QStringList{u"txtPasswort= ~!\"#$%&()*+,-.:;<>?@[\\]^_`{|}"_s}
        << QString() << u"Tcp|smsc|5016|| ~!\"#$%&()*+,-.:;<>?@[\\]^_`{|}|||"_s;
    QTest::newRow("modem ignores internet fields")
        << 0 << QStringList{u"txtTcpPort=abc"_s, u"txtKonto=1"_s} << QString()
        << u"DialUp|||1||||"_s;
    // The sender: a name of up to 11 GSM characters or a number.
    const QString senderError = u"Der Absender ist eine Rufnummer mit höchstens 16 Ziffern oder "
                                u"ein Name aus höchstens 11 Buchstaben und Ziffern ohne Umlaute "
                                u"(leer lassen für das Konto)."_s;
    QTest::newRow("sender name of 11") << 1 << reached + QStringList{u"txtAbsender= Funkbote 11 "_s}
                                       << QString() << u"Tcp|smsc|5016|||||Funkbote 11"_s;
    QTest::newRow("sender number") << 1 << reached + QStringList{u"txtAbsender=+41 79 123 45 67"_s}
                                   << QString() << u"Tcp|smsc|5016|||||+41 79 123 45 67"_s;
    QTest::newRow("sender name of 12")
        << 1 << reached + QStringList{u"txtAbsender=Funkbote 123"_s} << senderError << QString();
    QTest::newRow("sender with emoji")
        << 1 << reached + QStringList{u"txtAbsender=Bote\U0001F600"_s} << senderError << QString();
    QTest::newRow("gsm") << 2 << QStringList{u"txtSimPin=0000"_s, u"txtSmsZentrale=+41 79 499"_s}
                         << QString() << u"Gsm|||||0000|+41 79 499|"_s;
    QTest::newRow("gsm pin letters")
        << 2 << QStringList{u"txtSimPin=12a4"_s}
        << u"Die SIM-PIN besteht aus 4 bis 8 Ziffern (leer lassen, wenn die SIM-Karte keine PIN "
           u"verlangt)."_s
        << QString();
    // SMPP: a bad value in a field of the internet kind is not its concern.
    const QStringList smpp = {u"txtServer=smsc"_s, u"txtTcpPort=2775"_s,
                              u"TXTSystemID= funkbote "_s};
    QTest::newRow("smpp") << 3 << smpp + QStringList{u"TXTSmppPasswort=geh'im 1"_s,
                                                     u"TXTSystemTyp= VMA "_s,
                                                     u"CHKTls=1"_s,
                                                     u"TXTGleichzeitig=100"_s,
                                                     u"txtKonto=41a"_s,
                                                     u"txtAbsender=Funkbote"_s}
                          << QString()
                          << u"Smpp|smsc|2775|||||Funkbote|funkbote|geh'im 1|VMA|1|100"_s;
    QTest::newRow("smpp defaults")
        << 3 << smpp << QString() << u"Smpp|smsc|2775||||||funkbote|||0|10"_s;
    QTest::newRow("smpp without system id")
        << 3 << QStringList{u"txtServer=smsc"_s, u"txtTcpPort=2775"_s}
        << u"Die System-ID für SMPP besteht aus 1 bis 15 Zeichen: Buchstaben ohne Umlaute, "
           u"Ziffern und die Zeichen der englischen Tastatur."_s
        << QString();
    QTest::newRow("smpp password of 9")
        << 3 << smpp + QStringList{u"TXTSmppPasswort=123456789"_s}
        << u"Das Passwort darf bei SMPP höchstens 8 Zeichen lang sein."_s << QString();
    QTest::newRow("smpp system type of 13")
        << 3 << smpp + QStringList{u"TXTSystemTyp=1234567890123"_s}
        << u"Der System-Typ besteht aus höchstens 12 Zeichen ohne Umlaute (leer lassen, wenn "
           u"die SMS-Zentrale keinen verlangt)."_s
        << QString();
    QTest::newRow("smpp without port")
        << 3 << QStringList{u"txtServer=smsc"_s, u"TXTSystemID=funkbote"_s} << portError
        << QString();
    QTest::newRow("gsm centre too long")
        << 2 << QStringList{u"txtSmsZentrale=+123456789012345678901"_s}
        << u"Die Nummer der SMS-Zentrale besteht aus höchstens 20 Ziffern, international mit + "
           u"davor (leer lassen für die der SIM-Karte)."_s
        << QString();
}

void TestDialogs::configConnection()
{
    QFETCH(int, kind);
    QFETCH(QStringList, typed);
    QFETCH(QString, error);
    QFETCH(QString, expected);

    QVERIFY(TestDb::exec(m_path, u"UPDATE Einstellungen SET ProviderNummer = NULL"_s));
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    auto *verbindung = m_dialog->findChild<QComboBox *>(u"cboVerbindung"_s);
    QCOMPARE(verbindung->currentText(), u"Modem (Wählverbindung)"_s);
    verbindung->setCurrentIndex(1); // every field of the internet kind can take text
    for (const QString &field : std::as_const(typed)) {
        const QString name = field.section(u'=', 0, 0);
        const QString text = field.section(u'=', 1);
        auto *widget = m_dialog->findChild<QWidget *>(name);
        widget->setEnabled(true);
        if (auto *box = qobject_cast<QCheckBox *>(widget))
            QTest::mouseClick(box, Qt::LeftButton);
        else if (auto *spin = qobject_cast<QSpinBox *>(widget))
            spin->setValue(text.toInt());
        else
            type(name, text);
    }
    // Chosen anew, so the fields are greyed as the kind has them.
    verbindung->setCurrentIndex((kind + 1) % verbindung->count());
    verbindung->setCurrentIndex(kind);
    click(u"cmdOK"_s);
    if (!error.isEmpty()) {
        QCOMPARE(m_prompter->texts(), QStringList{error});
        QCOMPARE(m_unloaded->count(), 0);
        QCOMPARE(TestDb::scalar(m_path, u"SELECT count(*) FROM sqlite_master WHERE name = "
                                        u"'ConnectionSettings'"_s)
                     .toInt(),
                 0);
        return;
    }
    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(m_unloaded->count(), 1);
    QCOMPARE(stored(), u"1||ATDT"_s); // a bad value in a greyed-out field is not stored
    auto storedConnection = [this] {
        ConnectionSettings connection(m_path, nullptr);
        if (!connection.reload())
            return connection.lastError();
        const ConnectionValues v = connection.values();
        QStringList values = {ConnectionSettings::kindName(v.kind),
                              v.server,
                              v.tcpPort ? QString::number(v.tcpPort) : QString(),
                              v.account,
                              v.password,
                              v.simPin,
                              v.smsCentre,
                              v.sender};
        if (v.kind == ConnectionKind::Smpp)
            values += {v.systemId, v.smppPassword, v.systemType, v.useTls ? u"1"_s : u"0"_s,
                       QString::number(v.smppWindow)};
        return values.join(u'|');
    };
    QCOMPARE(storedConnection(), expected);
    // Opened again, the window shows what is stored and closes keeping it.
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    click(u"cmdOK"_s);
    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(m_unloaded->count(), 1);
    QCOMPARE(storedConnection(), expected);
}

void TestDialogs::configPinRefusal_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("stillRefused");
    QTest::newRow("other centre, same PIN") << u"txtSmsZentrale=+41 79 499"_s << true;
    QTest::newRow("new PIN") << u"txtSimPin=4321"_s << false;
}

// A PIN the SIM refused is not sent again until the user saves another.
void TestDialogs::configPinRefusal()
{
    QFETCH(QString, typed);
    QFETCH(bool, stillRefused);
    {
        ConnectionSettings before(m_path, nullptr);
        ConnectionValues gsm;
        gsm.kind = ConnectionKind::Gsm;
        gsm.simPin = u"1234"_s;
        QVERIFY(before.save(gsm) && before.setSimPinRefused(gsm.simPin));
    }
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    type(typed.section(u'=', 0, 0), typed.section(u'=', 1));
    click(u"cmdOK"_s);
    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(m_unloaded->count(), 1);
    ConnectionSettings after(m_path, nullptr);
    QVERIFY(after.reload());
    QCOMPARE(after.simPinRefused(), stillRefused);
}

void TestDialogs::configPortDevice()
{
    const QString link = m_dir->filePath(u"COM1"_s);
    QVERIFY(QFile::link(u"/dev/funkbote-weg"_s, link));
    auto openWithPorts = [this] {
        auto *dialog =
            new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get());
        dialog->portChoice()->setLister([] {
            return QList<SerialPortEntry>{{u"/dev/ttyUSB7"_s, u"USB-Modem (Acme)"_s}};
        });
        open(dialog);
        return dialog->portChoice();
    };
    // The link names a device that is gone: shown as such, and kept while
    // nothing else is chosen.
    PortChoice *choice = openWithPorts();
    QCOMPARE(choice->currentText(), u"/dev/funkbote-weg (nicht vorhanden)"_s);
    QCOMPARE(choice->itemText(1), u"/dev/ttyUSB7 – USB-Modem (Acme)"_s);
    QCOMPARE(choice->itemText(0), u"eingebaut (/dev/ttyS0)"_s);
    choice->setCurrentIndex(1);
    click(u"cmdOK"_s);
    QCOMPARE(m_unloaded->count(), 1);
    QCOMPARE(QFileInfo(link).symLinkTarget(), u"/dev/ttyUSB7"_s);

    // The built-in port takes the link away.
    choice = openWithPorts();
    QCOMPARE(choice->currentIndex(), 1);
    choice->setCurrentIndex(0);
    click(u"cmdOK"_s);
    QVERIFY(!QFileInfo(link).isSymLink());

    // A file of that name is not a link: never replaced.
    QFile file(link);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    choice = openWithPorts();
    choice->setCurrentIndex(1);
    m_prompter->answerNext(Prompter::Answer::Yes);
    click(u"cmdOK"_s);
    QCOMPARE(m_prompter->count(), 1);
    QVERIFY(m_prompter->texts().constFirst().contains(u"ist keine Verknüpfung"_s));
    QVERIFY(QFileInfo(link).isFile() && !QFileInfo(link).isSymLink());
}

void TestDialogs::configSpoolFolder_data()
{
    // What the folder "spool" is (a mode, "file" or "missing"), the folder
    // stored before, what is typed ("%1": the folder; "button": chosen with
    // "…"), the message (%1: the folder; empty: the window closes) and what
    // is stored then.
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("stored");

    QTest::newRow("own folder typed") << u"700"_s << QString() << u" %1 "_s << QString() << u"%1"_s;
    QTest::newRow("chosen with the button")
        << u"700"_s << QString() << u"button"_s << QString() << u"%1"_s;
    QTest::newRow("typed below home with ~/")
        << u"700"_s << QString() << u"~/spool/"_s << QString() << u"%1"_s;
    QTest::newRow("others may write")
        << u"777"_s << QString() << u"%1"_s
        << u"Der Spool-Ordner \"%1\" ist für andere Benutzer beschreibbar. Jeder könnte so in "
           u"Ihrem Namen SMS senden. Bitte nur für Sie beschreibbar machen (chmod 700)."_s
        << QString();
    QTest::newRow("missing") << u"missing"_s << QString() << u"%1"_s
                             << u"Der Spool-Ordner \"%1\" existiert nicht."_s << QString();
    QTest::newRow("a file") << u"file"_s << QString() << u"%1"_s
                            << u"Der Spool-Ordner \"%1\" ist kein Ordner."_s << QString();
    QTest::newRow("emptied: off") << u"777"_s << u"%1"_s << QString() << QString() << QString();
    // Opened and closed again, the window closes whatever became of the
    // folder; the core tells of it when it starts.
    QTest::newRow("stored folder gone, left as it is")
        << u"missing"_s << u"%1"_s << u"%1"_s << QString() << u"%1"_s;
}

void TestDialogs::configSpoolFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, error);
    QFETCH(QString, stored);

    const QString spool = m_dir->filePath(u"spool"_s);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_dir->path()));
    const auto restoreHome = qScopeGuard([&home] { qputenv("HOME", home); });
    if (folder == u"file"_s) {
        QFile file(spool);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (folder != u"missing"_s) {
        QVERIFY(QDir().mkdir(spool));
        // The Unix mode as Qt's flags, the user being the owner.
        const int mode = folder.toInt(nullptr, 8);
        QVERIFY(QFile::setPermissions(
            spool, QFile::Permissions::fromInt((mode & 0700) << 6 | (mode & 0700) << 2 |
                                               (mode & 070) << 1 | (mode & 07))));
    }
    if (!before.isEmpty()) {
        ConnectionSettings settings(m_path, nullptr);
        ConnectionValues values;
        values.spoolFolder = before.arg(spool);
        QVERIFY(settings.save(values));
    }
    open(new FRMKonfiguration(m_path, m_settings.get(), m_main.get(), m_prompter.get()));
    auto *field = m_dialog->findChild<QLineEdit *>(u"TXTSpoolOrdner"_s);
    QCOMPARE(field->text(), before.isEmpty() ? QString() : before.arg(spool));
    if (typed == u"button"_s) {
        auto *button = m_dialog->findChild<QPushButton *>(u"cmdSpoolOrdner"_s);
        QCOMPARE(button->accessibleName(), u"Spool-Ordner wählen"_s);
        m_prompter->answerChooseFolder(spool);
        click(u"cmdSpoolOrdner"_s);
        QCOMPARE(m_prompter->fileChoices(), QStringList{u"Spool-Ordner wählen"_s});
        QCOMPARE(field->text(), spool);
    } else {
        type(u"TXTSpoolOrdner"_s, typed.contains(u"%1"_s) ? typed.arg(spool) : typed);
    }
    click(u"cmdOK"_s);
    ConnectionSettings after(m_path, nullptr);
    QVERIFY(after.reload());
    if (!error.isEmpty()) {
        QCOMPARE(m_prompter->texts(), QStringList{error.arg(spool)});
        QCOMPARE(m_unloaded->count(), 0);
        QCOMPARE(field->selectedText(), field->text()); // marked for correction
        QCOMPARE(after.values().spoolFolder, before.isEmpty() ? QString() : before.arg(spool));
        return;
    }
    QCOMPARE(m_prompter->texts(), QStringList());
    QCOMPARE(m_unloaded->count(), 1);
    QCOMPARE(after.values().spoolFolder, stored.isEmpty() ? QString() : stored.arg(spool));
}
