#include "history/HistorySheet_Frm.h"

#include "app/BasicAnimate_Frm.h"
#include "app/Const_Unt.h"
#include "app/FileDialogs_Frm.h"
#include "app/Funs_Unt.h"
#include "app/K900_Frm.h"
#include "app/MessageBox_Frm.h"
#include "app/Questions_Frm.h"
#include "app/Variable_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SerialPort_Unt.h"
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

THistorySheet::THistorySheet(TFormK900 *mainWindow) : QObject(mainWindow), m_main(mainWindow)
{
    setObjectName(QStringLiteral("HistorySheet"));
    ChooseSaveFile = [this](const QString &folder, const QString &defaultName) {
        return ChooseFileToSave(m_main, kCsvDialogSave, folder, defaultName);
    };
    ChooseOpenFile = [this](const QString &folder) { return ChooseFileToOpen(m_main, kCsvDialogOpen, folder); };

    m_soft.InitGrid(m_grid);
    BuildControls();
    SetPickersToNow();
    Retranslate(m_main->Language());

    connect(m_main, &TFormK900::ModelKnown, this,
            [this](int modelIndex, const QString &) { ModelKnown(modelIndex); });
    connect(m_main, &TFormK900::HistoryLineReply, this, &THistorySheet::HistoryLineReply);
    connect(m_main, &TFormK900::HistoryEraseProgress, this, &THistorySheet::HistoryEraseProgress);
}

THistorySheet::~THistorySheet()
{
    delete m_eraseWindow.data();
}

void THistorySheet::BuildControls()
{
    QWidget *sheet = m_main->Sheets().Sheet_History;

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
    m_soft.SetValueColumns(m_grid, m_main->ModelIndex(), language);
    if (m_main->ModelIndex() < 0)
        SetStartValueHeaders(m_grid, language);
    m_grid.ReplaceTexts(FirstStateColumn, LastStateColumn, StateTextsInto(language));
    m_soft.SetTexts(THistoryTexts::ForLanguage(language));
}

void THistorySheet::ModelKnown(int modelIndex)
{
    m_soft.SetValueColumns(m_grid, modelIndex, ConstLang::Chinese);
    // The window applies its language right after this; doing it here as
    // well keeps the headers right even before that.
    Retranslate(m_main->Language());
}

QString THistorySheet::Text(const char *key) const
{
    return Text(QString::fromLatin1(key));
}

QString THistorySheet::Text(const QString &key) const
{
    return ConstLang::Text(key, m_main->Language());
}

void THistorySheet::ShowFileError(const THistoryCsv::TResult &result)
{
    ShowError(Text(result.TextKey()) + QStringLiteral("\n\n")
              + QDir::toNativeSeparators(result.fileName) + QStringLiteral("\n") + result.systemText);
}

bool THistorySheet::PortOpen() const
{
    return m_main->ComPort() && m_main->ComPort()->Connected();
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
    if (m_reading || !PortOpen())
        return;
    const int quantity = TSoftHistory::QuantityFromText(lbledt_ReadQty->text());
    if (!TSoftHistory::QuantityValid(quantity)) {
        ShowInfo(Text("TxtInputError"));
        return;
    }
    const int pages = TSoftHistory::PageCount(quantity);

    m_reading = true;
    // A read starts from an empty grid and fresh counts, so that it never
    // mixes with the rows of an earlier read.
    m_soft.BeginRead(m_grid);
    QPointer<TFormBasicAnimate> progress = new TFormBasicAnimate(m_main);
    progress->SetRange(0, quantity);
    progress->SetPosition(0);
    progress->sg->setFormat(QStringLiteral("%v / %m"));
    progress->show();

    for (int page = 0; page < pages; ++page) {
        TSoftHistory::TPageResult result;
        const TPageRead read = ReadPage(page, quantity, &result);
        if (read == TPageRead::Failed) {
            const int firstRecord = page * HistoryRecord::PerPage + 1;
            FreeProgress(progress);
            ShowError(Text("MsgHistoryReadFailed")
                          .arg(page + 1)
                          .arg(firstRecord)
                          .arg(qMin(quantity, firstRecord + HistoryRecord::PerPage - 1)));
            break;
        }
        if (read == TPageRead::Stopped || !progress)
            break;
        progress->SetPosition(m_soft.RecordCounter());
        if (result.stopRead)
            break;
    }
    FreeProgress(progress);
    m_reading = false;
    emit ReadFinished(m_grid.LastFilledRow());
}

THistorySheet::TPageRead THistorySheet::ReadPage(int page, int quantity,
                                                 TSoftHistory::TPageResult *result)
{
    TComm *port = m_main->ComPort();
    for (int attempt = 1; attempt <= PageAttempts; ++attempt) {
        if (!PortOpen() || AppVariables().StopFlag)
            return TPageRead::Stopped;
        const TFormK900::TWait wait = m_main->RequestAndWait(
            Const::ReplyHistoryPage, [port, page] { SendHandle().SendReadHistoryPage(*port, page); });
        if (wait == TFormK900::TWait::Stopped)
            return TPageRead::Stopped;
        if (wait == TFormK900::TWait::Reply) {
            *result = m_soft.ShowPage(m_grid, m_main->LastFlowReply(), quantity, m_main->ModelIndex());
            if (result->frameValid)
                return TPageRead::Read;
            // The rest of a broken reply may still be on its way.
            m_main->DrainAfterBadReply();
        }
    }
    return TPageRead::Failed;
}

void THistorySheet::btn_ReadHistroyClick()
{
    if (!PortOpen())
        return;
    btn_History_ClearClick();
    m_requestedLine = TSoftHistory::LineFromText(lbledt_ReadLine->text());
    m_main->SetExpectedReply(Const::ReplyHistoryLine);
    SendHandle().SendReadHistoryRecord(*m_main->ComPort(), m_requestedLine);
}

void THistorySheet::HistoryLineReply(const QByteArray &chunk)
{
    const TSoftHistory::TRecordResult result =
        m_soft.ShowRecord(m_grid, chunk, m_requestedLine, m_main->ModelIndex());
    // A broken reply is not a record either: nothing is shown from it.
    if (result != TSoftHistory::TRecordResult::Shown)
        ShowInfo(Text("TxtRecordError"));
}

void THistorySheet::btn_Clean_History_DevClick()
{
    AskQuestion(m_main, Text("MsgClearAllAsk"), [this] {
        if (!PortOpen())
            return;
        delete m_eraseWindow.data();
        m_eraseWindow = new TFormBasicAnimate(m_main);
        m_eraseWindow->SetRange(0, 100);
        m_eraseWindow->SetPosition(0);
        // Stopping the window only frees it; the device goes on erasing.
        connect(m_eraseWindow.data(), &QDialog::finished, m_eraseWindow.data(), &QObject::deleteLater);
        m_eraseWindow->show();
        m_main->SetExpectedReply(Const::ReplyHistoryErase);
        SendHandle().SendClearHistory(*m_main->ComPort());
    });
}

void THistorySheet::HistoryEraseProgress(const QByteArray &chunk)
{
    if (!m_eraseWindow)
        return;
    const TSoftHistory::TEraseProgress progress = TSoftHistory::EraseProgressFromChunk(chunk);
    m_eraseWindow->SetPosition(progress.position);
    if (progress.finished)
        FreeProgress(m_eraseWindow);
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
        ProgramFolder(), THistoryCsv::DefaultFileName(m_main->ModelIndex(), QDateTime::currentDateTime()));
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
