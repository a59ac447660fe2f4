// Fills the lists of the search results, the single pick and the bulk pick
// from an address book of 100,000 persons, then marks 10,000 of them in the
// bulk pick and queues the run, printing how long each step takes.
//
//   bench_addressbook [persons] [marked] [rounds]
#include "addressbookflow.h"
#include "dialogbase.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "outbox.h"
#include "outgoingqueue.h"
#include "personlines.h"
#include "personlistmodel.h"
#include "prompter.h"
#include "schema.h"
#include "storeconnection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QItemSelection>
#include <QListView>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Counts the boxes instead of showing them.
class SilentPrompter final : public Prompter
{
public:
    Answer message(const QString &, Buttons, Icon) override
    {
        ++shown;
        return Answer::Ok;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        ++shown;
        return std::nullopt;
    }
    int shown = 0;
};

bool fillAddressBook(const QString &path, int persons)
{
    StoreConnection connection(path, u"bench"_s);
    if (!connection.isOpen() || !connection.createSchema()) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(path),
                     qPrintable(connection.lastError()));
        return false;
    }
    QSqlDatabase db = connection.database();
    db.transaction();
    QSqlQuery query(db);
    if (!query.prepare(u"INSERT INTO Adressen (Name, Adresse, PLZOrt, NatelNummer, Bemerkungen) "
                       u"VALUES (?, ?, ?, ?, ?)"_s)) {
        std::fprintf(stderr, "cannot fill %s: %s\n", qPrintable(path),
                     qPrintable(query.lastError().text()));
        return false;
    }
    for (int i = 0; i < persons; ++i) {
        query.addBindValue(u"Muster-Person %1"_s.arg(i));
        query.addBindValue(u"Bahnhofstrasse %1"_s.arg(i % 200));
        query.addBindValue(u"8000 Zürich"_s);
        // Every twentieth person has no number, as real address books do.
        query.addBindValue(i % 20 == 0 ? QVariant()
                                       : QVariant(u"079 %1 %2"_s.arg(100 + i % 900).arg(i)));
        query.addBindValue(QVariant());
        query.exec();
    }
    return db.commit();
}

// Opens a list window and waits until its list is filled; milliseconds.
template <typename Window>
double openAndFill(const QString &path, QWidget *mainWindow, Prompter *prompter, int *lines)
{
    QElapsedTimer timer;
    timer.start();
    auto *window = new Window(path, mainWindow, prompter);
    QEventLoop loop;
    QObject::connect(window, &Window::ready, &loop, &QEventLoop::quit);
    window->show();
    loop.exec();
    const double filled = timer.nsecsElapsed() / 1e6;
    *lines = window->model()->rowCount();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return filled;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

template <typename Window>
void benchList(const char *name, const QString &path, QWidget *mainWindow, Prompter *prompter,
               int rounds)
{
    QList<double> times;
    int lines = 0;
    for (int i = 0; i < rounds; ++i)
        times.append(openAndFill<Window>(path, mainWindow, prompter, &lines));
    std::printf("%-14s %7d lines  open to filled: median %7.1f ms, best %7.1f ms\n", name, lines,
                median(times), *std::min_element(times.cbegin(), times.cend()));
}

void benchBulk(const QString &path, QWidget *mainWindow, Prompter *prompter, int marked, int rounds)
{
    QList<double> collectTimes;
    QList<double> queueTimes;
    qsizetype queued = 0;
    for (int round = 0; round < rounds; ++round) {
        AddressBookFlow flow(path, mainWindow, prompter);
        flow.startBulk(u"Morgen ist das Büro geschlossen."_s, u"079 555 66 77"_s);
        FRMSelektion *bulk = flow.bulkPick();
        {
            QEventLoop loop;
            QObject::connect(bulk, &FRMSelektion::ready, &loop, &QEventLoop::quit);
            loop.exec();
        }
        // Mark every n-th line, as a user picking by hand would leave gaps.
        const int rows = bulk->model()->rowCount();
        const int step = std::max(1, rows / std::max(1, marked));
        QItemSelection selection;
        for (int row = 0, n = 0; row < rows && n < marked; row += step, ++n)
            selection.select(bulk->model()->index(row), bulk->model()->index(row));
        bulk->list()->selectionModel()->select(selection, QItemSelectionModel::Select);

        OutgoingQueue queue;
        QElapsedTimer timer;
        QStringList numbers;
        QObject::connect(&flow, &AddressBookFlow::bulkRecipients, &flow,
                         [&](const QStringList &list) {
                             collectTimes.append(timer.nsecsElapsed() / 1e6);
                             numbers = list;
                         });
        timer.start();
        bulk->findChild<QPushButton *>(u"cmdSerienSMS"_s)->click();
        QElapsedTimer queueTimer;
        queueTimer.start();
        Outbox outbox(&queue);
        outbox.setCallBackNumber(u"079 555 66 77"_s);
        outbox.enqueue(numbers, u"Morgen ist das Büro geschlossen."_s, Outbox::Origin::Bulk);
        queueTimes.append(queueTimer.nsecsElapsed() / 1e6);
        queued = queue.count();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("bulk run       %7lld marked  click to numbers: median %7.1f ms; "
                "numbers to queue: median %7.1f ms\n",
                static_cast<long long>(queued), median(collectTimes), median(queueTimes));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int persons = args.size() > 1 ? args.at(1).toInt() : 100000;
    const int marked = args.size() > 2 ? args.at(2).toInt() : 10000;
    const int rounds = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 5;

    QTemporaryDir dir;
    const QString path = dir.filePath(Schema::fileName);
    QElapsedTimer timer;
    timer.start();
    if (!fillAddressBook(path, persons))
        return 1;
    std::printf("address book of %d persons written in %.0f ms (%d rounds each)\n", persons,
                timer.nsecsElapsed() / 1e6, rounds);

    QWidget mainWindow;
    SilentPrompter prompter;
    benchList<FRMSuchen>("FRMSuchen", path, &mainWindow, &prompter, rounds);
    benchList<FRMSelektion1>("FRMSelektion1", path, &mainWindow, &prompter, rounds);
    benchList<FRMSelektion>("FRMSelektion", path, &mainWindow, &prompter, rounds);
    benchBulk(path, &mainWindow, &prompter, marked, rounds);
    if (prompter.shown > 0)
        std::printf("(%d unexpected message boxes)\n", prompter.shown);
    return 0;
}
