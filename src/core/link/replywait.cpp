// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/replywait.h"

#include "core/link/programmerlink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

void processPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void waitForEvents() { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }

void pauseWithoutEvents(int ms) { QThread::msleep(ulong(ms)); }

ReplyWait::End ReplyWait::forByte(ProgrammerLink &link, const std::function<bool()> &cancelled)
{
    // A closed port can bring no byte: return rather than wait for ever.
    if (!link.isOpen() || link.bytesWaiting() >= 1) {
        processPendingEvents();
    } else {
        // One turn of the event loop for each thing that happens, none in between.
        for (;;) {
            waitForEvents();
            if (expired_ || (cancelled && cancelled())) break;
            if (!link.isOpen() || link.bytesWaiting() >= 1) break;
        }
    }
    if (cancelled && cancelled()) return End::Cancelled;
    if (expired_) return End::TimedOut;
    if (!link.isOpen() && link.bytesWaiting() < 1) return End::PortClosed;
    return End::Byte;
}

ReplyWait::End ReplyWait::forClock(const std::function<bool()> &cancelled)
{
    while (!expired_ && !(cancelled && cancelled())) waitForEvents();
    return cancelled && cancelled() ? End::Cancelled : End::TimedOut;
}
