// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Serves a SimWriter on the master side of a pseudo-terminal. The program under test opens
// the slave side (slavePath()) exactly as it would open a serial port.

#include "simwriter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <deque>

class QSocketNotifier;

namespace sim {

class PtyServer : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(QObject *parent = nullptr);
    ~PtyServer() override;

    bool start(QString *error = nullptr);
    QString slavePath() const { return slavePath_; }
    bool isRunning() const { return masterFd_ >= 0; }

    SimWriter &writer() { return writer_; }

    // Wire-time model: 4800 baud, 10 bits a byte each way, plus the PIC's times (PicTimes).
    void setTimed(bool on);
    bool timed() const { return timed_; }
    static constexpr double kByteUs = 1e6 * 10.0 / 4800.0;
    // The last stretch before a byte is due is waited out awake, so it goes out on time.
    static constexpr qint64 kSpinUs = 200;
    // How long the line is watched awake after a reply for the program's answer.
    static constexpr qint64 kWatchUs = 500;

    // A USB serial adapter between the writer and the program; 0 ms (the default) is a direct
    // line. Like an FTDI chip, the adapter holds what the writer sends and passes it on in one
    // USB packet when its latency timer runs out, or at once when a packet's payload is full.
    // The timer counts from the adapter's last packet and runs on while nothing is held (the
    // chip then sends bare status packets), so a held byte waits for the next tick: up to
    // `ms`, not always all of it. Works with and without the wire-time model.
    static constexpr int kFtdiPacketBytes = 62;  // a full-speed 64-byte packet less 2 status bytes
    void setAdapterLatency(int ms, int packetBytes = kFtdiPacketBytes);
    int adapterLatency() const { return int(adapterLatencyUs_ / 1000); }
    int adapterPacketBytes() const { return adapterPacket_; }

    const QVector<WireEvent> &record() const { return record_; }
    QByteArray hostBytes() const;     // everything the program sent, in order
    QByteArray writerBytes() const;   // everything the writer sent, in order
    void clearRecord() { record_.clear(); }

    // Running totals since start: bytes each way and the PIC time modelled.
    struct Totals { qint64 fromHost = 0; qint64 fromWriter = 0; qint64 picBusyUs = 0; };
    Totals totals() const { return totals_; }
    // Keeps the record from growing without bound in a long-running simulator.
    void setRecording(bool on) { recording_ = on; }

    // Takes in at once whatever the program has written so far (tests call it before they
    // look at the record, since the server otherwise reads only when the event loop runs).
    void pollNow() { if (masterFd_ >= 0) onReadable(); }

    // Closes the master side: the program sees the line hang up.
    void hangUp();

signals:
    void byteFromHost(quint8 byte);
    // Every byte as it crosses (milliseconds on the server's clock): a byte from the program
    // when the server took it in, a byte from the writer when it reached the program's side,
    // that is after any modelled line time and adapter hold.
    void wireByte(qint64 ms, bool fromHost, quint8 byte);
    void hungUp();

private:
    void onReadable();
    void readMaster();
    void pump();
    void writeByte(uint8_t b);
    void writeBytes(const QByteArray &bytes);
    void adapterReceive(qint64 arrivalUs, uint8_t byte, QByteArray &out);
    void adapterSend(qint64 atUs, QByteArray &out);
    qint64 nowUs() const { return clock_.nsecsElapsed() / 1000; }

    struct Pending { qint64 dueUs; uint8_t byte; bool fromHost; int busyUs; };

    int masterFd_ = -1;
    int slaveKeepFd_ = -1;
    QString slavePath_;
    QSocketNotifier *notifier_ = nullptr;
    SimWriter writer_;
    bool timed_ = false;
    QElapsedTimer clock_;
    QVector<WireEvent> record_;
    Totals totals_;
    bool recording_ = true;
    std::deque<Pending> inQueue_;
    std::deque<Pending> outQueue_;
    qint64 inLineFreeUs_ = 0;
    qint64 outLineFreeUs_ = 0;
    qint64 lastReplyUs_ = -1000000;
    QTimer pumpTimer_;
    qint64 adapterLatencyUs_ = 0;
    int adapterPacket_ = kFtdiPacketBytes;
    QByteArray adapterHeld_;
    qint64 adapterFlushUs_ = 0;       // when the held bytes go up by the timer
    qint64 adapterLastPacketUs_ = 0;  // the adapter's timer counts from here
};

}  // namespace sim
