// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/interrupts.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

volatile std::sig_atomic_t g_caught = 0;
volatile std::sig_atomic_t g_armedPipe = -1;

void onCaught(int sig)
{
    if (!g_caught) g_caught = sig;
    const int fd = g_armedPipe;
    const char c = char(sig);
    if (fd >= 0) (void)!::write(fd, &c, 1);
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
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c = 0;
        while (::read(pipe_[0], &c, 1) == 1) {
        }
        onSignal_();
    });
    arm();
}

Interrupts::~Interrupts()
{
    release();
    delete notifier_;
    for (int fd : pipe_)
        if (fd >= 0) ::close(fd);
}

void Interrupts::arm()
{
    if (!notifier_) return;
    g_armedPipe = pipe_[1];
    handle(onCaught);
}

void Interrupts::release()
{
    if (g_armedPipe != pipe_[1]) return;
    handle(SIG_DFL);
    g_armedPipe = -1;
}

int Interrupts::caught() { return int(g_caught); }

}  // namespace cli
