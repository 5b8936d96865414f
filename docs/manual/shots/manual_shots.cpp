// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the screenshots of the manual (docs/manual/images/*.png, docs/manual/en/images/*.png in
// English): the real windows of veltraw, offscreen, talking over a pseudo-terminal to the
// simulated writer run in this process, with its modal windows and message boxes scripted
// through gui/dialogs.h. The windows speak the language the locale chooses, as the program does.
//
//   ninja -C build veltraw-manual-images      # both languages, each into its manual
//   LANGUAGE=en build/docs/manual/shots/veltraw-manual-shots [FOLDER]
//
// Japanese text needs a Japanese font (Debian: fonts-ipafont-gothic). The window manager's
// title bar is not part of a widget's picture: a plain one with the window's caption is drawn
// over each window, so the reader sees which window it is.

#include "core/i18n.h"
#include "core/link/portnaming.h"
#include "core/messages.h"
#include "core/settings/storedsettings.h"
#include "gui/dialogs.h"
#include "gui/formmain.h"
#include "gui/forminitcomm.h"
#include "gui/frmabout.h"
#include "gui/manualviewer.h"
#include "gui/frmconfig.h"
#include "gui/frmconfreg.h"
#include "gui/frmdiagnosis.h"
#include "gui/frmeeprom.h"
#include "gui/frmeepromwrite.h"
#include "gui/frminput.h"
#include "gui/frmprogrammemory.h"
#include "gui/frmreadwrite.h"
#include "gui/frmverify.h"
#include "gui/translations.h"
#include "gui/windows.h"
#include "ptyserver.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>

namespace {

// The HEX file as the pictures show it: the real one lives in a temporary folder.
const QString kShownHexPath = QStringLiteral("/home/user/pic/blink.hex");

QString g_outDir;
int g_saved = 0;
int g_failed = 0;

// The offscreen platform's remarks on raising windows and grabbing the keyboard are noise here.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

void say(const QString &text) { std::fprintf(stdout, "%s\n", qPrintable(text)); std::fflush(stdout); }

void fail(const QString &text)
{
    std::fprintf(stderr, "manual-shots: %s\n", qPrintable(text));
    ++g_failed;
}

// Runs the event loop until cond() holds or ms pass.
bool waitFor(const std::function<bool()> &cond, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Lets layouts and pending paints settle.
void settle(int ms = 150)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

// Shows the shown path instead of the temporary one in every text of a window.
void showPathAs(QWidget *w, const QString &real, const QString &shown)
{
    for (QLabel *l : w->findChildren<QLabel *>())
        if (l->text().contains(real)) l->setText(QString(l->text()).replace(real, shown));
    for (QPlainTextEdit *e : w->findChildren<QPlainTextEdit *>())
        if (e->toPlainText().contains(real)) e->setPlainText(e->toPlainText().replace(real, shown));
}

// A window's picture under a plain title bar with its caption and a close box.
QImage framed(QWidget *w)
{
    const QImage body = w->grab().toImage();
    const int bar = 26;
    QImage img(body.width() + 2, body.height() + bar + 1, QImage::Format_RGB32);
    img.fill(QColor(0x70, 0x76, 0x80));
    QPainter p(&img);
    const QRect barRect(1, 1, body.width(), bar - 1);
    p.fillRect(barRect, QColor(0xE3, 0xE7, 0xED));
    QFont f = QApplication::font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x22, 0x26, 0x2C));
    p.drawText(barRect.adjusted(10, 0, -32, 0), Qt::AlignVCenter | Qt::AlignLeft, w->windowTitle());
    // The close box.
    const QPoint c(barRect.right() - 13, barRect.center().y() + 1);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x44, 0x48, 0x50), 1.6));
    p.drawLine(c + QPoint(-4, -4), c + QPoint(4, 4));
    p.drawLine(c + QPoint(-4, 4), c + QPoint(4, -4));
    p.drawImage(1, bar, body);
    return img;
}

void save(const QImage &img, const QString &name)
{
    const QString path = QDir(g_outDir).filePath(name + QStringLiteral(".png"));
    if (!img.convertToFormat(QImage::Format_RGB888).save(path, "PNG")) {
        fail(QStringLiteral("cannot save %1").arg(path));
        return;
    }
    ++g_saved;
    say(QStringLiteral("saved %1 (%2 x %3, %4 bytes)")
            .arg(path)
            .arg(img.width())
            .arg(img.height())
            .arg(QFileInfo(path).size()));
}

void shoot(QWidget *w, const QString &name)
{
    settle();
    save(framed(w), name);
}

// The scripted user: modal windows get the next action of the queue, message boxes are shown
// as the program shows them and photographed when a name is waiting for them.
struct Script {
    std::deque<std::function<void(QDialog *)>> modalActions;
    QString nextBoxShot;
    QMessageBox::StandardButton questionAnswer = QMessageBox::Yes;
    QStringList boxes;

    void install()
    {
        gui::setModalHandler([this](QDialog *d) {
            d->show();
            settle();
            if (modalActions.empty()) {
                fail(QStringLiteral("unexpected window \"%1\"").arg(d->windowTitle()));
                d->close();
                return;
            }
            auto action = modalActions.front();
            modalActions.pop_front();
            action(d);
            if (d->isVisible()) d->close();
        });
        gui::setMessageHandler([this](const gui::Message &m) {
            boxes << m.text;
            say(QStringLiteral("box [%1] %2").arg(m.title, QString(m.text).replace(QLatin1String("\r\n"), QLatin1String(" / "))));
            // The box as gui::MsgBox builds it.
            QMessageBox box(QApplication::activeWindow());
            gui::SetUpMessageBox(box, m);
            if (!nextBoxShot.isEmpty()) {
                box.show();
                shoot(&box, nextBoxShot);
                nextBoxShot.clear();
                box.close();
            }
            if (m.buttons & QMessageBox::Yes) return questionAnswer;
            return QMessageBox::Ok;
        });
        gui::setFileHandler([](const gui::FileRequest &r) -> std::optional<QString> {
            fail(QStringLiteral("unexpected file dialog (%1)").arg(r.filter));
            return std::nullopt;
        });
        gui::setUrlHandler([](const QUrl &) { return true; });
        gui::setEndHandler([] {});
    }
};

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contents) != contents.size())
        fail(QStringLiteral("cannot write %1").arg(path));
}

// Starts the program as `veltraw ARGUMENTS` would and waits for its link check to end.
std::unique_ptr<FormMain> startProgram(const QStringList &arguments)
{
    gui::resetProgramEnded();
    auto form = std::make_unique<FormMain>();
    form->Form_Load(arguments);
    if (!waitFor([&] { return form->StartupCheckPending == 0 && !FrmReadWrite()->isVisible(); }))
        fail(QStringLiteral("the link check did not end"));
    settle(300);
    return form;
}

void endProgram(std::unique_ptr<FormMain> &form)
{
    DestroyForms();
    form.reset();
    settle();
}

// The menus of the main window, side by side, each under its title.
void shootMenus(FormMain *form)
{
    QList<QImage> pictures;
    QStringList titles;
    for (QAction *a : form->menuBar()->actions()) {
        QMenu *menu = a->menu();
        if (!menu) continue;
        menu->popup(form->mapToGlobal(QPoint(0, form->menuBar()->height())));
        settle();
        pictures << menu->grab().toImage();
        titles << QString(a->text()).remove(QLatin1Char('&'));
        menu->hide();
    }
    if (pictures.isEmpty()) return;
    const QFontMetrics fm(QApplication::font());
    const int head = fm.height() + 8;
    const int gap = 16;
    int width = gap;
    int height = 0;
    for (const QImage &p : pictures) {
        width += p.width() + gap;
        height = std::max(height, p.height());
    }
    QImage img(width, head + height + gap, QImage::Format_RGB32);
    img.fill(QColor(0xF4, 0xF5, 0xF7));
    QPainter painter(&img);
    painter.setFont(QApplication::font());
    int x = gap;
    for (int i = 0; i < pictures.size(); ++i) {
        const QRect titleRect(x, 4, fm.horizontalAdvance(titles[i]) + 16, head - 4);
        painter.fillRect(titleRect, QColor(0xD6, 0xDE, 0xEA));
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.drawText(titleRect, Qt::AlignCenter, titles[i]);
        painter.drawImage(x, head, pictures[i]);
        painter.setPen(QColor(0xA0, 0xA4, 0xAA));
        painter.drawRect(QRect(x, head, pictures[i].width(), pictures[i].height()).adjusted(0, 0, -1, -1));
        x += pictures[i].width() + gap;
    }
    painter.end();
    save(img, QStringLiteral("main-menus"));
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("veltraw"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    InstallQtTranslations();

    // Each language's pictures beside its manual.
    const QString manualFolder = QStringLiteral(VELTRAW_MANUAL);
    const QString images = i18n::current() == i18n::Language::English ? QStringLiteral("/en/images") : QStringLiteral("/images");
    g_outDir = QDir::cleanPath(argc > 1 ? QString::fromLocal8Bit(argv[1]) : manualFolder + images);
    QDir().mkpath(g_outDir);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return 1;
    }
    sim::PtyServer sim;
    QString error;
    if (!sim.start(&error)) {
        fail(QStringLiteral("cannot start the simulated writer: %1").arg(error));
        return 1;
    }
    sim.setRecording(false);
    settings::setSettingsFolder(dir.path());
    qputenv("VELTRAW_LOCK_FILE", dir.filePath(QStringLiteral("veltraw.lock")).toLocal8Bit());

    Script script;
    script.install();

    const QString hexPath = dir.filePath(QStringLiteral("blink.hex"));
    QFile::copy(QStringLiteral(VELTRAW_EXAMPLES "/blink.hex"), hexPath);
    const QString dataPath = QStringLiteral(VELTRAW_EXAMPLES "/eeprom-data.txt");
    const QByteArray portsIni = "[Ports]\nCOM1=" + sim.slavePath().toLocal8Bit() + "\n[Com]\nport= 1\n";

    // ---- "veltraw /F eeprom-data.txt": the data-file window, then its write ----------------
    {
        writeFile(dir.filePath(QStringLiteral("veltraw.ini")), portsIni);
        auto form = startProgram({QStringLiteral("/F"), dataPath});
        frmEEPROMwrite *w = FrmEEPROMwrite();
        if (!w->isVisible()) fail(QStringLiteral("the data-file window is not shown"));
        shoot(w, QStringLiteral("window-datafile-write"));
        w->Command1->click();
        if (!waitFor([] { return gui::ProgramEnded(); })) fail(QStringLiteral("the data-file write did not end"));
        endProgram(form);
        for (int a = 0; a < 64; ++a)
            if (sim.writer().eeprom[size_t(a)] != 0xA0 + a) fail(QStringLiteral("EEPROM byte %1 not written").arg(a));
    }

    // ---- the ordinary start ------------------------------------------------------------------
    writeFile(dir.filePath(QStringLiteral("veltraw.ini")),
              portsIni + "[File]\nname=" + hexPath.toLocal8Bit() + "\n[Config]\nword= 26\n");
    auto form = startProgram({});
    FormMain *f = form.get();

    // The main window and its menus.
    f->HexFileName->setText(kShownHexPath);
    shoot(f, QStringLiteral("main-window"));
    shootMenus(f);
    f->HexFileName->setText(hexPath);

    // Write: the question, the configuration word, the message at the end.
    script.modalActions.push_back([&](QDialog *d) {
        showPathAs(d, hexPath, kShownHexPath);
        shoot(d, QStringLiteral("dialog-write"));
        static_cast<frmReadWrite *>(d)->cmdOK->click();
    });
    script.modalActions.push_back([&](QDialog *d) {
        shoot(d, QStringLiteral("dialog-config-word"));
        script.nextBoxShot = QStringLiteral("message-write-done");
        static_cast<frmConfig *>(d)->Command1->click();
    });
    f->WriteCommand->click();
    settle();
    say(QStringLiteral("configuration word after the write: %1h").arg(sim.writer().configWord(), 4, 16, QLatin1Char('0')));

    // Verify, matching.
    script.modalActions.push_back([&](QDialog *d) {
        showPathAs(d, hexPath, kShownHexPath);
        shoot(d, QStringLiteral("dialog-verify"));
        script.nextBoxShot = QStringLiteral("message-verify-ok");
        static_cast<frmReadWrite *>(d)->cmdOK->click();
    });
    f->StartProgramVerify();
    settle();

    // Verify again after three words and the configuration word lost bits, as a write over a
    // PIC that was not erased: both kinds of line in the list.
    for (int a : {0x05, 0x06, 0x0C}) {
        uint16_t &word = sim.writer().program[size_t(a)];
        word = uint16_t(word & ~(word & -word));  // its lowest 1 bit becomes 0
    }
    const uint16_t configBefore = sim.writer().idConfig[7];
    sim.writer().idConfig[7] = uint16_t(configBefore & ~0x01);
    script.modalActions.push_back([&](QDialog *d) { static_cast<frmReadWrite *>(d)->cmdOK->click(); });
    script.modalActions.push_back([&](QDialog *d) {
        d->resize(560, 300);
        showPathAs(d, hexPath, kShownHexPath);
        shoot(d, QStringLiteral("window-verify"));
        // The program memory window from the list's second line: file and PIC side by side.
        script.modalActions.push_back([&](QDialog *m) {
            m->resize(820, 460);
            showPathAs(m, hexPath, kShownHexPath);
            shoot(m, QStringLiteral("window-program-memory"));
        });
        auto *v = static_cast<frmVerify *>(d);
        QTextCursor line(v->List->document()->findBlockByNumber(1));
        v->List->setTextCursor(line);
        v->cmdMemory->click();
    });
    f->StartProgramVerify();
    settle();
    sim.writer().idConfig[7] = configBefore;

    // The configuration register window.
    f->ConfigCommand->click();
    {
        frmConfReg *w = FrmConfReg();
        const QString talking = frmConfReg::tr("　　通信中");
        if (!waitFor([&] { return w->Label3->text() != talking; }, 8000))
            fail(QStringLiteral("the configuration register was not read"));
        shoot(w, QStringLiteral("window-config-register"));
        w->Command1->click();
        waitFor([&] { return !f->MSComm1->busy(); });
    }

    // The data EEPROM window after its read (A0h..DFh from the data file), the erase question,
    // and the byte entry.
    f->EPROMCommand1->click();
    {
        frmEPROM *v = nullptr;
        const bool read = waitFor([&] {
            v = LoadedFrmEPROM();
            return v && !v->running() && v->Grid1->item(4, 16) && v->Grid1->item(4, 16)->text() == QStringLiteral("DF");
        });
        if (!read) fail(QStringLiteral("the data EEPROM was not read"));
        if (v) {
            v->Grid1->setCurrentCell(3, 6);  // address 25h
            shoot(v, QStringLiteral("window-eeprom"));

            script.nextBoxShot = QStringLiteral("message-eeprom-erase");
            script.questionAnswer = QMessageBox::No;
            v->cmdEraseAll->click();
            settle();
            script.questionAnswer = QMessageBox::Yes;

            script.modalActions.push_back([&](QDialog *d) {
                auto *in = static_cast<frmInput *>(d);
                in->Data1->setText(QStringLiteral("5A"));
                in->Data1->selectAll();
                shoot(d, QStringLiteral("dialog-eeprom-byte"));
                in->cmdWrite->click();
            });
            v->Grid1_DblClick();
            waitFor([&] { return !v->running() && v->Grid1->item(3, 6)->text() == QStringLiteral("5A"); });
            if (sim.writer().eeprom[0x25] != 0x5A) fail(QStringLiteral("the byte entry did not write"));
            v->cmdClose->click();
            settle();
        }
    }

    // The About box, with the writer's firmware version.
    script.modalActions.push_back([&](QDialog *d) { shoot(d, QStringLiteral("dialog-about")); });
    f->menu_help_about_Click();
    settle();

    // The manual in the help window.
    ManualViewer::setManualLocation(ManualViewer::manualIndex(manualFolder, i18n::current()));
    f->menu_help_file_Click();
    if (auto *viewer = f->findChild<ManualViewer *>()) {
        viewer->resize(720, 480);
        shoot(viewer, QStringLiteral("window-help"));
        viewer->close();
    } else {
        fail(QStringLiteral("the help menu opened no manual"));
    }

    // The connection diagnosis, over a writer behind a slow adapter (16 ms latency timer).
    sim.setAdapterLatency(16, 62);
    script.modalActions.push_back([&](QDialog *d) {
        auto *w = static_cast<FrmDiagnosis *>(d);
        w->RunChecks();
        w->List->selectRow(5);
        shoot(d, QStringLiteral("window-diagnosis"));
        d->reject();
    });
    f->menu_help_diagnosis_Click();
    settle();
    sim.setAdapterLatency(0, 62);

    // The port dialog as it looks with an FTDI adapter plugged in (this machine has none: the
    // device list is filled as the dialog fills it from the system).
    script.modalActions.push_back([&](QDialog *d) {
        auto *c = static_cast<FormInitComm *>(d);
        const QString device = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5XK3RJT-if00-port0");
        const QString info = QStringLiteral("FT232R USB UART") + FormInitComm::tr("  シリアル番号 %1").arg(QStringLiteral("A5XK3RJT"));
        c->DeviceCombo->clear();
        c->DeviceCombo->addItem(QStringLiteral("/dev/ttyS0"), QString());
        c->DeviceCombo->addItem(QStringLiteral("/dev/ttyUSB0"), info);
        c->DeviceCombo->addItem(device, info);
        c->DeviceCombo->setCurrentIndex(2);
        c->DeviceCombo->lineEdit()->setCursorPosition(0);
        c->DeviceLabel->setText(QStringLiteral("→ %1").arg(device));
        c->DeviceInfo->setText(info);
        shoot(d, QStringLiteral("dialog-port"));
        d->reject();
    });
    f->menu_comm_Click();
    settle();

    // Two messages of the troubleshooting section, shown as the program shows them.
    script.nextBoxShot = QStringLiteral("message-writer-silent");
    gui::Show(messages::writerSilent());
    script.nextBoxShot = QStringLiteral("message-slow-adapter");
    gui::Show(messages::slowAdapter(16, QStringLiteral("/dev/ttyUSB0")));
    // A box with a path and the system's reason, and one with the program's long title: each as
    // wide as its lines need.
    script.nextBoxShot = QStringLiteral("message-save-failed");
    gui::Show(messages::readFileError(
        messages::saveFailed(QStringLiteral("/home/user/pic/nodir/blink.hex"), QStringLiteral("No such file or directory"))));
    script.nextBoxShot = QStringLiteral("message-port-error");
    gui::Show(messages::commPortError(messages::kMainCaption,
                                      portnaming::openFailureText(QStringLiteral("/dev/ttyUSB0"), QSerialPort::DeviceNotFoundError, QString())));
    // A file with words where the PIC has no memory, refused before anything is sent.
    script.nextBoxShot = QStringLiteral("message-outside-memory");
    gui::Show(messages::hexOutsideProgramMemory({messages::outsideProgramMemoryLine(6, 0x400, 0x401)}));

    if (!script.modalActions.empty()) fail(QStringLiteral("%1 window(s) never shown").arg(script.modalActions.size()));
    f->close();
    endProgram(form);
    say(QStringLiteral("%1 pictures saved, %2 problems").arg(g_saved).arg(g_failed));
    return g_failed == 0 ? 0 : 1;
}
