#include "profiles/IniSeting_Unt.h"

#include "dialogs/FileDialogs_Frm.h"
#include "base/Funs_Unt.h"
#include "dialogs/MessageBox_Frm.h"
#include "dialogs/Questions_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "look/ComponentEx.h"
#include "views/SettingsPanes_Frm.h"
#include "views/SoftInterfaceDateTime_Unt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimeEdit>
#include <QTreeWidget>

namespace {

const QString kValueSection = QStringLiteral("Value");

// A box whose handler empties an edit on every change is loaded before that
// edit, so the stored text is put in after the handler has run.
const struct {
    const char *box;
    const char *edit;
} kLoadBefore[] = {
    {"CheckBox1", "lbledt_GprsRegDat"},
};

// A profile updates an existing file rather than replacing it, so no
// overwrite question is asked; a name typed without ".ini" may be opened, the
// load adds the extension and says so when that file does not exist.
const TFileDialogSpec kIniDialogSave{"dlgSave", QStringLiteral("*.ini"), false};
const TFileDialogSpec kIniDialogOpen{"dlgOpen", QStringLiteral("*.ini"), false, false};

QStringList SubItems(const QTreeWidgetItem *row, int columnCount)
{
    QStringList texts;
    for (int column = 1; column < columnCount; ++column)
        texts << row->text(column);
    return texts;
}

bool SaveControl(QWidget *control, TIniFile &ini)
{
    const QString name = control->objectName();
    if (auto *labeled = qobject_cast<TLabeledEdit *>(control))
        return ini.WriteString(kValueSection, name, labeled->text());
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return ini.WriteString(kValueSection, name, edit->text());
    if (auto *box = qobject_cast<QCheckBox *>(control))
        return ini.WriteBool(kValueSection, name, box->isChecked());
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return ini.WriteInteger(kValueSection, name, combo->currentIndex());
    if (auto *picker = qobject_cast<QTimeEdit *>(control))
        return ini.WriteTime(kValueSection, name, picker->time());
    return true;
}

void LoadControl(QWidget *control, const TIniFile &ini)
{
    const QString name = control->objectName();
    if (auto *labeled = qobject_cast<TLabeledEdit *>(control))
        labeled->setText(ini.ReadString(kValueSection, name));
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(ini.ReadString(kValueSection, name));
    else if (auto *box = qobject_cast<QCheckBox *>(control))
        box->setChecked(ini.ReadBool(kValueSection, name, false));
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentIndex(ini.ReadInteger(kValueSection, name, 0));
    else if (auto *picker = qobject_cast<QTimeEdit *>(control))
        picker->setTime(ini.ReadTime(kValueSection, name, QTime::currentTime()));
}

QList<QWidget *> DirectChildWidgets(const QWidget *container)
{
    QList<QWidget *> widgets;
    for (QObject *child : container->children()) {
        if (child->isWidgetType())
            widgets << static_cast<QWidget *>(child);
    }
    return widgets;
}

} // namespace

TIniSeting::TIniSeting(QWidget *mainWindow, const TMainSheets &sheets, const TSettingsViews &views)
    : TBaseSoftInterface(mainWindow), m_main(mainWindow), m_sheets(sheets), m_views(views)
{
    setObjectName(QStringLiteral("IniSeting"));
    ChooseSaveFile = [this](const QString &folder, const QString &defaultName) {
        return ChooseFileToSave(m_main, kIniDialogSave, folder, defaultName);
    };
    ChooseOpenFile = [this](const QString &folder) { return ChooseFileToOpen(m_main, kIniDialogOpen, folder); };
}

QList<QWidget *> TIniSeting::Containers() const
{
    const TMainSheets &sheets = m_sheets;
    const TSettingsPanes *panes = m_views.Panes;
    return {panes->grp_BasicSeting, panes->grp_PasswordSeting, sheets.Sheet_DO,
            sheets.Sheet_TH, sheets.Sheet_Telephone, sheets.Sheet_DateTime,
            sheets.Sheet_InfoMode, panes->grp_GPRS_BasicSeting};
}

QList<QWidget *> TIniSeting::LoadOrder(QWidget *container) const
{
    QList<QWidget *> order = DirectChildWidgets(container);
    for (const auto &rule : kLoadBefore) {
        const auto named = [&order](const char *name) {
            for (int index = 0; index < order.size(); ++index) {
                if (order.at(index)->objectName() == QLatin1String(name))
                    return index;
            }
            return -1;
        };
        const int box = named(rule.box);
        const int edit = named(rule.edit);
        if (box > edit && edit >= 0)
            order.move(box, edit);
    }
    return order;
}

bool TIniSeting::WalkContainer(QWidget *container, TIniFile &ini, TDirection direction,
                               QString *failedControl, QStringList *unmatchedRows)
{
    if (direction == TDirection::Save) {
        for (QWidget *control : DirectChildWidgets(container)) {
            QString failedRow;
            const auto *view = qobject_cast<QTreeWidget *>(control);
            const bool stored = view ? SaveListView(view, ini, &failedRow) : SaveControl(control, ini);
            if (!stored) {
                if (failedControl)
                    *failedControl = failedRow.isEmpty()
                                         ? control->objectName()
                                         : control->objectName() + QStringLiteral(" [") + failedRow
                                               + QLatin1Char(']');
                return false;
            }
        }
        return true;
    }

    for (QWidget *control : LoadOrder(container)) {
        if (auto *view = qobject_cast<QTreeWidget *>(control)) {
            const QStringList unmatched = LoadListView(view, ini);
            if (unmatchedRows)
                *unmatchedRows += unmatched;
            // Day and action cells are loaded as texts of either language;
            // shown in the current one with their codes, they encode to the
            // timers the file describes.
            if (view == m_views.lvTimer)
                TSoftDateTime::RetranslateTimerRows(view, m_language);
        } else {
            LoadControl(control, ini);
        }
    }
    return true;
}

bool TIniSeting::SaveListView(const QTreeWidget *view, TIniFile &ini, QString *failedRow)
{
    const int columns = view->columnCount();
    for (int index = 0; index < view->topLevelItemCount(); ++index) {
        const QTreeWidgetItem *row = view->topLevelItem(index);
        if (!ini.WriteString(view->objectName(), row->text(0), JoinListValue(SubItems(row, columns), columns))) {
            if (failedRow)
                *failedRow = row->text(0);
            return false;
        }
    }
    return true;
}

QList<QStringList> TIniSeting::RowCaptions(const QTreeWidget *view) const
{
    QStringList shown;
    for (int index = 0; index < view->topLevelItemCount(); ++index)
        shown << view->topLevelItem(index)->text(0);
    const int language = m_language;
    const int other = language == ConstLang::English ? ConstLang::Chinese : ConstLang::English;
    QStringList translated;
    if (view == m_views.lvTh) {
        translated = ConstLang::ThRowCaptions(m_modelIndex, other);
    } else {
        for (int index = 0; index < shown.size(); ++index) {
            const ConstLang::TLangTarget *target =
                ConstLang::FindTarget(view->objectName(), ConstLang::TargetKind::Row, index);
            const std::optional<QString> text = target ? target->Text(other) : std::nullopt;
            translated << text.value_or(shown.at(index));
        }
    }
    if (translated.size() != shown.size())
        return {shown};
    return {shown, translated};
}

QStringList TIniSeting::OtherModelCaptions(const QTreeWidget *view)
{
    QStringList captions;
    if (view->objectName() != QLatin1String("lvTh"))
        return captions;
    constexpr int ModelCount = 3;
    for (int model = 0; model < ModelCount; ++model) {
        for (const int language : {ConstLang::English, ConstLang::Chinese})
            captions += ConstLang::ThRowCaptions(model, language);
    }
    return captions;
}

QStringList TIniSeting::LoadListView(QTreeWidget *view, const TIniFile &ini) const
{
    if (view->topLevelItemCount() < 2)
        return {};
    const QString section = view->objectName();
    if (!ini.SectionNames().contains(section))
        return {};
    const std::vector<TIniEntry> entries = ini.SectionEntries(section);
    const std::vector<int> matched = MatchRowEntries(entries, RowCaptions(view), OtherModelCaptions(view));
    const int columns = view->columnCount();
    QStringList unmatched;
    for (int index = 0; index < view->topLevelItemCount(); ++index) {
        QTreeWidgetItem *row = view->topLevelItem(index);
        if (matched[index] < 0) {
            unmatched << TrimBlanks(row->text(0));
            continue;
        }
        const std::vector<std::optional<QString>> fields =
            SplitListValue(entries[matched[index]].value, columns);
        for (int subItem = 0; subItem < int(fields.size()); ++subItem) {
            if (fields[subItem])
                SetSubItem(row, subItem, *fields[subItem]);
        }
    }
    return unmatched;
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
    for (QWidget *container : Containers()) {
        QString failedControl;
        if (!WalkContainer(container, ini, TDirection::Save, &failedControl)) {
            result.error = TIniError::WriteFailed;
            result.detail = failedControl + QStringLiteral(": the text cannot be held by one profile line");
            return result;
        }
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
    if (!IsProfile(ini)) {
        result.error = TIniError::NotProfile;
        return result;
    }
    for (QWidget *container : Containers())
        WalkContainer(container, ini, TDirection::Load, nullptr, &result.unmatchedRows);
    return result;
}

bool TIniSeting::IsProfile(const TIniFile &ini) const
{
    // A profile holds a key of the walked controls, or a section of one of
    // the lists (a file that carries only the phone numbers, say).
    for (QWidget *container : Containers()) {
        for (const QWidget *control : DirectChildWidgets(container)) {
            if (control->objectName().isEmpty())
                continue;
            if (qobject_cast<const QTreeWidget *>(control)) {
                if (ini.SectionExists(control->objectName()))
                    return true;
            } else if (ini.KeyExists(kValueSection, control->objectName())) {
                return true;
            }
        }
    }
    return false;
}

bool TIniSeting::N_SaveClick()
{
    const QString chosen =
        ChooseSaveFile(QCoreApplication::applicationDirPath(),
                       DefaultProfileName(m_modelIndex, QDateTime::currentDateTime()));
    if (chosen.isEmpty())
        return false;
    const TProfileResult result = SaveProfile(chosen);
    if (!result)
        ShowFailure(result, TDirection::Save);
    return result.ok();
}

bool TIniSeting::N_OpenClick()
{
    const QString chosen = ChooseOpenFile(QCoreApplication::applicationDirPath());
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
