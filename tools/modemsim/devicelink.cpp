#include "devicelink.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

DeviceLink::DeviceLink(const QString &dir, int port)
    : m_path(QDir(QFileInfo(dir).absoluteFilePath()).filePath(u"COM"_s + QString::number(port)))
{}

DeviceLink::~DeviceLink()
{
    remove();
}

bool DeviceLink::create(const QString &target, QString *error)
{
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(dir)) {
        *error = dir + u": cannot create the folder"_s;
        return false;
    }
    const QByteArray path = QFile::encodeName(m_path);
    struct stat existing
    {
    };
    if (::lstat(path.constData(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            *error = m_path + u" exists and is not a symbolic link"_s;
            return false;
        }
        if (::unlink(path.constData()) != 0 && errno != ENOENT) {
            *error = m_path + u": "_s + QString::fromLocal8Bit(strerror(errno));
            return false;
        }
    }
    if (::symlink(QFile::encodeName(target).constData(), path.constData()) != 0) {
        *error = m_path + u": "_s + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    m_target = target;
    return true;
}

void DeviceLink::remove()
{
    if (m_target.isEmpty())
        return;
    // Another simulator started for the same port may have taken the link
    // over; its link stays.
    const QFileInfo link(m_path);
    if (link.isSymLink() && link.symLinkTarget() == m_target)
        QFile::remove(m_path);
    m_target.clear();
}
