#include "history/HistoryArchiveView_Frm.h"

#include "dialogs/Questions_Frm.h"
#include "history/HistoryArchive_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum ArchiveColumn { ImeiColumn, ModelColumn, RecordsColumn, LastReadColumn, ArchiveColumnCount };

} // namespace

THistoryArchiveView::THistoryArchiveView(THistoryArchive *archive, QWidget *parent)
    : QDialog(parent), m_archive(archive)
{
    setObjectName(QStringLiteral("HistoryArchiveView"));
    setModal(false);
    resize(620, 360);

    tbl_ArchiveDevices = new QTableWidget(0, ArchiveColumnCount, this);
    tbl_ArchiveDevices->setObjectName(QStringLiteral("tbl_ArchiveDevices"));
    tbl_ArchiveDevices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_ArchiveDevices->setSelectionBehavior(QAbstractItemView::SelectRows);
    tbl_ArchiveDevices->setSelectionMode(QAbstractItemView::SingleSelection);
    tbl_ArchiveDevices->verticalHeader()->hide();
    tbl_ArchiveDevices->horizontalHeader()->setStretchLastSection(true);
    lbl_ArchiveState = new QLabel(this);
    lbl_ArchiveState->setObjectName(QStringLiteral("lbl_ArchiveState"));
    lbl_ArchiveState->setWordWrap(true);
    lbl_ArchiveState->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto button = [this](const char *name) {
        auto *item = new QPushButton(this);
        item->setObjectName(QString::fromLatin1(name));
        item->setAutoDefault(false);
        return item;
    };
    btn_ArchiveOpen = button("btn_ArchiveOpen");
    btn_ArchiveExport = button("btn_ArchiveExport");
    btn_ArchiveDelete = button("btn_ArchiveDelete");
    btn_ArchiveClose = button("btn_ArchiveClose");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btn_ArchiveOpen);
    buttons->addWidget(btn_ArchiveExport);
    buttons->addWidget(btn_ArchiveDelete);
    buttons->addStretch();
    buttons->addWidget(btn_ArchiveClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tbl_ArchiveDevices, 1);
    layout->addWidget(lbl_ArchiveState);
    layout->addLayout(buttons);

    connect(btn_ArchiveOpen, &QPushButton::clicked, this, [this] {
        if (OpenDevice && !CurrentImei().isEmpty())
            OpenDevice(CurrentImei(), CurrentModel());
    });
    connect(btn_ArchiveExport, &QPushButton::clicked, this, [this] {
        if (ExportDevice && !CurrentImei().isEmpty())
            ExportDevice(CurrentImei(), CurrentModel());
    });
    connect(btn_ArchiveDelete, &QPushButton::clicked, this, &THistoryArchiveView::DeleteClicked);
    connect(btn_ArchiveClose, &QPushButton::clicked, this, &QDialog::close);
    connect(tbl_ArchiveDevices, &QTableWidget::itemSelectionChanged, this, &THistoryArchiveView::UpdateButtons);
    connect(tbl_ArchiveDevices, &QTableWidget::cellDoubleClicked, btn_ArchiveOpen, &QPushButton::click);
    Retranslate(ConstLang::English);
}

void THistoryArchiveView::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    setWindowTitle(ConstLang::Text("TxtArchiveTitle", language));
    tbl_ArchiveDevices->setHorizontalHeaderLabels(
        {ConstLang::Text("TxtArchiveImei", language), ConstLang::Text("TxtArchiveModel", language),
         ConstLang::Text("TxtArchiveRecords", language), ConstLang::Text("TxtArchiveLastRead", language)});
    btn_ArchiveOpen->setText(ConstLang::Text("TxtArchiveOpen", language));
    btn_ArchiveExport->setText(ConstLang::Text("TxtArchiveExport", language));
    btn_ArchiveDelete->setText(ConstLang::Text("TxtArchiveDelete", language));
    btn_ArchiveClose->setText(ConstLang::Text("TxtArchiveClose", language));
    Refresh();
}

void THistoryArchiveView::Refresh()
{
    const QString picked = CurrentImei();
    tbl_ArchiveDevices->setRowCount(0);
    if (!m_archive->IsReady())
        m_archive->Open();
    // Reading the list may find the file damaged.
    const QVector<TArchivedDevice> devices = m_archive->Devices();
    if (!m_archive->IsReady()) {
        lbl_ArchiveState->setText(ConstLang::Text(qPrintable(THistoryArchive::TextKey(m_archive->Status())), m_language)
                                      .arg(QDir::toNativeSeparators(m_archive->Path()))
                                  + QStringLiteral("\n") + m_archive->ErrorText());
        UpdateButtons();
        return;
    }
    tbl_ArchiveDevices->setRowCount(int(devices.size()));
    for (int row = 0; row < devices.size(); ++row) {
        const TArchivedDevice &device = devices.at(row);
        const QString cells[ArchiveColumnCount] = {
            device.imei, device.model, QString::number(device.records),
            device.lastRead.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
        for (int column = 0; column < ArchiveColumnCount; ++column)
            tbl_ArchiveDevices->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    tbl_ArchiveDevices->resizeColumnsToContents();
    lbl_ArchiveState->setText(devices.isEmpty() ? ConstLang::Text("TxtArchiveNone", m_language)
                                                : QDir::toNativeSeparators(m_archive->Path()));
    if (!SelectDevice(picked) && !devices.isEmpty())
        tbl_ArchiveDevices->selectRow(0);
    UpdateButtons();
}

QString THistoryArchiveView::CurrentImei() const
{
    const int row = tbl_ArchiveDevices->currentRow();
    const QTableWidgetItem *item = row >= 0 ? tbl_ArchiveDevices->item(row, ImeiColumn) : nullptr;
    return item && item->isSelected() ? item->text() : QString();
}

QString THistoryArchiveView::CurrentModel() const
{
    const int row = tbl_ArchiveDevices->currentRow();
    const QTableWidgetItem *item = row >= 0 ? tbl_ArchiveDevices->item(row, ModelColumn) : nullptr;
    return item ? item->text() : QString();
}

bool THistoryArchiveView::SelectDevice(const QString &imei)
{
    if (imei.isEmpty())
        return false;
    for (int row = 0; row < tbl_ArchiveDevices->rowCount(); ++row) {
        if (tbl_ArchiveDevices->item(row, ImeiColumn)->text() == imei) {
            tbl_ArchiveDevices->selectRow(row);
            return true;
        }
    }
    return false;
}

void THistoryArchiveView::DeleteClicked()
{
    const QString imei = CurrentImei();
    if (imei.isEmpty())
        return;
    AskQuestion(this, ConstLang::Text("MsgArchiveDeleteAsk", m_language).arg(imei), [this, imei] {
        if (!m_archive->DeleteDevice(imei)) {
            const QString text = ConstLang::Text("MsgArchiveDeleteFailed", m_language).arg(imei)
                                 + QStringLiteral("\n") + m_archive->ErrorText();
            ShowErrorBox(this, text);
            emit MessageShown(text);
        }
        Refresh();
    });
}

void THistoryArchiveView::UpdateButtons()
{
    const bool picked = !CurrentImei().isEmpty();
    btn_ArchiveOpen->setEnabled(picked);
    btn_ArchiveExport->setEnabled(picked);
    btn_ArchiveDelete->setEnabled(picked);
}
