#pragma once

#include "addressbookflow.h"
#include "dialogbase.h"
#include "hoverlabel.h"
#include "scriptedprompter.h"
#include "testdb.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// A database in a folder of its own, a stand-in main window, a scripted
// prompter and the flow that opens the windows under test.
struct AbFixture
{
    AbFixture() : path(TestDb::create(dir.path())) { mainWindow.move(60, 40); }
    ~AbFixture()
    {
        flow.reset();
        // Closed windows are deleted later; let them go with their
        // connections before the folder does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    qint64 person(const QVariant &name, const QVariant &natel, const QVariant &adresse = {},
                  const QVariant &plzOrt = {}, const QVariant &bemerkungen = {})
    {
        return TestDb::addPerson(path, name, natel, adresse, plzOrt, bemerkungen);
    }
    // A person with a chosen key.
    void personWithKey(qint64 key, const QVariant &name, const QVariant &natel)
    {
        TestDb::exec(path,
                     u"INSERT INTO Adressen (DSNummer, Name, NatelNummer) VALUES (?, ?, ?)"_qs,
                     {key, name, natel});
    }
    QVariant column(qint64 key, const QString &column) const
    {
        return TestDb::scalar(
            path, u"SELECT \""_qs + column + u"\" FROM Adressen WHERE DSNummer = ?"_qs, {key});
    }
    int personCount() const
    {
        return TestDb::scalar(path, u"SELECT COUNT(*) FROM Adressen"_qs).toInt();
    }

    QTemporaryDir dir;
    QString path;
    QWidget mainWindow;
    ScriptedPrompter prompter;
    std::unique_ptr<AddressBookFlow> flow =
        std::make_unique<AddressBookFlow>(path, &mainWindow, &prompter);
};

// Waits until the window's activation has run (it runs right after the
// first show).
template <typename Window> bool waitReady(Window *window)
{
    if (!window)
        return false;
    QSignalSpy spy(window, &Window::ready);
    return spy.wait(5000);
}

inline QPushButton *button(QWidget *window, const QString &name)
{
    return window ? window->findChild<QPushButton *>(name) : nullptr;
}

inline QLineEdit *field(QWidget *window, const QString &name)
{
    return window ? window->findChild<QLineEdit *>(name) : nullptr;
}

inline void clickEnde(DialogBase *window)
{
    QTest::mouseClick(window->ende(), Qt::LeftButton);
}
