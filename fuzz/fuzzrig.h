// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the targets that run real exchanges share: an application object for the event loop, and
// a fresh simulated writer on a pseudo-terminal with the program's link on it for every input, so
// nothing one input leaves on the line can reach the next.

#include "core/link/programmerlink.h"
#include "ptyserver.h"

#include <QCoreApplication>
#include <QThread>

#include <memory>

namespace fuzzrig {

// The exchanges' waits run the event loop; it needs an application object, made once.
inline void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    (void)app;
}

struct Rig {
    sim::PtyServer server;
    ProgrammerLink link;  // declared last: closed before the writer goes
    bool ready = false;

    Rig()
    {
        QString why;
        ready = server.start(&why) && link.openDevice(server.slavePath(), &why);
    }
    // Everything the program has written so far, taken in by the writer.
    QByteArray sent()
    {
        server.pollNow();
        return server.hostBytes();
    }
};

// The fixed pauses that sleep without the event loop (QThread::msleep under pauseWithoutEvents)
// are cut short in these targets: the simulated writer runs in the same thread, so nothing the
// exchange could see happens during them anyway, and 500 ms an input would make fuzzing useless.
// The time they were asked for is kept here.
inline qint64 &sleptMs()
{
    static qint64 ms = 0;
    return ms;
}

}  // namespace fuzzrig

// Defined once, in the target that includes this header with FUZZRIG_SHORT_SLEEPS.
#ifdef FUZZRIG_SHORT_SLEEPS
void QThread::msleep(unsigned long ms) { fuzzrig::sleptMs() += qint64(ms); }
#endif
