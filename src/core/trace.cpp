// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/trace.h"

#include <QElapsedTimer>
#include <QFile>

namespace trace {

namespace {

struct Sink {
    QFile file;
    QElapsedTimer clock;
    bool on = false;
    Sink()
    {
        clock.start();
        const QString path = qEnvironmentVariable("VELTRAW_TRACE");
        if (path.isEmpty()) return;
        file.setFileName(path);
        on = file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    }
    void line(const QByteArray &text)
    {
        if (!on) return;
        file.write(QByteArray::number(clock.elapsed()).rightJustified(8) + ' ' + text + '\n');
    }
};

Sink &sink()
{
    static Sink s;
    return s;
}

QByteArray describe(const QByteArray &data)
{
    QByteArray out;
    for (char c : data) {
        const auto b = uint8_t(c);
        out += QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
        if (b >= 0x20 && b < 0x7F) out += QByteArray("('") + c + "')";
        out += ' ';
    }
    return out.trimmed();
}

}  // namespace

bool enabled() { return sink().on; }

void bytes(bool sent, const QByteArray &data, bool binaryMode)
{
    if (!enabled() || data.isEmpty()) return;
    sink().line(QByteArray(sent ? "sent " : "recv ") + (binaryMode ? "bin  " : "text ") + describe(data));
}

void note(const QString &text)
{
    if (enabled()) sink().line("note " + text.toUtf8());
}

void message(const QString &title, const QString &text, const QString &answer)
{
    if (!enabled()) return;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
    sink().line(QStringLiteral("box  [%1] %2 -> %3").arg(title, t, answer).toUtf8());
}

}  // namespace trace
