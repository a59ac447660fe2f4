// Prints how long an import of 10,000 persons takes in its pure steps:
// reading a .vcf file of 10,000 cards, reading a CSV file of as many rows,
// and planning the import against 10,000 stored persons of whom half have a
// number of the file; then the two exports. Then the whole import as the
// address book runs it, into a Daten.mdb that holds those 10,000 persons:
// the file read, the preview's plan, and the write in one transaction, once
// skipping and once updating the matches; and the export of the 15,000
// persons then stored. Asserts nothing.
#include "contactfile.h"
#include "contactstore.h"
#include "csvformat.h"
#include "importplan.h"
#include "importsession.h"
#include "storeconnection.h"
#include "vcardformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

constexpr int personCount = 10000;

QString mobileNumber(int i)
{
    return u"079 %1 %2 %3"_s.arg(100 + i / 10000 % 900)
        .arg(i / 100 % 100, 2, 10, QChar(u'0'))
        .arg(i % 100, 2, 10, QChar(u'0'));
}

// Cards as telephones and mail programs write them: folded notes, a fixed
// and a mobile number, every tenth card vCard 2.1 with quoted-printable
// Latin-1, and a photo line that the reader has to skip.
QByteArray vcfFile()
{
    QByteArray file;
    for (int i = 0; i < personCount; ++i) {
        const QByteArray n = QByteArray::number(i);
        if (i % 10 == 0) {
            file += "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:M\xFCller" + n +
                    ";J\xFCrg\r\nTEL;HOME:044 123 45 67\r\nTEL;CELL;PREF:" +
                    mobileNumber(i).toLatin1() +
                    "\r\nNOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Gr=FC=\r\nsse=0D=0A" +
                    n + "\r\nEND:VCARD\r\n";
            continue;
        }
        file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + n + "\r\nN:Person;" + n +
                ";;;\r\nADR;TYPE=home:;;Bahnhofstrasse " + n +
                ";Z\xC3\xBCrich;;8000;Schweiz\r\nTEL;TYPE=work,voice:044 123 45 67\r\n"
                "TEL;TYPE=cell:" +
                mobileNumber(i).toLatin1() + "\r\nEMAIL;TYPE=internet:person" + n +
                "@example.ch\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAP////"
                "//////\r\n ////////////////////////////////////////////\r\nNOTE:Eine Bemerkung, "
                "die lang genug ist\\, um gefaltet zu werden\\; mit Umlauten \xC3\xA4\xC3\xB6\r\n "
                "\xC3\xBC und einer zweiten Zeile\\nEnde\r\nEND:VCARD\r\n";
    }
    return file;
}

QList<ExistingPerson> storedPersons()
{
    QList<ExistingPerson> persons;
    persons.reserve(personCount);
    for (int i = 0; i < personCount; ++i) {
        // Even ones match a person of the file, written the international way.
        const QString number =
            i % 2 == 0 ? u"+41 "_s + mobileNumber(i).mid(1) : mobileNumber(i + personCount);
        persons.append({i + 1, number});
    }
    return persons;
}

template <typename Step> auto timed(QTextStream &out, const char *what, Step step)
{
    QElapsedTimer timer;
    timer.start();
    auto result = step();
    out << what << ": " << timer.elapsed() << " ms\n";
    out.flush();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const QByteArray vcf = vcfFile();
    out << "vCard file: " << personCount << " cards, " << vcf.size() / 1024 << " KiB\n";
    const ContactImport fromVcf = timed(out, "read 10,000 vCards", [&] { return readVCards(vcf); });
    const QList<ExistingPerson> stored = storedPersons();
    const ImportPlan plan = timed(out, "plan their import against 10,000 persons",
                                  [&] { return planImport(stored, fromVcf.records); });
    out << "  " << fromVcf.records.size() << " persons, " << fromVcf.messages.size()
        << " messages; new " << plan.count(ImportStatus::New) << ", matching "
        << plan.count(ImportStatus::Match) << ", repeated "
        << plan.count(ImportStatus::RepeatInFile) << ", without number "
        << plan.count(ImportStatus::NoNumber) << "\n";

    const QByteArray csv =
        timed(out, "write them as CSV", [&] { return writeCsv(fromVcf.records); });
    const ContactImport fromCsv = timed(out, "read the CSV file back and map its columns", [&] {
        const CsvTable table = readCsv(csv);
        return recordsFromCsv(table, guessCsvRoles(table.header));
    });
    const QByteArray vcf4 =
        timed(out, "write them as vCard 4.0", [&] { return writeVCards(fromCsv.records); });
    out << "  CSV " << csv.size() / 1024 << " KiB, vCard 4.0 " << vcf4.size() / 1024
        << " KiB, the same persons after both: "
        << (fromCsv.records == fromVcf.records ? "yes" : "no") << "\n";

    for (const ImportOptions::Matches matches :
         {ImportOptions::Matches::Skip, ImportOptions::Matches::Update}) {
        const bool update = matches == ImportOptions::Matches::Update;
        QTemporaryDir dir;
        StoreConnection connection(dir.filePath(u"Daten.mdb"_s), u"bench"_s);
        QSqlDatabase db = connection.database();
        QSqlQuery insert(db);
        if (!connection.createSchema() || !db.transaction() ||
            !insert.prepare(u"INSERT INTO Adressen (Name, NatelNummer) VALUES (?, ?)"_s)) {
            out << "cannot fill a Daten.mdb: " << connection.lastError()
                << insert.lastError().text() << "\n";
            return 1;
        }
        for (const ExistingPerson &person : stored) {
            insert.addBindValue(QString(u"Gespeichert "_s + QString::number(person.dsNummer)));
            insert.addBindValue(person.natelNummer);
            insert.exec();
        }
        db.commit();
        out << (update ? "import updating the matches" : "import skipping the matches")
            << ", 10,000 cards into 10,000 stored persons:\n";
        ImportSession session;
        timed(out, "  read the .vcf file", [&] {
            session.setData(u"kontakte.vcf"_s, vcf);
            return 0;
        });
        ContactStore store(connection.database());
        timed(out, "  plan against the table (preview)", [&] { return session.plan(store); });
        const std::optional<ImportOutcome> outcome = timed(
            out, "  write in one transaction", [&] { return session.write(store, {matches}); });
        if (outcome)
            out << "  added " << outcome->added << ", updated " << outcome->updated << ", skipped "
                << outcome->skipped << "\n";
        else
            out << "  failed: " << session.lastError() << "\n";
        const std::optional<QList<ContactRecord>> all =
            timed(out, "  read every person for an export", [&] { return store.readContacts(); });
        const QByteArray written = timed(out, "  write them as vCard 4.0", [&] {
            return contactFileBytes(all.value_or(QList<ContactRecord>()), ContactFileFormat::VCard);
        });
        out << "  " << (all ? all->size() : 0) << " persons, " << written.size() / 1024 << " KiB\n";
    }
    return 0;
}
