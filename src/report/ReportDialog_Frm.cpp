#include "report/ReportDialog_Frm.h"

#include "base/Funs_Unt.h"
#include "dialogs/FileDialogs_Frm.h"
#include "dialogs/Questions_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "report/ReportPdf_Unt.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const TFileDialogSpec kPdfDialogSave{"dlgSaveReport", QStringLiteral("PDF (*.pdf)")};
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Keeps the channels whose index is in keep, with their values.
void KeepChannels(TReportSeries &series, const QVector<int> &keep)
{
    QVector<TReportChannel> channels;
    QVector<QVector<double>> values;
    for (int index : keep) {
        channels.append(series.channels.at(index));
        values.append(series.values.value(index));
    }
    series.channels = channels;
    series.values = values;
}

} // namespace

TReportDialog::TReportDialog(const TReportDocument &source, QWidget *parent)
    : QDialog(parent), m_source(source), m_language(source.language)
{
    setObjectName(QStringLiteral("ReportDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    ChooseFile = [this](const QString &defaultName) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return ChooseFileToSave(this, kPdfDialogSave, folder, defaultName);
    };
    Build();
    Retranslate(m_language);
}

void TReportDialog::Build()
{
    const auto timeEdit = [this](const char *name) {
        auto *edit = new QDateTimeEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setDisplayFormat(kTimeFormat);
        edit->setCalendarPopup(true);
        return edit;
    };
    const auto label = [this](const char *name) {
        auto *text = new QLabel(this);
        text->setObjectName(QString::fromLatin1(name));
        return text;
    };
    const auto button = [this](const char *name) {
        auto *push = new QPushButton(this);
        push->setObjectName(QString::fromLatin1(name));
        return push;
    };
    lbl_ReportFrom = label("lbl_ReportFrom");
    lbl_ReportTo = label("lbl_ReportTo");
    dte_ReportFrom = timeEdit("dte_ReportFrom");
    dte_ReportTo = timeEdit("dte_ReportTo");
    lbl_ReportChannels = label("lbl_ReportChannels");
    lst_ReportChannels = new QListWidget(this);
    lst_ReportChannels->setObjectName(QStringLiteral("lst_ReportChannels"));
    chk_ReportAppendix = new QCheckBox(this);
    chk_ReportAppendix->setObjectName(QStringLiteral("chk_ReportAppendix"));
    lbl_ReportDeltaH = label("lbl_ReportDeltaH");
    spn_ReportDeltaH = new QDoubleSpinBox(this);
    spn_ReportDeltaH->setObjectName(QStringLiteral("spn_ReportDeltaH"));
    spn_ReportDeltaH->setDecimals(3);
    spn_ReportDeltaH->setRange(1.0, 1000.0);
    spn_ReportDeltaH->setValue(ReportStats::DefaultDeltaH);
    btn_ReportPreview = button("btn_ReportPreview");
    btn_ReportSave = button("btn_ReportSave");
    btn_ReportClose = button("btn_ReportClose");
    lbl_ReportState = label("lbl_ReportState");
    lbl_ReportState->setWordWrap(true);
    lbl_ReportState->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The period of the rows given, from their first to their last record.
    const QVector<qint64> &times = m_source.series.times;
    if (!times.isEmpty()) {
        const auto [first, last] = std::minmax_element(times.begin(), times.end());
        dte_ReportFrom->setDateTime(QDateTime::fromMSecsSinceEpoch(*first));
        dte_ReportTo->setDateTime(QDateTime::fromMSecsSinceEpoch(*last));
    } else {
        dte_ReportFrom->setDateTime(QDateTime::currentDateTime());
        dte_ReportTo->setDateTime(QDateTime::currentDateTime());
    }
    for (const TReportChannel &channel : m_source.series.channels) {
        auto *item = new QListWidgetItem(channel.name, lst_ReportChannels);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(channel.enabled ? Qt::Checked : Qt::Unchecked);
    }

    auto *form = new QGridLayout;
    form->addWidget(lbl_ReportFrom, 0, 0);
    form->addWidget(dte_ReportFrom, 0, 1);
    form->addWidget(lbl_ReportTo, 1, 0);
    form->addWidget(dte_ReportTo, 1, 1);
    form->addWidget(lbl_ReportDeltaH, 2, 0);
    form->addWidget(spn_ReportDeltaH, 2, 1);
    form->addWidget(chk_ReportAppendix, 3, 0, 1, 2);
    form->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_ReportPreview);
    buttons->addWidget(btn_ReportSave);
    buttons->addWidget(btn_ReportClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lbl_ReportChannels);
    layout->addWidget(lst_ReportChannels, 1);
    layout->addWidget(lbl_ReportState);
    layout->addLayout(buttons);

    connect(btn_ReportPreview, &QPushButton::clicked, this, &TReportDialog::Preview);
    connect(btn_ReportSave, &QPushButton::clicked, this, &TReportDialog::SavePdf);
    connect(btn_ReportClose, &QPushButton::clicked, this, &QDialog::close);
}

QString TReportDialog::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_language);
}

void TReportDialog::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    setWindowTitle(Text("RptDialogTitle") + QStringLiteral(" — ") + m_source.imei);
    lbl_ReportFrom->setText(Text("RptDialogPeriodFrom"));
    lbl_ReportTo->setText(Text("RptDialogPeriodTo"));
    lbl_ReportChannels->setText(Text("RptDialogChannels"));
    chk_ReportAppendix->setText(Text("RptDialogAppendix"));
    lbl_ReportDeltaH->setText(Text("RptDialogDeltaH"));
    btn_ReportPreview->setText(Text("RptDialogPreview"));
    btn_ReportSave->setText(Text("RptDialogSave"));
    btn_ReportClose->setText(Text("TxtClose"));
}

TReportDocument TReportDialog::Document() const
{
    TReportDocument document = m_source;
    document.language = m_language;
    QVector<int> keep;
    for (int index = 0; index < lst_ReportChannels->count(); ++index) {
        if (lst_ReportChannels->item(index)->checkState() == Qt::Checked)
            keep.append(index);
    }
    KeepChannels(document.series, keep);
    document.from = dte_ReportFrom->dateTime();
    // The editor shows whole seconds; the end takes in its whole second.
    document.to = dte_ReportTo->dateTime().addMSecs(999);
    document.series.KeepPeriod(document.from, document.to);
    document.to = dte_ReportTo->dateTime();
    document.options.deltaH = spn_ReportDeltaH->value();
    document.appendix = chk_ReportAppendix->isChecked();
    document.generatedBy = TReportDocument::UserName();
    document.generatedAt = QDateTime::currentDateTime();
    document.program = QStringLiteral("K80x ") + ProgramVersionText();
    document.Compute();
    return document;
}

QString TReportDialog::Problem(const TReportDocument &document) const
{
    if (document.series.channels.isEmpty())
        return Text("RptDialogNoChannel");
    if (document.stats.records == 0)
        return Text("RptNoRecords").arg(TReportDocument::TimeText(document.from), TReportDocument::TimeText(document.to));
    return QString();
}

QPrintPreviewDialog *TReportDialog::PreviewWindow() const
{
    return m_preview.data();
}

void TReportDialog::Preview()
{
    const TReportDocument document = Document();
    const QString problem = Problem(document);
    if (!problem.isEmpty()) {
        ShowErrorBox(this, problem);
        emit MessageShown(problem);
        return;
    }
    if (m_preview)
        m_preview->close();
    m_preview = new QPrintPreviewDialog(this);
    m_preview->setObjectName(QStringLiteral("ReportPreview"));
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    m_preview->setWindowTitle(Text("RptTitle") + QStringLiteral(" — ") + document.imei);
    connect(m_preview, &QPrintPreviewDialog::paintRequested, this,
            [document](QPrinter *printer) { TReportPdf::Render(document, printer); });
    m_preview->open();
}

bool TReportDialog::SavePdf()
{
    const TReportDocument document = Document();
    const QString problem = Problem(document);
    if (!problem.isEmpty()) {
        ShowErrorBox(this, problem);
        emit MessageShown(problem);
        return false;
    }
    const QString defaultName = QStringLiteral("Report_%1_%2.pdf")
                                    .arg(document.imei, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString fileName = ChooseFile(defaultName);
    if (fileName.isEmpty())
        return false;
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
    const TReportPdf::TResult written = TReportPdf::Write(document, fileName);
    if (!written.ok) {
        lbl_ReportState->clear();
        ShowErrorBox(this, written.error);
        emit MessageShown(written.error);
        return false;
    }
    const QString saved = Text("RptSaved").arg(QDir::toNativeSeparators(fileName));
    lbl_ReportState->setText(saved);
    emit MessageShown(saved);
    return true;
}
