// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program keeps between runs (the port, the configuration word; the HEX file is kept
// by the main window), where its settings file lives, and the start mode the command line asks.

#include "core/formats/configword.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace settings {

struct Stored {
    QString IniFilePath;
    qint16 CommPortNumber = 0;
    qint16 ConfigWord = configword::kDefaultWord;
};

// The program's one instance.
Stored &stored();
// Back to the start-up values.
void reset();

// Folder of veltraw.ini: the program's folder when it can be written, else ~/.config/veltraw.
// VELTRAW_SETTINGS_DIR, or setSettingsFolder(), overrides both.
QString settingsFolder();
void setSettingsFolder(const QString &folder);
QString defaultIniFilePath();

// A key of the program's settings file ("???" when missing), and its writing (a failure is
// traced: the program goes on with what it has).
QString ReadIniValue(const QString &section, const QString &key);
void WriteIniValue(const QString &section, const QString &key, const QString &value);

// Each stored setting by itself: the only place that knows its section, its key and what a
// missing or unusable value means. iniPath: another settings file than the program's own.
//
// [File] name: the HEX file the main window showed last; nullopt when missing.
std::optional<QString> loadHexFileName();
void saveHexFileName(const QString &path);
// [Com] port: a COM number 1 to 16 (the number a text begins with, halves to the even one);
// nullopt when missing or out of range.
std::optional<int> loadPortNumber(const QString &iniPath = QString());
// The port dialog's entry for it: COM1 to COM15 as 0 to 14, COM1 when there is none.
int loadPortListIndex();
void savePortNumber(int comNumber);
// After a port that failed: the next start asks for one.
void forgetPortNumber();
// [Config] word: the word, or 26 when missing or not a number (traced).
struct StoredConfigWord {
    qint16 word = configword::kDefaultWord;
    bool stored = false;  // the file held a usable word
};
StoredConfigWord loadConfigWord(const QString &iniPath = QString());
void saveConfigWord(qint16 word);
// [Ports] COMn: the device a COM number opens; empty when none is stored.
QString loadPortDevice(int comNumber, const QString &iniPath = QString());
void savePortDevice(int comNumber, const QString &device);

// The start mode: 0 normal, 1 "/F DATAFILE" (data-file write), 2 "FILE.hex" (write and end).
struct Launch {
    qint16 LaunchMode = 0;
    QString LaunchArgument;
};
enum class LaunchError { None, FileMissing, WrongArgument };
// Reads the words after the program name, as one line joined by blanks.
LaunchError parseLaunch(const QStringList &arguments, Launch *launch);

}  // namespace settings
