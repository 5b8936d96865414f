// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "M" exchange of the "/F" start: after "m", each data byte of the file as two 7-bit groups,
// each pair acknowledged with "m" or "a". It has no time-out: only a reply, a closed port or
// the host cancelling ends a wait.

#include "core/protocol/host.h"

class ProgrammerLink;

namespace datafilewrite {

struct Result {
    Outcome outcome = Outcome::Done;
    int written = 0;  // bytes the writer acknowledged, from address 0 on
    // The byte at address `written` went out but was never acknowledged: it may or may not be
    // in the PIC.
    bool unconfirmed = false;
};

Result writeDataFile(ProgrammerLink &link, ExchangeHost &host, const QString &path);

}  // namespace datafilewrite
