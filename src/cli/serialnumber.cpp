// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/serialnumber.h"

#include "cli/prodtext.h"
#include "core/formats/hexexport.h"
#include "core/formats/hexrecord.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace serialnumber {

namespace text = cli::text;

std::optional<qint64> parseNumber(const QString &t)
{
    static const QRegularExpression hex(QStringLiteral("^0[xX]([0-9A-Fa-f]{1,14})$"));
    static const QRegularExpression dec(QStringLiteral("^[0-9]{1,16}$"));
    bool ok = false;
    qint64 v = -1;
    if (const auto m = hex.match(t); m.hasMatch()) v = m.captured(1).toLongLong(&ok, 16);
    else if (dec.match(t).hasMatch()) v = t.toLongLong(&ok, 10);
    if (!ok || v < 0 || v > kLargest) return std::nullopt;
    return v;
}

std::optional<Place> parsePlace(const QString &t, QString *error)
{
    const QStringList parts = t.split(QLatin1Char(':'));
    Place p;
    if (parts.size() == 3 && (parts[0] == QLatin1String("eeprom") || parts[0] == QLatin1String("retlw"))) {
        p.space = parts[0] == QLatin1String("eeprom") ? Place::Space::Eeprom : Place::Space::Retlw;
        const auto a = parseNumber(parts[1]);
        const auto n = parseNumber(parts[2]);
        if (a && n && *n >= 1 && *n <= 7 && *a < 0x10000) {
            p.address = int(*a);
            p.length = int(*n);
            return p;
        }
    }
    *error = text::badSerialPlace(t);
    return std::nullopt;
}

QString checkPlace(const Place &p, const memoryimage::Image &img)
{
    const int size = p.inEeprom() ? memoryimage::kEepromBytes : memoryimage::kProgramWords;
    if (p.address + p.length > size) return text::serialOutside(p.inEeprom(), p.address, p.length, size);
    for (int a = p.address; a < p.address + p.length; ++a) {
        const int there = p.inEeprom() ? img.eeprom[size_t(a)] : img.program[size_t(a)];
        if (there >= 0) return text::serialOverlaps(p.inEeprom(), a);
    }
    return QString();
}

QString checkFits(const Place &p, qint64 value)
{
    if (p.length >= 7 || value < (qint64(1) << (8 * p.length))) return QString();
    return text::serialTooLarge(value, p.length);
}

QVector<int> bytesOf(const Place &p, qint64 value)
{
    QVector<int> bytes(p.length);
    for (int i = 0; i < p.length; ++i) {
        const int b = int((value >> (8 * i)) & 0xFF);  // i-th least significant
        bytes[p.littleEndian ? i : p.length - 1 - i] = b;
    }
    return bytes;
}

void apply(const Place &p, qint64 value, memoryimage::Image *img)
{
    const QVector<int> bytes = bytesOf(p, value);
    for (int i = 0; i < p.length; ++i) {
        if (p.inEeprom()) img->eeprom[size_t(p.address + i)] = bytes[i];
        else img->program[size_t(p.address + i)] = 0x3400 | bytes[i];
    }
}

namespace {

QByteArray recordLine(int byteAddress, const QVector<int> &words)
{
    QByteArray data;
    for (int w : words) data += char(w & 0xFF), data += char(w >> 8);  // low byte first, as in the files
    return hexexport::dataRecord(byteAddress, data);
}

}  // namespace

QByteArray hexWithRetlw(const QByteArray &hex, const Place &p, qint64 value)
{
    QVector<int> words;
    for (int b : bytesOf(p, value)) words << (0x3400 | b);
    const QByteArray serial = recordLine(2 * p.address, words);
    QByteArray out;
    bool placed = false;
    QList<QByteArray> lines = hex.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (!placed) {
            const hexrecord::Record rec = hexrecord::parse(line);
            // The write takes records in file order: the serial's words go in before the
            // first record that lies past them, or the end record.
            if (rec.colon && (rec.isEnd() || (rec.isData() && (rec.address < 0 || hexrecord::writeWordAddress(rec.address) > p.address)))) {
                out += serial;
                placed = true;
            }
        }
        out += line + "\r\n";
    }
    if (!placed) out += serial;
    return out;
}

namespace {

// An exclusive lock on PATH.lock for as long as it lives; gives up after a while rather than
// hang behind a process that keeps it.
class Lock {
public:
    explicit Lock(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path + QStringLiteral(".lock"));
        fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        for (int tries = 0; tries < 200; ++tries) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                held_ = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) break;
            QThread::msleep(50);
        }
        error_ = text::lockTimeout(path + QStringLiteral(".lock"));
    }
    ~Lock()
    {
        if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
    }
    bool held() const { return held_; }
    QString error() const { return error_; }

private:
    int fd_ = -1;
    bool held_ = false;
    QString error_;
};

bool readWhole(const QString &path, QByteArray *data, bool *missing, QString *error)
{
    QFile f(path);
    *missing = !f.exists();
    if (*missing) return false;
    if (!f.open(QIODevice::ReadOnly)) {
        *error = text::serialFileUnreadable(path, f.errorString());
        return false;
    }
    *data = f.readAll();
    return true;
}

// A list line: the value, then (once handed out) "taken", "pass" or "fail" and when, where.
struct ListLine {
    std::optional<qint64> value;
    bool blank = false;
    bool unused = false;
};

ListLine parseListLine(const QByteArray &raw)
{
    ListLine l;
    const QString t = QString::fromUtf8(raw).trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#'))) {
        l.blank = true;
        return l;
    }
    const QStringList fields = t.split(QRegularExpression(QStringLiteral("\\s+")));
    l.value = parseNumber(fields.first());
    l.unused = fields.size() == 1;
    return l;
}

QByteArray now() { return QDateTime::currentDateTime().toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc()).toString(Qt::ISODate).toUtf8(); }

}  // namespace

Source Source::counter(const QString &path, std::optional<qint64> start, qint64 step)
{
    Source s;
    s.kind_ = Kind::Counter;
    s.path_ = path;
    s.start_ = start;
    s.step_ = step;
    return s;
}

Source Source::list(const QString &path)
{
    Source s;
    s.kind_ = Kind::List;
    s.path_ = path;
    return s;
}

Source::Status Source::nextLocked(qint64 *value, QByteArray *newText, QString *error) const
{
    QByteArray data;
    bool missing = false;
    if (!readWhole(path_, &data, &missing, error)) {
        if (!missing) return Status::Bad;
        if (kind_ == Kind::Counter && start_) {
            *value = *start_;
        } else {
            *error = kind_ == Kind::Counter ? text::counterMissing(path_) : text::serialFileUnreadable(path_, QString());
            return Status::Missing;
        }
    } else if (kind_ == Kind::Counter) {
        const auto v = parseNumber(QString::fromUtf8(data).trimmed());
        if (!v) {
            *error = text::counterBad(path_);
            return Status::Bad;
        }
        *value = *v;
    } else {
        QList<QByteArray> lines = data.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        // The whole list is read first: a number in it twice would be handed out twice.
        QHash<qint64, int> lineOf;
        int next = -1;
        for (int i = 0; i < lines.size(); ++i) {
            const ListLine l = parseListLine(lines[i]);
            if (l.blank) continue;
            if (!l.value) {
                *error = text::listBadLine(path_, i + 1);
                return Status::Bad;
            }
            if (lineOf.contains(*l.value)) {
                *error = text::listTwice(path_, lineOf.value(*l.value), i + 1);
                return Status::Bad;
            }
            lineOf.insert(*l.value, i + 1);
            if (l.unused && next < 0) {
                next = i;
                *value = *l.value;
            }
        }
        if (next < 0) {
            *error = text::listExhausted(path_);
            return Status::Exhausted;
        }
        lines[next] = lines[next].trimmed() + " taken " + now();
        *newText = lines.join('\n') + '\n';
        return Status::Ok;
    }
    if (*value + step_ > kLargest) {
        *error = text::counterOverflow(path_);
        return Status::Bad;
    }
    *newText = QByteArray::number(*value + step_) + '\n';
    return Status::Ok;
}

Source::Status Source::peek(qint64 *value, QString *error) const
{
    // What the take will need, found out before the port is opened: the lock, and a folder the
    // new file can be made in.
    Lock lock(path_);
    if (!lock.held()) {
        *error = text::lockFailed(path_ + QStringLiteral(".lock"), lock.error());
        return Status::CannotWrite;
    }
    if (!QFileInfo(QFileInfo(path_).absolutePath()).isWritable()) {
        *error = text::serialFileNotWritten(path_, text::folderNotWritable());
        return Status::CannotWrite;
    }
    QByteArray unused;
    return nextLocked(value, &unused, error);
}

Source::Status Source::take(qint64 *value, QString *error, const std::function<QString(qint64)> &check)
{
    Lock lock(path_);
    if (!lock.held()) {
        *error = text::lockFailed(path_ + QStringLiteral(".lock"), lock.error());
        return Status::CannotWrite;
    }
    QByteArray newText;
    const Status st = nextLocked(value, &newText, error);
    if (st != Status::Ok) return st;
    if (check) {
        if (const QString why = check(*value); !why.isEmpty()) {
            *error = why;
            return Status::Bad;
        }
    }
    QString why;
    if (!hexexport::saveAtomically(path_, newText, &why)) {
        *error = text::serialFileNotWritten(path_, why);
        return Status::CannotWrite;
    }
    return Status::Ok;
}

bool Source::record(qint64 value, bool passed, const QString &port, QString *error)
{
    Lock lock(path_);
    if (!lock.held()) {
        *error = text::lockFailed(path_ + QStringLiteral(".lock"), lock.error());
        return false;
    }
    const QByteArray mark = QByteArray(passed ? "pass " : "fail ") + now() + ' ' + port.toUtf8();
    QString why;
    if (kind_ == Kind::Counter) {
        if (passed) return true;  // the counter has moved past it already
        const QString failed = path_ + QStringLiteral(".failed");
        QFile f(failed);
        const QByteArray line = QByteArray::number(value) + ' ' + mark + '\n';
        if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) && f.write(line) == line.size()) return true;
        *error = text::serialFileNotWritten(failed, f.errorString());
        return false;
    }
    QByteArray data;
    bool missing = false;
    if (!readWhole(path_, &data, &missing, error)) {
        if (missing) *error = text::serialFileNotWritten(path_, QString());
        return false;
    }
    QList<QByteArray> lines = data.split('\n');
    for (QByteArray &l : lines) {
        const QList<QByteArray> fields = l.trimmed().split(' ');
        const ListLine parsed = parseListLine(l);
        if (parsed.value == value && fields.size() > 1 && fields[1] == "taken") {
            l = fields[0] + ' ' + mark;
            if (hexexport::saveAtomically(path_, lines.join('\n'), &why)) return true;
            *error = text::serialFileNotWritten(path_, why);
            return false;
        }
    }
    *error = text::serialFileNotWritten(path_, QString());
    return false;
}

}  // namespace serialnumber
