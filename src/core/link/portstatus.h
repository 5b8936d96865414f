// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a serial device can be opened now, and if not why, in the user's terms. QSerialPort
// reports a port held by another program and a port we may not open with the same error
// (PermissionError); the remedies differ (close that program / join the dialout group), so
// this looks behind it: Qt's lock files, the processes that hold the device open, and the
// error open(2) gives.

#include <QLockFile>
#include <QString>
#include <memory>

namespace portstatus {

enum class PortProblem { None, NoDevice, NoPermission, Busy, Other };

struct Status {
    PortProblem problem = PortProblem::None;
    qint64 holderPid = 0;  // the process holding the port, when known
    QString holderName;    // its program name, when known
    QString detail;        // the system's words, for Other
};

// The lock file QSerialPort takes for a device name on this system ("LCK.." and the name
// without "/dev/", slashes as "_", in the first lock folder it can use); empty where Qt takes none.
QString lockFilePath(const QString &device);

// Without opening the device: missing, held by another process (its Qt lock file, under the
// name given or the one its links resolve to; on Linux, any process with a real serial device
// open), or not ours to open.
Status check(const QString &device);

// After an opening failed: check() again, then what open(2) itself says.
Status diagnoseOpenFailure(const QString &device, const QString &qtErrorText);

// The problem and its remedy, one or two sentences.
QString text(const Status &s, const QString &device);
// "ok", "missing", "no_permission", "busy", "error": for machine-readable output.
const char *problemName(PortProblem p);

// While a device is open under one name, the lock file of the name its links resolve to, so
// that a program opening it by that name sees it held too. Empty when the names agree.
class AliasLock {
public:
    // False when another process holds the port under the resolved name.
    bool take(const QString &device);
    void release() { lock_.reset(); }

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace portstatus
