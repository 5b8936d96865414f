// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The life of a window that talks to the writer: it holds the link while its exchange runs
// (and tells the user when another window holds it), knows whether it is being closed by its
// own code or by the user (which cancels the exchange under way), and is deleted only once its
// exchange has unwound, never inside a wait.

#include "core/link/programmerlink.h"
#include "core/messages.h"
#include "gui/dialogs.h"

#include <QPointer>
#include <QWidget>

class WindowExchange {
public:
    enum class Busy { Tell, Quiet };

    WindowExchange(QWidget *window, const char *owner) : window_(window), owner_(owner) {}

    bool running() const { return running_; }
    bool unloaded() const { return unloaded_; }
    // Closed by the user while its exchange ran: the exchange stops and sends nothing more.
    bool cancelled() const { return closedByUser_; }
    bool closingFromCode() const { return closingFromCode_; }

    // Runs f(link) with the link held. False when nothing ran: no link, the window is already
    // busy or unloaded, or another window holds the link (the user is told unless Quiet).
    template <typename F>
    bool run(F &&f, Busy busy = Busy::Tell)
    {
        if (running_ || unloaded_) return false;
        ProgrammerLink *link = gui::Link();
        if (!link) return false;
        LinkSession session(*link, owner_);
        if (!session.held()) {
            if (busy == Busy::Tell) gui::Show(messages::linkBusy());
            busyRefused_ = true;
            return false;
        }
        busyRefused_ = false;
        QPointer<QWidget> self(window_);
        running_ = true;
        f(*link);
        if (!self) return false;
        running_ = false;
        if (deletePending_) window_->deleteLater();
        return true;
    }
    // Marks the window busy while f() runs without holding the link (a dialog of its own that
    // takes the link itself); an unload meanwhile waits for it, as for an exchange.
    template <typename F>
    bool hold(F &&f)
    {
        if (running_ || unloaded_) return false;
        QPointer<QWidget> self(window_);
        running_ = true;
        f();
        if (!self) return false;
        running_ = false;
        if (deletePending_) window_->deleteLater();
        return true;
    }

    // The last run() was refused because another window held the link.
    bool refusedBusy() const { return busyRefused_; }

    // Marks what is to happen while the window's own code closes it.
    void closeFromCode()
    {
        closingFromCode_ = true;
        window_->close();
        closingFromCode_ = false;
    }

    // From the window's closeEvent: the window is going. A close by the user during an exchange
    // cancels it. With deleteWindow the window is deleted, at once if idle, else after its
    // exchange. Returns false when the window had already gone.
    bool unload(bool deleteWindow)
    {
        if (unloaded_) return false;
        unloaded_ = true;
        if (running_ && !closingFromCode_) closedByUser_ = true;
        if (deleteWindow) {
            if (running_) deletePending_ = true;
            else window_->deleteLater();
        }
        return true;
    }

private:
    QWidget *window_;
    const char *owner_;
    bool running_ = false;
    bool unloaded_ = false;
    bool closedByUser_ = false;
    bool closingFromCode_ = false;
    bool deletePending_ = false;
    bool busyRefused_ = false;
};
