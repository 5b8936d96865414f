// SPDX-License-Identifier: GPL-3.0-or-later
// The wire-time model of veltraw-sim --timed, seen from a bare client: a reply never leaves
// before its bytes could have crossed a 4800-baud line and the PIC has done its work, it leaves
// close to that moment, the totals count the modelled PIC time, and an idle simulator sleeps.

#include "simwriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 4800.0;

class TimedSim {
public:
    bool start()
    {
        const QString binary = qEnvironmentVariable("VELTRAW_TEST_BINARY_DIR") + QStringLiteral("/sim/veltraw-sim");
        const QString link = dir.filePath(QStringLiteral("dev"));
        process.start(binary, {QStringLiteral("--timed"), QStringLiteral("--link"), link});
        if (!process.waitForStarted(5000)) return false;
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(link)) {
            if (t.elapsed() > 5000) return false;
            QTest::qSleep(10);
        }
        fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return false;
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        return true;
    }
    ~TimedSim()
    {
        if (fd >= 0) ::close(fd);
        process.terminate();
        process.waitForFinished(3000);
    }
    void send(const QByteArray &bytes) { QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size())); }
    // The next byte from the writer, or -1 after a second of silence.
    int reply()
    {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) return -1;
        uint8_t b = 0;
        return ::read(fd, &b, 1) == 1 ? b : -1;
    }
    // Milliseconds from sending `bytes` to the first byte of the answer.
    double roundTrip(const QByteArray &bytes, int expected)
    {
        QElapsedTimer t;
        t.start();
        send(bytes);
        const int got = reply();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        return got == expected ? ms : -1;
    }
    // The simulator's totals line after SIGUSR1.
    QByteArray totals()
    {
        process.readAllStandardOutput();
        ::kill(pid_t(process.processId()), SIGUSR1);
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains('\n') && t.elapsed() < 3000) {
            process.waitForReadyRead(100);
            out += process.readAllStandardOutput();
        }
        return out.trimmed();
    }
    // User and system time of the simulator, in clock ticks.
    long cpuTicks() const
    {
        QFile f(QStringLiteral("/proc/%1/stat").arg(process.processId()));
        if (!f.open(QIODevice::ReadOnly)) return -1;
        const QList<QByteArray> fields = f.readAll().split(')').last().split(' ');
        // After the command: state is field 3; utime and stime are fields 14 and 15.
        return fields.size() > 14 ? fields[12].toLong() + fields[13].toLong() : -1;
    }

    QTemporaryDir dir;
    QProcess process;
    int fd = -1;
};

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

class TestSimTiming : public QObject {
    Q_OBJECT
private slots:
    void repliesLeaveOnTimeNeverBefore()
    {
        TimedSim sim;
        QVERIFY(sim.start());
        QVector<double> trips;
        for (int i = 0; i < 15; ++i) {
            const double ms = sim.roundTrip("S", 's');
            QVERIFY(ms > 0);
            // "S" and "s" each take ten bit times.
            QVERIFY2(ms >= 2 * kByteMs, qPrintable(QString::number(ms)));
            trips << ms;
            QTest::qSleep(3);  // let the simulator fall asleep in between, as a program would
        }
        // Late only by the machine's own latency (the benchmark measures how much); a broken
        // wake-up would cost whole timer periods.
        const double m = median(trips);
        QVERIFY2(m < 2 * kByteMs + 5, qPrintable(QStringLiteral("median %1 ms").arg(m)));
    }

    void aWordTakesTheLineAndThePicWriteTime()
    {
        TimedSim sim;
        QVERIFY(sim.start());
        const sim::PicTimes pic;
        QVERIFY(sim.roundTrip("W", 'w') >= 2 * kByteMs);
        QVERIFY(sim.roundTrip("D", 'w') >= 2 * kByteMs);
        // Two data bytes in, the PIC writes the word, then "w" comes back.
        const double ms = sim.roundTrip("\x85\x85", 'w');
        const double floor = 3 * kByteMs + pic.programWordUs / 1000.0;
        QVERIFY2(ms >= floor && ms < floor + 20, qPrintable(QStringLiteral("%1 ms for %2").arg(ms).arg(floor)));
        sim.send("E");
        QTest::qWait(20);
        QCOMPARE(sim.totals(), QByteArray("totals from_host=5 from_writer=3 pic_busy_us=") + QByteArray::number(pic.programWordUs));
    }

    void eraseAndEepromTimesAreModelled()
    {
        TimedSim sim;
        QVERIFY(sim.start());
        const sim::PicTimes pic;
        const double erase = sim.roundTrip("L", 'a');
        QVERIFY2(erase >= 2 * kByteMs + pic.programEraseUs / 1000.0, qPrintable(QString::number(erase)));
        QVERIFY(sim.roundTrip("V", 'v') > 0);
        QVERIFY(sim.roundTrip("\x80", 'v') > 0);
        const double byte = sim.roundTrip("\x80\xA5", 'a');
        QVERIFY2(byte >= 3 * kByteMs + pic.eepromByteUs / 1000.0, qPrintable(QString::number(byte)));
    }

    void idleSimulatorSleeps()
    {
        TimedSim sim;
        QVERIFY(sim.start());
        for (int i = 0; i < 5; ++i) QVERIFY(sim.roundTrip("S", 's') > 0);
        QTest::qSleep(20);
        const long before = sim.cpuTicks();
        QVERIFY(before >= 0);
        QTest::qSleep(400);
        // Awake only around its replies: over 400 ms of silence it uses next to nothing.
        QVERIFY2(sim.cpuTicks() - before <= 4, qPrintable(QStringLiteral("%1 ticks").arg(sim.cpuTicks() - before)));
    }
};

QTEST_GUILESS_MAIN(TestSimTiming)
#include "tst_simtiming.moc"
