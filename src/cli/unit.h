// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One unit: one board, one command run on it. What the log and the serial number's record
// need to know of it while the command runs.

#include <QElapsedTimer>
#include <QString>
#include <optional>

namespace cli {

struct Unit {
    QElapsedTimer clock;
    QString time;                  // when it began, ISO 8601 with the zone
    std::optional<qint64> serial;  // the number taken for it
    QByteArray sha256;             // of the file as it was read for the unit
};

// The device the session of the current unit chose; empty until then (no board was reached
// for, so the run is no unit).
inline QString &unitDevice()
{
    static QString device;
    return device;
}

}  // namespace cli
