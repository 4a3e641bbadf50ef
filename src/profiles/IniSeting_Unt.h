#pragma once

#include "profiles/IniFile_Unt.h"
#include "views/BaseSoftInterface_Unt.h"
#include "views/MainSheets.h"
#include "views/SettingsViews_Unt.h"

#include <QList>
#include <QString>

#include <functional>

class QTreeWidget;
class QWidget;

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
// The walk visits eight containers of the main window in a fixed order and,
// in each, only its direct children in child order: labelled edits, plain
// edits, check boxes, combo boxes and the time picker go into the section
// "Value" under their names; each list view gets a section of its own name
// with one key per row caption (see JoinListValue for the value).
//
// Created once by the main window; it lives as the window's child.
class TIniSeting : public TBaseSoftInterface
{
    Q_OBJECT
public:
    enum class TDirection { Save, Load };

    // The sheets and views are the main window's; they outlive this object.
    TIniSeting(QWidget *mainWindow, const TMainSheets &sheets, const TSettingsViews &views);

    // 0 Chinese, 1 English: the language of its messages and timer cells.
    void SetLanguage(int language) { m_language = language; }
    // The model a new profile's file name starts with.
    void SetModelIndex(int modelIndex) { m_modelIndex = modelIndex; }

    // grp_BasicSeting, grp_PasswordSeting, Sheet_DO, Sheet_TH,
    // Sheet_Telephone, Sheet_DateTime, Sheet_InfoMode, grp_GPRS_BasicSeting.
    QList<QWidget *> Containers() const;

    // Writes the window's settings into fileName (".ini" appended unless the
    // name contains ".ini"). An existing file is updated: keys this save does
    // not write stay. The file is replaced only when completely written; on
    // failure (the file cannot be read or written, or a value cannot be held
    // by an INI line) the old file is unchanged and the result says why.
    [[nodiscard]] TProfileResult SaveProfile(const QString &fileName);
    // Sets the window's settings from fileName (same name rule). A file that
    // is missing, cannot be read, is too large or not text, or is no profile
    // (see IsProfile) changes nothing and gives an error.
    // CheckBox1 is set before lbledt_GprsRegDat, so that its handler, which
    // empties the login message on every change, runs before the stored
    // message is put in.
    [[nodiscard]] TProfileResult LoadProfile(const QString &fileName);
    // A profile holds, in [Value], the key of at least one of the controls the
    // walk visits, or a section named after one of its lists.
    bool IsProfile(const TIniFile &ini) const;

    // One container in the given direction. Save returns false, at the first
    // control whose name or value an INI line cannot hold (its name goes to
    // *failedControl); Load always succeeds.
    bool WalkContainer(QWidget *container, TIniFile &ini, TDirection direction,
                       QString *failedControl = nullptr, QStringList *unmatchedRows = nullptr);
    // Rows of a list view into the section of its name: one key per row
    // caption. False when a row cannot be stored (its caption goes to
    // *failedRow).
    static bool SaveListView(const QTreeWidget *view, TIniFile &ini, QString *failedRow = nullptr);
    // Rows of a list view from the section of exactly its name: each row
    // gets the fields of the entry MatchRowEntries gives it (by its caption
    // in this or the other language, else by its position); rows without an
    // entry, and sub-items the value has no field for, keep their texts.
    // Returns the captions of the rows without an entry when the section
    // exists. A view with fewer than two rows is left alone.
    QStringList LoadListView(QTreeWidget *view, const TIniFile &ini) const;
    // The captions of the view's rows, in the language shown first, then in
    // the other language.
    QList<QStringList> RowCaptions(const QTreeWidget *view) const;
    // Captions the view's rows have for the other models, in both languages
    // (lvTh only): such a key belongs to a row of another model.
    static QStringList OtherModelCaptions(const QTreeWidget *view);

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

private:
    QList<QWidget *> LoadOrder(QWidget *container) const;
    void ShowFailure(const TProfileResult &result, TDirection direction);

    QWidget *m_main;
    const TMainSheets &m_sheets;
    const TSettingsViews &m_views;
    int m_language = 1;
    int m_modelIndex = -1;
};
