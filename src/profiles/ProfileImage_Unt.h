#pragma once

#include "config/ConfigImage_Unt.h"
#include "profiles/IniFile_Unt.h"

#include <QString>

// A profile file made from a configuration image's values, without any
// window: the same sections, keys and value forms the window's Export
// Profile writes for the same values (the [Value] keys are the controls'
// names, each list a section with one "caption=cell^cell^…^" line a row),
// so that Load Profile opens it. List captions and timer texts are those of
// the given language (0 Chinese, 1 English), as the window shows them.
class TProfileImage
{
public:
    TProfileImage() = delete;

    // Writes values into ini (its existing keys stay). False at the first
    // value an INI line cannot hold.
    [[nodiscard]] static bool Write(const TConfigValues &values, int modelIndex, int language, TIniFile &ini);
    // Writes a new profile file holding values.
    [[nodiscard]] static TIniResult Save(const TConfigValues &values, int modelIndex, int language,
                                         const QString &fileName);
};
