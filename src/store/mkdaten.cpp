// Writes a new, empty Daten.mdb with the three tables and a settings row.
// With --if-missing an existing file is left as it is, so a rebuild never
// touches the user's data. With --provider NUMBER the settings row gets that
// provider number if it has none yet (in a new file, or in an existing one
// kept by --if-missing): the demo script uses it to dial its simulated modem.
#include "newstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: mkdaten [--if-missing] [--provider NUMBER] PATH/Daten.mdb\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(u"--if-missing"_s) > 0;
    QString provider;
    if (const qsizetype at = args.indexOf(u"--provider"_s); at >= 0) {
        if (at + 1 >= args.size() || args.at(at + 1).trimmed().isEmpty())
            return usage();
        provider = args.at(at + 1);
        args.remove(at, 2);
    }
    if (args.size() != 1)
        return usage();
    const QString path = args.constFirst();
    const bool exists = QFileInfo::exists(path);
    if (exists && !ifMissing) {
        std::fprintf(stderr, "mkdaten: %s exists already, not overwritten\n", qPrintable(path));
        return 1;
    }
    if (exists && provider.isEmpty())
        return 0;
    if (const QString error = NewStore::create(path, provider); !error.isEmpty()) {
        std::fprintf(stderr, "mkdaten: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
