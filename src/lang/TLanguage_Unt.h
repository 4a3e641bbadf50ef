#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class TFormDeviceCard;
class THistorySheet;
struct TSettingsViews;

// What a language switch writes into: the window whose controls are found by
// their objectName, and the parts with texts of their own. The main window
// provides it; the language code never needs the main window's class.
class ILanguageWindow
{
public:
    virtual ~ILanguageWindow() = default;

    virtual QWidget *LanguageRoot() = 0;
    virtual const TSettingsViews &Views() const = 0;
    virtual THistorySheet *History() const = 0;
    virtual TFormDeviceCard *DeviceCard() const = 0;
    // −1 until the model is known, then 0 K801, 1 K802, 2 K803.
    virtual int ModelIndex() const = 0;
    // Sets the window's language flag and switches everything to it.
    virtual void ApplyLanguage(int language) = 0;
};

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
    static QStringList ApplyTable(ILanguageWindow &window, int language);
    static QStringList ApplyChinese(ILanguageWindow &window);
    static QStringList ApplyEnglish(ILanguageWindow &window);

    // Everything a switch to language does once the window's language flag
    // holds it: the table, the serial component's language, the column
    // widths for the new captions (through the window's own resize
    // handling), the timer choice lists and the day and action cells of
    // lvTimer (their codes kept), the history sheet's captions and headers,
    // the relay state cells of lvDo, the navigation bar's buttons, the
    // device card, the Skins menu and Qt's own texts (standard buttons and
    // file dialogs). ILanguageWindow::ApplyLanguage sets the flag and calls this.
    static void SwitchLanguage(ILanguageWindow &window, int language);

    // The menu items N_CN and N_EN: switch the whole program to Chinese or
    // English (through ILanguageWindow::ApplyLanguage, which owns the flag).
    static void N_CNClick(ILanguageWindow &window);
    static void N_ENClick(ILanguageWindow &window);
};
