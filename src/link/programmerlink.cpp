#include "programmerlink.h"

#include "app/trace.h"
#include "link/portnaming.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>

ProgrammerLink::ProgrammerLink(QObject *parent) : QObject(parent)
{
    port_.setReadBufferSize(kReadBufferLimit);
    connect(&port_, &QSerialPort::errorOccurred, this, &ProgrammerLink::onError);
}

ProgrammerLink::~ProgrammerLink() { close(); }

bool ProgrammerLink::open(const QString &iniPath, QString *why)
{
    if (CommPort < 1) {
        if (why) *why = QStringLiteral("通信ポートが選ばれていません。");
        return false;
    }
    return openDevice(portnaming::deviceFor(CommPort, iniPath, QDir::homePath()).device, why);
}

bool ProgrammerLink::openDevice(const QString &device, QString *why)
{
    close();
    device_ = device;
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        if (why) *why = portnaming::openFailureText(device, port_.error(), port_.errorString());
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
    trace::bytes(true, bytes, binary_);
    port_.write(bytes);
    port_.flush();  // hand it to the device now rather than at the next event-loop turn
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
    while (port_.isOpen() && port_.bytesToWrite() > 0) {
        port_.flush();
        if (port_.bytesToWrite() > 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
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
    trace::bytes(false, QByteArray(1, c), binary_);
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
