#pragma once
// Program memory write and read (with HEX export), and the configuration word lookup.

class OperationContext;
class ProgrammerLink;
class QString;

// Replaces ConfigWord with the word at 2007h of the HEX file, when the file holds one.
void LoadConfigWordFromHex(const QString &path);

// Shows the configuration word dialog modally; ConfigConfirmed tells whether it was confirmed.
void ShowConfigDialog();

void WriteProgram(ProgrammerLink &link, OperationContext &ctx, const QString &path);
void ReadProgram(ProgrammerLink &link, OperationContext &ctx);
