// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One run against the writer: the port chosen and opened as the window program opens it, the
// link check it runs at start-up, the hosts the core's exchanges talk to, Ctrl+C, and the exit
// status an exchange's outcome gives.

#include "cli/interrupts.h"
#include "cli/options.h"
#include "cli/output.h"
#include "core/link/portstatus.h"
#include "core/link/programmerlink.h"
#include "core/protocol/eepromexchange.h"
#include "core/protocol/linkcheck.h"

#include <QElapsedTimer>
#include <QTimer>
#include <optional>


namespace cli {

namespace exitcode {
enum : int {
    Ok = 0,
    Differs = 1,
    NotBlank = 2,
    CannotVerify = 3,
    NoPower = 4,
    Usage = 64,
    BadInput = 65,
    NoInput = 66,
    Unreachable = 69,
    CannotWrite = 73,
    PortFailed = 74,
    PortBusy = 75,
    WriterFailed = 76,
    NoPermission = 77,
    Interrupted = 130,
};
}  // namespace exitcode

// The port a run uses and how it was found.
struct PortChoice {
    QString device;   // empty when none could be named
    QString how;      // for the user: "-p", "VELTRAW_PORT", the settings file's COM number
    int comNumber = 0;
    QString error;    // why no device, when device is empty
};

// -p, else $VELTRAW_PORT, else the window program's stored COM number; a COM number maps as in
// the window program (the settings file's [Ports], a Wine link, /dev/ttyS(n-1)).
PortChoice choosePort(const QString &given, const QString &iniPath);

// The settings file both programs share; read, never written.
QString settingsFile();

class Session : public QObject {
    Q_OBJECT
public:
    Session(Output &out, const Options &options);
    ~Session() override;

    // Picks the port, opens it and runs the link check: 0 once the writer has answered, else
    // the exit status, the reason told.
    int connect();
    ProgrammerLink &link() { return link_; }
    QString device() const { return device_; }
    Output &out() { return out_; }
    const Options &options() const { return options_; }

    bool interrupted() const;
    // The signal that interrupted the run (SIGINT, SIGTERM, SIGHUP); 0 when none did.
    int signalNumber() const;
    bool portLost() const { return portLost_; }
    // The exit status an outcome gives; Ctrl+C and a lost port come before it.
    int exitFor(Outcome o) const;
    // The last error told, as one line, for the result event.
    QString lastError() const { return lastError_; }
    void error(const QString &text);

    // What the hosts do for the exchanges.
    messages::Button show(const messages::Message &m);
    bool confirmConfigWord(qint16 *word);
    void enter(ExchangeHost *host) { active_ = host; }
    void leave(ExchangeHost *host)
    {
        if (active_ == host) active_ = nullptr;
    }

    // The word --config gives in place of the file's; the word the exchange proposed and the
    // one the dialog's mapping made of it.
    std::optional<int> configOverride;
    std::optional<qint16> configProposed;
    std::optional<qint16> configConfirmed;

    // Tells a lost port, if it was lost; true then.
    bool tellPortLost();

private:
    void onSignal();
    void settle();
    // After the link check: late bytes are awaited this long after the last one, at most the limit.
    static constexpr int kSettleQuietMs = 150;
    static constexpr int kSettleLimitMs = 2000;

    Output &out_;
    const Options &options_;
    ProgrammerLink link_;
    portstatus::AliasLock alias_;
    QString device_;
    QString lastError_;
    QString lostReason_;
    ExchangeHost *active_ = nullptr;
    Interrupts interrupts_;
    bool interrupted_ = false;
    bool portLost_ = false;
    bool lostTold_ = false;
};

// A host of the command line over any of the core's host kinds: messages printed, questions
// answered Yes (the user asked on the command line), the progress line to the bar, and after
// Ctrl+C every wait times out at once, so the exchange sends its own time-out reaction and
// begins nothing more.
template <class Base>
class Host : public Base {
public:
    explicit Host(Session &s) : s_(s) { s_.enter(this); }
    ~Host() override { s_.leave(this); }
    void progress(const QString &text) override { s_.out().exchangeProgress(text); }
    messages::Button show(const messages::Message &m) override { return s_.show(m); }
    bool confirmConfigWord(qint16 *word) override { return s_.confirmConfigWord(word); }
    bool stopRequested() const override { return s_.interrupted(); }
    void armTimeout(int ms) override { Base::armTimeout(s_.interrupted() ? 0 : ms); }
    void pause(int ms) override
    {
        if (!s_.interrupted()) Base::pause(ms);
    }

protected:
    Session &s_;
};

using PlainHost = Host<ExchangeHost>;
using LinkHost = Host<linkcheck::Host>;
using EntryHost = Host<eeprom::EntryHost>;

class ViewHost : public Host<eeprom::ViewHost> {
public:
    using Host::Host;
    void cellRead(int address, int) override { s_.out().step(address + 1); }
};

// The "M" write has no time-out of its own: a writer that falls silent would hold it for
// ever. Here the wait ends (as cancelled) after kSilenceMs without a byte, or on Ctrl+C.
class DataFileHost : public Host<ExchangeHost> {
public:
    static constexpr int kSilenceMs = 5000;
    DataFileHost(Session &s, ProgrammerLink &link);
    bool cancelled() const override;
    bool fellSilent() const { return silent_; }

private:
    ProgrammerLink &link_;
    QTimer wake_;  // wakes the wait now and then to look at the clock
    mutable QElapsedTimer quiet_;
    mutable bool silent_ = false;
};

}  // namespace cli
