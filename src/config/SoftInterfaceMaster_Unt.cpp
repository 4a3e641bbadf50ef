#include "config/SoftInterfaceMaster_Unt.h"

#include "app/BasicAnimate_Frm.h"
#include "app/Funs_Unt.h"
#include "app/K900_Frm.h"
#include "app/MessageBox_Frm.h"
#include "app/Questions_Frm.h"
#include "app/Variable_Unt.h"
#include "config/ConfigPages_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "views/BaseSoftInterface_Unt.h"
#include "views/SoftInterfaceDateTime_Unt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

QStringList RowCells(const QTreeWidgetItem *row, int subItems)
{
    QStringList cells;
    for (int subItem = 0; subItem < subItems; ++subItem)
        cells << (row ? row->text(subItem + 1) : QString());
    return cells;
}

QVector<QStringList> ListRows(const QTreeWidget *view, int rowCount, int subItems)
{
    QVector<QStringList> rows;
    for (int index = 0; index < rowCount; ++index)
        rows << RowCells(view ? view->topLevelItem(index) : nullptr, subItems);
    return rows;
}

int SubItemCount(const QVector<QStringList> &rows)
{
    return rows.isEmpty() ? 0 : int(rows.first().size());
}

} // namespace

TSoftMaster::TSoftMaster(TFormK900 *window) : QObject(window), m_window(window) {}

QString TSoftMaster::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_window->Language());
}

void TSoftMaster::BlankPanes()
{
    for (const char *name : {"grp_BasicSeting", "grp_PasswordSeting", "Sheet_Telephone", "Sheet_DO",
                             "Sheet_TH", "Sheet_DateTime", "grp_GPRS_BasicSeting"}) {
        if (auto *container = m_window->findChild<QWidget *>(QString::fromLatin1(name)))
            TBaseSoftInterface::ResetControls(container);
    }
}

void TSoftMaster::Apply(const TConfigAssignment &assignment)
{
    QWidget *control = m_window->findChild<QWidget *>(assignment.Control);
    if (!control)
        return;
    switch (assignment.Kind) {
    case TAssignKind::Text:
        if (auto *edit = qobject_cast<TLabeledEdit *>(control))
            edit->setText(assignment.Value.toString());
        else if (auto *line = qobject_cast<QLineEdit *>(control))
            line->setText(assignment.Value.toString());
        break;
    case TAssignKind::Check:
        if (auto *box = qobject_cast<QCheckBox *>(control))
            box->setChecked(assignment.Value.toBool());
        break;
    case TAssignKind::ComboIndex:
        if (auto *combo = qobject_cast<QComboBox *>(control))
            combo->setCurrentIndex(assignment.Value.toInt());
        break;
    case TAssignKind::Time:
        if (auto *picker = qobject_cast<QDateTimeEdit *>(control)) {
            const QTime time = assignment.Value.toTime();
            picker->setTime(time.isValid() ? time : QTime::currentTime());
        }
        break;
    case TAssignKind::Enabled:
        control->setEnabled(assignment.Value.toBool());
        break;
    case TAssignKind::Cell:
    case TAssignKind::TimerDay:
    case TAssignKind::TimerAction: {
        auto *view = qobject_cast<QTreeWidget *>(control);
        QTreeWidgetItem *row = view ? view->topLevelItem(assignment.Row) : nullptr;
        if (!row)
            break;
        if (assignment.Kind == TAssignKind::Cell)
            row->setText(assignment.SubItem + 1, assignment.Value.toString());
        else if (assignment.Kind == TAssignKind::TimerDay)
            TSoftDateTime::SetTimerDay(row, assignment.Value.toInt(), m_window->Language());
        else
            TSoftDateTime::SetTimerAction(row, assignment.Value.toInt(), m_window->Language());
        break;
    }
    }
}

void TSoftMaster::ImageToControls(const TDecodeResult &decoded)
{
    BlankPanes();
    for (const TConfigAssignment &assignment : decoded.Assignments) {
        Apply(assignment);
        if (assignment.Control == ConfigControls::MainPassword
            && assignment.Kind == TAssignKind::Text)
            AppVariables().ConnectionPassword = assignment.Value.toString();
    }
}

TConfigValues TSoftMaster::ControlsToValues() const
{
    TConfigValues values = BlankConfigValues(m_window->ModelIndex());
    for (auto it = values.Texts.begin(); it != values.Texts.end(); ++it) {
        QWidget *control = m_window->findChild<QWidget *>(it.key());
        if (auto *edit = qobject_cast<TLabeledEdit *>(control))
            it.value() = edit->text();
        else if (auto *line = qobject_cast<QLineEdit *>(control))
            it.value() = line->text();
    }
    for (auto it = values.Checks.begin(); it != values.Checks.end(); ++it) {
        if (auto *box = m_window->findChild<QCheckBox *>(it.key()))
            it.value() = box->isChecked();
    }
    for (auto it = values.Combos.begin(); it != values.Combos.end(); ++it) {
        if (auto *combo = m_window->findChild<QComboBox *>(it.key()))
            it.value() = combo->currentIndex();
    }
    for (auto it = values.Times.begin(); it != values.Times.end(); ++it) {
        if (auto *picker = m_window->findChild<QDateTimeEdit *>(it.key()))
            it.value() = picker->time();
    }
    for (auto it = values.Enabled.begin(); it != values.Enabled.end(); ++it) {
        if (auto *control = m_window->findChild<QWidget *>(it.key()))
            it.value() = control->isEnabled();
    }

    auto view = [this](const char *name) {
        return m_window->findChild<QTreeWidget *>(QString::fromLatin1(name));
    };
    values.lvDo = ListRows(view("lvDo"), values.lvDo.size(), SubItemCount(values.lvDo));
    values.lvTel = ListRows(view("lvTel"), values.lvTel.size(), SubItemCount(values.lvTel));
    if (QTreeWidget *lvTh = view("lvTh")) {
        const int rows = qMin(int(values.lvTh.size()), lvTh->topLevelItemCount());
        values.lvTh = ListRows(lvTh, rows, SubItemCount(values.lvTh));
    }
    if (QTreeWidget *lvTimer = view("lvTimer")) {
        for (int index = 0; index < values.lvTimer.size(); ++index) {
            const QTreeWidgetItem *row = lvTimer->topLevelItem(index);
            if (!row)
                continue;
            TTimerRow &timer = values.lvTimer[index];
            timer.Enabled = TBaseSoftInterface::IsTicked(
                row->text(TSoftDateTime::EnableSubItem + 1));
            timer.DayCode = TSoftDateTime::TimerDay(row);
            timer.Hour = row->text(TSoftDateTime::HourSubItem + 1);
            timer.Minute = row->text(TSoftDateTime::MinuteSubItem + 1);
            timer.ActionCode = TSoftDateTime::TimerAction(row);
        }
    }
    return values;
}

TEncodeResult TSoftMaster::ControlsToImage() const
{
    return EncodeImage(ControlsToValues(), m_window->ModelIndex());
}

QString TSoftMaster::CaptionOf(const TConfigError &error) const
{
    QWidget *control = m_window->findChild<QWidget *>(error.Control);
    if (auto *view = qobject_cast<QTreeWidget *>(control)) {
        const QTreeWidgetItem *row = view->topLevelItem(error.Row);
        const QString rowCaption = row ? row->text(0) : QString::number(error.Row + 1);
        const QString column = view->headerItem()
                                   ? view->headerItem()->text(error.SubItem + 1)
                                   : QString::number(error.SubItem + 1);
        return rowCaption + QStringLiteral(" / ") + column;
    }
    if (auto *edit = qobject_cast<TLabeledEdit *>(control)) {
        if (!edit->labelText().isEmpty())
            return edit->labelText();
    }
    return error.Control;
}

QString TSoftMaster::ErrorMessage(const TConfigError &error) const
{
    switch (error.Code) {
    case TConfigErrorCode::None:
        return {};
    case TConfigErrorCode::ImageTooShort:
        return Text("MsgConfigImageShort").arg(error.Text);
    case TConfigErrorCode::NumberOutOfRange:
        return Text("MsgConfigOutOfRange")
            .arg(CaptionOf(error), error.Text, error.Minimum, error.Maximum);
    case TConfigErrorCode::NotANumber:
        return Text("MsgConfigNotNumber")
            .arg(CaptionOf(error), error.Text, error.Minimum, error.Maximum);
    case TConfigErrorCode::BadHexPair:
        return Text("MsgConfigBadHex").arg(CaptionOf(error), error.Text);
    }
    return {};
}

void TSoftMaster::Finish(bool ok, const QString &message, bool asError)
{
    if (asError)
        ShowErrorBox(m_window, message);
    else
        ShowMessageWindow(message, m_window->windowTitle());
    emit FlowFinished(ok, message);
}

void TSoftMaster::Pop_ReadMaster_SetingClick()
{
    TComm *port = m_window->ComPort();
    if (!port || !port->Connected())
        return;

    auto *progress = new TFormBasicAnimate(m_window);
    progress->SetRange(0, ConfigPages::ReadPageCount);
    progress->SetPosition(0);
    progress->show();

    // Every page must come as a valid frame with its 256 bytes; one that does
    // not is asked for again, and the image is shown only when all are in.
    TConfigPageBuffer pages;
    for (int page = 0; page < ConfigPages::ReadPageCount; ++page) {
        progress->SetPosition(page + 1);
        bool stored = false;
        for (int attempt = 0; attempt < PageAttempts && !stored; ++attempt) {
            const TFormK900::TWait wait = m_window->RequestAndWait(Const::ReplyConfigRead, [&] {
                SendHandle().SendReadConfigPage(*port, quint8(page));
            });
            if (wait == TFormK900::TWait::Stopped) {
                // The user stopped the read: the panes keep what they showed.
                delete progress;
                emit FlowFinished(false, QString());
                return;
            }
            const TBasicProtocol codec;
            const QByteArray &reply = m_window->LastFlowReply();
            stored = wait == TFormK900::TWait::Reply && codec.CheckFrame(reply)
                && pages.SetPage(page, codec.GetData(reply));
            if (wait == TFormK900::TWait::Reply && !stored)
                m_window->DrainAfterBadReply();
        }
        if (!stored) {
            delete progress;
            Finish(false, Text("MsgConfigReadFailed").arg(page), true);
            return;
        }
    }

    const TDecodeResult decoded = DecodeImage(pages.Image(), m_window->ModelIndex());
    if (!decoded.Ok()) {
        delete progress;
        Finish(false, ErrorMessage(decoded.Error), true);
        return;
    }
    ImageToControls(decoded);

    Delay(200);
    m_window->Menu_R_DOClick();
    Delay(200);
    m_window->Menu_R_THClick();
    delete progress;
    emit FlowFinished(true, QString());
}

void TSoftMaster::Pop_WirteMasterClick()
{
    TComm *port = m_window->ComPort();
    if (!port || !port->Connected())
        return;
    m_window->btn_PC_TimeClick();

    // Nothing is sent unless every field encodes.
    const TEncodeResult encoded = ControlsToImage();
    if (!encoded.Ok()) {
        Finish(false, ErrorMessage(encoded.Error), true);
        return;
    }

    auto *progress = new TFormBasicAnimate(m_window);
    progress->SetRange(0, ConfigPages::WritePageCount);
    progress->SetPosition(0);
    progress->show();

    QStringList unconfirmed;
    for (int page = 0; page < ConfigPages::WritePageCount; ++page) {
        progress->SetPosition(page + 1);
        const TDataPack pageData = ConfigPages::WritePage(encoded.Image, page);
        bool confirmed = false;
        for (int attempt = 0; attempt < PageAttempts && !confirmed; ++attempt) {
            const TFormK900::TWait wait = m_window->RequestAndWait(Const::ReplyConfigWrite, [&] {
                SendHandle().SendWriteConfigPage(*port, quint8(page), pageData);
            });
            if (wait == TFormK900::TWait::Stopped) {
                delete progress;
                Finish(false, Text("MsgConfigWriteStopped"), true);
                return;
            }
            confirmed = wait == TFormK900::TWait::Reply;
        }
        if (!confirmed)
            unconfirmed << QString::number(page);
    }
    delete progress;
    if (unconfirmed.isEmpty())
        Finish(true, Text("MsgConfigWritten"), false);
    else
        Finish(false, Text("MsgConfigWriteUnconfirmed").arg(unconfirmed.join(QStringLiteral(", "))),
               true);
}
