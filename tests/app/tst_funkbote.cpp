#include "addressbookflow.h"
#include "calltrace.h"
#include "connectionsettings.h"
#include "fakeclock.h"
#include "fakeserialline.h"
#include "frmeingang.h"
#include "frmselektion.h"
#include "funkbote.h"
#include "hoverlabel.h"
#include "inbound.h"
#include "look.h"
#include "messagetext.h"
#include "messagingcore.h"
#include "outgoingqueue.h"
#include "pointerevents.h"
#include "scriptedprompter.h"
#include "sendengine.h"
#include "settings.h"
#include "storeconnection.h"
#include "storedqueue.h"
#include "testdb.h"
#include "ucp.h"
#include "ucpsession.h"

#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kQuitQuestion = QStringLiteral(
    "Es sind noch Nachrichten in der Warteschlange. Wenn Sie jetzt beenden, gehen diese "
    "Nachrichten verloren. Wollen Sie beenden?");
const QString kStopQuestion = QStringLiteral(
    "Achtung! Sie sind dabei den Versand aller Nachrichten anzuhalten. Wollen Sie das wirklich?");

using PointerEvents::moveOver;

void hover(QWidget *widget)
{
    PointerEvents::enter(widget);
}

} // namespace

class TestFunkbote : public QObject
{
    Q_OBJECT

private:
    template <typename T> T *child(const char *name)
    {
        T *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qWarning("no child %s", name);
        return widget;
    }
    static QWidget *openWindow(const QString &name)
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == name && top->isVisible())
                return top;
        }
        return nullptr;
    }
    void queueMessage(const QString &number, const QString &text)
    {
        child<QLineEdit>("TXTNatelNummer")->setText(number);
        child<QPlainTextEdit>("TXTNachricht")->setPlainText(text);
        QTest::mouseClick(child<QPushButton>("cmdSenden"), Qt::LeftButton);
    }
    void start()
    {
        m_line = new FakeSerialLine;
        m_core = std::make_unique<MessagingCore>(
            MessagingCore::Environment{.programDir = m_dir->path(),
                                       .prompter = &m_prompter,
                                       .clock = &m_clock,
                                       .line = m_line,
                                       .settings = m_settings.get()});
        m_window = std::make_unique<Funkbote>(m_core.get());
        m_core->start();
        m_line->setParent(m_core.get());
        m_window->show();
    }
    // The program ends without its quit guard, as by a crash, a kill or a
    // power loss, and starts again.
    void restartAfterCrash()
    {
        m_window.reset();
        m_core.reset();
        m_prompter.clear();
        start();
    }
    // Rows of the queue's copy in Daten.mdb, "number:text" in their order.
    QStringList pendingRows() const
    {
        QStringList rows;
        StoreConnection connection(m_path, u"test"_s);
        QSqlQuery query(connection.database());
        if (!query.exec(u"SELECT MobileNumber || ':' || Message FROM PendingMessages "
                        u"ORDER BY Id"_s))
            rows << u"(table unreadable)"_s;
        while (query.next())
            rows << query.value(0).toString();
        return rows;
    }
    QStringList queued() const
    {
        QStringList entries;
        for (int i = 0; i < m_window->core()->queue()->count(); ++i)
            entries << m_window->core()->queue()->at(i).recipient + u':' +
                           m_window->core()->queue()->at(i).nachricht;
        return entries;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    ScriptedPrompter m_prompter;
    FakeClock m_clock;
    FakeSerialLine *m_line = nullptr;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MessagingCore> m_core;
    std::unique_ptr<Funkbote> m_window;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        TestDb::Settings settings;
        settings.providerNummer = u"0800 12-34"_s;
        m_path = TestDb::create(m_dir->path(), settings);
        m_prompter.clear();
        m_settings = std::make_unique<Settings>(m_path);
        start();
    }
    void cleanup()
    {
        m_window.reset();
        m_core.reset();
        m_settings.reset();
        m_dir.reset();
    }

    void startState()
    {
        QCOMPARE(m_window->windowTitle(), u"Funkbote"_s);
        QCOMPARE(child<QLabel>("LBLTitel")->text(), u"Funkbote - SMS-Versand-Programm..."_s);
        QCOMPARE(child<QLabel>("LBLStatus")->text(), u"Status: Warten..."_s);
        QCOMPARE(child<QPushButton>("cmdStartStop")->text(), u"Versand stoppen"_s);
        QCOMPARE(m_window->core()->engine()->versandStatus(), u"Start"_s);
        QCOMPARE(m_window->core()->engine()->verbindungAktiv(), u"Nein"_s);
        QCOMPARE(m_window->core()->engine()->fehlversuche(), qint16(0));
        QCOMPARE(m_window->core()->engine()->timer1()->interval(), 5000);
        QVERIFY(m_window->core()->engine()->timer1()->isActive());
        QCOMPARE(child<QLineEdit>("TXTRueckrufNummer")->text(), u"079 555 66 77"_s);
        QCOMPARE(m_settings->comPort(), qint16(1));
        QCOMPARE(m_settings->providerNummer(), u"08001234"_s);
        QCOMPARE(m_settings->initialisierungsBefehl(), u"ATDT"_s);
        QCOMPARE(m_window->size(), QSize(457, 401));
        QCOMPARE(m_prompter.count(), 0);
        // The file of another tool got the table for the queue, and nothing
        // was there to restore.
        QCOMPARE(pendingRows(), QStringList());
        QCOMPARE(m_window->core()->queue()->count(), 0);
    }

    void headingsAreBuddies_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("field");
        QTest::newRow("number") << u"LBLNatelNummer"_s << u"TXTNatelNummer"_s;
        QTest::newRow("call-back") << u"LBLRueckrufNummer"_s << u"TXTRueckrufNummer"_s;
        QTest::newRow("message") << u"LBLNachricht"_s << u"TXTNachricht"_s;
        QTest::newRow("queue") << u"LBLWarteschlange"_s << u"LSTNatelNummer"_s;
    }
    void headingsAreBuddies()
    {
        QFETCH(QString, label);
        QFETCH(QString, field);
        QCOMPARE(m_window->findChild<QLabel *>(label)->buddy(),
                 m_window->findChild<QWidget *>(field));
    }

    void quitWithEmptyQueueAsksNothing()
    {
        QSignalSpy closed(m_window.get(), &Funkbote::closed);
        QVERIFY(m_window->close());
        QCOMPARE(m_prompter.count(), 0);
        QCOMPARE(closed.count(), 1);
    }

    void quitGuard_data()
    {
        QTest::addColumn<bool>("sendingOn");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("byWindowManager");
        QTest::newRow("on, no") << true << false << false;
        QTest::newRow("on, yes") << true << true << false;
        QTest::newRow("off, no") << false << false << false;
        QTest::newRow("off, yes") << false << true << false;
        QTest::newRow("window manager, no") << true << false << true;
        QTest::newRow("window manager, yes") << true << true << true;
    }
    void quitGuard()
    {
        QFETCH(bool, sendingOn);
        QFETCH(bool, yes);
        QFETCH(bool, byWindowManager);
        queueMessage(u"0791234567"_s, u"Hallo"_s);
        QCOMPARE(m_window->core()->queue()->count(), 1);
        if (!sendingOn) {
            m_prompter.answerNext(Prompter::Answer::Yes);
            QTest::mouseClick(child<QPushButton>("cmdStartStop"), Qt::LeftButton);
            QCOMPARE(m_window->core()->engine()->versandStatus(), u"Stop"_s);
        }
        // A call under way: its port must be closed on Yes.
        if (sendingOn) {
            m_window->core()->engine()->tick();
            QVERIFY(m_line->isOpen());
        }
        m_prompter.clear();
        QString statusDuringQuestion;
        QString captionDuringQuestion;
        auto *button = child<QPushButton>("cmdStartStop");
        const QString caption = button->text();
        m_prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
            statusDuringQuestion = m_window->core()->engine()->versandStatus();
            captionDuringQuestion = button->text();
        });
        m_prompter.answerNext(yes ? Prompter::Answer::Yes : Prompter::Answer::No);

        bool closed = false;
        if (byWindowManager) {
            QCloseEvent event;
            QCoreApplication::sendEvent(m_window.get(), &event);
            closed = event.isAccepted();
        } else {
            QTest::mouseClick(child<HoverLabel>("LBLEnde"), Qt::LeftButton);
            closed = !m_window->isVisible();
        }
        m_prompter.setWhileOpen({});
        QCOMPARE(m_prompter.texts(), QStringList{kQuitQuestion});
        QCOMPARE(m_prompter.shown().constFirst().buttons, Prompter::Buttons::YesNo);
        QCOMPARE(statusDuringQuestion, u"Stop"_s);
        // The question pauses sending without touching the button.
        QCOMPARE(captionDuringQuestion, caption);
        QCOMPARE(button->text(), caption);
        QCOMPARE(closed, yes);
        // No restores sending as it was; Yes ends it for good.
        QCOMPARE(m_window->core()->engine()->versandStatus(),
                 sendingOn && !yes ? u"Start"_s : u"Stop"_s);
        QCOMPARE(m_line->isOpen(), sendingOn && !yes);
        QCOMPARE(m_window->core()->queue()->count(), yes ? 0 : 1);
        // "Ja" drops the entries for good, also from Daten.mdb.
        QCOMPARE(pendingRows().size(), yes ? 0 : 1);
    }

    void queueOutlivesCrash_data()
    {
        QTest::addColumn<QStringList>("messages"); // "number:text", queued in this order
        QTest::addColumn<int>("deleted");          // index taken out by the user, or -1
        QTest::addColumn<QStringList>("restored");
        QTest::newRow("one") << QStringList{u"0791:Hallo"_s} << -1 << QStringList{u"0791:Hallo"_s};
        QTest::newRow("three in order") << QStringList{u"0793:c"_s, u"0791:a"_s, u"0792:b"_s} << -1
                                        << QStringList{u"0793:c"_s, u"0791:a"_s, u"0792:b"_s};
        QTest::newRow("one deleted by the user")
            << QStringList{u"0791:a"_s, u"0792:b"_s, u"0793:c"_s} << 1
            << QStringList{u"0791:a"_s, u"0793:c"_s};
        QTest::newRow("long message in three parts")
            << QStringList{u"0791:"_s + QString(400, u'x')} << -1
            << QStringList{u"0791:"_s + QString(155, u'x') + u"...->"_s,
                           u"0791:->..."_s + QString(150, u'x') + u"...->"_s,
                           u"0791:->..."_s + QString(95, u'x')};
    }
    void queueOutlivesCrash()
    {
        QFETCH(QStringList, messages);
        QFETCH(int, deleted);
        QFETCH(QStringList, restored);
        m_window->core()->engine()->pause(); // nothing goes out before the crash
        for (const QString &message : messages)
            queueMessage(message.section(u':', 0, 0), message.section(u':', 1));
        if (deleted >= 0) {
            m_window->findChild<QScrollBar *>(u"VScroll1"_s)->setValue(deleted);
            m_prompter.answerNext(Prompter::Answer::Yes);
            QTest::mouseClick(child<QPushButton>("cmdauslistloesch"), Qt::LeftButton);
        }
        QCOMPARE(pendingRows(), restored);

        restartAfterCrash();
        QCOMPARE(queued(), restored);
        QCOMPARE(m_prompter.texts(), QStringList{StoredQueue::restoredText(int(restored.size()))});
        QCOMPARE(m_prompter.shown().constFirst().icon, Prompter::Icon::Information);
        QVERIFY(m_prompter.texts().constFirst().contains(
            restored.size() == 1 ? u"Eine noch nicht versandte Nachricht"_s
                                 : u"%1 noch nicht versandte Nachrichten"_s.arg(restored.size())));
        // New entries come after the restored ones, in Daten.mdb too.
        queueMessage(u"0799"_s, u"neu"_s);
        QCOMPARE(pendingRows(), restored + QStringList{u"0799:neu"_s});
        QCOMPARE(queued(), restored + QStringList{u"0799:neu"_s});

        // A crash right after the restore restores the same once more, with
        // one box again: a start that finds entries always says so.
        restartAfterCrash();
        QCOMPARE(queued(), restored + QStringList{u"0799:neu"_s});
        QCOMPARE(m_prompter.count(), 1);
    }

    // Entries marked as going out whose log row is missing may have reached
    // their recipient: named apart in the start's box, and for them alone
    // the user chooses. Of a long one sent in parts only the part that went
    // out is in doubt.
    void possiblySentAfterCrash_data()
    {
        QTest::addColumn<QStringList>("rows"); // "submitted:number:text", in Id order
        QTest::addColumn<bool>("sendAgain");
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<QStringList>("logged"); // "number:text:versandt"
        QTest::addColumn<int>("unsent");
        const QString x400(400, u'x');
        const QString part = QString(155, u'x') + u"...->"_s;
        const QString rest = u"->..."_s + QString(245, u'x');
        const QStringList mixed{u"0:0791:a"_s, u"1:0792:b"_s, u"0:0793:c"_s};
        QTest::newRow("sent again")
            << mixed << true << QStringList{u"0791:a"_s, u"0792:b"_s, u"0793:c"_s} << QStringList{}
            << 2;
        QTest::newRow("not sent") << mixed << false << QStringList{u"0791:a"_s, u"0793:c"_s}
                                  << QStringList{u"0792:b:unbekannt"_s} << 2;
        QTest::newRow("first part of a long one not sent")
            << QStringList{u"2:0791:"_s + x400} << false << QStringList{u"0791:"_s + rest}
            << QStringList{u"0791:"_s + part + u":unbekannt"_s} << 0;
        QTest::newRow("long one sent again")
            << QStringList{u"2:0791:"_s + x400, u"1:0792:b"_s} << true
            << QStringList{u"0791:"_s + x400, u"0792:b"_s} << QStringList{} << 0;
    }
    void possiblySentAfterCrash()
    {
        QFETCH(QStringList, rows);
        QFETCH(bool, sendAgain);
        QFETCH(QStringList, queued);
        QFETCH(QStringList, logged);
        QFETCH(int, unsent);
        m_window.reset();
        m_core.reset();
        int id = 0;
        for (const QString &row : rows) {
            QVERIFY(TestDb::exec(m_path,
                                 u"INSERT INTO PendingMessages (Id, MobileNumber, Message, "
                                 u"CallBackNumber, Submitted) VALUES (?, ?, ?, '', ?)"_s,
                                 {++id, row.section(u':', 1, 1), row.section(u':', 2),
                                  row.section(u':', 0, 0).toInt()}));
        }
        m_prompter.clear();
        m_prompter.answerNext(sendAgain ? Prompter::Answer::Yes : Prompter::Answer::No);
        start();
        const int doubtful = int(rows.size()) - unsent;
        QCOMPARE(m_prompter.texts(), QStringList{StoredQueue::restoredText(unsent, doubtful)});
        QVERIFY(m_prompter.texts().constFirst().contains(
            u"%1 Nachricht(en) wurden möglicherweise schon versandt"_s.arg(doubtful)));
        QCOMPARE(m_prompter.shown().constFirst().buttonTexts,
                 (QStringList{u"Nochmals senden"_s, u"Nicht senden"_s}));
        QCOMPARE(this->queued(), queued);
        const auto logRows = [this] {
            QStringList result;
            StoreConnection connection(m_path, u"log"_s);
            QSqlQuery query(connection.database());
            query.exec(u"SELECT MobilNummer || ':' || Nachricht || ':' || versandt FROM "
                       u"VersandLog"_s);
            while (query.next())
                result << query.value(0).toString();
            return result;
        };
        QTRY_COMPARE(logRows(), logged);
        // Logged and gone from the file in one go; what is left is queued.
        QTRY_COMPARE(pendingRows(), queued);
        // The next start after a crash asks nothing more of those logged;
        // those sent again are still in doubt until their log rows.
        if (sendAgain)
            m_prompter.answerNext(Prompter::Answer::Yes);
        restartAfterCrash();
        QCOMPARE(this->queued(), queued);
        QCOMPARE(m_prompter.count(), sendAgain ? 1 : int(!queued.isEmpty()));
    }

    void queueInMemoryWhenFileRefusesIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("locked by another program") << u"locked"_s;
        QTest::newRow("another table of the name") << u"foreign"_s;
    }
    void queueInMemoryWhenFileRefusesIt()
    {
        QFETCH(QString, how);
        std::unique_ptr<StoreConnection> holder;
        if (how == u"foreign"_s) {
            QVERIFY(TestDb::exec(m_path, u"DROP TABLE PendingMessages"_s));
            QVERIFY(TestDb::exec(m_path, u"CREATE TABLE PendingMessages (Nr INTEGER)"_s));
            restartAfterCrash();
        } else {
            holder = std::make_unique<StoreConnection>(m_path, u"other-program"_s);
            QSqlQuery lock(holder->database());
            QVERIFY(lock.exec(u"BEGIN IMMEDIATE"_s));
        }
        queueMessage(u"0791"_s, u"eins"_s);
        queueMessage(u"0792"_s, u"zwei"_s);
        QCOMPARE(queued(), (QStringList{u"0791:eins"_s, u"0792:zwei"_s}));
        // Told once, after the entry is in, and only when the loop turns.
        QTRY_COMPARE(m_prompter.count(), 1);
        const QString text = m_prompter.texts().constFirst();
        QVERIFY2(text.startsWith(u"Die Warteschlange kann nicht in der Datenbank"_s),
                 qPrintable(text));
        QVERIFY2(text.contains(u"nur im Arbeitsspeicher"_s), qPrintable(text));
        QCOMPARE(m_prompter.shown().constFirst().icon, Prompter::Icon::Warning);
        holder.reset();

        // The entries still go out and are logged.
        m_window->core()->engine()->tick();
        m_line->deliver("\r\nCONNECT 9600\r\n");
        m_line->deliver("\x02"
                        "01/00019/R/01/A//69\x03");
        QTRY_COMPARE(queued(), QStringList{u"0792:zwei"_s});
        QCOMPARE(TestDb::scalar(m_path, u"SELECT Nachricht FROM VersandLog"_s),
                 QVariant(u"eins"_s));
        QCOMPARE(m_prompter.count(), 1);
    }

    void yesToQuitEndsSendingForGood()
    {
        // A call under way with a silent modem, and the configuration window
        // open with a port that it refuses: "Ja" ends the program, so the
        // window closes without checking or storing its entries (a box of
        // its own would run ticks and line events in its nested loop, and a
        // refusal would keep the program open).
        const QString row = u"SELECT ComPort || '|' || InitialisierungsBefehl FROM Einstellungen"_s;
        const QVariant rowBefore = TestDb::scalar(m_path, row);
        queueMessage(u"0791234567"_s, u"Hallo"_s);
        m_window->core()->engine()->tick();
        QCOMPARE(m_line->writes.size(), 1);
        QTest::mouseClick(child<QPushButton>("cmdKonfiguration"), Qt::LeftButton);
        QWidget *konfig = openWindow(u"FRMKonfiguration"_s);
        QVERIFY(konfig);
        auto *port = konfig->findChild<QLineEdit *>(u"TXTDBComPort"_s);
        port->selectAll();
        QTest::keyClicks(port, u"abc"_s);
        konfig->findChild<QLineEdit *>(u"TXTDBInistialisierungsbefehl"_s)->setText(u"ATDP"_s);

        m_prompter.answerNext(Prompter::Answer::Yes);
        QSignalSpy closed(m_window.get(), &Funkbote::closed);
        QCloseEvent event; // the window manager closes the main window
        QCoreApplication::sendEvent(m_window.get(), &event);

        QVERIFY(event.isAccepted());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(m_prompter.texts(), QStringList{kQuitQuestion});
        QVERIFY(!openWindow(u"FRMKonfiguration"_s));
        QCOMPARE(TestDb::scalar(m_path, row), rowBefore);
        QCOMPARE(m_line->writes.size(), 1); // the dial before the question, nothing after
        QVERIFY(!m_line->isOpen());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT COUNT(*) FROM VersandLog"_s).toInt(), 0);
        QVERIFY(!m_window->core()->engine()->timer1()->isActive());
    }

    void activationRefreshReadsSettings()
    {
        QVERIFY(TestDb::exec(m_path,
                             u"UPDATE Einstellungen SET ComPort = 7, ProviderNummer = ?, "
                             u"InitialisierungsBefehl = 'ATX3DT'"_s,
                             {u"0800 - 99 88"_s}));
        QCOMPARE(m_settings->providerNummer(), u"08001234"_s);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(m_window.get(), &activate);
        QCOMPARE(m_settings->comPort(), qint16(7));
        QCOMPARE(m_settings->providerNummer(), u"08009988"_s);
        QCOMPARE(m_settings->initialisierungsBefehl(), u"ATX3DT"_s);
    }

    void callBackNumberSavedByBinding()
    {
        child<QLineEdit>("TXTRueckrufNummer")->setText(u"078 000 11 22"_s);
        m_window->activationRefresh();
        QCOMPARE(TestDb::scalar(m_path, u"SELECT \"Rückrufnummer\" FROM Einstellungen"_s),
                 QVariant(u"078 000 11 22"_s));
        child<QLineEdit>("TXTRueckrufNummer")->setText(u"078 9"_s);
        m_window.reset(); // closing the program saves it as well
        m_core.reset();
        QCOMPARE(TestDb::scalar(m_path, u"SELECT \"Rückrufnummer\" FROM Einstellungen"_s),
                 QVariant(u"078 9"_s));
    }

    void refreshLeavesRefusedCharacterToCheck()
    {
        // A letter typed into the call-back field opens the check's box; an
        // activation while it is open neither stores nor replaces the text.
        auto *callBack = child<QLineEdit>("TXTRueckrufNummer");
        const auto stored = [this] {
            return TestDb::scalar(m_path, u"SELECT \"Rückrufnummer\" FROM Einstellungen"_s);
        };
        QStringList duringBox;
        m_prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
            m_window->activationRefresh();
            duringBox << callBack->text() << stored().toString();
        });
        callBack->setText(u"079 1x"_s);
        m_prompter.setWhileOpen({});
        QCOMPARE(duringBox, (QStringList{u"079 1x"_s, u"079 555 66 77"_s}));
        QCOMPARE(callBack->text(), u"079 1"_s);
        // Closing the box activates the window again, which stores the checked text.
        m_window->activationRefresh();
        QCOMPARE(stored(), QVariant(u"079 1"_s));
        QCOMPARE(callBack->text(), u"079 1"_s);
        QCOMPARE(m_prompter.count(), 1);
    }

    void vanishedSettingsToldOnce()
    {
        QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Einstellungen RENAME TO Alt"_s));
        // Closing the box activates the window again, which reads again.
        m_prompter.setWhileOpen(
            [this](const ScriptedPrompter::Shown &) { m_window->activationRefresh(); });
        m_window->activationRefresh();
        m_window->activationRefresh();
        m_prompter.setWhileOpen({});
        QCOMPARE(m_prompter.count(), 1);
        QVERIFY(m_prompter.texts().constFirst().startsWith(u"Die Datenbank meldet einen Fehler"_s));
        QCOMPARE(m_settings->providerNummer(), u"08001234"_s); // kept
        QVERIFY(TestDb::exec(m_path, u"ALTER TABLE Alt RENAME TO Einstellungen"_s));
        m_window->activationRefresh();
        QCOMPARE(m_prompter.count(), 1);
    }

    void messageGoesOutAndIsLogged()
    {
        queueMessage(u"079 123 45 67"_s, u"abc"_s);
        QCOMPARE(child<QLineEdit>("TXTNatelNummer")->text(), QString());
        QCOMPARE(child<QPlainTextEdit>("TXTNachricht")->toPlainText(), u"abc"_s);
        QCOMPARE(pendingRows(), QStringList{u"0791234567:abc"_s});
        m_window->core()->engine()->tick();
        QCOMPARE(child<QLabel>("LBLStatus")->text(), u"Status: Verbindung wird hergestellt..."_s);
        QCOMPARE(m_line->writes.value(0), QByteArray("ATDT 08001234\r"));
        m_line->deliver("\r\nCONNECT 9600\r\n");
        QCOMPARE(child<QLabel>("LBLStatus")->text(), u"Status: SMS wird versandt..."_s);
        // The frame goes once the entry is marked in Daten.mdb as going out.
        QTRY_VERIFY(m_line->writes.value(1).contains("/O/01/0791234567/0795556677//3/616263/"));
        QCOMPARE(TestDb::scalar(m_path, u"SELECT Submitted FROM PendingMessages"_s).toInt(), 1);
        m_line->deliver("\x02"
                        "01/00019/R/01/A//69\x03");
        // The log row is written on a thread of its own; the entry leaves after it.
        QTRY_COMPARE(child<QLabel>("LBLStatus")->text(), u"Status: Warten..."_s);
        QVERIFY(m_window->core()->queue()->isEmpty());
        QCOMPARE(TestDb::scalar(m_path, u"SELECT MobilNummer || '|' || Nachricht || '|' || "
                                        u"versandt || '|' || VersandDatum FROM VersandLog"_s)
                     .toString(),
                 u"0791234567|abc|OK|2026-12-06"_s); // queued, sent and logged as digits
        QCOMPARE(pendingRows(), QStringList());      // gone with its log row
    }

    // The internet kind chosen in the settings: the queue goes out over one
    // TCP/IP session with one login, each message logged "OK".
    void internetKindSendsInOneSession()
    {
        QTcpServer centre;
        QVERIFY(centre.listen(QHostAddress::LocalHost));
        QStringList operations; // "OT TRN" as the centre got them
        int connections = 0;
        qsizetype longestFrame = 0;
        connect(&centre, &QTcpServer::newConnection, &centre, [&] {
            QTcpSocket *socket = centre.nextPendingConnection();
            ++connections;
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [&, socket, buffer] {
                *buffer += socket->readAll();
                while (std::optional<QByteArray> frame = takeUcpFrame(*buffer)) {
                    longestFrame = std::max(longestFrame, frame->size());
                    const UcpMessage message = parseUcpMessage(*frame);
                    operations.append(message.ot + u' ' + message.trn);
                    socket->write(ucpFrameBytes(ucpPositiveResult(message)));
                }
            });
        });
        ConnectionValues values;
        values.kind = ConnectionKind::Tcp;
        values.server = u"127.0.0.1"_s;
        values.tcpPort = centre.serverPort();
        values.account = u"4179000000"_s;
        values.password = u"geheim"_s;
        QVERIFY(m_window->core()->connectionSettings()->save(values));

        for (const QString &text : {u"eins"_s, u"zwei"_s, u"drei"_s})
            queueMessage(u"079 123 45 67"_s, text);
        // A long text goes as one concatenated SMS: three frames, one log
        // row.
        const QString longText = QString(300, u'x') + QString(100, u'y');
        m_window->core()->queue()->append(u"0791234567"_s, longText, QString());
        m_window->core()->engine()->tick();
        QTRY_VERIFY(m_window->core()->queue()->isEmpty());
        QCOMPARE(connections, 1);
        QCOMPARE(operations, (QStringList{u"60 00"_s, u"51 01"_s, u"51 02"_s, u"51 03"_s,
                                          u"51 04"_s, u"51 05"_s, u"51 06"_s}));
        QVERIFY2(longestFrame < 400, qPrintable(QString::number(longestFrame)));
        QCOMPARE(TestDb::scalar(m_path, u"SELECT group_concat(Nachricht || ':' || versandt) "
                                        u"FROM VersandLog"_s)
                     .toString(),
                 u"eins:OK,zwei:OK,drei:OK,"_s + longText + u":OK"_s);
        QVERIFY(m_line->writes.isEmpty()); // the modem was never used

        // The session's trace: the login without its password, every frame.
        m_window->core()->engine()->shutDown();
        const QString call = m_window->core()->callTrace()->calls().constLast();
        QVERIFY2(call.contains(u"/O/60/4179000000/6/5/1/<Passwort>//0100/"_s), qPrintable(call));
        QVERIFY(!call.contains(Textinhex(u"geheim"_s)));
        QCOMPARE(call.count(u"/R/51/A/"_s), 6);
        QVERIFY(call.section(u'\n', 0, 0).endsWith(u"– 4 gesendet"_s));
    }

    // A refused message sent again from the archive becomes the entry
    // cmdSenden would make of it, with today's call-back number.
    void archiveResendQueues()
    {
        QVERIFY(TestDb::exec(m_path, u"INSERT INTO VersandLog (VersandDatum, VersandZeit, "
                                     u"MobilNummer, Nachricht, versandt) VALUES "
                                     u"('2026-12-05', '09:00:00', '0791234567', 'a\r\nb', "
                                     u"'NACK 24')"_s));
        QTest::mouseClick(child<QPushButton>("cmdVersandLog"), Qt::LeftButton);
        QWidget *archive = openWindow(u"FRMArchiv"_s);
        QVERIFY(archive);
        auto *list = archive->findChild<QListView *>(u"LSTSelektion"_s);
        QTRY_COMPARE(list->model()->rowCount(), 1);
        list->setCurrentIndex(list->model()->index(0, 0));
        m_prompter.answerNext(Prompter::Answer::Yes);
        QTest::mouseClick(archive->findChild<QPushButton *>(u"cmdErneutSenden"_s), Qt::LeftButton);
        QCOMPARE(m_window->core()->queue()->count(), 1);
        const QueueEntry entry = m_window->core()->queue()->at(0);
        QCOMPARE(entry.recipient + u'|' + entry.nachricht + u'|' + entry.rueckrufNummer,
                 u"0791234567|a\r\nb|0795556677"_s);
        archive->close();
    }

    // "Verbindung testen" dials as a call would, shows each step, hangs up
    // after CONNECT and sends nothing; the engine dials no entry meanwhile,
    // and the test is a call of its own in the trace. During a call it is
    // refused.
    void connectionTestInConfiguration()
    {
        queueMessage(u"079 123 45 67"_s, u"abc"_s);
        QTest::mouseClick(child<QPushButton>("cmdKonfiguration"), Qt::LeftButton);
        QWidget *konfig = openWindow(u"FRMKonfiguration"_s);
        QVERIFY(konfig);
        auto *steps = konfig->findChild<QListWidget *>(u"lstTestschritte"_s);
        auto *button = konfig->findChild<QPushButton *>(u"cmdVerbindungTesten"_s);
        auto *port = konfig->findChild<QLineEdit *>(u"TXTDBComPort"_s);
        // A first test on another port that is busy; the second, after the
        // port is corrected, uses the corrected one (the entries are stored
        // anew for each test).
        port->setText(u"5"_s);
        QTest::mouseClick(button, Qt::LeftButton);
        m_line->deliver("\r\nBUSY\r\n");
        QCOMPARE(steps->item(steps->count() - 1)->text(), u"Fehlgeschlagen: Besetzt"_s);
        QCOMPARE(m_line->openedPorts, QStringList{u"/dev/ttyS4"_s});
        m_line->writes.clear();
        port->setText(u"1"_s);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_line->openedPorts.constLast(), u"/dev/ttyS0"_s);
        QCOMPARE(button->text(), u"Test abbrechen"_s);
        QCOMPARE(m_line->writes, QByteArrayList{"ATDT 08001234\r"});
        m_clock.advanceSeconds(10);
        m_window->core()->engine()->tick(); // held: the queued entry is not dialled
        QCOMPARE(m_line->writes.size(), 1);
        m_line->deliver("\r\nCONNECT 9600\r\n");
        QCOMPARE(button->text(), u"Verbindung testen"_s);
        QVERIFY(!m_line->isOpen()); // hung up
        QStringList told;
        for (int i = 0; i < steps->count(); ++i)
            told.append(steps->item(i)->text());
        QCOMPARE(told, (QStringList{u"Port /dev/ttyS0 geöffnet"_s, u"→ ATDT 08001234<CR>"_s,
                                    u"← <CR><LF>CONNECT 9600<CR><LF>"_s, u"Port geschlossen"_s,
                                    u"Erfolg: Verbindung steht: bereit zum Senden. Verbindung "
                                    u"beendet, keine SMS gesendet."_s}));
        QVERIFY(m_window->core()
                    ->callTrace()
                    ->calls()
                    .constLast()
                    .section(u'\n', 0, 0)
                    .endsWith(u"Verbindungstest erfolgreich"_s));

        // The engine goes on with its entry; a test during its call is refused.
        m_window->core()->engine()->tick();
        QCOMPARE(m_line->writes.size(), 2);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(steps->item(steps->count() - 1)->text(),
                 u"Fehlgeschlagen: Während eines Anrufs kann die Verbindung nicht getestet "
                 u"werden."_s);
        QCOMPARE(m_line->writes.size(), 2);
        konfig->close();
    }

    void statusLineShowsWholeText_data()
    {
        // Why the port could not be opened, as the line reports it.
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("shownWhole");
        QTest::newRow("two lines") << u"fehlt"_s << true;
        QTest::newRow("longer than two lines")
            << u"Das Gerät ist nicht mehr vorhanden. "_s.repeated(6) + u"Ende."_s << false;
    }
    void statusLineShowsWholeText()
    {
        QFETCH(QString, reason);
        QFETCH(bool, shownWhole);
        auto *status = child<QLabel>("LBLStatus");
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(status);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), u"Status: Warten..."_s);

        queueMessage(u"0791234567"_s, u"Hallo"_s);
        m_line->failNextOpen(reason);
        m_window->core()->engine()->tick();
        const QString text = u"Status: COM1 (/dev/ttyS0) lässt sich nicht öffnen: "_s + reason +
                             u" – nächster Versuch in 40 s"_s;
        QCOMPARE(statusText(m_window->core()->engine()->status()), text);
        QCOMPARE(accessible->text(QAccessible::Name), text);
        if (shownWhole) {
            // Wrapped onto a second line that the label's height holds.
            QCOMPARE(status->text(), text);
            QVERIFY(status->wordWrap());
            QVERIFY(status->fontMetrics().horizontalAdvance(text) > status->width());
            QVERIFY(status->heightForWidth(status->width()) <= status->height());
            QCOMPARE(status->toolTip(), QString());
        } else {
            // Shortened in the middle: which port, and the end of why.
            QVERIFY(status->text().startsWith(u"Status: COM1"_s));
            const QString end = status->text().section(u"… "_s, 1);
            QVERIFY(end.endsWith(u"vorhanden. Ende. – nächster Versuch in 40 s"_s));
            QVERIFY(text.endsWith(u' ' + end)); // from a word's start on
            QVERIFY(status->heightForWidth(status->width()) <= status->height());
            QCOMPARE(status->toolTip(), text);
        }
        // The next attempt opens the port: a short text again, shown as it is.
        m_clock.advanceSeconds(41);
        m_window->core()->engine()->tick();
        const QString dialling = u"Status: Verbindung wird hergestellt..."_s;
        QCOMPARE(status->text(), dialling);
        QCOMPARE(status->toolTip(), QString());
        QCOMPARE(accessible->text(QAccessible::Name), dialling);
    }

    void startStopButton()
    {
        auto *button = child<QPushButton>("cmdStartStop");
        m_prompter.answerNext(Prompter::Answer::No);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), u"Versand stoppen"_s);
        m_prompter.answerNext(Prompter::Answer::Yes);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), u"Versand starten"_s);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), u"Versand stoppen"_s);
        QCOMPARE(m_prompter.texts(),
                 (QStringList{kStopQuestion, kStopQuestion,
                              u"Information! Der Nachrichtenversand wurde wieder aktiviert."_s}));
        QCOMPARE(m_prompter.shown().at(0).buttons, Prompter::Buttons::YesNo);
        QCOMPARE(m_prompter.shown().at(0).icon, Prompter::Icon::None);
        QCOMPARE(m_prompter.shown().at(2).icon, Prompter::Icon::Information);
    }

    // From the fifth failed attempt in a row on the window tells the user.
    // The box's nested event loop runs the engine on: failures meanwhile
    // bring no second box on top of it.
    void failureBox()
    {
        queueMessage(u"0791234567"_s, u"Hallo"_s);
        const auto failOnce = [this] {
            m_clock.advanceSeconds(40);
            m_window->core()->engine()->tick();
            m_line->deliver("\r\nBUSY\r\n");
            QCoreApplication::processEvents();
        };
        for (int i = 0; i < 4; ++i)
            failOnce();
        QCOMPARE(m_prompter.count(), 0);
        int failuresDuringBox = 0;
        m_prompter.setWhileOpen([&](const ScriptedPrompter::Shown &) {
            failOnce();
            failOnce();
            failuresDuringBox = m_window->core()->engine()->fehlversuche();
        });
        failOnce();
        QTRY_COMPARE(m_prompter.count(), 1);
        m_prompter.setWhileOpen({});
        QCOMPARE(failuresDuringBox, 7);
        QCOMPARE(m_prompter.texts(), QStringList{Funkbote::failureMessageText()});
        QCOMPARE(m_prompter.shown().constFirst().buttons, Prompter::Buttons::Ok);
        QCOMPARE(m_prompter.shown().constFirst().icon, Prompter::Icon::None);
        QCoreApplication::processEvents();
        QCOMPARE(m_prompter.count(), 1);
        failOnce();
        QTRY_COMPARE(m_prompter.count(), 2);
    }

    void numberTakenFromAddressBook()
    {
        Q_EMIT m_window->addressBookFlow()->numberTaken(u"0791112233"_s);
        QCOMPARE(child<QLineEdit>("TXTNatelNummer")->text(), u"0791112233"_s);
    }

    void bulkRecipientsQueued()
    {
        child<QPlainTextEdit>("TXTNachricht")->setPlainText(u"Einladung\nMorgen"_s);
        child<QLineEdit>("TXTRueckrufNummer")->setText(u"079 555 "_s);
        child<QLineEdit>("TXTNatelNummer")->setText(u"077"_s);
        Q_EMIT m_window->addressBookFlow()->bulkRecipients({u"0791"_s, u"0782"_s, u"0763"_s});
        OutgoingQueue *queue = m_window->core()->queue();
        QCOMPARE(queue->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(queue->at(i).nachricht, u"Einladung\r\nMorgen"_s);
            QCOMPARE(queue->at(i).rueckrufNummer, u"079555"_s);
        }
        QCOMPARE(queue->at(2).recipient, u"0763"_s);
        // The main window's fields keep their texts.
        QCOMPARE(child<QLineEdit>("TXTNatelNummer")->text(), u"077"_s);
        QCOMPARE(child<QLineEdit>("TXTRueckrufNummer")->text(), u"079 555 "_s);
    }

    // "Hallo {Name}" from the message field through the bulk window: one
    // personal text per marked person.
    void bulkWithMergeFields()
    {
        TestDb::addPerson(m_path, u"Anna"_s, u"079 1"_s);
        TestDb::addPerson(m_path, u"Ben"_s, u"079 2"_s);
        child<QPlainTextEdit>("TXTNachricht")->setPlainText(u"Hallo {Name}"_s);
        QTest::mouseClick(child<QPushButton>("cmdAuswahlNamen"), Qt::LeftButton);
        FRMSelektion *bulk = m_window->addressBookFlow()->bulkPick();
        QVERIFY(bulk);
        QTRY_COMPARE(bulk->list()->model()->rowCount(), 2);
        bulk->list()->selectAll();
        QTest::mouseClick(bulk->findChild<QPushButton *>(u"cmdSerienSMS"_s), Qt::LeftButton);
        OutgoingQueue *queue = m_window->core()->queue();
        QCOMPARE(queue->count(), 2);
        QCOMPARE(queue->at(0).recipient + u'|' + queue->at(0).nachricht + u'|' +
                     queue->at(0).rueckrufNummer,
                 u"0791|Hallo Anna|0795556677"_s);
        QCOMPARE(queue->at(1).recipient + u'|' + queue->at(1).nachricht, u"0792|Hallo Ben"_s);
        QCOMPARE(child<QPlainTextEdit>("TXTNachricht")->toPlainText(), u"Hallo {Name}"_s);
    }

    // A STOP reply: the inbox button counts it, the bulk run leaves its
    // sender out and says so, and "Antworten" fills the number field.
    void replyAndStop()
    {
        TestDb::addPerson(m_path, u"Anna"_s, u"079 123 45 67"_s);
        TestDb::addPerson(m_path, u"Ben"_s, u"079 765 43 21"_s);
        auto *eingang = child<QPushButton>("cmdEingang");
        QCOMPARE(eingang->text(), u"Eingang"_s);
        QVERIFY(m_window->core()->inbound()->receive(u"+41791234567"_s, u"Stop"_s, m_clock.now()));
        QCOMPARE(eingang->text(), u"Eingang (1)"_s);
        QCOMPARE(eingang->accessibleName(), u"Eingang (1)"_s);

        child<QPlainTextEdit>("TXTNachricht")->setPlainText(u"Hallo"_s);
        QTest::mouseClick(child<QPushButton>("cmdAuswahlNamen"), Qt::LeftButton);
        FRMSelektion *bulk = m_window->addressBookFlow()->bulkPick();
        QVERIFY(bulk);
        QTRY_COMPARE(bulk->list()->model()->rowCount(), 2);
        bulk->list()->selectAll();
        QTest::mouseClick(bulk->findChild<QPushButton *>(u"cmdSerienSMS"_s), Qt::LeftButton);
        QCOMPARE(queued(), QStringList{u"0797654321:Hallo"_s});
        QTRY_COMPARE(m_prompter.texts().value(0),
                     u"Mit STOP abgemeldet und darum ausgelassen: 1 Empfänger."_s);

        QTest::mouseClick(eingang, Qt::LeftButton);
        auto *inbox = qobject_cast<FRMEingang *>(openWindow(u"FRMEingang"_s));
        QVERIFY(inbox);
        QTRY_COMPARE(inbox->lines().size(), 1);
        // A message that comes while the window is open goes on top.
        QVERIFY(
            m_window->core()->inbound()->receive(u"079 765 43 21"_s, u"Gerne"_s, m_clock.now()));
        QCOMPARE(inbox->lines().size(), 2);
        QVERIFY2(inbox->lines().constFirst().endsWith(u" - Ben, Gerne"_s),
                 qPrintable(inbox->lines().constFirst()));
        QCOMPARE(eingang->text(), u"Eingang (2)"_s);
        auto *list = inbox->findChild<QListView *>();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTRY_COMPARE(eingang->text(), u"Eingang (1)"_s);
        list->setCurrentIndex(list->model()->index(1, 0));
        QTRY_COMPARE(eingang->text(), u"Eingang"_s);
        QTest::mouseClick(inbox->findChild<QPushButton *>(u"cmdAntworten"_s), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>("TXTNatelNummer")->text(), u"0041791234567"_s);
    }

    void dialogsDisableMainWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("configuration") << u"cmdKonfiguration"_s << u"FRMKonfiguration"_s;
        QTest::newRow("archive") << u"cmdVersandLog"_s << u"FRMArchiv"_s;
        QTest::newRow("inbox") << u"cmdEingang"_s << u"FRMEingang"_s;
        QTest::newRow("address book") << u"cmdAdressbuch"_s << u"FRMAdressBuch"_s;
        QTest::newRow("single pick") << u"cmdAn"_s << u"FRMSelektion1"_s;
    }
    void dialogsDisableMainWindow()
    {
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        QTest::mouseClick(m_window->findChild<QPushButton *>(button), Qt::LeftButton);
        QWidget *opened = openWindow(dialog);
        QVERIFY2(opened, qPrintable(dialog));
        QVERIFY(!m_window->isEnabled());
        child<QLabel>("LBLTitel")->setText(u"geändert"_s);
        QVERIFY(opened->close());
        QVERIFY(m_window->isEnabled());
        if (dialog == u"FRMKonfiguration"_s)
            QCOMPARE(child<QLabel>("LBLTitel")->text(), u"Funkbote - SMS-Versand-Programm..."_s);
    }

    // A megabyte pasted into a field, with quotes, slashes, a tab and a
    // control character among umlauts: the field keeps it whole, and what
    // it leads to is stored whole or refused with a message, never cut
    // without a word.
    void megabytePasted_data()
    {
        QTest::addColumn<QString>("button"); // opens the window; empty: the main window
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("field");
        // Where the text is stored once the window has done with it; empty:
        // the queue (for the message) or nowhere (a number refused).
        QTest::addColumn<QString>("stored");
        const QString main;
        const QString book = u"FRMAdressBuch"_s;
        QTest::newRow("number") << main << main << u"TXTNatelNummer"_s << QString();
        QTest::newRow("call-back number") << main << main << u"TXTRueckrufNummer"_s << QString();
        QTest::newRow("message") << main << main << u"TXTNachricht"_s << QString();
        QTest::newRow("address book: name")
            << u"cmdAdressbuch"_s << book << u"TXTDBName"_s << u"SELECT Name FROM Adressen"_s;
        QTest::newRow("address book: remarks") << u"cmdAdressbuch"_s << book << u"TXTBemerkungen"_s
                                               << u"SELECT Bemerkungen FROM Adressen"_s;
        QTest::newRow("address book: number") << u"cmdAdressbuch"_s << book << u"TXTDBNatelNummer"_s
                                              << u"SELECT NatelNummer FROM Adressen"_s;
        QTest::newRow("archive search")
            << u"cmdVersandLog"_s << u"FRMArchiv"_s << u"txtSuchen"_s << QString();
        QTest::newRow("modem command")
            << u"cmdKonfiguration"_s << u"FRMKonfiguration"_s << u"TXTDBInistialisierungsbefehl"_s
            << u"SELECT InitialisierungsBefehl FROM Einstellungen"_s;
    }
    void megabytePasted()
    {
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(QString, field);
        QFETCH(QString, stored);
        QString text;
        while (text.size() < 1024 * 1024)
            text += u"Grüezi \"Meier\" / 'Huber'; a\tb\u0001c\u0002 "_s;
        text.truncate(1024 * 1024);
        QWidget *opened = m_window.get();
        if (!button.isEmpty()) {
            QTest::mouseClick(child<QPushButton>(qPrintable(button)), Qt::LeftButton);
            QTRY_VERIFY(opened = openWindow(window));
        }
        auto *line = opened->findChild<QLineEdit *>(field);
        auto *lines = opened->findChild<QPlainTextEdit *>(field);
        QVERIFY(line || lines);
        QGuiApplication::clipboard()->setText(text);
        line ? line->selectAll() : lines->selectAll();
        line ? line->paste() : lines->paste();
        const QString shown = line ? line->text() : lines->toPlainText();
        // A number field refuses the letters with its message and, as for a
        // key typed, takes the last character away.
        const bool number = field.contains(u"Nummer"_s);
        QCOMPARE(shown, number ? text.chopped(1) : text);
        QCOMPARE(m_prompter.count(), number ? 1 : 0);

        if (opened == m_window.get()) {
            if (field != u"TXTNatelNummer"_s)
                child<QLineEdit>("TXTNatelNummer")->setText(u"079 123 45 67"_s);
            if (field != u"TXTNachricht"_s)
                child<QPlainTextEdit>("TXTNachricht")->setPlainText(u"Hallo"_s);
            QTest::mouseClick(child<QPushButton>("cmdSenden"), Qt::LeftButton);
            if (number) {
                QCOMPARE(m_window->core()->queue()->count(), 0);
                QCOMPARE(m_prompter.count(), 2);
                return;
            }
            // Every character queued, in parts of at most 160 with their marks.
            QString joined;
            for (int i = 0; i < m_window->core()->queue()->count(); ++i) {
                QString part = m_window->core()->queue()->at(i).nachricht;
                QVERIFY(part.size() <= 160);
                if (i > 0)
                    part.remove(0, 5);
                if (i + 1 < m_window->core()->queue()->count())
                    part.chop(5);
                joined += part;
            }
            QCOMPARE(joined, text);
            return;
        }
        if (auto *ok = opened->findChild<QPushButton *>(u"cmdOK"_s))
            ok->click();
        else
            opened->close();
        QTRY_VERIFY(!opened->isVisible());
        if (!stored.isEmpty())
            QCOMPARE(TestDb::scalar(m_path, stored).toString(), shown);
    }

    void informationLinkOpensInfoWindow()
    {
        QTest::mouseClick(child<HoverLabel>("LBLCopyright"), Qt::LeftButton);
        QVERIFY(!m_window->isEnabled());
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->objectName() == u"FRMInfo"_s && top->isVisible())
                top->close();
        }
        QVERIFY(m_window->isEnabled());
    }

    void hoverColours()
    {
        auto *ende = child<HoverLabel>("LBLEnde");
        auto *minimize = child<HoverLabel>("LBLMinimize");
        auto *copyright = child<HoverLabel>("LBLCopyright");
        auto *an = child<QPushButton>("cmdAn");
        QCOMPARE(Look::textColor(ende), Look::infoBk());
        hover(ende);
        QCOMPARE(Look::textColor(ende), Look::rot);
        QCOMPARE(Look::textColor(minimize), Look::windowColour());
        hover(minimize);
        QCOMPARE(Look::textColor(minimize), Look::rot);
        QCOMPARE(Look::textColor(ende), Look::windowColour());
        hover(copyright);
        QCOMPARE(Look::textColor(copyright), Look::rot);
        hover(an);
        QCOMPARE(Look::background(an), Look::hellgrau);
        moveOver(child<QFrame>("Frame1"), QPoint(3, 3));
        QCOMPARE(Look::textColor(ende), Look::windowColour());
        QCOMPARE(Look::textColor(minimize), Look::windowColour());
        QCOMPARE(Look::textColor(copyright), Look::lightYellow);
        QCOMPARE(Look::background(an), Look::grau);
    }
};

QTEST_MAIN(TestFunkbote)
#include "tst_funkbote.moc"
