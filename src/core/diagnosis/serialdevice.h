// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a serial device is, as sysfs and udev's database tell it: driver, USB adapter (VID:PID,
// maker, serial number, latency timer), the /dev/serial/by-id names. Also the serial devices
// present, and USB serial chips that have no tty at all.

#include "core/diagnosis/systemroot.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace diagnosis {

struct DeviceInfo {
    QString device;  // as asked
    QString node;    // after its links (within the root)
    QString tty;     // "ttyUSB0"
    bool exists = false;
    bool pseudoTerminal = false;
    QString driver;  // "ftdi_sio", "ch341", "cp210x", "cdc_acm", "serial8250", ...
    bool usb = false;
    QString vid, pid;  // four lower-case hexadecimal digits
    QString manufacturer, product, serial;
    QStringList byId;            // /dev/serial/by-id/... names of it
    QString devNumber;           // "188:0"
    QMap<QString, QString> udev;  // udev's properties of it (E: lines)
    int latencyMs = -1;          // an FTDI-class adapter's latency timer
    QString usbPath;             // the USB device's sysfs folder
};

DeviceInfo describe(const SystemRoot &root, const QString &device);

// The serial devices present: /dev names of ttys with hardware behind them (USB adapters,
// UARTs the kernel found), sorted.
QStringList presentSerialDevices(const SystemRoot &root);

// The serial devices present, each as describe() tells it: what the port dialog and
// `veltraw-cli ports` list.
QVector<DeviceInfo> listSerialPorts(const SystemRoot &root = SystemRoot());

// A USB serial chip (by its maker's VID and the PIDs of serial chips) with no tty.
struct ChipWithoutTty {
    QString vid, pid, product, manufacturer;
    QString driver;  // the driver holding its interface ("usbfs": a program such as brltty)
};
QList<ChipWithoutTty> serialChipsWithoutTty(const SystemRoot &root);

// Chips of the kind brltty claims (its braille display table lists them): CH340/CH341, CP210x.
bool brlttyClaimsChip(const QString &vid, const QString &pid);
bool isFtdi(const QString &vid);
// A name for the chip family, for the detail ("FTDI", "CH340", "CP210x", ...); empty if unknown.
QString chipFamily(const QString &vid, const QString &pid);

}  // namespace diagnosis
