// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/windows.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> g_main;
QList<QPointer<QWidget>> g_forms;
}  // namespace

QWidget *MainWindow() { return g_main; }
void setMainWindow(QWidget *window) { g_main = window; }

void RegisterForm(QWidget *form)
{
    // Windows closed and deleted since leave null entries behind: drop them as we go.
    g_forms.removeIf([](const QPointer<QWidget> &f) { return f.isNull(); });
    g_forms.append(form);
}

void DestroyForms()
{
    const auto forms = g_forms;
    g_forms.clear();
    for (const QPointer<QWidget> &f : forms) delete f.data();
}
