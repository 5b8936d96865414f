// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the diagnosis reads of the system (/dev, /sys, /proc, /run/udev, /etc) is read
// under one root folder: "/" for the real system, a tree of its own in a test. The user the
// diagnosis speaks for (uid, groups) comes from the tree too, from proc/self/status, since a
// test runs as root but has to play an ordinary user.

#include <QList>
#include <QString>
#include <QStringList>

namespace diagnosis {

class SystemRoot {
public:
    explicit SystemRoot(const QString &root = QStringLiteral("/"));
    bool isReal() const { return root_.isEmpty(); }
    // The path of an absolute system path inside the root.
    QString path(const QString &systemPath) const;
    // The system path of a path inside the root (the opposite of path()).
    QString systemPath(const QString &rootedPath) const;

    QString readText(const QString &systemPath) const;  // trimmed; empty when unreadable
    bool exists(const QString &systemPath) const;
    QStringList entries(const QString &systemDir) const;  // names, sorted; no dot entries
    // A link's target as a system path (relative targets resolved, absolute ones taken as
    // the root's own); empty when it is no link.
    QString linkTarget(const QString &systemPath) const;
    // The links followed as long as they lead somewhere in the root (a tree's device may be a
    // link out of it, to a pseudo-terminal of the real system: that link is kept).
    QString resolve(const QString &systemPath) const;

    // The user this process runs as, and its session's groups.
    uint uid() const;
    QList<uint> groups() const;
    QString userName(uint uid) const;          // from etc/passwd
    QString groupName(uint gid) const;         // from etc/group
    QStringList groupMembers(uint gid) const;  // the members etc/group lists
    uint primaryGroup(const QString &user) const;  // from etc/passwd; uint(-1) when unknown

    // The running processes' ids and program names (proc/<pid>/comm).
    struct Process {
        qint64 pid = 0;
        QString name;
    };
    QList<Process> processes() const;
    // The processes with systemPath open (proc/<pid>/fd links), leaving out ourselves.
    QList<Process> holders(const QString &systemPath) const;

private:
    QString root_;  // empty for the real system
    QStringList etcLine(const QString &file, int field, const QString &value) const;
};

}  // namespace diagnosis
