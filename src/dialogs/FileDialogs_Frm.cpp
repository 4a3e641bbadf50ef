#include "dialogs/FileDialogs_Frm.h"

#include <QFileDialog>

namespace {

QString RunDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void Prepare(QFileDialog &dialog, const TFileDialogSpec &spec, const QString &folder)
{
    dialog.setObjectName(QString::fromLatin1(spec.ObjectName));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(spec.NameFilter);
    dialog.setDirectory(folder);
}

} // namespace

QString ChooseFileToSave(QWidget *parent, const TFileDialogSpec &spec, const QString &folder,
                         const QString &defaultName)
{
    QFileDialog dialog(parent);
    Prepare(dialog, spec, folder);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.ConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(defaultName);
    return RunDialog(dialog);
}

QString ChooseFileToOpen(QWidget *parent, const TFileDialogSpec &spec, const QString &folder)
{
    QFileDialog dialog(parent);
    Prepare(dialog, spec, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunDialog(dialog);
}
