#include "importplan.h"

#include "phonekey.h"

#include <QHash>

int ImportPlan::count(ImportStatus status) const
{
    int n = 0;
    for (const PlannedContact &item : items) {
        if (item.status == status)
            ++n;
    }
    return n;
}

ImportPlan planImport(const QList<ExistingPerson> &existing, const QList<ContactRecord> &records,
                      const ReadProgress &progress)
{
    QHash<QString, qint64> existingByKey;
    existingByKey.reserve(existing.size());
    for (const ExistingPerson &person : existing) {
        const std::optional<QString> key = PhoneKey::key(person.natelNummer);
        if (key && !existingByKey.contains(*key))
            existingByKey.insert(*key, person.dsNummer);
    }

    ImportPlan plan;
    plan.items.reserve(records.size());
    QHash<QString, int> newByKey;
    for (int i = 0; i < records.size(); ++i) {
        if (i % 1024 == 0 && progress && !progress(i, records.size()))
            return plan;
        const PhoneKey::NumberInfo info = PhoneKey::analyse(records.at(i).natelNummer);
        PlannedContact item;
        item.mobile = info.mobile;
        if (!info.key) {
            item.status = ImportStatus::NoNumber;
        } else {
            item.numberKey = *info.key;
            if (const auto match = existingByKey.constFind(item.numberKey);
                match != existingByKey.constEnd()) {
                item.status = ImportStatus::Match;
                item.matchDsNummer = *match;
            } else if (const auto first = newByKey.constFind(item.numberKey);
                       first != newByKey.constEnd()) {
                item.status = ImportStatus::RepeatInFile;
                item.firstIndex = *first;
            } else {
                item.status = ImportStatus::New;
                newByKey.insert(item.numberKey, i);
            }
        }
        plan.items.append(item);
    }
    return plan;
}
