// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/harness.h"

#include "gui/windows.h"
#include "core/settings/settingsfile.h"
#include "core/link/programmerlink.h"

#include <QApplication>
#include <QFile>
#include <QTest>

namespace {
QtMessageHandler g_previous = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
{
    // The offscreen platform's remark on every window is noise in test logs.
    if (msg.contains(QLatin1String("propagateSizeHints")) || msg.contains(QLatin1String("does not support raise()"))) return;
    if (g_previous) g_previous(type, ctx, msg);
}
}  // namespace

Harness::Harness()
{
    static bool installed = false;
    if (!installed) {
        g_previous = qInstallMessageHandler(quietHandler);
        installed = true;
    }
    QString error;
    if (!sim.start(&error)) qFatal("cannot start the simulated writer: %s", qPrintable(error));
    settings::setSettingsFolder(dir.path());
    qputenv("VELTRAW_LOCK_FILE", dir.filePath(QStringLiteral("veltraw.lock")).toLocal8Bit());
    gui::resetProgramEnded();
    gui::setEndHandler([] {});
    gui::setUrlHandler([this](const QUrl &url) {
        openedUrls << url;
        return urlOpens;
    });
    gui::setMessageHandler([this](const gui::Message &m) {
        messages.append(m);
        if (onMessage) onMessage(m);
        if (m.extraButton.isEmpty() && (m.buttons == QMessageBox::Ok || m.buttons == QMessageBox::NoButton)) return QMessageBox::Ok;
        if (answers.empty()) return m.defaultButton != QMessageBox::NoButton ? m.defaultButton : QMessageBox::Ok;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    });
    gui::setFileHandler([this](const gui::FileRequest &r) -> std::optional<QString> {
        fileRequests.append(r);
        if (fileAnswers.empty()) return std::nullopt;
        auto a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    });
    gui::setModalHandler([this](QDialog *d) {
        modalTitles << d->windowTitle();
        d->show();
        if (modalActions.empty()) {
            ++unscriptedModals;
            d->close();
            return;
        }
        auto action = modalActions.front();
        modalActions.pop_front();
        action(d);
        if (d->isVisible()) d->close();
    });
    writeIni(standardIni());
}

Harness::~Harness()
{
    if (form) {
        DestroyForms();
        form.reset();
    }
    gui::setMessageHandler(nullptr);
    gui::setFileHandler(nullptr);
    gui::setModalHandler(nullptr);
    gui::setEndHandler(nullptr);
    gui::setUrlHandler(nullptr);
    settings::setSettingsFolder(QString());
    gui::resetProgramEnded();
    QCoreApplication::processEvents();
}

QString Harness::iniPath() const { return dir.filePath(QStringLiteral("veltraw.ini")); }

QByteArray Harness::standardIni() const
{
    return "[Ports]\nCOM1=" + sim.slavePath().toLocal8Bit() + "\n[Com]\nport= 1\n";
}

void Harness::writeIni(const QByteArray &contents)
{
    QFile f(iniPath());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write the settings file");
    f.write(contents);
}

QByteArray Harness::readIni() const
{
    QFile f(iniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Harness::ini(const QString &section, const QString &key) const
{
    return ini::readValue(iniPath(), section, key);
}

FormMain *Harness::start(const QStringList &arguments)
{
    form = std::make_unique<FormMain>();
    form->Form_Load(arguments);
    return form.get();
}

FormMain *Harness::startQuiet(const QStringList &arguments)
{
    FormMain *f = start(arguments);
    if (ended() || !f->MSComm1->isOpen()) return f;  // no link check ran
    // The writer's "c" has been sent and has reached the program's port.
    const bool quiet = waitFor([&] { return writerBytes().endsWith('c') && f->MSComm1->bytesWaiting() >= 1; }, 3000);
    if (!quiet) QTest::qFail("the link check's closing \"c\" did not arrive", __FILE__, __LINE__);
    f->MSComm1->clearInput();
    clearWire();
    return f;
}

bool Harness::waitFor(const std::function<bool()> &cond, int timeoutMs)
{
    return QTest::qWaitFor(cond, timeoutMs);
}

qint64 Harness::hostGapMs(int n, int m) const
{
    int i = 0;
    qint64 tn = -1, tm = -1;
    for (const auto &e : sim.record()) {
        if (!e.fromHost) continue;
        if (i == n) tn = e.ms;
        if (i == m) tm = e.ms;
        ++i;
    }
    return (tn < 0 || tm < 0) ? -1 : tm - tn;
}

QStringList Harness::messageTexts() const
{
    QStringList out;
    for (const auto &m : messages) out << m.text;
    return out;
}

QString Harness::writeFile(const QString &name, const QByteArray &contents)
{
    const QString p = dir.filePath(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(p));
    f.write(contents);
    return p;
}
