#pragma once

#include "contactstore.h"
#include "dialogbase.h"

class ImportSession;
class QCheckBox;
class QLabel;
class QRadioButton;
class QTableView;

// "Vorschau": how many persons of the file are new, how many match a stored
// person by number (compared as numbers), how many repeat a number of the
// file and how many have no usable number, with every person of the file in
// a table that marks the numbers that are not valid mobile numbers (they are
// imported as written all the same) and those that cannot be sent as they
// are. The user chooses whether matches are skipped or update the stored
// person, and whether persons without a number are added. "Importieren"
// closes the window accepted; closing it in any other way ends the import.
class ImportPreviewDialog : public DialogBase
{
    Q_OBJECT

public:
    // The session must outlive the window and hold a plan.
    ImportPreviewDialog(const ImportSession &session, Prompter *prompter);

    ImportOptions options() const;
    bool isAccepted() const { return m_accepted; }
    QTableView *table() const { return m_table; }

private:
    QTableView *m_table = nullptr;
    QRadioButton *m_skip = nullptr;
    QRadioButton *m_update = nullptr;
    QCheckBox *m_withoutNumber = nullptr;
    bool m_accepted = false;
};
