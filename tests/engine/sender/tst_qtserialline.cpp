#include "qtserialline.h"

#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The far end of a pseudo-terminal, played by the test.
class PtyMaster
{
public:
    PtyMaster()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0 && grantpt(m_fd) == 0 && unlockpt(m_fd) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_fd));
    }
    ~PtyMaster() { hangUp(); }

    bool isValid() const { return m_fd >= 0 && !m_slave.isEmpty(); }
    QString slave() const { return m_slave; }
    bool send(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Everything the line has written so far.
    QByteArray received()
    {
        char buffer[256];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            m_received.append(buffer, n);
        }
        return m_received;
    }
    void hangUp()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    QString m_slave;
    QByteArray m_received;
};

} // namespace

class TestQtSerialLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensAPseudoTerminal();
    void opensThroughALink();
    void leftoverInputIsCleared();
    void farEndVanishing();
    void missingDevice();
    void everyErrorHasGermanText();
};

void TestQtSerialLine::opensAPseudoTerminal()
{
    PtyMaster master;
    QVERIFY(master.isValid());
    QtSerialLine line;
    QSignalSpy errors(&line, &SerialLine::errorOccurred);
    QString error;
    QVERIFY2(line.open(master.slave(), &error), qPrintable(error));
    QVERIFY(line.isOpen());
    // A pseudo-terminal has no modem lines; that is no error.
    QVERIFY(!line.hasModemLines());
    QCOMPARE(errors.count(), 0);

    // 9600 baud, 8 data bits, no parity, 1 stop bit.
    const int fd = ::open(QFile::encodeName(master.slave()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios tio{};
    QCOMPARE(tcgetattr(fd, &tio), 0);
    ::close(fd);
    QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
    QCOMPARE(cfgetispeed(&tio), speed_t(B9600));
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(tio.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CSTOPB, tcflag_t(0));

    // Bytes pass unchanged both ways, CR included.
    const QByteArray dial("ATDT 012345678\r");
    QVERIFY(line.write(dial));
    QTRY_COMPARE(master.received(), dial);
    const QByteArray binary("\x02\r\n\x03\xff\x00", 6);
    QSignalSpy ready(&line, &SerialLine::readyRead);
    QVERIFY(master.send(binary));
    QVERIFY(ready.wait());
    QByteArray got = line.readAll();
    QTRY_VERIFY((got += line.readAll()).size() == binary.size());
    QCOMPARE(got, binary);

    line.close();
    QVERIFY(!line.isOpen());
    QVERIFY(!line.write("x"));
    QCOMPARE(errors.count(), 0);
}

void TestQtSerialLine::opensThroughALink()
{
    PtyMaster master;
    QVERIFY(master.isValid());
    QTemporaryDir dir;
    const QString link = dir.filePath(u"COM9"_qs);
    QVERIFY(QFile::link(master.slave(), link));
    QtSerialLine line;
    QString error;
    QVERIFY2(line.open(link, &error), qPrintable(error));
    QVERIFY(line.write("AT\r"));
    QTRY_COMPARE(master.received(), QByteArray("AT\r"));
}

void TestQtSerialLine::leftoverInputIsCleared()
{
    PtyMaster master;
    QVERIFY(master.isValid());
    QtSerialLine line;
    QVERIFY(line.open(master.slave()));
    line.close();
    // Sent while the port was closed, as a modem's late answer of the
    // previous call would be.
    QVERIFY(master.send("\r\nNO CARRIER\r\n"));
    QVERIFY(line.open(master.slave()));
    QSignalSpy ready(&line, &SerialLine::readyRead);
    QVERIFY(master.send("OK\r"));
    QVERIFY(ready.wait());
    QByteArray got = line.readAll();
    QTRY_VERIFY((got += line.readAll()).size() >= 3);
    QCOMPARE(got, QByteArray("OK\r"));
}

void TestQtSerialLine::farEndVanishing()
{
    PtyMaster master;
    QVERIFY(master.isValid());
    QtSerialLine line;
    QVERIFY(line.open(master.slave()));
    QSignalSpy closed(&line, &SerialLine::closedByError);
    QSignalSpy errors(&line, &SerialLine::errorOccurred);
    master.hangUp();
    QVERIFY(closed.wait());
    QVERIFY(!line.isOpen());
    QVERIFY(errors.count() >= 1);
    // Closed once; no endless stream of errors afterwards.
    QTest::qWait(200);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.at(0).at(0).toString().startsWith(u"Schnittstelle nicht mehr verfügbar"_qs) ||
            errors.at(0).at(0).toString().startsWith(u"Fehler beim Lesen"_qs));
}

void TestQtSerialLine::missingDevice()
{
    QtSerialLine line;
    QSignalSpy errors(&line, &SerialLine::errorOccurred);
    QString error;
    QVERIFY(!line.open(u"/nonexistent/ttyS77"_qs, &error));
    QCOMPARE(error, u"Schnittstelle nicht vorhanden"_qs);
    QVERIFY(!line.isOpen());
    // The reason is the result; it is not reported a second time.
    QCOMPARE(errors.count(), 0);
    // A plain file is no serial port.
    QTemporaryDir dir;
    QFile file(dir.filePath(u"COM1"_qs));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!line.open(file.fileName(), &error));
    QVERIFY(!error.isEmpty());
}

void TestQtSerialLine::everyErrorHasGermanText()
{
    const QSerialPort::SerialPortError all[] = {
        QSerialPort::NoError,         QSerialPort::DeviceNotFoundError,
        QSerialPort::PermissionError, QSerialPort::OpenError,
        QSerialPort::WriteError,      QSerialPort::ReadError,
        QSerialPort::ResourceError,   QSerialPort::UnsupportedOperationError,
        QSerialPort::UnknownError,    QSerialPort::TimeoutError,
        QSerialPort::NotOpenError,
    };
    QSet<QString> texts;
    for (QSerialPort::SerialPortError error : all) {
        const QString text = serialErrorText(error);
        QVERIFY(!text.isEmpty());
        QVERIFY2(!text.contains(u"error"_qs, Qt::CaseInsensitive), qPrintable(text));
        texts.insert(text);
    }
    QCOMPARE(texts.size(), qsizetype(std::size(all)));
}

QTEST_GUILESS_MAIN(TestQtSerialLine)
#include "tst_qtserialline.moc"
