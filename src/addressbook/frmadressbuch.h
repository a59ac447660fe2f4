#pragma once

#include "dialogbase.h"

#include <QPointer>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;
class ImportFlow;
class RecordNavigator;
class RecordView;
class StoreConnection;

// The address book: one person of table Adressen at a time in five fields
// bound to the current record of the view DTAAdressen, a navigation bar, and
// the buttons Neu, Löschen, Suchen, number take-over, Importieren…,
// Exportieren… and Schliessen. Every
// edit is stored by the view when the record is left and when the window
// unloads, however it closes. Each time the user comes back to the window
// from another one, it re-reads the table and shows the first record.
class FRMAdressBuch : public DialogBase
{
    Q_OBJECT

public:
    FRMAdressBuch(const QString &databasePath, QWidget *mainWindow, Prompter *prompter);
    ~FRMAdressBuch() override;

    // Makes the person with this key the current record. Before the window's
    // activation has run the positioning waits for it, so that the
    // activation's move to the first record cannot undo it.
    void showRecord(qint64 dsNummer);

    RecordView *view() const { return m_view.get(); }

    // The import under way (the click on Importieren… until it is over).
    ImportFlow *importFlow() const;

    QLineEdit *nameField() const { return m_name; }
    QLineEdit *natelNummerField() const { return m_natelNummer; }

Q_SIGNALS:
    // The activation has run and the first (or the requested) record shows.
    void ready();
    // cmdNummeruebernehmen: the mobile number field's number as it is queued
    // (digits, a leading "+" as "00"; empty for an empty field).
    void numberTaken(const QString &digits);
    // The name search found nobody; the window has closed itself and the
    // search results are to take over.
    void searchFailed();

protected:
    bool event(QEvent *event) override;
    void firstActivation() override;
    bool aboutToUnload() override;

private:
    QLineEdit *addField(const QString &objectName, const QString &labelName, const QString &caption,
                        int top, int height);
    QPushButton *addButton(QWidget *parent, const QString &objectName, const QString &caption,
                           int left, int top, int width);
    // Refresh that tells a database failure apart from an empty table.
    bool refreshView();
    void reportFailure(const QString &message);

    void neu();
    void loeschen();
    void suchen();
    void nummerUebernehmen();
    void importieren();
    void exportieren();

    std::unique_ptr<StoreConnection> m_connection;
    std::unique_ptr<RecordView> m_view;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_adresse = nullptr;
    QLineEdit *m_plzOrt = nullptr;
    QLineEdit *m_natelNummer = nullptr;
    QLineEdit *m_bemerkungen = nullptr;
    RecordNavigator *m_navigator = nullptr;
    QFrame *m_frame5 = nullptr;
    QPointer<ImportFlow> m_import;
    std::optional<qint64> m_pendingRecord;
    bool m_activated = false;
    // The user has left the window for another one (not for one of its own
    // boxes): the next activation re-reads the table.
    bool m_leftForOtherWindow = false;
    bool m_quietFailures = false;
    bool m_saved = false;
};
