// SPDX-License-Identifier: GPL-3.0-or-later
// What can be asked without changing anything: the serial ports, the configuration register,
// the writer's firmware version.

#include "cli/commandsupport.h"
#include "cli/clitext.h"

#include "core/diagnosis/serialdevice.h"
#include "core/link/portnaming.h"
#include "core/platform.h"
#include "core/protocol/confregexchange.h"
#include "core/protocol/versionexchange.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

namespace cli {

namespace {

constexpr int kComNumbers = 16;  // the window program takes COM1 to COM16

struct PortEntry {
    QString path;
    QString real;  // with its links resolved
    QString mappedBy;  // for a device only the settings file or a Wine link names
    QStringList byId;
    QList<int> com;
    diagnosis::DeviceInfo info;
    bool hasInfo = false;
};

}  // namespace

int runPorts(Run &run)
{
    const QString ini = settingsFile();
    const QString home = QDir::homePath();
    QVector<PortEntry> entries;
    auto find = [&](const QString &real) -> PortEntry * {
        for (PortEntry &e : entries)
            if (e.real == real) return &e;
        return nullptr;
    };
    for (const diagnosis::DeviceInfo &p : diagnosis::listSerialPorts()) {
        PortEntry e;
        e.path = p.device;
        e.real = QFileInfo(e.path).canonicalFilePath();
        if (e.real.isEmpty()) e.real = e.path;
        e.info = p;
        e.hasInfo = true;
        entries << e;
    }
    // A pseudo-terminal (the simulated writer) or an adapter the system lists under another
    // name: listed when a COM number is mapped to it.
    for (int n = 1; n <= kComNumbers; ++n) {
        const portnaming::Resolution r = portnaming::deviceFor(n, ini, home);
        if (r.source == QLatin1String("default") || !QFileInfo::exists(r.device)) continue;
        const QString real = QFileInfo(r.device).canonicalFilePath();
        if (find(real)) continue;
        PortEntry e;
        e.path = r.device;
        e.real = real;
        e.mappedBy = r.source;
        entries << e;
    }
    const QDir byIdDir(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : byIdDir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (PortEntry *e = find(link.canonicalFilePath())) e->byId << link.absoluteFilePath();
    for (int n = 1; n <= kComNumbers; ++n) {
        const QString device = portnaming::deviceFor(n, ini, home).device;
        if (PortEntry *e = find(QFileInfo(device).canonicalFilePath())) e->com << n;
    }

    QStringList lines;
    for (const PortEntry &e : entries) {
        const portstatus::Status st = portstatus::check(e.path);
        const int latency = platform::latencyTimerMs(e.path);
        QJsonObject ev{{QStringLiteral("event"), QStringLiteral("port")},
                       {QStringLiteral("path"), e.path},
                       {QStringLiteral("device"), e.real},
                       {QStringLiteral("by_id"), QJsonArray::fromStringList(e.byId)},
                       {QStringLiteral("status"), QLatin1String(portstatus::problemName(st.problem))}};
        QJsonArray com;
        for (int n : e.com) com.append(n);
        ev.insert(QStringLiteral("com"), com);
        ev.insert(QStringLiteral("latency_ms"), latency >= 0 ? QJsonValue(latency) : QJsonValue());
        if (st.holderPid > 0) {
            ev.insert(QStringLiteral("holder_pid"), st.holderPid);
            ev.insert(QStringLiteral("holder"), st.holderName);
        }
        QString comText;
        for (int n : e.com) comText += (comText.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("COM%1").arg(n);
        lines << text::portHeading(e.path, comText);
        if (e.real != e.path) lines << text::portField(text::portFieldDevice(), e.real);
        for (const QString &id : e.byId) lines << text::portField(QStringLiteral("by-id"), id);
        if (e.hasInfo) {
            const diagnosis::DeviceInfo &p = e.info;
            if (p.usb) {
                ev.insert(QStringLiteral("vid"), p.vid);
                ev.insert(QStringLiteral("pid"), p.pid);
                lines << text::portField(QStringLiteral("USB"), p.vid + QLatin1Char(':') + p.pid);
            }
            ev.insert(QStringLiteral("serial"), p.serial);
            ev.insert(QStringLiteral("description"), p.product);
            ev.insert(QStringLiteral("manufacturer"), p.manufacturer);
            if (!p.serial.isEmpty()) lines << text::portField(text::portFieldSerial(), p.serial);
            const QString about = QStringList{p.product, p.manufacturer}.filter(QRegularExpression(QStringLiteral("\\S"))).join(QStringLiteral(" / "));
            if (!about.isEmpty()) lines << text::portField(text::portFieldDescription(), about);
        } else {
            lines << text::portField(text::portFieldDescription(), text::portMappedOnly(e.mappedBy));
        }
        lines << text::portField(text::portFieldState(), text::portState(st));
        if (latency >= 0) lines << text::portField(text::portFieldLatency(), text::milliseconds(latency));
        run.out.event(ev);
    }
    if (entries.isEmpty()) run.out.info(text::noPorts());
    else run.out.result(lines.join(QLatin1Char('\n')));
    run.result.insert(QStringLiteral("count"), int(entries.size()));
    return exitcode::Ok;
}

int runConfig(Run &run)
{
    Session s(run.out, run.options);
    if (const int status = s.connect()) return failedWith(run, s, status);
    confreg::ReadResult r;
    {
        PlainHost host(s);
        r = confreg::readConfigRegister(s.link(), host);
    }
    if (r.outcome != Outcome::Done) {
        if (r.outcome == Outcome::TimedOut && s.lastError().isEmpty()) s.error(text::writerStoppedAnswering());
        return failed(run, s, r.outcome);
    }
    const int bits = r.value & 0x7F;
    run.out.result(r.text);
    run.result.insert(QStringLiteral("value"), bits);
    static const char *const kOscillator[4] = {"LP", "XT", "HS", "RC"};
    run.result.insert(QStringLiteral("oscillator"), QLatin1String(kOscillator[bits & 3]));
    run.result.insert(QStringLiteral("watchdog"), (bits & 0x04) != 0);
    run.result.insert(QStringLiteral("power_up_timer"), (bits & 0x08) == 0);
    run.result.insert(QStringLiteral("code_protect"), (bits & 0x10) == 0);
    return exitcode::Ok;
}

int runVersion(Run &run)
{
    Session s(run.out, run.options);
    if (const int status = s.connect()) return failedWith(run, s, status);
    about::VersionResult r;
    {
        PlainHost host(s);
        r = about::queryFirmwareVersion(s.link(), host);
    }
    if (r.outcome != Outcome::Done) {
        if (!s.interrupted() && !s.portLost()) s.error(text::noFirmwareAnswer());
        return failed(run, s, r.outcome);
    }
    run.out.result(r.text);
    run.result.insert(QStringLiteral("firmware"), r.text.section(QLatin1Char(' '), -1));
    return exitcode::Ok;
}

}  // namespace cli
