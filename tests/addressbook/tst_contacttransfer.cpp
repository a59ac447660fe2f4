#include "addressbookflow.h"
#include "contacttransfer.h"
#include "csvformat.h"
#include "frmadressbuch.h"
#include "frmselektion.h"
#include "hoverlabel.h"
#include "importmappingdialog.h"
#include "importpreviewdialog.h"
#include "scriptedprompter.h"
#include "testdb.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A telephone's export: vCard 3.0, 4.0 and 2.1 with quoted-printable Latin-1,
// folded lines, a landline, a person without any number.
const QByteArray phoneVcf =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna Muster\r\nN:Muster;Anna;;;\r\n"
    "TEL;TYPE=HOME:044 123 45 67\r\nTEL;TYPE=CELL:+41 79 555 12 34\r\n"
    "NOTE:Kennt uns seit 20\r\n 10\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Beat Br\xC3\xA4ndli\r\n"
    "ADR;TYPE=home:;;Bahnhofstrasse 1;Z\xC3\xBCrich;;8000;Schweiz\r\n"
    "TEL;VALUE=uri;TYPE=cell:tel:+41-78-000-00-01\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:M\xFCller;J\xFCrg\r\n"
    "TEL;WORK:044 987 65 43\r\nNOTE;ENCODING=QUOTED-PRINTABLE:Gr=FCsse\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ohne Nummer\r\nEMAIL:x@example.ch\r\nEND:VCARD\r\n";

// A spreadsheet's export: commas, Windows-1252, first and last name apart.
const QByteArray sheetCsv = "Vorname,Nachname,Strasse,PLZ,Ort,Mobile Phone,Notizen\r\n"
                            "Anna,Muster,,,,+41795551234,neu\r\n"
                            "Carla,Meier,\"Gasse 3, Hinterhaus\",8600,D\xFC"
                            "bendorf,079 111 22 33,Notiz\r\n";

const QString anna = u"Anna Alt|Weg 1||079 555 12 34|"_s;
// Anna as typed into the address book just before the import.
const QString annaTyped = u"Anna Getippt|Weg 1||079 555 12 34|"_s;

} // namespace

// Importing and exporting persons through the address book and the bulk
// window, and bulk messages with merge fields: the file choice and every box
// scripted, the column mapping and the preview worked like a user would.
class TstContactTransfer : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_path;
    std::optional<QWidget> m_mainWindow;
    std::optional<ScriptedPrompter> m_prompter;
    std::unique_ptr<AddressBookFlow> m_flow;
    QList<bool> m_hidden; // per box: whether the window stepped aside

    // Table Adressen as "Name|Adresse|PLZOrt|NatelNummer|Bemerkungen".
    QStringList rows() const
    {
        QStringList result;
        const int count = TestDb::scalar(m_path, u"SELECT COUNT(*) FROM Adressen"_s).toInt();
        for (int i = 0; i < count; ++i) {
            result.append(
                TestDb::scalar(m_path,
                               u"SELECT COALESCE(Name, '') || '|' || COALESCE(Adresse, '') || '|' "
                               u"|| COALESCE(PLZOrt, '') || '|' || COALESCE(NatelNummer, '') || "
                               u"'|' || COALESCE(Bemerkungen, '') FROM Adressen ORDER BY rowid "
                               u"LIMIT 1 OFFSET ?"_s,
                               {i})
                    .toString());
        }
        return result;
    }
    QString file(const QString &name, const QByteArray &data)
    {
        QFile out(m_dir->filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return QString();
        return out.fileName();
    }
    template <typename Window> static Window *ready(Window *window)
    {
        QSignalSpy spy(window, &Window::ready);
        return window && spy.wait(5000) ? window : nullptr;
    }
    FRMAdressBuch *openBook()
    {
        m_flow->openAddressBook();
        FRMAdressBuch *book = ready(m_flow->addressBook());
        if (book)
            watch(book);
        return book;
    }
    FRMSelektion *openBulk(const QString &message)
    {
        if (!m_flow->startBulk(message, QString()))
            return nullptr;
        FRMSelektion *bulk = ready(m_flow->bulkPick());
        if (bulk)
            watch(bulk);
        return bulk;
    }
    void watch(QWidget *window)
    {
        m_prompter->setWhileOpen([this, window](const ScriptedPrompter::Shown &) {
            m_hidden.append(!window->isVisible());
        });
    }
    static void click(QWidget *window, const QString &name)
    {
        if (name == u"LBLEnde"_s)
            QTest::mouseClick(static_cast<DialogBase *>(window)->ende(), Qt::LeftButton);
        else
            window->findChild<QAbstractButton *>(name)->click();
    }
    static QString label(QWidget *window, const QString &name)
    {
        const QLabel *label = window->findChild<QLabel *>(name);
        // What a screen reader is given must follow the text.
        return label && label->accessibleDescription() == label->text() ? label->text()
                                                                        : u"(stumm)"_s;
    }
    static QString combo(QWidget *window, const QString &name)
    {
        return window->findChild<QComboBox *>(name)->currentText();
    }
    // The import's reading on the worker has ended (or the import has).
    static bool fileRead(FRMAdressBuch *book)
    {
        return QTest::qWaitFor(
            [book] { return !book->importFlow() || !book->importFlow()->progressWindow(); });
    }
    // Chooses the file and goes through the column mapping when there is one.
    ImportPreviewDialog *importUpToPreview(FRMAdressBuch *book, const QString &path)
    {
        m_prompter->answerOpenFile(path);
        click(book, u"cmdImportieren"_s);
        if (!fileRead(book) || !book->importFlow())
            return nullptr;
        if (ImportMappingDialog *mapping = book->importFlow()->mappingDialog())
            click(mapping, u"cmdWeiter"_s);
        // The preview opens once the mapping window has gone.
        const bool opened = QTest::qWaitFor(
            [book] { return book->importFlow() && book->importFlow()->previewDialog(); });
        return opened ? book->importFlow()->previewDialog() : nullptr;
    }

private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        m_path = TestDb::create(m_dir->path());
        m_mainWindow.emplace();
        m_prompter.emplace();
        m_hidden.clear();
        m_flow = std::make_unique<AddressBookFlow>(m_path, &*m_mainWindow, &*m_prompter);
    }
    void cleanup()
    {
        m_flow.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_mainWindow.reset();
        m_prompter.reset();
        m_dir.reset();
    }

    void import_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("update");
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("stored"); // Anna's row afterwards
        QTest::addColumn<QString>("done");
        QTest::addColumn<QStringList>("hints"); // the preview's, per person of the file

        const QStringList vcfCounts{u"Neu: 2"_s, u"Schon im Adressbuch (gleiche Nummer): 1"_s,
                                    u"Mehrfach in der Datei (gleiche Nummer): 0"_s,
                                    u"Ohne verwendbare Nummer: 1"_s,
                                    u"Keine gültige Mobilnummer (wird so übernommen): 1"_s};
        const QStringList vcfAdded{u"Beat Brändli|Bahnhofstrasse 1|8000 Zürich|+41-78-000-00-01|"_s,
                                   u"Jürg Müller|||044 987 65 43|Grüsse"_s, u"Ohne Nummer||||"_s};
        // The tel: number written with hyphens is one that can be sent.
        const QStringList vcfHints{QString(), QString(), u"keine gültige Mobilnummer"_s, QString()};
        QTest::newRow("vCard, match skipped")
            << u"telefon.vcf"_s << phoneVcf << false << vcfCounts << vcfAdded << annaTyped
            << u"Import abgeschlossen: 3 Personen neu aufgenommen, 1 übersprungen."_s << vcfHints;
        QTest::newRow("vCard, match updated")
            << u"telefon.vcf"_s << phoneVcf << true << vcfCounts << vcfAdded
            << u"Anna Muster|Weg 1||079 555 12 34|Kennt uns seit 2010"_s
            << u"Import abgeschlossen: 3 Personen neu aufgenommen, 1 aktualisiert."_s << vcfHints;
        // The notes column is set to "nicht übernehmen" in the mapping.
        QTest::newRow("CSV, mapping confirmed")
            << u"tabelle.csv"_s << sheetCsv << true
            << QStringList{u"Neu: 1"_s, u"Schon im Adressbuch (gleiche Nummer): 1"_s,
                           u"Mehrfach in der Datei (gleiche Nummer): 0"_s,
                           u"Ohne verwendbare Nummer: 0"_s,
                           u"Keine gültige Mobilnummer (wird so übernommen): 0"_s}
            << QStringList{u"Carla Meier|Gasse 3, Hinterhaus|8600 Dübendorf|079 111 22 33|"_s}
            << u"Anna Muster|Weg 1||079 555 12 34|"_s
            << u"Import abgeschlossen: 1 Person neu aufgenommen, 1 aktualisiert."_s
            << QStringList{QString(), QString()};
    }
    void import()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, data);
        QFETCH(bool, update);
        QFETCH(QStringList, counts);
        QFETCH(QStringList, added);
        QFETCH(QString, stored);
        QFETCH(QString, done);
        QFETCH(QStringList, hints);
        TestDb::addPerson(m_path, u"Anna Alt"_s, u"079 555 12 34"_s, u"Weg 1"_s);
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        // What is typed before the import is stored first: the preview
        // compares with it, and an update is not undone by it afterwards.
        book->nameField()->setText(u"Anna Getippt"_s);
        m_prompter->answerOpenFile(file(fileName, data));
        click(book, u"cmdImportieren"_s);
        QCOMPARE(m_prompter->fileChoices(), QStringList{u"Kontakte importieren"_s});
        QVERIFY(book->importFlow());
        QVERIFY(fileRead(book));

        if (ImportMappingDialog *mapping = book->importFlow()->mappingDialog()) {
            QVERIFY(mapping->isVisible());
            QCOMPARE(mapping->windowModality(), Qt::ApplicationModal);
            QCOMPARE(combo(mapping, u"CBOTrennzeichen"_s), u"Komma (,)"_s);
            QCOMPARE(combo(mapping, u"CBOZeichensatz"_s), u"Windows-1252 (Latin-1)"_s);
            QStringList roles;
            for (int i = 1; i <= 7; ++i)
                roles.append(combo(mapping, u"CBOSpalte%1"_s.arg(i)));
            QCOMPARE(roles, (QStringList{u"Vorname"_s, u"Nachname"_s, u"Adresse"_s, u"PLZ"_s,
                                         u"Ort"_s, u"Natel-Nummer"_s, u"Bemerkungen"_s}));
            const QLabel *heading = mapping->findChild<QLabel *>(u"LBLSpalten"_s);
            QCOMPARE(heading->buddy(), mapping->roleBox(0));
            QCOMPARE(label(mapping, u"LBLBeispiel"_s),
                     u"2 Personen in der Datei. Die erste: Name: Anna Muster, Mobilnummer: "
                     u"+41795551234, Bemerkungen: neu"_s);
            mapping->roleBox(6)->setCurrentIndex(0);
            QCOMPARE(label(mapping, u"LBLBeispiel"_s),
                     u"2 Personen in der Datei. Die erste: Name: Anna Muster, Mobilnummer: "
                     u"+41795551234"_s);
            click(mapping, u"cmdWeiter"_s);
            QVERIFY(!mapping->isVisible());
        }

        QTRY_VERIFY(book->importFlow()->previewDialog());
        ImportPreviewDialog *preview = book->importFlow()->previewDialog();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowModality(), Qt::ApplicationModal);
        QStringList counted;
        for (const QString &name : {u"LBLNeu"_s, u"LBLVorhanden"_s, u"LBLDoppelt"_s,
                                    u"LBLOhneNummer"_s, u"LBLKeineMobilnummer"_s})
            counted.append(label(preview, name));
        QCOMPARE(counted, counts);
        QCOMPARE(preview->table()->model()->rowCount(), added.size() + 1);
        QCOMPARE(preview->findChild<QLabel *>(u"LBLPersonen"_s)->buddy(), preview->table());
        // The matching person's row names the one in the address book.
        QCOMPARE(preview->table()->model()->index(0, 3).data().toString(),
                 u"schon im Adressbuch: Anna Getippt"_s);
        QStringList hinted;
        for (int row = 0; row < preview->table()->model()->rowCount(); ++row)
            hinted.append(preview->table()->model()->index(row, 4).data().toString());
        QCOMPARE(hinted, hints);
        if (update)
            click(preview, u"OPTAktualisieren"_s);
        QVERIFY(m_prompter->shown().isEmpty());
        // The address book steps aside for the message.
        click(preview, u"cmdImportieren"_s);
        QTRY_COMPARE(m_prompter->texts(), QStringList{done});
        QCOMPARE(m_hidden, QList<bool>{true});
        QCOMPARE(rows(), QStringList{stored} + added);
        // The address book has read the table again and shows its first record.
        QVERIFY(book->isVisible());
        QCOMPARE(book->nameField()->text(), stored.section(u'|', 0, 0));
        QTRY_VERIFY(!book->importFlow());
    }

    void importStopped_data()
    {
        QTest::addColumn<QString>("fileName"); // empty: the file choice is cancelled
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("how"); // window and button that stops it
        QTest::addColumn<QString>("message");
        QTest::newRow("file choice cancelled")
            << QString() << QByteArray() << QString() << QString();
        QTest::newRow("mapping cancelled")
            << u"a.csv"_s << sheetCsv << u"mapping cmdAbbrechen"_s << QString();
        QTest::newRow("mapping closed")
            << u"a.csv"_s << sheetCsv << u"mapping LBLEnde"_s << QString();
        QTest::newRow("preview cancelled")
            << u"a.vcf"_s << phoneVcf << u"preview cmdAbbrechen"_s << QString();
        QTest::newRow("preview closed")
            << u"a.vcf"_s << phoneVcf << u"preview LBLEnde"_s << QString();
        QTest::newRow("nobody in the file")
            << u"leer.vcf"_s << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD\r\n")
            << QString()
            << u"In der Datei «leer.vcf» wurden keine Personen gefunden.\nZeile 1: Die Karte "
               u"enthält weder Name noch Adresse, Nummer oder Bemerkung und wird übersprungen."_s;
        QTest::newRow("empty CSV file") << u"leer.csv"_s << QByteArray() << QString()
                                        << u"In der Datei «leer.csv» wurden keine Personen "
                                           u"gefunden.\nDie Datei enthält keine Zeilen."_s;
        QTest::newRow("no text file")
            << u"bild.vcf"_s << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x01", 20)
            << QString()
            << u"Die Datei «bild.vcf» enthält keinen Text (zu viele Steuerzeichen) und kann "
               u"nicht importiert werden. Bitte wählen Sie eine vCard- oder CSV-Datei."_s;
        QTest::newRow("reading cancelled")
            << u"a.vcf"_s << phoneVcf << u"progress cmdAbbrechen"_s << QString();
        QTest::newRow("reading window closed")
            << u"a.csv"_s << sheetCsv << u"progress close"_s << QString();
        // Hundreds of broken lines: the box lists five and counts the rest.
        QTest::newRow("nobody, many broken lines")
            << u"kaputt.vcf"_s << QByteArray("BEGIN:VCARD\n") + QByteArray("x\n").repeated(300)
            << QString()
            << u"In der Datei «kaputt.vcf» wurden keine Personen gefunden.\nZeile 2: Die Zeile "
               u"hat keinen Doppelpunkt und wird übersprungen.\nZeile 3: Die Zeile hat keinen "
               u"Doppelpunkt und wird übersprungen.\nZeile 4: Die Zeile hat keinen Doppelpunkt "
               u"und wird übersprungen.\nZeile 5: Die Zeile hat keinen Doppelpunkt und wird "
               u"übersprungen.\nZeile 6: Die Zeile hat keinen Doppelpunkt und wird "
               u"übersprungen.\n… und 297 weitere Hinweise"_s;
        QTest::newRow("write refused half way")
            << u"a.vcf"_s << phoneVcf << u"preview cmdImportieren"_s
            << u"Der Import ist fehlgeschlagen; das Adressbuch ist unverändert geblieben.\n"
               u"gesperrt Unable to fetch row"_s;
    }
    void importStopped()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, data);
        QFETCH(QString, how);
        QFETCH(QString, message);
        TestDb::addPerson(m_path, u"Anna Alt"_s, u"079 555 12 34"_s, u"Weg 1"_s);
        // Beat is written before Jürg's row is refused.
        QVERIFY(TestDb::exec(m_path, u"CREATE TRIGGER halt BEFORE INSERT ON Adressen WHEN "
                                     u"NEW.Name = 'Jürg Müller' BEGIN SELECT RAISE(ABORT, "
                                     u"'gesperrt'); END"_s));
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        m_prompter->answerOpenFile(fileName.isEmpty() ? std::nullopt
                                                      : std::optional(file(fileName, data)));
        click(book, u"cmdImportieren"_s);
        if (how.startsWith(u"progress"_s)) {
            // The reading runs on while the window stands; a cancel ends the
            // import, whatever the worker has read by then.
            QVERIFY(book->importFlow());
            QDialog *progress = book->importFlow()->progressWindow();
            QVERIFY(progress && progress->isVisible());
            QCOMPARE(progress->windowModality(), Qt::ApplicationModal);
            if (how.endsWith(u"close"_s))
                progress->close();
            else
                click(progress, how.section(u' ', 1));
        } else if (!how.isEmpty()) {
            QVERIFY(book->importFlow());
            QVERIFY(fileRead(book));
            if (how.startsWith(u"preview"_s) && book->importFlow()->mappingDialog())
                click(book->importFlow()->mappingDialog(), u"cmdWeiter"_s);
            if (how.startsWith(u"preview"_s))
                QTRY_VERIFY(book->importFlow()->previewDialog());
            DialogBase *window =
                how.startsWith(u"mapping"_s)
                    ? static_cast<DialogBase *>(book->importFlow()->mappingDialog())
                    : book->importFlow()->previewDialog();
            QVERIFY(window && window->isVisible());
            click(window, how.section(u' ', 1));
        }
        QTRY_VERIFY(!book->importFlow());
        QCOMPARE(m_prompter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(m_hidden, QList<bool>(message.isEmpty() ? 0 : 1, true));
        QCOMPARE(rows(), QStringList{anna});
        QVERIFY(book->isVisible());
        // The next import starts afresh.
        QVERIFY(TestDb::exec(m_path, u"DROP TRIGGER halt"_s));
        m_prompter->clear();
        // With a card of 150 broken lines: the preview lists the first
        // messages and counts the rest.
        ImportPreviewDialog *preview = importUpToPreview(
            book, file(u"b.vcf"_s, phoneVcf + "BEGIN:VCARD\r\nFN:Z\r\n" +
                                       QByteArray("x\r\n").repeated(150) + "END:VCARD\r\n"));
        QVERIFY(preview);
        const auto *messages = preview->findChild<QListWidget *>(u"LSTHinweise"_s);
        QVERIFY(messages && messages->count() == 101);
        QCOMPARE(messages->item(100)->text(), u"… und 50 weitere"_s);
        click(preview, u"cmdImportieren"_s);
        QTRY_COMPARE(rows().size(), 5);
    }

    void exportImportRoundTrip_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("vCard 4.0 by its filter") << 0 << u"kontakte.vcf"_s;
        QTest::newRow("CSV by its filter") << 1 << u"kontakte.csv"_s;
    }
    void exportImportRoundTrip()
    {
        QFETCH(int, filter);
        QFETCH(QString, written);
        TestDb::addPerson(m_path, u"Meier, Hans"_s, u"079 555 12 34"_s,
                          u"Bahnhofstrasse 1; Hinterhaus"_s, u"8000 Zürich"_s,
                          u"Sagt \"Grüezi\"\nzweite Zeile; mit \\ und ,"_s);
        TestDb::addPerson(m_path, u"Élodie Brändli-Çelik"_s, u"+41 78 000 00 00"_s, QVariant(),
                          u"CH-1700 Fribourg"_s);
        TestDb::addPerson(m_path, u"Ohne Nummer"_s, QVariant(), u"Weg 3"_s);
        const QStringList before = rows();
        FRMAdressBuch *book = openBook();
        QVERIFY(book);
        m_prompter->answerSaveFile(Prompter::SaveFile{m_dir->filePath(u"kontakte"_s), filter});
        click(book, u"cmdExportieren"_s);
        QCOMPARE(m_prompter->fileChoices(), QStringList{u"Kontakte exportieren"_s});
        QCOMPARE(m_prompter->texts(),
                 QStringList{u"3 Personen wurden in die Datei «"_s + written + u"» exportiert."_s});
        QVERIFY(QFile::exists(m_dir->filePath(written)));

        QVERIFY(TestDb::exec(m_path, u"DELETE FROM Adressen"_s));
        m_prompter->clear();
        ImportPreviewDialog *preview = importUpToPreview(book, m_dir->filePath(written));
        QVERIFY(preview);
        QCOMPARE(label(preview, u"LBLNeu"_s), u"Neu: 2"_s);
        click(preview, u"cmdImportieren"_s);
        QTRY_COMPARE(rows(), before);
    }

    void exportFromBulkWindow()
    {
        TestDb::addPerson(m_path, u"Anna"_s, u"079 1"_s, u"Weg 1"_s);
        TestDb::addPerson(m_path, u"Ben"_s, u"079 2"_s);
        TestDb::addPerson(m_path, u"Cem"_s, u"079 3"_s, QVariant(), u"3000 Bern"_s);
        FRMSelektion *bulk = openBulk(u"Hallo"_s);
        QVERIFY(bulk);
        click(bulk, u"cmdExportieren"_s);
        QCOMPARE(m_prompter->texts(), QStringList{u"Sie haben niemanden ausgewählt!"_s});
        // Marked in any order, written in list order.
        for (int row : {2, 0})
            bulk->list()->selectionModel()->select(bulk->list()->model()->index(row, 0),
                                                   QItemSelectionModel::Select);
        m_prompter->answerSaveFile(Prompter::SaveFile{m_dir->filePath(u"fehlt/x.csv"_s), 0});
        m_prompter->answerSaveFile(Prompter::SaveFile{m_dir->filePath(u"auswahl.csv"_s), 0});
        click(bulk, u"cmdExportieren"_s);
        click(bulk, u"cmdExportieren"_s);
        const QStringList texts = m_prompter->texts();
        QCOMPARE(texts.size(), 3);
        QVERIFY2(texts.at(1).startsWith(u"Die Datei «x.csv» konnte nicht geschrieben werden: "_s),
                 qPrintable(texts.at(1)));
        QCOMPARE(texts.at(2), u"2 Personen wurden in die Datei «auswahl.csv» exportiert."_s);
        QCOMPARE(m_hidden, QList<bool>(3, true));
        QFile written(m_dir->filePath(u"auswahl.csv"_s));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const CsvTable table = readCsv(written.readAll());
        QCOMPARE(table.rows,
                 (QList<QStringList>{{u"Anna"_s, u"Weg 1"_s, u""_s, u"079 1"_s, u""_s},
                                     {u"Cem"_s, u""_s, u"3000 Bern"_s, u"079 3"_s, u""_s}}));
        // The bulk window stays open for the run.
        QVERIFY(m_flow->bulkPick() == bulk && bulk->isVisible());
    }

    void mergeFields()
    {
        TestDb::addPerson(m_path, u"Anna"_s, u"079 1"_s);
        TestDb::addPerson(m_path, u"Ben Brändli"_s, u"+41 79 2"_s, QVariant(), u"3000 Bern"_s);
        TestDb::addPerson(m_path, u"Cem"_s, u"079 3"_s, QVariant(), QVariant(), QString(160, u'x'));
        QSignalSpy personal(m_flow.get(), &AddressBookFlow::bulkMessages);
        QSignalSpy same(m_flow.get(), &AddressBookFlow::bulkRecipients);

        // Without braces nothing is previewed.
        FRMSelektion *bulk = openBulk(u"Hallo"_s);
        QVERIFY(bulk);
        QVERIFY(!bulk->findChild<QLabel *>(u"LBLHinweis"_s)->isVisible());
        click(bulk, u"cmdAbbrechen"_s);

        bulk = openBulk(u"Hallo {Name} aus {PLZOrt}!"_s);
        QVERIFY(bulk);
        QVERIFY(bulk->findChild<QLabel *>(u"LBLHinweis"_s)->isVisible());
        // Nobody marked: the first listed person; then the first marked one.
        QCOMPARE(label(bulk, u"LBLHinweis"_s), u"Vorschau für «Anna»: Hallo Anna aus !"_s);
        for (int row : {2, 1})
            bulk->list()->selectionModel()->select(bulk->list()->model()->index(row, 0),
                                                   QItemSelectionModel::Select);
        QCOMPARE(label(bulk, u"LBLHinweis"_s),
                 u"Vorschau für «Ben Brändli»: Hallo Ben Brändli aus 3000 Bern!"_s);
        click(bulk, u"cmdSerienSMS"_s);
        QCOMPARE(personal.size(), 1);
        QCOMPARE(personal.constFirst().at(0).toStringList(),
                 (QStringList{u"0041792"_s, u"0793"_s}));
        QCOMPARE(personal.constFirst().at(1).toStringList(),
                 (QStringList{u"Hallo Ben Brändli aus 3000 Bern!"_s, u"Hallo Cem aus !"_s}));
        QVERIFY(same.isEmpty() && m_prompter->shown().isEmpty());

        // The longest text decides, and its person is named; the window stays
        // open until that person is unmarked.
        bulk = openBulk(u"{Name}: {Bemerkungen}"_s);
        QVERIFY(bulk);
        bulk->list()->selectAll();
        click(bulk, u"cmdSerienSMS"_s);
        QCOMPARE(m_prompter->texts(),
                 QStringList{u"Die Nachricht für «Cem» ist mit den eingesetzten Feldern 165 "
                             u"Zeichen lang; höchstens 160 Zeichen sind möglich. Bitte kürzen Sie "
                             u"die Nachricht."_s});
        QCOMPARE(m_hidden, QList<bool>{true});
        QVERIFY(m_flow->bulkPick() == bulk && bulk->isVisible());
        QCOMPARE(personal.size(), 1);
        bulk->list()->selectionModel()->select(bulk->list()->model()->index(2, 0),
                                               QItemSelectionModel::Deselect);
        click(bulk, u"cmdSerienSMS"_s);
        QCOMPARE(personal.size(), 2);
        QCOMPARE(personal.at(1).at(1).toStringList(),
                 (QStringList{u"Anna: "_s, u"Ben Brändli: "_s}));

        // A text that comes out empty would queue nothing for its person.
        m_prompter->clear();
        bulk = openBulk(u"{Bemerkungen}"_s);
        QVERIFY(bulk);
        bulk->list()->selectAll();
        click(bulk, u"cmdSerienSMS"_s);
        QCOMPARE(
            m_prompter->texts(),
            QStringList{u"Die Nachricht für «Anna» ist mit den eingesetzten Feldern leer. "
                        u"Bitte ergänzen Sie die Nachricht oder die Angaben im Adressbuch."_s});
        QVERIFY(m_flow->bulkPick() == bulk);
        QCOMPARE(personal.size(), 2);
        QVERIFY(same.isEmpty());
    }
};

QTEST_MAIN(TstContactTransfer)
#include "tst_contacttransfer.moc"
