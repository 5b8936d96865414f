// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the fault-matrix suites: the faults a case puts on the simulated writer,
// the record of every case and the table printed from it, and the steps around a case
// (letting late bytes go by, a fresh writer after a hang-up, a shorter link watchdog).

#include "gui/formmain.h"
#include "gui/dialogs.h"
#include "gui/windowtimer.h"
#include "gui/forminitcomm.h"
#include "core/link/programmerlink.h"
#include "gui/frmconfig.h"
#include "gui/frmreadwrite.h"
#include "gui/windows.h"
#include "support/harness.h"
#include "support/hexfiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTest>
#include <QTimer>

#include <functional>

#include <cstdio>

namespace faults {

// ---- the faults --------------------------------------------------------------------------

enum class Kind { Unpowered, Silence, WrongReply, ClearBit7, Noise, HangUp, Slow };

inline QString kindName(Kind k)
{
    switch (k) {
    case Kind::Unpowered: return QStringLiteral("board unpowered");
    case Kind::Silence: return QStringLiteral("silence from the reply");
    case Kind::WrongReply: return QStringLiteral("wrong reply");
    case Kind::ClearBit7: return QStringLiteral("data byte with bit 7 clear");
    case Kind::Noise: return QStringLiteral("line noise before the reply");
    case Kind::HangUp: return QStringLiteral("hang-up of the line");
    case Kind::Slow: return QStringLiteral("replies slower than the time-out");
    }
    return QString();
}

// The byte a wrong reply carries: no reply letter of the protocol, bit 7 clear.
inline const QByteArray kWrongByte("#");
// Line noise: a NUL, a DEL and a stray character, all with bit 7 clear.
inline const QByteArray kNoise("\x00\x7f#", 3);

struct Case {
    Kind kind = Kind::Silence;
    int at = 0;       // reply position, counted in bytes the writer sends from the start of the exchange
    int timerMs = 0;  // the window's own time-out, where a case keeps it (0: the suite's shortened one)
};

inline QString caseName(const Case &c)
{
    static const char *tags[] = {"unpowered", "silence", "wrong", "bit7", "noise", "hangup", "slow"};
    QString name = QLatin1String(tags[int(c.kind)]);
    if (c.kind != Kind::Unpowered) name += QLatin1Char('@') + QString::number(c.at);
    if (c.timerMs) name += QStringLiteral("/real %1 ms").arg(c.timerMs);
    return name;
}

// Puts the case's fault on the writer; `slowMs` is how late each slow reply comes.
inline void apply(Harness &h, const Case &c, int slowMs)
{
    sim::SimWriter &w = h.sim.writer();
    w.boardPowered = c.kind != Kind::Unpowered;
    switch (c.kind) {
    case Kind::Unpowered: w.setFault({}); break;
    case Kind::Silence: w.setFault({sim::Fault::Silence, c.at, {}, 0}); break;
    case Kind::WrongReply: w.setFault({sim::Fault::WrongReply, c.at, kWrongByte, 0}); break;
    case Kind::ClearBit7: w.setFault({sim::Fault::ClearBit7, c.at, {}, 0}); break;
    case Kind::Noise: w.setFault({sim::Fault::Noise, c.at, kNoise, 0}); break;
    case Kind::HangUp: w.setFault({sim::Fault::HangUp, c.at, {}, 0}); break;
    case Kind::Slow: w.setFault({sim::Fault::SlowReplies, c.at, {}, slowMs}); break;
    }
}

// The writer as it is without faults.
inline void heal(Harness &h)
{
    h.sim.writer().boardPowered = true;
    h.sim.writer().setFault({});
}

// ---- texts -------------------------------------------------------------------------------

inline const QString kPortLost =
    QStringLiteral("通信ポートが使えなくなりました。\r\nケーブルの接続を確認し、通信設定をもう一度クリックしてください。");
inline const QString kTimeoutTitle = QStringLiteral("タイムアウトエラー");

inline int countPortLost(const QVector<gui::Message> &ms)
{
    int n = 0;
    for (const auto &m : ms) n += m.text == kPortLost ? 1 : 0;
    return n;
}

inline QStringList textsWithoutPortLost(const QVector<gui::Message> &ms)
{
    QStringList out;
    for (const auto &m : ms)
        if (m.text != kPortLost) out << m.text;
    return out;
}

// A message as the table shows it: the time-out by its title, the others by their first line.
inline QString shortText(const QString &text)
{
    if (text.startsWith(QStringLiteral("ライタまたはPICマイコンボードの反応がありません"))) return kTimeoutTitle;
    return text.section(QStringLiteral("\r\n"), 0, 0);
}

inline QString describe(const QStringList &texts, int portLost, const QString &note)
{
    QStringList parts;
    for (const QString &t : texts) parts << QStringLiteral("\"%1\"").arg(shortText(t));
    QString s = parts.isEmpty() ? QStringLiteral("no message") : parts.join(QStringLiteral(" → "));
    if (portLost) s += QStringLiteral(" + \"通信ポートが使えなくなりました。\"");
    if (!note.isEmpty()) s += QStringLiteral("; ") + note;
    return s;
}

// ---- the table ---------------------------------------------------------------------------

struct Row {
    QString exchange;
    QString fault;
    int at = -1;  // -1: no position
    QString outcome;
    qint64 ms = 0;
    bool passed = false;
};

class Table {
public:
    void add(const Row &r) { rows_.append(r); }
    int count() const { return int(rows_.size()); }
    int failed() const
    {
        int n = 0;
        for (const Row &r : rows_) n += r.passed ? 0 : 1;
        return n;
    }

    // One line per exchange, fault and outcome; the positions that gave it are listed together.
    QString markdown(const QString &title) const
    {
        QString out = QStringLiteral("### %1\n\n").arg(title);
        out += QStringLiteral("| Exchange | Fault | Reply positions | Outcome (messages; state afterwards) | Longest case | Checks |\n");
        out += QStringLiteral("|---|---|---|---|---|---|\n");
        QVector<bool> done(rows_.size(), false);
        for (int i = 0; i < rows_.size(); ++i) {
            if (done[i]) continue;
            const Row &r = rows_[i];
            QList<int> positions;
            qint64 longest = 0;
            bool passed = true;
            int n = 0;
            for (int j = i; j < rows_.size(); ++j) {
                const Row &o = rows_[j];
                if (done[j] || o.exchange != r.exchange || o.fault != r.fault || o.outcome != r.outcome) continue;
                done[j] = true;
                if (o.at >= 0) positions << o.at;
                longest = std::max(longest, o.ms);
                passed = passed && o.passed;
                ++n;
            }
            out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 ms | %6 |\n")
                       .arg(r.exchange, r.fault, positionsText(positions), r.outcome)
                       .arg(longest)
                       .arg(passed ? QStringLiteral("%1 passed").arg(n) : QStringLiteral("FAILED"));
        }
        out += QStringLiteral("\n%1 cases, %2 failed.\n").arg(count()).arg(failed());
        return out;
    }

    // Prints the table, and appends it to the file VELTRAW_FAULT_TABLE names when it is set.
    void publish(const QString &title) const
    {
        const QByteArray text = markdown(title).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fflush(stdout);
        const QString path = qEnvironmentVariable("VELTRAW_FAULT_TABLE");
        if (path.isEmpty()) return;
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) f.write(text + "\n");
    }

private:
    static QString positionsText(QList<int> p)
    {
        if (p.isEmpty()) return QStringLiteral("—");
        std::sort(p.begin(), p.end());
        QStringList parts;
        for (int i = 0; i < p.size();) {
            int j = i;
            while (j + 1 < p.size() && p[j + 1] == p[j] + 1) ++j;
            parts << (j > i + 1   ? QStringLiteral("%1–%2").arg(p[i]).arg(p[j])
                      : j == i + 1 ? QStringLiteral("%1, %2").arg(p[i]).arg(p[j])
                                   : QString::number(p[i]));
            i = j + 1;
        }
        return parts.join(QStringLiteral(", "));
    }
    QVector<Row> rows_;
};

// ---- steps around a case -----------------------------------------------------------------

// Message boxes as the user meets them: a real box runs its own event loop while it is read,
// so timers fire and bytes arrive meanwhile. The scripted boxes of the harness answer at once;
// here each one keeps the event loop running for `ms` first.
inline void readMessagesFor(Harness &h, int ms)
{
    gui::setMessageHandler([&h, ms](const gui::Message &m) {
        h.messages.append(m);
        QTest::qWait(ms);
        if (m.buttons == QMessageBox::Ok || m.buttons == QMessageBox::NoButton) return QMessageBox::Ok;
        if (h.answers.empty()) return m.defaultButton != QMessageBox::NoButton ? m.defaultButton : QMessageBox::Ok;
        const auto a = h.answers.front();
        h.answers.pop_front();
        return a;
    });
}

// Starts the program and lets the link check's last "C" and its answer go by, so the wire
// record and the input buffer hold only what the cases make.
inline FormMain *startQuiet(Harness &h, const QStringList &args = {})
{
    readMessagesFor(h, 10);
    return h.startQuiet(args);
}

// Runs the event loop until the writer has sent nothing for quietMs (at most capMs in all),
// then discards what arrived: late replies of a slow case must not meet the next exchange.
inline void letLateBytesGoBy(Harness &h, int quietMs, int capMs = 8000)
{
    QElapsedTimer all;
    all.start();
    QElapsedTimer quiet;
    quiet.start();
    int seen = int(h.writerBytes().size());
    while (quiet.elapsed() < quietMs && all.elapsed() < capMs) {
        QTest::qWait(20);
        const int now = int(h.writerBytes().size());
        if (now != seen) {
            seen = now;
            quiet.restart();
        }
    }
    if (h.form && h.form->MSComm1->isOpen()) h.form->MSComm1->clearInput();
}

// Makes the main window's link watchdog (5000 ms) fire after `ms` instead, for every link
// check while it lives: it watches for the check arming the watchdog and shortens it.
class ShortWatchdog : public QObject {
public:
    ShortWatchdog(FormMain *f, int ms) : f_(f), ms_(ms)
    {
        poll_.setInterval(1);
        QObject::connect(&poll_, &QTimer::timeout, this, [this] {
            if (f_ && f_->Timer1->enabled() && f_->Timer1->interval() == 5000) f_->Timer1->setInterval(ms_);
        });
        poll_.start();
    }

private:
    FormMain *f_;
    int ms_;
    QTimer poll_;
};

// After a hang-up: a fresh simulated writer on a new line, and the port command as the user
// gives it (choose COM1, OK), which reopens the port and runs the link check.
inline bool reconnect(Harness &h)
{
    // The lost line is noticed first, so its message does not turn up after the new check.
    h.waitFor([&] { return !h.form->MSComm1->isOpen() && countPortLost(h.messages) > 0; }, 3000);
    h.sim.writer().responder = nullptr;
    heal(h);
    QString error;
    if (!h.sim.start(&error)) return false;
    h.writeIni(h.standardIni());
    h.modalActions.push_back([](QDialog *d) {
        auto *c = qobject_cast<FormInitComm *>(d);
        if (!c) return;
        c->Combo1->setCurrentIndex(0);
        c->Command1->click();
    });
    const int before = int(h.messages.size());
    h.form->menu_comm_Click();
    // The writer's "c" has reached the program's port, where it is dropped.
    h.waitFor([&] { return h.writerBytes().endsWith('c') && h.form->MSComm1->bytesWaiting() >= 1; }, 2000);
    if (h.form->MSComm1->isOpen()) h.form->MSComm1->clearInput();
    h.clearWire();
    return h.form->MSComm1->isOpen() && h.messages.size() == before && h.form->LblCommP->text().isEmpty();
}

// What a case expects: the messages (the port-lost notice of a hang-up is counted apart), how
// long its time-outs take in all, what the window shows afterwards where that is the outcome
// (null: not compared), and what the table says besides.
struct Expect {
    Expect(QStringList m = {}, int t = 0, QString n = {}, QString s = QString())
        : messages(std::move(m)), timeoutMs(t), note(std::move(n)), shown(std::move(s))
    {
    }
    QStringList messages;
    int timeoutMs = 0;
    QString note;
    QString shown;
};

// A text as the table shows it: on one line, control characters written out.
inline QString visible(const QString &text)
{
    QString out;
    for (QChar ch : text) {
        if (ch == QLatin1Char('\r')) continue;
        if (ch == QLatin1Char('\n')) out += QStringLiteral(" / ");
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) out += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else out += ch;
    }
    return out.simplified();
}

inline QString quoted(const QString &what, const QString &text)
{
    return QStringLiteral("%1 \"%2\"").arg(what, visible(text));
}

// One exchange as the matrix drives it.
struct Exchange {
    QString name;
    int fixedMs = 0;  // fixed pauses of one run
    int slowMs = 0;   // how late a slow reply comes
    // Runs the exchange to its end; returns what the window shows afterwards, where that matters.
    std::function<QString()> run;
    std::function<void(QStringList &)> idle;    // the windows as they must be afterwards
    std::function<void(QStringList &)> normal;  // a normal run, which must succeed
    // Puts a fault on the line in its own way instead of the writer's fault model; true when it
    // did. (A hang-up in the middle of a long data stream has to wait until the program has
    // taken part of it: the writer would otherwise hang up before any of it is read.)
    std::function<bool(const Case &)> injectFault;
};

// Hangs the line up once `reached()` holds, checking at every turn of the event loop.
class HangUpWhen : public QObject {
public:
    HangUpWhen(Harness &h, std::function<bool()> reached) : h_(h), reached_(std::move(reached))
    {
        poll_.setInterval(0);
        QObject::connect(&poll_, &QTimer::timeout, this, [this] {
            if (!reached_()) return;
            poll_.stop();
            h_.sim.hangUp();
        });
        poll_.start();
    }

private:
    Harness &h_;
    std::function<bool()> reached_;
    QTimer poll_;
};

// The frame of every case: fault on, run, checks, record, fault off, normal run. Returns the
// problems found (empty when the case passed); the row goes into the table either way.
inline QStringList runCase(Harness &h, Table &table, const Exchange &x, const Case &c, const Expect &e)
{
    QStringList problems;
    FormMain *f = h.form.get();
    h.messages.clear();
    h.modalActions.clear();
    h.fileAnswers.clear();
    h.fileRequests.clear();
    h.clearWire();
    if (!x.injectFault || !x.injectFault(c)) apply(h, c, x.slowMs);
    QElapsedTimer t;
    t.start();
    const QString shown = x.run();
    const qint64 ms = t.elapsed();
    if (c.kind == Kind::HangUp) h.waitFor([&] { return countPortLost(h.messages) > 0; }, 3000);
    QTest::qWait(10);  // anything queued (a lost port's notice) shows now

    const QStringList texts = textsWithoutPortLost(h.messages);
    const int lost = countPortLost(h.messages);
    if (texts != e.messages)
        problems << QStringLiteral("messages [%1], expected [%2]").arg(texts.join(QStringLiteral(" | ")), e.messages.join(QStringLiteral(" | ")));
    if (lost != (c.kind == Kind::HangUp ? 1 : 0)) problems << QStringLiteral("%1 port-lost notices").arg(lost);
    if (!e.shown.isNull() && shown != e.shown) problems << QStringLiteral("shows %1, expected %2").arg(shown, e.shown);
    const qint64 bound = x.fixedMs + e.timeoutMs + 1000;
    if (ms > bound) problems << QStringLiteral("took %1 ms, more than %2").arg(ms).arg(bound);
    if (e.timeoutMs > 0 && ms < e.timeoutMs - 30) problems << QStringLiteral("ended after %1 ms, before its time-out").arg(ms);
    if (f->MSComm1->binaryMode()) problems << QStringLiteral("link left in binary mode");
    if (f->MSComm1->busy()) problems << QStringLiteral("link still held by %1").arg(f->MSComm1->busyOwner());
    if (!h.modalActions.empty()) problems << QStringLiteral("a window that should have opened did not");
    x.idle(problems);

    QString note = shown;
    if (!e.note.isEmpty()) note = note.isEmpty() ? e.note : note + QStringLiteral("; ") + e.note;
    Row row{x.name, kindName(c.kind), c.kind == Kind::Unpowered ? -1 : c.at, describe(texts, lost, note), ms, false};

    // Back to a sound writer, as the user would have it, and a normal run.
    heal(h);
    if (c.kind == Kind::HangUp && !reconnect(h)) problems << QStringLiteral("could not reconnect after the hang-up");
    if (c.kind == Kind::Slow) letLateBytesGoBy(h, x.slowMs + 150);
    h.messages.clear();
    h.modalActions.clear();
    h.fileAnswers.clear();
    h.fileRequests.clear();
    h.clearWire();
    x.normal(problems);
    h.modalActions.clear();
    h.fileAnswers.clear();

    row.passed = problems.isEmpty();
    table.add(row);
    return problems;
}

inline void addRow(const Case &c, const Expect &e) { QTest::newRow(qPrintable(caseName(c))) << c << e; }


// ---- the operation dialog and the port dialog ----------------------------------------------

inline void pressOk(QDialog *d)
{
    if (auto *rw = qobject_cast<frmReadWrite *>(d)) rw->cmdOK->click();
}

inline void confirmConfig(QDialog *d)
{
    if (auto *c = qobject_cast<frmConfig *>(d)) c->Command1->click();
}

inline void chooseCom1(QDialog *d)
{
    if (auto *c = qobject_cast<FormInitComm *>(d)) {
        c->Combo1->setCurrentIndex(0);
        c->Command1->click();
    }
}

// A program memory operation: `start` runs it from the main window; the dialog's 5000 ms
// time-out is shortened to `timeoutMs`.
inline Exchange operation(Harness &h, const QString &name, int timeoutMs, std::function<void()> start,
                          std::function<void(QStringList &)> normal)
{
    Exchange x;
    x.name = name;
    x.fixedMs = 500;
    x.slowMs = timeoutMs + 200;
    x.run = [start, timeoutMs] {
        FrmReadWrite()->Timer1->setInterval(timeoutMs);
        start();
        return QString();
    };
    x.idle = [&h](QStringList &p) {
        FormMain *f = h.form.get();
        if (FrmReadWrite()->isVisible()) p << QStringLiteral("operation dialog still open");
        if (FrmReadWrite()->running()) p << QStringLiteral("operation dialog still running");
        if (!f->WriteCommand->isEnabled() || !f->EraseCommand->isEnabled() || !f->ReadCommand->isEnabled())
            p << QStringLiteral("main window commands not usable");
    };
    x.normal = [normal, timeoutMs](QStringList &p) {
        FrmReadWrite()->Timer1->setInterval(timeoutMs);
        normal(p);
    };
    return x;
}

// One Intel HEX data record, and program words as a record carries them (low byte first).
inline QByteArray hexRecord(int address, const QByteArray &data) { return hexfiles::rec(address, data); }
inline QByteArray hexWords(std::initializer_list<int> words) { return hexfiles::words(QVector<int>(words)); }


// ---- resources ------------------------------------------------------------------------------

// The process's peak resident memory so far, in kB (VmHWM); -1 when it cannot be read.
inline long peakMemoryKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Brings the peak down to what the process holds now, so the next peak is that of what follows
// and not of something earlier.
inline bool resetPeakMemory()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && f.write("5") == 1;
}

// Time and peak-memory growth of one step, for "bounded memory and time" checks.
struct Usage {
    qint64 ms = 0;
    long growthKb = 0;
    bool measured = false;  // the peak was reset before the step and read after it
};

template <typename F>
Usage measure(F &&step)
{
    Usage u;
    const bool reset = resetPeakMemory();
    const long before = peakMemoryKb();
    QElapsedTimer t;
    t.start();
    step();
    u.ms = t.elapsed();
    const long after = peakMemoryKb();
    u.growthKb = after - before;
    u.measured = reset && before > 0 && after > 0;
    return u;
}

}  // namespace faults

Q_DECLARE_METATYPE(faults::Case)
Q_DECLARE_METATYPE(faults::Expect)
