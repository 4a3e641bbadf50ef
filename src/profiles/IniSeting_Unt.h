#pragma once

#include "profiles/IniFile_Unt.h"
#include "views/BaseSoftInterface_Unt.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class TSoftMaster;

// What a profile save or load came to.
struct TProfileResult {
    TIniError error = TIniError::None;
    QString fileName; // the file used, after the ".ini" rule
    QString detail;   // the system's reason, or the control whose value could not be stored
    int line = 0;     // Load, NotText: where bytes that are neither GBK nor UTF-8 start
    int column = 0;
    // Load: captions of the list rows that the profile has a section for but
    // no entry that fits (MatchRowEntries); those rows were left as they were.
    QStringList unmatchedRows;

    bool ok() const { return error == TIniError::None; }
    explicit operator bool() const { return ok(); }
};

// Profiles: the settings shown on the main window saved to an INI file (GBK)
// and loaded back, keyed by the controls' names. Saving and loading never
// talk to the device.
//
// The file format is TProfileImage's alone: a save takes the panes' values
// (TSoftMaster::ControlsToValues) and writes them through it; a load reads
// the file over those values and puts the result back into the panes
// (TSoftMaster::ValuesToControls). This class adds the name rule, the file
// dialogs and the messages.
//
// Created once by the main window; it lives as the window's child.
class TIniSeting : public TBaseSoftInterface
{
    Q_OBJECT
public:
    enum class TDirection { Save, Load };

    // The master moves the values between the panes and this class; it
    // outlives this object.
    TIniSeting(QWidget *mainWindow, TSoftMaster *master);

    // 0 Chinese, 1 English: the language of its messages, list captions and
    // timer cells.
    void SetLanguage(int language) { m_language = language; }
    // The model a new profile's file name starts with.
    void SetModelIndex(int modelIndex) { m_modelIndex = modelIndex; }

    // Writes the window's settings into fileName (".ini" appended unless the
    // name contains ".ini"). An existing file is updated: keys this save does
    // not write stay. The file is replaced only when completely written; on
    // failure (the file cannot be read or written, or a value cannot be held
    // by an INI line) the old file is unchanged and the result says why.
    [[nodiscard]] TProfileResult SaveProfile(const QString &fileName);
    // Sets the window's settings from fileName (same name rule). A file that
    // is missing, cannot be read, is too large or not text, or is no profile
    // (TProfileImage::IsProfile) changes nothing and gives an error.
    // Boxes are set before the edits, so that a handler that empties or
    // resets an edit (CheckBox1, chk_AutoAlarmAfterDisarm) runs before the
    // stored text is put in.
    [[nodiscard]] TProfileResult LoadProfile(const QString &fileName);

    // The menu items N_Save and N_Open: choose a file (the save dialog offers
    // the default name; both open in the program's folder), then save or
    // load it; a failure is shown in an error box in the current language.
    // True when the profile was saved (false: cancelled, or the failure shown).
    bool N_SaveClick();
    // True when a profile was loaded.
    bool N_OpenClick();

    // The file dialog steps; an empty result means the user cancelled. They
    // show non-native dialogs unless replaced (tests replace them).
    std::function<QString(const QString &folder, const QString &defaultName)> ChooseSaveFile;
    std::function<QString(const QString &folder)> ChooseOpenFile;

signals:
    // An error box, or the notice naming rows a load could not match, was
    // shown with this text.
    void MessageShown(const QString &text);
    // N_Open put the settings of fileName into the window.
    void ProfileLoaded(const QString &fileName);
    // Good news: a profile was saved or loaded (the text names the file);
    // the main window says it in its status bar.
    void Done(const QString &text);

private:
    void ShowFailure(const TProfileResult &result, TDirection direction);

    QWidget *m_main;
    TSoftMaster *m_master;
    int m_language = 1;
    int m_modelIndex = -1;
};
