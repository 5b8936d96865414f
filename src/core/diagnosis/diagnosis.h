// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The diagnosis of the whole path to the PIC: the device, the right to open it, whether it is
// free, programs that grab serial adapters, the adapter itself, the writer, the target board
// and, on request, the program memory. Each check ends ok, warn or fail with what was found
// and what to do, in the user's words. Nothing is written to the writer's PIC.

#include "core/diagnosis/serialdevice.h"
#include "core/diagnosis/systemroot.h"

#include <QString>
#include <QVector>
#include <functional>

class ProgrammerLink;

namespace diagnosis {

enum class Status { Ok, Warn, Fail };
const char *statusName(Status s);  // "ok", "warn", "fail"

struct Check {
    QString name;  // "device", "permission", "busy", "grabbers", "adapter", "writer", "target", "deep"
    Status status = Status::Ok;
    QString detail;
    QString remedy;
    int exitCode = 0;  // for a failure: the exit status veltraw-cli gives for it
};

struct Request {
    QString device;  // the system path to diagnose
    QString how;     // how it was chosen (a COM number's mapping), for the detail; may be empty
    QString chooseError;  // why no device could be named, when device is empty
    QString root = QStringLiteral("/");
    bool deep = false;
    // The window program's open link: used instead of opening the device a second time.
    ProgrammerLink *sharedLink = nullptr;
};

// What a reply's round trip may take at 4800 baud (a byte each way, 10 bits a byte), and how
// much slower one must be before the adapter is named.
constexpr double kRoundTripMs = 2 * 10 * 1000.0 / 4800.0;
constexpr double kSlowSlackMs = 6.0;
// Link pings ("S"), and how long each may wait for its "s".
constexpr int kPings = 8;
constexpr int kPingTimeoutMs = 1000;
constexpr int kSilentTries = 3;

class Runner {
public:
    explicit Runner(const Request &request);
    ~Runner();
    // Called with each check as soon as it is done.
    std::function<void(const Check &)> onCheck;
    // The window that runs the diagnosis has gone: the run stops at the next wait.
    std::function<bool()> cancelled;
    // Runs every check, in order.
    QVector<Check> run();
    // The adapter found (for the udev rule).
    const DeviceInfo &device() const { return info_; }

private:
    struct Impl;
    Impl *d;
    DeviceInfo info_;
};

// The exit status of a run: the first failure's, else 0.
int exitCode(const QVector<Check> &checks);
// The run as plain text, one check after another, for a report or the clipboard.
QString report(const QVector<Check> &checks, const QString &device);
// A check's name for people ("デバイス", ...).
QString checkLabel(const QString &name);
QString statusLabel(Status s);

}  // namespace diagnosis
