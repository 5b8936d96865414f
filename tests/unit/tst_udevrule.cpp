// SPDX-License-Identifier: GPL-3.0-or-later
// The udev rule checker: it must pass what udev reads and name each fault it would reject or
// silently ignore, since the rule veltraw-cli prints is only ever checked by it here.

#include "core/diagnosis/udevrule.h"

#include <QTest>

class TestUdevRule : public QObject {
    Q_OBJECT
private slots:
    void checker_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("error");  // empty: none
        QTest::newRow("match and assign") << QString::fromUtf8("SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"0403\", TAG+=\"uaccess\"") << QString();
        QTest::newRow("comment and blank") << QStringLiteral("# a comment\n\n   # indented\n") << QString();
        QTest::newRow("env and symlink") << QString::fromUtf8("KERNEL==\"ttyUSB*\", ENV{ID_MM_DEVICE_IGNORE}=\"1\", SYMLINK+=\"veltraw-x\"") << QString();
        QTest::newRow("escaped quote") << QString::fromUtf8("ATTRS{serial}==\"a\\\"b\", MODE=\"0660\"") << QString();
        QTest::newRow("unknown key") << QString::fromUtf8("SUBSYSTEM==\"tty\", COLOUR=\"red\"") << QStringLiteral("unknown key COLOUR");
        QTest::newRow("ATTRS assigned") << QString::fromUtf8("SUBSYSTEM==\"tty\", ATTRS{latency_timer}=\"1\"") << QStringLiteral("ATTRS cannot be assigned");
        QTest::newRow("ACTION assigned") << QString::fromUtf8("ACTION=\"add\", MODE=\"0666\"") << QStringLiteral("ACTION cannot be assigned");
        QTest::newRow("MODE matched") << QString::fromUtf8("SUBSYSTEM==\"tty\", MODE==\"0666\"") << QStringLiteral("MODE cannot be matched");
        QTest::newRow("ENV without name") << QString::fromUtf8("SUBSYSTEM==\"tty\", ENV=\"1\"") << QStringLiteral("ENV needs {attribute}");
        QTest::newRow("TAG with a name") << QString::fromUtf8("SUBSYSTEM==\"tty\", TAG{x}+=\"uaccess\"") << QStringLiteral("TAG takes no {attribute}");
        QTest::newRow("unquoted value") << QString::fromUtf8("SUBSYSTEM==tty, TAG+=\"uaccess\"") << QStringLiteral("cannot read");
        QTest::newRow("unclosed quote") << QString::fromUtf8("SUBSYSTEM==\"tty, TAG+=\"uaccess\"") << QStringLiteral("cannot read");
        QTest::newRow("missing comma") << QString::fromUtf8("SUBSYSTEM==\"tty\" TAG+=\"uaccess\"") << QStringLiteral("cannot read");
        QTest::newRow("trailing comma") << QString::fromUtf8("SUBSYSTEM==\"tty\", TAG+=\"uaccess\",") << QStringLiteral("a trailing comma");
        QTest::newRow("assigns nothing") << QString::fromUtf8("SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB0\"") << QStringLiteral("assigns nothing");
        QTest::newRow("matches every device") << QString::fromUtf8("TAG+=\"uaccess\"") << QStringLiteral("matches every device");
        QTest::newRow("continued line") << QStringLiteral("SUBSYSTEM==\"tty\", \\\n TAG+=\"uaccess\"") << QStringLiteral("continued lines");
        QTest::newRow("minus on MODE") << QString::fromUtf8("SUBSYSTEM==\"tty\", MODE-=\"0666\"") << QStringLiteral("MODE cannot take -=");
    }
    void checker()
    {
        QFETCH(QString, rule);
        QFETCH(QString, error);
        const QStringList errors = diagnosis::checkUdevRules(rule);
        if (error.isEmpty()) {
            QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        } else {
            QVERIFY2(!errors.isEmpty() && errors.first().contains(error), qPrintable(errors.join('\n')));
            QVERIFY(errors.first().startsWith(QStringLiteral("line ")));
        }
    }

    // A serial number with characters a device name may not have still gives a good rule.
    void awkwardSerial()
    {
        diagnosis::DeviceInfo d;
        d.device = QStringLiteral("/dev/ttyUSB3");
        d.exists = d.usb = true;
        d.vid = QStringLiteral("0403");
        d.pid = QStringLiteral("6015");
        d.serial = QStringLiteral("DN 0\"4/x");
        QString why;
        const QString rule = diagnosis::udevRule(d, &why);
        QVERIFY(diagnosis::checkUdevRules(rule).isEmpty());
        QCOMPARE(diagnosis::udevLinkName(d), QStringLiteral("/dev/veltraw-DN_0_4_x"));
        d.usb = false;
        QVERIFY(diagnosis::udevRule(d, &why).isEmpty());
        QVERIFY(!why.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestUdevRule)
#include "tst_udevrule.moc"
