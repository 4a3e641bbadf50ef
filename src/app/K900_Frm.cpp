#include "app/K900_Frm.h"

#include "app/DeviceWatcher_Unt.h"
#include "app/Funs_Unt.h"
#include "app/MessageBox_Frm.h"
#include "app/Platform_Unt.h"
#include "app/Questions_Frm.h"
#include "app/ReplyMachine_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "debug/ProtocolDebug_Frm.h"
#include "history/HistorySheet_Frm.h"
#include "lang/TLanguage_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "app/Variable_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SerialPort_Unt.h"
#include "link/VersionProtocol_Unt.h"
#include "look/ClickSounds_Unt.h"
#include "look/ComponentEx.h"
#include "look/Skins_Unt.h"
#include "views/DeviceCard_Frm.h"
#include "views/FrameBar_Frm.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/ViewContext_Unt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDateTime>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QWidget *NamedSheet(const char *name)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QString::fromLatin1(name));
    return sheet;
}

QTabWidget *NamedPageControl(const char *name, QWidget *parent)
{
    auto *pages = new QTabWidget(parent);
    pages->setObjectName(QString::fromLatin1(name));
    return pages;
}

void Fill(QWidget *sheet, QWidget *child)
{
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(child);
}

} // namespace

TFormK900::TFormK900(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormK900"));
    resize(960, 604);
    setMinimumSize(860, 560);
    RegisterMainWindow(this);
    FormCreate();
}

TFormK900::~TFormK900()
{
    m_comPort->ClosePort();
}

void TFormK900::FormCreate()
{
    m_comPort = new TComm(this);
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    UseLoggerLine(*m_comPort);
    m_comPort->SetXonLimit(0);
    m_comPort->SetXoffLimit(0);
    // A reply that is one whole, valid frame is handled at once instead of
    // after the 100 ms of quiet; a long read is then paced by the line.
    m_comPort->SetChunkComplete([](const QByteArray &gathered) {
        return TBasicProtocol().IsWholeFrame(gathered);
    });
    connect(m_comPort, &TComm::OnReceiveData, this, &TFormK900::ComPortReceiveData);
    connect(m_comPort, &TComm::OnReceiveError, this, &TFormK900::ComPortReceiveError);
    connect(m_comPort, &TComm::OnRequestHangup, this, &TFormK900::ComPortHangup);

    m_replies = new TReplyMachine(this);
    connect(m_replies, &TReplyMachine::TimedOut, this, &TFormK900::ReplyTimedOut);
    tmrOut = new QTimer(this);
    tmrOut->setObjectName(QStringLiteral("tmrOut"));
    tmrOut->setInterval(1000);
    connect(tmrOut, &QTimer::timeout, this, &TFormK900::tmrOutTimer);
    tmrOut->start();

    m_deviceWatcher = new TDeviceWatcher(this);
    connect(m_deviceWatcher, &TDeviceWatcher::DeviceRemoveComplete, this,
            &TFormK900::DeviceRemoved);

    ViewContext::SetLanguageSource([this] { return m_language; });
    ViewContext::SetModelIndexSource([this] { return m_modelIndex; });
    ViewContext::SetMessageSink([this](const QString &text) {
        ShowMessageWindow(text, windowTitle());
        emit MessageShown(text);
    });

    BuildMenus();
    BuildPages();
    BuildStatusBar();
    // The debug box stays hidden; the System menu reaches the same window.
    InstallProtocolDebug(this, m_debugBox);
    AddProtocolDebugAction(findChild<QMenu *>(QStringLiteral("Pop_System")), m_debugBox);
    InstallClickSounds(this);
    ConnectViewControls();
    m_master = new TSoftMaster(this);
    m_history = new THistorySheet(this);
    m_iniSeting = new TIniSeting(this);
    connect(findChild<QAction *>(QStringLiteral("N_Open")), &QAction::triggered, m_iniSeting,
            &TIniSeting::N_OpenClick);
    connect(findChild<QAction *>(QStringLiteral("N_Save")), &QAction::triggered, m_iniSeting,
            &TIniSeting::N_SaveClick);
    ApplyLanguage(LocaleLanguage());
}

void TFormK900::BuildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    auto menu = [bar](const char *name) {
        QMenu *item = bar->addMenu(QString::fromLatin1(name));
        item->setObjectName(QString::fromLatin1(name));
        item->menuAction()->setObjectName(QString::fromLatin1(name));
        return item;
    };
    auto action = [this](QMenu *parent, const char *name, const QKeySequence &shortcut,
                         void (TFormK900::*handler)()) {
        QAction *item = parent->addAction(QString::fromLatin1(name));
        item->setObjectName(QString::fromLatin1(name));
        item->setShortcut(shortcut);
        if (handler)
            connect(item, &QAction::triggered, this, handler);
        return item;
    };

    QMenu *file = menu("N_File");
    action(file, "N_Open", QKeySequence(Qt::CTRL | Qt::Key_I), nullptr);
    action(file, "N_Save", QKeySequence(Qt::CTRL | Qt::Key_O), nullptr);
    file->addSeparator()->setObjectName(QStringLiteral("MI_N1"));
    action(file, "N_Exit", QKeySequence(Qt::CTRL | Qt::Key_X), &TFormK900::N_ExitClick);

    QMenu *connection = menu("Pop_Connect");
    action(connection, "Pop_DisCommPort", QKeySequence(Qt::CTRL | Qt::Key_D),
           &TFormK900::Pop_DisCommPortClick);
    action(connection, "Pop_RepCommPort", QKeySequence(Qt::CTRL | Qt::Key_L),
           &TFormK900::Pop_RepCommPortClick);

    QMenu *config = menu("MI_SystemConfig");
    connect(action(config, "Pop_ReadMaster_Seting", QKeySequence(Qt::CTRL | Qt::Key_R), nullptr),
            &QAction::triggered, this, [this] { m_master->Pop_ReadMaster_SetingClick(); });
    connect(action(config, "Pop_WirteMaster", QKeySequence(Qt::CTRL | Qt::Key_W), nullptr),
            &QAction::triggered, this, [this] { m_master->Pop_WirteMasterClick(); });
    config->addSeparator()->setObjectName(QStringLiteral("MI_N2"));
    action(config, "Menu_R_DO", {}, &TFormK900::Menu_R_DOClick);
    action(config, "Menu_R_TH", {}, &TFormK900::Menu_R_THClick);

    QMenu *system = menu("Pop_System");
    action(system, "Pop_RESET", {}, &TFormK900::Pop_RESETClick);
    system->addSeparator()->setObjectName(QStringLiteral("MI_N3"));
    action(system, "Pop_ReBoot", {}, &TFormK900::Pop_ReBootClick);

    QMenu *language = menu("N_Language");
    action(language, "N_CN", QKeySequence(Qt::CTRL | Qt::Key_C), nullptr);
    action(language, "N_EN", QKeySequence(Qt::CTRL | Qt::Key_E), nullptr);
    connect(findChild<QAction *>(QStringLiteral("N_CN")), &QAction::triggered, this,
            [this] { ApplyLanguage(0); });
    connect(findChild<QAction *>(QStringLiteral("N_EN")), &QAction::triggered, this,
            [this] { ApplyLanguage(1); });

    menu("N_Skins");

    QMenu *help = menu("N_Help");
    action(help, "N_About", {}, &TFormK900::N_AboutClick);
}

void TFormK900::BuildPages()
{
    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    m_sheets.PageControl = NamedPageControl("PageControl", central);
    setCentralWidget(central);

    m_sheets.abSheetVerInfo = NamedSheet("abSheetVerInfo");
    m_sheets.Sheet_Basic = NamedSheet("Sheet_Basic");
    m_sheets.Sheet_History = NamedSheet("Sheet_History");
    m_sheets.PageControl->addTab(m_sheets.abSheetVerInfo, QString());
    m_sheets.PageControl->addTab(m_sheets.Sheet_Basic, QString());
    m_sheets.PageControl->addTab(m_sheets.Sheet_History, QString());

    m_sheets.PageControlMain = NamedPageControl("PageControlMain", m_sheets.Sheet_Basic);
    Fill(m_sheets.Sheet_Basic, m_sheets.PageControlMain);
    m_sheets.Sheet_Common = NamedSheet("Sheet_Common");
    m_sheets.Sheet_DiDoTh = NamedSheet("Sheet_DiDoTh");
    m_sheets.Sheet_Telephone = NamedSheet("Sheet_Telephone");
    m_sheets.Sheet_DateTime = NamedSheet("Sheet_DateTime");
    m_sheets.Sheet_InfoMode = NamedSheet("Sheet_InfoMode");
    for (QWidget *sheet : {m_sheets.Sheet_Common, m_sheets.Sheet_DiDoTh, m_sheets.Sheet_Telephone,
                           m_sheets.Sheet_DateTime, m_sheets.Sheet_InfoMode})
        m_sheets.PageControlMain->addTab(sheet, QString());

    m_sheets.PageControl_DIDOTH = NamedPageControl("PageControl_DIDOTH", m_sheets.Sheet_DiDoTh);
    Fill(m_sheets.Sheet_DiDoTh, m_sheets.PageControl_DIDOTH);
    m_sheets.Sheet_DO = NamedSheet("Sheet_DO");
    m_sheets.Sheet_TH = NamedSheet("Sheet_TH");
    m_sheets.PageControl_DIDOTH->addTab(m_sheets.Sheet_DO, QString());
    m_sheets.PageControl_DIDOTH->addTab(m_sheets.Sheet_TH, QString());

    m_deviceCard = new TFormDeviceCard(m_sheets.abSheetVerInfo);
    Fill(m_sheets.abSheetVerInfo, m_deviceCard);

    m_views = BuildSettingsViews(m_sheets, this);
    m_frameBar = CreateFrameBar(m_sheets, central);
    row->addWidget(m_frameBar);
    row->addWidget(m_sheets.PageControl, 1);

    TSoftDiDoTh *channels = m_views.SoftDiDoTh;
    connect(channels, &TSoftDiDoTh::readDoStatusRequested, this, &TFormK900::Menu_R_DOClick);
    connect(channels, &TSoftDiDoTh::readThValuesRequested, this, &TFormK900::Menu_R_THClick);
    connect(this, &TFormK900::DoStatusReply, this,
            [this](const QByteArray &chunk) { m_views.SoftDiDoTh->ShowDoStatus(chunk, m_views.lvDo); });
    connect(this, &TFormK900::ThValuesReply, this, [this](const QByteArray &chunk) {
        m_views.SoftDiDoTh->ShowThValues(chunk, m_views.lvTh, m_modelIndex);
    });
    connect(this, &TFormK900::ModelKnown, this, [this](int, const QString &modelText) {
        m_views.SoftDiDoTh->BuildThRows(modelText, m_views.lvTh);
    });
    connect(this, &TFormK900::DoStatusReply, m_deviceCard, [this](const QByteArray &chunk) {
        if (const std::optional<quint8> bits = TSoftDiDoTh::DoStatusBits(chunk))
            m_deviceCard->SetRelayStates(*bits);
    });
    connect(this, &TFormK900::ThValuesReply, m_deviceCard, [this](const QByteArray &chunk) {
        m_deviceCard->SetCurrentValues(m_modelIndex, TSoftDiDoTh::ThValueTexts(chunk, m_modelIndex));
    });
}

void TFormK900::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("Bar"));
    m_statusLabel = new QLabel(bar);
    m_statusLabel->setObjectName(QStringLiteral("lbl_Status"));
    bar->addWidget(m_statusLabel, 1);

    m_debugBox = new QCheckBox(bar);
    m_debugBox->setObjectName(QStringLiteral("chk_Debug"));
    m_debugBox->setVisible(false);
    bar->addPermanentWidget(m_debugBox);

    m_autoStartBox = new QCheckBox(bar);
    m_autoStartBox->setObjectName(QStringLiteral("chk_AutoStart"));
    bar->addPermanentWidget(m_autoStartBox);
    connect(m_autoStartBox, &QCheckBox::clicked, this, [this](bool on) {
        QString error;
        if (!SetAutoStart(on, &error)) {
            const QSignalBlocker blocker(m_autoStartBox);
            m_autoStartBox->setChecked(!on);
            ShowErrorBox(this, error);
        }
    });
}

QWidget *TFormK900::Control(const char *name) const
{
    return findChild<QWidget *>(QString::fromLatin1(name));
}

void TFormK900::ConnectViewControls()
{
    const struct {
        const char *name;
        void (TFormK900::*handler)();
    } buttons[] = {
        {"btn_Main_Timer_Read", &TFormK900::btn_Main_Timer_ReadClick},
        {"btn_Main_Timer_Write", &TFormK900::btn_Main_Timer_WriteClick},
        {"btn_PC_Time", &TFormK900::btn_PC_TimeClick},
        {"btn_DO1_Close", &TFormK900::btn_DO1_CloseClick},
        {"btn_DO1_Open", &TFormK900::btn_DO1_OpenClick},
        {"btn_Do2_Close", &TFormK900::btn_Do2_CloseClick},
        {"btn_Do2_Open", &TFormK900::btn_Do2_OpenClick},
    };
    for (const auto &button : buttons) {
        if (auto *control = qobject_cast<QAbstractButton *>(Control(button.name)))
            connect(control, &QAbstractButton::clicked, this, button.handler);
    }
}

QString TFormK900::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_language);
}

bool TFormK900::ViewMode() const
{
    return AppVariables().ConnectionPassword == QLatin1String(Const::HiddenText);
}

QString TFormK900::StatusText() const
{
    return m_statusLabel->text();
}

void TFormK900::ShowDisconnected()
{
    SetStatusText(AppVariables().ConnectionPortName + QStringLiteral("  ") + Text("MsgDisconnected"));
    if (m_deviceCard->Link() != TFormDeviceCard::TLink::Lost)
        m_deviceCard->SetPort(AppVariables().ConnectionPortName, TFormDeviceCard::TLink::Closed);
}

void TFormK900::SetStatusText(const QString &text)
{
    m_statusLabel->setText(text);
}

void TFormK900::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    QMetaObject::invokeMethod(this, &TFormK900::FormShow, Qt::QueuedConnection);
}

bool TFormK900::OpenPortShowingError()
{
    try {
        m_comPort->OpenPort();
        return true;
    } catch (const ECommsError &error) {
        ShowDisconnected();
        ShowErrorBox(this, error.message());
        return false;
    }
}

void TFormK900::FormShow()
{
    btn_PC_TimeClick();
    m_views.SizeColumns();
    m_views.BuildRows();
    BuildSkinsMenu(findChild<QMenu *>(QStringLiteral("N_Skins")),
                   QCoreApplication::applicationDirPath());
    ApplyLanguage(LocaleLanguage());
    // The welcome page first, also when the port does not open.
    m_sheets.PageControl->setCurrentIndex(0);
    if (!ViewMode()) {
        m_comPort->SetBaudRate(115200);
        m_comPort->SetCommName(AppVariables().ConnectionPortName);
        if (!OpenPortShowingError())
            return;
        m_deviceCard->SetPort(AppVariables().ConnectionPortName, TFormDeviceCard::TLink::Opening);
        Delay(200);
        SetExpectedReply(Const::ReplyPasswordCheck);
        SendHandle().SendPassword(*m_comPort, AppVariables().ConnectionPassword);
        SetStatusText(AppVariables().ConnectionPortName);
    } else {
        SetStatusText(QStringLiteral("View"));
        m_deviceCard->SetPort(QString(), TFormDeviceCard::TLink::ViewMode);
    }
}

void TFormK900::ApplyLanguage(int language)
{
    m_language = language == 0 ? 0 : 1;
    TLanguage::SwitchLanguage(*this, m_language);
    // The status bar's "Disconnected" follows the language as well.
    if (m_shown && !ViewMode() && !m_comPort->Connected())
        ShowDisconnected();
}

void TFormK900::SetExpectedReply(Const::TExpectedReply state)
{
    m_replies->SetExpectedReply(state);
}

TFormK900::TWait TFormK900::RequestAndWait(Const::TExpectedReply state,
                                           const std::function<void()> &send)
{
    // One request at a time: an answer still due to an earlier request (the
    // current values asked after a read, say) would otherwise be taken for
    // this one's. It comes, or its time-out ends the wait.
    WaitUntil([this] {
        const Const::TExpectedReply expected = m_replies->Expected();
        return expected == Const::ReplyIdle || expected == Const::ReplyHistoryErase
            || !m_comPort->Connected() || AppVariables().StopFlag;
    });
    m_flowState = state;
    m_flowReply.clear();
    m_flowGotReply = false;
    SetExpectedReply(state);
    m_replies->SetReplyPending(true);
    m_flowWaiting = true;
    send();
    // Without a port nothing can answer, so the wait ends at once.
    WaitUntil([this] {
        return !m_comPort->Connected() || !m_replies->ReplyPending() || AppVariables().StopFlag;
    });
    m_flowWaiting = false;
    m_flowState = Const::ReplyIdle;
    if (m_flowGotReply)
        return TWait::Reply;
    SetExpectedReply(Const::ReplyIdle);
    if (AppVariables().StopFlag)
        return TWait::Stopped;
    // Replies carry nothing that ties them to their request, so a late answer
    // to this one would be taken for the answer to the flow's next request
    // (the next page, say). Waiting idle a while lets it come and be dropped.
    if (m_comPort->Connected())
        Delay(LateReplySettleMs);
    return TWait::TimedOut;
}

void TFormK900::WaitUntil(const std::function<bool()> &done)
{
    if (done())
        return;
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&loop, &done] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QEventLoop *outer = m_flowLoop;
    m_flowLoop = &loop;
    loop.exec();
    m_flowLoop = outer;
}

void TFormK900::DrainAfterBadReply()
{
    SetExpectedReply(Const::ReplyIdle);
    if (m_comPort->Connected())
        Delay(BadReplyDrainMs);
}

void TFormK900::ComPortReceiveData(const QByteArray &chunk)
{
    const TBasicProtocol protocol;
    const Const::TExpectedReply state = m_replies->TakeChunk(chunk);
    if (state == Const::ReplyHistoryErase) {
        emit HistoryEraseProgress(chunk);
        return;
    }
    protocol.LogFrame(chunk, 1);

    if (m_flowWaiting && state == m_flowState && state != Const::ReplyIdle) {
        m_flowReply = chunk;
        m_flowGotReply = true;
        m_replies->SetReplyPending(false);
        if (m_flowLoop)
            m_flowLoop->quit();
        if (state == Const::ReplyConfigRead || state == Const::ReplyConfigWrite
            || state == Const::ReplyHistoryPage)
            return;
    }

    switch (state) {
    case Const::ReplyFactoryReset:
        ShowDone(QString());
        break;
    case Const::ReplyDoStatus:
        protocol.LogFrame(chunk, 1);
        emit DoStatusReply(chunk);
        break;
    case Const::ReplyThValues:
        protocol.LogFrame(chunk, 1);
        emit ThValuesReply(chunk);
        break;
    case Const::ReplyHistoryLine:
        emit HistoryLineReply(chunk);
        break;
    case Const::ReplyPasswordCheck:
        PasswordCheckReply(chunk);
        break;
    case Const::ReplyClockWrite:
        ShowDone(windowTitle());
        break;
    case Const::ReplyVersionQuery:
        ShowVersionReply(chunk);
        break;
    case Const::ReplyClockRead:
        ShowClockReply(chunk);
        break;
    default:
        break;
    }
}

void TFormK900::ShowDone(const QString &caption)
{
    const QString text = Text("MsgSuccess");
    ShowMessageWindow(text, caption);
    emit MessageShown(text);
}

void TFormK900::PasswordCheckReply(const QByteArray &chunk)
{
    if (TPasswordProtocol().PasswordAccepted(chunk)) {
        m_deviceCard->SetPort(m_comPort->CommName(), TFormDeviceCard::TLink::LoggedIn);
        SetExpectedReply(Const::ReplyVersionQuery);
        SendHandle().SendReadVersion(*m_comPort);
        return;
    }
    // The device refused the password: the program ends once the user has read it.
    auto *box = new QMessageBox(QMessageBox::Critical, windowTitle(), Text("MsgPasswordError"),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("ErrorBox"));
    connect(box, &QMessageBox::finished, qApp, [] { QApplication::exit(0); });
    box->open();
    emit MessageShown(box->text());
}

void TFormK900::ShowVersionReply(const QByteArray &chunk)
{
    const TVersionProtocol version;
    const QString model = version.ReplyModel(chunk);
    m_deviceCard->SetVersionReply(model, version.ReplyVersion(chunk), version.ReplyIMEI(chunk),
                                  version.ReplySignal(chunk));
    m_modelIndex = 0;
    for (int index = 0; index < Const::ModelCount; ++index) {
        if (model == QLatin1String(Const::ModelNames[index]))
            m_modelIndex = index;
    }
    emit ModelKnown(m_modelIndex, model);
    ApplyLanguage(m_language);
}

void TFormK900::ShowClockReply(const QByteArray &chunk)
{
    const TDataPack data = TBasicProtocol().GetData(chunk);
    auto byteAt = [&data](int index) { return index < data.size() ? quint8(data.at(index)) : -1; };
    const QDate date(2000 + byteAt(0), byteAt(1), byteAt(2));
    if (!date.isValid())
        return;
    if (auto *dtpYMD = findChild<QDateEdit *>(QStringLiteral("dtpYMD")))
        dtpYMD->setDate(date);
    const QTime time(byteAt(3), byteAt(4), byteAt(5));
    if (!time.isValid())
        return;
    if (auto *dtpHMS = findChild<QTimeEdit *>(QStringLiteral("dtpHMS")))
        dtpHMS->setTime(time);
    m_deviceCard->SetDeviceClock(QDateTime(date, time));
    ShowDone(windowTitle());
}

void TFormK900::tmrOutTimer()
{
    m_replies->Tick();
}

void TFormK900::ReplyTimedOut(Const::TExpectedReply)
{
    // A flow waiting for this reply goes on (and asks again); others just end.
    m_replies->SetReplyPending(false);
}

void TFormK900::ComPortReceiveError(quint32)
{
    // A line error must not throw away what the user has in the window: the
    // port is closed like a lost one and Reconnect opens it again.
    ConnectionLost();
}

void TFormK900::ComPortHangup()
{
    // The port went away under us (an adapter pulled out).
    ConnectionLost();
}

void TFormK900::ConnectionLost()
{
    m_comPort->ClosePort();
    m_replies->SetReplyPending(false);
    SetExpectedReply(Const::ReplyIdle);
    ShowDisconnected();
    m_deviceCard->SetPort(AppVariables().ConnectionPortName, TFormDeviceCard::TLink::Lost);
    const QString text = Text("MsgPortLost");
    ShowErrorBox(this, text);
    emit MessageShown(text);
}

void TFormK900::DeviceRemoved()
{
    AskQuestion(this, Text("MsgPortChanged"), [] { RestartProgram(); });
}

void TFormK900::closeEvent(QCloseEvent *event)
{
    m_comPort->ClosePort();
    QMainWindow::closeEvent(event);
}

void TFormK900::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_views.SizeColumns();
}

QString TFormK900::PasswordFieldText() const
{
    if (auto *edit = findChild<TLabeledEdit *>(QStringLiteral("lbledt_Main_Password")))
        return edit->text();
    return QString::fromLatin1(Const::DefaultPassword);
}

void TFormK900::Pop_DisCommPortClick()
{
    if (!m_comPort->Connected())
        return;
    m_comPort->ClosePort();
    ShowDisconnected();
}

void TFormK900::Pop_RepCommPortClick()
{
    m_comPort->ClosePort();
    Delay(200);
    if (!OpenPortShowingError())
        return;
    Delay(200);
    m_deviceCard->SetPort(AppVariables().ConnectionPortName, TFormDeviceCard::TLink::Opening);
    SetExpectedReply(Const::ReplyPasswordCheck);
    SendHandle().SendPassword(*m_comPort, PasswordFieldText().trimmed());
    SetStatusText(AppVariables().ConnectionPortName);
}

void TFormK900::Pop_ReBootClick()
{
    AskQuestion(this, Text("MsgRebootAsk"), [this] {
        if (!m_comPort->Connected())
            return;
        SendHandle().SendTextCommand(*m_comPort, PasswordFieldText().trimmed(), "REBOOT");
        Delay(500);
        RestartProgram();
    });
}

void TFormK900::Pop_RESETClick()
{
    AskQuestion(this, Text("MsgResetAsk"), [this] {
        if (!m_comPort->Connected())
            return;
        SetExpectedReply(Const::ReplyFactoryReset);
        SendHandle().SendTextCommand(*m_comPort, PasswordFieldText().trimmed(), "RESET");
    });
}

void TFormK900::btn_Main_Timer_ReadClick()
{
    if (!m_comPort->Connected())
        return;
    SetExpectedReply(Const::ReplyClockRead);
    SendHandle().SendReadClock(*m_comPort);
}

void TFormK900::btn_Main_Timer_WriteClick()
{
    auto *dtpYMD = findChild<QDateEdit *>(QStringLiteral("dtpYMD"));
    auto *dtpHMS = findChild<QTimeEdit *>(QStringLiteral("dtpHMS"));
    const QDate date = dtpYMD ? dtpYMD->date() : QDate::currentDate();
    const QTime time = dtpHMS ? dtpHMS->time() : QTime::currentTime();
    SetExpectedReply(Const::ReplyClockWrite);
    SendHandle().SendSetClock(*m_comPort, quint8(date.year() - 2000), quint8(date.month()),
                              quint8(date.day()), quint8(time.hour()), quint8(time.minute()));
}

void TFormK900::btn_PC_TimeClick()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (auto *dtpYMD = findChild<QDateEdit *>(QStringLiteral("dtpYMD")))
        dtpYMD->setDate(now.date());
    if (auto *dtpHMS = findChild<QTimeEdit *>(QStringLiteral("dtpHMS")))
        dtpHMS->setTime(now.time());
}

void TFormK900::SendRelayLine(void (*send)(TComm &))
{
    if (!m_comPort->Connected())
        return;
    send(*m_comPort);
    Delay(500);
    Menu_R_DOClick();
}

void TFormK900::btn_DO1_CloseClick()
{
    SendRelayLine([](TComm &port) {
        SendHandle().SendDO1Close(port, QString::fromLatin1(TSendHandle::RelayPrefix));
    });
}

void TFormK900::btn_DO1_OpenClick()
{
    SendRelayLine([](TComm &port) {
        SendHandle().SendDO1Open(port, QString::fromLatin1(TSendHandle::RelayPrefix));
    });
}

void TFormK900::btn_Do2_CloseClick()
{
    SendRelayLine([](TComm &port) {
        SendHandle().SendDO2Close(port, QString::fromLatin1(TSendHandle::RelayPrefix));
    });
}

void TFormK900::btn_Do2_OpenClick()
{
    SendRelayLine([](TComm &port) {
        SendHandle().SendDO2Open(port, QString::fromLatin1(TSendHandle::RelayPrefix));
    });
}

void TFormK900::Menu_R_DOClick()
{
    if (!m_comPort->Connected())
        return;
    SetExpectedReply(Const::ReplyDoStatus);
    SendHandle().SendReadDOState(*m_comPort);
}

void TFormK900::Menu_R_THClick()
{
    if (!m_comPort->Connected())
        return;
    SetExpectedReply(Const::ReplyThValues);
    SendHandle().SendReadTHValues(*m_comPort);
}

void TFormK900::N_ExitClick()
{
    QApplication::exit(0);
}

void TFormK900::N_AboutClick()
{
    QMessageBox::about(this, windowTitle(),
                       windowTitle() + QStringLiteral("\n\nK801 / K802 / K803"));
}
