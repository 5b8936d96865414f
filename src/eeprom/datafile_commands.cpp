#include "app/formmain.h"
#include "eeprom/frmeepromwrite.h"

void FormMain::OpenDataFileWriteWindow()
{
    // Not modal: start-up goes on and shows the main window beside it.
    frmEEPROMwrite *w = FrmEEPROMwrite();
    w->show();
    w->raise();
    w->activateWindow();
}
