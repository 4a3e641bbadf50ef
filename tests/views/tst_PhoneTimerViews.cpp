// Alarm phone numbers and timers: their list views, editors, and the timer
// cells that keep their codes across a language switch.
#include "SheetsFixture.h"

#include "look/ComponentEx.h"
#include "views/PhoneSetting_Frm.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/SettingsViews_Unt.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceTelephone_Unt.h"
#include "views/TimerSetting_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kTick = QString(QChar(0x221A));

QStringList SubItems(const QTreeWidgetItem *row, int count)
{
    QStringList texts;
    for (int subItem = 0; subItem < count; ++subItem)
        texts << TBaseSoftInterface::SubItem(row, subItem);
    return texts;
}

void FillRow(QTreeWidgetItem *row, const QStringList &subItems)
{
    for (int subItem = 0; subItem < subItems.size(); ++subItem)
        TBaseSoftInterface::SetSubItem(row, subItem, subItems.at(subItem));
}

// Clicks a check box on its indicator, where a click toggles it whatever the
// width of the box.
void ClickBox(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QList<bool> FlagStates(const TFormPhoneSetting &editor)
{
    QList<bool> states;
    for (const TSkinCheckBox *box : {editor.chk_Dial, editor.chk_TimeRePort, editor.chk_SMSFunction, editor.chk_Alam,
                                     editor.chk_AlamReco, editor.chk_ExtendPower, editor.chk_GPRS,
                                     editor.chk_GSMSignal, editor.chk_Realy})
        states << box->isChecked();
    return states;
}

} // namespace

class TestPhoneTimerViews : public QObject
{
    Q_OBJECT
private:
    int m_language = ConstLang::English;
    QStringList m_messages;

    std::unique_ptr<QTreeWidget> TelView()
    {
        QWidget sheet;
        auto view = std::unique_ptr<QTreeWidget>(TSoftTelephone::CreateTelView(&sheet));
        view->setParent(nullptr);
        TSoftTelephone().BuildTelRows(view.get());
        return view;
    }

    std::unique_ptr<QTreeWidget> TimerView()
    {
        QWidget sheet;
        auto view = std::unique_ptr<QTreeWidget>(TSoftDateTime::CreateTimerView(&sheet));
        view->setParent(nullptr);
        TSoftDateTime().BuildTimerRows(view.get());
        return view;
    }

private slots:
    void init()
    {
        m_language = ConstLang::English;
        m_messages.clear();
        ViewContext::SetLanguageSource([this] { return m_language; });
        ViewContext::SetModelIndexSource([] { return 0; });
        ViewContext::SetMessageSink([this](const QString &text) { m_messages << text; });
        TSoftDateTime::BuildTimerLists(m_language);
    }

    // --- Phone numbers --------------------------------------------------

    void telRowsAndColumns()
    {
        auto view = TelView();
        QCOMPARE(view->topLevelItemCount(), 10);
        QCOMPARE(view->topLevelItem(0)->text(0), QStringLiteral("  1"));
        QCOMPARE(view->topLevelItem(9)->text(0), QStringLiteral("  10"));
        QCOMPARE(SubItems(view->topLevelItem(9), 10), QStringList(10, QString()));
        TSoftTelephone().SizeTelColumns(view.get());
        QCOMPARE(view->header()->sectionSize(1), 12 * 16);  // "Alarm Tel Number"
        QCOMPARE(view->header()->sectionSize(10), 12 * 16); // "Relay Close/Open"
        // The user may widen or narrow every column.
        QCOMPARE(view->header()->sectionResizeMode(5), QHeaderView::Interactive);
    }

    void telNumberColumnFitsALongNumberInChinese()
    {
        auto view = TelView();
        view->headerItem()->setText(1, QStringLiteral("报警号码"));
        TSoftTelephone().SizeTelColumns(view.get());
        const int numberWidth = view->fontMetrics().horizontalAdvance(QString(21, QLatin1Char('8')));
        QVERIFY2(view->header()->sectionSize(1) > numberWidth,
                 qPrintable(QString::number(view->header()->sectionSize(1))));
    }

    void phoneEditorTitle_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("title");
        QTest::newRow("row 4 in English") << int(ConstLang::English) << 3 << "Phone Number  4";
        QTest::newRow("row 10 in Chinese") << int(ConstLang::Chinese) << 9 << "电话号码  10";
    }
    void phoneEditorTitle()
    {
        QFETCH(int, language);
        QFETCH(int, row);
        QFETCH(QString, title);
        m_language = language;
        auto view = TelView();
        TFormPhoneSetting editor(view.get(), row);
        QCOMPARE(editor.windowTitle(), title);
    }

    void phoneEditorLoadsAndSaves()
    {
        auto view = TelView();
        FillRow(view->topLevelItem(2), {"0086 139", kTick, QString(), kTick, QString(), QString(), QString(), QString(),
                                        QString(), kTick});
        TFormPhoneSetting editor(view.get(), 2);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.lbledt_TelNumber->text(), QStringLiteral("0086 139"));
        QCOMPARE(FlagStates(editor), (QList<bool>{true, false, true, false, false, false, false, false, true}));
        QVERIFY(!editor.chk_TelAll->isChecked());
        QCOMPARE(editor.lbledt_TelNumber->labelText(), QStringLiteral("Alarm Tel Number(Max.21 digits)"));
        QCOMPARE(editor.chk_TelAll->text(), QStringLiteral("ALL"));

        editor.lbledt_TelNumber->edit()->clear();
        QTest::keyClicks(editor.lbledt_TelNumber->edit(), QStringLiteral("Ab 12"));
        ClickBox(editor.chk_Dial);
        ClickBox(editor.chk_GPRS);
        QTest::mouseClick(editor.btn_Phone_OK, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(2), 10),
                 (QStringList{"Ab 12", QString(), QString(), kTick, QString(), QString(), QString(), kTick, QString(), kTick}));
    }

    void phoneNumberReadAtFullWidthOpensWhole()
    {
        // The device's field holds 22 digits; the editor types at most 20.
        auto view = TelView();
        const QString number = QStringLiteral("+861391234567801234567");
        FillRow(view->topLevelItem(4), {number});
        TFormPhoneSetting editor(view.get(), 4);
        QCOMPARE(editor.lbledt_TelNumber->text(), number);
        QTest::mouseClick(editor.btn_Phone_OK, Qt::LeftButton);
        QCOMPARE(view->topLevelItem(4)->text(1), number);
    }

    void phoneNumberStopsAtTwentyCharacters()
    {
        auto view = TelView();
        TFormPhoneSetting editor(view.get(), 0);
        QTest::keyClicks(editor.lbledt_TelNumber->edit(), QStringLiteral("008613912345678901234"));
        QCOMPARE(editor.lbledt_TelNumber->text(), QStringLiteral("00861391234567890123"));
        QTest::mouseClick(editor.btn_Phone_OK, Qt::LeftButton);
        QCOMPARE(view->topLevelItem(0)->text(1), QStringLiteral("00861391234567890123"));
    }

    void phoneNumberHintHasFiveLines()
    {
        auto view = TelView();
        TFormPhoneSetting editor(view.get(), 0);
        const QStringList lines = editor.lbledt_TelNumber->hint().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("1.Country code is needed")));
        QCOMPARE(lines.at(4), QStringLiteral("4.Low Signal: stand for GSM\\3G\\4G\\5G signal is lower than 14,full is 31."));
    }

    void allBoxTicksAndUnticksEveryFlag()
    {
        auto view = TelView();
        TFormPhoneSetting editor(view.get(), 1);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        ClickBox(editor.chk_TelAll);
        QCOMPARE(FlagStates(editor), QList<bool>(9, true));
        QVERIFY(editor.chk_TelAll->isChecked());
        QCOMPARE(SubItems(view->topLevelItem(1), 10), QStringList(10, QString()));

        // Unticking one flag leaves ALL ticked.
        ClickBox(editor.chk_Alam);
        QVERIFY(editor.chk_TelAll->isChecked());
        QVERIFY(!editor.chk_Alam->isChecked());

        ClickBox(editor.chk_TelAll);
        QCOMPARE(FlagStates(editor), QList<bool>(9, false));

        ClickBox(editor.chk_TelAll);
        QTest::mouseClick(editor.btn_Phone_OK, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(1), 10).mid(1), QStringList(9, kTick));
    }

    void phoneEditorCancelKeepsTheRow()
    {
        auto view = TelView();
        const QStringList stored{"0044", kTick, QString(), QString(), kTick, QString(), QString(), QString(), QString(), QString()};
        FillRow(view->topLevelItem(4), stored);
        TFormPhoneSetting editor(view.get(), 4);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        // The editor opens on the number with it selected; End appends.
        QTest::keyClick(editor.lbledt_TelNumber->edit(), Qt::Key_End);
        QTest::keyClicks(editor.lbledt_TelNumber->edit(), QStringLiteral("99"));
        ClickBox(editor.chk_TelAll);
        QTest::mouseClick(editor.btn_Phone_NO, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(4), 10), stored);
        QCOMPARE(editor.lbledt_TelNumber->text(), QStringLiteral("004499"));
    }

    void phoneHandlers()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        FillRow(views.lvTel->topLevelItem(1), {"0065", kTick, kTick});
        FillRow(views.lvTel->topLevelItem(2), {"001", kTick});

        views.SoftTelephone->lvTelDblClick();
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Phone_ClearLine"))->trigger();
        QCOMPARE(m_messages, QStringList(2, QStringLiteral("Please select a setting option.")));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(views.lvTel->topLevelItem(1)->text(1), QStringLiteral("0065"));

        views.lvTel->topLevelItem(1)->setSelected(true);
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Phone_ClearLine"))->trigger();
        QCOMPARE(SubItems(views.lvTel->topLevelItem(1), 10), QStringList(10, QString()));
        QCOMPARE(views.lvTel->topLevelItem(1)->text(0), QStringLiteral("  2"));
        QCOMPARE(views.lvTel->topLevelItem(2)->text(1), QStringLiteral("001"));

        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Phone_Clear"))->trigger();
        QCOMPARE(SubItems(views.lvTel->topLevelItem(2), 10), QStringList(10, QString()));
        QCOMPARE(m_messages.size(), 2);
    }

    // Enter and F2 on the current row of each list open that row's editor,
    // which starts on its first field.
    void keysOpenTheRowsEditor_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("firstField");
        const struct {
            const char *list;
            int page;
            const char *editor;
            const char *firstField;
        } lists[] = {
            {"lvDo", 1, "FormDoSetting", "lbledt_DO_ChannleName"},
            {"lvTh", 1, "FormThSetting", "lbledt_Th_ChannelName"},
            {"lvTel", 2, "FormPhoneSetting", "lbledt_TelNumber"},
            {"lvTimer", 3, "FormTimerSetting", "chk_Timer_Enable"},
        };
        for (const auto &entry : lists) {
            for (const auto &key : {std::pair<const char *, int>{"Enter", Qt::Key_Return},
                                    {"keypad Enter", Qt::Key_Enter}, {"F2", Qt::Key_F2}}) {
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(entry.list), QLatin1String(key.first))))
                    << QString::fromLatin1(entry.list) << entry.page << key.second
                    << QString::fromLatin1(entry.editor) << QString::fromLatin1(entry.firstField);
            }
        }
    }
    void keysOpenTheRowsEditor()
    {
        QFETCH(QString, list);
        QFETCH(int, page);
        QFETCH(int, key);
        QFETCH(QString, editor);
        QFETCH(QString, firstField);
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        views.SoftDiDoTh->BuildThRows(QStringLiteral("K801"), views.lvTh);
        fixture.window->resize(900, 600);
        fixture.sheets.PageControl->setCurrentIndex(1);
        fixture.sheets.PageControlMain->setCurrentIndex(page);
        if (list == QLatin1String("lvTh"))
            fixture.sheets.PageControl_DIDOTH->setCurrentIndex(1);
        fixture.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
        auto *view = fixture.window->findChild<QTreeWidget *>(list);
        QVERIFY(view && view->topLevelItemCount() > 1);
        view->setFocus();
        view->setCurrentItem(view->topLevelItem(1));

        QString opened, focused;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            opened = dialog->objectName();
            for (QWidget *widget = dialog->focusWidget(); widget && focused.isEmpty(); widget = widget->parentWidget())
                focused = widget->objectName();
            dialog->reject();
        });
        poll.start(20);
        QTest::keyClick(view, Qt::Key(key));
        QTRY_COMPARE(opened, editor);
        QCOMPARE(focused, firstField);
        QVERIFY(m_messages.isEmpty());
    }

    void doubleClickOnTheEmptyAreaAsksForARow()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        fixture.window->resize(900, 600);
        fixture.sheets.PageControl->setCurrentIndex(1);
        fixture.sheets.PageControlMain->setCurrentIndex(2);
        fixture.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
        const QRect lastRow = views.lvTel->visualItemRect(views.lvTel->topLevelItem(9));
        const QPoint below(lastRow.center().x(), lastRow.bottom() + 20);
        QVERIFY(views.lvTel->viewport()->rect().contains(below));
        QVERIFY(views.lvTel->itemAt(below) == nullptr);

        QTest::mouseDClick(views.lvTel->viewport(), Qt::LeftButton, {}, below);
        QTRY_COMPARE(m_messages, QStringList{QStringLiteral("Please select a setting option.")});
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // --- Timers ---------------------------------------------------------

    void timerListsFollowTheLanguage()
    {
        QCOMPARE(TSoftDateTime::HourList().size(), 24);
        QCOMPARE(TSoftDateTime::HourList().first(), QStringLiteral("0"));
        QCOMPARE(TSoftDateTime::HourList().last(), QStringLiteral("23"));
        QCOMPARE(TSoftDateTime::MinuteList().size(), 60);
        QCOMPARE(TSoftDateTime::MinuteList().at(7), QStringLiteral("7"));
        TSoftDateTime::BuildTimerLists(ConstLang::Chinese);
        QCOMPARE(TSoftDateTime::WeekList().first(), QStringLiteral("日"));
        QCOMPARE(TSoftDateTime::ActionList().at(10), QStringLiteral("10.继电器2断开"));
        TSoftDateTime::BuildTimerLists(ConstLang::English);
        QCOMPARE(TSoftDateTime::WeekList().size(), 8);
        QCOMPARE(TSoftDateTime::WeekList().last(), QStringLiteral("Everyday"));
        QCOMPARE(TSoftDateTime::ActionList().size(), 11);
        QCOMPARE(TSoftDateTime::ActionList().at(5), QStringLiteral("5.Arm"));
    }

    void timerRowsAndColumns()
    {
        auto view = TimerView();
        QCOMPARE(view->topLevelItemCount(), 10);
        QCOMPARE(view->topLevelItem(9)->text(0), QStringLiteral("  10"));
        QCOMPARE(SubItems(view->topLevelItem(0), 5), QStringList(5, QString()));
        QCOMPARE(view->header()->sectionResizeMode(3), QHeaderView::ResizeToContents);
        QCOMPARE(Qt::Alignment(view->topLevelItem(0)->textAlignment(3)), Qt::Alignment(Qt::AlignCenter));
        QVERIFY(Qt::Alignment(view->topLevelItem(0)->textAlignment(1)) & Qt::AlignLeft);
    }

    void openingAnEmptyRow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("written"); // sub-items 0-4 after OK
        QTest::newRow("English") << int(ConstLang::English) << QStringList{QString(), "Sunday", "0", "0", "0.Reboot"};
        QTest::newRow("Chinese") << int(ConstLang::Chinese) << QStringList{QString(), "日", "0", "0", "0.重启"};
    }
    void openingAnEmptyRow()
    {
        QFETCH(int, language);
        QFETCH(QStringList, written);
        m_language = language;
        auto view = TimerView();
        TFormTimerSetting editor(view.get(), 2);
        QVERIFY(!editor.chk_Timer_Enable->isChecked());
        QCOMPARE(editor.cbb_TimerWeek->currentText(), written.at(1));
        QCOMPARE(editor.cbb_TimerHour->currentText(), QStringLiteral("0"));
        QCOMPARE(editor.cbb_TimerMinute->currentText(), QStringLiteral("0"));
        QCOMPARE(editor.cbb_TimerAction->currentText(), written.at(4));
        QVERIFY(!editor.cbb_TimerWeek->isEditable());
        QTest::mouseClick(editor.btn_OK, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(2), 5), written);
        QCOMPARE(TSoftDateTime::TimerDay(view->topLevelItem(2)), 0);
        QCOMPARE(TSoftDateTime::TimerAction(view->topLevelItem(2)), 0);
    }

    void timerEditorTitleAndCaptions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("texts"); // title, week, hour, minute, action, enable, OK, Cancel
        QTest::newRow("row 10 English") << int(ConstLang::English) << 9
                                        << QStringList{"Timer 10", "Week", "Hour", "Minute", "Action", "Enable", "OK", "Cancel"};
        QTest::newRow("row 3 Chinese") << int(ConstLang::Chinese) << 2
                                       << QStringList{"定时器 3", "星期", "时", "分", "动作", "使能", "确定", "取消"};
    }
    void timerEditorTitleAndCaptions()
    {
        QFETCH(int, language);
        QFETCH(int, row);
        QFETCH(QStringList, texts);
        m_language = language;
        auto view = TimerView();
        TFormTimerSetting editor(view.get(), row);
        QCOMPARE((QStringList{editor.windowTitle(), editor.lbl_Timer_Week->text(), editor.lbl_TimerHour->text(),
                              editor.lbl_TimerMinute->text(), editor.lbl_TimerAction->text(),
                              editor.chk_Timer_Enable->text(), editor.btn_OK->text(), editor.btn_NO->text()}),
                 texts);
    }

    void timerEditorLoadsTheRow_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("selected"); // week, hour, minute, action
        QTest::addColumn<bool>("enabled");
        QTest::newRow("full row") << QStringList{kTick, "Wednesday", "8", "30", "7.DO1 Close(ON)"}
                                  << QStringList{"Wednesday", "8", "30", "7.DO1 Close(ON)"} << true;
        QTest::newRow("hour 07 matches no item") << QStringList{kTick, "Friday", "07", "5", "5.Arm"}
                                                 << QStringList{"Friday", "0", "5", "5.Arm"} << true;
        QTest::newRow("unknown texts select the first items") << QStringList{"x", "Someday", "99", "-1", "Dance"}
                                                              << QStringList{"Sunday", "0", "0", "0.Reboot"} << false;
        QTest::newRow("Chinese cells in an English editor") << QStringList{kTick, "每天", "23", "59", "9.继电器2闭合"}
                                                            << QStringList{"Everyday", "23", "59", "9.DO2 Close(ON)"} << true;
    }
    void timerEditorLoadsTheRow()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, selected);
        QFETCH(bool, enabled);
        auto view = TimerView();
        FillRow(view->topLevelItem(0), cells);
        TFormTimerSetting editor(view.get(), 0);
        QCOMPARE(editor.chk_Timer_Enable->isChecked(), enabled);
        QCOMPARE((QStringList{editor.cbb_TimerWeek->currentText(), editor.cbb_TimerHour->currentText(),
                              editor.cbb_TimerMinute->currentText(), editor.cbb_TimerAction->currentText()}),
                 selected);
    }

    void timerEditorSavesTextsAndCodes()
    {
        auto view = TimerView();
        TFormTimerSetting editor(view.get(), 4);
        editor.chk_Timer_Enable->setChecked(true);
        editor.cbb_TimerWeek->setCurrentIndex(TSoftDateTime::EverydayPosition);
        editor.cbb_TimerHour->setCurrentIndex(13);
        editor.cbb_TimerMinute->setCurrentIndex(45);
        editor.cbb_TimerAction->setCurrentIndex(6);
        QTest::mouseClick(editor.btn_OK, Qt::LeftButton);
        QTreeWidgetItem *row = view->topLevelItem(4);
        QCOMPARE(SubItems(row, 5), (QStringList{kTick, "Everyday", "13", "45", "6.Disarm"}));
        QCOMPARE(TSoftDateTime::TimerDay(row), TimerCodes::EveryDayCode);
        QCOMPARE(TSoftDateTime::TimerAction(row), 6);
        QCOMPARE(SubItems(view->topLevelItem(3), 5), QStringList(5, QString()));
    }

    void timerEditorCancelKeepsTextsAndCodes()
    {
        auto view = TimerView();
        QTreeWidgetItem *row = view->topLevelItem(1);
        TBaseSoftInterface::SetSubItem(row, 0, kTick);
        TSoftDateTime::SetTimerDay(row, 3, ConstLang::English);
        TBaseSoftInterface::SetSubItem(row, 2, QStringLiteral("8"));
        TBaseSoftInterface::SetSubItem(row, 3, QStringLiteral("30"));
        TSoftDateTime::SetTimerAction(row, 7, ConstLang::English);
        const QStringList stored = SubItems(row, 5);
        TFormTimerSetting editor(view.get(), 1);
        editor.cbb_TimerAction->setCurrentIndex(0);
        editor.chk_Timer_Enable->setChecked(false);
        QTest::mouseClick(editor.btn_NO, Qt::LeftButton);
        QCOMPARE(SubItems(row, 5), stored);
        QCOMPARE(TSoftDateTime::TimerAction(row), 7);
    }

    void actionCellSurvivesALanguageSwitch()
    {
        // A row showing "5.Arm" opens as the same action after a switch to
        // Chinese, instead of falling back to "0.重启".
        auto view = TimerView();
        QTreeWidgetItem *row = view->topLevelItem(0);
        FillRow(row, {kTick, "Monday", "6", "0", "5.Arm"});
        {
            TFormTimerSetting editor(view.get(), 0);
            QCOMPARE(editor.cbb_TimerAction->currentText(), QStringLiteral("5.Arm"));
        }
        m_language = ConstLang::Chinese;
        TSoftDateTime::BuildTimerLists(m_language);
        {
            TFormTimerSetting editor(view.get(), 0);
            QCOMPARE(editor.cbb_TimerAction->currentText(), QStringLiteral("5.布防"));
            QCOMPARE(editor.cbb_TimerWeek->currentText(), QStringLiteral("一"));
        }
        QCOMPARE(TSoftDateTime::TimerAction(row), 5);
        QCOMPARE(TSoftDateTime::TimerDay(row), 1);
    }

    void retranslateKeepsTheCodes_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("action");
        QTest::newRow("Sunday reboot") << 0 << 0;
        QTest::newRow("Wednesday DO1 close") << 3 << 7;
        QTest::newRow("every day DO2 open") << 15 << 10;
    }
    void retranslateKeepsTheCodes()
    {
        QFETCH(int, day);
        QFETCH(int, action);
        auto view = TimerView();
        QTreeWidgetItem *row = view->topLevelItem(6);
        TSoftDateTime::SetTimerDay(row, day, ConstLang::English);
        TSoftDateTime::SetTimerAction(row, action, ConstLang::English);
        TBaseSoftInterface::SetSubItem(row, TSoftDateTime::HourSubItem, QStringLiteral("12"));

        m_language = ConstLang::Chinese;
        TSoftDateTime::RetranslateTimerRows(view.get(), ConstLang::Chinese);
        QCOMPARE(TBaseSoftInterface::SubItem(row, TSoftDateTime::DaySubItem),
                 ConstLang::TimerWeekTexts(ConstLang::Chinese).at(TimerCodes::DayPosition(day)));
        QCOMPARE(TBaseSoftInterface::SubItem(row, TSoftDateTime::ActionSubItem),
                 ConstLang::TimerActionTexts(ConstLang::Chinese).at(action));
        QCOMPARE(TBaseSoftInterface::SubItem(row, TSoftDateTime::HourSubItem), QStringLiteral("12"));
        QCOMPARE(TSoftDateTime::TimerDay(row), day);
        QCOMPARE(TSoftDateTime::TimerAction(row), action);

        m_language = ConstLang::English;
        TSoftDateTime::RetranslateTimerRows(view.get(), ConstLang::English);
        QCOMPARE(TBaseSoftInterface::SubItem(row, TSoftDateTime::DaySubItem),
                 ConstLang::TimerWeekTexts(ConstLang::English).at(TimerCodes::DayPosition(day)));
        QCOMPARE(TSoftDateTime::TimerAction(row), action);

        // Empty rows stay empty.
        QCOMPARE(SubItems(view->topLevelItem(0), 5), QStringList(5, QString()));
    }

    void codesOfCells_data()
    {
        QTest::addColumn<QString>("dayText");
        QTest::addColumn<QString>("actionText");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("action");
        QTest::newRow("English texts") << "Saturday" << "8.DO1 Open(OFF)" << 6 << 8;
        QTest::newRow("Chinese texts") << "六" << "8.继电器1断开" << 6 << 8;
        QTest::newRow("contained text") << "Tues" << "10.DO2" << 2 << 10;
        QTest::newRow("empty cells") << QString() << QString() << -1 << -1;
        QTest::newRow("unknown texts") << "Someday" << "Dance" << -1 << -1;
    }
    void codesOfCells()
    {
        // Cells written as text alone, as a profile load writes them.
        QFETCH(QString, dayText);
        QFETCH(QString, actionText);
        QFETCH(int, day);
        QFETCH(int, action);
        auto view = TimerView();
        QTreeWidgetItem *row = view->topLevelItem(0);
        TBaseSoftInterface::SetSubItem(row, TSoftDateTime::DaySubItem, dayText);
        TBaseSoftInterface::SetSubItem(row, TSoftDateTime::ActionSubItem, actionText);
        QCOMPARE(TSoftDateTime::TimerDay(row), day);
        QCOMPARE(TSoftDateTime::TimerAction(row), action);
    }

    void aCellRewrittenAsTextDropsItsOldCode()
    {
        auto view = TimerView();
        QTreeWidgetItem *row = view->topLevelItem(0);
        TSoftDateTime::SetTimerAction(row, 5, ConstLang::English);
        TBaseSoftInterface::SetSubItem(row, TSoftDateTime::ActionSubItem, QStringLiteral("9.DO2 Close(ON)"));
        QCOMPARE(TSoftDateTime::TimerAction(row), 9);
        TBaseSoftInterface::SetSubItem(row, TSoftDateTime::ActionSubItem, QString());
        QCOMPARE(TSoftDateTime::TimerAction(row), -1);
    }

    void unnamedCodesShowTheirNumberAndStay_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("dayText");
        QTest::addColumn<QString>("actionText");
        QTest::newRow("day code 9, action 14") << 9 << 14 << "9" << "14";
        QTest::newRow("unset action 0xFF") << 15 << 0xFF << "Everyday" << "255";
        QTest::newRow("day code 7 is every day") << 7 << 10 << "Everyday" << "10.DO2 Open(OFF)";
        QTest::newRow("negative leaves the cells empty") << -1 << -1 << "" << "";
    }
    void unnamedCodesShowTheirNumberAndStay()
    {
        // A code the lists do not name is shown and kept, in either language.
        QFETCH(int, day);
        QFETCH(int, action);
        QFETCH(QString, dayText);
        QFETCH(QString, actionText);
        auto view = TimerView();
        QTreeWidgetItem *row = view->topLevelItem(0);
        TSoftDateTime::SetTimerDay(row, day, ConstLang::English);
        TSoftDateTime::SetTimerAction(row, action, ConstLang::English);
        QCOMPARE(TBaseSoftInterface::SubItem(row, TSoftDateTime::DaySubItem), dayText);
        QCOMPARE(TBaseSoftInterface::SubItem(row, TSoftDateTime::ActionSubItem), actionText);
        QCOMPARE(TSoftDateTime::TimerDay(row), day);
        QCOMPARE(TSoftDateTime::TimerAction(row), action);

        m_language = ConstLang::Chinese;
        TSoftDateTime::RetranslateTimerRows(view.get(), ConstLang::Chinese);
        QCOMPARE(TSoftDateTime::TimerDay(row), day);
        QCOMPARE(TSoftDateTime::TimerAction(row), action);
        // Written as text alone (a profile load), the numbers read back as the codes.
        const QString shownDay = TBaseSoftInterface::SubItem(row, TSoftDateTime::DaySubItem);
        const QString shownAction = TBaseSoftInterface::SubItem(row, TSoftDateTime::ActionSubItem);
        QTreeWidgetItem *copy = view->topLevelItem(1);
        TBaseSoftInterface::SetSubItem(copy, TSoftDateTime::DaySubItem, shownDay);
        TBaseSoftInterface::SetSubItem(copy, TSoftDateTime::ActionSubItem, shownAction);
        QCOMPARE(TSoftDateTime::TimerDay(copy), day == 7 ? TimerCodes::EveryDayCode : day);
        QCOMPARE(TSoftDateTime::TimerAction(copy), action);
    }

    void clearLineEmptiesAllFiveCellsAndTheirCodes()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        QTreeWidgetItem *row = views.lvTimer->topLevelItem(3);
        FillRow(row, {kTick, QString(), "8", "30"});
        TSoftDateTime::SetTimerDay(row, 2, ConstLang::English);
        TSoftDateTime::SetTimerAction(row, 4, ConstLang::English);

        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Timer_Delete"))->trigger();
        QCOMPARE(m_messages, QStringList{QStringLiteral("Please select a setting option.")});
        QCOMPARE(SubItems(row, 5).at(2), QStringLiteral("8"));

        row->setSelected(true);
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Timer_Delete"))->trigger();
        QCOMPARE(SubItems(row, 5), QStringList(5, QString()));
        QCOMPARE(row->text(0), QStringLiteral("  4"));
        QVERIFY(!row->data(TSoftDateTime::ActionSubItem + 1, Qt::UserRole).isValid());
        QCOMPARE(TSoftDateTime::TimerAction(row), -1);
    }
};

QTEST_MAIN(TestPhoneTimerViews)
#include "tst_PhoneTimerViews.moc"
