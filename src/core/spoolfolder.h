#pragma once

#include "clock.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

// A folder that other programs drop message files into (the format of
// SpoolFile, as scripts write them for smstools3). Each complete file is
// read, handed to the queue and moved to "gesendet/" when the queue took it
// or to "fehlerhaft/" with a line "Fehler: <reason>" appended when not;
// both are made inside the folder, readable by the user only, and a name
// already there gets "-2", "-3", ... before its extension.
//
// A file is complete when its size and time stamp stayed the same for the
// settle time; names beginning with "." or ending in ".tmp", ".part" or
// ".LOCK" are never taken, so a writer that renames its file in when done
// is never read half-way. Files are taken one at a time in name order, in
// slices through the event loop, so that a folder of thousands does not
// freeze the program.
//
// Each file is moved into ".in-arbeit/" before it is queued and out of it
// afterwards: a file is never queued twice, also when it cannot be moved on,
// and one left there by a crash is moved to "fehlerhaft/" at the next start
// rather than sent again unasked (the queue may or may not hold it).
//
// Another user who can write into the folder could send messages in the
// user's name: a folder that others may write to is refused (refusal()),
// told once by refused(), and nothing is taken from it until it is fixed.
class SpoolFolder : public QObject
{
    Q_OBJECT

public:
    // Queues one message; returns an empty text when it was queued,
    // otherwise why not, in German.
    using QueueMessage = std::function<QString(const QString &number, const QString &text)>;

    // Files taken at most in one pass of the event loop, and how long a
    // pass goes on taking more.
    static constexpr int filesPerPass = 50;
    static constexpr qint64 sliceMs = 8;

    // path must not be empty, queueMessage must be set; clock may be
    // nullptr: then the system clock measures the settle time.
    SpoolFolder(QString path, QueueMessage queueMessage, const Clock *clock = nullptr,
                QObject *parent = nullptr);
    ~SpoolFolder() override;

    // Why path cannot serve as spool folder, in German: it does not exist,
    // is no folder (a link is judged by the folder it points to), may be
    // written by group or others, or not by the user. Empty when it can.
    static QString refusal(const QString &path);

    // The sub-folders, inside the spool folder.
    static QString sentFolderName() { return QStringLiteral("gesendet"); }
    static QString failedFolderName() { return QStringLiteral("fehlerhaft"); }
    static QString workFolderName() { return QStringLiteral(".in-arbeit"); }

    QString path() const { return m_path; }
    // How long a file must stay unchanged before it is taken (default 1 s),
    // and how often the folder is looked at besides the file system's
    // notices, which can miss a change (default 5 s). Set before start().
    void setSettleMs(int ms) { m_settleMs = ms; }
    void setRescanMs(int ms);

    // Deals with files a crash left in ".in-arbeit/", then takes the files
    // there and those that come. A refusal and the files a crash left are
    // told at once: connect refused() and taken() before.
    void start();
    // Looks at the folder now.
    void scan();

Q_SIGNALS:
    // The folder cannot be used (why, in German); told once until it can
    // be used again.
    void refused(const QString &reason);
    // A file was dealt with: queued, or moved to "fehlerhaft/" (or left
    // where it is when it could not be moved) for the reason given.
    void taken(const QString &fileName, bool queued, const QString &reason);

private:
    // A file as last seen, and since when (monotonic ms) it looks so.
    struct Seen
    {
        qint64 size = -1;
        QDateTime modified;
        qint64 since = 0;
        bool operator==(const Seen &other) const
        {
            return size == other.size && modified == other.modified;
        }
    };

    // Whether files may be taken now; tells a new refusal.
    bool folderUsable();
    // Why the sub-folders cannot be made, or empty.
    QString makeSubFolders() const;
    void recoverInterrupted();
    void takeSlice();
    void take(const QString &fileName);
    // Appends the reason (when there is one) and moves the file from
    // ".in-arbeit/" on.
    void finish(const QString &fileName, const QString &reason);
    // Moves a file into folder under its name or the next free one with a
    // number; false when it cannot.
    bool moveInto(const QString &from, const QString &folder, const QString &fileName);
    static bool ignored(const QString &fileName);
    QString inFolder(const QString &name) const;

    QString m_path;
    QueueMessage m_queueMessage;
    const Clock *m_clock;
    std::unique_ptr<SystemClock> m_ownClock;
    int m_settleMs = 1000;
    QFileSystemWatcher m_watcher;
    QTimer m_rescan;
    QTimer m_scanSoon;
    QTimer m_settle;
    QTimer m_slice;
    bool m_started = false;
    bool m_recovered = false;
    QString m_refusal; // the reason told, while the folder cannot be used
    QHash<QString, Seen> m_seen;
    // Files that could not be moved into ".in-arbeit/": left alone while
    // they stay as they are.
    QHash<QString, Seen> m_stuck;
    QStringList m_ready; // complete files not yet taken, in name order
    // The next number to try for a name in a sub-folder, so that a name
    // used again and again does not cost a look at every earlier one.
    QHash<QString, int> m_nextNumber;
};
