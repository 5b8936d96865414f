// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the PIC holds after a write, an erase or an EEPROM write, told when it stopped part-way
// (Ctrl+C, a signal, a writer that fell silent or answered wrongly, a lost port) and always
// given in the result event, so a script knows what is in the PIC.

#include "cli/run.h"
#include "core/protocol/programexchange.h"

namespace cli {

// next_address, config_written and unconfirmed; when the write stopped, the words written,
// the first one not written, the configuration word and what to do.
void reportProgramState(Run &run, const program::WriteResult &w, bool stopped);

// EEPROM bytes: eeprom_written and unconfirmed; when the write stopped at byte `at` (of
// `total` to write), which are written and what to do.
struct EepromState {
    int written = 0;
    int total = 0;
    int at = -1;  // the address the write stopped at; -1 when it did not begin a byte
    bool unconfirmed = false;
};
void reportEepromState(Run &run, const EepromState &e, bool stopped);

// erased and unconfirmed; when the erase stopped, whether it ran.
void reportEraseState(Run &run, bool sent, bool done, bool stopped);

}  // namespace cli
