// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data EEPROM view made ready for a test: the program started, the view shown from the
// main window and read once; the wire record and the messages cleared.

#include "gui/frmeeprom.h"
#include "support/harness.h"

inline frmEPROM *readyView(Harness &h)
{
    h.start();
    h.form->EPROMCommand1->click();
    frmEPROM *v = nullptr;
    const bool read = h.waitFor([&] {
        v = LoadedFrmEPROM();
        return h.hostBytes().contains('X') && v && !v->running();
    });
    if (!read) qFatal("the view did not read");
    h.clearWire();
    h.messages.clear();
    return v;
}
