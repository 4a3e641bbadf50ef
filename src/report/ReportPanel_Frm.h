#pragma once

#include <QGroupBox>

class QLabel;
class QTableWidget;
struct TReportDocument;

// The statistics of what the history grid shows, beside its chart: per
// channel the readings, minimum and maximum with their times, mean, standard
// deviation, MKT (temperatures), the excursions beyond the limits in force
// and pass or fail, with a line saying the period, the records and where the
// limits came from. It shows a computed report document, so that it tells
// the same figures as the PDF.
class TReportStatsPanel : public QGroupBox
{
    Q_OBJECT
public:
    // The table's columns.
    enum TColumn {
        ColChannel,
        ColReadings,
        ColMinimum,
        ColMaximum,
        ColMean,
        ColStdDev,
        ColMkt,
        ColExcursions,
        ColResult,
        ColumnCount
    };

    explicit TReportStatsPanel(QWidget *parent = nullptr);

    // Shows the statistics of a computed document (its language gives the texts).
    void ShowDocument(const TReportDocument &document);
    // No records: the table empties and the note says so.
    void ShowEmpty(int language);
    // Title and column headers in language 0 (Chinese) or 1 (English).
    void Retranslate(int language);

    // The text of a cell (row: the channel's row), for tests and the clipboard.
    QString CellText(int row, TColumn column) const;
    int RowCount() const;

    QTableWidget *tbl_ReportStats = nullptr;
    QLabel *lbl_ReportStatsNote = nullptr;

private:
    int m_language = 1;
};
