#pragma once
// The program-wide window instances: each is created on first use and reused.

class FormMain;
class QWidget;
class frmReadWrite;

FormMain *MainForm();
void setMainForm(FormMain *form);

frmReadWrite *FrmReadWrite();

// Windows created on first use register here so the program's end (and each test) can
// delete them all.
void RegisterForm(QWidget *form);
void DestroyForms();
