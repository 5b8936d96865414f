#include "app/formmain.h"
#include "app/module1.h"
#include "eeprom/frmeprom.h"

#include <QAction>

void FormMain::setUpDataMemoryCommands()
{
    EPROMCommand1->setEnabled(true);
    menu_memory_data->setEnabled(true);
}

void FormMain::OpenDataMemoryView()
{
    CommonFirstStep();
    // The view reads the EEPROM at its next activation.
    AppSettings.EepromViewActivated = 0;
    frmEPROM *view = FrmEPROM();
    view->show();
    view->raise();
    view->activateWindow();
}
