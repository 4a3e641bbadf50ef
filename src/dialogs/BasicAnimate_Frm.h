#pragma once

#include <QDialog>
#include <QPointer>

class QProgressBar;
class QPushButton;

// The progress window of the long flows (configuration read and write,
// history read and erase). The flow creates it for its main window, sets the
// gauge, shows it and frees it when done. Showing it disables the main
// window; closing it (its Stop button closes it) or destroying it raises
// StopRequested and enables the main window again. A running job is
// cancelled from the dialog's finished() signal.
class TFormBasicAnimate : public QDialog
{
    Q_OBJECT
public:
    // mainWindow: the window disabled while this one is shown; centred on it.
    explicit TFormBasicAnimate(QWidget *mainWindow);
    ~TFormBasicAnimate() override;

    // The progress window that exists now (only one at a time), or null.
    static TFormBasicAnimate *current();

    // The gauge's range; the minimum starts at 0.
    void SetRange(int minimum, int maximum);
    // The gauge's position, held within the range.
    void SetPosition(int position);
    int Position() const;
    // True from the close or destruction that followed the last show.
    bool IsStopRequested() const { return m_stopRequested; }

signals:
    void StopRequested();

public:
    QProgressBar *sg = nullptr;
    QPushButton *btn_Close = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void btn_CloseClick();
    void Release();

    QPointer<QWidget> m_mainWindow;
    bool m_stopRequested = false;
};
