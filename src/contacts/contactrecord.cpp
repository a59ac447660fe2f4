#include "contactrecord.h"

#include <QCoreApplication>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString oneLine(const QString &text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    static const QRegularExpression outerBreaks(u"^[\\r\\n]+|[\\r\\n]+$"_s);
    static const QRegularExpression innerBreaks(u"[ \\t]*[\\r\\n]+[ \\t]*"_s);
    QString flat = text;
    flat.remove(outerBreaks);
    flat.replace(innerBreaks, u", "_s);
    return flat;
}

} // namespace

QString ContactRecord::field(ContactField which) const
{
    switch (which) {
    case ContactField::Name:
        return name;
    case ContactField::Adresse:
        return adresse;
    case ContactField::PLZOrt:
        return plzOrt;
    case ContactField::NatelNummer:
        return natelNummer;
    case ContactField::Bemerkungen:
        return bemerkungen;
    }
    return QString();
}

void ContactRecord::setField(ContactField which, const QString &value)
{
    switch (which) {
    case ContactField::Name:
        name = value;
        break;
    case ContactField::Adresse:
        adresse = value;
        break;
    case ContactField::PLZOrt:
        plzOrt = value;
        break;
    case ContactField::NatelNummer:
        natelNummer = value;
        break;
    case ContactField::Bemerkungen:
        bemerkungen = value;
        break;
    }
}

bool ContactRecord::isEmpty() const
{
    return name.isEmpty() && adresse.isEmpty() && plzOrt.isEmpty() && natelNummer.isEmpty() &&
           bemerkungen.isEmpty();
}

void ContactRecord::flattenLineBreaks()
{
    name = oneLine(name);
    adresse = oneLine(adresse);
    plzOrt = oneLine(plzOrt);
    natelNummer = oneLine(natelNummer);
}

QString ImportMessage::toString() const
{
    if (line <= 0)
        return text;
    return QCoreApplication::translate("ContactRecord", "Zeile %1: %2")
        .arg(QString::number(line), text);
}

void addImportMessage(QList<ImportMessage> *messages, qsizetype *more, ImportMessage message)
{
    if (messages->size() < maxImportMessages)
        messages->append(std::move(message));
    else
        ++*more;
}
