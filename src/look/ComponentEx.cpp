#include "look/ComponentEx.h"

#include <QBoxLayout>
#include <QLabel>

namespace {

// QLineEdit's own limit is 32767 characters; 0 means "no limit" here.
constexpr int kLineEditMaximum = 32767;

} // namespace

TLabeledEdit::TLabeledEdit(QWidget *parent, LabelPosition position)
    : QWidget(parent), m_position(position)
{
    m_label = new QLabel(this);
    m_edit = new QLineEdit(this);
    m_label->setBuddy(m_edit);
    // The mask character is '*', whatever the style would choose.
    m_edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    setFocusProxy(m_edit);
    m_layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    setLabelPosition(position);
    connect(m_edit, &QLineEdit::textChanged, this, &TLabeledEdit::textChanged);
    // Once the user has shortened a text longer than the limit, the limit
    // follows it down, so typing never makes it longer again.
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString &text) { FitLimitTo(int(text.size())); });
}

QString TLabeledEdit::labelText() const
{
    return m_label->text();
}

void TLabeledEdit::setLabelText(const QString &text)
{
    m_label->setText(text);
}

QString TLabeledEdit::text() const
{
    return m_edit->text();
}

void TLabeledEdit::setText(const QString &text)
{
    // QLineEdit cuts a text set from code to its limit; raise it first.
    FitLimitTo(int(text.size()));
    m_edit->setText(text);
    // A text longer than the field shows its beginning, not its end; a text
    // that fits keeps the cursor after it, ready for typing on.
    if (m_edit->fontMetrics().horizontalAdvance(text) > m_edit->contentsRect().width())
        m_edit->setCursorPosition(0);
}

void TLabeledEdit::FitLimitTo(int length)
{
    const int limit = m_maxLength > 0 ? qMax(m_maxLength, length) : kLineEditMaximum;
    if (m_edit->maxLength() == limit)
        return;
    // Changing the limit sets the text again, which would move the caret.
    const int caret = m_edit->cursorPosition();
    m_edit->setMaxLength(limit);
    m_edit->setCursorPosition(caret);
}

int TLabeledEdit::maxLength() const
{
    return m_maxLength;
}

void TLabeledEdit::setMaxLength(int length)
{
    m_maxLength = length > 0 ? length : 0;
    FitLimitTo(int(m_edit->text().size()));
}

QString TLabeledEdit::hint() const
{
    return m_edit->toolTip();
}

void TLabeledEdit::setHint(const QString &hint)
{
    m_edit->setToolTip(hint);
    m_label->setToolTip(hint);
}

QLineEdit::EchoMode TLabeledEdit::echoMode() const
{
    return m_edit->echoMode();
}

void TLabeledEdit::setEchoMode(QLineEdit::EchoMode mode)
{
    m_edit->setEchoMode(mode);
}

void TLabeledEdit::setLabelPosition(LabelPosition position)
{
    m_position = position;
    m_layout->removeWidget(m_label);
    m_layout->removeWidget(m_edit);
    switch (position) {
    case LabelPosition::Above:
        m_layout->setDirection(QBoxLayout::TopToBottom);
        m_layout->addWidget(m_label);
        m_layout->addWidget(m_edit);
        break;
    case LabelPosition::Left:
        m_layout->setDirection(QBoxLayout::LeftToRight);
        m_layout->addWidget(m_label);
        m_layout->addWidget(m_edit, 1);
        break;
    case LabelPosition::Right:
        m_layout->setDirection(QBoxLayout::LeftToRight);
        m_layout->addWidget(m_edit);
        m_layout->addWidget(m_label, 1);
        break;
    }
}

TSkinCheckBox *TSkinCheckBox::Named(QWidget *parent, const char *objectName)
{
    auto *box = new TSkinCheckBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}
