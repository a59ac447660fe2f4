#include "importmappingdialog.h"

#include "contacttexts.h"
#include "importsession.h"
#include "look.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look mappingLook()
{
    DialogBase::Look look;
    look.windowTitle = ContactText::importTitle();
    look.titel = QCoreApplication::translate("ImportMappingDialog", "Spalten zuordnen...");
    look.widthTwips = 6900;
    look.heightTwips = 5760;
    look.endeLeftTwips = 6550;
    look.frameWidthTwips = 6660;
    look.frameHeightTwips = 5280;
    return look;
}

// The names are translated where the list is filled.
const QList<std::pair<QChar, const char *>> delimiters{
    {u';', QT_TRANSLATE_NOOP("ImportMappingDialog", "Semikolon (;)")},
    {u',', QT_TRANSLATE_NOOP("ImportMappingDialog", "Komma (,)")},
    {u'\t', QT_TRANSLATE_NOOP("ImportMappingDialog", "Tabulator")}};
const QList<TextEncoding> encodings{TextEncoding::Utf8, TextEncoding::Windows1252,
                                    TextEncoding::Utf16LE, TextEncoding::Utf16BE};

// A label whose text changes passes it on to screen readers.
void setSpoken(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

QString shortened(const QString &text)
{
    constexpr qsizetype longest = 30;
    QString flat = text.simplified();
    return flat.size() > longest ? flat.left(longest - 1) + u'…' : flat;
}

} // namespace

ImportMappingDialog::ImportMappingDialog(ImportSession *session, Prompter *prompter)
    : DialogBase(mappingLook(), nullptr, prompter), m_session(session)
{
    setObjectName(u"FRMSpaltenZuordnen"_s);
    // The address book waits for the answer.
    setWindowModality(Qt::ApplicationModal);

    auto *layout = new QVBoxLayout(frame1());
    auto *intro = new QLabel(tr("Die Datei «%1» hat %2 Zeilen. Wählen Sie für jede Spalte, "
                                "welches Feld des Adressbuchs sie füllt.")
                                 .arg(QFileInfo(session->fileName()).fileName(),
                                      QString::number(session->table().rows.size())));
    intro->setObjectName(u"LBLDatei"_s);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *reading = new QHBoxLayout;
    auto *delimiterLabel = new QLabel(tr("&Trennzeichen:"));
    m_delimiter = new QComboBox;
    m_delimiter->setObjectName(u"CBOTrennzeichen"_s);
    for (const auto &[character, label] : delimiters)
        m_delimiter->addItem(tr(label), QVariant::fromValue(character));
    m_delimiter->setCurrentIndex(std::max<int>(
        0, int(std::find_if(delimiters.cbegin(), delimiters.cend(),
                            [&](const auto &d) { return d.first == session->table().delimiter; }) -
               delimiters.cbegin())));
    delimiterLabel->setBuddy(m_delimiter);
    auto *encodingLabel = new QLabel(tr("&Zeichensatz:"));
    m_encoding = new QComboBox;
    m_encoding->setObjectName(u"CBOZeichensatz"_s);
    for (TextEncoding encoding : encodings)
        m_encoding->addItem(textEncodingName(encoding), int(encoding));
    m_encoding->setCurrentIndex(int(encodings.indexOf(session->table().encoding)));
    m_delimiter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_encoding->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    encodingLabel->setBuddy(m_encoding);
    reading->addWidget(delimiterLabel);
    reading->addWidget(m_delimiter);
    reading->addSpacing(12);
    reading->addWidget(encodingLabel);
    reading->addWidget(m_encoding);
    reading->addStretch();
    layout->addLayout(reading);

    m_columnsHeading = new QLabel(tr("Spalten der Datei:"));
    m_columnsHeading->setObjectName(u"LBLSpalten"_s);
    layout->addWidget(m_columnsHeading);
    auto *scroll = new QScrollArea;
    scroll->setObjectName(u"Spalten"_s);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_columns = new QWidget;
    m_columnsLayout = new QFormLayout(m_columns);
    scroll->setWidget(m_columns);
    // The rows take the dialog's blue like the rest of the frame.
    scroll->viewport()->setAutoFillBackground(false);
    m_columns->setAutoFillBackground(false);
    layout->addWidget(scroll, 1);

    m_example = new QLabel;
    m_example->setObjectName(u"LBLBeispiel"_s);
    m_example->setWordWrap(true);
    m_example->setMinimumHeight(::Look::px(600));
    m_example->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_example);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_weiter = new QPushButton(tr("Weiter"));
    m_weiter->setObjectName(u"cmdWeiter"_s);
    m_weiter->setDefault(true);
    auto *abbrechen = new QPushButton(tr("Abbrechen"));
    abbrechen->setObjectName(u"cmdAbbrechen"_s);
    buttons->addWidget(m_weiter);
    buttons->addWidget(abbrechen);
    layout->addLayout(buttons);

    connect(m_delimiter, &QComboBox::currentIndexChanged, this, &ImportMappingDialog::readAgain);
    connect(m_encoding, &QComboBox::currentIndexChanged, this, &ImportMappingDialog::readAgain);
    connect(m_weiter, &QPushButton::clicked, this, &ImportMappingDialog::weiter);
    connect(abbrechen, &QPushButton::clicked, this, &QWidget::close);

    buildColumns();
    centreOnScreen();
}

QList<CsvRole> ImportMappingDialog::roles() const
{
    QList<CsvRole> result;
    result.reserve(m_roleBoxes.size());
    for (const QComboBox *box : m_roleBoxes)
        result.append(CsvRole(box->currentData().toInt()));
    return result;
}

void ImportMappingDialog::readAgain()
{
    m_session->readTable(m_delimiter->currentData().value<QChar>(),
                         TextEncoding(m_encoding->currentData().toInt()));
    buildColumns();
}

void ImportMappingDialog::buildColumns()
{
    while (m_columnsLayout->rowCount() > 0)
        m_columnsLayout->removeRow(0);
    m_roleBoxes.clear();

    const CsvTable &table = m_session->table();
    const QList<CsvRole> guessed = guessCsvRoles(table.header);
    const QStringList firstRow = table.rows.value(0);
    for (qsizetype i = 0; i < table.header.size(); ++i) {
        QString caption = table.header.at(i).trimmed().isEmpty()
                              ? tr("Spalte %1").arg(i + 1)
                              : u"«%1»"_s.arg(shortened(table.header.at(i)));
        if (!firstRow.value(i).trimmed().isEmpty())
            caption += u' ' + tr("(z.B. %1)").arg(shortened(firstRow.value(i)));
        auto *label = new QLabel(caption);
        auto *box = new QComboBox;
        box->setObjectName(u"CBOSpalte%1"_s.arg(i + 1));
        for (CsvRole role : csvRoles())
            box->addItem(csvRoleLabel(role), int(role));
        box->setCurrentIndex(int(csvRoles().indexOf(guessed.value(i, CsvRole::Ignore))));
        label->setBuddy(box);
        connect(box, &QComboBox::currentIndexChanged, this, &ImportMappingDialog::updateExample);
        m_columnsLayout->addRow(label, box);
        m_roleBoxes.append(box);
    }
    if (!m_roleBoxes.isEmpty()) {
        m_columnsHeading->setBuddy(m_roleBoxes.constFirst());
        setTabOrder(m_encoding, m_roleBoxes.constFirst());
        for (qsizetype i = 1; i < m_roleBoxes.size(); ++i)
            setTabOrder(m_roleBoxes.at(i - 1), m_roleBoxes.at(i));
        setTabOrder(m_roleBoxes.constLast(), m_weiter);
    }
    updateExample();
}

void ImportMappingDialog::updateExample()
{
    m_session->mapColumns(roles());
    const QList<ContactRecord> &records = m_session->contacts().records;
    m_weiter->setEnabled(!records.isEmpty());
    if (records.isEmpty()) {
        setSpoken(m_example, tr("Mit dieser Zuordnung enthält die Datei keine Person. Ordnen Sie "
                                "mindestens eine Spalte einem Feld zu."));
        return;
    }
    const ContactRecord &first = records.constFirst();
    QStringList fields;
    const auto add = [&fields](const QString &label, const QString &value) {
        if (!value.isEmpty())
            fields.append(label + u": "_s + shortened(value));
    };
    add(tr("Name"), first.name);
    add(tr("Adresse"), first.adresse);
    add(tr("PLZ / Ort"), first.plzOrt);
    add(tr("Mobilnummer"), first.natelNummer);
    add(tr("Bemerkungen"), first.bemerkungen);
    setSpoken(m_example, tr("%1 in der Datei. Die erste: %2")
                             .arg(ContactText::persons(records.size()), fields.join(u", "_s)));
}

void ImportMappingDialog::weiter()
{
    m_session->mapColumns(roles());
    if (m_session->contacts().records.isEmpty())
        return;
    m_accepted = true;
    close();
}
