// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line's rows of the benchmark: veltraw-cli and veltraw-sim --timed as processes.

#include <QString>

// Prints the rows (only doctor's when `only` is "doctor"); returns how many failed, came out
// below their floor or missed their goal.
int runCliBench(const QString &simProgram, const QString &cliProgram, const QString &only = QString());
