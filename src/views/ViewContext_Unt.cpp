#include "views/ViewContext_Unt.h"

#include "base/Funs_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "look/ComponentEx.h"
#include "look/TabOrder_Unt.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLayout>
#include <QMenu>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>

#include <algorithm>
#include <vector>

namespace ViewContext {

namespace {

struct TSources {
    std::function<int()> language;
    std::function<int()> modelIndex;
    std::function<void(const QString &)> message;
};

// Sources installed by windows, newest last; a window's entry goes with it.
struct TOwnedSources {
    QPointer<QObject> owner;
    TSources sources;
};

// Sources set without an owner (views used on their own, tests).
TSources &Sources()
{
    static TSources sources;
    return sources;
}

std::vector<TOwnedSources> &OwnedSources()
{
    static std::vector<TOwnedSources> owned;
    return owned;
}

const TSources &Current()
{
    std::vector<TOwnedSources> &owned = OwnedSources();
    while (!owned.empty() && !owned.back().owner)
        owned.pop_back();
    return owned.empty() ? Sources() : owned.back().sources;
}

// The main window when it is shown: a box over it is centred on it, also
// when another of the program's windows has the focus.
QWidget *MainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("FormK900") && widget->isVisible())
            return widget;
    }
    return QApplication::activeWindow();
}

void ShowStandardBox(const QString &text)
{
    const int language = CurrentLanguage() == ConstLang::Chinese ? ConstLang::Chinese : ConstLang::English;
    auto *box = new QMessageBox(QMessageBox::Information, ConstLang::WindowCaption(language, ProgramVersionText()),
                                text, QMessageBox::Ok, MainWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

void InstallSources(QObject *owner, std::function<int()> language,
                    std::function<int()> modelIndex,
                    std::function<void(const QString &text)> message)
{
    std::vector<TOwnedSources> &owned = OwnedSources();
    owned.erase(std::remove_if(owned.begin(), owned.end(),
                               [](const TOwnedSources &entry) { return !entry.owner; }),
                owned.end());
    owned.push_back({owner, {std::move(language), std::move(modelIndex), std::move(message)}});
}

void SetLanguageSource(std::function<int()> source)
{
    Sources().language = std::move(source);
}

void SetModelIndexSource(std::function<int()> source)
{
    Sources().modelIndex = std::move(source);
}

void SetMessageSink(std::function<void(const QString &)> sink)
{
    Sources().message = std::move(sink);
}

int CurrentLanguage()
{
    const TSources &sources = Current();
    return sources.language ? sources.language() : ConstLang::English;
}

int CurrentModelIndex()
{
    const TSources &sources = Current();
    return sources.modelIndex ? sources.modelIndex() : -1;
}

void ShowMessage(const QString &text)
{
    const TSources &sources = Current();
    if (sources.message)
        sources.message(text);
    else
        ShowStandardBox(text);
}

QString Text(const char *key)
{
    return ConstLang::Text(QString::fromLatin1(key), CurrentLanguage());
}

QString TargetText(const char *control, ConstLang::TargetKind kind, int index, int language)
{
    const ConstLang::TLangTarget *target =
        ConstLang::FindTarget(QString::fromLatin1(control), kind, index);
    if (target == nullptr)
        return QString();
    return target->Text(language).value_or(QString());
}

void NameWithCaption(QObject *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    using ConstLang::TargetKind;
    if (auto *edit = qobject_cast<TLabeledEdit *>(control)) {
        // Hints come with the first language switch only: Chinese leaves them
        // empty in a run that never used English.
        edit->setLabelText(TargetText(name, TargetKind::Label, -1, ConstLang::English));
        return;
    }
    const QString caption = TargetText(name, TargetKind::Caption, -1, ConstLang::English);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setText(caption);
}

} // namespace ViewContext

void ViewContext::PrepareEditorWindow(QDialog *dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (dialog->layout() != nullptr)
        dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
    if (QWidget *first = TabOrder::FollowLayout(dialog))
        first->setFocus();
}

TEditedRow::TEditedRow(QTreeWidget *view, int rowIndex)
    : m_view(view), m_row(view ? view->topLevelItem(rowIndex) : nullptr), m_rowIndex(rowIndex)
{
}

QTreeWidgetItem *TEditedRow::Row() const
{
    if (m_view.isNull() || m_row == nullptr)
        return nullptr;
    QTreeWidgetItem *current = m_view->topLevelItem(m_rowIndex);
    return current == m_row ? current : nullptr;
}

QAction *ViewContext::AddMenuItem(QMenu *menu, const char *name)
{
    auto *action = new QAction(menu);
    NameWithCaption(action, name);
    menu->addAction(action);
    return action;
}
