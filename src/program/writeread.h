#pragma once
// Program memory write and read (with HEX export), and the configuration word lookup.
// The exchanges talk only to the link and to the context of the window that runs them.

class OperationContext;
class ProgrammerLink;
class QString;

// Replaces ConfigWord with the word at 2007h of the HEX file, when the file holds one.
void LoadConfigWordFromHex(const QString &path);

// Shows the configuration word dialog modally; ConfigConfirmed tells whether it was confirmed.
void ShowConfigDialog();

// "W", then the file's words with "I" skips and "D" writes, then "G" with ConfigWord, "E".
void WriteProgram(ProgrammerLink &link, OperationContext &ctx, const QString &path);
// "R", the 1032 words, then the save dialog and the HEX file.
void ReadProgram(ProgrammerLink &link, OperationContext &ctx);
