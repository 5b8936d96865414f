#include "app/formmain.h"
#include "app/module1.h"

void FormMain::OpenDataFileWriteWindow()
{
    Module1::MsgBox(QStringLiteral("このバージョンではデータファイルからの書込みはできません。"), Module1::Icon::Critical,
                    Module1::kProgramTitle);
}
