#pragma once
// The configuration word dialog, confirmed just before every program write. Its "&OK" stores
// the selection in ConfigWord and sets ConfigConfirmed; any other way out cancels the write.

#include "config/configword.h"

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

class frmConfig : public QDialog {
    Q_OBJECT
public:
    explicit frmConfig(QWidget *parent = nullptr);

    QGroupBox *Frame1 = nullptr;  // oscillator
    QGroupBox *Frame2 = nullptr;  // watchdog timer
    QGroupBox *Frame3 = nullptr;  // power-up timer
    QGroupBox *Frame4 = nullptr;  // code protection
    QRadioButton *Option1[4] = {};  // RC, LP, XT, HS
    QRadioButton *Option2[2] = {};  // ON, OFF
    QRadioButton *Option3[2] = {};  // ON, OFF
    QRadioButton *Option4[2] = {};  // ON, OFF
    QPushButton *Command1 = nullptr;

    // The current choice, read from the option arrays.
    configword::Selection selection() const;

    void Command1_Click();

private:
    void Form_Load();
};
