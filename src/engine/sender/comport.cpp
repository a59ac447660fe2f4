#include "comport.h"

#include "serialline.h"
#include "settings.h"

#include <QCoreApplication>
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

QString openComPort(SerialLine *line, const Settings &settings, const QString &programDir,
                    int *linkedPort)
{
    const int port = settings.comPort();
    if (hasComPortEntry(port, programDir)) {
        *linkedPort = port;
    } else if (*linkedPort > 0 && port == *linkedPort) {
        // Dialling on /dev/ttyS(n-1) instead would write into another device.
        return QCoreApplication::translate("ComPort",
                                           "%1 ist nicht mehr vorhanden (Gerät entfernt?)")
            .arg(comPortName(port));
    }
    const QString device = serialDeviceForComPort(port, programDir);
    if (device.isEmpty()) {
        // The value as the user stored it: 40000 or "COM1" read as port 0,
        // and naming COM0 would point at the wrong thing.
        const QString stored = settings.comPortText();
        const bool storedFits = !stored.isEmpty() && Settings::toComPort(stored) == port;
        return QCoreApplication::translate("ComPort", "Com-Port %1 bezeichnet keine Schnittstelle "
                                                      "(gültig sind die Nummern 1 bis 32767)")
            .arg(storedFits ? stored : QString::number(port));
    }
    QString error;
    if (!line->open(device, &error)) {
        QString name = comPortName(port);
        if (device != name)
            name += u" ("_s + device + u')';
        return QCoreApplication::translate("ComPort", "%1 lässt sich nicht öffnen: %2")
            .arg(name, error);
    }
    return {};
}
