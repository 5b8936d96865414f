// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window's timer with the semantics the windows rely on: an interval of 0 never fires;
// changing the interval of an enabled timer restarts it; enabling an enabled timer does not.

#include <QObject>
#include <QTimer>

class WindowTimer : public QObject {
    Q_OBJECT
public:
    explicit WindowTimer(int interval = 0, bool enabled = false, QObject *parent = nullptr)
        : QObject(parent), interval_(interval), enabled_(enabled)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] { emit Timer(); });
        apply(true);
    }
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setInterval(int ms)
    {
        interval_ = ms;
        apply(true);
    }
    void setEnabled(bool on)
    {
        if (on == enabled_) return;
        enabled_ = on;
        apply(true);
    }
    bool isActive() const { return timer_.isActive(); }

signals:
    void Timer();

private:
    void apply(bool restart)
    {
        if (enabled_ && interval_ > 0) {
            if (restart || !timer_.isActive()) timer_.start(interval_);
        } else {
            timer_.stop();
        }
    }
    QTimer timer_;
    int interval_;
    bool enabled_;
};
