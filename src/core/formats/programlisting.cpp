// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/programlisting.h"

#include "core/formats/configword.h"
#include "core/formats/disasm.h"
#include "core/formats/numbertext.h"
#include "core/protocol/verify.h"

#include <QCoreApplication>

namespace listing {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(listing)
};

bool blank(const Image &img, int a, bool fileSide)
{
    if (!img.present) return true;
    const int w = img.program[size_t(a)];
    return w == kErased || (fileSide && w < 0);
}

QVector<quint16> readWords(const Image &pic)
{
    QVector<quint16> words;
    words.reserve(kProgramWords + kIdWords);
    for (int w : pic.program) words << quint16(w < 0 ? kErased : w);
    for (int w : pic.id) words << quint16(w < 0 ? kErased : w);
    return words;
}

QString idText(int address, int word)
{
    const int i = address - kIdAddress;
    if (i < 4) return Tr::tr("IDワード %1（下位4ビット %2h）").arg(i).arg(numbertext::hex(word & 0xF, 1));
    if (i < 6) return Tr::tr("予約");
    // The PIC16F84A's device ID is 0560h and up: bits 4-0 are its revision.
    if ((word & 0x3FE0) == 0x0560) return Tr::tr("デバイスID: PIC16F84A リビジョン %1").arg(word & 0x1F);
    return word == kErased ? Tr::tr("デバイスID: なし") : Tr::tr("デバイスID");
}

}  // namespace

Image fromFile(const memoryimage::Image &file, int storedConfigWord)
{
    Image img;
    img.present = file.opened;
    img.program = file.program;
    img.id = file.id;
    img.configFromSettings = !file.configWord;
    img.id[kIdWords - 1] = file.configWord ? quint16(*file.configWord) : (storedConfigWord & 0xFFFF);
    return img;
}

Image fromRead(const QVector<quint16> &words)
{
    Image img;
    if (words.size() < kProgramWords + kIdWords) return img;
    img.present = true;
    for (int a = 0; a < kProgramWords; ++a) img.program[size_t(a)] = words[a] & kErased;
    for (int i = 0; i < kIdWords; ++i) img.id[size_t(i)] = words[kProgramWords + i] & kErased;
    return img;
}

int Listing::rowOf(int address) const
{
    for (int i = 0; i < rows.size(); ++i) {
        const Row &r = rows[i];
        if (address == r.address || (r.kind == Row::Unused && address >= r.address && address <= r.last)) return i;
    }
    return -1;
}

Listing build(const Image &file, const Image &pic, bool fold)
{
    Listing l;
    std::array<bool, kProgramWords> differs{};
    bool configDiffers = false;
    if (file.present && pic.present) {
        // The same comparison as the verify's, so both count the same differences.
        verify::Report report;
        const int expectedConfig = file.id[kIdWords - 1];
        verify::compareProgram(report, file.program, readWords(pic),
                               expectedConfig >= 0 ? std::optional<int>(expectedConfig) : std::nullopt);
        for (const verify::Mismatch &m : report.mismatches) {
            if (m.space == verify::Space::Program) differs[size_t(m.address)] = true;
            else if (m.space == verify::Space::Config) configDiffers = true;
        }
        l.differences = int(report.mismatches.size());
        l.unverifiable = report.programUnverifiable;
    }
    auto wordOf = [](const Image &img, int a) { return img.present ? img.program[size_t(a)] : -1; };
    for (int a = 0; a < kProgramWords;) {
        int end = a;
        while (end < kProgramWords && !differs[size_t(end)] && blank(file, end, true) && blank(pic, end, false)) ++end;
        if (fold && end - a >= kFoldRun) {
            Row r;
            r.kind = Row::Unused;
            r.address = a;
            r.last = end - 1;
            l.rows << r;
            a = end;
            continue;
        }
        const int stop = std::max(end, a + 1);
        for (; a < stop; ++a) {
            Row r;
            r.address = a;
            r.file = wordOf(file, a);
            r.pic = wordOf(pic, a);
            r.differs = differs[size_t(a)];
            if ((file.present && pic.present) || r.file >= 0 || r.pic >= 0) l.rows << r;
        }
    }
    for (int i = 0; i < kIdWords; ++i) {
        Row r;
        r.kind = i == kIdWords - 1 ? Row::Config : Row::Id;
        r.address = kIdAddress + i;
        r.file = file.present ? file.id[size_t(i)] : -1;
        r.pic = pic.present ? pic.id[size_t(i)] : -1;
        r.differs = r.kind == Row::Config && configDiffers;
        if (r.file >= 0 || r.pic >= 0) l.rows << r;
    }
    return l;
}

QString describe(const Row &row, int word, bool configFromSettings)
{
    if (word < 0) return QString();
    switch (row.kind) {
    case Row::Word: return disasm::instruction(word, true);
    case Row::Unused: return QString();
    case Row::Id: return idText(row.address, word);
    case Row::Config: return configword::describe(word) + (configFromSettings ? Tr::tr("（設定の値）") : QString());
    }
    return QString();
}

QString addressText(const Row &row)
{
    if (row.kind == Row::Unused)
        return Tr::tr("%1h–%2h 未使用 (3FFF)").arg(numbertext::hexWord(row.address), numbertext::hexWord(row.last));
    return numbertext::hexWord(row.address) + QLatin1Char('h');
}

QString text(const Listing &l, const Image &file, const Image &pic)
{
    const bool both = file.present && pic.present;
    auto side = [](const Row &r, int w, bool fromSettings, int width) {
        const QString t = w < 0 ? QStringLiteral("----") : numbertext::hexWord(w) + QStringLiteral("  ") + describe(r, w, fromSettings);
        return width > 0 ? QStringLiteral("%1").arg(t, -width) : t;
    };
    QStringList lines;
    if (both) lines << Tr::tr("（左: ファイル、右: PIC。違う行に *）");
    for (const Row &r : l.rows) {
        QString line = QLatin1String(r.differs ? "*  " : "   ") + addressText(r);
        if (r.kind != Row::Unused) {
            line += QStringLiteral("  ");
            if (both) line += side(r, r.file, file.configFromSettings, 34) + side(r, r.pic, false, 0);
            else if (file.present) line += side(r, r.file, file.configFromSettings, 0);
            else line += side(r, r.pic, false, 0);
        }
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
        lines << line;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace listing
