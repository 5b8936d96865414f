#pragma once
// The port dialog: the COM number to use. "&OK" stores it in the settings.

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

    void Command1_Click();

    // "&OK" chose the port; any other way out chooses nothing.
    bool Confirmed = false;

public slots:
    void reject() override;

private:
    void Form_Load();
    void showDevice();
};
