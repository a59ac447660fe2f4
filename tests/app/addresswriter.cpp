// Saves persons into the address book of a Daten.mdb without end, the way
// the address book window does (a view on Adressen: a new record, its fields
// filled, saved; then the record before it changed and saved), and prints
// "saved <n>" once person n and the change of person n-1 are stored. The
// crash test kills it at any moment.
//
//   addresswriter <Daten.mdb> <first number>
#include "recordview.h"
#include "schema.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    StoreConnection connection(args.at(1), u"addresswriter"_s);
    RecordView view(
        connection.database(), Schema::adressen,
        {Schema::name, Schema::adresse, Schema::plzOrt, Schema::natelNummer, Schema::bemerkungen});
    view.setKeyColumn(Schema::dsNummer);
    view.setAddsRecords(true);
    QHash<QString, QString> fields;
    for (const QString &column : {Schema::name, Schema::adresse, Schema::plzOrt,
                                  Schema::natelNummer, Schema::bemerkungen}) {
        view.bind(column, RecordView::Binding{[&fields, column] { return fields.value(column); },
                                              [](const QVariant &) {}});
    }
    std::optional<qint64> previous;
    for (int n = args.at(2).toInt();; ++n) {
        // The fields change while their record is current, as typed.
        if (!view.addNew())
            return std::fprintf(stderr, "%s\n", qPrintable(view.lastError())), 1;
        // A long note makes each save span several pages of the file.
        fields = {{Schema::name, u"Person %1"_s.arg(n)},
                  {Schema::adresse, u"Strasse %1"_s.arg(n)},
                  {Schema::plzOrt, u"8000 Zürich"_s},
                  {Schema::natelNummer, u"079 %1"_s.arg(n)},
                  {Schema::bemerkungen, QString(3000, QChar(u'a' + n % 26))}};
        if (!view.save())
            return std::fprintf(stderr, "%s\n", qPrintable(view.lastError())), 1;
        const std::optional<qint64> added = view.currentKey().toLongLong();
        if (previous) {
            if (!view.moveToKey(*previous))
                return std::fprintf(stderr, "%s\n", qPrintable(view.lastError())), 1;
            fields = {{Schema::name, u"Person %1"_s.arg(n - 1)},
                      {Schema::adresse, u"Strasse %1"_s.arg(n - 1)},
                      {Schema::plzOrt, u"8000 Zürich"_s},
                      {Schema::natelNummer, u"079 %1"_s.arg(n - 1)},
                      {Schema::bemerkungen, u"geändert"_s}};
            if (!view.save())
                return std::fprintf(stderr, "%s\n", qPrintable(view.lastError())), 1;
        }
        previous = added;
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}
