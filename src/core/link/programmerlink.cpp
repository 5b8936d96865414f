// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/programmerlink.h"

#include "core/trace.h"
#include "core/link/portnaming.h"
#include "core/link/portstatus.h"
#include "core/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>


ProgrammerLink::ProgrammerLink(QObject *parent) : QObject(parent)
{
    port_.setReadBufferSize(kReadBufferLimit);
    connect(&port_, &QSerialPort::errorOccurred, this, &ProgrammerLink::onError);
}

ProgrammerLink::~ProgrammerLink() { close(); }

bool ProgrammerLink::open(const QString &iniPath, QString *why)
{
    if (CommPort < 1) {
        if (why) *why = QCoreApplication::translate("link", "通信ポートが選ばれていません。");
        return false;
    }
    return openDevice(portnaming::deviceFor(CommPort, iniPath, QDir::homePath()).device, why);
}

bool ProgrammerLink::openDevice(const QString &device, QString *why)
{
    close();
    device_ = device;
    latencyMs_ = -1;
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        // Qt says "permission" for a port in use too: look behind it, so the user gets the
        // right remedy (close the other program, or join the dialout group).
        const portstatus::Status st = portstatus::diagnoseOpenFailure(device, port_.errorString());
        if (why) *why = st.problem == portstatus::PortProblem::None ? portnaming::openFailureText(device, port_.error(), port_.errorString())
                                                                    : portstatus::text(st, device);
        trace::note(QStringLiteral("open %1 failed: %2").arg(device, port_.errorString()));
        return false;
    }
    const bool ok = port_.setBaudRate(4800) && port_.setDataBits(QSerialPort::Data8)
                    && port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop)
                    && port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok && port_.error() != QSerialPort::UnsupportedOperationError) {
        if (why) *why = portnaming::openFailureText(device, port_.error(), port_.errorString());
        port_.close();
        return false;
    }
    port_.clearError();
    binary_ = false;
    trace::note(QStringLiteral("open %1").arg(device));
    // Every exchange waits for a one-byte reply: an adapter that holds received bytes for its
    // latency timer costs that long each time. Best effort; a pty or another driver refuses.
    QString what;
    platform::requestLowLatency(port_.handle(), &what);
    trace::note(what);
    latencyMs_ = platform::latencyTimerMs(device);
    if (latencyMs_ >= 0) trace::note(QStringLiteral("latency timer %1 ms").arg(latencyMs_));
    return true;
}

void ProgrammerLink::close()
{
    if (port_.isOpen()) {
        port_.close();
        trace::note(QStringLiteral("close %1").arg(device_));
    }
}

void ProgrammerLink::onError(QSerialPort::SerialPortError e)
{
    switch (e) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
        break;
    default:
        return;  // timeouts and unsupported line settings are not the device going away
    }
    if (!port_.isOpen()) return;
    const QString reason = port_.errorString();
    // Closing at once stops the flood of errors a vanished device produces.
    port_.close();
    port_.clearError();
    trace::note(QStringLiteral("port lost: %1").arg(reason));
    emit portLost(reason);
}

void ProgrammerLink::clearInput()
{
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::Input);
    const QByteArray rest = port_.readAll();
    if (!rest.isEmpty()) trace::bytes(false, rest, binary_);
    trace::note(QStringLiteral("clear input"));
}

void ProgrammerLink::sendLetter(char letter) { sendBytes(QByteArray(1, letter)); }

void ProgrammerLink::sendByte(uint8_t byte) { sendBytes(QByteArray(1, char(byte))); }

void ProgrammerLink::sendBytes(const QByteArray &bytes)
{
    if (!port_.isOpen()) {
        trace::note(QStringLiteral("send on a closed port dropped"));
        return;
    }
    if (trace::enabled()) trace::bytes(true, bytes, binary_);
    // Straight to the device while nothing waits in the port's own buffer. The port's buffered
    // path switches its write notifier on and off for every byte, which costs two extra turns
    // of the event loop each time: most of our CPU time per program word.
    bool full = port_.bytesToWrite() > 0;  // then the bytes queue behind what waits, in order
    const qint64 done = full ? 0 : platform::writeNow(port_.handle(), bytes.constData(), bytes.size(), &full);
    if (done < bytes.size()) {
        port_.write(bytes.constData() + done, bytes.size() - done);
        // A device that is merely full takes the rest when it has room, through the port's
        // write notifier: flushing now would take its "try again" for a write error and close
        // the port. Any other failure: the port tries at once and reports it.
        if (!full) port_.flush();
    }
}

int ProgrammerLink::bytesWaiting()
{
    if (!port_.isOpen()) return 0;
    const qint64 n = port_.bytesAvailable();
    return int(std::min<qint64>(n, 32767));
}

int ProgrammerLink::bytesNotSent() const
{
    return port_.isOpen() ? int(std::min<qint64>(port_.bytesToWrite(), 32767)) : 0;
}

void ProgrammerLink::drainTransmit()
{
    // What waits in the port's buffer goes out through its write notifier as the device takes
    // it (a flush here would count a full device as a write error).
    // A device that stops taking bytes without an error must not hold us for ever: after the
    // same 5 s every reply gets, the caller goes on and its next wait reports the failure.
    if (!port_.isOpen() || port_.bytesToWrite() == 0) return;
    QDeadlineTimer deadline(kDrainLimitMs);
    QTimer wake;  // wakes the loop below at the deadline; re-armed should it come early
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (port_.isOpen() && port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!wake.isActive()) wake.start(int(std::max<qint64>(1, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (port_.isOpen() && port_.bytesToWrite() > 0) trace::note(QStringLiteral("transmit drain gave up"));
}

void ProgrammerLink::setBinaryMode(bool on)
{
    if (binary_ != on) trace::note(on ? QStringLiteral("mode binary") : QStringLiteral("mode text"));
    binary_ = on;
}

QString ProgrammerLink::readText()
{
    const int b = readByte();
    if (b < 0) return QString();
    return QString(QChar(char16_t(b)));
}

int ProgrammerLink::readByte()
{
    if (!port_.isOpen() || port_.bytesAvailable() < 1) return -1;
    char c = 0;
    if (port_.read(&c, 1) != 1) return -1;
    if (trace::enabled()) trace::bytes(false, QByteArray(1, c), binary_);
    return uint8_t(c);
}

bool ProgrammerLink::acquire(const char *owner)
{
    if (busyOwner_) return false;
    busyOwner_ = owner;
    return true;
}

void ProgrammerLink::release(const char *owner)
{
    if (busyOwner_ == owner) busyOwner_ = nullptr;
}
