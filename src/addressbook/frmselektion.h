#pragma once

#include "personlistdialog.h"

#include <QStringList>
#include <optional>

// The bulk pick: every person with a mobile number as a line of number and
// name, any number of them marked; starting queues the message for each.
// A message with merge fields ({Name}, {Adresse}, {PLZOrt}, {Bemerkungen})
// becomes a text of its own for each person: LBLHinweis shows the text of
// the first marked person (or of the first listed one while nobody is
// marked), and the start refuses, naming the person, when the longest text
// is over 160 characters. The marked persons can be exported to a file.
class FRMSelektion : public PersonListDialog
{
    Q_OBJECT

public:
    FRMSelektion(const QString &databasePath, QWidget *mainWindow, Prompter *prompter);

    // The message of the run, as the main window's field holds it.
    void setMessage(const QString &text);

    struct Marked
    {
        QStringList numbers; // as queued, in list order
        QList<qint64> keys;  // DSNummer of each of them
        QStringList refused; // names of those whose number cannot be queued
    };
    // The marked persons' numbers as queueNumber makes them; nothing when
    // the table cannot be read (the user has been told).
    std::optional<Marked> marked();

Q_SIGNALS:
    // cmdSerienSMS: the window has closed; one queue entry is to be appended
    // per number (digits, a leading "+" as "00"), in this order. Not emitted
    // when nobody with a number that can be queued was marked.
    void seriesStarted(const QStringList &numbers);
    // The same for a message with merge fields: texts[i] is the message for
    // numbers[i], with that person's values in place of the fields.
    void personalSeriesStarted(const QStringList &numbers, const QStringList &texts);

protected:
    void listComplete() override;

private:
    // The marked persons' lines, every line read first; nothing when the
    // table cannot be read (the user has been told).
    std::optional<QList<PersonLine>> markedLines();
    bool hasMergeFields() const;
    // Each person's text, or nothing when one is too long or empty (the user
    // has been told who it is).
    std::optional<QStringList> mergedTexts(const QList<qint64> &keys);
    void updatePreview();
    void starten();
    void exportieren();

    QString m_message;
    QLabel *m_hint = nullptr;
};
