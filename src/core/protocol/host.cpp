// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/host.h"

#include "core/link/programmerlink.h"

const char *outcomeName(Outcome o)
{
    switch (o) {
    case Outcome::Done: return "done";
    case Outcome::Declined: return "declined";
    case Outcome::NoPower: return "no power";
    case Outcome::WriterError: return "writer error";
    case Outcome::TimedOut: return "timed out";
    case Outcome::FileError: return "file error";
    case Outcome::PortLost: return "port lost";
    case Outcome::Cancelled: return "cancelled";
    case Outcome::Busy: return "busy";
    }
    return "?";
}

Outcome failureOf(const ProgrammerLink &link, bool timedOut, Outcome otherwise)
{
    if (timedOut) return Outcome::TimedOut;
    if (!link.isOpen()) return Outcome::PortLost;
    return otherwise;
}

ExchangeHost::~ExchangeHost() { delete clock_; }

void ExchangeHost::progress(const QString &) {}
std::optional<QString> ExchangeHost::saveFileName(const SaveRequest &) { return std::nullopt; }
bool ExchangeHost::confirmConfigWord(qint16 *) { return true; }
bool ExchangeHost::cancelled() const { return false; }
bool ExchangeHost::stopRequested() const { return false; }
void ExchangeHost::closeWindow() {}

void ExchangeHost::armTimeout(int ms)
{
    if (!clock_) {
        clock_ = new QTimer;
        clock_->setSingleShot(true);
        clock_->setTimerType(Qt::PreciseTimer);
        QObject::connect(clock_, &QTimer::timeout, [this] { expire(); });
    }
    clock_->start(ms);
}

void ExchangeHost::disarmTimeout()
{
    if (clock_) clock_->stop();
}

ReplyWait::End ExchangeHost::awaitByte(ProgrammerLink &link, int timeoutMs)
{
    wait_.begin();
    armTimeout(timeoutMs);
    const ReplyWait::End end = wait_.forByte(link, [this] { return cancelled(); });
    disarmTimeout();
    return end;
}

ReplyWait::End ExchangeHost::awaitByteUntimed(ProgrammerLink &link)
{
    wait_.begin();
    return wait_.forByte(link, [this] { return cancelled(); });
}

void ExchangeHost::pause(int ms)
{
    wait_.begin();
    armTimeout(ms);
    wait_.forClock([this] { return cancelled(); });
    disarmTimeout();
}

ReplyWait::End ReactingWait::await(int ms)
{
    const ReplyWait::End end = host_.awaitByte(link_, ms);
    if (end == ReplyWait::End::TimedOut) {
        timedOut_ = true;
        if (onTimeout_) onTimeout_();
    }
    return end;
}

void ReactingWait::startLimit(int ms)
{
    host_.replyWait().begin();
    host_.armTimeout(ms);
}

ReplyWait::End ReactingWait::awaitWithinLimit()
{
    const ReplyWait::End end = host_.replyWait().forByte(link_, [this] { return host_.cancelled(); });
    if (end == ReplyWait::End::TimedOut && !timedOut_) {
        timedOut_ = true;
        if (onTimeout_) onTimeout_();
    }
    return end;
}
