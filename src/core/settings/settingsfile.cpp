// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settingsfile.h"

#include "core/platform.h"

#include <QFile>
#include <QList>
#include <QSaveFile>


namespace ini {

namespace {

QByteArray trimmedBlanks(const QByteArray &s)
{
    int b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.mid(b, e - b);
}

bool sameName(const QByteArray &raw, const QString &name)
{
    return QString::fromLocal8Bit(trimmedBlanks(raw)).compare(name.trimmed(), Qt::CaseInsensitive) == 0;
}

// Section name if the line is a section header, else a null array.
QByteArray sectionOf(const QByteArray &line)
{
    const QByteArray t = trimmedBlanks(line);
    if (t.size() >= 2 && t.startsWith('[')) {
        const int close = t.indexOf(']');
        if (close > 0) return t.mid(1, close - 1).isNull() ? QByteArray("") : t.mid(1, close - 1);
    }
    return QByteArray();
}

bool isKeyLine(const QByteArray &line, const QString &key, QByteArray *value)
{
    const QByteArray t = trimmedBlanks(line);
    if (t.isEmpty() || t[0] == ';' || t[0] == '#') return false;
    const int eq = t.indexOf('=');
    if (eq <= 0) return false;
    if (!sameName(t.left(eq), key)) return false;
    if (value) *value = trimmedBlanks(t.mid(eq + 1));
    return true;
}

QByteArray cutToLimit(const QByteArray &bytes)
{
    if (bytes.size() <= kValueByteLimit) return bytes;
    // Cut at a character boundary so the text never ends in half a character.
    int n = kValueByteLimit;
    const QString whole = QString::fromLocal8Bit(bytes.left(n));
    QByteArray back = whole.toLocal8Bit();
    while (back.size() > n || !bytes.startsWith(back)) {
        if (back.isEmpty()) break;
        const QString shorter = QString::fromLocal8Bit(back).chopped(1);
        back = shorter.toLocal8Bit();
    }
    return back;
}


}  // namespace

QString lookup(const QByteArray &contents, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QByteArray &line : contents.split('\n')) {
        const QByteArray sec = sectionOf(line);
        if (!sec.isNull()) {
            inSection = sameName(sec, section);
            continue;
        }
        QByteArray value;
        if (inSection && isKeyLine(line, key, &value)) {
            const QString text = QString::fromLocal8Bit(cutToLimit(value));
            return text;
        }
    }
    return kMissing;
}

QByteArray update(const QByteArray &contents, const QString &section, const QString &key, const QString &value)
{
    // New lines take the line end the file already uses, as its first line shows it.
    // (A file of one unterminated line ending in CR counts as CR LF.)
    const qsizetype firstEnd = contents.indexOf('\n');
    const bool crlf = firstEnd >= 0 ? firstEnd > 0 && contents[firstEnd - 1] == '\r' : contents.endsWith('\r');
    const QByteArray cr = crlf ? QByteArray("\r") : QByteArray();
    const QByteArray newLine = key.toLocal8Bit() + '=' + value.toLocal8Bit() + cr;

    QList<QByteArray> lines = contents.split('\n');
    lines.removeLast();  // what follows the final line end (or the whole unterminated last line)
    const QByteArray tail = contents.mid(contents.lastIndexOf('\n') + 1);
    if (!tail.isEmpty()) lines.append(tail.endsWith('\r') ? tail : tail + cr);  // it gets its line end

    int sectionLine = -1, lastInSection = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray sec = sectionOf(lines[i]);
        if (!sec.isNull()) {
            if (sectionLine >= 0) break;  // only the first matching section counts
            if (sameName(sec, section)) sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0) continue;
        if (isKeyLine(lines[i], key, nullptr)) {
            lines[i] = newLine;
            return lines.join('\n') + '\n';
        }
        if (!trimmedBlanks(lines[i]).isEmpty()) lastInSection = i;
    }
    if (sectionLine >= 0) {
        lines.insert(lastInSection + 1, newLine);
    } else {
        lines.append('[' + section.toLocal8Bit() + ']' + cr);
        lines.append(newLine);
    }
    return lines.join('\n') + '\n';
}

QString readValue(const QString &path, const QString &section, const QString &key)
{
    QFile f;
    if (platform::openRegularFile(f, path) != platform::OpenResult::Regular) return kMissing;
    const QByteArray contents = f.read(kMaxFileBytes);
    return lookup(contents, section, key);
}

bool writeValue(const QString &path, const QString &section, const QString &key, const QString &value,
                QString *error)
{
    QByteArray old;
    {
        QFile f;
        switch (platform::openRegularFile(f, path)) {
        case platform::OpenResult::Missing:
            break;  // the first write creates it
        case platform::OpenResult::Other:
            // A folder, a device, a FIFO or a file we may not read: not ours to replace.
            if (error) *error = QStringLiteral("%1: not a readable regular file").arg(path);
            return false;
        case platform::OpenResult::Regular:
            // One byte more than we take tells a file too large to rewrite without cutting it.
            old = f.read(kMaxFileBytes + 1);
            if (f.error() != QFileDevice::NoError) {
                if (error) *error = f.errorString();
                return false;
            }
            if (old.size() > kMaxFileBytes) {
                if (error) *error = QStringLiteral("settings file too large");
                return false;
            }
            break;
        }
    }
    const QByteArray contents = update(old, section, key, value);
    // Unbuffered, so a full disk shows up in write() instead of vanishing in a late flush.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = out.errorString();
        return false;
    }
    if (out.write(contents) != contents.size()) {
        if (error) *error = out.errorString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        if (error) *error = out.errorString();
        return false;
    }
    return true;
}

QString numberText(int value)
{
    return value >= 0 ? QStringLiteral(" %1").arg(value) : QString::number(value);
}

}  // namespace ini
