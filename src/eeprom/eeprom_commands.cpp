#include "app/formmain.h"
#include "app/module1.h"

#include <QAction>

// The data EEPROM window is not built yet: its commands stay disabled rather than pretend.
void FormMain::setUpDataMemoryCommands()
{
    EPROMCommand1->setEnabled(false);
    menu_memory_data->setEnabled(false);
}

void FormMain::OpenDataMemoryView()
{
    CommonFirstStep();
    AppSettings.EepromViewActivated = 0;
}
