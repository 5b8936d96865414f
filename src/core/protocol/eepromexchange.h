// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Data EEPROM exchanges: read all 64 bytes ("X"), erase ("F") and write one byte ("V").

#include "core/protocol/host.h"

#include <array>

class ProgrammerLink;

namespace eeprom {

constexpr int kBytes = 64;
// Reply time-outs: the view's, and the byte entry's.
constexpr int kViewTimeoutMs = 1000;
constexpr int kEntryTimeoutMs = 3000;
// The writer needs this long after an erase before it is read back.
constexpr int kErasePauseMs = 1000;
// The wait between sending "F" and looking for its answer.
constexpr int kEraseAnswerMs = 300;
// Time for the PIC to finish a byte before the view reads it back.
constexpr int kWritePauseMs = 500;

// What the view shows while the read goes on, beyond the progress line.
class ViewHost : public ExchangeHost {
public:
    // The view's buttons (refresh and erase) usable or not.
    virtual void setButtonsEnabled(bool on);
    // A read begins: what the view showed is no longer the PIC's.
    virtual void readStarting();
    // Byte `address` is the one being read now.
    virtual void reading(int address);
    virtual void cellRead(int address, int value);
    // A read has come to its end normally: the view may put its cursor back.
    virtual void readEnded();
};

struct ReadResult {
    Outcome outcome = Outcome::Done;
    std::array<int, kBytes> bytes;  // -1 where no byte was read
    int count = 0;                  // bytes read, from address 0 on
    // The erase's "F" went out, and its acknowledgement came: sent without erased, the EEPROM
    // may or may not have been erased.
    bool eraseSent = false;
    bool erased = false;
    ReadResult() { bytes.fill(-1); }
};

ReadResult readEeprom(ProgrammerLink &link, ViewHost &host);
// Asks (Yes/No), erases the whole EEPROM, pauses and reads it back.
ReadResult eraseEeprom(ProgrammerLink &link, ViewHost &host);

// What the byte entry shows while it writes.
class EntryHost : public ExchangeHost {
public:
    virtual void setButtonsEnabled(bool on);  // write and close
    // Told once the writer has taken the address: the view must read back after the dialog.
    virtual void byteSent();
};

// Checks the entry and writes it at the address; Done when the writer accepted the byte.
// A bad entry gives Declined, with its message shown. *valueSent tells whether the value went
// out: if so and the outcome is not Done, the byte may or may not be in the PIC.
Outcome writeEepromByte(ProgrammerLink &link, EntryHost &host, int address, const QString &entry, bool *valueSent = nullptr);

}  // namespace eeprom
