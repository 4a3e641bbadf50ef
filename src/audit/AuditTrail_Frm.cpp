#include "audit/AuditTrail_Frm.h"

#include "audit/AuditRecorder_Unt.h"
#include "base/FileSafety_Unt.h"
#include "dialogs/FileDialogs_Frm.h"
#include "dialogs/MessageBox_Frm.h"
#include "dialogs/Questions_Frm.h"
#include "lang/ConstLang_Unt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPushButton>
#include <QSplitter>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum TColumn { ColTime, ColUser, ColDevice, ColAction, ColOutcome, ColReason, AuditColumnCount };

QString Escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

TFormAuditTrail::TFormAuditTrail(TAuditTrail *trail, int language, QWidget *parent)
    : QDialog(parent), m_trail(trail), m_language(language)
{
    setObjectName(QStringLiteral("FormAuditTrail"));
    setWindowTitle(ApplicationTitle(language) + QStringLiteral(" - ") + Text("AudTitle"));
    setMinimumSize(860, 520);
    resize(960, 600);

    auto *layout = new QVBoxLayout(this);
    auto *filter = new QHBoxLayout;
    auto *deviceLabel = new QLabel(Text("AudFilterDevice"), this);
    m_device = new QComboBox(this);
    m_device->setObjectName(QStringLiteral("cbb_AuditDevice"));
    m_device->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *fromLabel = new QLabel(Text("AudFilterFrom"), this);
    m_from = new QDateEdit(this);
    m_from->setObjectName(QStringLiteral("dtp_AuditFrom"));
    m_from->setCalendarPopup(true);
    m_from->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    auto *toLabel = new QLabel(Text("AudFilterTo"), this);
    m_to = new QDateEdit(this);
    m_to->setObjectName(QStringLiteral("dtp_AuditTo"));
    m_to->setCalendarPopup(true);
    m_to->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    deviceLabel->setBuddy(m_device);
    fromLabel->setBuddy(m_from);
    toLabel->setBuddy(m_to);
    filter->addWidget(deviceLabel);
    filter->addWidget(m_device);
    filter->addStretch(1);
    filter->addWidget(fromLabel);
    filter->addWidget(m_from);
    filter->addWidget(toLabel);
    filter->addWidget(m_to);
    layout->addLayout(filter);

    auto *split = new QSplitter(Qt::Vertical, this);
    m_list = new QTreeWidget(split);
    m_list->setObjectName(QStringLiteral("lv_Audit"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHeaderLabels({Text("AudColTime"), Text("AudColUser"), Text("AudColDevice"), Text("AudColAction"),
                             Text("AudColOutcome"), Text("AudColReason")});
    // The outcome takes the room there is; the whole text is its tooltip.
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(ColOutcome, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(ColReason, QHeaderView::Interactive);
    auto *lower = new QWidget(split);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    auto *changesLabel = new QLabel(Text("AudChanges"), lower);
    m_changes = new QTreeWidget(lower);
    m_changes->setObjectName(QStringLiteral("lv_AuditChanges"));
    m_changes->setRootIsDecorated(false);
    m_changes->setHeaderLabels({Text("AudColField"), Text("AudColBefore"), Text("AudColAfter")});
    m_backup = new QLabel(lower);
    m_backup->setObjectName(QStringLiteral("lbl_AuditBackup"));
    m_backup->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_backup->setWordWrap(true);
    lowerLayout->addWidget(changesLabel);
    lowerLayout->addWidget(m_changes);
    lowerLayout->addWidget(m_backup);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    auto *bottom = new QHBoxLayout;
    m_chainLabel = new QLabel(this);
    m_chainLabel->setObjectName(QStringLiteral("lbl_AuditChain"));
    auto *csv = new QPushButton(Text("AudExportCsv"), this);
    csv->setObjectName(QStringLiteral("btn_AuditCsv"));
    auto *pdf = new QPushButton(Text("AudExportPdf"), this);
    pdf->setObjectName(QStringLiteral("btn_AuditPdf"));
    auto *close = new QPushButton(Text("AudClose"), this);
    close->setObjectName(QStringLiteral("btn_AuditClose"));
    bottom->addWidget(m_chainLabel, 1);
    bottom->addWidget(csv);
    bottom->addWidget(pdf);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    ChooseSaveFile = [this](const QString &filter, const QString &defaultName) {
        return ChooseFileToSave(this, {"AuditSaveDialog", filter, true, false}, QDir::homePath(), defaultName);
    };
    connect(csv, &QPushButton::clicked, this, [this] { Export(false); });
    connect(pdf, &QPushButton::clicked, this, [this] { Export(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_device, &QComboBox::currentIndexChanged, this, &TFormAuditTrail::Fill);
    connect(m_from, &QDateEdit::dateChanged, this, &TFormAuditTrail::Fill);
    connect(m_to, &QDateEdit::dateChanged, this, &TFormAuditTrail::Fill);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &TFormAuditTrail::ShowChanges);
    Reload();
}

QString TFormAuditTrail::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_language);
}

QString TFormAuditTrail::ChainText() const
{
    return m_chain;
}

void TFormAuditTrail::Reload()
{
    if (m_trail->Status() != TAuditTrail::TStatus::Ready)
        m_trail->Open();
    m_entries = m_trail->Entries();
    const TAuditCheck check = m_trail->Verify();
    m_chain = check.problem == TAuditCheck::TProblem::Unreadable ? m_trail->ProblemText(m_language)
                                                                  : check.Text(m_language);
    m_chainLabel->setText(Text("AudChainState").arg(m_chain));
    // An altered chain is said in red: the list may not be what happened.
    m_chainLabel->setStyleSheet(check.Intact() ? QString() : QStringLiteral("color: #b00020; font-weight: bold"));

    const QSignalBlocker deviceBlock(m_device);
    const QSignalBlocker fromBlock(m_from);
    const QSignalBlocker toBlock(m_to);
    const QString chosen = m_device->currentData().toString();
    m_device->clear();
    m_device->addItem(Text("AudAllDevices"), QString());
    for (const auto &device : AuditList::Devices(m_entries))
        m_device->addItem(QStringLiteral("%1 (%2)").arg(device.first, device.second), device.first);
    m_device->setCurrentIndex(qMax(0, m_device->findData(chosen)));
    QDate first = QDate::currentDate();
    QDate last = first;
    if (!m_entries.isEmpty()) {
        const TAuditEntry &oldest = m_entries.first();
        const TAuditEntry &newest = m_entries.last();
        first = oldest.timeUtc.toOffsetFromUtc(oldest.utcOffset).date();
        last = qMax(newest.timeUtc.toOffsetFromUtc(newest.utcOffset).date(), QDate::currentDate());
    }
    m_from->setDate(first);
    m_to->setDate(last);
    Fill();
}

void TFormAuditTrail::Fill()
{
    m_shown = AuditList::Records(m_entries, m_device->currentData().toString(), m_from->date(), m_to->date());
    m_list->clear();
    for (int row = 0; row < m_shown.size(); ++row) {
        const TAuditRecord &record = m_shown.at(row);
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(ColTime, record.TimeText());
        item->setText(ColUser, record.start.user);
        item->setText(ColDevice, record.DeviceText());
        item->setToolTip(ColDevice, record.start.port);
        item->setText(ColAction, AuditActions::Name(record.start.action, m_language));
        item->setText(ColOutcome, record.OutcomeText(m_language));
        item->setToolTip(ColOutcome, record.OutcomeText(m_language));
        item->setText(ColReason, record.start.reason);
        item->setToolTip(ColReason, record.start.reason);
        item->setData(ColTime, Qt::UserRole, row);
    }
    m_list->resizeColumnToContents(ColReason);
    m_list->setColumnWidth(ColReason, qBound(120, m_list->columnWidth(ColReason), 320));
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
    ShowChanges();
}

void TFormAuditTrail::ShowChanges()
{
    m_changes->clear();
    m_backup->clear();
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const TAuditRecord &record = m_shown.at(item->data(ColTime, Qt::UserRole).toInt());
    for (const TAuditChange &change : record.Last().changes) {
        auto *row = new QTreeWidgetItem(m_changes);
        row->setText(0, m_language == 0 ? change.captionZh : change.captionEn);
        row->setText(1, change.before);
        row->setText(2, change.after);
    }
    for (int column = 0; column < 3; ++column)
        m_changes->resizeColumnToContents(column);
    if (!record.Last().backupFile.isEmpty())
        m_backup->setText(Text("AudBackupFile").arg(record.Last().backupFile));
}

QString TFormAuditTrail::ExportCsv(const QString &fileName) const
{
    // UTF-8 with its mark: user and host names may hold any character.
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + AuditList::Csv(m_shown, m_language).toUtf8();
    const FileSafety::TSaveResult saved = FileSafety::SaveFile(fileName, bytes, false);
    return saved.ok() ? QString() : (saved.detail.isEmpty() ? fileName : saved.detail);
}

QString TFormAuditTrail::ExportPdf(const QString &fileName) const
{
    if (!FileSafety::IsWritableTarget(fileName))
        return fileName;
    QString html = QStringLiteral("<h2>%1</h2><p>%2<br>%3</p>")
                       .arg(Escaped(Text("AudTitle")), Escaped(m_device->currentText()),
                            Escaped(Text("AudChainState").arg(m_chain)));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    for (const char *key : {"AudColTime", "AudColUser", "AudColDevice", "AudColAction", "AudColOutcome", "AudColReason"})
        html += QStringLiteral("<th>%1</th>").arg(Escaped(Text(key)));
    html += QStringLiteral("</tr>");
    for (const TAuditRecord &record : m_shown) {
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>")
                    .arg(Escaped(record.TimeText()), Escaped(record.start.user), Escaped(record.DeviceText()),
                         Escaped(AuditActions::Name(record.start.action, m_language)),
                         Escaped(record.OutcomeText(m_language)), Escaped(record.start.reason));
        QStringList changes;
        for (const TAuditChange &change : record.Last().changes)
            changes << Escaped(QStringLiteral("%1: %2 → %3")
                                   .arg(m_language == 0 ? change.captionZh : change.captionEn, change.before,
                                        change.after));
        if (!record.Last().backupFile.isEmpty())
            changes << Escaped(Text("AudBackupFile").arg(record.Last().backupFile));
        if (!changes.isEmpty())
            html += QStringLiteral("<tr><td></td><td colspan=\"5\">%1</td></tr>").arg(changes.join(QStringLiteral("<br>")));
    }
    html += QStringLiteral("</table>");
    QPdfWriter writer(fileName);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setTitle(Text("AudTitle"));
    QTextDocument document;
    document.setDefaultFont(font());
    document.setHtml(html);
    document.print(&writer);
    return QFileInfo(fileName).size() > 0 ? QString() : fileName;
}

void TFormAuditTrail::Export(bool pdf)
{
    const QString chosen = ChooseSaveFile(pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("CSV (*.csv)"),
                                          pdf ? QStringLiteral("audit.pdf") : QStringLiteral("audit.csv"));
    if (chosen.isEmpty())
        return;
    const QString error = pdf ? ExportPdf(chosen) : ExportCsv(chosen);
    if (error.isEmpty()) {
        const QString text = Text("AudExported").arg(QDir::toNativeSeparators(chosen));
        ShowMessageWindow(text, windowTitle());
        emit MessageShown(text);
    } else {
        const QString text = Text("AudExportFailed").arg(QDir::toNativeSeparators(chosen), error);
        ShowErrorBox(this, text);
        emit MessageShown(text);
    }
}
