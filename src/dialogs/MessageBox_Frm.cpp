#include "dialogs/MessageBox_Frm.h"

#include "dialogs/BasicAnimate_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

QPointer<QWidget> g_mainWindow;
QPointer<TFormMessage> g_messageWindow;

} // namespace

void PlaceOverWindow(QWidget *window, QWidget *owner)
{
    window->winId();
    QWidget *ownerWindow = owner ? owner->window() : nullptr;
    if (window->windowHandle())
        window->windowHandle()->setTransientParent(ownerWindow ? ownerWindow->windowHandle()
                                                               : nullptr);
    QRect area;
    if (ownerWindow && ownerWindow->isVisible())
        area = ownerWindow->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(area.center());
        window->move(frame.topLeft());
    }
}

namespace {

// The most a text may take of the screen's height before it scrolls.
int TallestText(const QWidget *widget)
{
    const QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() * 6 / 10 : 480;
}

} // namespace

void FitTextToScreen(QMessageBox *box)
{
    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    auto *grid = qobject_cast<QGridLayout *>(box->layout());
    if (!label || !grid || grid->indexOf(label) < 0)
        return;
    label->setWordWrap(true);
    const int width = qMin(label->sizeHint().width(), 520);
    const int tallest = TallestText(box);
    if (label->heightForWidth(width) <= tallest)
        return;
    int row = 0, column = 0, rows = 1, columns = 1;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
    grid->removeWidget(label);
    auto *scroll = new QScrollArea(box);
    scroll->setObjectName(QStringLiteral("scr_Text"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(label);
    scroll->setFixedSize(width + scroll->verticalScrollBar()->sizeHint().width() + 4, tallest);
    grid->addWidget(scroll, row, column, rows, columns);
}

void RegisterMainWindow(QWidget *mainWindow)
{
    g_mainWindow = mainWindow;
}

QWidget *RegisteredMainWindow()
{
    return g_mainWindow;
}

TFormMessage::TFormMessage()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormMessage"));
    setFixedSize(391, 152);

    lbl_Info = new QLabel(this);
    lbl_Info->setObjectName(QStringLiteral("lbl_Info"));
    QFont bold = lbl_Info->font();
    bold.setBold(true);
    lbl_Info->setFont(bold);
    lbl_Info->setAlignment(Qt::AlignCenter);
    lbl_Info->setWordWrap(true);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    sbtbtn_Ok = new QPushButton(QStringLiteral("OK"), this);
    sbtbtn_Ok->setObjectName(QStringLiteral("sbtbtn_Ok"));
    sbtbtn_Ok->setDefault(true);
    connect(sbtbtn_Ok, &QPushButton::clicked, this, &TFormMessage::sbtbtn_OkClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sbtbtn_Ok);
    // The window keeps its size; a long text scrolls inside it.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scr_Info"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(lbl_Info);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

TFormMessage *TFormMessage::instance()
{
    if (!g_messageWindow) {
        g_messageWindow = new TFormMessage;
        if (QCoreApplication *application = QCoreApplication::instance())
            QObject::connect(application, &QCoreApplication::aboutToQuit, g_messageWindow.data(),
                             &QObject::deleteLater);
    }
    return g_messageWindow;
}

TFormMessage *TFormMessage::existingInstance()
{
    return g_messageWindow;
}

void TFormMessage::ShowMessage(const QString &text, const QString &caption, QWidget *target)
{
    if (target == this)
        target = nullptr;
    // A second message without a window of its own keeps the one disabled.
    if (!target)
        target = m_disabledWindow;
    if (m_disabledWindow && m_disabledWindow != target)
        m_disabledWindow->setEnabled(true);
    m_disabledWindow = target;

    setWindowTitle(caption);
    lbl_Info->setText(text);
    sbtbtn_Ok->setText(ViewContext::Text("TxtOk"));
    if (target)
        target->setEnabled(false);
    PlaceOverWindow(this, target);
    show();
    raise();
    activateWindow();
}

void TFormMessage::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A minimised window is hidden by the system; only a real close enables.
    if (event->spontaneous())
        return;
    // A progress window still up keeps the main window for itself.
    const TFormBasicAnimate *progress = TFormBasicAnimate::current();
    if (m_disabledWindow && !(progress && progress->isVisible()))
        m_disabledWindow->setEnabled(true);
    m_disabledWindow = nullptr;
}

void TFormMessage::sbtbtn_OkClick()
{
    close();
}

void ShowMessageWindow(const QString &text, const QString &caption)
{
    TFormMessage *window = TFormMessage::instance();
    QWidget *target = RegisteredMainWindow();
    if (!target) {
        target = QApplication::activeWindow();
        if (target == window)
            target = nullptr;
    }
    window->ShowMessage(text, caption, target);
}
