// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/eepromtext.h"

#include "core/formats/numbertext.h"

#include <QCoreApplication>

#include <limits>

namespace eepromtext {

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(eepromtext)
};
}  // namespace

QString cellText(int value)
{
    return QString::number(value & 0xFF, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

int pairValue(uint8_t first, uint8_t second) { return (second & 0x7F) + ((first & 0x01) ? 128 : 0); }

QString columnHeader(int column)
{
    return QStringLiteral("+") + QString::number(column - 1, 16).toUpper() + QStringLiteral("h");
}

QString rowHeader(int row) { return QStringLiteral(" ") + QString::number(row - 1) + QStringLiteral("0h"); }

bool isDataCell(int row, int column) { return row >= 1 && row < kRows && column >= 1 && column < kColumns; }

int cellAddress(int row, int column) { return (row - 1) * 16 + (column - 1); }
int cellRow(int address) { return address / 16 + 1; }
int cellColumn(int address) { return address % 16 + 1; }

QString addressLabel(int address) { return QStringLiteral("Add ") + QString::number(address, 16).toUpper(); }

int hexValue(const QString &text)
{
    // The same reading as a hexadecimal literal: blanks dropped, digits up to the first other
    // character. Very long digit runs are capped rather than wrapped.
    const double v = numbertext::leadingNumber(QStringLiteral("&H") + text);
    if (v > double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return int(v);
}

namespace {
QString trimBlanks(const QString &text)
{
    int from = 0;
    int to = int(text.size());
    while (from < to && text[from] == QLatin1Char(' ')) ++from;
    while (to > from && text[to - 1] == QLatin1Char(' ')) --to;
    return text.mid(from, to - from);
}
}  // namespace

Entry checkEntry(const QString &text)
{
    Entry e;
    const QString t = trimBlanks(text);
    if (t.isEmpty() || t.size() > 2) {
        e.problem = EntryProblem::NotOneByte;
        return e;
    }
    if (hexValue(text) == 0 && t != QLatin1String("0") && t != QLatin1String("00")) {
        e.problem = EntryProblem::NotAValue;
        return e;
    }
    const int v = hexValue(t);
    if (v < 0 || v > 255) {
        e.problem = EntryProblem::OutOfRange;
        return e;
    }
    e.value = v;
    return e;
}

QString problemText(EntryProblem problem)
{
    switch (problem) {
    case EntryProblem::NotOneByte: return Tr::tr("１バイトのデータを入力してください");
    case EntryProblem::NotAValue: return Tr::tr("データの値が正しくありません");
    case EntryProblem::OutOfRange: return Tr::tr("データの値が有効範囲を超えています");
    case EntryProblem::None: break;
    }
    return QString();
}

}  // namespace eepromtext
