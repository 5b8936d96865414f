// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A made-up system for the diagnosis: /sys with USB serial adapters (or chips without a tty),
// /dev nodes, udev's database, processes, users and groups, all under a temporary folder the
// diagnosis is pointed at. The tree says who the user is (proc/self/status), since the tests
// themselves run as root.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

class SystemTree {
public:
    SystemTree() { user(0, {0}); }
    QString root() const { return dir_.path(); }
    QString at(const QString &p) const { return dir_.path() + p; }

    void file(const QString &p, const QByteArray &contents)
    {
        QDir().mkpath(QFileInfo(at(p)).path());
        QFile f(at(p));
        if (f.open(QIODevice::WriteOnly)) f.write(contents);
    }
    void folder(const QString &p) { QDir().mkpath(at(p)); }
    // A relative link inside the tree, as sysfs has them.
    void link(const QString &p, const QString &target)
    {
        QDir().mkpath(QFileInfo(at(p)).path());
        QFile::link(QDir(QFileInfo(at(p)).path()).relativeFilePath(at(target)), at(p));
    }
    // A link to a path of the real system (a pseudo-terminal).
    void linkOut(const QString &p, const QString &target)
    {
        QDir().mkpath(QFileInfo(at(p)).path());
        QFile::link(target, at(p));
    }
    // A device node stand-in with its owner group and mode.
    void node(const QString &p, gid_t gid, mode_t mode)
    {
        file(p, QByteArray());
        if (::chown(QFile::encodeName(at(p)).constData(), 0, gid) != 0) qWarning("chown failed");
        ::chmod(QFile::encodeName(at(p)).constData(), mode);
    }
    void user(uint uid, const QList<uint> &groups)
    {
        QByteArray g;
        for (uint x : groups) g += QByteArray::number(x) + ' ';
        const QByteArray id = QByteArray::number(uid);
        file(QStringLiteral("/proc/self/status"), "Name:\tveltraw-cli\nUid:\t" + id + '\t' + id + '\t' + id + '\t' + id + "\nGid:\t"
                 + id + '\t' + id + '\t' + id + '\t' + id + "\nGroups:\t" + g + '\n');
    }
    void process(int pid, const QByteArray &name, const QString &holds = QString())
    {
        file(QStringLiteral("/proc/%1/comm").arg(pid), name + '\n');
        if (!holds.isEmpty()) linkOut(QStringLiteral("/proc/%1/fd/3").arg(pid), holds);
    }

    struct Usb {
        QString bus = QStringLiteral("1-1");
        QByteArray vid = "0403", pid = "6001", serial = "A7XK21QZ";
        QByteArray manufacturer = "FTDI", product = "FT232R USB UART";
        QString tty = QStringLiteral("ttyUSB0");  // empty: no tty at all
        QString driver = QStringLiteral("ftdi_sio");  // the tty's driver, or the interface's
        int latency = -1;
        QByteArray devNumber = "188:0";
        QByteArray udev;  // lines of its udev database entry
    };
    void usb(const Usb &u)
    {
        const QString dev = QStringLiteral("/sys/devices/pci0000:00/usb1/") + u.bus;
        file(dev + QStringLiteral("/idVendor"), u.vid + '\n');
        file(dev + QStringLiteral("/idProduct"), u.pid + '\n');
        if (!u.serial.isEmpty()) file(dev + QStringLiteral("/serial"), u.serial + '\n');
        file(dev + QStringLiteral("/manufacturer"), u.manufacturer + '\n');
        file(dev + QStringLiteral("/product"), u.product + '\n');
        link(QStringLiteral("/sys/bus/usb/devices/") + u.bus, dev);
        const QString iface = dev + QLatin1Char('/') + u.bus + QStringLiteral(":1.0");
        folder(iface);
        if (u.tty.isEmpty()) {
            if (!u.driver.isEmpty()) {
                folder(QStringLiteral("/sys/bus/usb/drivers/") + u.driver);
                link(iface + QStringLiteral("/driver"), QStringLiteral("/sys/bus/usb/drivers/") + u.driver);
            }
            return;
        }
        const QString port = iface + QLatin1Char('/') + u.tty;
        folder(QStringLiteral("/sys/bus/usb-serial/drivers/") + u.driver);
        link(port + QStringLiteral("/driver"), QStringLiteral("/sys/bus/usb-serial/drivers/") + u.driver);
        if (u.latency >= 0) file(port + QStringLiteral("/latency_timer"), QByteArray::number(u.latency) + '\n');
        const QString cls = port + QStringLiteral("/tty/") + u.tty;
        file(cls + QStringLiteral("/dev"), u.devNumber + '\n');
        link(cls + QStringLiteral("/device"), port);
        link(QStringLiteral("/sys/class/tty/") + u.tty, cls);
        if (!u.udev.isEmpty()) file(QStringLiteral("/run/udev/data/c") + QString::fromLatin1(u.devNumber), u.udev);
    }
    // A built-in UART the kernel found, as kernels from 6.10 on lay it out: the tty's device is
    // a serial-base port whose parent has the UART's driver.
    void uart(const QString &tty)
    {
        const QString uart = QStringLiteral("/sys/devices/pnp0/00:01");
        const QString port = uart + QStringLiteral("/00:01:0/00:01:0.0");
        folder(QStringLiteral("/sys/bus/pnp/drivers/serial"));
        folder(QStringLiteral("/sys/bus/serial-base/drivers/port"));
        folder(QStringLiteral("/sys/bus/serial-base/drivers/ctrl"));
        link(uart + QStringLiteral("/00:01:0/driver"), QStringLiteral("/sys/bus/serial-base/drivers/ctrl"));
        link(uart + QStringLiteral("/driver"), QStringLiteral("/sys/bus/pnp/drivers/serial"));
        link(port + QStringLiteral("/driver"), QStringLiteral("/sys/bus/serial-base/drivers/port"));
        link(QStringLiteral("/sys/class/tty/%1/device").arg(tty), port);
        file(QStringLiteral("/sys/class/tty/%1/type").arg(tty), "4\n");
        file(QStringLiteral("/dev/") + tty, QByteArray());
    }

private:
    QTemporaryDir dir_;
};
