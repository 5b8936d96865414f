// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C (and SIGTERM, SIGHUP) outside a writer session: for a run over several ports and for
// a watch between its rounds. Told through the event loop, never inside the handler.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace cli {

class Interrupts : public QObject {
public:
    explicit Interrupts(std::function<void()> onSignal);
    ~Interrupts() override;
    // Catches the signals (again: a writer session lets them go when it ends).
    void arm();

private:
    std::function<void()> onSignal_;
    QSocketNotifier *notifier_ = nullptr;
};

}  // namespace cli
