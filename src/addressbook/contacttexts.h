#pragma once

#include "contactrecord.h"
#include "contactstore.h"

#include <QList>
#include <QString>
#include <QStringList>

// The captions and messages of importing and exporting persons.
namespace ContactText {

inline QString importTitle()
{
    return QStringLiteral("Kontakte importieren");
}

inline QString exportTitle()
{
    return QStringLiteral("Kontakte exportieren");
}

// "1 Person", "12 Personen".
inline QString persons(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 Person") : QStringLiteral("%1 Personen").arg(count);
}

// The first problems of the reading, for a message that ends an import.
inline QString readingProblems(const QList<ImportMessage> &messages)
{
    constexpr qsizetype listed = 5;
    QString text;
    for (qsizetype i = 0; i < messages.size() && i < listed; ++i)
        text += u'\n' + messages.at(i).toString();
    if (messages.size() > listed)
        text += QStringLiteral("\n… und %1 weitere Hinweise").arg(messages.size() - listed);
    return text;
}

inline QString nobodyInFile(const QString &fileName, const QList<ImportMessage> &messages)
{
    return QStringLiteral("In der Datei «%1» wurden keine Personen gefunden.").arg(fileName) +
           readingProblems(messages);
}

inline QString importFailed(const QString &detail)
{
    return QStringLiteral("Der Import ist fehlgeschlagen; das Adressbuch ist unverändert "
                          "geblieben.\n") +
           detail;
}

inline QString importDone(const ImportOutcome &outcome)
{
    QStringList parts;
    parts.append(persons(outcome.added) + QStringLiteral(" neu aufgenommen"));
    if (outcome.updated > 0)
        parts.append(QStringLiteral("%1 aktualisiert").arg(outcome.updated));
    if (outcome.skipped > 0)
        parts.append(QStringLiteral("%1 übersprungen").arg(outcome.skipped));
    return QStringLiteral("Import abgeschlossen: ") + parts.join(QStringLiteral(", ")) +
           QStringLiteral(".");
}

inline QString nothingToExport()
{
    return QStringLiteral("Das Adressbuch enthält keine Personen zum Exportieren.");
}

inline QString exportDone(qsizetype count, const QString &fileName)
{
    return QStringLiteral("%1 in die Datei «%2» exportiert.")
        .arg(count == 1 ? QStringLiteral("1 Person wurde")
                        : persons(count) + QStringLiteral(" wurden"),
             fileName);
}

inline QString exportFailed(const QString &fileName, const QString &detail)
{
    return QStringLiteral("Die Datei «%1» konnte nicht geschrieben werden: %2")
        .arg(fileName, detail);
}

// Merge fields: a person whose text comes out empty would get no message.
inline QString mergedTextEmpty(const QString &name)
{
    return QStringLiteral("Die Nachricht für %1 ist mit den eingesetzten Feldern leer. Bitte "
                          "ergänzen Sie die Nachricht oder die Angaben im Adressbuch.")
        .arg(name.trimmed().isEmpty() ? QStringLiteral("eine Person ohne Namen")
                                      : QStringLiteral("«%1»").arg(name));
}

// The bulk window's preview of a message with merge fields.
inline QString mergePreview(const QString &name, const QString &text)
{
    return QStringLiteral("Vorschau für %1: %2")
        .arg(name.trimmed().isEmpty() ? QStringLiteral("(ohne Namen)")
                                      : QStringLiteral("«%1»").arg(name),
             text);
}

} // namespace ContactText
