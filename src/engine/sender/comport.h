#pragma once

#include <QString>

class SerialLine;
class Settings;

// "COM3" for port number 3: the name the user knows the port by.
QString comPortName(int n);

// The device that the port number n of the settings stands for, or an empty
// text when n names no port (n < 1).
//
// On Windows that is "COMn". Elsewhere an entry named "COMn" in the program's
// directory (a symbolic link to the device, the way Wine's dosdevices map
// ports; the lower-case "comn" is accepted too) decides; without one it is
// the n-th built-in serial port, /dev/ttyS(n-1).
QString serialDeviceForComPort(int n, const QString &programDir);

// Opens the port that the settings' ComPort names on line. Empty when it is
// open; else why the port cannot be used, in German as the status line says
// it ("COM3 (/dev/ttyS2) lässt sich nicht öffnen: ...").
//
// *linkedPort remembers the port whose COMn entry was last seen: when that
// entry has gone (a USB modem unplugged), the port is reported gone instead
// of opening the built-in port of that number, which would be another device.
// A caller forgets it (0) when the user has chosen the built-in port.
QString openComPort(SerialLine *line, const Settings &settings, const QString &programDir,
                    int *linkedPort);
// True when the program's directory holds an entry "COMn" (or "comn") for
// port n, whether or not the device it points to is there.
bool hasComPortEntry(int n, const QString &programDir);
