// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration register window: reads the configuration register (2007h) back from the
// PIC at every activation and shows it decoded. Not modal.

#include "gui/windowexchange.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QObject>
#include <QPushButton>

class ExchangeHost;
class WindowTimer;

// A window position in pixels as twips (15 to the pixel), clamped into the 16-bit range.
qint16 TwipsFromPixels(int pixels);

class frmConfReg : public QDialog {
    Q_OBJECT
public:
    // Where the last one stood when it closed, in twips (0, 0: centred); kept for the run.
    static inline qint16 WindowLeft = 0;
    static inline qint16 WindowTop = 0;
    static void ForgetPosition() { WindowLeft = WindowTop = 0; }

    explicit frmConfReg(QWidget *parent = nullptr);

    QLabel *Label2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    WindowTimer *Timer1 = nullptr;

    void Form_Load();
    void Form_Activate();
    void Command1_Click();
    void Timer1_Timer();

    bool running() const { return exchange_.running(); }
    // Closed: the window is on its way out and the next opening creates a new one.
    bool unloaded() const { return exchange_.unloaded(); }

public slots:
    void reject() override;

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    class Host;
    void Form_QueryUnload();

    WindowExchange exchange_{this, "frmConfReg"};
    ExchangeHost *activeHost_ = nullptr;
};

// The program-wide instance, created on first use (and anew after it was closed).
frmConfReg *FrmConfReg();
