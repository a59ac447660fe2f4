#include "qtserialline.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

// The real line against a pseudo-terminal whose far end the test plays.
class TestQtSerialLine : public QObject
{
    Q_OBJECT

    int m_master = -1;
    QString m_slave;
    QtSerialLine m_line;

    bool send(const QByteArray &bytes)
    {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
private Q_SLOTS:
    void init()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0);
        m_slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    void cleanup()
    {
        m_line.close();
        ::close(m_master);
    }

    void bytesPassUnchangedAt9600_8N1()
    {
        QTemporaryDir dir; // opened through a COMn link, as the program's folder has it
        QVERIFY(QFile::link(m_slave, dir.filePath(u"COM9"_s)));
        QSignalSpy errors(&m_line, &SerialLine::errorOccurred);
        QString error;
        QVERIFY2(m_line.open(dir.filePath(u"COM9"_s), &error), qPrintable(error));
        QVERIFY(!m_line.hasModemLines()); // a pseudo-terminal has none; no error
        termios tio{};
        QCOMPARE(tcgetattr(m_master, &tio), 0);
        QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
        QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));

        const QByteArray frame("\x02\r\n\x03\xff\x00 ATDT 1\r", 14);
        QVERIFY(m_line.write(frame));
        QByteArray sent;
        char buffer[64];
        QTRY_COMPARE(sent += QByteArray(buffer, qMax<ssize_t>(::read(m_master, buffer, 64), 0)),
                     frame);
        QVERIFY(send(frame));
        QByteArray got;
        QTRY_COMPARE(got += m_line.readAll(), frame);
        m_line.close();
        QVERIFY(!m_line.isOpen() && !m_line.write("x"));
        // A late answer of the previous call, sent while the port was closed.
        QVERIFY(send("\r\nNO CARRIER\r\n"));
        QVERIFY(m_line.open(m_slave));
        QVERIFY(send("OK\r"));
        got.clear();
        QTRY_COMPARE(got += m_line.readAll(), QByteArray("OK\r"));
        QCOMPARE(errors.count(), 0);
    }

    void brokenOrMissingDevice()
    {
        QString error;
        QVERIFY(!m_line.open(u"/nonexistent/ttyS77"_s, &error));
        QCOMPARE(error, u"Schnittstelle nicht vorhanden"_s);
        QVERIFY(m_line.open(m_slave));
        QSignalSpy closed(&m_line, &SerialLine::closedByError);
        QSignalSpy errors(&m_line, &SerialLine::errorOccurred);
        ::close(std::exchange(m_master, -1)); // cleanup() then closes nothing
        QVERIFY(closed.wait());
        QVERIFY(!m_line.isOpen());
        QVERIFY(!errors.wait(200)); // no endless stream of errors afterwards
        QCOMPARE(closed.count(), 1);
        QCOMPARE(errors.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestQtSerialLine)
#include "tst_qtserialline.moc"
