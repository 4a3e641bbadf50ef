#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QMessageBox;
class QPushButton;

// The window the message window disables while it is shown: the main window
// registers itself here once it exists (null: nothing registered). Without a
// registered window, the window active at the time of the call is disabled.
void RegisterMainWindow(QWidget *mainWindow);
QWidget *RegisteredMainWindow();

// Centres window over owner's window (or the screen) and keeps it above
// owner without making it a child, since a child would be disabled with it.
void PlaceOverWindow(QWidget *window, QWidget *owner);

// A standard box whose text is taller than most of the screen shows it in
// a scroll area (objectName "scr_Text"), so that the box and its buttons
// stay on the screen.
void FitTextToScreen(QMessageBox *box);

// The program's own message window for "done" confirmations: fixed 391 x 152,
// a bold text, a line and an OK button. One instance, created on first use
// and shown again for every message; OK or closing it in any other way hides
// it and enables the window that was disabled for it.
class TFormMessage : public QDialog
{
    Q_OBJECT
public:
    // The instance, created on first use; it lives until the application ends.
    static TFormMessage *instance();
    // The instance when it exists, else null.
    static TFormMessage *existingInstance();

    // Sets caption and text, shows the window without making it modal and
    // disables target (this happens even when showing fails).
    void ShowMessage(const QString &text, const QString &caption, QWidget *target);

    QLabel *lbl_Info = nullptr;
    QPushButton *sbtbtn_Ok = nullptr;

protected:
    void hideEvent(QHideEvent *event) override;

private:
    TFormMessage();
    void sbtbtn_OkClick();

    QPointer<QWidget> m_disabledWindow;
};

// Shows text in the message window, titled caption (empty when absent), and
// disables the main window until OK; returns at once without waiting.
void ShowMessageWindow(const QString &text, const QString &caption = {});
