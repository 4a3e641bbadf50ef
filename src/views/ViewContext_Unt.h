#pragma once

#include "lang/ConstLang_Unt.h"

#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <functional>

class QAction;
class QDialog;
class QMenu;
class QObject;

// What the settings views read from the main window at the moment they need
// it: the language flag, the model index, and where a message to the user
// goes. The main window installs its sources once, before it is shown; until
// then the views work in English, with no model known, and show messages in a
// standard box titled with the application's display name.
namespace ViewContext {

// The three sources of a window: they serve while owner lives and the
// window installed after it does not; when owner is destroyed they go, and
// the sources installed before them serve again.
void InstallSources(QObject *owner, std::function<int()> language,
                    std::function<int()> modelIndex,
                    std::function<void(const QString &text)> message);

// Sources without an owner, used when no window has installed any.
// 0 Chinese, 1 English.
void SetLanguageSource(std::function<int()> source);
// -1 before the first version reply, then 0 K801, 1 K802, 2 K803.
void SetModelIndexSource(std::function<int()> source);
// Shows a text to the user (the program's message window, titled with the
// application title); returns at once.
void SetMessageSink(std::function<void(const QString &text)> sink);

int CurrentLanguage();
int CurrentModelIndex();
void ShowMessage(const QString &text);

// A module-wide text or point-of-use text in the current language.
QString Text(const char *key);

// The text of a main window target in a language; empty when the table has no
// such target or the language leaves it unchanged.
QString TargetText(const char *control, ConstLang::TargetKind kind, int index, int language);

// Gives a control its objectName and the caption of its target in English, the
// caption it carries until the first language switch.
void NameWithCaption(QObject *control, const char *name);

// Appends a pop-up menu item with its objectName and English caption.
QAction *AddMenuItem(QMenu *menu, const char *name);

// Gives an editor dialog its frame: fixed size, only the system menu and the
// close box.
void PrepareEditorWindow(QDialog *dialog);

} // namespace ViewContext

// The row an editor was opened on. Editors write only to that row, and only
// while it is still that row of its view.
class TEditedRow
{
public:
    TEditedRow(QTreeWidget *view, int rowIndex);
    int Index() const { return m_rowIndex; }
    // The row, or nullptr when the view or the row is gone.
    QTreeWidgetItem *Row() const;

private:
    QPointer<QTreeWidget> m_view;
    const QTreeWidgetItem *m_row;
    int m_rowIndex;
};
