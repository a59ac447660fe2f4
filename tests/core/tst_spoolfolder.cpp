#include "fakeclock.h"
#include "spoolfile.h"
#include "spoolfolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHallo = "To: 41791234567\n\nHallo\n";
const QString kWork = SpoolFolder::workFolderName();
const QString kSent = SpoolFolder::sentFolderName();
const QString kFailed = SpoolFolder::failedFolderName();

bool writeFile(const QString &path, const QByteArray &bytes,
               QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(fehlt)");
}

// Qt's permission flags of a Unix mode such as 0750 (the user is the owner).
QFile::Permissions mode(int octal)
{
    const int owner = (octal >> 6) & 7, group = (octal >> 3) & 7, other = octal & 7;
    return QFile::Permissions::fromInt(owner << 12 | owner << 8 | group << 4 | other);
}

QStringList filesIn(const QString &path)
{
    return QDir(path).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestSpoolFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void takesFile_data();
    void takesFile();
    void halfWrittenFileWaits();
    void renamedInWhenDone_data();
    void renamedInWhenDone();
    void refusal_data();
    void refusal();
    void refusedFolderTakesNothing_data();
    void refusedFolderTakesNothing();
    void fileNotMovableStaysUnqueued();
    void manyFilesInSlices();

private:
    // A folder with a short settle time, whose queue takes every message
    // unless m_queueRefuses says why not.
    SpoolFolder *newFolder(const Clock *clock = nullptr, int settleMs = 30)
    {
        m_folder = std::make_unique<SpoolFolder>(
            m_spool,
            [this](const QString &number, const QString &text) {
                m_queued.append(number + u'|' + text);
                return m_queueRefuses;
            },
            clock);
        m_folder->setSettleMs(settleMs);
        m_folder->setRescanMs(50);
        m_taken = std::make_unique<QSignalSpy>(m_folder.get(), &SpoolFolder::taken);
        m_refused = std::make_unique<QSignalSpy>(m_folder.get(), &SpoolFolder::refused);
        return m_folder.get();
    }
    QString at(const QString &name) const { return m_spool + u'/' + name; }
    QStringList takenNames() const
    {
        QStringList names;
        for (const QList<QVariant> &signal : *m_taken)
            names.append(signal.at(0).toString());
        return names;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_spool;
    QStringList m_queued; // number|text of each message handed to the queue
    QString m_queueRefuses;
    std::unique_ptr<SpoolFolder> m_folder;
    std::unique_ptr<QSignalSpy> m_taken;
    std::unique_ptr<QSignalSpy> m_refused;
};

void TestSpoolFolder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_spool = m_dir->filePath(u"spool"_s);
    QVERIFY(QDir().mkdir(m_spool, mode(0700)));
    m_queued.clear();
    m_queueRefuses.clear();
}

void TestSpoolFolder::cleanup()
{
    m_folder.reset();
    m_dir.reset();
}

void TestSpoolFolder::takesFile_data()
{
    // A file lying in the folder (or in a sub-folder) when it starts, what
    // the queue answers, the message it is handed, and where the file ends
    // with what content (the line the folder appended after the file's own).
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("queueRefuses");
    QTest::addColumn<QStringList>("alreadyThere"); // in the sub-folder it goes to
    QTest::addColumn<QString>("queued");
    QTest::addColumn<QString>("endsAs"); // sub-folder/name
    QTest::addColumn<QByteArray>("appended");

    const QString hallo = u"+41791234567|Hallo"_s;
    QTest::newRow("complete file") << QString() << u"sms1"_s << kHallo << QString() << QStringList()
                                   << hallo << kSent + u"/sms1"_s << QByteArray();
    QTest::newRow("Latin-1 file") << QString() << u"sms1"_s
                                  << QByteArray("To: 0791234567\n\nGr\xFC\xDF"
                                                "e \xA4\n")
                                  << QString() << QStringList() << u"0791234567|Grüße €"_s
                                  << kSent + u"/sms1"_s << QByteArray();
    QTest::newRow("bad header") << QString() << u"sms1"_s << QByteArray("To: 4179\nHallo")
                                << QString() << QStringList() << QString() << kFailed + u"/sms1"_s
                                << QByteArray("\nFehler: Zeile 2 ist keine Kopfzeile: Hallo\n");
    const QString refusal = u"Die Nummer ist gesperrt."_s;
    QTest::newRow("number refused by the queue")
        << QString() << u"sms1"_s << kHallo << refusal << QStringList() << hallo
        << kFailed + u"/sms1"_s << "Fehler: " + refusal.toUtf8() + "\n";
    QTest::newRow("name taken in gesendet")
        << QString() << u"sms"_s << kHallo << QString() << QStringList{u"sms"_s, u"sms-2"_s}
        << hallo << kSent + u"/sms-3"_s << QByteArray();
    QTest::newRow("name with extension taken in fehlerhaft")
        << QString() << u"x.txt"_s << QByteArray("Alphabet: GSM\n") << QString()
        << QStringList{u"x.txt"_s} << QString() << kFailed + u"/x-2.txt"_s
        << QByteArray("Fehler: Unbekanntes Alphabet \"GSM\".\n");
    QTest::newRow("too big") << QString() << u"gross"_s << QByteArray(SpoolFile::maxBytes + 1, 'x')
                             << QString() << QStringList() << QString() << kFailed + u"/gross"_s
                             << QByteArray("\nFehler: Die Datei ist grösser als 64 KB.\n");
    // A crash between queueing and moving on: it may be queued already.
    QTest::newRow("left in .in-arbeit by a crash")
        << kWork << u"sms1"_s << kHallo << QString() << QStringList() << QString()
        << kFailed + u"/sms1"_s
        << "Fehler: Beim letzten Lauf unterbrochen; nicht gesendet, bitte prüfen.\n"_ba;
}

void TestSpoolFolder::takesFile()
{
    QFETCH(QString, where);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, queueRefuses);
    QFETCH(QStringList, alreadyThere);
    QFETCH(QString, queued);
    QFETCH(QString, endsAs);
    QFETCH(QByteArray, appended);

    const QString destination = endsAs.section(u'/', 0, 0);
    QVERIFY(QDir(m_spool).mkpath(destination));
    for (const QString &other : std::as_const(alreadyThere))
        QVERIFY(writeFile(at(destination + u'/' + other), "vorher"));
    if (!where.isEmpty())
        QVERIFY(QDir(m_spool).mkpath(where));
    QVERIFY(writeFile(at(where.isEmpty() ? name : where + u'/' + name), bytes));
    m_queueRefuses = queueRefuses;
    newFolder()->start();

    QTRY_COMPARE(m_taken->count(), 1);
    const QList<QVariant> signal = m_taken->takeFirst();
    QCOMPARE(signal.at(0).toString(), name);
    QCOMPARE(signal.at(1).toBool(), appended.isEmpty());
    QCOMPARE(signal.at(2).toString().toUtf8(),
             appended.trimmed().sliced(appended.isEmpty() ? 0 : 8)); // without "Fehler: "
    QCOMPARE(m_queued, queued.isEmpty() ? QStringList() : QStringList{queued});
    QCOMPARE(readFile(at(endsAs)), bytes + appended);
    for (const QString &other : std::as_const(alreadyThere))
        QCOMPARE(readFile(at(destination + u'/' + other)), "vorher"_ba);
    QCOMPARE(filesIn(m_spool), QStringList());
    QCOMPARE(filesIn(at(kWork)), QStringList());
    // The sub-folders are the user's alone: the messages are private.
    for (const QString &sub : {kWork, kSent, kFailed}) {
        if (sub != destination && sub != where)
            QCOMPARE(QFileInfo(at(sub)).permissions() & mode(0077), QFile::Permissions());
    }
    QCOMPARE(m_refused->count(), 0);
}

// A file still being written is taken only once it has stayed the same for
// the settle time, and then whole.
void TestSpoolFolder::halfWrittenFileWaits()
{
    FakeClock clock;
    SpoolFolder *folder = newFolder(&clock, 1000);
    folder->setRescanMs(3'600'000); // only the scans below
    QVERIFY(writeFile(at(u"sms"_s), "To: 41791234567\n\nHallo "));
    folder->start();
    clock.advanceMs(600);
    QVERIFY(writeFile(at(u"sms"_s), "Welt\n", QIODevice::Append));
    folder->scan();
    clock.advanceMs(600); // 1.2 s after it was first seen, 0.6 s after it changed
    folder->scan();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_queued, QStringList());
    QCOMPARE(m_taken->count(), 0);

    clock.advanceMs(400);
    folder->scan();
    QTRY_COMPARE(m_queued, QStringList{u"+41791234567|Hallo Welt"_s});
    QCOMPARE(takenNames(), QStringList{u"sms"_s});
}

void TestSpoolFolder::renamedInWhenDone_data()
{
    QTest::addColumn<QString>("writing");
    QTest::newRow(".tmp") << u"neu.tmp"_s;
    QTest::newRow(".part") << u"neu.part"_s;
    QTest::newRow(".LOCK") << u"neu.LOCK"_s;
    QTest::newRow("hidden") << u".neu"_s;
}

// A writer that renames its file into the folder when done: the name it
// writes under is never taken, the name it renames to is.
void TestSpoolFolder::renamedInWhenDone()
{
    QFETCH(QString, writing);
    QVERIFY(writeFile(at(writing), "To: 41791234567\n\nneu\n"));
    QVERIFY(writeFile(at(u"a"_s), kHallo));
    newFolder()->start();
    // "a" and the file being written have settled alike; "a" was taken.
    QTRY_COMPARE(takenNames(), QStringList{u"a"_s});
    QVERIFY(QFile::exists(at(writing)));

    QVERIFY(QFile::rename(at(writing), at(u"neu"_s)));
    QTRY_COMPARE(takenNames(), (QStringList{u"a"_s, u"neu"_s}));
    QCOMPARE(m_queued, (QStringList{u"+41791234567|Hallo"_s, u"+41791234567|neu"_s}));
    QCOMPARE(filesIn(at(kSent)), (QStringList{u"a"_s, u"neu"_s}));
}

void TestSpoolFolder::refusal_data()
{
    QTest::addColumn<QString>("setUp");  // what the folder "spool" is made into
    QTest::addColumn<QString>("reason"); // %1: the folder

    const QString othersWrite =
        u"Der Spool-Ordner \"%1\" ist für andere Benutzer beschreibbar. Jeder könnte so in Ihrem "
        u"Namen SMS senden. Bitte nur für Sie beschreibbar machen (chmod 700)."_s;
    QTest::newRow("mode 700") << u"700"_s << QString();
    QTest::newRow("mode 755, readable by others") << u"755"_s << QString();
    QTest::newRow("group may write") << u"770"_s << othersWrite;
    QTest::newRow("others may write") << u"703"_s << othersWrite;
    QTest::newRow("link to a folder of mode 700") << u"link 700"_s << QString();
    QTest::newRow("link to a folder others may write") << u"link 777"_s << othersWrite;
    QTest::newRow("missing") << u"missing"_s << u"Der Spool-Ordner \"%1\" existiert nicht."_s;
    QTest::newRow("a file") << u"file"_s << u"Der Spool-Ordner \"%1\" ist kein Ordner."_s;
}

void TestSpoolFolder::refusal()
{
    QFETCH(QString, setUp);
    QFETCH(QString, reason);

    QVERIFY(QDir(m_spool).removeRecursively());
    if (setUp == u"file"_s) {
        QVERIFY(writeFile(m_spool, kHallo));
    } else if (setUp != u"missing"_s) {
        const bool link = setUp.startsWith(u"link "_s);
        const QString folder = link ? m_dir->filePath(u"ziel"_s) : m_spool;
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(QFile::setPermissions(folder, mode(setUp.section(u' ', -1).toInt(nullptr, 8))));
        if (link)
            QVERIFY(QFile::link(folder, m_spool));
    }
    QCOMPARE(SpoolFolder::refusal(m_spool), reason.isEmpty() ? QString() : reason.arg(m_spool));
}

void TestSpoolFolder::refusedFolderTakesNothing_data()
{
    QTest::addColumn<bool>("groupWrites"); // else a file stands where "gesendet/" goes
    QTest::addColumn<QString>("reason");   // %1: the spool folder
    QTest::newRow("group may write")
        << true
        << u"Der Spool-Ordner \"%1\" ist für andere Benutzer beschreibbar. Jeder könnte so in "
           u"Ihrem Namen SMS senden. Bitte nur für Sie beschreibbar machen (chmod 700)."_s;
    QTest::newRow("sub-folder cannot be made")
        << false << u"Der Ordner \"%1/gesendet\" kann nicht angelegt werden."_s;
}

// A folder that cannot be used is told of once, and nothing is taken from
// it until the user has put it right.
void TestSpoolFolder::refusedFolderTakesNothing()
{
    QFETCH(bool, groupWrites);
    QFETCH(QString, reason);
    if (groupWrites)
        QVERIFY(QFile::setPermissions(m_spool, mode(0770)));
    else
        QVERIFY(writeFile(at(kSent), "kein Ordner"));
    QVERIFY(writeFile(at(u"sms"_s), kHallo));
    SpoolFolder *folder = newFolder();
    folder->start();
    QCOMPARE(m_refused->count(), 1);
    QCOMPARE(m_refused->constFirst().at(0).toString(), reason.arg(m_spool));
    // Rescans later: still told once, and the file untouched.
    folder->scan();
    folder->scan();
    QCoreApplication::processEvents();
    QCOMPARE(m_refused->count(), 1);
    QCOMPARE(m_taken->count(), 0);
    QCOMPARE(m_queued, QStringList());
    QCOMPARE(readFile(at(u"sms"_s)), kHallo);

    if (groupWrites)
        QVERIFY(QFile::setPermissions(m_spool, mode(0700)));
    else
        QVERIFY(QFile::remove(at(kSent)));
    QTRY_COMPARE(takenNames(), QStringList{u"sms"_s});
    QCOMPARE(m_queued, QStringList{u"+41791234567|Hallo"_s});
    QCOMPARE(m_refused->count(), 1);
}

// A file that cannot be moved out of the folder is not queued, and not
// tried again while it stays as it is: it would be queued on each try.
void TestSpoolFolder::fileNotMovableStaysUnqueued()
{
    newFolder()->start();
    QTRY_VERIFY(QFileInfo(at(kWork)).isDir());
    // A file of the same name is still in the way in ".in-arbeit/".
    QVERIFY(writeFile(at(kWork + u"/sms"_s), "alt"));
    QVERIFY(writeFile(at(u"sms"_s), kHallo));
    QTRY_COMPARE(takenNames(), QStringList{u"sms"_s});
    QCOMPARE(m_taken->constFirst().at(1).toBool(), false);
    QCOMPARE(m_taken->constFirst().at(2).toString(),
             u"Die Datei kann nicht in den Ordner \".in-arbeit\" verschoben werden; sie bleibt "
             u"liegen."_s);
    // Scans go on ("z" is taken after it has settled), "sms" is left alone.
    QVERIFY(writeFile(at(u"z"_s), kHallo));
    QTRY_COMPARE(takenNames(), (QStringList{u"sms"_s, u"z"_s}));
    QCOMPARE(m_queued, QStringList{u"+41791234567|Hallo"_s});
    QCOMPARE(readFile(at(u"sms"_s)), kHallo);
    QCOMPARE(readFile(at(kWork + u"/sms"_s)), "alt"_ba);
}

// Thousands of files do not freeze the program: they are taken in name
// order, at most filesPerPass before the event loop runs again.
void TestSpoolFolder::manyFilesInSlices()
{
    constexpr int count = 2 * SpoolFolder::filesPerPass + 20;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names.append(u"sms"_s + QString::number(i).rightJustified(4, u'0'));
        QVERIFY(
            writeFile(at(names.constLast()), "To: 41791234567\n\n" + names.constLast().toUtf8()));
    }
    int loopTurns = 0;
    QTimer turns;
    connect(&turns, &QTimer::timeout, this, [&loopTurns] { ++loopTurns; });
    turns.start(0);
    QList<int> turnOfFile;
    SpoolFolder *folder = newFolder();
    connect(folder, &SpoolFolder::taken, this, [&] { turnOfFile.append(loopTurns); });
    folder->start();

    QTRY_COMPARE(m_taken->count(), count);
    QCOMPARE(takenNames(), names);
    QCOMPARE(filesIn(at(kSent)), names);
    for (int i = SpoolFolder::filesPerPass; i < count; ++i)
        QVERIFY2(turnOfFile.at(i) > turnOfFile.at(i - SpoolFolder::filesPerPass),
                 qPrintable(u"file %1"_s.arg(i)));
}

QTEST_GUILESS_MAIN(TestSpoolFolder)
#include "tst_spoolfolder.moc"
