#pragma once
// The command line's rows of the benchmark: veltraw-cli and veltraw-sim --timed as processes.

#include <QString>

// Prints the rows; returns how many failed or came out below their floor.
int runCliBench(const QString &simProgram, const QString &cliProgram);
