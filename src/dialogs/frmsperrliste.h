#pragma once

#include "dialogbase.h"
#include "twowaytables.h"

#include <memory>

class Clock;
class QListWidget;
class StoreConnection;

// The stop list: the numbers that asked not to get any more messages, newest
// first, each with the day it was put on the list and why. "Entfernen" lets
// a number get messages again (after a question); "Hinzufügen…" puts a
// number on the list by hand.
class FRMSperrliste : public DialogBase
{
    Q_OBJECT

public:
    FRMSperrliste(QString databasePath, QWidget *mainWindow, Prompter *prompter,
                  const Clock *clock);
    ~FRMSperrliste() override;

    // The lines shown, for tests and for screen readers.
    QStringList lines() const;

    static QString line(const StopEntry &entry);

Q_SIGNALS:
    // The list has been filled (also when the stop list is empty or
    // unreadable), the first time and after each change.
    void filled();

protected:
    void firstActivation() override;

private:
    void fill();
    void removeSelected();
    void addNumber();
    void showError(const QString &error);

    QString m_databasePath;
    const Clock *m_clock;
    std::unique_ptr<StoreConnection> m_connection;
    QListWidget *m_list;
    QList<StopEntry> m_entries; // as listed
};
