// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an exchange with the writer needs from whoever runs it, and what it gives back.
//
// An exchange is a function of the core: it takes the link, a host and its inputs, talks to the
// writer and returns a result. It never shows anything itself. Where it must tell the user
// something or ask, it calls its host at exactly that point of the exchange, and the host
// answers (a window shows a message box, the command line prints a line, a test records it).

#include "core/link/replywait.h"
#include "core/messages.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class ProgrammerLink;

enum class Outcome {
    Done,         // the writer did what was asked
    Declined,     // the user said no, or cancelled a dialog; nothing was changed
    NoPower,      // the writer reports a target board without power ("?")
    WriterError,  // an unexpected reply
    TimedOut,     // no reply within the time-out
    FileError,    // an input or output file could not be used
    PortLost,     // the port closed during the exchange
    Cancelled,    // the window that ran it was closed
    Busy,         // another exchange holds the link
};

const char *outcomeName(Outcome o);

// How a failed exchange is best described: timed out if its clock ran out, else port lost if
// the port has gone, else the failure its replies showed.
Outcome failureOf(const ProgrammerLink &link, bool timedOut, Outcome otherwise);

struct SaveRequest {
    QString filter;        // "description|pattern|description|pattern"
    QString proposedName;
    QString defaultSuffix;
};

class ExchangeHost {
public:
    virtual ~ExchangeHost();

    // The progress line.
    virtual void progress(const QString &text);
    // A message box, shown at this point of the exchange; returns the answer.
    virtual messages::Button show(const messages::Message &m) = 0;
    // Where to save what was read; nullopt: the user cancelled.
    virtual std::optional<QString> saveFileName(const SaveRequest &request);
    // The configuration word confirmation before a program write: true to write with *word
    // (which the host may change), false to leave the write.
    virtual bool confirmConfigWord(qint16 *word);
    // True once whoever started the exchange has gone (a window closed): the exchange stops at
    // once and sends nothing more.
    virtual bool cancelled() const;
    // True once whoever runs the exchange wants it to stop (Ctrl+C): the wait under way ends
    // through the exchange's own failure path, and no step that changes the PIC is begun.
    virtual bool stopRequested() const;
    // The window that runs the exchange is to close now (after a time-out, or a final
    // message); hosts without a window ignore it.
    virtual void closeWindow();

    // The reply time-out clock. By default a timer of the host's own with the exchange's
    // period; a window runs it on its own timer so its period can be seen and changed there.
    virtual void armTimeout(int ms);
    virtual void disarmTimeout();

    // The clock ran out: ends the pending wait as timed out.
    void expire() { wait_.expire(); }
    ReplyWait &replyWait() { return wait_; }

    // Waits for the writer's next byte under the time-out (ms); arms and disarms the clock.
    ReplyWait::End awaitByte(ProgrammerLink &link, int timeoutMs);
    // Waits for a byte with no time-out: only a byte, a closed port or cancelling ends it.
    ReplyWait::End awaitByteUntimed(ProgrammerLink &link);
    // A pause the writer needs, during which the event loop runs; ends early only if cancelled.
    virtual void pause(int ms);

private:
    ReplyWait wait_;
    QTimer *clock_ = nullptr;
};

// The waits of one exchange whose time-out brings a reaction (the writer sent back to its
// command loop, the user told, the window closed). The wait then ends with whatever has come
// meanwhile, and the exchange takes its usual failure path.
class ReactingWait {
public:
    ReactingWait(ProgrammerLink &link, ExchangeHost &host, std::function<void()> onTimeout)
        : link_(link), host_(host), onTimeout_(std::move(onTimeout))
    {
    }
    // A wait under its own time-out of ms; the reaction follows every time-out.
    ReplyWait::End await(int ms);
    // One time limit for every wait that follows; the reaction follows once, when it runs out.
    void startLimit(int ms);
    ReplyWait::End awaitWithinLimit();

    bool timedOut() const { return timedOut_; }
    Outcome failure(Outcome otherwise) const { return failureOf(link_, timedOut_, otherwise); }

private:
    ProgrammerLink &link_;
    ExchangeHost &host_;
    std::function<void()> onTimeout_;
    bool timedOut_ = false;
};
