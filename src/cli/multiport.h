// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One command on several writers at once. Each port gets a veltraw-cli of its own (the
// exchanges wait in nested event loops, so one process cannot drive two lines at a time
// without one's waits holding up the other); this one starts them with --json and shows
// their events: a status line per port on a terminal, port-prefixed lines otherwise, the
// events with "port" added under --json.

#include "cli/run.h"

#include <QStringList>

namespace cli {

// arguments: the command line as given (without the program's name). Returns the exit
// status: 0 when every port passed, else the first port's non-zero one, in port order.
int runSeveralPorts(Run &run, const QStringList &arguments);

// The arguments with every -p/--port taken out (the ports go in front again by the caller).
QStringList withoutPorts(const QStringList &arguments);
// The same for the options named (each with its value, given apart or attached).
QStringList withoutOptions(const QStringList &arguments, const QStringList &names);
// A command line a shell takes back as the same words.
QString shellLine(const QStringList &words);

}  // namespace cli
