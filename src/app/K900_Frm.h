#pragma once

#include "base/Const_Unt.h"
#include "dialogs/ReasonPrompt_Frm.h"
#include "config/ConfigDiff_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "lang/TLanguage_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "views/MainSheets.h"
#include "views/SettingsViews_Unt.h"

#include <QMainWindow>
#include <functional>

class QAction;
class TAuditRecorder;
class QCheckBox;
class QLabel;
class QMenu;
class TComm;
class TDeviceConnection;
class TDeviceJob;
class TDeviceSession;
class TDeviceWatcher;
class TFormDeviceCard;
class TSoftMaster;
class THistorySheet;
class TIniSeting;
class TJobRunner;
struct TDeviceIdentity;
struct TJobVerdict;

// The main window: owner of the device connection after the login (the
// login window hands it over), and of the pages the settings views fill. Its handlers start jobs on the session and
// observe them; none of them waits. While the session is busy every action
// that talks to the device is disabled.
class TFormK900 : public QMainWindow, public ILanguageWindow
{
    Q_OBJECT
public:
    // connection: the login window's, logged in or in View mode; the window
    // takes it over. Without one the window makes its own, closed.
    explicit TFormK900(TDeviceConnection *connection = nullptr, QWidget *parent = nullptr);
    ~TFormK900() override;

    TDeviceConnection *Connection() const { return m_connection; }
    TDeviceSession *Session() const;
    TComm *ComPort() const;
    const TMainSheets &Sheets() const { return m_sheets; }
    QWidget *LanguageRoot() override { return this; }
    const TSettingsViews &Views() const override { return m_views; }
    TSoftMaster *Master() const { return m_master; }
    THistorySheet *History() const override { return m_history; }
    TIniSeting *Profiles() const { return m_iniSeting; }
    // The job running now (its progress window is up), or null.
    TDeviceJob *CurrentJob() const;
    // The welcome page's card of the connected device.
    TFormDeviceCard *DeviceCard() const override { return m_deviceCard; }
    // −1 until the first version reply, then 0 K801, 1 K802, 2 K803.
    int ModelIndex() const override { return m_modelIndex; }
    // 0 Chinese, 1 English.
    int Language() const { return m_language; }
    bool ViewMode() const;
    QString StatusText() const;
    // The last good news the status bar shows ("The settings were read."),
    // and its link state with the time of the device's last answer.
    QString NewsText() const;
    QString LinkText() const;

    // Start-up: the texts and rows, then what the connection is at.
    void FormShow();

    // Language switch targets (filled in by the language tables).
    void ApplyLanguage(int language) override;

    // Configuration read and write, with their progress windows.
    void Pop_ReadMaster_SetingClick();
    void Pop_WirteMasterClick();
    // The fields that differ between the device (or a profile file) and the
    // panes; restoring a backup of what the device held before a write.
    void Pop_CompareDeviceClick();
    void Pop_CompareProfileClick();
    void Pop_RestoreBackupClick();
    // True when the panes differ from what was last read, loaded or written.
    bool EditsUnsaved() const;
    // True when the panes hold settings read, loaded or restored: Write
    // Setting is possible only then.
    bool SettingsKnown() const { return m_settingsKnown; }
    // The backups of what devices held before each write.
    TBackupStore &Backups() { return m_backups; }
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
    // Load Profile, asking first when the panes hold unsaved edits.
    void N_OpenClick();
    // System > Audit Trail.
    void Pop_AuditTrailClick();
    // Records the device actions of this window's connection.
    TAuditRecorder *Audit() const { return m_audit; }
    // Asks for the reason of an action that changes the device (the prompt
    // dialog; tests replace it).
    TAskReason AskReason;

signals:
    // The version reply set the model index.
    void ModelKnown(int modelIndex, const QString &modelText);
    // A current-values answer for the channel views.
    void DoStatusReply(const QByteArray &chunk);
    void ThValuesReply(const QByteArray &chunk);
    // A text the user should read ("Successfully!" and the like) was shown.
    void MessageShown(const QString &text);
    // A configuration read or write ended with this text shown (empty when
    // nothing was shown).
    void FlowFinished(bool ok, const QString &message);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A title set anew (by the language tables) keeps the edited mark.
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void BuildMenus();
    void BuildPages();
    void BuildStatusBar();
    void ConnectViewControls();
    // Enables the device actions when the session is idle and open.
    void UpdateDeviceActions();
    // Closes the window once the running job has ended, asking first.
    void AskToStopAndClose();
    void ConnectionLost();
    // Closes the port, opens it again and logs in with password.
    void StartLogin(const QString &password);
    void LoginEnded(bool loggedIn);
    void ShowIdentity(const TDeviceIdentity &identity);
    void DeviceRemoved();
    void ShowError(const QString &text);
    // Tells the verdict of a job in the window: an error box, a message
    // (titled caption) or nothing. A flow (configuration read or write)
    // ends with FlowFinished, anything else with MessageShown.
    void Tell(const TJobVerdict &verdict, bool flow = false);
    void Tell(const TJobVerdict &verdict, bool flow, const QString &caption);
    // True when the connection can run an action with these needs (see
    // TDeviceConnection::canRun); otherwise tells the user why not.
    bool CanRun(int needs);
    // Runs the job of a short action (no progress window); then runs with
    // the job once it has ended as Done, any other end is told.
    void RunShort(TDeviceJob *job, std::function<void()> then);
    void SetStatusText(const QString &text);
    // Good news: said in the status bar (with its time), never in a box.
    void ShowNews(const QString &text);
    // The status bar's link state and the time of the device's last answer.
    void UpdateLinkLabel();
    // The status bar's "<port>  Disconnected".
    void ShowDisconnected();
    QString Text(const char *key) const;
    QWidget *Control(const char *name) const;
    QString PasswordFieldText() const;
    void SwitchRelay(const char *keyword);
    void AskCurrentValues(Const::TExpectedReply kind);
    // The settings the panes show, without the live readings.
    TConfigValues SettingsShown() const;
    // The panes now match the device or a file: no unsaved edits.
    void MarkSaved();
    // Shows the mark while the panes differ from what was last read or
    // written; called on the panes' edit signals, never by a timer.
    void UpdateEditedMark();
    void ShowEditedMark(bool edited);
    void ConnectEditedMark();
    // Runs proceed at once without unsaved edits; else asks: save as a
    // profile (then proceed once saved), discard (proceed) or cancel.
    void AskUnsavedEdits(std::function<void()> proceed);
    // True when it asked first (the handler runs again once the user lets
    // the edits go); false when the handler may go on.
    bool AskFirstIfEdited(void (TFormK900::*handler)());
    // Writes image through the verified write; action names it in the audit
    // trail when it is no plain write ("restore"); written runs once it is
    // written and verified (else the panes that match it count as saved).
    void StartVerifiedWrite(const QByteArray &image, const QString &action = QString(),
                            std::function<void()> written = {});
    // Asks for the reason of a changing action first; true when it asked
    // (again then runs with the reason given), false when the handler may go on.
    bool AskReasonFirst(std::function<void()> again);
    // The job with the reason last given, for the audit trail.
    TDeviceJob *Noted(TDeviceJob *job, const QString &action = QString());
    // Asks before a backup is written, listing the fields it would change.
    void AskRestore(const TBackupEntry &entry, const QByteArray &device, const QByteArray &backup);
    // The panes hold settings from the device, a profile or a backup.
    void SetSettingsKnown(bool known);
    // The differences table; nextText and next: the step it offers (load
    // the profile, write the panes), none when nextText is empty.
    void ShowDifferences(const QList<TFieldDiff> &diffs, const QString &otherHeader,
                         const QString &nextText = QString(), const char *nextName = nullptr,
                         std::function<void()> next = {});
    QString FieldCaption(const TFieldDiff &diff) const;
    QString CaptionOf(const TConfigError &where) const;
    // Reads the device's image (no current values), then calls then with it.
    void ReadDeviceImage(std::function<void(const QByteArray &)> then);

    TBackupStore m_backups;
    // The device's image of this connection's last read, until a write.
    QByteArray m_deviceImage;
    // What the panes held when last read, loaded or written.
    TConfigValues m_savedValues;
    QString m_imei;
    bool m_editsConfirmed = false;
    TAuditRecorder *m_audit = nullptr;
    QString m_reason;
    bool m_reasonGiven = false;
    // Whether the panes hold settings that came from the device, a profile
    // or a backup: only those may be written (an empty pane would write
    // device ID 0 and empty phone numbers).
    bool m_settingsKnown = false;
    TDeviceConnection *m_connection = nullptr;
    TJobRunner *m_runner = nullptr;
    TDeviceWatcher *m_deviceWatcher = nullptr;
    TMainSheets m_sheets;
    TSettingsViews m_views;
    TSoftMaster *m_master = nullptr;
    THistorySheet *m_history = nullptr;
    TIniSeting *m_iniSeting = nullptr;
    QWidget *m_frameBar = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLabel *m_linkLabel = nullptr;
    QLabel *m_newsLabel = nullptr;
    // "Edited" while the panes differ from what was last read, loaded or written.
    QLabel *m_editedLabel = nullptr;
    bool m_editedShown = false;
    QCheckBox *m_autoStartBox = nullptr;
    QCheckBox *m_debugBox = nullptr;
    TFormDeviceCard *m_deviceCard = nullptr;
    bool m_shown = false;
    bool m_closeAfterJob = false;
    bool m_closing = false;
    int m_modelIndex = -1;
    int m_language = 1;
};
