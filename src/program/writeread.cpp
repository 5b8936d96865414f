#include "program/writeread.h"

#include "app/module1.h"

#include <QString>

// The write and read branches are not reachable yet: the main window keeps its Write and
// Read commands disabled until they arrive.
void LoadConfigWordFromHex(const QString &) {}
void ShowConfigDialog() { AppSettings.ConfigConfirmed = 0; }
void WriteProgram(ProgrammerLink &, OperationContext &, const QString &) {}
void ReadProgram(ProgrammerLink &, OperationContext &) {}
