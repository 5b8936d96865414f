// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's USB adapter model. Only lower bounds and orderings are timed, so a loaded
// machine cannot fail it; that a direct line holds nothing back is shown by when the reply
// leaves, not by how soon.

#include "ptyserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
// The program's end, read every millisecond while the in-process server runs (QTest::qWaitFor
// naps 10 ms at a time, which would blur the timings).
struct Line {
    explicit Line(sim::PtyServer &s) : fd(::open(QFile::encodeName(s.slavePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    ~Line() { ::close(fd); }
    // Sends `c` and waits until `total` bytes in all have come back.
    bool ask(char c, int total)
    {
        QElapsedTimer t;
        t.start();
        if (::write(fd, &c, 1) != 1) return false;
        while (got.size() < total && t.elapsed() < 5000) {
            QCoreApplication::processEvents();
            pollfd p{fd, POLLIN, 0};
            char buf[256];
            const ssize_t n = ::poll(&p, 1, 1) > 0 ? ::read(fd, buf, sizeof buf) : 0;
            if (n > 0) got.append(buf, int(n));
        }
        return got.size() == total;
    }
    // Milliseconds for five "S" sent each as soon as the last "s" came.
    double probes()
    {
        QElapsedTimer t;
        t.start();
        for (int i = 1; i <= 5; ++i)
            if (!ask('S', got.size() + 1)) return -1;
        return double(t.nsecsElapsed()) / 1e6;
    }
    int fd;
    QByteArray got;
};
}  // namespace

class TestSimAdapter : public QObject {
    Q_OBJECT
private slots:
    void repliesWaitForTheTimer_data()
    {
        QTest::addColumn<bool>("timed");
        QTest::newRow("untimed") << false;
        QTest::newRow("timed") << true;
    }
    void repliesWaitForTheTimer()
    {
        QFETCH(bool, timed);
        sim::PtyServer server;
        QVERIFY(server.start());
        server.setTimed(timed);
        server.setAdapterLatency(40);
        Line line(server);
        // Each "s" leaves at a tick after the adapter's previous packet: over 4 periods in all.
        const double ms = line.probes();
        QVERIFY2(ms >= 0.8 * 4 * 40, qPrintable(QString::number(ms)));
        QCOMPARE(line.got, QByteArray("sssss"));
    }

    void aFullPacketGoesAtOnce()
    {
        sim::PtyServer server;
        QVERIFY(server.start());
        server.setAdapterLatency(200);
        Line line(server);
        // "X" answers 1 + 128 bytes: two full packets of 62, then 5 that wait for the timer.
        QVERIFY(line.ask('X', 129));
        QCOMPARE(server.writerBytes(), line.got);
        QVector<qint64> at;
        for (const auto &e : server.record())
            if (!e.fromHost) at << e.ms;
        QCOMPARE(at[123], at[0]);
        QVERIFY2(at[124] - at[0] >= 0.8 * 200, qPrintable(QString::number(at[124] - at[0])));
    }

    void zeroLatencyChangesNothing()
    {
        sim::PtyServer server;
        QVERIFY(server.start());
        QCOMPARE(server.adapterLatency(), 0);
        Line line(server);
        // Only the test turns the server here: each reply leaves in the very turn that takes
        // its "S" in, where an adapter would hold it for its timer.
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(::write(line.fd, "S", 1), ssize_t(1));
            QElapsedTimer t;
            t.start();
            while (server.hostBytes().size() < i && t.elapsed() < 5000) {
                server.pollNow();
                if (server.hostBytes().size() < i) ::usleep(500);
            }
            QCOMPARE(server.hostBytes().size(), i);
            QCOMPARE(server.writerBytes(), QByteArray(i, 's'));
        }
        QVERIFY(line.ask('X', 5 + 129));
        QCOMPARE(server.writerBytes(), line.got);
    }
};

QTEST_GUILESS_MAIN(TestSimAdapter)
#include "tst_simadapter.moc"
