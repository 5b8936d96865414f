// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/translations.h"

#include "core/i18n.h"

bool InstallQtTranslations() { return i18n::install(); }
