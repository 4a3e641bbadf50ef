#pragma once

#include "debug/ProtocolNotation_Unt.h"

#include <QByteArray>
#include <QCheckBox>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;
class QTextEdit;

// The protocol debug window: the bytes sent to the device in the left pane,
// the chunks received from it in the right pane, in one of four notations.
// It records while the protocol log (TFrameLog) is switched on; every logged
// byte is also kept in the byte list of its direction, so a notation change
// redraws everything logged since the last Clear, older shows included.
// Created once by the main window's Debug box and kept for the run; closing
// only hides it and stops the recording.
class TFormProtocolDebug : public QWidget
{
    Q_OBJECT
public:
    // mainWindow: the window it belongs to and is centred on when shown.
    // debugBox: the main window's Debug box, unticked when this window closes.
    explicit TFormProtocolDebug(QWidget *mainWindow, QCheckBox *debugBox = nullptr);

    // One frame sent (direction 0) or chunk received (direction 1). Nothing
    // when the protocol log is off. Ansi mode replaces the pane's whole text
    // by the frame; the other modes add the frame as one new line.
    void LogFrame(const QByteArray &bytes, int direction);

    // Captions in language 0 (Chinese, the start) or 1 (English).
    void Retranslate(int language);

    TDisplayMode DisplayMode() const { return m_mode; }
    // The notation change of the four option buttons: nothing when mode is
    // the current one; otherwise both panes are redrawn from the byte lists,
    // frame-start bytes in red.
    void SetDisplayMode(TDisplayMode mode);

    // Every byte logged per direction since the last Clear.
    const QByteArray &SendBytes() const { return m_sendBytes; }
    const QByteArray &RecvBytes() const { return m_recvBytes; }

    // Number of lines each pane shows (a line break at the very end starts
    // no further line; the empty pane has none).
    int SendLineCount() const;
    int RecvLineCount() const;

    void btn_Clear_SendClick();
    void btn_Clear_RecvClick();
    void btn_Clear_AllClick();
    // Show the pane's line count in a message box.
    void btn_SendLinsClick();
    void btn_RecvLinesClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void FormCreate();
    QTextEdit *NewPane(const char *name, QGroupBox *group);
    QRadioButton *NewModeButton(const char *name, const char *caption, TDisplayMode mode,
                                QGroupBox *group);
    QPushButton *NewToolButton(const char *name, const char *caption, QGroupBox *group,
                               void (TFormProtocolDebug::*handler)());
    void AddFrameText(QTextEdit *pane, const QString &text);
    void Redraw(QTextEdit *pane, const QByteArray &bytes);
    void ShowLineCount(int count);

    QPointer<QCheckBox> m_debugBox;
    TDisplayMode m_mode = TDisplayMode::Hex;
    QByteArray m_sendBytes;
    QByteArray m_recvBytes;
    QTextEdit *mSend = nullptr;
    QTextEdit *mRecv = nullptr;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

// The Debug box's switch: ticking it switches the protocol log on, creates
// the debug window on the first tick and shows it; unticking switches the log
// off and closes the window. Lives as a child of the box.
class TProtocolDebugSwitch : public QObject
{
    Q_OBJECT
public:
    TProtocolDebugSwitch(QWidget *mainWindow, QCheckBox *debugBox);

    // The window once the box was first ticked, else nullptr.
    TFormProtocolDebug *Window() const { return m_window; }
    // The window's language, now and for a window made later.
    void Retranslate(int language);
    QCheckBox *DebugBox() const { return m_debugBox; }

private:
    void chk_DebugClick(bool checked);

    QPointer<QWidget> m_mainWindow;
    QPointer<QCheckBox> m_debugBox;
    QPointer<TFormProtocolDebug> m_window;
    int m_language = 0;
};

// Wires the main window's Debug box to the debug window (see
// TProtocolDebugSwitch). Call once, after the box exists; the box may stay
// hidden. Returns the switch, owned by the box.
TProtocolDebugSwitch *InstallProtocolDebug(QWidget *mainWindow, QCheckBox *debugBox);

// Appends to menu a checkable item (objectName "N_ProtocolDebug") that ticks
// and unticks the Debug box and follows it, so the debug window can be
// reached while the box stays hidden. Its caption is set by the language
// switch; until then it reads "Protocol Debug".
QAction *AddProtocolDebugAction(QMenu *menu, QCheckBox *debugBox);
