#include "app/formmain.h"
#include "config/frmconfreg.h"

#include <QAction>

void FormMain::setUpConfigRegisterCommands()
{
    ConfigCommand->setEnabled(true);
    menu_memory_config->setEnabled(true);
}

void FormMain::OpenConfigRegisterView()
{
    CommonFirstStep();
    // Showing and activating it runs the read-back; an open window is brought to the front
    // and reads again.
    frmConfReg *w = FrmConfReg();
    w->show();
    w->raise();
    w->activateWindow();
}
