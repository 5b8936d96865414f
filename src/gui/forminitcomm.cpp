// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/forminitcomm.h"

#include "core/settings/storedsettings.h"
#include "core/diagnosis/serialdevice.h"
#include "core/link/portnaming.h"

#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

using namespace settings;

FormInitComm::FormInitComm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("InitComm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Design size 3255 x 975 twips, wider and taller for the device the COM number opens.
    setFixedSize(360, 975 / 15 + 14 + 82);
    Label1 = new QLabel(tr("COMポート選択"), this);
    Label1->setGeometry(120 / 15, 120 / 15, 1695 / 15, 255 / 15);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Combo1->setGeometry(600 / 15, 360 / 15, 1455 / 15, 300 / 15 + 2);
    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(360 - 8 - 615 / 15, 360 / 15, 615 / 15, 375 / 15);
    Command1->setDefault(true);
    DeviceLabel = new QLabel(this);
    DeviceLabel->setObjectName(QStringLiteral("DeviceLabel"));
    DeviceLabel->setGeometry(8, 48, 360 - 16, 16);
    QFont small = DeviceLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    DeviceLabel->setFont(small);
    DeviceHeading = new QLabel(tr("このCOM番号で開く機器(&D)"), this);
    DeviceHeading->setGeometry(8, 72, 360 - 16, 16);
    DeviceCombo = new QComboBox(this);
    DeviceCombo->setObjectName(QStringLiteral("DeviceCombo"));
    DeviceCombo->setEditable(true);
    DeviceCombo->setInsertPolicy(QComboBox::NoInsert);
    DeviceCombo->lineEdit()->setPlaceholderText(tr("（指定なし：標準の機器）"));
    // Device names are prefixes of each other (ttyUSB1, ttyUSB10) and differ in case only: a
    // completion is offered in a list under the field, never written into what is typed.
    DeviceCombo->completer()->setCompletionMode(QCompleter::PopupCompletion);
    DeviceCombo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    DeviceCombo->setGeometry(8, 90, 360 - 16, 24);
    DeviceHeading->setBuddy(DeviceCombo);
    DeviceInfo = new QLabel(this);
    DeviceInfo->setObjectName(QStringLiteral("DeviceInfo"));
    DeviceInfo->setGeometry(8, 118, 360 - 16, 16);
    DeviceInfo->setFont(small);
    DeviceInfo->setTextFormat(Qt::PlainText);
    connect(Command1, &QPushButton::clicked, this, &FormInitComm::Command1_Click);
    connect(Combo1, qOverload<int>(&QComboBox::currentIndexChanged), this, &FormInitComm::loadMapping);
    connect(DeviceCombo, &QComboBox::currentTextChanged, this, &FormInitComm::describeChoice);
    Form_Load();
}

void FormInitComm::Form_Load()
{
    for (int n = 1; n <= 15; ++n) Combo1->addItem(QStringLiteral("COM%1").arg(n));
    Combo1->setCurrentIndex(loadPortListIndex());
    loadMapping();
}

void FormInitComm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Asking the system for its serial devices takes a while: the dialog is on screen first.
    if (!devicesListed_) QTimer::singleShot(0, this, &FormInitComm::listDevices);
}

void FormInitComm::listDevices()
{
    if (devicesListed_) return;
    devicesListed_ = true;
    const QString typed = DeviceCombo->currentText();
    // The serial devices this machine has now, each under every name it goes by.
    for (const diagnosis::DeviceInfo &p : diagnosis::listSerialPorts()) {
        QString info = p.product;
        if (!p.serial.isEmpty()) info += tr("  シリアル番号 %1").arg(p.serial);
        for (const QString &name : QStringList{p.device} + p.byId) {
            const int at = DeviceCombo->findText(name);
            if (at >= 0) DeviceCombo->setItemData(at, info.trimmed());
            else DeviceCombo->addItem(name, info.trimmed());
        }
    }
    DeviceCombo->setEditText(typed);
    describeChoice();
}

void FormInitComm::loadMapping()
{
    mappedFor_ = Combo1->currentIndex() + 1;
    mappedBefore_ = loadPortDevice(mappedFor_);
    // A device stored for this number stays on the list while it is unplugged.
    if (!mappedBefore_.isEmpty() && DeviceCombo->findText(mappedBefore_) < 0) DeviceCombo->addItem(mappedBefore_);
    DeviceCombo->setCurrentIndex(mappedBefore_.isEmpty() ? -1 : DeviceCombo->findText(mappedBefore_));
    DeviceCombo->setEditText(mappedBefore_);
    describeChoice();
}

void FormInitComm::describeChoice()
{
    const QString device = DeviceCombo->currentText().trimmed();
    if (device.isEmpty()) {
        DeviceInfo->setText(QString());
        showDevice();
        return;
    }
    DeviceLabel->setText(QStringLiteral("→ %1").arg(device) + (QFileInfo::exists(device) ? QString() : tr(" (見つかりません)")));
    const int at = DeviceCombo->findText(device);
    const QString info = at >= 0 ? DeviceCombo->itemData(at).toString() : QString();
    DeviceInfo->setText(QFileInfo::exists(device) ? info : tr("接続されていません"));
}

void FormInitComm::showDevice()
{
    const int n = Combo1->currentIndex() + 1;
    DeviceLabel->setText(portnaming::describe(n, stored().IniFilePath, QDir::homePath()));
}

void FormInitComm::Command1_Click()
{
    stored().CommPortNumber = qint16(Combo1->currentIndex() + 1);
    savePortNumber(stored().CommPortNumber);
    // The device is written only when it changed: every other line of the file stays as it is.
    const QString device = DeviceCombo->currentText().trimmed();
    if (device != mappedBefore_) savePortDevice(mappedFor_, device);
    Confirmed = true;
    accept();
}

void FormInitComm::reject()
{
    // The close box, the system menu or Escape: nothing chosen, Confirmed stays false.
    QDialog::reject();
}
