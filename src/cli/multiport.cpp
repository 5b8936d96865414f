// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/multiport.h"

#include "cli/interrupts.h"
#include "cli/clitext.h"
#include "cli/commandsupport.h"
#include "cli/prodtext.h"
#include "cli/unitlog.h"
#include "cli/writersession.h"
#include "core/protocol/verify.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace cli {

namespace {

struct Port {
    QString name;
    QProcess proc;
    QByteArray outPending, errPending;
    QStringList errLines;
    QString phase;
    int percent = -1;
    bool finished = false;
    int exit = -1;
    QString error;
};

QString phaseLabel(const QString &id)
{
    if (id == QLatin1String("write")) return text::phaseWrite();
    if (id == QLatin1String("read")) return text::phaseRead();
    if (id == QLatin1String("eeprom-write")) return text::phaseEepromWrite();
    if (id == QLatin1String("eeprom-read")) return text::phaseEepromRead();
    return id;
}

void writeErr(const QString &t)
{
    const QByteArray b = t.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

QStringList completeLines(QByteArray *pending, const QByteArray &more)
{
    *pending += more;
    QStringList lines;
    int nl;
    while ((nl = pending->indexOf('\n')) >= 0) {
        lines << QString::fromUtf8(pending->left(nl));
        pending->remove(0, nl + 1);
    }
    return lines;
}

// The line cut to the terminal's width (wide characters count twice): a line that wrapped
// would throw the redrawing out of step.
QString fitted(const QString &line, int columns)
{
    int used = 0;
    for (int i = 0; i < line.size(); ++i) {
        used += text::displayWidth(line.at(i));
        if (used > columns - 1) return line.left(i);
    }
    return line;
}

int terminalColumns()
{
    winsize ws {};
    return ::ioctl(fileno(stderr), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 ? ws.ws_col : 80;
}

class Runner {
public:
    Runner(Run &run, const QStringList &arguments) : run_(run), arguments_(arguments)
    {
        const Options &o = run.options;
        table_ = !o.json && !o.quiet && ::isatty(fileno(stderr))
                 && (o.progress == ProgressMode::Auto || o.progress == ProgressMode::Bar);
    }

    int exec()
    {
        // This run writes the log, from the records the ports' runs give as events.
        const QStringList rest = withoutOptions(arguments_, {QStringLiteral("-p"), QStringLiteral("--port"), QStringLiteral("--log")});
        for (const QString &name : run_.options.prod.ports) {
            auto p = std::make_unique<Port>();
            p->name = name;
            QObject::connect(&p->proc, &QProcess::readyReadStandardOutput, [this, q = p.get()] { onOut(*q); });
            QObject::connect(&p->proc, &QProcess::readyReadStandardError, [this, q = p.get()] { onErr(*q); });
            QObject::connect(&p->proc, &QProcess::finished, [this, q = p.get()](int code, QProcess::ExitStatus st) {
                onFinished(*q, st == QProcess::NormalExit ? code : -1);
            });
            QObject::connect(&p->proc, &QProcess::errorOccurred, [this, q = p.get()](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart) {
                    q->error = text::childFailed(q->name, q->proc.errorString());
                    onFinished(*q, exitcode::Unreachable);
                }
            });
            // Its own process group: Ctrl+C on the terminal reaches this process alone, which
            // hands it on, so each port's run sees it once and ends as an interrupted run does.
            p->proc.setChildProcessModifier([] { ::setpgid(0, 0); });
            ports_.push_back(std::move(p));
        }
        Interrupts interrupts([this] { interrupt(); });
        for (auto &p : ports_) {
            p->proc.start(QCoreApplication::applicationFilePath(),
                          QStringList{QStringLiteral("--json"), QStringLiteral("--progress"), QStringLiteral("lines"),
                                      QStringLiteral("--unit-events"), QStringLiteral("-p"), p->name}
                              + rest);
        }
        QTimer redraw;
        if (table_) {
            QObject::connect(&redraw, &QTimer::timeout, [this] { draw(); });
            redraw.start(100);
            draw();
        }
        while (running() > 0) loop_.exec();
        if (table_) draw();
        return summary();
    }

private:
    int running() const
    {
        int n = 0;
        for (const auto &p : ports_) n += p->finished ? 0 : 1;
        return n;
    }

    // Each Ctrl+C handed on once: the first lets every port's run end as an interrupted run
    // does, a second ends them at once, as it ends a run on one port.
    void interrupt()
    {
        if (!interrupted_) run_.out.error(text::interrupting());
        interrupted_ = true;
        for (auto &p : ports_)
            if (p->proc.state() == QProcess::Running) ::kill(pid_t(p->proc.processId()), SIGINT);
    }

    void prefixed(const Port &p, const QString &line) { writeErr(QStringLiteral("%1: %2\n").arg(p.name, line)); }

    void onOut(Port &p)
    {
        for (const QString &line : completeLines(&p.outPending, p.proc.readAllStandardOutput())) {
            const QJsonObject e = QJsonDocument::fromJson(line.toUtf8()).object();
            const QString kind = e.value(QStringLiteral("event")).toString();
            if (kind == QLatin1String("unit")) {
                unit(p, e);
                continue;
            }
            if (kind == QLatin1String("progress")) {
                p.phase = e.value(QStringLiteral("phase")).toString();
                const int total = e.value(QStringLiteral("total")).toInt();
                p.percent = total > 0 ? e.value(QStringLiteral("done")).toInt() * 100 / total : 100;
            } else if (kind == QLatin1String("result")) {
                p.exit = e.value(QStringLiteral("exit")).toInt();
                p.error = e.value(QStringLiteral("error")).toString();
            }
            if (run_.options.json) {
                QJsonObject withPort = e;
                withPort.insert(QStringLiteral("port"), p.name);
                run_.out.event(withPort);
            } else if (!table_) {
                lineFor(p, kind, e);
            }
        }
    }

    // Without --json and off a terminal: one line per event, the port in front.
    void lineFor(const Port &p, const QString &kind, const QJsonObject &e)
    {
        if (kind == QLatin1String("progress")) {
            // The start of a stretch only as an event, as a run on one port shows it.
            if (p.percent > 0 && !run_.options.quiet && run_.options.progress != ProgressMode::None)
                prefixed(p, text::portStatus(phaseLabel(p.phase), p.percent));
        } else if (kind == QLatin1String("mismatch")) {
            run_.out.result(QStringLiteral("%1: %2").arg(p.name, verify::mismatchText(mismatchFromEvent(e))));
        } else if (kind == QLatin1String("result")) {
            prefixed(p, p.exit == 0 ? text::portPassed() : text::portFailed(p.exit, p.error));
        }
    }

    void onErr(Port &p)
    {
        for (const QString &line : completeLines(&p.errPending, p.proc.readAllStandardError())) {
            if (table_) p.errLines << line;
            else prefixed(p, line);
        }
    }

    void unit(Port &p, QJsonObject e)
    {
        e.remove(QStringLiteral("event"));
        tally_.add(e.value(QStringLiteral("result")).toString() == QLatin1String("pass"));
        const QString log = run_.options.prod.log;
        if (log.isEmpty()) return;
        QString why;
        if (!appendLog(log, logLine(e), &why)) {
            const QString t = text::logNotWritten(log, why);
            logFailed_ = true;
            if (table_) p.errLines << t;
            else prefixed(p, t);
        }
    }

    void onFinished(Port &p, int code)
    {
        if (p.finished) return;
        onOut(p);
        onErr(p);
        p.finished = true;
        // The exit status is the process's own; a run that died without one counts as interrupted
        // when we asked it to stop, else as a writer gone wrong.
        if (code >= 0) p.exit = code;
        else if (p.exit < 0) p.exit = interrupted_ ? exitcode::Interrupted : exitcode::WriterFailed;
        loop_.quit();
    }

    QString statusOf(const Port &p) const
    {
        if (p.finished) return p.exit == 0 ? text::portPassed() : text::portFailed(p.exit, p.error);
        if (p.percent < 0) return text::portConnecting();
        return text::portStatus(phaseLabel(p.phase), p.percent);
    }

    // A status line per port, drawn over the last drawing.
    void draw()
    {
        QString t;
        int width = 0;
        for (const auto &p : ports_) width = std::max(width, int(p->name.size()));
        const int columns = terminalColumns();
        for (const auto &p : ports_)
            t += QStringLiteral("\r\x1b[K%1\n").arg(fitted(QStringLiteral("%1  %2").arg(p->name.leftJustified(width), statusOf(*p)), columns));
        if (t == drawn_) return;
        writeErr((drawn_.isEmpty() ? QString() : QStringLiteral("\x1b[%1A").arg(ports_.size())) + t);
        drawn_ = t;
    }

    int summary()
    {
        QStringList failed;
        QJsonObject exits;
        int status = exitcode::Ok;
        for (const auto &p : ports_) {
            exits.insert(p->name, p->exit);
            if (p->exit == 0) continue;
            failed << p->name;
            if (status == exitcode::Ok) {
                status = p->exit;
                run_.error = QStringLiteral("%1: %2").arg(p->name, p->error);
            }
            // On a terminal the port's own words come now, once its line says it failed.
            if (table_)
                for (const QString &l : p->errLines) prefixed(*p, l);
        }
        if (table_) {
            for (const auto &p : ports_)
                for (const QString &l : p->errLines)
                    if (p->exit == 0 && l.startsWith(text::warningLine(QString()))) prefixed(*p, l);
        }
        tally_.report(run_.out, &run_.result);
        run_.result.insert(QStringLiteral("port"), QJsonValue());
        run_.result.insert(QStringLiteral("ports"), QJsonArray::fromStringList(run_.options.prod.ports));
        run_.result.insert(QStringLiteral("exits"), exits);
        run_.result.insert(QStringLiteral("failed_ports"), QJsonArray::fromStringList(failed));
        if (!failed.isEmpty()) {
            const QString retry = shellLine(QStringList{QStringLiteral("veltraw-cli"), QStringLiteral("-p"), failed.join(QLatin1Char(','))}
                                            + withoutPorts(arguments_));
            run_.out.error(text::failedPorts(failed));
            run_.out.error(text::retryWith(retry));
            run_.result.insert(QStringLiteral("retry"), retry);
        }
        if (status == exitcode::Ok && logFailed_) status = exitcode::CannotWrite;
        return status;
    }

    Run &run_;
    const QStringList arguments_;
    std::vector<std::unique_ptr<Port>> ports_;
    QEventLoop loop_;
    Tally tally_;
    bool table_ = false;
    QString drawn_;  // what the status lines now say
    bool interrupted_ = false;
    bool logFailed_ = false;
};

}  // namespace

QStringList withoutOptions(const QStringList &arguments, const QStringList &names)
{
    QStringList out;
    bool ended = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &w = arguments[i];
        if (ended || w == QLatin1String("--")) {
            ended = true;
            out << w;
            continue;
        }
        if (names.contains(w)) {
            ++i;  // and its value
            continue;
        }
        bool attached = false;
        for (const QString &n : names)
            attached |= n.startsWith(QLatin1String("--")) ? w.startsWith(n + QLatin1Char('=')) : (w.startsWith(n) && !w.startsWith(QLatin1String("--")));
        if (!attached) out << w;
    }
    return out;
}

QString shellLine(const QStringList &words)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    QStringList quoted;
    for (const QString &w : words)
        quoted << (plain.match(w).hasMatch() ? w : QLatin1Char('\'') + QString(w).replace(QLatin1String("'"), QLatin1String("'\\''")) + QLatin1Char('\''));
    return quoted.join(QLatin1Char(' '));
}

QStringList withoutPorts(const QStringList &arguments)
{
    return withoutOptions(arguments, {QStringLiteral("-p"), QStringLiteral("--port")});
}

int runSeveralPorts(Run &run, const QStringList &arguments)
{
    Runner r(run, arguments);
    return r.exec();
}

}  // namespace cli
