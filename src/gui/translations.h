// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own Japanese texts for the standard buttons and dialogs (はい, いいえ, キャンセル, 開く,
// 保存, the overwrite question). The program's own texts are Japanese already.

// Loads qtbase_ja from Qt's translations folder into the running application. False when it
// is not installed (package qt6-translations-l10n): the standard texts then stay English.
bool InstallQtTranslations();
