#pragma once
// The commands of veltraw-cli. Each tells what it does on standard error, gives its results on
// standard output (or as JSON events), fills the result event and returns the exit status.

#include "cli/options.h"
#include "cli/output.h"

#include <QJsonObject>

namespace cli {

struct Run {
    Output &out;
    const Options &options;
    QJsonObject result;  // what the result event carries beyond command, ok, exit and error
    QString error;       // the error text for the result event
};

int runPorts(Run &run);
int runWrite(Run &run);
int runVerify(Run &run);
int runRead(Run &run);
int runErase(Run &run);
int runBlankCheck(Run &run);
int runEepromRead(Run &run);
int runEepromWrite(Run &run);
int runEepromSet(Run &run);
int runEepromErase(Run &run);
int runConfig(Run &run);
int runVersion(Run &run);

}  // namespace cli
