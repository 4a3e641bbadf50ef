#pragma once

#include "config/ConfigImage_Unt.h"
#include "profiles/IniFile_Unt.h"

#include <QString>
#include <QStringList>
#include <QTime>

// A profile file made from a configuration image's values, without any
// window, and read back into such values: the same sections, keys, key order
// and value forms the window's Export Profile writes for the same values (the
// [Value] keys are the controls' names in the window's walk order, each list a
// section with one "caption=cell^cell^…^" line a row), so that Load Profile
// opens it, and a profile the window wrote reads as Load Profile reads it.
// List captions and timer texts are those of the given language (0 Chinese,
// 1 English), as the window shows them.
class TProfileImage
{
public:
    TProfileImage() = delete;

    // The password pane's box that shows the password in clear; stored in
    // profiles, not in the device.
    static inline const QString &ShowPasswordBox = ConfigControls::ShowPassword;

    // Writes values into ini (its existing keys stay). False at the first
    // value an INI line cannot hold; its control (and for a list, the row:
    // "lvTel [  5]") goes to *failedField. An invalid report time is written
    // as the PC's current time, as the window's picker shows it then.
    [[nodiscard]] static bool Write(const TConfigValues &values, int modelIndex, int language, TIniFile &ini,
                                    QString *failedField = nullptr);
    // Writes a new profile file holding values.
    [[nodiscard]] static TIniResult Save(const TConfigValues &values, int modelIndex, int language,
                                         const QString &fileName);

    // The values a window of modelIndex showing `base` in `language` holds
    // after loading ini: every [Value] key read (a missing one gives the empty
    // text, an unticked box, combo item 0, the PC's current time), list rows
    // matched by caption in this language or the other, then by position
    // (MatchRowEntries), rows without an entry left as in base (their
    // captions go to *unmatchedRows). Timer days and actions are read in
    // either language.
    static TConfigValues Read(const TIniFile &ini, int modelIndex, int language, const TConfigValues &base,
                              QStringList *unmatchedRows = nullptr);
    // A profile holds, in [Value], the key of at least one control the
    // window stores, or a section named after one of its lists.
    static bool IsProfile(const TIniFile &ini);
    // The model whose sensor rows the profile's [lvTh] section holds, by
    // their captions in either language: 0 K801, 1 K802, 2 K803; -1 when the
    // section is missing or its captions are no model's.
    static int SensorModel(const TIniFile &ini);

    // Row captions of a list view ("lvDo", "lvTh", "lvTel", "lvTimer") in a
    // language, as the window shows them (lvTh by model): FieldCaptions.
    static QStringList RowCaptions(const QString &view, int modelIndex, int language);
};
