// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What several commands share: input and output file checks, the listing of a comparison,
// the configuration word's choice, and ending a command on a failed exchange.

#include "cli/run.h"
#include "cli/writersession.h"
#include "core/formats/configword.h"
#include "core/formats/memoryimage.h"
#include "core/protocol/verify.h"

namespace cli {

// 0 when the file is a regular file we can read; else the status (66), the reason told.
int checkInputFile(Run &run, const QString &path);
// Before anything is sent: 0 when path can be written (replaced), else 73, the reason told.
int checkOutputFile(Run &run, const QString &path);
// Writes data to path (or standard output for "-") so that nothing half-written is left: 0 or 73.
int saveOutput(Run &run, const QString &path, const QByteArray &data);

// Tells the file's problems (errors with file and line, warnings as such); 65 when the file
// must not be sent, else 0.
int reportFileIssues(Run &run, const QString &path, const memoryimage::Image &img, bool force);

struct ConfigChoice {
    int word = 0;      // as chosen, before the dialog's mapping
    int written = 0;   // what the dialog's "OK" makes of it: bits 0-4
    int storedWord = configword::kDefaultWord;
    QString source;    // "option", "file", "settings", "default"
    QString sourceText;
};
// --config, else the file's word at 2007h, else the settings file's [Config] word (26 when
// missing), as the window program loads it.
ConfigChoice chooseConfigWord(const Options &o, const memoryimage::Image &img);

// A difference as its JSON event.
QJsonObject mismatchEvent(const verify::Mismatch &m);
// The difference a mismatch event tells (a run on another port sends them).
verify::Mismatch mismatchFromEvent(const QJsonObject &e);
// Every mismatch (a line each, or an event each) and the summary; fills the result event.
void reportComparison(Run &run, const verify::Report &r);
// verify --listing: the file's and the PIC's instruction (or configuration) of a mismatch.
QString mismatchInstructions(const verify::Mismatch &m);
// The exit status a comparison gives.
int comparisonStatus(const verify::Report &r);

// After a failed exchange: a lost port told, the error kept for the result event.
int failed(Run &run, Session &s, Outcome o);
int failedWith(Run &run, Session &s, int status);
// Between two exchanges: after Ctrl+C the next one is not begun. True when the command must end.
bool stopHere(Run &run, Session &s, int *status);

// The step an exchange's progress line names: the word about to be written, or received.
int writeStep(const QString &line, const std::array<int, 1025> &sentBefore);
int readStep(const QString &line);

// The phases' costs on the line.
Phase writePhase(int words);
Phase readPhase();
Phase eepromWritePhase(int bytes);
Phase eepromReadPhase();

}  // namespace cli
