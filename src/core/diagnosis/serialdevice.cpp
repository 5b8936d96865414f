// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/diagnosis/serialdevice.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace diagnosis {

namespace {

// A sysfs folder with every link resolved, as a system path; empty when missing.
QString sysReal(const SystemRoot &root, const QString &systemPath)
{
    const QString real = QFileInfo(root.path(systemPath)).canonicalFilePath();
    return real.isEmpty() ? QString() : root.systemPath(real);
}

// The first folder at or above `from` that holds `file`, below /sys.
QString upTo(const SystemRoot &root, QString from, const QString &file)
{
    while (from.startsWith(QLatin1String("/sys/")) && from.count(QLatin1Char('/')) > 2) {
        if (root.exists(from + QLatin1Char('/') + file)) return from;
        from = QFileInfo(from).path();
    }
    return QString();
}

struct Chip {
    const char *vid;
    const char *pid;  // nullptr: any product of this maker
    const char *family;
    bool brltty;
};
// USB serial chips an adapter for the writer is likely to have.
const Chip kChips[] = {
    {"0403", nullptr, "FTDI", false},
    {"1a86", "7523", "CH340", true},
    {"1a86", "5523", "CH341", true},
    {"1a86", "55d4", "CH9102", false},
    {"10c4", "ea60", "CP210x", true},
    {"10c4", "ea70", "CP2105", false},
    {"067b", nullptr, "PL2303", false},
};

const Chip *chipOf(const QString &vid, const QString &pid)
{
    for (const Chip &c : kChips)
        if (vid == QLatin1String(c.vid) && (!c.pid || pid == QLatin1String(c.pid))) return &c;
    return nullptr;
}

}  // namespace

bool isFtdi(const QString &vid) { return vid == QLatin1String("0403"); }

bool brlttyClaimsChip(const QString &vid, const QString &pid)
{
    const Chip *c = chipOf(vid, pid);
    return c && c->brltty;
}

QString chipFamily(const QString &vid, const QString &pid)
{
    const Chip *c = chipOf(vid, pid);
    return c ? QLatin1String(c->family) : QString();
}

DeviceInfo describe(const SystemRoot &root, const QString &device)
{
    DeviceInfo d;
    d.device = device;
    d.node = root.resolve(device);
#ifdef Q_OS_UNIX
    d.exists = root.exists(d.node) && QFileInfo::exists(root.path(d.node));
#else
    // COMn is no file: the system's list of ports knows it.
    d.exists = !QSerialPortInfo(device).isNull();
#endif
    d.tty = QFileInfo(d.node).fileName();
    d.pseudoTerminal = d.node.startsWith(QLatin1String("/dev/pts/")) || d.node == QLatin1String("/dev/ptmx");
    if (!d.exists) return d;

    const QString cls = QStringLiteral("/sys/class/tty/") + d.tty;
    if (!d.pseudoTerminal && root.exists(cls)) {
        d.devNumber = root.readText(cls + QStringLiteral("/dev"));
        const QString dev = sysReal(root, cls + QStringLiteral("/device"));
        if (!dev.isEmpty()) {
            // Newer kernels put a serial-base "port" (and its "ctrl") between a UART's tty and
            // the device whose driver says what it is.
            QString at = dev;
            d.driver = QFileInfo(sysReal(root, at + QStringLiteral("/driver"))).fileName();
            while ((d.driver == QLatin1String("port") || d.driver == QLatin1String("ctrl")) && at.count(QLatin1Char('/')) > 3) {
                at = QFileInfo(at).path();
                d.driver = QFileInfo(sysReal(root, at + QStringLiteral("/driver"))).fileName();
            }
            bool ok = false;
            const int latency = root.readText(dev + QStringLiteral("/latency_timer")).toInt(&ok);
            if (ok) d.latencyMs = latency;
            d.usbPath = upTo(root, dev, QStringLiteral("idVendor"));
        }
    }
    if (!d.usbPath.isEmpty()) {
        d.usb = true;
        d.vid = root.readText(d.usbPath + QStringLiteral("/idVendor")).toLower();
        d.pid = root.readText(d.usbPath + QStringLiteral("/idProduct")).toLower();
        d.manufacturer = root.readText(d.usbPath + QStringLiteral("/manufacturer"));
        d.product = root.readText(d.usbPath + QStringLiteral("/product"));
        d.serial = root.readText(d.usbPath + QStringLiteral("/serial"));
    }
    if (!d.devNumber.isEmpty()) {
        for (const QString &line : root.readText(QStringLiteral("/run/udev/data/c") + d.devNumber).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1String("E:"))) continue;
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq > 2) d.udev.insert(line.mid(2, eq - 2), line.mid(eq + 1));
        }
    }
    const QString byIdDir = QStringLiteral("/dev/serial/by-id");
    for (const QString &name : root.entries(byIdDir)) {
        const QString link = byIdDir + QLatin1Char('/') + name;
        if (root.resolve(link) == d.node) d.byId << link;
    }
    return d;
}

QStringList presentSerialDevices(const SystemRoot &root)
{
    QStringList out;
    for (const QString &tty : root.entries(QStringLiteral("/sys/class/tty"))) {
        const QString cls = QStringLiteral("/sys/class/tty/") + tty;
        // Virtual terminals and the like have no device behind them.
        if (!root.exists(cls + QStringLiteral("/device"))) continue;
        // The kernel makes ttyS0..ttyS31 whether a UART is there or not; "type" 0 is none.
        const QString type = root.readText(cls + QStringLiteral("/type"));
        if (tty.startsWith(QLatin1String("ttyS")) && (type.isEmpty() || type == QLatin1String("0"))) continue;
        const QString dev = QStringLiteral("/dev/") + tty;
        if (root.exists(dev)) out << dev;
    }
    return out;
}

QVector<DeviceInfo> listSerialPorts(const SystemRoot &root)
{
    QVector<DeviceInfo> out;
    for (const QString &dev : presentSerialDevices(root)) out << describe(root, dev);
    return out;
}

QList<ChipWithoutTty> serialChipsWithoutTty(const SystemRoot &root)
{
    QList<ChipWithoutTty> out;
    const QString bus = QStringLiteral("/sys/bus/usb/devices");
    for (const QString &name : root.entries(bus)) {
        if (name.contains(QLatin1Char(':'))) continue;  // an interface, not a device
        const QString dir = sysReal(root, bus + QLatin1Char('/') + name);
        if (dir.isEmpty()) continue;
        ChipWithoutTty c;
        c.vid = root.readText(dir + QStringLiteral("/idVendor")).toLower();
        c.pid = root.readText(dir + QStringLiteral("/idProduct")).toLower();
        if (!chipOf(c.vid, c.pid)) continue;
        bool hasTty = false;
        for (const QString &iface : root.entries(dir)) {
            if (!iface.startsWith(name + QLatin1Char(':'))) continue;
            const QString ifaceDir = dir + QLatin1Char('/') + iface;
            if (c.driver.isEmpty()) c.driver = QFileInfo(sysReal(root, ifaceDir + QStringLiteral("/driver"))).fileName();
            for (const QString &sub : root.entries(ifaceDir))
                if (sub.startsWith(QLatin1String("tty"))) hasTty = true;
        }
        if (hasTty) continue;
        c.product = root.readText(dir + QStringLiteral("/product"));
        c.manufacturer = root.readText(dir + QStringLiteral("/manufacturer"));
        out << c;
    }
    return out;
}

}  // namespace diagnosis
