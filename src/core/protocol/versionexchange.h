// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's version, and the writer's firmware version query ("@").

#include "core/protocol/host.h"

class ProgrammerLink;

namespace about {

constexpr int kMajor = 1;
constexpr int kMinor = 7;
constexpr int kQueryTimeoutMs = 500;

// "Ver " + major as "##." (no leading zeros, then a point; 0 prints nothing) + minor as "0#"
// (at least two digits): 1, 7 gives "Ver 1.07"; 0, 7 gives "Ver .07".
QString versionLine(int major, int minor);

// The message line for a firmware answer whose characters before the closing "a" were
// `accumulated`: its first character, a point, its last two characters.
QString firmwareVersionText(const QString &accumulated);

struct VersionResult {
    Outcome outcome = Outcome::Done;
    QString text;  // firmwareVersionText of the answer
};

// "@": the version characters then "a", which ends the answer only from the third character
// on; at most ten characters are taken. Without such an answer the outcome is not Done.
VersionResult queryFirmwareVersion(ProgrammerLink &link, ExchangeHost &host);

}  // namespace about
