#include "app/formmain.h"

#include <QAction>

// Program write and read are ready: their buttons and menu items are usable.
void FormMain::setUpProgramCommands()
{
    WriteCommand->setEnabled(true);
    ReadCommand->setEnabled(true);
    menu_memory_w->setEnabled(true);
    menu_memory_r->setEnabled(true);
}
