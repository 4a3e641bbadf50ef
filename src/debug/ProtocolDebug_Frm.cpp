#include "debug/ProtocolDebug_Frm.h"

#include "lang/ConstLang_Unt.h"

#include "link/FrameLog_Unt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QAbstractButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int ClientWidth = 766;
constexpr int ClientHeight = 442;
constexpr int PaneGroupWidth = 310;

// Line breaks of the device's text become the pane's paragraph breaks.
QString WithPlainLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TFormProtocolDebug::TFormProtocolDebug(QWidget *mainWindow, QCheckBox *debugBox)
    : QWidget(mainWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowCloseButtonHint),
      m_debugBox(debugBox)
{
    FormCreate();
}

void TFormProtocolDebug::FormCreate()
{
    setObjectName(QStringLiteral("FormProtocolDebug"));
    setWindowTitle(QStringLiteral("调试串口"));
    setFixedSize(ClientWidth, ClientHeight);
    m_mode = TDisplayMode::Hex;

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);

    auto *grp_Send = new QGroupBox(QStringLiteral("发送"), this);
    grp_Send->setObjectName(QStringLiteral("grp_Send"));
    grp_Send->setFixedWidth(PaneGroupWidth);
    mSend = NewPane("mSend", grp_Send);
    row->addWidget(grp_Send);

    auto *middle = new QVBoxLayout;
    middle->setSpacing(4);
    row->addLayout(middle, 1);

    auto *grp_Tools = new QGroupBox(QStringLiteral("操作"), this);
    grp_Tools->setObjectName(QStringLiteral("grp_Tools"));
    new QVBoxLayout(grp_Tools);
    NewToolButton("btn_Clear_Send", "清空发送", grp_Tools, &TFormProtocolDebug::btn_Clear_SendClick);
    NewToolButton("btn_Clear_Recv", "清空接收", grp_Tools, &TFormProtocolDebug::btn_Clear_RecvClick);
    NewToolButton("btn_Clear_All", "清空所有", grp_Tools, &TFormProtocolDebug::btn_Clear_AllClick);
    NewToolButton("btn_SendLins", "发送总行", grp_Tools, &TFormProtocolDebug::btn_SendLinsClick);
    NewToolButton("btn_RecvLines", "接收总行", grp_Tools, &TFormProtocolDebug::btn_RecvLinesClick);
    middle->addWidget(grp_Tools);

    auto *grp_Show = new QGroupBox(QStringLiteral("显示"), this);
    grp_Show->setObjectName(QStringLiteral("grp_Show"));
    new QVBoxLayout(grp_Show);
    NewModeButton("rb_Hex", "十六进制", TDisplayMode::Hex, grp_Show)->setChecked(true);
    NewModeButton("rb_Ansi", "字符串", TDisplayMode::Ansi, grp_Show);
    NewModeButton("rb_10Dec", "十进制", TDisplayMode::Decimal, grp_Show);
    NewModeButton("rb_Bin", "二进制", TDisplayMode::Bits, grp_Show);
    middle->addWidget(grp_Show);
    middle->addStretch(1);

    auto *grp_Recv = new QGroupBox(QStringLiteral("接收"), this);
    grp_Recv->setObjectName(QStringLiteral("grp_Recv"));
    grp_Recv->setFixedWidth(PaneGroupWidth);
    mRecv = NewPane("mRecv", grp_Recv);
    row->addWidget(grp_Recv);

    connect(&TFrameLog::instance(), &TFrameLog::frameLogged, this, &TFormProtocolDebug::LogFrame);
}

void TFormProtocolDebug::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    setWindowTitle(text("TxtDebugCaption"));
    const struct {
        const char *name;
        const char *key;
    } captions[] = {
        {"grp_Send", "TxtDebugSend"},          {"grp_Recv", "TxtDebugRecv"},
        {"grp_Tools", "TxtDebugTools"},        {"grp_Show", "TxtDebugShow"},
        {"btn_Clear_Send", "TxtDebugClearSend"}, {"btn_Clear_Recv", "TxtDebugClearRecv"},
        {"btn_Clear_All", "TxtDebugClearAll"}, {"btn_SendLins", "TxtDebugSendLines"},
        {"btn_RecvLines", "TxtDebugRecvLines"}, {"rb_Hex", "TxtDebugHex"},
        {"rb_Ansi", "TxtDebugAnsi"},           {"rb_10Dec", "TxtDebugDecimal"},
        {"rb_Bin", "TxtDebugBinary"},
    };
    for (const auto &caption : captions) {
        QWidget *control = findChild<QWidget *>(QString::fromLatin1(caption.name));
        if (auto *group = qobject_cast<QGroupBox *>(control))
            group->setTitle(text(caption.key));
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->setText(text(caption.key));
    }
}

QTextEdit *TFormProtocolDebug::NewPane(const char *name, QGroupBox *group)
{
    auto *layout = new QVBoxLayout(group);
    auto *pane = new QTextEdit(group);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setReadOnly(true);
    pane->setAcceptRichText(false);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(pane);
    return pane;
}

QRadioButton *TFormProtocolDebug::NewModeButton(const char *name, const char *caption,
                                                TDisplayMode mode, QGroupBox *group)
{
    auto *button = new QRadioButton(QString::fromUtf8(caption), group);
    button->setObjectName(QString::fromLatin1(name));
    group->layout()->addWidget(button);
    connect(button, &QRadioButton::clicked, this, [this, mode] { SetDisplayMode(mode); });
    return button;
}

QPushButton *TFormProtocolDebug::NewToolButton(const char *name, const char *caption,
                                               QGroupBox *group,
                                               void (TFormProtocolDebug::*handler)())
{
    auto *button = new QPushButton(QString::fromUtf8(caption), group);
    button->setObjectName(QString::fromLatin1(name));
    group->layout()->addWidget(button);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void TFormProtocolDebug::LogFrame(const QByteArray &bytes, int direction)
{
    if (!TFrameLog::instance().enabled())
        return;
    QTextEdit *pane = direction == 0 ? mSend : mRecv;
    QByteArray &list = direction == 0 ? m_sendBytes : m_recvBytes;
    const QString text = FormatFrame(bytes, m_mode);
    if (m_mode == TDisplayMode::Ansi)
        pane->setPlainText(WithPlainLineBreaks(text));
    else
        AddFrameText(pane, text);
    list.append(bytes);
}

void TFormProtocolDebug::AddFrameText(QTextEdit *pane, const QString &text)
{
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::End);
    const QTextCharFormat plain;
    if (!pane->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), plain);
    cursor.insertText(text, plain);
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
}

void TFormProtocolDebug::SetDisplayMode(TDisplayMode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    const struct {
        const char *name;
        TDisplayMode mode;
    } buttons[] = {{"rb_Hex", TDisplayMode::Hex},
                   {"rb_Ansi", TDisplayMode::Ansi},
                   {"rb_10Dec", TDisplayMode::Decimal},
                   {"rb_Bin", TDisplayMode::Bits}};
    for (const auto &button : buttons) {
        if (button.mode == mode) {
            if (auto *radio = findChild<QRadioButton *>(QString::fromLatin1(button.name)))
                radio->setChecked(true);
        }
    }
    Redraw(mSend, m_sendBytes);
    Redraw(mRecv, m_recvBytes);
}

void TFormProtocolDebug::Redraw(QTextEdit *pane, const QByteArray &bytes)
{
    const QString text = FormatByteList(bytes, m_mode);
    pane->clear();
    if (m_mode == TDisplayMode::Ansi) {
        pane->setPlainText(WithPlainLineBreaks(text));
        return;
    }
    QTextCursor cursor(pane->document());
    cursor.beginEditBlock();
    cursor.insertText(text, QTextCharFormat());
    QTextCharFormat red;
    red.setForeground(Qt::red);
    red.setFontWeight(QFont::Bold);
    for (const TTextSpan &mark : FrameStartMarks(text, m_mode)) {
        cursor.setPosition(mark.start);
        cursor.setPosition(mark.start + mark.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(red);
    }
    cursor.endEditBlock();
}

int TFormProtocolDebug::SendLineCount() const
{
    return CountLines(mSend->toPlainText());
}

int TFormProtocolDebug::RecvLineCount() const
{
    return CountLines(mRecv->toPlainText());
}

void TFormProtocolDebug::btn_Clear_SendClick()
{
    m_sendBytes.clear();
    mSend->clear();
}

void TFormProtocolDebug::btn_Clear_RecvClick()
{
    m_recvBytes.clear();
    mRecv->clear();
}

void TFormProtocolDebug::btn_Clear_AllClick()
{
    btn_Clear_SendClick();
    btn_Clear_RecvClick();
}

void TFormProtocolDebug::btn_SendLinsClick()
{
    ShowLineCount(SendLineCount());
}

void TFormProtocolDebug::btn_RecvLinesClick()
{
    ShowLineCount(RecvLineCount());
}

void TFormProtocolDebug::ShowLineCount(int count)
{
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QString title = owner && !owner->windowTitle().isEmpty()
                              ? owner->windowTitle()
                              : QGuiApplication::applicationDisplayName();
    QMessageBox::information(this, title, QString::number(count));
}

void TFormProtocolDebug::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A restore from the task bar is no new show: the panes keep their text.
    if (event->spontaneous())
        return;
    mSend->clear();
    mRecv->clear();
    if (QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
}

void TFormProtocolDebug::closeEvent(QCloseEvent *event)
{
    TFrameLog::instance().setEnabled(false);
    m_dragging = false;
    if (m_debugBox)
        m_debugBox->setChecked(false);
    event->accept();
}

// A press on the window's background or on one of its groups (which pass it
// on) moves the window, as a press on the title bar would.
void TFormProtocolDebug::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void TFormProtocolDebug::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - m_dragOffset);
    event->accept();
}

void TFormProtocolDebug::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

TProtocolDebugSwitch::TProtocolDebugSwitch(QWidget *mainWindow, QCheckBox *debugBox)
    : QObject(debugBox), m_mainWindow(mainWindow), m_debugBox(debugBox)
{
    setObjectName(QStringLiteral("ProtocolDebugSwitch"));
    connect(debugBox, &QCheckBox::toggled, this, &TProtocolDebugSwitch::chk_DebugClick);
}

void TProtocolDebugSwitch::chk_DebugClick(bool checked)
{
    TFrameLog::instance().setEnabled(checked);
    if (!checked) {
        if (m_window && m_window->isVisible())
            m_window->close();
        return;
    }
    if (!m_window) {
        m_window = new TFormProtocolDebug(m_mainWindow, m_debugBox);
        m_window->Retranslate(m_language);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void TProtocolDebugSwitch::Retranslate(int language)
{
    m_language = language;
    if (m_window)
        m_window->Retranslate(language);
}

TProtocolDebugSwitch *InstallProtocolDebug(QWidget *mainWindow, QCheckBox *debugBox)
{
    if (!debugBox)
        return nullptr;
    if (auto *existing = debugBox->findChild<TProtocolDebugSwitch *>(
            QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new TProtocolDebugSwitch(mainWindow, debugBox);
}

QAction *AddProtocolDebugAction(QMenu *menu, QCheckBox *debugBox)
{
    if (!menu || !debugBox)
        return nullptr;
    auto *item = menu->addAction(QStringLiteral("Protocol Debug"));
    item->setObjectName(QStringLiteral("N_ProtocolDebug"));
    item->setCheckable(true);
    item->setChecked(debugBox->isChecked());
    QObject::connect(item, &QAction::toggled, debugBox, &QCheckBox::setChecked);
    QObject::connect(debugBox, &QCheckBox::toggled, item, &QAction::setChecked);
    return item;
}
