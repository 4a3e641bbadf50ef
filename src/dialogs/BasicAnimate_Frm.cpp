#include "dialogs/BasicAnimate_Frm.h"

#include "dialogs/MessageBox_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
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
    setWindowTitle(ViewContext::Text("TxtProgressCaption"));
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
    lbl_Note = new QLabel(this);
    lbl_Note->setObjectName(QStringLiteral("lbl_Note"));
    lbl_Note->setAlignment(Qt::AlignCenter);
    lbl_Note->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sg);
    layout->addWidget(lbl_Note);
    layout->addLayout(buttons);

    m_draw = new QTimer(this);
    m_draw->setSingleShot(true);
    m_draw->setInterval(DrawIntervalMs);
    connect(m_draw, &QTimer::timeout, this, &TFormBasicAnimate::DrawPosition);

    g_current = this;
}

TFormBasicAnimate::~TFormBasicAnimate()
{
    // The last position set is the one the gauge ends on.
    if (sg->value() != m_position)
        sg->setValue(m_position);
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
    maximum = qMax(minimum, maximum);
    if (sg->minimum() == minimum && sg->maximum() == maximum)
        return;
    sg->setRange(minimum, maximum);
    m_position = qBound(minimum, m_position, maximum);
}

void TFormBasicAnimate::SetPosition(int position)
{
    // The gauge ignores a value outside its range; show the nearest end instead.
    m_position = qBound(sg->minimum(), position, sg->maximum());
    if (!m_draw->isActive())
        DrawPosition();
}

// A changed text (a "%v / %m" format) repaints the gauge there and then;
// hence at most one draw an interval.
void TFormBasicAnimate::DrawPosition()
{
    if (sg->value() == m_position)
        return;
    sg->setValue(m_position);
    m_draw->start();
}

int TFormBasicAnimate::Position() const
{
    return m_position;
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

void TFormBasicAnimate::SetNote(const QString &text)
{
    const bool shown = !text.isEmpty();
    lbl_Note->setText(text);
    if (shown == lbl_Note->isVisible())
        return;
    lbl_Note->setVisible(shown);
    setFixedSize(width(), shown ? 96 + lbl_Note->sizeHint().height() + 6 : 96);
}

QString TFormBasicAnimate::Note() const
{
    return lbl_Note->text();
}
