// The navigation bar: six sections that select the settings pages, each with
// its frame of buttons.
#include "SheetsFixture.h"

#include "views/FrameBar_Frm.h"
#include "views/SettingsViews_Unt.h"
#include "views/ViewContext_Unt.h"

#include <QPushButton>
#include <QTest>

namespace {

struct TShownPages {
    QString page;
    QString mainPage;
    QString didothPage;
};

TShownPages Shown(const TMainSheets &sheets)
{
    return {sheets.PageControl->currentWidget()->objectName(), sheets.PageControlMain->currentWidget()->objectName(),
            sheets.PageControl_DIDOTH->currentWidget()->objectName()};
}

} // namespace

class TestFrameBar : public QObject
{
    Q_OBJECT
private:
    int m_language = ConstLang::English;
    std::unique_ptr<TSheetsFixture> m_fixture;
    TFrameBar *m_bar = nullptr;

    // Opens a section the way a click on its title does.
    void OpenSection(int section) { m_bar->setCurrentIndex(section); }

    // Leaves every page control on a page no section selects by itself.
    void ShowElsewhere(int page, int mainPage, int didothPage)
    {
        m_fixture->sheets.PageControl->setCurrentIndex(page);
        m_fixture->sheets.PageControlMain->setCurrentIndex(mainPage);
        m_fixture->sheets.PageControl_DIDOTH->setCurrentIndex(didothPage);
    }

private slots:
    void init()
    {
        m_language = ConstLang::English;
        ViewContext::SetLanguageSource([this] { return m_language; });
        m_fixture = std::make_unique<TSheetsFixture>();
        m_bar = CreateFrameBar(m_fixture->sheets, m_fixture->window.get());
    }

    void cleanup()
    {
        m_bar = nullptr;
        m_fixture.reset();
    }

    void sectionsAndTitles()
    {
        QCOMPARE(m_bar->objectName(), QStringLiteral("FrameBar"));
        QCOMPARE(m_bar->width(), 161);
        QCOMPARE(m_bar->count(), 6);
        const QStringList titles{"Basic Setting", "DO/TH Setting", "  Number   Setting", "Timer Setting",
                                 "Communication Setting", " Historical  Record"};
        for (int section = 0; section < 6; ++section)
            QCOMPARE(m_bar->itemText(section), titles.at(section));
    }

    void sectionSelectsItsPages_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("mainPage");
        QTest::addColumn<QString>("didothPage");
        QTest::addColumn<QStringList>("buttons");
        // Before each row the window shows the history, the timers and TH.
        QTest::newRow("basic") << 0 << "Sheet_Basic" << "Sheet_Common" << "Sheet_TH" << QStringList{"btn_Basic"};
        QTest::newRow("DO/TH shows DO even after TH") << 1 << "Sheet_Basic" << "Sheet_DiDoTh" << "Sheet_DO"
                                                      << QStringList{"btn_DO", "btn_TH"};
        QTest::newRow("numbers") << 2 << "Sheet_Basic" << "Sheet_Telephone" << "Sheet_TH" << QStringList{"btn_Phone"};
        QTest::newRow("timers") << 3 << "Sheet_Basic" << "Sheet_DateTime" << "Sheet_TH" << QStringList{"btn_Time"};
        QTest::newRow("communication") << 4 << "Sheet_Basic" << "Sheet_InfoMode" << "Sheet_TH" << QStringList{"btn_GPRS"};
    }
    void sectionSelectsItsPages()
    {
        QFETCH(int, section);
        QFETCH(QString, page);
        QFETCH(QString, mainPage);
        QFETCH(QString, didothPage);
        QFETCH(QStringList, buttons);
        OpenSection(5);
        ShowElsewhere(2, 3, 1);
        OpenSection(section);
        const TShownPages shown = Shown(m_fixture->sheets);
        QCOMPARE(shown.page, page);
        QCOMPARE(shown.mainPage, mainPage);
        QCOMPARE(shown.didothPage, didothPage);
        QStringList frameButtons;
        for (const QPushButton *button : m_bar->CurrentFrame()->findChildren<QPushButton *>())
            frameButtons << button->objectName();
        QCOMPARE(frameButtons, buttons);
        QVERIFY(m_bar->widget(section)->isAncestorOf(m_bar->CurrentFrame()));
    }

    void historyLeavesTheSubPagesAlone()
    {
        ShowElsewhere(1, 3, 1);
        OpenSection(5);
        const TShownPages shown = Shown(m_fixture->sheets);
        QCOMPARE(shown.page, QStringLiteral("Sheet_History"));
        QCOMPARE(shown.mainPage, QStringLiteral("Sheet_DateTime"));
        QCOMPARE(shown.didothPage, QStringLiteral("Sheet_TH"));
    }

    void buttonsSelectTheirPages_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("mainPage");
        QTest::addColumn<QString>("didothPage");
        QTest::newRow("btn_Basic") << 0 << "btn_Basic" << "Sheet_Basic" << "Sheet_Common" << "Sheet_DO";
        QTest::newRow("btn_DO") << 1 << "btn_DO" << "Sheet_Basic" << "Sheet_DiDoTh" << "Sheet_DO";
        QTest::newRow("btn_TH") << 1 << "btn_TH" << "Sheet_Basic" << "Sheet_DiDoTh" << "Sheet_TH";
        QTest::newRow("btn_Phone") << 2 << "btn_Phone" << "Sheet_Basic" << "Sheet_Telephone" << "Sheet_DO";
        QTest::newRow("btn_Time") << 3 << "btn_Time" << "Sheet_Basic" << "Sheet_DateTime" << "Sheet_DO";
        QTest::newRow("btn_GPRS") << 4 << "btn_GPRS" << "Sheet_Basic" << "Sheet_InfoMode" << "Sheet_DO";
        QTest::newRow("btn_History") << 5 << "btn_History" << "Sheet_History" << "Sheet_InfoMode" << "Sheet_DO";
    }
    void buttonsSelectTheirPages()
    {
        QFETCH(int, section);
        QFETCH(QString, button);
        QFETCH(QString, page);
        QFETCH(QString, mainPage);
        QFETCH(QString, didothPage);
        OpenSection(section);
        // Away from the section's pages: welcome page, communication, DO.
        ShowElsewhere(0, 4, 0);
        auto *target = m_bar->CurrentFrame()->findChild<QPushButton *>(button);
        QVERIFY(target != nullptr);
        QTest::mouseClick(target, Qt::LeftButton);
        const TShownPages shown = Shown(m_fixture->sheets);
        QCOMPARE(shown.page, page);
        QCOMPARE(shown.mainPage, mainPage);
        QCOMPARE(shown.didothPage, didothPage);
    }

    void frameButtonCaptionsFollowTheLanguageOfTheirCreation()
    {
        OpenSection(2);
        QCOMPARE(m_bar->CurrentFrame()->findChild<QPushButton *>(QStringLiteral("btn_Phone"))->text(),
                 QStringLiteral("Phone"));
        m_language = ConstLang::Chinese;
        // An open frame keeps its captions; the next opening builds a new one.
        QCOMPARE(m_bar->CurrentFrame()->findChild<QPushButton *>(QStringLiteral("btn_Phone"))->text(),
                 QStringLiteral("Phone"));
        OpenSection(0);
        QCOMPARE(m_bar->CurrentFrame()->findChild<QPushButton *>(QStringLiteral("btn_Basic"))->text(),
                 QStringLiteral("基本设置"));
        OpenSection(3);
        QCOMPARE(m_bar->CurrentFrame()->findChild<QPushButton *>(QStringLiteral("btn_Time"))->text(),
                 QStringLiteral("定时"));
        OpenSection(5);
        QCOMPARE(m_bar->CurrentFrame()->findChild<QPushButton *>(QStringLiteral("btn_History"))->text(),
                 QStringLiteral("历史记录"));
        OpenSection(1);
        QCOMPARE(m_bar->CurrentFrame()->findChild<QPushButton *>(QStringLiteral("btn_TH"))->text(), QStringLiteral("TH"));
    }

    void onlyTheOpenSectionHasAFrame()
    {
        OpenSection(1);
        OpenSection(4);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int frames = 0;
        for (int section = 0; section < m_bar->count(); ++section)
            frames += m_bar->widget(section)->findChildren<TNavigationFrame *>().size();
        QCOMPARE(frames, 1);
        QVERIFY(qobject_cast<TFormSMSMode *>(m_bar->CurrentFrame()) != nullptr);
    }
};

QTEST_MAIN(TestFrameBar)
#include "tst_FrameBar.moc"
