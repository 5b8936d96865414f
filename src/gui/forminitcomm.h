// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port dialog: the COM number to use, and the device that number opens on this machine
// (a USB serial adapter, a by-id name, or a path typed in). "&OK" stores both in the settings.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

class FormInitComm : public QDialog {
    Q_OBJECT
public:
    explicit FormInitComm(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *DeviceLabel = nullptr;  // which device the chosen entry opens on this machine
    QLabel *DeviceHeading = nullptr;
    QComboBox *DeviceCombo = nullptr;  // the device for the chosen COM number; empty: the default
    QLabel *DeviceInfo = nullptr;      // the chosen device's description and serial number

    void Command1_Click();

    // "&OK" chose the port; any other way out chooses nothing.
    bool Confirmed = false;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void showDevice();
    void loadMapping();
    void listDevices();
    bool devicesListed_ = false;
    void describeChoice();
    QString mappedBefore_;
    int mappedFor_ = 0;
};
