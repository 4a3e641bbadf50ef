#pragma once

// Qt's own texts (the standard Yes/No/OK buttons, the file dialogs) in the
// program's language. Qt's Simplified Chinese translation is the file
// qtbase_zh_CN.qm in Qt's translations folder (Debian package
// qt6-translations-l10n); English is Qt's built-in text.
namespace QtTranslations {

// Chinese (0) installs the translation once, English (1) removes it; any other
// value changes nothing. Returns true when Qt's texts are in that language
// afterwards: false for Chinese when the translation file is missing.
bool Use(int language);

// True while Qt's Chinese translation is installed.
bool ChineseInstalled();

} // namespace QtTranslations
