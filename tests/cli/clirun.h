// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// veltraw-cli and veltraw-sim as processes, for the command line's suites. The event loop runs
// while a command runs, so a simulated writer served by the test process itself answers too.

#include "ptyserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <utility>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

namespace clitest {

struct Result {
    int code = -1;
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
    QString outText() const { return QString::fromUtf8(out); }
    QString both() const { return outText() + QStringLiteral("\n--- stderr ---\n") + errText(); }
};

// The test's own descriptors (a simulated writer's side of its line, a port the test holds)
// stay out of the programs it starts: a line hung up here must look hung up there too.
inline void keepDescriptorsToOurselves()
{
    DIR *d = ::opendir("/proc/self/fd");
    if (!d) return;
    while (dirent *e = ::readdir(d)) {
        const int fd = ::atoi(e->d_name);
        if (fd > 2 && fd != ::dirfd(d)) ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
    ::closedir(d);
}

// The commands that changed the settings file, which no command writes.
inline QStringList &settingsChangedBy()
{
    static QStringList commands;
    return commands;
}

// For each suite's cleanup(): fails the test function whose commands changed the settings file.
inline void settingsUntouched()
{
    const QStringList changedBy = std::exchange(settingsChangedBy(), {});
    QVERIFY2(changedBy.isEmpty(), qPrintable(changedBy.join(QStringLiteral(" / "))));
}

// A command started now and awaited later.
class Cli {
public:
    explicit Cli(const QString &settingsDir) : settings_(QDir(settingsDir).filePath(QStringLiteral("veltraw.ini")))
    {
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove(QStringLiteral("VELTRAW_PORT"));
        env_.remove(QStringLiteral("VELTRAW_TRACE"));
        env_.insert(QStringLiteral("VELTRAW_SETTINGS_DIR"), settingsDir);
    }
    void setEnv(const QString &name, const QString &value) { env_.insert(name, value); }
    void unsetEnv(const QString &name) { env_.remove(name); }
    void start(const QStringList &args)
    {
        args_ = args;
        settingsBefore_ = settingsNow();
        keepDescriptorsToOurselves();
        proc_.setProcessEnvironment(env_);
        proc_.start(QStringLiteral(VELTRAW_CLI_PATH), args);
    }
    bool started() { return proc_.waitForStarted(10000); }
    // Runs the command as the unprivileged user "nobody" (the test runs as root).
    void asNobody()
    {
        proc_.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(125);
        });
    }
    qint64 pid() const { return proc_.processId(); }
    QProcess &process() { return proc_; }
    void interrupt() { ::kill(pid_t(proc_.processId()), SIGINT); }
    // Spins the event loop until the command ends.
    Result finish(int timeoutMs = 60000)
    {
        Result r;
        if (!QTest::qWaitFor([this] { return proc_.state() == QProcess::NotRunning; }, timeoutMs)) {
            proc_.kill();
            proc_.waitForFinished(5000);
            r.code = -2;
        } else if (proc_.exitStatus() == QProcess::NormalExit) {
            r.code = proc_.exitCode();
        }
        r.out = proc_.readAllStandardOutput();
        r.err = proc_.readAllStandardError();
        if (settingsNow() != settingsBefore_) settingsChangedBy() << args_.join(QLatin1Char(' '));
        return r;
    }

private:
    // The file's bytes, or a mark that it is not there.
    QByteArray settingsNow() const
    {
        QFile f(settings_);
        return f.open(QIODevice::ReadOnly) ? f.readAll().prepend('=') : QByteArray("absent");
    }
    QProcess proc_;
    QProcessEnvironment env_;
    QString settings_;
    QByteArray settingsBefore_;
    QStringList args_;
};

inline Result run(const QString &settingsDir, const QStringList &args, int timeoutMs = 60000)
{
    Cli c(settingsDir);
    c.start(args);
    return c.finish(timeoutMs);
}

// Standard output as JSON Lines: every line an object, at least one; else an empty list and
// *ok false.
inline QList<QJsonObject> jsonLines(const QByteArray &out, bool *ok)
{
    QList<QJsonObject> events;
    *ok = !out.trimmed().isEmpty();
    for (const QByteArray &line : out.split('\n')) {
        if (line.isEmpty()) continue;
        QJsonParseError e{};
        const QJsonDocument d = QJsonDocument::fromJson(line, &e);
        if (e.error != QJsonParseError::NoError || !d.isObject()) {
            *ok = false;
            return {};
        }
        events << d.object();
    }
    return events;
}

// Declares `events`, the command's JSON Lines; the test stops here unless all of them parsed.
#define CLI_EVENTS(events, out)                                           \
    bool events##Parsed = false;                                          \
    const QList<QJsonObject> events = clitest::jsonLines(out, &events##Parsed); \
    QVERIFY2(events##Parsed, (out).constData())

inline QList<QJsonObject> eventsOf(const QList<QJsonObject> &events, const QString &kind)
{
    QList<QJsonObject> out;
    for (const QJsonObject &e : events)
        if (e.value(QStringLiteral("event")).toString() == kind) out << e;
    return out;
}

// veltraw-sim on a pseudo-terminal, reachable at `link`.
class SimProcess {
public:
    SimProcess(const QString &dir, const QString &name, const QStringList &extra = {})
        : link(QDir(dir).filePath(name))
    {
        proc_.start(QStringLiteral(VELTRAW_SIM_PATH), QStringList{QStringLiteral("--link"), link} + extra);
        ready = proc_.waitForStarted(10000) && QTest::qWaitFor([this] { return QFile::exists(link); }, 10000);
    }
    ~SimProcess() { stop(); }
    // Ends it the way Ctrl+C does, so a --dump file gets written.
    void stop()
    {
        if (proc_.state() == QProcess::NotRunning) return;
        proc_.terminate();
        proc_.waitForFinished(10000);
    }
    const QString link;
    bool ready = false;

private:
    QProcess proc_;
};

// The simulated writer served by the test process itself, so the test sees every byte it takes
// and its PIC; it answers while the test waits for a command.
struct Served {
    sim::PtyServer server;
    Served()
    {
        QString why;
        if (!server.start(&why)) qFatal("no simulated writer: %s", qPrintable(why));
    }
    QString port() const { return server.slavePath(); }
    QByteArray hostBytes()
    {
        server.pollNow();
        return server.hostBytes();
    }
    // The writer keeps quiet after this command letter.
    void silenceAfter(char letter)
    {
        server.writer().responder = [letter](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == uint8_t(letter)) return QByteArray();
            return std::nullopt;
        };
    }
};

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A suite's scratch folder: its files, and veltraw-cli run with its settings kept there.
class ScratchSuite : public QObject {
protected:
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }
    QString file(const QString &name, const QByteArray &data)
    {
        const QString p = path(name);
        if (!writeFile(p, data)) qFatal("cannot write %s", qPrintable(p));
        return p;
    }
    Result cli(const QStringList &args, int timeoutMs = 60000) { return run(dir_.path(), args, timeoutMs); }
};

}  // namespace clitest
