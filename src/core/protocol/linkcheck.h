// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The link check run at start-up and after every port choice: "S" until the writer answers
// "s" in binary receive mode, a pause, then "S" until "s" in text mode, then "C". A watchdog
// ends it when the writer stays silent; a ticker re-sends "S" every second meanwhile.

#include "core/protocol/host.h"

class ProgrammerLink;

namespace linkcheck {

constexpr int kWatchdogMs = 5000;
constexpr int kResendMs = 1000;
constexpr int kPassPauseMs = 500;

class Host : public ExchangeHost {
public:
    // The re-send ticker: the host calls tick() at each of its beats.
    virtual void startTicker();
    virtual void stopTicker();
    void tick() { resendDue_ = true; }
    // The progress window, shown once the first "S" is out.
    virtual void showProgress();
    // The watchdog ran out and the user has been told: what else the front end does then.
    virtual void watchdogExpired();
    // The check is over, "C" sent: the progress window goes.
    virtual void finished();

    bool takeResend()
    {
        const bool due = resendDue_;
        resendDue_ = false;
        return due;
    }
    void markSent() { resendDue_ = false; }

private:
    bool resendDue_ = false;
    QTimer *ticker_ = nullptr;

public:
    ~Host() override;
};

// Done when the writer answered; TimedOut when the watchdog ended the check.
Outcome checkLink(ProgrammerLink &link, Host &host);

}  // namespace linkcheck
