#include "contactfile.h"

#include "bytedecoding.h"
#include "csvformat.h"
#include "vcardformat.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// A card begins within the first lines of a vCard file; reading further
// would only slow down a large CSV file.
constexpr qsizetype sniffLength = 4096;

std::optional<ContactFileFormat> formatOfSuffix(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"vcf"_s || suffix == u"vcard"_s)
        return ContactFileFormat::VCard;
    if (suffix == u"csv"_s || suffix == u"txt"_s || suffix == u"tsv"_s)
        return ContactFileFormat::Csv;
    return std::nullopt;
}

} // namespace

ContactFileFormat contactFileFormat(const QString &fileName, QByteArrayView data)
{
    if (const std::optional<ContactFileFormat> format = formatOfSuffix(fileName))
        return *format;
    const QByteArrayView head = data.first(std::min(data.size(), sniffLength));
    qsizetype bomLength = 0;
    const TextEncoding encoding = detectEncoding(head, &bomLength);
    const QString text = decodeText(head.sliced(bomLength), encoding);
    return text.contains(u"BEGIN:VCARD"_s, Qt::CaseInsensitive) ? ContactFileFormat::VCard
                                                                : ContactFileFormat::Csv;
}

QStringList contactOpenFilters()
{
    return {QCoreApplication::translate("ContactFile", "Kontakte (*.vcf *.vcard *.csv *.txt)"),
            u"vCard (*.vcf *.vcard)"_s, u"CSV (*.csv *.txt)"_s,
            QCoreApplication::translate("ContactFile", "Alle Dateien (*)")};
}

QStringList contactSaveFilters()
{
    return {u"vCard 4.0 (*.vcf)"_s,
            QCoreApplication::translate("ContactFile", "CSV für Tabellenprogramme (*.csv)")};
}

ContactFileFormat exportFormat(QString *fileName, int filterIndex)
{
    const QString suffix = QFileInfo(*fileName).suffix().toLower();
    if (suffix == u"vcf"_s || suffix == u"vcard"_s)
        return ContactFileFormat::VCard;
    if (suffix == u"csv"_s)
        return ContactFileFormat::Csv;
    const ContactFileFormat format =
        filterIndex == 1 ? ContactFileFormat::Csv : ContactFileFormat::VCard;
    *fileName += format == ContactFileFormat::Csv ? u".csv"_s : u".vcf"_s;
    return format;
}

QByteArray contactFileBytes(const QList<ContactRecord> &records, ContactFileFormat format)
{
    return format == ContactFileFormat::Csv ? writeCsv(records) : writeVCards(records);
}
