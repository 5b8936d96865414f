// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output.h"
#include "cli/clitext.h"

#include "core/messages.h"

#include <QJsonDocument>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {
constexpr int kBarWidth = 30;
constexpr int kBarRedrawMs = 200;
constexpr double kShortPhaseSeconds = 1.5;
}  // namespace

void Output::setUp(bool json, bool quiet, ProgressMode progress)
{
    json_ = json;
    quiet_ = quiet;
    if (progress == ProgressMode::None) mode_ = ProgressMode::None;
    else if (json) mode_ = ProgressMode::Lines;  // as events, on standard output
    else if (quiet) mode_ = ProgressMode::None;
    else if (progress == ProgressMode::Auto) mode_ = ::isatty(fileno(stderr)) ? ProgressMode::Bar : ProgressMode::Lines;
    else mode_ = progress;
}

void Output::write(FILE *f, const QString &text)
{
    QString t = text;
    // The catalogue's texts break lines the Windows way.
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QByteArray bytes = t.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
    std::fflush(f);
}

void Output::clearBar()
{
    if (!barShown_) return;
    write(stderr, QStringLiteral("\r\x1b[K"));
    barShown_ = false;
}

void Output::info(const QString &text)
{
    if (quiet_) return;
    clearBar();
    write(stderr, text + QLatin1Char('\n'));
}

void Output::warning(const QString &text)
{
    event(QJsonObject{{QStringLiteral("event"), QStringLiteral("warning")}, {QStringLiteral("text"), text}});
    if (quiet_) return;
    clearBar();
    write(stderr, text::warningLine(text) + QLatin1Char('\n'));
}

void Output::error(const QString &text)
{
    clearBar();
    write(stderr, text + QLatin1Char('\n'));
}

void Output::result(const QString &text)
{
    if (json_) return;
    clearBar();
    write(stdout, text + QLatin1Char('\n'));
}

void Output::resultBytes(const QByteArray &bytes)
{
    clearBar();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Output::event(const QJsonObject &o)
{
    if (!json_) return;
    // The keys that say what a line is come first, in this order; the rest as Qt sorts them.
    static const char *const kFirst[] = {"event", "command", "ok", "exit", "phase", "done", "total", "eta_s",
                                         "space", "address", "expected", "actual", "text", "path"};
    QJsonObject rest = o;
    QByteArray line = "{";
    auto add = [&line](const QByteArray &member) {
        if (line.size() > 1) line += ',';
        line += member;
    };
    for (const char *key : kFirst) {
        const QJsonValue v = rest.take(QLatin1String(key));
        if (v.isUndefined()) continue;
        // A one-member object's text, without its braces: "key":value.
        add(QJsonDocument(QJsonObject{{QLatin1String(key), v}}).toJson(QJsonDocument::Compact).mid(1).chopped(1));
    }
    const QByteArray others = QJsonDocument(rest).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    if (!others.isEmpty()) add(others);
    line += "}\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void Output::plan(const QVector<Phase> &phases)
{
    phases_ = phases;
    current_ = -1;
}

void Output::beginPhase(const QString &id, std::function<int(const QString &)> toStep)
{
    int index = -1;
    for (int i = 0; i < phases_.size(); ++i)
        if (phases_[i].id == id) index = i;
    if (index < 0) return;
    phases_.remove(0, index);
    current_ = 0;
    done_ = 0;
    lastShownPercent_ = -1;
    toStep_ = std::move(toStep);
    sinceDraw_.start();
    show(false);
}

void Output::step(int done)
{
    if (current_ < 0) return;
    done_ = std::clamp(done, 0, phases_[current_].total);
    show(false);
}

void Output::exchangeProgress(const QString &line)
{
    if (current_ < 0 || !toStep_) return;
    const int n = toStep_(line);
    if (n >= 0) step(n);
}

void Output::endPhase()
{
    if (current_ < 0) return;
    done_ = phases_[current_].total;
    show(true);
    if (barShown_) {
        write(stderr, QStringLiteral("\n"));
        barShown_ = false;
    }
    phases_.remove(0, 1);
    current_ = -1;
    toStep_ = nullptr;
}

void Output::abandonPhase()
{
    clearBar();
    if (current_ >= 0) phases_.remove(0, 1);
    current_ = -1;
    toStep_ = nullptr;
}

double Output::secondsLeft() const
{
    double s = 0;
    for (int i = 0; i < phases_.size(); ++i) {
        const Phase &p = phases_[i];
        if (i == current_) {
            s += (p.total - done_) * p.secondsPerStep + (done_ == 0 ? p.fixedSeconds : 0);
        } else {
            s += p.total * p.secondsPerStep + p.fixedSeconds;
        }
    }
    return s;
}

void Output::show(bool final)
{
    if (current_ < 0 || mode_ == ProgressMode::None || mode_ == ProgressMode::Auto) return;
    const Phase &p = phases_[current_];
    // A stretch over in a moment gets no bar or lines of its own (events still go out).
    if (!json_ && p.total * p.secondsPerStep + p.fixedSeconds < kShortPhaseSeconds) return;
    const int percent = p.total > 0 ? int(qint64(done_) * 100 / p.total) : 100;
    const double left = secondsLeft();
    if (mode_ == ProgressMode::Lines) {
        // A line (an event) at every tenth; the start only as an event.
        const int tenth = percent / 10;
        if (!final && tenth <= lastShownPercent_ / 10 && lastShownPercent_ >= 0) return;
        if (final && lastShownPercent_ == 100) return;
        lastShownPercent_ = percent;
        if (json_) {
            event(QJsonObject{{QStringLiteral("event"), QStringLiteral("progress")},
                              {QStringLiteral("phase"), p.id},
                              {QStringLiteral("done"), done_},
                              {QStringLiteral("total"), p.total},
                              {QStringLiteral("eta_s"), std::round(left * 10) / 10}});
        } else if (percent > 0 && !quiet_) {
            write(stderr, text::progressLine(p.label, percent, done_, p.total, int(std::ceil(left))) + QLatin1Char('\n'));
        }
        return;
    }
    // The bar: redrawn when its percentage changes, or now and then for the time left.
    if (!final && percent == lastShownPercent_ && sinceDraw_.elapsed() < kBarRedrawMs) return;
    lastShownPercent_ = percent;
    sinceDraw_.restart();
    const int filled = kBarWidth * percent / 100;
    const QString bar = QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-'));
    write(stderr, QStringLiteral("\r") + text::progressBar(p.label, bar, percent, done_, p.total, int(std::ceil(left)))
                      + QStringLiteral("\x1b[K"));
    barShown_ = true;
}

}  // namespace cli
