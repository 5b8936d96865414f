// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial number's part in `write`: its checks before anything is sent, and taking it
// when the write starts, with the image and the HEX file to send made from it.

#include "cli/run.h"
#include "cli/serialnumber.h"
#include "core/formats/memoryimage.h"

#include <QTemporaryFile>
#include <optional>

namespace cli {

struct SerialWrite {
    std::optional<serialnumber::Place> place;
    QByteArray hex;            // the HEX file as read, for the retlw words' copy
    QTemporaryFile sendFile;   // that copy, when the number goes into program memory
};

// With --serial: 0 when the place lies in memory, clear of the file's data, and the number
// the source would give now fits it; else the status (64 for those), the reason told.
int checkSerial(Run &run, const memoryimage::Image &img, SerialWrite *sw);
// Takes the number for good and puts it into *img; *sendPath becomes the HEX file to send.
// 0, or the status, the reason told, nothing taken.
int takeSerial(Run &run, SerialWrite *sw, memoryimage::Image *img, QString *sendPath);

}  // namespace cli
