#include "spoolfolder.h"

#include "spoolfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

} // namespace

SpoolFolder::SpoolFolder(QString path, QueueMessage queueMessage, const Clock *clock,
                         QObject *parent)
    : QObject(parent), m_path(QDir::cleanPath(std::move(path))),
      m_queueMessage(std::move(queueMessage)), m_clock(clock)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<SystemClock>();
        m_clock = m_ownClock.get();
    }
    m_rescan.setInterval(5000);
    m_scanSoon.setSingleShot(true);
    m_scanSoon.setInterval(0);
    m_settle.setSingleShot(true);
    m_slice.setSingleShot(true);
    m_slice.setInterval(0);
    connect(&m_rescan, &QTimer::timeout, this, &SpoolFolder::scan);
    connect(&m_settle, &QTimer::timeout, this, &SpoolFolder::scan);
    connect(&m_scanSoon, &QTimer::timeout, this, &SpoolFolder::scan);
    connect(&m_slice, &QTimer::timeout, this, &SpoolFolder::takeSlice);
    // A burst of changes (a script dropping many files) makes one scan.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_scanSoon,
            qOverload<>(&QTimer::start));
}

SpoolFolder::~SpoolFolder() = default;

void SpoolFolder::setRescanMs(int ms)
{
    m_rescan.setInterval(ms);
}

QString SpoolFolder::refusal(const QString &path)
{
    // QFileInfo follows a link: the folder it points to is judged.
    const QFileInfo info(path);
    if (!info.exists())
        return tr("Der Spool-Ordner \"%1\" existiert nicht.").arg(path);
    if (!info.isDir())
        return tr("Der Spool-Ordner \"%1\" ist kein Ordner.").arg(path);
#ifdef Q_OS_UNIX
    if (info.permissions() & (QFile::WriteGroup | QFile::WriteOther))
        return tr("Der Spool-Ordner \"%1\" ist für andere Benutzer beschreibbar. Jeder könnte so "
                  "in Ihrem Namen SMS senden. Bitte nur für Sie beschreibbar machen (chmod 700).")
            .arg(path);
#endif
    // The files taken are moved out of it.
    if (!info.isReadable() || !info.isWritable() || !info.isExecutable())
        return tr("Im Spool-Ordner \"%1\" fehlen Ihnen Lese- oder Schreibrechte.").arg(path);
    return QString();
}

QString SpoolFolder::inFolder(const QString &name) const
{
    return m_path + u'/' + name;
}

void SpoolFolder::start()
{
    m_started = true;
    m_rescan.start();
    scan();
}

bool SpoolFolder::folderUsable()
{
    QString reason = refusal(m_path);
    if (reason.isEmpty())
        reason = makeSubFolders();
    if (!reason.isEmpty()) {
        m_seen.clear();
        m_ready.clear();
        if (reason != m_refusal) {
            m_refusal = reason;
            Q_EMIT refused(reason);
        }
        return false;
    }
    m_refusal.clear();
    // A folder made anew after it was removed is a new one to watch.
    if (!m_watcher.directories().contains(m_path))
        m_watcher.addPath(m_path);
    return true;
}

QString SpoolFolder::makeSubFolders() const
{
    for (const QString &name : {workFolderName(), sentFolderName(), failedFolderName()}) {
        const QString path = inFolder(name);
        if (!QFileInfo(path).isDir() && !QDir().mkdir(path, ownerOnly))
            return tr("Der Ordner \"%1\" kann nicht angelegt werden.").arg(path);
    }
    return QString();
}

bool SpoolFolder::ignored(const QString &fileName)
{
    // Names writers use while they write, and rename away from when done.
    return fileName.startsWith(u'.') || fileName.endsWith(u".tmp"_s, Qt::CaseInsensitive) ||
           fileName.endsWith(u".part"_s, Qt::CaseInsensitive) ||
           fileName.endsWith(u".LOCK"_s, Qt::CaseInsensitive);
}

void SpoolFolder::scan()
{
    if (!m_started || !folderUsable())
        return;
    if (!m_recovered) {
        m_recovered = true;
        recoverInterrupted();
    }
    // The files of the last scan are still being taken; the scan after
    // them sees what came meanwhile.
    if (!m_ready.isEmpty())
        return;

    const qint64 now = m_clock->monotonicMs();
    qint64 nextSettled = -1;
    QHash<QString, Seen> seen;
    QHash<QString, Seen> stuck;
    // Regular files only: no links, and no pipes or devices, whose reading
    // could block.
    const QFileInfoList entries = QDir(m_path).entryInfoList(
        QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (ignored(name))
            continue;
        Seen current{entry.size(), entry.lastModified(), now};
        if (const auto it = m_stuck.constFind(name); it != m_stuck.cend() && *it == current) {
            stuck.insert(name, *it);
            continue;
        }
        if (const auto it = m_seen.constFind(name); it != m_seen.cend() && *it == current)
            current.since = it->since;
        seen.insert(name, current);
        const qint64 settledAt = current.since + m_settleMs;
        if (settledAt <= now)
            m_ready.append(name);
        else if (nextSettled < 0 || settledAt < nextSettled)
            nextSettled = settledAt;
    }
    m_seen = std::move(seen);
    m_stuck = std::move(stuck);
    if (nextSettled >= 0)
        m_settle.start(int(std::max<qint64>(nextSettled - now, 10)));
    if (!m_ready.isEmpty())
        m_slice.start();
}

void SpoolFolder::takeSlice()
{
    // Queuing a file stores it (a commit each): a slice also ends once it
    // has taken a few milliseconds, so that a window stays smooth while a
    // script drops hundreds of files at once.
    QElapsedTimer spent;
    spent.start();
    for (int i = 0; i < filesPerPass && !m_ready.isEmpty() && (i == 0 || spent.elapsed() < sliceMs);
         ++i) {
        const QString name = m_ready.takeFirst();
        m_seen.remove(name);
        take(name);
    }
    if (!m_ready.isEmpty())
        m_slice.start();
    else
        m_scanSoon.start(); // files that came while these were taken
}

void SpoolFolder::take(const QString &fileName)
{
    const QString source = inFolder(fileName);
    const QString working = inFolder(workFolderName() + u'/' + fileName);
    // Out of the spool first: whatever happens from here on, the file is
    // not seen and queued a second time.
    if (QFile::exists(working) || !QFile::rename(source, working)) {
        const QFileInfo info(source);
        if (!info.exists())
            return; // taken away by someone else meanwhile
        m_stuck.insert(fileName, Seen{info.size(), info.lastModified(), 0});
        const QString reason = tr("Die Datei kann nicht in den Ordner \"%1\" verschoben werden; "
                                  "sie bleibt liegen.")
                                   .arg(workFolderName());
        Q_EMIT taken(fileName, false, reason);
        return;
    }

    QString reason;
    QFile file(working);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = tr("Die Datei kann nicht gelesen werden: %1").arg(file.errorString());
    } else {
        // One byte more than a file may have tells that it has more.
        const QByteArray bytes = file.read(SpoolFile::maxBytes + 1);
        file.close();
        const SpoolFile message(bytes);
        reason =
            message.isValid() ? m_queueMessage(message.number(), message.text()) : message.reason();
    }
    finish(fileName, reason);
}

void SpoolFolder::finish(const QString &fileName, const QString &reason)
{
    const QString working = inFolder(workFolderName() + u'/' + fileName);
    if (!reason.isEmpty()) {
        // Whoever looks into the folder sees why.
        QFile file(working);
        if (file.open(QIODevice::ReadWrite | QIODevice::Append)) {
            QByteArray line = tr("Fehler: %1").arg(reason).toUtf8() + '\n';
            char last = '\n';
            if (file.size() > 0 && file.seek(file.size() - 1))
                file.getChar(&last);
            if (last != '\n')
                line.prepend('\n');
            file.write(line);
        }
    }
    // When this fails the file stays in ".in-arbeit/" and is set aside at
    // the next start, not queued again.
    moveInto(working, reason.isEmpty() ? sentFolderName() : failedFolderName(), fileName);
    Q_EMIT taken(fileName, reason.isEmpty(), reason);
}

bool SpoolFolder::moveInto(const QString &from, const QString &folder, const QString &fileName)
{
    const QString directory = inFolder(folder) + u'/';
    // "nachricht.txt" becomes "nachricht-2.txt", "sms" "sms-2".
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot > 0 ? fileName.first(dot) : fileName;
    const QString extension = dot > 0 ? fileName.sliced(dot) : QString();
    const QString key = folder + u'/' + fileName;
    int number = m_nextNumber.value(key, 1);
    for (int tries = 0; tries < 1000; ++tries) {
        const QString name =
            number == 1 ? fileName : stem + u'-' + QString::number(number) + extension;
        ++number;
        if (QFileInfo::exists(directory + name))
            continue;
        if (!QFile::rename(from, directory + name))
            return false;
        m_nextNumber.insert(key, number);
        return true;
    }
    return false;
}

void SpoolFolder::recoverInterrupted()
{
    const QString reason = tr("Beim letzten Lauf unterbrochen; nicht gesendet, bitte prüfen.");
    const QStringList left = QDir(inFolder(workFolderName()))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &fileName : left)
        finish(fileName, reason);
}
