#include "datalocation.h"

#include "schema.h"

#include <QDir>
#include <QFileInfo>

DataLocation::DataLocation(Mode mode, QString folder, bool firstStart)
    : m_mode(mode), m_folder(std::move(folder)), m_firstStart(firstStart)
{}

DataLocation DataLocation::choose(const QString &programDir, const QString &userDataDir,
                                  const QString &dataOption)
{
    if (!dataOption.isEmpty())
        return DataLocation(Mode::Folder, QDir(dataOption).absolutePath(), false);
    if (QFileInfo::exists(QDir(programDir).filePath(Schema::fileName)))
        return DataLocation(Mode::Portable, programDir, false);
    return DataLocation(Mode::Installed, userDataDir, !QFileInfo::exists(userDataDir));
}

DataLocation DataLocation::demo(const QString &folder)
{
    return DataLocation(Mode::Demo, folder, false);
}

QString DataLocation::databasePath() const
{
    return QDir(m_folder).filePath(Schema::fileName);
}
