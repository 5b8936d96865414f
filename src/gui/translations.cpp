// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/translations.h"

#include "core/trace.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations()
{
    auto *qt = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!qt->load(QStringLiteral("qtbase_ja"), folder)) {
        trace::note(QStringLiteral("no qtbase_ja in %1: standard dialogs stay in English").arg(folder));
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}
