// Login and main window against the built-in simulated logger.
#include "app/K900_Frm.h"
#include "app/Login_Frm.h"
#include "dialogs/MessageBox_Frm.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "views/ViewContext_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"
#include "views/DeviceCard_Frm.h"
#include "profiles/IniSeting_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

using namespace MainWindowFixture;

namespace {

constexpr int ReplyWaitMs = 8000;

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TDeviceSimulator::InstallDemoPorts(); }

    void loginPortListOrder()
    {
        TFormLogin login({QStringLiteral("/dev/pts/first"), QStringLiteral("demo:K802")});
        auto *ports = login.findChild<QComboBox *>(QStringLiteral("cbb_ComPort"));
        QVERIFY(ports);
        QCOMPARE(ports->currentText(), QStringLiteral("/dev/pts/first"));
        QCOMPARE(ports->itemText(1), QStringLiteral("demo:K802"));
        QCOMPARE(ports->itemText(ports->count() - 1), QStringLiteral("demo:K803"));
        QCOMPARE(ports->findText(QStringLiteral("demo:K802")), 1); // listed once
    }

    void loginOutcome_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("errorText");

        QTest::newRow("default password") << "5937" << true << "";
        // The Part's short text, then the port, the cause and what to do.
        const QString refused = QStringLiteral("Password error\n\nThe device on demo:K802 refused the password. "
                                               "Check the password (four digits) and try again.");
        QTest::newRow("wrong password") << "1111" << false << refused;
        QTest::newRow("hidden text") << "QWERTYUIP" << true << "";
        QTest::newRow("hidden text in other case is a password") << "qwertyuip" << false << refused;
    }

    void loginOutcome()
    {
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        QFETCH(QString, errorText);

        TFormLogin login({QStringLiteral("demo:K802")});
        login.SetLanguageForTest(1);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        auto *edit = login.findChild<QLineEdit *>(QStringLiteral("edt_Password"));
        QTRY_VERIFY(edit->hasFocus());
        edit->setText(password);
        QTest::keyClick(edit, Qt::Key_Return);

        if (accepted) {
            QTRY_COMPARE_WITH_TIMEOUT(login.result(), int(QDialog::Accepted), ReplyWaitMs);
            QCOMPARE(login.Connection()->Password(), password.trimmed() == "QWERTYUIP"
                                                         ? QStringLiteral("QWERTYUIP")
                                                         : password);
            QCOMPARE(login.ViewMode(), password.trimmed() == "QWERTYUIP");
            // The connection goes on to the main window: logged in with the
            // port open, or in View mode without any.
            QCOMPARE(login.ComPort()->Connected(), !login.ViewMode());
            QCOMPARE(login.Connection()->State(), login.ViewMode() ? TDeviceConnection::TState::ViewMode
                                                                   : TDeviceConnection::TState::LoggedIn);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(BoxText(&login, "ErrorBox"), errorText, ReplyWaitMs);
            QVERIFY(login.ComPort()->Connected()); // stays open for the next try
        }
    }

    void loginKeyFilterAndLimit()
    {
        TFormLogin login;
        auto *edit = login.findChild<QLineEdit *>(QStringLiteral("edt_Password"));
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("a-1 B_2.c#"));
        QCOMPARE(edit->text(), QStringLiteral("a1B2c"));
        QTest::keyClicks(edit, QStringLiteral("defghijk"));
        QCOMPARE(edit->text().size(), 9);
    }

    void loginPasswordTakesSelectAllAndPaste()
    {
        TFormLogin login;
        login.SetLanguageForTest(1);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        if (!qEnvironmentVariableIsEmpty("K80X_GRAB_FOLDER"))
            login.grab().save(qEnvironmentVariable("K80X_GRAB_FOLDER") + QStringLiteral("/login.png"));
        auto *edit = login.findChild<QLineEdit *>(QStringLiteral("edt_Password"));
        edit->setText(QStringLiteral("5937"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edit->selectedText(), QStringLiteral("5937"));
        QTest::keyClicks(edit, QStringLiteral("12"));
        QCOMPARE(edit->text(), QStringLiteral("12"));
        // Pasted text passes the same filter as typed text.
        QGuiApplication::clipboard()->setText(QStringLiteral(" 34-5 x\n"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("12345x"));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QString());
    }

    // A port that does not open: its own reason, then what to do.
    void loginToAPortThatDoesNotOpenSaysWhatToDo()
    {
        const QString port = QStringLiteral("/dev/k80x-no-such-port");
        TFormLogin login({port});
        login.SetLanguageForTest(1);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        login.findChild<QLineEdit *>(QStringLiteral("edt_Password"))->setText("5937");
        QTest::mouseClick(login.findChild<QWidget *>(QStringLiteral("btn_Login")), Qt::LeftButton);
        QString text;
        QTRY_VERIFY_WITH_TIMEOUT(!(text = BoxText(&login, "ErrorBox")).isEmpty(), ReplyWaitMs);
        QVERIFY2(text.endsWith(QStringLiteral("\n\nThe port ") + port
                               + QStringLiteral(" could not be opened. If another program uses it (a terminal, another copy "
                                                "of this tool), close that program; otherwise check that the cable is "
                                                "plugged in and that ")
                               + port + QStringLiteral(" is the logger's port.")),
                 qPrintable(text));
    }

    void loginWithoutAnswerTimesOut()
    {
        TFormLogin login({QStringLiteral("demo:K801")});
        login.SetLanguageForTest(1);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        login.findChild<QLineEdit *>(QStringLiteral("edt_Password"))->setText("5937");
        // Open the demo port first so the simulator can be told to stay silent.
        auto *loginButton = login.findChild<QWidget *>(QStringLiteral("btn_Login"));
        login.ComPort()->SetCommName(QStringLiteral("demo:K801"));
        login.ComPort()->OpenPort();
        DemoSimulator(login.ComPort())->dropReplies(1);
        QTest::mouseClick(loginButton, Qt::LeftButton);
        // The wait is shown, with the seconds left.
        auto *waiting = login.findChild<QLabel *>(QStringLiteral("lbl_Waiting"));
        QVERIFY(waiting);
        QCOMPARE(waiting->text(), QStringLiteral("Connecting to demo:K801… 5 s"));
        QTRY_COMPARE_WITH_TIMEOUT(waiting->text(), QStringLiteral("Connecting to demo:K801… 4 s"), 3000);
        // The port, the cause and the next step.
        QTRY_COMPARE_WITH_TIMEOUT(BoxText(&login, "ErrorBox"),
                                  QStringLiteral("Time out\n\nThe device on demo:K801 does not answer. Check the cable "
                                                 "and the device's power, and that demo:K801 is the logger's port."),
                                  9000);
        QCOMPARE(waiting->text(), QString());
        QVERIFY(!login.ComPort()->Connected());
    }

    void mainWindowStartUp()
    {
        TFormK900 window;
        QVERIFY(StartMainWindow(window, QStringLiteral("demo:K803")));
        QCOMPARE(window.ModelIndex(), 2);
        QCOMPARE(window.StatusText(), QStringLiteral("demo:K803"));
        auto *modelLabel = window.findChild<QLabel *>(QStringLiteral("lbl_ModelNo"));
        QVERIFY(modelLabel->text().endsWith(QStringLiteral("K803")));
        QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lbl_IMEI"))->text().endsWith(':'));
    }

    void loginWindowHandsOverOneLogin()
    {
        TFormLogin login({QStringLiteral("demo:K802")});
        login.SetLanguageForTest(1);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        auto *edit = login.findChild<QLineEdit *>(QStringLiteral("edt_Password"));
        edit->setText(QStringLiteral("5937"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(login.result(), int(QDialog::Accepted), ReplyWaitMs);

        TFormK900 window(login.TakeConnection());
        QSignalSpy known(&window, &TFormK900::ModelKnown);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(known.count(), 1, ReplyWaitMs);
        QCOMPARE(window.ModelIndex(), 1);
        QCOMPARE(window.StatusText(), QStringLiteral("demo:K802"));
        QTest::qWait(500);
        // The device heard the password once and was asked its version once,
        // in that order, for the whole run so far.
        QList<int> commands;
        for (const QByteArray &request : DemoSimulator(window.ComPort())->requestLog())
            commands << (request.size() > 1 ? int(quint8(request.at(1))) : -1);
        QCOMPARE(commands, (QList<int>{TBasicProtocol::CmdPassword, TBasicProtocol::CmdVersion}));
    }

    void viewModeOpensNothing()
    {
        TFormK900 window;
        window.Connection()->EnterViewMode();
        window.show();
        QTRY_COMPARE(window.StatusText(), QStringLiteral("View"));
        QVERIFY(!window.ComPort()->Connected());
    }

    void portThatCannotOpenIsReported()
    {
        TFormK900 window;
        window.ApplyLanguage(1);
        window.show();
        BeginLogin(window, QStringLiteral("/dev/no-such-port"));
        QTRY_COMPARE(BoxText(&window, "ErrorBox"), QStringLiteral("Error opening serial port"));
        QVERIFY(!window.ComPort()->Connected());
        // Start-up still ends on the welcome page, whose card says the port is closed.
        QCOMPARE(window.Sheets().PageControl->currentIndex(), 0);
        QCOMPARE(window.DeviceCard()->Link(), TFormDeviceCard::TLink::Closed);
    }

    void relayButtonsSwitchAndAskStatus()
    {
        TFormK900 window;
        QVERIFY(StartMainWindow(window, QStringLiteral("demo:K802")));
        QSignalSpy status(&window, &TFormK900::DoStatusReply);
        TDeviceSimulator *device = DemoSimulator(window.ComPort());

        window.btn_DO1_CloseClick();
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, ReplyWaitMs);
        QCOMPARE(device->relayBits() & 1, 1);
        window.btn_Do2_CloseClick();
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 2, ReplyWaitMs);
        window.btn_DO1_OpenClick();
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 3, ReplyWaitMs);
        QCOMPARE(int(device->relayBits()), 2);
        // The last reply carries the relay byte the device now has.
        const QByteArray reply = status.last().at(0).toByteArray();
        QCOMPARE(int(quint8(reply.at(8 + 32))), 2);
        for (const QByteArray &request : device->requestLog()) {
            if (request.contains("DO"))
                QVERIFY(request.startsWith("5937"));
        }
    }

    void disconnectAndReconnect()
    {
        TFormK900 window;
        window.ApplyLanguage(1);
        QSignalSpy model(&window, &TFormK900::ModelKnown);
        window.show();
        BeginLogin(window, QStringLiteral("demo:K801"));
        QTRY_COMPARE_WITH_TIMEOUT(model.count(), 1, ReplyWaitMs);

        QTRY_VERIFY(!window.Session()->busy());
        window.Pop_DisCommPortClick();
        QVERIFY(!window.ComPort()->Connected());
        QCOMPARE(window.StatusText(), QStringLiteral("demo:K801  Disconnected"));
        window.Pop_DisCommPortClick(); // closed: nothing changes
        QCOMPARE(window.StatusText(), QStringLiteral("demo:K801  Disconnected"));

        window.Pop_RepCommPortClick();
        QTRY_COMPARE_WITH_TIMEOUT(model.count(), 2, ReplyWaitMs);
        QVERIFY(window.ComPort()->Connected());
        QCOMPARE(window.StatusText(), QStringLiteral("demo:K801"));
    }

    void factoryResetSaysSuccess()
    {
        TFormK900 window;
        QVERIFY(StartMainWindow(window, QStringLiteral("demo:K802")));
        QSignalSpy shown(&window, &TFormK900::MessageShown);

        window.Pop_RESETClick();
        QMessageBox *question = nullptr;
        QTRY_VERIFY((question = OpenBox(&window, "QuestionBox")));
        QCOMPARE(static_cast<QAbstractButton *>(question->defaultButton()), question->button(QMessageBox::Cancel));
        // It names what the device loses.
        QVERIFY2(question->text().startsWith(QStringLiteral("Reset Device?\n\nThe device goes back to its factory settings")),
                 qPrintable(question->text()));
        question->findChild<QPushButton *>(QStringLiteral("btn_Proceed"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, ReplyWaitMs);
        QCOMPARE(shown.at(0).at(0).toString(), QStringLiteral("Successfully!"));
        QVERIFY(DemoSimulator(window.ComPort())->requestLog().last().endsWith("RESET\r\n"));
    }

    void clockWriteSendsMinutesThenReadSetsPickers()
    {
        TFormK900 window;
        QVERIFY(StartMainWindow(window, QStringLiteral("demo:K802")));
        TDeviceSimulator *device = DemoSimulator(window.ComPort());
        QSignalSpy shown(&window, &TFormK900::MessageShown);
        auto *dtpYMD = window.findChild<QDateEdit *>(QStringLiteral("dtpYMD"));
        auto *dtpHMS = window.findChild<QTimeEdit *>(QStringLiteral("dtpHMS"));
        QVERIFY(dtpYMD && dtpHMS);

        dtpYMD->setDate(QDate(2031, 5, 17));
        dtpHMS->setTime(QTime(8, 42, 37));
        window.btn_Main_Timer_WriteClick();
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, ReplyWaitMs);
        // The set's outcome, then the clock read back after it.
        QVERIFY2(shown.at(0).at(0).toString().startsWith(
                     QStringLiteral("Successfully! The device's clock reads 2031-05-17 08:42:00, ")),
                 qPrintable(shown.at(0).at(0).toString()));
        QByteArray request;
        for (const QByteArray &sent : device->requestLog()) {
            if (sent.size() > 1 && quint8(sent.at(1)) == 0x03)
                request = sent;
        }
        QCOMPARE(quint8(request.at(1)), quint8(0x03));
        // Seconds are never sent: the device starts the minute at 0.
        QCOMPARE(TBasicProtocol().GetData(request), QByteArray::fromHex("1f0511082a00"));

        window.btn_PC_TimeClick();
        QVERIFY(dtpYMD->date() != QDate(2031, 5, 17));
        window.btn_Main_Timer_ReadClick();
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 2, ReplyWaitMs);
        QCOMPARE(dtpYMD->date(), QDate(2031, 5, 17));
        QCOMPARE(dtpHMS->time().hour(), 8);
        QCOMPARE(dtpHMS->time().minute(), 42);
        QVERIFY(dtpHMS->time().second() < 20);
    }

    void openThePortTwiceQuicklyLogsInOnce()
    {
        TFormK900 window;
        QVERIFY(StartMainWindow(window, QStringLiteral("demo:K803")));
        QTRY_VERIFY(!window.Session()->busy());
        QSignalSpy model(&window, &TFormK900::ModelKnown);
        window.Pop_RepCommPortClick();
        window.Pop_RepCommPortClick(); // the second press comes while the first logs in
        QTRY_COMPARE_WITH_TIMEOUT(model.count(), 1, ReplyWaitMs);
        QTRY_VERIFY(!window.Session()->busy());
        QTest::qWait(300);
        QCOMPARE(model.count(), 1);
        QCOMPARE(window.ModelIndex(), 2);
        QCOMPARE(model.at(0).at(1).toString(), QStringLiteral("K803"));
        int passwords = 0;
        for (const QByteArray &request : DemoSimulator(window.ComPort())->requestLog())
            passwords += request.size() > 1 && quint8(request.at(1)) == TBasicProtocol::CmdPassword;
        QCOMPARE(passwords, 1); // the new port's log starts with this login
    }

    void messageDuringAJobDoesNotGiveTheWindowBack()
    {
        TFormK900 window;
        QVERIFY(StartMainWindow(window, QStringLiteral("demo:K802")));
        QTRY_VERIFY(!window.Session()->busy());
        TDeviceSimulator *device = DemoSimulator(window.ComPort());
        device->setLatencyMs(100);
        ShowMessageWindow(QStringLiteral("Successfully!"));
        window.Pop_ReadMaster_SetingClick();
        QVERIFY(window.CurrentJob());
        TFormMessage::instance()->sbtbtn_Ok->click();
        QVERIFY(!window.isEnabled()); // the progress window still holds it
        // A second flow and a one-shot while the read runs are refused.
        const int requests = device->requestLog().size();
        QVERIFY(!window.findChild<QAction *>(QStringLiteral("Pop_ReadMaster_Seting"))->isEnabled());
        window.btn_Main_Timer_ReadClick();
        window.Pop_ReadMaster_SetingClick();
        QSignalSpy finished(&window, &TFormK900::FlowFinished);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QVERIFY(finished.at(0).at(0).toBool());
        for (const QByteArray &request : device->requestLog().mid(requests))
            QVERIFY(quint8(request.at(1)) != TBasicProtocol::CmdReadClock);
        // The read's good news goes to the status bar, with no box to dismiss.
        QTRY_VERIFY(window.NewsText().endsWith(ConstLang::Text(QStringLiteral("MsgConfigRead"), ConstLang::English)));
        QVERIFY(!TFormMessage::instance()->isVisible());
        QTRY_VERIFY(window.isEnabled());
        QTRY_VERIFY(window.findChild<QAction *>(QStringLiteral("Pop_ReadMaster_Seting"))->isEnabled());
    }

    // The write first reads the device's image as a backup: stopped then, the
    // device is unchanged; stopped once pages went out, it may hold a mix.
    void closingDuringAWriteAsksAndShowsTheWarning_data()
    {
        QTest::addColumn<bool>("pagesWritten");
        QTest::addColumn<QString>("warning");
        QTest::newRow("during the backup read") << false << "MsgWriteStoppedUnchanged";
        QTest::newRow("during the write") << true << "MsgConfigWriteStopped";
    }

    void closingDuringAWriteAsksAndShowsTheWarning()
    {
        QFETCH(bool, pagesWritten);
        QFETCH(QString, warning);
        auto window = std::make_unique<TFormK900>();
        QVERIFY(StartMainWindow(*window, QStringLiteral("demo:K802")));
        QTRY_VERIFY(!window->Session()->busy());
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        // Only settings from a source are written: a profile loaded here,
        // so that the device's image is read first as the backup.
        QTemporaryDir folder;
        const QString profile = folder.filePath(QStringLiteral("panes.ini"));
        QVERIFY(window->Profiles()->SaveProfile(profile).ok());
        window->Profiles()->ChooseOpenFile = [profile](const QString &) { return profile; };
        window->N_OpenClick();
        QVERIFY(window->SettingsKnown());
        device->setLatencyMs(150);
        window->Pop_WirteMasterClick();
        QVERIFY(window->CurrentJob());
        if (pagesWritten)
            QTRY_VERIFY_WITH_TIMEOUT(device->framesWithCommand(TBasicProtocol::CmdWriteMemory) > 0, 20000);
        window->close();
        QVERIFY(window->isVisible());
        QMessageBox *question = nullptr;
        QTRY_VERIFY((question = OpenBox(window.get(), "QuestionBox")));
        question->button(QMessageBox::Yes)->click();
        QTRY_COMPARE(ErrorBoxText(window.get()), ConstLang::Text(warning, ConstLang::English));
        QVERIFY(window->isVisible()); // the warning is read first
        OpenBox(window.get(), "ErrorBox")->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!window->isVisible());
    }

    void viewsFollowTheWindowThatStillLives()
    {
        auto first = std::make_unique<TFormK900>();
        first->ApplyLanguage(0);
        {
            TFormK900 second;
            second.ApplyLanguage(1);
            QCOMPARE(ViewContext::CurrentLanguage(), 1);
        }
        // The second window's sources went with it; the first one's serve again.
        QCOMPARE(ViewContext::CurrentLanguage(), 0);
        QCOMPARE(ViewContext::CurrentModelIndex(), first->ModelIndex());
    }

    void pulledPortKeepsWindowAndContents()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K803);
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));
        TFormK900 window;
        const QString path = bridge.slavePath();
        QVERIFY(StartMainWindow(window, path));
        QCOMPARE(window.ModelIndex(), 2);
        auto *deviceId = window.findChild<TLabeledEdit *>(QStringLiteral("lbledt_DeviseID"));
        QVERIFY(deviceId);
        deviceId->setText(QStringLiteral("12345"));
        QSignalSpy shown(&window, &TFormK900::MessageShown);

        bridge.closeMaster();
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, ReplyWaitMs);
        QCOMPARE(shown.at(0).at(0).toString(), QStringLiteral(
            "The connection to the device was lost and the port is closed. Use Connect > Open the Port once the device is back."));
        QVERIFY(!window.ComPort()->Connected());
        QCOMPARE(window.StatusText(), path + QStringLiteral("  Disconnected"));
        QVERIFY(window.isVisible());
        QCOMPARE(deviceId->text(), QStringLiteral("12345"));
        QTest::qWait(300);
        QCOMPARE(shown.count(), 1); // reported once

        // Asking the device now says why nothing happens instead of waiting.
        window.Menu_R_THClick();
        QCOMPARE(shown.count(), 2);
        QCOMPARE(shown.at(1).at(0).toString(),
                 QStringLiteral("Not connected. Open the port first (Connect > Open the Port)."));
    }
};

QTEST_MAIN(TestShell)
#include "tst_Shell.moc"
