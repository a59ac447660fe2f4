#pragma once

#include <QString>
#include <QStringList>

// Names of the file, tables and fields of Daten.mdb. Other tools may have
// made the file; the program needs these and leaves anything else alone.
namespace Schema {
inline const QString fileName = QStringLiteral("Daten.mdb");

inline const QString einstellungen = QStringLiteral("Einstellungen");
inline const QString comPort = QStringLiteral("ComPort");
inline const QString providerNummer = QStringLiteral("ProviderNummer");
inline const QString initialisierungsBefehl = QStringLiteral("InitialisierungsBefehl");
inline const QString rueckrufnummer = QStringLiteral("Rückrufnummer");

inline const QString adressen = QStringLiteral("Adressen");
inline const QString dsNummer = QStringLiteral("DSNummer");
inline const QString name = QStringLiteral("Name");
inline const QString adresse = QStringLiteral("Adresse");
inline const QString plzOrt = QStringLiteral("PLZOrt");
inline const QString natelNummer = QStringLiteral("NatelNummer");
inline const QString bemerkungen = QStringLiteral("Bemerkungen");

inline const QString versandLog = QStringLiteral("VersandLog");
inline const QString versandDatum = QStringLiteral("VersandDatum");
inline const QString versandZeit = QStringLiteral("VersandZeit");
inline const QString mobilNummer = QStringLiteral("MobilNummer");
inline const QString nachricht = QStringLiteral("Nachricht");
inline const QString versandt = QStringLiteral("versandt");

// The connection settings, a name/value pair a row; made when first saved.
inline const QString connectionSettings = QStringLiteral("ConnectionSettings");
inline const QString settingName = QStringLiteral("Setting");
inline const QString settingValue = QStringLiteral("Value");
// The outgoing queue, kept so that queued messages outlive a crash. The
// program adds this table to a file that lacks it; nothing else needs it.
inline const QString pendingMessages = QStringLiteral("PendingMessages");
inline const QString pendingId = QStringLiteral("Id");
inline const QString mobileNumber = QStringLiteral("MobileNumber");
inline const QString message = QStringLiteral("Message");
inline const QString callBackNumber = QStringLiteral("CallBackNumber");
// What of the message may have gone out (PendingMessage::Submitted); added
// to a table that lacks it.
inline const QString submitted = QStringLiteral("Submitted");

struct Table
{
    QString name;
    QStringList fields;
};
// Every table with the fields the program reads or writes.
QList<Table> requiredTables();

// Quotes a name from the lists above for use in SQL text. Only these
// constants are ever quoted: values always go in as bound parameters.
QString quoted(const QString &identifier);
} // namespace Schema
