// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/diagnosis/systemroot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace diagnosis {

namespace {
// A link's target exactly as written.
QString rawLink(const QString &p)
{
#ifdef Q_OS_UNIX
    char buf[4096];
    const ssize_t n = ::readlink(QFile::encodeName(p).constData(), buf, sizeof buf - 1);
    return n > 0 ? QFile::decodeName(QByteArray(buf, int(n))) : QString();
#else
    return QFile::symLinkTarget(p);
#endif
}
}  // namespace

SystemRoot::SystemRoot(const QString &root)
{
    const QString clean = QDir::cleanPath(root.isEmpty() ? QStringLiteral("/") : root);
    if (clean != QLatin1String("/")) root_ = clean;
}

QString SystemRoot::path(const QString &systemPath) const
{
    if (root_.isEmpty() || systemPath.startsWith(root_ + QLatin1Char('/'))) return systemPath;
    return root_ + systemPath;
}

QString SystemRoot::systemPath(const QString &rootedPath) const
{
    if (root_.isEmpty()) return rootedPath;
    if (rootedPath == root_) return QStringLiteral("/");
    if (rootedPath.startsWith(root_ + QLatin1Char('/'))) return rootedPath.mid(root_.size());
    return rootedPath;
}

QString SystemRoot::readText(const QString &systemPath) const
{
    QFile f(path(systemPath));
    // sysfs files say they are 4096 bytes long whatever they hold: read what comes.
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.read(65536)).trimmed();
}

bool SystemRoot::exists(const QString &systemPath) const
{
    const QFileInfo info(path(systemPath));
    return info.exists() || info.isSymLink();
}

QStringList SystemRoot::entries(const QString &systemDir) const
{
    return QDir(path(systemDir)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString SystemRoot::linkTarget(const QString &systemPath) const
{
    const QString p = path(systemPath);
    const QFileInfo info(p);
    if (!info.isSymLink()) return QString();
    QString target = QFile::symLinkTarget(p);
    // An absolute target in a tree means the tree's own path.
    const QString raw = rawLink(p);
    if (!root_.isEmpty() && raw.startsWith(QLatin1Char('/'))) target = root_ + raw;
    return this->systemPath(QDir::cleanPath(target));
}

QString SystemRoot::resolve(const QString &systemPath) const
{
    QString p = systemPath;
    for (int hops = 0; hops < 40; ++hops) {
        const QString next = linkTarget(p);
        if (next.isEmpty() || !exists(next)) break;
        p = next;
    }
    return p;
}

namespace {
QList<uint> numbers(const QString &text)
{
    QList<uint> out;
    for (const QString &w : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint v = w.toUInt(&ok);
        if (ok) out << v;
    }
    return out;
}

QString statusField(const QString &status, const QString &field)
{
    for (const QString &line : status.split(QLatin1Char('\n')))
        if (line.startsWith(field + QLatin1Char(':'))) return line.mid(field.size() + 1);
    return QString();
}
}  // namespace

uint SystemRoot::uid() const
{
    const QList<uint> ids = numbers(statusField(readText(QStringLiteral("/proc/self/status")), QStringLiteral("Uid")));
    // The effective id decides what may be opened.
    return ids.size() >= 2 ? ids[1] : uint(-1);
}

QList<uint> SystemRoot::groups() const
{
    const QString status = readText(QStringLiteral("/proc/self/status"));
    QList<uint> out = numbers(statusField(status, QStringLiteral("Groups")));
    const QList<uint> gid = numbers(statusField(status, QStringLiteral("Gid")));
    if (gid.size() >= 2 && !out.contains(gid[1])) out << gid[1];
    return out;
}

QStringList SystemRoot::etcLine(const QString &file, int field, const QString &value) const
{
    const QString text = readText(file);
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QStringList f = line.split(QLatin1Char(':'));
        if (f.size() > field && f[field] == value) return f;
    }
    return {};
}

QString SystemRoot::userName(uint id) const { return etcLine(QStringLiteral("/etc/passwd"), 2, QString::number(id)).value(0); }

QString SystemRoot::groupName(uint gid) const { return etcLine(QStringLiteral("/etc/group"), 2, QString::number(gid)).value(0); }

QStringList SystemRoot::groupMembers(uint gid) const
{
    return etcLine(QStringLiteral("/etc/group"), 2, QString::number(gid)).value(3).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

uint SystemRoot::primaryGroup(const QString &user) const
{
    bool ok = false;
    const uint gid = etcLine(QStringLiteral("/etc/passwd"), 0, user).value(3).toUInt(&ok);
    return ok ? gid : uint(-1);
}

QList<SystemRoot::Process> SystemRoot::processes() const
{
    QList<Process> out;
    for (const QString &name : entries(QStringLiteral("/proc"))) {
        bool ok = false;
        const qint64 pid = name.toLongLong(&ok);
        if (!ok || pid <= 0) continue;
        out << Process{pid, readText(QStringLiteral("/proc/%1/comm").arg(pid))};
    }
    return out;
}

QList<SystemRoot::Process> SystemRoot::holders(const QString &systemPath) const
{
    QList<Process> out;
    const qint64 self = isReal() ? QCoreApplication::applicationPid() : -1;
    for (const Process &p : processes()) {
        if (p.pid == self) continue;
        const QString fdDir = QStringLiteral("/proc/%1/fd").arg(p.pid);
        for (const QString &fd : entries(fdDir)) {
            // The fd links name the system's own paths, in a tree too.
            if (rawLink(path(fdDir + QLatin1Char('/') + fd)) == systemPath) {
                out << p;
                break;
            }
        }
    }
    return out;
}

}  // namespace diagnosis
