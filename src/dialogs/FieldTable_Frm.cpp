#include "dialogs/FieldTable_Frm.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

TFormFieldTable::TFormFieldTable(QWidget *parent, const QString &title, const QStringList &headers,
                                 const QVector<QStringList> &rows, const QString &closeText,
                                 const QString &chooseText)
    : QDialog(parent), m_table(new QTableWidget(int(rows.size()), int(headers.size()), this))
{
    setObjectName(QStringLiteral("FormFieldTable"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    m_table->setObjectName(QStringLiteral("tbl_Fields"));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the list for the buttons; the arrow keys move in it.
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < headers.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(rows.at(row).value(column)));
    }
    m_table->resizeColumnsToContents();
    // Nothing looks chosen before the user chooses.
    m_table->setCurrentItem(nullptr);
    m_table->clearSelection();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *buttons = new QDialogButtonBox(this);
    if (!chooseText.isEmpty()) {
        m_choose = buttons->addButton(chooseText, QDialogButtonBox::AcceptRole);
        m_choose->setObjectName(QStringLiteral("btn_Choose"));
        m_choose->setEnabled(false);
        connect(m_table, &QTableWidget::itemSelectionChanged, this,
                [this] { m_choose->setEnabled(!m_table->selectedItems().isEmpty()); });
        connect(m_choose, &QPushButton::clicked, this, [this] {
            const int row = m_table->currentRow();
            accept();
            if (row >= 0)
                emit chosen(row);
        });
    }
    QPushButton *close = buttons->addButton(closeText, QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btn_CloseTable"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lbl_Note"));
    m_note->setWordWrap(true);
    m_note->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_note);
    layout->addWidget(buttons);
    resize(640, 360);
}

TFormFieldTable *TFormFieldTable::Ask(QWidget *parent, const QString &title, const QString &question,
                                      const QStringList &headers, const QVector<QStringList> &rows,
                                      const QString &yesText, const QString &noText, std::function<void()> onYes)
{
    auto *dialog = new TFormFieldTable(parent, title, headers, rows, noText);
    dialog->setObjectName(QStringLiteral("FieldQuestion"));
    auto *label = new QLabel(question, dialog);
    label->setObjectName(QStringLiteral("lbl_Question"));
    label->setWordWrap(true);
    auto *layout = static_cast<QVBoxLayout *>(dialog->layout());
    layout->insertWidget(0, label);
    auto *buttons = dialog->findChild<QDialogButtonBox *>();
    QPushButton *yes = buttons->addButton(yesText, QDialogButtonBox::AcceptRole);
    yes->setObjectName(QStringLiteral("btn_Yes"));
    yes->setAutoDefault(false);
    // A destructive step is never the default: Enter answers No.
    if (auto *no = dialog->findChild<QPushButton *>(QStringLiteral("btn_CloseTable")))
        no->setDefault(true);
    connect(yes, &QPushButton::clicked, dialog, [dialog, onYes = std::move(onYes)] {
        dialog->accept();
        if (onYes)
            onYes();
    });
    dialog->open();
    return dialog;
}

QPushButton *TFormFieldTable::AddAction(const QString &text, const char *objectName, std::function<void()> then)
{
    auto *buttons = findChild<QDialogButtonBox *>();
    QPushButton *button = buttons->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, then = std::move(then)] {
        accept();
        if (then)
            then();
    });
    return button;
}

void TFormFieldTable::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FollowReadingOrder();
}

void TFormFieldTable::FollowReadingOrder()
{
    // Buttons are added after the table (next steps, the question's Yes)
    // and the platform's button box places them in its own order: Tab goes
    // from the table to the buttons as they stand, left to right.
    auto *box = findChild<QDialogButtonBox *>();
    QList<QAbstractButton *> buttons = box->buttons();
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const QAbstractButton *a, const QAbstractButton *b) { return a->x() < b->x(); });
    QWidget *previous = m_table;
    for (QAbstractButton *button : buttons) {
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
    if (!focusWidget() || !m_table->hasFocus())
        m_table->setFocus(Qt::TabFocusReason);
}
