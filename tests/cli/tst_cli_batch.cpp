// SPDX-License-Identifier: GPL-3.0-or-later
// A batch of boards and the bench's edit loop against veltraw-sim: serial numbers in the
// simulated PIC, the log per unit, several writers in one run, write on change.

#include "cli/clirun.h"
#include "support/hexfiles.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QSet>
#include <QTemporaryDir>

#include <cstdlib>

using namespace clitest;
using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

namespace {

// Words at 0-2, configuration word 3FF1; EEPROM byte 0 = 5Ah (written with --eeprom only).
const QByteArray kPic = rec(0, words({0x2805, 0x0123, 0x3FF0})) + rec(0x400E, words({0x3FF1})) + rec(0x4200, words({0x5A})) + kEnd;

QString s(const char *t) { return QString::fromUtf8(t); }

QList<QJsonObject> logRecords(const QByteArray &log)
{
    bool ok = false;
    const QList<QJsonObject> records = jsonLines(log, &ok);
    return ok ? records : QList<QJsonObject>();
}

// The words (or bytes) of a --dump at consecutive addresses from a byte address.
QVector<int> dumpWords(const QByteArray &dump, int byteAddress, int count)
{
    QVector<int> out(count, -1);
    for (const QByteArray &line : dump.split('\n')) {
        const QByteArray b = QByteArray::fromHex(line.trimmed().mid(1));
        if (b.size() < 5 || b[3] != 0) continue;
        const int at = (quint8(b[1]) << 8) | quint8(b[2]);
        for (int i = 0; i + 1 < quint8(b[0]); i += 2) {
            const int k = (at + i - byteAddress) / 2;
            if (at + i >= byteAddress && k < count) out[k] = quint8(b[4 + i]) | (quint8(b[5 + i]) << 8);
        }
    }
    return out;
}

}  // namespace

class TestCliBatch : public ScratchSuite {
    Q_OBJECT


private slots:
    // Two units in a row: consecutive numbers, at the right bytes, in the order asked for; each
    // unit one log line with exactly the log's keys.
    void consecutiveSerialsAndTheLog_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("dumpAddress");  // byte address in the dump
        QTest::addColumn<QVector<int>>("second");  // what the second unit leaves there
        QTest::newRow("eeprom, big-endian") << s("eeprom:0x10:3") << QStringList{} << 0x4220 << QVector<int>{0x01, 0x00, 0x00};
        QTest::newRow("retlw, little-endian")
            << s("retlw:0x20:3") << QStringList{s("--serial-le")} << 0x40 << QVector<int>{0x3400, 0x3400, 0x3401};
    }
    void consecutiveSerialsAndTheLog()
    {
        QFETCH(QString, place);
        QFETCH(QStringList, extra);
        QFETCH(int, dumpAddress);
        QFETCH(QVector<int>, second);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).left(5);
        SimProcess sim(dir_.path(), tag, {s("--dump"), path(tag + s(".dump"))});
        QVERIFY(sim.ready);
        const QString hex = file(tag + s(".hex"), kPic);
        const QString counter = path(tag + s(".counter"));
        const QString log = path(tag + s(".log"));
        const QStringList args = QStringList{s("-p"), sim.link, s("write"), hex, s("--serial"), place, s("--serial-counter"), counter,
                                             s("--serial-start"), s("0xFFFF"), s("--log"), log} + extra;
        for (int unit = 0; unit < 2; ++unit) {
            const Result r = cli(args);
            QVERIFY2(r.code == 0, qPrintable(r.both()));
            QVERIFY(r.errText().contains(s("合格 1 / 不合格 0 / 計 1")));
        }
        QCOMPARE(readFile(counter).trimmed(), QByteArray("65537"));
        sim.stop();
        const QByteArray dump = readFile(path(tag + s(".dump")));
        QCOMPARE(dumpWords(dump, dumpAddress, second.size()), second);
        QCOMPARE(dumpWords(dump, 0, 3), (QVector<int>{0x2805, 0x0123, 0x3FF0}));
        QCOMPARE(dumpWords(dump, 0x4200, 1), QVector<int>{0xFF});  // the file's EEPROM byte: no --eeprom

        const QList<QJsonObject> records = logRecords(readFile(log));
        QCOMPARE(records.size(), 2);
        const QByteArray firstLine = readFile(log).split('\n').first();
        QVERIFY2(firstLine.startsWith("{\"time\":\"") && firstLine.contains("\"seconds\":"), firstLine.constData());
        const QStringList keys{s("by_id"), s("command"), s("config_word"), s("exit"), s("file"), s("mismatches"), s("next_address"),
                               s("port"), s("result"), s("seconds"), s("serial"), s("sha256"), s("time")};
        const QByteArray sha = QCryptographicHash::hash(kPic, QCryptographicHash::Sha256).toHex();
        for (int i = 0; i < 2; ++i) {
            const QJsonObject &u = records[i];
            QCOMPARE(u.keys(), keys);
            QCOMPARE(u.value(s("serial")).toInt(), 0xFFFF + i);
            QCOMPARE(u.value(s("result")).toString(), s("pass"));
            QCOMPARE(u.value(s("exit")).toInt(), 0);
            QCOMPARE(u.value(s("command")).toString(), s("write"));
            QCOMPARE(u.value(s("port")).toString(), sim.link);
            QVERIFY(u.value(s("by_id")).isNull());
            QCOMPARE(u.value(s("file")).toString(), hex);
            QCOMPARE(u.value(s("sha256")).toString().toLatin1(), sha);
            QCOMPARE(u.value(s("config_word")).toInt(), 0x11);
            QCOMPARE(u.value(s("mismatches")).toInt(), 0);
            QCOMPARE(u.value(s("next_address")).toInt(), place.startsWith(s("retlw")) ? 0x23 : 3);
            QVERIFY(u.value(s("time")).toString().contains(QLatin1Char('T')));
        }
    }

    // A unit that fails keeps its number: marked failed, the next unit gets the next one.
    void failedUnitsNumberNotReused_data()
    {
        QTest::addColumn<bool>("fromList");
        QTest::newRow("counter") << false;
        QTest::newRow("list") << true;
    }
    void failedUnitsNumberNotReused()
    {
        QFETCH(bool, fromList);
        const QString tag = fromList ? s("fl") : s("fc");
        SimProcess dead(dir_.path(), tag + s("dead"), {s("--unpowered")});
        SimProcess good(dir_.path(), tag + s("good"));
        QVERIFY(dead.ready && good.ready);
        const QString hex = file(tag + s(".hex"), kPic);
        const QString source = fromList ? file(tag + s(".list"), "# serials\n0x100\n\n300\n301\n") : path(tag + s(".counter"));
        const QString log = path(tag + s(".log"));
        const QStringList serial = fromList ? QStringList{s("--serial-list"), source}
                                            : QStringList{s("--serial-counter"), source, s("--serial-start"), s("0x100"), s("--serial-step"), s("44")};
        const QStringList args = QStringList{s("write"), hex, s("--serial"), s("eeprom:0x20:2"), s("--log"), log} + serial;

        QCOMPARE(cli(QStringList{s("-p"), dead.link} + args).code, 4);
        const Result r = cli(QStringList{s("-p"), good.link} + args);
        QVERIFY2(r.code == 0, qPrintable(r.both()));
        const QList<QJsonObject> records = logRecords(readFile(log));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].value(s("result")).toString(), s("fail"));
        QCOMPARE(records[0].value(s("exit")).toInt(), 4);
        QCOMPARE(records[0].value(s("serial")).toInt(), 0x100);
        QCOMPARE(records[1].value(s("serial")).toInt(), fromList ? 300 : 0x100 + 44);
        if (fromList) {
            const QList<QByteArray> lines = readFile(source).split('\n');
            QVERIFY2(lines[1].startsWith("0x100 fail ") && lines[3].startsWith("300 pass ") && lines[4] == "301", readFile(source).constData());
        } else {
            QCOMPARE(readFile(source).trimmed(), QByteArray::number(0x100 + 88));
            QVERIFY(readFile(source + s(".failed")).startsWith("256 fail "));
        }
    }

    // Refused before the port is even opened (a port that does not exist would give 69), the
    // counter left as it was.
    void refusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        const QString hex = file(s("u.hex"), kPic);
        const QString counter = file(s("u.counter"), "5\n");
        const QStringList write{s("write"), hex, s("--serial-counter"), counter, s("--serial")};
        QTest::newRow("too large") << QStringList{s("write"), hex, s("--serial"), s("eeprom:8:1"), s("--serial-counter"), file(s("big.counter"), "0x100\n")}
                                   << 64 << s("1 バイトに入りません");
        QTest::newRow("outside EEPROM") << write + QStringList{s("eeprom:62:4")} << 64 << s("はみ出します");
        QTest::newRow("outside program") << write + QStringList{s("retlw:1022:3")} << 64 << s("はみ出します");
        QTest::newRow("over the file's words") << write + QStringList{s("retlw:2:2")} << 64 << s("0002h");
        QTest::newRow("over the file's EEPROM") << write + QStringList{s("eeprom:0:1")} << 64 << s("00h");
        QTest::newRow("no source") << QStringList{s("write"), hex, s("--serial"), s("eeprom:9:1")} << 64 << s("--serial-counter");
        QTest::newRow("log on stdout and json") << QStringList{s("--json"), s("erase"), s("--log"), s("-")} << 64 << s("--log -");
        QTest::newRow("serial on erase") << QStringList{s("erase"), s("--serial-le")} << 64 << s("erase");
        QTest::newRow("read on two ports") << QStringList{s("-p"), s("x,y"), s("read"), s("-o"), s("r.hex")} << 64 << s("複数のポート");
        QTest::newRow("one port twice") << QStringList{s("-p"), s("x,x"), s("erase")} << 64 << s("2回");
        QTest::newRow("counter not there")
            << QStringList{s("write"), hex, s("--serial"), s("eeprom:9:1"), s("--serial-counter"), path(s("none"))} << 66 << s("--serial-start");
        QTest::newRow("counter not a number")
            << QStringList{s("write"), hex, s("--serial"), s("eeprom:9:1"), s("--serial-counter"), file(s("bad.counter"), "12a\n")} << 65 << s("番号");
        QTest::newRow("list used up") << QStringList{s("write"), hex, s("--serial"), s("eeprom:9:1"), s("--serial-list"), file(s("used.list"), "1 pass\n2 fail\n3 taken\n")}
                                      << 65 << s("未使用");
        QTest::newRow("counter's folder not there") << QStringList{s("write"), hex, s("--serial"), s("eeprom:9:1"), s("--serial-counter"),
                                                                   path(s("none/c")), s("--serial-start"), s("1")} << 73 << s("ロック");
        QTest::newRow("list with a number twice")
            << QStringList{s("write"), hex, s("--serial"), s("eeprom:9:1"), s("--serial-list"), file(s("twice.list"), "1\n0x2\n2\n")} << 65
            << s("2 行目と 3 行目");
    }
    void refusedBeforeAnythingIsSent()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, said);
        const Result r = cli(QStringList{s("-p"), path(s("no-such-port"))} + args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.errText().contains(said), qPrintable(r.errText()));
        QCOMPARE(readFile(path(s("u.counter"))), QByteArray("5\n"));
        QVERIFY(!QFile::exists(path(s("none"))));
    }

    // An erase's line on standard output: the keys that do not apply are null.
    void logLineOfAnErase()
    {
        SimProcess sim(dir_.path(), s("e"));
        QVERIFY(sim.ready);
        const Result r = cli({s("-p"), sim.link, s("erase"), s("--log"), s("-")});
        QVERIFY2(r.code == 0, qPrintable(r.both()));
        const QList<QJsonObject> records = logRecords(r.out);
        QCOMPARE(records.size(), 1);
        const QJsonObject &u = records[0];
        QCOMPARE(u.value(s("command")).toString(), s("erase"));
        QCOMPARE(u.value(s("result")).toString(), s("pass"));
        for (const char *key : {"by_id", "file", "sha256", "config_word", "serial", "next_address", "mismatches"})
            QVERIFY2(u.value(QLatin1String(key)).isNull(), key);
        QVERIFY(r.errText().contains(s("計 1")));
    }

    // Two processes on one counter, each writing boards in turn: never the same number.
    void twoProcessesNeverShareANumber()
    {
        SimProcess a(dir_.path(), s("pa")), b(dir_.path(), s("pb"));
        QVERIFY(a.ready && b.ready);
        const QString hex = file(s("p.hex"), kPic);
        const QString counter = path(s("p.counter"));
        const QString log = path(s("p.log"));
        constexpr int kUnits = 3;
        std::vector<std::unique_ptr<Cli>> running;
        QList<Result> results;
        for (int unit = 0; unit < kUnits; ++unit) {
            for (const QString &port : {a.link, b.link}) {
                running.push_back(std::make_unique<Cli>(dir_.path()));
                running.back()->start({s("-p"), port, s("write"), hex, s("--no-verify"), s("--serial"), s("eeprom:0x30:4"),
                                       s("--serial-counter"), counter, s("--serial-start"), s("1000"), s("--log"), log});
            }
            for (auto &c : running) results << c->finish();
            running.clear();
        }
        for (const Result &r : results) QVERIFY2(r.code == 0, qPrintable(r.both()));
        QSet<int> serials;
        for (const QJsonObject &u : logRecords(readFile(log))) serials << u.value(s("serial")).toInt();
        QCOMPARE(serials, (QSet<int>{1000, 1001, 1002, 1003, 1004, 1005}));
        QCOMPARE(readFile(counter).trimmed(), QByteArray("1006"));
    }

    // Four writers in one run, the last without power: every event names its port, each port
    // its own number, the first failure's status, and the retry of just that port.
    void fourPortsInOneRun()
    {
        QList<std::shared_ptr<SimProcess>> sims;
        QStringList links;
        for (int i = 0; i < 4; ++i) {
            const QString name = s("m%1").arg(i);
            sims << std::make_shared<SimProcess>(dir_.path(), name,
                                                 i == 3 ? QStringList{s("--unpowered")} : QStringList{s("--dump"), path(name + s(".dump"))});
            QVERIFY(sims.last()->ready);
            links << sims.last()->link;
        }
        const QString hex = file(s("m.hex"), kPic);
        const QString log = path(s("m.log"));
        const Result r = cli({s("--json"), s("-p"), links[0] + QLatin1Char(',') + links[1], s("-p"), links[2], s("-p"), links[3], s("write"), hex,
                              s("--serial"), s("retlw:0x100:2"), s("--serial-counter"), path(s("m.counter")), s("--serial-start"), s("7"),
                              s("--log"), log});
        QCOMPARE(r.code, 4);
        CLI_EVENTS(events, r.out);
        for (const QJsonObject &e : events) QVERIFY2(e.contains(s("port")), qPrintable(r.outText()));
        const QJsonObject result = events.last();
        QCOMPARE(result.value(s("event")).toString(), s("result"));
        QCOMPARE(result.value(s("exit")).toInt(), 4);
        QCOMPARE(result.value(s("failed_ports")).toArray(), QJsonArray{links[3]});
        QVERIFY(result.value(s("retry")).toString().startsWith(s("veltraw-cli -p ") + links[3] + s(" --json write ")));
        QCOMPARE(result.value(s("passed")).toInt(), 3);
        QCOMPARE(result.value(s("total")).toInt(), 4);
        QCOMPARE(eventsOf(events, s("result")).size(), 5);
        QVERIFY(r.errText().contains(s("失敗したポート: ") + links[3]));

        const QList<QJsonObject> records = logRecords(readFile(log));
        QCOMPARE(records.size(), 4);
        QSet<int> serials;
        for (const QJsonObject &u : records) serials << u.value(s("serial")).toInt();
        QCOMPARE(serials, (QSet<int>{7, 8, 9, 10}));

        // Off a terminal and without --json: the port in front of every line; the log on standard
        // output, a line for each port.
        const Result lines = cli({s("-p"), links[0] + QLatin1Char(',') + links[1], s("eeprom"), s("erase"), s("--log"), s("-")});
        QVERIFY2(lines.code == 0, qPrintable(lines.both()));
        const QList<QJsonObject> erased = logRecords(lines.out);
        QCOMPARE(erased.size(), 2);
        QCOMPARE(erased[0].value(s("command")).toString(), s("eeprom erase"));
        QCOMPARE(QSet<QString>({erased[0].value(s("port")).toString(), erased[1].value(s("port")).toString()}), QSet<QString>({links[0], links[1]}));
        for (const QString &l : lines.errText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(l.startsWith(links[0] + s(": ")) || l.startsWith(links[1] + s(": ")) || l.startsWith(s("合格")), qPrintable(l));
        // A configuration word that differs is told as one, and each progress line once.
        const Result differs = cli({s("-p"), links[0] + QLatin1Char(',') + links[1], s("verify"), hex, s("--config"), s("0x3FF0")});
        QVERIFY2(differs.code == 1, qPrintable(differs.both()));
        QVERIFY2(differs.outText().contains(links[0] + s(": コンフィグ  2007h")), qPrintable(differs.outText()));
        const QStringList told = differs.errText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(told.size() == QSet<QString>(told.begin(), told.end()).size(), qPrintable(differs.errText()));

        QSet<int> written;
        for (int i = 0; i < 3; ++i) {
            sims[i]->stop();
            const QVector<int> w = dumpWords(readFile(path(s("m%1.dump").arg(i))), 0x200, 2);
            QCOMPARE(w[0], 0x3400);
            written << (w[1] & 0xFF);
        }
        QCOMPARE(written.size(), 3);
    }

    // Ctrl+C in the middle of a run over two ports, and during a watch's write: each port's
    // run ends as an interrupted write does.
    void ctrlCDuringTheWrites()
    {
        SimProcess a(dir_.path(), s("ia"), {s("--timed")}), b(dir_.path(), s("ib"), {s("--timed")});
        QVERIFY(a.ready && b.ready);
        const QString hex = file(s("i.hex"), kPic);
        Cli two(dir_.path());
        two.start({s("--json"), s("-p"), a.link, s("-p"), b.link, s("write"), hex});
        QVERIFY(two.started());
        QByteArray out;
        QVERIFY(QTest::qWaitFor([&] { return (out += two.process().readAllStandardOutput()).contains("\"phase\":\"read\""); }, 60000));
        two.interrupt();
        const Result r = two.finish();
        QCOMPARE(r.code, 130);
        CLI_EVENTS(events, out + r.out);
        const QList<QJsonObject> results = eventsOf(events, s("result"));
        QVERIFY(!results.isEmpty());
        QCOMPARE(results.last().value(s("failed_ports")).toArray().size(), 2);
        QCOMPARE(results.last().value(s("exits")).toObject().value(b.link).toInt(), 130);

        // A writer of its own: an interrupted read-back may still be streaming its words.
        SimProcess c(dir_.path(), s("ic"), {s("--timed")});
        QVERIFY(c.ready);
        const QString watched = file(s("iw.hex"), kPic);
        Cli watch(dir_.path());
        watch.start({s("--json"), s("-p"), c.link, s("watch"), watched});
        QVERIFY(watch.started());
        QByteArray err;
        QVERIFY(QTest::qWaitFor([&] { return (err += watch.process().readAllStandardError()).contains("Ctrl+C"); }, 60000));
        QVERIFY(writeFile(watched, kPic));
        out.clear();
        QVERIFY2(QTest::qWaitFor([&] { return (out += watch.process().readAllStandardOutput()).contains("\"phase\":\"read\""); }, 60000),
                 (out + err + watch.process().readAllStandardError()).constData());
        watch.interrupt();
        const Result w = watch.finish();
        QCOMPARE(w.code, 130);
        CLI_EVENTS(watchEvents, out + w.out);
        const QList<QJsonObject> rounds = eventsOf(watchEvents, s("round"));
        QCOMPARE(rounds.size(), 1);
        QCOMPARE(rounds[0].value(s("exit")).toInt(), 130);
    }

    // On a terminal: a status line per port, drawn over in place, each ending in its result.
    void statusLinesOnATerminal()
    {
        SimProcess a(dir_.path(), s("ta")), b(dir_.path(), s("tb"));
        QVERIFY(a.ready && b.ready);
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QByteArray terminal = ::ptsname(master);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        Cli c(dir_.path());
        c.process().setChildProcessModifier([terminal] {
            const int fd = ::open(terminal.constData(), O_RDWR);
            if (fd < 0 || ::dup2(fd, 2) < 0) ::_exit(125);
        });
        c.start({s("-p"), a.link + s(",") + b.link, s("erase")});
        QByteArray shown;
        char buf[4096];
        QVERIFY(QTest::qWaitFor([&] {
            for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) shown.append(buf, int(n));
            return c.process().state() == QProcess::NotRunning;
        }, 60000));
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) shown.append(buf, int(n));
        ::close(master);
        QCOMPARE(c.finish().code, 0);
        QVERIFY2(shown.contains("\x1b[2A"), shown.constData());
        const QString text = QString::fromUtf8(shown);
        QVERIFY2(text.contains(a.link + s("  完了")) && text.contains(b.link + s("  完了")), qPrintable(text));
        QVERIFY(!text.contains(a.link + s(": ")));
    }

    // A file written in two halves is written once, whole; a save by rename with another
    // configuration word is a second round that names the change; each round a unit with its
    // own serial number and log line; Ctrl+C then ends it.
    void watchWritesOnlyWholeFiles()
    {
        SimProcess sim(dir_.path(), s("w"), {s("--dump"), path(s("w.dump"))});
        QVERIFY(sim.ready);
        const QString hex = path(s("watched.hex"));
        const QByteArray whole = rec(0, words({0x3001, 0x3002, 0x3003, 0x3004})) + rec(0x400E, words({0x3FF1})) + kEnd;
        Cli watch(dir_.path());
        watch.start({s("-p"), sim.link, s("--json"), s("watch"), hex, s("--serial"), s("eeprom:0x30:2"), s("--serial-counter"),
                     path(s("w.counter")), s("--serial-start"), s("5"), s("--log"), path(s("w.log"))});
        QVERIFY(watch.started());
        QByteArray out, err;
        auto seen = [&](const QByteArray &what, QByteArray *where) {
            return QTest::qWaitFor([&] {
                out += watch.process().readAllStandardOutput();
                err += watch.process().readAllStandardError();
                return where->contains(what);
            }, 60000);
        };
        QVERIFY(seen(QByteArray("Ctrl+C で終了"), &err));
        QVERIFY(writeFile(hex, whole.left(30)));
        QVERIFY2(seen(QByteArray("書きかけ"), &err), err.constData());
        {
            QFile f(hex);
            QVERIFY(f.open(QIODevice::Append));
            f.write(whole.mid(30));
        }
        QVERIFY2(seen(QByteArray("\"event\":\"round\""), &out), err.constData());
        QVERIFY(writeFile(path(s("new.hex")), rec(0, words({0x3005})) + rec(0x400E, words({0x3FF2})) + kEnd));
        QVERIFY(QFile::rename(path(s("new.hex")), hex) || (QFile::remove(hex) && QFile::rename(path(s("new.hex")), hex)));
        QVERIFY2(seen(QByteArray("\"round\":2"), &out), err.constData());
        watch.interrupt();
        const Result r = watch.finish();
        QCOMPARE(r.code, 0);
        out += r.out;
        err += r.err;
        CLI_EVENTS(events, out);
        const QList<QJsonObject> rounds = eventsOf(events, s("round"));
        QCOMPARE(rounds.size(), 2);
        for (const QJsonObject &e : rounds) QCOMPARE(e.value(s("verified")).toBool(), true);
        QVERIFY(QString::fromUtf8(err).contains(s("0011h → 0012h")));
        QCOMPARE(events.last().value(s("rounds")).toInt(), 2);
        sim.stop();
        const QByteArray dump = readFile(path(s("w.dump")));
        QCOMPARE(dumpWords(dump, 0, 1), QVector<int>{0x3005});
        QCOMPARE(dumpWords(dump, 0x4260, 2), (QVector<int>{0x00, 0x06}));
        const QList<QJsonObject> units = logRecords(readFile(path(s("w.log"))));
        QCOMPARE(units.size(), 2);
        QCOMPARE(units[1].value(s("serial")).toInt(), 6);
        QCOMPARE(units[1].value(s("command")).toString(), s("write"));
        QCOMPARE(units[1].value(s("config_word")).toInt(), 0x12);
    }
};

QTEST_GUILESS_MAIN(TestCliBatch)
#include "tst_cli_batch.moc"
