#pragma once

#include "csvformat.h"
#include "dialogbase.h"

#include <QList>

class ImportSession;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;

// "Spalten zuordnen": the columns of a CSV file, each with the field it
// fills, as guessed from its heading; the delimiter and the encoding as they
// were found, for the user to correct. A line below shows the first person
// as the file would give it. "Weiter" maps the session's persons with the
// chosen roles and closes the window; closing it in any other way ends the
// import (isAccepted() tells which, when the window has unloaded).
class ImportMappingDialog : public DialogBase
{
    Q_OBJECT

public:
    // The session must outlive the window.
    ImportMappingDialog(ImportSession *session, Prompter *prompter);

    QList<CsvRole> roles() const;
    // The choice of column i (0-based): CBOSpalte1, CBOSpalte2, ...
    QComboBox *roleBox(int column) const { return m_roleBoxes.value(column); }

    // "Weiter" closed the window; the session holds the persons under the
    // chosen roles.
    bool isAccepted() const { return m_accepted; }

private:
    void readAgain();
    void buildColumns();
    void updateExample();
    void weiter();

    ImportSession *m_session;
    QComboBox *m_delimiter = nullptr;
    QComboBox *m_encoding = nullptr;
    QLabel *m_columnsHeading = nullptr;
    QWidget *m_columns = nullptr;
    QFormLayout *m_columnsLayout = nullptr;
    QList<QComboBox *> m_roleBoxes;
    QLabel *m_example = nullptr;
    QPushButton *m_weiter = nullptr;
    bool m_accepted = false;
};
