// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli when things go wrong, row by row of its exit statuses: no device, a writer that
// stays silent or answers wrongly, a line that hangs up, a port held by another program,
// Ctrl+C; and two commands on two writers at once. The faulty writers are served by the test
// process itself.

#include "cli/clirun.h"
#include "support/hexfiles.h"

#include <QSerialPort>
#include <QTemporaryDir>

using namespace clitest;
using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

class TestCliFaults : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    Result cli(const QStringList &args) { return run(dir_.path(), args); }

private slots:
    void cleanup() { settingsUntouched(); }

    void noSuchDevice()
    {
        const Result r = cli({QStringLiteral("-p"), dir_.filePath(QStringLiteral("nothing-here")), QStringLiteral("version")});
        QCOMPARE(r.code, 69);
        QVERIFY(r.errText().contains(QStringLiteral("見つかりません")));
    }

    void silentAtTheLinkCheck()
    {
        Served w;
        w.server.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        const Result r = cli({QStringLiteral("-p"), w.port(), QStringLiteral("--json"), QStringLiteral("config")});
        QCOMPARE(r.code, 69);
        QVERIFY(w.hostBytes().startsWith("S"));
        QVERIFY(!w.hostBytes().contains('Y'));  // nothing of the command went out
        CLI_EVENTS(events, r.out);
        QCOMPARE(events.last().value(QStringLiteral("exit")).toInt(), 69);
    }

    // Held under the name given, or under the device its link resolves to: refused before
    // anything is sent.
    void portHeldByAnotherProgram()
    {
        Served w;
        const QString alias = dir_.filePath(QStringLiteral("alias"));
        QVERIFY(QFile::link(w.port(), alias));
        QSerialPort holder;
        holder.setPortName(w.port());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        for (const QString &name : {w.port(), alias}) {
            const Result r = cli({QStringLiteral("-p"), name, QStringLiteral("version")});
            QCOMPARE(r.code, 75);
            QVERIFY2(r.errText().contains(QStringLiteral("使用中")), qPrintable(r.errText()));
        }
        QVERIFY(w.hostBytes().isEmpty());
        holder.close();
        QCOMPARE(cli({QStringLiteral("-p"), alias, QStringLiteral("version")}).code, 0);
    }

    // Root opens anything: the command runs as an ordinary user, whom the line is not open to.
    void noPermissionForThePort()
    {
        if (::geteuid() != 0) QSKIP("needs root to run the command as another user");
        Served w;
        Cli c(QDir::tempPath());
        c.asNobody();
        c.start({QStringLiteral("-p"), w.port(), QStringLiteral("version")});
        const Result r = c.finish();
        QCOMPARE(r.code, 77);
        QVERIFY(r.errText().contains(QStringLiteral("dialout")));
        QVERIFY(w.hostBytes().isEmpty());
    }

    void writerFallsSilent()
    {
        Served w;
        w.silenceAfter('@');
        QCOMPARE(cli({QStringLiteral("-p"), w.port(), QStringLiteral("version")}).code, 76);
    }

    void writerAnswersWrongly()
    {
        Served w;
        w.server.writer().responder = [](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'L') return QByteArray("x");
            return std::nullopt;
        };
        const Result r = cli({QStringLiteral("-p"), w.port(), QStringLiteral("erase")});
        QCOMPARE(r.code, 76);
        QVERIFY(w.hostBytes().endsWith("LC"));  // the exchange's own reaction to a wrong answer
    }

    void lineHangsUp()
    {
        Served w;
        w.server.writer().responder = [&w](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b != 'R') return std::nullopt;
            QTimer::singleShot(0, &w.server, [&w] { w.server.hangUp(); });
            return QByteArray("r");
        };
        const QString out = dir_.filePath(QStringLiteral("lost.hex"));
        const Result r = cli({QStringLiteral("-p"), w.port(), QStringLiteral("read"), QStringLiteral("-o"), out});
        QVERIFY2(r.code == 74, qPrintable(r.both()));
        QVERIFY(!QFile::exists(out));
    }

    // Ctrl+C in the middle of a wait: the time-out reaction goes out (E, E, S), then it ends.
    void interrupted()
    {
        Served w;
        w.silenceAfter('L');
        bool sawErase = false;
        QObject::connect(&w.server, &sim::PtyServer::byteFromHost, &w.server, [&sawErase](quint8 b) { sawErase |= b == 'L'; });
        Cli c(dir_.path());
        c.start({QStringLiteral("-p"), w.port(), QStringLiteral("--json"), QStringLiteral("erase")});
        QVERIFY(c.started());
        QVERIFY(QTest::qWaitFor([&sawErase] { return sawErase; }, 20000));
        c.interrupt();
        const Result r = c.finish();
        QCOMPARE(r.code, 130);
        QVERIFY2(w.hostBytes().contains("LEES"), w.hostBytes().constData());
        CLI_EVENTS(events, r.out);
        QCOMPARE(events.last().value(QStringLiteral("exit")).toInt(), 130);
    }

    // One command per port, no lock of the program's own: two writers at once. The writers'
    // bytes, in the order they arrived, show the two runs overlapping rather than taking turns.
    void twoWritersAtOnce()
    {
        const QString hex = dir_.filePath(QStringLiteral("two.hex"));
        QVERIFY(writeFile(hex, rec(0, words({0x2805, 0x0123, 0x0456, 0x0789})) + rec(0x400E, words({0x3FF1})) + kEnd));
        Served a, b;
        QByteArray arrivals;  // 'a' or 'b' for each byte either writer took in
        QObject::connect(&a.server, &sim::PtyServer::byteFromHost, &a.server, [&arrivals] { arrivals += 'a'; });
        QObject::connect(&b.server, &sim::PtyServer::byteFromHost, &b.server, [&arrivals] { arrivals += 'b'; });
        Cli one(dir_.path());
        Cli two(dir_.path());
        one.start({QStringLiteral("-p"), a.port(), QStringLiteral("write"), hex});
        two.start({QStringLiteral("-p"), b.port(), QStringLiteral("write"), hex});
        const Result r1 = one.finish();
        const Result r2 = two.finish();
        QVERIFY2(r1.code == 0, qPrintable(r1.both()));
        QVERIFY2(r2.code == 0, qPrintable(r2.both()));
        QVERIFY2(arrivals.indexOf('b') < arrivals.lastIndexOf('a') && arrivals.indexOf('a') < arrivals.lastIndexOf('b'),
                 arrivals.constData());
        for (Served *w : {&a, &b}) {
            const sim::SimWriter &pic = w->server.writer();
            QCOMPARE(QList<quint16>(pic.program.begin(), pic.program.begin() + 5), (QList<quint16>{0x2805, 0x0123, 0x0456, 0x0789, 0x3FFF}));
            QCOMPARE(pic.configWord(), quint16(0x11));  // bits 0-4 of 3FF1h
        }
    }
};

QTEST_GUILESS_MAIN(TestCliFaults)
#include "tst_cli_faults.moc"
