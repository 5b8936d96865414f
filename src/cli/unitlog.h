// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The end of a unit: its serial number's fate and its line in the log, JSON Lines appended and
// flushed whole, one line per unit, the keys always in one order.

#include "cli/unit.h"

#include <QJsonObject>
#include <QString>
#include <optional>

namespace cli {

struct Run;
struct Options;
class Output;

// Passed, failed and their sum over a run.
struct Tally {
    int passed = 0;
    int failed = 0;
    void add(bool pass) { (pass ? passed : failed) += 1; }
    int total() const { return passed + failed; }
    // To standard error and into the result event.
    void report(Output &out, QJsonObject *result) const;
};

// Starts a unit: the clock, the time, nothing taken yet.
void beginUnit(Unit *u);

// Ends the unit: records the serial number as passed or failed, writes the log line (or,
// for a run over several ports, gives it as a "unit" event). Returns the status, which becomes
// 73 when a passed unit's log line could not be written.
int endUnit(Run &run, int status, Tally *tally);
// Whether a unit's record is wanted at all: a log, or the events of a run over several ports.
bool wantsUnitRecord(const Options &o);

// The log line's text from a unit's record (keys in the log's order), and appending it.
QByteArray logLine(const QJsonObject &record);
bool appendLog(const QString &path, const QByteArray &line, QString *why);

// The file's SHA-256 in hexadecimal; empty when it cannot be read.
QByteArray fileSha256(const QString &path);
// The /dev/serial/by-id name of a device, or an empty text.
QString byIdName(const QString &device);

}  // namespace cli
