#include "app/formmain.h"

#include <QAction>

// Program write and read are not built yet: their commands stay disabled.
void FormMain::setUpProgramCommands()
{
    WriteCommand->setEnabled(false);
    ReadCommand->setEnabled(false);
    menu_memory_w->setEnabled(false);
    menu_memory_r->setEnabled(false);
}
