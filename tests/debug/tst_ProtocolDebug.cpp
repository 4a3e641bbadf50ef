#include "debug/ProtocolDebug_Frm.h"
#include "debug/SoftInterfaceCommportDebug_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/FrameLog_Unt.h"

#include <QAction>
#include <QCheckBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// Foreground colour of the character at position of the pane.
QColor ColourAt(QTextEdit *pane, int position)
{
    QTextCursor cursor(pane->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().foreground().color();
}

} // namespace

class tst_ProtocolDebug : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tickingTheBoxOpensTheWindowAndLogs();
    void hexLinesFromTheLog();
    void characterModeReplacesThePane();
    void characterModeFrameStartingWithZeroEmptiesThePane();
    void notationChangeRedrawsWithRedFrameStarts_data();
    void notationChangeRedrawsWithRedFrameStarts();
    void redMarksDoNotSpreadToNewLines();
    void clickingTheCheckedNotationChangesNothing();
    void clearButtons();
    void lineCountInMessageBox_data();
    void lineCountInMessageBox();
    void closingStopsLoggingAndUnticksTheBox();
    void secondTickShowsSameWindowWithEmptyPanesAndOldBytes();
    void untickingClosesTheWindow();
    void menuItemFollowsTheBox();
    void nothingLoggedWhileTheLogIsOff();
    void pressOnBackgroundDragsTheWindow();
    void bindingObjectHoldsNothing();

private:
    QTextEdit *Pane(const char *name) const
    {
        return m_switch->Window()->findChild<QTextEdit *>(QString::fromLatin1(name));
    }
    void Click(const char *name)
    {
        auto *button = m_switch->Window()->findChild<QAbstractButton *>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        // Near the left edge: on the indicator of an option button.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
    }

    QMainWindow *m_main = nullptr;
    QCheckBox *m_box = nullptr;
    TProtocolDebugSwitch *m_switch = nullptr;
};

void tst_ProtocolDebug::init()
{
    m_main = new QMainWindow;
    m_main->setWindowTitle(QStringLiteral("Test Configurator"));
    m_main->resize(900, 600);
    m_box = new QCheckBox(QStringLiteral("Debug"), m_main->statusBar());
    m_box->setObjectName(QStringLiteral("chk_Debug"));
    m_box->setVisible(false);
    m_main->statusBar()->addPermanentWidget(m_box);
    m_main->show();
    m_switch = InstallProtocolDebug(m_main, m_box);
    QVERIFY(m_switch);
}

void tst_ProtocolDebug::cleanup()
{
    delete m_main;
    m_main = nullptr;
    TFrameLog::instance().setEnabled(false);
}

void tst_ProtocolDebug::tickingTheBoxOpensTheWindowAndLogs()
{
    QVERIFY(!m_switch->Window());
    QVERIFY(!TFrameLog::instance().enabled());
    m_box->setChecked(true);
    QVERIFY(TFrameLog::instance().enabled());
    TFormProtocolDebug *window = m_switch->Window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("调试串口"));
    QCOMPARE(window->size(), QSize(766, 442));
    const QPoint offCentre = window->frameGeometry().center() - m_main->frameGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    QCOMPARE(window->DisplayMode(), TDisplayMode::Hex);
    QVERIFY(window->findChild<QRadioButton *>(QStringLiteral("rb_Hex"))->isChecked());
    QCOMPARE(InstallProtocolDebug(m_main, m_box), m_switch);
}

void tst_ProtocolDebug::hexLinesFromTheLog()
{
    m_box->setChecked(true);
    const QByteArray sent = TBasicProtocol().BuildFrame(0x83, TAddress{0, 0, 0, 0});
    TBasicProtocol().LogFrame(sent, 0);
    TBasicProtocol().LogFrame(sent, 0);
    TFrameLog::instance().log(Hex("23050041FF"), 1);

    QTextEdit *mSend = Pane("mSend");
    QTextEdit *mRecv = Pane("mRecv");
    const QString sentLine = FormatFrame(sent, TDisplayMode::Hex);
    QCOMPARE(mSend->toPlainText(), sentLine + QLatin1Char('\n') + sentLine);
    QCOMPARE(mRecv->toPlainText(), QStringLiteral("23 05 00 41 FF "));
    QCOMPARE(m_switch->Window()->SendLineCount(), 2);
    QCOMPARE(m_switch->Window()->RecvLineCount(), 1);
    QCOMPARE(m_switch->Window()->SendBytes(), sent + sent);
    QCOMPARE(m_switch->Window()->RecvBytes(), Hex("23050041FF"));
}

void tst_ProtocolDebug::characterModeReplacesThePane()
{
    m_box->setChecked(true);
    Click("rb_Ansi");
    QCOMPARE(m_switch->Window()->DisplayMode(), TDisplayMode::Ansi);
    const QByteArray reply("+CSQ: 20,0\r\n\r\nOK\r\n");
    TFrameLog::instance().log(reply, 1);
    QCOMPARE(m_switch->Window()->RecvLineCount(), 3);
    TFrameLog::instance().log(Hex("23050041FF"), 1);
    const QString expected = QString(QLatin1Char('#')) + QChar(0x05) + QChar(0x00) + QLatin1Char('A');
    QCOMPARE(Pane("mRecv")->toPlainText(), expected);
    QCOMPARE(m_switch->Window()->RecvLineCount(), 1);
    // Both chunks stay in the receive list.
    QCOMPARE(m_switch->Window()->RecvBytes(), reply + Hex("23050041FF"));
}

void tst_ProtocolDebug::characterModeFrameStartingWithZeroEmptiesThePane()
{
    m_box->setChecked(true);
    Click("rb_Ansi");
    TFrameLog::instance().log(QByteArray("REBOOT"), 0);
    QCOMPARE(Pane("mSend")->toPlainText(), QStringLiteral("REBOOT"));
    TFrameLog::instance().log(Hex("0023"), 0);
    QCOMPARE(Pane("mSend")->toPlainText(), QString());
    QCOMPARE(m_switch->Window()->SendLineCount(), 0);
}

void tst_ProtocolDebug::notationChangeRedrawsWithRedFrameStarts_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<TDisplayMode>("mode");
    QTest::addColumn<QString>("marker");
    QTest::newRow("decimal") << "rb_10Dec" << TDisplayMode::Decimal << "35";
    QTest::newRow("bits") << "rb_Bin" << TDisplayMode::Bits << "00100011";
}

// Two frames logged in hex, then another notation: both frames on one line,
// every 0x23 token red, the other tokens not.
void tst_ProtocolDebug::notationChangeRedrawsWithRedFrameStarts()
{
    QFETCH(QString, button);
    QFETCH(TDisplayMode, mode);
    QFETCH(QString, marker);

    m_box->setChecked(true);
    const QByteArray first = Hex("2383000000000000A0");
    const QByteArray second = Hex("23830000010000" "00A1");
    TFrameLog::instance().log(first, 0);
    TFrameLog::instance().log(second, 0);
    QCOMPARE(m_switch->Window()->SendLineCount(), 2);

    Click(button.toLatin1().constData());
    QCOMPARE(m_switch->Window()->DisplayMode(), mode);
    QTextEdit *mSend = Pane("mSend");
    const QString line = mSend->toPlainText();
    QCOMPARE(line, FormatByteList(first + second, mode));
    QCOMPARE(m_switch->Window()->SendLineCount(), 1);

    const QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(tokens.size(), first.size() + second.size());
    int position = 0;
    int redTokens = 0;
    for (int index = 0; index < tokens.size(); ++index) {
        const bool frameStart = index == 0 || index == first.size();
        QCOMPARE(tokens.at(index) == marker, frameStart);
        for (int offset = 0; offset < tokens.at(index).size(); ++offset) {
            const bool red = ColourAt(mSend, position + offset) == QColor(Qt::red);
            QVERIFY2(red == frameStart, qPrintable(QStringLiteral("token %1").arg(index)));
        }
        redTokens += frameStart ? 1 : 0;
        position += int(tokens.at(index).size()) + 1;
    }
    QCOMPARE(redTokens, 2);
    // The receive pane is redrawn too, empty here.
    QCOMPARE(Pane("mRecv")->toPlainText(), QString());
}

void tst_ProtocolDebug::redMarksDoNotSpreadToNewLines()
{
    m_box->setChecked(true);
    TFrameLog::instance().log(Hex("2301"), 1);
    Click("rb_10Dec");
    TFrameLog::instance().log(Hex("0523"), 1);
    QTextEdit *mRecv = Pane("mRecv");
    QCOMPARE(mRecv->toPlainText(), QStringLiteral("35 1 \n5 35 "));
    const int secondLine = mRecv->document()->findBlockByNumber(1).position();
    for (int offset = 0; offset < 4; ++offset)
        QVERIFY(ColourAt(mRecv, secondLine + offset) != QColor(Qt::red));
}

void tst_ProtocolDebug::clickingTheCheckedNotationChangesNothing()
{
    m_box->setChecked(true);
    TFrameLog::instance().log(Hex("2301"), 0);
    TFrameLog::instance().log(Hex("2302"), 0);
    const QString before = Pane("mSend")->toPlainText();
    Click("rb_Hex");
    QCOMPARE(Pane("mSend")->toPlainText(), before);
    QCOMPARE(m_switch->Window()->SendLineCount(), 2);
    QVERIFY(m_switch->Window()->findChild<QRadioButton *>(QStringLiteral("rb_Hex"))->isChecked());
}

void tst_ProtocolDebug::clearButtons()
{
    m_box->setChecked(true);
    TFormProtocolDebug *window = m_switch->Window();
    auto logBoth = [] {
        TFrameLog::instance().log(Hex("2301"), 0);
        TFrameLog::instance().log(Hex("2302"), 1);
    };
    logBoth();
    Click("btn_Clear_Send");
    QVERIFY(window->SendBytes().isEmpty());
    QCOMPARE(Pane("mSend")->toPlainText(), QString());
    QCOMPARE(window->RecvBytes(), Hex("2302"));
    QCOMPARE(Pane("mRecv")->toPlainText(), QStringLiteral("23 02 "));

    logBoth();
    Click("btn_Clear_Recv");
    QVERIFY(window->RecvBytes().isEmpty());
    QCOMPARE(Pane("mRecv")->toPlainText(), QString());
    QCOMPARE(window->SendBytes(), Hex("2301"));

    logBoth();
    Click("btn_Clear_All");
    QVERIFY(window->SendBytes().isEmpty());
    QVERIFY(window->RecvBytes().isEmpty());
    QCOMPARE(window->SendLineCount(), 0);
    QCOMPARE(window->RecvLineCount(), 0);

    // A notation change after clearing redraws nothing old.
    Click("rb_10Dec");
    QCOMPARE(Pane("mSend")->toPlainText(), QString());
}

void tst_ProtocolDebug::lineCountInMessageBox_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("direction");
    QTest::newRow("send lines") << "btn_SendLins" << 0;
    QTest::newRow("receive lines") << "btn_RecvLines" << 1;
}

void tst_ProtocolDebug::lineCountInMessageBox()
{
    QFETCH(QString, button);
    QFETCH(int, direction);
    m_box->setChecked(true);
    for (int frame = 0; frame < 3; ++frame)
        TFrameLog::instance().log(Hex("2301"), direction);
    TFrameLog::instance().log(Hex("2301"), 1 - direction);

    QString shownText;
    QString shownTitle;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shownText = box->text();
        shownTitle = box->windowTitle();
        box->accept();
    });
    Click(button.toLatin1().constData());
    QCOMPARE(shownText, QStringLiteral("3"));
    QCOMPARE(shownTitle, QStringLiteral("Test Configurator"));
}

void tst_ProtocolDebug::closingStopsLoggingAndUnticksTheBox()
{
    m_box->setChecked(true);
    TFormProtocolDebug *window = m_switch->Window();
    TFrameLog::instance().log(Hex("2301"), 0);
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QVERIFY(!m_box->isChecked());
    QVERIFY(!TFrameLog::instance().enabled());
    TFrameLog::instance().log(Hex("2302"), 0);
    window->LogFrame(Hex("2303"), 0);
    QCOMPARE(window->SendBytes(), Hex("2301"));
    QCOMPARE(m_switch->Window(), window);
}

void tst_ProtocolDebug::secondTickShowsSameWindowWithEmptyPanesAndOldBytes()
{
    m_box->setChecked(true);
    TFormProtocolDebug *window = m_switch->Window();
    TFrameLog::instance().log(Hex("2301"), 0);
    TFrameLog::instance().log(Hex("2302"), 0);
    window->close();

    m_box->setChecked(true);
    QCOMPARE(m_switch->Window(), window);
    QVERIFY(window->isVisible());
    QVERIFY(TFrameLog::instance().enabled());
    QCOMPARE(Pane("mSend")->toPlainText(), QString());
    QCOMPARE(window->SendLineCount(), 0);

    TFrameLog::instance().log(Hex("2303"), 0);
    QCOMPARE(Pane("mSend")->toPlainText(), QStringLiteral("23 03 "));
    Click("rb_10Dec");
    QCOMPARE(Pane("mSend")->toPlainText(), QStringLiteral("35 1 35 2 35 3 "));
}

void tst_ProtocolDebug::untickingClosesTheWindow()
{
    m_box->setChecked(true);
    m_box->setChecked(false);
    QVERIFY(!m_switch->Window()->isVisible());
    QVERIFY(!TFrameLog::instance().enabled());
    // Unticking again, with the window closed, changes nothing.
    m_box->setChecked(false);
    QVERIFY(!m_switch->Window()->isVisible());
}

void tst_ProtocolDebug::menuItemFollowsTheBox()
{
    QMenu *menu = m_main->menuBar()->addMenu(QStringLiteral("System"));
    QAction *item = AddProtocolDebugAction(menu, m_box);
    QVERIFY(item);
    QCOMPARE(item->objectName(), QStringLiteral("N_ProtocolDebug"));
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());

    item->trigger();
    QVERIFY(m_box->isChecked());
    QVERIFY(m_switch->Window() && m_switch->Window()->isVisible());
    QVERIFY(TFrameLog::instance().enabled());

    m_switch->Window()->close();
    QVERIFY(!item->isChecked());
    QVERIFY(!m_box->isChecked());

    m_box->setChecked(true);
    QVERIFY(item->isChecked());
    item->trigger();
    QVERIFY(!m_box->isChecked());
    QVERIFY(!m_switch->Window()->isVisible());
}

void tst_ProtocolDebug::nothingLoggedWhileTheLogIsOff()
{
    m_box->setChecked(true);
    TFormProtocolDebug *window = m_switch->Window();
    TFrameLog::instance().setEnabled(false);
    window->LogFrame(Hex("2301"), 0);
    TFrameLog::instance().log(Hex("2301"), 1);
    QVERIFY(window->SendBytes().isEmpty());
    QVERIFY(window->RecvBytes().isEmpty());
    QCOMPARE(Pane("mSend")->toPlainText(), QString());
}

void tst_ProtocolDebug::pressOnBackgroundDragsTheWindow()
{
    m_box->setChecked(true);
    TFormProtocolDebug *window = m_switch->Window();
    QWidget *group = window->findChild<QWidget *>(QStringLiteral("grp_Tools"));
    QVERIFY(group);
    const QPoint start = window->pos();
    const QPoint inside(group->width() / 2, group->height() - 3);
    QTest::mousePress(group, Qt::LeftButton, {}, inside);
    QTest::mouseMove(group, inside + QPoint(40, 25));
    QTest::mouseRelease(group, Qt::LeftButton, {}, inside + QPoint(40, 25));
    QTRY_COMPARE(window->pos(), start + QPoint(40, 25));
}

void tst_ProtocolDebug::bindingObjectHoldsNothing()
{
    TSoftCommportDebug binding;
    QVERIFY(qobject_cast<TBaseSoftInterface *>(&binding));
    QVERIFY(binding.children().isEmpty());
}

QTEST_MAIN(tst_ProtocolDebug)
#include "tst_ProtocolDebug.moc"
