// Measures how long the send archive window takes from construction until
// its list is filled and first drawn, on a Daten.mdb with 100,000 log rows.
// Prints figures only.

#include "archiveline.h"
#include "archivemodel.h"
#include "frmarchiv.h"
#include "prompter.h"
#include "schema.h"
#include "sendlog.h"
#include "storeconnection.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTime>
#include <algorithm>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;
constexpr int kOpenings = 7;

// Boxes would stop the measurement; the archive shows one only on a read error.
class PrintingPrompter final : public Prompter
{
public:
    Answer message(const QString &text, Buttons, Icon) override
    {
        QTextStream(stderr) << "message: " << text << '\n';
        return Answer::Ok;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

// A log as a busy year leaves it: most messages short, some split into
// parts with continuation marks, some with line breaks, a few refused.
bool fillLog(const QString &path, QString *error)
{
    StoreConnection connection(path, u"bench"_s);
    QSqlDatabase db = connection.database();
    if (!connection.createSchema()) {
        *error = connection.lastError();
        return false;
    }
    const QStringList texts = {
        u"Treffen morgen um 10 Uhr im Büro, bitte Unterlagen mitbringen."_s,
        u"Ihre Bestellung ist versandbereit.\r\nAbholung ab Montag."_s,
        QString(155, u'x') + u"...->"_s,
        u"->..."_s + QString(150, u'y') + u"...->"_s,
        u"->...Schluss der langen Nachricht."_s,
        u"Ok"_s,
    };
    db.transaction();
    {
        QSqlQuery query(db);
        if (!query.prepare(u"INSERT INTO VersandLog (VersandDatum, VersandZeit, MobilNummer, "
                           u"Nachricht, versandt) VALUES (?, ?, ?, ?, ?)"_s)) {
            *error = query.lastError().text();
            return false;
        }
        const QDate start(2020, 1, 1);
        for (int i = 0; i < kRows; ++i) {
            query.bindValue(0, SendLog::dateText(start.addDays(i / 80)));
            query.bindValue(1, SendLog::timeText(QTime(8, 0).addSecs((i % 80) * 397)));
            query.bindValue(2, QString(u"079 "_s + QString::number(100 + i % 900) + u' ' +
                                       QString::number(i % 97).rightJustified(2, u'0') + u' ' +
                                       QString::number(i % 89).rightJustified(2, u'0')));
            query.bindValue(3, texts.at(i % texts.size()));
            query.bindValue(4, i % 50 == 0 ? u"NACK 06"_s : u"OK"_s);
            if (!query.exec()) {
                *error = query.lastError().text();
                return false;
            }
        }
    }
    return db.commit();
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

// The process's processor time: on a busy machine the wall clock also counts
// the time other programs had the processor.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Figures
{
    double filled = 0;
    double drawn = 0;
    double filledCpu = 0;
};

Figures openOnce(const QString &path, QWidget *mainWindow, Prompter *prompter, qsizetype *lines)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    auto *archive = new FRMArchiv(path, mainWindow, prompter);
    QEventLoop loop;
    QObject::connect(archive, &FRMArchiv::filled, &loop, &QEventLoop::quit);
    archive->show();
    loop.exec();
    Figures figures;
    figures.filled = ms(timer.nsecsElapsed());
    figures.filledCpu = cpuMs() - cpuStart;
    // The list lays itself out on the next turn of the event loop.
    QCoreApplication::processEvents();
    archive->grab();
    figures.drawn = ms(timer.nsecsElapsed());
    *lines = archive->lines().size();
    // Closed as the user closes it; the window deletes itself.
    QPointer<FRMArchiv> guard(archive);
    archive->close();
    while (guard)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return figures;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString path = dir.path() + u"/Daten.mdb"_s;
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!fillLog(path, &error)) {
        QTextStream(stderr) << "cannot build the log: " << error << '\n';
        return 1;
    }
    out << "log of " << kRows << " rows written in " << ms(timer.nsecsElapsed()) << " ms\n";

    // The parts of one opening, measured on their own.
    QList<LogRow> rows;
    {
        StoreConnection connection(path, u"bench-read"_s, true);
        timer.restart();
        double cpu = cpuMs();
        rows = SendLog(connection.database()).readAll();
        out << "read " << rows.size() << " rows:   " << ms(timer.nsecsElapsed()) << " ms ("
            << cpuMs() - cpu << " ms processor)\n";
    }
    timer.restart();
    double cpu = cpuMs();
    qsizetype characters = 0;
    for (const LogRow &row : std::as_const(rows))
        characters += ArchiveLine::line(row).size();
    out << "build " << rows.size() << " lines: " << ms(timer.nsecsElapsed()) << " ms ("
        << cpuMs() - cpu << " ms processor, " << characters << " characters)\n";

    // The filter as the user types: each key filters all rows anew.
    {
        ArchiveModel filter;
        filter.setRows(rows);
        const struct
        {
            QString search;
            ArchiveModel::Show show;
        } steps[] = {
            {u"b"_s, ArchiveModel::Show::All},        {u"bü"_s, ArchiveModel::Show::All},
            {u"büro"_s, ArchiveModel::Show::All},     {u"079 1"_s, ArchiveModel::Show::All},
            {QString(), ArchiveModel::Show::Refused}, {u"ABHOLUNG"_s, ArchiveModel::Show::Sent},
            {QString(), ArchiveModel::Show::All}};
        for (const auto &step : steps) {
            timer.restart();
            filter.setShow(step.show);
            filter.setSearch(step.search);
            out << "filter \"" << step.search << "\" show " << int(step.show) << ": "
                << filter.rowCount() << " rows in " << ms(timer.nsecsElapsed()) << " ms\n";
        }
    }
    rows.clear();

    QWidget mainWindow;
    PrintingPrompter prompter;
    QList<double> filled;
    QList<double> drawn;
    QList<double> filledCpu;
    qsizetype lines = 0;
    for (int i = 0; i < kOpenings; ++i) {
        const Figures figures = openOnce(path, &mainWindow, &prompter, &lines);
        filled.append(figures.filled);
        drawn.append(figures.drawn);
        filledCpu.append(figures.filledCpu);
    }
    out << "FRMArchiv with " << lines << " lines, " << kOpenings << " openings:\n";
    out << "  constructed to list filled: median " << median(filled) << " ms, min "
        << *std::min_element(filled.cbegin(), filled.cend()) << " ms, max "
        << *std::max_element(filled.cbegin(), filled.cend()) << " ms\n";
    out << "  processor time to list filled: median " << median(filledCpu) << " ms, min "
        << *std::min_element(filledCpu.cbegin(), filledCpu.cend()) << " ms\n";
    out << "  constructed to first drawn: median " << median(drawn) << " ms, min "
        << *std::min_element(drawn.cbegin(), drawn.cend()) << " ms, max "
        << *std::max_element(drawn.cbegin(), drawn.cend()) << " ms\n";
    return 0;
}
