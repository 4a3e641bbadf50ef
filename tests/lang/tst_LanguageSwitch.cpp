// The language switch on the main window: every target of the tables, the
// texts that depend on the model or on the user's selection, the timer cells
// and the column widths.
#include "app/K900_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "lang/TLanguage_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolBox>
#include <QTreeWidget>

#include <memory>
#include <optional>

using ConstLang::TargetKind;

using namespace MainWindowFixture;

namespace {

QString LanguageName(int language)
{
    return language == ConstLang::Chinese ? QStringLiteral("Chinese") : QStringLiteral("English");
}

std::optional<QString> TabText(const TFormK900 &window, const QWidget *sheet)
{
    for (QTabWidget *pages : window.findChildren<QTabWidget *>()) {
        const int tab = pages->indexOf(const_cast<QWidget *>(sheet));
        if (tab >= 0)
            return pages->tabText(tab);
    }
    return std::nullopt;
}

// What the window shows for a target; std::nullopt when the control (or its
// column, row or section) is not there.
std::optional<QString> ShownText(const TFormK900 &window, const ConstLang::TLangTarget &target)
{
    const QString name = QString::fromLatin1(target.control);
    switch (target.kind) {
    case TargetKind::Caption:
        if (auto *menu = window.findChild<QMenu *>(name))
            return menu->title();
        if (auto *action = window.findChild<QAction *>(name))
            return action->text();
        if (auto *group = window.findChild<QGroupBox *>(name))
            return group->title();
        if (auto *button = window.findChild<QAbstractButton *>(name))
            return button->text();
        if (auto *label = window.findChild<QLabel *>(name))
            return label->text();
        if (auto *sheet = window.findChild<QWidget *>(name))
            return TabText(window, sheet);
        return std::nullopt;
    case TargetKind::Label:
        if (auto *edit = window.findChild<TLabeledEdit *>(name))
            return edit->labelText();
        return std::nullopt;
    case TargetKind::Hint:
        if (auto *edit = window.findChild<TLabeledEdit *>(name))
            return edit->hint();
        if (auto *widget = window.findChild<QWidget *>(name))
            return widget->toolTip();
        return std::nullopt;
    case TargetKind::Column:
        if (auto *view = window.findChild<QTreeWidget *>(name); view && target.index < view->columnCount())
            return view->headerItem()->text(target.index);
        return std::nullopt;
    case TargetKind::Row:
        if (auto *view = window.findChild<QTreeWidget *>(name);
            view && target.index < view->topLevelItemCount())
            return view->topLevelItem(target.index)->text(0);
        return std::nullopt;
    case TargetKind::Section:
        if (auto *bar = window.findChild<QToolBox *>(name); bar && target.index < bar->count())
            return bar->itemText(target.index);
        return std::nullopt;
    case TargetKind::GridHeader:
        if (auto *grid = window.findChild<QAbstractItemView *>(name); grid && grid->model())
            return grid->model()->headerData(target.index, Qt::Horizontal).toString();
        return std::nullopt;
    }
    return std::nullopt;
}

QString TargetRowName(const ConstLang::TLangTarget &target)
{
    static const char *const kinds[] = {"caption", "label", "hint", "column", "row", "section",
                                        "grid header"};
    QString name = QString::fromLatin1(target.control) + QLatin1Char(' ')
                   + QString::fromLatin1(kinds[int(target.kind)]);
    if (target.index >= 0)
        name += QLatin1Char(' ') + QString::number(target.index);
    return name;
}

QTreeWidgetItem *TimerRow(const TFormK900 &window, int row)
{
    return window.Views().lvTimer->topLevelItem(row);
}

} // namespace

class TestLanguageSwitch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_window = ViewWindow();
        QVERIFY(m_window);
    }

    void cleanupTestCase()
    {
        m_window.reset();
    }

    // Every target of the tables, switched into each language from the other.
    void everyTargetFollowsTheSwitch_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");

        const std::vector<ConstLang::TLangTarget> &targets = ConstLang::Targets();
        for (int to : {ConstLang::Chinese, ConstLang::English}) {
            const int from = 1 - to;
            for (int index = 0; index < int(targets.size()); ++index) {
                const QString row = TargetRowName(targets[index]) + QStringLiteral(", ")
                                    + LanguageName(from) + QStringLiteral(" to ") + LanguageName(to);
                QTest::newRow(qPrintable(row)) << index << from << to;
            }
        }
    }

    void everyTargetFollowsTheSwitch()
    {
        QFETCH(int, target);
        QFETCH(int, from);
        QFETCH(int, to);
        const ConstLang::TLangTarget &entry = ConstLang::Targets().at(target);

        Switch(*m_window, from);
        const std::optional<QString> before = ShownText(*m_window, entry);
        QVERIFY2(before.has_value(), "the window has no control for this target");
        Switch(*m_window, to);
        const std::optional<QString> after = ShownText(*m_window, entry);
        QVERIFY(after.has_value());
        // A language that leaves the target alone keeps the previous text.
        QCOMPARE(*after, entry.Text(to).value_or(*before));
    }

    void everyTargetFindsItsControl()
    {
        for (int language : {ConstLang::Chinese, ConstLang::English}) {
            Switch(*m_window, language);
            QCOMPARE(TLanguage::ApplyTable(*m_window, language), QStringList());
        }
    }

    // Texts as written in the tables, read off the controls, including the
    // ones only one language writes.
    void shownTexts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");

        QTest::newRow("File menu, English") << 1 << "N_File" << int(TargetKind::Caption) << -1 << "File(&R)";
        QTest::newRow("reboot with ideographic spaces") << 0 << "Pop_ReBoot" << int(TargetKind::Caption) << -1
                                                        << QString::fromUtf8("重　　启");
        QTest::newRow("frame bar keeps inner spaces") << 1 << "FrameBar" << int(TargetKind::Section) << 2
                                                      << "  Number   Setting";
        QTest::newRow("frame bar history, leading space") << 1 << "FrameBar" << int(TargetKind::Section) << 5
                                                          << " Historical  Record";
        QTest::newRow("power-off hint stays English in Chinese")
            << 0 << "lbledt_PwrOffTime" << int(TargetKind::Hint) << -1
            << "default 0,means SMS alert immediately once power off; 999 means not alert";
        QTest::newRow("APN hint stays English in Chinese")
            << 0 << "lbledt_AccessPontName" << int(TargetKind::Hint) << -1
            << "APN,User Name,Password provided by your GPRS/3G/4G Operator.";
        QTest::newRow("GPRS group emptied") << 0 << "grp_GPRS_BasicSeting" << int(TargetKind::Caption) << -1 << "";
        QTest::newRow("relay row 2, Chinese") << 0 << "lvDo" << int(TargetKind::Row) << 1
                                              << QString::fromUtf8("继电器2");
        QTest::newRow("history grid header 7, Chinese") << 0 << "SgHist" << int(TargetKind::GridHeader) << 7
                                                        << QString::fromUtf8("类型");
        QTest::newRow("status bar debug box, Chinese") << 0 << "chk_Debug" << int(TargetKind::Caption) << -1
                                                       << QString::fromUtf8("调试");
        QTest::newRow("welcome sheet, English") << 1 << "abSheetVerInfo" << int(TargetKind::Caption) << -1
                                                << "Welcome";
        QTest::newRow("pop-up item of the timer view, Chinese")
            << 0 << "Pop_Timer_Delete" << int(TargetKind::Caption) << -1 << QString::fromUtf8("清　行");
    }

    void shownTexts()
    {
        QFETCH(int, language);
        QFETCH(QString, control);
        QFETCH(int, kind);
        QFETCH(int, index);
        QFETCH(QString, expected);

        Switch(*m_window, ConstLang::English);
        Switch(*m_window, language);
        const QByteArray name = control.toLatin1();
        const ConstLang::TLangTarget target{name.constData(), TargetKind(kind), index, nullptr, nullptr};
        QCOMPARE(ShownText(*m_window, target).value_or(QStringLiteral("<no control>")), expected);
    }

    void captionAndSerialLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");

        QTest::newRow("Chinese") << 0 << QString::fromUtf8("K801/2/3 温湿度配置软件  V2.39");
        QTest::newRow("English") << 1 << "K801/2/3 Temperature Humidity Data Logger Configurator  V2.39";
    }

    void captionAndSerialLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, title);

        Switch(*m_window, 1 - language);
        Switch(*m_window, language);
        QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(m_window->Language(), language);
        QCOMPARE(TComm::Language(), language);
    }

    // The communication type the box showed before the switch stays selected.
    void gprsTypeKeepsItsSelection_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");

        for (int selected : {-1, 0, 1, 2}) {
            for (int to : {ConstLang::Chinese, ConstLang::English}) {
                for (int from : {ConstLang::Chinese, ConstLang::English}) {
                    const QString row = QStringLiteral("item %1, %2 to %3")
                                            .arg(selected)
                                            .arg(LanguageName(from), LanguageName(to));
                    QTest::newRow(qPrintable(row)) << selected << from << to;
                }
            }
        }
    }

    void gprsTypeKeepsItsSelection()
    {
        QFETCH(int, selected);
        QFETCH(int, from);
        QFETCH(int, to);

        auto *box = m_window->findChild<QComboBox *>(QStringLiteral("cbb_GPRSCommunication_Proctocol"));
        QVERIFY(box);
        Switch(*m_window, from);
        box->setCurrentIndex(selected);
        QSignalSpy changes(box, &QComboBox::currentIndexChanged);
        Switch(*m_window, to);

        QStringList items;
        for (int item = 0; item < box->count(); ++item)
            items << box->itemText(item);
        const QStringList expected = to == ConstLang::Chinese
                                         ? QStringList{QString::fromUtf8("0.禁用"), QString::fromUtf8("1.Modbus RTU协议"),
                                                       QString::fromUtf8("2.自定义协议")}
                                         : QStringList{"0.Disable", "1.Modbus RTU Protocol", "2.Definition Protocol"};
        QCOMPARE(items, expected);
        QCOMPARE(box->currentIndex(), selected);
        // The selection never changed, so nothing that follows the box was told it did.
        QCOMPARE(changes.count(), 0);
    }

    // Day and action cells show the new language and keep their codes.
    void timerCellsFollowTheSwitch_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("withCode");
        QTest::addColumn<QString>("dayText");
        QTest::addColumn<QString>("actionText");

        QTest::newRow("Wednesday, DO2 open, English to Chinese")
            << 3 << 10 << 1 << 0 << true << QString::fromUtf8("三") << QString::fromUtf8("10.继电器2断开");
        QTest::newRow("every day, reboot, Chinese to English")
            << 7 << 0 << 0 << 1 << true << "Everyday" << "0.Reboot";
        QTest::newRow("Sunday, arm, Chinese to English") << 0 << 5 << 0 << 1 << true << "Sunday" << "5.Arm";
        QTest::newRow("Monday, DO1 close, text without code, English to Chinese")
            << 1 << 7 << 1 << 0 << false << QString::fromUtf8("一") << QString::fromUtf8("7.继电器1闭合");
        QTest::newRow("Saturday, disarm, text without code, Chinese to English")
            << 6 << 6 << 0 << 1 << false << "Saturday" << "6.Disarm";
        QTest::newRow("Friday, upload, same language again")
            << 5 << 1 << 1 << 1 << true << "Friday" << "1.Upload Data By GPRS";
    }

    void timerCellsFollowTheSwitch()
    {
        QFETCH(int, day);
        QFETCH(int, action);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, withCode);
        QFETCH(QString, dayText);
        QFETCH(QString, actionText);

        Switch(*m_window, from);
        QTreeWidgetItem *row = TimerRow(*m_window, 4);
        QVERIFY(row);
        if (withCode) {
            TSoftDateTime::SetTimerDay(row, day, from);
            TSoftDateTime::SetTimerAction(row, action, from);
        } else {
            // As a profile load leaves them: the text of a language, no code.
            row->setData(TSoftDateTime::DaySubItem + 1, Qt::UserRole, QVariant());
            row->setData(TSoftDateTime::ActionSubItem + 1, Qt::UserRole, QVariant());
            row->setText(TSoftDateTime::DaySubItem + 1, ConstLang::TimerWeekTexts(from).at(day));
            row->setText(TSoftDateTime::ActionSubItem + 1, ConstLang::TimerActionTexts(from).at(action));
        }
        row->setText(TSoftDateTime::HourSubItem + 1, QStringLiteral("8"));

        Switch(*m_window, to);
        QCOMPARE(row->text(TSoftDateTime::DaySubItem + 1), dayText);
        QCOMPARE(row->text(TSoftDateTime::ActionSubItem + 1), actionText);
        QCOMPARE(row->text(TSoftDateTime::HourSubItem + 1), QStringLiteral("8"));
        QCOMPARE(TSoftDateTime::TimerDay(row), day);
        QCOMPARE(TSoftDateTime::TimerAction(row), action);
        // The editor's choice lists follow as well.
        QCOMPARE(TSoftDateTime::WeekList().at(day), dayText);
        QCOMPARE(TSoftDateTime::ActionList().at(action), actionText);

        // And back: the cell is the same timer in the first language.
        Switch(*m_window, from);
        QCOMPARE(row->text(TSoftDateTime::DaySubItem + 1), ConstLang::TimerWeekTexts(from).at(day));
        QCOMPARE(TSoftDateTime::TimerAction(row), action);
    }

    void emptyTimerCellsStayEmpty()
    {
        Switch(*m_window, ConstLang::English);
        QTreeWidgetItem *row = TimerRow(*m_window, 7);
        TSoftDateTime::SetTimerDay(row, -1, ConstLang::English);
        TSoftDateTime::SetTimerAction(row, -1, ConstLang::English);
        Switch(*m_window, ConstLang::Chinese);
        QCOMPARE(row->text(TSoftDateTime::DaySubItem + 1), QString());
        QCOMPARE(row->text(TSoftDateTime::ActionSubItem + 1), QString());
        QCOMPARE(TSoftDateTime::TimerDay(row), -1);
    }

    // The columns are sized again for the new captions.
    void columnWidthsFollowTheCaptions()
    {
        QTreeWidget *lvDo = m_window->Views().lvDo;
        Switch(*m_window, ConstLang::English);
        const int englishWidth = lvDo->header()->sectionSize(1);
        Switch(*m_window, ConstLang::Chinese);
        const int chineseWidth = lvDo->header()->sectionSize(1);
        // "Channel Name(Max.40)" is 20 bytes, "通道名称" 8.
        QVERIFY2(chineseWidth < englishWidth, qPrintable(QStringLiteral("%1 vs %2").arg(chineseWidth).arg(englishWidth)));
        const QSize size = m_window->size();
        Switch(*m_window, ConstLang::English);
        QCOMPARE(lvDo->header()->sectionSize(1), englishWidth);
        QCOMPARE(m_window->size(), size);
    }

    // Sensor rows and history value headers follow the model of the version reply.
    void modelDependentTexts_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("rows");

        const QString t = QString::fromUtf8("温度");
        const QString h = QString::fromUtf8("湿度");
        QTest::newRow("K801, Chinese") << "K801" << 0
                                       << QStringList{t + "1", h + "1", t + "2", h + "2", t + "3", h + "3", t + "4", h + "4"};
        QTest::newRow("K802, English") << "K802" << 1
                                       << QStringList{"Temperature1", "Humidity1", "Temperature2", "Humidity2",
                                                      "Temperature3", "Humidity3", "Temperature4", "Humidity4",
                                                      "Temperature5", "Humidity5", "Temperature6", "Humidity6",
                                                      "Temperature7", "Humidity7", "Temperature8", "Humidity8"};
        QTest::newRow("K803, Chinese") << "K803" << 0
                                       << QStringList{t + "1", t + "2", t + "3", t + "4", t + "5", t + "6", t + "7", t + "8"};
    }

    void modelDependentTexts()
    {
        QFETCH(QString, model);
        QFETCH(int, language);
        QFETCH(QStringList, rows);

        m_window.reset();
        std::unique_ptr<TFormK900> window = ConnectedWindow(model);
        QVERIFY(window);
        Switch(*window, 1 - language);
        Switch(*window, language);

        QTreeWidget *lvTh = window->Views().lvTh;
        QStringList captions;
        for (int row = 0; row < lvTh->topLevelItemCount(); ++row)
            captions << lvTh->topLevelItem(row)->text(0);
        QCOMPARE(captions, rows);

        auto *grid = window->findChild<QAbstractItemView *>(QStringLiteral("SgHist"));
        QVERIFY(grid);
        const QString firstValue = grid->model()->headerData(8, Qt::Horizontal).toString();
        QCOMPARE(firstValue, ConstLang::HistoryValueHeaders(window->ModelIndex(), language).value(0));

        window.reset();
        m_window = ViewWindow();
        QVERIFY(m_window);
    }

    // Before the first version reply the sensor rows keep their captions.
    void sensorRowsWaitForTheModel()
    {
        QTreeWidget *lvTh = m_window->Views().lvTh;
        QCOMPARE(m_window->ModelIndex(), -1);
        if (lvTh->topLevelItemCount() == 0)
            (new QTreeWidgetItem(lvTh))->setText(0, QStringLiteral("Temperature1"));
        Switch(*m_window, ConstLang::Chinese);
        QCOMPARE(lvTh->topLevelItem(0)->text(0), QStringLiteral("Temperature1"));
    }

private:
    std::unique_ptr<TFormK900> m_window;
};

QTEST_MAIN(TestLanguageSwitch)
#include "tst_LanguageSwitch.moc"
