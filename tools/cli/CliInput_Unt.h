#pragma once

#include "profiles/IniFile_Unt.h"

#include <QByteArray>
#include <QString>

// The configuration file named by --in: a profile (.ini), read as the main
// window's Load Profile reads it into blank panes, or a raw 3646-byte image
// (.bin), written as it is. Checked once, before any port is opened, so that
// a bad file sends nothing to any device.
class TCliInput
{
public:
    // Reads and checks fileName: it must exist and be readable, a profile
    // must be one and encode for its own model (or, when its sensor rows name
    // no model, for a K802, which has every channel), an image must have
    // 3646 bytes. False with the reason, in language, in *error.
    [[nodiscard]] bool Load(const QString &fileName, int language, QString *error);

    const QString &FileName() const { return m_fileName; }
    bool IsProfile() const { return m_profile; }
    // The model whose sensor rows the profile holds; -1 for an image or when
    // the rows name no model.
    int ProfileModel() const { return m_profileModel; }

    // The image to write to a device of modelIndex. Empty, with the reason
    // in *error, when the profile is for another model (its sensor rows) or
    // holds a value that does not fit its field.
    QByteArray ImageFor(int modelIndex, QString *error) const;

private:
    QString m_fileName;
    int m_language = 1;
    bool m_profile = false;
    int m_profileModel = -1;
    QByteArray m_image;
    TIniFile m_ini;
};
