#include "program/writeread.h"

#include "app/formmain.h"
#include "app/forms.h"
#include "app/module1.h"
#include "app/vbtext.h"
#include "config/frmconfig.h"
#include "link/programmerlink.h"
#include "link/sevenbit.h"
#include "program/hexexport.h"
#include "program/hexrecord.h"
#include "program/operationcontext.h"
#include "program/programops.h"

#include <QApplication>
#include <QDir>
#include <QString>
#include <QVector>

using namespace Module1;

namespace {

const QString kPowerOff = QStringLiteral("PICマイコンボードの電源は投入されていますか？");
const QString kWriterError = QStringLiteral("ライタにエラーが発生しました。");
const QString kFileErrorTitle = QStringLiteral("ファイルエラー");
const QString kHexError = QStringLiteral("Hexファイルにエラーがありました");
const QString kHexFilter = QStringLiteral("Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*");

bool is(const QString &reply, char letter) { return reply.size() == 1 && reply[0] == QLatin1Char(letter); }

// Binary receive mode for one data stretch; text again on every way out of it.
class BinaryStretch {
public:
    explicit BinaryStretch(ProgrammerLink &link) : link_(link) { link_.setBinaryMode(true); }
    ~BinaryStretch() { link_.setBinaryMode(false); }
    BinaryStretch(const BinaryStretch &) = delete;
    BinaryStretch &operator=(const BinaryStretch &) = delete;

private:
    ProgrammerLink &link_;
};

// One received byte under the reply time-out; -1 when the wait ended without one.
int WaitByte(ProgrammerLink &link, OperationContext &ctx)
{
    ctx.armTimeout();
    WaitForInput();
    ctx.disarmTimeout();
    return link.readByte();
}

enum class DataPhase { Done, HexError, WriteError, ProcessError };

// Where the data phase stopped: the word address the writer was to write next and the file's
// line then being sent (1-based; 0 before the first).
struct Reached {
    qint16 nextAddress = 0;
    int line = 0;
};

// Sends the words of the open file; returns how the data phase ended.
DataPhase SendWords(ProgrammerLink &link, OperationContext &ctx, hexrecord::LineReader &file, Reached &reached)
{
    using hexrecord::LineReader;
    qint16 &nextAddress = reached.nextAddress;
    QByteArray line;
    for (;;) {
        ++reached.line;
        const LineReader::Status st = file.next(&line);
        if (st == LineReader::Status::End) return DataPhase::Done;
        if (st == LineReader::Status::TooLong) return DataPhase::HexError;
        if (st == LineReader::Status::ReadError) return DataPhase::ProcessError;

        const hexrecord::Record rec = hexrecord::parse(line);
        if (!rec.colon) return DataPhase::HexError;
        if (rec.isEnd()) return DataPhase::Done;
        if (!rec.isData()) continue;
        const int count = rec.count;
        const int a = hexrecord::writeWordAddress(rec.address);
        if (a > hexrecord::kLastProgramWord) return DataPhase::Done;
        // Addresses 8000h..FFFFh read negative: they go backwards like any lower address.
        if (rec.address < 0 || a < nextAddress) return DataPhase::HexError;

        // The writer keeps the address itself: a gap is skipped with "I", at most 127 a step,
        // the remainder of 128 first so the steps end exactly at the record.
        while (nextAddress < a) {
            int n = (a - nextAddress) & 0x7F;
            if (n == 0) n = 127;
            link.sendLetter('I');
            if (!is(WaitReply(link, ctx), 'i')) return DataPhase::WriteError;
            link.sendByte(SevenBitGroup::single(n));
            if (!is(WaitReply(link, ctx), 'w')) return DataPhase::WriteError;
            nextAddress = qint16(nextAddress + n);
        }

        for (int i = 0; i < count / 2; ++i) {
            link.sendLetter('D');
            ctx.setProgress(QStringLiteral("アドレス ") + vbtext::hexPadded(nextAddress, 4) + QStringLiteral(" 書込み中"));
            const int high = hexrecord::highByte(line, i);
            const int low = hexrecord::lowByte(line, i);
            // Bits 13..7 are 2 * high plus bit 7 of low; a high byte of 80h or more has no
            // place in a program word.
            if (high >= 0x80) return DataPhase::ProcessError;
            const int g1 = (2 * high + ((low & 0x80) ? 1 : 0)) & 0x7F;
            const int g0 = low & 0x7F;
            if (!is(WaitReply(link, ctx), 'w')) return DataPhase::WriteError;
            link.sendByte(SevenBitGroup::single(g1));
            link.drainTransmit();
            link.sendByte(SevenBitGroup::single(g0));
            if (!is(WaitReply(link, ctx), 'w')) return DataPhase::WriteError;
            nextAddress = qint16(nextAddress + 1);
        }
    }
}

// What a write that stopped part-way leaves in the PIC, for the message's detail.
QString StoppedAt(const Reached &r, bool withLine)
{
    QString s;
    if (withLine) s = QStringLiteral("HEXファイルの %1 行目で止まりました。").arg(r.line);
    s += QStringLiteral("アドレス %1h の手前まで書込み済みです。")
             .arg(QStringLiteral("%1").arg(uint16_t(r.nextAddress), 4, 16, QLatin1Char('0')).toUpper());
    return s;
}

void Stopped(ProgrammerLink &link, const QString &text, const QString &title, const QString &detail)
{
    link.sendLetter('E');
    ErrorBox(text, title, detail);
}

void WriteFailed(ProgrammerLink &link, const QString &detail)
{
    Stopped(link, QStringLiteral("書き込み中にエラーが発生しました"), kErrorTitle, detail);
}

QString ProposedSaveName()
{
    const QString dir = QDir::currentPath();
    const QString name = QStringLiteral("veltra.hex");
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

}  // namespace

void LoadConfigWordFromHex(const QString &path)
{
    hexrecord::LineReader file;
    if (!file.open(path)) {
        MsgBox(kHexError, Icon::Critical, kErrorTitle);
        return;
    }
    QByteArray line;
    for (;;) {
        const auto st = file.next(&line);
        // A line that cannot be read ends the lookup; the write reports it in its own words.
        if (st == hexrecord::LineReader::Status::End || st == hexrecord::LineReader::Status::ReadError) break;
        const hexrecord::Record rec = hexrecord::parse(line);
        if (st == hexrecord::LineReader::Status::TooLong || !rec.colon) {
            MsgBox(kHexError, Icon::Critical, kErrorTitle);
            return;
        }
        if (rec.isEnd()) break;
        qint16 word = 0;
        if (hexrecord::configWordOf(rec, line, &word)) {
            AppSettings.ConfigWord = word;
            break;
        }
    }
}

void ShowConfigDialog()
{
    // Over the operation dialog that asks for it, so it is centred there and stays off the
    // task bar.
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    if (!parent) parent = MainForm();
    frmConfig dialog(parent);
    ShowModal(&dialog);
}

void WriteProgram(ProgrammerLink &link, OperationContext &ctx, const QString &path)
{
    link.clearInput();
    link.sendLetter('W');
    const QString reply = WaitReply(link, ctx);
    if (is(reply, '?')) {
        WaitReply(link, ctx);  // the writer's second unit after "?"
        link.sendLetter('C');
        MsgBox(kPowerOff, Icon::Critical, kErrorTitle);
        link.sendLetter('E');
        return;
    }
    if (!is(reply, 'w')) {
        link.sendLetter('S');
        link.sendLetter('C');
        MsgBox(kWriterError, Icon::Critical, kErrorTitle);
        link.sendLetter('E');
        return;
    }

    hexrecord::LineReader file;
    if (!file.open(path)) {
        link.sendLetter('E');
        MsgBox(QStringLiteral("ファイルが見つかりません"), Icon::Critical, kFileErrorTitle);
        return;
    }
    Reached reached;
    const DataPhase phase = SendWords(link, ctx, file, reached);
    file.close();
    // A write that stops part-way says how far it got: the message's text stays as it is, the
    // detail tells the line and the address.
    switch (phase) {
    case DataPhase::Done:
        break;
    case DataPhase::HexError:
        Stopped(link, kHexError, kFileErrorTitle, StoppedAt(reached, true));
        return;
    case DataPhase::WriteError:
        WriteFailed(link, StoppedAt(reached, false));
        return;
    case DataPhase::ProcessError:
        Stopped(link, QStringLiteral("ファイル処理エラーです"), kErrorTitle, StoppedAt(reached, true));
        return;
    }

    // Configuration word. Its reply has the same time-out as every other wait: a writer that
    // never answers "G" must not leave the dialog waiting for ever.
    const QString atConfig = QStringLiteral("プログラムメモリは書込み済みです。コンフィグレーションワードの書込みで止まりました。");
    link.sendLetter('G');
    if (!is(WaitReply(link, ctx), 'g')) {
        WriteFailed(link, atConfig);
        return;
    }
    link.sendByte(0x80);
    link.sendByte(SevenBitGroup::single(AppSettings.ConfigWord & 0x7F));
    if (!is(WaitReply(link, ctx), 'w')) {
        WriteFailed(link, atConfig);
        return;
    }
    link.sendLetter('E');
    MsgBox(QStringLiteral("書込みが終了しました"), Icon::None, kProgramTitle);
}

void ReadProgram(ProgrammerLink &link, OperationContext &ctx)
{
    link.clearInput();
    AppSettings.ReadAddress = 0;
    link.sendLetter('R');
    const QString reply = WaitReply(link, ctx);
    if (is(reply, '?')) {
        link.sendLetter('S');
        MsgBox(kPowerOff, Icon::Critical, kErrorTitle);
        return;
    }
    if (!is(reply, 'r')) {
        link.sendLetter('C');
        MsgBox(kWriterError, Icon::Critical, kErrorTitle);
        return;
    }

    enum class Received { Complete, Stopped, Failed };
    Received how = Received::Complete;
    QVector<quint16> words;
    words.reserve(hexexport::kReadWords);
    {
        BinaryStretch binary(link);
        for (;;) {
            ctx.setProgress(QStringLiteral("アドレス ") + vbtext::hexPadded(AppSettings.ReadAddress, 4)
                            + QStringLiteral(" 受信中"));
            const int b1 = WaitByte(link, ctx);
            if (b1 < 0) {
                how = Received::Failed;
                break;
            }
            if (!SevenBitGroup::isData(uint8_t(b1))) {
                how = Received::Stopped;
                break;
            }
            const int b2 = WaitByte(link, ctx);
            if (b2 < 0) {
                how = Received::Failed;
                break;
            }
            if (!SevenBitGroup::isData(uint8_t(b2))) {
                how = Received::Stopped;
                break;
            }
            words.append(SevenBitGroup::decode2(uint8_t(b1), uint8_t(b2)));
            AppSettings.ReadAddress = qint16(AppSettings.ReadAddress + 1);
            if (AppSettings.ReadAddress == 1024) AppSettings.ReadAddress = hexrecord::kIdAddress;
            if (AppSettings.ReadAddress == hexrecord::kIdAddress + 8) break;
        }
    }
    const QString receivedWords = QStringLiteral("受信したワード数: %1 / %2").arg(words.size()).arg(hexexport::kReadWords);
    if (how == Received::Failed) {
        ErrorBox(QStringLiteral("ファイルエラーです"), kErrorTitle, receivedWords);
        return;
    }
    if (how == Received::Stopped) {
        // Records past the end of a short read would be shorter than their byte count: no
        // file rather than a corrupt one.
        ErrorBox(QStringLiteral("PICのプログラムを最後まで受信できませんでした。\r\n"
                                "ファイルは出力していません。もう一度操作してください。"), kErrorTitle,
                 receivedWords);
        return;
    }

    FileRequest r;
    r.save = true;
    r.filter = kHexFilter;
    r.defaultSuffix = QStringLiteral("hex");
    r.confirmOverwrite = true;
    r.presetName = ProposedSaveName();
    const auto chosen = FileDialog(r);
    if (!chosen) return;  // cancelled: no file, no message

    AppSettings.ReadAddress = 0;
    ctx.setProgress(QStringLiteral("ファイル出力中"));
    QString why;
    if (!hexexport::saveAtomically(*chosen, hexexport::programImageToHex(words), &why)) {
        ErrorBox(QStringLiteral("ファイルエラーです"), kErrorTitle, why);
        return;
    }
    MsgBox(QStringLiteral("読取り終了しました"), Icon::None, kProgramTitle);
}
