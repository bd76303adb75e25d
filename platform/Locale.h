#pragma once

// The program's texts are Chinese. Started from a shell with no locale at all (or a
// non-UTF-8 one), the character type is ASCII and the X server receives the window
// titles garbled. Call before the application object exists: when the character type
// the environment selects is not UTF-8, the character type becomes C.UTF-8 while the
// other categories keep what the environment set. Returns whether it had to switch.
bool ensureUtf8CharacterType();

// Loads Qt's own translation (file dialogs, standard buttons, context menus) for
// Simplified Chinese, whatever the system locale. Call after the application object
// exists. Returns false when the translation file is not installed.
bool installChineseQtTranslation();
