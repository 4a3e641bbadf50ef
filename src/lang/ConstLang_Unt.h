#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The two language tables of the program: 0 = Chinese, 1 = English.
//
// Texts are stored as UTF-8 and returned as QString. Any language value other
// than Chinese or English gives "no text": an empty QString from Text(),
// std::nullopt from the functions that return an optional, an empty list from
// the list functions.
namespace ConstLang {

enum Language { Chinese = 0, English = 1 };

// ---------------------------------------------------------------------------
// Main window targets: what a language switch writes straight into the main
// window, keyed by the control's objectName.

enum class TargetKind {
    Caption,    // the control's own caption (menu item, button, check box,
                // group box, tab sheet, plain label)
    Label,      // the label of a labelled edit
    Hint,       // the pop-up hint (tooltip)
    Column,     // caption of list-view column `index`
    Row,        // caption of list-view row `index`
    Section,    // title of navigation-bar section `index`, counted from 0
    GridHeader, // row 0 of string-grid column `index`
};

struct TLangTarget {
    const char *control; // objectName of the main window's control
    TargetKind kind;
    int index;           // column, row or section number; -1 for the other kinds
    const char *english; // nullptr: English leaves the target unchanged
    const char *chinese; // nullptr: Chinese leaves the target unchanged;
                         // "" sets the empty text

    // The text the language writes, or std::nullopt when that language does
    // not touch the target (or the language is unknown).
    std::optional<QString> Text(int language) const;
};

// objectNames of the two check boxes on the status bar; the window creates
// them under these names so that the target table reaches them.
inline constexpr const char kAutoStartBoxName[] = "chk_AutoStart";
inline constexpr const char kDebugBoxName[] = "chk_Debug";

// Every main window target, in the order a switch writes them.
const std::vector<TLangTarget> &Targets();

// The target of `control` of that kind and index (index -1 for Caption, Label
// and Hint), or nullptr when the table has none.
const TLangTarget *FindTarget(const QString &control, TargetKind kind, int index = -1);

// The control whose caption names the field `control` holds: a box captioned
// "Enable" is named by the edit it governs, a combo box or a time picker by
// the label or box beside it; any other control by itself.
QString CaptionControl(const QString &control);

// ---------------------------------------------------------------------------
// Module-wide texts: one text per key, read by the editors, message boxes,
// navigation frames and the history decoder at the moment of use.

struct TLangText {
    const char *key;
    const char *english;
    const char *chinese;
};

// Every module-wide text with a fixed text per language (the threshold labels
// "TxtThHigh" and "TxtThLow" depend on the model and come from ThresholdText).
const std::vector<TLangText> &Texts();

// The text of a module-wide text variable (key as named in the tables, e.g.
// "MsgPortChanged") or of a point-of-use text (PointOfUseTexts) in the given
// language. An unknown key gives an empty text.
QString Text(const QString &key, int language);
QString Text(const char *key, int language);

// Labels of the TH editor's threshold edits ("TxtThHigh", "TxtThLow") for a
// model index: 0 and 1 share the temperature/humidity ranges, 2 has the wider
// temperature range; any other model index (-1 before the first version reply)
// gives std::nullopt, which leaves the labels unchanged.
std::optional<QString> ThresholdText(bool high, int modelIndex, int language);

// ---------------------------------------------------------------------------
// Texts that the using code chooses by the language flag at the point of use
// instead of through a switch. Read them with Text(key, language).
//   TxtInputError       history quantity out of range
//   TxtDoName           DO editor title and default channel name, + row number
//   TxtDoDefaultOpen    DO editor default open description
//   TxtDoDefaultClose   DO editor default close description
//   TxtDoStatusClosed   current relay state, bit set
//   TxtDoStatusOpen     current relay state, bit clear
//   TxtDoCloseTimeHint  hint of the DO editor's close-time edit (one text)
//   TxtThDefaultHighSms, TxtThDefaultLowSms, TxtThDefaultRecoverySms
//                       TH editor defaults of the three SMS texts
//   TxtTemperature, TxtHumidity
//                       word of a TH row caption, + channel number
//   TxtRecordError      single history record is empty (one text)
//   MsgProfileMissing, MsgProfileReadFailed, MsgProfileSaveFailed
//                       profile file errors (the window may add the file name)
const std::vector<TLangText> &PointOfUseTexts();

// ---------------------------------------------------------------------------
// Texts that depend on the device model or on other state.

// Main window caption: the language's title followed by `versionText`
// (e.g. "V2.39").
QString WindowCaption(int language, const QString &versionText);

// The three items of cbb_GPRSCommunication_Proctocol; position = protocol code.
QStringList GprsProtocolItems(int language);

// Caption of a TH channel row: "Temperature"/"Humidity" (English) or
// "温度"/"湿度" (Chinese) directly followed by the channel number.
QString ThRowCaption(bool humidity, int channelNumber, int language);

// lvTh row captions for a model index: 0 = 8 rows alternating temperature and
// humidity, 1 = 16 rows alternating, 2 = 8 temperature rows; any other model
// index gives an empty list (the rows stay unchanged).
QStringList ThRowCaptions(int modelIndex, int language);

// Headers of the history grid's value columns (from column 8 on) for a model
// index, same row rule as ThRowCaptions but with the short English words
// "Temp"/"Hum"; empty for any other model index.
QStringList HistoryValueHeaders(int modelIndex, int language);

// The timer action list (11 entries, position = action code) and week list
// (8 entries: Sunday .. Saturday, then every day).
QStringList TimerActionTexts(int language);
QStringList TimerWeekTexts(int language);

} // namespace ConstLang
