// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where veltraw-cli's words go: text for people on standard error (errors even with -q),
// results on standard output, and with --json nothing but JSON Lines there. The progress of a
// long exchange is a bar on a terminal, a line every 10 % elsewhere, or JSON events.

#include "cli/options.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QString>
#include <QVector>
#include <functional>

namespace cli {

// Seconds on the 4800-baud line for one byte (10 bits), and the PIC's own write time.
constexpr double kByteSeconds = 10.0 / 4800.0;
constexpr double kPicWriteSeconds = 0.004;

// One stretch of a command whose progress is shown, with what its steps cost on the wire.
struct Phase {
    QString id;      // "write", "read", "eeprom-write", "eeprom-read": the JSON event's phase
    QString label;   // what the bar says
    int total = 0;   // steps: words or bytes
    double secondsPerStep = 0;
    double fixedSeconds = 0;  // the opening, the pauses
};

class Output {
public:
    void setUp(bool json, bool quiet, ProgressMode progress);
    bool json() const { return json_; }
    bool quiet() const { return quiet_; }

    // For people, on standard error. info is left out with -q; errors never are.
    void info(const QString &text);
    void warning(const QString &text);
    void error(const QString &text);
    // Results on standard output: text is left out with --json (the caller gives events then).
    void result(const QString &text);
    void resultBytes(const QByteArray &bytes);
    // One JSON line on standard output; nothing without --json.
    void event(const QJsonObject &o);

    // The stretches the command will go through, in order, for the time left.
    void plan(const QVector<Phase> &phases);
    // Starts the phase with this id (and drops the planned ones before it). toStep turns an
    // exchange's progress line into the step reached (-1: not a step).
    void beginPhase(const QString &id, std::function<int(const QString &)> toStep = {});
    void step(int done);
    // From the exchange's progress line.
    void exchangeProgress(const QString &line);
    void endPhase();
    // The phase stopped short: the bar goes, nothing says 100 %.
    void abandonPhase();
    // Time left, in seconds, from the step reached and the phases still to come.
    double secondsLeft() const;

private:
    void write(FILE *f, const QString &text);
    void clearBar();
    void show(bool final);

    bool json_ = false;
    bool quiet_ = false;
    ProgressMode mode_ = ProgressMode::None;
    QVector<Phase> phases_;
    int current_ = -1;
    int done_ = 0;
    int lastShownPercent_ = -1;
    bool barShown_ = false;
    QElapsedTimer sinceDraw_;
    std::function<int(const QString &)> toStep_;
};

}  // namespace cli
