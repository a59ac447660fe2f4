#include "frmkonfiguration.h"

#include "hoverlabel.h"
#include "nurziffern.h"
#include "schema.h"
#include "settings.h"
#include "storeconnection.h"

#include <QDataWidgetMapper>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look konfigurationLook()
{
    DialogBase::Look look;
    look.windowTitle = u"Modemkonfiguration"_s;
    look.titel = u"Konfiguration..."_s;
    look.widthTwips = 4680;
    look.heightTwips = 3720;
    look.endeLeftTwips = 4350;
    look.frameWidthTwips = 4420;
    look.frameHeightTwips = 3255;
    return look;
}

// Serial ports COM1 to COM255: the range the modem line can name.
constexpr int kKleinsterPort = 1;
constexpr int kGroessterPort = 255;

std::optional<int> portNumber(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (!ok || number < kKleinsterPort || number > kGroessterPort)
        return std::nullopt;
    return number;
}

} // namespace

FRMKonfiguration::FRMKonfiguration(QString databasePath, Settings *settings, QWidget *mainWindow,
                                   Prompter *prompter)
    : DialogBase(konfigurationLook(), mainWindow, prompter),
      m_databasePath(std::move(databasePath)), m_settings(settings)
{
    setObjectName(u"FRMKonfiguration"_s);

    // A label and its field side by side; the label is the field's buddy,
    // so screen readers announce it with the field.
    auto labelledField = [this](const QString &labelName, const QString &text, int labelTop,
                                int labelHeight, const QString &fieldName, int fieldTop) {
        auto *label = new QLabel(text);
        label->setObjectName(labelName);
        label->setWordWrap(labelHeight > 255);
        placeInFrame(label, 200, labelTop, 1695, labelHeight);
        auto *field = new QLineEdit;
        field->setObjectName(fieldName);
        placeInFrame(field, 1920, fieldTop, 2295, 285);
        label->setBuddy(field);
        return field;
    };
    m_comPort =
        labelledField(u"Label1"_s, u"Com-Port des Modems:"_s, 360, 255, u"TXTDBComPort"_s, 360);
    m_providerNummer = labelledField(u"Label2"_s, u"Rufnummer des Service-Providers:"_s, 720, 375,
                                     u"TXTDBProviderNummer"_s, 840);
    m_initialisierungsbefehl =
        labelledField(u"Label3"_s, u"Initialisierungsbefehl für das Modem:"_s, 1200, 375,
                      u"TXTDBInistialisierungsbefehl"_s, 1320);

    m_ok = new QPushButton(u"OK"_s);
    m_ok->setObjectName(u"cmdOK"_s);
    placeInFrame(m_ok, 3600, 2760, 615, 300);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_comPort, m_providerNummer);
    setTabOrder(m_providerNummer, m_initialisierungsbefehl);
    setTabOrder(m_initialisierungsbefehl, m_ok);
    setTabOrder(m_ok, ende());
    m_comPort->setFocus();

    // DTAEinstellungen: the first row of Einstellungen, shown and edited
    // through the three mapped fields; the edits stay in the fields until
    // the window closes.
    m_connection = std::make_unique<StoreConnection>(m_databasePath, u"DTAEinstellungen"_s);
    m_einstellungen = new QSqlTableModel(this, m_connection->database());
    m_einstellungen->setObjectName(u"DTAEinstellungen"_s);
    m_einstellungen->setEditStrategy(QSqlTableModel::OnManualSubmit);
    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);

    if (!m_connection->isOpen()) {
        m_loadError = m_connection->errorText();
    } else {
        m_einstellungen->setTable(Schema::einstellungen);
        if (!m_einstellungen->select())
            m_loadError = m_einstellungen->lastError().text();
        else if (m_einstellungen->rowCount() == 0)
            m_loadError = u"Die Tabelle \"Einstellungen\" enthält keine Zeile."_s;
    }
    if (m_loadError.isEmpty()) {
        m_mapper->setModel(m_einstellungen);
        m_mapper->addMapping(m_comPort, m_einstellungen->fieldIndex(Schema::comPort));
        m_mapper->addMapping(m_providerNummer, m_einstellungen->fieldIndex(Schema::providerNummer));
        m_mapper->addMapping(m_initialisierungsbefehl,
                             m_einstellungen->fieldIndex(Schema::initialisierungsBefehl));
        m_mapper->toFirst();
    }
    for (QLineEdit *field : {m_comPort, m_providerNummer, m_initialisierungsbefehl})
        m_loaded.insert(field, field->text());

    centreOnScreen();
}

FRMKonfiguration::~FRMKonfiguration()
{
    // The model's queries must be gone before its connection is removed.
    delete m_mapper;
    delete m_einstellungen;
    m_einstellungen = nullptr;
}

void FRMKonfiguration::firstActivation()
{
    if (m_loadError.isEmpty())
        return;
    message(u"Die Einstellungen konnten nicht aus "_s + m_databasePath + u" gelesen werden:\n"_s +
                m_loadError + u"\n\nÄnderungen in diesem Fenster werden nicht gespeichert."_s,
            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}

bool FRMKonfiguration::changed(const QLineEdit *field) const
{
    return field->text() != m_loaded.value(field);
}

std::optional<FRMKonfiguration::Problem> FRMKonfiguration::validate() const
{
    // Only what was changed in this opening is checked: a window opened and
    // closed again always closes, whatever the row held (a new Daten.mdb has
    // no provider number yet).
    if (changed(m_comPort) && !portNumber(m_comPort->text())) {
        return Problem{u"Der Com-Port des Modems muss eine ganze Zahl von 1 bis 255 sein "
                       u"(zum Beispiel 1 für COM1)."_s,
                       m_comPort};
    }
    const QString provider = m_providerNummer->text();
    if (changed(m_providerNummer) &&
        std::none_of(provider.cbegin(), provider.cend(), isAsciiDigit)) {
        return Problem{u"Die Rufnummer des Service-Providers muss mindestens eine Ziffer "
                       u"enthalten."_s,
                       m_providerNummer};
    }
    if (changed(m_initialisierungsbefehl) && m_initialisierungsbefehl->text().trimmed().isEmpty()) {
        return Problem{u"Der Initialisierungsbefehl für das Modem darf nicht leer sein "
                       u"(zum Beispiel ATDT)."_s,
                       m_initialisierungsbefehl};
    }
    return std::nullopt;
}

bool FRMKonfiguration::save()
{
    // The port goes into a whole-number column: store the number itself, not
    // the blanks or sign it was typed with. An unchanged port that names no
    // serial port stays as it was.
    if (const std::optional<int> port = portNumber(m_comPort->text());
        port && m_comPort->text() != QString::number(*port))
        m_comPort->setText(QString::number(*port));

    // The edits of the mapped fields go into the row in one transaction;
    // the settings then read the row, so the engine gets what is stored,
    // not what the fields happen to show.
    const QString kNoLongerThere = u"Der Datensatz ist nicht mehr vorhanden oder wurde "
                                   u"inzwischen anders gespeichert."_s;
    // A failed attempt below may have found the row gone already.
    if (m_einstellungen->rowCount() == 0) {
        m_saveError = kNoLongerThere;
        return false;
    }
    m_mapper->submit();
    if (m_einstellungen->isDirty()) {
        QSqlDatabase db = m_einstellungen->database();
        if (!db.transaction()) {
            m_saveError = db.lastError().text();
            return false;
        }
        if (!m_einstellungen->submitAll()) {
            m_saveError = m_einstellungen->lastError().text();
            db.rollback();
            return false;
        }
        // The row is changed where it still holds what was read; one that
        // has vanished is not added again (the program never adds a
        // settings row), and the edit is refused.
        QSqlQuery changes(db);
        if (!changes.prepare(u"SELECT changes()"_s) || !changes.exec() || !changes.next() ||
            changes.value(0).toInt() < 1) {
            m_saveError = kNoLongerThere;
            db.rollback();
            return false;
        }
        if (!db.commit()) {
            m_saveError = db.lastError().text();
            db.rollback();
            return false;
        }
    }
    if (m_settings)
        m_settings->reload();
    return true;
}

bool FRMKonfiguration::aboutToUnload()
{
    // Nothing was read, so there is nothing to save and the settings stay
    // as the main window last read them.
    if (!m_loadError.isEmpty())
        return true;

    if (const std::optional<Problem> problem = validate()) {
        message(problem->text, Prompter::Buttons::Ok, Prompter::Icon::Warning);
        problem->field->setFocus();
        problem->field->selectAll();
        return false;
    }

    if (save())
        return true;

    const Prompter::Answer answer =
        message(u"Die Einstellungen konnten nicht gespeichert werden:\n"_s + m_saveError +
                    u"\n\nFenster ohne Speichern schliessen?"_s,
                Prompter::Buttons::YesNo, Prompter::Icon::Warning);
    return answer == Prompter::Answer::Yes;
}
