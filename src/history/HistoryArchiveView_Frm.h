#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;
class THistoryArchive;

// The archive's window: the devices whose records the archive holds (IMEI,
// model, records, last read), and for the one picked: open its records in
// the history grid (no device needs to be connected), export them to a CSV
// file as the grid does, or delete them after a question. The window does
// not wait on anything; the owner does the opening and the export.
class THistoryArchiveView : public QDialog
{
    Q_OBJECT
public:
    THistoryArchiveView(THistoryArchive *archive, QWidget *parent = nullptr);

    // Reads the device list again (after a read, a delete).
    void Refresh();
    void Retranslate(int language);
    // The IMEI and model of the row picked; empty when none.
    QString CurrentImei() const;
    QString CurrentModel() const;
    // Picks the row of imei; false when the list has none.
    bool SelectDevice(const QString &imei);

    // Asks, then deletes the picked device's records.
    void DeleteClicked();

    // What the buttons ask of the owner, with the IMEI and model picked.
    std::function<void(const QString &imei, const QString &model)> OpenDevice;
    std::function<void(const QString &imei, const QString &model)> ExportDevice;

    QTableWidget *tbl_ArchiveDevices = nullptr;
    QLabel *lbl_ArchiveState = nullptr;
    QPushButton *btn_ArchiveOpen = nullptr;
    QPushButton *btn_ArchiveExport = nullptr;
    QPushButton *btn_ArchiveDelete = nullptr;
    QPushButton *btn_ArchiveClose = nullptr;

signals:
    void MessageShown(const QString &text);

private:
    void UpdateButtons();

    THistoryArchive *m_archive;
    int m_language = 1;
};
