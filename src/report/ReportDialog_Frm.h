#pragma once

#include "report/ReportDocument_Unt.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QCheckBox;
class QDateTimeEdit;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPrintPreviewDialog;
class QPushButton;

// The Report… dialog of the history page: the period (the grid's first and
// last record unless changed), the channels, the data appendix and the
// activation energy of the MKT; it shows the report in a print preview and
// saves it as a PDF. A file that cannot be written is left as it was and the
// user is told why.
class TReportDialog : public QDialog
{
    Q_OBJECT
public:
    // source: the grid's report with its identity, channels and limits, not
    // computed. The window is not modal and deletes itself when closed.
    TReportDialog(const TReportDocument &source, QWidget *parent = nullptr);

    void Retranslate(int language);

    // The report as chosen in the dialog, computed; an empty series when the
    // period holds no record or no channel is chosen.
    TReportDocument Document() const;

    // Shows the print preview of the report (not modal).
    void Preview();
    // Asks for the file, then writes the PDF; false when the user cancelled
    // or nothing was written (the user has been told why).
    bool SavePdf();

    // The save step: an empty result means the user cancelled. Qt's own file
    // dialog unless replaced (tests replace it).
    std::function<QString(const QString &defaultName)> ChooseFile;

    QDateTimeEdit *dte_ReportFrom = nullptr;
    QDateTimeEdit *dte_ReportTo = nullptr;
    QLabel *lbl_ReportFrom = nullptr;
    QLabel *lbl_ReportTo = nullptr;
    QLabel *lbl_ReportChannels = nullptr;
    QListWidget *lst_ReportChannels = nullptr;
    QCheckBox *chk_ReportAppendix = nullptr;
    QLabel *lbl_ReportDeltaH = nullptr;
    QDoubleSpinBox *spn_ReportDeltaH = nullptr;
    QPushButton *btn_ReportPreview = nullptr;
    QPushButton *btn_ReportSave = nullptr;
    QPushButton *btn_ReportClose = nullptr;
    QLabel *lbl_ReportState = nullptr;
    // The print preview while it is open, else null.
    QPrintPreviewDialog *PreviewWindow() const;

signals:
    // A message was shown to the user (an error box, or the saved file).
    void MessageShown(const QString &text);

private:
    void Build();
    QString Text(const char *key) const;
    // Says what stops a report (no channel, no records); empty: nothing.
    QString Problem(const TReportDocument &document) const;

    TReportDocument m_source;
    int m_language = 1;
    QPointer<QPrintPreviewDialog> m_preview;
};
