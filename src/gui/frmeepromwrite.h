// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window of the "/F" start: one click writes the whole data EEPROM from the data file named
// on the command line; however it closes, the program ends with it.

#include "gui/windowexchange.h"

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QPushButton>

class frmEEPROMwrite : public QDialog {
    Q_OBJECT
public:
    explicit frmEEPROMwrite(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    // The data file named on the command line.
    QString DataFile;

    void Form_Load();
    void Command1_Click();
    bool running() const { return exchange_.running(); }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    class Host;
    void Form_QueryUnload();

    WindowExchange exchange_{this, "frmEEPROMwrite"};
};

// The program-wide instance, created on first use.
frmEEPROMwrite *FrmEEPROMwrite();
