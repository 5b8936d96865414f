// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/storedsettings.h"

#include "core/formats/numbertext.h"
#include "core/platform.h"
#include "core/settings/settingsfile.h"
#include "core/trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace settings {

namespace {
Stored g_stored;
QString g_settingsFolder;
}  // namespace

Stored &stored() { return g_stored; }
void reset() { g_stored = Stored(); }

void setSettingsFolder(const QString &folder) { g_settingsFolder = folder; }

QString settingsFolder()
{
    if (!g_settingsFolder.isEmpty()) return g_settingsFolder;
    const QString env = qEnvironmentVariable("VELTRAW_SETTINGS_DIR");
    if (!env.isEmpty()) return env;
    const QString appDir = QCoreApplication::applicationDirPath();
    // An installed program keeps its settings per user, even where it could write beside
    // itself (root, or a prefix of the user's own). The installation's mark tells, not a
    // prefix compiled in: the same program may be installed anywhere.
    const bool installed = QFileInfo::exists(appDir + QStringLiteral("/../share/veltraw/installed"));
    if (!installed && QFileInfo(appDir).isWritable()) return appDir;
    const QString conf = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/veltraw");
    QDir().mkpath(conf);
    return conf;
}

QString defaultIniFilePath() { return settingsFolder() + QStringLiteral("/veltraw.ini"); }

QString ReadIniValue(const QString &section, const QString &key)
{
    return ini::readValue(g_stored.IniFilePath, section, key);
}

void WriteIniValue(const QString &section, const QString &key, const QString &value)
{
    QString why;
    if (!ini::writeValue(g_stored.IniFilePath, section, key, value, &why))
        trace::note(QStringLiteral("settings write failed: %1").arg(why));
}

namespace {

const QString kFile = QStringLiteral("File");
const QString kCom = QStringLiteral("Com");
const QString kConfig = QStringLiteral("Config");
const QString kPorts = QStringLiteral("Ports");

QString portKey(int comNumber) { return QStringLiteral("COM%1").arg(comNumber); }

QString read(const QString &iniPath, const QString &section, const QString &key)
{
    return iniPath.isEmpty() ? ReadIniValue(section, key) : ini::readValue(iniPath, section, key);
}

// The [Com] port as the number its text begins with; nullopt when missing.
std::optional<double> portValue(const QString &iniPath)
{
    const QString port = read(iniPath, kCom, QStringLiteral("port"));
    if (port == ini::kMissing) return std::nullopt;
    return numbertext::leadingNumber(port);
}

}  // namespace

std::optional<QString> loadHexFileName()
{
    const QString name = ReadIniValue(kFile, QStringLiteral("name"));
    if (name == ini::kMissing) return std::nullopt;
    return name;
}

void saveHexFileName(const QString &path) { WriteIniValue(kFile, QStringLiteral("name"), path); }

std::optional<int> loadPortNumber(const QString &iniPath)
{
    const auto n = portValue(iniPath);
    if (!n || *n > 16 || *n < 1) return std::nullopt;
    return int(numbertext::roundHalfEven(*n));
}

int loadPortListIndex()
{
    const auto n = portValue(QString());
    // 15.6 would round to a sixteenth entry that the list does not have.
    if (n && *n > 0 && *n < 16) return std::min(14, int(numbertext::roundHalfEven(*n - 1)));
    return 0;
}

void savePortNumber(int comNumber) { WriteIniValue(kCom, QStringLiteral("port"), ini::numberText(comNumber)); }

void forgetPortNumber() { WriteIniValue(kCom, QStringLiteral("port"), QStringLiteral("0")); }

StoredConfigWord loadConfigWord(const QString &iniPath)
{
    // A value that does not convert reads as missing.
    const QString word = read(iniPath, kConfig, QStringLiteral("word"));
    const auto value = word == ini::kMissing ? std::nullopt : numbertext::toInt16(word);
    if (word != ini::kMissing && !value)
        trace::note(QStringLiteral("Config/word \"%1\" is not a number; %2 used").arg(word).arg(configword::kDefaultWord));
    StoredConfigWord c;
    if (value) c = {*value, true};
    return c;
}

void saveConfigWord(qint16 word) { WriteIniValue(kConfig, QStringLiteral("word"), ini::numberText(word)); }

QString loadPortDevice(int comNumber, const QString &iniPath)
{
    const QString device = read(iniPath, kPorts, portKey(comNumber));
    return device == ini::kMissing ? QString() : device;
}

void savePortDevice(int comNumber, const QString &device) { WriteIniValue(kPorts, portKey(comNumber), device); }

LaunchError parseLaunch(const QStringList &arguments, Launch *launch)
{
    *launch = Launch();
    const QString argText = arguments.join(QLatin1Char(' '));
    if (argText.isEmpty()) return LaunchError::None;
    auto leftTrimmed = [](const QString &s) {
        int i = 0;
        while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
        return s.mid(i);
    };
    launch->LaunchArgument = leftTrimmed(argText);
    const QString head = launch->LaunchArgument.left(2);
    if (head == QLatin1String("/F") || head == QLatin1String("/f")) {
        launch->LaunchMode = 1;
        launch->LaunchArgument = leftTrimmed(launch->LaunchArgument.mid(2));
        return LaunchError::None;
    }
    if (launch->LaunchArgument.right(4).toUpper() == QLatin1String(".HEX")) {
        if (!platform::isRegularFile(launch->LaunchArgument)) return LaunchError::FileMissing;
        launch->LaunchMode = 2;
        return LaunchError::None;
    }
    return LaunchError::WrongArgument;
}

}  // namespace settings
