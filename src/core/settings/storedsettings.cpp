#include "core/settings/storedsettings.h"

#include "core/platform.h"
#include "core/settings/settingsfile.h"
#include "core/trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace settings {

namespace {
Stored g_stored;
QString g_settingsFolder;
}  // namespace

Stored &stored() { return g_stored; }
void reset() { g_stored = Stored(); }

void setSettingsFolder(const QString &folder) { g_settingsFolder = folder; }

QString SettingsFolder()
{
    if (!g_settingsFolder.isEmpty()) return g_settingsFolder;
    const QString env = qEnvironmentVariable("VELTRAW_SETTINGS_DIR");
    if (!env.isEmpty()) return env;
    const QString appDir = QCoreApplication::applicationDirPath();
    // An installed program keeps its settings per user, even where it could write beside
    // itself (root, or a prefix of the user's own).
    const bool installed = QFileInfo(appDir).canonicalFilePath() == QFileInfo(QStringLiteral(VELTRAW_INSTALL_BINDIR)).canonicalFilePath()
                           || QFileInfo(appDir + QStringLiteral("/../share/veltraw/installed")).exists();
    if (!installed && QFileInfo(appDir).isWritable()) return appDir;
    const QString conf = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/veltraw");
    QDir().mkpath(conf);
    return conf;
}

QString DefaultIniFilePath() { return SettingsFolder() + QStringLiteral("/veltraw.ini"); }

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
