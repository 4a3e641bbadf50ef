#include "dialogs/MessageBox_Frm.h"
#include "dialogs/Questions_Frm.h"

#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_MessageBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAndNames();
    void secondMessageReusesWindow();
    void closingEnablesMainWindow_data();
    void closingEnablesMainWindow();
    void mainWindowGoneWhileShown();
    void activeWindowUsedWithoutRegistration();
    void longTextsScrollInsideTheScreen_data();
    void longTextsScrollInsideTheScreen();

private:
    QWidget *m_main = nullptr;
};

void tst_MessageBox::init()
{
    m_main = new QWidget;
    m_main->resize(640, 480);
    m_main->show();
    RegisterMainWindow(m_main);
}

void tst_MessageBox::cleanup()
{
    if (TFormMessage *window = TFormMessage::existingInstance())
        window->hide();
    RegisterMainWindow(nullptr);
    delete m_main;
    m_main = nullptr;
}

void tst_MessageBox::layoutAndNames()
{
    ShowMessageWindow(QStringLiteral("Successfully!"));
    TFormMessage *window = TFormMessage::existingInstance();
    QVERIFY(window);
    QCOMPARE(window->size(), QSize(391, 152));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QLabel *info = window->findChild<QLabel *>(QStringLiteral("lbl_Info"));
    QVERIFY(info);
    QVERIFY(info->font().bold());
    QCOMPARE(info->text(), QStringLiteral("Successfully!"));
    QPushButton *ok = window->findChild<QPushButton *>(QStringLiteral("sbtbtn_Ok"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(!window->isModal());
    // No caption given: the caption is empty.
    QCOMPARE(window->windowTitle(), QString());
}

void tst_MessageBox::secondMessageReusesWindow()
{
    ShowMessageWindow(QStringLiteral("first"), QStringLiteral("Title one"));
    TFormMessage *first = TFormMessage::existingInstance();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!m_main->isEnabled());

    ShowMessageWindow(QStringLiteral("second"));
    QCOMPARE(TFormMessage::existingInstance(), first);
    QCOMPARE(first->lbl_Info->text(), QStringLiteral("second"));
    QCOMPARE(first->windowTitle(), QString());
    QVERIFY(first->isVisible());
    QVERIFY(!m_main->isEnabled());

    QTest::mouseClick(first->sbtbtn_Ok, Qt::LeftButton);
    QVERIFY(!first->isVisible());
    QVERIFY(m_main->isEnabled());

    // Shown again after OK: still the same window, disabling again.
    ShowMessageWindow(QStringLiteral("third"), QStringLiteral("Title three"));
    QCOMPARE(TFormMessage::existingInstance(), first);
    QCOMPARE(first->windowTitle(), QStringLiteral("Title three"));
    QVERIFY(!m_main->isEnabled());
}

void tst_MessageBox::closingEnablesMainWindow_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("OK button") << 0;
    QTest::newRow("close") << 1;
    QTest::newRow("escape key") << 2;
}

void tst_MessageBox::closingEnablesMainWindow()
{
    QFETCH(int, way);
    ShowMessageWindow(QStringLiteral("done"), QStringLiteral("K80x"));
    TFormMessage *window = TFormMessage::existingInstance();
    QVERIFY(!m_main->isEnabled());

    if (way == 0)
        window->sbtbtn_Ok->click();
    else if (way == 1)
        window->close();
    else
        QTest::keyClick(window, Qt::Key_Escape);

    QVERIFY(!window->isVisible());
    QVERIFY(m_main->isEnabled());
}

void tst_MessageBox::mainWindowGoneWhileShown()
{
    ShowMessageWindow(QStringLiteral("done"));
    delete m_main;
    m_main = nullptr;
    TFormMessage *window = TFormMessage::existingInstance();
    window->sbtbtn_Ok->click();
    QVERIFY(!window->isVisible());

    // The window still works for the next message.
    ShowMessageWindow(QStringLiteral("again"));
    QVERIFY(window->isVisible());
    QCOMPARE(window->lbl_Info->text(), QStringLiteral("again"));
}

void tst_MessageBox::activeWindowUsedWithoutRegistration()
{
    RegisterMainWindow(nullptr);
    QApplication::setActiveWindow(m_main);
    QTRY_COMPARE(QApplication::activeWindow(), m_main);

    ShowMessageWindow(QStringLiteral("first"));
    QVERIFY(!m_main->isEnabled());
    TFormMessage *window = TFormMessage::existingInstance();
    // The message window is the active one now; the second message must
    // keep the main window disabled.
    QApplication::setActiveWindow(window);
    ShowMessageWindow(QStringLiteral("second"));
    QVERIFY(!m_main->isEnabled());

    window->sbtbtn_Ok->click();
    QVERIFY(m_main->isEnabled());
}

void tst_MessageBox::longTextsScrollInsideTheScreen_data()
{
    QTest::addColumn<bool>("errorBox");
    QTest::newRow("message window") << false;
    QTest::newRow("error box") << true;
}

// A message of 120 lines keeps its window, and its OK button, on the screen.
void tst_MessageBox::longTextsScrollInsideTheScreen()
{
    QFETCH(bool, errorBox);
    QStringList lines;
    for (int line = 1; line <= 120; ++line)
        lines << QStringLiteral("Line %1 of a long message about what the device may hold.").arg(line);
    const QString text = lines.join(QLatin1Char('\n'));
    QWidget *shown = nullptr;
    if (errorBox) {
        ShowErrorBox(m_main, text);
        QTRY_VERIFY((shown = m_main->findChild<QMessageBox *>(QStringLiteral("ErrorBox"))) && shown->isVisible());
        QVERIFY(shown->findChild<QScrollArea *>(QStringLiteral("scr_Text")));
    } else {
        ShowMessageWindow(text);
        shown = TFormMessage::existingInstance();
        QVERIFY(shown->findChild<QScrollArea *>(QStringLiteral("scr_Info")));
    }
    QCOMPARE(shown->findChild<QLabel *>(errorBox ? QStringLiteral("qt_msgbox_label") : QStringLiteral("lbl_Info"))->text(),
             text);
    const QRect screen = shown->screen()->availableGeometry();
    QVERIFY2(shown->frameGeometry().height() <= screen.height(),
             qPrintable(QString::number(shown->frameGeometry().height())));
    shown->close();
}

QTEST_MAIN(tst_MessageBox)
#include "tst_MessageBox.moc"
