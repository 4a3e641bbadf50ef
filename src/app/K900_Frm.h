#pragma once

#include "app/Const_Unt.h"
#include "views/MainSheets.h"
#include "views/SettingsViews_Unt.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QCheckBox;
class QEventLoop;
class QLabel;
class QMenu;
class QTimer;
class TComm;
class TDeviceWatcher;
class TFormDeviceCard;
class TReplyMachine;
class TSoftMaster;
class THistorySheet;
class TIniSeting;

// The main window: owner of the device connection after the login, of the
// request-reply machinery every device operation uses, and of the pages the
// settings views fill.
class TFormK900 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormK900(QWidget *parent = nullptr);
    ~TFormK900() override;

    TComm *ComPort() const { return m_comPort; }
    TReplyMachine *Replies() const { return m_replies; }
    const TMainSheets &Sheets() const { return m_sheets; }
    const TSettingsViews &Views() const { return m_views; }
    TSoftMaster *Master() const { return m_master; }
    THistorySheet *History() const { return m_history; }
    // The welcome page's card of the connected device.
    TFormDeviceCard *DeviceCard() const { return m_deviceCard; }
    // −1 until the first version reply, then 0 K801, 1 K802, 2 K803.
    int ModelIndex() const { return m_modelIndex; }
    // 0 Chinese, 1 English.
    int Language() const { return m_language; }
    bool ViewMode() const;
    QString StatusText() const;

    void SetExpectedReply(Const::TExpectedReply state);

    // How a flow's wait for one reply ended.
    enum class TWait { Reply, TimedOut, Stopped };
    // How long a flow stays idle after a time-out before it may ask again.
    static constexpr int LateReplySettleMs = 1500;
    // Quiet time after a reply that was no valid answer, so that the rest of
    // a broken reply is dropped instead of being taken for the next answer.
    static constexpr int BadReplyDrainMs = 250;
    // Waits BadReplyDrainMs with nothing expected (a flow calls it before
    // asking again after a reply it could not use).
    void DrainAfterBadReply();
    // Sets the expected reply, sends, and waits (processing events) until the
    // reply, the time-out or the stop flag; the reply is in LastFlowReply().
    // A request still waiting for its own reply is let finish first.
    TWait RequestAndWait(Const::TExpectedReply state, const std::function<void()> &send);
    const QByteArray &LastFlowReply() const { return m_flowReply; }

    // Start-up exchange: open the port again, password check (then version).
    void FormShow();

    // Language switch targets (filled in by the language tables).
    void ApplyLanguage(int language);

    // User commands that talk to the device outside the long flows.
    void Pop_DisCommPortClick();
    void Pop_RepCommPortClick();
    void Pop_ReBootClick();
    void Pop_RESETClick();
    void btn_Main_Timer_ReadClick();
    void btn_Main_Timer_WriteClick();
    void btn_PC_TimeClick();
    void btn_DO1_CloseClick();
    void btn_DO1_OpenClick();
    void btn_Do2_CloseClick();
    void btn_Do2_OpenClick();
    void Menu_R_DOClick();
    void Menu_R_THClick();
    void N_ExitClick();
    void N_AboutClick();

signals:
    // The version reply set the model index.
    void ModelKnown(int modelIndex, const QString &modelText);
    // A chunk for the current-value states, for the channel views.
    void DoStatusReply(const QByteArray &chunk);
    void ThValuesReply(const QByteArray &chunk);
    void HistoryLineReply(const QByteArray &chunk);
    void HistoryEraseProgress(const QByteArray &chunk);
    // A text the user should read ("Successfully!" and the like) was shown.
    void MessageShown(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void BuildMenus();
    void BuildPages();
    void BuildStatusBar();
    void ConnectViewControls();
    void ComPortReceiveData(const QByteArray &chunk);
    void ComPortReceiveError(quint32 eventMask);
    void ComPortHangup();
    // Closes the port after a line error or its loss; the window keeps its contents.
    void ConnectionLost();
    // Processes events until done() holds; looks every 10 ms and when a flow
    // reply is taken.
    void WaitUntil(const std::function<bool()> &done);
    void tmrOutTimer();
    void ReplyTimedOut(Const::TExpectedReply state);
    void ShowVersionReply(const QByteArray &chunk);
    void ShowClockReply(const QByteArray &chunk);
    void PasswordCheckReply(const QByteArray &chunk);
    void DeviceRemoved();
    void ShowDone(const QString &caption);
    bool OpenPortShowingError();
    void SetStatusText(const QString &text);
    // The status bar's "<port>  Disconnected".
    void ShowDisconnected();
    QString Text(const char *key) const;
    QWidget *Control(const char *name) const;
    QString PasswordFieldText() const;
    void SendRelayLine(void (*send)(TComm &));

    TComm *m_comPort = nullptr;
    TReplyMachine *m_replies = nullptr;
    QTimer *tmrOut = nullptr;
    TDeviceWatcher *m_deviceWatcher = nullptr;
    TMainSheets m_sheets;
    TSettingsViews m_views;
    TSoftMaster *m_master = nullptr;
    THistorySheet *m_history = nullptr;
    TIniSeting *m_iniSeting = nullptr;
    QWidget *m_frameBar = nullptr;
    QLabel *m_statusLabel = nullptr;
    QCheckBox *m_autoStartBox = nullptr;
    QCheckBox *m_debugBox = nullptr;
    TFormDeviceCard *m_deviceCard = nullptr;
    bool m_shown = false;
    int m_modelIndex = -1;
    int m_language = 1;
    bool m_flowWaiting = false;
    Const::TExpectedReply m_flowState = Const::ReplyIdle;
    QByteArray m_flowReply;
    bool m_flowGotReply = false;
    QEventLoop *m_flowLoop = nullptr;
};
