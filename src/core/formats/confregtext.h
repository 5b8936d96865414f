// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration register shown as the four lines of the register window. No widgets here.

#include <QString>
#include <cstdint>

namespace confreg {

// Oscillator, watchdog, power-up timer and code protection of configuration byte b, one line
// each (an 8-character label, then the value), joined by CR LF. Bits 5 to 7 play no part.
QString decodeConfigByte(uint8_t b);

}  // namespace confreg
