#include "startup.h"

#include "prompter.h"
#include "schema.h"
#include "storecheck.h"

#include <QDir>

StartupGuard::StartupGuard(QString programDir, Prompter *prompter)
    : m_programDir(std::move(programDir)), m_prompter(prompter)
{}

QString StartupGuard::databasePath(const QString &programDir)
{
    return QDir(programDir).filePath(Schema::fileName);
}

QString StartupGuard::databasePath() const
{
    return databasePath(m_programDir);
}

std::optional<int> StartupGuard::check()
{
    // A lock file beside Daten.mdb: the lock belongs to a process, so a lock
    // left by a crashed instance is recognised as stale and taken over.
    m_lock = std::make_unique<QLockFile>(QDir(m_programDir).filePath(u"Funkbote.lock"_qs));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_prompter->message(u"Dieses Programm ist bereits gestartet!"_qs);
            return SecondInstance;
        }
        m_prompter->message(
            u"Im Programmordner \"%1\" kann die Sperrdatei nicht angelegt werden. Bitte prüfen "
            u"Sie die Schreibrechte.\n\nDas Programm wird beendet."_qs.arg(
                QDir::toNativeSeparators(m_programDir)),
            Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return LockFailed;
    }
    if (StoreCheck check(databasePath()); !check.run()) {
        m_prompter->message(check.lastError(), Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return BadStore;
    }
    return std::nullopt;
}
