// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The verify result window: every difference between the HEX file and the PIC, the count and
// the summary, selectable and copyable, and saved as text on request.

#include "core/protocol/verify.h"

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

class frmVerify : public QDialog {
    Q_OBJECT
public:
    frmVerify(const verify::Report &report, const QString &hexFile, QWidget *parent = nullptr);

    QLabel *Summary = nullptr;
    QPlainTextEdit *List = nullptr;   // one line per difference: address, file, PIC
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdMemory = nullptr;  // the program memory window at the line's address
    QPushButton *cmdClose = nullptr;

    // The whole report as the saved text: the file, the summary, then every difference.
    QString reportText() const;
    void cmdSave_Click();
    void cmdMemory_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString hexFile_;
    QString summary_;
    QVector<verify::Mismatch> mismatches_;  // by line of the list
};
