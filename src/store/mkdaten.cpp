// Writes a new, empty Daten.mdb with the three tables and a settings row.
// With --if-missing an existing file is left exactly as it is, so a rebuild
// never touches the user's data.
#include "schema.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(u"--if-missing"_qs) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: mkdaten [--if-missing] PATH/Daten.mdb\n");
        return 2;
    }
    const QString path = args.constFirst();
    if (QFileInfo::exists(path)) {
        if (ifMissing)
            return 0;
        std::fprintf(stderr, "mkdaten: %s exists already, not overwritten\n", qPrintable(path));
        return 1;
    }
    QString error;
    bool ok = false;
    {
        StoreConnection connection(path, u"mkdaten"_qs);
        ok = connection.isOpen() && Schema::createSchema(connection.database(), &error);
        if (!connection.isOpen())
            error = connection.errorText();
    }
    if (!ok) {
        QFile::remove(path);
        std::fprintf(stderr, "mkdaten: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
