// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What differs between the systems the program runs on, in one place. Everything else goes
// through Qt. The Windows branches cannot be run here: keep them few and obvious.

#include <QString>

class QFile;

namespace platform {

enum class OpenResult { Regular, Missing, Other };

// Opens path for reading only when it is a regular file. Anything else in its place is no file
// of ours: a FIFO would block the open until some writer came, a device such as /dev/zero
// would never end.
OpenResult openRegularFile(QFile &file, const QString &path);

// A regular file that can be opened for reading (a folder, a FIFO or a device is not).
bool isRegularFile(const QString &path);

// Writes straight to an open serial device without blocking. Returns the bytes written; *full
// tells whether the device would take no more just now. Where the system offers no such
// write, returns 0 with *full false and the caller writes through the port's own buffer.
qint64 writeNow(qintptr handle, const char *data, qint64 size, bool *full);

// The device a COM number names when nothing else maps it: the system's own COMn on Windows,
// /dev/ttyS(n-1) elsewhere.
QString defaultComDevice(int comNumber);
// A Wine-style link ~/.wine/dosdevices/comN, where such links exist; empty on Windows.
QString wineComLink(int comNumber, const QString &homeDir);

// A USB serial adapter's latency timer in ms (how long it holds received bytes), where the
// system tells it (Linux: /sys/bus/usb-serial/devices/<tty>/latency_timer); -1 elsewhere.
int latencyTimerMs(const QString &device);
// Where /sys is looked for (tests give a folder of their own).
void setSysRoot(const QString &root);

// Asks the serial driver to pass received bytes on at once (Linux: ASYNC_LOW_LATENCY, which
// ftdi_sio turns into a 1 ms latency timer). Best effort: *what says what happened.
bool requestLowLatency(qintptr handle, QString *what);

}  // namespace platform
