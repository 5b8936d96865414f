// SPDX-License-Identifier: GPL-3.0-or-later
// The hot paths of every exchange: bytes go straight to the device and stay in order when it
// cannot take them, a wait sleeps rather than spins and returns on a byte, a time-out or a
// closed port, and the operation dialog's progress line keeps its text current while it is
// drawn at a bounded rate.

#include "core/link/replywait.h"
#include "gui/dialogs.h"
#include "gui/windowtimer.h"
#include "core/link/programmerlink.h"
#include "gui/frmreadwrite.h"
#include "support/harness.h"

#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

double cpuMs()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

// A link on the harness's simulated writer, set as the program's one link.
struct Linked {
    Harness h;
    ProgrammerLink link;
    Linked()
    {
        QString why;
        if (!link.openDevice(h.sim.slavePath(), &why)) qFatal("cannot open the pty: %s", qPrintable(why));
        gui::setLink(&link);
    }
    ~Linked()
    {
        gui::setLink(nullptr);
        link.close();
    }
};

// A timer that ends the pending wait the way the windows' time-outs do.
struct TimeOut {
    ReplyWait wait;
    WindowTimer timer;
    explicit TimeOut(int ms) : timer(ms, true)
    {
        QObject::connect(&timer, &WindowTimer::Timer, [this] {
            timer.setEnabled(false);
            wait.expire();
        });
    }
    ReplyWait::End forByte(ProgrammerLink &link) { return wait.forByte(link, nullptr); }
};

// Counts the paintings of a widget and notes the text it showed each time.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QLabel *label) : label_(label) { label->installEventFilter(this); }
    QStringList painted;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched == label_ && e->type() == QEvent::Paint) painted << label_->text();
        return false;
    }

private:
    QLabel *label_;
};

}  // namespace

class TestWait : public QObject {
    Q_OBJECT
private slots:
    void bytesStayInOrderWhenTheDeviceIsFull()
    {
        // Our own pseudo-terminal whose far end reads nothing until we say so.
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(master >= 0);
        QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(ptsname(master));
        ProgrammerLink link;
        QString why;
        QVERIFY2(link.openDevice(slave, &why), qPrintable(why));

        QByteArray sent;
        bool queued = false;
        for (int chunk = 0; chunk < 300 && !queued; ++chunk) {
            QByteArray bytes;
            for (int i = 0; i < 1000; ++i) bytes.append(char((sent.size() + i) % 251));
            link.sendBytes(bytes);
            sent += bytes;
            queued = link.bytesNotSent() > 0;
        }
        QVERIFY2(queued, "the device never filled up");
        // Once something waits in the port's buffer, single bytes queue behind it.
        for (int i = 0; i < 50; ++i) {
            const char b = char(sent.size() % 251);
            if (i % 2) link.sendByte(uint8_t(b));
            else link.sendLetter(b);
            sent += b;
        }
        QVERIFY(link.bytesNotSent() >= 50);

        // The far end starts reading; the drain returns once the port's buffer has gone out.
        QByteArray got;
        QSocketNotifier reader(master, QSocketNotifier::Read);
        connect(&reader, &QSocketNotifier::activated, [&] {
            char buf[4096];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) got.append(buf, int(n));
        });
        QElapsedTimer t;
        t.start();
        link.drainTransmit();
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(link.bytesNotSent(), 0);
        QVERIFY(QTest::qWaitFor([&] { return got.size() >= sent.size(); }, 10000));
        QCOMPARE(got.size(), sent.size());
        QVERIFY(got == sent);
        QVERIFY(link.isOpen());  // a full device is no error
        link.close();
        ::close(master);
    }

    void drainGivesUpOnADeviceThatTakesNoMore()
    {
        // A far end that never reads: the drain must not hold the program for ever.
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(master >= 0);
        QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
        ProgrammerLink link;
        QString why;
        QVERIFY2(link.openDevice(QString::fromLocal8Bit(ptsname(master)), &why), qPrintable(why));
        for (int chunk = 0; chunk < 300 && link.bytesNotSent() == 0; ++chunk) link.sendBytes(QByteArray(1000, 'x'));
        QVERIFY2(link.bytesNotSent() > 0, "the device never filled up");
        // The kernel may still move some of it along: queue far more than it can ever hold.
        link.sendBytes(QByteArray(1 << 20, 'y'));
        QElapsedTimer t;
        t.start();
        link.drainTransmit();
        QVERIFY(t.elapsed() >= ProgrammerLink::kDrainLimitMs - 50);
        QVERIFY(t.elapsed() < ProgrammerLink::kDrainLimitMs + 1000);
        QVERIFY(link.bytesNotSent() > 0);
        QVERIFY(link.isOpen());
        link.close();
        ::close(master);
    }

    void sendOnAHungUpLineClosesThePortOnce()
    {
        Linked l;
        QSignalSpy lost(&l.link, &ProgrammerLink::portLost);
        l.h.sim.hangUp();
        l.link.sendLetter('S');
        QVERIFY(QTest::qWaitFor([&] { return !l.link.isOpen(); }, 3000));
        QTest::qWait(50);
        QCOMPARE(lost.count(), 1);
        l.link.sendByte(0x80);  // dropped quietly on the closed port
        QCOMPARE(lost.count(), 1);
        QCOMPARE(l.link.bytesNotSent(), 0);
    }

    void silentWaitSleepsUntilItsTimeOut()
    {
        Linked l;
        TimeOut out(300);
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuMs();
        const ReplyWait::End end = out.forByte(l.link);
        const double cpu = cpuMs() - cpu0;
        const qint64 ms = t.elapsed();
        QCOMPARE(end, ReplyWait::End::TimedOut);
        QVERIFY2(ms >= 290 && ms < 2000, qPrintable(QString::number(ms)));
        // A wait that polled without sleeping would use the whole 300 ms.
        QVERIFY2(cpu < 30, qPrintable(QStringLiteral("%1 ms CPU in a %2 ms wait").arg(cpu).arg(ms)));
    }

    void waitReturnsWhenTheReplyComes()
    {
        Linked l;
        TimeOut out(3000);
        l.link.clearInput();
        QElapsedTimer t;
        t.start();
        l.link.sendLetter('S');
        const ReplyWait::End end = out.forByte(l.link);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(end, ReplyWait::End::Byte);  // ended by the byte, not the time-out
        QCOMPARE(l.link.readText(), QStringLiteral("s"));
        QVERIFY(out.timer.enabled());
    }

    void byteAlreadyInStillYieldsOnce()
    {
        Linked l;
        l.link.sendLetter('S');
        QVERIFY(QTest::qWaitFor([&] { return l.link.bytesWaiting() >= 1; }, 3000));
        bool ran = false;
        QMetaObject::invokeMethod(&l.link, [&ran] { ran = true; }, Qt::QueuedConnection);
        QElapsedTimer t;
        t.start();
        ReplyWait wait;
        const ReplyWait::End end = wait.forByte(l.link, nullptr);
        QVERIFY(t.elapsed() < 500);
        QVERIFY(ran);  // the event loop had its turn
        QCOMPARE(end, ReplyWait::End::Byte);
        QCOMPARE(l.link.readText(), QStringLiteral("s"));
    }

    void closedPortEndsTheWaitAtOnce()
    {
        Linked l;
        l.link.close();
        TimeOut guard(2000);  // only a broken wait would get this far
        QElapsedTimer t;
        t.start();
        const ReplyWait::End end = guard.forByte(l.link);
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(end, ReplyWait::End::PortClosed);
        QCOMPARE(l.link.readByte(), -1);
    }

    void progressTextIsCurrentAndDrawnAtABoundedRate()
    {
        frmReadWrite dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(150);  // let the first showing settle
        PaintWatch watch(dialog.Label1);
        // What the screen shows where the line is: never the bare background while a text is set.
        auto lineOnScreen = [&dialog] {
            const QImage shown = dialog.screen()->grabWindow(dialog.winId()).toImage();
            const QRect r = dialog.Label1->geometry();
            const QColor background = dialog.palette().color(QPalette::Window);
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (shown.pixelColor(x, y) != background) return true;
            return false;
        };
        int blank = 0;
        QString text;
        QElapsedTimer t;
        t.start();
        for (int word = 0; word < 300; ++word) {
            text = QStringLiteral("アドレス %1 受信中").arg(word, 4, 16, QLatin1Char(' ')).toUpper();
            dialog.setProgress(text);
            QCOMPARE(dialog.Label1->text(), text);  // the text is never behind
            QCoreApplication::processEvents();
            blank += lineOnScreen() ? 0 : 1;
            QTest::qSleep(1);
        }
        QCOMPARE(blank, 0);
        const qint64 ms = t.elapsed();
        // Drawn at most every 100 ms, plus the first at once: nowhere near once a word.
        QVERIFY2(watch.painted.size() <= ms / 100 + 3, qPrintable(QStringLiteral("%1 paintings in %2 ms").arg(watch.painted.size()).arg(ms)));
        QVERIFY(!watch.painted.isEmpty());
        // Shortly after the last word the screen shows the last text, and plain setText draws again.
        QVERIFY(QTest::qWaitFor([&] { return !watch.painted.isEmpty() && watch.painted.last() == text; }, 1000));
        QVERIFY(dialog.Label1->updatesEnabled());
        dialog.Label1->setText(QStringLiteral("ファイル出力中"));
        QVERIFY(QTest::qWaitFor([&] { return watch.painted.last() == QStringLiteral("ファイル出力中"); }, 1000));
    }
};

QTEST_MAIN(TestWait)
#include "tst_e2e_wait.moc"
