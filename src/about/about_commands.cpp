#include "app/formmain.h"

#include <QAction>

// The About box is not built yet: its menu item stays disabled.
void FormMain::setUpAboutCommands() { menu_help_about->setEnabled(false); }

void FormMain::menu_help_about_Click() {}
