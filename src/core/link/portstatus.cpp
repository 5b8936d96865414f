// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/portstatus.h"

#include "core/systemtext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace portstatus {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(portstatus)
};

#ifdef Q_OS_UNIX

bool alive(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

QString programName(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLocal8Bit(f.readAll().trimmed());
}

// The live process, not us, that holds a lock file: Qt's format (pid, program, host) or the
// older one of a bare process number that other serial programs write.
bool lockHolder(const QString &path, Status *s)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) return false;
    qint64 pid = 0;
    QString host;
    QString app;
    QLockFile lock(path);
    if (!lock.getLockInfo(&pid, &host, &app)) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return false;
        const QList<QByteArray> lines = f.read(4096).split('\n');
        pid = lines.value(0).trimmed().toLongLong();
    }
    if (pid == QCoreApplication::applicationPid() || !alive(pid)) return false;
    s->problem = PortProblem::Busy;
    s->holderPid = pid;
    s->holderName = programName(pid);
    if (s->holderName.isEmpty()) s->holderName = app;
    return true;
}

// Whether process pid has `target` open.
bool holds(qint64 pid, const QByteArray &target)
{
    const QByteArray dir = QByteArray("/proc/") + QByteArray::number(pid) + "/fd";
    DIR *d = ::opendir(dir.constData());
    if (!d) return false;
    bool found = false;
    while (dirent *e = ::readdir(d)) {
        if (e->d_name[0] == '.') continue;
        char buf[4096];
        const QByteArray link = dir + '/' + e->d_name;
        const ssize_t n = ::readlink(link.constData(), buf, sizeof buf - 1);
        if (n > 0 && QByteArray(buf, int(n)) == target) {
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

// A process other than us with `target` open, looking at the lock files' owners only or at
// every process we may see.
bool holderOf(const QString &target, bool everyProcess, Status *s)
{
#ifdef Q_OS_LINUX
    const QByteArray wanted = QFile::encodeName(target);
    const qint64 self = QCoreApplication::applicationPid();
    auto found = [&](qint64 pid) {
        s->problem = PortProblem::Busy;
        s->holderPid = pid;
        s->holderName = programName(pid);
        return true;
    };
    if (!everyProcess) {
        // The owners of every serial lock file: a program may have locked the port under
        // another of its names (a by-id link, say).
        const QString lockDir = QFileInfo(lockFilePath(QStringLiteral("x"))).absolutePath();
        DIR *d = ::opendir(QFile::encodeName(lockDir).constData());
        if (!d) return false;
        bool result = false;
        while (dirent *e = ::readdir(d)) {
            if (std::strncmp(e->d_name, "LCK..", 5) != 0) continue;
            Status owner;
            if (!lockHolder(lockDir + QLatin1Char('/') + QFile::decodeName(e->d_name), &owner)) continue;
            if (holds(owner.holderPid, wanted)) {
                *s = owner;
                result = true;
                break;
            }
        }
        ::closedir(d);
        return result;
    }
    DIR *d = ::opendir("/proc");
    if (!d) return false;
    bool result = false;
    while (dirent *e = ::readdir(d)) {
        char *end = nullptr;
        const qint64 pid = std::strtoll(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self) continue;
        if (holds(pid, wanted)) {
            result = found(pid);
            break;
        }
    }
    ::closedir(d);
    return result;
#else
    Q_UNUSED(target)
    Q_UNUSED(everyProcess)
    Q_UNUSED(s)
    return false;
#endif
}

#endif  // Q_OS_UNIX

}  // namespace

QString lockFilePath(const QString &device)
{
#ifdef Q_OS_UNIX
    // The folders in QSerialPort's order: the first readable one that has the file already or
    // can take it.
    static const QStringList folders = {
        QStringLiteral("/var/lock"),  QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"), QStringLiteral("/tmp"), QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.prepend(QLatin1String("/LCK.."));
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        if (info.isReadable() && (QFile::exists(folder + name) || info.isWritable())) return folder + name;
    }
#else
    Q_UNUSED(device)
#endif
    return QString();
}

Status check(const QString &device)
{
    Status s;
    const QFileInfo info(device);
    if (device.isEmpty() || !info.exists()) {
        s.problem = PortProblem::NoDevice;
        return s;
    }
#ifdef Q_OS_UNIX
    const QString real = info.canonicalFilePath();
    if (lockHolder(lockFilePath(device), &s) || lockHolder(lockFilePath(real), &s)) return s;
    if (holderOf(real, false, &s)) return s;
    // A pseudo-terminal's other side keeps its own end open (the simulated writer does): only
    // real devices are looked for in every process.
    if (!real.startsWith(QLatin1String("/dev/pts/")) && holderOf(real, true, &s)) return s;
    if (::access(QFile::encodeName(real).constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
        s.problem = PortProblem::NoPermission;
#endif
    return s;
}

Status diagnoseOpenFailure(const QString &device, const QString &qtErrorText)
{
    Status s = check(device);
    if (s.problem != PortProblem::None) return s;
    s.problem = PortProblem::Other;
    s.detail = qtErrorText;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return s;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
        s.problem = PortProblem::NoPermission;
        break;
    case EBUSY:
        s.problem = PortProblem::Busy;  // held exclusively (TIOCEXCL) by a program without a lock file
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        s.problem = PortProblem::NoDevice;
        break;
    default:
        s.detail = QString::fromLocal8Bit(std::strerror(errno));
        break;
    }
#endif
    return s;
}

QString text(const Status &s, const QString &device)
{
    switch (s.problem) {
    case PortProblem::None:
        return QString();
    case PortProblem::NoDevice:
        return Tr::tr("%1 が見つかりません。ケーブルの接続とポートの指定を確認してください。").arg(device);
    case PortProblem::NoPermission:
        return Tr::tr("%1 を開く権限がありません。dialout グループに加わり（sudo usermod -aG dialout ユーザー名）、"
                      "ログインし直してください。").arg(device);
    case PortProblem::Busy:
        if (s.holderPid > 0) {
            const QString who = s.holderName.isEmpty() ? Tr::tr("プロセス %1").arg(s.holderPid)
                                                       : Tr::tr("%1、プロセス %2").arg(s.holderName).arg(s.holderPid);
            return Tr::tr("%1 はほかのプログラム（%2）が使用中です。そのプログラムを終了するかポートを閉じてから、"
                          "もう一度実行してください。").arg(device, who);
        }
        return Tr::tr("%1 はほかのプログラムが使用中です。そのプログラムを終了するかポートを閉じてから、"
                      "もう一度実行してください。").arg(device);
    case PortProblem::Other:
        return systemtext::after(Tr::tr("%1 を開けません。").arg(device), s.detail);
    }
    return QString();
}

const char *problemName(PortProblem p)
{
    switch (p) {
    case PortProblem::None: return "ok";
    case PortProblem::NoDevice: return "missing";
    case PortProblem::NoPermission: return "no_permission";
    case PortProblem::Busy: return "busy";
    case PortProblem::Other: return "error";
    }
    return "error";
}

bool AliasLock::take(const QString &device)
{
    lock_.reset();
    const QString real = QFileInfo(device).canonicalFilePath();
    const QString path = lockFilePath(real);
    if (real.isEmpty() || path.isEmpty() || path == lockFilePath(device)) return true;
    lock_ = std::make_unique<QLockFile>(path);
    if (lock_->tryLock(0)) return true;
    lock_.reset();
    return false;
}

}  // namespace portstatus
