// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/unitlog.h"

#include "cli/run.h"
#include "cli/clitext.h"
#include "cli/prodtext.h"
#include "cli/serialnumber.h"
#include "cli/writersession.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace cli {

namespace {

const char *const kLogKeys[] = {"time", "command", "port", "by_id", "file", "sha256", "config_word", "serial",
                                "result", "exit", "next_address", "mismatches", "seconds"};

QJsonValue orNull(const QJsonValue &v) { return v.isUndefined() ? QJsonValue(QJsonValue::Null) : v; }

}  // namespace

QByteArray fileSha256(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

void Tally::report(Output &out, QJsonObject *result) const
{
    out.info(text::tally(passed, failed, total()));
    result->insert(QStringLiteral("passed"), passed);
    result->insert(QStringLiteral("failed"), failed);
    result->insert(QStringLiteral("total"), total());
}

void beginUnit(Unit *u)
{
    *u = Unit();
    u->clock.start();
    const QDateTime now = QDateTime::currentDateTime();
    u->time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
    unitDevice().clear();
}

QString byIdName(const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty()) return {};
    const QDir dir(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &e : dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (e.canonicalFilePath() == target) return e.absoluteFilePath();
    return {};
}

QByteArray logLine(const QJsonObject &record)
{
    QByteArray line = "{";
    for (const char *key : kLogKeys) {
        if (line.size() > 1) line += ',';
        // A one-member object's text without its braces: "key":value.
        line += QJsonDocument(QJsonObject{{QLatin1String(key), orNull(record.value(QLatin1String(key)))}})
                    .toJson(QJsonDocument::Compact)
                    .mid(1)
                    .chopped(1);
    }
    return line + "}\n";
}

bool appendLog(const QString &path, const QByteArray &line, QString *why)
{
    if (path == QLatin1String("-")) {
        const bool ok = std::fwrite(line.constData(), 1, size_t(line.size()), stdout) == size_t(line.size());
        std::fflush(stdout);
        return ok;
    }
    // One write() of the whole line under a lock: lines of processes sharing the log never mix.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::flock(fd, LOCK_EX);
    const ssize_t n = ::write(fd, line.constData(), size_t(line.size()));
    const int writeErrno = errno;
    const bool ok = n == line.size() && ::fsync(fd) == 0;
    if (!ok) *why = n < 0 ? QString::fromLocal8Bit(std::strerror(writeErrno)) : text::logShortWrite();
    // A cut line would spoil the next one: what was written of it goes again.
    if (n > 0 && n < line.size()) (void)!::ftruncate(fd, ::lseek(fd, 0, SEEK_END) - n);
    ::close(fd);
    return ok;
}

bool wantsUnitRecord(const Options &o) { return (o.prod.unitEvents && o.json) || !o.prod.log.isEmpty(); }

int endUnit(Run &run, int status, Tally *tally)
{
    const Options &o = run.options;
    const bool pass = status == exitcode::Ok;
    if (run.unit.serial) {
        QString why;
        serialnumber::Source source = serialSource(o.prod);
        if (!source.record(*run.unit.serial, pass, unitDevice(), &why)) run.out.warning(why);
        else if (!pass) run.out.info(text::serialRecordedFailed(*run.unit.serial));
        run.result.insert(QStringLiteral("serial"), double(*run.unit.serial));
    }
    if (unitDevice().isEmpty()) return status;  // no board was reached for: not a unit
    if (tally) tally->add(pass);
    if (!wantsUnitRecord(o)) return status;  // nobody reads it: no by-id scan, no hash of the file
    const bool hasFile = o.commandName == QLatin1String("write") || o.commandName == QLatin1String("watch")
                         || o.commandName == QLatin1String("eeprom write");
    const QString file = hasFile ? QFileInfo(o.arguments.value(0)).absoluteFilePath() : QString();
    QByteArray sha = run.unit.sha256;
    if (hasFile && sha.isEmpty()) sha = fileSha256(file);
    const QString byId = byIdName(unitDevice());
    QJsonObject record{
        {QStringLiteral("time"), run.unit.time},
        {QStringLiteral("command"), o.commandName == QLatin1String("watch") ? QStringLiteral("write") : o.commandName},
        {QStringLiteral("port"), unitDevice()},
        {QStringLiteral("by_id"), byId.isEmpty() ? QJsonValue() : QJsonValue(byId)},
        {QStringLiteral("file"), hasFile ? QJsonValue(file) : QJsonValue()},
        {QStringLiteral("sha256"), sha.isEmpty() ? QJsonValue() : QJsonValue(QString::fromLatin1(sha))},
        {QStringLiteral("config_word"), orNull(run.result.value(QStringLiteral("config_word")))},
        {QStringLiteral("serial"), run.unit.serial ? QJsonValue(double(*run.unit.serial)) : QJsonValue()},
        {QStringLiteral("result"), pass ? QStringLiteral("pass") : QStringLiteral("fail")},
        {QStringLiteral("exit"), status},
        {QStringLiteral("next_address"), orNull(run.result.value(QStringLiteral("next_address")))},
        {QStringLiteral("mismatches"), orNull(run.result.value(QStringLiteral("mismatches")))},
        {QStringLiteral("seconds"), std::round(run.unit.clock.elapsed() / 10.0) / 100.0},
    };
    if (o.prod.unitEvents && o.json) {  // only a run over several ports asks, and reads the events
        QJsonObject e = record;
        e.insert(QStringLiteral("event"), QStringLiteral("unit"));
        run.out.event(e);
        return status;
    }
    QString why;
    if (appendLog(o.prod.log, logLine(record), &why)) return status;
    const QString t = text::logNotWritten(o.prod.log, why);
    run.out.error(t);
    if (!pass) return status;
    run.error = t;
    return exitcode::CannotWrite;
}

}  // namespace cli
