#include "app/forms.h"

#include "app/formmain.h"
#include "program/frmreadwrite.h"

#include <QList>
#include <QPointer>

namespace {
QPointer<FormMain> g_main;
QList<QPointer<QWidget>> g_forms;
}  // namespace

FormMain *MainForm() { return g_main; }
void setMainForm(FormMain *form) { g_main = form; }

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

frmReadWrite *FrmReadWrite()
{
    static QPointer<frmReadWrite> instance;
    if (!instance) {
        instance = new frmReadWrite(g_main);
        RegisterForm(instance);
    }
    return instance;
}
