// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte entry dialog: shows a cell's address and text and writes one new byte there.
// Loaded each time the EEPROM view opens it, modally; nothing of it persists.

#include "gui/windowexchange.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class ExchangeHost;
class WindowTimer;

class frmInput : public QDialog {
    Q_OBJECT
public:
    // row and column: the view's current grid cell; cellText: what it shows.
    frmInput(int row, int column, const QString &cellText, QWidget *parent = nullptr);
    ~frmInput() override;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Data1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *cmdWrite = nullptr;
    QPushButton *cmdClose = nullptr;
    WindowTimer *Timer1 = nullptr;

    qint16 EepromAddress = 0;
    qint16 WritePause = 0;
    // 1 once a write got as far as sending the address: the view is to read back.
    qint16 EepromWritten = 0;

    // False when the current cell was a header cell: the dialog is not to be shown.
    bool loaded() const { return loaded_; }
    bool running() const { return exchange_.running(); }

    void cmdWrite_Click();
    void cmdClose_Click() { close(); }
    void Timer1_Timer();

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    friend class EntryAdapter;
    void Form_Load(int row, int column, const QString &cellText);
    void abandon();
    bool loaded_ = false;
    bool abandoned_ = false;
    WindowExchange exchange_{this, "frmInput"};
    ExchangeHost *activeHost_ = nullptr;
};
