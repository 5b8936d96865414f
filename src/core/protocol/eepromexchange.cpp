// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/eepromexchange.h"

#include "core/formats/eepromtext.h"
#include "core/link/programmerlink.h"
#include "core/link/sevenbit.h"
#include "core/messages.h"

namespace eeprom {

void ViewHost::setButtonsEnabled(bool) {}
void ViewHost::readStarting() {}
void ViewHost::reading(int) {}
void ViewHost::cellRead(int, int) {}
void ViewHost::readEnded() {}
void EntryHost::setButtonsEnabled(bool) {}
void EntryHost::byteSent() {}

namespace {

enum class Wait { Byte, TimedOut, Gone };

// The view's reply waits. Their time-out sends "C" to bring the writer back to its command
// loop; a closed window ends a wait and the exchange leaves without another byte.
struct ViewWaits : ReactingWait {
    ViewWaits(ProgrammerLink &link, ViewHost &host) : ReactingWait(link, host, [&link] { link.sendLetter('C'); }) {}
    Wait next()
    {
        const ReplyWait::End end = await(kViewTimeoutMs);
        if (end == ReplyWait::End::Cancelled) return Wait::Gone;
        return end == ReplyWait::End::TimedOut ? Wait::TimedOut : Wait::Byte;
    }
};

// The view's end after a failure: status emptied (unless told to keep it), buttons back.
void viewIdle(ViewHost &host, bool clearStatus = true)
{
    if (clearStatus) host.progress(QString());
    host.setButtonsEnabled(true);
}

}  // namespace

ReadResult readEeprom(ProgrammerLink &link, ViewHost &host)
{
    ReadResult result;
    host.readStarting();
    host.setButtonsEnabled(false);
    host.progress(messages::kEepromBusy);
    link.clearInput();
    link.sendLetter('X');
    ViewWaits waits(link, host);
    Wait w = waits.next();
    if (w == Wait::Gone) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    const bool firstTimedOut = w == Wait::TimedOut;
    const QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        host.show(messages::eepromPowerOff());
        viewIdle(host);
        result.outcome = failureOf(link, firstTimedOut, Outcome::NoPower);
        return result;
    }
    if (reply != QLatin1String("x")) {
        link.sendLetter('C');
        host.show(messages::eepromCommFailed());
        viewIdle(host);
        result.outcome = failureOf(link, firstTimedOut, Outcome::WriterError);
        return result;
    }

    link.setBinaryMode(true);
    // One data byte; on a failed stream (time-out, port gone) the message is shown here.
    auto take = [&](int *value) -> Wait {
        const Wait got = waits.next();
        if (got == Wait::Gone) return got;
        const int b = got == Wait::TimedOut ? -1 : link.readByte();
        if (b < 0) {
            // A time-out has already sent its "C".
            link.setBinaryMode(false);
            host.show(messages::eepromCommFailed());
            viewIdle(host, false);
            result.outcome = failureOf(link, got == Wait::TimedOut, Outcome::WriterError);
            return Wait::TimedOut;
        }
        *value = b;
        return Wait::Byte;
    };
    for (int address = 0; address < kBytes; ++address) {
        host.reading(address);
        int first = 0;
        int second = 0;
        w = take(&first);
        if (w == Wait::Byte && !SevenBitGroup::isData(uint8_t(first))) break;
        if (w == Wait::Byte) w = take(&second);
        if (w == Wait::Gone) {
            link.setBinaryMode(false);
            result.outcome = Outcome::Cancelled;
            return result;
        }
        if (w == Wait::TimedOut) return result;
        if (!SevenBitGroup::isData(uint8_t(second))) break;
        const int value = eepromtext::pairValue(uint8_t(first), uint8_t(second));
        result.bytes[size_t(address)] = value;
        result.count = address + 1;
        host.cellRead(address, value);
    }
    link.setBinaryMode(false);
    host.progress(QString());
    host.setButtonsEnabled(true);
    host.readEnded();
    result.outcome = result.count == kBytes ? Outcome::Done : Outcome::WriterError;
    return result;
}

ReadResult eraseEeprom(ProgrammerLink &link, ViewHost &host)
{
    ReadResult result;
    host.setButtonsEnabled(false);
    const messages::Button answer = host.show(messages::eepromEraseQuestion());
    if (host.cancelled()) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (answer != messages::Yes) {
        host.setButtonsEnabled(true);
        result.outcome = Outcome::Declined;
        return result;
    }
    host.progress(messages::kEepromBusy);
    link.clearInput();
    link.sendLetter('F');
    result.eraseSent = true;
    pauseWithoutEvents(kEraseAnswerMs);
    ViewWaits waits(link, host);
    const Wait w = waits.next();
    if (w == Wait::Gone) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        host.show(messages::eepromPowerOff());
        viewIdle(host);
        result.outcome = failureOf(link, w == Wait::TimedOut, Outcome::NoPower);
        return result;
    }
    if (reply != QLatin1String("a")) {
        // The acknowledgement may sit behind another byte.
        reply = link.readText();
        if (reply != QLatin1String("a")) {
            link.sendLetter('C');
            host.show(messages::eepromCommFailed());
            viewIdle(host);
            result.outcome = failureOf(link, w == Wait::TimedOut, Outcome::WriterError);
            return result;
        }
    }

    host.pause(kErasePauseMs);
    if (host.cancelled()) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    host.progress(QString());
    result = readEeprom(link, host);
    result.eraseSent = true;
    result.erased = true;
    return result;
}

Outcome writeEepromByte(ProgrammerLink &link, EntryHost &host, int address, const QString &entry, bool *valueSent)
{
    if (valueSent) *valueSent = false;
    host.setButtonsEnabled(false);
    host.progress(messages::kEepromWriting);
    const eepromtext::Entry e = eepromtext::checkEntry(entry);
    if (e.problem != eepromtext::EntryProblem::None) {
        host.show(messages::entryProblem(eepromtext::problemText(e.problem)));
        host.setButtonsEnabled(true);
        host.progress(QString());
        return Outcome::Declined;
    }

    // The entry's time-out only ends the wait: the reply read then decides what follows.
    auto wait = [&]() -> bool { return host.awaitByte(link, kEntryTimeoutMs) != ReplyWait::End::Cancelled; };
    auto failed = [&](Outcome otherwise) { return failureOf(link, false, otherwise); };

    link.clearInput();
    link.sendLetter('V');
    if (!wait()) return Outcome::Cancelled;
    QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        host.show(messages::entryPowerOff());
        host.setButtonsEnabled(true);
        host.progress(QString());
        return failed(Outcome::NoPower);
    }
    if (reply != QLatin1String("v")) {
        link.sendLetter('C');
        host.show(messages::entryCommFailedFirst());
        host.setButtonsEnabled(true);
        return failed(reply.isEmpty() ? Outcome::TimedOut : Outcome::WriterError);
    }

    host.byteSent();
    link.sendByte(SevenBitGroup::single(address));
    if (!wait()) return Outcome::Cancelled;
    reply = link.readText();
    if (reply != QLatin1String("v")) {
        link.sendLetter('C');
        host.show(messages::entryCommFailed());
        host.setButtonsEnabled(true);
        return failed(reply.isEmpty() ? Outcome::TimedOut : Outcome::WriterError);
    }
    // Asked to stop before the value went: "C" takes the writer back, the byte stays as it was.
    if (host.stopRequested()) {
        link.sendLetter('C');
        return Outcome::Cancelled;
    }

    link.sendBytes(SevenBitGroup::byte8(uint8_t(e.value)));
    if (valueSent) *valueSent = true;
    if (!wait()) return Outcome::Cancelled;
    reply = link.readText();
    if (reply != QLatin1String("a")) {
        host.show(messages::entryCommFailed());
        host.setButtonsEnabled(true);
        return failed(reply.isEmpty() ? Outcome::TimedOut : Outcome::WriterError);
    }

    // Give the PIC time to finish the write before the view reads it back.
    host.pause(kWritePauseMs);
    host.setButtonsEnabled(true);
    return Outcome::Done;
}

}  // namespace eeprom
