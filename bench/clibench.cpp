// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli against veltraw-sim --timed, each a process of its own: write + verify, read, four
// writers at once (four processes, and one run given the four ports), and a full write and read
// through a modelled USB adapter. Each row prints its wall time next to the floor the line and
// the model imply.

#include "clibench.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 4800.0;
// The pauses the command line makes whatever the line does: the link check's 500 ms between
// its passes, the quiet 150 ms in which it lets the check's late answers go by, and 500 ms
// after each operation's opening "C".
constexpr double kLinkCheckPausesMs = 500 + 150;
constexpr double kOperationPauseMs = 500;
// veltraw-cli doctor on a working writer, from start to exit.
constexpr double kDoctorGoalMs = 3000;
// One program word's two turnarounds: "D" and its "w" (two bytes of line), then the word's
// two groups, the PIC's write and "w" (three bytes and 4 ms).
constexpr double kWordTurnaroundsMs[2] = {2 * kByteMs, 3 * kByteMs + 4.0};

struct Totals {
    long long fromHost = 0;
    long long fromWriter = 0;
    long long picBusyUs = 0;
};

class Sim {
public:
    bool start(const QString &program, const QString &link, int adapterMs)
    {
        QStringList args{QStringLiteral("--link"), link, QStringLiteral("--timed")};
        if (adapterMs > 0) args << QStringLiteral("--adapter-latency") << QString::number(adapterMs);
        proc_.start(program, args);
        if (!proc_.waitForStarted(5000)) return false;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            proc_.waitForReadyRead(100);
            out_ += proc_.readAllStandardOutput();
            if (out_.contains("linked as")) {
                // Its signal handlers come just after that line: SIGUSR1 any earlier would end it.
                QThread::msleep(300);
                return proc_.state() == QProcess::Running;
            }
        }
        return false;
    }
    bool totals(Totals *t)
    {
        out_.clear();
        ::kill(pid_t(proc_.processId()), SIGUSR1);
        QElapsedTimer w;
        w.start();
        while (w.elapsed() < 3000) {
            proc_.waitForReadyRead(100);
            out_ += proc_.readAllStandardOutput();
            const int at = out_.indexOf("totals ");
            if (at >= 0 && out_.indexOf('\n', at) > at) {
                return std::sscanf(out_.constData() + at, "totals from_host=%lld from_writer=%lld pic_busy_us=%lld",
                                   &t->fromHost, &t->fromWriter, &t->picBusyUs) == 3;
            }
        }
        return false;
    }
    ~Sim()
    {
        proc_.terminate();
        if (!proc_.waitForFinished(3000)) proc_.kill();
    }

private:
    QProcess proc_;
    QByteArray out_;
};

QByteArray fullHex()
{
    QByteArray out;
    for (int w = 0; w < 1024; w += 8) {
        QByteArray rec;
        rec.append(char(16)).append(char((w * 2) >> 8)).append(char((w * 2) & 0xFF)).append(char(0));
        for (int i = 0; i < 8; ++i) {
            const int word = ((w + i) * 0x2F5 + 0x123) & 0x3FFF;
            rec.append(char(word & 0xFF)).append(char(word >> 8));
        }
        int sum = 0;
        for (char c : rec) sum += uint8_t(c);
        rec.append(char((256 - (sum & 0xFF)) & 0xFF));
        out += ':' + rec.toHex().toUpper() + "\r\n";
    }
    out += ":02400E00F13F80\r\n:00000001FF\r\n";
    return out;
}

struct Result {
    QString name;
    double wallMs = 0;
    double floorMs = 0;
    int exit = -1;
};

// What the model adds to a lock-step turnaround of `ownMs`: the reply waits for the adapter's
// next tick, counted from its last packet, which in lock step is the previous reply.
double heldMs(double ownMs, int adapterMs)
{
    if (adapterMs <= 0) return 0;
    return adapterMs * std::ceil(ownMs / adapterMs) - ownMs;
}

}  // namespace

int runCliBench(const QString &simProgram, const QString &cliProgram, const QString &only)
{
    QTemporaryDir dir;
    const QString hex = dir.filePath(QStringLiteral("full.hex"));
    QFile f(hex);
    if (!f.open(QIODevice::WriteOnly) || f.write(fullHex()) < 0) return 1;
    f.close();

    auto runCli = [&](const QString &link, const QStringList &args, double *ms) {
        QProcess cli;
        QElapsedTimer t;
        t.start();
        cli.start(cliProgram, QStringList{QStringLiteral("-q"), QStringLiteral("-p"), link} + args);
        cli.waitForFinished(300000);
        *ms = double(t.elapsed());
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    };
    // One command on a fresh simulated writer; the floor from what crossed the line.
    auto oneRow = [&](const QString &name, const QStringList &args, int adapterMs, double pausesMs,
                      double extraFloor) -> Result {
        Result r;
        r.name = name;
        Sim sim;
        static int serial = 0;  // a link of its own for each writer: the last one may still be going
        const QString link = dir.filePath(QStringLiteral("sim-%1").arg(++serial));
        if (!sim.start(simProgram, link, adapterMs)) return r;
        Totals before, after;
        if (!sim.totals(&before)) return r;
        r.exit = runCli(link, args, &r.wallMs);
        if (!sim.totals(&after)) r.exit = -1;
        const double line = double(after.fromHost - before.fromHost + after.fromWriter - before.fromWriter) * kByteMs;
        r.floorMs = line + double(after.picBusyUs - before.picBusyUs) / 1000.0 + pausesMs + extraFloor;
        return r;
    };

    const QStringList writeVerify{QStringLiteral("write"), hex};
    const QStringList writeOnly{QStringLiteral("write"), hex, QStringLiteral("--no-verify")};
    const QStringList read{QStringLiteral("read"), QStringLiteral("-o"), dir.filePath(QStringLiteral("back.hex"))};
    const double writePauses = kLinkCheckPausesMs + 2 * kOperationPauseMs;  // the write, then the read-back
    const double readPauses = kLinkCheckPausesMs + kOperationPauseMs;

    // The diagnosis: eight "S" pings, "@" and "Y" in lock step, nothing else but the line; with
    // an adapter all but the first ping wait for its tick. --deep adds the read after "C" and
    // its 500 ms pause.
    const QString doctorRow = QStringLiteral("doctor, whole run");
    auto doctorRows = [&] {
        return QVector<Result>{
            oneRow(doctorRow, {QStringLiteral("doctor")}, 0, 0, 0),
            oneRow(QStringLiteral("doctor, 16 ms adapter"), {QStringLiteral("doctor")}, 16, 0, 7 * heldMs(2 * kByteMs, 16)),
            oneRow(QStringLiteral("doctor --deep"), {QStringLiteral("doctor"), QStringLiteral("--deep")}, 0, kOperationPauseMs, 0)};
    };
    auto printRows = [](const QVector<Result> &rows) {
        std::printf("\nveltraw-cli against veltraw-sim --timed (one process each):\n\n");
        std::printf("| operation | exit | floor ms | wall ms | ratio |\n|---|---:|---:|---:|---:|\n");
        int failures = 0;
        for (const Result &r : rows) {
            const double ratio = r.floorMs > 0 ? r.wallMs / r.floorMs : 0;
            std::printf("| %s | %d | %.1f | %.1f | %.3f |\n", qPrintable(r.name), r.exit, r.floorMs, r.wallMs, ratio);
            // A floor above the wall time means the floor was computed wrong.
            if (r.exit != 0 || ratio < 1.0) {
                ++failures;
                std::fprintf(stderr, "veltraw-bench: row \"%s\": %s\n", qPrintable(r.name),
                             r.exit != 0 ? "the command failed" : "wall time below its floor");
            }
        }
        return failures;
    };
    auto doctorGoal = [&](const QVector<Result> &rows) {
        for (const Result &r : rows) {
            if (r.name != doctorRow) continue;
            const bool met = r.wallMs <= kDoctorGoalMs;
            std::printf("doctor's whole run: %.0f ms, goal %.0f ms: %s\n", r.wallMs, kDoctorGoalMs, met ? "met" : "missed");
            return met ? 0 : 1;
        }
        return 0;
    };
    if (only == QLatin1String("doctor")) {
        const QVector<Result> rows = doctorRows();
        const int failures = printRows(rows) + doctorGoal(rows);
        std::fflush(stdout);
        return failures;
    }

    QVector<Result> rows;
    rows << oneRow(QStringLiteral("write + verify, 1024 words"), writeVerify, 0, writePauses, 0);
    rows << oneRow(QStringLiteral("read + HEX export"), read, 0, readPauses, 0);
    for (int adapter : {16, 1}) {
        const double perWord = heldMs(kWordTurnaroundsMs[0], adapter) + heldMs(kWordTurnaroundsMs[1], adapter);
        rows << oneRow(QStringLiteral("write, 1024 words, %1 ms adapter").arg(adapter), writeOnly, adapter,
                       kLinkCheckPausesMs + kOperationPauseMs, 1024 * perWord);
        // A stream fills whole packets, which go at once; only its end waits for a tick.
        rows << oneRow(QStringLiteral("read, %1 ms adapter").arg(adapter), read, adapter, readPauses, adapter);
    }
    rows << doctorRows();

    // Four writers at once, each with its own simulated writer: the wall time of all four
    // against one alone.
    Result four;
    four.name = QStringLiteral("four writers at once (write + verify each)");
    {
        std::vector<std::unique_ptr<Sim>> sims;
        std::vector<std::unique_ptr<QProcess>> clis;
        bool ok = true;
        for (int i = 0; i < 4; ++i) {
            sims.push_back(std::make_unique<Sim>());
            ok = ok && sims.back()->start(simProgram, dir.filePath(QStringLiteral("par-%1").arg(i)), 0);
        }
        QElapsedTimer t;
        t.start();
        for (int i = 0; ok && i < 4; ++i) {
            clis.push_back(std::make_unique<QProcess>());
            clis.back()->start(cliProgram, QStringList{QStringLiteral("-q"), QStringLiteral("-p"),
                                                       dir.filePath(QStringLiteral("par-%1").arg(i))} + writeVerify);
        }
        four.exit = ok ? 0 : -1;
        for (auto &c : clis) {
            c->waitForFinished(300000);
            if (c->exitStatus() != QProcess::NormalExit || c->exitCode() != 0) four.exit = c->exitCode();
        }
        four.wallMs = double(t.elapsed());
        four.floorMs = rows[0].floorMs;  // four lines at once: each one's floor is the single write's
    }
    rows << four;

    // The same four in one run: one veltraw-cli given the four ports.
    Result oneRun;
    oneRun.name = QStringLiteral("four writers in one run (-p x4, write + verify)");
    {
        std::vector<std::unique_ptr<Sim>> sims;
        QStringList ports;
        bool ok = true;
        for (int i = 0; i < 4; ++i) {
            sims.push_back(std::make_unique<Sim>());
            ports << dir.filePath(QStringLiteral("run-%1").arg(i));
            ok = ok && sims.back()->start(simProgram, ports.last(), 0);
        }
        if (ok) oneRun.exit = runCli(ports.join(QLatin1Char(',')), writeVerify, &oneRun.wallMs);
        oneRun.floorMs = rows[0].floorMs;
    }
    rows << oneRun;

    // watch: from the moment the saved file counts as settled (its last write and the 300 ms
    // it must then stay unchanged) to the first byte sent to the writer.
    double watchMs = -1;
    {
        Sim sim;
        const QString link = dir.filePath(QStringLiteral("watch-sim"));
        const QString watched = dir.filePath(QStringLiteral("watched.hex"));
        QProcess cli;
        cli.setProcessChannelMode(QProcess::MergedChannels);
        QByteArray said;
        auto await = [&](const QByteArray &what, int ms) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < ms && !said.contains(what)) {
                cli.waitForReadyRead(50);
                said += cli.readAll();
            }
            return said.contains(what);
        };
        Totals before, now;
        if (sim.start(simProgram, link, 0)) {
            cli.start(cliProgram, QStringList{QStringLiteral("-p"), link, QStringLiteral("--json"), QStringLiteral("watch"), watched});
            if (await(QByteArray("Ctrl+C"), 10000) && sim.totals(&before)) {
                QFile w(watched);
                if (w.open(QIODevice::WriteOnly) && w.write(":020000000528D1\r\n:00000001FF\r\n") > 0) {
                    w.close();
                    QElapsedTimer since;
                    since.start();
                    now = before;
                    while (since.elapsed() < 5000 && now.fromHost == before.fromHost && sim.totals(&now)) {}
                    if (now.fromHost != before.fromHost) watchMs = double(since.elapsed()) - 300;
                }
                await(QByteArray("\"event\":\"round\""), 60000);
            }
            ::kill(pid_t(cli.processId()), SIGINT);
            if (!cli.waitForFinished(10000)) cli.kill();
        }
    }

    int failures = printRows(rows);
    std::printf("\nfour at once against one alone: %.2f\n", rows[0].wallMs > 0 ? four.wallMs / rows[0].wallMs : 0);
    std::printf("four in one run against one alone: %.2f (goal: at most 1.05)\n", rows[0].wallMs > 0 ? oneRun.wallMs / rows[0].wallMs : 0);
    std::printf("watch: first byte to the writer %.0f ms after the file settled (goal: at most 500)\n", watchMs);
    if (watchMs < 0) {
        ++failures;
        std::fprintf(stderr, "veltraw-bench: watch: no write followed the change\n");
    }
    failures += doctorGoal(rows);
    std::fflush(stdout);
    return failures;
}
