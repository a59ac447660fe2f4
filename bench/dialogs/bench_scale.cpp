// The person lists, the send archive and the inbox on a large Daten.mdb (a
// million persons, a million log rows with a delivery report each and a
// million received messages unless told otherwise): how long each
// window takes until its first lines are drawn and until its list is
// complete, whether marking all in the bulk pick marks every person, how
// long a search takes, and the memory (RSS) before, while open and after
// closing. Prints figures only.
//
//   bench_scale [persons] [log rows] [received messages]
#include "archivemodel.h"
#include "clock.h"
#include "dialogbase.h"
#include "frmarchiv.h"
#include "frmeingang.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "personlistmodel.h"
#include "prompter.h"
#include "schema.h"
#include "sendlog.h"
#include "storeconnection.h"
#include "twowaytables.h"

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

// Every twentieth person has no number; messages as a busy year leaves them,
// each with its delivery report (one in fifty still awaited, one in a
// hundred failed), and replies, a fifth of them unread.
bool fill(const QString &path, int persons, int logRows, int received)
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
        // Mobile numbers as people write them: "079 123 45 67".
        const QString digits = QString::number(i).rightJustified(7, u'0');
        person.bindValue(2, i % 20 == 0
                                ? QVariant()
                                : QVariant(u"079 %1 %2 %3"_s.arg(
                                      digits.first(3), digits.sliced(3, 2), digits.sliced(5))));
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
    if (!Deliveries(db).prepareTable() || !Inbox(db).prepareTable())
        return false;
    QSqlQuery delivery(db);
    delivery.prepare(u"INSERT INTO Deliveries (LogRow, Part, RecipientKey, Reference, State, "
                     u"ReportedAt, Detail) VALUES (?, 0, ?, ?, ?, ?, ?)"_s);
    for (int i = 1; i <= logRows; ++i) {
        if (i % 50 == 1) // refused: no report awaited
            continue;
        const int state = i % 50 == 2 ? 0 : i % 100 == 3 ? 2 : 1;
        delivery.bindValue(0, i);
        delivery.bindValue(1, u"4179%1"_s.arg(i));
        delivery.bindValue(2, QString::number(i % 256));
        delivery.bindValue(3, state);
        delivery.bindValue(4, state == 0 ? QVariant() : QVariant(u"2026-01-01T10:00:00"_s));
        delivery.bindValue(5, state == 2 ? QVariant(u"Empfänger unbekannt"_s) : QVariant());
        if (!delivery.exec())
            return false;
    }
    QSqlQuery inbox(db);
    inbox.prepare(u"INSERT INTO Inbox (Sender, Text, SentAt, ReceivedAt, IsRead, StopRequest) "
                  u"VALUES (?, ?, ?, ?, ?, ?)"_s);
    const QStringList replies = {u"Danke, bin um 10 da."_s, u"STOP"_s,
                                 u"Können wir auf Freitag verschieben? Grüsse"_s};
    const QDateTime first(QDate(2020, 1, 1), QTime(8, 0));
    for (int i = 0; i < received; ++i) {
        const QString at = first.addSecs(i * 97LL).toString(Qt::ISODate);
        inbox.bindValue(0, i % 3 == 0 ? u"+4179%1"_s.arg(1000000 + i % 900000)
                                      : u"079 %1 %2"_s.arg(100 + i % 900).arg(i));
        inbox.bindValue(1, replies.at(i % replies.size()));
        inbox.bindValue(2, at);
        inbox.bindValue(3, at);
        inbox.bindValue(4, i % 5 == 0 ? 0 : 1);
        inbox.bindValue(5, i % replies.size() == 1 ? 1 : 0);
        if (!inbox.exec())
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

void inbox(const QString &path, QWidget *mainWindow, Prompter *prompter)
{
    const qint64 before = residentKiB();
    SystemClock clock;
    QElapsedTimer timer;
    timer.start();
    auto *window = new FRMEingang(path, mainWindow, prompter, &clock);
    auto *list = window->findChild<QListView *>(u"LSTEingang"_s);
    const Opening figures = open(window, list->model(), &FRMEingang::filled, timer);
    const qint64 open = residentKiB();
    std::printf("FRMEingang     %8d lines  first lines drawn %7.1f ms  complete %7.1f ms\n",
                list->model()->rowCount(), figures.firstDrawn, figures.complete);
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
    const int received = args.size() > 3 ? args.at(3).toInt() : 1000000;

    QTemporaryDir dir;
    const QString path = dir.filePath(Schema::fileName);
    QElapsedTimer timer;
    timer.start();
    if (!fill(path, persons, logRows, received)) {
        std::fprintf(stderr, "cannot fill %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%d persons, %d log rows with their reports and %d received messages written in "
                "%.0f ms\n",
                persons, logRows, received, ms(timer));

    QWidget mainWindow;
    CountingPrompter prompter;
    QCoreApplication::processEvents();
    const qint64 start = residentKiB();
    personList<FRMSuchen>("FRMSuchen", path, &mainWindow, &prompter);
    personList<FRMSelektion1>("FRMSelektion1", path, &mainWindow, &prompter);
    personList<FRMSelektion>("FRMSelektion", path, &mainWindow, &prompter);
    bulkAll(path, &mainWindow, &prompter, persons - (persons + 19) / 20);
    archive(path, &mainWindow, &prompter);
    inbox(path, &mainWindow, &prompter);
    std::printf("RSS at the start %lld KiB, after all windows closed %lld KiB (%+lld KiB)\n", start,
                residentKiB(), residentKiB() - start);
    return 0;
}
