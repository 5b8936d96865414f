#pragma once
// Every text the program shows the user in a message box: its words, title, icon and buttons.
// The exchanges and the windows take their messages from here and nowhere else, so a front end
// that is not a window (the command line) reports the very same words.

#include <QString>

namespace messages {

enum class Icon { None, Critical, Information, Question, Exclamation };

// Buttons of a box, as flags; the answer is one of them.
enum Button : int { NoButton = 0, Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };

struct Message {
    QString text;
    QString title;
    int buttons = Ok;
    Icon icon = Icon::None;
    Button defaultButton = NoButton;
    QString detail;  // a line after the exact text: the cause, or how far an operation got
};

// ---- titles -------------------------------------------------------------------------------
extern const QString kProgramTitle;    // "VELTRA2オンボードライタ"
extern const QString kMainCaption;     // "VELTRA2オンボードプログラムライタ"
extern const QString kErrorTitle;      // "エラーが発生しました"
extern const QString kFileErrorTitle;  // "ファイルエラー"
extern const QString kTimeoutTitle;    // "タイムアウトエラー"

// ---- shared by several windows ---------------------------------------------------------------
Message linkBusy();  // another window is talking to the writer

// ---- start-up and the main window ---------------------------------------------------------------
Message alreadyRunning();
Message launchFileMissing();
Message launchArgumentWrong();
Message commPortError(const QString &title, const QString &detail);
Message writerSilent();  // the link check's watchdog
Message portLost(const QString &detail);
Message noHexFileChosen();
Message hexFileMissing();
Message editorFileMissing();
Message editorFailed();
QString noEditorSet();
QString editorDidNotStart(const QString &variable, const QString &command);
Message helpMissing(const QString &expectedPath);
// A USB serial adapter that holds replies for ms each time.
Message slowAdapter(int ms, const QString &device);
extern const QString kCommErrorStatus;   // "通信ポートエラーです"
extern const QString kSetUpCommStatus;   // "通信設定をしてください"
extern const QString kLinkCheckProgress; // the progress window's line during the link check

// ---- program memory ---------------------------------------------------------------------------
QString writeQuestion(const QString &path);
QString eraseQuestion();
QString readQuestion();
QString verifyQuestion(const QString &path);
Message verifyPassed(const QString &summary);
Message verifyProtected();
Message verifyFileStops(const QString &detail);
// The verify window's heading line.
QString verifyListHeading(const QString &path, int differences);
extern const QString kOperationBusy;     // "ＰＩＣマイコンボードと通信中..."
Message operationTimeout();
Message programPowerOff();
Message programWriterError();
Message programEraseWriterError();  // the erase's text has no full stop
Message programErased();
Message hexFileError();                      // the configuration word lookup
Message hexFileStopped(const QString &detail);  // the write stopped on a bad line
Message hexFileNotFound();
Message writeFailed(const QString &detail);
Message fileProcessError(const QString &detail);
Message writeDone();
Message readFileError(const QString &detail);
Message readIncomplete(const QString &detail);
Message readDone();
QString writingAt(int wordAddress);
QString receivingAt(int wordAddress);
extern const QString kExporting;         // "ファイル出力中"
QString stoppedAtLine(int line);
QString writtenBefore(int wordAddress);
extern const QString kStoppedAtConfig;
QString receivedWords(int received, int total);

// ---- data EEPROM ---------------------------------------------------------------------------------
Message eepromPowerOff();
Message eepromCommFailed();
Message eepromEraseQuestion();
Message entryPowerOff();
Message entryCommFailedFirst();
Message entryCommFailed();
Message entryProblem(const QString &text);
extern const QString kEepromBusy;        // "PICマイコンボードと通信中"
extern const QString kEepromWriting;     // "書込み中"

// ---- "/F" data-file write --------------------------------------------------------------------------
Message dataFilePowerOff();
Message dataFileCommFailed(const QString &detail = QString());
Message dataFileMissing();
Message dataFileUnreadable(const QString &detail);
Message dataFileDone();
QString dataFileStoppedAt(int address, int total);

// ---- configuration register -----------------------------------------------------------------------
Message confRegPowerOff();
Message confRegCommFailed();

}  // namespace messages

// ==== the comparison of the PIC with a file, and the command line's own texts ====================

namespace portstatus {
struct Status;
}

namespace messages {

// The comparison's summary ("space" as verify::Space: 0 program, 1 configuration word, 2 EEPROM).
QString verifyMatched(int programWords, bool configWord, int eepromBytes);
QString verifyDiffered(int programWords, int programCompared, int configWords, int eepromBytes, int eepromCompared);
QString verifyBits(int oneToZero, int zeroToOne);
QString verifyEepromBits(int oneToZero, int zeroToOne);
// eraseCommand: how the front end names its erase (a command, a button), with its particle.
QString verifyEraseFirst(const QString &eraseCommand);
// The window program's erase, for that line.
extern const QString kEraseCommandInWindow;
QString verifyProgramProtected();
QString mismatchLine(int space, int address, int expected, int actual);

namespace cli {

QString help();
QString usageError(const QString &detail);
QString noCommand();
QString unknownCommand(const QString &name);
QString noEepromAction();
QString unknownEepromAction(const QString &name);
QString unknownOption(const QString &option);
QString unexpectedValue(const QString &option);
QString missingValue(const QString &option);
QString badProgressMode(const QString &mode);
QString optionNotForCommand(const QString &option, const QString &command);
QString missingArgument(const QString &command);
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

}  // namespace cli

}  // namespace messages
