#include "fakeclock.h"
#include "fakeserialline.h"
#include "funkbote.h"
#include "hoverlabel.h"
#include "messagingcore.h"
#include "scriptedprompter.h"
#include "settings.h"
#include "testdb.h"
#include "tsfile.h"
#include "uilanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QWidget *openWindow(const QString &name)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name && top->isVisible())
            return top;
    }
    return nullptr;
}

// Every text a window shows or tells a screen reader: captions, tooltips,
// accessible names, list items; not what the user or the database filled in.
QStringList captions(QWidget *window)
{
    QStringList texts{window->windowTitle()};
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : std::as_const(widgets)) {
        if (widget != window && !widget->isVisibleTo(window))
            continue;
        texts << widget->toolTip() << widget->accessibleName() << widget->accessibleDescription();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        if (auto *field = qobject_cast<QLineEdit *>(widget))
            texts << field->placeholderText();
        if (auto *text = qobject_cast<QPlainTextEdit *>(widget); text && text->isReadOnly())
            texts << text->toPlainText();
        // The device list names the system's own ports.
        auto *box = qobject_cast<QComboBox *>(widget);
        for (int i = 0; box && widget->objectName() != u"cboGeraet"_s && i < box->count(); ++i)
            texts << box->itemText(i);
    }
    return texts;
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    FakeClock m_clock;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MessagingCore> m_core;
    std::unique_ptr<Funkbote> m_window;

    // The main window as main.cpp builds it after choosing the language.
    void openMainWindow()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString path = TestDb::create(m_dir->path());
        TestDb::addPerson(path, u"Anna Muster"_s, u"079 123 45 67"_s);
        m_prompter.clear();
        auto *line = new FakeSerialLine;
        m_settings = std::make_unique<Settings>(path);
        m_core = std::make_unique<MessagingCore>(
            MessagingCore::Environment{.programDir = m_dir->path(),
                                       .prompter = &m_prompter,
                                       .clock = &m_clock,
                                       .line = line,
                                       .settings = m_settings.get()});
        m_window = std::make_unique<Funkbote>(m_core.get());
        m_core->start();
        line->setParent(m_core.get());
        m_window->show();
    }
    template <typename T> T *child(const QString &name) { return m_window->findChild<T *>(name); }

private Q_SLOTS:
    void cleanup()
    {
        m_window.reset();
        m_core.reset();
        m_settings.reset();
        m_dir.reset();
    }

    void languageOfLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        QTest::newRow("en_US") << u"en_US"_s << true;
        QTest::newRow("en_GB") << u"en_GB"_s << true;
        QTest::newRow("en") << u"en"_s << true;
        QTest::newRow("de_CH") << u"de_CH"_s << false;
        QTest::newRow("de_DE") << u"de_DE"_s << false;
        QTest::newRow("fr_CH") << u"fr_CH"_s << false;
        QTest::newRow("C") << u"C"_s << false;
    }
    void languageOfLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, english);
        QCOMPARE(UiLanguage::forLocale(QLocale(locale)) == UiLanguage::Language::English, english);
    }

    // The program's texts, Qt's buttons and the default locale follow the
    // chosen language together.
    void translationsInstalled_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("sendButton");
        QTest::addColumn<QString>("qtYes");
        QTest::addColumn<QString>("defaultLocale");
        // The plural forms of the translation; German has one text for all.
        QTest::addColumn<QString>("oneExported");
        QTest::newRow("English (US)") << u"en_US"_s << u"Send SMS"_s << u"&Yes"_s << u"en_US"_s
                                      << u"1 message exported to %1."_s;
        QTest::newRow("English (GB)") << u"en_GB"_s << u"Send SMS"_s << u"&Yes"_s << u"en_GB"_s
                                      << u"1 message exported to %1."_s;
        QTest::newRow("Swiss German") << u"de_CH"_s << u"SMS senden"_s << u"&Ja"_s << u"de_CH"_s
                                      << u"1 Nachrichten nach %1 exportiert."_s;
        QTest::newRow("French: German") << u"fr_CH"_s << u"SMS senden"_s << u"&Ja"_s << u"de_CH"_s
                                        << u"1 Nachrichten nach %1 exportiert."_s;
    }
    void translationsInstalled()
    {
        QFETCH(QString, system);
        QFETCH(QString, sendButton);
        QFETCH(QString, qtYes);
        QFETCH(QString, defaultLocale);
        QFETCH(QString, oneExported);
        {
            const UiLanguage language(*qApp, QLocale(system));
            const bool english = language.language() == UiLanguage::Language::English;
            QCOMPARE(language.hasProgramTranslation(), english);
            QCOMPARE(language.hasQtTranslation(), !english);
            QCOMPARE(QCoreApplication::translate("Funkbote", "SMS senden"), sendButton);
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), qtYes);
            QCOMPARE(QLocale().name(), defaultLocale);
            QCOMPARE(QCoreApplication::translate("FRMArchiv", "%n Nachrichten nach %1 exportiert.",
                                                 nullptr, 1),
                     oneExported);
        }
        // Gone with the object.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), u"&Yes"_s);
        QCOMPARE(QCoreApplication::translate("Funkbote", "SMS senden"), u"SMS senden"_s);
    }

    void englishMainWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << u"LBLTitel"_s << u"Funkbote - SMS sending program..."_s;
        QTest::newRow("number") << u"LBLNatelNummer"_s << u"Mobile number:"_s;
        QTest::newRow("call-back") << u"LBLRueckrufNummer"_s << u"Call-back number:"_s;
        QTest::newRow("send") << u"cmdSenden"_s << u"Send SMS"_s;
        QTest::newRow("delete") << u"cmdauslistloesch"_s << u"Delete from queue"_s;
        QTest::newRow("configure") << u"cmdKonfiguration"_s << u"Configure SMS sending"_s;
        QTest::newRow("archive") << u"cmdVersandLog"_s << u"View send archive"_s;
        QTest::newRow("bulk") << u"cmdAuswahlNamen"_s << u"Send bulk SMS"_s;
        QTest::newRow("start/stop") << u"cmdStartStop"_s << u"Stop sending"_s;
        QTest::newRow("status") << u"LBLStatus"_s << u"Status: Waiting..."_s;
    }
    void englishMainWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const UiLanguage language(*qApp, QLocale(u"en_US"_s));
        openMainWindow();
        QWidget *widget = child<QWidget>(name);
        QVERIFY2(widget, qPrintable(name));
        if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), text);
        else
            QCOMPARE(qobject_cast<QAbstractButton *>(widget)->text(), text);
    }

    // The boxes speak English too, and the caption that changes with the
    // state.
    void englishBoxes()
    {
        const UiLanguage language(*qApp, QLocale(u"en_US"_s));
        openMainWindow();
        QTest::mouseClick(child<QPushButton>(u"cmdSenden"_s), Qt::LeftButton);
        auto *startStop = child<QPushButton>(u"cmdStartStop"_s);
        m_prompter.answerNext(Prompter::Answer::Yes);
        QTest::mouseClick(startStop, Qt::LeftButton);
        QCOMPARE(startStop->text(), u"Start sending"_s);
        QTest::mouseClick(startStop, Qt::LeftButton);
        QCOMPARE(startStop->text(), u"Stop sending"_s);
        QCOMPARE(m_prompter.texts(),
                 QStringList({u"You must enter at least the mobile number and a message!"_s,
                              u"Attention! You are about to stop sending all messages. Do you "
                              u"really want to?"_s,
                              u"Information! Sending messages has been switched on again."_s}));
    }

    // The main window and the windows it opens show no German caption:
    // each is a translation from funkbote_en.ts, or one filled into its
    // placeholders.
    void noGermanCaptionLeft()
    {
        const TsFile::Contents file = TsFile::read(QStringLiteral(FUNKBOTE_TS_FILE));
        QVERIFY2(file.error.isEmpty(), qPrintable(file.error));
        QSet<QString> translations;
        QList<QRegularExpression> filled;
        static const QRegularExpression placeholder(u"%(\\d+|n)"_s);
        for (const TsFile::Message &message : file.messages) {
            for (const QString &translation : message.translations) {
                translations.insert(translation);
                if (!translation.contains(placeholder))
                    continue;
                QStringList pieces = translation.split(placeholder);
                for (QString &piece : pieces)
                    piece = QRegularExpression::escape(piece);
                const QString pattern = pieces.join(u".+"_s);
                filled.append(QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                                 QRegularExpression::DotMatchesEverythingOption));
            }
        }
        const auto translated = [&](QString text) {
            text.remove(QRegularExpression(u"^\u2192 "_s)); // the information link's arrow
            if (translations.contains(text))
                return true;
            return std::any_of(filled.cbegin(), filled.cend(), [&](const QRegularExpression &re) {
                return re.match(text).hasMatch();
            });
        };
        // Names, not words: the program's, and the address book's record
        // control.
        const QStringList names{u"Funkbote"_s, u"Data1"_s};

        const UiLanguage language(*qApp, QLocale(u"en_US"_s));
        openMainWindow();
        QStringList untranslated;
        const auto check = [&](QWidget *window) {
            for (const QString &text : captions(window)) {
                static const QRegularExpression word(u"\\p{L}{2,}"_s);
                if (text.contains(word) && !names.contains(text) && !translated(text))
                    untranslated.append(window->objectName() + u": "_s + text);
            }
        };
        check(m_window.get());
        const QList<std::pair<QString, QString>> dialogs{
            {u"cmdKonfiguration"_s, u"FRMKonfiguration"_s},
            {u"cmdVersandLog"_s, u"FRMArchiv"_s},
            {u"cmdAdressbuch"_s, u"FRMAdressBuch"_s},
            {u"cmdAn"_s, u"FRMSelektion1"_s},
        };
        for (const auto &[button, name] : dialogs) {
            QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
            QWidget *dialog = openWindow(name);
            QVERIFY2(dialog, qPrintable(name));
            check(dialog);
            if (name == u"FRMArchiv"_s) {
                QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdProtokoll"_s),
                                  Qt::LeftButton);
                QWidget *log = openWindow(u"FRMProtokoll"_s);
                QVERIFY(log);
                check(log);
                QVERIFY(log->close());
            }
            QVERIFY(dialog->close());
        }
        QTest::mouseClick(child<HoverLabel>(u"LBLCopyright"_s), Qt::LeftButton);
        QWidget *info = openWindow(u"FRMInfo"_s);
        QVERIFY(info);
        check(info);
        QVERIFY(info->close());
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
        QCOMPARE(m_prompter.count(), 0);
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
