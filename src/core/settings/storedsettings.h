#pragma once
// What the program keeps between runs (the port, the configuration word; the HEX file is kept
// by the main window), where its settings file lives, and the start mode the command line asks.

#include <QString>
#include <QStringList>

namespace settings {

struct Stored {
    QString IniFilePath;
    qint16 CommPortNumber = 0;
    qint16 ConfigWord = 26;
};

// The program's one instance.
Stored &stored();
// Back to the start-up values.
void reset();

// Folder of veltraw.ini: the program's folder when it can be written, else ~/.config/veltraw.
// VELTRAW_SETTINGS_DIR, or setSettingsFolder(), overrides both.
QString SettingsFolder();
void setSettingsFolder(const QString &folder);
QString DefaultIniFilePath();

// A key of the program's settings file ("???" when missing), and its writing (a failure is
// traced: the program goes on with what it has).
QString ReadIniValue(const QString &section, const QString &key);
void WriteIniValue(const QString &section, const QString &key, const QString &value);

// The start mode: 0 normal, 1 "/F DATAFILE" (data-file write), 2 "FILE.hex" (write and end).
struct Launch {
    qint16 LaunchMode = 0;
    QString LaunchArgument;
};
enum class LaunchError { None, FileMissing, WrongArgument };
// Reads the words after the program name, as one line joined by blanks.
LaunchError parseLaunch(const QStringList &arguments, Launch *launch);

}  // namespace settings
