#include "gui/forminitcomm.h"

#include "core/settings/settingsfile.h"
#include "core/settings/storedsettings.h"
#include "core/formats/numbertext.h"
#include "core/link/portnaming.h"

#include <QDir>

#include <algorithm>

using namespace settings;

FormInitComm::FormInitComm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("InitComm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Design size 3255 x 975 twips, a little taller for the device line.
    setFixedSize(3255 / 15, 975 / 15 + 14);
    Label1 = new QLabel(QStringLiteral("COMポート選択"), this);
    Label1->setGeometry(120 / 15, 120 / 15, 1695 / 15, 255 / 15);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Combo1->setGeometry(600 / 15, 360 / 15, 1455 / 15, 300 / 15 + 2);
    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(2520 / 15, 360 / 15, 615 / 15, 375 / 15);
    Command1->setDefault(true);
    DeviceLabel = new QLabel(this);
    DeviceLabel->setObjectName(QStringLiteral("DeviceLabel"));
    DeviceLabel->setGeometry(8, 48, 3255 / 15 - 16, 16);
    QFont small = DeviceLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    DeviceLabel->setFont(small);
    connect(Command1, &QPushButton::clicked, this, &FormInitComm::Command1_Click);
    connect(Combo1, qOverload<int>(&QComboBox::currentIndexChanged), this, &FormInitComm::showDevice);
    Form_Load();
}

void FormInitComm::Form_Load()
{
    for (int n = 1; n <= 15; ++n) Combo1->addItem(QStringLiteral("COM%1").arg(n));
    const QString stored = ReadIniValue(QStringLiteral("Com"), QStringLiteral("port"));
    int index = 0;
    if (stored != ini::kMissing) {
        const double n = numbertext::leadingNumber(stored);
        // 15.6 would round to a sixteenth entry that the list does not have.
        if (n > 0 && n < 16) index = std::min(14, int(numbertext::roundHalfEven(n - 1)));
    }
    Combo1->setCurrentIndex(index);
    showDevice();
}

void FormInitComm::showDevice()
{
    const int n = Combo1->currentIndex() + 1;
    DeviceLabel->setText(portnaming::describe(n, stored().IniFilePath, QDir::homePath()));
}

void FormInitComm::Command1_Click()
{
    stored().CommPortNumber = qint16(Combo1->currentIndex() + 1);
    WriteIniValue(QStringLiteral("Com"), QStringLiteral("port"), ini::numberText(stored().CommPortNumber));
    Confirmed = true;
    accept();
}

void FormInitComm::reject()
{
    // The close box, the system menu or Escape: nothing chosen, Confirmed stays false.
    QDialog::reject();
}
