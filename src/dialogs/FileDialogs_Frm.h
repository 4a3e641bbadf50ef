#pragma once

#include <QString>

class QWidget;

// The program's file dialogs: Qt's own (the same on every platform), opened
// in the given folder, modal to parent. Each returns the chosen path, or the
// empty text when the user cancels.
struct TFileDialogSpec
{
    const char *ObjectName;   // names the dialog for tests
    QString NameFilter;       // e.g. "CSV File (*.csv)"
    bool ConfirmOverwrite = true;
    bool MustExist = true;    // open: only an existing file may be picked
};

QString ChooseFileToSave(QWidget *parent, const TFileDialogSpec &spec, const QString &folder,
                         const QString &defaultName);
QString ChooseFileToOpen(QWidget *parent, const TFileDialogSpec &spec, const QString &folder);
