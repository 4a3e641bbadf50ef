#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QWidget>

class QBoxLayout;
class QLabel;

// An edit with its caption label, handled as one control: it carries the
// control's objectName, sits as a direct child of its group, and is what the
// profile walk, the configuration codec and the pane blanking see. The label
// text is the caption; the edit text is the value.
class TLabeledEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString labelText READ labelText WRITE setLabelText)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged USER true)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
    Q_PROPERTY(QLineEdit::EchoMode echoMode READ echoMode WRITE setEchoMode)
public:
    // Where the label stands relative to the edit.
    enum class LabelPosition { Above, Left, Right };

    explicit TLabeledEdit(QWidget *parent = nullptr, LabelPosition position = LabelPosition::Above);

    QString labelText() const;
    void setLabelText(const QString &text);

    QString text() const;
    void setText(const QString &text);

    // The most characters the user can type; 0 means no limit. It limits
    // typing only: a longer text set from code (a value read from the device
    // or a profile) is shown whole, and the user can shorten it but not
    // lengthen it.
    int maxLength() const;
    void setMaxLength(int length);

    // The pop-up hint of the edit (and of its label).
    QString hint() const;
    void setHint(const QString &hint);

    QLineEdit::EchoMode echoMode() const;
    // Password mode masks each character with '*'.
    void setEchoMode(QLineEdit::EchoMode mode);

    LabelPosition labelPosition() const { return m_position; }
    void setLabelPosition(LabelPosition position);

    QLineEdit *edit() const { return m_edit; }
    QLabel *label() const { return m_label; }

signals:
    void textChanged(const QString &text);

private:
    // Lets the line edit hold at least the current text.
    void FitLimitTo(int length);

    QLabel *m_label = nullptr;
    QLineEdit *m_edit = nullptr;
    QBoxLayout *m_layout = nullptr;
    LabelPosition m_position;
    int m_maxLength = 0;
};

// The check box of the themed kind that every pane uses. Blanking a pane
// unticks these boxes; a plain QCheckBox (the login message's hex box) is left
// as it is.
class TSkinCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
    // A box of parent with its object name, as the editor dialogs make them.
    static TSkinCheckBox *Named(QWidget *parent, const char *objectName);
};

// Hints that explain a field at length stay on screen until the pointer
// leaves, rather than the platform's few seconds.
constexpr int LongHintMs = 600000;
