// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-sim as a program: help, a HEX image in, the memory out as HEX on exit.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

class TestSimProgram : public QObject {
    Q_OBJECT
    QString simBinary() const { return qEnvironmentVariable("VELTRAW_TEST_BINARY_DIR") + QStringLiteral("/sim/veltraw-sim"); }

private slots:
    void help()
    {
        QProcess p;
        p.start(simBinary(), {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        for (const char *opt : {"--link", "--hex", "--dump", "--timed", "--unpowered", "--firmware"}) QVERIFY(out.contains(QLatin1String(opt)));
    }

    void imageInEraseAndDumpOnExit()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath("in.hex"), out = dir.filePath("out.hex"), link = dir.filePath("dev");
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(":0400000034120B0AAB\r\n:02400E001A0096\r\n:00000001FF\r\n");
        f.close();
        QProcess p;
        p.start(simBinary(), {"--link", link, "--hex", in, "--dump", out});
        QVERIFY(p.waitForReadyRead(5000));
        const QString device = QString::fromUtf8(p.readLine()).trimmed();
        QVERIFY(device.startsWith("/dev/pts/"));
        QVERIFY(QFile::exists(link));
        const int fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios t;
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        // Read the configuration register: the image's word 1Ah comes back as two groups.
        QCOMPARE(::write(fd, "Y", 1), ssize_t(1));
        QByteArray got;
        QVERIFY(QTest::qWaitFor([&] {
            char b[8];
            const ssize_t n = ::read(fd, b, sizeof b);
            if (n > 0) got.append(b, int(n));
            return got.size() >= 3;
        }, 3000));
        QCOMPARE(got, QByteArray("y\x80\x9A"));
        ::close(fd);
        p.terminate();
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!QFile::exists(link));
        QFile o(out);
        QVERIFY(o.open(QIODevice::ReadOnly));
        const QByteArray dump = o.readAll();
        QVERIFY(dump.startsWith(":1000000034120B0AFF3FFF3FFF3FFF3FFF3FFF3F"));
        QVERIFY(dump.contains(":10400000FF3FFF3FFF3FFF3FFF3FFF3FFF3F1A00"));
        QVERIFY(dump.endsWith(":00000001FF\r\n"));
    }

    void badImageIsRefused()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("bad.hex"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("hello\n");
        f.close();
        QProcess p;
        p.start(simBinary(), {"--hex", f.fileName()});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("line 1"));
    }
};

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_simprogram.moc"
