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
    if (timedOut) return Outcome::TimedOut;
    return link.isOpen() ? Outcome::WriterError : Outcome::PortLost;
}

}  // namespace

ReadResult readConfigRegister(ProgrammerLink &link, ExchangeHost &host)
{
    ReadResult result;
    ReplyWait &wait = host.replyWait();
    auto gone = [&host] { return host.cancelled(); };
    bool timedOut = false;
    // The time-out's reaction, the moment a wait sees it: "C", and the window goes.
    auto await = [&]() -> ReplyWait::End {
        const ReplyWait::End end = wait.forByte(link, gone);
        if (end == ReplyWait::End::TimedOut && !timedOut) {
            timedOut = true;
            link.sendLetter('C');
            host.closeWindow();
        }
        return end;
    };

    link.clearInput();
    link.sendLetter('Y');
    wait.begin();
    host.armTimeout(kTimeoutMs);
    if (await() == ReplyWait::End::Cancelled) {
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
        result.outcome = timedOut ? Outcome::TimedOut : Outcome::NoPower;
        return result;
    }
    if (reply != QLatin1String("y")) {
        result.outcome = communicationFailure(link, host, timedOut);
        host.closeWindow();
        return result;
    }
    if (timedOut) {
        result.outcome = Outcome::TimedOut;
        return result;
    }

    link.setBinaryMode(true);
    int data[2] = {-1, -1};  // the first byte means nothing to us; the second is the register
    for (int &byte : data) {
        const ReplyWait::End end = await();
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
    result.text = confreg::DecodeConfigByte(uint8_t(data[1]));
    result.outcome = Outcome::Done;
    host.disarmTimeout();
    return result;
}

}  // namespace confreg
