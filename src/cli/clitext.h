// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// veltraw-cli's own texts: its help, its usage errors, what it tells on standard error and the
// lines of its results. What the windows and the exchanges show stays in core/messages.h.

#include <QString>

namespace portstatus {
struct Status;
}

namespace cli::text {

// Columns on a terminal: East Asian wide characters take two.
int displayWidth(QChar c);
int displayWidth(const QString &text);

// The help: what comes before the list of commands, and the options and exit statuses after it.
QString helpHead();
QString helpTail();

QString usageError(const QString &detail);
// Between the items of a list in a sentence.
QString listSeparator();
QString noCommand();
QString unknownCommand(const QString &name);
// actions: the words eeprom takes, as a list for the reader.
QString noEepromAction(const QString &actions);
QString unknownEepromAction(const QString &name, const QString &actions);
QString unknownOption(const QString &option);
QString unexpectedValue(const QString &option);
QString missingValue(const QString &option);
QString badProgressMode(const QString &mode);
QString optionNotForCommand(const QString &option, const QString &command);
QString extraArgument(const QString &argument);
QString outputRequired();
QString jsonAndStandardOutput();
QString badConfigWord(const QString &text);
QString badEepromAddress(const QString &text);
QString badEepromValue(const QString &text, const QString &problem);

QString warningLine(const QString &text);
QString progressLine(const QString &phase, int percent, int done, int total, int secondsLeft);
QString progressBar(const QString &phase, const QString &bar, int percent, int done, int total, int secondsLeft);
QString phaseWrite();
QString phaseRead();
QString phaseEepromWrite();
QString phaseEepromRead();

QString noPort(const QString &iniPath);
QString badComNumber(const QString &text);
// how: "-p" or "VELTRAW_PORT"; empty for the settings file's [Com] port.
QString comMapping(const QString &how, int comNumber, const QString &source, const QString &iniPath);
QString usingPort(const QString &device, const QString &how);
QString checkingLink();
QString linkSilent(const QString &device);
QString portLostDuring(const QString &device, const QString &reason);
QString interrupting();
QString interrupted();
QString answeredYes(const QString &question);
QString writerStoppedAnswering();
QString noFirmwareAnswer();
QString writerFellSilent(int written, int total);

// What a write, an erase or an EEPROM write that stopped part-way leaves in the PIC.
QString programWrittenUpTo(int next);     // words 0 to next - 1 written, next on not
QString programAllWritten(int next);      // every word of the file, up to next - 1 (none: 0)
QString programNothingWritten();
QString wordUnconfirmed(int address);
QString configWritten();
QString configUnconfirmed();
QString configNotWritten();
QString picPartlyWritten();
QString picUntouched();
QString eepromByteNotWritten(int address);
QString eepromWritten(int written, int total);
QString eepromWrittenUpTo(int written, int total, int next);
QString writeAgain();
QString eraseNotRun();

QString inputMissing(const QString &path);
QString inputNotAFile(const QString &path);
QString inputUnreadable(const QString &path);
QString outputIsFolder(const QString &path);
QString outputFolderMissing(const QString &path, const QString &folder);
QString outputNotWritable(const QString &path);
QString outputFailed(const QString &path, const QString &why);
QString saved(const QString &path);

QString fileLine(const QString &path, int line, const QString &text);
QString fileLineless(const QString &path, const QString &text);
QString lineNote(int line, const QString &text);
QString fileRefused(bool forceWouldDo);
QString noProgramWords();
QString noEepromInFile();
QString eepromLeftOut(int bytes, bool writing);

QString configChoice(int word, const QString &source, int written);
QString configFromOption();
QString configFromFile(int line);
QString configFromSettings(const QString &iniPath);
QString configDefault();
QString configDiffersFromPlan(int confirmed, int planned);
QString verifySkipped();
QString readingBack();

QString blank();
QString notBlank(int words);
QString notBlankWord(int address, int value);

QString dataFileNotANumber(const QString &field);
QString dataFileOutOfRange(const QString &field);
QString dataFileAddressIgnored(const QString &field, int address);
QString dataFileMoreAddressNotes(int more);
QString dataFileExtra(int used);
QString dataFileTooFew(int values, int needed);
QString dataFileInconsistent(int address);
QString dataFileRefused();
QString eepromByteWritten(int address, int value);
QString eepromErased();

QString noPorts();
QString portHeading(const QString &path, const QString &comNumbers);
QString portField(const QString &name, const QString &value);
QString portFieldDevice();
QString portFieldSerial();
QString portFieldDescription();
QString portFieldState();
QString portFieldLatency();
QString portMappedOnly(const QString &source);
QString portState(const portstatus::Status &s);
QString milliseconds(int ms);

QString standardInput();
QString disasmBeside(const QString &file, const QString &pic);
QString disasmConfigBeside(const QString &file, const QString &pic);
QString remedyLine(const QString &remedy);
QString udevInstallHint(const QString &rulePath, const QString &command);
QString diagnosing(const QString &device);
QString eraseCommandHint();
QString disasmUnused(int first, int last);
QString disasmNoProgramWords(const QString &source);

}  // namespace cli::text
