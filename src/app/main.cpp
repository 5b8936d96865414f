#include "gui/formmain.h"
#include "gui/translations.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("veltraw"));
    QApplication::setQuitOnLastWindowClosed(false);  // the main window's closing ends the program
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.veltraw.veltraw"));
    InstallQtTranslations();
    FormMain form;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    form.Form_Load(args);
    return app.exec();
}
