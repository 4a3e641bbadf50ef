#include "dialogs/BasicAnimate_Frm.h"

#include "dialogs/MessageBox_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QPointer<TFormBasicAnimate> g_current;

} // namespace

TFormBasicAnimate::TFormBasicAnimate(QWidget *mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("FormBasicAnimate"));
    setWindowTitle(QStringLiteral("Process......"));
    setFixedSize(360, 96);

    sg = new QProgressBar(this);
    sg->setObjectName(QStringLiteral("sg"));
    sg->setRange(0, 100);
    sg->setValue(0);
    sg->setFormat(QStringLiteral("%p%"));
    sg->setTextVisible(true);

    btn_Close = new QPushButton(ViewContext::Text("TxtStop"), this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    connect(btn_Close, &QPushButton::clicked, this, &TFormBasicAnimate::btn_CloseClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_Close);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sg);
    layout->addLayout(buttons);

    g_current = this;
}

TFormBasicAnimate::~TFormBasicAnimate()
{
    if (g_current == this)
        g_current = nullptr;
    Release();
}

TFormBasicAnimate *TFormBasicAnimate::current()
{
    return g_current;
}

void TFormBasicAnimate::SetRange(int minimum, int maximum)
{
    sg->setRange(minimum, qMax(minimum, maximum));
}

void TFormBasicAnimate::SetPosition(int position)
{
    // The gauge ignores a value outside its range; show the nearest end instead.
    sg->setValue(qBound(sg->minimum(), position, sg->maximum()));
}

int TFormBasicAnimate::Position() const
{
    return sg->value();
}

void TFormBasicAnimate::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_stopRequested = false;
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
    PlaceOverWindow(this, m_mainWindow);
    raise();
    activateWindow();
}

void TFormBasicAnimate::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // A minimised window is hidden by the system; only a real close stops.
    if (!event->spontaneous())
        Release();
}

void TFormBasicAnimate::btn_CloseClick()
{
    close();
}

void TFormBasicAnimate::Release()
{
    m_stopRequested = true;
    emit StopRequested();
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
}
