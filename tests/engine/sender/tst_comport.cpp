#include "comport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestComPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names();
    void device_data();
    void device();
};

void TestComPort::names()
{
    QCOMPARE(comPortName(1), u"COM1"_qs);
    QCOMPARE(comPortName(12), u"COM12"_qs);
    QCOMPARE(comPortName(0), u"COM0"_qs);
}

// Columns: the port number, the entries to make in the program directory
// ("name=>target" for a link, "name" for a plain file) and the expected
// device, where "@" stands for the program directory.
void TestComPort::device_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("expected");
#ifdef Q_OS_WIN
    QTest::newRow("COM3") << 3 << QStringList{} << u"COM3"_qs;
    QTest::newRow("link ignored") << 3 << QStringList{u"COM3=>@/x"_qs} << u"COM3"_qs;
#else
    QTest::newRow("COM1 built in") << 1 << QStringList{} << u"/dev/ttyS0"_qs;
    QTest::newRow("COM3 built in") << 3 << QStringList{} << u"/dev/ttyS2"_qs;
    QTest::newRow("COM12 built in") << 12 << QStringList{} << u"/dev/ttyS11"_qs;
    QTest::newRow("link") << 4 << QStringList{u"COM4=>/dev/pts/7"_qs} << u"/dev/pts/7"_qs;
    QTest::newRow("relative link") << 4 << QStringList{u"COM4=>ptys/a"_qs} << u"@/ptys/a"_qs;
    QTest::newRow("lower-case link")
        << 5 << QStringList{u"com5=>/dev/ttyUSB0"_qs} << u"/dev/ttyUSB0"_qs;
    QTest::newRow("upper case wins")
        << 5 << QStringList{u"com5=>/dev/ttyUSB0"_qs, u"COM5=>/dev/ttyUSB1"_qs}
        << u"/dev/ttyUSB1"_qs;
    QTest::newRow("COM1 is not COM10")
        << 10 << QStringList{u"COM1=>/dev/pts/1"_qs} << u"/dev/ttyS9"_qs;
    QTest::newRow("other port's link")
        << 2 << QStringList{u"COM4=>/dev/pts/7"_qs} << u"/dev/ttyS1"_qs;
    QTest::newRow("plain entry") << 6 << QStringList{u"COM6"_qs} << u"@/COM6"_qs;
#endif
    QTest::newRow("0 names no port") << 0 << QStringList{} << QString();
    QTest::newRow("-1 names no port") << -1 << QStringList{u"COM-1=>/dev/pts/1"_qs} << QString();
}

void TestComPort::device()
{
    QFETCH(int, n);
    QFETCH(QStringList, entries);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = QDir(dir.path()).canonicalPath();
    for (const QString &entry : std::as_const(entries)) {
        const qsizetype arrow = entry.indexOf(u"=>"_qs);
        if (arrow < 0) {
            QFile file(root + u'/' + entry);
            QVERIFY(file.open(QIODevice::WriteOnly));
            continue;
        }
        const QString target = entry.mid(arrow + 2).replace(u'@', root);
        QVERIFY(QFile::link(target, root + u'/' + entry.left(arrow)));
    }
    QCOMPARE(serialDeviceForComPort(n, root), QString(expected).replace(u'@', root));
}

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_comport.moc"
