// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data EEPROM view: the 64 bytes in a grid, read, erase, and the byte entry dialog.
// Shown without waiting; it holds the link only while one of its exchanges runs.

#include "gui/windowexchange.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

class WindowTimer;
class ExchangeHost;

class frmEPROM : public QWidget {
    Q_OBJECT
public:
    explicit frmEPROM(QWidget *parent = nullptr);
    ~frmEPROM() override;

    QLabel *Label1 = nullptr;
    QTableWidget *Grid1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdEraseAll = nullptr;
    QPushButton *cmdRefresh = nullptr;
    QPushButton *cmdClose = nullptr;
    WindowTimer *Timer1 = nullptr;  // the reply time-out, and the pause after an erase

    // 1 only during the pause after an accepted erase.
    qint16 ErasePause = 0;
    // 1 once the view has read at an activation; cleared to read again at the next one.
    qint16 EepromViewActivated = 0;
    // 1 when the last byte entry got as far as sending its address: the view reads back.
    qint16 EntryWritten = 0;

    void ReadEeprom();
    void EraseEeprom();

    void Form_Activate();
    void cmdRefresh_Click() { ReadEeprom(); }
    void cmdEraseAll_Click() { EraseEeprom(); }
    void cmdClose_Click() { hide(); }
    void Grid1_DblClick();
    void Grid1_KeyPress(int keyAscii);
    void Timer1_Timer();

    // An exchange of this window is under way.
    bool running() const { return exchange_.running(); }
    // The window has been closed with its close box and goes away once its exchange ends.
    bool unloading() const { return exchange_.unloaded(); }

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    friend class ViewAdapter;
    void Form_Load();
    void buildControls();
    template <typename F>
    void runExchange(F &&exchange);
    // Nothing is being said to the writer: the status goes, and the cells a read began but did
    // not reach are blanked.
    void settleView(bool readStarted, int readCount);
    WindowExchange exchange_{this, "frmEPROM"};
    ExchangeHost *activeHost_ = nullptr;
};

// The one view, created (loaded) on first use.
frmEPROM *FrmEPROM();
// The loaded view, or nullptr when it is not loaded.
frmEPROM *LoadedFrmEPROM();
