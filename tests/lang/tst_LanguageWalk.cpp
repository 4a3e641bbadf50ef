// After a read, a history read and a switch of language either way, no text
// the window shows (labels, buttons, headers, list cells, menu items, status
// bar, navigation buttons, the device card, Qt's own buttons) is left in the
// other language.
#include "app/K900_Frm.h"
#include "session/DeviceSession_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "history/HistorySheet_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "lang/QtTranslations_Unt.h"
#include "lang/TLanguage_Unt.h"
#include "look/ComponentEx.h"
#include "dialogs/BasicAnimate_Frm.h"
#include "dialogs/MessageBox_Frm.h"
#include "history/HistoryChart_Frm.h"
#include "views/DoSetting_Frm.h"
#include "views/PhoneSetting_Frm.h"
#include "views/SettingsViews_Unt.h"
#include "views/ThSetting_Frm.h"
#include "views/TimerSetting_Frm.h"
#include "views/FrameBar_Frm.h"
#include "views/MainSheets.h"
#include "fixtures/MainWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLineSeries>
#include <QValueAxis>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBox>
#include <QTreeWidget>

using namespace MainWindowFixture;

namespace {

constexpr int FlowWaitMs = 60000;

struct TShown
{
    QString where;
    QString text;
};

// Columns of the lists that hold what the device stores (names,
// descriptions, SMS texts, numbers): the user's data, in whatever language
// the user wrote it.
QSet<int> DeviceTextColumns(const QString &list)
{
    if (list == QLatin1String("lvDo"))
        return {1, 4, 5};
    if (list == QLatin1String("lvTh"))
        return {1, 7, 8, 9};
    if (list == QLatin1String("lvTel"))
        return {1};
    return {};
}

void AddTree(QList<TShown> &shown, QTreeWidget *view)
{
    const QString name = view->objectName();
    const QSet<int> skipped = DeviceTextColumns(name);
    for (int column = 0; column < view->columnCount(); ++column)
        shown.append({name + QStringLiteral(" header %1").arg(column), view->headerItem()->text(column)});
    for (int row = 0; row < view->topLevelItemCount(); ++row) {
        for (int column = 0; column < view->columnCount(); ++column) {
            if (!skipped.contains(column))
                shown.append({name + QStringLiteral(" cell %1,%2").arg(row).arg(column),
                              view->topLevelItem(row)->text(column)});
        }
    }
}

// The history grid: headers, and the state columns of the first records.
void AddGrid(QList<TShown> &shown, QTableView *grid)
{
    const QAbstractItemModel *model = grid->model();
    for (int column = 0; column < model->columnCount(); ++column)
        shown.append({QStringLiteral("SgHist header %1").arg(column),
                      model->headerData(column, Qt::Horizontal).toString()});
    for (int row = 0; row < 40; ++row) {
        for (int column = 4; column <= 7 && column < model->columnCount(); ++column)
            shown.append({QStringLiteral("SgHist cell %1,%2").arg(row).arg(column),
                          model->index(row, column).data().toString()});
    }
}

void AddWidgets(QList<TShown> &shown, const QList<QWidget *> &widgets)
{
    for (QWidget *widget : widgets) {
        const QString name = widget->objectName();
        if (!widget->toolTip().isEmpty())
            shown.append({name + QStringLiteral(" hint"), widget->toolTip()});
        if (auto *label = qobject_cast<QLabel *>(widget))
            shown.append({name + QStringLiteral(" label"), label->text()});
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            shown.append({name + QStringLiteral(" button"), button->text()});
        else if (auto *group = qobject_cast<QGroupBox *>(widget))
            shown.append({name + QStringLiteral(" group"), group->title()});
        else if (auto *pages = qobject_cast<QTabWidget *>(widget)) {
            for (int tab = 0; tab < pages->count(); ++tab)
                shown.append({name + QStringLiteral(" tab %1").arg(tab), pages->tabText(tab)});
        } else if (auto *bar = qobject_cast<QToolBox *>(widget)) {
            for (int section = 0; section < bar->count(); ++section)
                shown.append({name + QStringLiteral(" section %1").arg(section), bar->itemText(section)});
        } else if (auto *box = qobject_cast<QComboBox *>(widget)) {
            for (int item = 0; item < box->count(); ++item)
                shown.append({name + QStringLiteral(" item %1").arg(item), box->itemText(item)});
        } else if (auto *tree = qobject_cast<QTreeWidget *>(widget)) {
            AddTree(shown, tree);
        } else if (auto *grid = qobject_cast<QTableView *>(widget)) {
            AddGrid(shown, grid);
        }
    }
}

// A window of its own (a dialog, the debug window): its title and every
// text of its controls.
void AddWindow(QList<TShown> &shown, QWidget *window)
{
    shown.append({window->objectName() + QStringLiteral(" title"), window->windowTitle()});
    AddWidgets(shown, window->findChildren<QWidget *>());
}

QList<TShown> ShownTexts(TFormK900 &window)
{
    QList<TShown> shown;
    shown.append({QStringLiteral("window title"), window.windowTitle()});
    AddWidgets(shown, window.findChildren<QWidget *>());
    for (QAction *action : window.findChildren<QAction *>())
        shown.append({action->objectName() + QStringLiteral(" menu item"), action->text()});
    return shown;
}

void AddTexts(QSet<QString> &texts, const QStringList &list)
{
    for (const QString &text : list)
        texts.insert(text);
}

// Every text the tables give for language.
QSet<QString> TableTexts(int language)
{
    QSet<QString> texts;
    // A target one language leaves unchanged keeps the other's text on purpose.
    for (const ConstLang::TLangTarget &target : ConstLang::Targets()) {
        const std::optional<QString> text = target.Text(language);
        if (text && target.Text(ConstLang::Chinese) && target.Text(ConstLang::English))
            texts.insert(*text);
    }
    for (const auto *table : {&ConstLang::Texts(), &ConstLang::PointOfUseTexts()}) {
        for (const ConstLang::TLangText &text : *table)
            texts.insert(ConstLang::Text(QString::fromLatin1(text.key), language));
    }
    for (int model = 0; model < 3; ++model) {
        AddTexts(texts, ConstLang::ThRowCaptions(model, language));
        AddTexts(texts, ConstLang::HistoryValueHeaders(model, language));
    }
    AddTexts(texts, ConstLang::GprsProtocolItems(language));
    AddTexts(texts, ConstLang::TimerActionTexts(language));
    AddTexts(texts, ConstLang::TimerWeekTexts(language));
    texts.remove(QString());
    return texts;
}

bool HasChinese(const QString &text)
{
    for (const QChar character : text) {
        if (character.unicode() >= 0x3000)
            return true;
    }
    return false;
}

// The shown texts that belong to the other language. In English no Chinese
// character may be left; in Chinese no English text of the tables that the
// Chinese table words differently, whole or as the caption before a value.
QStringList Offenders(const QList<TShown> &shown, int language)
{
    QStringList offenders;
    QSet<QString> foreign;
    if (language == ConstLang::Chinese)
        foreign = TableTexts(ConstLang::English) - TableTexts(ConstLang::Chinese);
    for (const TShown &item : shown) {
        bool wrong = false;
        if (language == ConstLang::English) {
            wrong = HasChinese(item.text);
        } else {
            for (const QString &text : std::as_const(foreign)) {
                if (item.text == text || (text.endsWith(QLatin1Char(':')) && item.text.startsWith(text))
                    || item.text.endsWith(QStringLiteral("  ") + text)) {
                    wrong = true;
                    break;
                }
            }
        }
        if (wrong)
            offenders << item.where + QStringLiteral(": ") + item.text;
    }
    return offenders;
}

QString YesButtonText(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
                    QMessageBox::Yes | QMessageBox::No, parent);
    return box.button(QMessageBox::Yes)->text();
}

// The folder of the screenshot walk: K80X_GRAB_FOLDER when set, else the
// build tree's screenshots folder.
QString GrabFolder()
{
    QString folder = qEnvironmentVariable("K80X_GRAB_FOLDER");
    if (folder.isEmpty())
        folder = QStringLiteral(K80X_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    return folder;
}

void SaveGrab(QWidget *widget, const QString &name)
{
    QVERIFY2(widget->grab().save(GrabFolder() + QLatin1Char('/') + name + QStringLiteral(".png")), qPrintable(name));
}

// A picture of every page of the window, of the history chart, of the
// editors and of the small windows, at the smallest window size and at
// 1920 x 1080, for looking at the layouts: "<tag>_<size>_<page>.png".
void GrabPages(TFormK900 &window, const QString &tag)
{
    const TMainSheets &sheets = window.Sheets();
    const QSize size = window.size();
    for (const QSize &shown : {window.minimumSize(), QSize(1920, 1080)}) {
        window.resize(shown);
        const QString prefix = QStringLiteral("%1_%2x%3_").arg(tag).arg(shown.width()).arg(shown.height());
        sheets.PageControl->setCurrentIndex(0);
        QTest::qWait(50);
        SaveGrab(&window, prefix + QStringLiteral("welcome"));
        for (int section = 0; section < TFrameBar::SectionCount; ++section) {
            TFrameBar::SelectPages(sheets, TFrameBar::SectionPages(section));
            QTest::qWait(50);
            SaveGrab(&window, prefix + QStringLiteral("section%1").arg(section));
        }
        TFrameBar::SelectPages(sheets, TFrameBar::SectionPages(1));
        sheets.PageControl_DIDOTH->setCurrentIndex(1);
        QTest::qWait(50);
        SaveGrab(&window, prefix + QStringLiteral("th"));
        sheets.PageControl_DIDOTH->setCurrentIndex(0);
        TFrameBar::SelectPages(sheets, TFrameBar::SectionPages(5));
        window.History()->ShowChart();
        QTest::qWait(50);
        SaveGrab(&window, prefix + QStringLiteral("chart"));
        window.History()->tab_History->setCurrentIndex(0);
    }
    window.resize(size);
    sheets.PageControl->setCurrentIndex(0);

    const TSettingsViews &views = window.Views();
    const auto grabDialog = [&tag](QWidget *dialog, const char *name) {
        dialog->show();
        QTest::qWait(30);
        SaveGrab(dialog, tag + QStringLiteral("_dialog_") + QLatin1String(name));
        dialog->hide();
    };
    {
        TFormDoSetting editor(views.lvDo, 0, &window);
        grabDialog(&editor, "do");
    }
    {
        TFormThSetting editor(views.lvTh, 0, &window);
        grabDialog(&editor, "th");
    }
    {
        TFormPhoneSetting editor(views.lvTel, 0, &window);
        grabDialog(&editor, "phone");
    }
    {
        TFormTimerSetting editor(views.lvTimer, 0, &window);
        grabDialog(&editor, "timer");
    }
    {
        TFormBasicAnimate progress(&window);
        grabDialog(&progress, "progress");
    }
    TFormMessage::instance()->ShowMessage(QStringLiteral("-"), window.windowTitle(), nullptr);
    SaveGrab(TFormMessage::instance(), tag + QStringLiteral("_dialog_message"));
    TFormMessage::instance()->hide();
    if (auto *debugItem = window.findChild<QAction *>(QStringLiteral("N_ProtocolDebug"))) {
        debugItem->setChecked(true);
        if (auto *debug = window.findChild<QWidget *>(QStringLiteral("FormProtocolDebug")))
            SaveGrab(debug, tag + QStringLiteral("_dialog_debug"));
        debugItem->setChecked(false);
    }
}

bool ReadSettings(TFormK900 &window)
{
    QSignalSpy finished(&window, &TFormK900::FlowFinished);
    window.Pop_ReadMaster_SetingClick();
    return finished.wait(FlowWaitMs) && finished.first().at(0).toBool();
}

} // namespace

class TestLanguageWalk : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QtTranslations::Use(ConstLang::English); }

    void everyShownTextFollowsTheLanguage()
    {
        auto window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        QVERIFY(ReadSettings(*window));
        QTRY_VERIFY_WITH_TIMEOUT(!window->Session()->busy(), FlowWaitMs);
        QSignalSpy values(window.get(), &TFormK900::ThValuesReply);
        window->Menu_R_THClick();
        QVERIFY(values.wait(FlowWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(!window->Session()->busy(), FlowWaitMs);
        QSignalSpy relays(window.get(), &TFormK900::DoStatusReply);
        window->Menu_R_DOClick();
        QVERIFY(relays.wait(FlowWaitMs));
        QVERIFY(!window->Views().lvDo->topLevelItem(0)->text(3).isEmpty());

        window->History()->lbledt_ReadQty->setText(QStringLiteral("8"));
        window->History()->btn_ReadHistroyFullClick();
        QTRY_VERIFY_WITH_TIMEOUT(!window->History()->Grid().Cell(7, 1).isEmpty(), FlowWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!window->Session()->busy(), FlowWaitMs);

        // A navigation frame made before the switches, and the status bar's
        // "Disconnected".
        auto *bar = window->findChild<TFrameBar *>(QStringLiteral("FrameBar"));
        QVERIFY(bar);
        bar->setCurrentIndex(3);
        QTRY_VERIFY(!window->findChild<QWidget *>(QStringLiteral("FormBasice")));
        window->Pop_DisCommPortClick();

        for (int language : {ConstLang::Chinese, ConstLang::English, ConstLang::Chinese, ConstLang::English}) {
            if (language == ConstLang::Chinese)
                TLanguage::N_CNClick(*window);
            else
                TLanguage::N_ENClick(*window);
            GrabPages(*window, language == ConstLang::Chinese ? QStringLiteral("zh") : QStringLiteral("en"));
            const QList<TShown> shown = ShownTexts(*window);
            QVERIFY(shown.size() > 300);
            const QStringList offenders = Offenders(shown, language);
            QVERIFY2(offenders.isEmpty(),
                     qPrintable((language == ConstLang::Chinese ? QStringLiteral("Chinese: ")
                                                                : QStringLiteral("English: "))
                                + offenders.join(QStringLiteral(" | "))));
            if (language == ConstLang::Chinese)
                QVERIFY(window->StatusText().endsWith(QStringLiteral("已经断开")));
            else
                QVERIFY(window->StatusText().endsWith(QStringLiteral("Disconnected")));
        }
    }

    void viewModeFollowsTheLanguage()
    {
        auto window = ViewWindow();
        QVERIFY(window);
        for (int language : {ConstLang::English, ConstLang::Chinese, ConstLang::English}) {
            window->ApplyLanguage(language);
            const QStringList offenders = Offenders(ShownTexts(*window), language);
            QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QStringLiteral(" | "))));
        }
    }

    // The debug window, the editors, the progress and message windows and
    // the chart page, made before and after switches either way.
    void windowsOfTheirOwnFollowTheLanguage()
    {
        auto window = ViewWindow();
        QVERIFY(window);
        auto *debugItem = window->findChild<QAction *>(QStringLiteral("N_ProtocolDebug"));
        QVERIFY(debugItem);
        debugItem->setChecked(true);
        auto *debug = window->findChild<QWidget *>(QStringLiteral("FormProtocolDebug"));
        QVERIFY(debug);
        THistoryChart *chart = window->History()->Chart();
        QVERIFY(chart);
        chart->SetData(THistoryChartData());
        QVERIFY(!chart->lbl_ChartNote->text().isEmpty());
        const TSettingsViews &views = window->Views();

        for (int language : {ConstLang::Chinese, ConstLang::English, ConstLang::Chinese}) {
            window->ApplyLanguage(language);
            QList<TShown> shown;
            AddWindow(shown, debug);
            AddWidgets(shown, chart->findChildren<QWidget *>());
            shown.append({QStringLiteral("chart note"), chart->lbl_ChartNote->text()});
            shown.append({QStringLiteral("temperature axis"), chart->TemperatureAxis()->titleText()});
            shown.append({QStringLiteral("humidity axis"), chart->HumidityAxis()->titleText()});
            {
                TFormBasicAnimate progress(window.get());
                AddWindow(shown, &progress);
            }
            TFormMessage::instance()->ShowMessage(QStringLiteral("-"), QString(), nullptr);
            AddWindow(shown, TFormMessage::instance());
            TFormMessage::instance()->hide();
            {
                TFormDoSetting doEditor(views.lvDo, 0, window.get());
                AddWindow(shown, &doEditor);
                TFormThSetting thEditor(views.lvTh, 0, window.get());
                AddWindow(shown, &thEditor);
                TFormPhoneSetting phoneEditor(views.lvTel, 0, window.get());
                AddWindow(shown, &phoneEditor);
                TFormTimerSetting timerEditor(views.lvTimer, 0, window.get());
                AddWindow(shown, &timerEditor);
            }
            QVERIFY(shown.size() > 60);
            const QStringList offenders = Offenders(shown, language);
            QVERIFY2(offenders.isEmpty(),
                     qPrintable((language == ConstLang::Chinese ? QStringLiteral("Chinese: ")
                                                                : QStringLiteral("English: "))
                                + offenders.join(QStringLiteral(" | "))));
            if (language == ConstLang::Chinese)
                QCOMPARE(debug->windowTitle(), QStringLiteral("调试串口"));
            else
                QCOMPARE(debug->windowTitle(), QStringLiteral("Serial Port Debug"));
        }
        debugItem->setChecked(false);
    }

    void languageMenuTicksTheLanguageInUse()
    {
        auto window = ViewWindow();
        QVERIFY(window);
        auto *chinese = window->findChild<QAction *>(QStringLiteral("N_CN"));
        auto *english = window->findChild<QAction *>(QStringLiteral("N_EN"));
        QVERIFY(chinese && english);
        chinese->trigger();
        QVERIFY(chinese->isChecked() && !english->isChecked());
        QCOMPARE(window->Language(), int(ConstLang::Chinese));
        english->trigger();
        QVERIFY(!chinese->isChecked() && english->isChecked());
        QCOMPARE(window->Language(), int(ConstLang::English));
        // Choosing the language in use again keeps its tick.
        english->trigger();
        QVERIFY(!chinese->isChecked() && english->isChecked());
    }

    void qtOwnButtonsFollowTheLanguage()
    {
        auto window = ViewWindow();
        QVERIFY(window);
        window->ApplyLanguage(ConstLang::English);
        QCOMPARE(YesButtonText(window.get()), QStringLiteral("&Yes"));
        window->ApplyLanguage(ConstLang::Chinese);
        QVERIFY(QtTranslations::ChineseInstalled());
        const QString chinese = YesButtonText(window.get());
        QVERIFY2(HasChinese(chinese), qPrintable(chinese));
        // The type column of the file dialogs.
        QFileIconProvider icons;
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QCOMPARE(icons.type(QFileInfo(folder.path())), QStringLiteral("文件夹"));
        window->ApplyLanguage(ConstLang::English);
        QVERIFY(!QtTranslations::ChineseInstalled());
        QCOMPARE(YesButtonText(window.get()), QStringLiteral("&Yes"));
        QCOMPARE(icons.type(QFileInfo(folder.path())), QStringLiteral("Folder"));
    }
};

QTEST_MAIN(TestLanguageWalk)
#include "tst_LanguageWalk.moc"
