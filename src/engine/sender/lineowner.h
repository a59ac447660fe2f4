#pragma once

#include "serialline.h"

#include <QPointer>

class LentLine;

// The one owner of a serial line that several dialogues use (the dial-up
// modem and the GSM modem share the COM port): it lends the line to one of
// them at a time. A dialogue borrows it when its call begins and gives it
// back when the call ends; only the borrower hears the line (its data,
// errors, bytes written, carrier), and bytes that come while the line is
// lent to no one reach no one. A second borrower while the line is lent is
// refused: its port does not open.
class LineOwner final : public QObject
{
    Q_OBJECT

public:
    // The owner of line, made as its child at the first call.
    static LineOwner *of(SerialLine *line);

    // A view of the line for one user, a child of user.
    LentLine *lineFor(QObject *user);
    SerialLine *line() const { return m_line; }
    LentLine *borrower() const { return m_borrower; }

private:
    explicit LineOwner(SerialLine *line);
    friend class LentLine;
    bool lend(LentLine *borrower);
    void giveBack(LentLine *borrower);

    SerialLine *m_line;
    QPointer<LentLine> m_borrower;
};

// The line as one user sees it: it acts on the line and hears it only while
// it has borrowed it. Not borrowed, it is closed to its user: open() and
// write() fail, close() leaves the line alone, nothing is read.
class LentLine final : public SerialLine
{
    Q_OBJECT

public:
    // False (and a warning) when another user has the line.
    bool borrow();
    // Closes nothing: the user closes the port first when the call is over.
    void giveBack();
    bool isBorrowed() const;

    bool open(const QString &portName, QString *errorText = nullptr) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void clearInput() override;

private:
    friend class LineOwner;
    LentLine(LineOwner *owner, QObject *user);

    QPointer<LineOwner> m_owner;
};
