#include "mergefields.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace MergeFields {

namespace {

// The field a brace pair names, if it is one of the four.
std::optional<ContactField> fieldNamed(QStringView name)
{
    if (name.compare(u"Name", Qt::CaseInsensitive) == 0)
        return ContactField::Name;
    if (name.compare(u"Adresse", Qt::CaseInsensitive) == 0)
        return ContactField::Adresse;
    if (name.compare(u"PLZOrt", Qt::CaseInsensitive) == 0)
        return ContactField::PLZOrt;
    if (name.compare(u"Bemerkungen", Qt::CaseInsensitive) == 0)
        return ContactField::Bemerkungen;
    return std::nullopt;
}

// Calls found(start, end, field) for each field in the text, in order; end is
// one past the closing brace. Returns early when found returns false.
template <typename Found> void forEachField(QStringView text, Found found)
{
    qsizetype open = text.indexOf(u'{');
    while (open >= 0) {
        const qsizetype close = text.indexOf(u'}', open + 1);
        if (close < 0)
            return;
        const qsizetype nextOpen = text.indexOf(u'{', open + 1);
        if (nextOpen >= 0 && nextOpen < close) {
            open = nextOpen; // "{{Name}": the inner brace starts the field
            continue;
        }
        if (const std::optional<ContactField> field =
                fieldNamed(text.sliced(open + 1, close - open - 1))) {
            if (!found(open, close + 1, *field))
                return;
        }
        open = text.indexOf(u'{', close + 1);
    }
}

} // namespace

QString merge(const QString &text, const ContactRecord &record)
{
    QString merged;
    qsizetype copied = 0;
    forEachField(text, [&](qsizetype start, qsizetype end, ContactField field) {
        merged += QStringView(text).sliced(copied, start - copied);
        merged += record.field(field);
        copied = end;
        return true;
    });
    if (copied == 0)
        return text;
    merged += QStringView(text).sliced(copied);
    return merged;
}

bool containsField(QStringView text)
{
    bool found = false;
    forEachField(text, [&found](qsizetype, qsizetype, ContactField) {
        found = true;
        return false;
    });
    return found;
}

std::optional<Overflow> longestOverLimit(const QString &text,
                                         const QList<ContactRecord> &recipients, qsizetype limit,
                                         const Measure &measure)
{
    std::optional<Overflow> longest;
    for (qsizetype i = 0; i < recipients.size(); ++i) {
        const QString merged = merge(text, recipients.at(i));
        const qsizetype length = measure ? measure(merged) : merged.size();
        if (length > limit && (!longest || length > longest->length)) {
            longest = Overflow{i, length, recipients.at(i).name, recipients.at(i).natelNummer};
        }
    }
    return longest;
}

QString overLimitMessage(const Overflow &overflow, qsizetype limit)
{
    QString person;
    if (!overflow.name.trimmed().isEmpty())
        person = u"«"_s + overflow.name + u"»"_s;
    else if (!overflow.natelNummer.trimmed().isEmpty())
        person = QCoreApplication::translate("MergeFields", "die Person mit der Natel-Nummer %1")
                     .arg(overflow.natelNummer);
    else
        person = QCoreApplication::translate("MergeFields", "eine Person ohne Namen und Nummer");
    return QCoreApplication::translate("MergeFields",
                                       "Die Nachricht für %1 ist mit den eingesetzten Feldern %2 "
                                       "Zeichen lang; höchstens %3 Zeichen sind möglich. Bitte "
                                       "kürzen Sie die Nachricht.")
        .arg(person, QString::number(overflow.length), QString::number(limit));
}

} // namespace MergeFields
