#include "dialogs/FileDialogs_Frm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

// The program's own settings file, as the recent network ports use it.
std::unique_ptr<QSettings> ProgramSettings()
{
    const QString name = QCoreApplication::applicationName();
    return std::make_unique<QSettings>(name, name);
}

QString FolderKey(const QString &kind)
{
    return QStringLiteral("Folders/") + kind;
}

QString RunDialog(QFileDialog &dialog, const TFileDialogSpec &spec)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (spec.FolderKind && !chosen.isEmpty())
        FileFolders::Remember(QString::fromLatin1(spec.FolderKind), chosen);
    return chosen;
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
    return RunDialog(dialog, spec);
}

QString ChooseFileToOpen(QWidget *parent, const TFileDialogSpec &spec, const QString &folder)
{
    QFileDialog dialog(parent);
    Prepare(dialog, spec, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunDialog(dialog, spec);
}

namespace FileFolders {

QString StartFolder(const QString &kind, QSettings *settings)
{
    std::unique_ptr<QSettings> own;
    if (!settings) {
        own = ProgramSettings();
        settings = own.get();
    }
    const QString last = settings->value(FolderKey(kind)).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

void Remember(const QString &kind, const QString &chosenFile, QSettings *settings)
{
    std::unique_ptr<QSettings> own;
    if (!settings) {
        own = ProgramSettings();
        settings = own.get();
    }
    settings->setValue(FolderKey(kind), QFileInfo(chosenFile).absolutePath());
}

} // namespace FileFolders
