// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration word dialog, confirmed just before every program write. Its "&OK" puts
// the selection in ConfigWord and sets Confirmed; any other way out cancels the write.

#include "core/formats/configword.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

class frmConfig : public QDialog {
    Q_OBJECT
public:
    // Shows `word`'s options.
    explicit frmConfig(qint16 word, QWidget *parent = nullptr);

    // The word chosen, and whether "&OK" chose it.
    qint16 ConfigWord = 0;
    bool Confirmed = false;

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

    // The dialog opens under the pointer of the click that asked for it: a second click of a
    // double click, or a key held down, must not confirm a word the user never saw.
    static constexpr int kDeafMs = 500;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    QElapsedTimer shown_;
};

// The confirmation before a program write: shows the dialog modally over the window that asks,
// with *word's options. True when "&OK" confirmed it; *word is then the word chosen.
bool ConfirmConfigWord(qint16 *word);
