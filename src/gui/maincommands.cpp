// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands that open the other windows, and which of them are usable.

#include "gui/formmain.h"

#include "gui/dialogs.h"
#include "gui/frmabout.h"
#include "gui/frmconfreg.h"
#include "gui/frmeeprom.h"
#include "gui/frmeepromwrite.h"
#include "gui/frmprogrammemory.h"

#include <QAction>


// Program write and read are ready: their buttons and menu items are usable.
void FormMain::setUpProgramCommands()
{
    WriteCommand->setEnabled(true);
    ReadCommand->setEnabled(true);
    menu_memory_w->setEnabled(true);
    menu_memory_r->setEnabled(true);
}


void FormMain::setUpAboutCommands() { menu_help_about->setEnabled(true); }

void FormMain::menu_help_about_Click()
{
    // The version query yields to the event loop before the box is shown: a second choice of
    // the menu item meanwhile must not open a second box.
    static bool showing = false;
    if (showing) return;
    showing = true;
    frmAbout box(this);
    box.Form_Load();
    if (!gui::ProgramEnded()) gui::ShowModal(&box);
    showing = false;
}


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


void FormMain::setUpDataMemoryCommands()
{
    EPROMCommand1->setEnabled(true);
    menu_memory_data->setEnabled(true);
}

void FormMain::OpenDataMemoryView()
{
    CommonFirstStep();
    frmEPROM *view = FrmEPROM();
    // The view reads the EEPROM at its next activation.
    view->EepromViewActivated = 0;
    view->show();
    view->raise();
    view->activateWindow();
}

void FormMain::OpenDataFileWriteWindow()
{
    // Not modal: start-up goes on and shows the main window beside it.
    frmEEPROMwrite *w = FrmEEPROMwrite();
    w->DataFile = Launch.LaunchArgument;
    w->show();
    w->raise();
    w->activateWindow();
}

void FormMain::OpenProgramMemoryView()
{
    // Shows what is at hand: the file as it is now, the PIC as the last read found it.
    frmProgramMemory *w = FrmProgramMemory();
    if (!w->load(HexFileName->text())) return;
    w->show();
    w->raise();
    w->activateWindow();
}
