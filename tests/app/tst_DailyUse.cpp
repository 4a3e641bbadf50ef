// The main window in daily use against a simulated logger, also one that
// stops answering: nothing is written that was never read, a restore asks
// first and shows what it wrote, the window compares as the tool does, and
// every action that gets no answer says so in plain words.
#include "app/Login_Frm.h"
#include "dialogs/FieldTable_Frm.h"
#include "dialogs/MessageBox_Frm.h"
#include "config/ConfigImage_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "look/ComponentEx.h"
#include "history/HistorySheet_Frm.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "views/DeviceCard_Frm.h"
#include "fixtures/MainWindowFixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace MainWindowFixture;

namespace {

constexpr int FlowWaitMs = 60000;
const QString kDescription = QStringLiteral("lbledt_Master_DevDes");
const QString kDescriptionCaption = QStringLiteral("Device description(Max.60 characters)");

QString English(const char *key)
{
    return ConstLang::Text(QString::fromLatin1(key), ConstLang::English);
}

QString RunFlow(TFormK900 &window, void (TFormK900::*flow)(), bool *ok = nullptr)
{
    QSignalSpy finished(&window, &TFormK900::FlowFinished);
    QMetaObject::invokeMethod(&window, [&window, flow] { (window.*flow)(); }, Qt::QueuedConnection);
    if (!finished.wait(FlowWaitMs))
        return QString();
    if (ok)
        *ok = finished.first().at(0).toBool();
    return finished.first().at(1).toString();
}

bool ReadSettings(TFormK900 &window)
{
    bool ok = false;
    RunFlow(window, &TFormK900::Pop_ReadMaster_SetingClick, &ok);
    return ok && QTest::qWaitFor([&window] { return !window.Session()->busy(); });
}

template <typename T>
T *Visible(TFormK900 &window, const char *name = nullptr)
{
    for (T *widget : window.findChildren<T *>()) {
        if (widget->isVisible() && (!name || widget->objectName() == QLatin1String(name)))
            return widget;
    }
    return nullptr;
}

int WritesOfPagesAbove(const TDeviceSimulator *device, int page)
{
    int count = 0;
    for (const QByteArray &request : device->requestLog()) {
        if (request.size() > 5 && quint8(request.at(1)) == TBasicProtocol::CmdWriteMemory
            && quint8(request.at(4)) > page)
            ++count;
    }
    return count;
}

// With K80X_GRAB_FOLDER set, a picture of widget for a reviewer.
void Grab(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("K80X_GRAB_FOLDER");
    if (!folder.isEmpty() && widget)
        widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The name of the control that holds the focus: the focused widget or the
// nearest named control around it (the line edit inside an editable combo box).
QString FocusName()
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")))
            return widget->objectName();
    }
    return QStringLiteral("<nothing>");
}

// The control focused when window opens, then each one Tab reaches, steps times.
QStringList TabWalk(QWidget *window, int steps)
{
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return {QStringLiteral("<not active>")};
    QTest::qWait(0);
    QStringList names{FocusName()};
    for (int step = 0; step < steps; ++step) {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window, Qt::Key_Tab);
        names << FocusName();
    }
    return names;
}

} // namespace

class TestDailyUse : public QObject
{
    Q_OBJECT

    QTemporaryDir m_backups;
    int m_windows = 0;

    std::unique_ptr<TFormK900> Window(const char *model = "K802")
    {
        auto window = ConnectedWindow(QString::fromLatin1(model));
        if (window)
            window->Backups() = TBackupStore(m_backups.path() + QStringLiteral("/") + QString::number(++m_windows));
        return window;
    }

private slots:
    void initTestCase() { QVERIFY(m_backups.isValid()); }

    void cleanup()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget))
                box->close();
        }
    }

    // Logged in, nothing read: Write Setting (menu and Ctrl+W) is disabled
    // and says why; nothing reaches the device. A read enables it.
    void writeOnlyWhatCameFromTheDevice()
    {
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        auto *write = window->findChild<QAction *>(QStringLiteral("Pop_WirteMaster"));
        QVERIFY(write);
        QVERIFY(!write->isEnabled());
        QCOMPARE(write->toolTip(), English("TxtWriteNeedsSettings"));
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const QByteArray before = device->configImage();
        QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
        bool ok = true;
        const QString said = RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QVERIFY(!ok);
        QCOMPARE(said, English("TxtWriteNeedsSettings"));
        QCOMPARE(device->framesWithCommand(TBasicProtocol::CmdWriteMemory), 0);
        QCOMPARE(device->configImage(), before);

        QVERIFY(ReadSettings(*window));
        QVERIFY(write->isEnabled());
        QVERIFY(write->toolTip() != English("TxtWriteNeedsSettings"));
    }

    // The window and the tool take the device's bytes as the panes show
    // them: an auto-arm switch of 0x01 is no difference after a read.
    void compareWithDeviceAfterAReadFindsNothing()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QByteArray image = device->configImage();
        image[ConfigMap::AutoArmSwitch] = char(0x01);
        device->setConfigImage(image);
        QVERIFY(ReadSettings(*window));
        QSignalSpy messages(window.get(), &TFormK900::MessageShown);
        window->Pop_CompareDeviceClick();
        QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), FlowWaitMs);
        QCOMPARE(messages.last().at(0).toString(), English("MsgNoDifferences"));
        QVERIFY(!Visible<TFormFieldTable>(*window));
    }

    // Compare with Device shows timer fields in words, as the timer list
    // does, and offers the next step: writing the panes.
    void compareShowsTimersInWordsAndOffersToWrite()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QByteArray image = device->configImage();
        image.replace(ConfigMap::Timers, 4, QByteArray("\x03\x08\x1E\x07", 4));
        device->setConfigImage(image);
        QVERIFY(ReadSettings(*window));
        // Another timer on the device now: Sunday, action 0.
        image.replace(ConfigMap::Timers, 4, QByteArray("\x00\x08\x1E\x00", 4));
        device->setConfigImage(image);
        window->Pop_CompareDeviceClick();
        TFormFieldTable *table = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((table = Visible<TFormFieldTable>(*window)), FlowWaitMs);
        QCOMPARE(table->Table()->rowCount(), 2);
        QCOMPARE(table->Table()->item(0, 2)->text(), QStringLiteral("Wednesday"));
        QCOMPARE(table->Table()->item(1, 2)->text(), QStringLiteral("7.DO1 Close(ON)"));
        QVERIFY(table->Table()->selectedItems().isEmpty());
        auto *write = table->findChild<QPushButton *>(QStringLiteral("btn_WriteToDevice"));
        QVERIFY(write);
        QSignalSpy finished(window.get(), &TFormK900::FlowFinished);
        write->click();
        QVERIFY(finished.wait(FlowWaitMs));
        QVERIFY(finished.first().at(0).toBool());
        QCOMPARE(device->configImage().mid(ConfigMap::Timers, 4).toHex(), QByteArray("03081e07"));
    }

    // Compare with Profile names the file and offers to load it.
    void compareWithProfileNamesTheFileAndLoadsIt()
    {
        auto window = Window();
        QVERIFY(window);
        QVERIFY(ReadSettings(*window));
        QTemporaryDir folder;
        const QString profile = folder.filePath(QStringLiteral("cold-room.ini"));
        auto *description = window->findChild<TLabeledEdit *>(kDescription);
        const QString original = description->text();
        description->setText(QStringLiteral("In the profile"));
        QVERIFY(window->Profiles()->SaveProfile(profile).ok());
        description->setText(original);
        window->Profiles()->ChooseOpenFile = [profile](const QString &) { return profile; };
        window->Pop_CompareProfileClick();
        TFormFieldTable *table = nullptr;
        QTRY_VERIFY((table = Visible<TFormFieldTable>(*window)));
        QCOMPARE(table->Table()->horizontalHeaderItem(1)->text(), QStringLiteral("Profile (cold-room.ini)"));
        table->findChild<QPushButton *>(QStringLiteral("btn_LoadIntoWindow"))->click();
        QCOMPARE(description->text(), QStringLiteral("In the profile"));
        QVERIFY(window->EditsUnsaved());
    }

    // Restore asks first with the fields that would change, and afterwards
    // the window shows the restored settings, unedited.
    void restoreAsksAndShowsWhatItWrote()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QVERIFY(ReadSettings(*window));
        auto *description = window->findChild<TLabeledEdit *>(kDescription);
        const QString original = description->text();
        description->setText(QStringLiteral("Cold room 3"));
        bool ok = false;
        RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QVERIFY(ok);
        description->setText(QStringLiteral("Typed, not written"));
        const QByteArray written = device->configImage();

        window->Pop_RestoreBackupClick();
        TFormFieldTable *list = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((list = Visible<TFormFieldTable>(*window, "FormFieldTable")), FlowWaitMs);
        // The date says its year.
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                     .match(list->Table()->item(0, 0)->text())
                     .hasMatch(),
                 qPrintable(list->Table()->item(0, 0)->text()));
        // Nothing looks chosen before the user chooses; a chosen backup
        // names the fields it would change.
        QVERIFY(list->Table()->selectedItems().isEmpty());
        QVERIFY(!list->ChooseButton()->isEnabled());
        list->Table()->selectRow(0);
        QCOMPARE(list->Note()->text(), English("TxtBackupWouldChange").arg(kDescriptionCaption));
        list->ChooseButton()->click();

        TFormFieldTable *question = nullptr;
        QTRY_VERIFY((question = Visible<TFormFieldTable>(*window, "FieldQuestion")));
        // Nothing is written before the answer.
        QCOMPARE(device->configImage(), written);
        QCOMPARE(question->Table()->rowCount(), 1);
        QCOMPARE(question->Table()->item(0, 0)->text(), kDescriptionCaption);
        QCOMPARE(question->Table()->item(0, 1)->text(), QStringLiteral("Cold room 3"));
        QCOMPARE(question->Table()->item(0, 2)->text(), original);
        Grab(question, QStringLiteral("restore-question-en"));
        QSignalSpy finished(window.get(), &TFormK900::FlowFinished);
        question->findChild<QPushButton *>(QStringLiteral("btn_Yes"))->click();
        QVERIFY(finished.wait(FlowWaitMs));
        QVERIFY(finished.first().at(0).toBool());
        QCOMPARE(description->text(), original);
        QVERIFY(!window->EditsUnsaved());
    }

    // The device goes silent while page 6 is written: the window gives up
    // after that page and one probe, says how far it got, what the device
    // may hold and where the old settings are; the link shows no answer.
    void writeToADeviceThatStopsAnswering()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QVERIFY(ReadSettings(*window));
        window->findChild<TLabeledEdit *>(kDescription)->setText(QStringLiteral("Cold room 4"));
        QObject::connect(device, &TDeviceSimulator::requestReceived, device, [device](const QByteArray &request) {
            if (request.size() > 5 && quint8(request.at(1)) == TBasicProtocol::CmdWriteMemory
                && quint8(request.at(4)) == 6)
                device->stopAnsweringAfterReplies(0);
        });
        QElapsedTimer elapsed;
        elapsed.start();
        bool ok = true;
        const QString said = RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        const qint64 took = elapsed.elapsed();
        QVERIFY(!ok);
        const QList<TBackupEntry> kept = window->Backups().List(device->imei());
        QCOMPARE(kept.size(), 1);
        QCOMPARE(said, English("MsgWriteStoppedAnswering")
                           .replace(QStringLiteral("%1"), QStringLiteral("37"))
                           .replace(QStringLiteral("%2"), kept.first().time.toString(QStringLiteral("HH:mm"))));
        QCOMPARE(ErrorBoxText(window.get()), said);
        Grab(OpenBox(window.get(), "ErrorBox"), QStringLiteral("write-stopped-answering-en"));
        Grab(window.get(), QStringLiteral("main-no-answer-en"));
        window->ApplyLanguage(ConstLang::Chinese);
        Grab(window.get(), QStringLiteral("main-no-answer-zh"));
        window->ApplyLanguage(ConstLang::English);
        QVERIFY2(took < 16000, qPrintable(QString::number(took)));
        QCOMPARE(WritesOfPagesAbove(device, 6), 0);
        QCOMPARE(window->DeviceCard()->Link(), TFormDeviceCard::TLink::NoAnswer);
        QVERIFY2(window->LinkText().startsWith(English("TxtLinkNoAnswer")), qPrintable(window->LinkText()));
    }

    // A page acknowledged but not stored, whose difference lies only in a
    // byte no field shows: named by its area, not by an offset.
    void unstoredPageIsNamedByItsArea()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QByteArray image = device->configImage();
        const int reserved = ConfigMap::RelayBlocks + ConfigMap::RelayBlockSize + ConfigMap::RelayReservedZero;
        image[reserved] = char(0x55);
        device->setConfigImage(image);
        QVERIFY(ReadSettings(*window));
        device->ignoreConfigPageWrites(reserved / 256);
        bool ok = true;
        const QString said = RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QVERIFY(!ok);
        QCOMPARE(said, English("MsgWriteDiffers").arg(QStringLiteral("DO2 settings")));
    }

    // Device Time on a silent device says so; a set whose read-back fails
    // says what was done.
    void clockActionsSayWhatHappened_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("repliesBeforeSilence");
        QTest::addColumn<QString>("said");
        QTest::newRow("read, no answer") << false << 0 << English("MsgClockNoAnswer");
        QTest::newRow("write, no answer") << true << 0 << English("MsgClockSetNoAnswer");
        QTest::newRow("write taken, read-back lost") << true << 1 << English("MsgClockSetNotReadBack");
    }

    void clockActionsSayWhatHappened()
    {
        QFETCH(bool, write);
        QFETCH(int, repliesBeforeSilence);
        QFETCH(QString, said);
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->stopAnsweringAfterReplies(repliesBeforeSilence);
        if (write)
            window->btn_Main_Timer_WriteClick();
        else
            window->btn_Main_Timer_ReadClick();
        QTRY_COMPARE_WITH_TIMEOUT(ErrorBoxText(window.get()), said, FlowWaitMs);
        QCOMPARE(window->DeviceCard()->Link(), TFormDeviceCard::TLink::NoAnswer);
    }

    // Good news goes to the status bar: a read ends without a box, and
    // Clock Read gives the device's time and its distance from the PC's.
    void goodNewsInTheStatusBar()
    {
        auto window = Window();
        QVERIFY(window);
        QVERIFY(ReadSettings(*window));
        QVERIFY2(window->NewsText().endsWith(English("MsgConfigRead")), qPrintable(window->NewsText()));
        QVERIFY(!Visible<TFormMessage>(*window));
        QVERIFY(!OpenBox(window.get(), "ErrorBox"));
        QVERIFY2(window->LinkText().contains(QStringLiteral("last answer ")), qPrintable(window->LinkText()));

        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QSignalSpy messages(window.get(), &TFormK900::MessageShown);
        window->btn_Main_Timer_ReadClick();
        QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), FlowWaitMs);
        const QString clock = device->deviceClock().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        QVERIFY2(window->NewsText().contains(QStringLiteral("The device's clock reads ") + clock),
                 qPrintable(window->NewsText()));
        QVERIFY(!Visible<TFormMessage>(*window));
    }

    // The card says when the settings were last read, at the PC's time,
    // and only a read that brought them counts.
    void cardSaysWhenTheSettingsWereRead()
    {
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        auto *settingsRead = window->DeviceCard()->findChild<QLabel *>(QStringLiteral("lbl_SettingsRead"));
        QVERIFY(settingsRead);
        QCOMPARE(settingsRead->text(), QStringLiteral("Settings not read yet"));

        const QDateTime before = QDateTime::currentDateTime().addMSecs(-999);
        QVERIFY(ReadSettings(*window));
        const QDateTime after = QDateTime::currentDateTime();
        const QDateTime at = window->DeviceCard()->SettingsRead();
        QVERIFY2(at >= before && at <= after, qPrintable(at.toString(Qt::ISODateWithMs)));
        QCOMPARE(settingsRead->text(), QStringLiteral("Settings read ") + at.toString(QStringLiteral("HH:mm:ss")));
        Grab(window.get(), QStringLiteral("card-settings-read-en"));
        Switch(*window, ConstLang::Chinese);
        QCOMPARE(settingsRead->text(), QStringLiteral("配置于%1读取").arg(at.toString(QStringLiteral("HH:mm:ss"))));
        Grab(window.get(), QStringLiteral("card-settings-read-zh"));
        Switch(*window, ConstLang::English);

        // A read the device stops answering in the middle of keeps the time of the last good one.
        QTest::qWait(1100);
        DemoSimulator(window->ComPort())->stopAnsweringAfterReplies(2);
        bool ok = true;
        RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick, &ok);
        QVERIFY(!ok);
        QCOMPARE(window->DeviceCard()->SettingsRead(), at);
        QCOMPARE(settingsRead->text(), QStringLiteral("Settings read ") + at.toString(QStringLiteral("HH:mm:ss")));
    }

    // Exports and loads say what they did in the status bar, naming the
    // file; a loaded profile the device does not hold shows the edited mark.
    void filesSayWhatHappenedInTheStatusBar()
    {
        auto window = Window();
        QVERIFY(window);
        QVERIFY(ReadSettings(*window));
        QTemporaryDir folder;
        const QString profile = folder.filePath(QStringLiteral("room.ini"));
        auto *description = window->findChild<TLabeledEdit *>(kDescription);
        const QString original = description->text();
        description->setText(QStringLiteral("From the profile"));
        window->Profiles()->ChooseSaveFile = [profile](const QString &, const QString &) { return profile; };
        window->findChild<QAction *>(QStringLiteral("N_Save"))->trigger();
        QVERIFY2(window->NewsText().endsWith(English("MsgProfileSavedTo").arg(QDir::toNativeSeparators(profile))),
                 qPrintable(window->NewsText()));

        description->setText(original);
        QVERIFY(!window->EditsUnsaved());
        window->Profiles()->ChooseOpenFile = [profile](const QString &) { return profile; };
        window->N_OpenClick();
        QCOMPARE(description->text(), QStringLiteral("From the profile"));
        QVERIFY2(window->NewsText().endsWith(English("MsgProfileLoadedFrom").arg(QDir::toNativeSeparators(profile))),
                 qPrintable(window->NewsText()));
        QVERIFY(window->EditsUnsaved());
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lbl_Edited"))->text(), English("TxtEditedMark"));

        const QString csv = folder.filePath(QStringLiteral("log.csv"));
        window->History()->ChooseSaveFile = [csv](const QString &, const QString &) { return csv; };
        window->History()->btn_Hist_Save_CSV->click();
        QVERIFY2(window->NewsText().endsWith(
                     English("MsgCsvExportedTo").arg(0).arg(QDir::toNativeSeparators(csv))),
                 qPrintable(window->NewsText()));
        QVERIFY(!Visible<TFormMessage>(*window));
        QVERIFY(!OpenBox(window.get(), "ErrorBox"));
    }

    // Reset names what the device loses; its safe step keeps the device's
    // settings as a backup before the reset goes out.
    void resetKeepsABackupFirst()
    {
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QByteArray image = device->configImage();
        image[ConfigMap::DeviceId] = char(77);
        device->setConfigImage(image);
        window->Pop_RESETClick();
        QMessageBox *question = nullptr;
        QTRY_VERIFY((question = OpenBox(window.get(), "QuestionBox")));
        QVERIFY2(question->text().contains(QStringLiteral("phone numbers")), qPrintable(question->text()));
        question->findChild<QPushButton *>(QStringLiteral("btn_SafeStep"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!device->requestLog().isEmpty() && device->requestLog().last().endsWith("RESET\r\n"),
                                 FlowWaitMs);
        const QList<TBackupEntry> kept = window->Backups().List(device->imei());
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TBackupStore::LoadImage(kept.first()).toHex(), image.left(ConfigMap::ImageSize).toHex());
        QTRY_VERIFY_WITH_TIMEOUT(!window->Session()->busy(), FlowWaitMs);
    }

    // A relay line whose state does not come back: the card and the DO list
    // both say unknown.
    void relayStateUnknownOnCardAndList()
    {
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        DemoSimulator(window->ComPort())->stopAnsweringAfterReplies(0);
        window->btn_DO1_CloseClick();
        QTRY_COMPARE_WITH_TIMEOUT(ErrorBoxText(window.get()), English("MsgRelayUnknown"), FlowWaitMs);
        auto *relay1 = window->DeviceCard()->findChild<QLabel *>(QStringLiteral("lbl_Relay1"));
        QVERIFY(relay1);
        QVERIFY2(relay1->text().endsWith(English("TxtDoStatusUnknown")), qPrintable(relay1->text()));
    }

    // Every current value stands whole with its unit on the welcome page,
    // at the window's minimum size and at full HD, in both languages: the
    // widest K802 values (16 channels) and the K803's.
    void cardValuesFitTheWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("model");
        for (const int language : {ConstLang::Chinese, ConstLang::English}) {
            const char *tag = language == ConstLang::Chinese ? "zh" : "en";
            for (const QSize &size : {QSize(860, 560), QSize(1920, 1080)}) {
                for (const int model : {1, 2}) {
                    QTest::addRow("%s %dx%d K80%d", tag, size.width(), size.height(), model + 1)
                        << language << size << model;
                }
            }
        }
    }
    void cardValuesFitTheWindow()
    {
        QFETCH(int, language);
        QFETCH(QSize, size);
        QFETCH(int, model);
        auto window = ViewWindow();
        QVERIFY(window);
        Switch(*window, language);
        auto *pages = window->findChild<QTabWidget *>(QStringLiteral("PageControl"));
        QVERIFY(pages);
        pages->setCurrentIndex(0);
        window->resize(size);
        TFormDeviceCard *card = window->DeviceCard();
        QStringList values;
        for (int channel = 0; channel < 16; ++channel)
            values << (channel % 2 ? QStringLiteral("100.0") : QStringLiteral("-40.0"));
        card->SetCurrentValues(model, values, QTime(14, 2, 11));
        QTRY_VERIFY(card->isVisible() && card->width() > 0);
        QTest::qWait(0);
        const QList<QLabel *> labels = card->findChildren<QLabel *>(QStringLiteral("lbl_CurrentValue"));
        QCOMPARE(labels.size(), model == 2 ? 8 : 16);
        const QRect shown = card->rect();
        for (const QLabel *label : labels) {
            const QString what = label->text() + QStringLiteral(" at %1x%2").arg(label->width()).arg(label->height());
            QVERIFY2(label->text().endsWith(QStringLiteral("°C")) || label->text().endsWith(QStringLiteral("%RH")),
                     qPrintable(what));
            QVERIFY2(label->isVisible(), qPrintable(what));
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(what));
            QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(what));
            const QRect onCard(label->mapTo(card, QPoint(0, 0)), label->size());
            QVERIFY2(shown.contains(onCard), qPrintable(what));
        }
        Grab(window.get(), QStringLiteral("card-%1-%2x%3-K80%4")
                               .arg(language == ConstLang::Chinese ? "zh" : "en")
                               .arg(size.width())
                               .arg(size.height())
                               .arg(model + 1));
    }

    // Tab walks each window in reading order, fields first, then the
    // buttons from left to right, and comes round again; the window opens
    // on its first field (the login on the password, the port being chosen).
    void tabFollowsReadingOrder_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QStringList>("walk");
        QTest::newRow("login") << "login"
                               << QStringList{"edt_Password", "btn_Login", "btn_LogOut", "cbb_ComPort",
                                              "edt_Password"};
        QTest::newRow("compare with device") << "compare"
                                             << QStringList{"tbl_Fields", "btn_WriteToDevice", "btn_CloseTable",
                                                            "tbl_Fields"};
        // Restore is not offered before a backup is chosen.
        QTest::newRow("restore backup") << "restore" << QStringList{"tbl_Fields", "btn_CloseTable", "tbl_Fields"};
        QTest::newRow("restore backup chosen")
            << "chosen" << QStringList{"tbl_Fields", "btn_Choose", "btn_CloseTable", "tbl_Fields"};
        QTest::newRow("restore question") << "question"
                                          << QStringList{"tbl_Fields", "btn_Yes", "btn_CloseTable", "tbl_Fields"};
    }
    void tabFollowsReadingOrder()
    {
        QFETCH(QString, which);
        QFETCH(QStringList, walk);
        const int steps = int(walk.size()) - 1;
        if (which == QLatin1String("login")) {
            TFormLogin login({QStringLiteral("demo:K802")});
            login.SetLanguageForTest(ConstLang::English);
            login.show();
            QVERIFY(QTest::qWaitForWindowExposed(&login));
            QTRY_COMPARE(FocusName(), walk.first());
            QCOMPARE(TabWalk(&login, steps), walk);
            Grab(&login, QStringLiteral("tab-login"));
            return;
        }
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QVERIFY(ReadSettings(*window));
        auto *description = window->findChild<TLabeledEdit *>(kDescription);
        description->setText(QStringLiteral("Cold room 3"));
        TFormFieldTable *table = nullptr;
        if (which == QLatin1String("compare")) {
            window->Pop_CompareDeviceClick();
            QTRY_VERIFY_WITH_TIMEOUT((table = Visible<TFormFieldTable>(*window)), FlowWaitMs);
        } else {
            bool ok = false;
            RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
            QVERIFY(ok);
            QVERIFY(device->configImage().contains("Cold room 3"));
            window->Pop_RestoreBackupClick();
            QTRY_VERIFY_WITH_TIMEOUT((table = Visible<TFormFieldTable>(*window, "FormFieldTable")), FlowWaitMs);
            if (which != QLatin1String("restore"))
                table->Table()->selectRow(0);
            if (which == QLatin1String("question")) {
                table->ChooseButton()->click();
                QTRY_VERIFY((table = Visible<TFormFieldTable>(*window, "FieldQuestion")));
            }
        }
        const bool chosen = which == QLatin1String("chosen");
        QCOMPARE(TabWalk(table, steps), walk);
        Grab(table, QStringLiteral("tab-") + which);
        // Tab through the list chooses nothing and keeps the choice.
        QCOMPARE(table->Table()->selectedItems().size(), chosen ? 2 : 0);
        table->close();
    }
};

QTEST_MAIN(TestDailyUse)
#include "tst_DailyUse.moc"
