#include "eeprom/eepromops.h"

#include "app/module1.h"
#include "eeprom/eepromtext.h"
#include "link/programmerlink.h"
#include "link/sevenbit.h"

#include <QCoreApplication>
#include <QEventLoop>

using namespace Module1;

namespace eeprom {

namespace {

const QString kPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れて、もう一度クリックしてください。");
const QString kViewCommFailed =
    QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてから、もう一度クリックしてください。");
const QString kEntryPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません");
const QString kEntryCommFailedFirst =
    QStringLiteral("ライタとの通信に失敗しました\r\nケーブルの確認をして、もう一度クリックしてください。");
const QString kEntryCommFailed =
    QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をして、もう一度クリックしてください。");

void stopMessage(const QString &text) { MsgBox(text, Icon::Critical, kProgramTitle); }

// One reply wait bracketed by the window's time-out. False when the window was closed
// meanwhile: the caller then leaves without another byte on the line.
template <typename Ctx>
bool waitReply(Ctx &ctx)
{
    ctx.armTimeout();
    WaitForInput();
    ctx.disarmTimeout();
    return !ctx.abandoned();
}

// The view's end after a failure: status emptied (unless told to keep it), buttons back.
void viewIdle(ViewContext &ctx, bool clearStatus = true)
{
    if (clearStatus) ctx.setStatus(QString());
    ctx.setButtonsEnabled(true);
}

}  // namespace

QString busyStatus() { return QStringLiteral("PICマイコンボードと通信中"); }
QString writingStatus() { return QStringLiteral("書込み中"); }

void ReadEeprom(ProgrammerLink &link, ViewContext &ctx)
{
    const int keptRow = ctx.currentRow();
    const int keptColumn = ctx.currentColumn();
    ctx.setButtonsEnabled(false);
    ctx.setStatus(busyStatus());
    link.clearInput();
    link.sendLetter('X');
    if (!waitReply(ctx)) return;
    const QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        stopMessage(kPowerOff);
        viewIdle(ctx);
        return;
    }
    if (reply != QLatin1String("x")) {
        link.sendLetter('C');
        stopMessage(kViewCommFailed);
        viewIdle(ctx);
        return;
    }

    link.setBinaryMode(true);
    // One data byte: -1 when the stream failed (time-out, port gone; the message is shown),
    // -2 when the window was closed.
    auto take = [&]() -> int {
        if (!waitReply(ctx)) return -2;
        const int b = AppSettings.InputWaitFlag == 0 ? -1 : link.readByte();
        if (b < 0) {
            // The time-out handler has already sent its "C".
            link.setBinaryMode(false);
            stopMessage(kViewCommFailed);
            viewIdle(ctx, false);
        }
        return b;
    };
    bool stopped = false;
    for (int row = 1; row <= 4 && !stopped; ++row) {
        for (int column = 1; column <= 16; ++column) {
            ctx.setCurrentCell(row, column);
            const int first = take();
            if (first == -2) {
                link.setBinaryMode(false);
                return;
            }
            if (first < 0) return;
            if (!SevenBitGroup::isData(uint8_t(first))) {
                stopped = true;
                break;
            }
            const int second = take();
            if (second == -2) {
                link.setBinaryMode(false);
                return;
            }
            if (second < 0) return;
            if (!SevenBitGroup::isData(uint8_t(second))) {
                stopped = true;
                break;
            }
            ctx.setCellText(row, column, eepromtext::cellText(eepromtext::pairValue(uint8_t(first), uint8_t(second))));
        }
    }
    link.setBinaryMode(false);
    ctx.setStatus(QString());
    ctx.setButtonsEnabled(true);
    ctx.setCurrentCell(keptRow, keptColumn);
}

void EraseEeprom(ProgrammerLink &link, ViewContext &ctx)
{
    ctx.setButtonsEnabled(false);
    const auto answer = MsgBox(QStringLiteral("EEP-ROMデータエリアを全消去しますか"), Icon::Question, kProgramTitle,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (ctx.abandoned()) return;
    if (answer != QMessageBox::Yes) {
        ctx.setButtonsEnabled(true);
        return;
    }
    ctx.setStatus(busyStatus());
    link.clearInput();
    link.sendLetter('F');
    Sleep(300);
    if (!waitReply(ctx)) return;
    QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        stopMessage(kPowerOff);
        viewIdle(ctx);
        return;
    }
    if (reply != QLatin1String("a")) {
        // The acknowledgement may sit behind another byte.
        reply = link.readText();
        if (reply != QLatin1String("a")) {
            link.sendLetter('C');
            stopMessage(kViewCommFailed);
            viewIdle(ctx);
            return;
        }
    }

    // The writer needs a second after an erase; the time-out timer ends the pause quietly.
    ctx.setErasePause(true);
    ctx.setTimeoutPeriod(1000);
    ctx.armTimeout();
    AppSettings.InputWaitFlag = 1;
    while (AppSettings.InputWaitFlag == 1 && !ctx.abandoned())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ctx.setErasePause(false);
    if (ctx.abandoned()) return;
    ctx.setStatus(QString());
    ReadEeprom(link, ctx);
}

bool WriteEepromByte(ProgrammerLink &link, EntryContext &ctx, int address, const QString &entry)
{
    ctx.setButtonsEnabled(false);
    ctx.setStatus(writingStatus());
    const eepromtext::Entry e = eepromtext::checkEntry(entry);
    if (e.problem != eepromtext::EntryProblem::None) {
        MsgBox(eepromtext::problemText(e.problem), Icon::None, kProgramTitle);
        ctx.setButtonsEnabled(true);
        ctx.setStatus(QString());
        return false;
    }

    link.clearInput();
    link.sendLetter('V');
    if (!waitReply(ctx)) return false;
    QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        stopMessage(kEntryPowerOff);
        ctx.setButtonsEnabled(true);
        ctx.setStatus(QString());
        return false;
    }
    if (reply != QLatin1String("v")) {
        link.sendLetter('C');
        stopMessage(kEntryCommFailedFirst);
        ctx.setButtonsEnabled(true);
        return false;
    }

    AppSettings.EepromWritten = 1;
    link.sendByte(SevenBitGroup::single(address));
    if (!waitReply(ctx)) return false;
    reply = link.readText();
    if (reply != QLatin1String("v")) {
        link.sendLetter('C');
        stopMessage(kEntryCommFailed);
        ctx.setButtonsEnabled(true);
        return false;
    }

    link.sendBytes(SevenBitGroup::byte8(uint8_t(e.value)));
    if (!waitReply(ctx)) return false;
    reply = link.readText();
    if (reply != QLatin1String("a")) {
        stopMessage(kEntryCommFailed);
        ctx.setButtonsEnabled(true);
        return false;
    }

    // Give the PIC time to finish the write before the view reads it back.
    ctx.startWritePause(500);
    while (ctx.writePause() && !ctx.abandoned()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ctx.setButtonsEnabled(true);
    return true;
}

}  // namespace eeprom
