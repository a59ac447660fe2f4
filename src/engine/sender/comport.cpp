#include "comport.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString comPortName(int n)
{
    return u"COM"_s + QString::number(n);
}

bool hasComPortEntry(int n, const QString &programDir)
{
    if (n < 1)
        return false;
    const QDir dir(programDir);
    for (const QString &name : {comPortName(n), comPortName(n).toLower()}) {
        const QFileInfo entry(dir.filePath(name));
        if (entry.isSymLink() || entry.exists())
            return true;
    }
    return false;
}

QString serialDeviceForComPort(int n, const QString &programDir)
{
    if (n < 1)
        return {};
#ifdef Q_OS_WIN
    Q_UNUSED(programDir);
    return comPortName(n);
#else
    const QDir dir(programDir);
    for (const QString &name : {comPortName(n), comPortName(n).toLower()}) {
        const QFileInfo entry(dir.filePath(name));
        // A link is followed here, so messages and port locks name the real
        // device; a dangling link still names where it points, and opening
        // that then says the device is missing.
        if (entry.isSymLink())
            return entry.symLinkTarget();
        if (entry.exists())
            return entry.absoluteFilePath();
    }
    return u"/dev/ttyS"_s + QString::number(n - 1);
#endif
}
