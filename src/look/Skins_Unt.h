#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QActionGroup;
class QMenu;
class QSettings;

// The skin engine of this program: a skin is a Qt style sheet kept in a file
// with the extension ".asz"; applying it sets the application's style sheet.
// The built-in default skin is the empty style sheet (the platform's look).
class TSkinEngine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Folder of the applied skin with its trailing '/', and its name without
    // ".asz"; both empty while the built-in skin is in use.
    QString SkinFolder() const { return m_folder; }
    QString SkinName() const { return m_name; }

    // Reads the skin file at path and applies it to the whole application.
    // Returns false, and changes nothing, when the file cannot be read or is
    // not UTF-8 text.
    bool LoadSkin(const QString &path);

signals:
    void SkinApplied(const QString &path);

private:
    QString m_folder;
    QString m_name;
};

// Applies the skin file at path to the application (a style sheet in UTF-8).
// Returns false, leaving the current skin, when it cannot be read.
bool ApplySkinFile(const QString &path);

// The Skins menu: one item per skin file found in the program's folder and
// all its sub-folders; clicking an item applies that skin. Created once when
// the main window is first shown; a child of the menu.
class TSoftSkins : public QObject
{
    Q_OBJECT
public:
    // Finds the ".asz" files (extension in any letter case) under programDir
    // and appends one item per file to N_Skins, in the sorted order of the
    // files, captioned with the file name without folder and extension.
    // No files: no items, and the built-in skin stays.
    TSoftSkins(QMenu *N_Skins, const QString &programDir);
    // The same for several folders: the files of each folder in turn, in
    // the order of folders.
    TSoftSkins(QMenu *N_Skins, const QStringList &folders);

    // Full paths of the skin files, sorted ignoring letter case.
    const QStringList &SkinFiles() const { return m_skinFiles; }
    TSkinEngine *Engine() const { return m_engine; }

    // The click of a Skins item: applies the first skin file (in list order)
    // whose name, folder and extension removed, is the item's file name (kept
    // with the items of this menu) or else its caption without accelerator
    // marks and surrounding spaces; two files of the same name in different
    // folders therefore both apply the first. Returns false, changing
    // nothing, when no file has that name or it cannot be read.
    bool ApplySkin(const QAction *item);

    // Keeps the chosen skin in settings (the program's settings file when
    // null) for the next run, and applies the skin kept from an earlier run
    // when a file of that name is still found; otherwise the built-in skin
    // stays. The item of the skin in use is ticked.
    void RememberIn(QSettings *settings = nullptr);
    // Name of the skin in use (its file name without extension); empty for
    // the built-in skin.
    QString CurrentSkin() const { return m_current; }

    // Captions of the items in language: the table's "TxtSkin" + file name
    // where it has one, the file name otherwise.
    void Retranslate(int language);

    // Caption of the menu item for a skin file: the file name without folder
    // and without its ".asz" extension.
    static QString SkinCaption(const QString &path);
    // Index in files of the first file whose caption is name; -1 when none.
    static int FindSkin(const QStringList &files, const QString &name);
    // A menu caption as the user reads it: "&&" gives "&", a single '&'
    // (an accelerator mark) is left out, surrounding spaces are removed.
    static QString PlainCaption(const QString &caption);

private:
    void TickCurrent();

    QStringList m_skinFiles;
    QList<QAction *> m_items;
    TSkinEngine *m_engine = nullptr;
    QActionGroup *m_group = nullptr;
    QSettings *m_settings = nullptr;
    QString m_current;
};

// Builds the Skins menu from the skin files under programDir (normally the
// folder of the executable, QCoreApplication::applicationDirPath()).
// Returns the menu's TSoftSkins, owned by the menu.
TSoftSkins *BuildSkinsMenu(QMenu *menu, const QString &programDir);
// The same from the skin files under each of folders.
TSoftSkins *BuildSkinsMenu(QMenu *menu, const QStringList &folders);

// Where the program looks for skins: the executable's folder tree (a build
// tree, a Windows install) and then the skins folder of an installed copy,
// <data folder>/skins, unless it lies inside the first. Folders given as
// they are; missing ones are kept (they simply hold no skins).
QStringList SkinSearchFolders(const QString &programDir, const QString &dataFolder);
// The folders for this program: SkinSearchFolders of the executable's folder
// and ProgramDataFolder().
QStringList ProgramSkinFolders();
