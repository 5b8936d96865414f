// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one serial connection to the writer: 4800 baud, 8N1, one received unit per read.

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

class ProgrammerLink : public QObject {
    Q_OBJECT
public:
    explicit ProgrammerLink(QObject *parent = nullptr);
    ~ProgrammerLink() override;

    // The COM number set before opening (the port dialog's choice).
    int CommPort = 0;

    // Opens the device the COM number maps to. On failure returns false and says why.
    bool open(const QString &iniPath, QString *why);
    bool openDevice(const QString &device, QString *why);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    QString deviceName() const { return device_; }
    // The adapter's latency timer after opening, in ms; -1 where the system does not tell.
    int adapterLatencyMs() const { return latencyMs_; }
    // Above this the adapter's hold makes every exchange noticeably slower.
    static constexpr int kSlowAdapterMs = 2;

    void clearInput();
    void sendLetter(char letter);
    void sendByte(uint8_t byte);
    void sendBytes(const QByteArray &bytes);

    int bytesWaiting();        // InBufferCount
    int bytesNotSent() const;  // OutBufferCount
    // Yields to the event loop until everything handed to the port has gone to the device.
    void drainTransmit();

    void setBinaryMode(bool on);
    bool binaryMode() const { return binary_; }

    // One received unit: a one-character text in text mode; empty when nothing is waiting.
    QString readText();
    // One received byte, or -1 when nothing is waiting (binary-mode reads).
    int readByte();

    // Keeps a second exchange off the link while one runs in another window.
    bool busy() const { return busyOwner_ != nullptr; }
    QString busyOwner() const { return busyOwner_ ? QString::fromUtf8(busyOwner_) : QString(); }
    bool acquire(const char *owner);
    void release(const char *owner);

    // Most bytes kept waiting in our own receive buffer; the rest waits in the driver.
    static constexpr qint64 kReadBufferLimit = 8192;
    // Longest the transmit drain waits for a device that takes no more bytes.
    static constexpr int kDrainLimitMs = 5000;

signals:
    // The device went away or failed; the port has been closed.
    void portLost(const QString &reason);

private:
    void onError(QSerialPort::SerialPortError e);
    QSerialPort port_;
    QString device_;
    bool binary_ = false;
    int latencyMs_ = -1;
    const char *busyOwner_ = nullptr;
};

// Holds the link for one exchange; refuses when another window holds it.
class LinkSession {
public:
    LinkSession(ProgrammerLink &link, const char *owner) : link_(link), owner_(owner), held_(link.acquire(owner)) {}
    ~LinkSession()
    {
        if (held_) link_.release(owner_);
    }
    bool held() const { return held_; }
    LinkSession(const LinkSession &) = delete;
    LinkSession &operator=(const LinkSession &) = delete;

private:
    ProgrammerLink &link_;
    const char *owner_;
    bool held_;
};
