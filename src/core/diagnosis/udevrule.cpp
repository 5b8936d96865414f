// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/diagnosis/udevrule.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace diagnosis {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(diagnosis)
};

QString safeName(const QString &s)
{
    QString out = s;
    out.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    return out;
}

// udev's rule keys: which take a {attribute}, and whether they match, assign, or both.
struct Key {
    const char *name;
    bool attribute;
    bool match;
    bool assign;
};
const Key kKeys[] = {
    {"ACTION", false, true, false},     {"DEVPATH", false, true, false},  {"KERNEL", false, true, false},
    {"KERNELS", false, true, false},    {"NAME", false, true, true},      {"SYMLINK", false, true, true},
    {"SUBSYSTEM", false, true, false},  {"SUBSYSTEMS", false, true, false}, {"DRIVER", false, true, false},
    {"DRIVERS", false, true, false},    {"ATTR", true, true, true},       {"SYSCTL", true, true, true},
    {"ATTRS", true, true, false},       {"TAG", false, true, true},       {"TAGS", false, true, false},
    {"ENV", true, true, true},          {"CONST", true, true, false},     {"TEST", true, true, false},
    {"PROGRAM", false, true, false},    {"RESULT", false, true, false},   {"OWNER", false, false, true},
    {"GROUP", false, false, true},      {"MODE", false, false, true},     {"SECLABEL", true, false, true},
    {"RUN", true, false, true},         {"LABEL", false, false, true},    {"GOTO", false, false, true},
    {"IMPORT", true, true, false},      {"OPTIONS", false, false, true},
};

}  // namespace

QString udevLinkName(const DeviceInfo &d)
{
    return QStringLiteral("/dev/veltraw-") + (d.serial.isEmpty() ? d.vid + QLatin1Char('-') + d.pid : safeName(d.serial));
}

QString udevInstallCommand(const QString &command)
{
    return QStringLiteral("%1 | sudo tee %2 >/dev/null && sudo udevadm control --reload && sudo udevadm trigger --action=add --subsystem-match=tty --subsystem-match=usb-serial")
        .arg(command, QLatin1String(kUdevRulePath));
}

QString udevRule(const DeviceInfo &d, QString *why)
{
    if (!d.exists) {
        *why = Tr::tr("%1 が見つからないので、規則を作れません。アダプタをつないでから実行してください。").arg(d.device);
        return QString();
    }
    if (!d.usb || d.vid.isEmpty() || d.pid.isEmpty()) {
        *why = Tr::tr("%1 は USB シリアルアダプタではないので、規則は要りません。").arg(d.device);
        return QString();
    }
    QString match = QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\"").arg(d.vid, d.pid);
    if (!d.serial.isEmpty()) match += QStringLiteral(", ATTRS{serial}==\"%1\"").arg(QString(d.serial).replace(QLatin1Char('"'), QLatin1Char('?')));
    QStringList lines;
    lines << Tr::tr("# veltraw のライタ用 USB シリアルアダプタ（%1:%2%3）")
                 .arg(d.vid, d.pid, d.serial.isEmpty() ? QString() : Tr::tr("、シリアル番号 %1").arg(d.serial));
    lines << Tr::tr("# %1 として保存します。uaccess は 73-seat-late.rules より前に読まれる必要があります。").arg(QLatin1String(kUdevRulePath));
    lines << QStringLiteral("SUBSYSTEM==\"tty\", %1, TAG+=\"uaccess\", ENV{ID_MM_DEVICE_IGNORE}=\"1\", SYMLINK+=\"%2\"")
                 .arg(match, udevLinkName(d).mid(5));
    if (isFtdi(d.vid)) {
        lines << Tr::tr("# FTDI: 受信したバイトを 1 ms で渡す（既定の 16 ms では書き込みが数倍遅くなります）");
        lines << QStringLiteral("ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", %1, ATTR{latency_timer}=\"1\"").arg(match);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QStringList checkUdevRules(const QString &text)
{
    QStringList errors;
    static const QRegularExpression pair(QStringLiteral(
        R"re(^\s*([A-Z_]+)(?:\{([^{}"\s]+)\})?\s*(==|!=|\+=|-=|:=|=)\s*"((?:[^"\\]|\\.)*)"\s*(,|$))re"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n];
        const QString where = QStringLiteral("line %1: ").arg(n + 1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) continue;
        if (line.endsWith(QLatin1Char('\\'))) {
            errors << where + QStringLiteral("continued lines are not used here");
            continue;
        }
        QString rest = line;
        bool assigns = false;
        bool matches = false;
        while (!rest.trimmed().isEmpty()) {
            const QRegularExpressionMatch m = pair.match(rest);
            if (!m.hasMatch()) {
                errors << where + QStringLiteral("cannot read \"%1\"").arg(rest.trimmed());
                break;
            }
            const QString name = m.captured(1);
            const QString op = m.captured(3);
            const Key *key = nullptr;
            for (const Key &k : kKeys)
                if (name == QLatin1String(k.name)) key = &k;
            const bool isMatch = op == QLatin1String("==") || op == QLatin1String("!=");
            if (!key) errors << where + QStringLiteral("unknown key %1").arg(name);
            else if (key->attribute != m.hasCaptured(2) && name != QLatin1String("IMPORT") && name != QLatin1String("RUN"))
                errors << where + QStringLiteral("%1 %2").arg(name, key->attribute ? QStringLiteral("needs {attribute}") : QStringLiteral("takes no {attribute}"));
            else if (isMatch && !key->match) errors << where + QStringLiteral("%1 cannot be matched").arg(name);
            else if (!isMatch && !key->assign) errors << where + QStringLiteral("%1 cannot be assigned").arg(name);
            else if (op == QLatin1String("-=") && name != QLatin1String("SYMLINK") && name != QLatin1String("TAG") && name != QLatin1String("RUN"))
                errors << where + QStringLiteral("%1 cannot take -=").arg(name);
            (isMatch ? matches : assigns) = true;
            rest = rest.mid(m.capturedEnd(0));
            if (m.captured(5).isEmpty()) {
                if (!rest.trimmed().isEmpty()) errors << where + QStringLiteral("a comma is missing");
                break;
            }
            if (rest.trimmed().isEmpty()) errors << where + QStringLiteral("a trailing comma");
        }
        if (!assigns) errors << where + QStringLiteral("the rule assigns nothing");
        else if (!matches) errors << where + QStringLiteral("the rule matches every device");
    }
    return errors;
}

}  // namespace diagnosis
