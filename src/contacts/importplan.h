#pragma once

#include "contactrecord.h"

#include <QList>
#include <QString>

// A person already in table Adressen, as far as the duplicate check needs it.
struct ExistingPerson
{
    qint64 dsNummer = 0;
    QString natelNummer;
};

enum class ImportStatus {
    New,          // no person with this number yet
    Match,        // an existing person has the same number
    RepeatInFile, // an earlier record of the same file has the same number
    NoNumber,     // no usable number: empty, or not a number of a possible length
};

// What becomes of one record of the file.
struct PlannedContact
{
    ImportStatus status = ImportStatus::New;
    QString numberKey;        // E.164; empty for NoNumber
    bool mobile = false;      // valid mobile number; the preview marks the others
    qint64 matchDsNummer = 0; // Match: the existing person
    int firstIndex = -1;      // RepeatInFile: index of the earlier record
};

// One PlannedContact per record, in the order of the records.
struct ImportPlan
{
    QList<PlannedContact> items;

    int count(ImportStatus status) const;
};

// Classifies each record by its number, compared as a number (PhoneKey):
// Match when an existing person has that number (the first such person in
// the given order, so pass them in table order), RepeatInFile when only an
// earlier New record of the file has it, New otherwise; NoNumber when the
// record's number gives no key. Whether NoNumber records are added, and
// whether a Match skips or updates the person, is the caller's choice.
// progress is told how far the plan is and may stop it (the plan is then
// incomplete).
ImportPlan planImport(const QList<ExistingPerson> &existing, const QList<ContactRecord> &records,
                      const ReadProgress &progress = {});
