// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The connection diagnosis window ("接続診断"): every check of the path to the PIC as a list of
// status, detail and remedy, with the report to copy and the adapter's udev rule. It uses the
// main window's link while that holds the port.

#include "core/diagnosis/diagnosis.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class FrmDiagnosis : public QDialog {
    Q_OBJECT
public:
    explicit FrmDiagnosis(QWidget *parent = nullptr);
    ~FrmDiagnosis() override;

    QLabel *Heading = nullptr;
    QTableWidget *List = nullptr;
    QPushButton *CopyButton = nullptr;
    QPushButton *RuleButton = nullptr;
    QPushButton *CloseButton = nullptr;

    // Runs every check (again); the list fills as they end.
    void RunChecks();
    void CopyReport();
    void ShowUdevRule();
    bool running() const { return running_; }
    const QVector<diagnosis::Check> &checks() const { return checks_; }
    QString device() const { return device_; }
    // The menu item and the port-error boxes' button that open it.
    static QString commandText() { return tr("接続診断(&D)…"); }
    // A tree of its own for the system reads (tests).
    static void setSystemRoot(const QString &root);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void addRow(const diagnosis::Check &c);
    QString device_;
    QString chooseError_;
    QVector<diagnosis::Check> checks_;
    diagnosis::DeviceInfo adapter_;
    bool running_ = false;
    bool started_ = false;
    bool closeWanted_ = false;
};
