#include "module1.h"

#include "app/inifile.h"
#include "app/trace.h"
#include "link/programmerlink.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

AppSettingsData AppSettings;

namespace Module1 {

namespace {
QString g_settingsFolder;
ProgrammerLink *g_link = nullptr;
MessageHandler g_messageHandler;
FileHandler g_fileHandler;
ModalHandler g_modalHandler;
EndHandler g_endHandler;
bool g_ended = false;

QString buttonName(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Yes: return QStringLiteral("Yes");
    case QMessageBox::No: return QStringLiteral("No");
    case QMessageBox::Cancel: return QStringLiteral("Cancel");
    default: return QString::number(int(b));
    }
}
}  // namespace

void ResetAppSettings() { AppSettings = AppSettingsData(); }

void setSettingsFolder(const QString &folder) { g_settingsFolder = folder; }

QString SettingsFolder()
{
    if (!g_settingsFolder.isEmpty()) return g_settingsFolder;
    const QString env = qEnvironmentVariable("VELTRAW_SETTINGS_DIR");
    if (!env.isEmpty()) return env;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(appDir).isWritable()) return appDir;
    // An installed program cannot write beside itself: keep the settings per user.
    const QString conf = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/veltraw");
    QDir().mkpath(conf);
    return conf;
}

QString DefaultIniFilePath() { return SettingsFolder() + QStringLiteral("/veltraw.ini"); }

QString ReadIniValue(const QString &section, const QString &key)
{
    return ini::readValue(AppSettings.IniFilePath, section, key);
}

void WriteIniValue(const QString &section, const QString &key, const QString &value)
{
    QString why;
    if (!ini::writeValue(AppSettings.IniFilePath, section, key, value, &why))
        trace::note(QStringLiteral("settings write failed: %1").arg(why));
}

void setLink(ProgrammerLink *link) { g_link = link; }
ProgrammerLink *Link() { return g_link; }

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void WaitForInput()
{
    AppSettings.InputWaitFlag = 1;
    // A closed port can bring no byte: return rather than wait for ever. A byte already in:
    // one turn of the event loop, as every wait yields, and back.
    if (!g_link || !g_link->isOpen() || g_link->bytesWaiting() >= 1) {
        DoEvents();
        return;
    }
    for (;;) {
        // Handles what is pending, else sleeps until a byte, a timer or the user wakes it:
        // one turn of the event loop for each thing that happens, none in between.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (AppSettings.InputWaitFlag == 0) return;
        if (!g_link || !g_link->isOpen()) return;
        if (g_link->bytesWaiting() >= 1) return;
    }
}

void Sleep(int ms) { QThread::msleep(ulong(ms)); }

bool FileExists(const QString &path)
{
    if (path.isEmpty()) return false;
    // Non-blocking, so a FIFO with no writer cannot hang us here.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

// ---- boxes and dialogs ----------------------------------------------------------------------

QMessageBox::StandardButton MsgBox(const Message &m)
{
    QMessageBox::StandardButton answer;
    if (g_messageHandler) {
        answer = g_messageHandler(m);
    } else {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(m.title);
        box.setText(m.text);
        if (!m.detail.isEmpty()) box.setInformativeText(m.detail);
        box.setStandardButtons(m.buttons);
        if (m.defaultButton != QMessageBox::NoButton) box.setDefaultButton(m.defaultButton);
        switch (m.icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        }
        answer = QMessageBox::StandardButton(box.exec());
    }
    trace::message(m.title, m.text, buttonName(answer));
    return answer;
}

QMessageBox::StandardButton MsgBox(const QString &text, Icon icon, const QString &title,
                                   QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    Message m;
    m.text = text;
    m.icon = icon;
    m.title = title;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    return MsgBox(m);
}

void ErrorBox(const QString &text, const QString &title, const QString &detail)
{
    Message m;
    m.text = text;
    m.title = title;
    m.icon = Icon::Critical;
    m.detail = detail;
    MsgBox(m);
}

void setMessageHandler(MessageHandler handler) { g_messageHandler = std::move(handler); }

std::optional<QString> FileDialog(const FileRequest &r)
{
    std::optional<QString> result;
    if (g_fileHandler) {
        result = g_fileHandler(r);
    } else {
        const QStringList parts = r.filter.split(QLatin1Char('|'));
        QStringList filters;
        for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
        QFileDialog dlg(QApplication::activeWindow());
        dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dlg.setNameFilters(filters);
        if (!r.defaultSuffix.isEmpty()) dlg.setDefaultSuffix(r.defaultSuffix);
        if (!r.confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (!r.presetName.isEmpty()) dlg.selectFile(r.presetName);
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) result = dlg.selectedFiles().first();
    }
    trace::note(QStringLiteral("file dialog (%1) -> %2").arg(r.save ? QStringLiteral("save") : QStringLiteral("open"),
                                                              result ? *result : QStringLiteral("cancel")));
    return result;
}

void setFileHandler(FileHandler handler) { g_fileHandler = std::move(handler); }

void ShowModal(QDialog *dialog)
{
    if (g_modalHandler) {
        g_modalHandler(dialog);
        return;
    }
    dialog->exec();
}

void setModalHandler(ModalHandler handler) { g_modalHandler = std::move(handler); }

void EndProgram()
{
    g_ended = true;
    trace::note(QStringLiteral("end of program"));
    if (g_endHandler) {
        g_endHandler();
        return;
    }
    if (g_link) g_link->close();
    fflush(nullptr);
    ::_exit(0);
}

bool ProgramEnded() { return g_ended; }
void setEndHandler(EndHandler handler) { g_endHandler = std::move(handler); }
void resetProgramEnded() { g_ended = false; }

}  // namespace Module1
