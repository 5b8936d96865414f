// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/memoryimage.h"

#include "core/formats/hexrecord.h"
#include "core/formats/numbertext.h"

#include <QCoreApplication>

#include <algorithm>

namespace memoryimage {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(memoryimage)
};

constexpr int kFine = -2;
constexpr int kEepromWordAddress = kEepromByteAddress / 2;

QString at(int address) { return numbertext::hex(address, 4) + QLatin1Char('h'); }

// kFine when the record adds up; else the checksum that would fit, or -1 when the record is
// too short for its byte count or holds something that is not a hexadecimal digit.
int checkRecord(QByteArray line)
{
    while (line.endsWith(' ') || line.endsWith('\t')) line.chop(1);
    if (line.size() < 11 || (line.size() - 1) % 2 != 0) return -1;
    QVector<int> bytes;
    for (qsizetype i = 1; i + 1 < line.size(); i += 2) {
        const int hi = hexrecord::nibble(line[i]);
        const int lo = hexrecord::nibble(line[i + 1]);
        if (hi < 0 || lo < 0) return -1;
        bytes.append(hi * 16 + lo);
    }
    if (bytes.size() != bytes[0] + 5) return -1;
    int sum = 0;
    for (int i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
    const int fit = (256 - (sum & 0xFF)) & 0xFF;
    return fit == bytes.last() ? kFine : fit;
}

bool isZeroAddressRecord(const hexrecord::Record &r, const QByteArray &line)
{
    // gpasm's INHX32 opens with an extended address of 0000: the write skips it, rightly.
    if (r.type != "02" && r.type != "04") return false;
    for (int i = 0; i < r.count; ++i)
        if (hexrecord::byteAt(line, 10 + 2 * i) != 0) return false;
    return true;
}

class Reader {
public:
    explicit Reader(Image &img) : img_(img) {}

    void add(Problem p, int line, int address = -1, int value = 0)
    {
        Issue i;
        i.problem = p;
        i.line = line;
        i.address = address;
        i.value = value;
        img_.issues.append(i);
    }

    // A data record the write reads in its data phase.
    void sent(const hexrecord::Record &rec, const QByteArray &line, int lineNo, int a)
    {
        // Addresses 8000h..FFFFh read negative: they go backwards like any lower address.
        if (rec.address < 0 || a < next_) {
            add(Problem::AddressBackwards, lineNo, std::max(a, 0));
            sending_ = false;
            return;
        }
        next_ = a;
        bool wide = false;
        for (int i = 0; i < rec.count / 2; ++i) {
            const int high = hexrecord::highByte(line, i);
            const int low = hexrecord::lowByte(line, i);
            if (high >= 0x80) {
                add(Problem::WordTooWide, lineNo, next_);
                sending_ = false;
                return;
            }
            if (next_ > hexrecord::kLastProgramWord) {
                // The data phase ends here: the rest of the file is not sent.
                add(Problem::BeyondProgramMemory, lineNo, next_, next_ + rec.count / 2 - i - 1);
                sending_ = false;
                stopLine_ = lineNo;
                return;
            }
            img_.program[size_t(next_)] = ((high << 8) | low) & 0x3FFF;
            if ((high & 0xC0) != 0 && !wide) {
                wide = true;
                add(Problem::BitsAboveFourteen, lineNo, next_);
            }
            ++next_;
            ++img_.wordsSent;
        }
    }

    // A data record the write never sends: what the file says there is still read and told.
    void unsent(const hexrecord::Record &rec, const QByteArray &line, int lineNo)
    {
        const int base = uint16_t(rec.address) / 2;
        bool told[4] = {false, false, false, false};
        auto once = [&](int kind, Problem p, int address, int value = 0) {
            if (told[kind]) return;
            told[kind] = true;
            add(p, lineNo, address, value);
        };
        for (int i = 0; i < rec.count / 2; ++i) {
            const int w = base + i;
            const int low = hexrecord::lowByte(line, i);
            const int high = hexrecord::highByte(line, i);
            if (w < kProgramWords) {
                // After a line the write stops on, the error says it all.
                if (stopLine_ > 0) once(0, Problem::NotWrittenAfterStop, w, stopLine_);
            } else if (w < kIdWordAddress) {
                once(1, Problem::BeyondProgramMemory, w, std::min(base + rec.count / 2, kIdWordAddress) - 1);
            } else if (w < kIdWordAddress + kIdWords) {
                img_.id[size_t(w - kIdWordAddress)] = low | (high << 8);
                if (w < kIdWordAddress + kIdWords - 1) once(2, Problem::IdNotWritten, w);
            } else if (w >= kEepromWordAddress && w < kEepromWordAddress + kEepromBytes) {
                img_.eeprom[size_t(w - kEepromWordAddress)] = low;
            } else {
                once(3, Problem::Ignored, w);
            }
        }
    }

    void run(hexrecord::LineReader &file)
    {
        using St = hexrecord::LineReader::Status;
        QByteArray line;
        for (int lineNo = 1;; ++lineNo) {
            const St st = file.next(&line);
            if (st == St::End) return;
            if (st == St::TooLong) return add(Problem::LineTooLong, lineNo);
            if (st == St::ReadError) return add(Problem::Unreadable, lineNo);
            const hexrecord::Record rec = hexrecord::parse(line);
            if (!rec.colon) {
                add(Problem::NoColon, lineNo);
                sending_ = false;
                continue;
            }
            const int fit = checkRecord(line);
            if (fit != kFine) add(Problem::BadRecord, lineNo, -1, fit);
            if (rec.isEnd()) return;
            if (!rec.isData()) {
                if (!isZeroAddressRecord(rec, line)) add(Problem::OtherRecordType, lineNo, -1, hexrecord::fieldValue(line, 8, 2));
                continue;
            }
            qint16 word = 0;
            if (!img_.configWord && hexrecord::configWordOf(rec, line, &word)) {
                img_.configWord = word;
                img_.configLine = lineNo;
            }
            const int a = hexrecord::writeWordAddress(rec.address);
            if (sending_ && a <= hexrecord::kLastProgramWord) {
                sent(rec, line, lineNo, a);
                continue;
            }
            if (sending_) {
                sending_ = false;
                stopLine_ = lineNo;
            }
            unsent(rec, line, lineNo);
        }
    }

private:
    Image &img_;
    int next_ = 0;
    bool sending_ = true;
    int stopLine_ = 0;  // the line whose record ended the data phase; 0 when an error ended it
};

}  // namespace

Severity severityOf(Problem p)
{
    switch (p) {
    case Problem::LineTooLong:
    case Problem::Unreadable:
    case Problem::NoColon:
    case Problem::AddressBackwards:
    case Problem::WordTooWide:
        return Severity::Error;
    case Problem::BadRecord:
    case Problem::BeyondProgramMemory:
        return Severity::ForcibleError;
    case Problem::NotWrittenAfterStop:
    case Problem::IdNotWritten:
    case Problem::BitsAboveFourteen:
    case Problem::Ignored:
    case Problem::OtherRecordType:
        break;
    }
    return Severity::Warning;
}

QString problemText(const Issue &i)
{
    switch (i.problem) {
    case Problem::LineTooLong:
        return Tr::tr("行が長すぎます。Intel HEX ファイルではないようです");
    case Problem::Unreadable:
        return Tr::tr("ファイルを最後まで読めませんでした");
    case Problem::NoColon:
        return Tr::tr("行の先頭が「:」ではありません。Intel HEX のレコードではありません");
    case Problem::AddressBackwards:
        return Tr::tr("アドレス %1 のレコードが、前のレコードより前のアドレスを指しています"
                      "（書込みはレコードをアドレス順に送ります）").arg(at(i.address));
    case Problem::WordTooWide:
        return Tr::tr("アドレス %1 のワードの上位バイトが 80h 以上で、プログラムワードになりません").arg(at(i.address));
    case Problem::BadRecord:
        if (i.value >= 0)
            return Tr::tr("チェックサムが合いません（正しくは %1h）")
                .arg(numbertext::hex(i.value, 2));
        return Tr::tr("レコードの形が正しくありません（バイト数と長さが合わないか、16進数でない文字があります）");
    case Problem::BeyondProgramMemory:
        return Tr::tr("アドレス %1 はプログラムメモリ（0000h〜03FFh）の外です").arg(at(i.address));
    case Problem::NotWrittenAfterStop:
        return Tr::tr("アドレス %1 からのワードは書込まれません（書込みは %2 行目のレコードで終わります）")
            .arg(at(i.address))
            .arg(i.value);
    case Problem::IdNotWritten:
        return Tr::tr("ID ワード（%1 から）は書込まれません。ライタには ID ワードを書込むコマンドがありません").arg(at(i.address));
    case Problem::BitsAboveFourteen:
        return Tr::tr("アドレス %1 のワードが 14 ビットを超えています。PIC には下位 14 ビットだけが書込まれます").arg(at(i.address));
    case Problem::Ignored:
        return Tr::tr("アドレス %1 には PIC のメモリがないので、このレコードは使われません").arg(at(i.address));
    case Problem::OtherRecordType:
        return Tr::tr("レコードタイプ %1 は使われません")
            .arg(numbertext::hex(i.value, 2));
    }
    return QString();
}

bool Image::hasErrors(bool force) const
{
    for (const Issue &i : issues) {
        const Severity s = severityOf(i.problem);
        if (s == Severity::Error || (s == Severity::ForcibleError && !force)) return true;
    }
    return false;
}

int Image::programWordCount() const
{
    int n = 0;
    for (int w : program) n += w >= 0 ? 1 : 0;
    return n;
}

bool Image::hasIdOrEeprom() const
{
    // 2007h, the configuration word, is written.
    return eepromByteCount() > 0 || std::any_of(id.begin(), id.end() - 1, [](int w) { return w >= 0; });
}

int Image::eepromByteCount() const
{
    int n = 0;
    for (int b : eeprom) n += b >= 0 ? 1 : 0;
    return n;
}

Image read(const QString &path)
{
    Image img;
    hexrecord::LineReader file;
    if (!file.open(path)) return img;
    img.opened = true;
    Reader(img).run(file);
    file.close();
    return img;
}

}  // namespace memoryimage
