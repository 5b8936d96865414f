// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/portnaming.h"

#include "core/platform.h"
#include "core/settings/storedsettings.h"
#include "core/systemtext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>

namespace portnaming {

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(portnaming)
};
}  // namespace

Resolution deviceFor(int comNumber, const QString &iniPath, const QString &homeDir)
{
    const QString mapped = settings::loadPortDevice(comNumber, iniPath);
    if (!mapped.isEmpty()) return {mapped, QStringLiteral("settings")};
    const QString wine = platform::wineComLink(comNumber, homeDir);
    if (!wine.isEmpty() && QFileInfo(wine).isSymLink()) return {QFileInfo(wine).symLinkTarget(), QStringLiteral("wine")};
    if (comNumber >= 1) return {platform::defaultComDevice(comNumber), QStringLiteral("default")};
    return {QString(), QStringLiteral("none")};
}

QString describe(int comNumber, const QString &iniPath, const QString &homeDir)
{
    const Resolution r = deviceFor(comNumber, iniPath, homeDir);
    if (r.device.isEmpty()) return Tr::tr("ポートが選ばれていません");
    QString text = QStringLiteral("→ %1").arg(r.device);  // untranslated: an arrow and a path read alike in every language
    if (!QFileInfo::exists(r.device)) text += Tr::tr(" (見つかりません)");
    return text;
}

QString openFailureText(const QString &device, int serialError, const QString &systemText)
{
    switch (serialError) {
    case QSerialPort::DeviceNotFoundError:
        return Tr::tr("%1 が見つかりません。ケーブルの接続とポートの設定を確認してください。").arg(device);
    case QSerialPort::PermissionError:
        if (QFileInfo::exists(device))
            return Tr::tr("%1 を開く権限がないか、ほかのプログラムが使用中です。"
                          "権限がない場合は dialout グループに加わってください。").arg(device);
        return Tr::tr("%1 が見つかりません。").arg(device);
    case QSerialPort::OpenError:
        return Tr::tr("%1 はすでに開かれています。").arg(device);
    default:
        return systemtext::after(Tr::tr("%1 を開けません。").arg(device), systemText);
    }
}

}  // namespace portnaming
