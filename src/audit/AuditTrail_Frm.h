#pragma once

#include "audit/AuditList_Unt.h"

#include <QDialog>
#include <QList>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTreeWidget;
class TAuditTrail;

// System > Audit Trail: the trail's actions, read only (time, user, device,
// action, outcome, reason), filtered by device and by date, the field
// changes of the selected action, the chain's state, and the list as shown
// exported to CSV or PDF. Nothing here writes the trail.
class TFormAuditTrail : public QDialog
{
    Q_OBJECT
public:
    // trail: read when the window opens and on Reload (not owned).
    TFormAuditTrail(TAuditTrail *trail, int language, QWidget *parent = nullptr);

    // Reads the trail again and checks its chain.
    void Reload();
    // The actions shown with the filter as set.
    const QList<TAuditRecord> &Shown() const { return m_shown; }
    QString ChainText() const;
    // Export steps: where to save (replaceable: tests give a name), then the file written.
    std::function<QString(const QString &filter, const QString &defaultName)> ChooseSaveFile;
    // Writes the shown list; empty when written, else why not.
    QString ExportCsv(const QString &fileName) const;
    QString ExportPdf(const QString &fileName) const;

signals:
    // A message was shown (export done or failed).
    void MessageShown(const QString &text);

private:
    void Fill();
    void ShowChanges();
    void Export(bool pdf);
    QString Text(const char *key) const;

    TAuditTrail *m_trail;
    int m_language;
    QList<TAuditEntry> m_entries;
    QList<TAuditRecord> m_shown;
    QString m_chain;
    QComboBox *m_device;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QTreeWidget *m_list;
    QTreeWidget *m_changes;
    QLabel *m_backup;
    QLabel *m_chainLabel;
};
