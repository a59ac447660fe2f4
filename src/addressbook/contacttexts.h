#pragma once

#include "contactrecord.h"
#include "contactstore.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The captions and messages of importing and exporting persons.
namespace ContactText {

inline QString importTitle()
{
    return QCoreApplication::translate("ContactText", "Kontakte importieren");
}

inline QString exportTitle()
{
    return QCoreApplication::translate("ContactText", "Kontakte exportieren");
}

// "1 Person", "12 Personen".
inline QString persons(qsizetype count)
{
    return count == 1 ? QCoreApplication::translate("ContactText", "1 Person")
                      : QCoreApplication::translate("ContactText", "%1 Personen").arg(count);
}

// The first problems of the reading, for a message that ends an import;
// more is the number of those that were counted but not kept.
inline QString readingProblems(const QList<ImportMessage> &messages, qsizetype more = 0)
{
    constexpr qsizetype listed = 5;
    QString text;
    for (qsizetype i = 0; i < messages.size() && i < listed; ++i)
        text += u'\n' + messages.at(i).toString();
    const qsizetype rest = std::max<qsizetype>(messages.size() - listed, 0) + more;
    if (rest > 0)
        text += QCoreApplication::translate("ContactText", "\n… und %1 weitere Hinweise").arg(rest);
    return text;
}

inline QString nobodyInFile(const QString &fileName, const QList<ImportMessage> &messages,
                            qsizetype more = 0)
{
    return QCoreApplication::translate("ContactText",
                                       "In der Datei «%1» wurden keine Personen gefunden.")
               .arg(fileName) +
           readingProblems(messages, more);
}

inline QString importFailed(const QString &detail)
{
    return QCoreApplication::translate(
               "ContactText", "Der Import ist fehlgeschlagen; das Adressbuch ist unverändert "
                              "geblieben.\n") +
           detail;
}

inline QString importDone(const ImportOutcome &outcome)
{
    QStringList parts;
    parts.append(QCoreApplication::translate("ContactText", "%1 neu aufgenommen")
                     .arg(persons(outcome.added)));
    if (outcome.updated > 0)
        parts.append(
            QCoreApplication::translate("ContactText", "%1 aktualisiert").arg(outcome.updated));
    if (outcome.skipped > 0)
        parts.append(
            QCoreApplication::translate("ContactText", "%1 übersprungen").arg(outcome.skipped));
    return QCoreApplication::translate("ContactText", "Import abgeschlossen: %1.")
        .arg(parts.join(QStringLiteral(", ")));
}

inline QString nothingToExport()
{
    return QCoreApplication::translate("ContactText",
                                       "Das Adressbuch enthält keine Personen zum Exportieren.");
}

inline QString exportDone(qsizetype count, const QString &fileName)
{
    if (count == 1) {
        return QCoreApplication::translate("ContactText",
                                           "1 Person wurde in die Datei «%1» exportiert.")
            .arg(fileName);
    }
    return QCoreApplication::translate("ContactText",
                                       "%1 Personen wurden in die Datei «%2» exportiert.")
        .arg(QString::number(count), fileName);
}

inline QString exportFailed(const QString &fileName, const QString &detail)
{
    return QCoreApplication::translate("ContactText",
                                       "Die Datei «%1» konnte nicht geschrieben werden: %2")
        .arg(fileName, detail);
}

// Merge fields: a person whose text comes out empty would get no message.
inline QString mergedTextEmpty(const QString &name)
{
    return QCoreApplication::translate(
               "ContactText", "Die Nachricht für %1 ist mit den eingesetzten Feldern leer. Bitte "
                              "ergänzen Sie die Nachricht oder die Angaben im Adressbuch.")
        .arg(name.trimmed().isEmpty()
                 ? QCoreApplication::translate("ContactText", "eine Person ohne Namen")
                 : QStringLiteral("«%1»").arg(name));
}

// The bulk window's preview of a message with merge fields.
inline QString mergePreview(const QString &name, const QString &text)
{
    return QCoreApplication::translate("ContactText", "Vorschau für %1: %2")
        .arg(name.trimmed().isEmpty() ? QCoreApplication::translate("ContactText", "(ohne Namen)")
                                      : QStringLiteral("«%1»").arg(name),
             text);
}

} // namespace ContactText
