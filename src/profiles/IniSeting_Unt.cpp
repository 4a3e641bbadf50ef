#include "profiles/IniSeting_Unt.h"

#include "dialogs/FileDialogs_Frm.h"
#include "base/Funs_Unt.h"
#include "dialogs/MessageBox_Frm.h"
#include "dialogs/Questions_Frm.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "profiles/ProfileImage_Unt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

namespace {

// A profile updates an existing file rather than replacing it, so no
// overwrite question is asked; a name typed without ".ini" may be opened, the
// load adds the extension and says so when that file does not exist.
const TFileDialogSpec kIniDialogSave{"dlgSave", QStringLiteral("*.ini"), false, true, "profiles"};
const TFileDialogSpec kIniDialogOpen{"dlgOpen", QStringLiteral("*.ini"), false, false, "profiles"};

} // namespace

TIniSeting::TIniSeting(QWidget *mainWindow, TSoftMaster *master)
    : TBaseSoftInterface(mainWindow), m_main(mainWindow), m_master(master)
{
    setObjectName(QStringLiteral("IniSeting"));
    ChooseSaveFile = [this](const QString &folder, const QString &defaultName) {
        return ChooseFileToSave(m_main, kIniDialogSave, folder, defaultName);
    };
    ChooseOpenFile = [this](const QString &folder) { return ChooseFileToOpen(m_main, kIniDialogOpen, folder); };
}

TProfileResult TIniSeting::SaveProfile(const QString &fileName)
{
    TProfileResult result;
    result.fileName = ProfileFileName(fileName);
    if (TrimBlanks(fileName).isEmpty()) {
        result.error = TIniError::WriteFailed;
        result.detail = QStringLiteral("No file name");
        return result;
    }
    TIniFile ini(result.fileName);
    if (const TIniResult opened = ini.LoadForUpdate(); !opened) {
        result.error = opened.error;
        result.detail = opened.detail;
        return result;
    }
    QString failedField;
    if (!TProfileImage::Write(m_master->ControlsToValues(), m_master->ShownModel(), m_language, ini,
                              &failedField)) {
        result.error = TIniError::WriteFailed;
        result.detail = failedField + QStringLiteral(": the text cannot be held by one profile line");
        return result;
    }
    if (const TIniResult saved = ini.Save(); !saved) {
        result.error = saved.error;
        result.detail = saved.detail;
    }
    return result;
}

TProfileResult TIniSeting::LoadProfile(const QString &fileName)
{
    TProfileResult result;
    result.fileName = ProfileFileName(fileName);
    if (TrimBlanks(fileName).isEmpty()) {
        result.error = TIniError::Missing;
        result.detail = QStringLiteral("No file name");
        return result;
    }
    TIniFile ini(result.fileName);
    if (const TIniResult opened = ini.Load(); !opened) {
        result.error = opened.error;
        result.detail = opened.detail;
        result.line = opened.line;
        result.column = opened.column;
        return result;
    }
    if (!TProfileImage::IsProfile(ini)) {
        result.error = TIniError::NotProfile;
        return result;
    }
    m_master->ValuesToControls(TProfileImage::Read(ini, m_master->ShownModel(), m_language,
                                                   m_master->ControlsToValues(), &result.unmatchedRows));
    return result;
}

bool TIniSeting::N_SaveClick()
{
    const QString chosen =
        ChooseSaveFile(FileFolders::StartFolder(QStringLiteral("profiles")),
                       DefaultProfileName(m_modelIndex, QDateTime::currentDateTime()));
    if (chosen.isEmpty())
        return false;
    const TProfileResult result = SaveProfile(chosen);
    if (!result) {
        ShowFailure(result, TDirection::Save);
        return false;
    }
    const QString saved = chosen.contains(QLatin1String(".ini"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".ini");
    emit Done(ConstLang::Text(QStringLiteral("MsgProfileSavedTo"), m_language).arg(QDir::toNativeSeparators(saved)));
    return true;
}

bool TIniSeting::N_OpenClick()
{
    const QString chosen = ChooseOpenFile(FileFolders::StartFolder(QStringLiteral("profiles")));
    if (chosen.isEmpty())
        return false;
    const TProfileResult result = LoadProfile(chosen);
    if (!result) {
        ShowFailure(result, TDirection::Load);
        return false;
    }
    if (!result.unmatchedRows.isEmpty()) {
        const QString text = ConstLang::Text(QStringLiteral("MsgProfileRowsUnmatched"), m_language)
                                 .arg(result.unmatchedRows.join(QStringLiteral(", ")));
        ShowMessageWindow(text, m_main->windowTitle());
        emit MessageShown(text);
    }
    emit ProfileLoaded(chosen);
    emit Done(ConstLang::Text(QStringLiteral("MsgProfileLoadedFrom"), m_language).arg(QDir::toNativeSeparators(chosen)));
    return true;
}

void TIniSeting::ShowFailure(const TProfileResult &result, TDirection direction)
{
    const char *key = "MsgProfileSaveFailed";
    if (direction == TDirection::Load)
        key = result.error == TIniError::Missing ? "MsgProfileMissing" : "MsgProfileReadFailed";
    if (result.error == TIniError::TooLarge)
        key = "MsgProfileTooLarge";
    else if (result.error == TIniError::NotText)
        key = "MsgProfileNotText";
    else if (result.error == TIniError::NotProfile)
        key = "MsgProfileNotProfile";
    QString text = ConstLang::Text(QString::fromLatin1(key), m_language) + QStringLiteral("\n\n")
                   + QDir::toNativeSeparators(result.fileName);
    if (!result.detail.isEmpty())
        text += QLatin1Char('\n') + result.detail;
    if (result.line > 0)
        text += QLatin1Char('\n')
                + ConstLang::Text(QStringLiteral("TxtTextUnreadableAt"), m_language).arg(result.line).arg(result.column);
    ShowErrorBox(m_main, text);
    emit MessageShown(text);
}
