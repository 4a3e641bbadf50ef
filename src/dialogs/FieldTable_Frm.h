#pragma once

#include <QDialog>
#include <QStringList>
#include <QVector>

#include <functional>

class QTableWidget;
class QPushButton;
class QLabel;

// A small window with a table of rows: the fields that differ between the
// device, a profile and the window, or the backups to choose from. It opens
// without waiting (open()); with a choice button, chosen() names the row the
// user picked.
class TFormFieldTable : public QDialog
{
    Q_OBJECT
public:
    // chooseText empty: a table to read, closed with closeText.
    TFormFieldTable(QWidget *parent, const QString &title, const QStringList &headers,
                    const QVector<QStringList> &rows, const QString &closeText,
                    const QString &chooseText = QString());

    QTableWidget *Table() const { return m_table; }
    // A next step offered below the table (no row needs choosing): closes
    // the window and runs then.
    QPushButton *AddAction(const QString &text, const char *objectName, std::function<void()> then);
    // A line below the table (the fields a chosen backup would change).
    QLabel *Note() const { return m_note; }
    QPushButton *ChooseButton() const { return m_choose; }

    // A question above a table of what would change: No (the default)
    // closes it, Yes runs onYes. Opens without waiting; objectName
    // "FieldQuestion".
    static TFormFieldTable *Ask(QWidget *parent, const QString &title, const QString &question,
                                const QStringList &headers, const QVector<QStringList> &rows,
                                const QString &yesText, const QString &noText, std::function<void()> onYes);

signals:
    void chosen(int row);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Tab walks the table, then the buttons from left to right; the table
    // has the focus when the window opens.
    void FollowReadingOrder();

    QTableWidget *m_table;
    QPushButton *m_choose = nullptr;
    QLabel *m_note = nullptr;
};
