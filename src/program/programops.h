#pragma once
// Program memory exchanges of the operation dialog.

class OperationContext;
class ProgrammerLink;
class QString;

// "L": erase the program memory, with its three outcomes and their messages.
void EraseProgram(ProgrammerLink &link, OperationContext &ctx);

// Enable the time-out, wait for the first reply byte, disable the time-out, read one unit.
QString WaitReply(ProgrammerLink &link, OperationContext &ctx);
