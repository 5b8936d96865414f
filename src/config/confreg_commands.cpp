#include "app/formmain.h"

#include <QAction>

// The configuration register window is not built yet: its commands stay disabled.
void FormMain::setUpConfigRegisterCommands()
{
    ConfigCommand->setEnabled(false);
    menu_memory_config->setEnabled(false);
}

void FormMain::OpenConfigRegisterView() { CommonFirstStep(); }
