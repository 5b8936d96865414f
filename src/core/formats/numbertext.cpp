// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/numbertext.h"

#include <cmath>

namespace numbertext {

namespace {

QString withoutBlanks(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            s.append(c);
    return s;
}

// Reads a number at the start of s; returns the count of characters used (0: none).
int scanNumber(const QString &s, double *out)
{
    int i = 0;
    const int n = int(s.size());
    if (n >= 2 && s[0] == QLatin1Char('&') && (s[1].toUpper() == QLatin1Char('H') || s[1].toUpper() == QLatin1Char('O'))) {
        const int base = s[1].toUpper() == QLatin1Char('H') ? 16 : 8;
        qint64 v = 0;
        i = 2;
        while (i < n) {
            bool ok = false;
            const int digit = QString(s[i]).toInt(&ok, base);
            if (!ok) break;
            v = v * base + digit;
            if (v > 0xFFFFFFFFLL) break;
            ++i;
        }
        *out = double(v);
        return i > 2 ? i : 0;
    }
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) ++i;
    const int digitsStart = i;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) ++i;
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && s[digitsStart] == QLatin1Char('.'))) return 0;
    int end = i;
    if (i < n && (s[i].toUpper() == QLatin1Char('E') || s[i].toUpper() == QLatin1Char('D'))) {
        int j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-'))) ++j;
        const int expStart = j;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) ++j;
        if (j > expStart) end = j;
    }
    QString num = s.left(end);
    num.replace(QLatin1Char('D'), QLatin1Char('E')).replace(QLatin1Char('d'), QLatin1Char('e'));
    bool ok = false;
    const double v = num.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return 0;
    *out = v;
    return end;
}

}  // namespace

double roundHalfEven(double v)
{
    return std::nearbyint(v);  // the default rounding mode rounds halves to even
}

double leadingNumber(const QString &text)
{
    double v = 0;
    if (scanNumber(withoutBlanks(text), &v) == 0) return 0;
    return v;
}

std::optional<qint16> toInt16(const QString &text)
{
    const QString s = text.trimmed();
    double v = 0;
    if (s.isEmpty() || scanNumber(s, &v) != s.size()) return std::nullopt;
    const double r = roundHalfEven(v);
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return qint16(r);
}

QString hexPadded(int value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char(' '));
}

QString hex(int value, int digits) { return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper(); }

QString hexWord(int value) { return hex(uint16_t(value), 4); }

}  // namespace numbertext
