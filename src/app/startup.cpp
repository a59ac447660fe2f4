#include "startup.h"

#include "connectionsettings.h"
#include "newstore.h"
#include "prompter.h"
#include "schema.h"
#include "storecheck.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The folder and its parents; the folder itself only for this user, since
// it holds the address book, the archive and perhaps secrets.
bool makePrivateFolder(const QString &path)
{
    const QFileInfo info(path);
    return QDir().mkpath(info.absolutePath()) &&
           QDir().mkdir(info.absoluteFilePath(), ownerOnly | QFileDevice::ExeOwner);
}

QString lockPath(const QString &dataDir)
{
    return QDir(dataDir).filePath(u"Funkbote.lock"_s);
}

// Whether the process runs without a window (Linux: its command line).
bool runsHeadless(qint64 pid)
{
    QFile cmdline(u"/proc/%1/cmdline"_s.arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return false;
    return cmdline.readAll().split('\0').contains("--headless");
}

} // namespace

StartupGuard::StartupGuard(QString dataDir, Prompter *prompter, bool createFresh)
    : m_dataDir(std::move(dataDir)), m_prompter(prompter), m_createFresh(createFresh)
{}

QString StartupGuard::databasePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(Schema::fileName);
}

QString StartupGuard::databasePath() const
{
    return databasePath(m_dataDir);
}

std::optional<int> StartupGuard::check()
{
    const QString folder = QDir::toNativeSeparators(m_dataDir);
    if (m_createFresh) {
        m_prompter->message(QCoreApplication::translate(
                                "StartupGuard",
                                "Funkbote wird zum ersten Mal gestartet und legt seine Daten neu "
                                "an in:\n\n%1")
                                .arg(folder),
                            Prompter::Buttons::Ok, Prompter::Icon::Information);
        if (!makePrivateFolder(m_dataDir)) {
            m_prompter->message(QCoreApplication::translate(
                                    "StartupGuard",
                                    "Der Datenordner \"%1\" kann nicht angelegt werden. Bitte "
                                    "prüfen Sie die Schreibrechte.\n\nDas Programm wird beendet.")
                                    .arg(folder),
                                Prompter::Buttons::Ok, Prompter::Icon::Critical);
            return CreateFailed;
        }
    }
    // A folder that is not there holds no Daten.mdb either: that is what the
    // user is told, not that no lock file can be made in it.
    if (!m_createFresh && !QFileInfo(m_dataDir).isDir())
        return badStore();
    // A lock file beside Daten.mdb: the lock belongs to a process, so a lock
    // left by a crashed instance is recognised as stale and taken over.
    // A lock left behind tells that the last run did not end cleanly: only
    // then is every page of Daten.mdb read for damage, which takes the
    // longer the bigger the file.
    m_checkEveryPage = QFileInfo::exists(lockPath(m_dataDir));
    m_lock = std::make_unique<QLockFile>(lockPath(m_dataDir));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0) && !endHeadlessInstance()) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_prompter->message(QCoreApplication::translate(
                "StartupGuard", "Dieses Programm ist bereits gestartet!"));
            return SecondInstance;
        }
        m_prompter->message(
            QCoreApplication::translate(
                "StartupGuard",
                "Im Datenordner \"%1\" kann die Sperrdatei nicht angelegt werden. Bitte prüfen "
                "Sie die Schreibrechte.\n\nDas Programm wird beendet.")
                .arg(folder),
            Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return LockFailed;
    }
    if (m_createFresh) {
        if (std::optional<int> exitCode = createFresh())
            return exitCode;
    }
    if (std::optional<int> exitCode = badStore())
        return exitCode;
    narrowRights();
    return std::nullopt;
}

std::optional<qint64> StartupGuard::runningInstance(const QString &dataDir)
{
    QLockFile lock(lockPath(dataDir));
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0)
        return std::nullopt;
#ifdef Q_OS_UNIX
    // A lock whose process is gone was left by a crash.
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return std::nullopt;
#endif
    return pid;
}

bool StartupGuard::endHeadlessInstance()
{
#ifdef Q_OS_UNIX
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_offerToEndHeadless || m_lock->error() != QLockFile::LockFailedError ||
        !m_lock->getLockInfo(&pid, &host, &application) || !runsHeadless(pid))
        return false;
    if (m_prompter->message(
            QCoreApplication::translate(
                "StartupGuard",
                "Funkbote läuft bereits ohne Fenster (Prozess %1, etwa als Dienst) mit diesen "
                "Daten. Soll es beendet werden, damit das Fenster starten kann? Die "
                "Warteschlange bleibt erhalten.")
                .arg(pid),
            Prompter::Buttons::YesNo, Prompter::Icon::Warning) != Prompter::Answer::Yes)
        return false;
    if (::kill(pid_t(pid), SIGTERM) != 0)
        return false;
    // It finishes what it is writing and lets go of the lock; the start
    // waits for that a few seconds, with its event loop running.
    QEventLoop loop;
    QTimer poll;
    const QDeadlineTimer deadline(15'000);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_lock->tryLock(0))
            loop.exit(1);
        else if (deadline.hasExpired())
            loop.exit(0);
    });
    poll.start(100);
    if (loop.exec() == 1) {
        m_checkEveryPage = false; // it ended cleanly and took its lock file with it
        return true;
    }
#endif
    return false;
}

std::optional<int> StartupGuard::badStore()
{
    const StoreCheck::Depth depth =
        m_checkEveryPage ? StoreCheck::Depth::EveryPage : StoreCheck::Depth::Structure;
    if (StoreCheck check(databasePath(), depth); !check.run()) {
        m_prompter->message(check.lastError(), Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return BadStore;
    }
    return std::nullopt;
}

void StartupGuard::narrowRights()
{
#ifdef Q_OS_UNIX
    // A file made before it was made for this user alone, or copied in: the
    // password and the PIN in it are for nobody else. Once narrowed, the
    // next start has nothing more to say.
    const QString path = databasePath();
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    const QFileDevice::Permissions rights = QFileInfo(path).permissions();
    if (!(rights & others) || !ConnectionSettings::fileHoldsSecrets(path))
        return;
    if (!QFile::setPermissions(path,
                               rights & ~(others | QFileDevice::ExeGroup | QFileDevice::ExeOther)))
        return;
    m_prompter->message(QCoreApplication::translate(
                            "StartupGuard",
                            "Die Datei \"%1\" enthält das Passwort der Zentrale oder die PIN der "
                            "SIM-Karte und war für andere Benutzer dieses Computers lesbar. Sie "
                            "ist jetzt nur noch für Sie lesbar.")
                            .arg(QDir::toNativeSeparators(path)),
                        Prompter::Buttons::Ok, Prompter::Icon::Information);
#endif
}

std::optional<int> StartupGuard::createFresh()
{
    const QString error = NewStore::create(databasePath());
    if (error.isEmpty())
        return std::nullopt;
    // The folder goes again, so that the next start is a first start again.
    m_lock.reset();
    QDir().rmdir(m_dataDir);
    m_prompter->message(QCoreApplication::translate(
                            "StartupGuard",
                            "Die Datei \"%1\" kann nicht angelegt werden:\n%2\n\nDas Programm wird "
                            "beendet.")
                            .arg(QDir::toNativeSeparators(databasePath()), error),
                        Prompter::Buttons::Ok, Prompter::Icon::Critical);
    return CreateFailed;
}
