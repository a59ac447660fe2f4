#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reads a Qt Linguist translation file (.ts) as lupdate writes it.
namespace TsFile {

struct Message
{
    QString context;
    QString source;
    // One text, or for a text with %n one per plural form (English: one,
    // other).
    QStringList translations;
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
