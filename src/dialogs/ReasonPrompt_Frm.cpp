#include "dialogs/ReasonPrompt_Frm.h"

#include "dialogs/Questions_Frm.h"
#include "lang/ConstLang_Unt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// One line: a reason, not a report.
constexpr int MaxReasonLength = 200;

} // namespace

TFormReasonPrompt::TFormReasonPrompt(QWidget *parent, int language, bool required)
    : QDialog(parent), m_required(required)
{
    setObjectName(QStringLiteral("ReasonPrompt"));
    setWindowTitle(ApplicationTitle(language) + QStringLiteral(" - ")
                   + ConstLang::Text(QStringLiteral("AudReasonTitle"), language));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(
        ConstLang::Text(required ? QStringLiteral("AudReasonPromptRequired") : QStringLiteral("AudReasonPrompt"), language),
        this);
    label->setObjectName(QStringLiteral("lbl_Reason"));
    label->setWordWrap(true);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edt_Reason"));
    m_edit->setMaxLength(MaxReasonLength);
    m_edit->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 32);
    label->setBuddy(m_edit);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(ConstLang::Text(QStringLiteral("TxtOk"), language));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(ConstLang::Text(QStringLiteral("TxtCancel"), language));
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update = [this] {
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_required || !Reason().isEmpty());
    };
    connect(m_edit, &QLineEdit::textChanged, this, update);
    update();
}

QString TFormReasonPrompt::Reason() const
{
    // A line: line breaks pasted in become blanks.
    return m_edit->text().simplified();
}

void AskReason(QWidget *parent, int language, bool required, std::function<void(const QString &reason)> proceed)
{
    auto *prompt = new TFormReasonPrompt(parent, language, required);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->setWindowModality(Qt::WindowModal);
    QObject::connect(prompt, &QDialog::accepted, prompt,
                     [prompt, proceed = std::move(proceed)] { proceed(prompt->Reason()); });
    prompt->open();
}
