// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/interrupts.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

int g_pipe[2] = {-1, -1};

void caught(int)
{
    const char c = 'x';
    (void)!::write(g_pipe[1], &c, 1);
}

void handle(void (*handler)(int))
{
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

}  // namespace

Interrupts::Interrupts(std::function<void()> onSignal) : onSignal_(std::move(onSignal))
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c = 0;
        (void)!::read(g_pipe[0], &c, 1);
        onSignal_();
    });
    arm();
}

Interrupts::~Interrupts() { handle(SIG_DFL); }

void Interrupts::arm()
{
    if (notifier_) handle(caught);
}

}  // namespace cli
