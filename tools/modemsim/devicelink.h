#pragma once

#include <QString>

// The symbolic link DIR/COMn through which the program finds the simulated
// port, like a COM port number names a device.
class DeviceLink
{
public:
    DeviceLink(const QString &dir, int port);
    ~DeviceLink();

    QString path() const { return m_path; }
    // Points the link at target. A link left behind by an earlier run is
    // replaced; anything else in its place is an error, not ours to delete.
    bool create(const QString &target, QString *error);
    // Removes the link if it still points where this run set it.
    void remove();

private:
    QString m_path;
    QString m_target;
};
