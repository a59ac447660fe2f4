#include "tsfile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The placeholders of a text in order of number: "%2 of %1" and "%1 von %2"
// have the same.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(u"%(\\d+|n)"_s);
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

QString edge(const QString &text, bool atStart)
{
    QString white;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(atStart ? i : text.size() - 1 - i);
        if (!c.isSpace())
            break;
        white += c;
    }
    return white;
}

// Why a translation would show the user a wrong text; empty when it is
// fine.
QString problemOf(const QString &source, const QString &translation)
{
    if (translation.trimmed().isEmpty())
        return u"no translation"_s;
    if (placeholders(source) != placeholders(translation)) {
        return u"placeholders %1 in the source, %2 in the translation"_s.arg(
            placeholders(source).join(u' '), placeholders(translation).join(u' '));
    }
    if (source.count(u'\n') != translation.count(u'\n'))
        return u"another number of line breaks"_s;
    if (edge(source, true) != edge(translation, true) ||
        edge(source, false) != edge(translation, false))
        return u"another white space at the start or end"_s;
    // An accelerator ("&Trennzeichen:") stays one.
    if (source.count(u'&') != translation.count(u'&'))
        return u"another number of accelerators (&)"_s;
    return QString();
}

// Why an entry would show the user a wrong or German text.
QString problemOf(const TsFile::Message &message)
{
    if (!message.type.isEmpty())
        return u"marked %1"_s.arg(message.type);
    // A text with %n has the plural forms of English: one and other.
    const bool numerus = placeholders(message.source).contains(u"%n"_s);
    if (message.translations.size() != (numerus ? 2 : 1))
        return u"%1 translations"_s.arg(message.translations.size());
    for (const QString &translation : message.translations) {
        if (const QString problem = problemOf(message.source, translation); !problem.isEmpty())
            return problem;
    }
    return QString();
}

QString rowName(const TsFile::Message &message)
{
    return message.context + u": "_s + message.source.left(50).replace(u'\n', u' ');
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private:
    TsFile::Contents m_file;

private Q_SLOTS:
    void initTestCase()
    {
        m_file = TsFile::read(QStringLiteral(FUNKBOTE_TS_FILE));
        QVERIFY2(m_file.error.isEmpty(), qPrintable(m_file.error));
        QCOMPARE(m_file.sourceLanguage, u"de"_s);
        QCOMPARE(m_file.language, u"en"_s);
        QVERIFY(m_file.messages.size() > 400);
    }

    // The check itself, on entries made up for it.
    void problems_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("translations");
        QTest::addColumn<bool>("fine");
        const QString none;
        const auto one = [](const QString &text) { return QStringList{text}; };
        QTest::newRow("finished") << none << u"Suchen"_s << one(u"Search"_s) << true;
        QTest::newRow("unfinished") << u"unfinished"_s << u"Suchen"_s << one(u"Search"_s) << false;
        QTest::newRow("vanished") << u"vanished"_s << u"Suchen"_s << one(u"Search"_s) << false;
        QTest::newRow("obsolete") << u"obsolete"_s << u"Suchen"_s << one(u"Search"_s) << false;
        QTest::newRow("empty") << none << u"Suchen"_s << one(QString()) << false;
        QTest::newRow("blank") << none << u"Suchen"_s << one(u" "_s) << false;
        QTest::newRow("reordered") << none << u"SMS %1 von %2"_s << one(u"SMS %2 of %1"_s) << true;
        QTest::newRow("placeholder lost") << none << u"%1 Personen"_s << one(u"people"_s) << false;
        QTest::newRow("placeholder doubled") << none << u"%1 neu"_s << one(u"%1 %1 new"_s) << false;
        QTest::newRow("placeholder renumbered")
            << none << u"Zeile %1"_s << one(u"Line %2"_s) << false;
        QTest::newRow("line break lost")
            << none << u"Fehler:\n%1"_s << one(u"Error: %1"_s) << false;
        QTest::newRow("leading blank lost")
            << none << u" (nicht vorhanden)"_s << one(u"(not present)"_s) << false;
        QTest::newRow("accelerator lost")
            << none << u"&Zeichensatz:"_s << one(u"Charset:"_s) << false;
        const QString plural = u"%n Nachrichten nach %1 exportiert."_s;
        QTest::newRow("plural forms")
            << none << plural
            << QStringList{u"%n message exported to %1."_s, u"%n messages exported to %1."_s}
            << true;
        QTest::newRow("plural form missing")
            << none << plural << one(u"%n messages exported to %1."_s) << false;
        QTest::newRow("plural form without placeholder")
            << none << plural
            << QStringList{u"%n message exported to %1."_s, u"%n messages exported."_s} << false;
    }
    void problems()
    {
        QFETCH(QString, type);
        QFETCH(QString, source);
        QFETCH(QStringList, translations);
        QFETCH(bool, fine);
        const QString problem = problemOf({u"Test"_s, source, translations, type});
        QCOMPARE(problem.isEmpty(), fine);
    }

    // Every entry of the file is finished: no German caption is left for the
    // English interface.
    void entries_data()
    {
        QTest::addColumn<int>("index");
        const TsFile::Contents file = TsFile::read(QStringLiteral(FUNKBOTE_TS_FILE));
        for (qsizetype i = 0; i < file.messages.size(); ++i)
            QTest::newRow(qPrintable(rowName(file.messages.at(i)))) << int(i);
    }
    void entries()
    {
        QFETCH(int, index);
        const QString problem = problemOf(m_file.messages.at(index));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // lupdate over the sources finds nothing the file lacks and nothing it
    // holds in vain.
    void upToDate()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString copy = dir.filePath(u"funkbote_en.ts"_s);
        QVERIFY(QFile::copy(QStringLiteral(FUNKBOTE_TS_FILE), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        QSignalSpy finished(&lupdate, &QProcess::finished);
        const QStringList options =
            QStringLiteral(FUNKBOTE_LUPDATE_OPTIONS).split(u' ', Qt::SkipEmptyParts);
        lupdate.start(QStringLiteral(FUNKBOTE_LUPDATE),
                      options + QStringList{QStringLiteral(FUNKBOTE_SOURCE_DIR), u"-ts"_s, copy});
        QVERIFY(finished.wait(60000));
        const QByteArray output = lupdate.readAll();
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 output.constData());

        const TsFile::Contents updated = TsFile::read(copy);
        QVERIFY2(updated.error.isEmpty(), qPrintable(updated.error));
        QStringList stale;
        for (const TsFile::Message &message : updated.messages) {
            if (!message.type.isEmpty())
                stale.append(message.type + u": "_s + rowName(message));
        }
        QVERIFY2(stale.isEmpty(),
                 qPrintable(u"translations/funkbote_en.ts is not up to date (cmake --build "
                            u"build --target update_translations, then translate):\n"_s +
                            stale.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
