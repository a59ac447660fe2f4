#include "frmadressbuch.h"

#include "addressbooktexts.h"
#include "contacttexts.h"
#include "contacttransfer.h"
#include "fieldbinding.h"
#include "look.h"
#include "numberfieldcheck.h"
#include "queuenumber.h"
#include "queuetexts.h"
#include "recordnavigator.h"
#include "recordview.h"
#include "schema.h"
#include "storeconnection.h"
#include "textfield.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look addressBookLook()
{
    DialogBase::Look look;
    look.windowTitle = QCoreApplication::translate("FRMAdressBuch", "Adressbuch");
    look.titel = QCoreApplication::translate("FRMAdressBuch", "Adressbuch...");
    look.widthTwips = 4950;
    look.heightTwips = 5430;
    look.endeLeftTwips = 4600;
    look.frameWidthTwips = 4695;
    look.frameHeightTwips = 4935;
    return look;
}

// Layout of the fields inside Frame1, in twips.
constexpr int labelLeft = 240;
constexpr int labelWidth = 1335;
constexpr int fieldLeft = 1680;
constexpr int fieldWidth = 2775;
constexpr int rowHeight = 285;

// The search text with the blanks around it removed (other white space is
// part of what the user typed).
QString withoutBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

FRMAdressBuch::FRMAdressBuch(const QString &databasePath, QWidget *mainWindow, Prompter *prompter)
    : DialogBase(addressBookLook(), mainWindow, prompter),
      m_connection(std::make_unique<StoreConnection>(databasePath, u"FRMAdressBuch"_s))
{
    setObjectName(u"FRMAdressBuch"_s);

    m_view = std::make_unique<RecordView>(m_connection->database(), Schema::adressen,
                                          QStringList{Schema::name, Schema::adresse, Schema::plzOrt,
                                                      Schema::natelNummer, Schema::bemerkungen});
    m_view->setObjectName(u"DTAAdressen"_s);
    // Persons are known by DSNummer (the search results hand it over), and
    // the address book is where persons are added.
    m_view->setKeyColumn(Schema::dsNummer);
    m_view->setAddsRecords(true);
    connect(m_view.get(), &RecordView::failed, this, &FRMAdressBuch::reportFailure);

    m_name = addField(u"TXTDBName"_s, u"LBLName"_s, tr("Name:"), 240, rowHeight);
    m_adresse = addField(u"TXTDBAdresse"_s, u"LBLAdresse"_s, tr("Adresse:"), 600, rowHeight);
    m_plzOrt = addField(u"TXTDBPLZOrt"_s, u"LBLPLZOrt"_s, tr("PLZ / Ort:"), 960, rowHeight);
    m_natelNummer =
        addField(u"TXTDBNatelNummer"_s, u"LBLDBNatelNummer"_s, tr("Mobilnummer:"), 1320, rowHeight);
    // Three rows high, but one line like the others.
    m_bemerkungen =
        addField(u"TXTBemerkungen"_s, u"LBLBemerkungen"_s, tr("Bemerkungen:"), 1680, 3 * rowHeight);
    m_bemerkungen->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The number field refuses a trailing character that is not a digit or a
    // blank, telling the user in a box that the window steps aside for.
    new NumberFieldCheck(
        m_natelNummer, &QueueText::refusedCharacter, [this](const QString &text) { message(text); },
        this);

    bindField(m_view.get(), Schema::name, m_name);
    bindField(m_view.get(), Schema::adresse, m_adresse);
    bindField(m_view.get(), Schema::plzOrt, m_plzOrt);
    bindField(m_view.get(), Schema::natelNummer, m_natelNummer);
    bindField(m_view.get(), Schema::bemerkungen, m_bemerkungen);

    m_navigator = new RecordNavigator(u"Data1"_s);
    m_navigator->setObjectName(u"DTAAdressen"_s);
    placeInFrame(m_navigator, 240, 2760, 4215, 345);
    connect(m_navigator, &RecordNavigator::firstRequested, this, [this] { m_view->moveFirst(); });
    connect(m_navigator, &RecordNavigator::previousRequested, this,
            [this] { m_view->movePrevious(); });
    connect(m_navigator, &RecordNavigator::nextRequested, this, [this] { m_view->moveNext(); });
    connect(m_navigator, &RecordNavigator::lastRequested, this, [this] { m_view->moveLast(); });

    m_frame5 = new QFrame;
    m_frame5->setObjectName(u"Frame5"_s);
    m_frame5->setFrameShape(QFrame::Box);
    m_frame5->setFrameShadow(QFrame::Sunken);
    placeInFrame(m_frame5, 240, 3240, 4215, 1575);

    // Editing buttons on top, the take-over on a row of its own (its caption
    // is long), closing at the bottom right.
    QPushButton *newButton = addButton(m_frame5, u"cmdNeu"_s, tr("Neu"), 120, 150, 1215);
    QPushButton *deleteButton =
        addButton(m_frame5, u"cmdLoeschen"_s, tr("Löschen"), 1500, 150, 1215);
    QPushButton *searchButton = addButton(m_frame5, u"cmdSuchen"_s, tr("Suchen"), 2880, 150, 1215);
    QPushButton *takeOverButton = addButton(m_frame5, u"cmdNummeruebernehmen"_s,
                                            tr("Nummer auf Nachricht übernehmen"), 120, 600, 3975);
    QPushButton *importButton =
        addButton(m_frame5, u"cmdImportieren"_s, tr("Importieren…"), 120, 1050, 1215);
    QPushButton *exportButton =
        addButton(m_frame5, u"cmdExportieren"_s, tr("Exportieren…"), 1500, 1050, 1215);
    QPushButton *abbrechenButton =
        addButton(m_frame5, u"cmdAbbrechen"_s, tr("Schliessen"), 2880, 1050, 1215);

    connect(newButton, &QPushButton::clicked, this, &FRMAdressBuch::neu);
    connect(deleteButton, &QPushButton::clicked, this, &FRMAdressBuch::loeschen);
    connect(searchButton, &QPushButton::clicked, this, &FRMAdressBuch::suchen);
    connect(takeOverButton, &QPushButton::clicked, this, &FRMAdressBuch::nummerUebernehmen);
    connect(importButton, &QPushButton::clicked, this, &FRMAdressBuch::importieren);
    connect(exportButton, &QPushButton::clicked, this, &FRMAdressBuch::exportieren);
    connect(abbrechenButton, &QPushButton::clicked, this, &QWidget::close);

    // Fields first, then the buttons from Schliessen to Neu, the file
    // buttons, then the bar.
    const QList<QWidget *> order{m_name,
                                 m_adresse,
                                 m_plzOrt,
                                 m_natelNummer,
                                 m_bemerkungen,
                                 abbrechenButton,
                                 takeOverButton,
                                 searchButton,
                                 deleteButton,
                                 newButton,
                                 importButton,
                                 exportButton,
                                 m_navigator->firstButton(),
                                 m_navigator->previousButton(),
                                 m_navigator->nextButton(),
                                 m_navigator->lastButton()};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    m_name->setFocus();

    centreOnScreen();
}

FRMAdressBuch::~FRMAdressBuch()
{
    // An import under way holds the window's connection, which goes with
    // the members below.
    delete m_import.data();
    // Destroyed without an orderly close: what was typed still goes in.
    if (!m_saved && m_view) {
        m_view->disconnect(this);
        m_view->save();
    }
}

QLineEdit *FRMAdressBuch::addField(const QString &objectName, const QString &labelName,
                                   const QString &caption, int top, int height)
{
    auto *label = new QLabel(caption);
    label->setObjectName(labelName);
    placeInFrame(label, labelLeft, top, labelWidth, rowHeight);

    QLineEdit *field = newTextField();
    field->setObjectName(objectName);
    placeInFrame(field, fieldLeft, top, fieldWidth, height);
    label->setBuddy(field);
    return field;
}

QPushButton *FRMAdressBuch::addButton(QWidget *parent, const QString &objectName,
                                      const QString &caption, int left, int top, int width)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    button->setGeometry(::Look::rectTwips(left, top, width, 375));
    return button;
}

void FRMAdressBuch::reportFailure(const QString &detail)
{
    if (!m_quietFailures)
        message(AddressBookText::accessFailed(detail));
}

bool FRMAdressBuch::refreshView()
{
    return m_view->refresh() || m_view->lastError().isEmpty();
}

void FRMAdressBuch::showRecord(qint64 dsNummer)
{
    if (!m_activated) {
        m_pendingRecord = dsNummer;
        return;
    }
    m_view->moveToKey(dsNummer);
}

bool FRMAdressBuch::event(QEvent *event)
{
    // Coming back from another window shows the table as it is now, from its
    // first record. Coming back from the window's own box is no such return:
    // the window stepped aside for the box and must stay on the record whose
    // number field the check may be shortening. The opening's own activation
    // is left to firstActivation.
    if (event->type() == QEvent::WindowDeactivate && m_activated && !isBracketed() && isVisible()) {
        m_leftForOtherWindow = true;
    } else if (event->type() == QEvent::WindowActivate && m_leftForOtherWindow) {
        m_leftForOtherWindow = false;
        refreshView();
    }
    return DialogBase::event(event);
}

void FRMAdressBuch::firstActivation()
{
    // Runs once per opening, whenever the platform reports the activation.
    m_activated = true;
    refreshView();
    if (m_pendingRecord) {
        m_view->moveToKey(*m_pendingRecord);
        m_pendingRecord.reset();
    }
    Q_EMIT ready();
}

bool FRMAdressBuch::aboutToUnload()
{
    m_quietFailures = true;
    const bool saved = m_view->save();
    m_quietFailures = false;
    if (!saved) {
        message(AddressBookText::notSaved(m_view->lastError()));
        return false;
    }
    m_saved = true;
    return true;
}

void FRMAdressBuch::neu()
{
    if (!refreshView())
        return;
    m_view->addNew();
    m_name->setFocus();
}

void FRMAdressBuch::loeschen()
{
    // The record on the screen is the one to go, not the first one a re-read
    // would make current. Its pending edits are stored first, so a new record
    // that was typed in is removed as a whole.
    if (!m_view->save())
        return;
    if (m_view->currentRowId()) {
        if (!m_view->deleteCurrent())
            return;
        refreshView();
        return;
    }
    if (!refreshView())
        return;
    if (!m_view->hasRecords())
        message(AddressBookText::noRecordToDelete());
}

void FRMAdressBuch::suchen()
{
    if (!refreshView())
        return;
    if (!m_view->hasRecords()) {
        message(AddressBookText::noDataToSearch());
        return;
    }
    const std::optional<QString> answer =
        input(AddressBookText::searchPrompt(), AddressBookText::searchTitle());
    const QString name = withoutBlanks(answer.value_or(QString()));
    if (m_view->findFirst(Schema::name, name))
        return;
    if (!m_view->lastError().isEmpty())
        return;
    // Nobody of exactly that name: the full list takes over.
    if (close())
        Q_EMIT searchFailed();
}

void FRMAdressBuch::nummerUebernehmen()
{
    // An empty field empties the main window's number field; a number that
    // cannot be sent is refused, not cut down to one that can.
    const QString text = m_natelNummer->text();
    const QueueNumber number = queueNumber(text);
    if (!number.isValid() && number.problem != QueueNumber::Problem::NoDigits) {
        message(queueNumberMessage(AddressBookText::mobileNumberOf(QString()), text, number));
        m_natelNummer->setFocus(Qt::OtherFocusReason);
        if (number.problem == QueueNumber::Problem::ForeignCharacter)
            m_natelNummer->setSelection(int(number.position),
                                        int(foreignCharacter(text, number).size()));
        else
            m_natelNummer->selectAll();
        return;
    }
    Q_EMIT numberTaken(number.digits);
    close();
}

ImportFlow *FRMAdressBuch::importFlow() const
{
    return m_import;
}

void FRMAdressBuch::importieren()
{
    // What was typed goes in first, so that the import compares with it and
    // an update of the same person does not meet an edit still pending.
    if (m_import || !m_view->save())
        return;
    m_import = new ImportFlow(this, m_connection->database());
    connect(m_import, &ImportFlow::written, this, [this] { refreshView(); });
    m_import->start();
}

void FRMAdressBuch::exportieren()
{
    if (!m_view->save())
        return;
    ContactStore store(m_connection->database());
    const std::optional<QList<ContactRecord>> records = store.readContacts();
    if (!records) {
        message(AddressBookText::accessFailed(store.lastError()));
        return;
    }
    if (records->isEmpty()) {
        message(ContactText::nothingToExport());
        return;
    }
    exportContacts(this, *records, tr("Adressbuch"));
}
