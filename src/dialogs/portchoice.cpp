#include "portchoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

using namespace Qt::StringLiterals;

namespace {

QString linkPath(const QString &dataDir, int port)
{
    return QDir(dataDir).filePath(u"COM%1"_s.arg(port));
}

QList<SerialPortEntry> systemPorts()
{
    QList<SerialPortEntry> entries;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        QString description = port.description();
        if (!port.manufacturer().isEmpty() && !description.contains(port.manufacturer()))
            description +=
                (description.isEmpty() ? u""_s : u" "_s) + u"(" + port.manufacturer() + u")";
        entries.append({port.systemLocation(), description});
    }
    return entries;
}

} // namespace

PortChoice::PortChoice(Lister lister, QWidget *parent)
    : QComboBox(parent), m_lister(lister ? std::move(lister) : Lister(systemPorts))
{}

QString PortChoice::linkedDevice(const QString &dataDir, int port)
{
    const QFileInfo link(linkPath(dataDir, port));
    return link.isSymLink() ? link.symLinkTarget() : QString();
}

void PortChoice::showLink(const QString &dataDir, int port)
{
    m_port = port;
    m_linked = port > 0 ? linkedDevice(dataDir, port) : QString();
    clear();
    fill();
}

QString PortChoice::chosenDevice() const
{
    return currentData().toString();
}

void PortChoice::showPopup()
{
    // A USB modem plugged in while the window is open shows up.
    fill();
    QComboBox::showPopup();
}

void PortChoice::fill()
{
    // What was chosen stays chosen; a fresh list starts with the link.
    const QString chosen = count() > 0 ? chosenDevice() : m_linked;
    clear();
    addItem(m_port > 0 ? tr("eingebaut (/dev/ttyS%1)").arg(m_port - 1) : tr("eingebaut"),
            QString());
    const QList<SerialPortEntry> ports = m_lister();
    for (const SerialPortEntry &port : ports)
        addItem(port.description.isEmpty() ? port.device
                                           : port.device + u" – "_s + port.description,
                port.device);
    // The device the link names, or the one chosen, even when it is gone.
    for (const QString &device : {m_linked, chosen}) {
        if (!device.isEmpty() && findData(device) < 0)
            addItem(device + (QFileInfo::exists(device) ? QString() : tr(" (nicht vorhanden)")),
                    device);
    }
    setCurrentIndex(std::max(0, findData(chosen)));
}

bool PortChoice::store(const QString &dataDir, int port, QString *error) const
{
    const QString path = linkPath(dataDir, port);
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink()) {
            *error = tr("%1 ist keine Verknüpfung und wird nicht ersetzt.")
                         .arg(QDir::toNativeSeparators(path));
            return false;
        }
        if (!QFile::remove(path)) {
            *error = tr("Die Verknüpfung %1 kann nicht entfernt werden.")
                         .arg(QDir::toNativeSeparators(path));
            return false;
        }
    }
    const QString device = chosenDevice();
    if (device.isEmpty())
        return true;
    if (!QFile::link(device, path)) {
        *error = tr("Die Verknüpfung %1 auf %2 kann nicht angelegt werden.")
                     .arg(QDir::toNativeSeparators(path), device);
        return false;
    }
    return true;
}
