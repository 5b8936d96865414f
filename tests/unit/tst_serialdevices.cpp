// SPDX-License-Identifier: GPL-3.0-or-later
// The serial devices as the port dialog, `veltraw-cli ports` and the diagnosis see them, on a
// made-up system: adapters with their USB identity and by-id names, the UARTs the kernel
// found, and none of the ttys without hardware.

#include "core/diagnosis/serialdevice.h"
#include "support/systemtree.h"

#include <QTest>

class TestSerialDevices : public QObject {
    Q_OBJECT
private slots:
    void listed()
    {
        SystemTree t;
        SystemTree::Usb ftdi;
        ftdi.latency = 16;
        ftdi.udev = "E:ID_MM_DEVICE_IGNORE=1\n";
        t.usb(ftdi);
        t.file(QStringLiteral("/dev/ttyUSB0"), QByteArray());
        t.link(QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A7XK21QZ-if00-port0"), QStringLiteral("/dev/ttyUSB0"));
        SystemTree::Usb acm;
        acm.bus = QStringLiteral("1-3");
        acm.vid = "04d8";
        acm.pid = "000a";
        acm.tty = QStringLiteral("ttyACM0");
        acm.driver = QStringLiteral("cdc_acm");
        acm.devNumber = "166:0";
        t.usb(acm);
        t.file(QStringLiteral("/dev/ttyACM0"), QByteArray());
        t.uart(QStringLiteral("ttyS0"));
        t.uart(QStringLiteral("ttyS1"));
        t.file(QStringLiteral("/sys/class/tty/ttyS1/type"), "0\n");  // no UART behind it
        t.folder(QStringLiteral("/sys/class/tty/tty0"));            // a virtual terminal
        t.file(QStringLiteral("/dev/tty0"), QByteArray());

        const diagnosis::SystemRoot root(t.root());
        QCOMPARE(diagnosis::presentSerialDevices(root),
                 (QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")}));
        const QVector<diagnosis::DeviceInfo> ports = diagnosis::listSerialPorts(root);
        QCOMPARE(ports.size(), 3);
        const diagnosis::DeviceInfo &usb = ports[2];
        QVERIFY(usb.usb && usb.exists && !usb.pseudoTerminal);
        QCOMPARE(usb.vid + QLatin1Char(':') + usb.pid, QStringLiteral("0403:6001"));
        QCOMPARE(usb.serial, QStringLiteral("A7XK21QZ"));
        QCOMPARE(usb.driver, QStringLiteral("ftdi_sio"));
        QCOMPARE(usb.latencyMs, 16);
        QCOMPARE(usb.udev.value(QStringLiteral("ID_MM_DEVICE_IGNORE")), QStringLiteral("1"));
        QCOMPARE(usb.byId, QStringList{QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A7XK21QZ-if00-port0")});
        QCOMPARE(ports[0].driver, QStringLiteral("cdc_acm"));
        QCOMPARE(ports[0].vid, QStringLiteral("04d8"));
        QVERIFY(!ports[1].usb);
        QCOMPARE(ports[1].driver, QStringLiteral("serial"));

        // Asked by its by-id name, the same adapter.
        const diagnosis::DeviceInfo byId = diagnosis::describe(root, usb.byId.first());
        QCOMPARE(byId.tty, QStringLiteral("ttyUSB0"));
        QCOMPARE(byId.serial, usb.serial);
        QVERIFY(diagnosis::serialChipsWithoutTty(root).isEmpty());
    }

    void chipsWithoutTty()
    {
        SystemTree t;
        SystemTree::Usb fake;
        fake.pid = "0000";
        fake.tty.clear();
        fake.driver.clear();
        t.usb(fake);
        SystemTree::Usb mouse;  // no serial chip: never listed
        mouse.bus = QStringLiteral("1-4");
        mouse.vid = "046d";
        mouse.pid = "c077";
        mouse.tty.clear();
        mouse.driver = QStringLiteral("usbhid");
        t.usb(mouse);
        const QList<diagnosis::ChipWithoutTty> chips = diagnosis::serialChipsWithoutTty(diagnosis::SystemRoot(t.root()));
        QCOMPARE(chips.size(), 1);
        QCOMPARE(chips[0].pid, QStringLiteral("0000"));
        QVERIFY(chips[0].driver.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSerialDevices)
#include "tst_serialdevices.moc"
