// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli doctor: each check shown failing (or warning) on its own fault, once. The system
// checks run on made-up trees (VELTRAW_DOCTOR_ROOT); the writer and target checks against a
// simulated writer served by the test process itself.

#include "cli/clirun.h"
#include "core/diagnosis/udevrule.h"
#include "support/systemtree.h"

#include <QSerialPort>
#include <QTemporaryDir>

using namespace clitest;

namespace {

// The checks of a --json run, by name, in the order given; false when the lines are no JSON
// Lines ending with the result.
bool checksOf(const Result &r, QStringList *order, QHash<QString, QJsonObject> *byName)
{
    bool ok = false;
    const QList<QJsonObject> events = jsonLines(r.out, &ok);
    if (!ok || events.isEmpty() || events.last().value(QStringLiteral("event")).toString() != QLatin1String("result")) return false;
    for (const QJsonObject &e : eventsOf(events, QStringLiteral("check"))) {
        *order << e.value(QStringLiteral("name")).toString();
        byName->insert(order->last(), e);
    }
    return true;
}

const QStringList kAlways = {QStringLiteral("device"), QStringLiteral("permission"), QStringLiteral("busy"), QStringLiteral("grabbers"),
                             QStringLiteral("adapter"), QStringLiteral("writer"), QStringLiteral("target")};

}  // namespace

class TestCliDoctor : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    Result doctor(const QStringList &args, const QString &root = QString())
    {
        // Cli takes the environment as it is when made.
        if (!root.isEmpty()) qputenv("VELTRAW_DOCTOR_ROOT", root.toLocal8Bit());
        Cli c(dir_.path());
        c.start(QStringList{QStringLiteral("--json")} + args + QStringList{QStringLiteral("doctor")});
        Result r = c.finish();
        qunsetenv("VELTRAW_DOCTOR_ROOT");
        return r;
    }

private slots:
    // A made-up system per row: which check must come out how, and what its words must say.
    void systemFaults_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("device missing, FTDI with PID 0000") << 0;
        QTest::newRow("device missing, CH340 taken by brltty") << 1;
        QTest::newRow("user not in the group") << 2;
        QTest::newRow("user in the group, not yet logged in again") << 3;
        QTest::newRow("ModemManager, slow FTDI without serial number") << 4;
        QTest::newRow("counterfeit FTDI given a tty") << 5;
    }
    void systemFaults()
    {
        QFETCH(int, row);
        // The writer's turnaround is judged: a simulator program answers at once, where one
        // served by this process would wait on its event loop.
        SimProcess w(dir_.path(), QStringLiteral("sim-%1").arg(row));
        QVERIFY(w.ready);
        SystemTree t;
        t.file(QStringLiteral("/etc/passwd"), "root:x:0:0::/root:/bin/sh\nalice:x:1000:1000::/home/alice:/bin/sh\n");
        t.file(QStringLiteral("/etc/group"), row == 3 ? "root:x:0:\ndialout:x:20:bob,alice\n" : "root:x:0:\ndialout:x:20:\n");
        struct Expect {
            int exit;
            QString check, status, detail, remedy;
        } e;
        SystemTree::Usb adapter;
        switch (row) {
        case 0:
            t.uart(QStringLiteral("ttyS0"));
            adapter.tty.clear();
            adapter.pid = "0000";
            adapter.driver.clear();
            t.usb(adapter);
            e = {69, QStringLiteral("device"), QStringLiteral("fail"), QStringLiteral("/dev/ttyS0"), QStringLiteral("ftdi_sio/new_id")};
            break;
        case 1:
            adapter.tty.clear();
            adapter.vid = "1a86";
            adapter.pid = "7523";
            adapter.driver = QStringLiteral("usbfs");
            t.usb(adapter);
            t.process(812, "brltty");
            e = {69, QStringLiteral("grabbers"), QStringLiteral("warn"), QStringLiteral("CH340"), QStringLiteral("apt remove brltty")};
            break;
        case 2:
        case 3:
            t.usb(adapter);
            t.node(QStringLiteral("/dev/ttyUSB0"), 20, 0660);
            t.user(1000, {1000});
            e = {77, QStringLiteral("permission"), QStringLiteral("fail"), QStringLiteral("dialout"),
                 row == 2 ? QStringLiteral("sudo usermod -aG dialout alice") : QStringLiteral("ログインし直して")};
            break;
        case 4:
            adapter.serial.clear();
            adapter.latency = 16;
            adapter.udev = "E:ID_VENDOR_ID=0403\nE:ID_MODEL_ID=6001\n";
            t.usb(adapter);
            t.linkOut(QStringLiteral("/dev/ttyUSB0"), w.link);
            t.process(640, "ModemManager");
            t.process(641, "cat", QStringLiteral("/dev/ttyUSB0"));
            e = {0, QStringLiteral("grabbers"), QStringLiteral("warn"), QStringLiteral("ID_MM_DEVICE_IGNORE"), QStringLiteral("--udev-rule")};
            break;
        case 5:
            adapter.pid = "0000";
            adapter.latency = 1;
            t.usb(adapter);
            t.linkOut(QStringLiteral("/dev/ttyUSB0"), w.link);
            e = {0, QStringLiteral("adapter"), QStringLiteral("warn"), QStringLiteral("偽造"), QStringLiteral("正規品")};
            break;
        }
        const Result r = doctor({QStringLiteral("-p"), QStringLiteral("/dev/ttyUSB0")}, t.root());
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
        QCOMPARE(order, kAlways);
        QVERIFY2(r.code == e.exit, qPrintable(r.both()));
        const QJsonObject c = checks.value(e.check);
        QCOMPARE(c.value(QStringLiteral("status")).toString(), e.status);
        QVERIFY2(c.value(QStringLiteral("detail")).toString().contains(e.detail), qPrintable(r.both()));
        QVERIFY2(c.value(QStringLiteral("remedy")).toString().contains(e.remedy), qPrintable(r.both()));

        if (row == 1) {  // the missing tty is the device check's failure, with brltty named
            QCOMPARE(checks.value(QStringLiteral("device")).value(QStringLiteral("status")).toString(), QStringLiteral("fail"));
            QVERIFY(checks.value(QStringLiteral("device")).value(QStringLiteral("remedy")).toString().contains(QStringLiteral("brltty")));
        }
        if (row == 4) {
            // The same adapter: the latency timer was not lowered, and two such could not be told apart.
            const QString adapterDetail = checks.value(QStringLiteral("adapter")).value(QStringLiteral("detail")).toString();
            QCOMPARE(checks.value(QStringLiteral("adapter")).value(QStringLiteral("status")).toString(), QStringLiteral("warn"));
            QVERIFY2(adapterDetail.contains(QStringLiteral("16 ms")) && adapterDetail.contains(QStringLiteral("シリアル番号がありません")),
                     qPrintable(adapterDetail));
            // Another process holding the port is detail, not a failure.
            const QJsonObject busy = checks.value(QStringLiteral("busy"));
            QCOMPARE(busy.value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
            QVERIFY(busy.value(QStringLiteral("detail")).toString().contains(QStringLiteral("cat（641）")));
            QCOMPARE(checks.value(QStringLiteral("writer")).value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
            // With the device told to ModemManager's ignore list the warning goes.
            t.file(QStringLiteral("/run/udev/data/c188:0"), "E:ID_MM_DEVICE_IGNORE=1\n");
            QStringList again;
            QHash<QString, QJsonObject> after;
            QVERIFY(checksOf(doctor({QStringLiteral("-p"), QStringLiteral("/dev/ttyUSB0")}, t.root()), &again, &after));
            QCOMPARE(after.value(QStringLiteral("grabbers")).value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
        }
    }

    // The writer and the target: one fault of the simulated writer per row.
    void writerFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("detail");
        QTest::newRow("working") << "" << 0 << "target" << "ok" << "FOSC";
        QTest::newRow("silent") << "silent" << 69 << "writer" << "fail" << "応答しません";
        QTest::newRow("bytes at another speed") << "speed" << 76 << "writer" << "fail" << "4800 baud";
        QTest::newRow("slow adapter") << "slow" << 0 << "writer" << "warn" << "遅すぎます";
        QTest::newRow("no power") << "unpowered" << 4 << "target" << "fail" << "電源";
        QTest::newRow("line hangs up") << "hangup" << 74 << "writer" << "fail" << "ポートが使えなくなりました";
    }
    void writerFaults()
    {
        QFETCH(QString, fault);
        QFETCH(int, exit);
        QFETCH(QString, check);
        QFETCH(QString, status);
        QFETCH(QString, detail);
        // Turnaround is judged on a simulator program (see systemFaults); faults need one served here.
        if (fault.isEmpty() || fault == QLatin1String("slow")) {
            SimProcess p(dir_.path(), QStringLiteral("sim-") + fault,
                         fault.isEmpty() ? QStringList() : QStringList{QStringLiteral("--adapter-latency"), QStringLiteral("16")});
            QVERIFY(p.ready);
            const Result r = doctor({QStringLiteral("-p"), p.link});
            QStringList order;
            QHash<QString, QJsonObject> checks;
            QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
            QCOMPARE(order, kAlways);
            QVERIFY2(r.code == exit, qPrintable(r.both()));
            for (const QString &name : kAlways) {
                const QString expected = name == check ? status : QStringLiteral("ok");
                QVERIFY2(checks.value(name).value(QStringLiteral("status")).toString() == expected, qPrintable(r.both()));
            }
            QVERIFY2(checks.value(check).value(QStringLiteral("detail")).toString().contains(detail), qPrintable(r.both()));
            return;
        }
        Served w;
        sim::SimWriter &writer = w.server.writer();
        if (fault == QLatin1String("silent")) writer.setFault({sim::Fault::Silence, 0, {}, 0});
        if (fault == QLatin1String("unpowered")) writer.boardPowered = false;
        if (fault == QLatin1String("hangup")) writer.setFault({sim::Fault::HangUp, 2, {}, 0});
        // A writer at 9600 baud read at 4800: each byte turns into others.
        if (fault == QLatin1String("speed"))
            writer.responder = [](uint8_t, sim::SimWriter &) -> std::optional<QByteArray> { return QByteArray("\x80\xE6\x00", 3); };
        const Result r = doctor({QStringLiteral("-p"), w.port()});
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
        QCOMPARE(order, kAlways);
        QVERIFY2(r.code == exit, qPrintable(r.both()));
        QCOMPARE(checks.value(check).value(QStringLiteral("status")).toString(), status);
        QVERIFY2(checks.value(check).value(QStringLiteral("detail")).toString().contains(detail), qPrintable(r.both()));
        bool ok = false;
        const QJsonObject result = jsonLines(r.out, &ok).last();
        QCOMPARE(result.value(QStringLiteral("exit")).toInt(), exit);
        // Diagnosing changes nothing on the PIC.
        QVERIFY(!w.hostBytes().contains('W') && !w.hostBytes().contains('L'));
    }

    // Under English the words of each check are English; names, statuses and the exit are not.
    void checksInEnglish()
    {
        Served w;
        w.server.writer().boardPowered = false;
        const QByteArray language = qgetenv("LANGUAGE");
        qputenv("LANGUAGE", "en");
        const Result r = doctor({QStringLiteral("-p"), w.port()});
        qputenv("LANGUAGE", language);
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
        QCOMPARE(order, kAlways);
        QVERIFY2(r.code == 4, qPrintable(r.both()));
        const QJsonObject target = checks.value(QStringLiteral("target"));
        QCOMPARE(target.value(QStringLiteral("status")).toString(), QStringLiteral("fail"));
        QCOMPARE(target.value(QStringLiteral("detail")).toString(),
                 QStringLiteral("The writer answered that the target board is not powered (\"?\")."));
        QCOMPARE(target.value(QStringLiteral("remedy")).toString(),
                 QStringLiteral("Check the target board's power and its connection to the writer."));
        QCOMPARE(checks.value(QStringLiteral("device")).value(QStringLiteral("detail")).toString().left(w.port().size() + 12),
                 w.port() + QStringLiteral(" is present."));
        QVERIFY2(checks.value(QStringLiteral("writer")).value(QStringLiteral("detail")).toString().startsWith(QStringLiteral("Answered the link check")),
                 qPrintable(r.both()));
    }

    void portHeldByAnotherProgram()
    {
        Served w;
        QSerialPort holder;
        holder.setPortName(w.port());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const Result r = doctor({QStringLiteral("-p"), w.port()});
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY(checksOf(r, &order, &checks));
        QCOMPARE(r.code, 75);
        QCOMPARE(checks.value(QStringLiteral("busy")).value(QStringLiteral("status")).toString(), QStringLiteral("fail"));
        QVERIFY(w.hostBytes().isEmpty());
    }

    // Ctrl+C while the writer is pinged: the result still comes last, as interrupted.
    void interrupted()
    {
        Served w;
        w.server.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        bool pinged = false;
        QObject::connect(&w.server, &sim::PtyServer::byteFromHost, &w.server, [&pinged](quint8 b) { pinged |= b == 'S'; });
        Cli c(dir_.path());
        c.start({QStringLiteral("-p"), w.port(), QStringLiteral("--json"), QStringLiteral("doctor")});
        QVERIFY(c.started());
        QVERIFY(QTest::qWaitFor([&pinged] { return pinged; }, 20000));
        c.interrupt();
        const Result r = c.finish();
        QCOMPARE(r.code, 130);
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
        QCOMPARE(order, kAlways);
        QVERIFY(checks.value(QStringLiteral("writer")).value(QStringLiteral("detail")).toString().contains(QStringLiteral("中断")));
    }

    // A COM number: the device it maps to, and how.
    void comNumber()
    {
        SimProcess p(dir_.path(), QStringLiteral("sim-com"));
        QVERIFY(p.ready);
        QVERIFY(writeFile(dir_.filePath(QStringLiteral("veltraw.ini")), "[Ports]\nCOM3=" + p.link.toLocal8Bit() + "\n"));
        const Result r = doctor({QStringLiteral("-p"), QStringLiteral("COM3")});
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
        QVERIFY2(r.code == 0, qPrintable(r.both()));
        const QString detail = checks.value(QStringLiteral("device")).value(QStringLiteral("detail")).toString();
        QVERIFY2(detail.contains(QStringLiteral("COM3")) && detail.contains(p.link), qPrintable(detail));
    }

    // --deep: the program memory as read tells a stuck line, a blank PIC or code protection.
    void deepRead_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("config");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("detail");
        QTest::newRow("blank") << 0x3FFF << 0x3FFF << "ok" << "3FFFh";
        QTest::newRow("all 0000h") << 0x0000 << 0x3FFF << "warn" << "0000h";
        QTest::newRow("code protected") << 0x0000 << 0x3FEF << "warn" << "コードプロテクト";
        QTest::newRow("a program") << 0x2805 << 0x3FFF << "ok" << "1024 語のうち 1024 語";
    }
    void deepRead()
    {
        QFETCH(int, word);
        QFETCH(int, config);
        QFETCH(QString, status);
        QFETCH(QString, detail);
        Served w;
        w.server.writer().program.fill(uint16_t(word));
        w.server.writer().idConfig[7] = uint16_t(config);
        const Result r = doctor({QStringLiteral("-p"), w.port(), QStringLiteral("--deep")});
        QStringList order;
        QHash<QString, QJsonObject> checks;
        QVERIFY2(checksOf(r, &order, &checks), qPrintable(r.both()));
        QCOMPARE(order, kAlways + QStringList{QStringLiteral("deep")});
        QCOMPARE(r.code, 0);
        QCOMPARE(checks.value(QStringLiteral("deep")).value(QStringLiteral("status")).toString(), status);
        QVERIFY2(checks.value(QStringLiteral("deep")).value(QStringLiteral("detail")).toString().contains(detail), qPrintable(r.both()));
    }

    // The rule for an adapter, read back by our own checker; the pseudo-terminal has none.
    void udevRule()
    {
        SystemTree t;
        SystemTree::Usb ftdi;
        t.usb(ftdi);
        t.file(QStringLiteral("/dev/ttyUSB0"), QByteArray());
        SystemTree::Usb ch340;
        ch340.bus = QStringLiteral("1-2");
        ch340.vid = "1a86";
        ch340.pid = "7523";
        ch340.serial.clear();
        ch340.tty = QStringLiteral("ttyUSB1");
        ch340.driver = QStringLiteral("ch341");
        ch340.devNumber = "188:1";
        t.usb(ch340);
        t.file(QStringLiteral("/dev/ttyUSB1"), QByteArray());
        for (const QString &dev : {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB1")}) {
            qputenv("VELTRAW_DOCTOR_ROOT", t.root().toLocal8Bit());
            Cli c(dir_.path());
            c.start({QStringLiteral("-p"), dev, QStringLiteral("doctor"), QStringLiteral("--udev-rule")});
            const Result r = c.finish();
            qunsetenv("VELTRAW_DOCTOR_ROOT");
            QCOMPARE(r.code, 0);
            const QString rule = r.outText();
            QVERIFY2(diagnosis::checkUdevRules(rule).isEmpty(), qPrintable(diagnosis::checkUdevRules(rule).join('\n') + '\n' + rule));
            QVERIFY(rule.contains(QStringLiteral("TAG+=\"uaccess\"")) && rule.contains(QStringLiteral("ENV{ID_MM_DEVICE_IGNORE}=\"1\"")));
            const bool ftdiRule = dev.endsWith(QLatin1Char('0'));
            QVERIFY(rule.contains(ftdiRule ? QStringLiteral("ATTRS{serial}==\"A7XK21QZ\"") : QStringLiteral("ATTRS{idProduct}==\"7523\"")));
            QVERIFY(rule.contains(ftdiRule ? QStringLiteral("SYMLINK+=\"veltraw-A7XK21QZ\"") : QStringLiteral("SYMLINK+=\"veltraw-1a86-7523\"")));
            QCOMPARE(rule.contains(QStringLiteral("ATTR{latency_timer}=\"1\"")), ftdiRule);
            QVERIFY(r.errText().contains(QStringLiteral("/etc/udev/rules.d/70-veltraw.rules")) && r.errText().contains(QStringLiteral("udevadm control --reload")));
        }
        Served w;
        const Result none = run(dir_.path(), {QStringLiteral("-p"), w.port(), QStringLiteral("doctor"), QStringLiteral("--udev-rule")});
        QCOMPARE(none.code, 64);
        QVERIFY(none.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliDoctor)
#include "tst_cli_doctor.moc"
