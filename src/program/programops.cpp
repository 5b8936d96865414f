#include "program/programops.h"

#include "app/module1.h"
#include "link/programmerlink.h"
#include "program/operationcontext.h"

using namespace Module1;

QString WaitReply(ProgrammerLink &link, OperationContext &ctx)
{
    ctx.armTimeout();
    WaitForInput();
    ctx.disarmTimeout();
    return link.readText();
}

void EraseProgram(ProgrammerLink &link, OperationContext &ctx)
{
    link.clearInput();
    link.sendLetter('L');
    const QString reply = WaitReply(link, ctx);
    if (reply == QLatin1String("?")) {
        WaitReply(link, ctx);  // the writer's second unit after "?"
        link.sendLetter('S');
        MsgBox(QStringLiteral("PICマイコンボードの電源は投入されていますか？"), Icon::Critical, kErrorTitle);
    } else if (reply == QLatin1String("a")) {
        MsgBox(QStringLiteral("全消去しました"), Icon::Information, kProgramTitle);
    } else {
        link.sendLetter('C');
        MsgBox(QStringLiteral("ライタにエラーが発生しました"), Icon::Critical, kErrorTitle);
    }
}
