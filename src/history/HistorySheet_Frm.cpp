#include "history/HistorySheet_Frm.h"

#include "app/BasicAnimate_Frm.h"
#include "app/Const_Unt.h"
#include "app/FileDialogs_Frm.h"
#include "app/Funs_Unt.h"
#include "app/JobRunner_Frm.h"
#include "app/MessageBox_Frm.h"
#include "app/Questions_Frm.h"
#include "app/Variable_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "session/DeviceRequests_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "look/ComponentEx.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int FixedColumns = 8;
constexpr int EditMaxLength = 6;
constexpr int GridRowHeight = 18;

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

const TFileDialogSpec kCsvDialogSave{"dlgSaveCSV", QStringLiteral("CSV File (*.csv)")};
const TFileDialogSpec kCsvDialogOpen{"dlgOpenCSV", QStringLiteral("CSV File (*.csv)")};

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
                             TDeviceSession *session)
    : QObject(mainWindow), m_main(mainWindow), m_sheet(sheet), m_runner(runner), m_session(session)
{
    setObjectName(QStringLiteral("HistorySheet"));
    ChooseSaveFile = [this](const QString &folder, const QString &defaultName) {
        return ChooseFileToSave(m_main, kCsvDialogSave, folder, defaultName);
    };
    ChooseOpenFile = [this](const QString &folder) { return ChooseFileToOpen(m_main, kCsvDialogOpen, folder); };

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

    auto *lowerPanel = new QHBoxLayout;
    lowerPanel->addWidget(grp_History);
    lowerPanel->addWidget(grp_HisTime);
    lowerPanel->addWidget(grp_HistoryFiles);
    lowerPanel->addStretch();
    auto *sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(4, 4, 4, 4);
    sheetLayout->addWidget(SgHist, 1);
    sheetLayout->addLayout(lowerPanel);

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
}

void THistorySheet::SetModelIndex(int modelIndex)
{
    m_modelIndex = modelIndex;
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
    const TJobRunner::TStart free = m_runner->DeviceFree();
    if (free == TJobRunner::TStart::NotConnected)
        ShowError(Text("MsgNotConnected"));
    return free == TJobRunner::TStart::Started;
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

    // A read starts from an empty grid and fresh counts, so that it never
    // mixes with the rows of an earlier read.
    m_soft.BeginRead(m_grid);
    auto *read = new THistoryReadJob(m_session, TSoftHistory::PageCount(quantity));
    auto endOfLog = std::make_shared<bool>(false);
    connect(read, &THistoryReadJob::pageRead, this,
            [this, read, quantity, endOfLog](int, const QByteArray &frame) {
                const TSoftHistory::TPageResult result = m_soft.ShowPage(m_grid, frame, quantity, m_modelIndex);
                if (TFormBasicAnimate *progress = m_runner->ProgressWindow())
                    progress->SetPosition(m_soft.RecordCounter());
                *endOfLog = result.stopRead;
                if (result.stopRead || m_soft.RecordCounter() >= quantity)
                    read->EndOfLog();
            });
    m_reading = true;
    const TJobRunner::TStart start =
        m_runner->Run(read, TJobRunner::TProgress::Caller, [this, read, quantity, endOfLog] {
            m_reading = false;
            // How many records came, and why the read ended; a lost line is
            // told by the main window.
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
                ShowInfo(counted.arg(Text(*endOfLog ? "TxtHistoryEndOfLog" : "TxtHistoryQuantityRead")));
                break;
            case TDeviceJob::TOutcome::Stopped:
                ShowInfo(counted.arg(Text("TxtHistoryStopped")));
                break;
            case TDeviceJob::TOutcome::Failed: {
                const int page = read->FailedPage();
                const int firstRecord = page * HistoryRecord::PerPage + 1;
                ShowError(Text("MsgHistoryReadFailed")
                              .arg(page + 1)
                              .arg(firstRecord)
                              .arg(qMin(quantity, firstRecord + HistoryRecord::PerPage - 1))
                          + QStringLiteral("\n\n") + counted.arg(Text("TxtHistoryReadError")));
                break;
            }
            default:
                break;
            }
            emit ReadFinished(m_grid.LastFilledRow());
    });
    if (start != TJobRunner::TStart::Started) {
        m_reading = false;
        return;
    }
    if (TFormBasicAnimate *progress = m_runner->ProgressWindow()) {
        progress->SetRange(0, quantity);
        progress->SetPosition(m_soft.RecordCounter());
        progress->sg->setFormat(QStringLiteral("%v / %m"));
    }
}

void THistorySheet::btn_ReadHistroyClick()
{
    if (!DeviceReady())
        return;
    const int line = TSoftHistory::LineFromText(lbledt_ReadLine->text());
    TDeviceReply *reply = m_session->submit(DeviceRequests::ReadHistoryRecord(line));
    connect(reply, &TDeviceReply::finished, this, [this, reply, line] {
        if (reply->error() == TReplyError::Stopped || reply->error() == TReplyError::LineLost)
            return;
        if (reply->error() != TReplyError::None) {
            ShowInfo(Text("TxtRecordError"));
            return;
        }
        // A record the log does not hold leaves the grid as it was.
        if (HistoryRecord::IsEmpty(reply->payload())) {
            ShowInfo(Text("MsgRecordMissing").arg(line));
            return;
        }
        btn_History_ClearClick();
        if (m_soft.ShowRecord(m_grid, reply->reply(), line, m_modelIndex)
            != TSoftHistory::TRecordResult::Shown)
            ShowInfo(Text("TxtRecordError"));
    });
}

void THistorySheet::btn_Clean_History_DevClick()
{
    AskQuestion(m_main, Text("MsgClearAllAsk"), [this] {
        if (!DeviceReady())
            return;
        auto *erase = new THistoryEraseJob(m_session);
        m_runner->Run(erase, TJobRunner::TProgress::Job, [this, erase] {
            if (erase->outcome() == TDeviceJob::TOutcome::Failed)
                ShowError(Text("MsgEraseUnconfirmed"));
        });
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
    if (!result)
        ShowFileError(result);
}

void THistorySheet::btn_Hist_Open_CSVClick()
{
    const QString chosen = ChooseOpenFile(ProgramFolder());
    if (chosen.isEmpty())
        return;
    // The grid is replaced only when the whole file was read.
    const THistoryCsv::TResult result = THistoryCsv::Import(m_grid, chosen);
    if (!result)
        ShowFileError(result);
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
