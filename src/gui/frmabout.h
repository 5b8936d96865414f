// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: product name, program version and maker's line, and the firmware version the
// writer reports, asked for while the box is being created.

#include "core/protocol/versionexchange.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QObject>
#include <QPushButton>

class WindowTimer;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    WindowTimer *Timer1 = nullptr;

    // Fills the labels and asks the writer for its firmware version; the box is shown after.
    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();

    qint16 WaitingFlag = 0;

private:
    class Host;
    Host *activeHost_ = nullptr;
};
