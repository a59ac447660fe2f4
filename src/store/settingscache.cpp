#include "settingscache.h"

#include "nurziffern.h"
#include "recordview.h"
#include "schema.h"

qint16 SettingsCache::toComPort(const QVariant &value)
{
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < -32768 || number > 32767)
        return 0; // names no port; the engine says so when it dials
    return qint16(number);
}

void SettingsCache::setComPort(const QVariant &stored)
{
    comPort = toComPort(stored);
    comPortText = stored.toString().trimmed();
}

void SettingsCache::fillFrom(const RecordView &einstellungen)
{
    setComPort(einstellungen.value(Schema::comPort));
    providerNummer = NurZiffern(einstellungen.value(Schema::providerNummer));
    initialisierungsBefehl = einstellungen.value(Schema::initialisierungsBefehl).toString();
}
