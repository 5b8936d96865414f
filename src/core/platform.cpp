#include "core/platform.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
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

}  // namespace platform
