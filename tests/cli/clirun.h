#pragma once
// veltraw-cli and veltraw-sim as processes, for the command line's suites. The event loop runs
// while a command runs, so a simulated writer served by the test process itself answers too.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>
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

// A command started now and awaited later.
class Cli {
public:
    explicit Cli(const QString &settingsDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("VELTRAW_PORT"));
        env.remove(QStringLiteral("VELTRAW_TRACE"));
        env.insert(QStringLiteral("VELTRAW_SETTINGS_DIR"), settingsDir);
        proc_.setProcessEnvironment(env);
    }
    void start(const QStringList &args)
    {
        keepDescriptorsToOurselves();
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
        return r;
    }

private:
    QProcess proc_;
};

inline Result run(const QString &settingsDir, const QStringList &args, int timeoutMs = 60000)
{
    Cli c(settingsDir);
    c.start(args);
    return c.finish(timeoutMs);
}

// Standard output as JSON Lines: every line an object, or an empty list and *ok false.
inline QList<QJsonObject> jsonLines(const QByteArray &out, bool *ok)
{
    QList<QJsonObject> events;
    *ok = true;
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

}  // namespace clitest
