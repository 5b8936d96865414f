// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// End-to-end test harness: the real main window, offscreen, over a real pseudo-terminal to
// the simulated writer, with message boxes, file dialogs and modal windows scripted.

#include "gui/formmain.h"
#include "gui/dialogs.h"
#include "ptyserver.h"

#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class Harness {
public:
    // Starts the simulated writer and writes a settings file that maps COM1 to it with port 1.
    Harness();
    ~Harness();

    QTemporaryDir dir;
    sim::PtyServer sim;
    std::unique_ptr<FormMain> form;

    // Message boxes shown, in order; answers for boxes with more than an OK button.
    QVector<gui::Message> messages;
    std::deque<QMessageBox::StandardButton> answers;
    // Called as each box is shown, to look at the windows behind it at that moment.
    std::function<void(const gui::Message &)> onMessage;
    // File dialogs asked for, and what each returns (nullopt: cancel).
    QVector<gui::FileRequest> fileRequests;
    std::deque<std::optional<QString>> fileAnswers;
    // Actions for modal windows, in order of their showing. A window with no action queued is
    // closed with its close box; `unscriptedModals` counts those.
    std::deque<std::function<void(QDialog *)>> modalActions;
    int unscriptedModals = 0;
    // Files and pages handed to the desktop to open, and whether the desktop manages it.
    QList<QUrl> openedUrls;
    bool urlOpens = true;
    QStringList modalTitles;

    QString iniPath() const;
    QString path(const QString &name) const { return dir.filePath(name); }
    void writeIni(const QByteArray &contents);
    QByteArray readIni() const;
    QString ini(const QString &section, const QString &key) const;
    // The standard settings: COM1 mapped to the simulated writer, port 1.
    QByteArray standardIni() const;

    // Creates the main window and runs its start-up with these arguments.
    FormMain *start(const QStringList &arguments = {});
    // The same, then lets the link check's last "C" and its answer go by, so the wire record
    // and the input buffer hold only what a test makes. A start-up that ends the program or
    // opens no port returns at once; an answer that never comes fails the test.
    FormMain *startQuiet(const QStringList &arguments = {});

    // Runs the event loop until cond() holds or timeoutMs passes; returns cond().
    bool waitFor(const std::function<bool()> &cond, int timeoutMs = 10000);

    QByteArray hostBytes() { sim.pollNow(); return sim.hostBytes(); }
    QByteArray writerBytes() { sim.pollNow(); return sim.writerBytes(); }
    void clearWire() { sim.pollNow(); sim.clearRecord(); }
    // Milliseconds between the n-th and m-th byte the program sent (0-based).
    qint64 hostGapMs(int n, int m) const;

    QStringList messageTexts() const;
    bool ended() const { return gui::ProgramEnded(); }

    // Writes a file in the temporary folder and returns its path.
    QString writeFile(const QString &name, const QByteArray &contents);
};

// Helper for modal actions: the first child widget of a type with that object name.
template <typename T>
T *child(QWidget *w, const QString &name)
{
    return w->findChild<T *>(name);
}
