// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

OpenResult openRegularFile(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? OpenResult::Missing : OpenResult::Other;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OpenResult::Other;
    }
    return OpenResult::Regular;
#else
    const QFileInfo info(path);
    if (!info.exists()) return OpenResult::Missing;
    if (!info.isFile()) return OpenResult::Other;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) ? OpenResult::Regular : OpenResult::Other;
#endif
}

bool isRegularFile(const QString &path)
{
    if (path.isEmpty()) return false;
    QFile f;
    return openRegularFile(f, path) == OpenResult::Regular;
}

qint64 writeNow(qintptr handle, const char *data, qint64 size, bool *full)
{
    *full = false;
#ifdef Q_OS_UNIX
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(int(handle), data + done, size_t(size - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        *full = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        break;
    }
    return done;
#else
    Q_UNUSED(handle)
    Q_UNUSED(data)
    Q_UNUSED(size)
    return 0;
#endif
}

QString defaultComDevice(int comNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

QString wineComLink(int comNumber, const QString &homeDir)
{
#ifdef Q_OS_WIN
    Q_UNUSED(comNumber)
    Q_UNUSED(homeDir)
    return QString();
#else
    return homeDir + QStringLiteral("/.wine/dosdevices/com%1").arg(comNumber);
#endif
}

namespace {
QString g_sysRoot = QStringLiteral("/sys");
}  // namespace

void setSysRoot(const QString &root) { g_sysRoot = root; }

int latencyTimerMs(const QString &device)
{
#ifdef Q_OS_LINUX
    // The sysfs folder is named after the tty, also when the device is a by-id link.
    const QString tty = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    if (tty.isEmpty()) return -1;
    QFile f(QStringLiteral("%1/bus/usb-serial/devices/%2/latency_timer").arg(g_sysRoot, tty));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    bool ok = false;
    const int ms = f.readAll().trimmed().toInt(&ok);
    return ok ? ms : -1;
#else
    Q_UNUSED(device)
    return -1;
#endif
}

bool requestLowLatency(qintptr handle, QString *what)
{
#ifdef Q_OS_LINUX
    struct serial_struct ss {};
    if (::ioctl(int(handle), TIOCGSERIAL, &ss) != 0) {
        *what = QStringLiteral("low latency not available: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (ss.flags & ASYNC_LOW_LATENCY) {
        *what = QStringLiteral("low latency already on");
        return true;
    }
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(int(handle), TIOCSSERIAL, &ss) != 0) {
        *what = QStringLiteral("low latency refused: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    *what = QStringLiteral("low latency requested");
    return true;
#else
    Q_UNUSED(handle)
    *what = QStringLiteral("low latency: nothing to ask on this system");
    return false;
#endif
}

}  // namespace platform
