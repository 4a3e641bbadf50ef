#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TComm;
class TDeviceConnection;
class TDeviceJob;
class TDeviceWatcher;

// The first window: pick a port, type the device password, log in. The login
// runs as the login job on the window's device connection; on an accepted
// password (or the hidden text for View mode) the dialog is accepted and the
// connection, logged in (or in View mode), is handed to the main window.
class TFormLogin : public QDialog
{
    Q_OBJECT
public:
    // extraPorts come first in the port list (the first of them is selected),
    // then the machine's serial ports, the network ports logged in through
    // before (most recent first), then the demo devices. Any other name may
    // be typed.
    explicit TFormLogin(const QStringList &extraPorts = {}, QWidget *parent = nullptr);
    ~TFormLogin() override;

    bool ViewMode() const { return m_viewMode; }
    // The connection's port (the same port the main window goes on with).
    TComm *ComPort() const;
    TDeviceConnection *Connection() const { return m_connection; }
    // Hands the connection over: the caller owns it from now on.
    TDeviceConnection *TakeConnection();
    // The texts of this run: 0 Chinese, 1 English; chosen by the locale when shown.
    int Language() const { return m_language; }
    void SetLanguageForTest(int language) { m_forcedLanguage = language; }

    static QStringList DemoPorts();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FillPortList(const QStringList &serialPorts);
    void FormShow();
    void cbb_ComPortChange();
    void btn_LoginClick();
    void btn_LogOutClick();
    void tmrOutTimer();
    void LoginEnded(TDeviceJob *login);
    // The line under the fields while the password reply is awaited: the
    // seconds left; empty otherwise.
    void ShowWaiting();

    QStringList m_extraPorts;
    // The user picked or typed a port: refills of the list keep it.
    bool m_portChosen = false;
    QLabel *lbl_CommPort = nullptr;
    QComboBox *cbb_ComPort = nullptr;
    QLabel *lbl_Password = nullptr;
    QLineEdit *edt_Password = nullptr;
    QPushButton *btn_Login = nullptr;
    QPushButton *btn_LogOut = nullptr;
    QLabel *lbl_Waiting = nullptr;
    TDeviceConnection *m_connection = nullptr;
    QTimer *tmrOut = nullptr;
    TDeviceWatcher *m_deviceWatcher = nullptr;

    int m_waitingTag = 0;      // 1124 while a password reply is awaited
    QString m_waitingPort;     // the port being connected to
    // A login failure in plain words: the Part's short text first, then the
    // port, the cause and what to do next.
    QString FailureText(const QString &shortText, const char *detailKey) const;
    int m_timeOutTicks = 0;
    bool m_viewMode = false;
    int m_language = 1;
    int m_forcedLanguage = -1;
    QString m_msgDataError;
    QString m_msgPasswordError;
    QString m_msgTimeOut;
};
