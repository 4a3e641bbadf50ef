#include "app/K900_Frm.h"

#include "audit/AuditRecorder_Unt.h"
#include "audit/AuditTrail_Frm.h"
#include "platform/DeviceWatcher_Unt.h"
#include "platform/PortList_Unt.h"
#include "base/Funs_Unt.h"
#include "dialogs/MessageBox_Frm.h"
#include "platform/Platform_Unt.h"
#include "dialogs/Questions_Frm.h"
#include "dialogs/BasicAnimate_Frm.h"
#include "dialogs/FieldTable_Frm.h"
#include "dialogs/FileDialogs_Frm.h"
#include "dialogs/JobRunner_Frm.h"
#include "config/FieldCaptions_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "debug/ProtocolDebug_Frm.h"
#include "history/HistorySheet_Frm.h"
#include "lang/TLanguage_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/JobVerdict_Unt.h"
#include "session/LoginJob_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"
#include "look/ClickSounds_Unt.h"
#include "look/ComponentEx.h"
#include "look/Skins_Unt.h"
#include "views/DeviceCard_Frm.h"
#include "views/FrameBar_Frm.h"
#include "views/SettingsPanes_Frm.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/SoftInterfaceTelephone_Unt.h"
#include "views/ViewContext_Unt.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QTimeEdit>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
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

TFormK900::TFormK900(TDeviceConnection *connection, QWidget *parent)
    : QMainWindow(parent), m_connection(connection ? connection : new TDeviceConnection(this))
{
    m_connection->setParent(this);
    setObjectName(QStringLiteral("FormK900"));
    resize(960, 604);
    setMinimumSize(860, 560);
    RegisterMainWindow(this);
    FormCreate();
}

TFormK900::~TFormK900()
{
    // Jobs end before the session they run on; what they say on their way
    // out no longer reaches this half-destroyed window.
    disconnect(Session(), nullptr, this, nullptr);
    disconnect(m_connection, nullptr, this, nullptr);
    delete m_runner;
    m_connection->Session()->close();
}

TDeviceSession *TFormK900::Session() const
{
    return m_connection->Session();
}

TComm *TFormK900::ComPort() const
{
    return Session()->port();
}

TDeviceJob *TFormK900::CurrentJob() const
{
    return m_runner ? m_runner->Current() : nullptr;
}

void TFormK900::FormCreate()
{
    connect(Session(), &TDeviceSession::connectionLost, this, &TFormK900::ConnectionLost);
    connect(Session(), &TDeviceSession::busyChanged, this, &TFormK900::UpdateDeviceActions);
    connect(m_connection, &TDeviceConnection::loginEnded, this, &TFormK900::LoginEnded);
    connect(m_connection, &TDeviceConnection::stateChanged, this, [this](TDeviceConnection::TState state) {
        UpdateLinkLabel();
        if (state == TDeviceConnection::TState::NoAnswer) {
            m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::NoAnswer);
            return;
        }
        if (state == TDeviceConnection::TState::LoggedIn) {
            m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::LoggedIn);
            return;
        }
        if (state != TDeviceConnection::TState::Opening)
            return;
        SetStatusText(m_connection->PortName());
        m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::Opening);
    });
    connect(m_connection, &TDeviceConnection::deviceAnswered, this, &TFormK900::UpdateLinkLabel);
    m_runner = new TJobRunner(this, Session());
    m_audit = new TAuditRecorder(m_connection, TAuditRecorder::TFace::Window, QString(), this);
    connect(m_audit, &TAuditRecorder::notLogged, this, [this](const QString &text) {
        ShowMessageWindow(text, windowTitle());
        emit MessageShown(text);
    });
    AskReason = [this](bool required, std::function<void(const QString &)> proceed) {
        ::AskReason(this, m_language, required, std::move(proceed));
    };

    m_deviceWatcher = new TDeviceWatcher(this);
    connect(m_deviceWatcher, &TDeviceWatcher::DeviceRemoveComplete, this,
            &TFormK900::DeviceRemoved);

    ViewContext::InstallSources(
        this, [this] { return m_language; }, [this] { return m_modelIndex; },
        [this](const QString &text) {
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
    m_history = new THistorySheet(this, m_sheets.Sheet_History, m_runner, m_connection);
    connect(m_history, &THistorySheet::MessageShown, this, &TFormK900::MessageShown);
    m_history->AskReason = [this](bool required, std::function<void(const QString &)> proceed) {
        AskReason(required, std::move(proceed));
    };
    connect(m_history, &THistorySheet::Done, this, &TFormK900::ShowNews);
    m_iniSeting = new TIniSeting(this, m_master);
    connect(m_iniSeting, &TIniSeting::Done, this, &TFormK900::ShowNews);
    connect(findChild<QAction *>(QStringLiteral("N_Open")), &QAction::triggered, this,
            &TFormK900::N_OpenClick);
    connect(findChild<QAction *>(QStringLiteral("N_Save")), &QAction::triggered, m_iniSeting,
            &TIniSeting::N_SaveClick);
    connect(m_iniSeting, &TIniSeting::ProfileLoaded, m_audit, &TAuditRecorder::RecordProfileLoaded);
    connect(this, &TFormK900::ModelKnown, this, [this](int modelIndex) {
        m_master->SetModelIndex(modelIndex);
        m_history->SetModelIndex(modelIndex);
        m_iniSeting->SetModelIndex(modelIndex);
    });
    ApplyLanguage(LocaleLanguage());
    UpdateDeviceActions();
    ConnectEditedMark();
}

void TFormK900::ConnectEditedMark()
{
    // Only what the user does to the panes moves the mark: typing, a box, a
    // combo item, the report time, a list editor's OK or a clear. The panes
    // filled by a read, a profile or the language are no edit.
    const auto edited = [this] {
        if (!m_master->Filling())
            UpdateEditedMark();
    };
    const TSettingsPanes *panes = m_views.Panes;
    for (QGroupBox *group : {panes->grp_BasicSeting, panes->grp_PasswordSeting, panes->grp_GPRS_BasicSeting}) {
        for (QLineEdit *edit : group->findChildren<QLineEdit *>()) {
            // A time picker's own line edit is followed through the picker.
            if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
                connect(edit, &QLineEdit::textEdited, this, edited);
        }
        for (QCheckBox *box : group->findChildren<QCheckBox *>())
            connect(box, &QCheckBox::toggled, this, edited);
        for (QComboBox *combo : group->findChildren<QComboBox *>())
            connect(combo, &QComboBox::activated, this, edited);
        for (QTimeEdit *picker : group->findChildren<QTimeEdit *>())
            connect(picker, &QTimeEdit::timeChanged, this, edited);
    }
    for (TBaseSoftInterface *lists : {static_cast<TBaseSoftInterface *>(m_views.SoftDiDoTh),
                                      static_cast<TBaseSoftInterface *>(m_views.SoftTelephone),
                                      static_cast<TBaseSoftInterface *>(m_views.SoftDateTime)})
        connect(lists, &TBaseSoftInterface::rowsEdited, this, edited);
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
    // A disabled Write Setting says why.
    config->setToolTipsVisible(true);
    action(config, "Pop_ReadMaster_Seting", QKeySequence(Qt::CTRL | Qt::Key_R),
           &TFormK900::Pop_ReadMaster_SetingClick);
    action(config, "Pop_WirteMaster", QKeySequence(Qt::CTRL | Qt::Key_W),
           &TFormK900::Pop_WirteMasterClick);
    config->addSeparator()->setObjectName(QStringLiteral("MI_N4"));
    action(config, "Pop_CompareDevice", {}, &TFormK900::Pop_CompareDeviceClick);
    action(config, "Pop_CompareProfile", {}, &TFormK900::Pop_CompareProfileClick);
    action(config, "Pop_RestoreBackup", {}, &TFormK900::Pop_RestoreBackupClick);
    config->addSeparator()->setObjectName(QStringLiteral("MI_N2"));
    action(config, "Menu_R_DO", {}, &TFormK900::Menu_R_DOClick);
    action(config, "Menu_R_TH", {}, &TFormK900::Menu_R_THClick);

    QMenu *system = menu("Pop_System");
    action(system, "Pop_RESET", {}, &TFormK900::Pop_RESETClick);
    system->addSeparator()->setObjectName(QStringLiteral("MI_N3"));
    action(system, "Pop_ReBoot", {}, &TFormK900::Pop_ReBootClick);
    action(system, "Pop_AuditTrail", {}, &TFormK900::Pop_AuditTrailClick);

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
    m_newsLabel = new QLabel(bar);
    m_newsLabel->setObjectName(QStringLiteral("lbl_News"));
    bar->addWidget(m_newsLabel, 2);
    m_editedLabel = new QLabel(bar);
    m_editedLabel->setObjectName(QStringLiteral("lbl_Edited"));
    bar->addWidget(m_editedLabel);
    m_linkLabel = new QLabel(bar);
    m_linkLabel->setObjectName(QStringLiteral("lbl_LinkState"));
    bar->addPermanentWidget(m_linkLabel);

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
    return m_connection->ViewMode();
}

QString TFormK900::StatusText() const
{
    return m_statusLabel->text();
}

QString TFormK900::NewsText() const
{
    return m_newsLabel->text();
}

QString TFormK900::LinkText() const
{
    return m_linkLabel->text();
}

void TFormK900::ShowNews(const QString &text)
{
    m_newsLabel->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + text);
    m_newsLabel->setToolTip(text);
    emit MessageShown(text);
}

void TFormK900::UpdateLinkLabel()
{
    if (!m_linkLabel)
        return;
    const char *key = "TxtLinkClosed";
    switch (m_connection->State()) {
    case TDeviceConnection::TState::Closed: key = "TxtLinkClosed"; break;
    case TDeviceConnection::TState::Opening: key = "TxtLinkOpening"; break;
    case TDeviceConnection::TState::LoggedIn: key = "TxtLinkLoggedIn"; break;
    case TDeviceConnection::TState::ViewMode: key = "TxtLinkViewMode"; break;
    case TDeviceConnection::TState::NoAnswer: key = "TxtLinkNoAnswer"; break;
    case TDeviceConnection::TState::Lost: key = "TxtLinkLost"; break;
    }
    QString text = Text(key);
    const QDateTime last = m_connection->LastAnswer();
    if (last.isValid())
        text += QStringLiteral("  ") + Text("TxtLastAnswer").arg(last.toString(QStringLiteral("HH:mm:ss")));
    m_linkLabel->setText(text);
}

void TFormK900::ShowDisconnected()
{
    SetStatusText(m_connection->PortName() + QStringLiteral("  ") + Text("MsgDisconnected"));
    if (m_deviceCard->Link() != TFormDeviceCard::TLink::Lost)
        m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::Closed);
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

bool TFormK900::CanRun(int needs)
{
    const TJobVerdict refused =
        TDeviceConnection::RefusalVerdict(m_connection->canRun(TDeviceConnection::TNeeds(needs)));
    if (refused.IsDone())
        return true;
    Tell(refused);
    return false;
}

void TFormK900::RunShort(TDeviceJob *job, std::function<void()> then)
{
    m_runner->Run(job, TJobRunner::TProgress::None, [this, job, then = std::move(then)] {
        if (job->outcome() == TDeviceJob::TOutcome::Done)
            then();
        else
            Tell(TJobVerdict::Of(*job));
    });
}

void TFormK900::UpdateDeviceActions()
{
    const bool idle = !Session()->busy();
    for (const char *name : {"Pop_RepCommPort", "Pop_ReadMaster_Seting", "Pop_WirteMaster",
                             "Pop_CompareDevice", "Pop_RestoreBackup",
                             "Menu_R_DO", "Menu_R_TH", "Pop_RESET", "Pop_ReBoot",
                             "Pop_Do_ReadCurrentValue", "Pop_Th_ReadCurrentValue"}) {
        for (QAction *action : findChildren<QAction *>(QString::fromLatin1(name)))
            action->setEnabled(idle);
    }
    if (auto *write = findChild<QAction *>(QStringLiteral("Pop_WirteMaster"))) {
        write->setEnabled(idle && m_settingsKnown);
        write->setToolTip(m_settingsKnown ? QString() : Text("TxtWriteNeedsSettings"));
        write->setStatusTip(write->toolTip());
    }
    for (const char *name : {"btn_Main_Timer_Read", "btn_Main_Timer_Write", "btn_DO1_Close",
                             "btn_DO1_Open", "btn_Do2_Close", "btn_Do2_Open",
                             "btn_ReadHistroyFull", "btn_ReadHistroy", "btn_Clean_History_Dev"}) {
        if (QWidget *control = Control(name))
            control->setEnabled(idle);
    }
}

void TFormK900::FormShow()
{
    btn_PC_TimeClick();
    m_views.SizeColumns();
    m_views.BuildRows();
    MarkSaved();
    if (TSoftSkins *skins = BuildSkinsMenu(findChild<QMenu *>(QStringLiteral("N_Skins")), ProgramSkinFolders()))
        skins->RememberIn();
    ApplyLanguage(LocaleLanguage());
    // The welcome page first, also when the port does not open.
    m_sheets.PageControl->setCurrentIndex(0);
    switch (m_connection->State()) {
    case TDeviceConnection::TState::ViewMode:
        SetStatusText(QStringLiteral("View"));
        m_deviceCard->SetPort(QString(), TFormDeviceCard::TLink::ViewMode);
        return;
    case TDeviceConnection::TState::LoggedIn:
        // The login window logged in: the device is known already.
        SetStatusText(m_connection->PortName());
        m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::LoggedIn);
        ShowIdentity(m_connection->Identity());
        return;
    case TDeviceConnection::TState::Opening:
        SetStatusText(m_connection->PortName());
        m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::Opening);
        return;
    case TDeviceConnection::TState::NoAnswer:
        SetStatusText(m_connection->PortName());
        Tell(m_connection->LoginVerdict());
        return;
    case TDeviceConnection::TState::Closed:
    case TDeviceConnection::TState::Lost:
        ShowDisconnected();
        return;
    }
}

void TFormK900::StartLogin(const QString &password)
{
    m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::Opening);
    SetStatusText(m_connection->PortName());
    m_runner->Run(m_connection->Login(m_connection->PortName(), password, true), TJobRunner::TProgress::None, {});
}

void TFormK900::LoginEnded(bool loggedIn)
{
    if (loggedIn) {
        SetStatusText(m_connection->PortName());
        m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::LoggedIn);
        ShowIdentity(m_connection->Identity());
        return;
    }
    const TJobVerdict &verdict = m_connection->LoginVerdict();
    if (verdict.what == TJobFailure::TWhat::Refused) {
        // The window and its edits stay; the user can correct the
        // password field and open the port again.
        m_connection->Close();
        ShowDisconnected();
    } else if (verdict.what == TJobFailure::TWhat::OpenFailed) {
        ShowDisconnected();
    }
    Tell(verdict);
}

void TFormK900::ApplyLanguage(int language)
{
    m_language = language == 0 ? 0 : 1;
    if (m_audit)
        m_audit->SetLanguage(m_language);
    if (m_master)
        m_master->SetLanguage(m_language);
    if (m_iniSeting)
        m_iniSeting->SetLanguage(m_language);
    TLanguage::SwitchLanguage(*this, m_language);
    // The title and the status bar's mark are texts of the language too.
    ShowEditedMark(m_editedShown);
    // The status bar's "Disconnected" follows the language as well.
    if (m_shown && !ViewMode() && !Session()->isOpen())
        ShowDisconnected();
    UpdateDeviceActions();
    UpdateLinkLabel();
    // Old news stays in the language it was said in: let it go.
    if (m_newsLabel) {
        m_newsLabel->clear();
        m_newsLabel->setToolTip(QString());
    }
}

void TFormK900::ShowError(const QString &text)
{
    ShowErrorBox(this, text);
    emit MessageShown(text);
}

void TFormK900::ShowIdentity(const TDeviceIdentity &identity)
{
    // The channel rows are rebuilt for the model; panes nobody edited stay unedited.
    const bool edited = EditsUnsaved();
    m_deviceCard->SetVersionReply(identity.model, identity.version, identity.imei, identity.signal);
    m_modelIndex = identity.modelIndex;
    m_imei = identity.imei;
    // A new login may be another device: its image is read again before a write.
    m_deviceImage.clear();
    emit ModelKnown(m_modelIndex, identity.model);
    m_history->SetDevice(identity.imei, identity.model);
    if (!edited)
        MarkSaved();
    ApplyLanguage(m_language);
}

void TFormK900::Tell(const TJobVerdict &verdict, bool flow)
{
    Tell(verdict, flow, windowTitle());
}

void TFormK900::Tell(const TJobVerdict &verdict, bool flow, const QString &caption)
{
    const QString text = verdict.WindowText(m_language);
    if (!text.isEmpty() && verdict.IsDone()) {
        // Good news interrupts nobody: the status bar says it.
        m_newsLabel->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + text);
        m_newsLabel->setToolTip(text);
    } else if (!text.isEmpty()) {
        if (verdict.severity == TJobVerdict::TSeverity::Error)
            ShowErrorBox(this, text);
        else
            ShowMessageWindow(text, caption);
    }
    if (flow)
        emit FlowFinished(verdict.IsDone(), text);
    else if (!text.isEmpty())
        emit MessageShown(text);
}

void TFormK900::Pop_ReadMaster_SetingClick()
{
    if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
        return;
    if (AskFirstIfEdited(&TFormK900::Pop_ReadMaster_SetingClick))
        return;
    if (m_connection->canRun() == TDeviceConnection::TRefusal::ModelUnknown) {
        Tell(TDeviceConnection::RefusalVerdict(TDeviceConnection::TRefusal::ModelUnknown), true);
        return;
    }
    TConfigReadJob *read = m_connection->ReadConfig();
    connect(read, &TConfigReadJob::imageRead, this, [this, read] {
        m_master->ImageToControls(read->Decoded());
        // The password the device holds from now on.
        m_connection->SetPassword(read->Decoded().Values.Text(ConfigControls::MainPassword));
        m_history->SetChannelRows(read->Decoded().Values.lvTh);
        m_deviceImage = read->Image().left(ConfigMap::ImageSize);
        m_history->SetConfigurationImage(m_deviceImage);
        MarkSaved();
        SetSettingsKnown(true);
        m_deviceCard->SetSettingsRead(QDateTime::currentDateTime());
    });
    connect(read, &TConfigReadJob::currentValuesRead, this,
            [this](Const::TExpectedReply kind, const QByteArray &frame) {
                if (kind == Const::ReplyDoStatus)
                    emit DoStatusReply(frame);
                else
                    emit ThValuesReply(frame);
            });
    // Stopped or lost before the image was whole: the panes keep what they showed.
    m_runner->Run(read, TJobRunner::TProgress::Job, [this, read] {
        Tell(TJobVerdict::Of(*read, [this](const TConfigError &where) { return CaptionOf(where); }), true);
    });
}

void TFormK900::SetSettingsKnown(bool known)
{
    m_settingsKnown = known;
    UpdateDeviceActions();
}

void TFormK900::Pop_WirteMasterClick()
{
    if (!m_settingsKnown) {
        Tell(TJobVerdict::Make(TJobVerdict::TSeverity::Error, JobExit::BadInput,
                               QStringLiteral("TxtWriteNeedsSettings"), {}, QString(), {}),
             true);
        return;
    }
    if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
        return;
    if (m_connection->canRun() == TDeviceConnection::TRefusal::ModelUnknown) {
        Tell(TDeviceConnection::RefusalVerdict(TDeviceConnection::TRefusal::ModelUnknown), true);
        return;
    }
    btn_PC_TimeClick();
    // Nothing is sent unless every field encodes.
    const TEncodeResult encoded = m_master->ControlsToImage();
    if (!encoded.Ok()) {
        Tell(TJobVerdict::Make(TJobVerdict::TSeverity::Error, JobExit::BadInput, QString(),
                               {m_master->ErrorMessage(encoded.Error)}, QString(), {}),
             true);
        return;
    }
    if (AskReasonFirst([this] { Pop_WirteMasterClick(); }))
        return;
    StartVerifiedWrite(encoded.Image);
}

bool TFormK900::AskReasonFirst(std::function<void()> again)
{
    if (m_reasonGiven)
        return false;
    AskReason(AuditSettings::ReasonRequired(), [this, again = std::move(again)](const QString &reason) {
        m_reason = reason;
        m_reasonGiven = true;
        again();
        m_reasonGiven = false;
    });
    return true;
}

TDeviceJob *TFormK900::Noted(TDeviceJob *job, const QString &action)
{
    job->SetNote({action, m_reason});
    return job;
}

void TFormK900::Pop_AuditTrailClick()
{
    auto *view = new TFormAuditTrail(&m_audit->Trail(), m_language, this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    connect(view, &TFormAuditTrail::MessageShown, this, &TFormK900::MessageShown);
    view->show();
}

void TFormK900::StartVerifiedWrite(const QByteArray &image, const QString &action, std::function<void()> written)
{
    const int modelIndex = m_modelIndex;
    const int language = m_language;
    const QString imei = m_imei;
    TVerifiedWriteJob *write = m_connection->WriteVerified(
        image, m_deviceImage, [this, imei, modelIndex, language](const QByteArray &deviceImage, QString *keptFile) {
            TBackupEntry kept;
            const QString error =
                m_backups.Keep(imei, deviceImage, modelIndex, language, QDateTime::currentDateTime(), &kept);
            *keptFile = kept.imagePath;
            return error;
        });
    Noted(write, action);
    m_runner->Run(write, TJobRunner::TProgress::Job, [this, write, image, written = std::move(written)] {
        // Whatever the end, the device may now hold other bytes than the
        // last read: the next write reads it again first.
        if (TVerifiedWriteJob::TStep(qMax(0, write->Failure().step)) != TVerifiedWriteJob::TStep::Backup)
            m_deviceImage.clear();
        if (write->outcome() == TDeviceJob::TOutcome::Done) {
            m_deviceImage = write->ReadBackImage();
            if (written)
                written();
            else if (m_master->ControlsToImage().Image == image)
                MarkSaved();
        }
        Tell(TJobVerdict::Of(*write, [this](const TConfigError &where) { return CaptionOf(where); }), true);
    });
}

QString TFormK900::CaptionOf(const TConfigError &where) const
{
    if (where.Control.isEmpty())
        return FieldCaptions::Caption(QString(), where.Row, -1, m_master->ShownModel(), m_language);
    return m_master->CaptionOf(where);
}

QString TFormK900::FieldCaption(const TFieldDiff &diff) const
{
    return DiffCaption(diff, m_master->ShownModel(), m_language);
}

void TFormK900::ShowDifferences(const QList<TFieldDiff> &diffs, const QString &otherHeader, const QString &nextText,
                                const char *nextName, std::function<void()> next)
{
    if (diffs.isEmpty()) {
        ShowMessageWindow(Text("MsgNoDifferences"), windowTitle());
        emit MessageShown(Text("MsgNoDifferences"));
        return;
    }
    QVector<QStringList> rows;
    for (const TFieldDiff &diff : diffs)
        rows << QStringList{FieldCaption(diff), DiffValueText(diff, diff.Before, m_language),
                            DiffValueText(diff, diff.After, m_language)};
    auto *table = new TFormFieldTable(this, Text("TxtDifferencesTitle"),
                                      {Text("TxtDiffField"), otherHeader, Text("TxtDiffWindow")}, rows,
                                      Text("TxtClose"));
    if (!nextText.isEmpty())
        table->AddAction(nextText, nextName, std::move(next));
    table->open();
    emit MessageShown(table->windowTitle());
}

void TFormK900::ReadDeviceImage(std::function<void(const QByteArray &)> then)
{
    TConfigReadJob *read = m_connection->ReadConfig(false);
    m_runner->Run(read, TJobRunner::TProgress::Job, [this, read, then = std::move(then)] {
        if (read->outcome() == TDeviceJob::TOutcome::Done) {
            m_deviceImage = read->Image().left(ConfigMap::ImageSize);
            then(m_deviceImage);
        } else {
            Tell(TJobVerdict::Of(*read, [this](const TConfigError &where) { return CaptionOf(where); }));
        }
    });
}

void TFormK900::Pop_CompareDeviceClick()
{
    if (!CanRun(TDeviceConnection::AllNeeds))
        return;
    const TEncodeResult window = m_master->ControlsToImage();
    if (!window.Ok()) {
        ShowError(m_master->ErrorMessage(window.Error));
        return;
    }
    ReadDeviceImage([this, image = window.Image](const QByteArray &device) {
        // The next step: the panes written (only settings from a source).
        if (m_settingsKnown)
            ShowDifferences(DiffDeviceWithSettings(device, image, m_modelIndex), Text("TxtDiffDevice"),
                            Text("TxtWriteToDevice"), "btn_WriteToDevice", [this] { Pop_WirteMasterClick(); });
        else
            ShowDifferences(DiffDeviceWithSettings(device, image, m_modelIndex), Text("TxtDiffDevice"));
    });
}

void TFormK900::Pop_CompareProfileClick()
{
    if (m_runner->Current())
        return;
    const TEncodeResult window = m_master->ControlsToImage();
    if (!window.Ok()) {
        ShowError(m_master->ErrorMessage(window.Error));
        return;
    }
    const QString chosen = m_iniSeting->ChooseOpenFile(FileFolders::StartFolder(QStringLiteral("profiles")));
    if (chosen.isEmpty())
        return;
    // Read as Load Profile would read it over what the panes show, without
    // touching the panes.
    TIniFile ini(chosen);
    if (!ini.Load() || !TProfileImage::IsProfile(ini)) {
        ShowError(Text("MsgProfileReadFailed") + QStringLiteral("\n\n") + QDir::toNativeSeparators(chosen));
        return;
    }
    const TEncodeResult profile = EncodeImage(
        TProfileImage::Read(ini, m_modelIndex, m_language, m_master->ControlsToValues()), m_modelIndex);
    if (!profile.Ok()) {
        ShowError(m_master->ErrorMessage(profile.Error));
        return;
    }
    // The file compared is named; the next step loads it into the panes.
    const QString header = Text("TxtDiffProfile") + QStringLiteral(" (") + QFileInfo(chosen).fileName() + QLatin1Char(')');
    ShowDifferences(DiffConfigImages(profile.Image, window.Image, m_modelIndex), header, Text("TxtLoadIntoWindow"),
                    "btn_LoadIntoWindow", [this, chosen] {
                        AskUnsavedEdits([this, chosen] {
                            const TProfileResult loaded = m_iniSeting->LoadProfile(chosen);
                            if (!loaded.ok()) {
                                ShowError(Text("MsgProfileReadFailed") + QStringLiteral("\n\n")
                                          + QDir::toNativeSeparators(chosen));
                                return;
                            }
                            SetSettingsKnown(true);
                            UpdateEditedMark();
                            ShowNews(Text("MsgProfileLoadedFrom").arg(QDir::toNativeSeparators(chosen)));
                        });
                    });
}

void TFormK900::Pop_RestoreBackupClick()
{
    if (!CanRun(TDeviceConnection::AllNeeds))
        return;
    const QList<TBackupEntry> entries = m_backups.List(m_imei);
    if (entries.isEmpty()) {
        ShowMessageWindow(Text("MsgNoBackups"), windowTitle());
        emit MessageShown(Text("MsgNoBackups"));
        return;
    }
    // The device is read first, to say how far each backup is from it now.
    ReadDeviceImage([this, entries](const QByteArray &device) {
        QVector<QStringList> rows;
        QList<QByteArray> images;
        QStringList faults;
        for (const TBackupEntry &entry : entries) {
            QByteArray image;
            const TBackupFault fault = TBackupStore::Check(entry, m_modelIndex, &image);
            images << image;
            faults << TBackupStore::FaultText(fault, m_language);
            const QString differing = fault != TBackupFault::None
                ? faults.last()
                : QString::number(DiffConfigImages(device, image, m_modelIndex).size());
            rows << QStringList{entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), differing};
        }
        auto *table = new TFormFieldTable(this, Text("TxtBackupsTitle"),
                                          {Text("TxtBackupTime"), Text("TxtBackupDiffers")}, rows,
                                          Text("TxtClose"), Text("TxtRestore"));
        // The fields the selected backup would change, named before anything is chosen.
        connect(table->Table(), &QTableWidget::itemSelectionChanged, table, [this, table, device, images, faults] {
            const QList<QTableWidgetItem *> selected = table->Table()->selectedItems();
            const int row = selected.isEmpty() ? -1 : selected.first()->row();
            if (row < 0 || row >= images.size()) {
                table->Note()->hide();
                return;
            }
            QString note;
            if (images.at(row).isEmpty()) {
                note = Text("MsgBackupRefused").arg(faults.at(row));
            } else {
                QStringList fields;
                for (const TFieldDiff &diff : DiffConfigImages(device, images.at(row), m_modelIndex))
                    fields << FieldCaption(diff);
                fields.removeDuplicates();
                note = fields.isEmpty() ? Text("TxtBackupChangesNothing")
                                        : Text("TxtBackupWouldChange").arg(fields.join(QStringLiteral("; ")));
            }
            table->Note()->setText(note);
            table->Note()->show();
        });
        connect(table, &TFormFieldTable::chosen, this, [this, entries, device, images, faults](int row) {
            if (row < 0 || row >= images.size() || !CanRun(TDeviceConnection::AllNeeds))
                return;
            if (images.at(row).isEmpty()) {
                ShowError(Text("MsgBackupRefused").arg(faults.at(row)));
                return;
            }
            AskRestore(entries.at(row), device, images.at(row));
        });
        table->open();
        emit MessageShown(table->windowTitle());
    });
}

void TFormK900::AskRestore(const TBackupEntry &entry, const QByteArray &device, const QByteArray &backup)
{
    const QString when = entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QList<TFieldDiff> diffs = DiffConfigImages(device, backup, m_modelIndex);
    if (diffs.isEmpty()) {
        ShowMessageWindow(Text("MsgRestoreNothing").arg(when), windowTitle());
        emit MessageShown(Text("MsgRestoreNothing").arg(when));
        return;
    }
    QVector<QStringList> rows;
    for (const TFieldDiff &diff : diffs)
        rows << QStringList{FieldCaption(diff), DiffValueText(diff, diff.Before, m_language),
                            DiffValueText(diff, diff.After, m_language)};
    const int model = m_modelIndex;
    const QString question = Text("MsgRestoreAsk").arg(when);
    TFormFieldTable::Ask(this, Text("TxtRestoreTitle"), question,
                         {Text("TxtDiffField"), Text("TxtDiffDeviceNow"), Text("TxtDiffBackup")}, rows,
                         Text("TxtRestore"), Text("TxtCancel"), [this, backup, model, when] {
                             if (!CanRun(TDeviceConnection::AllNeeds))
                                 return;
                             AskReason(AuditSettings::ReasonRequired(), [this, backup, model](const QString &reason) {
                                 if (!CanRun(TDeviceConnection::AllNeeds))
                                     return;
                                 m_reason = reason;
                                 StartVerifiedWrite(backup, QStringLiteral("restore"), [this, backup, model] {
                                     // The window shows what the device now holds.
                                     m_master->ImageToControls(DecodeImage(backup, model));
                                     MarkSaved();
                                     SetSettingsKnown(true);
                                 });
                             });
                         });
    emit MessageShown(question);
}

TConfigValues TFormK900::SettingsShown() const
{
    TConfigValues values = m_master->ControlsToValues();
    // Showing the password in clear changes no setting.
    values.Checks.remove(ConfigControls::ShowPassword);
    // The live cells (relay state, current sensor value) are readings, not settings.
    for (QStringList &row : values.lvDo) {
        if (row.size() > ConfigCells::DoStatus)
            row[ConfigCells::DoStatus].clear();
    }
    for (QStringList &row : values.lvTh) {
        if (row.size() > ConfigCells::ThValue)
            row[ConfigCells::ThValue].clear();
    }
    return values;
}

bool TFormK900::EditsUnsaved() const
{
    return m_master && SettingsShown() != m_savedValues;
}

void TFormK900::MarkSaved()
{
    if (m_master)
        m_savedValues = SettingsShown();
    UpdateEditedMark();
}

void TFormK900::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && m_editedShown
        && !windowTitle().endsWith(QStringLiteral(" *")))
        setWindowTitle(windowTitle() + QStringLiteral(" *"));
}

void TFormK900::UpdateEditedMark()
{
    ShowEditedMark(EditsUnsaved());
}

void TFormK900::ShowEditedMark(bool edited)
{
    m_editedShown = edited;
    const QString mark = QStringLiteral(" *");
    QString title = windowTitle();
    if (title.endsWith(mark) && !edited)
        title.chop(mark.size());
    else if (!title.endsWith(mark) && edited)
        title += mark;
    if (title != windowTitle())
        setWindowTitle(title);
    if (m_editedLabel)
        m_editedLabel->setText(edited ? Text("TxtEditedMark") : QString());
}

bool TFormK900::AskFirstIfEdited(void (TFormK900::*handler)())
{
    if (m_editsConfirmed || !EditsUnsaved())
        return false;
    AskUnsavedEdits([this, handler] {
        // The handler runs again, this time past the question.
        m_editsConfirmed = true;
        (this->*handler)();
        m_editsConfirmed = false;
    });
    return true;
}

void TFormK900::AskUnsavedEdits(std::function<void()> proceed)
{
    if (!EditsUnsaved()) {
        proceed();
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Question, windowTitle(), Text("MsgUnsavedEdits"),
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box->setObjectName(QStringLiteral("UnsavedEditsBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDefaultButton(QMessageBox::Cancel);
    connect(box, &QMessageBox::finished, this, [this, box, proceed = std::move(proceed)](int) {
        const QMessageBox::StandardButton answer = box->standardButton(box->clickedButton());
        if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && m_iniSeting->N_SaveClick()))
            proceed();
    });
    box->open();
    emit MessageShown(box->text());
}

void TFormK900::ConnectionLost()
{
    ShowDisconnected();
    m_deviceCard->SetPort(m_connection->PortName(), TFormDeviceCard::TLink::Lost);
    ShowError(Text("MsgPortLost"));
}

void TFormK900::DeviceRemoved()
{
    AskQuestion(this, Text("MsgPortChanged"), [] { RestartProgram(); });
}

void TFormK900::closeEvent(QCloseEvent *event)
{
    if (m_runner->Current() && !m_closing) {
        event->ignore();
        AskToStopAndClose();
        return;
    }
    if (!m_closing && EditsUnsaved()) {
        event->ignore();
        AskUnsavedEdits([this] {
            m_closing = true;
            close();
        });
        return;
    }
    Session()->close();
    QMainWindow::closeEvent(event);
}

void TFormK900::AskToStopAndClose()
{
    AskQuestion(this, Text("MsgJobRunningClose"), [this] {
        TDeviceJob *job = m_runner->Current();
        if (!job) {
            m_closing = true;
            close();
            return;
        }
        // The job's own end is shown first (a stopped write says what the
        // device may hold); the window closes once the user has read it.
        connect(m_runner, &TJobRunner::jobEnded, this, [this] {
            m_closing = true;
            QMessageBox *box = nullptr;
            for (QMessageBox *open : findChildren<QMessageBox *>(QStringLiteral("ErrorBox")))
                box = open->isVisible() ? open : box;
            if (box)
                connect(box, &QMessageBox::finished, this, &QWidget::close);
            else
                close();
        }, Qt::SingleShotConnection);
        job->cancel();
    });
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
    if (!Session()->isOpen())
        return;
    if (AskFirstIfEdited(&TFormK900::Pop_DisCommPortClick))
        return;
    if (TDeviceJob *job = m_runner->Current())
        job->cancel();
    m_connection->Close();
    ShowDisconnected();
}

void TFormK900::Pop_RepCommPortClick()
{
    // The View mode never connects.
    if (ViewMode() || m_runner->Current()
        || m_connection->canRun(TDeviceConnection::NeedIdle) != TDeviceConnection::TRefusal::None)
        return;
    StartLogin(PasswordFieldText().trimmed());
}

void TFormK900::Pop_ReBootClick()
{
    // The program starts again after a reboot: unsaved edits would be gone.
    if (AskFirstIfEdited(&TFormK900::Pop_ReBootClick))
        return;
    if (AskReasonFirst([this] { Pop_ReBootClick(); }))
        return;
    AskQuestion(this, Text("MsgRebootAsk"), [this] {
        if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
            return;
        // The device restarts; so does the program, once the line is on its way.
        RunShort(Noted(m_connection->Reboot(PasswordFieldText().trimmed())),
                 [] { QTimer::singleShot(TRelayJob::SwitchPauseMs, qApp, [] { RestartProgram(); }); });
    });
}

void TFormK900::Pop_RESETClick()
{
    if (AskFirstIfEdited(&TFormK900::Pop_RESETClick))
        return;
    if (AskReasonFirst([this] { Pop_RESETClick(); }))
        return;
    const auto reset = [this] {
        if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
            return;
        TDeviceJob *job = Noted(m_connection->Reset(PasswordFieldText().trimmed()));
        RunShort(job, [this, job] { Tell(TJobVerdict::Of(*job), false, QString()); });
    };
    // What the device loses, and the safe step: its settings kept as a
    // backup (Restore Backup puts them back) before the reset.
    AskWithSafeStep(
        this, Text("MsgResetAsk") + QStringLiteral("\n\n") + Text("MsgResetLoses"), Text("TxtBackupThenReset"),
        [this, reset] {
            if (!CanRun(TDeviceConnection::AllNeeds))
                return;
            ReadDeviceImage([this, reset](const QByteArray &device) {
                const QString error = m_backups.Keep(m_imei, device, m_modelIndex, m_language);
                if (!error.isEmpty()) {
                    ShowError(Text("MsgResetBackupFailed").arg(error));
                    return;
                }
                reset();
            });
        },
        Text("TxtResetAnyway"), reset);
}

void TFormK900::btn_Main_Timer_ReadClick()
{
    if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
        return;
    TClockReadJob *read = m_connection->ReadClock();
    RunShort(read, [this, read] {
        const QDateTime clock = read->Clock();
        if (auto *dtpYMD = findChild<QDateEdit *>(QStringLiteral("dtpYMD")))
            dtpYMD->setDate(clock.date());
        if (auto *dtpHMS = findChild<QTimeEdit *>(QStringLiteral("dtpHMS")))
            dtpHMS->setTime(clock.time());
        m_deviceCard->SetDeviceClock(clock);
        Tell(TJobVerdict::Of(*read));
    });
}

void TFormK900::btn_Main_Timer_WriteClick()
{
    if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
        return;
    if (AskReasonFirst([this] { btn_Main_Timer_WriteClick(); }))
        return;
    auto *dtpYMD = findChild<QDateEdit *>(QStringLiteral("dtpYMD"));
    auto *dtpHMS = findChild<QTimeEdit *>(QStringLiteral("dtpHMS"));
    const QDate date = dtpYMD ? dtpYMD->date() : QDate::currentDate();
    const QTime time = dtpHMS ? dtpHMS->time() : QTime::currentTime();
    TDeviceJob *write = Noted(m_connection->WriteClock(QDateTime(date, time)));
    RunShort(write, [this, write] {
        // The set's own outcome, as the audit trail keeps it, comes first.
        const QString setText = TJobVerdict::Of(*write).WindowText(m_language);
        // What the device took is read back; a read that fails after the
        // set says what was done.
        TClockReadJob *read = m_connection->ReadClock();
        m_runner->Run(read, TJobRunner::TProgress::None, [this, read, setText] {
            if (read->outcome() != TDeviceJob::TOutcome::Done) {
                Tell(read->Failure().what == TJobFailure::TWhat::ClockUnreadable ? TJobVerdict::ClockSetNotReadBack()
                                                                                 : TJobVerdict::Of(*read));
                return;
            }
            m_deviceCard->SetDeviceClock(read->Clock());
            const TJobVerdict readBack = TJobVerdict::Of(*read);
            Tell(TJobVerdict::Make(TJobVerdict::TSeverity::Done, JobExit::Done, QStringLiteral("MsgClockSetThenRead"),
                                   {setText, readBack.WindowText(m_language)}, QString(), {}));
        });
    });
}

void TFormK900::btn_PC_TimeClick()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (auto *dtpYMD = findChild<QDateEdit *>(QStringLiteral("dtpYMD")))
        dtpYMD->setDate(now.date());
    if (auto *dtpHMS = findChild<QTimeEdit *>(QStringLiteral("dtpHMS")))
        dtpHMS->setTime(now.time());
}

void TFormK900::SwitchRelay(const char *keyword)
{
    if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
        return;
    if (AskReasonFirst([this, keyword] { SwitchRelay(keyword); }))
        return;
    TRelayJob *relay = m_connection->SwitchRelay(keyword);
    Noted(relay);
    m_runner->Run(relay, TJobRunner::TProgress::None, [this, relay] {
        if (relay->outcome() == TDeviceJob::TOutcome::Done) {
            emit DoStatusReply(relay->StatusFrame());
            return;
        }
        // The line went out, but what the relays did is not known.
        if (relay->Failure().what == TJobFailure::TWhat::RelayUnknown) {
            m_views.SoftDiDoTh->ShowDoStatusUnknown(m_views.lvDo);
            m_deviceCard->SetRelayStatesUnknown();
        }
        Tell(TJobVerdict::Of(*relay));
    });
}

void TFormK900::btn_DO1_CloseClick()
{
    SwitchRelay("DOC1");
}

void TFormK900::btn_DO1_OpenClick()
{
    SwitchRelay("DOO1");
}

void TFormK900::btn_Do2_CloseClick()
{
    SwitchRelay("DOC2");
}

void TFormK900::btn_Do2_OpenClick()
{
    SwitchRelay("DOO2");
}

void TFormK900::AskCurrentValues(Const::TExpectedReply kind)
{
    if (!CanRun(TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle))
        return;
    TCurrentValuesJob *values = m_connection->ReadCurrentValues(kind);
    RunShort(values, [this, values] {
        if (values->Kind() == Const::ReplyDoStatus)
            emit DoStatusReply(values->Frame());
        else
            emit ThValuesReply(values->Frame());
    });
}

void TFormK900::Menu_R_DOClick()
{
    AskCurrentValues(Const::ReplyDoStatus);
}

void TFormK900::Menu_R_THClick()
{
    AskCurrentValues(Const::ReplyThValues);
}

void TFormK900::N_ExitClick()
{
    if (m_runner->Current()) {
        AskToStopAndClose();
        return;
    }
    AskUnsavedEdits([] { QApplication::exit(0); });
}

void TFormK900::N_OpenClick()
{
    if (m_runner->Current())
        return;
    AskUnsavedEdits([this] {
        // The panes now hold the profile, which the device does not have.
        if (m_iniSeting->N_OpenClick()) {
            SetSettingsKnown(true);
            UpdateEditedMark();
        }
    });
}

void TFormK900::N_AboutClick()
{
    QMessageBox::about(this, windowTitle(),
                       windowTitle() + QStringLiteral("\n\nK801 / K802 / K803"));
}
