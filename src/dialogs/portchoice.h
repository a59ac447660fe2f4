#pragma once

#include <QComboBox>
#include <QList>
#include <QString>

#include <functional>

// A serial port the system has, as the choice lists it.
struct SerialPortEntry
{
    QString device;      // /dev/ttyUSB0
    QString description; // "USB-Modem (Hersteller)"; may be empty
};

// The choice of the device behind COMn: the system's serial ports, listed
// anew each time the list is opened, and the device the data folder's COMn
// link names now (marked when it has vanished). Choosing one makes COMn a
// link to that device when saved; the first item, the built-in port, takes
// the link away.
class PortChoice : public QComboBox
{
    Q_OBJECT

public:
    using Lister = std::function<QList<SerialPortEntry>()>;

    // lister gives the system's ports; the default asks QSerialPortInfo.
    explicit PortChoice(Lister lister = {}, QWidget *parent = nullptr);

    // Lists the ports with another lister from now on (tests).
    void setLister(Lister lister)
    {
        m_lister = std::move(lister);
        fill();
    }

    // Shows the link dataDir/COMn (n = port) as the current choice.
    void showLink(const QString &dataDir, int port);
    // The device chosen; empty for the built-in port.
    QString chosenDevice() const;
    // Whether the user chose another device than showLink() found.
    bool isChanged() const { return chosenDevice() != m_linked; }
    // Makes dataDir/COMn name the chosen device (or no link for the
    // built-in port); false with a German reason in *error. Only a link is
    // ever removed, never a file.
    bool store(const QString &dataDir, int port, QString *error) const;

    // The device that the link dataDir/COMn names, or an empty text.
    static QString linkedDevice(const QString &dataDir, int port);

    void showPopup() override;

private:
    void fill();

    Lister m_lister;
    int m_port = 0;
    QString m_linked; // the device the link named when shown
};
