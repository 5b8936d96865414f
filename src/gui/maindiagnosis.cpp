// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's way into the connection diagnosis: the help menu, and the port-error boxes.

#include "gui/dialogs.h"
#include "gui/formmain.h"
#include "gui/frmdiagnosis.h"

void FormMain::menu_help_diagnosis_Click()
{
    FrmDiagnosis dialog(this);
    gui::ShowModal(&dialog);
}

bool FormMain::ShowPortError(const messages::Message &m)
{
    // The unattended starts go on (or end) by themselves: nothing there may wait on a window.
    if (Launch.LaunchMode != 0) {
        gui::Show(m);
        return false;
    }
    return gui::ShowOffering(m, FrmDiagnosis::commandText());
}
