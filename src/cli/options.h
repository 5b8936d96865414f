// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of veltraw-cli, taken apart: the options before (or among) the command's
// words, the command and its own options. Nothing is checked against files or ports here.

#include "cli/prodoptions.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace cli {

enum class ProgressMode { Auto, Bar, Lines, None };

struct Command;

struct Options {
    bool help = false;
    bool version = false;

    QString port;  // as given with -p; empty: not given
    bool json = false;
    bool quiet = false;
    ProgressMode progress = ProgressMode::Auto;

    const Command *command = nullptr;  // its row in the table of commands
    QString commandName;  // "write", "eeprom read", ... as the result event names it
    QStringList arguments;  // the command's words that are not options

    QString output;  // -o; "-" is standard output
    bool outputGiven = false;
    std::optional<int> configWord;  // --config
    bool noVerify = false;
    bool eeprom = false;
    bool force = false;
    ProductionOptions prod;
    bool deep = false;      // doctor --deep
    bool udevRule = false;  // doctor --udev-rule
    bool all = false;      // disasm: no run of erased words folded
    bool listing = false;  // verify: the instructions beside each mismatch
};

// Fills *o; returns the usage error, or an empty text when the line is good.
QString parseArguments(const QStringList &words, Options *o);

// A configuration word as --config takes it: 0x3FF1, 3FF1h or decimal, 0 to 3FFFh.
std::optional<int> parseConfigWord(const QString &text);
// An EEPROM address: one or two hexadecimal digits (a trailing h or a leading 0x allowed), 00 to 3F.
std::optional<int> parseEepromAddress(const QString &text);

}  // namespace cli
