#include "funkboteprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

FunkboteProcess::~FunkboteProcess()
{
    process.kill();
    (void)QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, 5000);
}

void FunkboteProcess::start(const QString &dataDir, int tickMs)
{
    startWith({u"--data"_s, dataDir, u"--tick-ms"_s, QString::number(tickMs)});
}

void FunkboteProcess::startWith(QStringList arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                     [this] { errors += QString::fromUtf8(process.readAllStandardError()); });
    arguments << u"--unattended"_s;
    process.start(QCoreApplication::applicationDirPath() + u"/funkbote"_s, arguments);
}

QStringList FunkboteProcess::boxes() const
{
    QStringList result;
    for (const QString &line : errors.split(u'\n')) {
        if (line.startsWith(u"funkbote: "_s))
            result << line.mid(10);
    }
    return result;
}

qint64 FunkboteProcess::residentKiB() const
{
    QFile status(u"/proc/%1/status"_s.arg(process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QStringList FunkboteProcess::openFiles() const
{
    const QDir fds(u"/proc/%1/fd"_s.arg(process.processId()));
    QStringList result;
    for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        // "socket:[123]", "pipe:[456]", "anon_inode:[eventfd]" or a path.
        char target[4096];
        const ssize_t n =
            ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
        if (n < 0)
            continue; // closed meanwhile
        result << QFile::decodeName(QByteArray(target, n)).section(u":["_s, 0, 0);
    }
    result.sort();
    return result;
}
