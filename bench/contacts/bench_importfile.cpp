// Prints what importing a large CSV file takes up to its preview: the file
// (50 MB of address rows unless a size in MB is given; with a second
// argument "vcf", a .vcf file of broken cards, a message for each of their
// lines) is read and planned
// against an empty Daten.mdb as the address book's import does it, with a
// progress that is called but never cancels. Prints the time to the preview
// and the peak resident memory of the process. Asserts nothing.
#include "contactstore.h"
#include "importsession.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// The peak resident set of this process in MB, from /proc (0 elsewhere).
qint64 peakResidentMb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50;
    const bool broken = argc > 2 && QByteArray(argv[2]) == "vcf";
    QTemporaryDir dir;
    const QString path = dir.filePath(broken ? u"kaputt.vcf"_s : u"gross.csv"_s);
    if (broken) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray card = "BEGIN:VCARD\r\nFN:A\r\n" +
                                QByteArray("kein Doppelpunkt\r\n").repeated(18) + "END:VCARD\r\n";
        while (file.size() < megabytes * 1024 * 1024)
            file.write(card.repeated(1000));
    } else {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("Vorname;Nachname;Strasse;PLZ;Ort;Natel;Notizen\r\n");
        for (qint64 i = 0; file.size() < megabytes * 1024 * 1024; ++i) {
            const QByteArray n = QByteArray::number(i);
            file.write("Hans" + n + ";M\xC3\xBCller;Bahnhofstrasse " + n +
                       ";8000;Z\xC3\xBCrich;079 " + QByteArray::number(100 + i % 900) + " " +
                       QByteArray::number(10 + i % 90) + " " +
                       QByteArray::number(10 + i / 90 % 90) + ";Kunde seit 2010\r\n");
        }
    }
    StoreConnection connection(dir.filePath(u"Daten.mdb"_s), u"bench"_s);
    if (!connection.createSchema()) {
        out << "cannot create a Daten.mdb: " << connection.lastError() << Qt::endl;
        return 1;
    }
    const qint64 before = peakResidentMb();
    qint64 calls = 0;
    const ReadProgress progress = [&calls](qint64, qint64) {
        ++calls;
        return true;
    };
    QElapsedTimer timer;
    timer.start();
    ImportSession session;
    if (!session.open(path, progress)) {
        out << session.lastError() << Qt::endl;
        return 1;
    }
    const qint64 read = timer.elapsed();
    ContactStore store(connection.database());
    if (!session.readExisting(store) || !session.planAgainstExisting(progress)) {
        out << session.lastError() << Qt::endl;
        return 1;
    }
    out << megabytes << (broken ? " MB vCard, " : " MB CSV, ") << session.contacts().records.size()
        << " persons, " << session.contacts().messages.size() << " messages kept and "
        << session.contacts().moreMessages << " counted: read in " << read
        << " ms, preview planned after " << timer.elapsed() << " ms, " << calls
        << " progress steps; peak memory " << peakResidentMb() << " MB (" << before
        << " MB before the import)" << Qt::endl;
    return 0;
}
