#include "lang/TLanguage_Unt.h"

#include "base/Funs_Unt.h"
#include "debug/ProtocolDebug_Frm.h"
#include "history/HistorySheet_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "lang/QtTranslations_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "look/Skins_Unt.h"
#include "views/DeviceCard_Frm.h"
#include "views/FrameBar_Frm.h"
#include "views/SettingsViews_Unt.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolBox>
#include <QTreeWidget>

namespace {

using ConstLang::TargetKind;

bool IsLanguage(int language)
{
    return language == ConstLang::Chinese || language == ConstLang::English;
}

// A sheet's caption is the tab text of the page control that holds it.
bool SetTabCaption(const QWidget &window, QWidget *sheet, const QString &text)
{
    for (QTabWidget *pages : window.findChildren<QTabWidget *>()) {
        const int tab = pages->indexOf(sheet);
        if (tab >= 0) {
            pages->setTabText(tab, text);
            return true;
        }
    }
    return false;
}

bool SetCaption(const QWidget &window, QObject *control, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(control)) {
        action->setText(text);
        return true;
    }
    if (auto *menu = qobject_cast<QMenu *>(control)) {
        menu->setTitle(text);
        return true;
    }
    if (auto *group = qobject_cast<QGroupBox *>(control)) {
        group->setTitle(text);
        return true;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(text);
        return true;
    }
    if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(text);
        return true;
    }
    if (auto *widget = qobject_cast<QWidget *>(control))
        return SetTabCaption(window, widget, text);
    return false;
}

bool SetHint(QObject *control, const QString &text)
{
    if (auto *edit = qobject_cast<TLabeledEdit *>(control)) {
        edit->setHint(text);
        return true;
    }
    if (auto *widget = qobject_cast<QWidget *>(control)) {
        widget->setToolTip(text);
        return true;
    }
    return false;
}

// Writes text onto one control named by the target; false when the control
// is not of a kind the target fits, or lacks the column, row or section.
bool WriteTarget(const QWidget &window, QObject *control, const ConstLang::TLangTarget &target,
                 const QString &text)
{
    switch (target.kind) {
    case TargetKind::Caption:
        return SetCaption(window, control, text);
    case TargetKind::Label:
        if (auto *edit = qobject_cast<TLabeledEdit *>(control)) {
            edit->setLabelText(text);
            return true;
        }
        return false;
    case TargetKind::Hint:
        return SetHint(control, text);
    case TargetKind::Column:
        if (auto *view = qobject_cast<QTreeWidget *>(control); view && target.index < view->columnCount()) {
            view->headerItem()->setText(target.index, text);
            return true;
        }
        return false;
    case TargetKind::Row:
        if (auto *view = qobject_cast<QTreeWidget *>(control);
            view && target.index < view->topLevelItemCount()) {
            view->topLevelItem(target.index)->setText(0, text);
            return true;
        }
        return false;
    case TargetKind::Section:
        if (auto *bar = qobject_cast<QToolBox *>(control); bar && target.index < bar->count()) {
            bar->setItemText(target.index, text);
            return true;
        }
        return false;
    case TargetKind::GridHeader:
        return false;
    }
    return false;
}

QString Describe(const ConstLang::TLangTarget &target)
{
    static const char *const kinds[] = {"caption", "label", "hint", "column", "row", "section",
                                        "grid header"};
    QString line = QString::fromLatin1(target.control) + QLatin1Char(' ')
                   + QString::fromLatin1(kinds[int(target.kind)]);
    if (target.index >= 0)
        line += QLatin1Char(' ') + QString::number(target.index);
    return line;
}

// The items of the communication type box in the new language. The box keeps
// the type it showed before the switch: that selection, read from the device
// or chosen by the user, is what the next configuration write sends.
void RefillGprsProtocolBox(const QWidget &window, int language)
{
    auto *box = window.findChild<QComboBox *>(QStringLiteral("cbb_GPRSCommunication_Proctocol"));
    if (box == nullptr)
        return;
    const int selected = box->currentIndex();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(ConstLang::GprsProtocolItems(language));
    box->setCurrentIndex(selected < box->count() ? selected : -1);
}

void RenameThRows(const ILanguageWindow &window, int language)
{
    QTreeWidget *lvTh = window.Views().lvTh;
    if (lvTh == nullptr)
        return;
    const QStringList captions = ConstLang::ThRowCaptions(window.ModelIndex(), language);
    const int rows = qMin(int(captions.size()), lvTh->topLevelItemCount());
    for (int row = 0; row < rows; ++row)
        lvTh->topLevelItem(row)->setText(0, captions.at(row));
}

} // namespace

QStringList TLanguage::ApplyTable(ILanguageWindow &window, int language)
{
    QStringList unplaced;
    if (!IsLanguage(language))
        return unplaced;
    QWidget &root = *window.LanguageRoot();

    for (const ConstLang::TLangTarget &target : ConstLang::Targets()) {
        if (target.kind == TargetKind::GridHeader)
            continue;
        const std::optional<QString> text = target.Text(language);
        if (!text)
            continue;
        // A menu is found twice, as the menu and as its action in the menu bar.
        bool placed = false;
        for (QObject *control : root.findChildren<QObject *>(QString::fromLatin1(target.control)))
            placed = WriteTarget(root, control, target, *text) || placed;
        if (!placed)
            unplaced << Describe(target);
    }

    root.setWindowTitle(ConstLang::WindowCaption(language, ProgramVersionText()));
    RefillGprsProtocolBox(root, language);
    RenameThRows(window, language);
    return unplaced;
}

QStringList TLanguage::ApplyChinese(ILanguageWindow &window)
{
    return ApplyTable(window, ConstLang::Chinese);
}

QStringList TLanguage::ApplyEnglish(ILanguageWindow &window)
{
    return ApplyTable(window, ConstLang::English);
}

namespace {

// The Language menu ticks the language in use, one of the two.
void TickLanguage(QWidget &root, int language)
{
    auto *chinese = root.findChild<QAction *>(QStringLiteral("N_CN"));
    auto *english = root.findChild<QAction *>(QStringLiteral("N_EN"));
    if (!chinese || !english)
        return;
    if (!chinese->actionGroup()) {
        auto *group = new QActionGroup(chinese->parent());
        group->setExclusive(true);
        for (QAction *item : {chinese, english}) {
            item->setCheckable(true);
            group->addAction(item);
        }
    }
    (language == ConstLang::Chinese ? chinese : english)->setChecked(true);
}

} // namespace

void TLanguage::SwitchLanguage(ILanguageWindow &window, int language)
{
    if (!IsLanguage(language))
        return;
    ApplyTable(window, language);
    TComm::SetLanguage(language);

    // The window's own resize handling sizes the list-view columns for the
    // new captions; the geometry stays as it is, so a maximised window is
    // not disturbed.
    QWidget &root = *window.LanguageRoot();
    QResizeEvent resize(root.size(), root.size());
    QCoreApplication::sendEvent(&root, &resize);

    TSoftDateTime::BuildTimerLists(language);
    if (QTreeWidget *lvTimer = window.Views().lvTimer)
        TSoftDateTime::RetranslateTimerRows(lvTimer, language);
    if (THistorySheet *history = window.History())
        history->Retranslate(language);

    // Texts that are not in the table of targets but follow the language too.
    if (QTreeWidget *lvDo = window.Views().lvDo)
        TSoftDiDoTh::RetranslateDoStatus(lvDo, language);
    if (auto *frameBar = root.findChild<TFrameBar *>(QStringLiteral("FrameBar")))
        frameBar->Retranslate(language);
    if (TFormDeviceCard *card = window.DeviceCard())
        card->Retranslate(language);
    for (TSoftSkins *skins : root.findChildren<TSoftSkins *>())
        skins->Retranslate(language);
    for (TProtocolDebugSwitch *debug : root.findChildren<TProtocolDebugSwitch *>())
        debug->Retranslate(language);
    TickLanguage(root, language);
    QtTranslations::Use(language);
}

void TLanguage::N_CNClick(ILanguageWindow &window)
{
    window.ApplyLanguage(ConstLang::Chinese);
}

void TLanguage::N_ENClick(ILanguageWindow &window)
{
    window.ApplyLanguage(ConstLang::English);
}
