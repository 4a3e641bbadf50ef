// Profiles on the main window: saving and loading its settings controls as an
// INI file, the list-view values, the name rule and the failures.
#include "app/K900_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "lang/TLanguage_Unt.h"
#include "look/ComponentEx.h"
#include "profiles/IniFile_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "views/SettingsPanes_Frm.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "fixtures/MainWindowFixture.h"
#include "fixtures/TestFiles.h"

#include "dialogs/FileDialogs_Frm.h"
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include <memory>

using namespace MainWindowFixture;

using namespace TestFiles;

namespace {

// The "Value" keys of a profile, in the order the walk writes them.
const QStringList kValueKeys = {
    "lbledt_Master_DevDes", "lbledt_DeviseID", "chk_AddTimeToAlarmSMS", "chk_Auto_Armed",
    "chk_AutoAlarmAfterDisarm", "lbledt_AutoMintues", "lbledt_PwrOffTime", "dtp_RePortTime",
    "lbledt_SaveRecordInterSec", "lbledt_SmsReportInterMin", "chk_ReportTime", "chk_PwrOffTime",
    "chk_SaveRecordInterSec", "chk_SmsReportInterMin", "sCheckBox1", "lbledt_Main_Password",
    "chk_ShowPassword", "lbledt_AccessPontName", "lbledt_GPRS_UserName", "lbledt_GPRS_Password",
    "lbledt_HeartCont", "lbledt_GprsBeatHeart", "lbledt_GprsReconnSec", "lbledt_TcpPort",
    "cbb_GPRSCommunication_Proctocol", "cbb_GPRS_TcpUdp", "lbledt_Gprs_IP", "lbledt_GprsRegDat",
    "CheckBox1",
};

const QStringList kListViews = {"lvDo", "lvTh", "lvTel", "lvTimer"};

// A main window in View mode with the K802 sensor rows, which a version
// reply would otherwise bring, in English.
std::unique_ptr<TFormK900> ViewWindowWithRows()
{
    auto window = ViewWindow();
    if (!window)
        return nullptr;
    window->Views().SoftDiDoTh->BuildThRows(QStringLiteral("K802"), window->Views().lvTh);
    Switch(*window, ConstLang::English);
    return window;
}
// A main window logged in to a simulated K802, so that the sensor rows are
// captioned by the language.
std::unique_ptr<TFormK900> ConnectedWindow()
{
    return MainWindowFixture::ConnectedWindow(QStringLiteral("K802"));
}
TSettingsPanes &Panes(const TFormK900 &window)
{
    return *window.Views().Panes;
}

QTreeWidget *View(const TFormK900 &window, const QString &name)
{
    return window.findChild<QTreeWidget *>(name);
}

template <typename T>
T *Control(const TFormK900 &window, const QString &name)
{
    return window.findChild<T *>(name);
}

QStringList Cells(const QTreeWidgetItem *row)
{
    QStringList cells;
    for (int column = 1; column < row->columnCount(); ++column)
        cells << row->text(column);
    return cells;
}

void SetCells(QTreeWidgetItem *row, const QStringList &cells)
{
    for (int index = 0; index < cells.size(); ++index)
        row->setText(index + 1, cells.at(index));
}

// Everything a profile holds, as the window shows it, one line per control
// or row; timer rows also with the codes they encode to.
QStringList Snapshot(const TFormK900 &window)
{
    QStringList lines;
    for (const QString &name : kValueKeys) {
        QString value;
        if (auto *labeled = Control<TLabeledEdit>(window, name))
            value = labeled->text();
        else if (auto *box = Control<QCheckBox>(window, name))
            value = box->isChecked() ? QStringLiteral("ticked") : QStringLiteral("clear");
        else if (auto *combo = Control<QComboBox>(window, name))
            value = QString::number(combo->currentIndex());
        else if (auto *picker = Control<QTimeEdit>(window, name))
            value = picker->time().toString(QStringLiteral("HH:mm:ss"));
        else
            value = QStringLiteral("<no control>");
        lines << name + QLatin1Char('=') + value;
    }
    for (const QString &name : kListViews) {
        const QTreeWidget *view = View(window, name);
        for (int index = 0; index < view->topLevelItemCount(); ++index) {
            const QTreeWidgetItem *row = view->topLevelItem(index);
            QString line = name + QLatin1Char('/') + row->text(0) + QLatin1Char('=')
                           + Cells(row).join(QLatin1Char('|'));
            if (name == QLatin1String("lvTimer"))
                line += QStringLiteral(" day %1 action %2")
                            .arg(TSoftDateTime::TimerDay(row))
                            .arg(TSoftDateTime::TimerAction(row));
            lines << line;
        }
    }
    return lines;
}

// Every stored control with a value unlike its initial one.
void FillWindow(TFormK900 &window)
{
    TSettingsPanes &panes = Panes(window);
    // Boxes first: some of their handlers change the edits.
    panes.chk_AddTimeToAlarmSMS->setChecked(true);
    panes.chk_Auto_Armed->setChecked(true);
    panes.chk_AutoAlarmAfterDisarm->setChecked(false);
    panes.chk_ReportTime->setChecked(false);
    panes.chk_PwrOffTime->setChecked(true);
    panes.chk_SaveRecordInterSec->setChecked(false);
    panes.chk_SmsReportInterMin->setChecked(true);
    panes.sCheckBox1->setChecked(true);
    panes.chk_ShowPassword->setChecked(true);
    panes.CheckBox1->setChecked(true);

    panes.lbledt_Master_DevDes->setText(QString::fromUtf8("冷库 2 Cold room"));
    panes.lbledt_DeviseID->setText(QStringLiteral("12"));
    panes.lbledt_AutoMintues->setText(QStringLiteral("15"));
    panes.lbledt_PwrOffTime->setText(QStringLiteral("30"));
    panes.dtp_RePortTime->setTime(QTime(9, 5, 0));
    panes.lbledt_SaveRecordInterSec->setText(QStringLiteral("600"));
    panes.lbledt_SmsReportInterMin->setText(QStringLiteral("120"));
    panes.lbledt_Main_Password->setText(QStringLiteral("1234"));
    panes.lbledt_AccessPontName->setText(QStringLiteral("cmnet"));
    panes.lbledt_GPRS_UserName->setText(QString::fromUtf8("用户"));
    panes.lbledt_GPRS_Password->setText(QStringLiteral("pw^x~"));
    panes.lbledt_HeartCont->setText(QStringLiteral("ACK"));
    panes.lbledt_GprsBeatHeart->setText(QStringLiteral("5"));
    panes.lbledt_GprsReconnSec->setText(QStringLiteral("60"));
    panes.lbledt_TcpPort->setText(QStringLiteral("502"));
    panes.cbb_GPRSCommunication_Proctocol->setCurrentIndex(2);
    panes.cbb_GPRS_TcpUdp->setCurrentIndex(1);
    panes.lbledt_Gprs_IP->setText(QStringLiteral("example.org"));
    panes.lbledt_GprsRegDat->setText(QStringLiteral("01 AB 3F"));

    const QString tick = TBaseSoftInterface::TickMark();
    QTreeWidget *lvDo = window.Views().lvDo;
    for (int row = 0; row < lvDo->topLevelItemCount(); ++row)
        SetCells(lvDo->topLevelItem(row), {QString::fromUtf8("风机%1").arg(row), QString::number(30 + row),
                                           QStringLiteral("Open"), QStringLiteral("Fan off"),
                                           QStringLiteral("Fan on"), row == 0 ? tick : QString()});
    QTreeWidget *lvTh = window.Views().lvTh;
    for (int row = 0; row < lvTh->topLevelItemCount(); ++row)
        SetCells(lvTh->topLevelItem(row),
                 {QStringLiteral("Room %1").arg(row), QStringLiteral("21.%1").arg(row), row % 2 ? tick : QString(),
                  QString::number(row * 10), QStringLiteral("40"), QStringLiteral("-%1").arg(row),
                  QString::fromUtf8("高温%1").arg(row), QStringLiteral("low %1").arg(row),
                  QStringLiteral("ok"), tick, row % 3 ? QString() : tick, QString()});
    QTreeWidget *lvTel = window.Views().lvTel;
    for (int row = 0; row < lvTel->topLevelItemCount(); ++row) {
        QStringList cells{QStringLiteral("1380013800%1").arg(row)};
        for (int flag = 0; flag < 9; ++flag)
            cells << ((row + flag) % 2 ? tick : QString());
        SetCells(lvTel->topLevelItem(row), cells);
    }
    QTreeWidget *lvTimer = window.Views().lvTimer;
    for (int row = 0; row < lvTimer->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = lvTimer->topLevelItem(row);
        item->setText(1, row % 2 ? tick : QString());
        TSoftDateTime::SetTimerDay(item, TimerCodes::DayCodeOfPosition(row % 8), window.Language());
        item->setText(3, QString::number(row + 6));
        item->setText(4, QString::number(row * 5));
        TSoftDateTime::SetTimerAction(item, row, window.Language());
    }
}

// Another state of every stored control.
void ScrambleWindow(TFormK900 &window)
{
    TSettingsPanes &panes = Panes(window);
    for (QGroupBox *group : {panes.grp_BasicSeting, panes.grp_PasswordSeting, panes.grp_GPRS_BasicSeting})
        TBaseSoftInterface::ResetControls(group);
    panes.CheckBox1->setChecked(!panes.CheckBox1->isChecked());
    panes.dtp_RePortTime->setTime(QTime(23, 59, 1));
    for (const QString &name : kListViews)
        TBaseSoftInterface::ClearAllRows(View(window, name));
}

QByteArray Gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QStringList KeysOf(const TIniFile &ini, const QString &section)
{
    QStringList keys;
    for (const TIniEntry &entry : ini.SectionEntries(section))
        keys << entry.key;
    return keys;
}

QMessageBox *OpenErrorBox(const QWidget *window)
{
    for (QMessageBox *box : window->findChildren<QMessageBox *>(QStringLiteral("ErrorBox"))) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

class TestIniSeting : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
    }

    // The whole window survives a save and a load, and saving again gives
    // the same file.
    void roundTripOfAFilledWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 1;
        QTest::newRow("Chinese") << 0;
    }

    void roundTripOfAFilledWindow()
    {
        QFETCH(int, language);
        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        Switch(*window, language);
        FillWindow(*window);
        const QStringList filled = Snapshot(*window);
        TIniSeting &profile = *window->Profiles();

        const QString first = m_dir.filePath(QStringLiteral("full_%1").arg(language));
        const TProfileResult saved = profile.SaveProfile(first);
        QVERIFY2(saved.ok(), qPrintable(saved.detail));
        QCOMPARE(saved.fileName, first + QStringLiteral(".ini"));

        ScrambleWindow(*window);
        QVERIFY(Snapshot(*window) != filled);
        const TProfileResult loaded = profile.LoadProfile(first);
        QVERIFY2(loaded.ok(), qPrintable(loaded.detail));
        QCOMPARE(Snapshot(*window), filled);

        const QString second = m_dir.filePath(QStringLiteral("again_%1.ini").arg(language));
        QVERIFY(profile.SaveProfile(second).ok());
        QCOMPARE(FileBytes(second), FileBytes(first + QStringLiteral(".ini")));
    }

    // Device texts with line breaks and control bytes are exported so that
    // the file is text and loads back to the same texts.
    void controlBytesInTextsLoadBack()
    {
        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        FillWindow(*window);
        Panes(*window).lbledt_Master_DevDes->setText(QStringLiteral("Line 1\r\nLine 2"));
        SetCells(window->Views().lvDo->topLevelItem(0), {QStringLiteral("a\x01" "b\x1B[0m")});
        SetCells(window->Views().lvTel->topLevelItem(4), {QStringLiteral("138\n001")});
        const QStringList filled = Snapshot(*window);
        TIniSeting &profile = *window->Profiles();
        const QString fileName = m_dir.filePath(QStringLiteral("control.ini"));
        const TProfileResult saved = profile.SaveProfile(fileName);
        QVERIFY2(saved.ok(), qPrintable(saved.detail));
        const QByteArray bytes = FileBytes(fileName);
        QVERIFY(!bytes.contains('\x01') && !bytes.contains('\x1B'));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));

        ScrambleWindow(*window);
        const TProfileResult loaded = profile.LoadProfile(fileName);
        QVERIFY2(loaded.ok(), qPrintable(loaded.detail));
        QCOMPARE(Snapshot(*window), filled);
    }

    // The layout of a new file: "Value" keys in walk order, then one section
    // per list view, GBK text.
    void fileLayout()
    {
        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        FillWindow(*window);
        TIniSeting &profile = *window->Profiles();
        const QString fileName = m_dir.filePath(QStringLiteral("layout.ini"));
        QVERIFY(profile.SaveProfile(fileName).ok());

        TIniFile ini(fileName);
        QVERIFY(ini.Load().ok());
        QCOMPARE(ini.SectionNames(), QStringList({"Value", "lvDo", "lvTh", "lvTel", "lvTimer"}));
        QCOMPARE(KeysOf(ini, QStringLiteral("Value")), kValueKeys);
        QCOMPARE(KeysOf(ini, QStringLiteral("lvDo")), QStringList({"DOUT1", "DOUT2"}));
        QCOMPARE(KeysOf(ini, QStringLiteral("lvTel")).first(), QStringLiteral("  1"));
        QCOMPARE(KeysOf(ini, QStringLiteral("lvTimer")).last(), QStringLiteral("  10"));
        QCOMPARE(KeysOf(ini, QStringLiteral("lvTh")).size(), 16);
        QCOMPARE(ini.ReadString(QStringLiteral("Value"), QStringLiteral("dtp_RePortTime")), QStringLiteral("9:05:00"));
        QCOMPARE(ini.ReadString(QStringLiteral("Value"), QStringLiteral("chk_AutoAlarmAfterDisarm")), QStringLiteral("0"));
        QCOMPARE(ini.ReadString(QStringLiteral("Value"), QStringLiteral("cbb_GPRSCommunication_Proctocol")),
                 QStringLiteral("2"));
        QCOMPARE(ini.ReadString(QStringLiteral("lvDo"), QStringLiteral("DOUT1")),
                 QString::fromUtf8("风机0^30^Open^Fan off^Fan on^√^"));

        const QByteArray bytes = FileBytes(fileName);
        QVERIFY(bytes.contains(Gbk(QString::fromUtf8("冷库 2 Cold room"))));
        QVERIFY(!bytes.contains(QString::fromUtf8("冷库").toUtf8()));
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");

        QTest::newRow("no extension") << "profile" << "profile.ini";
        QTest::newRow("extension given") << "cold.ini" << "cold.ini";
        QTest::newRow(".ini inside the name") << "my.ini.bak" << "my.ini.bak";
        QTest::newRow("upper-case extension") << "PROFILE.INI" << "PROFILE.INI.ini";
        QTest::newRow("other extension") << "site.txt" << "site.txt.ini";
    }

    void fileNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        TIniSeting &profile = *window->Profiles();
        QDir dir(m_dir.filePath(QStringLiteral("names_") + QString::number(qHash(chosen))));
        QVERIFY(dir.mkpath(QStringLiteral(".")));

        Panes(*window).lbledt_Gprs_IP->setText(QStringLiteral("10.0.0.7"));
        const TProfileResult saved = profile.SaveProfile(dir.filePath(chosen));
        QVERIFY(saved.ok());
        QCOMPARE(saved.fileName, dir.filePath(written));
        QCOMPARE(dir.entryList(QDir::Files), QStringList{written});

        // Loading the same chosen name reads the same file.
        Panes(*window).lbledt_Gprs_IP->setText(QString());
        QVERIFY(profile.LoadProfile(dir.filePath(chosen)).ok());
        QCOMPARE(Panes(*window).lbledt_Gprs_IP->text(), QStringLiteral("10.0.0.7"));
    }

    // The save menu item offers the model and time as name in the program's
    // folder; the name chosen there is saved with the name rule.
    void saveMenuItem()
    {
        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        TIniSeting &profile = *window->Profiles();
        QString offeredFolder;
        QString offeredName;
        const QString chosen = m_dir.filePath(QStringLiteral("menu_saved"));
        profile.ChooseSaveFile = [&](const QString &folder, const QString &defaultName) {
            offeredFolder = folder;
            offeredName = defaultName;
            return chosen;
        };
        QSignalSpy shown(&profile, &TIniSeting::MessageShown);
        profile.N_SaveClick();

        QCOMPARE(offeredFolder, FileFolders::StartFolder(QStringLiteral("profiles")));
        // No model is known before a version reply.
        QVERIFY2(QRegularExpression(QStringLiteral("^K80x_\\d{12}\\.ini$")).match(offeredName).hasMatch(),
                 qPrintable(offeredName));
        QVERIFY(QFile::exists(chosen + QStringLiteral(".ini")));
        QCOMPARE(shown.count(), 0);

        // Cancelling writes nothing.
        profile.ChooseSaveFile = [](const QString &, const QString &) { return QString(); };
        const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
        profile.N_SaveClick();
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
    }

    // List-view values as saved.
    void savedListValues_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");

        QTest::newRow("phone number, all flags clear")
            << "lvTel" << 2 << QStringList{"13800138000"} << "  3" << "13800138000^~^~^~^~^~^~^~^~^~^";
        QTest::newRow("empty timer") << "lvTimer" << 9 << QStringList{} << "  10" << "~^~^~^~^~^";
        QTest::newRow("blanks around cells removed")
            << "lvDo" << 1 << QStringList{" Pump ", " 5", "", "off ", " on", ""} << "DOUT2" << "Pump^5^~^off^on^~^";
        QTest::newRow("tick marks kept") << "lvTel" << 0 << QStringList{"110", "√", "", "√"} << "  1"
                                         << "110^√^~^√^~^~^~^~^~^~^";
    }

    void savedListValues()
    {
        QFETCH(QString, view);
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        QFETCH(QString, key);
        QFETCH(QString, value);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        QTreeWidget *list = View(*window, view);
        TBaseSoftInterface::ClearAllRows(list);
        SetCells(list->topLevelItem(row), cells);
        TIniSeting &profile = *window->Profiles();
        const QString fileName = m_dir.filePath(QStringLiteral("values.ini"));
        QFile::remove(fileName);
        QVERIFY(profile.SaveProfile(fileName).ok());

        const QByteArray line = Gbk(key + QLatin1Char('=') + value + QStringLiteral("\r\n"));
        QVERIFY2(FileBytes(fileName).contains(line), FileBytes(fileName).constData());
    }

    // List-view values as loaded into the relay row DOUT1 (7 columns).
    void loadedListValues_data()
    {
        QTest::addColumn<QString>("fileText");
        QTest::addColumn<QStringList>("expected");

        const QStringList before{"name", "10", "Open", "off", "on", "√"};
        QTest::newRow("trailing separators") << "[lvDo]\nDOUT1=abc^^^\n" << QStringList{"abc", "10", "Open", "off", "on", "√"};
        QTest::newRow("tilde empties a cell") << "[lvDo]\nDOUT1=x^~^y^\n" << QStringList{"x", "", "y", "off", "on", "√"};
        QTest::newRow("adjacent separators give an empty field")
            << "[lvDo]\nDOUT1=a^^c^\n" << QStringList{"a", "", "c", "off", "on", "√"};
        QTest::newRow("fields beyond the columns ignored")
            << "[lvDo]\nDOUT1=1^2^3^4^5^6^7^8^\n" << QStringList{"1", "2", "3", "4", "5", "6"};
        QTest::newRow("empty value changes nothing") << "[lvDo]\nDOUT1=\n" << before;
        QTest::newRow("separators only change nothing") << "[lvDo]\nDOUT1=^^^\n" << before;
        QTest::newRow("key with blanks around it") << "[lvDo]\n  DOUT1  =z^\n" << QStringList{"z", "10", "Open", "off", "on", "√"};
        QTest::newRow("key in other case loads by its position") << "[lvDo]\ndout1=z^\n"
                                                                 << QStringList{"z", "10", "Open", "off", "on", "√"};
        QTest::newRow("section in other case is not the view's") << "[LVDO]\nDOUT1=z^\n" << before;
        QTest::newRow("first of two keys wins") << "[lvDo]\nDOUT1=first^\nDOUT1=second^\n"
                                                << QStringList{"first", "10", "Open", "off", "on", "√"};
        QTest::newRow("Chinese caption in an English window") << QString::fromUtf8("[lvDo]\n继电器1=z^\n")
                                                              << QStringList{"z", "10", "Open", "off", "on", "√"};
    }

    void loadedListValues()
    {
        QFETCH(QString, fileText);
        QFETCH(QStringList, expected);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        QTreeWidgetItem *row = window->Views().lvDo->topLevelItem(0);
        SetCells(row, {"name", "10", "Open", "off", "on", "√"});
        const QStringList otherRow = Cells(window->Views().lvDo->topLevelItem(1));
        const QString fileName = m_dir.filePath(QStringLiteral("list.ini"));
        // A profile holds [Value] keys; the one here leaves the list alone.
        QVERIFY(WriteFile(fileName, Gbk(QStringLiteral("[Value]\nlbledt_DeviseID=3\n") + fileText)));

        TIniSeting &profile = *window->Profiles();
        QVERIFY(profile.LoadProfile(fileName).ok());
        QCOMPARE(Cells(row), expected);
        QCOMPARE(Cells(window->Views().lvDo->topLevelItem(1)), otherRow);
    }

    // A check box is ticked by a non-zero integer only.
    void checkBoxValues_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ticked");

        QTest::newRow("1") << "chk_Auto_Armed=1" << true;
        QTest::newRow("0") << "chk_Auto_Armed=0" << false;
        QTest::newRow("2 is ticked") << "chk_Auto_Armed=2" << true;
        QTest::newRow("-1 is ticked") << "chk_Auto_Armed=-1" << true;
        QTest::newRow("blanks around the number") << "chk_Auto_Armed= 7 " << true;
        QTest::newRow("TRUE is no integer") << "chk_Auto_Armed=TRUE" << false;
        QTest::newRow("empty value") << "chk_Auto_Armed=" << false;
        QTest::newRow("missing key") << "other=1" << false;
        QTest::newRow("key in other case") << "CHK_AUTO_ARMED=1" << true;
    }

    void checkBoxValues()
    {
        QFETCH(QString, line);
        QFETCH(bool, ticked);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        Panes(*window).chk_Auto_Armed->setChecked(!ticked);
        const QString fileName = m_dir.filePath(QStringLiteral("box.ini"));
        // Another profile key makes the file a profile whatever the line holds.
        QVERIFY(WriteFile(fileName, Gbk(QStringLiteral("[Value]\r\n") + line
                                        + QStringLiteral("\r\nlbledt_DeviseID=3\r\n"))));
        TIniSeting &profile = *window->Profiles();
        QVERIFY(profile.LoadProfile(fileName).ok());
        QCOMPARE(Panes(*window).chk_Auto_Armed->isChecked(), ticked);
    }

    // The auto-arm box is loaded before its edit: the box's handler sets the
    // edit to "0", then the stored minutes replace it.
    void autoArmBoxThenItsEdit_data()
    {
        QTest::addColumn<bool>("boxBefore");
        QTest::addColumn<QString>("fileText");
        QTest::addColumn<bool>("boxAfter");
        QTest::addColumn<QString>("minutes");

        QTest::newRow("unticked by the file") << true << "chk_AutoAlarmAfterDisarm=0\nlbledt_AutoMintues=15\n"
                                              << false << "15";
        QTest::newRow("ticked by the file") << false << "chk_AutoAlarmAfterDisarm=1\nlbledt_AutoMintues=7\n"
                                            << true << "7";
        QTest::newRow("same state") << true << "chk_AutoAlarmAfterDisarm=1\nlbledt_AutoMintues=40\n" << true << "40";
        QTest::newRow("minutes missing") << true << "chk_AutoAlarmAfterDisarm=0\n" << false << "";
    }

    void autoArmBoxThenItsEdit()
    {
        QFETCH(bool, boxBefore);
        QFETCH(QString, fileText);
        QFETCH(bool, boxAfter);
        QFETCH(QString, minutes);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        TSettingsPanes &panes = Panes(*window);
        panes.chk_AutoAlarmAfterDisarm->setChecked(boxBefore);
        panes.lbledt_AutoMintues->setText(QStringLiteral("25"));
        const QString fileName = m_dir.filePath(QStringLiteral("autoarm.ini"));
        QVERIFY(WriteFile(fileName, Gbk(QStringLiteral("[Value]\n") + fileText)));
        TIniSeting &profile = *window->Profiles();
        QVERIFY(profile.LoadProfile(fileName).ok());

        QCOMPARE(panes.chk_AutoAlarmAfterDisarm->isChecked(), boxAfter);
        QCOMPARE(panes.lbledt_AutoMintues->isEnabled(), boxAfter);
        QCOMPARE(panes.lbledt_AutoMintues->text(), minutes);
    }

    // A profile keeps its login message whatever mode the box was in.
    void loginMessageKept_data()
    {
        QTest::addColumn<bool>("hexBefore");
        QTest::addColumn<bool>("hexInFile");
        QTest::addColumn<QString>("message");

        QTest::newRow("ASCII window, hex profile") << false << true << "01 02 0A";
        QTest::newRow("hex window, ASCII profile") << true << false << "login";
        QTest::newRow("same mode") << true << true << "AB CD";
    }

    void loginMessageKept()
    {
        QFETCH(bool, hexBefore);
        QFETCH(bool, hexInFile);
        QFETCH(QString, message);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        TSettingsPanes &panes = Panes(*window);
        panes.CheckBox1->setChecked(hexBefore);
        panes.lbledt_GprsRegDat->setText(QStringLiteral("old"));
        panes.CheckBox1->setChecked(hexInFile);
        panes.lbledt_GprsRegDat->setText(message);
        TIniSeting &profile = *window->Profiles();
        const QString fileName = m_dir.filePath(QStringLiteral("login.ini"));
        QFile::remove(fileName);
        QVERIFY(profile.SaveProfile(fileName).ok());

        panes.CheckBox1->setChecked(hexBefore);
        panes.lbledt_GprsRegDat->setText(QStringLiteral("old"));
        QVERIFY(profile.LoadProfile(fileName).ok());
        QCOMPARE(panes.CheckBox1->isChecked(), hexInFile);
        QCOMPARE(panes.lbledt_GprsRegDat->text(), message);
    }

    // A profile saved in Chinese, loaded in English: every "Value" control,
    // the numbered rows and the relay and sensor rows (found by their Chinese
    // captions) load; timers show English and keep their codes. Saving
    // again in English keeps both languages' rows in the file.
    void chineseProfileInEnglish()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow();
        QVERIFY(window);
        Switch(*window, ConstLang::Chinese);
        QCOMPARE(window->Views().lvTh->topLevelItem(0)->text(0), QString::fromUtf8("温度1"));
        TSettingsPanes &panes = Panes(*window);
        panes.lbledt_Master_DevDes->setText(QString::fromUtf8("二号冷库"));
        panes.cbb_GPRSCommunication_Proctocol->setCurrentIndex(1);
        SetCells(window->Views().lvDo->topLevelItem(0), {QString::fromUtf8("水泵")});
        SetCells(window->Views().lvTh->topLevelItem(0), {QString::fromUtf8("库温")});
        SetCells(window->Views().lvTel->topLevelItem(0), {QStringLiteral("13912345678"), QStringLiteral("√")});
        QTreeWidgetItem *timer = window->Views().lvTimer->topLevelItem(0);
        timer->setText(1, QStringLiteral("√"));
        TSoftDateTime::SetTimerDay(timer, 3, ConstLang::Chinese);
        TSoftDateTime::SetTimerAction(timer, 5, ConstLang::Chinese);
        TIniSeting &profile = *window->Profiles();
        const QString fileName = m_dir.filePath(QStringLiteral("chinese.ini"));
        QVERIFY(profile.SaveProfile(fileName).ok());

        Switch(*window, ConstLang::English);
        ScrambleWindow(*window);
        QVERIFY(profile.LoadProfile(fileName).ok());
        QCOMPARE(panes.lbledt_Master_DevDes->text(), QString::fromUtf8("二号冷库"));
        QCOMPARE(panes.cbb_GPRSCommunication_Proctocol->currentIndex(), 1);
        QCOMPARE(panes.cbb_GPRSCommunication_Proctocol->currentText(), QStringLiteral("1.Modbus RTU Protocol"));
        QCOMPARE(Cells(window->Views().lvTel->topLevelItem(0)).mid(0, 2),
                 QStringList({"13912345678", "√"}));
        QCOMPARE(timer->text(TSoftDateTime::DaySubItem + 1), QStringLiteral("Wednesday"));
        QCOMPARE(timer->text(TSoftDateTime::ActionSubItem + 1), QStringLiteral("5.Arm"));
        QCOMPARE(TSoftDateTime::TimerDay(timer), 3);
        QCOMPARE(TSoftDateTime::TimerAction(timer), 5);
        QCOMPARE(window->Views().lvDo->topLevelItem(0)->text(1), QString::fromUtf8("水泵"));
        QCOMPARE(window->Views().lvTh->topLevelItem(0)->text(1), QString::fromUtf8("库温"));

        // Two languages in one file.
        SetCells(window->Views().lvDo->topLevelItem(0), {QStringLiteral("Pump")});
        QVERIFY(profile.SaveProfile(fileName).ok());
        TIniFile ini(fileName);
        QVERIFY(ini.Load().ok());
        QCOMPARE(KeysOf(ini, QStringLiteral("lvDo")),
                 QStringList({QString::fromUtf8("继电器1"), QString::fromUtf8("继电器2"), "DOUT1", "DOUT2"}));
        QCOMPARE(KeysOf(ini, QStringLiteral("lvTh")).size(), 32);
        QCOMPARE(KeysOf(ini, QStringLiteral("lvTel")).size(), 10);
        QCOMPARE(KeysOf(ini, QStringLiteral("Value")), kValueKeys);

        // Each language finds its own relay rows in that file.
        Switch(*window, ConstLang::Chinese);
        QVERIFY(profile.LoadProfile(fileName).ok());
        QCOMPARE(window->Views().lvDo->topLevelItem(0)->text(1), QString::fromUtf8("水泵"));
        QCOMPARE(timer->text(TSoftDateTime::DaySubItem + 1), QString::fromUtf8("三"));
        Switch(*window, ConstLang::English);
        QVERIFY(profile.LoadProfile(fileName).ok());
        QCOMPARE(window->Views().lvDo->topLevelItem(0)->text(1), QStringLiteral("Pump"));
    }

    // A profile with one of its keys: the other stored controls take their
    // empty values, the list views stay.
    void profileWithOneKey()
    {
        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        FillWindow(*window);
        const QStringList lists = Snapshot(*window).mid(kValueKeys.size());
        const QString fileName = m_dir.filePath(QStringLiteral("one.ini"));
        QVERIFY(WriteFile(fileName, QByteArray("[Value]\r\nlbledt_DeviseID=7\r\n")));
        TIniSeting &profile = *window->Profiles();
        const QTime before = QTime::currentTime();
        QVERIFY(profile.LoadProfile(fileName).ok());

        TSettingsPanes &panes = Panes(*window);
        QCOMPARE(panes.lbledt_DeviseID->text(), QStringLiteral("7"));
        QCOMPARE(panes.lbledt_Master_DevDes->text(), QString());
        QCOMPARE(panes.lbledt_GprsRegDat->text(), QString());
        QVERIFY(!panes.chk_Auto_Armed->isChecked());
        QVERIFY(!panes.CheckBox1->isChecked());
        QCOMPARE(panes.cbb_GPRSCommunication_Proctocol->currentIndex(), 0);
        QCOMPARE(panes.cbb_GPRS_TcpUdp->currentIndex(), 0);
        QVERIFY(panes.dtp_RePortTime->time() != QTime(9, 5, 0));
        QVERIFY(qAbs(before.secsTo(panes.dtp_RePortTime->time())) <= 2
                || qAbs(before.secsTo(panes.dtp_RePortTime->time())) >= 86398);
        QCOMPARE(Snapshot(*window).mid(kValueKeys.size()), lists);
    }

    // A file that is no profile, is binary or far too large changes nothing
    // and says so in the current language; a huge file is not read whole.
    void badFileChangesNothing_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("sparseSize");   // grown to this size with a hole, 0: as written
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("key");

        const int notProfile = int(TIniError::NotProfile);
        const int tooLarge = int(TIniError::TooLarge);
        const int notText = int(TIniError::NotText);
        QTest::newRow("empty file") << 1 << QByteArray() << qint64(0) << notProfile << "MsgProfileNotProfile";
        QTest::newRow("garbage text, Chinese") << 0 << QByteArray("hello\r\nworld=1\r\n") << qint64(0)
                                               << notProfile << "MsgProfileNotProfile";
        // A section named after one of the lists makes a profile (see the
        // profile sources tests); a list of some other name does not.
        QTest::newRow("a list of another program") << 1 << QByteArray("[lvColumns]\r\nDOUT1=x^\r\n") << qint64(0)
                                                      << notProfile << "MsgProfileNotProfile";
        QTest::newRow("[Value] of another program") << 1 << QByteArray("[Value]\r\nWidth=3\r\n") << qint64(0)
                                                    << notProfile << "MsgProfileNotProfile";
        QTest::newRow("binary, Chinese") << 0 << QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(3, '\0') + "\rIHDR[Value]\nlbledt_DeviseID=1\n"
                                         << qint64(0) << notText << "MsgProfileNotText";
        QTest::newRow("a 50 MB line") << 1
            << QByteArray("[Value]\r\nlbledt_DeviseID=") + QByteArray(50 * 1024 * 1024, '7') + "\r\n"
            << qint64(0) << tooLarge << "MsgProfileTooLarge";
        QTest::newRow("300 MB, Chinese") << 0 << QByteArray("[Value]\r\nlbledt_DeviseID=1\r\n")
                                         << qint64(300) * 1024 * 1024 << tooLarge << "MsgProfileTooLarge";
        QTest::newRow("more lines than a profile has")
            << 1 << QByteArray("[Value]\r\nlbledt_DeviseID=1\r\n") + QByteArray(TIniFile::MaxLineCount, '\n')
            << qint64(0) << tooLarge << "MsgProfileTooLarge";
    }

    void badFileChangesNothing()
    {
        QFETCH(int, language);
        QFETCH(QByteArray, content);
        QFETCH(qint64, sparseSize);
        QFETCH(int, error);
        QFETCH(QString, key);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        Switch(*window, language);
        FillWindow(*window);
        const QStringList filled = Snapshot(*window);
        const QString fileName = m_dir.filePath(QStringLiteral("bad.ini"));
        QVERIFY(WriteFile(fileName, content));
        if (sparseSize > 0)
            QVERIFY(QFile::resize(fileName, sparseSize));

        TIniSeting &profile = *window->Profiles();
        const TProfileResult result = profile.LoadProfile(fileName);
        QCOMPARE(int(result.error), error);
        QCOMPARE(Snapshot(*window), filled);

        profile.ChooseOpenFile = [&fileName](const QString &) { return fileName; };
        QSignalSpy shown(&profile, &TIniSeting::MessageShown);
        profile.N_OpenClick();
        QCOMPARE(shown.count(), 1);
        const QString text = shown.first().at(0).toString();
        const QString message = ConstLang::Text(key, language);
        QVERIFY(!message.isEmpty());
        QVERIFY2(text.startsWith(message), qPrintable(text));
        QMessageBox *box = OpenErrorBox(window.get());
        QVERIFY(box);
        box->close();
        QCOMPARE(Snapshot(*window), filled);
    }

    // A profile saved as UTF-8 with the byte-order mark (as some editors
    // save it) loads like the GBK file it came from.
    void utf8MarkedProfileLoads()
    {
        std::unique_ptr<TFormK900> source = ViewWindowWithRows();
        QVERIFY(source);
        FillWindow(*source);
        const QString gbkName = m_dir.filePath(QStringLiteral("gbk.ini"));
        QVERIFY(source->Profiles()->SaveProfile(gbkName).ok());
        QFile saved(gbkName);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QStringDecoder decoder("GBK");
        const QString text = decoder.decode(saved.readAll());
        const QString utf8Name = m_dir.filePath(QStringLiteral("utf8.ini"));
        QVERIFY(WriteFile(utf8Name, QByteArray("\xEF\xBB\xBF") + text.toUtf8()));

        std::unique_ptr<TFormK900> target = ViewWindowWithRows();
        QVERIFY(target);
        QVERIFY(Snapshot(*target) != Snapshot(*source));
        QVERIFY(target->Profiles()->LoadProfile(utf8Name).ok());
        QCOMPARE(Snapshot(*target), Snapshot(*source));
    }

    // A file that cannot be loaded changes nothing and says why, in the
    // current language.
    void unloadableFileChangesNothing_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("directory");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");

        QTest::newRow("missing, English") << 1 << false << int(TIniError::Missing) << "The profile file does not exist.";
        QTest::newRow("missing, Chinese") << 0 << false << int(TIniError::Missing) << QString::fromUtf8("配置文件不存在。");
        QTest::newRow("a folder, English") << 1 << true << int(TIniError::ReadFailed) << "The profile file cannot be read.";
    }

    void unloadableFileChangesNothing()
    {
        QFETCH(int, language);
        QFETCH(bool, directory);
        QFETCH(int, error);
        QFETCH(QString, message);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        Switch(*window, language);
        FillWindow(*window);
        const QStringList filled = Snapshot(*window);
        const QString chosen = m_dir.filePath(QStringLiteral("not_here_%1").arg(directory));
        if (directory)
            QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("not_here_1.ini")));

        TIniSeting &profile = *window->Profiles();
        const TProfileResult result = profile.LoadProfile(chosen);
        QCOMPARE(int(result.error), error);
        QCOMPARE(Snapshot(*window), filled);

        profile.ChooseOpenFile = [&chosen](const QString &) { return chosen; };
        QSignalSpy shown(&profile, &TIniSeting::MessageShown);
        profile.N_OpenClick();
        QCOMPARE(shown.count(), 1);
        const QString text = shown.first().at(0).toString();
        QVERIFY2(text.startsWith(message), qPrintable(text));
        QVERIFY(text.contains(QDir::toNativeSeparators(chosen + QStringLiteral(".ini"))));
        QMessageBox *box = OpenErrorBox(window.get());
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        box->close();
        QCOMPARE(Snapshot(*window), filled);
    }

    // A save that cannot be completed says so and leaves no half-written or
    // changed file behind.
    void unwritableTargetReportsFailure_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("link");
        QTest::addColumn<int>("error");

        QTest::newRow("folder missing") << "no/such/folder/profile" << false << int(TIniError::WriteFailed);
        // The existing "file" to update cannot be read.
        QTest::newRow("a folder has the file's name") << "taken" << false << int(TIniError::ReadFailed);
        // The save would go wherever the link points.
        QTest::newRow("the name is a link") << "kept" << true << int(TIniError::WriteFailed);
    }

    void unwritableTargetReportsFailure()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, link);
        QFETCH(int, error);

        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("taken.ini")));
        const QString path = dir.filePath(chosen);
        const QByteArray oldBytes = "[Value]\r\nlbledt_Gprs_IP=old\r\n";
        const QString target = elsewhere.filePath(QStringLiteral("target.ini"));
        if (link) {
            QVERIFY(WriteFile(target, oldBytes));
            QVERIFY(QFile::link(target, path + QStringLiteral(".ini")));
        }

        TIniSeting &profile = *window->Profiles();
        const TProfileResult result = profile.SaveProfile(path);
        QCOMPARE(int(result.error), error);
        QVERIFY(!result.detail.isEmpty());
        if (link) {
            QCOMPARE(FileBytes(target), oldBytes);
            QVERIFY(QFileInfo(path + QStringLiteral(".ini")).isSymLink());
        }

        Switch(*window, ConstLang::Chinese);
        profile.ChooseSaveFile = [&path](const QString &, const QString &) { return path; };
        QSignalSpy shown(&profile, &TIniSeting::MessageShown);
        profile.N_SaveClick();
        QCOMPARE(shown.count(), 1);
        QVERIFY2(shown.first().at(0).toString().startsWith(QString::fromUtf8("无法保存配置文件，原文件未改变。")),
                 qPrintable(shown.first().at(0).toString()));
        QVERIFY(OpenErrorBox(window.get()));
        // No temporary file is left next to the target.
        const QStringList left = QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, link ? QStringList{QFileInfo(path).fileName() + QStringLiteral(".ini")} : QStringList{});
    }

    // The file follows the controls' names, not the order the panes hold
    // their widgets in: moving widgets within their group changes neither
    // the keys' order nor what a load puts where.
    void widgetOrderDoesNotMatter()
    {
        std::unique_ptr<TFormK900> window = ViewWindowWithRows();
        QVERIFY(window);
        FillWindow(*window);
        const QStringList filled = Snapshot(*window);
        TSettingsPanes &panes = Panes(*window);
        // raise() moves a widget to the end of its parent's children.
        panes.lbledt_Master_DevDes->raise();
        panes.CheckBox1->lower();
        panes.chk_ShowPassword->lower();
        const QString fileName = m_dir.filePath(QStringLiteral("order.ini"));
        QVERIFY(window->Profiles()->SaveProfile(fileName).ok());
        TIniFile ini(fileName);
        QVERIFY(ini.Load().ok());
        QCOMPARE(KeysOf(ini, QStringLiteral("Value")), kValueKeys);

        ScrambleWindow(*window);
        QVERIFY(window->Profiles()->LoadProfile(fileName).ok());
        QCOMPARE(Snapshot(*window), filled);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestIniSeting)
#include "tst_IniSeting.moc"
