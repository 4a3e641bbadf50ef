#pragma once

#include <QString>
#include <QStringList>

class TFormK900;

// The language switch of the main window: writes one language's table of
// main window targets (ConstLang::Targets()) onto the controls found by
// their objectName, the texts that depend on the model or on other state,
// and everything else that follows the language. Texts read at the moment of
// use (editors, message boxes, navigation frames) come from ConstLang
// directly and need nothing here.
//
// Languages: 0 Chinese, 1 English; any other value does nothing.
class TLanguage
{
public:
    TLanguage() = delete;

    // Writes the language's table into the window: every target the language
    // touches (a target it leaves unchanged keeps its text), the window
    // caption, the items of cbb_GPRSCommunication_Proctocol (the selection
    // the box had stays selected) and the lvTh row captions for the window's
    // model index. Returns the targets that found no control, as
    // "control kind index" lines; empty when every target was placed. The
    // history grid headers are the history sheet's to write (Retranslate)
    // and are not counted here.
    static QStringList ApplyTable(TFormK900 &window, int language);
    static QStringList ApplyChinese(TFormK900 &window);
    static QStringList ApplyEnglish(TFormK900 &window);

    // Everything a switch to language does once the window's language flag
    // holds it: the table, the serial component's language, the column
    // widths for the new captions (through the window's own resize
    // handling), the timer choice lists and the day and action cells of
    // lvTimer (their codes kept), the history sheet's captions and headers,
    // the relay state cells of lvDo, the navigation bar's buttons, the
    // device card, the Skins menu and Qt's own texts (standard buttons and
    // file dialogs). TFormK900::ApplyLanguage sets the flag and calls this.
    static void SwitchLanguage(TFormK900 &window, int language);

    // The menu items N_CN and N_EN: switch the whole program to Chinese or
    // English (through TFormK900::ApplyLanguage, which owns the flag).
    static void N_CNClick(TFormK900 &window);
    static void N_ENClick(TFormK900 &window);
};
