// Relay and sensor channels: rows per model, live values, column widths, the
// DO and TH editors and the pop-up menu handlers.
#include "SheetsFixture.h"

#include "link/BasicProtocol_Unt.h"
#include "look/ComponentEx.h"
#include "views/DoSetting_Frm.h"
#include "views/SettingsViews_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/ThSetting_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kTick = QString(QChar(0x221A));

// A current-values reply carrying payload.
QByteArray ValuesReply(const QByteArray &payload)
{
    const TBasicProtocol protocol;
    return protocol.BuildFrame(TBasicProtocol::CmdValues, protocol.IntToAddress(0), payload);
}

QStringList Captions(const QTreeWidget &view)
{
    QStringList captions;
    for (int row = 0; row < view.topLevelItemCount(); ++row)
        captions << view.topLevelItem(row)->text(0);
    return captions;
}

QStringList SubItems(const QTreeWidgetItem *row, int count)
{
    QStringList texts;
    for (int subItem = 0; subItem < count; ++subItem)
        texts << TBaseSoftInterface::SubItem(row, subItem);
    return texts;
}

// Clicks a check box on its indicator, where a click toggles it whatever the
// width of the box.
void ClickBox(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void FillRow(QTreeWidgetItem *row, const QStringList &subItems)
{
    for (int subItem = 0; subItem < subItems.size(); ++subItem)
        TBaseSoftInterface::SetSubItem(row, subItem, subItems.at(subItem));
}

} // namespace

class TestChannelViews : public QObject
{
    Q_OBJECT
private:
    int m_language = ConstLang::English;
    int m_model = -1;
    QStringList m_messages;
    TSoftDiDoTh m_soft;

    std::unique_ptr<QTreeWidget> DoView()
    {
        QWidget sheet;
        auto view = std::unique_ptr<QTreeWidget>(TSoftDiDoTh::CreateDoView(&sheet));
        view->setParent(nullptr);
        m_soft.BuildDoRows(view.get());
        return view;
    }

    std::unique_ptr<QTreeWidget> ThView(const QString &model)
    {
        QWidget sheet;
        auto view = std::unique_ptr<QTreeWidget>(TSoftDiDoTh::CreateThView(&sheet));
        view->setParent(nullptr);
        m_soft.BuildThRows(model, view.get());
        return view;
    }

private slots:
    void init()
    {
        m_language = ConstLang::English;
        m_model = -1;
        m_messages.clear();
        ViewContext::SetLanguageSource([this] { return m_language; });
        ViewContext::SetModelIndexSource([this] { return m_model; });
        ViewContext::SetMessageSink([this](const QString &text) { m_messages << text; });
    }

    void thRowsPerModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("captions");
        QStringList k801, k802, k803;
        for (int channel = 1; channel <= 8; ++channel) {
            if (channel <= 4)
                k801 << QStringLiteral("Temperature%1").arg(channel) << QStringLiteral("Humidity%1").arg(channel);
            k802 << QStringLiteral("Temperature%1").arg(channel) << QStringLiteral("Humidity%1").arg(channel);
            k803 << QStringLiteral("Temperature%1").arg(channel);
        }
        QTest::newRow("K801: 4 pairs") << QStringLiteral("K801") << k801;
        QTest::newRow("K802: 8 pairs") << QStringLiteral("K802") << k802;
        QTest::newRow("K803: 8 temperatures") << QStringLiteral("K803") << k803;
        QTest::newRow("unknown model: no rows") << QStringLiteral("K804") << QStringList();
        QTest::newRow("lower case is not a model") << QStringLiteral("k801") << QStringList();
    }
    void thRowsPerModel()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, captions);
        auto view = ThView(model);
        QCOMPARE(Captions(*view), captions);
        for (int row = 0; row < view->topLevelItemCount(); ++row)
            QCOMPARE(SubItems(view->topLevelItem(row), 12), QStringList(12, QString()));
    }

    void thRowsAreBuiltOncePerModel()
    {
        auto view = ThView(QStringLiteral("K803"));
        view->topLevelItem(0)->setText(1, QStringLiteral("Cold room"));
        m_soft.BuildThRows(QStringLiteral("K803"), view.get());
        QCOMPARE(view->topLevelItemCount(), 8);
        QCOMPARE(view->topLevelItem(0)->text(1), QStringLiteral("Cold room"));

        // A reconnect to a device of another model gives that model's rows.
        m_soft.BuildThRows(QStringLiteral("K802"), view.get());
        QCOMPARE(view->topLevelItemCount(), 16);

        // A first version reply that named no model leaves no rows, and a
        // later one that does builds them.
        auto unknownFirst = ThView(QStringLiteral("X"));
        QCOMPARE(unknownFirst->topLevelItemCount(), 0);
        m_soft.BuildThRows(QStringLiteral("K801"), unknownFirst.get());
        QCOMPARE(unknownFirst->topLevelItemCount(), 8);
    }

    void doRows()
    {
        auto view = DoView();
        QCOMPARE(Captions(*view), (QStringList{QStringLiteral("DOUT1"), QStringLiteral("DOUT2")}));
        QCOMPARE(SubItems(view->topLevelItem(1), 6), QStringList(6, QString()));
    }

    void showThValues_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelIndex");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("values"); // sub-item 1 of the first rows
        QTest::newRow("K803 reply: every other value")
            << QStringLiteral("K803") << 2 << QByteArray::fromHex("F6FF00002C01")
            << QStringList{QStringLiteral("-1.0"), QStringLiteral("30.0"), QString()};
        QTest::newRow("K801 reply: consecutive values")
            << QStringLiteral("K801") << 0 << QByteArray::fromHex("FD0053FFFBFF0000")
            << QStringList{QStringLiteral("25.3"), QStringLiteral("-17.3"), QStringLiteral("-0.5"),
                           QStringLiteral("0.0"), QString()};
        QTest::newRow("value cut in half stays unchanged")
            << QStringLiteral("K802") << 1 << QByteArray::fromHex("640001")
            << QStringList{QStringLiteral("10.0"), QString()};
        QTest::newRow("before the version reply: nothing")
            << QStringLiteral("K801") << -1 << QByteArray::fromHex("FD00FD00") << QStringList{QString(), QString()};
    }
    void showThValues()
    {
        QFETCH(QString, model);
        QFETCH(int, modelIndex);
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, values);
        auto view = ThView(model);
        m_soft.ShowThValues(ValuesReply(payload), view.get(), modelIndex);
        for (int row = 0; row < values.size(); ++row)
            QCOMPARE(view->topLevelItem(row)->text(2), values.at(row));
    }

    void showThValuesIgnoresABadFrame()
    {
        auto view = ThView(QStringLiteral("K803"));
        QByteArray frame = ValuesReply(QByteArray::fromHex("F6FF00002C01"));
        frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 0x01);
        m_soft.ShowThValues(frame, view.get(), 2);
        QCOMPARE(view->topLevelItem(0)->text(2), QString());
    }

    void showThValuesWithoutRowsChangesNothing()
    {
        QTreeWidget empty;
        empty.setColumnCount(TSoftDiDoTh::ThColumns);
        m_soft.ShowThValues(ValuesReply(QByteArray(64, '\x01')), &empty, 1);
        QCOMPARE(empty.topLevelItemCount(), 0);
    }

    void showDoStatus_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("dout1");
        QTest::addColumn<QString>("dout2");
        QTest::newRow("0x01 in English") << int(ConstLang::English) << 0x01 << "Close" << "Open";
        QTest::newRow("0x02 in English") << int(ConstLang::English) << 0x02 << "Open" << "Close";
        QTest::newRow("0xFC in English: only bits 0 and 1 count") << int(ConstLang::English) << 0xFC << "Open" << "Open";
        QTest::newRow("0x03 in Chinese") << int(ConstLang::Chinese) << 0x03 << "闭合" << "闭合";
        QTest::newRow("0x00 in Chinese") << int(ConstLang::Chinese) << 0x00 << "断开" << "断开";
    }
    void showDoStatus()
    {
        QFETCH(int, language);
        QFETCH(int, status);
        QFETCH(QString, dout1);
        QFETCH(QString, dout2);
        m_language = language;
        auto view = DoView();
        QByteArray payload(33, '\0');
        payload[32] = char(status);
        m_soft.ShowDoStatus(ValuesReply(payload), view.get());
        QCOMPARE(TBaseSoftInterface::SubItem(view->topLevelItem(0), 2), dout1);
        QCOMPARE(TBaseSoftInterface::SubItem(view->topLevelItem(1), 2), dout2);
        QCOMPARE(TBaseSoftInterface::SubItem(view->topLevelItem(0), 1), QString());
    }

    void showDoStatusNeedsByte32()
    {
        auto view = DoView();
        m_soft.ShowDoStatus(ValuesReply(QByteArray(32, '\x03')), view.get());
        QCOMPARE(view->topLevelItem(0)->text(3), QString());
    }

    void columnWidths()
    {
        auto lvDo = DoView();
        auto lvTh = ThView(QStringLiteral("K801"));
        m_soft.SizeDoColumns(lvDo.get());
        m_soft.SizeThColumns(lvTh.get());
        QHeaderView *doHeader = lvDo->header();
        QCOMPARE(doHeader->sectionSize(0), 120);
        QCOMPARE(doHeader->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(doHeader->sectionSize(1), 18 * 20); // "Channel Name(Max.40)"
        QCOMPARE(doHeader->sectionSize(3), 12 * 14); // "Current Status"
        QCOMPARE(doHeader->sectionSize(6), 30 * 25); // "Enable Recovery SMS Alert"
        QHeaderView *thHeader = lvTh->header();
        QCOMPARE(thHeader->sectionSize(0), 120);
        QCOMPARE(thHeader->sectionSize(1), 16 * 20 + 50);
        QCOMPARE(thHeader->sectionSize(3), 12 * 6);       // "Enable"
        QCOMPARE(thHeader->sectionSize(10), 16 * 25 + 50); // "Enable Recovery SMS Alert"
        QCOMPARE(thHeader->sectionSize(12), 12 * 14);      // "Alarm-link DO2"

        // Chinese captions: two bytes per character.
        lvDo->headerItem()->setText(1, QStringLiteral("通道名称"));
        m_soft.SizeDoColumns(lvDo.get());
        QCOMPARE(doHeader->sectionSize(1), 18 * 8);
    }

    // --- DO editor ------------------------------------------------------

    void doEditorLoadsTheRow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("nameCell");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownName");
        QTest::newRow("empty name on DOUT2, English") << int(ConstLang::English) << 1 << QString() << "DOUT2" << "DOUT2";
        QTest::newRow("empty name on DOUT2, Chinese") << int(ConstLang::Chinese) << 1 << QString() << "继电器2" << "继电器2";
        QTest::newRow("stored name on DOUT1") << int(ConstLang::English) << 0 << "Fan" << "DOUT1" << "Fan";
    }
    void doEditorLoadsTheRow()
    {
        QFETCH(int, language);
        QFETCH(int, row);
        QFETCH(QString, nameCell);
        QFETCH(QString, title);
        QFETCH(QString, shownName);
        m_language = language;
        auto view = DoView();
        FillRow(view->topLevelItem(row), {nameCell, "30", "Close", "off text", "on text", kTick});
        TFormDoSetting editor(view.get(), row);
        QCOMPARE(editor.windowTitle(), title);
        QCOMPARE(editor.lbledt_DO_ChannleName->text(), shownName);
        QCOMPARE(editor.lbledt_DO_CloseTime->text(), QStringLiteral("30"));
        QCOMPARE(editor.lbledt_DO_OpenDes->text(), QStringLiteral("off text"));
        QCOMPARE(editor.lbledt_DO_CloseDes->text(), QStringLiteral("on text"));
        QVERIFY(editor.chk_Enable_RecoveryAlert->isChecked());
        QCOMPARE(editor.lbledt_DO_ChannleName->maxLength(), 40);
        QCOMPARE(editor.lbledt_DO_OpenDes->maxLength(), 40);
        QCOMPARE(editor.lbledt_DO_CloseDes->maxLength(), 40);
        QCOMPARE(editor.lbledt_DO_CloseTime->hint(),
                 QStringLiteral("Range:0~65535s,stand for always close when action"));
    }

    void doEditorCaptions_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("English") << int(ConstLang::English)
                                 << QStringList{"Channel Name(Max.40)", "Close Time(0~9999s)", "Open Description(Max.40)",
                                                "Close Description(Max.40)", "Enable Recovery SMS Alert", "Default",
                                                "OK", "Cancel"};
        QTest::newRow("Chinese") << int(ConstLang::Chinese)
                                 << QStringList{"通道名称", "闭合时长(秒)", "断开描述", "闭合描述", "断开提醒", "默认",
                                                "确定", "取消"};
    }
    void doEditorCaptions()
    {
        QFETCH(int, language);
        QFETCH(QStringList, captions);
        m_language = language;
        auto view = DoView();
        TFormDoSetting editor(view.get(), 0);
        const QStringList shown{editor.lbledt_DO_ChannleName->labelText(), editor.lbledt_DO_CloseTime->labelText(),
                                editor.lbledt_DO_OpenDes->labelText(),     editor.lbledt_DO_CloseDes->labelText(),
                                editor.chk_Enable_RecoveryAlert->text(),   editor.btn_DO_Default->text(),
                                editor.btn_OK->text(),                     editor.btn_NO->text()};
        QCOMPARE(shown, captions);
    }

    void doEditorDefault_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("English") << int(ConstLang::English) << QStringList{"DOUT2", "0", "Open", "Close"};
        QTest::newRow("Chinese") << int(ConstLang::Chinese) << QStringList{"继电器2", "0", "断开", "闭合"};
    }
    void doEditorDefault()
    {
        QFETCH(int, language);
        QFETCH(QStringList, fields);
        m_language = language;
        auto view = DoView();
        const QStringList stored{"Pump", "5", "Close", "idle", "running", QString()};
        FillRow(view->topLevelItem(1), stored);
        TFormDoSetting editor(view.get(), 1);
        QTest::mouseClick(editor.btn_DO_Default, Qt::LeftButton);
        QCOMPARE((QStringList{editor.lbledt_DO_ChannleName->text(), editor.lbledt_DO_CloseTime->text(),
                              editor.lbledt_DO_OpenDes->text(), editor.lbledt_DO_CloseDes->text()}),
                 fields);
        QVERIFY(editor.chk_Enable_RecoveryAlert->isChecked());
        QCOMPARE(SubItems(view->topLevelItem(1), 6), stored);

        QTest::mouseClick(editor.btn_OK, Qt::LeftButton);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(SubItems(view->topLevelItem(1), 6),
                 (QStringList{fields.at(0), fields.at(1), "Close", fields.at(2), fields.at(3), kTick}));
    }

    void doEditorOkWritesTypedTextsToItsOwnRow()
    {
        auto view = DoView();
        FillRow(view->topLevelItem(0), {"Fan", "30", "Close", "off", "on", kTick});
        FillRow(view->topLevelItem(1), {"Pump", "5", "Open", "idle", "running", QString()});
        TFormDoSetting editor(view.get(), 0);
        editor.lbledt_DO_ChannleName->edit()->clear();
        QTest::keyClicks(editor.lbledt_DO_ChannleName->edit(), QStringLiteral("Heater 2"));
        editor.lbledt_DO_CloseTime->edit()->clear();
        QTest::keyClicks(editor.lbledt_DO_CloseTime->edit(), QStringLiteral("70000"));
        ClickBox(editor.chk_Enable_RecoveryAlert);
        // The user selects another row while the editor is open.
        view->clearSelection();
        view->topLevelItem(1)->setSelected(true);

        QTest::mouseClick(editor.btn_OK, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(0), 6), (QStringList{"Heater 2", "70000", "Close", "off", "on", QString()}));
        QCOMPARE(SubItems(view->topLevelItem(1), 6), (QStringList{"Pump", "5", "Open", "idle", "running", QString()}));
    }

    void doEditorCancelKeepsTheRow()
    {
        auto view = DoView();
        const QStringList stored{QString(), "30", "Close", "off", "on", kTick};
        FillRow(view->topLevelItem(1), stored);
        TFormDoSetting editor(view.get(), 1);
        QTest::keyClicks(editor.lbledt_DO_OpenDes->edit(), QStringLiteral(" typed"));
        QTest::mouseClick(editor.btn_DO_Default, Qt::LeftButton);
        QTest::mouseClick(editor.btn_NO, Qt::LeftButton);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(SubItems(view->topLevelItem(1), 6), stored);
        // The typed text is still in the editor; nothing reloaded over it.
        QCOMPARE(editor.lbledt_DO_OpenDes->text(), QStringLiteral("Open"));
    }

    void doEditorEscapeKeepsTheRow()
    {
        auto view = DoView();
        const QStringList stored{"Fan", "30", QString(), "off", "on", QString()};
        FillRow(view->topLevelItem(0), stored);
        TFormDoSetting editor(view.get(), 0);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTest::keyClicks(editor.lbledt_DO_ChannleName->edit(), QStringLiteral("xx"));
        QTest::keyClick(&editor, Qt::Key_Escape);
        QVERIFY(!editor.isVisible());
        QCOMPARE(SubItems(view->topLevelItem(0), 6), stored);
    }

    // --- TH editor ------------------------------------------------------

    void thEditorLoadsEveryCell()
    {
        auto view = ThView(QStringLiteral("K801"));
        const QStringList stored{"Cold room", "21.5", kTick, "2", "80", "-40", "hi", "lo", "ok", QString(), kTick, QString()};
        FillRow(view->topLevelItem(2), stored);
        TFormThSetting editor(view.get(), 2);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Temperature2"));
        QCOMPARE(editor.lbledt_Th_ChannelName->text(), QStringLiteral("Cold room"));
        QCOMPARE(editor.lbledt_Th_AlarmVerify->text(), QStringLiteral("2"));
        QCOMPARE(editor.lbledt_Th_ThresholdHigh->text(), QStringLiteral("80"));
        QCOMPARE(editor.lbledt_Th_ThresholdLow->text(), QStringLiteral("-40"));
        QCOMPARE(editor.lbledt_Th_ThresholdHighSMS->text(), QStringLiteral("hi"));
        QCOMPARE(editor.lbledt_Th_ThresholdLowSMS->text(), QStringLiteral("lo"));
        QCOMPARE(editor.lbledt_Th_RecoverySMS->text(), QStringLiteral("ok"));
        QVERIFY(editor.chk_Th_Enable->isChecked());
        QVERIFY(!editor.chk_Th_RecoveryAlarm->isChecked());
        QVERIFY(editor.chk_Th_AlarmLinkDO1->isChecked());
        QVERIFY(!editor.chk_Th_AlarmLinkDO2->isChecked());
        QCOMPARE(editor.lbledt_Th_ThresholdHigh->maxLength(), 5);
        QCOMPARE(editor.lbledt_Th_ThresholdLow->maxLength(), 5);
        QCOMPARE(editor.lbledt_Th_AlarmVerify->maxLength(), 40);

        // An empty name stays empty.
        TFormThSetting emptyEditor(view.get(), 3);
        QCOMPARE(emptyEditor.lbledt_Th_ChannelName->text(), QString());
    }

    // Values longer than an editor's typing limit (a threshold with tenths
    // in a five-character edit, a 60-byte description in a 40-character
    // one) open whole and OK writes them back unchanged.
    void editorsKeepValuesLongerThanTheirLimits()
    {
        auto thView = ThView(QStringLiteral("K802"));
        const QStringList channel{"Cold room", "21.5", kTick, "65535", "-3276.8", "1255.5", "hi", "lo", "ok",
                                  QString(), kTick, QString()};
        FillRow(thView->topLevelItem(1), channel);
        {
            TFormThSetting editor(thView.get(), 1);
            QCOMPARE(editor.lbledt_Th_ThresholdHigh->text(), QStringLiteral("-3276.8"));
            QTest::mouseClick(editor.btn_Th_OK, Qt::LeftButton);
        }
        QCOMPARE(SubItems(thView->topLevelItem(1), 12), channel);

        auto doView = DoView();
        const QString sixty(60, QLatin1Char('d'));
        const QStringList relay{"Pump", "65535", QString(), sixty, sixty, kTick};
        FillRow(doView->topLevelItem(0), relay);
        {
            TFormDoSetting editor(doView.get(), 0);
            QCOMPARE(editor.lbledt_DO_OpenDes->text(), sixty);
            QTest::mouseClick(editor.btn_OK, Qt::LeftButton);
        }
        QCOMPARE(SubItems(doView->topLevelItem(0), 6), relay);
    }

    void thEditorThresholdLabels_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("low");
        QTest::newRow("no version reply yet") << -1 << int(ConstLang::English) << QString() << QString();
        QTest::newRow("K802 English") << 1 << int(ConstLang::English)
                                      << "Threshold High(Temp range:-40~80℃; Hum range:0~100RH%)"
                                      << "Threshold Low(Temp range:-40~80℃; Hum range:0~100RH%)";
        QTest::newRow("K803 Chinese") << 2 << int(ConstLang::Chinese) << "高限值(温度范围:-55~125℃)"
                                      << "低限值(温度范围:-55~125℃)";
    }
    void thEditorThresholdLabels()
    {
        QFETCH(int, model);
        QFETCH(int, language);
        QFETCH(QString, high);
        QFETCH(QString, low);
        m_model = model;
        m_language = language;
        auto view = ThView(QStringLiteral("K803"));
        TFormThSetting editor(view.get(), 0);
        QCOMPARE(editor.lbledt_Th_ThresholdHigh->labelText(), high);
        QCOMPARE(editor.lbledt_Th_ThresholdLow->labelText(), low);
    }

    void thEditorDefault_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("modelIndex");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("fields"); // name, verify, high, low, high SMS, low SMS, recovery SMS
        QTest::newRow("humidity row of a K802") << "K802" << 1 << int(ConstLang::English) << 3 << QString()
                                                << QStringList{"Humidity2", "2", "100", "0", "High Alarm", "Low Alarm", "Recover"};
        QTest::newRow("temperature row of a K803") << "K803" << 2 << int(ConstLang::English) << 0 << QString()
                                                   << QStringList{"Temperature1", "2", "125", "-55", "High Alarm", "Low Alarm", "Recover"};
        QTest::newRow("temperature row of a K801") << "K801" << 0 << int(ConstLang::English) << 2 << QString()
                                                   << QStringList{"Temperature2", "2", "80", "-40", "High Alarm", "Low Alarm", "Recover"};
        QTest::newRow("Chinese humidity caption") << "K801" << 0 << int(ConstLang::Chinese) << 1 << "湿度1"
                                                  << QStringList{"湿度1", "2", "100", "0", "高限报警", "低限报警", "恢复"};
    }
    void thEditorDefault()
    {
        QFETCH(QString, model);
        QFETCH(int, modelIndex);
        QFETCH(int, language);
        QFETCH(int, row);
        QFETCH(QString, caption);
        QFETCH(QStringList, fields);
        m_model = modelIndex;
        m_language = language;
        auto view = ThView(model);
        if (!caption.isEmpty())
            view->topLevelItem(row)->setText(0, caption);
        const QStringList stored{"x", "1.0", QString(), "9", "1", "2", "a", "b", "c", QString(), kTick, kTick};
        FillRow(view->topLevelItem(row), stored);
        TFormThSetting editor(view.get(), row);
        QTest::mouseClick(editor.btn_Th_Default, Qt::LeftButton);
        const QStringList shown{editor.lbledt_Th_ChannelName->text(),     editor.lbledt_Th_AlarmVerify->text(),
                                editor.lbledt_Th_ThresholdHigh->text(),   editor.lbledt_Th_ThresholdLow->text(),
                                editor.lbledt_Th_ThresholdHighSMS->text(), editor.lbledt_Th_ThresholdLowSMS->text(),
                                editor.lbledt_Th_RecoverySMS->text()};
        QCOMPARE(shown, fields);
        QVERIFY(editor.chk_Th_Enable->isChecked());
        QVERIFY(editor.chk_Th_RecoveryAlarm->isChecked());
        QVERIFY(!editor.chk_Th_AlarmLinkDO1->isChecked());
        QVERIFY(!editor.chk_Th_AlarmLinkDO2->isChecked());
        QCOMPARE(SubItems(view->topLevelItem(row), 12), stored);

        QTest::mouseClick(editor.btn_Th_OK, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(row), 12),
                 (QStringList{fields.at(0), "1.0", kTick, fields.at(1), fields.at(2), fields.at(3), fields.at(4),
                              fields.at(5), fields.at(6), kTick, QString(), QString()}));
    }

    void thEditorCancelKeepsTheRow()
    {
        auto view = ThView(QStringLiteral("K802"));
        const QStringList stored{"Room", "20.0", kTick, "2", "80", "-40", "hi", "lo", "ok", kTick, QString(), kTick};
        FillRow(view->topLevelItem(5), stored);
        TFormThSetting editor(view.get(), 5);
        QTest::keyClicks(editor.lbledt_Th_ThresholdHigh->edit(), QStringLiteral("123456"));
        ClickBox(editor.chk_Th_Enable);
        QTest::mouseClick(editor.btn_Th_NO, Qt::LeftButton);
        QCOMPARE(SubItems(view->topLevelItem(5), 12), stored);
        QCOMPARE(editor.lbledt_Th_ThresholdHigh->text(), QStringLiteral("80123"));
    }

    // --- Pop-up menus and double clicks ---------------------------------

    void handlersNeedASelectedRow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("DO setting") << "Pop_Do_Setting" << int(ConstLang::English) << "Please select a setting option.";
        QTest::newRow("DO clear line") << "Pop_Do_ClearLine" << int(ConstLang::English) << "Please select a setting option.";
        QTest::newRow("TH setting") << "Pop_Th_Setting" << int(ConstLang::Chinese) << "请选择一个设置选项。";
        QTest::newRow("TH clear line") << "Pop_Th_ClearLine" << int(ConstLang::English) << "Please select a setting option.";
    }
    void handlersNeedASelectedRow()
    {
        QFETCH(QString, action);
        QFETCH(int, language);
        QFETCH(QString, message);
        m_language = language;
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        views.SoftDiDoTh->BuildThRows(QStringLiteral("K801"), views.lvTh);
        FillRow(views.lvDo->topLevelItem(0), {"Fan", "30"});
        FillRow(views.lvTh->topLevelItem(0), {"Room"});

        fixture.window->findChild<QAction *>(action)->trigger();

        QCOMPARE(m_messages, QStringList{message});
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(views.lvDo->topLevelItem(0)->text(1), QStringLiteral("Fan"));
        QCOMPARE(views.lvTh->topLevelItem(0)->text(1), QStringLiteral("Room"));
    }

    void clearLineAndClearDisplay()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        FillRow(views.lvDo->topLevelItem(0), {"Fan", "30", "Close"});
        FillRow(views.lvDo->topLevelItem(1), {"Pump", "5", "Open"});
        views.lvDo->topLevelItem(1)->setSelected(true);
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Do_ClearLine"))->trigger();
        QCOMPARE(SubItems(views.lvDo->topLevelItem(1), 6), QStringList(6, QString()));
        QCOMPARE(views.lvDo->topLevelItem(1)->text(0), QStringLiteral("DOUT2"));
        QCOMPARE(views.lvDo->topLevelItem(0)->text(1), QStringLiteral("Fan"));

        views.lvDo->clearSelection();
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Do_Clear"))->trigger();
        QCOMPARE(SubItems(views.lvDo->topLevelItem(0), 6), QStringList(6, QString()));
        QVERIFY(m_messages.isEmpty());
    }

    void readCurrentValuesAsksTheMainWindow()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        QSignalSpy doRequests(views.SoftDiDoTh, &TSoftDiDoTh::readDoStatusRequested);
        QSignalSpy thRequests(views.SoftDiDoTh, &TSoftDiDoTh::readThValuesRequested);
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Do_ReadCurrentValue"))->trigger();
        QCOMPARE(doRequests.count(), 1);
        QCOMPARE(thRequests.count(), 0);
        fixture.window->findChild<QAction *>(QStringLiteral("Pop_Th_ReadCurrentValue"))->trigger();
        QCOMPARE(thRequests.count(), 1);
        QCOMPARE(doRequests.count(), 1);
    }

    void doubleClickOpensTheEditorOnTheSelectedRow()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        views.BuildRows();
        fixture.window->resize(900, 500);
        fixture.window->show();
        fixture.sheets.PageControl->setCurrentIndex(1);
        fixture.sheets.PageControlMain->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
        views.lvDo->topLevelItem(1)->setSelected(true);

        const QRect rowRect = views.lvDo->visualItemRect(views.lvDo->topLevelItem(1));
        QTest::mouseDClick(views.lvDo->viewport(), Qt::LeftButton, {}, rowRect.center());
        // The editor opens once the view has finished with the double click;
        // this runs inside its modal loop.
        QString openedTitle;
        QTimer::singleShot(0, this, [&] {
            auto *editor = qobject_cast<TFormDoSetting *>(QApplication::activeModalWidget());
            if (editor == nullptr)
                return;
            openedTitle = editor->windowTitle();
            editor->lbledt_DO_ChannleName->setText(QStringLiteral("Siren"));
            editor->btn_OKClick();
        });
        QTRY_COMPARE(openedTitle, QStringLiteral("DOUT2"));
        QCOMPARE(views.lvDo->topLevelItem(1)->text(1), QStringLiteral("Siren"));
        QVERIFY(m_messages.isEmpty());
    }

    void menuCaptionsAndHintAreInEnglishUntilTheFirstSwitch()
    {
        TSheetsFixture fixture;
        const TSettingsViews views = BuildSettingsViews(fixture.sheets, fixture.window.get());
        QCOMPARE(fixture.window->findChild<QAction *>(QStringLiteral("Pop_Do_Setting"))->text(), QStringLiteral("Setting"));
        QCOMPARE(fixture.window->findChild<QAction *>(QStringLiteral("Pop_Th_ReadCurrentValue"))->text(),
                 QStringLiteral("Current Value"));
        QCOMPARE(views.lvTh->headerItem()->text(12), QStringLiteral("Alarm-link DO2"));
        QCOMPARE(views.lvDo->headerItem()->text(0), QStringLiteral("Channel"));
        QVERIFY(!views.lvDo->rootIsDecorated());
        QCOMPARE(views.lvDo->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(views.lvDo->editTriggers(), QAbstractItemView::NoEditTriggers);
    }
};

QTEST_MAIN(TestChannelViews)
#include "tst_ChannelViews.moc"
