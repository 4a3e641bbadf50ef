#include "app/Login_Frm.h"

#include "base/Const_Unt.h"
#include "platform/DeviceWatcher_Unt.h"
#include "base/Funs_Unt.h"
#include "dialogs/Questions_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "link/PortNames_Unt.h"
#include "link/SerialPort_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"

#include <QComboBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
#include <QVBoxLayout>

namespace {

// Seconds shown while the password reply is awaited; the login job's own
// time-out (TLoginJob::LoginWindowPacing) ends the wait.
constexpr int LoginTimeOutTicks = 5;

// What may stand in the password field: letters and digits. Typed and pasted
// text pass the same filter; other characters are dropped, not refused, so a
// pasted password with a stray space still arrives.
class TPasswordValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override
    {
        QString kept;
        kept.reserve(input.size());
        int keptBeforeCursor = 0;
        for (int index = 0; index < input.size(); ++index) {
            QChar character = input.at(index);
            PasswordKeyFilter(character);
            // Backspace, Enter and Delete pass the key filter but are no text.
            if (character.isNull() || !character.isLetterOrNumber())
                continue;
            kept += character;
            if (index < position)
                ++keptBeforeCursor;
        }
        input = kept;
        position = keptBeforeCursor;
        return Acceptable;
    }
};

} // namespace

TFormLogin::TFormLogin(const QStringList &extraPorts, QWidget *parent)
    : QDialog(parent), m_extraPorts(extraPorts)
{
    setObjectName(QStringLiteral("FormLogin"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(852, 546);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("wiLogin"));
    picture->setMinimumHeight(400);
    picture->setAlignment(Qt::AlignCenter);
    picture->setText(QStringLiteral("K801 / K802 / K803"));
    picture->setStyleSheet(QStringLiteral(
        "QLabel#wiLogin { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #1d5f8a, stop:1 #8fc4e0); color: white; font-size: 36px; }"));

    lbl_CommPort = new QLabel(this);
    lbl_CommPort->setObjectName(QStringLiteral("lbl_CommPort"));
    cbb_ComPort = new QComboBox(this);
    cbb_ComPort->setObjectName(QStringLiteral("cbb_ComPort"));
    // A network serial server's address is typed (tcp://HOST:PORT,
    // rfc2217://HOST:PORT); the list offers the ones used before.
    cbb_ComPort->setEditable(true);
    cbb_ComPort->setInsertPolicy(QComboBox::NoInsert);
    cbb_ComPort->setMinimumWidth(180);
    lbl_Password = new QLabel(this);
    lbl_Password->setObjectName(QStringLiteral("lbl_Password"));
    edt_Password = new QLineEdit(QString::fromLatin1(Const::DefaultPassword), this);
    edt_Password->setObjectName(QStringLiteral("edt_Password"));
    edt_Password->setEchoMode(QLineEdit::Password);
    edt_Password->setMaxLength(9);
    edt_Password->setValidator(new TPasswordValidator(edt_Password));
    edt_Password->installEventFilter(this);
    btn_Login = new QPushButton(this);
    btn_Login->setObjectName(QStringLiteral("btn_Login"));
    btn_Login->setAutoDefault(false);
    btn_LogOut = new QPushButton(this);
    btn_LogOut->setObjectName(QStringLiteral("btn_LogOut"));
    btn_LogOut->setAutoDefault(false);
    lbl_Waiting = new QLabel(this);
    lbl_Waiting->setObjectName(QStringLiteral("lbl_Waiting"));
    lbl_Waiting->setAlignment(Qt::AlignCenter);

    // Tab reads the fields first, then the buttons beside them, whatever
    // order they were made in.
    QWidget::setTabOrder(cbb_ComPort, edt_Password);
    QWidget::setTabOrder(edt_Password, btn_Login);
    QWidget::setTabOrder(btn_Login, btn_LogOut);

    auto *controls = new QGridLayout;
    controls->addWidget(lbl_CommPort, 0, 0);
    controls->addWidget(cbb_ComPort, 0, 1);
    controls->addWidget(btn_Login, 0, 2);
    controls->addWidget(lbl_Password, 1, 0);
    controls->addWidget(edt_Password, 1, 1);
    controls->addWidget(btn_LogOut, 1, 2);
    controls->setColumnStretch(3, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    // The picture takes whatever height the fields leave, so no band of
    // empty space opens above or below it.
    layout->addWidget(picture, 1);
    auto *controlsRow = new QHBoxLayout;
    controlsRow->addStretch();
    controlsRow->addLayout(controls);
    controlsRow->addStretch();
    layout->addLayout(controlsRow);
    layout->addWidget(lbl_Waiting);

    m_connection = new TDeviceConnection(this);

    tmrOut = new QTimer(this);
    tmrOut->setObjectName(QStringLiteral("tmrOut"));
    tmrOut->setInterval(1000);
    connect(tmrOut, &QTimer::timeout, this, &TFormLogin::tmrOutTimer);

    connect(cbb_ComPort, &QComboBox::currentIndexChanged, this, &TFormLogin::cbb_ComPortChange);
    connect(cbb_ComPort, &QComboBox::activated, this, [this] { m_portChosen = true; });
    connect(cbb_ComPort->lineEdit(), &QLineEdit::textEdited, this, [this] { m_portChosen = true; });
    connect(btn_Login, &QPushButton::clicked, this, &TFormLogin::btn_LoginClick);
    connect(btn_LogOut, &QPushButton::clicked, this, &TFormLogin::btn_LogOutClick);

    m_deviceWatcher = new TDeviceWatcher(this);
    // The watcher reads the ports on its own thread; the list here follows
    // its readings, so a login running meanwhile is never held up by a scan.
    connect(m_deviceWatcher, &TDeviceWatcher::PortsRead, this, &TFormLogin::FillPortList);

    FillPortList(m_deviceWatcher->Ports());
}

TFormLogin::~TFormLogin() = default;

TComm *TFormLogin::ComPort() const
{
    return m_connection ? m_connection->Session()->port() : nullptr;
}

TDeviceConnection *TFormLogin::TakeConnection()
{
    TDeviceConnection *connection = m_connection;
    if (connection)
        connection->setParent(nullptr);
    m_connection = nullptr;
    return connection;
}

QStringList TFormLogin::DemoPorts()
{
    QStringList ports;
    for (const char *model : Const::ModelNames)
        ports << QString::fromLatin1(TComm::DemoPrefix) + QString::fromLatin1(model);
    return ports;
}

void TFormLogin::FillPortList(const QStringList &serialPorts)
{
    QStringList names = m_extraPorts;
    for (const QString &name : serialPorts + TRecentPorts().Names() + DemoPorts()) {
        if (!names.contains(name))
            names << name;
    }
    // A refill (a device came or went) keeps what the user chose or typed.
    const QString chosen = cbb_ComPort->currentText();
    const QSignalBlocker blocker(cbb_ComPort);
    cbb_ComPort->clear();
    cbb_ComPort->addItems(names);
    if (m_portChosen && !chosen.isEmpty()) {
        const int index = names.indexOf(chosen);
        if (index >= 0)
            cbb_ComPort->setCurrentIndex(index);
        else
            cbb_ComPort->setEditText(chosen);
    } else {
        cbb_ComPort->setCurrentIndex(names.isEmpty() ? -1 : 0);
    }
    cbb_ComPortChange();
}

void TFormLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
    edt_Password->setFocus();
    edt_Password->selectAll();
}

void TFormLogin::FormShow()
{
    if (!ComPort()->Connected())
        ComPort()->SetCommName(cbb_ComPort->currentText());
    m_language = m_forcedLanguage >= 0 ? m_forcedLanguage : LocaleLanguage();
    setWindowTitle(ApplicationTitle(m_language));
    lbl_CommPort->setText(ConstLang::Text(QStringLiteral("LoginSerial"), m_language));
    lbl_Password->setText(ConstLang::Text(QStringLiteral("LoginPassword"), m_language));
    btn_Login->setText(ConstLang::Text(QStringLiteral("LoginButton"), m_language));
    btn_LogOut->setText(ConstLang::Text(QStringLiteral("LoginLogout"), m_language));
    m_msgDataError = ConstLang::Text(QStringLiteral("LoginDataError"), m_language);
    m_msgPasswordError = ConstLang::Text(QStringLiteral("LoginPasswordError"), m_language);
    m_msgTimeOut = ConstLang::Text(QStringLiteral("LoginTimeOut"), m_language);
}

void TFormLogin::cbb_ComPortChange()
{
    if (m_connection && !ComPort()->Connected())
        ComPort()->SetCommName(cbb_ComPort->currentText());
}

bool TFormLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edt_Password && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btn_LoginClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormLogin::btn_LoginClick()
{
    const QString password = edt_Password->text().trimmed();
    if (password == QLatin1String(Const::HiddenText)) {
        m_connection->EnterViewMode();
        m_viewMode = true;
        tmrOut->stop();
        accept();
        return;
    }
    const QString portName = cbb_ComPort->currentText();
    if (portName.isEmpty())
        return;
    // The login under way goes on; its answer or its time-out ends the wait.
    if (m_waitingTag == Const::ReplyPasswordCheck)
        return;
    tmrOut->stop();
    // The port is opened when it is not open on that name yet; after a
    // refused password or a garbled reply it is still open, and the
    // password goes out again on it.
    TLoginJob *login = m_connection->Login(portName, password, false, TLoginJob::LoginWindowPacing());
    login->setParent(this);
    connect(login, &TDeviceJob::finished, this, [this, login] { LoginEnded(login); });
    if (!login->start()) {
        delete login;
        return;
    }
    m_waitingTag = Const::ReplyPasswordCheck;
    m_waitingPort = portName;
    m_timeOutTicks = 0;
    ShowWaiting();
    tmrOut->start();
}

void TFormLogin::ShowWaiting()
{
    if (m_waitingTag == 0) {
        lbl_Waiting->clear();
        return;
    }
    lbl_Waiting->setText(ConstLang::Text(QStringLiteral("LoginConnecting"), m_language)
                             .arg(m_waitingPort)
                             .arg(LoginTimeOutTicks - m_timeOutTicks));
}

void TFormLogin::btn_LogOutClick()
{
    tmrOut->stop();
    if (m_connection)
        m_connection->Close();
    reject();
}

void TFormLogin::closeEvent(QCloseEvent *event)
{
    // The title bar's close leaves the program, like Logout.
    tmrOut->stop();
    if (m_connection)
        m_connection->Close();
    QDialog::closeEvent(event);
}

void TFormLogin::LoginEnded(TDeviceJob *login)
{
    login->deleteLater();
    tmrOut->stop();
    m_waitingTag = 0;
    m_timeOutTicks = 0;
    ShowWaiting();
    const TJobFailure &failure = login->Failure();
    if (login->outcome() == TDeviceJob::TOutcome::Done || failure.what == TJobFailure::TWhat::Unidentified) {
        // The password was taken. A device that did not say its model is
        // told of by the main window, which can ask it again.
        m_connection->SetPassword(edt_Password->text());
        TRecentPorts().Remember(m_connection->PortName());
        accept();
        return;
    }
    switch (failure.what) {
    case TJobFailure::TWhat::OpenFailed:
        ShowErrorBox(this, FailureText(failure.detail, "LoginOpenFailedNext"));
        break;
    case TJobFailure::TWhat::BadReply:
        // The port stays open; Login sends the password again.
        ShowErrorBox(this, FailureText(m_msgDataError, "LoginBadReplyNext"));
        break;
    case TJobFailure::TWhat::Refused:
        ShowErrorBox(this, FailureText(m_msgPasswordError, "LoginRefusedNext"));
        break;
    case TJobFailure::TWhat::Stopped:
        break;
    case TJobFailure::TWhat::LineLost:
        // A network server that refused, did not answer or hung up says why.
        // (Its own words name the server, the cause and what to check.)
        ShowErrorBox(this, m_connection->Session()->lineError().isEmpty()
                               ? FailureText(m_msgTimeOut, "LoginLineLostNext")
                               : m_connection->Session()->lineError());
        m_connection->Close();
        break;
    default:
        ShowErrorBox(this, FailureText(m_msgTimeOut, "LoginNoAnswerNext"));
        m_connection->Close();
        break;
    }
}

QString TFormLogin::FailureText(const QString &shortText, const char *detailKey) const
{
    const QString port = m_waitingPort.isEmpty() ? m_connection->PortName() : m_waitingPort;
    return shortText + QStringLiteral("\n\n")
        + ConstLang::Text(QString::fromLatin1(detailKey), m_language).arg(port);
}

void TFormLogin::tmrOutTimer()
{
    if (m_waitingTag == 0)
        return;
    // The last second is shown until the job's time-out comes.
    if (m_timeOutTicks + 1 < LoginTimeOutTicks)
        ++m_timeOutTicks;
    ShowWaiting();
}
