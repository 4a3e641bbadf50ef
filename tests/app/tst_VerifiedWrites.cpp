// Writes that keep what the device held and check what it holds afterwards,
// comparing the window with the device, restoring a backup, and edits that
// are never thrown away without asking.
#include "dialogs/FieldTable_Frm.h"
#include "config/ConfigImage_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "sim/PtyBridge_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace MainWindowFixture;

namespace {

constexpr int FlowWaitMs = 60000;
const QString kDescription = QStringLiteral("lbledt_Master_DevDes");
// Its label in the English and the Chinese window.
const QString kDescriptionCaption = QStringLiteral("Device description(Max.60 characters)");
const QString kDescriptionCaptionChinese = QString::fromUtf8("设备描述(最多输入60个字符)");

TLabeledEdit *Description(TFormK900 &window)
{
    return window.findChild<TLabeledEdit *>(kDescription);
}

// Runs a configuration flow to its end; the message it showed, or a null
// string when it did not end in time.
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

// Read Setting, to its successful end: the panes show the device.
bool ReadSettings(TFormK900 &window)
{
    bool ok = false;
    RunFlow(window, &TFormK900::Pop_ReadMaster_SetingClick, &ok);
    return ok;
}

// The open table window (differences or backups), or null.
TFormFieldTable *OpenTable(TFormK900 &window)
{
    for (TFormFieldTable *table : window.findChildren<TFormFieldTable *>()) {
        if (table->isVisible())
            return table;
    }
    return nullptr;
}

QString English(const char *key)
{
    return ConstLang::Text(QString::fromLatin1(key), ConstLang::English);
}

// The differences window is open and lists the description alone, with its
// other value and the window's; closes it.
void CheckOnlyDescriptionDiffers(TFormK900 &window, const QString &other, const QString &shown)
{
    TFormFieldTable *table = OpenTable(window);
    QVERIFY(table);
    QCOMPARE(table->Table()->rowCount(), 1);
    QCOMPARE(table->Table()->item(0, 0)->text(),
             window.Language() == ConstLang::Chinese ? kDescriptionCaptionChinese : kDescriptionCaption);
    QCOMPARE(table->Table()->item(0, 1)->text(), other);
    QCOMPARE(table->Table()->item(0, 2)->text(), shown);
    table->close();
}

} // namespace

class TestVerifiedWrites : public QObject
{
    Q_OBJECT

    QTemporaryDir m_backups;

    // A K802 window logged in to the built-in simulator, its backups in a
    // folder of the test's own.
    std::unique_ptr<TFormK900> Window()
    {
        auto window = ConnectedWindow(QStringLiteral("K802"));
        if (window)
            window->Backups() = TBackupStore(m_backups.path() + QStringLiteral("/") + QString::number(++m_windows));
        return window;
    }
    int m_windows = 0;

private slots:
    void initTestCase() { QVERIFY(m_backups.isValid()); }

    void cleanup()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget))
                box->close();
        }
    }

    void writeIsBackedUpAndVerified_data()
    {
        QTest::addColumn<bool>("dropPage");
        QTest::newRow("device takes every page") << false;
        QTest::newRow("device confirms a page it does not store") << true;
    }

    void writeIsBackedUpAndVerified()
    {
        QFETCH(bool, dropPage);
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const QByteArray before = device->configImage();
        QVERIFY(ReadSettings(*window));
        if (dropPage)
            device->ignoreConfigPageWrites(0); // the page of the description
        Description(*window)->setText(QStringLiteral("Cold room 3"));
        const QByteArray written = window->Master()->ControlsToImage().Image;

        bool ok = false;
        const QString said = RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QCOMPARE(ok, !dropPage);

        // What the device held before is kept, as an image and as a profile.
        const QList<TBackupEntry> kept = window->Backups().List(device->imei());
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TBackupStore::LoadImage(kept.first()).toHex(), before.toHex());

        if (dropPage) {
            QCOMPARE(said, English("MsgWriteDiffers").arg(kDescriptionCaption));
            QVERIFY(window->EditsUnsaved());
            return;
        }
        QCOMPARE(said, English("MsgConfigWrittenVerified"));
        QCOMPARE(device->configImage().toHex(), written.toHex());
        QVERIFY(!window->EditsUnsaved());
        // The backup's profile opens in Load Profile and shows the old settings.
        QVERIFY(window->Profiles()->LoadProfile(kept.first().profilePath).ok());
        QCOMPARE(window->Master()->ControlsToImage().Image.toHex(), before.toHex());
    }

    void compareWithDevice_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("nothing edited") << QString();
        QTest::newRow("description edited") << QStringLiteral("Cold room 3");
    }

    void compareWithDevice()
    {
        QFETCH(QString, edit);
        auto window = Window();
        QVERIFY(window);
        QVERIFY(ReadSettings(*window));
        const QString shown = Description(*window)->text();
        if (!edit.isEmpty())
            Description(*window)->setText(edit);
        QSignalSpy messages(window.get(), &TFormK900::MessageShown);
        window->Pop_CompareDeviceClick();
        QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty() && !window->Session()->busy(), FlowWaitMs);
        if (edit.isEmpty()) {
            QCOMPARE(messages.last().at(0).toString(), English("MsgNoDifferences"));
            QVERIFY(!OpenTable(*window));
            return;
        }
        CheckOnlyDescriptionDiffers(*window, shown, edit);
    }

    void compareWithProfile_data()
    {
        // profile: the description the file holds; a null string: a file
        // that is no profile.
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("language");
        QTest::newRow("the same settings") << QStringLiteral("same") << int(ConstLang::English);
        QTest::newRow("another description") << QStringLiteral("Cold room 3") << int(ConstLang::English);
        QTest::newRow("another description, window in Chinese") << QStringLiteral("Cold room 3")
                                                                 << int(ConstLang::Chinese);
        QTest::newRow("no profile") << QString() << int(ConstLang::English);
    }

    // The file is compared with what the panes show; the panes, their edited
    // mark and the device are left alone.
    void compareWithProfile()
    {
        QFETCH(QString, profile);
        QFETCH(int, language);
        auto window = Window();
        QVERIFY(window);
        QVERIFY(ReadSettings(*window));
        const QString shown = Description(*window)->text();
        QTemporaryDir files;
        const QString file = files.filePath(QStringLiteral("compare.ini"));
        if (profile.isNull()) {
            QFile other(file);
            QVERIFY(other.open(QIODevice::WriteOnly));
            QVERIFY(other.write("[Other]\r\nkey=1\r\n") > 0);
        } else {
            if (profile != QLatin1String("same"))
                Description(*window)->setText(profile);
            QVERIFY(window->Profiles()->SaveProfile(file).ok());
            Description(*window)->setText(shown);
        }
        Switch(*window, language);
        window->Profiles()->ChooseOpenFile = [file](const QString &) { return file; };
        const QByteArray panes = window->Master()->ControlsToImage().Image;
        const bool edited = window->EditsUnsaved();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const int requests = device->requestLog().size();

        QSignalSpy messages(window.get(), &TFormK900::MessageShown);
        window->Pop_CompareProfileClick();
        const auto text = [language](const char *key) {
            return ConstLang::Text(QString::fromLatin1(key), language);
        };
        if (profile.isNull()) {
            QVERIFY(!messages.isEmpty());
            QVERIFY2(messages.last().at(0).toString().startsWith(text("MsgProfileReadFailed")),
                     qPrintable(messages.last().at(0).toString()));
        } else if (profile == QLatin1String("same")) {
            QVERIFY(!messages.isEmpty());
            QCOMPARE(messages.last().at(0).toString(), text("MsgNoDifferences"));
            QVERIFY(!OpenTable(*window));
        } else {
            CheckOnlyDescriptionDiffers(*window, profile, shown);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(Description(*window)->text(), shown);
        QCOMPARE(window->Master()->ControlsToImage().Image.toHex(), panes.toHex());
        QCOMPARE(window->EditsUnsaved(), edited);
        QCOMPARE(device->requestLog().size(), requests);
    }

    void restoreBackupPutsTheOldSettingsBack()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const QByteArray before = device->configImage();
        QVERIFY(ReadSettings(*window));
        Description(*window)->setText(QStringLiteral("Cold room 3"));
        bool ok = false;
        RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QVERIFY(ok);
        QVERIFY(device->configImage() != before);

        QSignalSpy messages(window.get(), &TFormK900::MessageShown);
        window->Pop_RestoreBackupClick();
        TFormFieldTable *table = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((table = OpenTable(*window)), FlowWaitMs);
        QCOMPARE(table->Table()->rowCount(), 1);
        // One field differs between the backup and the device now.
        QCOMPARE(table->Table()->item(0, 1)->text(), QStringLiteral("1"));
        table->Table()->selectRow(0);
        QSignalSpy finished(window.get(), &TFormK900::FlowFinished);
        table->ChooseButton()->click();
        // Asked first; written on Yes.
        TFormFieldTable *question = nullptr;
        QTRY_VERIFY((question = window->findChild<TFormFieldTable *>(QStringLiteral("FieldQuestion"))));
        question->findChild<QPushButton *>(QStringLiteral("btn_Yes"))->click();
        QVERIFY(finished.wait(FlowWaitMs));
        QVERIFY(finished.first().at(0).toBool());
        QCOMPARE(device->configImage().toHex(), before.toHex());
        // The restore kept a backup of its own: the edited settings.
        QCOMPARE(window->Backups().List(device->imei()).size(), 2);
    }

    // A backup file that holds no configuration image is marked in the list
    // and never written: its password would lock the user out.
    void aBackupThatIsNoImageIsMarkedAndRefused()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QVERIFY(ReadSettings(*window));
        Description(*window)->setText(QStringLiteral("Cold room 3"));
        bool ok = false;
        RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QVERIFY(ok);
        const QList<TBackupEntry> kept = window->Backups().List(device->imei());
        QCOMPARE(kept.size(), 1);
        QFile file(kept.first().imagePath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write(QByteArray(ConfigMap::ImageSize, char(0xA5))) == ConfigMap::ImageSize);
        file.close();
        const QByteArray now = device->configImage();

        window->Pop_RestoreBackupClick();
        TFormFieldTable *table = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((table = OpenTable(*window)), FlowWaitMs);
        const QString reason = TBackupStore::FaultText(TBackupFault::BadPassword, window->Language());
        QCOMPARE(table->Table()->item(0, 1)->text(), reason);
        const int writes = device->framesWithCommand(TBasicProtocol::CmdWriteMemory);
        QSignalSpy messages(window.get(), &TFormK900::MessageShown);
        table->Table()->selectRow(0);
        table->ChooseButton()->click();
        QTRY_VERIFY(!messages.isEmpty());
        QVERIFY2(messages.last().at(0).toString().contains(reason), qPrintable(messages.last().at(0).toString()));
        QCOMPARE(device->framesWithCommand(TBasicProtocol::CmdWriteMemory), writes);
        QCOMPARE(device->configImage(), now);
    }

    // Every way of throwing the panes away asks first; Cancel keeps the edit
    // and sends nothing.
    void unsavedEditsAreNeverLostUnasked_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path : {"Read Setting", "Load Profile", "Close the Port", "Reboot", "Reset", "Exit",
                                 "close the window"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void unsavedEditsAreNeverLostUnasked()
    {
        QFETCH(QString, path);
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        QVERIFY(!window->EditsUnsaved());
        // Typed, as the user edits.
        Description(*window)->edit()->selectAll();
        QTest::keyClicks(Description(*window)->edit(), QStringLiteral("Edited"));
        QVERIFY(window->EditsUnsaved());
        QTRY_VERIFY(window->windowTitle().endsWith(QStringLiteral(" *")));
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const int requests = device->requestLog().size();
        bool fileAsked = false;
        window->Profiles()->ChooseOpenFile = [&fileAsked](const QString &) {
            fileAsked = true;
            return QString();
        };

        if (path == QLatin1String("Read Setting"))
            window->Pop_ReadMaster_SetingClick();
        else if (path == QLatin1String("Load Profile"))
            window->N_OpenClick();
        else if (path == QLatin1String("Close the Port"))
            window->Pop_DisCommPortClick();
        else if (path == QLatin1String("Reboot"))
            window->Pop_ReBootClick();
        else if (path == QLatin1String("Reset"))
            window->Pop_RESETClick();
        else if (path == QLatin1String("Exit"))
            window->N_ExitClick();
        else
            window->close();

        QMessageBox *box = OpenBox(window.get(), "UnsavedEditsBox");
        QVERIFY(box);
        QCOMPARE(box->text(), English("MsgUnsavedEdits"));
        box->button(QMessageBox::Cancel)->click();
        QCOMPARE(Description(*window)->text(), QStringLiteral("Edited"));
        QVERIFY(window->isVisible());
        QVERIFY(window->ComPort()->Connected());
        QVERIFY(!fileAsked);
        QVERIFY(!OpenBox(window.get(), "QuestionBox"));
        QCOMPARE(device->requestLog().size(), requests);
    }

    void discardGoesOn()
    {
        auto window = Window();
        QVERIFY(window);
        QTRY_VERIFY(!window->Session()->busy());
        Description(*window)->setText(QStringLiteral("Edited"));
        window->Pop_DisCommPortClick();
        QMessageBox *box = OpenBox(window.get(), "UnsavedEditsBox");
        QVERIFY(box);
        box->button(QMessageBox::Discard)->click();
        QTRY_VERIFY(!window->ComPort()->Connected());
    }

    // A reconnect the device refuses keeps the window, its edits and the
    // program; the user corrects the password and opens the port again.
    void refusedReconnectKeepsTheWindow()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K802);
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));
        TFormK900 window;
        QVERIFY(StartMainWindow(window, bridge.slavePath()));
        QTRY_VERIFY(!window.Session()->busy());
        Description(window)->setText(QStringLiteral("Edited"));
        auto *password = window.findChild<TLabeledEdit *>(QStringLiteral("lbledt_Main_Password"));
        QVERIFY(password);
        password->setText(QStringLiteral("1111"));

        window.Pop_RepCommPortClick();
        QTRY_COMPARE_WITH_TIMEOUT(ErrorBoxText(&window), English("MsgPasswordError"), FlowWaitMs);
        OpenBox(&window, "ErrorBox")->button(QMessageBox::Ok)->click();
        QVERIFY(window.isVisible());
        QVERIFY(!window.ComPort()->Connected());
        QCOMPARE(Description(window)->text(), QStringLiteral("Edited"));

        password->setText(QStringLiteral("5937"));
        window.Pop_RepCommPortClick();
        QTRY_VERIFY_WITH_TIMEOUT(window.ComPort()->Connected() && !window.Session()->busy(), FlowWaitMs);
        QVERIFY(ErrorBoxText(&window).isEmpty());
        QCOMPARE(Description(window)->text(), QStringLiteral("Edited"));
    }
};

QTEST_MAIN(TestVerifiedWrites)
#include "tst_VerifiedWrites.moc"
