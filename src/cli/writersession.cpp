// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/writersession.h"
#include "cli/clitext.h"

#include "cli/unit.h"

#include "core/formats/configword.h"
#include "core/link/portnaming.h"
#include "core/settings/storedsettings.h"
#include "core/trace.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>

namespace cli {

namespace {

// A device path as given: relative ones are made absolute (QSerialPort would look for a bare
// name under /dev), and a bare name that exists only under /dev means that one.
QString devicePath(const QString &given)
{
    if (given.startsWith(QLatin1Char('/'))) return given;
    if (!given.contains(QLatin1Char('/')) && !QFileInfo::exists(given) && QFileInfo::exists(QStringLiteral("/dev/") + given))
        return QStringLiteral("/dev/") + given;
    return QFileInfo(given).absoluteFilePath();
}

}  // namespace

QString settingsFile() { return settings::defaultIniFilePath(); }

PortChoice choosePort(const QString &given, const QString &iniPath)
{
    PortChoice c;
    QString name = given;
    c.how = QStringLiteral("-p");
    if (name.isEmpty()) {
        name = qEnvironmentVariable("VELTRAW_PORT");
        c.how = QStringLiteral("VELTRAW_PORT");
    }
    if (name.isEmpty()) {
        // Read as the window program reads it at start-up.
        const auto stored = settings::loadPortNumber(iniPath);
        if (!stored) {
            c.error = text::noPort(iniPath);
            return c;
        }
        c.comNumber = *stored;
        c.how.clear();
    } else {
        static const QRegularExpression com(QStringLiteral("^(?:[Cc][Oo][Mm])?([0-9]{1,3})$"));
        const auto m = com.match(name);
        if (m.hasMatch()) {
            c.comNumber = m.captured(1).toInt();
            if (c.comNumber < 1) {
                c.error = text::badComNumber(name);
                return c;
            }
        }
    }
    if (c.comNumber > 0) {
        const portnaming::Resolution r = portnaming::deviceFor(c.comNumber, iniPath, QDir::homePath());
        c.device = r.device;
        c.how = text::comMapping(c.how, c.comNumber, r.source, iniPath);
    } else {
        c.device = devicePath(name);
    }
    return c;
}

Session::Session(Output &out, const Options &options)
    : out_(out), options_(options), interrupts_([this] { onSignal(); })
{
    QObject::connect(&link_, &ProgrammerLink::portLost, this, [this](const QString &reason) {
        portLost_ = true;
        lostReason_ = reason;
    });
    // A reader that goes away (a pipe into head) must not end us in the middle of an exchange.
    std::signal(SIGPIPE, SIG_IGN);
}

Session::~Session()
{
    interrupts_.release();
    link_.close();
    alias_.release();
}

void Session::onSignal()
{
    if (interrupted_) return;
    interrupted_ = true;
    // A second Ctrl+C ends the program at once.
    interrupts_.release();
    trace::note(QStringLiteral("interrupted"));
    out_.error(text::interrupting());
    // The wait under way ends as if its time had run out, and the exchange reacts as it does
    // then; the waits after it end at once (Host::armTimeout).
    if (active_) active_->expire();
}

void Session::error(const QString &t)
{
    out_.error(t);
    lastError_ = QString(t).replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

bool Session::interrupted() const { return interrupted_ || Interrupts::caught(); }
int Session::signalNumber() const { return Interrupts::caught(); }

bool Session::tellPortLost()
{
    if (!portLost_) return false;
    if (!lostTold_) {
        lostTold_ = true;
        error(text::portLostDuring(device_, lostReason_));
    }
    return true;
}

int Session::exitFor(Outcome o) const
{
    if (interrupted()) return exitcode::Interrupted;
    if (portLost_) return exitcode::PortFailed;
    switch (o) {
    case Outcome::Done: return exitcode::Ok;
    case Outcome::Declined: return exitcode::Usage;
    case Outcome::NoPower: return exitcode::NoPower;
    case Outcome::WriterError: return exitcode::WriterFailed;
    case Outcome::TimedOut: return exitcode::WriterFailed;
    case Outcome::FileError: return exitcode::BadInput;
    case Outcome::PortLost: return exitcode::PortFailed;
    case Outcome::Cancelled: return exitcode::Interrupted;
    case Outcome::Busy: return exitcode::PortBusy;
    }
    return exitcode::WriterFailed;
}

messages::Button Session::show(const messages::Message &m)
{
    const bool question = (m.buttons & messages::Yes) != 0;
    const messages::Button answer = question ? messages::Yes : messages::Ok;
    trace::message(m.title, m.text, question ? QStringLiteral("Yes") : QStringLiteral("OK"));
    // Once interrupted, the exchange unwinds through its time-out path: its words about a
    // silent writer would mislead.
    if (interrupted()) return answer;
    QString t = m.text;
    if (!m.detail.isEmpty()) t += QLatin1Char('\n') + m.detail;
    if (question) out_.info(text::answeredYes(t));
    else if (m.icon == messages::Icon::Critical) error(t);
    else out_.info(t);
    return answer;
}

bool Session::confirmConfigWord(qint16 *word)
{
    configProposed = *word;
    const qint16 chosen = configOverride ? qint16(*configOverride) : *word;
    // The dialog shows the word's selection and "OK" stores the word rebuilt from it.
    *word = configword::wordFromSelection(configword::selectionFromWord(chosen));
    configConfirmed = *word;
    return true;
}

int Session::connect()
{
    const PortChoice choice = choosePort(options_.port, settingsFile());
    if (choice.device.isEmpty()) {
        error(choice.error);
        return exitcode::Usage;
    }
    device_ = choice.device;
    unitDevice() = device_;
    out_.info(text::usingPort(device_, choice.how));

    portstatus::Status st = portstatus::check(device_);
    QString why;
    if (st.problem == portstatus::PortProblem::None && !link_.openDevice(device_, &why))
        st = portstatus::diagnoseOpenFailure(device_, why);
    if (st.problem == portstatus::PortProblem::None && !alias_.take(device_)) {
        link_.close();
        st = portstatus::check(device_);
        if (st.problem == portstatus::PortProblem::None) st.problem = portstatus::PortProblem::Busy;
    }
    if (st.problem != portstatus::PortProblem::None) {
        error(portstatus::text(st, device_));
        switch (st.problem) {
        case portstatus::PortProblem::NoPermission: return exitcode::NoPermission;
        case portstatus::PortProblem::Busy: return exitcode::PortBusy;
        default: return exitcode::Unreachable;
        }
    }

    Outcome o;
    {
        LinkHost host(*this);
        out_.info(text::checkingLink());
        o = linkcheck::checkLink(link_, host);
    }
    if (interrupted()) return exitcode::Interrupted;
    if (tellPortLost()) return exitcode::PortFailed;
    if (o != Outcome::Done) {
        error(text::linkSilent(device_));
        return exitcode::Unreachable;
    }
    settle();
    if (interrupted()) return exitcode::Interrupted;
    if (tellPortLost()) return exitcode::PortFailed;
    return exitcode::Ok;
}

void Session::settle()
{
    // The check ends by sending "C" without waiting for its answer, and "S" re-sent meanwhile
    // may still be answered. In the window program the user's first click comes long after;
    // here the next exchange would follow at once and could take such a late byte for its
    // own reply. Nothing is sent: the late bytes are let in and dropped.
    PlainHost host(*this);
    QElapsedTimer spent;
    spent.start();
    while (spent.elapsed() < kSettleLimitMs && !interrupted() && link_.isOpen()) {
        if (host.awaitByte(link_, kSettleQuietMs) != ReplyWait::End::Byte) break;
        link_.readByte();
    }
    link_.clearInput();
}

DataFileHost::DataFileHost(Session &s, ProgrammerLink &link) : Host(s), link_(link)
{
    wake_.start(250);
    quiet_.start();
}

bool DataFileHost::cancelled() const
{
    if (s_.interrupted()) return true;
    if (link_.bytesWaiting() > 0) quiet_.restart();
    silent_ = quiet_.elapsed() > kSilenceMs;
    return silent_;
}

}  // namespace cli
