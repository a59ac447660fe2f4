// The address book's record access for 100,000 persons, two ways: the
// window's own view (RecordView) and QSqlTableModel with QDataWidgetMapper
// (manual submit). Prints how long opening on the first record, moving to
// the last one, positioning on a person near the end (the search results'
// hand-over) and storing one edit while staying on the record take.
//
//   bench_recordaccess [persons] [rounds]
#include "fieldbinding.h"
#include "recordview.h"
#include "schema.h"
#include "storeconnection.h"

#include <QApplication>
#include <QDataWidgetMapper>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

bool fill(StoreConnection &connection, int persons)
{
    if (!connection.createSchema())
        return false;
    QSqlDatabase db = connection.database();
    db.transaction();
    QSqlQuery query(db);
    if (!query.prepare(u"INSERT INTO Adressen (Name, Adresse, PLZOrt, NatelNummer) "
                       u"VALUES (?, ?, ?, ?)"_s))
        return false;
    for (int i = 0; i < persons; ++i) {
        query.addBindValue(u"Muster-Person %1"_s.arg(i));
        query.addBindValue(u"Bahnhofstrasse %1"_s.arg(i % 200));
        query.addBindValue(u"8000 Zürich"_s);
        query.addBindValue(u"079 %1"_s.arg(i));
        if (!query.exec())
            return false;
    }
    return db.commit();
}

// Rows in the order they were added, as the window shows them.
class AddressModel : public QSqlTableModel
{
public:
    using QSqlTableModel::QSqlTableModel;

protected:
    QString orderByClause() const override { return u"ORDER BY rowid"_s; }
};

// The model's row of a key: counted by a prepared statement, then fetched.
int rowOfKey(AddressModel &model, qint64 key)
{
    QSqlQuery query(model.database());
    if (!query.prepare(u"SELECT COUNT(*) FROM Adressen WHERE rowid < (SELECT rowid FROM "
                       u"Adressen WHERE DSNummer = ? ORDER BY rowid LIMIT 1)"_s))
        return -1;
    query.addBindValue(key);
    if (!query.exec() || !query.next())
        return -1;
    const int row = query.value(0).toInt();
    while (model.rowCount() <= row && model.canFetchMore())
        model.fetchMore();
    return row < model.rowCount() ? row : -1;
}

double timed(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

void print(const char *what, QList<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("  %-40s median %8.1f ms, best %8.1f ms\n", what, times.at(times.size() / 2),
                times.constFirst());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int persons = args.size() > 1 ? args.at(1).toInt() : 100000;
    const int rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 5;

    QTemporaryDir dir;
    StoreConnection connection(dir.filePath(Schema::fileName), u"bench"_s);
    if (!connection.isOpen() || !fill(connection, persons)) {
        std::fprintf(stderr, "cannot fill the address book: %s\n",
                     qPrintable(connection.lastError()));
        return 1;
    }
    const qint64 nearEnd = persons - 10;
    const QStringList columns{Schema::name, Schema::adresse, Schema::plzOrt, Schema::natelNummer,
                              Schema::bemerkungen};
    QLineEdit fields[5];

    std::printf("%d persons, %d rounds\n", persons, rounds);
    {
        QList<double> open, last, key, save;
        for (int round = 0; round < rounds; ++round) {
            RecordView view(connection.database(), Schema::adressen, columns);
            view.setKeyColumn(Schema::dsNummer);
            view.setAddsRecords(true);
            for (int i = 0; i < 5; ++i)
                bindField(&view, columns.at(i), &fields[i]);
            open.append(timed([&] { view.refresh(); }));
            last.append(timed([&] { view.moveLast(); }));
            key.append(timed([&] { view.moveToKey(nearEnd); }));
            fields[2].setText(u"3000 Bern %1"_s.arg(round));
            save.append(timed([&] { view.save(); }));
        }
        std::printf("RecordView\n");
        print("open on the first record", open);
        print("to the last record", last);
        print("to a person near the end (by key)", key);
        print("store one edit, stay on the record", save);
    }
    {
        QList<double> open, last, key, save;
        for (int round = 0; round < rounds; ++round) {
            AddressModel model(nullptr, connection.database());
            model.setTable(Schema::adressen);
            model.setEditStrategy(QSqlTableModel::OnManualSubmit);
            QDataWidgetMapper mapper;
            mapper.setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
            mapper.setModel(&model);
            for (int i = 0; i < 5; ++i)
                mapper.addMapping(&fields[i], model.fieldIndex(columns.at(i)));
            open.append(timed([&] {
                model.select();
                mapper.toFirst();
            }));
            last.append(timed([&] {
                while (model.canFetchMore())
                    model.fetchMore();
                mapper.toLast();
            }));
            model.select();
            key.append(timed([&] { mapper.setCurrentIndex(rowOfKey(model, nearEnd)); }));
            fields[2].setText(u"3000 Bern %1"_s.arg(round));
            save.append(timed([&] {
                const qint64 shown = model.data(model.index(mapper.currentIndex(), 0)).toLongLong();
                mapper.submit();
                QSqlDatabase db = model.database();
                db.transaction();
                if (!model.submitAll()) {
                    db.rollback();
                    std::fprintf(stderr, "%s\n", qPrintable(model.lastError().text()));
                } else {
                    db.commit();
                }
                // submitAll re-reads the table: the record is found again.
                mapper.setCurrentIndex(rowOfKey(model, shown));
            }));
        }
        std::printf("QSqlTableModel + QDataWidgetMapper\n");
        print("open on the first record", open);
        print("to the last record", last);
        print("to a person near the end (by key)", key);
        print("store one edit, stay on the record", save);
    }
    return 0;
}
