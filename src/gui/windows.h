// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window registry: the main window every other window is placed over, and the windows
// created on first use, so that the program's end (and each test) can delete them all.

class QWidget;

QWidget *MainWindow();
void setMainWindow(QWidget *window);

void RegisterForm(QWidget *form);
void DestroyForms();
