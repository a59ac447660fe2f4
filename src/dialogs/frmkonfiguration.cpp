#include "frmkonfiguration.h"

#include "connectiontest.h"
#include "hoverlabel.h"
#include "look.h"
#include "portchoice.h"
#include "settings.h"
#include "spoolfolder.h"
#include "textfield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look konfigurationLook()
{
    DialogBase::Look look;
    look.windowTitle = QCoreApplication::translate("FRMKonfiguration", "Modemkonfiguration");
    look.titel = QCoreApplication::translate("FRMKonfiguration", "Konfiguration...");
    look.widthTwips = 5400;
    look.heightTwips = 11445;
    look.endeLeftTwips = 5070;
    look.frameWidthTwips = 5140;
    look.frameHeightTwips = 10980;
    return look;
}

std::optional<int> numberIn(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (!ok || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

// Serial ports COM1 to COM255: the range the modem line can name.
std::optional<int> portNumber(const QString &text)
{
    return numberIn(text, 1, 255);
}

ConnectionKind kindAt(int index)
{
    const QList<ConnectionKindRow> &kinds = ConnectionKinds::all();
    return kinds.at(std::clamp<qsizetype>(index, 0, kinds.size() - 1)).kind;
}

} // namespace

FRMKonfiguration::FRMKonfiguration(QString databasePath, Settings *settings, QWidget *mainWindow,
                                   Prompter *prompter, ConnectionSettings *connection,
                                   ConnectionTest *test)
    : DialogBase(konfigurationLook(), mainWindow, prompter),
      m_databasePath(std::move(databasePath)), m_settings(settings),
      m_connectionSettings(connection), m_test(test)
{
    setObjectName(u"FRMKonfiguration"_s);

    // A label and its field side by side; the label is the field's buddy,
    // so screen readers announce it with the field.
    auto labelledField = [this](const QString &labelName, const QString &text, int labelTop,
                                int labelHeight, QWidget *field, const QString &fieldName,
                                int fieldTop) {
        auto *label = new QLabel(text);
        label->setObjectName(labelName);
        label->setWordWrap(labelHeight > 255);
        placeInFrame(label, 200, labelTop, 2040, labelHeight);
        field->setObjectName(fieldName);
        placeInFrame(field, 2300, fieldTop, 2640, field->inherits("QComboBox") ? 315 : 285);
        label->setBuddy(field);
    };
    auto lineField = [&](const QString &labelName, const QString &text, int labelTop,
                         int labelHeight, const QString &fieldName, int fieldTop) {
        QLineEdit *field = newTextField();
        labelledField(labelName, text, labelTop, labelHeight, field, fieldName, fieldTop);
        return field;
    };

    m_verbindung = new QComboBox;
    for (const ConnectionKindRow &kind : ConnectionKinds::all())
        m_verbindung->addItem(kind.caption());
    labelledField(u"lblVerbindung"_s, tr("Verbindung:"), 270, 255, m_verbindung, u"cboVerbindung"_s,
                  240);
    m_comPort =
        lineField(u"Label1"_s, tr("Com-Port des Modems:"), 660, 255, u"TXTDBComPort"_s, 660);
    // The port number and, beside it, the device behind it.
    placeInFrame(m_comPort, 2300, 660, 500, 285);
    m_portChoice = new PortChoice;
    m_portChoice->setObjectName(u"cboGeraet"_s);
    m_portChoice->setAccessibleName(tr("Gerät des Com-Ports"));
    placeInFrame(m_portChoice, 2860, 645, 2080, 315);
    m_providerNummer = lineField(u"Label2"_s, tr("Rufnummer des Service-Providers:"), 1020, 375,
                                 u"TXTDBProviderNummer"_s, 1140);
    m_initialisierungsbefehl = lineField(u"Label3"_s, tr("Initialisierungsbefehl für das Modem:"),
                                         1500, 375, u"TXTDBInistialisierungsbefehl"_s, 1620);
    buildConnectionPart();
    buildSmppPart();
    buildSpoolPart();

    m_ok = new QPushButton(tr("OK"));
    m_ok->setObjectName(u"cmdOK"_s);
    placeInFrame(m_ok, 4325, 10560, 615, 300);

    // The connection test and its steps, as they happen.
    m_testButton = new QPushButton(tr("Verbindung testen"));
    m_testButton->setObjectName(u"cmdVerbindungTesten"_s);
    placeInFrame(m_testButton, 200, 8820, 2200, 330);
    auto *stepsLabel = new QLabel(tr("Testschritte:"));
    stepsLabel->setObjectName(u"lblTestschritte"_s);
    placeInFrame(stepsLabel, 2600, 8865, 2300, 255);
    m_testSteps = new QListWidget;
    m_testSteps->setObjectName(u"lstTestschritte"_s);
    placeInFrame(m_testSteps, 200, 9240, 4740, 1200);
    stepsLabel->setBuddy(m_testSteps);
    connect(m_testButton, &QPushButton::clicked, this, &FRMKonfiguration::testConnection);
    if (m_test) {
        connect(m_test, &ConnectionTest::step, this,
                [this](const QString &text) { m_testSteps->addItem(text); });
        connect(m_test, &ConnectionTest::finished, this, [this](bool ok, const QString &summary) {
            m_testSteps->addItem((ok ? tr("Erfolg: %1") : tr("Fehlgeschlagen: %1")).arg(summary));
            m_testSteps->scrollToBottom();
            m_testButton->setText(tr("Verbindung testen"));
        });
    } else {
        for (QWidget *widget :
             {static_cast<QWidget *>(m_testButton), static_cast<QWidget *>(stepsLabel),
              static_cast<QWidget *>(m_testSteps)})
            widget->hide();
    }
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    QWidget *order[] = {m_verbindung,
                        m_comPort,
                        m_providerNummer,
                        m_initialisierungsbefehl,
                        m_einAnruf,
                        m_server,
                        m_tcpPort,
                        m_tls,
                        m_konto,
                        m_passwort,
                        m_simPin,
                        m_smsZentrale,
                        m_zustellbestaetigung,
                        m_absender,
                        m_offenHalten,
                        m_fenster,
                        m_systemId,
                        m_smppPasswort,
                        m_systemTyp,
                        m_gleichzeitig,
                        m_spoolOrdner,
                        m_spoolWaehlen,
                        m_ok,
                        ende()};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The first row of Einstellungen, as it stands in this file; the edits
    // stay in the fields until the window closes.
    m_row = std::make_unique<Settings>(m_databasePath);
    if (m_row->readModemRow(&m_loadedRow)) {
        m_comPort->setText(m_loadedRow.comPort);
        m_providerNummer->setText(m_loadedRow.providerNummer);
        m_initialisierungsbefehl->setText(m_loadedRow.initialisierungsBefehl);
    } else {
        m_loadError = m_row->lastError();
    }
    for (QLineEdit *field : {m_comPort, m_providerNummer, m_initialisierungsbefehl})
        m_loaded.insert(field, field->text());
    m_portChoice->showLink(QFileInfo(m_databasePath).absolutePath(),
                           portNumber(m_comPort->text()).value_or(0));

    // The connection settings as last read; a file without their table has
    // the dial-up line.
    if (!m_connectionSettings) {
        m_connectionSettings = new ConnectionSettings(m_databasePath, nullptr, this);
        if (!m_connectionSettings->reload() && m_loadError.isEmpty())
            m_loadError = m_connectionSettings->lastError();
    }
    m_loadedConnection = m_connectionSettings->values();
    m_verbindung->setCurrentIndex(ConnectionKinds::indexOf(m_loadedConnection.kind));
    m_einAnruf->setChecked(m_loadedConnection.severalPerCall);
    m_server->setText(m_loadedConnection.server);
    m_tcpPort->setText(m_loadedConnection.tcpPort > 0 ? QString::number(m_loadedConnection.tcpPort)
                                                      : QString());
    m_konto->setText(m_loadedConnection.account);
    m_passwort->setText(m_loadedConnection.password);
    m_simPin->setText(m_loadedConnection.simPin);
    m_smsZentrale->setText(m_loadedConnection.smsCentre);
    m_zustellbestaetigung->setChecked(m_loadedConnection.deliveryReports);
    m_absender->setText(m_loadedConnection.sender);
    m_offenHalten->setChecked(m_loadedConnection.keepOpen);
    m_fenster->setValue(m_loadedConnection.ucpWindow);
    m_systemId->setText(m_loadedConnection.systemId);
    m_smppPasswort->setText(m_loadedConnection.smppPassword);
    m_systemTyp->setText(m_loadedConnection.systemType);
    m_tls->setChecked(m_loadedConnection.useTls);
    m_gleichzeitig->setValue(m_loadedConnection.smppWindow);
    m_spoolOrdner->setText(m_loadedConnection.spoolFolder);
    for (QLineEdit *field : {m_server, m_tcpPort, m_konto, m_passwort, m_simPin, m_smsZentrale,
                             m_absender, m_systemId, m_smppPasswort, m_systemTyp, m_spoolOrdner})
        m_loaded.insert(field, field->text());
    connect(m_verbindung, &QComboBox::currentIndexChanged, this, &FRMKonfiguration::showKind);
    connect(m_connectionSettings, &ConnectionSettings::keyringChanged, this,
            &FRMKonfiguration::showKeyringNote);
    showKind();
    showKeyringNote();
    m_verbindung->setFocus();

    centreOnScreen();
}

void FRMKonfiguration::buildConnectionPart()
{
    auto lineField = [this](const QString &labelName, const QString &text, int top,
                            const QString &fieldName) {
        auto *label = new QLabel(text);
        label->setObjectName(labelName);
        placeInFrame(label, 200, top, 2040, 255);
        QLineEdit *field = newTextField();
        field->setObjectName(fieldName);
        placeInFrame(field, 2300, top, 2640, 285);
        label->setBuddy(field);
        return field;
    };
    m_einAnruf = new QCheckBox(tr("Alle wartenden SMS in einem Anruf senden"));
    m_einAnruf->setObjectName(u"chkEinAnruf"_s);
    placeInFrame(m_einAnruf, 200, 1980, 4740, 285);
    m_server = lineField(u"lblServer"_s, tr("Server:"), 2400, u"txtServer"_s);
    m_tcpPort = lineField(u"lblTcpPort"_s, tr("TCP-Port:"), 2760, u"txtTcpPort"_s);
    // TLS goes with the port: a centre offers it on a port of its own.
    placeInFrame(m_tcpPort, 2300, 2760, 800, 285);
    m_tls = new QCheckBox(tr("TLS verwenden"));
    m_tls->setObjectName(u"CHKTls"_s);
    placeInFrame(m_tls, 3200, 2760, 1740, 285);
    m_konto = lineField(u"lblKonto"_s, tr("Konto (OAdC):"), 3120, u"txtKonto"_s);
    m_passwort = lineField(u"lblPasswort"_s, tr("Passwort:"), 3480, u"txtPasswort"_s);
    m_passwort->setEchoMode(QLineEdit::Password);
    m_simPin = lineField(u"lblSimPin"_s, tr("SIM-PIN:"), 3840, u"txtSimPin"_s);
    m_simPin->setEchoMode(QLineEdit::Password);
    m_smsZentrale = lineField(u"lblSmsZentrale"_s, tr("SMS-Zentrale:"), 4200, u"txtSmsZentrale"_s);
    m_smsZentrale->setPlaceholderText(tr("die der SIM-Karte"));

    // Two-way messaging: reports for the kinds that can carry them, and
    // for TCP/IP how the session is kept and who it says sends.
    m_zustellbestaetigung = new QCheckBox(tr("Zustellbestätigung anfordern"));
    m_zustellbestaetigung->setObjectName(u"chkZustellbestaetigung"_s);
    placeInFrame(m_zustellbestaetigung, 200, 4560, 4740, 285);
    m_absender = lineField(u"lblAbsender"_s, tr("Absender (optional):"), 4920, u"txtAbsender"_s);
    m_absender->setPlaceholderText(tr("das Konto"));
    m_offenHalten =
        new QCheckBox(tr("Verbindung offen halten (für Antworten und Zustellberichte)"));
    m_offenHalten->setObjectName(u"chkOffenHalten"_s);
    placeInFrame(m_offenHalten, 200, 5280, 4740, 285);
    auto *fensterLabel = new QLabel(tr("Unbeantwortete Aufträge höchstens:"));
    fensterLabel->setObjectName(u"lblFenster"_s);
    placeInFrame(fensterLabel, 200, 5640, 2040, 255);
    m_fenster = new QSpinBox;
    m_fenster->setObjectName(u"spnFenster"_s);
    m_fenster->setRange(1, maxUcpWindow);
    placeInFrame(m_fenster, 2300, 5640, 800, 285);
    fensterLabel->setBuddy(m_fenster);

    m_keyringNote = new QLabel;
    m_keyringNote->setObjectName(u"lblSchluesselbund"_s);
    m_keyringNote->setWordWrap(true);
    placeInFrame(m_keyringNote, 200, 7440, 4740, 420);
}

void FRMKonfiguration::buildSmppPart()
{
    auto labelled = [this](const QString &labelName, const QString &text, int top, QWidget *field,
                           const QString &fieldName, int fieldWidth) {
        auto *label = new QLabel(text);
        label->setObjectName(labelName);
        placeInFrame(label, 200, top, 2040, 255);
        field->setObjectName(fieldName);
        placeInFrame(field, 2300, top, fieldWidth, 285);
        label->setBuddy(field);
    };
    // The account of the bind; server, port, TLS, sender, reports and the
    // session kept open are the fields above.
    m_systemId = newTextField();
    labelled(u"lblSystemID"_s, tr("System-ID:"), 6000, m_systemId, u"TXTSystemID"_s, 2640);
    m_smppPasswort = newTextField();
    m_smppPasswort->setEchoMode(QLineEdit::Password);
    labelled(u"lblSmppPasswort"_s, tr("Passwort:"), 6360, m_smppPasswort, u"TXTSmppPasswort"_s,
             2640);
    m_systemTyp = newTextField();
    labelled(u"lblSystemTyp"_s, tr("System-Typ (optional):"), 6720, m_systemTyp, u"TXTSystemTyp"_s,
             2640);
    m_gleichzeitig = new QSpinBox;
    m_gleichzeitig->setRange(1, maxSmppWindow);
    labelled(u"lblGleichzeitig"_s, tr("Gleichzeitige Nachrichten:"), 7080, m_gleichzeitig,
             u"TXTGleichzeitig"_s, 800);
}

void FRMKonfiguration::buildSpoolPart()
{
    // A setting of the program, shown for every kind.
    auto *label = new QLabel(tr("Spool-Ordner:"));
    label->setObjectName(u"lblSpoolOrdner"_s);
    placeInFrame(label, 200, 7920, 2040, 255);
    m_spoolOrdner = newTextField();
    m_spoolOrdner->setObjectName(u"TXTSpoolOrdner"_s);
    placeInFrame(m_spoolOrdner, 2300, 7920, 2220, 285);
    label->setBuddy(m_spoolOrdner);
    m_spoolWaehlen = new QPushButton(u"…"_s);
    m_spoolWaehlen->setObjectName(u"cmdSpoolOrdner"_s);
    m_spoolWaehlen->setAccessibleName(tr("Spool-Ordner wählen"));
    m_spoolWaehlen->setToolTip(m_spoolWaehlen->accessibleName());
    placeInFrame(m_spoolWaehlen, 4580, 7905, 360, 315);
    connect(m_spoolWaehlen, &QPushButton::clicked, this, &FRMKonfiguration::chooseSpoolFolder);
    auto *hint = new QLabel(
        tr("Leer: aus. Dateien im smstools3-Format werden in die Warteschlange gestellt."));
    hint->setObjectName(u"lblSpoolHinweis"_s);
    hint->setWordWrap(true);
    placeInFrame(hint, 200, 8280, 4740, 480);
}

void FRMKonfiguration::chooseSpoolFolder()
{
    const QString typed = spoolFolderPath(m_spoolOrdner->text());
    const QString start = QFileInfo(typed).isDir() ? typed : QDir::homePath();
    if (const std::optional<QString> folder = chooseFolder(tr("Spool-Ordner wählen"), start))
        m_spoolOrdner->setText(QDir::toNativeSeparators(*folder));
}

QString FRMKonfiguration::spoolFolderPath(const QString &typed)
{
    QString path = QDir::fromNativeSeparators(typed.trimmed());
    if (path.isEmpty())
        return path;
    if (path == u"~"_s || path.startsWith(u"~/"_s))
        path = path.sliced(1).prepend(QDir::homePath());
    return QDir::cleanPath(QDir::home().absoluteFilePath(path));
}

void FRMKonfiguration::showKind()
{
    const ConnectionKindRow &kind = ConnectionKinds::of(kindAt(m_verbindung->currentIndex()));
    // Greyed out with their labels, which follow their buddies.
    const QList<QLabel *> labels = frame1()->findChildren<QLabel *>();
    for (const auto &[field, setting] : fields()) {
        const bool used = kind.uses(setting);
        field->setEnabled(used);
        for (QLabel *label : labels) {
            if (label->buddy() != field)
                continue;
            label->setEnabled(used);
            // The labels' white stays white when disabled: grey them by hand.
            QPalette palette = label->palette();
            palette.setColor(QPalette::Disabled, QPalette::WindowText, ::Look::grau.darker(140));
            label->setPalette(palette);
        }
    }
    for (QCheckBox *box : {m_einAnruf, m_zustellbestaetigung, m_offenHalten, m_tls}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Disabled, QPalette::WindowText, ::Look::grau.darker(140));
        box->setPalette(palette);
    }
}

void FRMKonfiguration::showKeyringNote()
{
    const QString note =
        m_connectionSettings->keyring() == ConnectionSettings::Keyring::Missing
            ? tr("Kein Schlüsselbund gefunden: Passwort und PIN werden in Daten.mdb gespeichert.")
            : QString();
    m_keyringNote->setText(note);
    // Screen readers hear the changed note too.
    m_keyringNote->setAccessibleName(note);
    m_keyringNote->setVisible(!note.isEmpty());
}

ConnectionValues FRMKonfiguration::enteredConnection() const
{
    ConnectionValues values;
    values.kind = kindAt(m_verbindung->currentIndex());
    values.severalPerCall = m_einAnruf->isChecked();
    values.server = m_server->text().trimmed();
    values.tcpPort = numberIn(m_tcpPort->text(), 1, 65535).value_or(m_loadedConnection.tcpPort);
    values.account = m_konto->text().trimmed();
    values.password = m_passwort->text();
    values.simPin = m_simPin->text().trimmed();
    values.smsCentre = m_smsZentrale->text().trimmed();
    values.deliveryReports = m_zustellbestaetigung->isChecked();
    values.sender = m_absender->text().trimmed();
    values.keepOpen = m_offenHalten->isChecked();
    values.ucpWindow = m_fenster->value();
    values.systemId = m_systemId->text().trimmed();
    values.smppPassword = m_smppPasswort->text();
    values.systemType = m_systemTyp->text().trimmed();
    values.useTls = m_tls->isChecked();
    values.smppWindow = m_gleichzeitig->value();
    values.spoolFolder = spoolFolderPath(m_spoolOrdner->text());
    return values;
}

FRMKonfiguration::~FRMKonfiguration() = default;

void FRMKonfiguration::firstActivation()
{
    if (m_loadError.isEmpty())
        return;
    message(tr("Die Einstellungen konnten nicht aus %1 gelesen werden:\n%2\n\nÄnderungen in "
               "diesem Fenster werden nicht gespeichert.")
                .arg(m_databasePath, m_loadError),
            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}

bool FRMKonfiguration::changed(const QLineEdit *field) const
{
    const bool kindChosen = kindAt(m_verbindung->currentIndex()) != m_loadedConnection.kind;
    return field->text() != m_loaded.value(field) || (kindChosen && field->isEnabled());
}

std::optional<QString> FRMKonfiguration::problemOf(const QLineEdit *field) const
{
    for (const auto &[widget, setting] : fields()) {
        if (widget != field)
            continue;
        if (QString refusal = ConnectionKinds::rule(setting).refusal(field->text());
            !refusal.isEmpty())
            return refusal;
    }
    return std::nullopt;
}

QList<std::pair<QWidget *, SettingField>> FRMKonfiguration::fields() const
{
    return {
        {m_comPort, SettingField::ComPort},
        {m_providerNummer, SettingField::ProviderNumber},
        {m_initialisierungsbefehl, SettingField::ModemCommand},
        {m_einAnruf, SettingField::SeveralPerCall},
        {m_server, SettingField::Server},
        {m_tcpPort, SettingField::TcpPort},
        {m_konto, SettingField::Account},
        {m_passwort, SettingField::Password},
        {m_simPin, SettingField::SimPin},
        {m_smsZentrale, SettingField::SmsCentre},
        {m_zustellbestaetigung, SettingField::DeliveryReports},
        {m_absender, SettingField::Sender},
        {m_offenHalten, SettingField::KeepOpen},
        {m_fenster, SettingField::UcpWindow},
        {m_systemId, SettingField::SystemId},
        {m_smppPasswort, SettingField::SmppPassword},
        {m_systemTyp, SettingField::SystemType},
        {m_tls, SettingField::UseTls},
        {m_gleichzeitig, SettingField::SmppWindow},
    };
}

QList<QLineEdit *> FRMKonfiguration::checkedFields() const
{
    QList<QLineEdit *> checked;
    for (const auto &[widget, setting] : fields()) {
        if (auto *field = qobject_cast<QLineEdit *>(widget))
            checked.append(field);
    }
    return checked;
}

std::optional<FRMKonfiguration::Problem> FRMKonfiguration::validate() const
{
    // Only what was changed in this opening is checked: a window opened and
    // closed again always closes, whatever the row held (a new Daten.mdb has
    // no provider number yet). Fields the chosen kind does not use are not
    // checked at all.
    for (QLineEdit *field : checkedFields()) {
        if (!field->isEnabled() || !changed(field))
            continue;
        if (std::optional<QString> problem = problemOf(field))
            return Problem{*problem, field};
    }
    // A folder others could drop messages into would send them in the
    // user's name; the core checks the same again each time it starts.
    const QString spoolFolder = spoolFolderPath(m_spoolOrdner->text());
    if (!spoolFolder.isEmpty() && spoolFolder != spoolFolderPath(m_loaded.value(m_spoolOrdner))) {
        if (QString refusal = SpoolFolder::refusal(spoolFolder); !refusal.isEmpty())
            return Problem{refusal, m_spoolOrdner};
    }
    return std::nullopt;
}

bool FRMKonfiguration::save()
{
    // A greyed-out field keeps its edit only when it is usable: the kind
    // chosen does not use it, but another may again.
    for (QLineEdit *field : checkedFields()) {
        if (!field->isEnabled() && changed(field) && problemOf(field))
            field->setText(m_loaded.value(field));
    }
    if (!saveSettingsRow())
        return false;
    // The device behind the port, once the port number is stored.
    if (m_portChoice->isEnabled() && m_portChoice->isChanged()) {
        if (const std::optional<int> port = portNumber(m_comPort->text());
            port &&
            !m_portChoice->store(QFileInfo(m_databasePath).absolutePath(), *port, &m_saveError))
            return false;
    }
    // The connection settings, only when something was changed: a file
    // never given them keeps no table of them.
    const ConnectionValues entered = enteredConnection();
    if (entered != m_loadedConnection) {
        if (!m_connectionSettings->save(entered)) {
            m_saveError = m_connectionSettings->lastError();
            return false;
        }
        m_loadedConnection = entered;
    }
    return true;
}

bool FRMKonfiguration::saveSettingsRow()
{
    // The port goes into a whole-number column: store the number itself, not
    // the blanks or sign it was typed with. An unchanged port that names no
    // serial port stays as it was.
    if (const std::optional<int> port = portNumber(m_comPort->text());
        port && m_comPort->text() != QString::number(*port))
        m_comPort->setText(QString::number(*port));

    // The edits go into the row in one transaction; the settings then read
    // the row, so the engine gets what is stored, not what the fields
    // happen to show.
    const Settings::ModemRow edited{m_comPort->text(), m_providerNummer->text(),
                                    m_initialisierungsbefehl->text()};
    if (!m_row->saveModemRow(m_loadedRow, edited)) {
        m_saveError = m_row->lastError();
        return false;
    }
    m_loadedRow = edited;
    if (m_settings)
        m_settings->reload();
    return true;
}

void FRMKonfiguration::testConnection()
{
    if (m_test->isRunning()) {
        m_test->cancel();
        return;
    }
    if (!m_loadError.isEmpty())
        return; // the entries cannot be stored, so not tested either
    if (const std::optional<Problem> problem = validate()) {
        message(problem->text, Prompter::Buttons::Ok, Prompter::Icon::Warning);
        problem->field->setFocus();
        problem->field->selectAll();
        return;
    }
    // The test uses what is stored, as the next call would.
    if (!save()) {
        message(tr("Die Einstellungen konnten nicht gespeichert werden:\n%1").arg(m_saveError),
                Prompter::Buttons::Ok, Prompter::Icon::Warning);
        return;
    }
    m_testSteps->clear();
    m_testButton->setText(tr("Test abbrechen"));
    m_test->start();
}

void FRMKonfiguration::abandon()
{
    if (m_test && m_test->isRunning())
        m_test->cancel();
}

bool FRMKonfiguration::aboutToUnload()
{
    if (m_test && m_test->isRunning())
        m_test->cancel();
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
        message(tr("Die Einstellungen konnten nicht gespeichert werden:\n%1\n\nFenster ohne "
                   "Speichern schliessen?")
                    .arg(m_saveError),
                Prompter::Buttons::YesNo, Prompter::Icon::Warning);
    return answer == Prompter::Answer::Yes;
}
