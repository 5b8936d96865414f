// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows' language: the one the system's settings choose (core/i18n.h), with Qt's own
// texts for the standard buttons and dialogs in the same language.

// Installs the catalogues into the running application. False when one could not be loaded
// (qtbase_ja comes with the package qt6-translations-l10n: without it the standard texts stay
// English).
bool InstallQtTranslations();
