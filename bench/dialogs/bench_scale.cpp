// The person lists and the send archive on a large Daten.mdb (a million
// persons and a million log rows unless told otherwise): how long each
// window takes until its first lines are drawn and until its list is
// complete, whether marking all in the bulk pick marks every person, how
// long a search takes, and the memory (RSS) before, while open and after
// closing. Prints figures only.
//
//   bench_scale [persons] [log rows]
#include "archivemodel.h"
#include "dialogbase.h"
#include "frmarchiv.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "personlistmodel.h"
#include "prompter.h"
#include "schema.h"
#include "sendlog.h"
#include "storeconnection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class CountingPrompter final : public Prompter
{
public:
    Answer message(const QString &text, Buttons, Icon) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

qint64 residentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Every twentieth person has no number; messages as a busy year leaves them.
bool fill(const QString &path, int persons, int logRows)
{
    StoreConnection connection(path, u"bench"_s);
    if (!connection.isOpen() || !connection.createSchema())
        return false;
    QSqlDatabase db = connection.database();
    db.transaction();
    QSqlQuery person(db);
    person.prepare(u"INSERT INTO Adressen (Name, Adresse, PLZOrt, NatelNummer) "
                   u"VALUES (?, ?, '8000 Zürich', ?)"_s);
    for (int i = 0; i < persons; ++i) {
        person.bindValue(0, u"Muster-Person %1"_s.arg(i));
        person.bindValue(1, u"Bahnhofstrasse %1"_s.arg(i % 200));
        person.bindValue(2, i % 20 == 0 ? QVariant()
                                        : QVariant(u"079 %1 %2"_s.arg(100 + i % 900).arg(i)));
        if (!person.exec())
            return false;
    }
    const QStringList texts = {u"Treffen morgen um 10 Uhr im Büro, bitte Unterlagen mitbringen."_s,
                               u"Ihre Bestellung ist versandbereit.\r\nAbholung ab Montag."_s,
                               QString(155, u'x') + u"...->"_s, u"Ok"_s};
    QSqlQuery log(db);
    log.prepare(u"INSERT INTO VersandLog (VersandDatum, VersandZeit, MobilNummer, Nachricht, "
                u"versandt) VALUES (?, ?, ?, ?, ?)"_s);
    const QDate start(2020, 1, 1);
    for (int i = 0; i < logRows; ++i) {
        log.bindValue(0, SendLog::dateText(start.addDays(i / 400)));
        log.bindValue(1, SendLog::timeText(QTime(8, 0).addSecs((i % 400) * 79)));
        log.bindValue(2, u"079 %1 %2"_s.arg(100 + i % 900).arg(i % 9973));
        log.bindValue(3, texts.at(i % texts.size()));
        log.bindValue(4, i % 50 == 0 ? u"NACK 06"_s : u"OK"_s);
        if (!log.exec())
            return false;
    }
    return db.commit();
}

// Shows the window and reports when its first lines are drawn and when it is
// complete (the signal), both from construction.
struct Opening
{
    double firstDrawn = 0;
    double complete = 0;
};

template <typename Window, typename Signal>
Opening open(Window *window, QAbstractItemModel *model, Signal complete, QElapsedTimer &timer)
{
    QSignalSpy done(window, complete);
    window->show();
    Opening figures;
    while (model->rowCount() == 0 && done.isEmpty())
        QCoreApplication::processEvents();
    window->grab();
    figures.firstDrawn = ms(timer);
    if (done.isEmpty())
        done.wait(600000);
    figures.complete = ms(timer);
    return figures;
}

void close(QWidget *window)
{
    QPointer<QWidget> guard(window);
    window->close();
    while (guard)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

template <typename Window>
void personList(const char *name, const QString &path, QWidget *mainWindow, Prompter *prompter)
{
    const qint64 before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    auto *window = new Window(path, mainWindow, prompter);
    const Opening figures = open(window, window->model(), &Window::ready, timer);
    const int lines = window->model()->rowCount();
    const qint64 open = residentKiB();
    close(window);
    std::printf("%-14s %8d lines  first lines drawn %7.1f ms  complete %7.1f ms  "
                "RSS %lld -> %lld -> %lld KiB\n",
                name, lines, figures.firstDrawn, figures.complete, before, open, residentKiB());
}

void bulkAll(const QString &path, QWidget *mainWindow, Prompter *prompter, int withNumber)
{
    // "Alle markieren" as soon as the first lines show: the lines found
    // afterwards must be marked as well.
    auto *window = new FRMSelektion(path, mainWindow, prompter);
    QSignalSpy ready(window, &FRMSelektion::ready);
    window->show();
    while (window->model()->rowCount() == 0)
        QCoreApplication::processEvents();
    const int atMarking = window->model()->rowCount();
    window->list()->selectAll();
    ready.wait(600000);
    QElapsedTimer timer;
    timer.start();
    const std::optional<FRMSelektion::Marked> marked = window->marked();
    const double collect = ms(timer);
    const qsizetype count = marked ? marked->numbers.size() : -1;
    std::printf("bulk pick      all marked at %d lines: %lld of %d numbers (%s) collected in "
                "%.1f ms\n",
                atMarking, static_cast<long long>(count), withNumber,
                count == withNumber ? "exact" : "NOT EXACT", collect);
    close(window);
}

void archive(const QString &path, QWidget *mainWindow, Prompter *prompter)
{
    const qint64 before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    auto *window = new FRMArchiv(path, mainWindow, prompter);
    auto *list = window->findChild<QListView *>(u"LSTSelektion"_s);
    const Opening figures = open(window, list->model(), &FRMArchiv::filled, timer);
    const qint64 open = residentKiB();
    std::printf("FRMArchiv      %8d lines  first lines drawn %7.1f ms  complete %7.1f ms\n",
                list->model()->rowCount(), figures.firstDrawn, figures.complete);
    auto *search = window->findChild<QLineEdit *>(u"txtSuchen"_s);
    for (const QString &text : {u"b"_s, u"bü"_s, u"büro"_s, u"079 5"_s, QString()}) {
        timer.restart();
        QSignalSpy filled(window, &FRMArchiv::filled);
        search->setText(text);
        QCoreApplication::processEvents();
        window->grab();
        const double drawn = ms(timer);
        if (filled.isEmpty())
            filled.wait(600000);
        std::printf("  search \"%s\": first lines drawn %7.1f ms, %8d lines complete %7.1f ms\n",
                    qPrintable(text), drawn, list->model()->rowCount(), ms(timer));
    }
    close(window);
    std::printf("  RSS %lld -> %lld -> %lld KiB\n", before, open, residentKiB());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int persons = args.size() > 1 ? args.at(1).toInt() : 1000000;
    const int logRows = args.size() > 2 ? args.at(2).toInt() : 1000000;

    QTemporaryDir dir;
    const QString path = dir.filePath(Schema::fileName);
    QElapsedTimer timer;
    timer.start();
    if (!fill(path, persons, logRows)) {
        std::fprintf(stderr, "cannot fill %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%d persons and %d log rows written in %.0f ms\n", persons, logRows, ms(timer));

    QWidget mainWindow;
    CountingPrompter prompter;
    QCoreApplication::processEvents();
    const qint64 start = residentKiB();
    personList<FRMSuchen>("FRMSuchen", path, &mainWindow, &prompter);
    personList<FRMSelektion1>("FRMSelektion1", path, &mainWindow, &prompter);
    personList<FRMSelektion>("FRMSelektion", path, &mainWindow, &prompter);
    bulkAll(path, &mainWindow, &prompter, persons - (persons + 19) / 20);
    archive(path, &mainWindow, &prompter);
    std::printf("RSS at the start %lld KiB, after all windows closed %lld KiB (%+lld KiB)\n", start,
                residentKiB(), residentKiB() - start);
    return 0;
}
