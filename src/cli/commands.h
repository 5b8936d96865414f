// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of veltraw-cli, one row each in the table of commands.cpp: the words that name
// it, its arguments, its own options, its line in the help and the function that runs it. Each
// tells what it does on standard error, gives its results on standard output (or as JSON
// events), fills the result event and returns the exit status.

#include <QStringList>
#include <QVector>

namespace cli {

struct Run;

struct Command {
    QString words;             // "write", "eeprom read": as typed, and as the result event names it
    int arguments = 0;         // words after it that are not options
    QStringList options;       // its own options, as options.cpp spells them ("-o", "--config")
    // Texts in the context "cli", translated where shown.
    const char *synopsis = nullptr;          // the rest of its help line: "FILE.hex [--config WORD]"
    const char *help = nullptr;              // what it does, in the help
    const char *missingArguments = nullptr;  // the usage error when its arguments are not all there (%1: words)
    int (*run)(Run &) = nullptr;
    bool outputRequired = false;  // -o must be given
};

// Every command, in the help's order.
const QVector<Command> &commands();
// The help: the command list between the text's head and tail.
QString helpText();
// The usage error when the command's arguments are not all there, in the running language.
QString missingArgumentsText(const Command &c);

}  // namespace cli
