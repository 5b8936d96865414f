// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration word's meaningful bits and the configuration dialog's selection.
// Bits 1-0 FOSC (0 LP, 1 XT, 2 HS, 3 RC), bit 2 WDT (1 on), bit 3 PWRTE and bit 4 CP
// (both active low). No widgets here.

#include <QString>
#include <QtGlobal>

namespace configword {

// Selected index of each option array of the dialog.
struct Selection {
    int oscillator = 3;   // Option1: 0 RC, 1 LP, 2 XT, 3 HS
    int watchdog = 1;     // Option2: 0 ON, 1 OFF
    int powerUp = 1;      // Option3: 0 ON, 1 OFF
    int codeProtect = 1;  // Option4: 0 ON, 1 OFF
};

constexpr qint16 kDefaultWord = 26;  // HS, watchdog off, power-up timer off, no protection

// What the dialog shows for a word; bits above 4 are ignored.
Selection selectionFromWord(qint16 word);
// The word the dialog stores, rebuilt from nothing: always 0..31. An oscillator index
// outside 0..3 (nothing selected) counts as LP.
qint16 wordFromSelection(const Selection &s);

// A word's settings in words: "オシレータ XT、ウォッチドッグタイマ OFF、パワーアップタイマ ON、
// コードプロテクト OFF".
QString describe(int word);

}  // namespace configword
