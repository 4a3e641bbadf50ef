#pragma once

#include <QString>
#include <functional>

class QWidget;

// The standard boxes of the program, titled with the application title.
// Neither waits: each opens window-modal and returns at once, so replies and
// timers keep running while the box is up.

// Error icon and one OK button.
void ShowErrorBox(QWidget *parent, const QString &text);
// Question icon, Yes and No with No as the default; onYes runs after Yes.
void AskQuestion(QWidget *parent, const QString &text, std::function<void()> onYes);
// A destructive question that offers the safe step first: safeText runs
// onSafe, proceedText runs onProceed, Cancel (the default) does nothing.
// objectName "QuestionBox"; the buttons are named btn_SafeStep and
// btn_Proceed.
void AskWithSafeStep(QWidget *parent, const QString &text, const QString &safeText, std::function<void()> onSafe,
                     const QString &proceedText, std::function<void()> onProceed);
// At start-up: when no GBK text conversion exists, says so in an error box
// over parent (in language, 0 Chinese, 1 English) and on standard error, and
// returns true; otherwise shows nothing and returns false.
bool NoticeMissingGbkConversion(QWidget *parent, int language);
// The language the user's locale asks for: 0 Chinese (PRC only), else 1 English.
int LocaleLanguage();
// The application title in a language (0 Chinese, 1 English), with the version.
QString ApplicationTitle(int language);
