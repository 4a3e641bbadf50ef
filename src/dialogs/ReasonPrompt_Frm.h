#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QDialogButtonBox;
class QLineEdit;

// Asks for the one-line reason of an action that changes a device, which
// the audit trail keeps with its entry. With required set (the setting "a
// reason is required"), OK stays disabled while the line is blank.
class TFormReasonPrompt : public QDialog
{
    Q_OBJECT
public:
    // language: 0 Chinese, 1 English.
    TFormReasonPrompt(QWidget *parent, int language, bool required);

    QString Reason() const;

private:
    QLineEdit *m_edit;
    QDialogButtonBox *m_buttons;
    bool m_required;
};

// How a window asks: proceed runs with the reason (trimmed) after OK;
// Cancel runs nothing. Windows keep this as a replaceable step.
using TAskReason = std::function<void(bool required, std::function<void(const QString &reason)> proceed)>;

// Opens the prompt window-modal over parent and returns at once.
void AskReason(QWidget *parent, int language, bool required, std::function<void(const QString &reason)> proceed);
