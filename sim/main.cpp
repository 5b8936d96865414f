// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-sim: the simulated writer on a pseudo-terminal, for use without the hardware.

#include "ptyserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int sig) { (void)!::write(signalPipe[1], sig == SIGUSR1 ? "u" : "x", 1); }
}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltraw-sim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated VELTRA2 writer with a modelled PIC (1024 program words, ID/configuration words "
        "at 2000h-2007h, 64 EEPROM bytes), served on a pseudo-terminal.\n"
        "Point veltraw at the printed device path (or at the --link path) as its COM port.\n"
        "Stop it with Ctrl+C; with --dump the PIC's memory is then saved as Intel HEX.\n"
        "SIGUSR1 prints the bytes exchanged so far and the PIC time modelled."));
    p.addHelpOption();
    QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Create a symbolic link PATH to the device."), QStringLiteral("PATH"));
    QCommandLineOption hex(QStringLiteral("hex"), QStringLiteral("Start from this Intel HEX image (program at 0000h, ID/config at 4000h, EEPROM at 4200h)."), QStringLiteral("FILE"));
    QCommandLineOption dump(QStringLiteral("dump"), QStringLiteral("On exit, write the PIC's memory to FILE as Intel HEX."), QStringLiteral("FILE"));
    QCommandLineOption timed(QStringLiteral("timed"), QStringLiteral("Model time on the wire (4800 baud) and the PIC's write and erase times."));
    QCommandLineOption unpowered(QStringLiteral("unpowered"), QStringLiteral("Behave as if the target board had no power (replies \"?\")."));
    QCommandLineOption firmware(QStringLiteral("firmware"), QStringLiteral("Firmware version digits answered to \"@\" (default 105)."), QStringLiteral("DIGITS"), QStringLiteral("105"));
    QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Print every byte on the wire."));
    QCommandLineOption adapterLatency(QStringLiteral("adapter-latency"), QStringLiteral(
        "Model a USB serial adapter (FTDI-like) between writer and PC: the writer's bytes are held "
        "until the adapter's latency timer of MS milliseconds ticks (it counts from the adapter's last "
        "packet), or go at once when a packet is full. 16 is the usual default of such a chip, 1 its "
        "low-latency setting; 0 (the default) is a direct line. Works with or without --timed."),
        QStringLiteral("MS"), QStringLiteral("0"));
    QCommandLineOption adapterPacket(QStringLiteral("adapter-packet"), QStringLiteral(
        "Data bytes in one adapter packet for --adapter-latency (default 62: a full-speed 64-byte "
        "packet less its 2 status bytes; 510 models a high-speed chip)."),
        QStringLiteral("BYTES"), QStringLiteral("62"));
    p.addOptions({link, hex, dump, timed, unpowered, firmware, verbose, adapterLatency, adapterPacket});
    p.process(app);

    bool latencyOk = false, packetOk = false;
    const int latencyMs = p.value(adapterLatency).toInt(&latencyOk);
    const int packetBytes = p.value(adapterPacket).toInt(&packetOk);
    // An FTDI chip's timer takes 1 to 255 ms.
    if (!latencyOk || latencyMs < 0 || latencyMs > 255) {
        fprintf(stderr, "veltraw-sim: --adapter-latency takes 0 to 255 ms\n");
        return 1;
    }
    if (!packetOk || packetBytes < 1 || packetBytes > 4096) {
        fprintf(stderr, "veltraw-sim: --adapter-packet takes 1 to 4096 bytes\n");
        return 1;
    }

    sim::PtyServer server;
    QString error;
    if (!server.start(&error)) {
        fprintf(stderr, "veltraw-sim: cannot create a pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    sim::SimWriter &w = server.writer();
    if (p.isSet(hex)) {
        QFile f(p.value(hex));
        if (!f.open(QIODevice::ReadOnly)) {
            fprintf(stderr, "veltraw-sim: cannot read %s: %s\n", qPrintable(f.fileName()), qPrintable(f.errorString()));
            return 1;
        }
        if (!w.loadHex(f.read(16 * 1024 * 1024), &error)) {
            fprintf(stderr, "veltraw-sim: %s: %s\n", qPrintable(f.fileName()), qPrintable(error));
            return 1;
        }
    }
    w.boardPowered = !p.isSet(unpowered);
    w.firmwareVersion = p.value(firmware);
    server.setTimed(p.isSet(timed));
    server.setAdapterLatency(latencyMs, packetBytes);
    server.setRecording(false);  // a long session would otherwise grow the record for ever

    QString linkPath = p.value(link);
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        if (!QFile::link(server.slavePath(), linkPath)) {
            fprintf(stderr, "veltraw-sim: cannot create the link %s\n", qPrintable(linkPath));
            return 1;
        }
    }
    printf("%s\n", qPrintable(server.slavePath()));
    if (!linkPath.isEmpty()) printf("linked as %s\n", qPrintable(linkPath));
    fflush(stdout);

    if (p.isSet(verbose)) {
        QObject::connect(&server, &sim::PtyServer::wireByte, [](qint64 ms, bool fromHost, quint8 b) {
            fprintf(stderr, "%8lld %s %02X %c\n", (long long)ms, fromHost ? "->" : "<-", b, (b >= 0x20 && b < 0x7F) ? b : '.');
        });
    }

    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
        std::signal(SIGUSR1, onSignal);
        auto *n = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(n, &QSocketNotifier::activated, &app, [&server] {
            char c = 0;
            if (::read(signalPipe[0], &c, 1) != 1) return;
            if (c == 'u') {
                // SIGUSR1: the running totals, for benchmarks.
                const auto t = server.totals();
                printf("totals from_host=%lld from_writer=%lld pic_busy_us=%lld\n", (long long)t.fromHost,
                       (long long)t.fromWriter, (long long)t.picBusyUs);
                fflush(stdout);
                return;
            }
            QCoreApplication::quit();
        });
    }
    const int rc = app.exec();

    if (!linkPath.isEmpty()) QFile::remove(linkPath);
    if (p.isSet(dump)) {
        QSaveFile out(p.value(dump));
        const QByteArray text = w.dumpHex();
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || out.write(text) != text.size() || !out.commit()) {
            fprintf(stderr, "veltraw-sim: cannot write %s: %s\n", qPrintable(out.fileName()), qPrintable(out.errorString()));
            return 1;
        }
    }
    return rc;
}
