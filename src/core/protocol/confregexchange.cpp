// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/confregexchange.h"

#include "core/formats/confregtext.h"
#include "core/link/programmerlink.h"

namespace confreg {

namespace {

Outcome communicationFailure(ProgrammerLink &link, ExchangeHost &host, bool timedOut)
{
    host.disarmTimeout();
    link.sendLetter('C');
    host.show(messages::confRegCommFailed());
    link.sendLetter('E');
    return failureOf(link, timedOut, Outcome::WriterError);
}

}  // namespace

ReadResult readConfigRegister(ProgrammerLink &link, ExchangeHost &host)
{
    ReadResult result;
    // The time-out's reaction, the moment a wait sees it: "C", and the window goes.
    ReactingWait waits(link, host, [&] {
        link.sendLetter('C');
        host.closeWindow();
    });

    link.clearInput();
    link.sendLetter('Y');
    waits.startLimit(kTimeoutMs);
    if (waits.awaitWithinLimit() == ReplyWait::End::Cancelled) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    // After a time-out the reply read now still decides which message is shown, but nothing
    // more is read or shown after a "y".
    const QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        host.disarmTimeout();
        host.show(messages::confRegPowerOff());
        host.closeWindow();
        result.outcome = waits.timedOut() ? Outcome::TimedOut : Outcome::NoPower;
        return result;
    }
    if (reply != QLatin1String("y")) {
        result.outcome = communicationFailure(link, host, waits.timedOut());
        host.closeWindow();
        return result;
    }
    if (waits.timedOut()) {
        result.outcome = Outcome::TimedOut;
        return result;
    }

    link.setBinaryMode(true);
    int data[2] = {-1, -1};  // the first byte means nothing to us; the second is the register
    for (int &byte : data) {
        const ReplyWait::End end = waits.awaitWithinLimit();
        if (end == ReplyWait::End::Cancelled || end == ReplyWait::End::TimedOut) {
            link.setBinaryMode(false);
            result.outcome = end == ReplyWait::End::Cancelled ? Outcome::Cancelled : Outcome::TimedOut;
            return result;
        }
        byte = link.readByte();
    }
    link.setBinaryMode(false);
    if (data[0] < 0 || data[1] < 0) {
        // The port went away in the middle: no register value arrived, so none is shown.
        result.outcome = communicationFailure(link, host, false);
        host.closeWindow();
        return result;
    }
    result.value = data[1];
    result.text = confreg::decodeConfigByte(uint8_t(data[1]));
    result.outcome = Outcome::Done;
    host.disarmTimeout();
    return result;
}

}  // namespace confreg
