#pragma once

#include <QList>
#include <QString>

// Reads a Qt Linguist translation file (.ts) as lupdate writes it.
namespace TsFile {

struct Message
{
    QString context;
    QString source;
    QString translation;
    // "" for a finished entry, else "unfinished", "vanished" or "obsolete".
    QString type;
};

struct Contents
{
    QString language;
    QString sourceLanguage;
    QList<Message> messages;
    QString error; // empty when the file was read
};

Contents read(const QString &path);

} // namespace TsFile
