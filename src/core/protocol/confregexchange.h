// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration register read-back ("Y"): "y" and two data bytes, the second being the
// configuration byte.

#include "core/protocol/host.h"

class ProgrammerLink;

namespace confreg {

// One time-out for the whole read-back.
constexpr int kTimeoutMs = 3000;

struct ReadResult {
    Outcome outcome = Outcome::Done;
    int value = -1;  // the configuration byte
    QString text;    // decoded, as the window shows it
};

// On a time-out "C" goes out and the host is told (a window closes); a closed window ends the
// read-back without another byte.
ReadResult readConfigRegister(ProgrammerLink &link, ExchangeHost &host);

}  // namespace confreg
