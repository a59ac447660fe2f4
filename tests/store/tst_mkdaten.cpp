#include "testdb.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The tool that makes Daten.mdb beside the program, run as the build and the
// demo script run it.
class TestMkdaten : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void provider_data()
    {
        QTest::addColumn<QVariant>("existing"); // provider of a file there before; invalid: none
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("provider"); // afterwards; empty: no number

        const QVariant none;
        const QVariant noNumber = QVariant(QMetaType::fromType<QString>());
        const QStringList demo = {u"--if-missing"_s, u"--provider"_s, u"0800 123 456"_s};
        QTest::newRow("build: new file has no number")
            << none << QStringList{u"--if-missing"_s} << 0 << QString();
        QTest::newRow("demo: new file") << none << demo << 0 << u"0800 123 456"_s;
        QTest::newRow("demo: file of the build gets the number")
            << noNumber << demo << 0 << u"0800 123 456"_s;
        QTest::newRow("demo: own number kept") << QVariant(u"0901"_s) << demo << 0 << u"0901"_s;
        QTest::newRow("build: existing file untouched")
            << noNumber << QStringList{u"--if-missing"_s} << 0 << QString();
        QTest::newRow("existing file without --if-missing")
            << noNumber << QStringList{u"--provider"_s, u"1"_s} << 1 << QString();
        QTest::newRow("--provider without number")
            << none << QStringList{u"--provider"_s} << 2 << QString();
    }
    void provider()
    {
        QFETCH(QVariant, existing);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, provider);

        QTemporaryDir dir;
        QString path = dir.filePath(u"Daten.mdb"_s);
        if (existing.isValid()) {
            TestDb::Settings settings;
            settings.providerNummer = existing;
            path = TestDb::create(dir.path(), settings);
        }
        QProcess mkdaten;
        QSignalSpy finished(&mkdaten, &QProcess::finished);
        mkdaten.start(QStringLiteral(MKDATEN), args << path);
        QVERIFY(finished.wait(20'000));
        QCOMPARE(mkdaten.exitStatus(), QProcess::NormalExit);
        QCOMPARE(mkdaten.exitCode(), exitCode);
        if (exitCode == 2) {
            QVERIFY(!QFileInfo::exists(path));
            return;
        }
        QCOMPARE(TestDb::scalar(path, u"SELECT ifnull(ProviderNummer, '') || '|' || ComPort || "
                                      u"'|' || InitialisierungsBefehl FROM Einstellungen"_s)
                     .toString(),
                 provider + u"|1|ATDT"_s);
    }
};

QTEST_MAIN(TestMkdaten)
#include "tst_mkdaten.moc"
