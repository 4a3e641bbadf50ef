#pragma once

#include <QString>

class QWidget;

class QSettings;

// The program's file dialogs: Qt's own (the same on every platform), modal to
// parent, opened in the given folder. The callers pass StartFolder of their
// kind of file (never the program's own folder: on an installed copy that is
// /usr/bin, where the user cannot write); a dialog with a FolderKind
// remembers the folder of the file chosen. Each returns the chosen path, or
// the empty text when the user cancels.
struct TFileDialogSpec
{
    const char *ObjectName;   // names the dialog for tests
    QString NameFilter;       // e.g. "CSV File (*.csv)"
    bool ConfirmOverwrite = true;
    bool MustExist = true;    // open: only an existing file may be picked
    const char *FolderKind = nullptr; // "profiles", "csv", "charts": the folder remembered
};

// The folders remembered per kind of file, in the program's settings file
// (settings null) or in the settings given.
namespace FileFolders {
// The folder a dialog of this kind starts in: the last one used when it
// still exists, else the user's Documents folder (else the home folder).
QString StartFolder(const QString &kind, QSettings *settings = nullptr);
// Remembers the folder of a chosen file for its kind.
void Remember(const QString &kind, const QString &chosenFile, QSettings *settings = nullptr);
} // namespace FileFolders

QString ChooseFileToSave(QWidget *parent, const TFileDialogSpec &spec, const QString &folder,
                         const QString &defaultName);
QString ChooseFileToOpen(QWidget *parent, const TFileDialogSpec &spec, const QString &folder);
