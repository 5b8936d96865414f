// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data file of "eeprom write" and the window program's "/F" start, looked at more strictly
// than the write reads it (which takes anything that is not a number as 0 and repeats the last
// values of a short file), and written as "eeprom read -o" gives it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace cli {

struct DataFileCheck {
    QString readError;     // the file could not be read at all
    QStringList errors;    // "line N: ..." each; any of them refuses the file
    QStringList warnings;
};

DataFileCheck checkDataFile(const QString &path);

// 64 lines "address,value", both decimal: what the write reads back as the same 64 bytes.
QByteArray dataFileText(const std::array<int, 64> &bytes);

}  // namespace cli
