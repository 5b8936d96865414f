// SPDX-License-Identifier: GPL-3.0-or-later
#include "ptyserver.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

PtyServer::PtyServer(QObject *parent) : QObject(parent)
{
    clock_.start();
    pumpTimer_.setSingleShot(true);
    pumpTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pumpTimer_, &QTimer::timeout, this, &PtyServer::pump);
}

PtyServer::~PtyServer()
{
    if (masterFd_ >= 0) ::close(masterFd_);
    if (slaveKeepFd_ >= 0) ::close(slaveKeepFd_);
}

bool PtyServer::start(QString *error)
{
    auto fail = [&](const char *what) {
        if (error) *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
        return false;
    };
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (masterFd_ < 0) return fail("posix_openpt");
    if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0) return fail("grantpt/unlockpt");
    char name[128];
    if (::ptsname_r(masterFd_, name, sizeof name) != 0) return fail("ptsname");
    slavePath_ = QString::fromLocal8Bit(name);
    // Keeping one slave descriptor open ourselves means the master never reads as hung up
    // between two openings of the port by the program.
    slaveKeepFd_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveKeepFd_ < 0) return fail("open slave");
    termios tio;
    if (::tcgetattr(slaveKeepFd_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slaveKeepFd_, TCSANOW, &tio);
    }
    notifier_ = new QSocketNotifier(masterFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyServer::onReadable);
    return true;
}

QByteArray PtyServer::hostBytes() const
{
    QByteArray out;
    for (const auto &e : record_)
        if (e.fromHost) out.append(char(e.byte));
    return out;
}

QByteArray PtyServer::writerBytes() const
{
    QByteArray out;
    for (const auto &e : record_)
        if (!e.fromHost) out.append(char(e.byte));
    return out;
}

void PtyServer::hangUp()
{
    if (masterFd_ < 0) return;
    delete notifier_;
    notifier_ = nullptr;
    ::close(masterFd_);
    masterFd_ = -1;
    inQueue_.clear();
    outQueue_.clear();
    adapterHeld_.clear();
    emit hungUp();
}

void PtyServer::onReadable()
{
    readMaster();
    pump();
}

void PtyServer::readMaster()
{
    uint8_t buf[4096];
    for (;;) {
        const ssize_t n = ::read(masterFd_, buf, sizeof buf);
        if (n <= 0) break;
        const qint64 now = nowUs();
        for (ssize_t i = 0; i < n; ++i) {
            if (recording_) record_.append(WireEvent{now / 1000, true, buf[i]});
            ++totals_.fromHost;
            emit wireByte(now / 1000, true, buf[i]);
            qint64 due = now;
            if (timed_) {
                // A byte has arrived only once its ten bit times have passed on the line.
                due = std::max(now, inLineFreeUs_) + qint64(kByteUs);
                inLineFreeUs_ = due;
            }
            inQueue_.push_back(Pending{due, buf[i], true, 0});
        }
    }
}

void PtyServer::pump()
{
    for (;;) {
        if (masterFd_ < 0) return;
        qint64 now = nowUs();
        bool progressed = true;
        while (progressed) {
            progressed = false;
            while (!inQueue_.empty() && inQueue_.front().dueUs <= now) {
                const uint8_t b = inQueue_.front().byte;
                // Replies are timed from when the byte arrived on the modelled line, not from
                // when we got round to it, so lateness here never adds up.
                qint64 ready = timed_ ? inQueue_.front().dueUs : now;
                inQueue_.pop_front();
                emit byteFromHost(b);
                for (const OutUnit &u : writer_.feed(b)) {
                    totals_.picBusyUs += u.busyUs;
                    qint64 due = ready + qint64(u.holdMs) * 1000;
                    if (timed_) {
                        due = std::max(due + u.busyUs, outLineFreeUs_) + qint64(kByteUs);
                        outLineFreeUs_ = due;
                    }
                    outQueue_.push_back(Pending{due, u.byte, false, u.busyUs});
                    ready = due;
                }
                if (writer_.hungUp()) {
                    // The fault hangs up in place of a reply: what the adapter held and what was
                    // queued before it go first, so the program sees every byte it was sent.
                    if (!adapterHeld_.isEmpty()) writeBytes(adapterHeld_);
                    adapterHeld_.clear();
                    while (!outQueue_.empty()) {
                        writeByte(outQueue_.front().byte);
                        outQueue_.pop_front();
                    }
                    hangUp();
                    return;
                }
                progressed = true;
            }
            // Everything due goes out in one write, so a reply of several bytes reaches the
            // program together, as it would from a writer that sends them back to back.
            // With an adapter modelled, a byte due here has only reached the adapter, which
            // passes it on later with the rest of its packet.
            QByteArray due;
            while (!outQueue_.empty() && outQueue_.front().dueUs <= now) {
                if (adapterLatencyUs_ > 0) adapterReceive(outQueue_.front().dueUs, outQueue_.front().byte, due);
                else due.append(char(outQueue_.front().byte));
                outQueue_.pop_front();
                progressed = true;
            }
            if (!adapterHeld_.isEmpty() && adapterFlushUs_ <= now) {
                adapterSend(adapterFlushUs_, due);
                progressed = true;
            }
            if (!due.isEmpty()) writeBytes(due);
            now = nowUs();
        }
        qint64 next = -1;
        if (!inQueue_.empty()) next = inQueue_.front().dueUs;
        if (!outQueue_.empty() && (next < 0 || outQueue_.front().dueUs < next)) next = outQueue_.front().dueUs;
        if (!adapterHeld_.isEmpty() && (next < 0 || adapterFlushUs_ < next)) next = adapterFlushUs_;
        if (next < 0) {
            // Nothing queued. Just after a reply the program's answer is usually on its way:
            // watch the line awake for a moment, so that answer is timed from when it was sent
            // rather than from when a sleeping simulator would have noticed it. Yielding lets
            // the kernel's own pseudo-terminal work run on this CPU meanwhile.
            if (!timed_ || now - lastReplyUs_ > kWatchUs) return;
            pollfd pfd{masterFd_, POLLIN, 0};
            const timespec zero{0, 0};
            if (::ppoll(&pfd, 1, &zero, nullptr) > 0 && (pfd.revents & POLLIN)) readMaster();
            else sched_yield();
            continue;
        }
        const qint64 waitUs = next - now;
        if (!timed_ || waitUs > 3000) {
            // Long waits go back to the event loop; a timed one wakes a little early and
            // finishes below with a fine-grained wait.
            const qint64 early = timed_ ? 1500 : 0;
            pumpTimer_.start(int(std::max<qint64>(0, waitUs - early + 999) / 1000));
            return;
        }
        // Short waits on the modelled line: sleep to shortly before the byte is due and watch
        // the clock for the rest, taking in whatever the program sends meanwhile with its true
        // arrival time. A process that sleeps to the due time itself wakes tens of
        // microseconds late (an idle CPU waking up), and the program would be charged for it.
        pollfd pfd{masterFd_, POLLIN, 0};
        const timespec ts{0, long(std::max<qint64>(0, waitUs - kSpinUs)) * 1000};
        if (::ppoll(&pfd, 1, &ts, nullptr) > 0 && (pfd.revents & POLLIN)) readMaster();
    }
}

void PtyServer::setTimed(bool on)
{
    timed_ = on;
    // Sleeps end when asked rather than up to 50 us later, the kernel's default slack.
    if (on) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void PtyServer::setAdapterLatency(int ms, int packetBytes)
{
    adapterLatencyUs_ = qint64(std::max(0, ms)) * 1000;
    adapterPacket_ = std::max(1, packetBytes);
    if (adapterLatencyUs_ == 0 && !adapterHeld_.isEmpty()) {
        // No adapter any more: what it held goes now.
        adapterFlushUs_ = 0;
        pump();
    }
}

void PtyServer::adapterReceive(qint64 arrivalUs, uint8_t byte, QByteArray &out)
{
    // Events in the adapter's own order: a timer that ran out before this byte arrived has
    // already sent what was held.
    if (!adapterHeld_.isEmpty() && adapterFlushUs_ <= arrivalUs) adapterSend(adapterFlushUs_, out);
    if (adapterHeld_.isEmpty()) {
        // The timer has kept ticking since the last packet: the byte goes at the next tick.
        const qint64 ticks = std::max<qint64>(0, arrivalUs - adapterLastPacketUs_) / adapterLatencyUs_ + 1;
        adapterFlushUs_ = adapterLastPacketUs_ + ticks * adapterLatencyUs_;
    }
    adapterHeld_.append(char(byte));
    // A full packet goes at once, and restarts the timer.
    if (adapterHeld_.size() >= adapterPacket_) adapterSend(arrivalUs, out);
}

void PtyServer::adapterSend(qint64 atUs, QByteArray &out)
{
    out.append(adapterHeld_);
    adapterHeld_.clear();
    adapterLastPacketUs_ = atUs;
}

void PtyServer::writeByte(uint8_t b) { writeBytes(QByteArray(1, char(b))); }

void PtyServer::writeBytes(const QByteArray &bytes)
{
    lastReplyUs_ = nowUs();
    // One write reaches the program at one moment, so its bytes share one time.
    const qint64 ms = lastReplyUs_ / 1000;
    for (char c : bytes) {
        if (recording_) record_.append(WireEvent{ms, false, uint8_t(c)});
        ++totals_.fromWriter;
        emit wireByte(ms, false, uint8_t(c));
    }
    qsizetype done = 0;
    for (int tries = 0; tries < 1000 && done < bytes.size(); ++tries) {
        const ssize_t n = ::write(masterFd_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        ::usleep(1000);
    }
}

}  // namespace sim
