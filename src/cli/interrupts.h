// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C (and SIGTERM, SIGHUP): told through the event loop, never inside the handler. The armed
// one of them is told: a writer session while it runs, a run over several ports or a watch
// between its rounds.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace cli {

class Interrupts : public QObject {
public:
    explicit Interrupts(std::function<void()> onSignal);
    ~Interrupts() override;
    // Catches the signals for this one (again: a writer session lets them go when it ends).
    void arm();
    // Lets them go: the next one ends the program at once.
    void release();
    // The first signal caught in this run, 0 when none. Set by the handler itself, so a pause
    // that does not yield sees it before the event loop has run.
    static int caught();

private:
    std::function<void()> onSignal_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier *notifier_ = nullptr;
};

}  // namespace cli
