// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/linkcheck.h"

#include "core/link/programmerlink.h"

namespace linkcheck {

Host::~Host() { delete ticker_; }

void Host::startTicker()
{
    if (!ticker_) {
        ticker_ = new QTimer;
        ticker_->setTimerType(Qt::PreciseTimer);
        QObject::connect(ticker_, &QTimer::timeout, [this] { tick(); });
    }
    ticker_->start(kResendMs);
}

void Host::stopTicker()
{
    if (ticker_) ticker_->stop();
}

void Host::showProgress() {}
void Host::watchdogExpired() {}
void Host::finished() {}

Outcome checkLink(ProgrammerLink &link, Host &host)
{
    ReplyWait &wait = host.replyWait();
    bool reacted = false;
    // Every turn of the event loop may bring the watchdog's end; its reaction comes at once.
    auto turn = [&](bool sleep) {
        if (sleep) waitForEvents();
        else processPendingEvents();
        if (wait.expired() && !reacted) {
            reacted = true;
            link.setBinaryMode(false);
            host.show(messages::writerSilent());
            host.watchdogExpired();
        }
    };
    auto watching = [&] { return !wait.expired(); };

    host.progress(messages::kLinkCheckProgress);
    wait.begin();
    host.armTimeout(kWatchdogMs);
    host.startTicker();
    // Input is cleared before the first "S" rather than after it, so a quick reply is never
    // thrown away with the stale bytes.
    link.clearInput();
    link.setBinaryMode(true);
    link.sendLetter('S');
    host.markSent();
    host.showProgress();

    bool watchdogEnded = false;
    for (;;) {  // binary receive mode
        turn(false);
        if (watching()) {
            if (host.takeResend()) link.sendLetter('S');
            if (link.bytesWaiting() < 1) {
                turn(true);
                continue;
            }
        }
        if (!watching()) {
            watchdogEnded = true;
            break;
        }
        if (link.readByte() == 's') break;
        link.sendLetter('S');
    }

    if (!watchdogEnded) {
        link.setBinaryMode(false);
        pauseWithoutEvents(kPassPauseMs);
        link.clearInput();
        link.sendLetter('S');
        host.markSent();
        for (;;) {  // text receive mode
            turn(false);
            if (watching() && link.bytesWaiting() < 1) {
                turn(true);
                continue;
            }
            const QString unit = link.readText();
            if (unit != QLatin1String("s")) link.sendLetter('S');
            if (!watching() || unit == QLatin1String("s")) break;
        }
    }

    host.disarmTimeout();
    host.stopTicker();
    link.sendLetter('C');
    host.finished();
    return reacted ? Outcome::TimedOut : Outcome::Done;
}

}  // namespace linkcheck
