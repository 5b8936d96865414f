// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every text the program shows the user in a message box: its words, title, icon and buttons.
// The exchanges and the windows take their messages from here and nowhere else, so a front end
// that is not a window (the command line) reports the very same words. The command line's own
// texts are its own (cli/clitext.h).

#include <QString>
#include <QStringList>

namespace messages {

enum class Icon { None, Critical, Information, Question, Exclamation };

// Buttons of a box, as flags; the answer is one of them.
enum Button : int { NoButton = 0, Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };

// A fixed text of the catalogue: translated each time it is used, so a constant made before the
// language is chosen still speaks the running language.
struct Text {
    const char *source;  // UTF-8, marked with QT_TRANSLATE_NOOP("messages", ...)
    QString toString() const;
    operator QString() const { return toString(); }
};
// Joined and compared as the QString constants they once were.
QString operator+(const Text &a, const QString &b);
QString operator+(const QString &a, const Text &b);
bool operator==(const QString &a, const Text &b);

struct Message {
    QString text;
    QString title;
    int buttons = Ok;
    Icon icon = Icon::None;
    Button defaultButton = NoButton;
    QString detail;  // a line after the exact text: the cause, or how far an operation got
};

// ---- titles -------------------------------------------------------------------------------
extern const Text kProgramTitle;    // "VELTRA2オンボードライタ"
extern const Text kMainCaption;     // "VELTRA2オンボードプログラムライタ"
extern const Text kErrorTitle;      // "エラーが発生しました"
extern const Text kFileErrorTitle;  // "ファイルエラー"
extern const Text kTimeoutTitle;    // "タイムアウトエラー"

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
// The help menu's manual: not installed where it should be; no browser to hand it to.
Message manualMissing(const QString &expectedPath);
Message browserFailed(const QString &page);
// A USB serial adapter that holds replies for ms each time.
Message slowAdapter(int ms, const QString &device);
extern const Text kCommErrorStatus;   // "通信ポートエラーです"
extern const Text kSetUpCommStatus;   // "通信設定をしてください"
extern const Text kLinkCheckProgress; // the progress window's line during the link check

// ---- program memory ---------------------------------------------------------------------------
QString writeQuestion(const QString &path);
QString eraseQuestion();
QString readQuestion();
QString verifyQuestion(const QString &path);
Message verifyPassed(int programWords, bool configWord, int eepromBytes);  // what was compared
Message verifyProtected();
Message verifyFileStops(const QString &detail);
// The verify window's heading line.
QString verifyListHeading(const QString &path, int differences);
extern const Text kOperationBusy;     // "ＰＩＣマイコンボードと通信中..."
Message operationTimeout();
Message programPowerOff();
Message programWriterError();
Message programEraseWriterError(const QString &detail = QString());  // the erase's text has no full stop
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
extern const Text kExporting;         // "ファイル出力中"
QString stoppedAtLine(int line);
QString writtenBefore(int wordAddress);
extern const Text kStoppedAtConfig;
QString receivedWords(int received, int total);

// ---- data EEPROM ---------------------------------------------------------------------------------
Message eepromPowerOff();
Message eepromCommFailed();
Message eepromEraseQuestion();
Message entryPowerOff();
Message entryCommFailedFirst();
Message entryCommFailed();
Message entryProblem(const QString &text);
extern const Text kEepromBusy;        // "PICマイコンボードと通信中"
extern const Text kEepromWriting;     // "書込み中"

// ---- "/F" data-file write --------------------------------------------------------------------------
Message dataFilePowerOff();
Message dataFileCommFailed(const QString &detail = QString());
Message dataFileMissing();
Message dataFileUnreadable(const QString &detail);
Message dataFileDone();
QString dataFileStoppedAt(int address, int total);
// A byte or an erase sent whose acknowledgement never came.
QString byteUnconfirmed(int address);
QString eraseUnconfirmed();

// ---- configuration register -----------------------------------------------------------------------
Message confRegPowerOff();
Message confRegCommFailed();

// ---- files the window program refuses, what a write leaves out, the system's own texts ------------
// A HEX file with words at 400h..1FFFh, refused before anything is sent; lines as below.
Message hexOutsideProgramMemory(const QStringList &lines);
QString outsideProgramMemoryLine(int line, int firstWord, int lastWord);
// The write's completion message adds it when the file had ID or data EEPROM records.
QString idEepromNotWritten();
// A file that could not be saved, then the system's reason.
QString saveFailed(const QString &path, const QString &systemText);
// The port that went away, then the system's reason.
QString portLostDetail(const QString &device, const QString &systemText);

// ---- program memory window ------------------------------------------------------------------------
Message programMemoryNothing();
Message programMemoryNoAddress(const QString &text);

}  // namespace messages

// ==== the comparison of the PIC with a file ========================================================

namespace messages {

// The comparison's summary ("space" as verify::Space: 0 program, 1 configuration word, 2 EEPROM).
QString verifyMatched(int programWords, bool configWord, int eepromBytes);
QString verifyDiffered(int programWords, int programCompared, int configWords, int eepromBytes, int eepromCompared);
QString verifyBits(int oneToZero, int zeroToOne);
QString verifyEepromBits(int oneToZero, int zeroToOne);
// eraseCommand: how the front end names its erase (a command, a button), with its particle.
QString verifyEraseFirst(const QString &eraseCommand);
// The window program's erase, for that line.
extern const Text kEraseCommandInWindow;
QString verifyProgramProtected();
QString mismatchLine(int space, int address, int expected, int actual);

}  // namespace messages
