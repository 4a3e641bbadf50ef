#include "views/SoftInterfaceDiDoTh_Unt.h"

#include "base/Const_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "views/DoSetting_Frm.h"
#include "views/FrozenColumns_Frm.h"
#include "views/ThSetting_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>
#include <QtEndian>

namespace {

constexpr int kFirstColumnWidth = 120;
constexpr int kDoStatusByte = 32;
// Marks a sensor view whose rows exist, so they are built only once.
constexpr char kThRowsBuilt[] = "thRowsBuilt";

struct TColumnRule {
    int factor; // pixels per byte of the caption in code page 936
    int extra;
};

// Columns 1 .. 6 of lvDo and 1 .. 12 of lvTh.
constexpr TColumnRule kDoRules[] = {{18, 0}, {12, 0}, {12, 0}, {30, 0}, {30, 0}, {30, 0}};
constexpr TColumnRule kThRules[] = {{16, 50}, {12, 0}, {12, 0}, {12, 0}, {12, 0}, {12, 0},
                                    {16, 50}, {16, 50}, {16, 50}, {16, 50}, {12, 0}, {12, 0}};

template <std::size_t N>
void SizeColumns(QTreeWidget *view, const TColumnRule (&rules)[N])
{
    QHeaderView *header = view->header();
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, kFirstColumnWidth);
    for (std::size_t rule = 0; rule < N; ++rule) {
        const int column = int(rule) + 1;
        if (column >= view->columnCount())
            break;
        const QString caption = view->headerItem()->text(column);
        const int bytes = TBaseSoftInterface::Cp936Length(caption);
        header->setSectionResizeMode(column, QHeaderView::Interactive);
        header->resizeSection(column, qMax(rules[rule].factor * bytes + rules[rule].extra,
                                           TBaseSoftInterface::ColumnWidthFor(view, caption)));
    }
    view->viewport()->update();
}

// The live column (relay state, sensor value) is shown right after the row
// caption, and both stay in place while the settings columns scroll.
QTreeWidget *CreateChannelView(QWidget *sheet, const char *name, int columns, int liveColumn)
{
    auto *view = new QTreeWidget(sheet);
    TBaseSoftInterface::SetupReportView(view, name, columns);
    for (int column = 0; column < columns; ++column)
        view->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    view->header()->moveSection(view->header()->visualIndex(liveColumn), 1);
    new TFrozenColumns(view, 2);
    return view;
}

// The payload of a checked frame; empty when the check fails.
QByteArray CheckedPayload(const QByteArray &frame)
{
    const TBasicProtocol protocol;
    if (!protocol.CheckFrame(frame))
        return QByteArray();
    return protocol.GetData(frame);
}

// Tenths as text with exactly one decimal and a point: 253 -> 25.3,
// -45 -> -4.5, -5 -> -0.5, 0 -> 0.0.
QString TenthsText(int tenths)
{
    const int magnitude = tenths < 0 ? -tenths : tenths;
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

void ShowSelectRowMessage()
{
    ViewContext::ShowMessage(ViewContext::Text("MsgSelectRow"));
}

} // namespace

TSoftDiDoTh::TSoftDiDoTh(QObject *parent) : TBaseSoftInterface(parent)
{
}

QTreeWidget *TSoftDiDoTh::CreateDoView(QWidget *sheet)
{
    return CreateChannelView(sheet, "lvDo", DoColumns, DoStatusSubItem + 1);
}

QTreeWidget *TSoftDiDoTh::CreateThView(QWidget *sheet)
{
    return CreateChannelView(sheet, "lvTh", ThColumns, ThValueSubItem + 1);
}

void TSoftDiDoTh::BindViews(QTreeWidget *lvDo, QTreeWidget *lvTh)
{
    m_lvDo = lvDo;
    m_lvTh = lvTh;

    auto *pmDo = new QMenu(lvDo);
    pmDo->setObjectName(QStringLiteral("pmDo"));
    connect(ViewContext::AddMenuItem(pmDo, "Pop_Do_Setting"), &QAction::triggered, this, &TSoftDiDoTh::Pop_Do_SettingClick);
    connect(ViewContext::AddMenuItem(pmDo, "Pop_Do_ReadCurrentValue"), &QAction::triggered, this,
            &TSoftDiDoTh::Pop_Do_ReadCurrentValueClick);
    connect(ViewContext::AddMenuItem(pmDo, "Pop_Do_ClearLine"), &QAction::triggered, this, &TSoftDiDoTh::Pop_Do_ClearLineClick);
    connect(ViewContext::AddMenuItem(pmDo, "Pop_Do_Clear"), &QAction::triggered, this, &TSoftDiDoTh::Pop_Do_ClearClick);
    connect(lvDo, &QWidget::customContextMenuRequested, pmDo,
            [lvDo, pmDo](const QPoint &pos) { pmDo->popup(lvDo->viewport()->mapToGlobal(pos)); });
    OnDoubleClick(lvDo, [this] { lvDoDblClick(); });

    auto *pmTh = new QMenu(lvTh);
    pmTh->setObjectName(QStringLiteral("pmTh"));
    connect(ViewContext::AddMenuItem(pmTh, "Pop_Th_Setting"), &QAction::triggered, this, &TSoftDiDoTh::Pop_Th_SettingClick);
    connect(ViewContext::AddMenuItem(pmTh, "Pop_Th_ReadCurrentValue"), &QAction::triggered, this,
            &TSoftDiDoTh::Pop_Th_ReadCurrentValueClick);
    connect(ViewContext::AddMenuItem(pmTh, "Pop_Th_ClearLine"), &QAction::triggered, this, &TSoftDiDoTh::Pop_Th_ClearLineClick);
    connect(ViewContext::AddMenuItem(pmTh, "Pop_Th_Clear"), &QAction::triggered, this, &TSoftDiDoTh::Pop_Th_ClearClick);
    connect(lvTh, &QWidget::customContextMenuRequested, pmTh,
            [lvTh, pmTh](const QPoint &pos) { pmTh->popup(lvTh->viewport()->mapToGlobal(pos)); });
    OnDoubleClick(lvTh, [this] { lvThDblClick(); });
}

void TSoftDiDoTh::SizeDoColumns(QTreeWidget *lvDo) const
{
    SizeColumns(lvDo, kDoRules);
}

void TSoftDiDoTh::SizeThColumns(QTreeWidget *lvTh) const
{
    SizeColumns(lvTh, kThRules);
}

void TSoftDiDoTh::BuildDoRows(QTreeWidget *lvDo) const
{
    lvDo->setUpdatesEnabled(false);
    AppendRow(lvDo, QStringLiteral("DOUT1"));
    AppendRow(lvDo, QStringLiteral("DOUT2"));
    lvDo->setUpdatesEnabled(true);
}

void TSoftDiDoTh::BuildThRows(const QString &modelText, QTreeWidget *lvTh) const
{
    // Built for each model the first time it is seen; a device of another
    // model on a reconnect gets its own rows.
    if (lvTh->property(kThRowsBuilt).toString() == modelText)
        return;
    lvTh->setProperty(kThRowsBuilt, modelText);
    lvTh->clear();

    int pairs = 0;
    bool humidity = true;
    if (modelText == QLatin1String("K801")) {
        pairs = 4;
    } else if (modelText == QLatin1String("K802")) {
        pairs = 8;
    } else if (modelText == QLatin1String("K803")) {
        pairs = 8;
        humidity = false;
    }
    lvTh->setUpdatesEnabled(false);
    for (int channel = 1; channel <= pairs; ++channel) {
        AppendRow(lvTh, ConstLang::ThRowCaption(false, channel, ConstLang::English));
        if (humidity)
            AppendRow(lvTh, ConstLang::ThRowCaption(true, channel, ConstLang::English));
    }
    lvTh->setUpdatesEnabled(true);
}

int TSoftDiDoTh::ThRowsModel(const QTreeWidget *lvTh)
{
    const QString built = lvTh ? lvTh->property(kThRowsBuilt).toString() : QString();
    for (int index = 0; index < Const::ModelCount; ++index) {
        if (built == QLatin1String(Const::ModelNames[index]))
            return index;
    }
    return -1;
}

std::optional<quint8> TSoftDiDoTh::DoStatusBits(const QByteArray &frame)
{
    const QByteArray payload = CheckedPayload(frame);
    if (payload.size() <= kDoStatusByte)
        return std::nullopt;
    return quint8(payload.at(kDoStatusByte));
}

void TSoftDiDoTh::ShowDoStatus(const QByteArray &frame, QTreeWidget *lvDo) const
{
    const std::optional<quint8> status = DoStatusBits(frame);
    if (!status)
        return;
    for (int row = 0; row < 2 && row < lvDo->topLevelItemCount(); ++row) {
        const bool closed = (*status >> row) & 1;
        QTreeWidgetItem *item = lvDo->topLevelItem(row);
        SetSubItem(item, DoStatusSubItem,
                   ViewContext::Text(closed ? "TxtDoStatusClosed" : "TxtDoStatusOpen"));
        // The state itself stays with the cell, so a language switch can
        // write it again in the new language.
        item->setData(DoStatusSubItem + 1, Qt::UserRole, closed);
    }
}

void TSoftDiDoTh::ShowDoStatusUnknown(QTreeWidget *lvDo) const
{
    for (int row = 0; row < 2 && row < lvDo->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = lvDo->topLevelItem(row);
        SetSubItem(item, DoStatusSubItem, ViewContext::Text("TxtDoStatusUnknown"));
        item->setData(DoStatusSubItem + 1, Qt::UserRole, QVariant());
    }
}

void TSoftDiDoTh::RetranslateDoStatus(QTreeWidget *lvDo, int language)
{
    for (int row = 0; row < 2 && row < lvDo->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = lvDo->topLevelItem(row);
        const QVariant closed = item->data(DoStatusSubItem + 1, Qt::UserRole);
        if (SubItem(item, DoStatusSubItem).isEmpty())
            continue;
        // A cell without a stored state says the state is unknown.
        QString key = QStringLiteral("TxtDoStatusUnknown");
        if (closed.isValid())
            key = closed.toBool() ? QStringLiteral("TxtDoStatusClosed") : QStringLiteral("TxtDoStatusOpen");
        SetSubItem(item, DoStatusSubItem, ConstLang::Text(key, language));
    }
}

QStringList TSoftDiDoTh::ThValueTexts(const QByteArray &frame, int modelIndex)
{
    int stride = 0;
    if (modelIndex == 0 || modelIndex == 1)
        stride = 2;
    else if (modelIndex == 2)
        stride = 4;
    else
        return {};
    const int channels = int(ConstLang::ThRowCaptions(modelIndex, ConstLang::English).size());
    const QByteArray payload = CheckedPayload(frame);
    QStringList texts;
    for (int row = 0; row < channels; ++row) {
        const int offset = stride * row;
        if (offset + 1 >= payload.size())
            break;
        texts << TenthsText(qFromLittleEndian<qint16>(payload.constData() + offset));
    }
    return texts;
}

void TSoftDiDoTh::ShowThValues(const QByteArray &frame, QTreeWidget *lvTh, int modelIndex) const
{
    const QStringList texts = ThValueTexts(frame, modelIndex);
    for (int row = 0; row < lvTh->topLevelItemCount() && row < texts.size(); ++row)
        SetSubItem(lvTh->topLevelItem(row), ThValueSubItem, texts.at(row));
}

void TSoftDiDoTh::Pop_Do_SettingClick()
{
    const int row = SelectedRowIndex(m_lvDo);
    if (row < 0) {
        ShowSelectRowMessage();
        return;
    }
    TFormDoSetting editor(m_lvDo, row, m_lvDo->window());
    if (editor.exec() == QDialog::Accepted)
        emit rowsEdited();
}

void TSoftDiDoTh::lvDoDblClick()
{
    Pop_Do_SettingClick();
}

void TSoftDiDoTh::Pop_Do_ReadCurrentValueClick()
{
    emit readDoStatusRequested();
}

void TSoftDiDoTh::Pop_Do_ClearLineClick()
{
    const int row = SelectedRowIndex(m_lvDo);
    if (row < 0) {
        ShowSelectRowMessage();
        return;
    }
    ClearRow(m_lvDo, row);
    emit rowsEdited();
}

void TSoftDiDoTh::Pop_Do_ClearClick()
{
    ClearAllRows(m_lvDo);
    emit rowsEdited();
}

void TSoftDiDoTh::Pop_Th_SettingClick()
{
    const int row = SelectedRowIndex(m_lvTh);
    if (row < 0) {
        ShowSelectRowMessage();
        return;
    }
    TFormThSetting editor(m_lvTh, row, m_lvTh->window());
    if (editor.exec() == QDialog::Accepted)
        emit rowsEdited();
}

void TSoftDiDoTh::lvThDblClick()
{
    Pop_Th_SettingClick();
}

void TSoftDiDoTh::Pop_Th_ReadCurrentValueClick()
{
    emit readThValuesRequested();
}

void TSoftDiDoTh::Pop_Th_ClearLineClick()
{
    const int row = SelectedRowIndex(m_lvTh);
    if (row < 0) {
        ShowSelectRowMessage();
        return;
    }
    ClearRow(m_lvTh, row);
    emit rowsEdited();
}

void TSoftDiDoTh::Pop_Th_ClearClick()
{
    ClearAllRows(m_lvTh);
    emit rowsEdited();
}
