#include "views/SoftInterfaceTelephone_Unt.h"

#include "views/PhoneSetting_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

namespace {

constexpr int kPixelsPerByte = 12;
constexpr int kNumberColumn = 1;
constexpr int kLongestNumberDigits = 21;

} // namespace

TSoftTelephone::TSoftTelephone(QObject *parent) : TBaseSoftInterface(parent)
{
}

QTreeWidget *TSoftTelephone::CreateTelView(QWidget *sheet)
{
    auto *view = new QTreeWidget(sheet);
    SetupReportView(view, "lvTel", TelColumns);
    for (int column = 0; column < TelColumns; ++column)
        view->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    return view;
}

void TSoftTelephone::BindView(QTreeWidget *lvTel)
{
    m_lvTel = lvTel;
    auto *pmPhone = new QMenu(lvTel);
    pmPhone->setObjectName(QStringLiteral("pmPhone"));
    connect(ViewContext::AddMenuItem(pmPhone, "Pop_Phone_Setting"), &QAction::triggered, this,
            &TSoftTelephone::Pop_Phone_SettingClick);
    connect(ViewContext::AddMenuItem(pmPhone, "Pop_Phone_ClearLine"), &QAction::triggered, this,
            &TSoftTelephone::Pop_Phone_ClearLineClick);
    connect(ViewContext::AddMenuItem(pmPhone, "Pop_Phone_Clear"), &QAction::triggered, this,
            &TSoftTelephone::Pop_Phone_ClearClick);
    connect(lvTel, &QWidget::customContextMenuRequested, pmPhone,
            [lvTel, pmPhone](const QPoint &pos) { pmPhone->popup(lvTel->viewport()->mapToGlobal(pos)); });
    OnDoubleClick(lvTel, [this] { lvTelDblClick(); });
}

void TSoftTelephone::SizeTelColumns(QTreeWidget *lvTel) const
{
    QHeaderView *header = lvTel->header();
    header->setMinimumSectionSize(0);
    // A number of the longest kind fits whatever language the caption is in.
    const int numberWidth = ColumnWidthFor(lvTel, QString(kLongestNumberDigits, QLatin1Char('0')));
    for (int column = 0; column < lvTel->columnCount(); ++column) {
        const QString caption = lvTel->headerItem()->text(column);
        int width = qMax(kPixelsPerByte * Cp936Length(caption), ColumnWidthFor(lvTel, caption));
        if (column == kNumberColumn)
            width = qMax(width, numberWidth);
        header->setSectionResizeMode(column, QHeaderView::Interactive);
        header->resizeSection(column, width);
    }
    lvTel->viewport()->update();
}

void TSoftTelephone::BuildTelRows(QTreeWidget *lvTel) const
{
    AddNumberedRows(lvTel, 1, TelRows);
}

void TSoftTelephone::Pop_Phone_SettingClick()
{
    const int row = SelectedRowIndex(m_lvTel);
    if (row < 0) {
        ViewContext::ShowMessage(ViewContext::Text("MsgSelectRow"));
        return;
    }
    TFormPhoneSetting editor(m_lvTel, row, m_lvTel->window());
    if (editor.exec() == QDialog::Accepted)
        emit rowsEdited();
}

void TSoftTelephone::lvTelDblClick()
{
    Pop_Phone_SettingClick();
}

void TSoftTelephone::Pop_Phone_ClearLineClick()
{
    const int row = SelectedRowIndex(m_lvTel);
    if (row < 0) {
        ViewContext::ShowMessage(ViewContext::Text("MsgSelectRow"));
        return;
    }
    ClearRow(m_lvTel, row);
    emit rowsEdited();
}

void TSoftTelephone::Pop_Phone_ClearClick()
{
    ClearAllRows(m_lvTel);
    emit rowsEdited();
}
