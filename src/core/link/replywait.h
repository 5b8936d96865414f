// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wait for the writer's next byte. It sleeps in the event loop (timers, serial
// notifications and the user wake it) and ends on a byte, on the time-out clock running out,
// on the exchange being cancelled, or at once on a closed port.

#include <functional>

class ProgrammerLink;

class ReplyWait {
public:
    enum class End { Byte, TimedOut, Cancelled, PortClosed };

    // A fresh wait: the clock has not run out.
    void begin() { expired_ = false; }
    // The time-out clock ran out: the pending wait (or the next one, until begin()) ends.
    void expire() { expired_ = true; }
    bool expired() const { return expired_; }

    // Until a byte is waiting. A byte already in still yields one turn of the event loop.
    End forByte(ProgrammerLink &link, const std::function<bool()> &cancelled);
    // Until the clock runs out, whatever arrives meanwhile (the pauses the writer needs).
    End forClock(const std::function<bool()> &cancelled);

private:
    bool expired_ = false;
};

// One turn of the event loop without waiting.
void processPendingEvents();
// One turn of the event loop, sleeping until something happens.
void waitForEvents();
// A fixed pause that does not yield: nothing else runs meanwhile.
void pauseWithoutEvents(int ms);
