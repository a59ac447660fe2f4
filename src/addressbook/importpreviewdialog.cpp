#include "importpreviewdialog.h"

#include "contacttexts.h"
#include "importsession.h"
#include "look.h"
#include "queuenumber.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look previewLook()
{
    DialogBase::Look look;
    look.windowTitle = ContactText::importTitle();
    look.titel = QCoreApplication::translate("ImportPreviewDialog", "Vorschau...");
    look.widthTwips = 10200;
    look.heightTwips = 7200;
    look.endeLeftTwips = 9850;
    look.frameWidthTwips = 9960;
    look.frameHeightTwips = 6720;
    return look;
}

// Every person of the file, one row each, with what becomes of it.
class PreviewModel : public QAbstractTableModel
{
public:
    enum Column { Zeile, Name, Nummer, Uebernahme, Hinweis, ColumnCount };

    explicit PreviewModel(const ImportSession &session, QObject *parent)
        : QAbstractTableModel(parent), m_session(session)
    {}

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_session.contacts().records.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        switch (section) {
        case Zeile:
            return QCoreApplication::translate("ImportPreviewDialog", "Zeile");
        case Name:
            return QCoreApplication::translate("ImportPreviewDialog", "Name");
        case Nummer:
            return QCoreApplication::translate("ImportPreviewDialog", "Mobilnummer");
        case Uebernahme:
            return QCoreApplication::translate("ImportPreviewDialog", "Übernahme");
        case Hinweis:
            return QCoreApplication::translate("ImportPreviewDialog", "Hinweis");
        }
        return QVariant();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const int row = index.row();
        if (role == Qt::ForegroundRole)
            return hint(row).isEmpty() ? QVariant() : QVariant(QColor(170, 0, 0));
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return QVariant();
        const ContactRecord &record = m_session.contacts().records.at(row);
        switch (index.column()) {
        case Zeile:
            return m_session.contacts().lines.value(row);
        case Name:
            return record.name;
        case Nummer:
            return record.natelNummer;
        case Uebernahme:
            return status(row);
        case Hinweis:
            return hint(row);
        }
        return QVariant();
    }

private:
    QString status(int row) const
    {
        const PlannedContact &item = m_session.importPlan().items.at(row);
        switch (item.status) {
        case ImportStatus::New:
            return QCoreApplication::translate("ImportPreviewDialog", "neu");
        case ImportStatus::Match: {
            const QString name = m_session.storedName(item.matchDsNummer);
            return name.isEmpty()
                       ? QCoreApplication::translate("ImportPreviewDialog", "schon im Adressbuch")
                       : QCoreApplication::translate("ImportPreviewDialog",
                                                     "schon im Adressbuch: %1")
                             .arg(name);
        }
        case ImportStatus::RepeatInFile:
            return QCoreApplication::translate("ImportPreviewDialog", "doppelt (wie Zeile %1)")
                .arg(m_session.contacts().lines.value(item.firstIndex));
        case ImportStatus::NoNumber:
            return QCoreApplication::translate("ImportPreviewDialog", "ohne verwendbare Nummer");
        }
        return QString();
    }

    QString hint(int row) const
    {
        const PlannedContact &item = m_session.importPlan().items.at(row);
        const QString &number = m_session.contacts().records.at(row).natelNummer;
        QStringList hints;
        if (item.status != ImportStatus::NoNumber && !item.mobile)
            hints.append(
                QCoreApplication::translate("ImportPreviewDialog", "keine gültige Mobilnummer"));
        // Stored as written; a number that the queue would refuse (a
        // letter in it, too many digits) is marked, so that the user can
        // correct it in the address book.
        const QueueNumber queued = queueNumber(number);
        if (!number.trimmed().isEmpty() && !queued.isValid())
            hints.append(QCoreApplication::translate("ImportPreviewDialog", "so nicht versendbar"));
        return hints.join(u"; "_s);
    }

    const ImportSession &m_session;
};

void setSpoken(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(const ImportSession &session, Prompter *prompter)
    : DialogBase(previewLook(), nullptr, prompter)
{
    setObjectName(u"FRMVorschau"_s);
    setWindowModality(Qt::ApplicationModal);

    const ImportPlan &plan = session.importPlan();
    const QList<ContactRecord> &records = session.contacts().records;
    int notMobile = 0;
    for (const PlannedContact &item : plan.items)
        notMobile += item.status != ImportStatus::NoNumber && !item.mobile ? 1 : 0;
    const int matches = plan.count(ImportStatus::Match);
    const int repeats = plan.count(ImportStatus::RepeatInFile);
    const int withoutNumber = plan.count(ImportStatus::NoNumber);

    auto *layout = new QVBoxLayout(frame1());
    auto *file = new QLabel;
    file->setObjectName(u"LBLDatei"_s);
    setSpoken(file, tr("Die Datei «%1» enthält %2.")
                        .arg(QFileInfo(session.fileName()).fileName(),
                             ContactText::persons(records.size())));
    layout->addWidget(file);

    auto *counts = new QVBoxLayout;
    counts->setSpacing(0);
    const auto addCount = [&](const QString &objectName, const QString &text) {
        auto *label = new QLabel;
        label->setObjectName(objectName);
        setSpoken(label, text);
        counts->addWidget(label);
    };
    addCount(u"LBLNeu"_s, tr("Neu: %1").arg(plan.count(ImportStatus::New)));
    addCount(u"LBLVorhanden"_s, tr("Schon im Adressbuch (gleiche Nummer): %1").arg(matches));
    addCount(u"LBLDoppelt"_s, tr("Mehrfach in der Datei (gleiche Nummer): %1").arg(repeats));
    addCount(u"LBLOhneNummer"_s, tr("Ohne verwendbare Nummer: %1").arg(withoutNumber));
    addCount(u"LBLKeineMobilnummer"_s,
             tr("Keine gültige Mobilnummer (wird so übernommen): %1").arg(notMobile));
    layout->addLayout(counts);

    auto *tableHeading = new QLabel(tr("&Personen in der Datei:"));
    tableHeading->setObjectName(u"LBLPersonen"_s);
    layout->addWidget(tableHeading);
    m_table = new QTableView;
    m_table->setObjectName(u"TBLPersonen"_s);
    m_table->setModel(new PreviewModel(session, m_table));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    m_table->setColumnWidth(PreviewModel::Zeile, 40);
    m_table->setColumnWidth(PreviewModel::Name, 140);
    m_table->setColumnWidth(PreviewModel::Nummer, 115);
    m_table->setColumnWidth(PreviewModel::Uebernahme, 185);
    // Equal row heights of one line: the table does not measure ten
    // thousand rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    tableHeading->setBuddy(m_table);
    layout->addWidget(m_table, 1);

    if (!session.contacts().messages.isEmpty()) {
        auto *messagesHeading = new QLabel(tr("&Hinweise beim Lesen:"));
        messagesHeading->setObjectName(u"LBLHinweise"_s);
        auto *messages = new QListWidget;
        messages->setObjectName(u"LSTHinweise"_s);
        for (const ImportMessage &message : session.contacts().messages)
            messages->addItem(message.toString());
        // A file of broken lines has a message for each; the first ones tell
        // what is wrong.
        if (const qsizetype more = session.contacts().moreMessages; more > 0)
            messages->addItem(tr("… und %1 weitere").arg(more));
        messages->setMaximumHeight(::Look::px(900));
        messagesHeading->setBuddy(messages);
        layout->addWidget(messagesHeading);
        layout->addWidget(messages);
    }

    m_skip = new QRadioButton(tr("Übereinstimmende &überspringen"));
    m_skip->setObjectName(u"OPTUeberspringen"_s);
    m_skip->setChecked(true);
    m_update = new QRadioButton(tr("Übereinstimmende &aktualisieren (gefüllte Felder der Datei "
                                   "ersetzen die gespeicherten)"));
    m_update->setObjectName(u"OPTAktualisieren"_s);
    auto *group = new QButtonGroup(this);
    group->addButton(m_skip);
    group->addButton(m_update);
    m_skip->setEnabled(matches + repeats > 0);
    m_update->setEnabled(matches + repeats > 0);
    m_withoutNumber = new QCheckBox(tr("Personen &ohne verwendbare Nummer auch übernehmen"));
    m_withoutNumber->setObjectName(u"CHKOhneNummer"_s);
    m_withoutNumber->setChecked(true);
    m_withoutNumber->setEnabled(withoutNumber > 0);
    layout->addWidget(m_skip);
    layout->addWidget(m_update);
    layout->addWidget(m_withoutNumber);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *importieren = new QPushButton(tr("Importieren"));
    importieren->setObjectName(u"cmdImportieren"_s);
    importieren->setDefault(true);
    auto *abbrechen = new QPushButton(tr("Abbrechen"));
    abbrechen->setObjectName(u"cmdAbbrechen"_s);
    buttons->addWidget(importieren);
    buttons->addWidget(abbrechen);
    layout->addLayout(buttons);

    connect(importieren, &QPushButton::clicked, this, [this] {
        m_accepted = true;
        close();
    });
    connect(abbrechen, &QPushButton::clicked, this, &QWidget::close);
    importieren->setFocus();
    centreOnScreen();
}

ImportOptions ImportPreviewDialog::options() const
{
    return ImportOptions{m_update->isChecked() ? ImportOptions::Matches::Update
                                               : ImportOptions::Matches::Skip,
                         m_withoutNumber->isChecked()};
}
