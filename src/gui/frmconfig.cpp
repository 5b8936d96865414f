// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmconfig.h"

#include "gui/dialogs.h"
#include "gui/windows.h"

#include <QApplication>


namespace {
// Geometry from twips: 15 twips are one pixel.
QRect tw(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

template <int N>
int firstChecked(QRadioButton *const (&options)[N])
{
    for (int i = 0; i < N; ++i)
        if (options[i]->isChecked()) return i;
    return -1;
}
}  // namespace

frmConfig::frmConfig(qint16 word, QWidget *parent) : QDialog(parent), ConfigWord(word)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(tr("Configレジスタの設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(3960 / 15, 2445 / 15);

    auto frame = [this](const char *name, const QString &caption, const QRect &r) {
        auto *g = new QGroupBox(caption, this);
        g->setObjectName(QLatin1String(name));
        g->setGeometry(r);
        return g;
    };
    auto option = [](QGroupBox *g, const QString &name, const QString &caption, const QRect &r) {
        auto *b = new QRadioButton(caption, g);
        b->setObjectName(name);
        b->setGeometry(r);
        return b;
    };

    Frame1 = frame("Frame1", tr("オシレータ"), tw(120, 60, 3720, 660));
    const char *osc[4] = {"RC", "LP", "XT", "HS"};
    for (int i = 0; i < 4; ++i)
        Option1[i] = option(Frame1, QStringLiteral("Option1_%1").arg(i), QLatin1String(osc[i]),
                            tw(180 + i * 900, 270, 840, 300));

    Frame2 = frame("Frame2", tr("ウォッチドッグタイマ"), tw(120, 780, 1860, 690));
    Frame3 = frame("Frame3", tr("パワーアップタイマ"), tw(2040, 780, 1800, 690));
    Frame4 = frame("Frame4", tr("コードプロテクト"), tw(120, 1560, 1860, 690));
    const struct { QGroupBox *g; QRadioButton **opts; const char *name; } onOff[3] = {
        {Frame2, Option2, "Option2"}, {Frame3, Option3, "Option3"}, {Frame4, Option4, "Option4"}};
    for (const auto &f : onOff) {
        f.opts[0] = option(f.g, QStringLiteral("%1_0").arg(QLatin1String(f.name)), QStringLiteral("ON"),
                           tw(180, 300, 780, 300));
        f.opts[1] = option(f.g, QStringLiteral("%1_1").arg(QLatin1String(f.name)), QStringLiteral("OFF"),
                           tw(960, 300, 780, 300));
    }

    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(tw(2520, 1800, 1215, 435));
    Command1->setDefault(true);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmConfig::Command1_Click);
    for (QWidget *w : findChildren<QWidget *>()) w->installEventFilter(this);
    installEventFilter(this);

    Form_Load();
}

void frmConfig::Form_Load()
{
    const configword::Selection s = configword::selectionFromWord(ConfigWord);
    Option1[s.oscillator]->setChecked(true);
    Option2[s.watchdog]->setChecked(true);
    Option3[s.powerUp]->setChecked(true);
    Option4[s.codeProtect]->setChecked(true);
}

void frmConfig::showEvent(QShowEvent *event)
{
    shown_.start();
    QDialog::showEvent(event);
}

bool frmConfig::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        if (shown_.isValid() && shown_.elapsed() < kDeafMs) return true;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

configword::Selection frmConfig::selection() const
{
    configword::Selection s;
    s.oscillator = firstChecked(Option1);
    s.watchdog = firstChecked(Option2);
    s.powerUp = firstChecked(Option3);
    s.codeProtect = firstChecked(Option4);
    return s;
}

void frmConfig::Command1_Click()
{
    ConfigWord = configword::wordFromSelection(selection());
    Confirmed = true;
    accept();
}

bool ConfirmConfigWord(qint16 *word)
{
    // Over the operation dialog that asks for it, so it is centred there and stays off the
    // task bar.
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    if (!parent) parent = MainWindow();
    frmConfig dialog(*word, parent);
    gui::ShowModal(&dialog);
    if (dialog.Confirmed) *word = dialog.ConfigWord;
    return dialog.Confirmed;
}
