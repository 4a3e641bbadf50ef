#include "history/HistorySheet_Frm.h"

#include "audit/AuditRecorder_Unt.h"

#include "dialogs/BasicAnimate_Frm.h"
#include "base/Const_Unt.h"
#include "dialogs/FileDialogs_Frm.h"
#include "base/Funs_Unt.h"
#include "dialogs/JobRunner_Frm.h"
#include "dialogs/MessageBox_Frm.h"
#include "dialogs/Questions_Frm.h"

#include <QTimer>
#include "config/ConfigImage_Unt.h"
#include "history/HistoryArchiveExport_Unt.h"
#include "history/HistoryArchiveView_Frm.h"
#include "history/HistoryChart_Frm.h"
#include "look/FlowLayout_Unt.h"
#include "look/TabOrder_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryDownload_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "look/ComponentEx.h"
#include "report/ReportDialog_Frm.h"
#include "report/ReportPanel_Frm.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QEvent>
#include <QSplitter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int FixedColumns = 8;
constexpr int EditMaxLength = 6;
constexpr int GridRowHeight = 18;

// Where the CSV dialogs start: the folder of the last CSV file chosen.
QString ProgramFolder()
{
    return FileFolders::StartFolder(QStringLiteral("csv"));
}

const TFileDialogSpec kCsvDialogSave{"dlgSaveCSV", QStringLiteral("CSV File (*.csv)"), true, true, "csv"};
const TFileDialogSpec kCsvDialogOpen{"dlgOpenCSV", QStringLiteral("CSV File (*.csv)"), true, true, "csv"};

QPushButton *NamedButton(const char *name, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QGroupBox *NamedGroup(const char *name, QWidget *parent)
{
    auto *group = new QGroupBox(parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

TLabeledEdit *NamedEdit(const char *name, QWidget *parent)
{
    auto *edit = new TLabeledEdit(parent, TLabeledEdit::LabelPosition::Above);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(EditMaxLength);
    edit->setText(QStringLiteral("11"));
    return edit;
}

void SetCaption(QWidget *control, int language)
{
    const ConstLang::TLangTarget *target =
        ConstLang::FindTarget(control->objectName(), ConstLang::TargetKind::Caption);
    const std::optional<QString> text = target ? target->Text(language) : std::nullopt;
    if (!text)
        return;
    if (auto *button = qobject_cast<QPushButton *>(control))
        button->setText(*text);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(*text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(*text);
}

void SetLabel(TLabeledEdit *edit, int language)
{
    const ConstLang::TLangTarget *target =
        ConstLang::FindTarget(edit->objectName(), ConstLang::TargetKind::Label);
    if (const std::optional<QString> text = target ? target->Text(language) : std::nullopt)
        edit->setLabelText(*text);
}

// Grid columns of the state texts: status, DO1, DO2, record type.
constexpr int FirstStateColumn = 4;
constexpr int LastStateColumn = 7;

// The state texts of either language, each mapped to its text in language.
QHash<QString, QString> StateTextsInto(int language)
{
    const THistoryTexts target = THistoryTexts::ForLanguage(language);
    QHash<QString, QString> replacements;
    for (int other : {ConstLang::Chinese, ConstLang::English}) {
        const THistoryTexts source = THistoryTexts::ForLanguage(other);
        replacements.insert(source.armed, target.armed);
        replacements.insert(source.disarmed, target.disarmed);
        replacements.insert(source.relayClosed, target.relayClosed);
        replacements.insert(source.relayOpen, target.relayOpen);
        for (std::size_t code = 0; code < source.recordTypes.size(); ++code)
            replacements.insert(source.recordTypes[code], target.recordTypes[code]);
    }
    return replacements;
}

// Before the model is known the grid shows a K801's value headers; they
// follow the language as the other headers do.
void SetStartValueHeaders(THistoryGridModel &grid, int language)
{
    const QStringList headers = ConstLang::HistoryValueHeaders(0, language);
    for (int index = 0; index < headers.size(); ++index)
        grid.SetCell(FixedColumns + index, 0, headers.at(index));
}

// Frees a progress window now; closing it first sets the stop flag and
// gives the main window back, as the window does when the user closes it.
void FreeProgress(QPointer<TFormBasicAnimate> &window)
{
    if (!window)
        return;
    window->hide();
    delete window.data();
    window = nullptr;
}

} // namespace

THistorySheet::THistorySheet(QWidget *mainWindow, QWidget *sheet, TJobRunner *runner,
                             TDeviceConnection *connection)
    : QObject(mainWindow), m_main(mainWindow), m_sheet(sheet), m_runner(runner), m_connection(connection),
      m_session(connection->Session())
{
    AskReason = [this](bool required, std::function<void(const QString &)> proceed) {
        ::AskReason(m_main, m_language, required, std::move(proceed));
    };
    setObjectName(QStringLiteral("HistorySheet"));
    // The filter's words follow the language; the pattern stays.
    const auto inLanguage = [this](TFileDialogSpec spec) {
        spec.NameFilter = Text("TxtCsvFilter");
        return spec;
    };
    ChooseSaveFile = [this, inLanguage](const QString &folder, const QString &defaultName) {
        return ChooseFileToSave(m_main, inLanguage(kCsvDialogSave), folder, defaultName);
    };
    ChooseOpenFile = [this, inLanguage](const QString &folder) {
        return ChooseFileToOpen(m_main, inLanguage(kCsvDialogOpen), folder);
    };

    m_download = new THistoryDownload(m_soft, m_grid, &m_archive, this);
    // A download without a configuration read in this connection reads it
    // first, so the archive keeps the limits with the records.
    m_download->SetConfigurationReader([this] { return m_connection->ReadConfig(false); });
    connect(m_download, &THistoryDownload::configurationRead, this,
            [this](const QByteArray &image, const QDateTime &read) {
                m_configuration = image;
                m_configurationRead = read;
                m_configurationFromDownload = true;
                // The chart's limit lines, unless the window's own read gave them.
                if (m_channels.isEmpty()) {
                    QVector<TChartChannelInfo> channels;
                    const TReportConfiguration configuration =
                        TReportConfiguration::FromImage(image, m_modelIndex, m_language);
                    for (const TReportChannel &channel : configuration.channels)
                        channels.append(TChartChannelInfo{channel.name, channel.high, channel.low});
                    SetChannelInfo(channels);
                }
            });
    m_soft.InitGrid(m_grid);
    BuildControls();
    SetPickersToNow();
    Retranslate(ConstLang::English);
}

THistorySheet::~THistorySheet() = default;

void THistorySheet::BuildControls()
{
    QWidget *sheet = m_sheet;

    SgHist = new QTableView(sheet);
    SgHist->setObjectName(QStringLiteral("SgHist"));
    SgHist->setModel(&m_grid);
    SgHist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SgHist->setSelectionBehavior(QAbstractItemView::SelectRows);
    SgHist->setWordWrap(false);
    // 20000 rows stay cheap only when no row is measured: every row has the
    // same fixed height and column 0 stands in for the row header.
    SgHist->verticalHeader()->hide();
    SgHist->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SgHist->verticalHeader()->setMinimumSectionSize(GridRowHeight);
    SgHist->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    SgHist->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    SgHist->horizontalHeader()->setHighlightSections(false);
    if (m_grid.HeaderRowHeight() > 0)
        SgHist->horizontalHeader()->setFixedHeight(m_grid.HeaderRowHeight());
    ApplyColumnWidths();
    connect(&m_grid, &QAbstractItemModel::columnsInserted, this, &THistorySheet::ApplyColumnWidths);
    connect(&m_grid, &QAbstractItemModel::modelReset, this, &THistorySheet::ApplyColumnWidths);

    grp_History = NamedGroup("grp_History", sheet);
    lbledt_ReadQty = NamedEdit("lbledt_ReadQty", grp_History);
    btn_ReadHistroyFull = NamedButton("btn_ReadHistroyFull", grp_History);
    lbledt_ReadLine = NamedEdit("lbledt_ReadLine", grp_History);
    btn_ReadHistroy = NamedButton("btn_ReadHistroy", grp_History);
    btn_Clean_History_Dev = NamedButton("btn_Clean_History_Dev", grp_History);
    btn_History_Clear = NamedButton("btn_History_Clear", grp_History);
    auto *historyLayout = new QGridLayout(grp_History);
    historyLayout->addWidget(lbledt_ReadQty, 0, 0);
    historyLayout->addWidget(btn_ReadHistroyFull, 0, 1, Qt::AlignBottom);
    historyLayout->addWidget(lbledt_ReadLine, 1, 0);
    historyLayout->addWidget(btn_ReadHistroy, 1, 1, Qt::AlignBottom);
    historyLayout->addWidget(btn_Clean_History_Dev, 0, 2, Qt::AlignBottom);
    historyLayout->addWidget(btn_History_Clear, 1, 2, Qt::AlignBottom);

    grp_HisTime = NamedGroup("grp_HisTime", sheet);
    lbl_HisStartTime = new QLabel(grp_HisTime);
    lbl_HisStartTime->setObjectName(QStringLiteral("lbl_HisStartTime"));
    lbl_HisStopTime = new QLabel(grp_HisTime);
    lbl_HisStopTime->setObjectName(QStringLiteral("lbl_HisStopTime"));
    auto datePicker = [this](const char *name) {
        auto *picker = new QDateEdit(grp_HisTime);
        picker->setObjectName(QString::fromLatin1(name));
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        picker->setCalendarPopup(true);
        return picker;
    };
    auto timePicker = [this](const char *name) {
        auto *picker = new QTimeEdit(grp_HisTime);
        picker->setObjectName(QString::fromLatin1(name));
        picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return picker;
    };
    dtp_Hist_Begin_Date = datePicker("dtp_Hist_Begin_Date");
    dtp_Hist_Begin_Time = timePicker("dtp_Hist_Begin_Time");
    dtp_Hist_End_Date = datePicker("dtp_Hist_End_Date");
    dtp_Hist_End_Time = timePicker("dtp_Hist_End_Time");
    btn_History_Filter = NamedButton("btn_History_Filter", grp_HisTime);
    auto *timeLayout = new QGridLayout(grp_HisTime);
    timeLayout->addWidget(lbl_HisStartTime, 0, 0);
    timeLayout->addWidget(dtp_Hist_Begin_Date, 0, 1);
    timeLayout->addWidget(dtp_Hist_Begin_Time, 0, 2);
    timeLayout->addWidget(lbl_HisStopTime, 1, 0);
    timeLayout->addWidget(dtp_Hist_End_Date, 1, 1);
    timeLayout->addWidget(dtp_Hist_End_Time, 1, 2);
    timeLayout->addWidget(btn_History_Filter, 0, 3, 2, 1, Qt::AlignVCenter);

    grp_HistoryFiles = NamedGroup("grp_HistoryFiles", sheet);
    btn_Hist_Save_CSV = NamedButton("btn_Hist_Save_CSV", grp_HistoryFiles);
    btn_Hist_Open_CSV = NamedButton("btn_Hist_Open_CSV", grp_HistoryFiles);
    auto *filesLayout = new QVBoxLayout(grp_HistoryFiles);
    filesLayout->addWidget(btn_Hist_Save_CSV);
    filesLayout->addWidget(btn_Hist_Open_CSV);
    btn_HistoryReport = NamedButton("btn_HistoryReport", grp_HistoryFiles);
    filesLayout->addWidget(btn_HistoryReport);

    BuildArchiveControls(sheet);
    // Each group keeps its preferred size; at a narrow window the last
    // groups go to a second row rather than cutting the dates and buttons.
    auto *lowerPanel = new TFlowLayout;
    lowerPanel->addWidget(grp_History);
    lowerPanel->addWidget(grp_HisTime);
    lowerPanel->addWidget(grp_HistoryFiles);
    lowerPanel->addWidget(grp_HistoryArchive);
    auto *sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(4, 4, 4, 4);
    sheetLayout->addWidget(tab_History, 1);
    sheetLayout->addWidget(lbl_HistoryReadState);
    sheetLayout->addLayout(lowerPanel);
    TabOrder::FollowLayout(sheet);

    const struct {
        QPushButton *button;
        void (THistorySheet::*handler)();
    } handlers[] = {
        {btn_ReadHistroyFull, &THistorySheet::btn_ReadHistroyFullClick},
        {btn_ReadHistroy, &THistorySheet::btn_ReadHistroyClick},
        {btn_Clean_History_Dev, &THistorySheet::btn_Clean_History_DevClick},
        {btn_History_Clear, &THistorySheet::btn_History_ClearClick},
        {btn_History_Filter, &THistorySheet::btn_History_FilterClick},
        {btn_Hist_Save_CSV, &THistorySheet::btn_Hist_Save_CSVClick},
        {btn_Hist_Open_CSV, &THistorySheet::btn_Hist_Open_CSVClick},
        {btn_HistoryReport, &THistorySheet::btn_HistoryReportClick},
    };
    for (const auto &entry : handlers)
        connect(entry.button, &QPushButton::clicked, this, entry.handler);
}

void THistorySheet::ApplyColumnWidths()
{
    QHeaderView *header = SgHist->horizontalHeader();
    for (int column = 0; column < m_grid.ColCount(); ++column) {
        const int width = m_grid.ColumnWidth(column);
        if (width >= 0)
            header->resizeSection(column, width);
    }
}

void THistorySheet::SetPickersToNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    dtp_Hist_Begin_Date->setDate(now.date());
    dtp_Hist_Begin_Time->setTime(now.time());
    dtp_Hist_End_Date->setDate(now.date());
    dtp_Hist_End_Time->setTime(now.time());
}

void THistorySheet::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    for (QWidget *control : std::initializer_list<QWidget *>{
             grp_History, btn_ReadHistroyFull, btn_ReadHistroy, btn_Clean_History_Dev,
             btn_History_Clear, grp_HisTime, lbl_HisStartTime, lbl_HisStopTime, btn_History_Filter,
             grp_HistoryFiles, btn_Hist_Save_CSV, btn_Hist_Open_CSV})
        SetCaption(control, language);
    SetLabel(lbledt_ReadQty, language);
    SetLabel(lbledt_ReadLine, language);

    for (int column = 0; column < FixedColumns; ++column) {
        const ConstLang::TLangTarget *target =
            ConstLang::FindTarget(QStringLiteral("SgHist"), ConstLang::TargetKind::GridHeader, column);
        if (const std::optional<QString> text = target ? target->Text(language) : std::nullopt)
            m_grid.SetCell(column, 0, *text);
    }
    m_soft.SetValueColumns(m_grid, m_modelIndex, language);
    if (m_modelIndex < 0)
        SetStartValueHeaders(m_grid, language);
    m_grid.ReplaceTexts(FirstStateColumn, LastStateColumn, StateTextsInto(language));
    m_soft.SetTexts(THistoryTexts::ForLanguage(language));
    RetranslateArchiveControls();
    btn_HistoryReport->setText(Text("RptButton"));
    m_statsPanel->Retranslate(language);
    if (m_reportDialog)
        m_reportDialog->Retranslate(language);
    // The panel's texts follow at once, as every other text does.
    if (!m_reading)
        UpdateStatistics();
}

void THistorySheet::SetModelIndex(int modelIndex)
{
    m_modelIndex = modelIndex;
    if (HistoryRecord::ValueColumnCount(modelIndex) > 0)
        m_gridModelIndex = modelIndex;
    m_soft.SetValueColumns(m_grid, modelIndex, ConstLang::Chinese);
    // The window applies its language right after this; doing it here as
    // well keeps the headers right even before that.
    Retranslate(m_language);
}

QString THistorySheet::Text(const char *key) const
{
    return Text(QString::fromLatin1(key));
}

QString THistorySheet::Text(const QString &key) const
{
    return ConstLang::Text(key, m_language);
}

void THistorySheet::ShowFileError(const THistoryCsv::TResult &result)
{
    ShowError(Text(result.TextKey()) + QStringLiteral("\n\n")
              + QDir::toNativeSeparators(result.fileName) + QStringLiteral("\n") + result.systemText);
}

bool THistorySheet::DeviceReady()
{
    const TJobVerdict refused = TDeviceConnection::RefusalVerdict(m_connection->canRun());
    if (refused.severity == TJobVerdict::TSeverity::Error)
        ShowError(refused.WindowText(m_language));
    return refused.IsDone();
}

void THistorySheet::ShowInfo(const QString &text)
{
    ShowMessageWindow(text);
    emit MessageShown(text);
}

void THistorySheet::ShowError(const QString &text)
{
    ShowErrorBox(m_main, text);
    emit MessageShown(text);
}

void THistorySheet::btn_ReadHistroyFullClick()
{
    if (m_reading || !DeviceReady())
        return;
    const int quantity = TSoftHistory::QuantityFromText(lbledt_ReadQty->text());
    if (!TSoftHistory::QuantityValid(quantity)) {
        ShowInfo(Text("TxtInputError"));
        return;
    }
    // A read starts from an empty grid and fresh counts (when its first
    // page is asked for), so that it never mixes with the rows of an
    // earlier read.
    RunRead(m_download->ReadAll(m_session, quantity), quantity);
}

void THistorySheet::btn_ReadHistroyClick()
{
    if (!DeviceReady())
        return;
    const int line = TSoftHistory::LineFromText(lbledt_ReadLine->text());
    THistoryRecordJob *read = m_connection->ReadHistoryRecord(line);
    m_runner->Run(read, TJobRunner::TProgress::None, [this, read, line] {
        if (read->outcome() != TDeviceJob::TOutcome::Done) {
            const TJobVerdict verdict = TJobVerdict::Of(*read);
            if (verdict.severity == TJobVerdict::TSeverity::Notice)
                ShowInfo(verdict.WindowText(m_language));
            return;
        }
        // A record the log does not hold leaves the grid as it was.
        if (HistoryRecord::IsEmpty(read->Payload())) {
            ShowInfo(Text("MsgRecordMissing").arg(line));
            return;
        }
        btn_History_ClearClick();
        m_gridSource = TGridSource::Device;
        if (m_soft.ShowRecord(m_grid, read->Frame(), line, m_modelIndex)
            != TSoftHistory::TRecordResult::Shown)
            ShowInfo(Text("TxtRecordError"));
    });
}

void THistorySheet::btn_Clean_History_DevClick()
{
    // What is lost, and the safe step: Read New copies the records not
    // archived yet to this PC; the log is erased once they are stored.
    const QString question = Text("MsgClearAllAsk") + QStringLiteral("\n\n") + Text("MsgClearAllLoses");
    AskWithSafeStep(
        m_main, question, Text("TxtArchiveThenErase"),
        [this] {
            AskReason(AuditSettings::ReasonRequired(), [this](const QString &reason) {
                if (m_reading || !DeviceReady())
                    return;
                m_afterArchived = [this, reason] { EraseLog(reason); };
                btn_ReadHistoryNewClick();
                if (!m_reading)
                    m_afterArchived = nullptr;
            });
        },
        Text("TxtEraseWithoutArchive"),
        [this] { AskReason(AuditSettings::ReasonRequired(), [this](const QString &reason) { EraseLog(reason); }); });
}

void THistorySheet::EraseLog(const QString &reason)
{
    if (!DeviceReady())
        return;
    THistoryEraseJob *erase = m_connection->EraseHistory();
    erase->SetNote({QString(), reason});
    m_runner->Run(erase, TJobRunner::TProgress::Job, [this, erase] {
        const TJobVerdict verdict = TJobVerdict::Of(*erase);
        if (verdict.severity == TJobVerdict::TSeverity::Error)
            ShowError(verdict.WindowText(m_language));
    });
}

void THistorySheet::btn_History_ClearClick()
{
    QPointer<TFormBasicAnimate> progress = new TFormBasicAnimate(m_main);
    const int cells = (m_grid.RowCount() - 1) * (m_grid.ColCount() - 1);
    progress->SetRange(0, m_grid.ColCount() * m_grid.RowCount());
    progress->SetPosition(0);
    progress->show();
    m_grid.ClearDisplay();
    progress->SetPosition(cells);
    FreeProgress(progress);
}

void THistorySheet::btn_Hist_Save_CSVClick()
{
    const QString chosen = ChooseSaveFile(
        ProgramFolder(), THistoryCsv::DefaultFileName(m_modelIndex, QDateTime::currentDateTime()));
    if (chosen.isEmpty())
        return;
    const THistoryCsv::TResult result = THistoryCsv::Export(m_grid, chosen);
    if (!result) {
        ShowFileError(result);
        return;
    }
    emit Done(Text("MsgCsvExportedTo").arg(m_grid.LastFilledRow()).arg(QDir::toNativeSeparators(result.fileName)));
}

void THistorySheet::btn_Hist_Open_CSVClick()
{
    const QString chosen = ChooseOpenFile(ProgramFolder());
    if (chosen.isEmpty())
        return;
    // The grid is replaced only when the whole file was read.
    const THistoryCsv::TResult result = THistoryCsv::Import(m_grid, chosen);
    if (!result) {
        ShowFileError(result);
        return;
    }
    m_gridSource = TGridSource::File;
    m_gridFile = QFileInfo(chosen).fileName();
    ScheduleStatistics();
}

void THistorySheet::btn_History_FilterClick()
{
    QPointer<TFormBasicAnimate> progress = new TFormBasicAnimate(m_main);
    progress->SetRange(0, m_grid.ColCount() * m_grid.RowCount());
    progress->SetPosition(0);
    progress->show();
    const THistoryFilter::TResult result =
        THistoryFilter::Apply(m_grid, dtp_Hist_Begin_Date->date(), dtp_Hist_Begin_Time->time(),
                              dtp_Hist_End_Date->date(), dtp_Hist_End_Time->time());
    if (result)
        progress->SetPosition((m_grid.RowCount() - 1) * (m_grid.ColCount() - 1));
    FreeProgress(progress);
}

void THistorySheet::BuildArchiveControls(QWidget *sheet)
{
    tab_History = new QTabWidget(sheet);
    tab_History->setObjectName(QStringLiteral("tab_History"));
    tab_History->addTab(SgHist, QString());
    m_chartPage = new QWidget(tab_History);
    m_chartPage->setObjectName(QStringLiteral("Sheet_HistoryChart"));
    auto *chartLayout = new QVBoxLayout(m_chartPage);
    chartLayout->setContentsMargins(2, 2, 2, 2);
    BuildReportControls(m_chartPage);
    tab_History->addTab(m_chartPage, QString());
    connect(tab_History, &QTabWidget::currentChanged, this, [this](int page) {
        // The chart takes the height of the controls that read the device,
        // which act on the grid; at a small window it would be too flat to
        // read. The period filter (the chart and the statistics follow it)
        // and the files with Report... stay.
        const bool chart = tab_History->widget(page) == m_chartPage;
        // So does the statistics page of a narrow window.
        const bool figures = chart || (page >= 0 && tab_History->widget(page) == m_statsPanel);
        for (QWidget *group : {grp_History, grp_HistoryArchive})
            group->setVisible(!figures);
        if (!chart)
            return;
        Chart();
        if (m_chartStale)
            RefreshChart();
    });

    grp_HistoryArchive = NamedGroup("grp_HistoryArchive", sheet);
    btn_ReadHistoryNew = NamedButton("btn_ReadHistoryNew", grp_HistoryArchive);
    btn_ReadHistoryContinue = NamedButton("btn_ReadHistoryContinue", grp_HistoryArchive);
    btn_HistoryArchive = NamedButton("btn_HistoryArchive", grp_HistoryArchive);
    btn_ReadHistoryContinue->setEnabled(false);
    auto *archiveLayout = new QVBoxLayout(grp_HistoryArchive);
    archiveLayout->addWidget(btn_ReadHistoryNew);
    archiveLayout->addWidget(btn_ReadHistoryContinue);
    archiveLayout->addWidget(btn_HistoryArchive);
    connect(btn_ReadHistoryNew, &QPushButton::clicked, this, &THistorySheet::btn_ReadHistoryNewClick);
    connect(btn_ReadHistoryContinue, &QPushButton::clicked, this, &THistorySheet::btn_ReadHistoryContinueClick);
    connect(btn_HistoryArchive, &QPushButton::clicked, this, &THistorySheet::btn_HistoryArchiveClick);

    lbl_HistoryReadState = new QLabel(sheet);
    lbl_HistoryReadState->setObjectName(QStringLiteral("lbl_HistoryReadState"));
    lbl_HistoryReadState->setWordWrap(true);
    lbl_HistoryReadState->hide();

    // The chart follows the grid; it is redrawn when next shown.
    connect(&m_grid, &QAbstractItemModel::modelReset, this, &THistorySheet::ChartDataChanged);
    connect(&m_grid, &QAbstractItemModel::dataChanged, this, &THistorySheet::ChartDataChanged);
    connect(&m_grid, &QAbstractItemModel::columnsInserted, this, &THistorySheet::ChartDataChanged);
    connect(&m_grid, &QAbstractItemModel::columnsRemoved, this, &THistorySheet::ChartDataChanged);
}

void THistorySheet::BuildReportControls(QWidget *chartPage)
{
    // The chart (made when first shown) on the left, the statistics of the
    // grid on the right; on a narrow page the statistics are a page of
    // their own after the chart.
    m_chartSplitter = new QSplitter(Qt::Horizontal, chartPage);
    m_chartSplitter->setObjectName(QStringLiteral("spl_HistoryChart"));
    m_chartSplitter->setChildrenCollapsible(false);
    m_statsPanel = new TReportStatsPanel(m_chartSplitter);
    m_chartSplitter->addWidget(m_statsPanel);
    chartPage->layout()->addWidget(m_chartSplitter);
    // A narrow page gives the statistics a page of their own: beside the
    // chart, or under it at the smallest window, neither could be read.
    chartPage->installEventFilter(this);
    m_chartSplitter->installEventFilter(this);

    m_statsTimer = new QTimer(this);
    m_statsTimer->setSingleShot(true);
    // Edits come in bursts (a filter, an import, a page of a read): one
    // computation after the last of them.
    m_statsTimer->setInterval(150);
    connect(m_statsTimer, &QTimer::timeout, this, &THistorySheet::UpdateStatistics);
    connect(&m_grid, &QAbstractItemModel::modelReset, this, &THistorySheet::ScheduleStatistics);
    connect(&m_grid, &QAbstractItemModel::dataChanged, this, &THistorySheet::ScheduleStatistics);
    connect(&m_grid, &QAbstractItemModel::columnsInserted, this, &THistorySheet::ScheduleStatistics);
    connect(&m_grid, &QAbstractItemModel::columnsRemoved, this, &THistorySheet::ScheduleStatistics);
}

void THistorySheet::ScheduleStatistics()
{
    // A running read fills the grid page by page; its end computes once.
    if (m_reading || !m_statsTimer)
        return;
    m_statsTimer->start();
}

void THistorySheet::UpdateStatistics()
{
    m_statsTimer->stop();
    TReportDocument document = GridReport();
    if (document.series.RowCount() == 0) {
        m_statsPanel->ShowEmpty(m_language);
        return;
    }
    document.Compute();
    m_statsPanel->ShowDocument(document);
}

TReportDocument THistorySheet::GridReport() const
{
    TReportDocument document;
    document.language = m_language;
    // Before a model is known the grid shows a K801's value columns.
    const int modelIndex = m_gridModelIndex >= 0 ? m_gridModelIndex : 0;
    document.modelIndex = modelIndex;
    document.model = THistoryCsv::ModelName(modelIndex);
    document.series = TReportSeries::FromGrid(m_grid, TReportSeries::ModelChannels(modelIndex, m_language));
    switch (m_gridSource) {
    case TGridSource::Device:
        document.imei = m_imei;
        if (!m_deviceModel.isEmpty())
            document.model = m_deviceModel;
        document.firmware = m_connection->Identity().version;
        if (!m_configuration.isEmpty() && modelIndex == m_modelIndex)
            document.ApplyConfiguration(TReportConfiguration::FromImage(m_configuration, modelIndex, m_language),
                                        m_configurationRead, m_configurationFromDownload);
        break;
    case TGridSource::Archive:
        document.imei = m_gridImei;
        document.model = m_gridModel;
        if (m_gridImei == m_imei)
            document.firmware = m_connection->Identity().version;
        if (m_archive.IsReady())
            document.UseArchivedConfiguration(m_archive);
        break;
    case TGridSource::File:
        document.imei = Text("RptUnknown");
        document.description = m_gridFile;
        break;
    }
    return document;
}

TReportDialog *THistorySheet::ReportDialog() const
{
    return m_reportDialog.data();
}

void THistorySheet::btn_HistoryReportClick()
{
    if (m_reportDialog)
        m_reportDialog->close();
    TReportDocument document = GridReport();
    if (document.series.RowCount() == 0) {
        ShowInfo(Text("RptPanelEmpty"));
        return;
    }
    m_reportDialog = new TReportDialog(document, m_main);
    connect(m_reportDialog, &TReportDialog::MessageShown, this, &THistorySheet::MessageShown);
    m_reportDialog->resize(m_reportDialog->sizeHint().expandedTo(QSize(520, 480)));
    m_reportDialog->show();
    m_reportDialog->raise();
}

void THistorySheet::RetranslateArchiveControls()
{
    if (!tab_History)
        return;
    tab_History->setTabText(0, Text("TxtGridPage"));
    tab_History->setTabText(1, Text("TxtChartPage"));
    if (const int stats = tab_History->indexOf(m_statsPanel); stats >= 0)
        tab_History->setTabText(stats, Text("RptPanel"));
    grp_HistoryArchive->setTitle(Text("TxtArchiveGroup"));
    btn_ReadHistoryNew->setText(Text("TxtReadNew"));
    btn_ReadHistoryContinue->setText(Text("TxtReadContinue"));
    btn_HistoryArchive->setText(Text("TxtArchiveButton"));
    if (m_chart)
        m_chart->Retranslate(m_language);
    if (m_archiveView)
        m_archiveView->Retranslate(m_language);
}

void THistorySheet::SetDevice(const QString &imei, const QString &model)
{
    if (imei != m_imei) {
        m_configuration.clear();
        ScheduleStatistics();
    }
    m_imei = imei;
    m_deviceModel = model;
    m_download->SetDevice(imei, model, m_modelIndex);
    btn_ReadHistoryContinue->setEnabled(!m_reading && m_download->CanContinue());
}

void THistorySheet::SetConfigurationImage(const QByteArray &image)
{
    m_configuration = image;
    m_configurationRead = QDateTime::currentDateTime();
    m_configurationFromDownload = false;
    m_download->SetConfiguration(m_configuration, m_configurationRead);
    ScheduleStatistics();
}

void THistorySheet::SetChannelInfo(const QVector<TChartChannelInfo> &channels)
{
    m_channels = channels;
    ChartDataChanged();
}

void THistorySheet::SetChannelRows(const QVector<QStringList> &rows)
{
    QVector<TChartChannelInfo> channels;
    const QLocale numbers = QLocale::c();
    for (const QStringList &row : rows) {
        TChartChannelInfo channel;
        channel.name = row.value(ConfigCells::ThName).trimmed();
        bool ok = false;
        const double high = numbers.toDouble(row.value(ConfigCells::ThHigh).trimmed(), &ok);
        if (ok)
            channel.high = high;
        const double low = numbers.toDouble(row.value(ConfigCells::ThLow).trimmed(), &ok);
        if (ok)
            channel.low = low;
        channels.append(channel);
    }
    SetChannelInfo(channels);
}

void THistorySheet::RunRead(THistoryReadJob *read, int quantity)
{
    if (!read)
        return;
    // The rows of a read follow the connected device's value columns, even
    // when an archive of another model was shown before.
    if (m_gridModelIndex != m_modelIndex && HistoryRecord::ValueColumnCount(m_modelIndex) > 0) {
        m_soft.SetValueColumns(m_grid, m_modelIndex, m_language);
        m_gridModelIndex = m_modelIndex;
    }
    SayArchiveProblem();
    m_gridSource = TGridSource::Device;
    if (quantity > 0) {
        connect(read, &THistoryReadJob::pageRead, this, [this] {
            if (TFormBasicAnimate *progress = m_runner->ProgressWindow())
                progress->SetPosition(m_soft.RecordCounter());
        });
    } else {
        // Read New and its Continue: the end is not known, the records read are.
        connect(read, &THistoryReadJob::pageRead, this, [this] {
            if (TFormBasicAnimate *progress = m_runner->ProgressWindow())
                progress->SetNote(Text("TxtRecordsReadSoFar").arg(m_download->RowsFilled()));
        }, Qt::QueuedConnection);
    }
    m_reading = true;
    btn_ReadHistoryContinue->setEnabled(false);
    const TJobRunner::TStart start =
        m_runner->Run(read, TJobRunner::TProgress::Caller,
                      [this, read, quantity] {
                          m_reading = false;
                          ReadEnded(read, quantity);
                      });
    if (start != TJobRunner::TStart::Started) {
        m_reading = false;
        btn_ReadHistoryContinue->setEnabled(m_download->CanContinue());
        return;
    }
    if (TFormBasicAnimate *progress = m_runner->ProgressWindow()) {
        if (quantity > 0) {
            progress->SetRange(0, quantity);
            progress->SetPosition(m_soft.RecordCounter());
            progress->sg->setFormat(QStringLiteral("%v / %m"));
        } else {
            // No share of an end nobody knows: a busy gauge and the count.
            progress->SetRange(0, 0);
            progress->SetNote(Text("TxtRecordsReadSoFar").arg(m_download->RowsFilled()));
        }
    }
}

void THistorySheet::ReadEnded(THistoryReadJob *read, int quantity)
{
    // How many records came, and why the read ended; a lost line is told by
    // the main window.
    QString counted = Text("MsgHistoryRecordsRead").arg(m_grid.LastFilledRow());
    const QList<int> outOfOrder = THistoryFilter::RowsOutOfTimeOrder(m_grid, m_grid.LastFilledRow());
    if (!outOfOrder.isEmpty()) {
        QStringList rows;
        for (int row : outOfOrder)
            rows << QString::number(row);
        // %2 stays for the reason below.
        counted += QStringLiteral("\n") + Text("MsgHistoryOutOfOrder").arg(rows.join(QStringLiteral(", ")));
    }
    switch (read->outcome()) {
    case TDeviceJob::TOutcome::Done:
        ShowInfo(counted.arg(Text(m_download->EndOfLogSeen() ? "TxtHistoryEndOfLog" : "TxtHistoryQuantityRead")));
        break;
    case TDeviceJob::TOutcome::Stopped:
        ShowInfo(counted.arg(Text("TxtHistoryStopped")));
        break;
    case TDeviceJob::TOutcome::Failed: {
        const int page = read->Failure().page;
        if (read->Failure().what == TJobFailure::TWhat::ContinuationMissing) {
            ShowError(Text("MsgReadNewFailed").arg(m_download->ContinuedAfter()));
            break;
        }
        const int firstRecord = page * HistoryRecord::PerPage + 1;
        const int lastRecord = firstRecord + HistoryRecord::PerPage - 1;
        ShowError(Text("MsgHistoryReadFailed")
                      .arg(page + 1)
                      .arg(firstRecord)
                      .arg(quantity > 0 ? qMin(quantity, lastRecord) : lastRecord)
                  + QStringLiteral("\n\n") + counted.arg(Text("TxtHistoryReadError")));
        break;
    }
    default:
        break;
    }
    // Archive first, then erase: only when every record read is stored.
    std::function<void()> afterArchived = std::exchange(m_afterArchived, nullptr);
    if (afterArchived) {
        if (read->outcome() == TDeviceJob::TOutcome::Done && m_download->Archiving()
            && m_download->RecordsNotArchived() == 0)
            QTimer::singleShot(0, this, afterArchived);
        else
            ShowError(Text("MsgEraseNotArchived"));
    }
    if (m_download->RecordsNotArchived() > 0) {
        ShowError(Text("MsgArchiveNotStored").arg(m_download->RecordsNotArchived()) + QStringLiteral("\n")
                  + Text(THistoryArchive::TextKey(m_download->ArchiveStatus()))
                        .arg(QDir::toNativeSeparators(m_archive.Path())));
    }

    QString state;
    if (m_download->CanContinue()) {
        state = Text("TxtReadStoppedAt").arg(m_download->NextPage() + 1).arg(m_download->RowsFilled());
    } else if (m_download->Kind() == THistoryDownload::TKind::New
               && read->outcome() == TDeviceJob::TOutcome::Done) {
        state = Text("TxtReadNewDone")
                    .arg(m_download->Archiving() ? m_download->RecordsArchived() : m_download->RowsFilled());
    }
    lbl_HistoryReadState->setText(state);
    lbl_HistoryReadState->setVisible(!state.isEmpty());
    btn_ReadHistoryContinue->setEnabled(m_download->CanContinue());
    if (m_archiveView)
        m_archiveView->Refresh();
    if (m_chart && tab_History->currentWidget() == m_chartPage)
        RefreshChart();
    ScheduleStatistics();
    emit ReadFinished(m_grid.LastFilledRow());
}

void THistorySheet::SayArchiveProblem()
{
    if (m_download->Archiving())
        return;
    if (m_imei.isEmpty()) {
        ShowInfo(Text("MsgArchiveNoImei"));
        return;
    }
    const QString key = THistoryArchive::TextKey(m_download->ArchiveStatus());
    if (key.isEmpty())
        return;
    ShowInfo(Text(key).arg(QDir::toNativeSeparators(m_archive.Path())) + QStringLiteral("\n")
             + m_archive.ErrorText() + QStringLiteral("\n") + Text("MsgArchiveReadWithout"));
}

void THistorySheet::btn_ReadHistoryNewClick()
{
    if (m_reading || !DeviceReady())
        return;
    m_download->SetDevice(m_imei, m_deviceModel, m_modelIndex);
    THistoryReadJob *read = m_download->ReadNew(m_session);
    connect(read, &THistoryReadJob::readStarting, this, [this](int, bool logRestarted) {
        if (logRestarted)
            ShowInfo(Text("MsgLogRestarted").arg(m_download->ContinuedAfter()));
    });
    RunRead(read, 0);
}

void THistorySheet::btn_ReadHistoryContinueClick()
{
    if (m_reading || !m_download->CanContinue() || !DeviceReady())
        return;
    m_download->SetDevice(m_imei, m_deviceModel, m_modelIndex);
    const int quantity = m_download->Kind() == THistoryDownload::TKind::All ? m_download->Quantity() : 0;
    RunRead(m_download->Continue(m_session), quantity);
}

void THistorySheet::btn_HistoryArchiveClick()
{
    if (!m_archiveView) {
        m_archiveView = new THistoryArchiveView(&m_archive, m_main);
        m_archiveView->OpenDevice = [this](const QString &imei, const QString &model) {
            OpenArchivedDevice(imei, model);
        };
        m_archiveView->ExportDevice = [this](const QString &imei, const QString &model) {
            ExportArchivedDevice(imei, model);
        };
        connect(m_archiveView, &THistoryArchiveView::MessageShown, this, &THistorySheet::MessageShown);
    }
    m_archiveView->Retranslate(m_language);
    m_archiveView->show();
    m_archiveView->raise();
}

QVector<TArchivedRecord> THistorySheet::ArchivedRows(const QString &imei, int *held)
{
    if (!m_archive.IsReady())
        m_archive.Open();
    *held = m_archive.RecordCount(imei);
    const QVector<TArchivedRecord> records = m_archive.Records(imei, THistoryGridModel::RecordRowCount);
    if (!m_archive.IsReady()) {
        ShowInfo(Text(THistoryArchive::TextKey(m_archive.Status())).arg(QDir::toNativeSeparators(m_archive.Path()))
                 + QStringLiteral("\n") + m_archive.ErrorText());
        return {};
    }
    if (m_archive.SkippedRecords() > 0)
        ShowInfo(Text("MsgArchiveSkipped").arg(m_archive.SkippedRecords()));
    if (records.isEmpty())
        ShowInfo(Text("MsgArchiveEmptyDevice").arg(imei));
    return records;
}

namespace {

std::vector<THistoryGridRow> GridRowsOf(const QVector<TArchivedRecord> &records, int modelIndex,
                                        const THistoryTexts &texts)
{
    std::vector<THistoryGridRow> rows;
    rows.reserve(std::size_t(records.size()));
    for (const TArchivedRecord &record : records)
        rows.push_back(HistoryRecord::GridRow(record.raw, modelIndex, texts));
    return rows;
}

} // namespace

void THistorySheet::OpenArchivedDevice(const QString &imei, const QString &model)
{
    int held = 0;
    const QVector<TArchivedRecord> records = ArchivedRows(imei, &held);
    if (records.isEmpty())
        return;
    const int modelIndex = Const::ModelIndexOf(model);
    if (modelIndex < 0) {
        ShowError(Text("MsgArchiveUnknownModel").arg(model, imei));
        return;
    }
    m_soft.SetValueColumns(m_grid, modelIndex, m_language);
    m_gridModelIndex = modelIndex;
    m_gridSource = TGridSource::Archive;
    m_gridImei = imei;
    m_gridModel = model;
    m_download->Abandon();
    btn_ReadHistoryContinue->setEnabled(false);
    lbl_HistoryReadState->hide();
    m_grid.ReplaceRecordRows(GridRowsOf(records, modelIndex, m_soft.Texts()));
    for (int index = 0; index < records.size(); ++index)
        m_grid.SetRowNumber(index + 1, records.at(index).number);
    if (held > records.size())
        ShowInfo(Text("MsgArchiveTooMany").arg(held).arg(records.size()));
}

void THistorySheet::ExportArchivedDevice(const QString &imei, const QString &model)
{
    if (!m_archive.IsReady())
        m_archive.Open();
    if (m_archive.RecordCount(imei) <= 0) {
        ShowInfo(Text("MsgArchiveEmptyDevice").arg(imei));
        return;
    }
    const int modelIndex = Const::ModelIndexOf(model);
    if (modelIndex < 0) {
        ShowError(Text("MsgArchiveUnknownModel").arg(model, imei));
        return;
    }
    const QString chosen =
        ChooseSaveFile(ProgramFolder(), THistoryCsv::DefaultFileName(modelIndex, QDateTime::currentDateTime()));
    if (chosen.isEmpty())
        return;
    // Every record, not only the ones a grid can show.
    const THistoryArchiveExport exported = THistoryArchiveExport::Write(m_archive, imei, chosen, m_language);
    switch (exported.failure) {
    case THistoryArchiveExport::TFailure::None:
        break;
    case THistoryArchiveExport::TFailure::EmptyDevice:
        ShowInfo(Text("MsgArchiveEmptyDevice").arg(imei));
        break;
    case THistoryArchiveExport::TFailure::UnknownModel:
        ShowError(Text("MsgArchiveUnknownModel").arg(model, imei));
        break;
    case THistoryArchiveExport::TFailure::ArchiveRead:
        ShowError(Text("MsgArchiveFailed").arg(QDir::toNativeSeparators(m_archive.Path())));
        break;
    case THistoryArchiveExport::TFailure::File:
        ShowFileError(exported.file);
        break;
    }
}

bool THistorySheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_chartPage && event->type() == QEvent::Resize)
        FitChartPage();
    if (watched == m_chartSplitter && m_splitPending
        && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        QMetaObject::invokeMethod(this, &THistorySheet::ApplyPendingSplit, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void THistorySheet::ApplyPendingSplit()
{
    // A hidden splitter has no width of its own yet: its showing comes back here.
    if (!m_splitPending || !m_chartSplitter->isVisible())
        return;
    m_splitPending = false;
    // The shares as when the chart was made (a chart made while the
    // statistics had their own page got no partner to share with).
    m_chartSplitter->setStretchFactor(0, 3);
    m_chartSplitter->setStretchFactor(1, 2);
    m_chartSplitter->setSizes({3000, 2000});
}

void THistorySheet::FitChartPage()
{
    if (!m_chartSplitter || !m_chartPage)
        return;
    const bool ownPage = m_chartPage->width() < SideBySideWidth;
    const int page = tab_History->indexOf(m_statsPanel);
    if (ownPage == (page >= 0))
        return;
    if (ownPage) {
        const QSignalBlocker quiet(tab_History);
        tab_History->addTab(m_statsPanel, Text("RptPanel"));
        return;
    }
    const bool wasShown = tab_History->currentIndex() == page;
    tab_History->removeTab(page);
    m_chartSplitter->addWidget(m_statsPanel);
    m_statsPanel->show();
    // Three fifths for the chart again once the splitter has its new width
    // (the page is resized before its layout is); the table scrolls.
    m_splitPending = true;
    QMetaObject::invokeMethod(this, &THistorySheet::ApplyPendingSplit, Qt::QueuedConnection);
    if (wasShown)
        tab_History->setCurrentWidget(m_chartPage);
}

THistoryChart *THistorySheet::Chart()
{
    if (!m_chart) {
        m_chart = new THistoryChart(m_chartSplitter);
        m_chartSplitter->insertWidget(0, m_chart);
        m_chartSplitter->setStretchFactor(0, 3);
        m_chartSplitter->setStretchFactor(1, 2);
        // Three fifths for the chart; the table scrolls.
        m_chartSplitter->setSizes({3000, 2000});
        FitChartPage();
        m_chart->Retranslate(m_language);
        connect(m_chart, &THistoryChart::RefreshRequested, this, &THistorySheet::RefreshChart);
        connect(m_chart, &THistoryChart::MessageShown, this, &THistorySheet::ShowError);
        m_chartStale = true;
    }
    return m_chart;
}

void THistorySheet::ShowChart()
{
    tab_History->setCurrentWidget(m_chartPage);
    Chart();
    if (m_chartStale)
        RefreshChart();
}

void THistorySheet::RefreshChart()
{
    // The window's channel rows describe the connected model's columns only.
    const QVector<TChartChannelInfo> channels =
        m_gridModelIndex == m_modelIndex ? m_channels : QVector<TChartChannelInfo>();
    Chart()->SetData(THistoryChartData::FromGrid(m_grid, m_gridModelIndex, channels));
    m_chartStale = false;
}

void THistorySheet::ChartDataChanged()
{
    m_chartStale = true;
}
