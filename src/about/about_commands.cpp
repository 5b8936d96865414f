#include "about/frmabout.h"
#include "app/formmain.h"
#include "app/module1.h"

#include <QAction>

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
    if (!Module1::ProgramEnded()) Module1::ShowModal(&box);
    showing = false;
}
